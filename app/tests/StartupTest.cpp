#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Startup.h"

namespace {

// Records what the sequence does; every answer can be set per test.
class FakeHost : public StartupHost {
  public:
    std::vector<std::string> log;
    unsigned long createError = 0;
    std::string installationPath;  // what the settings key holds
    int installerResult = app::startup::kResultOk;
    bool installerNeedsElevation = false;
    bool installerMenuFailed = false;
    bool uninstallerNeedsElevation = false;
    bool currentFolderOk = true;
    int loginResult = app::startup::kResultOk;
    AppState* state = nullptr;

    void setApplicationName(const std::string& name) override { log.push_back("name " + name); }
    void setUserLocale() override {}
    std::string appDataFolder() override { return "C:\\Users\\jo\\AppData\\Roaming"; }
    unsigned long createFolder(const std::string& folder) override {
        log.push_back("mkdir " + folder);
        return createError;
    }
    void initControls() override { log.push_back("controls"); }
    void readInstallation(AppState& s) override {
        state = &s;
        s.m_installationPath = installationPath;
    }
    void setRegistryKey(const std::string& name) override { log.push_back("key " + name); }
    std::string program = "C:\\Seedwright\\Seedwright.exe";
    std::string programFile() override { return program; }
    std::string fullPath(const std::string& path) override { return path; }
    RemovalBatch batchLeft;  // what the uninstaller or the installer leaves for the end
    install::SetupOutcome runUninstaller(const AppState& s) override {
        log.push_back(s.m_forced ? "uninstall forced" : "uninstall asking");
        return {uninstallerNeedsElevation, false, batchLeft};
    }
    int runInstaller(const AppState&, install::SetupOutcome& outcome) override {
        log.push_back("installer");
        outcome = {installerNeedsElevation, installerMenuFailed, batchLeft};
        return installerResult;
    }
    void restartElevated(const std::string& parameters) override { log.push_back("runas [" + parameters + "]"); }
    bool batchStarts = true;
    bool startBatch(const std::string& path, const std::string& folder) override {
        log.push_back("start " + path + " in " + folder);
        return batchStarts;
    }
    void message(const std::string& text) override { log.push_back("message " + text); }
    int answer = 7;  // IDNO
    int ask(const std::string& text) override {
        log.push_back("ask " + text);
        return answer;
    }
    bool workingFolderIsFile = false;
    bool isFile(const std::string& path) override { return workingFolderIsFile && path == state->m_workingFolder; }
    bool setCurrentFolder(const std::string& folder) override {
        log.push_back("cd " + folder);
        return currentFolderOk;
    }
    std::string currentFolder() override { return "C:\\Users\\jo\\AppData\\Roaming\\Seedwright"; }
    int runLogin(const AppState&, SiteSession& session) override {
        log.push_back("login");
        session.m_siteHost = "tracker";
        return loginResult;
    }
    void runMainDialog(const AppState& s) override { log.push_back("main at " + s.m_session.m_siteHost); }
    bool otherSession = false;  // another copy holds the working session
    bool otherEnds = false;     // and ends before it shows a window
    bool claimSession() override { return !otherSession; }
    bool showRunningSession() override {
        log.push_back("show running session");
        return !otherEnds;
    }
};

// The events after the fixed opening (name, mkdir, controls, key).
std::vector<std::string> run(FakeHost& host, const std::string& commandLine, AppState& state) {
    CCommandLine cl;
    cl.parse(commandLine, host.program);
    app::startup::run(host, state, cl);
    return host.log;
}

std::vector<std::string> after(const std::vector<std::string>& log) {
    std::vector<std::string> rest;
    bool opened = false;
    for (const auto& entry : log) {
        if (opened)
            rest.push_back(entry);
        opened = opened || entry == "key Seedwright";
    }
    return rest;
}

using Log = std::vector<std::string>;
const char* kProgram = "\"C:\\Seedwright\\Seedwright.exe\"";

TEST(Startup, OpeningSetsTitleFlagsAndWorkingFolder) {
    FakeHost host;
    host.installationPath = "C:\\Program Files\\Seedwright";
    AppState state;
    state.m_forced = true;
    state.m_removalBatch.m_path = "T:\\left.bat";
    const Log log = run(host, "Seedwright.exe", state);
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0], "name Seedwright V1.14");
    EXPECT_EQ(log[1], "mkdir C:\\Users\\jo\\AppData\\Roaming\\Seedwright");
    EXPECT_EQ(log[2], "controls");
    EXPECT_EQ(state.m_title, "Seedwright V1.14");
    EXPECT_FALSE(state.m_forced);
    EXPECT_TRUE(state.m_removalBatch.m_path.empty());
    EXPECT_EQ(state.m_workingFolder, "C:\\Users\\jo\\AppData\\Roaming\\Seedwright");
    EXPECT_EQ(state.m_currentFolder, "C:\\Users\\jo\\AppData\\Roaming\\Seedwright");
    EXPECT_EQ(state.m_newTorrentPath, "C:\\Users\\jo\\AppData\\Roaming\\Seedwright\\MyNew.torrent");
}

