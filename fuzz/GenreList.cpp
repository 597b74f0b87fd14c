// The login answer as the category list with the announced build and update address.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/Check.h"
#include "site/GenreList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string answer(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> categories{"earlier"};
    const GenreListResult result = parseGenreList(answer, categories);

    FUZZ_CHECK(categories.front() == "earlier");  // appended to, never cleared
    FUZZ_CHECK(categories.size() <= 1u + site::genre::kMaxLines);
    // The first line gives its text after the first '=' (all of it without one), every later
    // line itself; empty ones give nothing, and no line is cut or joined.
    std::size_t next = 1;
    std::size_t from = 0;  // where the line after the last entry starts
    const std::size_t firstEnd = answer.find('\n');
    if (firstEnd != std::string::npos &&
        answer.substr(0, firstEnd).find(site::genre::kCookieMarker) == std::string::npos) {
        const std::string first = answer.substr(0, firstEnd);
        const std::size_t equals = first.find('=');
        const std::string rest = equals == std::string::npos ? first : first.substr(equals + 1);
        if (!rest.empty())
            FUZZ_CHECK(categories.size() > 1 && categories[next++] == rest);
        from = firstEnd + 1;
    }
    for (; next < categories.size(); ++next) {
        const std::string& entry = categories[next];
        FUZZ_CHECK(!entry.empty() && entry.find('\n') == std::string::npos);
        while (from < answer.size() && answer[from] == '\n')
            ++from;
        FUZZ_CHECK(answer.compare(from, entry.size() + 1, entry + "\n") == 0);
        from += entry.size() + 1;
    }
    FUZZ_CHECK(result.m_updateAddress.find('\n') == std::string::npos);
    if (!result.m_updateAddress.empty()) {
        const std::string& first = categories.at(1);
        FUZZ_CHECK(first.size() >= result.m_updateAddress.size());
        FUZZ_CHECK(first.compare(first.size() - result.m_updateAddress.size(), std::string::npos,
                                 result.m_updateAddress) == 0);
    }
    if (result.m_cookiesRequired)
        FUZZ_CHECK(answer.find(site::genre::kCookieMarker) != std::string::npos);

    // An accepted list announces a build on its first line, and the parse read it from there.
    if (beginsWithAnnouncement(answer)) {
        FUZZ_CHECK(firstEnd != std::string::npos && answer.find('=') < firstEnd);
        FUZZ_CHECK(result.m_build >= 0);
    }

    if (updateOffered(result.m_build, 1024))
        FUZZ_CHECK(updateOfferText(result.m_build, 1024).find("Build(1024)") != std::string::npos);
    if (isWebAddress(result.m_updateAddress))
        FUZZ_CHECK(result.m_updateAddress.size() >= 7);
    return 0;
}
