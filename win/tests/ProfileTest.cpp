#include <gtest/gtest.h>

#include "win/App.h"
#include "win/Handles.h"

namespace {

// Reads one value straight from the registry, bypassing the application object.
bool rawValue(const std::string& keyPath, const char* name, DWORD& type, std::vector<BYTE>& data) {
    win::CRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, key.receive()) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    data.resize(size);
    return RegQueryValueExA(key.get(), name, nullptr, &type, data.data(), &size) == ERROR_SUCCESS;
}

class ProfileTest : public ::testing::Test {
  protected:
    void SetUp() override { m_app.setProfileKey("Software\\SeedwrightTests\\Profile Test App"); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\SeedwrightTests"); }

    win::CApp m_app;
};

TEST_F(ProfileTest, ValuesRoundTripUnderTheProfileKey) {
    const std::string key = "Software\\SeedwrightTests\\Profile Test App\\Settings";
    EXPECT_EQ(m_app.profileKeyPath("Settings"), key);

    ASSERT_TRUE(m_app.profile().WriteProfileInt("Settings", "Number", -7));
    ASSERT_TRUE(m_app.profile().WriteProfileString("Settings", "Text", "hello world"));
    const std::vector<BYTE> blob = {0x00, 0x01, 0xFE, 0x00, 0x7F};
    ASSERT_TRUE(m_app.profile().WriteProfileBinary("Settings", "Blob", blob));

    EXPECT_EQ(m_app.profile().GetProfileInt("Settings", "Number", 5), -7);
    EXPECT_EQ(m_app.profile().GetProfileString("Settings", "Text"), "hello world");
    std::vector<BYTE> read;
    EXPECT_TRUE(m_app.profile().GetProfileBinary("Settings", "Blob", read));
    EXPECT_EQ(read, blob);

    // The stored types are the ones other programs expect.
    DWORD type = 0;
    std::vector<BYTE> raw;
    ASSERT_TRUE(rawValue(key, "Number", type, raw));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    ASSERT_TRUE(rawValue(key, "Text", type, raw));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(raw.begin(), raw.end()), std::string("hello world", 12));
    ASSERT_TRUE(rawValue(key, "Blob", type, raw));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));

    // Overwriting, and empty values.
    ASSERT_TRUE(m_app.profile().WriteProfileString("Settings", "Text", ""));
    EXPECT_EQ(m_app.profile().GetProfileString("Settings", "Text", "default"), "");
    ASSERT_TRUE(m_app.profile().WriteProfileBinary("Settings", "Blob", {}));
    EXPECT_TRUE(m_app.profile().GetProfileBinary("Settings", "Blob", read));
    EXPECT_TRUE(read.empty());
}

TEST_F(ProfileTest, MissingOrMistypedEntriesGiveTheDefault) {
    EXPECT_EQ(m_app.profile().GetProfileInt("Settings", "Nothing", 42), 42);
    EXPECT_EQ(m_app.profile().GetProfileString("Settings", "Nothing", "dflt"), "dflt");
    std::vector<BYTE> read = {1, 2};
    EXPECT_FALSE(m_app.profile().GetProfileBinary("Settings", "Nothing", read));
    EXPECT_TRUE(read.empty());

    ASSERT_TRUE(m_app.profile().WriteProfileString("Settings", "Text", "12"));
    EXPECT_EQ(m_app.profile().GetProfileInt("Settings", "Text", 3), 3);
    EXPECT_FALSE(m_app.profile().GetProfileBinary("Settings", "Text", read));
    ASSERT_TRUE(m_app.profile().WriteProfileInt("Settings", "Number", 12));
    EXPECT_EQ(m_app.profile().GetProfileString("Settings", "Number", "none"), "none");
}

TEST_F(ProfileTest, AnotherApplicationNameSeesNothing) {
    ASSERT_TRUE(m_app.profile().WriteProfileInt("Settings", "Remember", 1));
    m_app.setProfileKey("Software\\SeedwrightTests\\Profile Test App 2");
    EXPECT_EQ(m_app.profile().GetProfileInt("Settings", "Remember", 0), 0);
}

TEST_F(ProfileTest, WithoutAProfileKeyNothingIsStored) {
    win::CApp bare;
    EXPECT_FALSE(bare.profile().WriteProfileInt("Settings", "Number", 1));
    EXPECT_EQ(bare.profile().GetProfileInt("Settings", "Number", 9), 9);
}

}  // namespace
