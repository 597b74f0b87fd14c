#include "client/ClientLookup.h"

namespace client {

std::string executableFromCommand(unsigned long type, const char* data, size_t length) {
    if (type != kTypeString && type != kTypeExpandString)
        return std::string();
    const std::string value(data, length);
    const size_t terminator = value.find('\0');
    if (terminator == std::string::npos)
        return std::string();
    const std::string command = value.substr(0, terminator);
    if (command.empty() || command[0] != '"')
        return std::string();
    const size_t closing = command.find('"', 1);
    return command.substr(1, closing == std::string::npos ? std::string::npos : closing - 1);
}

std::string firstFound(const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        if (!path.empty())
            return path;
    return std::string();
}

long versionCode(unsigned long platformId, unsigned long major, unsigned long minor, bool& isNt) {
    isNt = false;
    if (platformId == kPlatformWindows) {
        if (major == 4 && minor == 10)
            return 0x0A04;
        if (major == 4 && minor == 90)
            return 0x5A04;
        return 4;
    }
    if (platformId == kPlatformNt) {
        isNt = true;
        if (major == 5 && minor <= 2)
            return long(major + 256 * minor);
        return 4;
    }
    return 4;
}

}  // namespace client
