#pragma once
// Texts of the picture list's rows: the number column and the size column.

#include <cstdint>
#include <string>
#include <vector>

namespace upload::pictures {

// "%02ld": 01 for the first picture.
std::string numberText(long number);

// Above 1 GiB in whole GB, above 1 MiB in whole MB, otherwise in whole KB, all rounded down.
std::string sizeText(uint64_t bytes);

// Where a row with this text lands in a list sorted ascending by text (after equal texts).
size_t sortedRowIndex(const std::vector<std::string>& rowTexts, const std::string& text);

}  // namespace upload::pictures
