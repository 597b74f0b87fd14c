#pragma once
// Reading the installation record in HKEY_LOCAL_MACHINE "Software\Seedwright\Settings".

#include <windows.h>

#include <string>

namespace install {

// A text value read through a buffer of 1024 bytes. False, with the output unchanged, when the
// value is missing or longer than the buffer. The value type is not checked.
bool readTextValue(HKEY key, const char* name, std::string& value);

// One value of the settings key; empty when the key or the value cannot be read.
std::string readSettingsValue(const char* name);

}  // namespace install
