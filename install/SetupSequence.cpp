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

UninstallEntry uninstallEntry(SetupSystem& system, const SetupContext& context, const std::string& folder) {
    const std::string programFile = programFilePath(folder);
    UninstallEntry entry;
    entry.displayName = context.title;
    entry.displayVersion = app::kVersion;
    entry.publisher = kPublisher;
    entry.displayIcon = programFile;
    entry.installLocation = folder;
    entry.uninstallString = "\"" + programFile + "\" " + kUninstallArguments;
    entry.estimatedSizeKiB = static_cast<unsigned long>((system.fileSize(programFile) + 1023) / 1024);
    return entry;
}

constexpr unsigned long kErrorSharingViolation = 32;
constexpr unsigned long kErrorLockViolation = 33;

// What keeps a program file in place and how the member frees it; `then`: what the member does
// afterwards.
std::string inUse(FileUse use, const std::string& then) {
    if (use == FileUse::Running)
        return "Seedwright is still running. Close it, then " + then + ".";
    return "Seedwright's program file is in use by another program. Close that program, then " + then + ".";
}

// The recorded installation folder as the full path Windows makes of it; a record that is no
// full path stays as it is (it is never Seedwright's own).
std::string recordedFolder(SetupSystem& system, const std::string& record) {
    if (normalizedFullPath(record).empty())
        return record;
    const std::string full = normalizedFullPath(system.fullPath(record));
    return full.empty() ? record : full;
}

// The highest folder of `folder` that creating it will make; empty when it is there already.
std::string firstMissingFolder(SetupSystem& system, const std::string& folder) {
    std::string missing;
    for (std::string f = folder; !f.empty() && !system.folderExists(f); f = parentFolder(f))
        missing = f;
    return missing;
}

// The files Seedwright wrote into its working folder, and the folder when nothing else is in it.
void removeWorkingFiles(SetupSystem& system, const std::string& folder) {
    if (folder.empty())
        return;
    for (const std::string& name : system.filesIn(folder))
        if (isWorkingFile(name))
            system.deleteFile(folder + "\\" + name);
    system.removeEmptyFolder(folder);
}

// The Start-menu entries under `menu`, and its folder when nothing else is in it.
void removeMenuEntries(SetupSystem& system, const std::string& menu) {
    system.deleteLink(menu + "\\Seedwright");
    system.deleteLink(menu + "\\uninstall");
    // Without a name the path would be the Programs folder itself, without that folder the root.
    const std::string programs = system.programsFolder();
    if (!menu.empty() && !programs.empty())
        system.removeEmptyFolder(programs + "\\" + menu);
}

Removal leftBehind(const std::string& why, const std::string& programFile) {
    Removal removal;
    removal.leftBehind = true;
    removal.why = why;
    removal.programFile = programFile;
    return removal;
}

const char* const kPleaseDelete = "\n\nPlease delete the program file yourself:\n\n";

}  // namespace

