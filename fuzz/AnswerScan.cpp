// The upload's scan of the site's answer page: download links and the failure marker.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/Check.h"
#include "upload/UploadPlan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string answer(reinterpret_cast<const char*>(data), size);
    const upload::AnswerScan scan = upload::scanAnswer(answer);

    FUZZ_CHECK(scan.links.size() <= upload::kMaxScannedLines);
    for (const std::string& link : scan.links) {
        // The shape the download expects, cut before the link end, within one line of the answer.
        FUZZ_CHECK(link.compare(0, 14, "/download.php/") == 0);
        FUZZ_CHECK(link.find('/', 14) != std::string::npos);
        FUZZ_CHECK(link.find("\">") == std::string::npos);
        FUZZ_CHECK(link.find('\n') == std::string::npos);
        FUZZ_CHECK(answer.find("href=\"" + link + "\">") != std::string::npos);
    }
    FUZZ_CHECK(scan.refused || scan.reason.empty());
    FUZZ_CHECK(scan.reason.find_first_of("<>\n") == std::string::npos);
    FUZZ_CHECK(scan.reason.size() <= answer.size());

    const std::string stripped = upload::stripMarkup(answer);
    FUZZ_CHECK(stripped.find_first_of("<>") == std::string::npos);
    FUZZ_CHECK(stripped.size() <= answer.size());
    return 0;
}
