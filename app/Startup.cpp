#include "app/Startup.h"

#include "app/SettingsLayout.h"

namespace startup {

namespace {

constexpr unsigned long kErrorPathNotFound = 3;
constexpr unsigned long kErrorAlreadyExists = 183;

std::string completionMessage(const AppState& state) {
    if (state.m_menuEntriesFailed)
        return "Installation Complete!\n\nHowever Errors accured during Installation of Menu Entries!";
    return "Installation Complete! Enjoy...";
}

}  // namespace

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

void run(StartupHost& host, AppState& state, CCommandLine& commandLine) {
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
    host.setRegistryKey(settings::kRegistryKeyName);

    switch (findSwitch(commandLine)) {
        case Switch::Force:
            state.m_forced = true;
            host.runUninstaller();
            return;
        case Switch::Uninstall:
            host.runUninstaller();
            if (state.m_elevationNeeded)
                host.restartElevated("/force /uninstall");
            return;
        case Switch::None:
            break;
    }

    if (state.m_installationPath.empty()) {
        const int result = host.runInstaller();
        if (result == kResultCancel) {
            if (state.m_elevationNeeded)
                host.restartElevated("");
        } else if (result == kResultOk) {
            host.message(completionMessage(state));
        }
        return;
    }

    if (!host.setCurrentFolder(state.m_workingFolder)) {
        host.message("Could not set WorkingDirectory (" + state.m_workingFolder + ").\n\nClick on OK to re-install");
        const int result = host.runInstaller();
        if (result == kResultOk)
            host.message(completionMessage(state));
        else
            host.message("Installation aborted...");
        return;
    }

    state.m_currentFolder = host.currentFolder();
    state.m_newTorrentPath = state.m_currentFolder + "\\MyNew.torrent";
    if (host.runLogin() == kResultOk)
        host.runMainDialog();
}

}  // namespace startup
