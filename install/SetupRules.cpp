#include "install/SetupRules.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "install/ProgramFolderRule.h"

namespace install {

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
    const bool separated = !folder.empty() && folder.back() == '\\';
    return folder + (separated ? "" : "\\") + kProgramFileName;
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

bool isUsableMenuName(const std::string& name) {
    static const char* const kDevices[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4",
                                           "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3",
                                           "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
    std::size_t begin = 0;
    while (true) {
        const std::size_t end = std::min(name.find('\\', begin), name.size());
        const std::string part = name.substr(begin, end - begin);
        if (part.empty() || part.back() == '.' || part.back() == ' ')
            return false;
        for (char c : part)
            if (static_cast<unsigned char>(c) < 0x20 || std::strchr("/:*?\"<>|", c) != nullptr)
                return false;
        // "CON" and "CON.txt" alike name the device.
        std::string stem = part.substr(0, part.find('.'));
        while (!stem.empty() && stem.back() == ' ')
            stem.pop_back();
        for (char& c : stem)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (const char* device : kDevices)
            if (stem == device)
                return false;
        if (end == name.size())
            return true;
        begin = end + 1;
    }
}

std::string batchFilePath(const std::string& temporaryFolder) {
    if (normalizedFullPath(temporaryFolder).empty())
        return std::string();
    const bool separated = temporaryFolder.back() == '\\' || temporaryFolder.back() == '/';
    return temporaryFolder + (separated ? "" : "\\") + kBatchFileName;
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

std::vector<std::string> createdParents(const std::string& programFolder,
                                        const std::string& createdTop,
                                        const std::vector<std::string>& systemFolders) {
    std::vector<std::string> parents;
    const std::string top = normalizedFullPath(createdTop);
    if (top.empty() || samePath(top, programFolder) || !isWithin(programFolder, top))
        return parents;
    for (std::string parent = parentFolder(programFolder); !parent.empty(); parent = parentFolder(parent)) {
        if (judgeProgramFolder(parent, systemFolders) != FolderVerdict::Usable)
            break;
        parents.push_back(parent);
        if (samePath(parent, top))
            break;
    }
    return parents;
}

bool isWorkingFile(const std::string& name) {
    std::string lower = name;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "mynew.torrent" || lower == "mynew.torrent.tmp" || lower == "swr.torrent" || lower == "debug.html")
        return true;
    // GetTempFileName's names: the prefix "swr", one to four hexadecimal digits, ".tmp".
    const std::size_t fixed = std::strlen("swr.tmp");
    if (lower.size() <= fixed || lower.size() > fixed + 4 || lower.compare(0, 3, "swr") != 0 ||
        lower.compare(lower.size() - 4, 4, ".tmp") != 0)
        return false;
    return std::all_of(lower.begin() + 3, lower.end() - 4,
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

std::string selfDeleteBatchText(const std::string& programFile,
                                const std::string& programFolder,
                                const std::string& batchPath,
                                unsigned codePage,
                                const std::vector<std::string>& emptyParents) {
    const std::string file = "\"" + batchEscaped(programFile) + "\"";
    const std::string folder = "\"" + batchEscaped(programFolder) + "\"";
    std::string text = "setlocal DisableDelayedExpansion\r\n";
    if (codePage != 0)
        text += "chcp " + std::to_string(codePage) + ">nul\r\n";
    // The loop counts its attempts and waits a second between them (two echoes of ping are
    // one second apart; every Windows has it). rmdir without /S removes an empty folder only.
    text +=
        "cd\\\r\n"
        "set attempts=0\r\n"
        ":Repeat1\r\n"
        "del " +
        file +
        "\r\n"
        "if not exist " +
        file +
        " goto Repeat2\r\n"
        "set /a attempts+=1\r\n"
        "if %attempts% geq " +
        std::to_string(kBatchAttempts) +
        " goto Done\r\n"
        "ping -n 2 127.0.0.1 >nul\r\n"
        "goto Repeat1\r\n"
        ":Repeat2\r\n"
        "rmdir " +
        folder + "\r\n";
    for (const std::string& parent : emptyParents)
        text += "rmdir \"" + batchEscaped(parent) + "\"\r\n";
    text +=
        ":Done\r\n"
        "del \"" +
        batchEscaped(batchPath) + "\"";
    return text;
}

}  // namespace install
