#pragma once
// The installation and removal steps of CSetup. Every system call goes through SetupSystem,
// which CWinSetupSystem implements on Windows; the steps, their order and their messages live here.

#include <string>
#include <vector>

#include "app/state/AppState.h"

namespace install {

// Message box buttons and answers, with the system's values.
inline constexpr unsigned kOk = 0x0;     // MB_OK
inline constexpr unsigned kYesNo = 0x4;  // MB_YESNO
inline constexpr int kYes = 6;           // IDYES

inline constexpr const char* kProgramDescription =
    "Seedwright is a Tool that helps uploading Files to Velmar Trackers.";
inline constexpr const char* kUninstallDescription = "uninstall Seedwright";
inline constexpr const char* kUninstallArguments = "/uninstall";
inline constexpr const char* kPublisher = "The Seedwright team";

// The installed-apps entry (HKLM, or HKCU where HKLM is not writable, under
// "Software\Microsoft\Windows\CurrentVersion\Uninstall\Seedwright").
struct UninstallEntry {
    std::string displayName;
    std::string displayVersion;
    std::string publisher;
    std::string displayIcon;
    std::string installLocation;
    std::string uninstallString;
    unsigned long estimatedSizeKiB = 0;
};

class SetupSystem {
  public:
    virtual ~SetupSystem() = default;

    // A message box captioned with the title and owned by the dialog; the button pressed.
    virtual int message(const std::string& text, unsigned type) = 0;

    // The absolute path Windows makes of `path` (GetFullPathNameA, long names where the path
    // exists); empty when it cannot.
    virtual std::string fullPath(const std::string& path) = 0;
    // The Windows, Program Files and profile folders and the like: never a program folder.
    virtual std::vector<std::string> systemFolders() = 0;
    // The running program file.
    virtual std::string runningProgram() = 0;

    // SHCreateDirectoryExA's result, with the last-error value read right after it.
    virtual int createFolderTree(const std::string& folder, unsigned long& lastError) = 0;
    // Copies the running program file over `to`; false with the last-error value.
    [[nodiscard]] virtual bool copyProgram(const std::string& to, unsigned long& error) = 0;
    // A program file downloaded read-only stays deletable.
    virtual void clearReadOnly(const std::string& file) = 0;
    virtual unsigned long long fileSize(const std::string& file) = 0;
    // Opens the settings key for writing, or creates it; false with the last-error value.
    [[nodiscard]] virtual bool openSettingsKey(unsigned long& error) = 0;
    virtual void writeSetting(const char* name, const std::string& value) = 0;
    // False with the error of the last root tried.
    [[nodiscard]] virtual bool writeUninstallEntry(const UninstallEntry& entry, unsigned long& error) = 0;
    // A shortcut in the Programs folder; arguments empty for none.
    [[nodiscard]] virtual bool createLink(const std::string& target,
                                          const std::string& linkName,
                                          const std::string& description,
                                          const std::string& arguments) = 0;
    // "SOFTWARE\Seedwright" under HKEY_CURRENT_USER, then HKEY_LOCAL_MACHINE, and the
    // installed-apps entry under both.
    virtual void deleteProductTrees() = 0;

    // Fills the folders; false (and m_elevationNeeded set) when Program Files refuses writes.
    [[nodiscard]] virtual bool probeWriteAccess() = 0;
    virtual std::string programsFolder() = 0;
    // A value of the settings key; empty when the key or value is missing or too long.
    virtual std::string readSetting(const char* name) = 0;
    virtual void deleteLink(const std::string& linkName) = 0;
    virtual void removeEmptyFolder(const std::string& folder) = 0;
    [[nodiscard]] virtual bool fileExists(const std::string& file) = 0;
    // GetTempPathA; empty when there is none that fits.
    virtual std::string temporaryFolder() = 0;
    // `path` as cmd.exe reads it in a batch (the OEM code page, or the short name where the
    // long one has a character that code page lacks); false when it cannot be spelled so.
    [[nodiscard]] virtual bool batchSpelling(const std::string& path, std::string& spelled) = 0;
    // The code page the batch is written in.
    virtual unsigned batchCodePage() = 0;
    // Writes the batch file and starts it hidden, in `folder`; false when it cannot be written.
    [[nodiscard]] virtual bool startBatch(const std::string& path,
                                          const std::string& folder,
                                          const std::string& text) = 0;
};

struct InstallFields {
    std::string folder;  // 1031
    std::string menu;    // 1032
    std::string client;  // 1029
};

enum class InstallEnd {
    StayOpen,  // a field is missing or unusable, the folder cannot be made, or the overwrite was declined
    Cancel,    // a step failed (IDCANCEL)
    Done,      // installed, perhaps without shortcuts (IDOK)
};

InstallEnd install(SetupSystem& system, AppState& state, const InstallFields& fields);

// What the dialog shows first: the stored values where there are any, else the defaults
// (the Program Files folder, "Seedwright", the client found on the system).
InstallFields prefilledFields(const AppState& state,
                              const std::string& storedMenu,
                              const std::string& programFilesFolder,
                              const std::string& foundClient);

void uninstall(SetupSystem& system, AppState& state);

// The batch for the recorded installation, if that folder is Seedwright's own and holds the
// program file.
void writeSelfDeleteBatch(SetupSystem& system, const std::string& installationPath);

}  // namespace install
