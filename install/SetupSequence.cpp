#include "install/SetupSequence.h"

#include "app/state/SettingsLayout.h"
#include "install/ProgramFolderRule.h"
#include "install/SetupRules.h"

namespace install {

namespace {

constexpr int kErrorFileExists = 80;
constexpr int kErrorAlreadyExists = 183;
constexpr unsigned long kErrorAccessDenied = 5;
constexpr unsigned long kErrorInvalidHandle = 6;

std::string number(unsigned long value) {
    return std::to_string(static_cast<long>(value));
}

// The typed folder as the full path to install into; empty, after a message, when it is no
// full path or not a folder Seedwright may have to itself.
std::string usableProgramFolder(SetupSystem& system, const std::string& typed) {
    const std::string full = normalizedFullPath(system.fullPath(typed));
    if (normalizedFullPath(typed).empty() || full.empty()) {
        system.message(
            "Please enter the Installation Directory as a full path with its drive, for example:\n\nC:\\Program "
            "Files\\Seedwright",
            kOk);
        return std::string();
    }
    if (judgeProgramFolder(full, system.systemFolders()) != FolderVerdict::Usable) {
        system.message("This folder is not one for Seedwright alone:\n\n" + full +
                           "\n\nPlease choose a folder of its own, for example:\n\n" + withProductFolder(full),
                       kOk);
        return std::string();
    }
    return full;
}

UninstallEntry uninstallEntry(SetupSystem& system, const AppState& state, const std::string& folder) {
    const std::string programFile = programFilePath(folder);
    UninstallEntry entry;
    entry.displayName = state.m_title;
    entry.displayVersion = app::kVersion;
    entry.publisher = kPublisher;
    entry.displayIcon = programFile;
    entry.installLocation = folder;
    entry.uninstallString = "\"" + programFile + "\" " + kUninstallArguments;
    entry.estimatedSizeKiB = static_cast<unsigned long>((system.fileSize(programFile) + 1023) / 1024);
    return entry;
}

// The uninstaller removed the shortcuts and the settings but leaves the program file.
void reportLeftBehind(SetupSystem& system, const std::string& why, const std::string& programFile) {
    system.message("Seedwright's shortcuts and settings are removed, but " + why +
                       "\n\nPlease delete the program file yourself:\n\n" + programFile,
                   kOk);
}

}  // namespace

InstallEnd install(SetupSystem& system, AppState& state, const InstallFields& fields) {
    if (fields.folder.empty()) {
        system.message("Please choose a Installation Directory!", kOk);
        return InstallEnd::StayOpen;
    }
    if (fields.client.empty()) {
        system.message("Without choosing the correct path to your torrent client, Seedwright will not function!", kOk);
        return InstallEnd::StayOpen;
    }
    if (fields.menu.empty()) {
        system.message("Choose a Startmenu Name!", kOk);
        return InstallEnd::StayOpen;
    }
    // Nothing is made before all three fields are known to be usable.
    const std::string folder = usableProgramFolder(system, fields.folder);
    if (folder.empty())
        return InstallEnd::StayOpen;
    if (!isUsableMenuName(fields.menu)) {
        system.message("\"" + fields.menu +
                           "\" can not be a Startmenu Name: it may not hold any of \\ / : * ? \" < > |, and may not "
                           "end in a dot or a blank!",
                       kOk);
        return InstallEnd::StayOpen;
    }

    unsigned long lastError = 0;
    const int created = system.createFolderTree(folder, lastError);
    if (created == kErrorFileExists || created == kErrorAlreadyExists) {
        if (system.message("Installation Directory already exists...\n\nContinue installation and overwrite existing "
                           "Version?",
                           kYesNo) != kYes)
            return InstallEnd::StayOpen;
    } else if (created != 0 && lastError != 0 && lastError != kErrorInvalidHandle) {
        if (lastError == kErrorAccessDenied) {
            state.m_elevationNeeded = true;
            return InstallEnd::Cancel;
        }
        // A typo in the folder: the member mends it in the dialog.
        system.message(
            "SHCreateDirectoryEx(" + folder + ") Failed to create program directory (err: " + number(lastError) + ")",
            kOk);
        return InstallEnd::StayOpen;
    }

    const std::string programFile = programFilePath(folder);
    // Installing from the installed copy itself: its file is already in place.
    if (!samePath(system.fullPath(system.runningProgram()), system.fullPath(programFile))) {
        unsigned long copyError = 0;
        if (!system.copyProgram(programFile, copyError)) {
            system.message("Failed to copy file (" + number(copyError) + ")", kOk);
            return InstallEnd::Cancel;
        }
    }
    system.clearReadOnly(programFile);

    // Without a Programs folder the path would point at the root of the drive.
    const std::string programs = system.programsFolder();
    if (!programs.empty()) {
        unsigned long ignored = 0;
        system.createFolderTree(programs + "\\" + fields.menu, ignored);
    }

    unsigned long keyError = 0;
    if (!system.openSettingsKey(keyError)) {
        system.message("Failed to create Registry Keys (" + number(keyError) + ")", kOk);
        return InstallEnd::Cancel;
    }
    system.writeSetting(app::settings::kInstallationPath, folder);
    system.writeSetting(app::settings::kStartMenuPath, fields.menu);
    system.writeSetting(app::settings::kUtorrent, fields.client);
    unsigned long entryError = 0;
    if (!system.writeUninstallEntry(uninstallEntry(system, state, folder), entryError))
        system.message("Failed to create the Registry Keys of the installed programs list (" + number(entryError) + ")",
                       kOk);

    if (!system.createLink(programFile, fields.menu + "\\Seedwright", kProgramDescription, "")) {
        state.m_menuEntriesFailed = true;
        system.message("Could not write your Shortcut!", kOk);
    }
    if (!system.createLink(programFile, fields.menu + "\\uninstall", kUninstallDescription, kUninstallArguments)) {
        state.m_menuEntriesFailed = true;
        system.message("Could not write your Uninstall Shortcut!", kOk);
    }
    // Without its shortcuts the installation is not recorded, so the next start installs again.
    if (state.m_menuEntriesFailed)
        system.deleteProductTrees();
    return InstallEnd::Done;
}

InstallFields prefilledFields(const AppState& state,
                              const std::string& storedMenu,
                              const std::string& programFilesFolder,
                              const std::string& foundClient) {
    InstallFields fields;
    fields.folder =
        !state.m_installationPath.empty() ? state.m_installationPath : programFilesFolder + "\\" + kProductName;
    fields.menu = !storedMenu.empty() ? storedMenu : kProductName;
    fields.client = !state.m_utorrentPath.empty() ? state.m_utorrentPath : foundClient;
    return fields;
}

void uninstall(SetupSystem& system, AppState& state) {
    if (!state.m_forced && system.message("Do you really want to uninstall Seedwright ?", kYesNo) != kYes)
        return;
    if (!system.probeWriteAccess())
        return;

    const std::string menu = system.readSetting(app::settings::kStartMenuPath);
    // Read before the trees go: the batch may only remove the recorded folder.
    const std::string installationPath = system.readSetting(app::settings::kInstallationPath);

    system.deleteLink(menu + "\\Seedwright");
    system.deleteLink(menu + "\\uninstall");
    // Without a name the path would be the Programs folder itself, without that folder the root.
    const std::string programs = system.programsFolder();
    if (!menu.empty() && !programs.empty())
        system.removeEmptyFolder(programs + "\\" + menu);
    system.deleteProductTrees();

    writeSelfDeleteBatch(system, installationPath);
}

void writeSelfDeleteBatch(SetupSystem& system, const std::string& installationPath) {
    if (installationPath.empty())
        return;
    // A relative record would be read against whatever folder the uninstaller runs in.
    const std::string folder = normalizedFullPath(installationPath).empty()
                                   ? std::string()
                                   : normalizedFullPath(system.fullPath(installationPath));
    if (judgeProgramFolder(folder, system.systemFolders()) != FolderVerdict::Usable) {
        reportLeftBehind(
            system, "the recorded Installation Directory is not a folder of Seedwright's own:\n\n" + installationPath,
            programFilePath(folder.empty() ? installationPath : folder));
        return;
    }
    const SelfDeleteTarget target =
        selfDeleteTarget(folder, [&](const std::string& f) { return system.fileExists(f); });
    if (!target.deletes)
        return;
    system.clearReadOnly(target.programFile);

    const std::string temporary = system.temporaryFolder();
    const std::string batch = batchFilePath(temporary);
    if (batch.empty()) {
        reportLeftBehind(system, "there is no usable folder for temporary files to remove its program file from.",
                         target.programFile);
        return;
    }
    // The batch file does not exist yet; its folder does, and its own name is plain ASCII.
    std::string file, programFolder, temporarySpelled;
    if (!system.batchSpelling(target.programFile, file) || !system.batchSpelling(target.programFolder, programFolder) ||
        !system.batchSpelling(temporary, temporarySpelled) ||
        !system.startBatch(
            batch, temporary,
            selfDeleteBatchText(file, programFolder, batchFilePath(temporarySpelled), system.batchCodePage())))
        reportLeftBehind(system, "the batch file that removes its program file could not be written.",
                         target.programFile);
}

}  // namespace install
