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

// The default value of a key, as read: false when the key or value is missing or too long.
bool defaultValue(HKEY root,
                  const std::string& keyPath,
                  char (&buffer)[client::kCommandBufferSize],
                  DWORD& type,
                  DWORD& size) {
    win::CRegKey key;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, key.receive()) != ERROR_SUCCESS)
        return false;
    size = sizeof buffer;
    // A value that does not fit the buffer is refused by the read itself.
    const LONG result = RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    return result == ERROR_SUCCESS && size <= sizeof buffer;
}

std::string commandExecutable(HKEY root, const std::string& keyPath) {
    char buffer[client::kCommandBufferSize];
    DWORD type = 0;
    DWORD size = 0;
    if (!defaultValue(root, keyPath, buffer, type, size))
        return std::string();
    return client::executableFromCommand(type, buffer, size);
}

// The executable a class's open command names, for the program registered for .torrent files.
std::string registeredProgram() {
    char buffer[client::kCommandBufferSize];
    DWORD type = 0;
    DWORD size = 0;
    if (!defaultValue(HKEY_CLASSES_ROOT, app::settings::kTorrentFileClass, buffer, type, size))
        return std::string();
    const std::string name = client::registeredClass(type, buffer, size);
    return name.empty() ? std::string() : commandExecutable(HKEY_CLASSES_ROOT, name + app::settings::kOpenCommand);
}

// qBittorrent's folder by its installation record in one registry view; empty when there is none.
std::string qbittorrentInstallation(REGSAM view) {
    win::CRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, app::settings::kQbittorrentKey, 0, KEY_READ | view, key.receive()) !=
        ERROR_SUCCESS)
        return std::string();
    char buffer[client::kCommandBufferSize];
    DWORD type = 0;
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key.get(), app::settings::kInstallLocation, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS ||
        size > sizeof buffer || type != REG_SZ || size == 0 || buffer[size - 1] != '\0')
        return std::string();
    return client::executableInFolder(buffer, app::settings::kQbittorrentExecutable);
}

// Which client a file is, by what it says of itself; Unknown when it is not there.
client::FoundClient identified(const std::string& path) {
    client::FoundClient found;
    found.path = path;
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return found;
    client::ExecutableFacts facts = executableVersion(path);
    facts.fileName = client::fileNameOf(path);
    found.kind = client::clientKind(facts);
    return found;
}

}  // namespace

std::string findUTorrentPath() {
    std::vector<client::FoundClient> found;
    found.push_back(identified(registeredProgram()));
    // uTorrent's own registrations name uTorrent, whatever its file is called.
    for (const app::settings::ClientCommandKey& location : app::settings::kUtorrentCommandKeys)
        found.push_back({commandExecutable(rootKey(location.root), location.key), client::ClientKind::Utorrent});
    for (REGSAM view : {REGSAM(KEY_WOW64_64KEY), REGSAM(KEY_WOW64_32KEY)})
        found.push_back(identified(qbittorrentInstallation(view)));
    for (const app::settings::ClientCommandKey& location : app::settings::kQbittorrentCommandKeys)
        found.push_back(identified(commandExecutable(rootKey(location.root), location.key)));
    return client::firstKnownClient(found);
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
