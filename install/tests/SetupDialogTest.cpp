#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <fstream>
#include <string>
#include <thread>

#include "client/res/ClientIds.h"
#include "install/ProgramFolderRule.h"
#include "install/Setup.h"
#include "install/WinPaths.h"
#include "install/res/InstallIds.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/UiDriver.h"
#include "tests/support/WinPlaces.h"
#include "win/Handles.h"
#include "win/ModulePath.h"
#include "win/SpecialFolder.h"

namespace {

using namespace places;
using testing_support::runModal;

const char* kTitle = "Seedwright V1.14";
const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Seedwright";

std::string settingsValue(const char* name) {
    char value[1024] = "";
    DWORD size = sizeof value;
    if (SHGetValueA(HKEY_LOCAL_MACHINE, "Software\\Seedwright\\Settings", name, nullptr, value, &size) != ERROR_SUCCESS)
        return "<missing>";
    return value;
}

DWORD refuseProbe(const std::string&) {
    return ERROR_ACCESS_DENIED;
}

// A system that keeps the batch instead of writing it (start-up would start it).
class CKeptBatchSystem : public CWinSetupSystem {
  public:
    std::string batchText;
    std::string writtenTo;

    bool writeBatch(const std::string& path, const std::string& text) override {
        writtenTo = path;
        batchText = text;
        return true;
    }
};

// Runs `uninstall` while another thread answers its boxes with `buttons` in turn (then OK); the
// texts of the boxes it saw.
std::vector<std::string> uninstallAnswering(CSetup& setup,
                                            std::vector<int> buttons,
                                            std::size_t boxes,
                                            install::SetupOutcome* outcome = nullptr) {
    std::vector<std::string> said;
    std::thread answer([&] {
        for (std::size_t i = 0; i < boxes; ++i) {
            const std::string text =
                ui::answerMessageBox(GetCurrentProcessId(), kTitle, i < buttons.size() ? buttons[i] : IDOK, 5000);
            if (text.empty())
                break;
            said.push_back(text);
        }
    });
    const install::SetupOutcome came = setup.uninstall();
    answer.join();
    if (outcome != nullptr)
        *outcome = came;
    return said;
}

const char* const kQuestion = "Do you really want to uninstall Seedwright ?";
const char* const kUninstalled = "Seedwright was uninstalled.";

// An uninstaller on that system (constructed first, as the first base).
class CKeptBatchSetup : public CKeptBatchSystem, public CSetup {
  public:
    explicit CKeptBatchSetup(const install::SetupContext& context)
        : CSetup(context, static_cast<CKeptBatchSystem&>(*this)) {}
};

std::string uninstallValue(HKEY root, const char* name) {
    char value[1024] = "";
    DWORD size = sizeof value;
    DWORD type = 0;
    if (SHGetValueA(root, kUninstallKey, name, &type, value, &size) != ERROR_SUCCESS)
        return "<missing>";
    if (type == REG_DWORD)
        return std::to_string(*reinterpret_cast<DWORD*>(value));
    return value;
}

std::string batchFile() {
    char temp[MAX_PATH + 1] = "";
    GetTempPathA(sizeof temp, temp);
    return std::string(temp) + "_uninsep.bat";
}

class SetupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_context = install::SetupContext();
        m_context.title = kTitle;
        CWinSetupSystem::s_createProbeFolder = s_realProbe;
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright");
        SHDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\Seedwright");
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
        SHSetValueA(HKEY_CURRENT_USER, "Software\\Classes\\Applications\\uTorrent.exe\\shell\\open\\command", nullptr,
                    REG_SZ, kCommand, sizeof kCommand);
        programFiles = shellFolder(CSIDL_PROGRAM_FILES);
        programs = shellFolder(CSIDL_COMMON_PROGRAMS);
        installFolder = programFiles + "\\Seedwright";
        menuFolder = programs + "\\Seedwright";
        removeTree(installFolder);
        removeTree(menuFolder);
    }
    void TearDown() override { CWinSetupSystem::s_createProbeFolder = s_realProbe; }

    // Runs the dialog, presses Install and answers every message box in turn.
    INT_PTR installWithDialog(std::vector<std::string>* said = nullptr, const std::string& folder = std::string()) {
        CSetup setup(m_context);
        const auto run = runModal(setup, [&](HWND dialog) {
            if (!folder.empty())
                ui::setItemText(dialog, IDC_SETUP_FOLDER, folder);
            ui::pressButton(dialog, IDOK);
            while (ui::waitGone(dialog, 0) == false) {
                HWND box = ui::waitForMessageBox(GetCurrentProcessId(), kTitle, 1500);
                if (box == nullptr)
                    continue;
                if (said != nullptr)
                    said->push_back(ui::messageText(box));
                ui::pressButton(box, GetDlgItem(box, IDYES) != nullptr ? IDYES : IDOK);
                ui::waitGone(box);
            }
        });
        EXPECT_FALSE(run.leftOpen);
        m_outcome = setup.outcome();
        return run.result;
    }

    static constexpr char kCommand[] = "\"C:\\uT\\uTorrent.exe\" \"%1\"";
    static inline DWORD (*s_realProbe)(const std::string&) = CWinSetupSystem::s_createProbeFolder;
    std::string programFiles, programs, installFolder, menuFolder;
    install::SetupContext m_context;  // what each installer and uninstaller of the test is given
    install::SetupOutcome m_outcome;  // what installWithDialog's installer came to
};

