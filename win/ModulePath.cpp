#include "win/ModulePath.h"

#include <windows.h>

namespace win {

std::string modulePath() {
    // A path that does not fit comes back cut to the buffer's size: try again in a larger one.
    // Long paths stop at 32767 characters, four bytes each at most under UTF-8.
    constexpr DWORD kLargest = 4 * 32768;
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameA(nullptr, &buffer[0], size);
        if (length == 0)
            return std::string();
        if (length < size) {
            buffer.resize(length);
            return buffer;
        }
        if (size >= kLargest)
            return std::string();
        buffer.resize(std::size_t{size} * 2);
    }
}

}  // namespace win
