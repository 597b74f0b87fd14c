#pragma once
// Operating-system queries about the torrent client and the system itself.

#include <string>

#include "client/ClientKind.h"

// The torrent client the member uses, for the installer's client field: the first known client
// (uTorrent, BitTorrent, qBittorrent) named by the program registered for .torrent files, by
// uTorrent's open commands, by qBittorrent's installation record or by its open commands; empty
// when none is found.
std::string findUTorrentPath();

class COsVersion {
  public:
    bool m_isNt = false;

    // Sets m_isNt; the code is major + 256 * minor for Windows 98, ME, 2000, XP and 2003, else 4.
    long osVersionCode();
};

// The major file version of an executable, -1 when it has no readable version information.
int executableMajorVersion(const std::string& path);

// The product name, original file name and major version of an executable's version resource;
// empty names and -1 where it has none. The file name is left empty.
client::ExecutableFacts executableVersion(const std::string& path);

// The content layout in the settings of the qBittorrent at `executable`: its portable profile's,
// or the member's. Original when there is no readable settings file.
client::ContentLayout qbittorrentContentLayout(const std::string& executable);
