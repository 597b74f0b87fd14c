#include "upload/PictureRows.h"

#include <algorithm>
#include <cstdio>

namespace upload::pictures {

std::string numberText(long number) {
    char text[32];
    std::snprintf(text, sizeof text, "%02ld", number);
    return text;
}

std::string sizeText(uint64_t bytes) {
    constexpr uint64_t KiB = 1024, MiB = KiB * KiB, GiB = MiB * KiB;
    if (bytes > GiB)
        return std::to_string(bytes / GiB) + " GB";
    if (bytes > MiB)
        return std::to_string(bytes / MiB) + " MB";
    return std::to_string(bytes / KiB) + " KB";
}

size_t sortedRowIndex(const std::vector<std::string>& rowTexts, const std::string& text) {
    return size_t(std::upper_bound(rowTexts.begin(), rowTexts.end(), text) - rowTexts.begin());
}

}  // namespace upload::pictures
