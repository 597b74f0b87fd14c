#include "upload/UploadSequence.h"

#include <exception>
#include <new>

#include "site/FormWire.h"
#include "site/RequestLimits.h"
#include "torrent/SameContent.h"
#include "upload/FileChecks.h"
#include "upload/InputChecks.h"

namespace upload {

namespace {

// A request that got no answer, or an answer of status 400 or more: the status line, and one box
// that names the step, the site, the reason and what had already gone out (when anything had).
void reportFailedRequest(UploadServices& services,
                         const std::string& step,
                         const std::string& host,
                         const PostAnswer& answer,
                         const std::string& alreadySent,
                         const std::string& status) {
    const std::string why = answer.failure.empty() ? site::reason::answered(answer.status) : answer.failure;
    std::string text = "Upload Failed:\n\n" + step + " to " + host + " failed.\n\n" + upload::inputs::trimBlanks(why);
    if (!alreadySent.empty())
        text += "\n\n" + alreadySent;
    services.setStatus(status);
    services.message(text);
}

bool answered(const PostAnswer& answer) {
    return answer.end == PostEnd::Answered && answer.status < 400;
}

// Everything on disk the upload needs, looked at before the hashing; false when it said why not.
bool filesReady(const UploadJob& job, UploadServices& services) {
    const std::string content = services.contentProblem(job.contentPath, job.fileMode);
    if (!content.empty()) {
        services.message(kBuildFailed + content);
        return false;
    }
    std::vector<std::pair<std::string, std::string>> refused;
    for (const std::string& picture : job.pictures) {
        const std::string reason = services.pictureProblem(picture);
        if (!reason.empty())
            refused.emplace_back(picture, reason);
    }
    if (refused.empty())
        return true;
    services.message(picturesMessage(refused));
    return false;
}

// Most recently added first. A picture that cannot be posted stops the upload before the torrent
// form, which would go out without it. Counts the pictures posted.
bool postPictures(const UploadJob& job, UploadServices& services, std::size_t& posted) {
    std::string sent;
    for (auto picture = job.pictures.rbegin(); picture != job.pictures.rend(); ++picture) {
        FormField upload;
        upload.name = "upload";
        upload.value = "Upload";
        FormField file;
        file.isFile = true;
        file.name = "ulpic";
        file.value = *picture;
        file.fileName = fileNamePart(*picture);
        services.setStatus("Uploading Picture: " + file.fileName);
        const PostAnswer answer = services.postForm(job.siteHost, {upload, file});
        if (answer.end == PostEnd::Cancelled)
            return false;
        if (!answered(answer)) {
            reportFailedRequest(services, "Posting the picture " + file.fileName, job.siteHost, answer,
                                posted > 0 ? "The pictures before it were already sent: " + sent : "",
                                "Upload Failed...");
            return false;
        }
        sent += (posted++ == 0 ? "" : ", ") + file.fileName;
    }
    return true;
}

PostAnswer postTorrentForm(const UploadJob& job, UploadServices& services) {
    const TorrentForm form = torrentForm(job.description, job.category, job.subcategories, job.name);
    std::vector<FormField> fields;
    for (const auto& text : form.texts) {
        FormField field;
        field.name = text.first;
        field.value = text.second;
        fields.push_back(field);
    }
    FormField file;
    file.isFile = true;
    file.name = form.fileField;
    file.value = job.newTorrentPath;
    file.fileName = form.fileName;
    fields.push_back(file);
    services.setStatus("Submitting Torrent Informations + .torrent File ...");
    return services.postForm(job.siteHost, fields);
}

// The site's copy against the torrent that was posted, both read back from their files.
bool copyMatches(const UploadJob& job, UploadServices& services, const std::string& copyPath, std::string& reason) {
    std::string built;
    std::string copy;
    if (!services.readFile(job.newTorrentPath, kMaxTorrentCopy, built)) {
        reason = "The torrent created for the upload cannot be read back.";
        return false;
    }
    if (!services.readFile(copyPath, kMaxTorrentCopy + 1, copy)) {
        reason = "The file from the site cannot be read.";
        return false;
    }
    if (copy.size() > kMaxTorrentCopy) {
        reason = "The file from the site is larger than " + std::to_string(kMaxTorrentCopy >> 20) + " MiB.";
        return false;
    }
    return sameContent(built, copy, reason);
}

void failed(UploadServices& services, const char* why) noexcept {
    try {
        services.setStatus("Upload Failed...");
        services.message(std::string("Upload Failed:\n\n") + why);
    } catch (...) {
        // Not even the message could be shown; the caller still returns to idle.
    }
}

}  // namespace

void runUploadGuarded(const UploadJob& job, UploadServices& services) noexcept {
    try {
        runUpload(job, services);
    } catch (const std::bad_alloc&) {
        failed(services, "Not enough memory.");
    } catch (const std::exception& e) {
        failed(services, e.what());
    } catch (...) {
        failed(services, "An unexpected error stopped the upload.");
    }
}

void runUpload(const UploadJob& job, UploadServices& services) {
    std::string content;
    if (!contentFolder(job.contentPath, job.fileMode, content)) {
        services.message(upload::inputs::kInvalidPath);
        return;
    }
    const std::string parent = job.fileMode ? std::string() : parentFolder(job.contentPath);
    const std::string localTorrent = job.currentFolder + "\\swr.torrent";
    if (!filesReady(job, services))
        return;

    services.setStatus("Generating Torrent File: Please Wait!");
    const BuildResult built = services.buildTorrent(job.contentPath, job.fileMode, job.newTorrentPath);
    if (built.m_end == BuildEnd::Cancelled)
        return;
    // Only the build's own success leads to a post: an earlier file at newTorrentPath never goes out.
    if (!built) {
        services.message(kBuildFailed + built.m_reason);
        return;
    }

    std::size_t posted = 0;
    if (!postPictures(job, services, posted))
        return;
    const PostAnswer post = postTorrentForm(job, services);
    const std::string& answer = post.page;
    if (post.end == PostEnd::Answered) {
        services.setStatus("Parsing results...");
        if (!services.writeFile(job.workingFolder + "\\debug.html", answer))
            services.message("Could not open debug outputfile debug.html");
    }
    if (!answered(post)) {
        reportFailedRequest(
            services, "Posting the torrent form", job.siteHost, post,
            posted > 0 ? "The pictures were already posted." : "",
            posted > 0 ? "Upload Failed... The pictures were posted, the torrent was not." : "Upload Failed...");
        return;
    }

    const AnswerScan scan = scanAnswer(answer);
    bool success = false;
    for (const std::string& link : scan.links) {
        services.setStatus("Re-Download of torrent...");
        // The client gets no error page to seed.
        const DownloadResult copy = services.downloadTorrent(job.siteHost, link, localTorrent);
        if (copy.cancelled)
            return;
        if (!copy.done) {
            services.message(copy.message);
            continue;
        }
        std::string mismatch;
        if (!copyMatches(job, services, localTorrent, mismatch)) {
            services.message(kCopyMismatch + mismatch);
            continue;
        }
        services.waitForBackend();
        services.setStatus("Adding torrent to Client...");
        const ClientChoice choice = clientNeedsChoice(job.clients) ? services.chooseClient() : ClientChoice::Closed;
        const int major = job.clients.utorrent.empty() || clientNeedsChoice(job.clients)
                              ? -1
                              : services.majorVersion(job.clients.utorrent);
        services.startClient(clientStart(job.clients, major, choice, job.fileMode, content, parent, localTorrent));
        success = true;
    }
    if (scan.refused) {
        services.setStatus("Upload Failed...");
        services.message("Upload Failed:\n\n" + scan.reason);
    }
    if (success)
        services.success("Upload Complete!");
}

}  // namespace upload
