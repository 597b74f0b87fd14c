#pragma once
// The system's own words for an error code, without the line end it puts after them.

#include <windows.h>

#include <string>

namespace win {

// At most 500 characters; empty when the system has no text for the code.
std::string systemErrorText(DWORD error);

}  // namespace win
