#include <gtest/gtest.h>

#include <shlobj.h>

#include "install/ShellHelpers.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/WinPlaces.h"
#include "win/CodePage.h"
#include "win/ModulePath.h"

using testing_support::runModal;

namespace {

TEST(ShellHelpers, SpecialFolderPathEndsWithABackslash) {
    std::string path;
    ASSERT_TRUE(specialFolderPath(CSIDL_STARTMENU, path));
    ASSERT_GT(path.size(), 3u);
    EXPECT_EQ(path.back(), '\\');
    EXPECT_NE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

    std::string unchanged = "before";
    EXPECT_FALSE(specialFolderPath(0x7E, unchanged));
    EXPECT_EQ(unchanged, "before");
}

TEST(ShellHelpers, LinksLoadBackAndAreDeleted) {
    std::string folder;
    ASSERT_TRUE(specialFolderPath(CSIDL_STARTMENU, folder));
    const std::string self = win::modulePath();

    CShortcut shortcut;
    ASSERT_TRUE(shortcut.createLink("_this", "Seedwright test", CSIDL_STARTMENU,
                                    "Seedwright is a Tool that helps uploading Files to Velmar Trackers.", self, 0));
    places::Shortcut program;
    ASSERT_TRUE(places::readShortcut(folder + "Seedwright test.lnk", program));
    EXPECT_EQ(lstrcmpiA(program.m_target.c_str(), self.c_str()), 0) << program.m_target;
    EXPECT_EQ(program.m_arguments, "");
    EXPECT_EQ(program.m_description, "Seedwright is a Tool that helps uploading Files to Velmar Trackers.");
    EXPECT_EQ(lstrcmpiA(program.m_iconPath.c_str(), self.c_str()), 0) << program.m_iconPath;
    EXPECT_EQ(program.m_iconIndex, 0);

    // Arguments, once set, go into every later link of the object; no icon path, no icon.
    shortcut.m_arguments = "/uninstall";
    ASSERT_TRUE(shortcut.createLink(self, "Seedwright test uninstall", CSIDL_STARTMENU, "uninstall Seedwright", "", 0));
    ASSERT_TRUE(shortcut.createLink("C:\\windows\\notepad.exe", "Seedwright test notepad", CSIDL_STARTMENU, "", "", 3));
    places::Shortcut uninstall;
    ASSERT_TRUE(places::readShortcut(folder + "Seedwright test uninstall.lnk", uninstall));
    EXPECT_EQ(uninstall.m_arguments, "/uninstall");
    EXPECT_EQ(uninstall.m_description, "uninstall Seedwright");
    EXPECT_EQ(uninstall.m_iconPath, "");
    places::Shortcut notepad;
    ASSERT_TRUE(places::readShortcut(folder + "Seedwright test notepad.lnk", notepad));
    EXPECT_EQ(lstrcmpiA(notepad.m_target.c_str(), "C:\\windows\\notepad.exe"), 0) << notepad.m_target;
    EXPECT_EQ(notepad.m_arguments, "/uninstall");

    for (const char* name : {"Seedwright test", "Seedwright test uninstall", "Seedwright test notepad"}) {
        EXPECT_TRUE(deleteLink(name, CSIDL_STARTMENU)) << name;
        EXPECT_FALSE(places::exists(folder + name + ".lnk")) << name;
    }
}

TEST(ShellHelpers, ATargetBeyondAsciiIsStoredSoAShellInAnyCodePageFindsIt) {
    // Wine keeps a link's target as narrow text in the saving process's code page; a shell in
    // another code page reads it in its own. Stored by short names, it is ASCII, and the same file.
    std::string folder, name;
    ASSERT_TRUE(win::codepage::narrow(L"C:\\M\u00fcller & Co\\Seed wright", folder));
    ASSERT_TRUE(win::codepage::narrow(L"M\u00fcller", name));
    const std::string parent = folder.substr(0, folder.rfind('\\'));
    places::removeTree(parent);
    ASSERT_EQ(SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr), ERROR_SUCCESS);
    const std::string target = folder + "\\Seedwright.exe";
    ASSERT_TRUE(CopyFileA(win::modulePath().c_str(), target.c_str(), FALSE));

