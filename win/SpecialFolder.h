#pragma once
// The shell's special folders (CSIDL_ values) by path.

#include <string>

namespace win {

// The folder's path without a trailing backslash, the folder made first when `create` and it
// is missing; empty when the shell has no file-system path for it.
std::string specialFolderPath(int csidl, bool create);

}  // namespace win
