#include "client/ClientDiscovery.h"

#include <windows.h>

#include <vector>

#include "app/state/SettingsLayout.h"
#include "client/ClientLookup.h"
#include "win/Handles.h"

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

int executableMajorVersion(const std::string& path) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0)
        return -1;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
        return -1;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
        length < sizeof(VS_FIXEDFILEINFO))
        return -1;
    return int(HIWORD(fixed->dwFileVersionMS));
}
