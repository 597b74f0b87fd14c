#include "tests/support/WinPlaces.h"

#include <objbase.h>
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

bool keyExists(HKEY root, const char* path, REGSAM view) {
    win::CRegKey key;
    return RegOpenKeyExA(root, path, 0, KEY_READ | view, key.receive()) == ERROR_SUCCESS;
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

std::string downloadsFolder() {
    const std::string folder = shellFolder(CSIDL_PROFILE) + "\\Downloads";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

std::string downloadedCopy(const std::string& program) {
    const std::string copy = downloadsFolder() + "\\Seedwright.exe";
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    return CopyFileA(program.c_str(), copy.c_str(), FALSE) ? copy : std::string();
}

bool readShortcut(const std::string& file, Shortcut& shortcut) {
    CoInitialize(nullptr);  // kept for the thread's life, as the tests' other COM use expects
    win::CComPtr<IShellLinkA> link;
    win::CComPtr<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.receive())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.receive())))
        return false;
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    if (FAILED(persist->Load(wide, STGM_READ)))
        return false;
    char text[1024] = {};
    link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
    shortcut.m_target = text;
    text[0] = '\0';
    link->GetArguments(text, sizeof text);
    shortcut.m_arguments = text;
    text[0] = '\0';
    link->GetWorkingDirectory(text, sizeof text);
    shortcut.m_folder = text;
    text[0] = '\0';
    link->GetDescription(text, sizeof text);
    shortcut.m_description = text;
    text[0] = '\0';
    link->GetIconLocation(text, sizeof text, &shortcut.m_iconIndex);
    shortcut.m_iconPath = text;
    return true;
}

}  // namespace places
