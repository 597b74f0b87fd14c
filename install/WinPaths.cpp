#include "install/WinPaths.h"

#include <windows.h>

#include <shlobj.h>

#include "win/CodePage.h"
#include "win/SpecialFolder.h"

namespace install {

namespace {

// False when a character has no exact form in the system's OEM code page (no best-fit guesses: a
// '?' or a look-alike letter would name another file).
bool toOem(const std::string& ansi, std::string& oem) {
    if (ansi.empty()) {
        oem.clear();
        return true;
    }
    const int wideLength =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    if (wideLength <= 0)
        return false;
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], wideLength);
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(systemOemCodePage(), WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, nullptr,
                                           0, nullptr, &lossy);
    if (length <= 0 || lossy)
        return false;
    std::string converted(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(systemOemCodePage(), WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, &converted[0], length,
                        nullptr, &lossy);
    if (lossy)
        return false;
    oem = converted;
    return true;
}

}  // namespace

// cmd.exe runs without our manifest, so it reads a batch in the system's OEM code page even
// where this process's own code pages are UTF-8 (GetOEMCP() then says 65001).
unsigned systemOemCodePage() {
    DWORD codePage = 0;
    if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTCODEPAGE | LOCALE_RETURN_NUMBER,
                       reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(wchar_t)) == 0 ||
        codePage == 0)
        return GetOEMCP();
    return codePage;
}

std::string fullLongPath(const std::string& path) {
    char full[win::codepage::kPathBytes] = "";
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full)
        return std::string();
    char longer[win::codepage::kPathBytes] = "";
    const DWORD longLength = GetLongPathNameA(full, longer, sizeof longer);
    if (longLength != 0 && longLength < sizeof longer)
        return longer;
    return full;
}

std::vector<std::string> systemFolders() {
    // A 32-bit program on 64-bit Windows is given System32 for CSIDL_SYSTEM, and redirected from it
    // to SysWOW64: both are the system's, under either name.
    const int ids[] = {CSIDL_WINDOWS,          CSIDL_SYSTEM,        CSIDL_SYSTEMX86,        CSIDL_PROGRAM_FILES,
                       CSIDL_PROGRAM_FILESX86, CSIDL_PROFILE,       CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL,
                       CSIDL_APPDATA,          CSIDL_LOCAL_APPDATA, CSIDL_COMMON_APPDATA};
    std::vector<std::string> folders;
    for (int id : ids) {
        const std::string folder = win::specialFolderPath(id, false);
        if (!folder.empty())
            folders.push_back(fullLongPath(folder));
    }
    // A 32-bit program sees "Program Files (x86)" as its Program Files; the 64-bit one is here.
    char native[win::codepage::kPathBytes] = "";
    const DWORD length = GetEnvironmentVariableA("ProgramW6432", native, sizeof native);
    if (length != 0 && length < sizeof native)
        folders.push_back(fullLongPath(native));
    return folders;
}

bool oemSpelling(const std::string& path, std::string& spelled) {
    if (toOem(path, spelled))
        return true;
    char shortPath[win::codepage::kPathBytes] = "";
    const DWORD length = GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
    return length != 0 && length < sizeof shortPath && toOem(shortPath, spelled);
}

}  // namespace install
