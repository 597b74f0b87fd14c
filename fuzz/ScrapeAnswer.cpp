// The tracker's scrape answer, and the scrape address made from an announce address.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/Check.h"
#include "site/Scrape.h"

using site::scrape::Seen;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // The first 20 bytes are the info-hash asked about, the rest the answer.
    const std::string hash = input.substr(0, 20);
    const std::string answer = input.size() > 20 ? input.substr(20) : std::string();
    const Seen seen = site::scrape::readAnswer(answer, hash);
    if (seen == Seen::Listed)
        FUZZ_CHECK(hash.size() == 20 && answer.find(hash) != std::string::npos);
    if (answer.size() > site::scrape::kMaxAnswer)
        FUZZ_CHECK(seen == Seen::Never);

    // The same bytes as an announce address: a scrape address keeps all but "announce", adds
    // the escaped hash, and is all printable.
    const std::string scrape = site::scrape::address(answer, hash);
    if (!scrape.empty()) {
        FUZZ_CHECK(hash.size() == 20);
        // "announce" became "scrape"; a separator may come before "info_hash=" and its 60 bytes.
        const std::size_t least = answer.size() - 2 + 70;
        FUZZ_CHECK(scrape.size() == least || scrape.size() == least + 1);
        FUZZ_CHECK(scrape.find("scrape") != std::string::npos);
        FUZZ_CHECK(scrape.compare(scrape.size() - 70, 10, "info_hash=") == 0);
        for (const char c : scrape)
            FUZZ_CHECK(c > ' ' && c < 127);
    }
    return 0;
}