TEST_F(SetupTest, DialogShowsItsDefaults) {
    CSetup setup(m_context);
    std::string caption, folder, menu, client;
    int focused = 0;
    const auto run = runModal(setup, [&](HWND dialog) {
        char text[256] = "";
        GetWindowTextA(dialog, text, sizeof text);
        caption = text;
        // The keyboard starts at the first field, not at Install.
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread);
        focused = GetDlgCtrlID(thread.hwndFocus);
        folder = ui::itemText(dialog, IDC_SETUP_FOLDER);
        menu = ui::itemText(dialog, IDC_SETUP_MENU);
        client = ui::itemText(dialog, IDC_SETUP_CLIENT);
        ui::pressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(run.result, IDCANCEL);
    EXPECT_EQ(caption, "Seedwright V1.14 - Installation");
    EXPECT_EQ(focused, IDC_SETUP_FOLDER);
    EXPECT_EQ(folder, programFiles + "\\Seedwright");
    EXPECT_EQ(menu, "Seedwright");
    EXPECT_EQ(client, "C:\\uT\\uTorrent.exe");
    EXPECT_FALSE(exists(programFiles + "\\Seedwright_test"));

    // A recorded installation is offered again, with everything the member chose.
    m_context.installationPath = "D:\\Tools\\Seedwright";
    m_context.utorrentPath = "D:\\uTorrent\\uTorrent.exe";
    SHSetValueA(HKEY_LOCAL_MACHINE, "Software\\Seedwright\\Settings", "StartMenuPath", REG_SZ, "Tools", 6);
    CSetup again(m_context);
    runModal(again, [&](HWND dialog) {
        folder = ui::itemText(dialog, IDC_SETUP_FOLDER);
        menu = ui::itemText(dialog, IDC_SETUP_MENU);
        client = ui::itemText(dialog, IDC_SETUP_CLIENT);
        ui::pressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(folder, "D:\\Tools\\Seedwright");
    EXPECT_EQ(menu, "Tools");
    EXPECT_EQ(client, "D:\\uTorrent\\uTorrent.exe");
}

TEST_F(SetupTest, ExecutableChoiceFillsTheClientField) {
    CSetup setup(m_context);
    std::string client, afterClose;
    runModal(setup, [&](HWND dialog) {
        ui::pressButton(dialog, IDC_SETUP_CLIENT_BROWSE);
        HWND findExe = ui::waitForDialog(GetCurrentProcessId(), "Select executable...");
        ASSERT_NE(findExe, nullptr);
        ui::setItemText(findExe, IDC_EXE_PATH, "D:\\Clients\\uTorrent.exe");
        ui::pressButton(findExe, IDOK);
        ui::waitGone(findExe);
        client = ui::itemText(dialog, IDC_SETUP_CLIENT);
        // Closed without OK: the field keeps its text.
        ui::setItemText(dialog, IDC_SETUP_CLIENT, "kept");
        ui::pressButton(dialog, IDC_SETUP_CLIENT_BROWSE);
        findExe = ui::waitForDialog(GetCurrentProcessId(), "Select executable...");
        ASSERT_NE(findExe, nullptr);
        PostMessageA(findExe, WM_CLOSE, 0, 0);
        ui::waitGone(findExe);
        afterClose = ui::itemText(dialog, IDC_SETUP_CLIENT);
        ui::pressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(client, "D:\\Clients\\uTorrent.exe");
    EXPECT_EQ(afterClose, "kept");
}

TEST_F(SetupTest, EachEmptyFieldGivesItsMessageAndTheDialogStays) {
    CSetup setup(m_context);
    std::vector<std::string> said;
    bool stillOpen = true;
    const auto run = runModal(setup, [&](HWND dialog) {
        ui::setItemText(dialog, IDC_SETUP_FOLDER, "");
        ui::pressButton(dialog, IDOK);
        said.push_back(ui::answerMessageBox(GetCurrentProcessId(), kTitle, IDOK));
        ui::setItemText(dialog, IDC_SETUP_FOLDER, "C:\\x");
        ui::setItemText(dialog, IDC_SETUP_CLIENT, "");
        ui::pressButton(dialog, IDOK);
        said.push_back(ui::answerMessageBox(GetCurrentProcessId(), kTitle, IDOK));
        ui::setItemText(dialog, IDC_SETUP_CLIENT, "u.exe");
        ui::setItemText(dialog, IDC_SETUP_MENU, "");
        ui::pressButton(dialog, IDOK);
        said.push_back(ui::answerMessageBox(GetCurrentProcessId(), kTitle, IDOK));
        Sleep(100);
        stillOpen = IsWindowVisible(dialog) != FALSE;
        ui::pressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(run.result, IDCANCEL);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(said, (std::vector<std::string>{
                        "Please choose a Installation Directory!",
                        "Without choosing the correct path to your torrent client, Seedwright will not function!",
                        "Choose a Startmenu Name!"}));
    EXPECT_FALSE(exists("C:\\x"));
}

TEST_F(SetupTest, InstallCopiesRecordsAndMakesBothShortcuts) {
    std::vector<std::string> said;
    EXPECT_EQ(installWithDialog(&said), IDOK);
    EXPECT_TRUE(said.empty());
    EXPECT_FALSE(m_outcome.menuEntriesFailed);

    const std::string program = installFolder + "\\Seedwright.exe";
    EXPECT_EQ(readFileBytes(program), readFileBytes(win::modulePath()));
    EXPECT_EQ(settingsValue("InstallationPath"), installFolder);
    EXPECT_EQ(settingsValue("StartMenuPath"), "Seedwright");
    EXPECT_EQ(settingsValue("utorrent"), "C:\\uT\\uTorrent.exe");

    Shortcut main;
    ASSERT_TRUE(readShortcut(menuFolder + "\\Seedwright.lnk", main));
    EXPECT_EQ(main.m_target, program);
    EXPECT_EQ(main.m_arguments, "");
    EXPECT_EQ(main.m_description, "Seedwright is a Tool that helps uploading Files to Velmar Trackers.");
    EXPECT_EQ(main.m_iconPath, program);
    EXPECT_EQ(main.m_iconIndex, 0);
    Shortcut remove;
    ASSERT_TRUE(readShortcut(menuFolder + "\\uninstall.lnk", remove));
    EXPECT_EQ(remove.m_target, program);
    EXPECT_EQ(remove.m_arguments, "/uninstall");
    EXPECT_EQ(remove.m_description, "uninstall Seedwright");
    EXPECT_EQ(remove.m_iconPath, program);
    EXPECT_EQ(remove.m_iconIndex, 0);

    // The installed-apps list starts the same command as the uninstall shortcut.
    EXPECT_EQ(uninstallValue(HKEY_LOCAL_MACHINE, "DisplayName"), "Seedwright V1.14");
    EXPECT_EQ(uninstallValue(HKEY_LOCAL_MACHINE, "DisplayVersion"), "1.14");
    EXPECT_EQ(uninstallValue(HKEY_LOCAL_MACHINE, "Publisher"), "The Seedwright team");
    EXPECT_EQ(uninstallValue(HKEY_LOCAL_MACHINE, "DisplayIcon"), program);
    EXPECT_EQ(uninstallValue(HKEY_LOCAL_MACHINE, "InstallLocation"), installFolder);
    EXPECT_EQ(uninstallValue(HKEY_LOCAL_MACHINE, "UninstallString"), "\"" + program + "\" /uninstall");
    EXPECT_EQ(uninstallValue(HKEY_LOCAL_MACHINE, "NoModify"), "1");
    EXPECT_EQ(uninstallValue(HKEY_LOCAL_MACHINE, "NoRepair"), "1");
    EXPECT_EQ(uninstallValue(HKEY_LOCAL_MACHINE, "EstimatedSize"),
              std::to_string((readFileBytes(program).size() + 1023) / 1024));
    EXPECT_EQ(uninstallValue(HKEY_CURRENT_USER, "DisplayName"), "<missing>");
}

TEST_F(SetupTest, InstallingAgainAsksAndNoKeepsTheDialogOpen) {
    ASSERT_EQ(installWithDialog(), IDOK);
    SHSetValueA(HKEY_LOCAL_MACHINE, "Software\\Seedwright\\Settings", "utorrent", REG_SZ, "old", 4);

    CSetup setup(m_context);
    std::string question;
    bool openAfterNo = false;
    const auto run = runModal(setup, [&](HWND dialog) {
        ui::pressButton(dialog, IDOK);
        question = ui::answerMessageBox(GetCurrentProcessId(), kTitle, IDNO);
        Sleep(100);
        openAfterNo = IsWindowVisible(dialog) != FALSE;
        ui::pressButton(dialog, IDOK);
        ui::answerMessageBox(GetCurrentProcessId(), kTitle, IDYES);
    });
    EXPECT_EQ(run.result, IDOK);
    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ(question,
              "Installation Directory already exists...\n\nContinue installation and overwrite existing Version?");
    EXPECT_EQ(settingsValue("utorrent"), "C:\\uT\\uTorrent.exe");
}

TEST_F(SetupTest, UnwritableShortcutsWarnAndLeaveNoRecord) {
    // A file where the Start-menu folder belongs: neither link can be saved.
    std::ofstream(menuFolder) << "in the way";
    SHSetValueA(HKEY_CURRENT_USER, "SOFTWARE\\Seedwright\\Seedwright V1.14\\Settings", "LastSite", REG_SZ, "1", 2);
    std::vector<std::string> said;
    EXPECT_EQ(installWithDialog(&said), IDOK);
    EXPECT_EQ(said,
              (std::vector<std::string>{"Could not write your Shortcut!", "Could not write your Uninstall Shortcut!"}));
    EXPECT_TRUE(m_outcome.menuEntriesFailed);
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright"));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "SOFTWARE\\Seedwright"));
    EXPECT_EQ(uninstallValue(HKEY_LOCAL_MACHINE, "DisplayName"), "<missing>");
    EXPECT_TRUE(exists(installFolder + "\\Seedwright.exe"));
    DeleteFileA(menuFolder.c_str());

    // Only the second link blocked: one message, still no record.
    CreateDirectoryA(menuFolder.c_str(), nullptr);
    CreateDirectoryA((menuFolder + "\\uninstall.lnk").c_str(), nullptr);
    said.clear();
    EXPECT_EQ(installWithDialog(&said), IDOK);
    EXPECT_EQ(said, (std::vector<std::string>{"Installation Directory already exists...\n\nContinue installation and "
                                              "overwrite existing Version?",
                                              "Could not write your Uninstall Shortcut!"}));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright"));
}

TEST_F(SetupTest, RefusedProgramFilesEndsTheDialogUnseen) {
    CWinSetupSystem::s_createProbeFolder = refuseProbe;
    CSetup setup(m_context);
    const auto run = runModal(
        setup, [](HWND) {}, 2000);
    EXPECT_EQ(run.result, IDCANCEL);
    EXPECT_FALSE(run.seen);
    EXPECT_TRUE(setup.outcome().elevationNeeded);
}

TEST_F(SetupTest, UninstallRemovesLinksFolderTreesAndWritesTheBatch) {
    ASSERT_EQ(installWithDialog(), IDOK);
    SHSetValueA(HKEY_CURRENT_USER, "SOFTWARE\\Seedwright\\Seedwright V1.14\\Settings", "Login0", REG_SZ, "jo", 3);

    // No: nothing changes.
    CKeptBatchSetup declined(m_context);
    EXPECT_EQ(uninstallAnswering(declined, {IDNO}, 1), std::vector<std::string>{kQuestion});
    EXPECT_TRUE(exists(menuFolder + "\\Seedwright.lnk"));
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright"));
    EXPECT_TRUE(declined.writtenTo.empty());

    CKeptBatchSetup setup(m_context);
    install::SetupOutcome outcome;
    EXPECT_EQ(uninstallAnswering(setup, {IDYES}, 2, &outcome), (std::vector<std::string>{kQuestion, kUninstalled}));
    EXPECT_EQ(outcome.removalBatch.m_path, batchFile());
    EXPECT_FALSE(exists(menuFolder + "\\Seedwright.lnk"));
    EXPECT_FALSE(exists(menuFolder + "\\uninstall.lnk"));
    EXPECT_FALSE(exists(menuFolder));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright"));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "SOFTWARE\\Seedwright"));
    EXPECT_EQ(uninstallValue(HKEY_LOCAL_MACHINE, "DisplayName"), "<missing>");

    EXPECT_EQ(setup.writtenTo, batchFile());
    const std::string program = installFolder + "\\Seedwright.exe";
    EXPECT_NE(setup.batchText.find("\r\ndel \"" + program + "\"\r\n"), std::string::npos) << setup.batchText;
    EXPECT_NE(setup.batchText.find("\r\nrmdir \"" + installFolder + "\"\r\n"), std::string::npos);
    EXPECT_EQ(setup.batchText.substr(setup.batchText.rfind("\r\n") + 2), "del \"" + batchFile() + "\"");
}

TEST_F(SetupTest, ForcedUninstallAsksNothingAndKeepsAFullMenuFolder) {
    ASSERT_EQ(installWithDialog(), IDOK);
    std::ofstream(menuFolder + "\\notes.txt") << "mine";
    m_context.forced = true;
    CKeptBatchSetup setup(m_context);
    // No question: the end is told, nothing else.
    EXPECT_EQ(uninstallAnswering(setup, {IDNO}, 1), std::vector<std::string>{kUninstalled});
    EXPECT_FALSE(exists(menuFolder + "\\Seedwright.lnk"));
    EXPECT_FALSE(exists(menuFolder + "\\uninstall.lnk"));
    EXPECT_TRUE(exists(menuFolder + "\\notes.txt"));
    EXPECT_FALSE(setup.batchText.empty());
}

TEST_F(SetupTest, RefusedUninstallChangesNothing) {
    ASSERT_EQ(installWithDialog(), IDOK);
    m_context.forced = true;
    CWinSetupSystem::s_createProbeFolder = refuseProbe;
    CKeptBatchSetup setup(m_context);
    EXPECT_TRUE(setup.uninstall().elevationNeeded);
    EXPECT_TRUE(exists(menuFolder + "\\Seedwright.lnk"));
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright"));
    EXPECT_TRUE(setup.writtenTo.empty());
}

TEST_F(SetupTest, TheBatchSpellsTheFolderAsCmdReadsIt) {
    // cmd.exe reads a batch in the system's OEM code page (437 here: u-umlaut is 0x81, where
    // this program's UTF-8 has 0xC3 0xBC); blanks, '&', '!' and '%' must reach it literally. The
    // whole-program tests run the batch for real, from a copy on drive C:.
    const std::string parent = "C:\\M\xc3\xbcller & Co! 100%";
    const std::string folder = parent + "\\Seedwright";
    removeTree(parent);
    ASSERT_EQ(installWithDialog(nullptr, folder), IDOK);
    EXPECT_TRUE(exists(folder + "\\Seedwright.exe"));
    EXPECT_EQ(settingsValue("InstallationPath"), folder);

    m_context.forced = true;
    CKeptBatchSetup kept(m_context);
    EXPECT_EQ(uninstallAnswering(kept, {}, 1), std::vector<std::string>{kUninstalled});
    ASSERT_EQ(install::systemOemCodePage(), 437u);
    const std::string oemFolder = "C:\\M\x81ller & Co! 100%%\\Seedwright";
    EXPECT_EQ(kept.batchText.rfind("setlocal DisableDelayedExpansion\r\nchcp 437>nul\r\n", 0), 0u);
    EXPECT_NE(kept.batchText.find("\r\ndel \"" + oemFolder + "\\Seedwright.exe\"\r\nif not exist \"" + oemFolder +
                                  "\\Seedwright.exe\" goto Repeat2\r\n"),
              std::string::npos)
        << kept.batchText;
    EXPECT_NE(kept.batchText.find("\r\nrmdir \"" + oemFolder + "\"\r\n"), std::string::npos);
    removeTree(parent);
}

TEST_F(SetupTest, UnusableFieldsAreRefusedAndTheDialogKeepsThem) {
    CSetup setup(m_context);
    std::vector<std::string> said;
    std::string folder, menu, client;
    const auto run = runModal(setup, [&](HWND dialog) {
        for (const char* typed : {"MyApps", "C:/", "C:\\Windows\\..", "Q:\\Seedwright"}) {
            ui::setItemText(dialog, IDC_SETUP_FOLDER, typed);
            ui::pressButton(dialog, IDOK);
            said.push_back(ui::answerMessageBox(GetCurrentProcessId(), kTitle, IDOK));
        }
        ui::setItemText(dialog, IDC_SETUP_FOLDER, "C:\\Program Files\\Seedwright");
        ui::setItemText(dialog, IDC_SETUP_MENU, "Seed|wright");
        ui::pressButton(dialog, IDOK);
        said.push_back(ui::answerMessageBox(GetCurrentProcessId(), kTitle, IDOK));
        Sleep(100);
        folder = ui::itemText(dialog, IDC_SETUP_FOLDER);
        menu = ui::itemText(dialog, IDC_SETUP_MENU);
        client = ui::itemText(dialog, IDC_SETUP_CLIENT);
        ui::pressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(run.result, IDCANCEL);
    ASSERT_EQ(said.size(), 5u);
    EXPECT_EQ(said[0].rfind("Please enter the Installation Directory as a full path", 0), 0u) << said[0];
    EXPECT_EQ(said[1].rfind("This folder is not one for Seedwright alone:\n\nC:\\\n", 0), 0u) << said[1];
    EXPECT_EQ(said[2].rfind("This folder is not one for Seedwright alone:\n\nC:\\\n", 0), 0u) << said[2];
    // A folder that cannot be made (no drive Q:) keeps the dialog open as well.
    EXPECT_EQ(said[3].rfind("SHCreateDirectoryEx(Q:\\Seedwright) Failed to create program directory (err: ", 0), 0u)
        << said[3];
    EXPECT_EQ(said[4].rfind("\"Seed|wright\" can not be a Startmenu Name", 0), 0u) << said[4];
    EXPECT_EQ(folder, "C:\\Program Files\\Seedwright");
    EXPECT_EQ(menu, "Seed|wright");
    EXPECT_EQ(client, "C:\\uT\\uTorrent.exe");
    EXPECT_FALSE(exists(installFolder));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright"));
}

TEST_F(SetupTest, WithoutARecordNoBatchIsWritten) {
    // The program file sits in the Program Files folder, but nothing records it.
    CreateDirectoryA(installFolder.c_str(), nullptr);
    std::ofstream(installFolder + "\\Seedwright.exe") << "MZ";
    m_context.forced = true;
    CKeptBatchSetup setup(m_context);
    EXPECT_EQ(uninstallAnswering(setup, {}, 1), std::vector<std::string>{kUninstalled});
    EXPECT_TRUE(setup.writtenTo.empty());
    EXPECT_TRUE(exists(installFolder + "\\Seedwright.exe"));
}

// A 32-bit program on 64-bit Windows sees its own Program Files and system folder; the folders of
// the other width are Windows' all the same, and none may become the program's folder.
TEST(SystemFolders, TheFoldersOfBothWidthsAreRefused) {
    const std::vector<std::string> folders = install::systemFolders();
    for (int id : {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_SYSTEMX86, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86}) {
        const std::string folder = win::specialFolderPath(id, false);
        if (!folder.empty()) {
            EXPECT_EQ(install::judgeProgramFolder(folder, folders), install::FolderVerdict::NotOwn) << folder;
        }
    }
    char native[MAX_PATH] = "";
    if (GetEnvironmentVariableA("ProgramW6432", native, sizeof native) != 0) {
        EXPECT_EQ(install::judgeProgramFolder(native, folders), install::FolderVerdict::NotOwn) << native;
    }
}

}  // namespace
