#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <fstream>
#include <string>

#include "install/res/InstallIds.h"
#include "site/res/SiteIds.h"
#include "tests/support/FileBytes.h"
#include "tests/support/UiDriver.h"
#include "tests/support/WinPlaces.h"

// The whole program as a user meets it: Seedwright.exe started as its own process, its windows
// read and answered from here.
namespace {

using namespace places;

const char* kTitle = "Seedwright V1.14";

bool waitUntilGone(const std::string& path, DWORD limitMs) {
    return ui::waitUntil([&] { return !exists(path); }, limitMs);
}

// The built program, seen through Wine's drive for the host's file system. Only ever copied:
// every start is of a copy on drive C:, so no uninstall batch can reach the host's files.
std::string builtProgram() {
    return windowsPath(SW_SEEDWRIGHT_EXE);
}

// The login dialog of a session: the one with the login and password fields.
HWND waitForLogin(DWORD processId) {
    ui::WindowQuery query;
    query.processId = processId;
    query.withItem = IDC_PASSWORD;
    const HWND dialog = ui::waitForWindow(query);
    return dialog != nullptr && GetDlgItem(dialog, IDC_LOGIN) != nullptr &&
                   GetDlgItem(dialog, IDC_SETUP_FOLDER) == nullptr
               ? dialog
               : nullptr;
}

// Seedwright started again while `shown`, the running session's window, is behind another
// program: the second start shows no window of its own and ends within seconds, leaving `shown` in
// front. (The end-to-end road minimises it instead.)
void expectSecondStartShows(const std::string& program, HWND shown) {
    const ui::CWindowInFront other;
    ASSERT_TRUE(other.inFront());
    ui::CProcess second;
    ASSERT_TRUE(second.start(program, ""));
    ui::WindowQuery own;
    own.processId = second.id();
    bool ownWindow = false;
    EXPECT_TRUE(ui::waitUntil(
        [&] {
            ownWindow = ownWindow || ui::findWindow(own) != nullptr;
            return second.waitEnd(0);
        },
        5000));
    EXPECT_FALSE(ownWindow);
    EXPECT_EQ(GetForegroundWindow(), shown);
}

class SeedwrightExeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright");
        SHDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Seedwright");
        static const char command[] = "\"C:\\uT\\uTorrent.exe\" \"%1\"";
        SHSetValueA(HKEY_CURRENT_USER, "Software\\Classes\\Applications\\uTorrent.exe\\shell\\open\\command", nullptr,
                    REG_SZ, command, sizeof command);
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Seedwright");
        installFolder = shellFolder(CSIDL_PROGRAM_FILES) + "\\Seedwright";
        menuFolder = shellFolder(CSIDL_COMMON_PROGRAMS) + "\\Seedwright";
        removeTree(installFolder);
        removeTree(menuFolder);
        ASSERT_TRUE(exists(builtProgram())) << builtProgram();
        // The programs started from here stand on drive C: too.
        SetCurrentDirectoryA(shellFolder(CSIDL_PROFILE).c_str());
        program = downloadedCopy(builtProgram());
        ASSERT_FALSE(program.empty());
    }

    // First start of the downloaded program: the installation dialog, Install (into `folder`
    // when given), the completion message.
    void install(const std::string& folder = std::string()) {
        ui::CProcess first;
        ASSERT_TRUE(first.start(program, ""));
        HWND dialog = ui::waitForDialog(first.id(), "Seedwright V1.14 - Installation");
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(ui::itemText(dialog, IDC_SETUP_FOLDER), installFolder);
        EXPECT_EQ(ui::itemText(dialog, IDC_SETUP_MENU), "Seedwright");
        EXPECT_EQ(ui::itemText(dialog, IDC_SETUP_CLIENT), "C:\\uT\\uTorrent.exe");
        if (!folder.empty())
            ui::setItemText(dialog, IDC_SETUP_FOLDER, folder);
        ui::pressButton(dialog, IDOK);
        EXPECT_EQ(ui::answerMessageBox(first.id(), kTitle, IDOK), "Installation Complete! Enjoy...");
        // No login follows: the program ends by itself.
        EXPECT_TRUE(first.waitEnd());
        ASSERT_TRUE(exists((folder.empty() ? installFolder : folder) + "\\Seedwright.exe"));
    }

    // The installed program started with `arguments` opens the login, which closes it again.
    void startsTheLogin(const std::string& arguments, const std::string& folder = std::string()) {
        ui::CProcess session;
        ASSERT_TRUE(session.start((folder.empty() ? installFolder : folder) + "\\Seedwright.exe", arguments));
        HWND login = waitForLogin(session.id());
        ASSERT_NE(login, nullptr);
        PostMessageA(login, WM_CLOSE, 0, 0);
        EXPECT_TRUE(session.waitEnd());
    }

    std::string installFolder, menuFolder, program;
};

