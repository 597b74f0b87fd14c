#include <gtest/gtest.h>

#include "app/state/AppState.h"
#include "app/state/SettingsLayout.h"

namespace {

TEST(AppState, IdentityAndProfileKey) {
    AppState state;
    state.m_forced = true;
    state.m_removalBatch.m_path = "T:\\left.bat";
    state.setIdentity();
    EXPECT_EQ(state.m_title, "Seedwright V1.14");
    EXPECT_FALSE(state.m_notice.empty());
    EXPECT_FALSE(state.m_forced);
    EXPECT_TRUE(state.m_removalBatch.m_path.empty());
    EXPECT_EQ(state.m_buildNumber, 1024);
    EXPECT_TRUE(state.m_azureusPath.empty());

    EXPECT_EQ(
        app::settings::profileKeyPath(app::settings::kRegistryKeyName, state.m_title, app::settings::kProfileSection),
        "Software\\Seedwright\\Seedwright V1.14\\Settings");
    // Another title is another key, so another version finds no stored logins.
    EXPECT_NE(
        app::settings::profileKeyPath(app::settings::kRegistryKeyName, "Seedwright V1.15",
                                      app::settings::kProfileSection),
        app::settings::profileKeyPath(app::settings::kRegistryKeyName, state.m_title, app::settings::kProfileSection));
}

}  // namespace