TEST(Startup, WorkingFolderErrors) {
    const std::string folder = "C:\\Users\\jo\\AppData\\Roaming\\Seedwright";
    FakeHost notFound;
    notFound.createError = 3;
    AppState state;
    EXPECT_EQ(run(notFound, "x", state), (Log{"name Seedwright V1.14", "mkdir " + folder,
                                              "message Unable to create working direcotry (" + folder + ")"}));

    FakeHost denied;
    denied.createError = 5;
    EXPECT_EQ(run(denied, "x", state).back(), "message Unknown error creating working direcotry (" + folder + ")");

    // An existing folder is no error and gives no message.
    FakeHost exists;
    exists.createError = 183;
    exists.installationPath = "C:\\Seedwright";
    EXPECT_EQ(after(run(exists, "x", state)), (Log{"cd " + folder, "login", "main at tracker"}));
}

TEST(Startup, SwitchesChooseTheUninstaller) {
    struct Case {
        std::string arguments;
        bool elevation;
        Log expected;
    };
    const Case cases[] = {
        {" /force", false, {"uninstall forced"}},
        {" -force", false, {"uninstall forced"}},
        {" /force", true, {"uninstall forced"}},  // no second restart from the elevated copy
        {" /force /uninstall", false, {"uninstall forced"}},
        {" /uninstall", false, {"uninstall asking"}},
        {" /uninstall", true, {"uninstall asking", "runas [/force /uninstall]"}},
        // The second switch is the first one's value: only the uninstall branch runs, asking.
        {" /uninstall /force", false, {"uninstall asking"}},
        // Unknown arguments are skipped; the later switch is still found.
        {" hello /x y -uninstall", false, {"uninstall asking"}},
    };
    for (const auto& c : cases) {
        for (const std::string installed : {"", "C:\\Seedwright"}) {
            FakeHost host;
            host.installationPath = installed;
            host.uninstallerNeedsElevation = c.elevation;
            AppState state;
            // Nothing to uninstall: the member is told so and asked nothing.
            const bool asking = c.expected.front() == "uninstall asking";
            const Log expected = installed.empty() && asking ? Log{"message Seedwright is not installed."} : c.expected;
            EXPECT_EQ(after(run(host, kProgram + c.arguments, state)), expected) << c.arguments;
        }
    }
}

TEST(Startup, SwitchesInTheProgramPathAreNoSwitches) {
    for (const std::string program :
         {"\"C:\\Apps -force x -uninstall y\\Seedwright.exe\"", "C:\\Apps -force x -uninstall y\\Seedwright.exe"}) {
        FakeHost host;
        host.installationPath = "C:\\Apps -force x -uninstall y";
        host.program = "C:\\Apps -force x -uninstall y\\Seedwright.exe";
        AppState state;
        EXPECT_EQ(after(run(host, program, state)),
                  (Log{"cd C:\\Users\\jo\\AppData\\Roaming\\Seedwright", "login", "main at tracker"}))
            << program;
        FakeHost uninstall = host;
        uninstall.log.clear();
        EXPECT_EQ(after(run(uninstall, program + " /uninstall", state)), (Log{"uninstall asking"})) << program;
    }
}

TEST(Startup, SwitchesThatMatchNothingStartAsWithoutArguments) {
    for (const char* arguments : {"", " /Force", " /UNINSTALL", " force", " /x /force", " /forced"}) {
        FakeHost host;
        host.installationPath = "C:\\Seedwright";
        AppState state;
        EXPECT_EQ(after(run(host, std::string(kProgram) + arguments, state)),
                  (Log{"cd C:\\Users\\jo\\AppData\\Roaming\\Seedwright", "login", "main at tracker"}))
            << arguments;
    }
}

