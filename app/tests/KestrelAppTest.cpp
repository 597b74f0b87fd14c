#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "app/KestrelApp.h"
#include "app/res/resource.h"
#include "app/state/SettingsLayout.h"
#include "win/Handles.h"

namespace {

INT_PTR CALLBACK bareDialog(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

std::string className(HWND window) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The letter after the one "&" of a text that has one; 0 when it has none, '?' when more.
char mnemonic(const std::string& text) {
    char found = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '&' && text[++i] != '&')
            found = found ? '?' : char(std::toupper(static_cast<unsigned char>(text[i])));
    return found;
}

// Every button with a letter in its text, and every label that introduces a control (it ends in
// ":" or stands before an input field), has an Alt+letter of its own within its dialog. Labels
// that take their text as it is (SS_NOPREFIX) show what the program puts there and have none.
TEST(KestrelApp, EveryLabelAndButtonHasItsOwnMnemonic) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    for (UINT id : {IDD_ABOUTBOX, IDD_SEEDWRIGHT_DIALOG, IDD_PROGRESS, IDD_LOGIN, IDD_COMPLETEUPLOAD, IDD_FINDEXE,
                    IDD_SELECTCLIENT, IDD_SETUP}) {
        const HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, bareDialog, 0);
        ASSERT_NE(dialog, nullptr) << id;
        std::map<char, std::string> taken;
        std::vector<std::string> missing;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char buffer[512] = {};
            GetWindowTextA(child, buffer, sizeof buffer);
            const std::string text = buffer;
            const LONG style = GetWindowLongA(child, GWL_STYLE);
            const HWND next = GetWindow(child, GW_HWNDNEXT);
            const std::string nextClass = next ? className(next) : std::string();
            bool needs = false;
            if (className(child) == "Button")
                needs = text.find_first_not_of("&. ") != std::string::npos;
            else if (className(child) == "Static" && (style & SS_NOPREFIX) == 0 && (style & SS_TYPEMASK) != SS_ICON)
                needs = (!text.empty() && text.back() == ':') || nextClass == "Edit" || nextClass == "ComboBox" ||
                        nextClass == "SysListView32";
            const char letter = mnemonic(text);
            if (needs && (letter == 0 || letter == '?'))
                missing.push_back(text);
            if (letter != 0 && !taken.emplace(letter, text).second)
                missing.push_back(text + " (" + letter + " taken by " + taken[letter] + ")");
        }
        DestroyWindow(dialog);
        EXPECT_EQ(missing, std::vector<std::string>{}) << "dialog " << id;
    }
}

TEST(KestrelApp, ProfileEntriesLiveUnderTheTitledProfileKey) {
    CKestrelApp app;
    app.state().m_forced = true;
    app.setIdentity();
    app.useProgramRegistryKey();
    EXPECT_EQ(app.m_appName, "Seedwright V1.14");
    EXPECT_FALSE(app.state().m_forced);
    EXPECT_EQ(win::CApp::instance(), &app);

    ASSERT_TRUE(app.profile().WriteProfileInt(app::settings::kProfileSection, app::settings::kRemember, 1));
    ASSERT_TRUE(app.profile().WriteProfileString(app::settings::kProfileSection, "Login1", "alice"));

    win::CRegKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Seedwright\\Seedwright V1.14\\Settings", 0, KEY_READ,
                            key.receive()),
              ERROR_SUCCESS);
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    ASSERT_EQ(RegQueryValueExA(key.get(), "Remember", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(app.profile().GetProfileString(app::settings::kProfileSection, "Login1"), "alice");

    // Another version's title is another profile: the stored login is not found.
    app.setApplicationName("Seedwright V1.15");
    EXPECT_EQ(app.profile().GetProfileString(app::settings::kProfileSection, "Login1", "none"), "none");
    EXPECT_EQ(app.profile().GetProfileInt(app::settings::kProfileSection, app::settings::kRemember, 0), 0);

    key.reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Seedwright");
}

}  // namespace
