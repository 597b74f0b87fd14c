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

std::string firstKnownClient(const std::vector<FoundClient>& found) {
    for (const FoundClient& client : found)
        if (!client.path.empty() && client.kind != ClientKind::Unknown)
            return client.path;
    return std::string();
}

std::string registeredClass(unsigned long type, const char* data, size_t length) {
    if (type != kTypeString || length == 0)
        return std::string();
    const std::string value(data, length);
    const size_t terminator = value.find('\0');
    if (terminator == std::string::npos)
        return std::string();
    const std::string name = value.substr(0, terminator);
    // A class is one key below the root.
    if (name.empty() || name.find_first_of("\\\"") != std::string::npos)
        return std::string();
    return name;
}

std::string executableInFolder(const std::string& folder, const char* name) {
    std::string path = folder;
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = path.substr(1, path.size() - 2);
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path.empty() ? std::string() : path + "\\" + name;
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
