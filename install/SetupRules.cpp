#include "install/SetupRules.h"

#include <cstring>

namespace setup {

std::string withProductFolder(const std::string& chosen) {
    const std::size_t nameLength = std::strlen(kProductName);
    if (chosen.size() >= nameLength && chosen.compare(chosen.size() - nameLength, nameLength, kProductName) == 0)
        return chosen;
    // A drive root comes back as "C:\"; no second backslash.
    if (!chosen.empty() && chosen.back() == '\\')
        return chosen + kProductName;
    return chosen + "\\" + kProductName;
}

std::string programFilePath(const std::string& folder) {
    return folder + "\\" + kProgramFileName;
}

std::string batchEscaped(const std::string& path) {
    std::string escaped;
    escaped.reserve(path.size());
    for (char c : path) {
        escaped += c;
        if (c == '%')
            escaped += '%';
    }
    return escaped;
}

SelfDeleteTarget selfDeleteTarget(const std::string& installationPath,
                                  const std::function<bool(const std::string& file)>& fileExists) {
    SelfDeleteTarget target;
    std::string folder = installationPath;
    // "C:\Seedwright\" and "C:\Seedwright" name the same folder; a bare root is never a target.
    while (folder.size() > 1 && folder.back() == '\\')
        folder.pop_back();
    const bool isRoot = folder.empty() || folder == "\\" || (folder.size() == 2 && folder[1] == ':');
    if (isRoot || !fileExists(programFilePath(folder)))
        return target;
    target.deletes = true;
    target.programFile = programFilePath(folder);
    target.programFolder = folder;
    return target;
}

std::string selfDeleteBatchText(const std::string& programFile,
                                const std::string& programFolder,
                                const std::string& batchPath) {
    const std::string file = "\"" + batchEscaped(programFile) + "\"";
    const std::string folder = "\"" + batchEscaped(programFolder) + "\"";
    return "cd\\\r\n"
           ":Repeat1\r\n"
           "del " +
           file +
           "\r\n"
           "if exist " +
           file +
           " goto Repeat1\r\n"
           ":Repeat2\r\n"
           "rmdir /S /Q " +
           folder +
           "\r\n"
           "if exist " +
           folder +
           " goto Repeat2\r\n"
           "del \"" +
           batchEscaped(batchPath) + "\"";
}

}  // namespace setup
