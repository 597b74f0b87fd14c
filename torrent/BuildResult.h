#pragma once
// How one torrent build ended and, when it failed, why: a sentence for the member, naming the
// file or folder concerned.

#include <string>
#include <utility>

#include "torrent/FileSystem.h"

enum class BuildEnd { Written, Cancelled, Failed };

struct BuildResult {
    BuildEnd m_end = BuildEnd::Failed;
    std::string m_reason;  // only when Failed

    static BuildResult written() { return BuildResult{BuildEnd::Written, std::string()}; }
    static BuildResult cancelled() { return BuildResult{BuildEnd::Cancelled, std::string()}; }
    static BuildResult failed(std::string reason) { return BuildResult{BuildEnd::Failed, std::move(reason)}; }

    // True when the output file was written complete and is in place.
    explicit operator bool() const { return m_end == BuildEnd::Written; }
};

// The reasons, as the member reads them after "Could not create the torrent:".
namespace torrent::buildreason {
inline std::string cannotRead(const std::string& path) {
    return "Cannot read " + path;
}
inline std::string cannotReadFolder(const std::string& path) {
    return "Cannot read the folder " + path;
}
inline std::string noSuchFolder(const std::string& path) {
    return "There is no folder " + path;
}
inline std::string changed(const std::string& path) {
    return path + " changed while the torrent was created";
}
inline std::string nameNotInCodePage(const std::string& path) {
    return "The name " + path + " cannot be written in this system's character set";
}
inline std::string pathTooLong(const std::string& path) {
    return "Path too long (over " + std::to_string(torrent::fsys::kLongestPath) + " characters): " + path;
}
inline std::string nothingToUpload(const std::string& path) {
    return "Nothing to upload in " + path + ": it holds no data";
}
inline std::string cannotWrite(const std::string& path) {
    return "Cannot write " + path;
}
inline constexpr const char* kNoMemory = "Not enough memory to create the torrent";
}  // namespace torrent::buildreason
