#include "upload/PictureRows.h"

#include <algorithm>
#include <cstdio>

namespace pictures {

std::string numberText(long number) {
    char text[32];
    std::snprintf(text, sizeof text, "%02ld", number);
    return text;
}

std::string sizeText(uint32_t bytes) {
    char text[32];
    if (bytes > 1048576u)
        std::snprintf(text, sizeof text, "%ld MB", long(bytes / 1048576u));
    else
        std::snprintf(text, sizeof text, "%ld KB", long(bytes / 1024u));
    return text;
}

size_t sortedRowIndex(const std::vector<std::string>& rowTexts, const std::string& text) {
    return size_t(std::upper_bound(rowTexts.begin(), rowTexts.end(), text) - rowTexts.begin());
}

}  // namespace pictures
