#pragma once
// Whether a path names a file.

#include <string>

namespace win {

// True when `path` is there and is a file, not a folder.
[[nodiscard]] bool isFile(const std::string& path);

}  // namespace win
