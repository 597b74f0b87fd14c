#include "install/ShellHelpers.h"

#include <shlobj.h>

#include <algorithm>

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

bool isAscii(const std::wstring& text) {
    for (const wchar_t c : text)
        if (c >= 0x80)
            return false;
    return true;
}

// Wine keeps a link's target only as narrow text in the code page of the process that saves it
// (UTF-8 here, whichever interface sets it), and every process that reads the link decodes it in
// its own: the shell then looks for a file that is not there ("File not found."). A name beyond
// ASCII is therefore given by its short (8.3) name, which is ASCII; where the file system keeps
// no short names (Windows, where the wide interface stores the target in UTF-16 as well), the
// long name stays.
std::wstring targetSpelling(const std::wstring& path) {
    if (isAscii(path))
        return path;
    std::wstring spelled, walked;
    std::size_t begin = 0;
    while (begin <= path.size()) {
        const std::size_t end = std::min(path.find(L'\\', begin), path.size());
        const std::wstring name = path.substr(begin, end - begin);
        walked += name;
        std::wstring shortName;
        if (!isAscii(name)) {
            std::wstring shortPath(MAX_PATH, L'\0');
            const DWORD length = GetShortPathNameW(walked.c_str(), &shortPath[0], MAX_PATH);
            if (length != 0 && length < MAX_PATH) {
                shortPath.resize(length);
                shortName = shortPath.substr(shortPath.find_last_of(L'\\') + 1);
            }
        }
        spelled += !shortName.empty() && isAscii(shortName) ? shortName : name;
        if (end == path.size())
            break;
        walked += L'\\';
        spelled += L'\\';
        begin = end + 1;
    }
    return spelled;
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

    // The wide interface takes every text as UTF-16, converted once from this process's code page
    // (UTF-8): the description, the arguments and the icon path are stored so, readable in any
    // code page. The target is spelled for the readers that take it as narrow text.
    CoInitialize(nullptr);  // kept for the life of the thread
    win::CComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.receive())))
        return false;
    if (FAILED(link->SetPath(targetSpelling(win::codepage::widen(targetPath)).c_str())) ||
        FAILED(link->SetDescription(win::codepage::widen(description).c_str())))
        return false;
    if (!m_arguments.empty() && FAILED(link->SetArguments(win::codepage::widen(m_arguments).c_str())))
        return false;
    if (!iconPath.empty() && FAILED(link->SetIconLocation(win::codepage::widen(iconPath).c_str(), iconIndex)))
        return false;

    win::CComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.receive())))
        return false;
    return SUCCEEDED(file->Save(win::codepage::widen(linkPath).c_str(), TRUE));
}

bool deleteLink(const std::string& linkName, int folderId) {
    // The shell's file operation expands wildcards; a link name never holds one.
    if (linkName.find_first_of("*?") != std::string::npos)
        return false;
    std::string path;
    if (!linkFilePath(linkName, folderId, path))
        return false;
    std::wstring from = win::codepage::widen(path);
    if (from.empty())
        return false;
    from.push_back(L'\0');  // the list ends with a second zero
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI;
    return SHFileOperationW(&operation) == 0;
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
