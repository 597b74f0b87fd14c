#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <string>

#include "app/res/resource.h"
#include "install/tests/WindowDriver.h"
#include "site/tests/support/Standin.h"
#include "win/Handles.h"

// An installed Seedwright.exe started from its shortcut target logs in at the stand-in site and
// opens the main dialog.
namespace {

using namespace install_tests;

std::string builtProgram() {
    std::string path = std::string("Z:") + SW_SEEDWRIGHT_EXE;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

struct Started {
    win::CHandle process;
    DWORD id = 0;
};

Started start(const std::string& program) {
    Started started;
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &info)) {
        started.process.reset(info.hProcess);
        CloseHandle(info.hThread);
        started.id = info.dwProcessId;
    }
    return started;
}

bool ended(const Started& started, DWORD limitMs = 15000) {
    return WaitForSingleObject(started.process.get(), limitMs) == WAIT_OBJECT_0;
}

// The visible dialog of the process that holds control `id`.
HWND waitForDialogWith(DWORD processId, int id, DWORD limitMs = 20000) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    do {
        HWND dialog = waitForAnyDialog(processId, 200);
        if (dialog != nullptr && GetDlgItem(dialog, id) != nullptr)
            return dialog;
        Sleep(50);
    } while (GetTickCount64() < end);
    return nullptr;
}

TEST(SeedwrightSession, LoginThenTheMainDialog) {
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright");
    SHDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Seedwright");
    static const char command[] = "\"C:\\uT\\uTorrent.exe\" \"%1\"";
    SHSetValueA(HKEY_CURRENT_USER, "Software\\Classes\\Applications\\uTorrent.exe\\shell\\open\\command", nullptr,
                REG_SZ, command, sizeof command);
    CStandin site;
    site.useAsSite();  // inherited by the program

    Started installer = start(builtProgram());
    HWND setup = waitForDialog("Seedwright V1.14 - Installation", installer.id);
    ASSERT_NE(setup, nullptr);
    click(setup, IDOK);
    // A folder left by another test asks first.
    HWND box = waitForMessageBox("Seedwright V1.14", installer.id);
    ASSERT_NE(box, nullptr);
    if (GetDlgItem(box, IDYES) != nullptr) {
        click(box, IDYES);
        waitGone(box);
        box = waitForMessageBox("Seedwright V1.14", installer.id);
        ASSERT_NE(box, nullptr);
    }
    EXPECT_EQ(messageText(box), "Installation Complete! Enjoy...");
    click(box, IDOK);
    ASSERT_TRUE(ended(installer));

    char programFiles[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles);
    Started session = start(std::string(programFiles) + "\\Seedwright\\Seedwright.exe");
    HWND login = waitForDialogWith(session.id, IDC_PASSWORD);
    ASSERT_NE(login, nullptr);
    HWND sites = GetDlgItem(login, IDC_SITE);
    SendMessageA(sites, CB_SETCURSEL, 1, 0);
    SendMessageA(login, WM_COMMAND, MAKEWPARAM(IDC_SITE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sites));
    setControlText(login, IDC_LOGIN, "alice");
    setControlText(login, IDC_PASSWORD, "wonderland");
    click(login, IDOK);

    HWND main = waitForDialogWith(session.id, IDC_UPLOAD);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(waitForMessageBox("Seedwright V1.14", session.id, 500), nullptr);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(ended(session));

    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright");
    SHDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Seedwright");
}

}  // namespace
