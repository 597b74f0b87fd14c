#include "install/SetupSequence.h"

#include "app/SettingsLayout.h"
#include "install/SetupRules.h"

namespace setup {

namespace {

constexpr int kErrorFileExists = 80;
constexpr int kErrorAlreadyExists = 183;
constexpr unsigned long kErrorAccessDenied = 5;
constexpr unsigned long kErrorInvalidHandle = 6;

}  // namespace

InstallEnd install(SetupSystem& system, AppState& state, const InstallFields& fields) {
    if (fields.folder.empty()) {
        system.message("Please choose a Installation Directory!", kOk);
        return InstallEnd::StayOpen;
    }
    if (fields.client.empty()) {
        system.message("Without choosing the correct path to your uTorrent.exe Client, Seedwright will not function!",
                       kOk);
        return InstallEnd::StayOpen;
    }
    if (fields.menu.empty()) {
        system.message("Choose a Startmenu Name!", kOk);
        return InstallEnd::StayOpen;
    }

    unsigned long lastError = 0;
    const int created = system.createFolderTree(fields.folder, lastError);
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
        system.message("SHCreateDirectoryEx(" + fields.folder + ") Failed to create program directory (err: " +
                           std::to_string(static_cast<long>(lastError)) + ")",
                       kOk);
        return InstallEnd::Cancel;
    }

    const std::string programFile = programFilePath(fields.folder);
    unsigned long copyError = 0;
    if (!system.copyProgram(programFile, copyError)) {
        system.message("Failed to copy file (" + std::to_string(static_cast<long>(copyError)) + ")", kOk);
        return InstallEnd::Cancel;
    }

    // Without a Programs folder the path would point at the root of the drive.
    const std::string programs = system.programsFolder();
    if (!programs.empty()) {
        unsigned long ignored = 0;
        system.createFolderTree(programs + "\\" + fields.menu, ignored);
    }

    unsigned long keyError = 0;
    if (!system.openSettingsKey(keyError)) {
        system.message("Failed to create Registry Keys (" + std::to_string(static_cast<long>(keyError)) + ")", kOk);
        return InstallEnd::Cancel;
    }
    system.writeSetting(settings::kInstallationPath, fields.folder);
    system.writeSetting(settings::kStartMenuPath, fields.menu);
    system.writeSetting(settings::kUtorrent, fields.client);

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

void uninstall(SetupSystem& system, AppState& state) {
    if (!state.m_forced && system.message("Do you really want to uninstall Seedwright ?", kYesNo) != kYes)
        return;
    if (!system.probeWriteAccess())
        return;

    const std::string menu = system.readSetting(settings::kStartMenuPath);
    // Read before the trees go: the batch may only remove the recorded folder.
    const std::string installationPath = system.readSetting(settings::kInstallationPath);

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
    const SelfDeleteTarget target =
        selfDeleteTarget(installationPath, [&](const std::string& file) { return system.fileExists(file); });
    if (!target.deletes)
        return;
    const std::string batch = system.batchPath();
    system.startBatch(batch, selfDeleteBatchText(target.programFile, target.programFolder, batch));
}

}  // namespace setup
