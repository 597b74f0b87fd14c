#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <fstream>
#include <string>

#include "app/res/resource.h"
#include "install/tests/WindowDriver.h"
#include "win/Handles.h"

// The whole program as a user meets it: Seedwright.exe started as its own process, its windows
// read and answered from here.
namespace {

using namespace install_tests;

const char* kTitle = "Seedwright V1.14";

std::string shellFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void removeTree(const std::string& path) {
    if (!exists(path))
        return;
    std::string from = path;
    from.push_back('\0');
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

bool keyExists(HKEY root, const char* path) {
    win::CRegKey key;
    return RegOpenKeyExA(root, path, 0, KEY_READ, key.receive()) == ERROR_SUCCESS;
}

bool waitUntil(bool (*condition)(const std::string&), const std::string& argument, bool wanted, DWORD limitMs) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    while (condition(argument) != wanted) {
        if (GetTickCount64() >= end)
            return false;
        Sleep(50);
    }
    return true;
}

// The built program, seen through Wine's drive for the host's file system.
std::string builtProgram() {
    std::string path = std::string("Z:") + SW_SEEDWRIGHT_EXE;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

class CProcess {
  public:
    CProcess(const std::string& program, const std::string& arguments) {
        std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &info)) {
            m_process.reset(info.hProcess);
            CloseHandle(info.hThread);
            m_id = info.dwProcessId;
        }
    }
    ~CProcess() {
        if (m_process.valid() && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT)
            TerminateProcess(m_process.get(), 1);
    }
    DWORD id() const { return m_id; }
    bool started() const { return m_process.valid(); }
    bool ended(DWORD limitMs = 15000) const { return WaitForSingleObject(m_process.get(), limitMs) == WAIT_OBJECT_0; }

  private:
    win::CHandle m_process;
    DWORD m_id = 0;
};

// The login dialog of a session: the one with the login and password fields.
bool isLoginDialog(HWND dialog) {
    return dialog != nullptr && GetDlgItem(dialog, IDC_LOGIN) != nullptr &&
           GetDlgItem(dialog, IDC_PASSWORD) != nullptr && GetDlgItem(dialog, IDC_SETUP_FOLDER) == nullptr;
}

class SeedwrightExeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright");
        SHDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Seedwright");
        static const char command[] = "\"C:\\uT\\uTorrent.exe\" \"%1\"";
        SHSetValueA(HKEY_CURRENT_USER, "Software\\Classes\\Applications\\uTorrent.exe\\shell\\open\\command", nullptr,
                    REG_SZ, command, sizeof command);
        installFolder = shellFolder(CSIDL_PROGRAM_FILES) + "\\Seedwright";
        menuFolder = shellFolder(CSIDL_COMMON_PROGRAMS) + "\\Seedwright";
        removeTree(installFolder);
        removeTree(menuFolder);
        ASSERT_TRUE(exists(builtProgram())) << builtProgram();
    }

    // First start of the built program: the installation dialog, Install, the completion message.
    void install() {
        CProcess first(builtProgram(), "");
        ASSERT_TRUE(first.started());
        HWND dialog = waitForDialog("Seedwright V1.14 - Installation", first.id());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(controlText(dialog, IDC_SETUP_FOLDER), installFolder);
        EXPECT_EQ(controlText(dialog, IDC_SETUP_MENU), "Seedwright");
        EXPECT_EQ(controlText(dialog, IDC_SETUP_CLIENT), "C:\\uT\\uTorrent.exe");
        click(dialog, IDOK);
        EXPECT_EQ(answerMessageBox(kTitle, IDOK, first.id()), "Installation Complete! Enjoy...");
        // No login follows: the program ends by itself.
        EXPECT_TRUE(first.ended());
        ASSERT_TRUE(exists(installFolder + "\\Seedwright.exe"));
    }

    std::string installFolder, menuFolder;
};

TEST_F(SeedwrightExeTest, FirstStartInstallsAndTheShortcutStartsTheLogin) {
    install();
    EXPECT_TRUE(exists(menuFolder + "\\Seedwright.lnk"));
    EXPECT_TRUE(exists(menuFolder + "\\uninstall.lnk"));

    // The shortcut's target: the working session, no installer.
    CProcess session(installFolder + "\\Seedwright.exe", "");
    HWND login = waitForAnyDialog(session.id());
    ASSERT_TRUE(isLoginDialog(login));
    PostMessageA(login, WM_CLOSE, 0, 0);
    EXPECT_TRUE(session.ended());
}

TEST_F(SeedwrightExeTest, SwitchesThatMatchNothingStartNormally) {
    install();
    CProcess capital(installFolder + "\\Seedwright.exe", "/Force");
    HWND login = waitForAnyDialog(capital.id());
    ASSERT_TRUE(isLoginDialog(login));
    PostMessageA(login, WM_CLOSE, 0, 0);
    EXPECT_TRUE(capital.ended());
    EXPECT_TRUE(exists(installFolder + "\\Seedwright.exe"));

    // A path longer than the reading buffer counts as no installation.
    const std::string longPath(1100, 'x');
    SHSetValueA(HKEY_LOCAL_MACHINE, "Software\\Seedwright\\Settings", "InstallationPath", REG_SZ, longPath.c_str(),
                static_cast<DWORD>(longPath.size() + 1));
    CProcess again(installFolder + "\\Seedwright.exe", "");
    HWND dialog = waitForDialog("Seedwright V1.14 - Installation", again.id());
    ASSERT_NE(dialog, nullptr);
    click(dialog, IDCANCEL);
    EXPECT_TRUE(again.ended());
}

TEST_F(SeedwrightExeTest, UninstallShortcutAsksThenRemovesEverything) {
    install();
    CProcess uninstall(installFolder + "\\Seedwright.exe", "/uninstall");
    EXPECT_EQ(answerMessageBox(kTitle, IDYES, uninstall.id()), "Do you really want to uninstall Seedwright ?");
    EXPECT_TRUE(uninstall.ended());
    EXPECT_FALSE(exists(menuFolder));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright"));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "SOFTWARE\\Seedwright"));
    // The batch waits for the program to end, then takes the folder and itself.
    EXPECT_TRUE(waitUntil(exists, installFolder, false, 30000));
    char temp[MAX_PATH + 1] = "";
    GetTempPathA(sizeof temp, temp);
    EXPECT_TRUE(waitUntil(exists, std::string(temp) + "_uninsep.bat", false, 10000));
}

TEST_F(SeedwrightExeTest, ForcedCopyFromElsewhereRemovesOnlyTheInstallation) {
    install();
    CProcess outside(builtProgram(), "-force");
    EXPECT_EQ(waitForMessageBox(kTitle, outside.id(), 1000), nullptr);
    EXPECT_TRUE(outside.ended());
    EXPECT_TRUE(waitUntil(exists, installFolder, false, 30000));
    EXPECT_TRUE(exists(builtProgram()));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright"));
}

TEST_F(SeedwrightExeTest, UninstallWithoutAnInstallationDeletesNoFile) {
    CreateDirectoryA(installFolder.c_str(), nullptr);
    std::ofstream(installFolder + "\\Seedwright.exe") << "MZ";
    CProcess outside(builtProgram(), "/force");
    EXPECT_TRUE(outside.ended());
    Sleep(1000);
    EXPECT_TRUE(exists(installFolder + "\\Seedwright.exe"));
    EXPECT_TRUE(exists(builtProgram()));
    removeTree(installFolder);
}

}  // namespace
