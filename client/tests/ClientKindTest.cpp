#include <gtest/gtest.h>

#include <string>

#include "client/ClientKind.h"

namespace {

using client::ClientKind;
using client::ContentLayout;

TEST(ClientKind, TheVersionResourceFirstThenTheFileName) {
    const struct {
        const char* product;
        const char* original;
        const char* file;
        int major;
        ClientKind kind;
    } cases[] = {
        {"\xC2\xB5Torrent", "uTorrent.exe", "uTorrent.exe", 3, ClientKind::Utorrent},
        {"\xB5Torrent", "", "setup.exe", 2, ClientKind::Utorrent},
        {"BitTorrent", "BitTorrent.exe", "BitTorrent.exe", 7, ClientKind::BitTorrent},
        {"qBittorrent", "qbittorrent.exe", "qbittorrent.exe", 4, ClientKind::Qbittorrent},
        {"qBittorrent", "qbittorrent.exe", "qbittorrent.exe", 5, ClientKind::Qbittorrent},
        {"qBittorrent", "qbittorrent.exe", "qbittorrent.exe", 3, ClientKind::QbittorrentBefore4},
        {"qBittorrent", "qbittorrent.exe", "qbittorrent.exe", 0, ClientKind::QbittorrentBefore4},
        // A renamed copy is what its resource says; the resource's file name before its product.
        {"qBittorrent", "qbittorrent.exe", "uTorrent.exe", 4, ClientKind::Qbittorrent},
        {"BitTorrent", "uTorrent.exe", "x.exe", 3, ClientKind::Utorrent},
        {"", "QBITTORRENT.EXE", "client.exe", 4, ClientKind::Qbittorrent},
        // Without a resource that names a client, the file name, in any case; no version: current.
        {"", "", "UTORRENT.EXE", -1, ClientKind::Utorrent},
        {"Stand-in", "stand-in.exe", "bittorrent.exe", -1, ClientKind::BitTorrent},
        {"", "", "qBittorrent.exe", -1, ClientKind::Qbittorrent},
        {"", "", "qBittorrent.exe", 3, ClientKind::QbittorrentBefore4},
        // Names that only resemble a client's.
        {"qBittorrent Enhanced", "qbittorrent.exe.bak", "qbittorrent", 4, ClientKind::Unknown},
        {"Transmission", "transmission-qt.exe", "transmission-qt.exe", 4, ClientKind::Unknown},
        {"", "", "utorrent.exe ", -1, ClientKind::Unknown},
        {"", "", "", -1, ClientKind::Unknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.product) + " / " + c.original + " / " + c.file);
        EXPECT_EQ(client::clientKind({c.product, c.original, c.file, c.major}), c.kind);
    }
    EXPECT_EQ(client::fileNameOf("C:\\Program Files\\qBittorrent\\qbittorrent.exe"), "qbittorrent.exe");
    EXPECT_EQ(client::fileNameOf("C:uTorrent.exe"), "uTorrent.exe");
    EXPECT_EQ(client::fileNameOf("uTorrent.exe"), "uTorrent.exe");
}

TEST(ClientKind, TheContentLayoutOfQbittorrentsSettings) {
    const std::string section = "[BitTorrent]\r\n";
    const struct {
        std::string ini;
        ContentLayout layout;
    } cases[] = {
        {"", ContentLayout::Original},
        {section + "Session\\DefaultSavePath=C:/Downloads\r\nSession\\TorrentContentLayout=NoSubfolder\r\n",
         ContentLayout::NoSubfolder},
        {"\xEF\xBB\xBF[bittorrent]\nsession\\torrentcontentlayout = subfolder", ContentLayout::Subfolder},
        {section + "Session\\TorrentContentLayout=Original\n", ContentLayout::Original},
        {section + "Session\\TorrentContentLayout=Sideways\n", ContentLayout::Original},
        {section + "Session\\TorrentContentLayout=\n", ContentLayout::Original},
        // The later line wins.
        {section + "Session\\TorrentContentLayout=Subfolder\nSession\\TorrentContentLayout=NoSubfolder\n",
         ContentLayout::NoSubfolder},
        // Only the [BitTorrent] section counts.
        {"[Preferences]\nSession\\TorrentContentLayout=NoSubfolder\n[BitTorrent]\nSession\\Port=1\n",
         ContentLayout::Original},
        {section + "[Preferences]\nSession\\TorrentContentLayout=NoSubfolder\n", ContentLayout::Original},
        {"Session\\TorrentContentLayout=NoSubfolder\n", ContentLayout::Original},
        // The setting of versions before the layout, and the layout over it.
        {section + "Session\\CreateTorrentSubfolder=false\n", ContentLayout::NoSubfolder},
        {section + "Session\\CreateTorrentSubfolder=true\n", ContentLayout::Original},
        {section + "Session\\CreateTorrentSubfolder=false\nSession\\TorrentContentLayout=Subfolder\n",
         ContentLayout::Subfolder},
        // Binary noise, a line without end and a file over the bound give the default.
        {std::string("\0\xFF[BitTorrent]\n=\n==NoSubfolder\n\x80", 32), ContentLayout::Original},
        {section + std::string("Session\\TorrentContentLayout=NoSubfolder\0x\n", 43), ContentLayout::Original},
        {section + "Session\\TorrentContentLayout=NoSubfolder" + std::string(client::kMaxSettingsBytes, ' '),
         ContentLayout::Original},
        {section + "Session\\TorrentContentLayout=NoSubfolder\n" +
             std::string(client::kMaxSettingsBytes - section.size() - 41, '\n'),
         ContentLayout::NoSubfolder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini.substr(0, 120));
        EXPECT_EQ(client::contentLayout(c.ini), c.layout);
    }
}

TEST(ClientKind, WhereQbittorrentKeepsItsSettings) {
    const std::string exe = "D:\\Portable\\qBittorrent\\qbittorrent.exe";
    const std::string appData = "C:\\users\\me\\AppData\\Roaming";
    EXPECT_EQ(client::qbittorrentSettingsFile(exe, true, appData),
              "D:\\Portable\\qBittorrent\\profile\\qBittorrent\\config\\qBittorrent.ini");
    EXPECT_EQ(client::qbittorrentSettingsFile(exe, false, appData),
              "C:\\users\\me\\AppData\\Roaming\\qBittorrent\\qBittorrent.ini");
}

}  // namespace
