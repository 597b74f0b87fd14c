#include "app/Startup.h"

#include "app/state/SettingsLayout.h"
#include "install/ProgramFolderRule.h"

namespace app::startup {

namespace {

constexpr unsigned long kErrorPathNotFound = 3;
constexpr unsigned long kErrorAlreadyExists = 183;

// A success unless the menu entries failed.
void reportCompletion(StartupHost& host, const install::SetupOutcome& outcome) {
    if (outcome.menuEntriesFailed)
        host.message("Installation Complete!\n\nHowever Errors accured during Installation of Menu Entries!");
    else
        host.success("Installation Complete! Enjoy...");
}

// The installer and the uninstaller; the removal batch either leaves is started as the run ends.
int runInstaller(StartupHost& host, AppState& state, install::SetupOutcome& outcome) {
    const int result = host.runInstaller(state, outcome);
    state.m_removalBatch = outcome.removalBatch;
    return result;
}

install::SetupOutcome runUninstaller(StartupHost& host, AppState& state) {
    install::SetupOutcome outcome = host.runUninstaller(state);
    state.m_removalBatch = outcome.removalBatch;
    return outcome;
}

// The installation dialog, then its completion message; a refusal for lack of rights restarts
// the program elevated once, and the restarted copy says the installation failed instead.
void installAndReport(StartupHost& host, AppState& state, bool restarted) {
    install::SetupOutcome outcome;
    const int result = runInstaller(host, state, outcome);
    if (result == kResultCancel) {
        if (outcome.elevationNeeded) {
            if (restarted)
                host.message("Installation aborted...");
            else
                host.restartElevated(std::string("/") + kRestartedSwitch);
        }
    } else if (result == kResultOk) {
        reportCompletion(host, outcome);
    }
}

// The running program file is not the one in the installation folder: a newer build, say,
// downloaded after the update offer.
bool runsOutsideInstallation(StartupHost& host, const AppState& state) {
    const std::string program = host.fullPath(host.programFile());
    const std::size_t cut = program.find_last_of('\\');
    return cut != std::string::npos &&
           !install::samePath(program.substr(0, cut + 1), host.fullPath(state.m_installationPath));
}

}  // namespace

bool hasSwitch(CCommandLine& commandLine, const std::string& name) {
    std::string argument, value;
    for (bool more = commandLine.firstArgument(argument, value); more; more = commandLine.nextArgument(argument, value))
        if (argument == name)
            return true;
    return false;
}

Switch findSwitch(CCommandLine& commandLine) {
    std::string name, value;
    for (bool more = commandLine.firstArgument(name, value); more; more = commandLine.nextArgument(name, value)) {
        if (name == "force")
            return Switch::Force;
        if (name == "uninstall")
            return Switch::Uninstall;
    }
    return Switch::None;
}

namespace {

void runSequence(StartupHost& host, AppState& state, CCommandLine& commandLine) {
    state.setIdentity();
    host.setApplicationName(state.m_title);
    host.setUserLocale();

    state.m_appDataFolder = host.appDataFolder();
    state.m_workingFolder = state.m_appDataFolder + "\\Seedwright";
    if (const unsigned long error = host.createFolder(state.m_workingFolder); error != 0) {
        if (error == kErrorPathNotFound) {
            host.message("Unable to create working direcotry (" + state.m_workingFolder + ")");
            return;
        }
        if (error != kErrorAlreadyExists) {
            host.message("Unknown error creating working direcotry (" + state.m_workingFolder + ")");
            return;
        }
    }

    host.initControls();
    host.readInstallation(state);
    host.setRegistryKey(app::settings::kRegistryKeyName);

    switch (findSwitch(commandLine)) {
        case Switch::Force:
            state.m_forced = true;
            runUninstaller(host, state);
            return;
        case Switch::Uninstall:
            if (state.m_installationPath.empty()) {
                host.message("Seedwright is not installed.");
                return;
            }
            if (runUninstaller(host, state).elevationNeeded)
                host.restartElevated("/force /uninstall");
            return;
        case Switch::None:
            break;
    }

    const bool restarted = hasSwitch(commandLine, kRestartedSwitch);
    if (state.m_installationPath.empty()) {
        installAndReport(host, state, restarted);
        return;
    }
    // The restarted copy was already asked for: it installs over the installed one.
    if (restarted || (runsOutsideInstallation(host, state) &&
                      host.ask("Seedwright is installed in:\n\n" + state.m_installationPath +
                               "\n\nThis copy was started from elsewhere:\n\n" + host.programFile() +
                               "\n\nInstall this copy over the installed one?") == kResultYes)) {
        installAndReport(host, state, restarted);
        return;
    }

    if (!host.setCurrentFolder(state.m_workingFolder)) {
        // A file by the working folder's name: a re-install would not change that.
        if (host.isFile(state.m_workingFolder)) {
            host.message("Seedwright can not use its working folder, because a file has its name:\n\n" +
                         state.m_workingFolder + "\n\nPlease rename or move that file, then start Seedwright again.");
            return;
        }
        host.message("Could not set WorkingDirectory (" + state.m_workingFolder + ").\n\nClick on OK to re-install");
        install::SetupOutcome outcome;
        if (runInstaller(host, state, outcome) == kResultOk)
            reportCompletion(host, outcome);
        else
            host.message("Installation aborted...");
        return;
    }

    state.m_currentFolder = host.currentFolder();
    state.m_newTorrentPath = state.m_currentFolder + "\\MyNew.torrent";
    // Sessions share the working folder's files (MyNew.torrent, swr.torrent): a second one would
    // hand the client the other's torrent. It shows the running one instead and ends.
    if (!host.claimSession() && host.showRunningSession())
        return;
    SiteSession session;
    if (host.runLogin(state, session) != kResultOk)
        return;
    state.m_session = session;
    host.runMainDialog(state);
}

}  // namespace

void run(StartupHost& host, AppState& state, CCommandLine& commandLine) {
    runSequence(host, state, commandLine);
    // The program's last act: once it has ended, the batch may delete its file.
    const RemovalBatch& batch = state.m_removalBatch;
    if (!batch.m_path.empty() && !host.startBatch(batch.m_path, batch.m_folder))
        host.message("The batch file that removes Seedwright's program file could not be started." +
                     std::string("\n\nPlease delete the program file yourself:\n\n") + batch.m_programFile);
}

}  // namespace app::startup
