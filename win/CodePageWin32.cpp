#include <windows.h>

#include <climits>

#include "win/CodePage.h"

namespace win::codepage {

namespace {

std::wstring toWide(const std::string& text, UINT codePage) {
    if (text.empty() || text.size() > INT_MAX)
        return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], length);
    return wide;
}

std::string fromWide(const std::wstring& wide, UINT codePage) {
    if (wide.empty() || wide.size() > INT_MAX)
        return std::string();
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), size, &out[0], length, nullptr, nullptr);
    return out;
}

bool isAscii(const std::string& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

}  // namespace

unsigned activeCodePage() {
    return GetACP();
}

std::string codePageToUtf8(const std::string& text, unsigned codePage) {
    // Every code page the program meets agrees with ASCII. Under 65001 the round trip keeps
    // valid UTF-8 as it is and replaces what is not.
    if (isAscii(text))
        return text;
    return fromWide(toWide(text, codePage), CP_UTF8);
}

std::wstring widen(const std::string& narrow) {
    return toWide(narrow, CP_ACP);
}

bool narrow(const std::wstring& wide, std::string& out) {
    out = fromWide(wide, CP_ACP);
    // A character the code page lacks comes back as '?' or as a best-fit look-alike ("e" for
    // "é" under code page 1251): either way the narrow name no longer leads to the same file.
    return toWide(out, CP_ACP) == wide;
}

}  // namespace win::codepage

std::string toUtf8(const std::string& text) {
    return win::codepage::codePageToUtf8(text, win::codepage::activeCodePage());
}
