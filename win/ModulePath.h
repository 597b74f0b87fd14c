#pragma once
// Where the running program file is.

#include <string>

namespace win {

// The program file's full path, however long it is; empty when the system cannot say.
std::string modulePath();

}  // namespace win