TEST_F(SeedwrightExeTest, FirstStartInstallsAndTheShortcutStartsOneSession) {
    install();
    EXPECT_TRUE(exists(menuFolder + "\\Seedwright.lnk"));
    EXPECT_TRUE(exists(menuFolder + "\\uninstall.lnk"));

    // The shortcut's target: the working session, no installer. Started again while the login
    // shows: the login comes back in front.
    ui::CProcess session;
    ASSERT_TRUE(session.start(installFolder + "\\Seedwright.exe", ""));
    const HWND login = waitForLogin(session.id());
    ASSERT_NE(login, nullptr);
    expectSecondStartShows(installFolder + "\\Seedwright.exe", login);
    PostMessageA(login, WM_CLOSE, 0, 0);
    EXPECT_TRUE(session.waitEnd());
}

TEST_F(SeedwrightExeTest, SwitchesThatMatchNothingStartNormally) {
    install();
    startsTheLogin("/Force");
    EXPECT_TRUE(exists(installFolder + "\\Seedwright.exe"));

    // A path longer than the reading buffer counts as no installation.
    const std::string longPath(1100, 'x');
    SHSetValueA(HKEY_LOCAL_MACHINE, "Software\\Seedwright\\Settings", "InstallationPath", REG_SZ, longPath.c_str(),
                static_cast<DWORD>(longPath.size() + 1));
    ui::CProcess again;
    ASSERT_TRUE(again.start(installFolder + "\\Seedwright.exe", ""));
    HWND dialog = ui::waitForDialog(again.id(), "Seedwright V1.14 - Installation");
    ASSERT_NE(dialog, nullptr);
    // Installed again by the installed copy itself: its own file is already in place.
    ui::pressButton(dialog, IDOK);
    EXPECT_EQ(ui::answerMessageBox(again.id(), kTitle, IDYES),
              "Installation Directory already exists...\n\nContinue installation and overwrite existing Version?");
    EXPECT_EQ(ui::answerMessageBox(again.id(), kTitle, IDOK), "Installation Complete! Enjoy...");
    EXPECT_TRUE(again.waitEnd());
    EXPECT_EQ(readFileBytes(installFolder + "\\Seedwright.exe"), readFileBytes(program));
}

TEST_F(SeedwrightExeTest, UninstallShortcutAsksThenRemovesEverything) {
    install();
    ui::CProcess uninstall;
    ASSERT_TRUE(uninstall.start(installFolder + "\\Seedwright.exe", "/uninstall"));
    EXPECT_EQ(ui::answerMessageBox(uninstall.id(), kTitle, IDYES), "Do you really want to uninstall Seedwright ?");
    EXPECT_EQ(ui::answerMessageBox(uninstall.id(), kTitle, IDOK), "Seedwright was uninstalled.");
    EXPECT_TRUE(uninstall.waitEnd());
    EXPECT_FALSE(exists(menuFolder));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright"));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "SOFTWARE\\Seedwright"));
    // The batch waits for the program to end, then takes the folder and itself.
    EXPECT_TRUE(waitUntilGone(installFolder, 30000));
    char temp[MAX_PATH + 1] = "";
    GetTempPathA(sizeof temp, temp);
    EXPECT_TRUE(waitUntilGone(std::string(temp) + "_uninsep.bat", 10000));
}

TEST_F(SeedwrightExeTest, ForcedCopyFromElsewhereRemovesOnlyTheInstallation) {
    install();
    ui::CProcess outside;
    ASSERT_TRUE(outside.start(program, "-force"));
    // Nothing asked, the end told.
    EXPECT_EQ(ui::answerMessageBox(outside.id(), kTitle, IDOK), "Seedwright was uninstalled.");
    EXPECT_TRUE(outside.waitEnd());
    EXPECT_TRUE(waitUntilGone(installFolder, 30000));
    EXPECT_TRUE(exists(program));
    EXPECT_TRUE(exists(downloadsFolder()));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright"));
}

