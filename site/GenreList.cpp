#include "site/GenreList.h"

#include <cctype>
#include <limits>

namespace {

// Leading blanks and a sign allowed, the first non-digit ends it, no digits give 0;
// values past the 32-bit range are held at its ends.
int32_t leadingNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1)
            value = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    }
    if (negative)
        return static_cast<int32_t>(-value);
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

}  // namespace

GenreListResult parseGenreList(const std::string& answer, std::vector<std::string>& categories) {
    GenreListResult result;
    std::size_t start = 0;
    for (int handled = 0; handled < site::genre::kMaxLines; ++handled) {
        const std::size_t end = answer.find('\n', start);
        if (end == std::string::npos)
            break;
        std::string line = answer.substr(start, end - start);
        start = end + 1;

        if (line.find(site::genre::kCookieMarker) != std::string::npos) {
            result.m_cookiesRequired = true;
            return result;
        }
        if (handled == 0) {
            const std::size_t firstEquals = line.find('=');
            if (firstEquals != std::string::npos) {
                line.erase(0, firstEquals + 1);
                const std::size_t secondEquals = line.find('=');
                if (secondEquals != std::string::npos) {
                    result.m_build = leadingNumber(line.substr(0, secondEquals));
                    const std::size_t url = line.find("url=");
                    if (url != std::string::npos)
                        result.m_updateAddress = line.substr(url + 4);
                }
            }
        }
        if (!line.empty())
            categories.push_back(line);
    }
    return result;
}

bool beginsWithAnnouncement(const std::string& answer) {
    const std::size_t end = answer.find('\n');
    if (end == std::string::npos)
        return false;
    std::size_t i = 0;
    while (i < end && (std::isalnum(static_cast<unsigned char>(answer[i])) || answer[i] == '_'))
        ++i;
    if (i == 0 || i == end || answer[i] != '=')
        return false;
    const std::size_t digits = ++i;
    while (i < end && answer[i] >= '0' && answer[i] <= '9')
        ++i;
    return i > digits && i < end && answer[i] == '=';
}

bool updateOffered(int32_t announced, int32_t own) {
    return announced > own;
}

std::string updateOfferText(int32_t announced, int32_t own) {
    return "A new Software Update is available: Build(" + std::to_string(announced) + ")\nThis Version: Build(" +
           std::to_string(own) + ")\n\nWould you like to Download the new Program? (highly recommended!)";
}

bool isWebAddress(const std::string& address) {
    auto startsWith = [&address](const char* prefix) {
        std::size_t i = 0;
        for (; prefix[i]; ++i) {
            if (i >= address.size() ||
                std::tolower(static_cast<unsigned char>(address[i])) != static_cast<unsigned char>(prefix[i]))
                return false;
        }
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}
