#pragma once
// The installer's and uninstaller's decisions that need no Windows: the folder-choice rule,
// where the program file lives, and the self-deleting batch that removes the installation.

#include <functional>
#include <string>
#include <vector>

namespace install {

inline constexpr const char* kProductName = "Seedwright";
inline constexpr const char* kProgramFileName = "Seedwright.exe";
inline constexpr const char* kBatchFileName = "_uninsep.bat";

// A folder picked in the browser: "\Seedwright" is appended unless the path already ends
// in exactly "Seedwright" (letter case counts).
std::string withProductFolder(const std::string& chosen);

// "<folder>\Seedwright.exe".
std::string programFilePath(const std::string& folder);

// cmd.exe expands %NAME% even inside quotes; a doubled percent sign stays one literal sign.
std::string batchEscaped(const std::string& path);

// A Start-menu folder name, or names joined by '\', that Windows takes as they are: none
// empty, "." or "..", none holding a character a file name may not hold or ending in a dot
// or a blank, none a device name such as "CON" or "LPT1".
bool isUsableMenuName(const std::string& name);

// "<temporary folder>\_uninsep.bat"; empty when the folder is no full path.
std::string batchFilePath(const std::string& temporaryFolder);

// What the uninstaller's batch deletes: the program file in the recorded installation
// folder, and that folder once it is empty. The folder of a copy started from anywhere else
// is never touched.
struct SelfDeleteTarget {
    bool deletes = false;       // false: no batch is written, no file or folder goes
    std::string programFile;    // "<installation folder>\Seedwright.exe"
    std::string programFolder;  // the installation folder
};
SelfDeleteTarget selfDeleteTarget(const std::string& installationPath,
                                  const std::function<bool(const std::string& file)>& fileExists);

// The folders above `programFolder` that the installer made, up to and including `createdTop`
// (the highest folder it made), deepest first: what the removal takes away once they are empty.
// None when `createdTop` is not above the program folder; the list stops before a folder that is
// not one Seedwright may have to itself (judgeProgramFolder).
std::vector<std::string> createdParents(const std::string& programFolder,
                                        const std::string& createdTop,
                                        const std::vector<std::string>& systemFolders);

// The files Seedwright itself writes into its working folder: the generated torrent
// "MyNew.torrent" and its unfinished "MyNew.torrent.tmp", the site's copy "swr.torrent" and its
// unfinished download "swr*.tmp", and the last answer page "debug.html". Letter case aside, as
// Windows compares names; any other file there is the member's.
bool isWorkingFile(const std::string& name);

// How often and how long the batch tries to delete the program file: about a second between
// attempts, about 30 seconds in all, then it gives up and deletes only itself.
inline constexpr int kBatchAttempts = 30;

// The batch text. The paths are spelled in the code page cmd.exe reads the batch in
// (`codePage`, made the console's own first; 0: leave the console as it is). The batch waits
// for the program file to go, removes the folder only when nothing else is left in it, then
// each of `emptyParents` in turn, again only when empty, and deletes itself.
std::string selfDeleteBatchText(const std::string& programFile,
                                const std::string& programFolder,
                                const std::string& batchPath,
                                unsigned codePage,
                                const std::vector<std::string>& emptyParents = {});

}  // namespace install
