#include "upload/UploadPlan.h"

#include <cstdio>

namespace upload {

namespace {

std::string decimal(long value) {
    char text[32];
    std::snprintf(text, sizeof text, "%ld", value);
    return text;
}

const char kDownloadMarker[] = "href=\"/download.php/";
const char kLinkEnd[] = "\">";
const char kFailureMarker[] = "<h2>Upload failed!</h2>";
const size_t kLinkPrefixLength = 14;  // "/download.php/"

}  // namespace

bool contentFolder(const std::string& contentPath, bool fileMode, std::string& folder) {
    if (!fileMode) {
        folder = contentPath;
        return true;
    }
    const size_t separator = contentPath.find_last_of(":\\");
    if (separator == std::string::npos || separator > 511)
        return false;
    folder = contentPath.substr(0, separator) + "\\";
    return true;
}

std::string parentFolder(const std::string& contentPath) {
    std::string path = contentPath;
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    const size_t separator = path.rfind('\\');
    if (separator == std::string::npos)
        return std::string();
    return path.substr(0, separator + 1);
}

TorrentForm torrentForm(const std::string& description,
                        long category,
                        const long (&subcategories)[4],
                        const std::string& name) {
    TorrentForm form;
    form.texts = {{"descr", description},
                  {"type", decimal(category)},
                  {"scat1", decimal(subcategories[0])},
                  {"scat2", decimal(subcategories[1])},
                  {"scat3", decimal(subcategories[2])},
                  {"scat4", decimal(subcategories[3])},
                  {"name", name},
                  {"checktorrent", "1"},
                  {"swr", "yes"}};
    form.fileField = "file";
    form.fileName = name + ".torrent";
    return form;
}

std::string stripMarkup(const std::string& line) {
    std::string text;
    bool inTag = false;
    for (char c : line) {
        if (c == '<')
            inTag = true;
        else if (c == '>')
            inTag = false;
        else if (!inTag)
            text += c;
    }
    return text;
}

AnswerScan scanAnswer(const std::string& answer) {
    AnswerScan scan;
    size_t start = 0;
    for (size_t lines = 0; lines < kMaxScannedLines; ++lines) {
        const size_t end = answer.find('\n', start);
        if (end == std::string::npos)
            break;  // text after the last line feed is never examined
        const std::string line = answer.substr(start, end - start);
        start = end + 1;

        const size_t marker = line.find(kDownloadMarker);
        if (marker != std::string::npos) {
            const size_t linkStart = marker + 6;
            const size_t linkEnd = line.find(kLinkEnd, linkStart);
            if (linkEnd == std::string::npos)
                continue;
            const std::string link = line.substr(linkStart, linkEnd - linkStart);
            if (link.find('/', kLinkPrefixLength) == std::string::npos)
                continue;
            scan.links.push_back(link);
            continue;
        }
        if (line.find(kFailureMarker) != std::string::npos) {
            scan.refused = true;
            const size_t next = answer.find('\n', start);
            if (next != std::string::npos)
                scan.reason = stripMarkup(answer.substr(start, next - start));
            break;
        }
    }
    return scan;
}

std::string quoteArgument(const std::string& argument) {
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote escape; double them and escape the quote itself.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

std::string dataDirectory(int majorVersion,
                          bool fileMode,
                          const std::string& contentFolder,
                          const std::string& parentFolder) {
    if (majorVersion == 1 || majorVersion == 2 || fileMode)
        return contentFolder;
    return parentFolder;
}

std::string utorrentParameters(const std::string& directory, const std::string& torrentPath) {
    return "/directory " + quoteArgument(directory) + " " + quoteArgument(torrentPath);
}

std::string utorrentChoiceParameters(const std::string& contentFolder, const std::string& torrentPath) {
    return quoteArgument("/directory " + contentFolder) + " " + quoteArgument(torrentPath);
}

std::string dataFolder(bool fileMode, const std::string& contentFolder, const std::string& parentFolder) {
    std::string folder = fileMode || parentFolder.empty() ? contentFolder : parentFolder;
    if (folder.size() > 1 && folder.back() == '\\' && folder[folder.size() - 2] != ':')
        folder.pop_back();
    return folder;
}

std::string qbittorrentParameters(const std::string& saveFolder, const std::string& torrentPath) {
    return quoteArgument("--save-path=" + saveFolder) + " --skip-dialog=true " + quoteArgument(torrentPath);
}

bool clientNeedsChoice(const ClientPaths& paths) {
    return !paths.utorrent.empty() && !paths.azureus.empty();
}

namespace {

void startQbittorrent(ClientStart& start,
                      const ClientFacts& facts,
                      bool fileMode,
                      const std::string& contentFolder,
                      const std::string& parentFolder,
                      const std::string& torrentPath) {
    if (facts.kind == client::ClientKind::QbittorrentBefore4) {
        start.cannotSeed = "qBittorrent " + std::to_string(facts.majorVersion) +
                           " cannot be told where the data lies; qBittorrent 4.0 and later can.";
        return;
    }
    if (fileMode && facts.layout == client::ContentLayout::Subfolder) {
        start.cannotSeed =
            "qBittorrent is set to put a single file into a folder of its own (Torrent content layout: Create "
            "subfolder), so it cannot seed the file where it lies.";
        return;
    }
    const bool inTheFolder = !fileMode && facts.layout == client::ContentLayout::NoSubfolder;
    if (!fileMode && !inTheFolder && parentFolder.empty()) {
        start.cannotSeed = "qBittorrent needs the folder above " + contentFolder + ", and a drive's root has none.";
        return;
    }
    start.parameters = qbittorrentParameters(
        dataFolder(fileMode, contentFolder, inTheFolder ? std::string() : parentFolder), torrentPath);
}

}  // namespace

ClientStart clientStart(const ClientPaths& paths,
                        const ClientFacts& facts,
                        ClientChoice choice,
                        bool fileMode,
                        const std::string& contentFolder,
                        const std::string& parentFolder,
                        const std::string& torrentPath) {
    ClientStart start;
    if (clientNeedsChoice(paths)) {
        start.ownedByDialog = true;
        if (choice == ClientChoice::Utorrent) {
            start.program = paths.utorrent;
            start.parameters = utorrentChoiceParameters(contentFolder, torrentPath);
        } else {
            start.program = paths.azureus;
            start.parameters = quoteArgument(torrentPath);
        }
    } else if (!paths.utorrent.empty()) {
        start.program = paths.utorrent;
        switch (facts.kind) {
            case client::ClientKind::Utorrent:
                start.parameters = utorrentParameters(
                    dataDirectory(facts.majorVersion, fileMode, contentFolder, parentFolder), torrentPath);
                break;
            case client::ClientKind::BitTorrent:
                // Its versions 7 and later take /directory as uTorrent 3.x does, the earlier ones
                // (built on uTorrent 2.x) as uTorrent 2.x.
                start.parameters = utorrentParameters(dataDirectory(facts.majorVersion < 0    ? -1
                                                                    : facts.majorVersion >= 7 ? 3
                                                                                              : 2,
                                                                    fileMode, contentFolder, parentFolder),
                                                      torrentPath);
                break;
            case client::ClientKind::Qbittorrent:
            case client::ClientKind::QbittorrentBefore4:
                startQbittorrent(start, facts, fileMode, contentFolder, parentFolder, torrentPath);
                break;
            case client::ClientKind::Unknown:
                start.parameters = quoteArgument(torrentPath);
                start.dataUntold = true;
                break;
        }
    } else {
        start.program = paths.azureus.empty() ? paths.clientExe : paths.azureus;
        start.parameters = quoteArgument(torrentPath);
        start.ownedByDialog = true;
        start.dataUntold = paths.azureus.empty();
    }
    return start;
}

}  // namespace upload
