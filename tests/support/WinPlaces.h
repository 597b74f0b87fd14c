#pragma once
// Places on the Windows side that tests look at: the host's files through drive Z:, the
// shell's folders and links, files and registry keys that must be there or gone.

#include <windows.h>

#include <string>

namespace places {

// The Windows path of a host path: Wine shows the host's file system as drive Z:.
std::string windowsPath(const std::string& unixPath);
std::string shellFolder(int csidl);
bool exists(const std::string& path);
// `view`: KEY_WOW64_32KEY or KEY_WOW64_64KEY; 0 is the view of this process's own width.
bool keyExists(HKEY root, const char* path, REGSAM view = 0);
// Removes a folder with everything in it, quietly; nothing when it is not there.
void removeTree(const std::string& path);

// The member's Downloads folder in the prefix's profile on drive C:, made when missing.
std::string downloadsFolder();
// `program` copied into the Downloads folder as Seedwright.exe, as a member downloads it: a
// program that may start the uninstall batch never runs from the host's files (drive Z:).
// Empty when the copy failed.
std::string downloadedCopy(const std::string& program);

// What a shell link file holds, as the shell link object's wide interface reads it back, in this
// process's code page; false when the link cannot be read or a text does not fit that code page.
struct Shortcut {
    std::string m_target;  // as stored, environment strings unexpanded
    std::string m_arguments;
    std::string m_folder;  // the working folder
    std::string m_description;
    std::string m_iconPath;
    int m_iconIndex = -1;
};
bool readShortcut(const std::string& file, Shortcut& shortcut);

}  // namespace places
