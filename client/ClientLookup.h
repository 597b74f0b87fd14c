#pragma once
// The portable half of the client discovery: reading an open command registered by uTorrent and
// turning an operating-system version record into the version code.

#include <cstddef>
#include <string>
#include <vector>

#include "client/ClientKind.h"

namespace client {

inline constexpr size_t kCommandBufferSize = 256;
inline constexpr unsigned long kTypeString = 1;        // REG_SZ
inline constexpr unsigned long kTypeExpandString = 2;  // REG_EXPAND_SZ

// The executable of one registered open command: the value as read (type, bytes returned),
// which must be a zero-terminated string starting with a quoted path. Empty when it is not.
std::string executableFromCommand(unsigned long type, const char* data, size_t length);

// A client found in one of the places the installer looks, and which client it is (Unknown for
// none or another program).
struct FoundClient {
    std::string path;
    ClientKind kind = ClientKind::Unknown;
};

// The first of the places, in their order, that names a known client; empty when none does.
std::string firstKnownClient(const std::vector<FoundClient>& found);

// The class a file type's default value names (read as executableFromCommand reads a command);
// empty when it is no zero-terminated string or no usable class name.
std::string registeredClass(unsigned long type, const char* data, size_t length);

// The executable `name` in the folder an installation record names; empty for no folder.
std::string executableInFolder(const std::string& folder, const char* name);

inline constexpr unsigned long kPlatformWindows = 1;  // VER_PLATFORM_WIN32_WINDOWS
inline constexpr unsigned long kPlatformNt = 2;       // VER_PLATFORM_WIN32_NT

// major + 256 * minor for the versions known here, 4 for every other.
long versionCode(unsigned long platformId, unsigned long major, unsigned long minor, bool& isNt);

}  // namespace client
