#include "site/RequestLimits.h"

#include <cstdlib>

#include "bencode/Decode.h"

namespace site {
std::size_t maxDownload() {
    return DecodeLimits().m_maxSize;
}
}  // namespace site

RequestLimits requestLimits() {
    return requestLimitsFrom(std::getenv(site::kTimeoutOverride));
}

RequestLimits requestLimitsFrom(const char* override) {
    RequestLimits limits;
    if (!override || !*override)
        return limits;
    char* end = nullptr;
    const long seconds = std::strtol(override, &end, 10);
    if (*end != '\0' || seconds < 1 || seconds > 300)
        return limits;
    limits.m_stepSeconds = static_cast<unsigned>(seconds);
    limits.m_totalSeconds = 4 * limits.m_stepSeconds;
    return limits;
}

namespace site::reason {

std::string answered(long status) {
    return "The site answered " + std::to_string(status) + ".";
}

std::string noAnswerWithin(unsigned seconds) {
    return "The site did not answer within " + std::to_string(seconds) + " seconds.";
}

std::string notFinishedWithin(unsigned seconds) {
    return "The site did not finish its answer within " + std::to_string(seconds) + " seconds.";
}

std::string endedEarly(unsigned long long got, unsigned long long announced) {
    return "The answer broke off after " + std::to_string(got) + " of " + std::to_string(announced) + " bytes.";
}

std::string largerThan(std::size_t bytes) {
    return "The answer is larger than " + std::to_string(bytes >> 20) + " MiB.";
}

}  // namespace site::reason
