#include "site/SiteTable.h"

#include <cstdlib>

std::vector<SiteEntry> siteTable() {
    std::vector<SiteEntry> table = {{"Velmar Tracker", "tracker.velmar.example"}};
    const char* replacement = std::getenv(site::kSiteOverride);
    if (replacement && *replacement) {
        for (SiteEntry& entry : table)
            entry.m_host = replacement;
    }
    return table;
}

bool findSiteHost(const std::string& displayName, std::string& host) {
    for (const SiteEntry& entry : siteTable()) {
        if (entry.m_displayName == displayName) {
            host = entry.m_host;
            return true;
        }
    }
    return false;
}

void splitHostPort(const std::string& host, std::string& name, unsigned short& port) {
    name = host;
    port = site::kHttpsPort;
    const std::size_t colon = host.rfind(':');
    if (colon == std::string::npos || colon + 1 == host.size() || host.size() - colon > 6)
        return;
    unsigned long value = 0;
    for (std::size_t i = colon + 1; i < host.size(); ++i) {
        if (host[i] < '0' || host[i] > '9')
            return;
        value = value * 10 + static_cast<unsigned long>(host[i] - '0');
    }
    if (value == 0 || value > 65535)
        return;
    name = host.substr(0, colon);
    port = static_cast<unsigned short>(value);
}
