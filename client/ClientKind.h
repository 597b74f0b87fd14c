#pragma once
// Which torrent client an executable is, and how qBittorrent lays out the content of a torrent it
// is given: the decisions, apart from the system queries that feed them.

#include <cstddef>
#include <string>

namespace client {

enum class ClientKind {
    Utorrent,
    BitTorrent,          // uTorrent's sibling: the same switches
    Qbittorrent,         // 4.0 or later, or of unknown version
    QbittorrentBefore4,  // takes no save path on its command line
    Unknown,
};

// What an executable says about itself and what it is called.
struct ExecutableFacts {
    std::string productName;       // of its version resource, empty without one
    std::string originalFilename;  // likewise
    std::string fileName;          // the name the file has now
    int majorVersion = -1;         // of its file version, -1 when unreadable
};

// The version resource decides (the original file name before the product name), the file name
// only when the resource names no known client. Every name is compared without regard to case.
ClientKind clientKind(const ExecutableFacts& facts);

// The last part of a path, after its last '\', '/' or ':'.
std::string fileNameOf(const std::string& path);

// qBittorrent's "Torrent content layout": where the files of a torrent go below its save path.
enum class ContentLayout {
    Original,     // as the torrent has them: a folder torrent in its folder, a single file on its own
    Subfolder,    // always in a folder, a single file too (named after the file without extension)
    NoSubfolder,  // never in a folder: a folder torrent's files right in the save path
};

// Larger settings files are not read at all.
inline constexpr std::size_t kMaxSettingsBytes = std::size_t(1) << 20;

// The layout qBittorrent.ini sets: "Session\TorrentContentLayout" in its [BitTorrent] section, or
// where that is missing, the older "Session\CreateTorrentSubfolder" (false: NoSubfolder).
// Original for anything else, and for a file over kMaxSettingsBytes.
ContentLayout contentLayout(const std::string& ini);

// The settings file of the qBittorrent at `executable`: the portable profile beside it when its
// "profile" folder exists, otherwise the one in the member's application data folder.
std::string qbittorrentSettingsFile(const std::string& executable, bool portableProfile, const std::string& appData);

}  // namespace client