TEST(Startup, NotInstalledRunsTheInstallerAndEndsWithoutLogin) {
    FakeHost host;
    AppState state;
    EXPECT_EQ(after(run(host, kProgram, state)), (Log{"installer", "message Installation Complete! Enjoy..."}));

    FakeHost menuFailed;
    menuFailed.installerMenuFailed = true;
    EXPECT_EQ(after(run(menuFailed, kProgram, state)),
              (Log{"installer",
                   "message Installation Complete!\n\nHowever Errors accured during Installation of Menu Entries!"}));

    FakeHost aborted;
    aborted.installerResult = app::startup::kResultCancel;
    EXPECT_EQ(after(run(aborted, kProgram, state)), (Log{"installer"}));

    FakeHost refused;
    refused.installerResult = app::startup::kResultCancel;
    refused.installerNeedsElevation = true;
    EXPECT_EQ(after(run(refused, kProgram, state)), (Log{"installer", "runas [/restarted]"}));

    // A dialog that could not even be shown is no completed installation.
    FakeHost broken;
    broken.installerResult = -1;
    EXPECT_EQ(after(run(broken, kProgram, state)), (Log{"installer"}));
}

TEST(Startup, TheInstallersRestartHappensOnceAndTheRestartedCopyReportsTheFailure) {
    FakeHost first;
    first.installerResult = app::startup::kResultCancel;
    first.installerNeedsElevation = true;
    AppState state;
    EXPECT_EQ(after(run(first, kProgram, state)), (Log{"installer", "runas [/restarted]"}));

    for (const std::string installed : {"", "C:\\Seedwright"}) {
        FakeHost restarted = first;
        restarted.log.clear();
        restarted.installationPath = installed;
        EXPECT_EQ(after(run(restarted, std::string(kProgram) + " /restarted", state)),
                  (Log{"installer", "message Installation aborted..."}));
    }
    // Where the restart did give the rights, it installs as the first copy would have.
    FakeHost granted;
    EXPECT_EQ(after(run(granted, std::string(kProgram) + " /restarted", state)),
              (Log{"installer", "message Installation Complete! Enjoy..."}));
}

TEST(Startup, ACopyFromElsewhereOffersToInstallOverTheInstalledOne) {
    const std::string question =
        "ask Seedwright is installed in:\n\nC:\\Program Files\\Seedwright\n\nThis copy was started from "
        "elsewhere:\n\nC:\\Users\\jo\\Downloads\\Seedwright.exe\n\nInstall this copy over the installed one?";
    FakeHost yes;
    yes.installationPath = "C:\\Program Files\\Seedwright";
    yes.program = "C:\\Users\\jo\\Downloads\\Seedwright.exe";
    yes.answer = app::startup::kResultYes;
    AppState state;
    EXPECT_EQ(after(run(yes, "Seedwright.exe", state)),
              (Log{question, "installer", "message Installation Complete! Enjoy..."}));

    FakeHost no = yes;
    no.log.clear();
    no.answer = 7;
    EXPECT_EQ(after(run(no, "Seedwright.exe", state)),
              (Log{question, "cd C:\\Users\\jo\\AppData\\Roaming\\Seedwright", "login", "main at tracker"}));

    // Started from the installation folder, in whatever spelling: no question.
    FakeHost installed = yes;
    installed.log.clear();
    installed.program = "c:/program files/SEEDWRIGHT/Seedwright.exe";
    EXPECT_EQ(after(run(installed, "Seedwright.exe", state)),
              (Log{"cd C:\\Users\\jo\\AppData\\Roaming\\Seedwright", "login", "main at tracker"}));
}

TEST(Startup, AWorkingFolderTakenByAFileIsNamedInsteadOfAReinstall) {
    FakeHost host;
    host.installationPath = "C:\\Seedwright";
    host.currentFolderOk = false;
    host.workingFolderIsFile = true;
    AppState state;
    EXPECT_EQ(after(run(host, kProgram, state)),
              (Log{"cd C:\\Users\\jo\\AppData\\Roaming\\Seedwright",
                   "message Seedwright can not use its working folder, because a file has its "
                   "name:\n\nC:\\Users\\jo\\AppData\\"
                   "Roaming\\Seedwright\n\nPlease rename or move that file, then start Seedwright again."}));
}

