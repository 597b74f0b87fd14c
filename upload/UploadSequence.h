#pragma once
// The upload sequence from a finished set of inputs to the torrent handed to the client. The
// outside world (dialogs, the site, files, the shell) comes in through UploadServices, so the
// Windows worker and the tests run the very same steps.

#include <cstddef>
#include <string>
#include <vector>

#include "torrent/BuildResult.h"
#include "upload/UploadPlan.h"

namespace upload {

// What earlier uploads of the session left on the site. The site keeps every picture it accepted
// for the member's next torrent form, which takes them all, and has no way to withdraw one.
struct SiteHolds {
    std::string contentPath;  // the content they were posted for
    bool fileMode = true;
    std::vector<std::string> pictures;  // accepted and waiting, in the order they went
    // The last torrent form of that content went out and got no whole answer: it may be there.
    bool torrentMayBeThere = false;
};

// The main dialog's inputs as the worker read them when it started.
struct UploadJob {
    std::string contentPath;
    bool fileMode = true;
    std::string description;
    long category = -1;
    long subcategories[4] = {-1, -1, -1, -1};
    std::string name;
    std::vector<std::string> pictures;  // oldest first

    std::string siteHost;
    std::string workingFolder;
    std::string currentFolder;
    std::string newTorrentPath;
    ClientPaths clients;

    SiteHolds onSite;  // what the session's earlier uploads left on the site
};

struct FormField {
    bool isFile = false;
    std::string name;
    std::string value;     // text value, or the local path of a file
    std::string fileName;  // the name a file is announced under
};

// How a post to the site ended. Only NotSent says for sure that the site got nothing: a request
// that went out and got no whole answer may still have been acted on.
enum class PostEnd {
    Answered,   // an answer of any status came whole: page and status hold it
    NotSent,    // nothing left this machine (no request could be made, a file of the form is unreadable)
    NoAnswer,   // it went out, and no whole answer came within the limits (failure says why)
    Cancelled,  // the member cancelled while it waited
};

// The site's answer to a form: its page and status, or why none came.
struct PostAnswer {
    PostEnd end = PostEnd::Answered;
    std::string page;
    long status = 200;
    std::string failure;  // why there is no answer
};

// How the start of the client went: `reason` says why it did not.
struct ClientStarted {
    bool ok = true;
    std::string reason;
};

// The download of the site's copy: it lies whole at the local path only when `done`.
struct DownloadResult {
    bool done = false;
    bool cancelled = false;
    std::string message;  // for the member when it failed: "Failed to download <address>\n\n<why>"
};

class UploadServices {
  public:
    virtual ~UploadServices() = default;

    virtual void setStatus(const std::string& text) = 0;
    virtual void message(const std::string& text) = 0;
    // A box that tells of a success: the information icon, not the warning.
    virtual void success(const std::string& text) = 0;
    // Before the hashing: why the content or a picture cannot go, empty when it can
    // (contentProblem and pictureReason of FileChecks.h, on the real disk).
    virtual std::string contentProblem(const std::string& path, bool fileMode) = 0;
    virtual std::string pictureProblem(const std::string& path) = 0;
    // Runs the hashing dialog, which writes the torrent to `output`: written, cancelled by the
    // user, or failed with the reason.
    virtual BuildResult buildTorrent(const std::string& contentPath, bool fileMode, const std::string& output) = 0;
    // Posts one form to "/doupload.php" and waits for the answer, the time limit or the member's
    // Cancel, whichever comes first. A request given up on is closed and can never again touch a
    // file or show anything.
    virtual PostAnswer postForm(const std::string& host, const std::vector<FormField>& fields) = 0;
    // Creates or replaces a file with exactly these bytes; false when it could not be made or
    // took fewer bytes.
    [[nodiscard]] virtual bool writeFile(const std::string& path, const std::string& bytes) = 0;
    // The first `maxBytes` bytes of a file (all of a smaller one); false when it cannot be read.
    [[nodiscard]] virtual bool readFile(const std::string& path, std::size_t maxBytes, std::string& bytes) = 0;
    // Downloads https://host + linkPath; localPath is replaced only by a whole download. Shows
    // nothing: the result says what went wrong. Ends like postForm.
    virtual DownloadResult downloadTorrent(const std::string& host,
                                           const std::string& linkPath,
                                           const std::string& localPath) = 0;
    // Waits for the site's backend to finish the upload whose copy lies at copyPath: at most 30
    // seconds, less once the copy's tracker lists it.
    virtual void waitForBackend(const std::string& copyPath) = 0;
    // The client's version resource: its product and original file names and its major version.
    // The file name is the sequence's to add.
    virtual client::ExecutableFacts clientVersion(const std::string& executable) = 0;
    // qBittorrent's content layout, from the settings file of the qBittorrent at `executable`.
    virtual client::ContentLayout qbittorrentLayout(const std::string& executable) = 0;
    virtual ClientChoice chooseClient() = 0;
    // Starts the client and shows nothing: the result says why it could not be started.
    virtual ClientStarted startClient(const ClientStart& start) = 0;
};

inline constexpr const char* kUploadPath = "/doupload.php";
inline constexpr const char* kBuildFailed = "Could not create the torrent:\n\n";
inline constexpr const char* kCopyMismatch = "The site's copy of the torrent does not match the upload:\n\n";
inline constexpr const char* kPictureUploaded = "Picture uploaded";
inline constexpr const char* kTorrentExists = "Torrent exists already";
// A torrent form without a whole answer, or with one that tells nothing: the site may have acted on it.
inline constexpr const char* kTorrentUnknown =
    "The site did not answer; the torrent may or may not have been posted. Look at the site before uploading again.";
// The torrent is on the site and its copy here, but no client takes it: why, the copy, the data.
inline constexpr const char* kClientNotStarted = "The torrent is on the site, but the client could not be started:\n\n";
inline constexpr const char* kNoClient = "No torrent client was chosen when Seedwright was installed.";
// The largest site's copy the check reads.
inline constexpr std::size_t kMaxTorrentCopy = 32 * 1024 * 1024;

// Steps 1 to 9; the caller returns the dialog to its idle state afterwards. The content and every
// picture are looked at before the hashing; nothing goes to the site unless the build wrote the
// torrent, the torrent form only after every picture went, and the site's copy goes to the client
// only when it describes the content that was uploaded. Pictures the site holds for the same
// content go only once; the member is told of those left waiting for other content. Returns what
// the site holds afterwards, for the next upload.
SiteHolds runUpload(const UploadJob& job, UploadServices& services);

// runUpload with a catch-all: whatever escapes the sequence (memory exhausted by a huge answer)
// ends the upload as failed, in the status line and a message, and leaves what the site holds as
// the job found it. Nothing escapes this.
SiteHolds runUploadGuarded(const UploadJob& job, UploadServices& services) noexcept;

// For the member, when pictures wait on the site for a torrent that will not follow: they go with
// the next torrent uploaded. Empty when none wait.
std::string waitingPicturesNotice(const SiteHolds& holds);

}  // namespace upload
