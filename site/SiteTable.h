#pragma once
// The sites the login dialog offers, and where their host names lead.

#include <string>
#include <vector>

struct SiteEntry {
    std::string m_displayName;
    std::string m_host;  // host name, or host:port where a port other than 443 is meant
};

namespace site {
inline constexpr const char* kSelectSite = "--Select Site--";
inline constexpr const char* kHelpdeskEntry = "request integration on helpdesk";
// SEEDWRIGHT_SITE=host[:port] replaces the host of every row (a test or demo site).
inline constexpr const char* kSiteOverride = "SEEDWRIGHT_SITE";
inline constexpr unsigned short kHttpsPort = 443;
}  // namespace site

// The table, with the override applied when the environment sets it.
std::vector<SiteEntry> siteTable();
// The host of the row with exactly this display name; false when no row has it.
[[nodiscard]] bool findSiteHost(const std::string& displayName, std::string& host);

// Splits host[:port]; a missing or unreadable port gives 443 and leaves the text whole.
void splitHostPort(const std::string& host, std::string& name, unsigned short& port);
