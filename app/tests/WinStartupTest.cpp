#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <string>
#include <thread>
#include <vector>

#include "app/KestrelApp.h"
#include "app/WinStartup.h"
#include "install/Setup.h"
#include "tests/support/UiDriver.h"

namespace {

using Log = std::vector<std::string>;

// The real start-up on Windows, with the restarts, messages and the session only recorded.
class CRecordingHost : public CWinStartupHost {
  public:
    using CWinStartupHost::CWinStartupHost;
    Log log;

    void restartElevated(const std::string& parameters) override { log.push_back("runas [" + parameters + "]"); }
    void message(const std::string& text) override { log.push_back("message " + text); }
    void success(const std::string& text) override { log.push_back("success " + text); }
    // This test program is no installed copy: the question of a copy from elsewhere, declined.
    int ask(const std::string& text) override {
        log.push_back("ask " + text.substr(0, text.find(':')));
        return IDNO;
    }
    int runLogin(const AppState&, SiteSession&) override {
        log.push_back("login");
        return IDCANCEL;
    }
    void runMainDialog(const AppState&) override { log.push_back("main"); }
};

DWORD refuseProbe(const std::string&) {
    return ERROR_ACCESS_DENIED;
}

class WinStartupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright");
        CWinSetupSystem::s_createProbeFolder = s_realProbe;
        m_app.state() = AppState();
        static const char command[] = "\"C:\\uT\\uTorrent.exe\" \"%1\"";
        SHSetValueA(HKEY_CURRENT_USER, "Software\\Classes\\Applications\\uTorrent.exe\\shell\\open\\command", nullptr,
                    REG_SZ, command, sizeof command);
    }
    void TearDown() override {
        CWinSetupSystem::s_createProbeFolder = s_realProbe;
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright");
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Seedwright");
    }

    Log run(const std::string& commandLine) {
        CRecordingHost host(m_app);
        CCommandLine cl;
        cl.parse(commandLine);
        app::startup::run(host, m_app.state(), cl);
        return host.log;
    }

    static void record(const char* name, const std::string& value) {
        SHSetValueA(HKEY_LOCAL_MACHINE, "Software\\Seedwright\\Settings", name, REG_SZ, value.c_str(),
                    static_cast<DWORD>(value.size() + 1));
    }

    static inline DWORD (*s_realProbe)(const std::string&) = CWinSetupSystem::s_createProbeFolder;
    CKestrelApp m_app;
};

TEST_F(WinStartupTest, ReadsTheRecordAndTreatsALongPathAsNotInstalled) {
    record("InstallationPath", "C:\\Program Files\\Seedwright");
    record("utorrent", "C:\\uT\\uTorrent.exe");
    EXPECT_EQ(run("Seedwright.exe"), (Log{"ask Seedwright is installed in", "login"}));
    EXPECT_EQ(m_app.state().m_installationPath, "C:\\Program Files\\Seedwright");
    EXPECT_EQ(m_app.state().m_utorrentPath, "C:\\uT\\uTorrent.exe");
    EXPECT_EQ(m_app.m_appName, "Seedwright V1.14");
    EXPECT_EQ(m_app.m_registryKey, "Seedwright");
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(m_app.state().m_currentFolder, current);
    EXPECT_EQ(m_app.state().m_workingFolder, m_app.state().m_appDataFolder + "\\Seedwright");
    EXPECT_EQ(m_app.state().m_newTorrentPath, std::string(current) + "\\MyNew.torrent");

    // 1024 bytes and more: the value does not fit and the program counts as not installed.
    record("InstallationPath", std::string(1100, 'x'));
    m_app.state() = AppState();                          // a new process
    CWinSetupSystem::s_createProbeFolder = refuseProbe;  // the installer ends at once
    EXPECT_EQ(run("Seedwright.exe"), (Log{"runas [/restarted]"}));
    EXPECT_EQ(m_app.state().m_installationPath, "");
    EXPECT_EQ(m_app.state().m_utorrentPath, "C:\\uT\\uTorrent.exe");
}

TEST_F(WinStartupTest, FirstStartInstallsAndNeverLogsIn) {
    std::string caption;
    std::thread user([&] {
        HWND dialog = ui::waitForDialog(GetCurrentProcessId(), "Seedwright V1.14 - Installation");
        if (dialog == nullptr)
            return;
        caption = "seen";
        ui::pressButton(dialog, IDOK);
        // The folder may be left from another test.
        if (HWND box = ui::waitForMessageBox(GetCurrentProcessId(), "Seedwright V1.14", 2000))
            ui::pressButton(box, IDYES);
    });
    const Log log = run("\"C:\\Program Files\\Seedwright.exe\"");
    user.join();
    EXPECT_EQ(caption, "seen");
    EXPECT_EQ(log, (Log{"success Installation Complete! Enjoy..."}));
}

TEST_F(WinStartupTest, RefusedRightsRestartThroughRunasOnce) {
    CWinSetupSystem::s_createProbeFolder = refuseProbe;
    EXPECT_EQ(run("Seedwright.exe"), (Log{"runas [/restarted]"}));
    EXPECT_EQ(run("Seedwright.exe /Force"), (Log{"runas [/restarted]"}));
    // The restarted copy, refused again, says so and starts nothing.
    EXPECT_EQ(run("Seedwright.exe /restarted"), (Log{"message Installation aborted..."}));
    // Nothing installed: nothing to ask about.
    EXPECT_EQ(run("Seedwright.exe /uninstall"), (Log{"message Seedwright is not installed."}));

    record("InstallationPath", "C:\\Program Files\\Seedwright");
    EXPECT_EQ(run("Seedwright.exe -force"), Log{});
    // Refused: nothing is removed.
    EXPECT_EQ(SHGetValueA(HKEY_LOCAL_MACHINE, "Software\\Seedwright\\Settings", "InstallationPath", nullptr, nullptr,
                          nullptr),
              ERROR_SUCCESS);

    std::string question;
    std::thread user([&] { question = ui::answerMessageBox(GetCurrentProcessId(), "Seedwright V1.14", IDYES); });
    EXPECT_EQ(run("Seedwright.exe /uninstall"), (Log{"runas [/force /uninstall]"}));
    user.join();
    EXPECT_EQ(question, "Do you really want to uninstall Seedwright ?");

    // Declined: neither the probe nor a restart.
    std::thread no([&] { ui::answerMessageBox(GetCurrentProcessId(), "Seedwright V1.14", IDNO); });
    EXPECT_EQ(run("Seedwright.exe /uninstall /force"), Log{});
    no.join();
}

}  // namespace
