#include <gtest/gtest.h>

#include "app/KestrelApp.h"
#include "app/state/SettingsLayout.h"
#include "win/Handles.h"

namespace {

TEST(KestrelApp, ProfileEntriesLiveUnderTheTitledProfileKey) {
    CKestrelApp app;
    app.state().m_forced = true;
    app.setIdentity();
    app.useProgramRegistryKey();
    EXPECT_EQ(app.m_appName, "Seedwright V1.14");
    EXPECT_FALSE(appState().m_forced);
    EXPECT_EQ(win::CApp::instance(), &app);

    ASSERT_TRUE(app.WriteProfileInt(app::settings::kProfileSection, app::settings::kRemember, 1));
    ASSERT_TRUE(app.WriteProfileString(app::settings::kProfileSection, "Login1", "alice"));

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
    EXPECT_EQ(app.GetProfileString(app::settings::kProfileSection, "Login1"), "alice");

    // Another version's title is another profile: the stored login is not found.
    app.setApplicationName("Seedwright V1.15");
    EXPECT_EQ(app.GetProfileString(app::settings::kProfileSection, "Login1", "none"), "none");
    EXPECT_EQ(app.GetProfileInt(app::settings::kProfileSection, app::settings::kRemember, 0), 0);

    key.reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Seedwright");
}

}  // namespace
