#include "install/SettingsKey.h"

#include "app/state/SettingsLayout.h"
#include "win/Handles.h"

namespace install {

bool readTextValue(HKEY key, const char* name, std::string& value) {
    char buffer[1024];
    DWORD size = sizeof(buffer);
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return false;
    // A stored value need not end with its zero.
    std::string text(buffer, size);
    if (const auto end = text.find('\0'); end != std::string::npos)
        text.resize(end);
    value = text;
    return true;
}

std::string readSettingsValue(const char* name) {
    win::CRegKey key;
    std::string value;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, app::settings::kSettingsKey, 0, KEY_READ, key.receive()) == ERROR_SUCCESS)
        readTextValue(key.get(), name, value);
    return value;
}

}  // namespace install
