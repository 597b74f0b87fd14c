#include "win/SpecialFolder.h"

#include <windows.h>

#include <shlobj.h>

#include "win/CodePage.h"

namespace win {

std::string specialFolderPath(int csidl, bool create) {
    // The narrow call fits the path into MAX_PATH bytes, which under UTF-8 hold fewer characters.
    wchar_t wide[MAX_PATH] = L"";
    std::string path;
    if (FAILED(SHGetFolderPathW(nullptr, csidl | (create ? CSIDL_FLAG_CREATE : 0), nullptr, 0, wide)))
        return path;
    // A name the code page lacks shows as such where the path is used.
    static_cast<void>(win::codepage::narrow(wide, path));
    return path;
}

}  // namespace win
