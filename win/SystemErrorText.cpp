#include "win/SystemErrorText.h"

namespace win {

std::string systemErrorText(DWORD error) {
    char text[501] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        text, sizeof text - 1, nullptr);
    std::string out(text, length);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
        out.pop_back();
    return out;
}

}  // namespace win