InstallEnd install(SetupSystem& system,
                   const SetupContext& context,
                   const InstallFields& fields,
                   SetupOutcome& outcome) {
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

    const std::string programFile = programFilePath(folder);
    // The record before this installation: a copy in another folder goes once this one is in place.
    const std::string earlierRecord = system.readSetting(app::settings::kInstallationPath);
    const std::string earlierCreated = system.readSetting(app::settings::kCreatedFolder);
    const std::string earlierMenu = system.readSetting(app::settings::kStartMenuPath);
    const std::string earlierFolder = earlierRecord.empty() ? std::string() : recordedFolder(system, earlierRecord);
    const bool movesAway = !earlierFolder.empty() && !samePath(earlierFolder, folder);
    if (const FileUse use = system.useOf(programFile); use != FileUse::Free) {
        system.message(inUse(use, "press Install again to replace " + programFile), kOk);
        return InstallEnd::StayOpen;
    }
    if (movesAway) {
        const std::string earlierFile = programFilePath(earlierFolder);
        if (const FileUse use = system.useOf(earlierFile); use != FileUse::Free) {
            system.message(inUse(use, "press Install again, so that " + earlierFile + " is removed"), kOk);
            return InstallEnd::StayOpen;
        }
    }
    // Recorded before it is made: the removal takes these folders away again once they are empty.
    std::string createdFolder = firstMissingFolder(system, folder);
    if (createdFolder.empty() && !movesAway && !earlierFolder.empty())
        createdFolder = earlierCreated;

    unsigned long lastError = 0;
    const int created = system.createFolderTree(folder, lastError);
    if (created == kErrorFileExists || created == kErrorAlreadyExists) {
        if (system.message("Installation Directory already exists...\n\nContinue installation and overwrite existing "
                           "Version?",
                           kYesNo) != kYes)
            return InstallEnd::StayOpen;
    } else if (created != 0 && lastError != 0 && lastError != kErrorInvalidHandle) {
        if (lastError == kErrorAccessDenied) {
            outcome.elevationNeeded = true;
            return InstallEnd::Cancel;
        }
        // A typo in the folder: the member mends it in the dialog.
        system.message(
            "SHCreateDirectoryEx(" + folder + ") Failed to create program directory (err: " + number(lastError) + ")",
            kOk);
        return InstallEnd::StayOpen;
    }

    // Installing from the installed copy itself: its file is already in place.
    if (!samePath(system.fullPath(system.runningProgram()), system.fullPath(programFile))) {
        unsigned long copyError = 0;
        if (!system.copyProgram(programFile, copyError)) {
            // A copy that started after the check above holds it.
            if (copyError == kErrorSharingViolation || copyError == kErrorLockViolation) {
                system.message(inUse(FileUse::Running, "press Install again to replace " + programFile), kOk);
                return InstallEnd::StayOpen;
            }
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
    system.writeSetting(app::settings::kCreatedFolder, createdFolder);
    unsigned long entryError = 0;
    if (!system.writeUninstallEntry(uninstallEntry(system, context, folder), entryError))
        system.message("Failed to create the Registry Keys of the installed programs list (" + number(entryError) + ")",
                       kOk);

    if (!system.createLink(programFile, fields.menu + "\\Seedwright", kProgramDescription, "")) {
        outcome.menuEntriesFailed = true;
        system.message("Could not write your Shortcut!", kOk);
    }
    if (!system.createLink(programFile, fields.menu + "\\uninstall", kUninstallDescription, kUninstallArguments)) {
        outcome.menuEntriesFailed = true;
        system.message("Could not write your Uninstall Shortcut!", kOk);
    }
    // Without its shortcuts the installation is not recorded, so the next start installs again.
    if (outcome.menuEntriesFailed)
        system.deleteProductTrees();

    // The earlier Start-menu folder, when the member chose another name (letter case aside: then
    // it is the same folder). Both lie in the Programs folder; any root compares them so.
    if (!earlierMenu.empty() && !samePath("C:\\" + earlierMenu, "C:\\" + fields.menu))
        removeMenuEntries(system, earlierMenu);
    if (movesAway) {
        const Removal removal = writeSelfDeleteBatch(system, earlierRecord, earlierCreated);
        outcome.removalBatch = removal.batch;
        if (removal.leftBehind)
            system.message("Seedwright is installed in " + folder + ", but " + removal.why +
                               "\n\nPlease delete the earlier program file yourself:\n\n" + removal.programFile,
                           kOk);
    }
    return InstallEnd::Done;
}

InstallFields prefilledFields(const SetupContext& context,
                              const std::string& storedMenu,
                              const std::string& programFilesFolder,
                              const std::string& foundClient) {
    InstallFields fields;
    fields.folder =
        !context.installationPath.empty() ? context.installationPath : programFilesFolder + "\\" + kProductName;
    fields.menu = !storedMenu.empty() ? storedMenu : kProductName;
    fields.client = !context.utorrentPath.empty() ? context.utorrentPath : foundClient;
    return fields;
}

SetupOutcome uninstall(SetupSystem& system, const SetupContext& context) {
    SetupOutcome outcome;
    if (!context.forced && system.message("Do you really want to uninstall Seedwright ?", kYesNo) != kYes)
        return outcome;
    if (!system.probeWriteAccess()) {
        outcome.elevationNeeded = true;
        return outcome;
    }

    const std::string menu = system.readSetting(app::settings::kStartMenuPath);
    // Read before the trees go: the batch may only remove the recorded folder.
    const std::string installationPath = system.readSetting(app::settings::kInstallationPath);
    const std::string createdFolder = system.readSetting(app::settings::kCreatedFolder);

    // Nothing goes while Seedwright runs: its program file would stay behind, and without the
    // shortcuts and the record the member could not uninstall it again.
    const std::string programFile =
        installationPath.empty() ? std::string() : programFilePath(recordedFolder(system, installationPath));
    const FileUse use = system.sessionRunsElsewhere() ? FileUse::Running
                        : programFile.empty()         ? FileUse::Free
                                                      : system.useOf(programFile);
    if (use != FileUse::Free) {
        system.message(inUse(use, programFile.empty() ? "uninstall again" : "uninstall again to remove " + programFile),
                       kOk);
        return outcome;
    }

    removeMenuEntries(system, menu);
    system.deleteProductTrees();
    removeWorkingFiles(system, context.workingFolder);

    const Removal removal = writeSelfDeleteBatch(system, installationPath, createdFolder);
    outcome.removalBatch = removal.batch;
    if (removal.leftBehind)
        system.message(
            "Seedwright's shortcuts and settings are removed, but " + removal.why + kPleaseDelete + removal.programFile,
            kOk);
    else
        system.message("Seedwright was uninstalled.", kOk | kInformation);
    return outcome;
}

Removal writeSelfDeleteBatch(SetupSystem& system, const std::string& installationPath, const std::string& createdTop) {
    if (installationPath.empty())
        return Removal();
    // A relative record would be read against whatever folder the uninstaller runs in.
    const std::string folder = normalizedFullPath(installationPath).empty()
                                   ? std::string()
                                   : normalizedFullPath(system.fullPath(installationPath));
    const std::vector<std::string> systemFolders = system.systemFolders();
    if (judgeProgramFolder(folder, systemFolders) != FolderVerdict::Usable)
        return leftBehind(
            "the recorded Installation Directory is not a folder of Seedwright's own:\n\n" + installationPath,
            programFilePath(folder.empty() ? installationPath : folder));
    const SelfDeleteTarget target =
        selfDeleteTarget(folder, [&](const std::string& f) { return system.fileExists(f); });
    if (!target.deletes)
        return Removal();
    system.clearReadOnly(target.programFile);

    const std::string temporary = system.temporaryFolder();
    const std::string batch = batchFilePath(temporary);
    if (batch.empty())
        return leftBehind("there is no usable folder for temporary files to remove its program file from.",
                          target.programFile);
    // The batch file does not exist yet; its folder does, and its own name is plain ASCII.
    std::string file, programFolder, temporarySpelled;
    // A folder cmd could not name stays, and with it every folder above it.
    std::vector<std::string> parents;
    for (const std::string& parent : createdParents(target.programFolder, createdTop, systemFolders)) {
        std::string spelled;
        if (!system.batchSpelling(parent, spelled))
            break;
        parents.push_back(spelled);
    }
    if (!system.batchSpelling(target.programFile, file) || !system.batchSpelling(target.programFolder, programFolder) ||
        !system.batchSpelling(temporary, temporarySpelled) ||
        !system.writeBatch(batch, selfDeleteBatchText(file, programFolder, batchFilePath(temporarySpelled),
                                                      system.batchCodePage(), parents)))
        return leftBehind("the batch file that removes its program file could not be written.", target.programFile);
    Removal removal;
    removal.batch = RemovalBatch{batch, temporary, target.programFile};
    removal.programFile = target.programFile;
    return removal;
}

}  // namespace install
