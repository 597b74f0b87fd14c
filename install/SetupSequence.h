#pragma once
// The installation and removal steps of CSetup. Every system call goes through SetupSystem,
// which CWinSetupSystem implements on Windows; the steps, their order and their messages live here.

#include <string>
#include <vector>

#include "app/state/AppState.h"

namespace install {

// Message box buttons and answers, with the system's values.
inline constexpr unsigned kOk = 0x0;            // MB_OK
inline constexpr unsigned kYesNo = 0x4;         // MB_YESNO
inline constexpr unsigned kInformation = 0x40;  // MB_ICONINFORMATION: a success
inline constexpr int kYes = 6;                  // IDYES

inline constexpr const char* kProgramDescription =
    "Seedwright is a Tool that helps uploading Files to Velmar Trackers.";
inline constexpr const char* kUninstallDescription = "uninstall Seedwright";
inline constexpr const char* kUninstallArguments = "/uninstall";
inline constexpr const char* kPublisher = "The Seedwright team";

// Whether a program file can be replaced or deleted now.
enum class FileUse {
    Free,
    Running,  // a process other than this one runs it
    Held,     // another program has it open and does not share its deletion
};

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

    // Fills the folders; false when Program Files refuses writes: elevation is needed.
    [[nodiscard]] virtual bool probeWriteAccess() = 0;
    virtual std::string programsFolder() = 0;
    // A value of the settings key; empty when the key or value is missing or too long.
    virtual std::string readSetting(const char* name) = 0;
    virtual void deleteLink(const std::string& linkName) = 0;
    virtual void removeEmptyFolder(const std::string& folder) = 0;
    [[nodiscard]] virtual bool fileExists(const std::string& file) = 0;
    [[nodiscard]] virtual bool folderExists(const std::string& folder) = 0;
    // The names of the files (not the folders) right in `folder`.
    virtual std::vector<std::string> filesIn(const std::string& folder) = 0;
    virtual void deleteFile(const std::string& file) = 0;
    [[nodiscard]] virtual FileUse useOf(const std::string& programFile) = 0;
    // A process other than this one holds the member's working session (app::kSessionMutex).
    [[nodiscard]] virtual bool sessionRunsElsewhere() = 0;
    // GetTempPathA; empty when there is none that fits.
    virtual std::string temporaryFolder() = 0;
    // `path` as cmd.exe reads it in a batch (the OEM code page, or the short name where the
    // long one has a character that code page lacks); false when it cannot be spelled so.
    [[nodiscard]] virtual bool batchSpelling(const std::string& path, std::string& spelled) = 0;
    // The code page the batch is written in.
    virtual unsigned batchCodePage() = 0;
    // Writes the batch file whole; false, and no file, when it cannot. Start-up starts it as the
    // program ends (SetupOutcome::removalBatch).
    [[nodiscard]] virtual bool writeBatch(const std::string& path, const std::string& text) = 0;
};

// What the installer and the uninstaller are given of the run.
struct SetupContext {
    std::string title;             // names the installed-apps entry
    std::string installationPath;  // the record read at start-up; empty: not installed
    std::string utorrentPath;      // the client the record names
    std::string workingFolder;     // whose own files the uninstaller removes
    bool forced = false;           // "/force": the uninstaller asks nothing
};

// What the installer or the uninstaller came to, beside the dialog's result.
struct SetupOutcome {
    bool elevationNeeded = false;    // refused for lack of rights: a restart with more may do it
    bool menuEntriesFailed = false;  // installed, but a Start-menu entry could not be written
    RemovalBatch removalBatch;       // for start-up to start as the program's last act
};

struct InstallFields {
    std::string folder;  // 1031
    std::string menu;    // 1032
    std::string client;  // 1029
};

enum class InstallEnd {
    StayOpen,  // a field is missing or unusable, the folder cannot be made, the overwrite was declined,
               // or Seedwright runs from the program file to replace or remove
    Cancel,    // a step failed (IDCANCEL)
    Done,      // installed, perhaps without shortcuts (IDOK)
};

// Installs into the folder of `fields`. When the record names another folder, the copy there
// goes once this one is in place (the batch of writeSelfDeleteBatch), with its own Start-menu
// entries when the Start-menu name changed.
InstallEnd install(SetupSystem& system,
                   const SetupContext& context,
                   const InstallFields& fields,
                   SetupOutcome& outcome);

// What the dialog shows first: the stored values where there are any, else the defaults
// (the Program Files folder, "Seedwright", the client found on the system).
InstallFields prefilledFields(const SetupContext& context,
                              const std::string& storedMenu,
                              const std::string& programFilesFolder,
                              const std::string& foundClient);

// Asks, then removes the shortcuts, the records, the working folder's own files and, through
// the batch, the program file and the folders the installer made; ends with "Seedwright was
// uninstalled." or with what is left and why. While Seedwright runs it removes nothing.
SetupOutcome uninstall(SetupSystem& system, const SetupContext& context);

// What the removal of a recorded installation came to.
struct Removal {
    RemovalBatch batch;       // the batch written, for start-up to start; empty path: none
    bool leftBehind = false;  // the program file stays, for the reason `why`
    std::string why;          // lower-case, to follow "but "
    std::string programFile;
};

// The batch for the recorded installation, if that folder is Seedwright's own and holds the
// program file: it removes the file, the folder and the empty folders up to `createdTop` that the
// installer made, and is handed back in the Removal for start-up to start.
Removal writeSelfDeleteBatch(SetupSystem& system, const std::string& installationPath, const std::string& createdTop);

}  // namespace install
