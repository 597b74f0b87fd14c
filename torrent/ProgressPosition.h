#pragma once
// Where the hashing progress bar stands: 0 to kProgressRange, by the bytes read so far.

#include <cstdint>

inline constexpr int kProgressRange = 500;

// 0 until the build has measured the content; never past the end of the bar.
inline int progressPosition(uint64_t totalSize, uint64_t bytesDone) {
    if (totalSize == 0)
        return 0;
    const uint64_t position = bytesDone * kProgressRange / totalSize;
    return position > kProgressRange ? kProgressRange : static_cast<int>(position);
}
