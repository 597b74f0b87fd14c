#include "app/state/SettingsLayout.h"

namespace app::settings {

std::string profileKey(const std::string& registryKey, const std::string& profileName) {
    return "Software\\" + registryKey + "\\" + profileName;
}

std::string profileKeyPath(const std::string& registryKey, const std::string& profileName, const std::string& section) {
    return profileKey(registryKey, profileName) + "\\" + section;
}

}  // namespace app::settings
