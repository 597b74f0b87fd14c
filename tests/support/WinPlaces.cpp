#include "tests/support/WinPlaces.h"

#include <shellapi.h>
#include <shlobj.h>

#include "win/Handles.h"

namespace places {

std::string windowsPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string shellFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool keyExists(HKEY root, const char* path) {
    win::CRegKey key;
    return RegOpenKeyExA(root, path, 0, KEY_READ, key.receive()) == ERROR_SUCCESS;
}

void removeTree(const std::string& path) {
    if (!exists(path))
        return;
    std::string from = path;
    from.push_back('\0');  // the list of paths ends with an empty one
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

}  // namespace places
