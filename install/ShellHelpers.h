#pragma once
// Small wrappers around the shell: special folders, shortcuts (shell link files) and the
// folder browser. None of them shows a message; callers decide what a failure means.
// A link name is a path relative to a special folder, without the ".lnk" extension.

#include <windows.h>

#include <string>

// The folder's path with a trailing backslash; false (output unchanged) when the shell has
// no file-system path for the folder identifier.
[[nodiscard]] bool specialFolderPath(int folderId, std::string& path);

class CShortcut {
  public:
    virtual ~CShortcut() = default;

    // Writes <special folder>\<link name>.lnk pointing at target, where "_this" stands for
    // the running program file, through the wide shell link interface: every text converted
    // once from this process's code page to UTF-16. A folder or file name of the target beyond
    // ASCII is stored as its short name where it has one, so that a shell in any code page finds
    // it. The icon is set only when iconPath is not empty. True when the link file was saved;
    // false when the folder does not exist.
    [[nodiscard]] bool createLink(const std::string& target,
                                  const std::string& linkName,
                                  int folderId,
                                  const std::string& description,
                                  const std::string& iconPath,
                                  int iconIndex);

    // Stored in every link this object creates; left out while empty.
    std::string m_arguments;
};

// Deletes <special folder>\<link name>.lnk for good (no recycle bin, no questions). True
// when the shell reports the deletion as done.
bool deleteLink(const std::string& linkName, int folderId);

// The shell's folder browser, opened at `path` when that is an existing folder; true with the
// chosen folder's path, false when cancelled or when the choice has no file-system path.
[[nodiscard]] bool chooseFolder(HWND owner, std::string& path);
