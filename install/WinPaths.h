#pragma once
// Paths as Windows spells them: the absolute long form of a typed path, the folders no program
// may take as its own, and a path as cmd.exe reads it from a batch file.

#include <string>
#include <vector>

namespace install {

// GetFullPathNameA, then GetLongPathNameA where the path exists (so "C:\PROGRA~1" and
// "C:\Program Files" compare equal); empty when the path does not fit in 260 characters.
std::string fullLongPath(const std::string& path);

// The Windows folder, the system and Program Files folders of both widths, the profile and
// its desktop, documents and application-data folders, the all-users data folder.
std::vector<std::string> systemFolders();

// The OEM code page cmd.exe reads a batch file in: the system's, whatever this process's
// manifest makes of its own code pages.
unsigned systemOemCodePage();

// cmd.exe reads a batch file in the OEM code page, the program's paths are in the ANSI one:
// the path converted, or its short name where the long one has a character the OEM code page
// lacks. False when neither can be spelled exactly.
[[nodiscard]] bool oemSpelling(const std::string& path, std::string& spelled);

}  // namespace install
