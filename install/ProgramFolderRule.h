#pragma once
// Which folders Seedwright may take as its own. The installer creates the program folder and
// the uninstaller empties and removes it, so a folder that other programs or the member's own
// files live in must never be one: a drive or share root, the Windows folder, the Program
// Files folders, the profile, or a folder that holds one of these.

#include <string>
#include <vector>

namespace install {

// The path as Windows resolves an absolute path: '/' read as '\', repeated separators and "."
// dropped, ".." resolved (never above the root), trailing dots and blanks of each name
// dropped, the "\\?\" and "\\.\" prefixes removed, the drive letter in capitals. A drive root
// reads "C:\", any other path has no trailing backslash. Empty when the text is no full path:
// neither a drive letter, ':' and a separator, nor "\\server" with a share.
std::string normalizedFullPath(const std::string& path);

// The same file or folder, letter case aside, once both are normalized. False when either is
// no full path.
bool samePath(const std::string& a, const std::string& b);

// The folder that holds `path`, normalized; empty for a root or what is no full path.
std::string parentFolder(const std::string& path);

// `inner` is `outer` or lies below it, once both are normalized; false when either is no full path.
bool isWithin(const std::string& inner, const std::string& outer);

enum class FolderVerdict {
    Usable,
    NotFullPath,  // relative, drive-relative, or no path at all
    NotOwn,       // a root, a system folder, or a folder that holds one
};

// `systemFolders`: the Windows, Program Files and profile folders (and the like) of this
// system, as full paths; entries that are no full path are skipped.
FolderVerdict judgeProgramFolder(const std::string& folder, const std::vector<std::string>& systemFolders);

}  // namespace install
