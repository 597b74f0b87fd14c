#pragma once
// How long a request to the site may take and how much it may bring back. A site that stalls,
// drip-feeds or sends without end is cut off, and the member is told why in plain words.

#include <cstddef>
#include <string>

namespace site {
// SEEDWRIGHT_TIMEOUT=SECONDS sets the wait for each step (1 to 300; a test site's stall need
// not take half a minute); the whole request may take four times as long.
inline constexpr const char* kTimeoutOverride = "SEEDWRIGHT_TIMEOUT";
inline constexpr std::size_t kMaxPage = 8 * 1024 * 1024;
// The largest torrent the bencode reader takes.
std::size_t maxDownload();
}  // namespace site

struct RequestLimits {
    unsigned m_stepSeconds = 30;    // connect, send, each wait for answer bytes
    unsigned m_totalSeconds = 120;  // the whole request, from the first byte sent to the last read
};

// The limits, with the override applied when the environment sets it.
RequestLimits requestLimits();
RequestLimits requestLimitsFrom(const char* override);

namespace site::reason {
std::string answered(long status);  // "The site answered 500."
std::string noAnswerWithin(unsigned seconds);
std::string notFinishedWithin(unsigned seconds);
std::string endedEarly(unsigned long long got, unsigned long long announced);
std::string largerThan(std::size_t bytes);
}  // namespace site::reason