    std::string menu;
    ASSERT_TRUE(specialFolderPath(CSIDL_STARTMENU, menu));
    CShortcut shortcut;
    ASSERT_TRUE(shortcut.createLink(target, "Seedwright test umlaut", CSIDL_STARTMENU, name, target, 0));
    places::Shortcut link;
    ASSERT_TRUE(places::readShortcut(menu + "Seedwright test umlaut.lnk", link));
    for (const char c : link.m_target)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80u) << link.m_target;
    char longer[MAX_PATH] = "";
    ASSERT_NE(GetLongPathNameA(link.m_target.c_str(), longer, MAX_PATH), 0u) << link.m_target;
    EXPECT_EQ(lstrcmpiA(longer, target.c_str()), 0) << longer;
    // The texts the link keeps in UTF-16 come back as they went in.
    EXPECT_EQ(link.m_description, name);
    EXPECT_EQ(link.m_iconPath, target);

    EXPECT_TRUE(deleteLink("Seedwright test umlaut", CSIDL_STARTMENU));
    places::removeTree(parent);
}

TEST(ShellHelpers, MissingFolderOrLinkFails) {
    std::string folder;
    ASSERT_TRUE(specialFolderPath(CSIDL_STARTMENU, folder));
    CShortcut shortcut;
    EXPECT_FALSE(shortcut.createLink("_this", "No Such Folder\\Seedwright", CSIDL_STARTMENU, "", "", 0));
    EXPECT_FALSE(places::exists(folder + "No Such Folder"));

    // Inside a folder made first, as the installer does, it works.
    ASSERT_TRUE(CreateDirectoryA((folder + "Seedwright test folder").c_str(), nullptr));
    EXPECT_TRUE(shortcut.createLink("_this", "Seedwright test folder\\Seedwright", CSIDL_STARTMENU, "", "", 0));
    EXPECT_TRUE(deleteLink("Seedwright test folder\\Seedwright", CSIDL_STARTMENU));
    RemoveDirectoryA((folder + "Seedwright test folder").c_str());

    EXPECT_FALSE(deleteLink("Seedwright never made", CSIDL_STARTMENU));
    EXPECT_FALSE(deleteLink("*", CSIDL_STARTMENU));
    EXPECT_FALSE(deleteLink("Seedwright", 0x7E));
}

std::string staticTexts(HWND dialog) {
    std::string all;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char text[256] = {};
        GetWindowTextA(child, text, sizeof text);
        all += text;
        all += '\n';
    }
    return all;
}

TEST(ShellHelpers, ChooseFolderReturnsTheChoiceOrFalse) {
    std::string path = "unchanged";
    std::string texts;
    auto cancelled = runModal([&] { return static_cast<INT_PTR>(chooseFolder(nullptr, path)); },
                              [&](HWND browser) {
                                  texts = staticTexts(browser);
                                  PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
                              });
    EXPECT_TRUE(cancelled.seen);
    EXPECT_EQ(cancelled.result, FALSE);
    EXPECT_EQ(path, "unchanged");
    EXPECT_NE(texts.find("Please select a folder and press 'OK'."), std::string::npos) << texts;

    auto chosen = runModal([&] { return static_cast<INT_PTR>(chooseFolder(nullptr, path)); },
                           [&](HWND browser) {
                               SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>("C:\\windows"));
                               PostMessageA(browser, WM_COMMAND, IDOK, 0);
                           });
    EXPECT_TRUE(chosen.seen);
    EXPECT_EQ(chosen.result, TRUE);
    EXPECT_EQ(lstrcmpiA(path.c_str(), "C:\\windows"), 0) << path;

    // An existing folder is where it opens: OK at once chooses it.
    path = "C:\\windows\\system32";
    auto started = runModal([&] { return static_cast<INT_PTR>(chooseFolder(nullptr, path)); },
                            [&](HWND browser) { PostMessageA(browser, WM_COMMAND, IDOK, 0); });
    EXPECT_EQ(started.result, TRUE);
    EXPECT_EQ(lstrcmpiA(path.c_str(), "C:\\windows\\system32"), 0) << path;
}

}  // namespace
