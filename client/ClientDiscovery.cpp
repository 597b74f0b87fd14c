#include "client/ClientDiscovery.h"

#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/state/SettingsLayout.h"
#include "client/ClientLookup.h"
#include "win/Handles.h"
#include "win/SpecialFolder.h"

namespace {

HKEY rootKey(app::settings::Root root) {
    switch (root) {
        case app::settings::Root::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case app::settings::Root::CurrentUser:
            return HKEY_CURRENT_USER;
        case app::settings::Root::LocalMachine:
            break;
    }
    return HKEY_LOCAL_MACHINE;
}

std::string commandExecutable(const app::settings::ClientCommandKey& location) {
    win::CRegKey key;
    if (RegOpenKeyExA(rootKey(location.root), location.key, 0, KEY_READ, key.receive()) != ERROR_SUCCESS)
        return std::string();
    char buffer[client::kCommandBufferSize];
    DWORD type = 0;
    DWORD size = sizeof buffer;
    // A value that does not fit the buffer is refused by the read itself.
    const LONG result = RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (result != ERROR_SUCCESS || size > sizeof buffer)
        return std::string();
    return client::executableFromCommand(type, buffer, size);
}

}  // namespace

std::string findUTorrentPath() {
    std::vector<std::string> paths;
    for (const app::settings::ClientCommandKey& location : app::settings::kUtorrentCommandKeys)
        paths.push_back(commandExecutable(location));
    return client::firstFound(paths);
}

long COsVersion::osVersionCode() {
    m_isNt = false;
    OSVERSIONINFOEXA extended = {};
    extended.dwOSVersionInfoSize = sizeof extended;
    OSVERSIONINFOA* info = reinterpret_cast<OSVERSIONINFOA*>(&extended);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(info)) {
        info->dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA(info))
            return 0;
    }
#pragma GCC diagnostic pop
    return client::versionCode(info->dwPlatformId, info->dwMajorVersion, info->dwMinorVersion, m_isNt);
}

namespace {

// One string of the version resource, in the first language it lists, else in US English.
std::string versionString(const std::vector<char>& block, const char* name) {
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT length = 0;
    std::vector<Translation> tried;
    if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length) &&
        translations && length >= sizeof(Translation))
        tried.push_back(translations[0]);
    tried.push_back({0x0409, 1200});
    tried.push_back({0x0409, 1252});
    for (const Translation& t : tried) {
        char query[64];
        std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", t.language, t.codePage, name);
        char* value = nullptr;
        UINT size = 0;
        if (VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&value), &size) && value && size > 0)
            return std::string(value, strnlen(value, size));
    }
    return std::string();
}

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// At most `maxBytes` + 1 bytes, so that a larger file shows as larger; false when unreadable.
bool readBounded(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    const win::CHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    bytes.clear();
    char buffer[65536];
    while (bytes.size() <= maxBytes) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr))
            return false;
        if (read == 0)
            break;
        bytes.append(buffer, read);
    }
    return true;
}

}  // namespace

client::ExecutableFacts executableVersion(const std::string& path) {
    client::ExecutableFacts facts;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0)
        return facts;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
        return facts;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
        length >= sizeof(VS_FIXEDFILEINFO))
        facts.majorVersion = int(HIWORD(fixed->dwFileVersionMS));
    facts.productName = versionString(block, "ProductName");
    facts.originalFilename = versionString(block, "OriginalFilename");
    return facts;
}

int executableMajorVersion(const std::string& path) {
    return executableVersion(path).majorVersion;
}

client::ContentLayout qbittorrentContentLayout(const std::string& executable) {
    const std::string folder = executable.substr(0, executable.size() - client::fileNameOf(executable).size());
    const std::string appData = win::specialFolderPath(CSIDL_APPDATA, false);
    const bool portable = isFolder(folder + "profile");
    if (!portable && appData.empty())
        return client::ContentLayout::Original;
    std::string ini;
    if (!readBounded(client::qbittorrentSettingsFile(executable, portable, appData), client::kMaxSettingsBytes, ini))
        return client::ContentLayout::Original;
    return client::contentLayout(ini);
}
