#include "install/ShellHelpers.h"

#include <shlobj.h>

#include <vector>

#include "win/CodePage.h"
#include "win/Handles.h"
#include "win/ModulePath.h"

namespace {

const char kChooseFolderTitle[] = "Please select a folder and press 'OK'.";

bool linkFilePath(const std::string& linkName, int folderId, std::string& path) {
    if (!specialFolderPath(folderId, path))
        return false;
    path += linkName + ".lnk";
    return true;
}

// The narrow functions fit a path into MAX_PATH bytes, which under UTF-8 hold fewer characters.
bool pathOfList(LPCITEMIDLIST list, std::string& path) {
    wchar_t wide[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(list, wide))
        return false;
    // A name the code page lacks shows as such where it is used.
    static_cast<void>(win::codepage::narrow(wide, path));
    return true;
}

// The folder browser's callback: selects the folder it was given once the tree is there.
int CALLBACK selectAtStart(HWND browser, UINT message, LPARAM, LPARAM folder) {
    if (message == BFFM_INITIALIZED)
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, folder);
    return 0;
}

}  // namespace

bool specialFolderPath(int folderId, std::string& path) {
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, folderId, &list)) || list == nullptr)
        return false;
    const bool found = pathOfList(list, path);
    CoTaskMemFree(list);
    if (!found)
        return false;
    path += "\\";
    return true;
}

bool CShortcut::createLink(const std::string& target,
                           const std::string& linkName,
                           int folderId,
                           const std::string& description,
                           const std::string& iconPath,
                           int iconIndex) {
    std::string linkPath;
    if (!linkFilePath(linkName, folderId, linkPath))
        return false;
    const std::string targetPath = target == "_this" ? win::modulePath() : target;

    CoInitialize(nullptr);  // kept for the life of the thread
    win::CComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.receive())))
        return false;
    link->SetPath(targetPath.c_str());
    link->SetDescription(description.c_str());
    if (!m_arguments.empty())
        link->SetArguments(m_arguments.c_str());

    win::CComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.receive())))
        return false;
    wchar_t widePath[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH) == 0)
        return false;
    if (!iconPath.empty())
        link->SetIconLocation(iconPath.c_str(), iconIndex);
    return SUCCEEDED(file->Save(widePath, TRUE));
}

bool deleteLink(const std::string& linkName, int folderId) {
    // The shell's file operation expands wildcards; a link name never holds one.
    if (linkName.find_first_of("*?") != std::string::npos)
        return false;
    std::string path;
    if (!linkFilePath(linkName, folderId, path))
        return false;
    std::vector<char> from(path.begin(), path.end());
    from.push_back('\0');
    from.push_back('\0');
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.data();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI;
    return SHFileOperationA(&operation) == 0;
}

bool chooseFolder(HWND owner, std::string& path) {
    win::CComPtr<IMalloc> allocator;
    if (FAILED(SHGetMalloc(reinterpret_cast<IMalloc**>(allocator.receive()))))
        return false;
    CoInitialize(nullptr);  // the browser needs COM on this thread; kept for its life
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = kChooseFolderTitle;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (!path.empty() && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        info.lParam = reinterpret_cast<LPARAM>(path.c_str());
        info.lpfn = selectAtStart;
    }
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (chosen == nullptr)
        return false;
    const bool found = pathOfList(chosen, path);
    allocator->Free(chosen);
    return found;
}
