#include "tests/support/WinPlaces.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "win/CodePage.h"
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
    win::CComPtr<IShellLinkW> link;
    win::CComPtr<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.receive())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.receive())))
        return false;
    if (FAILED(persist->Load(win::codepage::widen(file).c_str(), STGM_READ)))
        return false;
    // Each text in this process's code page; one it cannot hold fails the reading.
    bool whole = true;
    const auto text = [&whole](const wchar_t* wide) {
        std::string narrow;
        whole = win::codepage::narrow(wide, narrow) && whole;
        return narrow;
    };
    wchar_t buffer[1024] = {};
    link->GetPath(buffer, 1024, nullptr, SLGP_RAWPATH);
    shortcut.m_target = text(buffer);
    buffer[0] = L'\0';
    link->GetArguments(buffer, 1024);
    shortcut.m_arguments = text(buffer);
    buffer[0] = L'\0';
    link->GetWorkingDirectory(buffer, 1024);
    shortcut.m_folder = text(buffer);
    buffer[0] = L'\0';
    link->GetDescription(buffer, 1024);
    shortcut.m_description = text(buffer);
    buffer[0] = L'\0';
    link->GetIconLocation(buffer, 1024, &shortcut.m_iconIndex);
    shortcut.m_iconPath = text(buffer);
    return whole;
}

}  // namespace places
