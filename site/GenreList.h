#pragma once
// The answer of a good login is the site's category page: one "id;name" entry per line, the
// first line also announcing the newest build and where to fetch it
// (key=BUILD=url=ADDRESS). The login sequence (site/LoginSequence.h) makes the update offer.

#include <cstdint>
#include <string>
#include <vector>

namespace site::genre {
// Shown in the login dialog when the site sends its page for browsers without cookies.
inline constexpr const char* kCookieMarker = "The page you tried to view can only be used when";
inline constexpr const char* kCookiesRequired = "Cookies required. Turn off any Cookie Mgmt Program";
inline constexpr int kMaxLines = 1000;
}  // namespace site::genre

struct GenreListResult {
    bool m_cookiesRequired = false;  // the parse stopped at the cookie marker
    int32_t m_build = 0;             // 0 when the first line announces none
    std::string m_updateAddress;     // empty when the first line names none
};

// Appends the answer's lines to categories (never clears it). Lines end at a line feed; a
// carriage return before it stays; the text after the last line feed is not examined.
GenreListResult parseGenreList(const std::string& answer, std::vector<std::string>& categories);

// True when the first line, ended by a line feed, is the announcement "key=BUILD=...": a key
// of letters, digits or '_', then digits. Anything else (an error or login page) is no list.
bool beginsWithAnnouncement(const std::string& answer);

// Only a newer build is offered.
bool updateOffered(int32_t announced, int32_t own);
std::string updateOfferText(int32_t announced, int32_t own);
// Only a web address is handed to the shell; anything else could start a local program.
bool isWebAddress(const std::string& address);
