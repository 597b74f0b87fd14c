#pragma once
// The program's message box: captioned with the application title, owned by the program's
// active window. An OK or OK/Cancel box without an icon gets the exclamation icon, a Yes/No
// (or Yes/No/Cancel) box without an icon the question icon.

#include <windows.h>

#include <string>

int appMessageBox(const std::string& text, UINT type = MB_OK);
