#include "tests/support/Pictures.h"

#include <algorithm>

std::string gifPicture(const std::string& comment) {
    // Header, 1x1 screen with a two-colour table (black, white).
    std::string gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff", 19);
    // The comment extension: sub-blocks of at most 255 bytes, then an empty one.
    gif += "\x21\xfe";
    for (std::size_t at = 0; at < comment.size(); at += 255) {
        const std::size_t size = std::min<std::size_t>(255, comment.size() - at);
        gif += static_cast<char>(size);
        gif.append(comment, at, size);
    }
    gif += '\0';
    // One pixel of colour 0, and the trailer.
    gif += std::string("\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b", 16);
    return gif;
}
