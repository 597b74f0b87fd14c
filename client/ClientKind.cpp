#include "client/ClientKind.h"

#include <cctype>

namespace client {

namespace {

bool sameText(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

// One name against the executable names of the known clients.
ClientKind byFileName(const std::string& name) {
    if (sameText(name, "utorrent.exe"))
        return ClientKind::Utorrent;
    if (sameText(name, "bittorrent.exe"))
        return ClientKind::BitTorrent;
    if (sameText(name, "qbittorrent.exe"))
        return ClientKind::Qbittorrent;
    return ClientKind::Unknown;
}

ClientKind byProductName(const std::string& name) {
    // uTorrent calls itself "µTorrent", which a narrow code page may not hold.
    if (sameText(name, "uTorrent") || sameText(name, "\xB5Torrent") || sameText(name, "\xC2\xB5Torrent") ||
        sameText(name, "?Torrent"))
        return ClientKind::Utorrent;
    if (sameText(name, "BitTorrent"))
        return ClientKind::BitTorrent;
    if (sameText(name, "qBittorrent"))
        return ClientKind::Qbittorrent;
    return ClientKind::Unknown;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

ClientKind clientKind(const ExecutableFacts& facts) {
    ClientKind kind = byFileName(facts.originalFilename);
    if (kind == ClientKind::Unknown)
        kind = byProductName(facts.productName);
    if (kind == ClientKind::Unknown)
        kind = byFileName(facts.fileName);
    if (kind == ClientKind::Qbittorrent && facts.majorVersion >= 0 && facts.majorVersion < 4)
        return ClientKind::QbittorrentBefore4;
    return kind;
}

std::string fileNameOf(const std::string& path) {
    const std::size_t at = path.find_last_of("\\/:");
    return at == std::string::npos ? path : path.substr(at + 1);
}

ContentLayout contentLayout(const std::string& ini) {
    if (ini.size() > kMaxSettingsBytes)
        return ContentLayout::Original;
    std::string layout;
    std::string createSubfolder;
    bool inSection = false;
    std::size_t start = ini.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < ini.size()) {
        std::size_t end = ini.find('\n', start);
        if (end == std::string::npos)
            end = ini.size();
        const std::string line = trimmed(ini.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line[0] == '[') {
            inSection = sameText(line, "[BitTorrent]");
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string::npos)
            continue;
        const std::string key = trimmed(line.substr(0, equals));
        const std::string value = trimmed(line.substr(equals + 1));
        // As qBittorrent reads the file, a later line overrides an earlier one.
        if (sameText(key, "Session\\TorrentContentLayout"))
            layout = value;
        else if (sameText(key, "Session\\CreateTorrentSubfolder"))
            createSubfolder = value;
    }
    if (layout.empty())
        return sameText(createSubfolder, "false") ? ContentLayout::NoSubfolder : ContentLayout::Original;
    if (sameText(layout, "Subfolder"))
        return ContentLayout::Subfolder;
    if (sameText(layout, "NoSubfolder"))
        return ContentLayout::NoSubfolder;
    return ContentLayout::Original;
}

std::string qbittorrentSettingsFile(const std::string& executable, bool portableProfile, const std::string& appData) {
    if (portableProfile)
        return executable.substr(0, executable.size() - fileNameOf(executable).size()) +
               "profile\\qBittorrent\\config\\qBittorrent.ini";
    return appData + "\\qBittorrent\\qBittorrent.ini";
}

}  // namespace client
