#pragma once
// The installer's and uninstaller's decisions that need no Windows: the folder-choice rule,
// where the program file lives, and the self-deleting batch that removes the installation.

#include <functional>
#include <string>

namespace setup {

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

// What the uninstaller's batch deletes. The only folder it may remove is the recorded
// installation folder, and only when that folder holds the program file; the folder of a
// copy started from anywhere else is never touched.
struct SelfDeleteTarget {
    bool deletes = false;       // false: no batch is written, no file or folder goes
    std::string programFile;    // "<installation folder>\Seedwright.exe"
    std::string programFolder;  // the installation folder
};
SelfDeleteTarget selfDeleteTarget(const std::string& installationPath,
                                  const std::function<bool(const std::string& file)>& fileExists);

// The batch text: wait for the program file to go, remove its folder, delete the batch.
std::string selfDeleteBatchText(const std::string& programFile,
                                const std::string& programFolder,
                                const std::string& batchPath);

}  // namespace setup
