#pragma once
// The portable half of the upload sequence: the folders derived from the content path, the
// fields of the torrent form, the scan of the site's answer and the torrent client's parameters.

#include <string>
#include <utility>
#include <vector>

#include "client/ClientKind.h"

namespace upload {

// File mode: the path up to its last ':' or '\', then one '\'. Folder mode: the path unchanged.
// False when a file path has no separator or its folder part is over 511 characters.
[[nodiscard]] bool contentFolder(const std::string& contentPath, bool fileMode, std::string& folder);

// Folder mode: the folder holding the content folder, with its trailing '\'; empty for a root.
std::string parentFolder(const std::string& contentPath);

// The torrent form's text fields in the order they go out, and the name the torrent is announced under.
struct TorrentForm {
    std::vector<std::pair<std::string, std::string>> texts;
    std::string fileField;
    std::string fileName;
};

TorrentForm torrentForm(const std::string& description,
                        long category,
                        const long (&subcategories)[4],
                        const std::string& name);

// What the answer page says: the download links, in order, and whether the upload was refused.
struct AnswerScan {
    std::vector<std::string> links;
    bool refused = false;
    std::string reason;  // the line after the failure marker, markup stripped
};

inline constexpr size_t kMaxScannedLines = 1000;

AnswerScan scanAnswer(const std::string& answer);

// Drops everything from a '<' to the next '>', both brackets included.
std::string stripMarkup(const std::string& line);

// One argument quoted so that CommandLineToArgvW gives it back unchanged.
std::string quoteArgument(const std::string& argument);

// uTorrent 1.x and 2.x take the folder that holds the data; later versions (and an executable
// without version information) the folder that holds the content folder. majorVersion -1: unknown.
std::string dataDirectory(int majorVersion,
                          bool fileMode,
                          const std::string& contentFolder,
                          const std::string& parentFolder);

// "/directory", the quoted directory, and the quoted torrent.
std::string utorrentParameters(const std::string& directory, const std::string& torrentPath);

// The form used when the user picked uTorrent over Azureus: directory switch and folder in one quoted argument.
std::string utorrentChoiceParameters(const std::string& contentFolder, const std::string& torrentPath);

// The folder that holds the content, as a client's save path: the file's folder, or the folder
// above the content folder (the content folder itself when it has none). No trailing '\' but
// on a drive's root.
std::string dataFolder(bool fileMode, const std::string& contentFolder, const std::string& parentFolder);

// qBittorrent 4.0 and later: "--save-path=<folder>", no dialog, and the quoted torrent.
std::string qbittorrentParameters(const std::string& saveFolder, const std::string& torrentPath);

// Which client receives the new torrent, and how it is started.
struct ClientPaths {
    std::string utorrent;  // the stored client: uTorrent, BitTorrent, qBittorrent or another
    std::string azureus;
    std::string clientExe;  // picked in the executable-selection dialog
};

enum class ClientChoice { Utorrent, Azureus, Closed };

// What is known of the stored client.
struct ClientFacts {
    client::ClientKind kind = client::ClientKind::Utorrent;
    int majorVersion = -1;                                           // -1 when unknown
    client::ContentLayout layout = client::ContentLayout::Original;  // qBittorrent's only
};

struct ClientStart {
    std::string program;
    std::string parameters;
    bool ownedByDialog = false;  // uTorrent started by the plain route has no owner window
    bool dataUntold = false;     // the client gets the torrent alone: the member points it at the data
    std::string cannotSeed;      // why this client cannot be told where the data lies: it is not started
};

// Both uTorrent and Azureus are known: the user is asked first.
bool clientNeedsChoice(const ClientPaths& paths);

// facts: of the stored client, read only when no choice is asked; choice: only read when asked.
ClientStart clientStart(const ClientPaths& paths,
                        const ClientFacts& facts,
                        ClientChoice choice,
                        bool fileMode,
                        const std::string& contentFolder,
                        const std::string& parentFolder,
                        const std::string& torrentPath);

}  // namespace upload
