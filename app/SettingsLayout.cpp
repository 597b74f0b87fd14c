#include "app/SettingsLayout.h"

namespace settings {

std::string profileKeyPath(const std::string& registryKey, const std::string& profileName, const std::string& section) {
    return "Software\\" + registryKey + "\\" + profileName + "\\" + section;
}

}  // namespace settings