TEST_F(SeedwrightExeTest, UninstallWithoutAnInstallationDeletesNoFile) {
    CreateDirectoryA(installFolder.c_str(), nullptr);
    std::ofstream(installFolder + "\\Seedwright.exe") << "MZ";
    ui::CProcess outside;
    ASSERT_TRUE(outside.start(program, "/force"));
    EXPECT_EQ(ui::answerMessageBox(outside.id(), kTitle, IDOK), "Seedwright was uninstalled.");
    EXPECT_TRUE(outside.waitEnd());
    Sleep(1000);
    EXPECT_TRUE(exists(installFolder + "\\Seedwright.exe"));
    EXPECT_TRUE(exists(program));
    removeTree(installFolder);
}

TEST_F(SeedwrightExeTest, SwitchesInTheProgramPathAreNoSwitches) {
    const std::string parent = "C:\\Apps -force x -uninstall y";
    removeTree(parent);
    install(parent + "\\Seedwright");
    startsTheLogin("", parent + "\\Seedwright");
    EXPECT_TRUE(exists(parent + "\\Seedwright\\Seedwright.exe"));
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright"));
    removeTree(parent);
}

// The installed program's session, its login dialog open.
struct Session {
    ui::CProcess process;
    HWND login = nullptr;

    bool start(const std::string& program) {
        login = process.start(program, "") ? waitForLogin(process.id()) : nullptr;
        return login != nullptr;
    }
};

TEST_F(SeedwrightExeTest, UninstallWhileASessionRunsRemovesNothingUntilItHasEnded) {
    install();
    const std::string installed = installFolder + "\\Seedwright.exe";
    Session session;
    ASSERT_TRUE(session.start(installed));

    ui::CProcess refused;
    ASSERT_TRUE(refused.start(installed, "/uninstall"));
    EXPECT_EQ(ui::answerMessageBox(refused.id(), kTitle, IDYES), "Do you really want to uninstall Seedwright ?");
    EXPECT_EQ(ui::answerMessageBox(refused.id(), kTitle, IDOK),
              "Seedwright is still running. Close it, then uninstall again to remove " + installed + ".");
    EXPECT_TRUE(refused.waitEnd());
    // What the member needs to uninstall again is all there.
    EXPECT_TRUE(exists(menuFolder + "\\uninstall.lnk"));
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright\\Settings"));
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Seedwright"));
    Sleep(1500);
    EXPECT_TRUE(exists(installed));

    PostMessageA(session.login, WM_CLOSE, 0, 0);
    ASSERT_TRUE(session.process.waitEnd());
    ui::CProcess again;
    ASSERT_TRUE(again.start(installed, "/uninstall"));
    EXPECT_EQ(ui::answerMessageBox(again.id(), kTitle, IDYES), "Do you really want to uninstall Seedwright ?");
    EXPECT_EQ(ui::answerMessageBox(again.id(), kTitle, IDOK), "Seedwright was uninstalled.");
    EXPECT_TRUE(again.waitEnd());
    EXPECT_TRUE(waitUntilGone(installFolder, 30000));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright"));
}

TEST_F(SeedwrightExeTest, InstallOverARunningCopySaysSoAndKeepsTheDialog) {
    install();
    const std::string installed = installFolder + "\\Seedwright.exe";
    Session session;
    ASSERT_TRUE(session.start(installed));

    ui::CProcess over;
    ASSERT_TRUE(over.start(program, ""));
    EXPECT_EQ(ui::answerMessageBox(over.id(), kTitle, IDYES).rfind("Seedwright is installed in:", 0), 0u);
    const HWND dialog = ui::waitForDialog(over.id(), "Seedwright V1.14 - Installation");
    ASSERT_NE(dialog, nullptr);
    ui::setItemText(dialog, IDC_SETUP_CLIENT, "C:\\Clients\\uTorrent.exe");
    ui::pressButton(dialog, IDOK);
    EXPECT_EQ(ui::answerMessageBox(over.id(), kTitle, IDOK),
              "Seedwright is still running. Close it, then press Install again to replace " + installed + ".");
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(ui::itemText(dialog, IDC_SETUP_FOLDER), installFolder);
    EXPECT_EQ(ui::itemText(dialog, IDC_SETUP_MENU), "Seedwright");
    EXPECT_EQ(ui::itemText(dialog, IDC_SETUP_CLIENT), "C:\\Clients\\uTorrent.exe");

    ui::pressButton(dialog, IDCANCEL);
    EXPECT_TRUE(over.waitEnd());
    PostMessageA(session.login, WM_CLOSE, 0, 0);
    EXPECT_TRUE(session.process.waitEnd());
}

}  // namespace