TEST(Startup, UnusableWorkingFolderOffersAReinstallWithoutRestart) {
    const std::string cdFailed =
        "message Could not set WorkingDirectory (C:\\Users\\jo\\AppData\\Roaming\\Seedwright).\n\nClick on OK to "
        "re-install";
    FakeHost host;
    host.installationPath = "C:\\Seedwright";
    host.currentFolderOk = false;
    AppState state;
    EXPECT_EQ(after(run(host, kProgram, state)), (Log{"cd C:\\Users\\jo\\AppData\\Roaming\\Seedwright", cdFailed,
                                                      "installer", "message Installation Complete! Enjoy..."}));

    FakeHost aborted = FakeHost();
    aborted.installationPath = "C:\\Seedwright";
    aborted.currentFolderOk = false;
    aborted.installerResult = app::startup::kResultCancel;
    aborted.installerNeedsElevation = true;
    EXPECT_EQ(after(run(aborted, kProgram, state)), (Log{"cd C:\\Users\\jo\\AppData\\Roaming\\Seedwright", cdFailed,
                                                         "installer", "message Installation aborted..."}));
}

TEST(Startup, CancelledLoginEndsWithoutTheMainDialog) {
    FakeHost host;
    host.installationPath = "C:\\Seedwright";
    host.loginResult = app::startup::kResultCancel;
    AppState state;
    EXPECT_EQ(after(run(host, kProgram, state)), (Log{"cd C:\\Users\\jo\\AppData\\Roaming\\Seedwright", "login"}));
}

TEST(Startup, ASecondSessionShowsTheRunningOneInstead) {
    const std::string cd = "cd C:\\Users\\jo\\AppData\\Roaming\\Seedwright";
    const std::string installed = "message Installation Complete! Enjoy...";
    struct Case {
        std::string installation, arguments;
        bool otherEnds;
        Log expected;
    };
    const Case cases[] = {
        {"C:\\Seedwright", "", false, {cd, "show running session"}},
        {"C:\\Seedwright", "", true, {cd, "show running session", "login", "main at tracker"}},
        // Installing and uninstalling are no session: they go on beside it.
        {"C:\\Seedwright", " /uninstall", false, {"uninstall asking"}},
        {"C:\\Seedwright", " /restarted", false, {"installer", installed}},
        {"", "", false, {"installer", installed}},
    };
    for (const Case& c : cases) {
        FakeHost host;
        host.installationPath = c.installation;
        host.otherSession = true;
        host.otherEnds = c.otherEnds;
        AppState state;
        EXPECT_EQ(after(run(host, kProgram + c.arguments, state)), c.expected) << c.installation << c.arguments;
    }
}

TEST(Startup, TheRemovalBatchStartsAsTheLastThingTheProgramDoes) {
    FakeHost uninstalled;
    uninstalled.installationPath = "C:\\Seedwright";
    uninstalled.batchLeft = {"T:\\_uninsep.bat", "T:\\", "C:\\Seedwright\\Seedwright.exe"};
    AppState state;
    EXPECT_EQ(after(run(uninstalled, "Seedwright.exe /uninstall", state)),
              (std::vector<std::string>{"uninstall asking", "start T:\\_uninsep.bat in T:\\"}));

    // A re-installation into another folder: after the completion message.
    FakeHost reinstalled;
    reinstalled.installationPath = "C:\\Seedwright";
    reinstalled.program = "C:\\Users\\jo\\Downloads\\Seedwright.exe";
    reinstalled.answer = app::startup::kResultYes;
    reinstalled.batchLeft = uninstalled.batchLeft;
    AppState again;
    const std::vector<std::string> log = after(run(reinstalled, "Seedwright.exe", again));
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "message Installation Complete! Enjoy...");
    EXPECT_EQ(log.back(), "start T:\\_uninsep.bat in T:\\");

    FakeHost refused;
    refused.installationPath = "C:\\Seedwright";
    refused.batchLeft = uninstalled.batchLeft;
    refused.batchStarts = false;
    AppState third;
    EXPECT_EQ(after(run(refused, "Seedwright.exe /force", third)).back(),
              "message The batch file that removes Seedwright's program file could not be started.\n\nPlease delete "
              "the program file yourself:\n\nC:\\Seedwright\\Seedwright.exe");

    // Nothing left: nothing started.
    FakeHost plain;
    plain.installationPath = "C:\\Seedwright";
    AppState fourth;
    for (const std::string& entry : run(plain, "Seedwright.exe /uninstall", fourth))
        EXPECT_NE(entry.rfind("start", 0), 0u) << entry;
}

}  // namespace
