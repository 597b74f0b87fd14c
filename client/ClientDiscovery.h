#pragma once
// Operating-system queries about the torrent client and the system itself.

#include <string>

// The uTorrent executable named by the open commands registered for it; empty when none is found.
std::string findUTorrentPath();

class COsVersion {
  public:
    bool m_isNt = false;

    // Sets m_isNt; the code is major + 256 * minor for Windows 98, ME, 2000, XP and 2003, else 4.
    long osVersionCode();
};

// The major file version of an executable, -1 when it has no readable version information.
int executableMajorVersion(const std::string& path);
