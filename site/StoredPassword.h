#pragma once
// Remembered passwords are kept protected for the current Windows user (CryptProtectData),
// never in plain text.

#include <windows.h>

#include <string>
#include <vector>

// False when the system cannot protect it.
[[nodiscard]] bool protectPassword(const std::string& password, std::vector<BYTE>& blob);
// False when the blob is not one this user protected.
[[nodiscard]] bool unprotectPassword(const std::vector<BYTE>& blob, std::string& password);
