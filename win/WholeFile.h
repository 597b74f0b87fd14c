#pragma once
// A whole file written at once.

#include <string>

namespace win {

// Creates or replaces `path` with exactly `bytes`. False when the file could not be made or took
// fewer bytes (a full disk); what did fit stays, for the caller to keep or delete.
[[nodiscard]] bool writeWholeFile(const std::string& path, const std::string& bytes);

}  // namespace win
