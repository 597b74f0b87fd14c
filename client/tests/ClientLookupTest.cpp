#include <gtest/gtest.h>

#include <string>

#include "client/ClientLookup.h"

namespace {

using client::executableFromCommand;

std::string fromString(const std::string& value, unsigned long type = client::kTypeString) {
    return executableFromCommand(type, value.c_str(), value.size() + 1);  // with its terminator
}

TEST(ClientLookup, TheQuotedExecutableOfAnOpenCommand) {
    EXPECT_EQ(fromString("\"C:\\Program Files\\uTorrent\\uTorrent.exe\" \"%1\""),
              "C:\\Program Files\\uTorrent\\uTorrent.exe");
    EXPECT_EQ(fromString("\"C:\\uTorrent.exe\" /NOINSTALL \"%1\"", client::kTypeExpandString), "C:\\uTorrent.exe");
    EXPECT_EQ(fromString("\"C:\\no closing quote.exe"), "C:\\no closing quote.exe");
    EXPECT_EQ(fromString("C:\\uTorrent\\uTorrent.exe \"%1\""), "");
    EXPECT_EQ(fromString(""), "");
    EXPECT_EQ(fromString(" \"C:\\uTorrent.exe\""), "");
}

TEST(ClientLookup, OnlyZeroTerminatedStrings) {
    const std::string value = "\"C:\\uTorrent.exe\"";
    EXPECT_EQ(executableFromCommand(client::kTypeString, value.c_str(), value.size()), "");
    EXPECT_EQ(fromString(value, 3 /* REG_BINARY */), "");
    EXPECT_EQ(fromString(value, 7 /* REG_MULTI_SZ */), "");
    const char embedded[] = "\"C:\\a.exe\0\"";
    EXPECT_EQ(executableFromCommand(client::kTypeString, embedded, sizeof embedded), "C:\\a.exe");
}

// The places in their order: the first that names a known client, whatever comes after it.
TEST(ClientLookup, LocationsInOrder) {
    using client::ClientKind;
    const struct {
        std::vector<client::FoundClient> found;
        const char* first;
    } cases[] = {
        {{{"", ClientKind::Unknown}, {"", ClientKind::Utorrent}, {"C:\\three.exe", ClientKind::Qbittorrent}},
         "C:\\three.exe"},
        {{{"C:\\one.exe", ClientKind::BitTorrent}, {"C:\\two.exe", ClientKind::Utorrent}}, "C:\\one.exe"},
        {{{"C:\\notepad.exe", ClientKind::Unknown}, {"C:\\old.exe", ClientKind::QbittorrentBefore4}}, "C:\\old.exe"},
        {{{"C:\\notepad.exe", ClientKind::Unknown}, {"", ClientKind::Unknown}}, ""},
        {{}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(client::firstKnownClient(c.found), c.first);

    const auto registered = [](const std::string& value, unsigned long type = client::kTypeString) {
        return client::registeredClass(type, value.c_str(), value.size() + 1);
    };
    EXPECT_EQ(registered("qBittorrent.File.Torrent"), "qBittorrent.File.Torrent");
    EXPECT_EQ(registered(""), "");
    EXPECT_EQ(registered("..\\Software"), "");
    EXPECT_EQ(registered("\"uTorrent\""), "");
    EXPECT_EQ(registered("uTorrent", client::kTypeExpandString), "");
    EXPECT_EQ(client::registeredClass(client::kTypeString, "uTorrent", 8), "");

    EXPECT_EQ(client::executableInFolder("C:\\Program Files\\qBittorrent", "qbittorrent.exe"),
              "C:\\Program Files\\qBittorrent\\qbittorrent.exe");
    EXPECT_EQ(client::executableInFolder("\"C:\\qBittorrent\\\"", "qbittorrent.exe"),
              "C:\\qBittorrent\\qbittorrent.exe");
    EXPECT_EQ(client::executableInFolder("", "qbittorrent.exe"), "");
}

TEST(ClientLookup, VersionCodes) {
    bool isNt = true;
    EXPECT_EQ(client::versionCode(client::kPlatformWindows, 4, 10, isNt), 2564);
    EXPECT_FALSE(isNt);
    EXPECT_EQ(client::versionCode(client::kPlatformWindows, 4, 90, isNt), 23044);
    EXPECT_EQ(client::versionCode(client::kPlatformWindows, 4, 0, isNt), 4);
    EXPECT_FALSE(isNt);

    EXPECT_EQ(client::versionCode(client::kPlatformNt, 5, 0, isNt), 5);
    EXPECT_TRUE(isNt);
    EXPECT_EQ(client::versionCode(client::kPlatformNt, 5, 1, isNt), 261);
    EXPECT_EQ(client::versionCode(client::kPlatformNt, 5, 2, isNt), 517);
    EXPECT_EQ(client::versionCode(client::kPlatformNt, 6, 1, isNt), 4);  // Windows 7
    EXPECT_TRUE(isNt);
    EXPECT_EQ(client::versionCode(client::kPlatformNt, 4, 0, isNt), 4);
    EXPECT_EQ(client::versionCode(client::kPlatformNt, 5, 3, isNt), 4);
    EXPECT_EQ(client::versionCode(0, 3, 11, isNt), 4);  // Win32s
    EXPECT_FALSE(isNt);
}

}  // namespace
