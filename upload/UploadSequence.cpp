#include "upload/UploadSequence.h"

#include <algorithm>
#include <exception>
#include <new>

#include "site/FormWire.h"
#include "site/RequestLimits.h"
#include "torrent/SameContent.h"
#include "upload/FileChecks.h"
#include "upload/InputChecks.h"

namespace upload {

namespace {

// A request that got no answer, or an answer the site gave to refuse it: the status line, and one
// box that names the step, the site, the reason (when there is one) and what had already gone out
// (when anything had).
void reportFailedRequest(UploadServices& services,
                         const std::string& step,
                         const std::string& host,
                         const PostAnswer& answer,
                         const std::string& alreadySent,
                         const std::string& status) {
    const std::string why = !answer.failure.empty()           ? answer.failure
                            : answer.end == PostEnd::Answered ? site::reason::answered(answer.status)
                                                              : std::string();
    std::string text = "Upload Failed:\n\n" + step + " to " + host + " failed.";
    for (const std::string& part : {upload::inputs::trimBlanks(why), alreadySent})
        if (!part.empty())
            text += "\n\n" + part;
    services.setStatus(status);
    services.message(text);
}

bool answered(const PostAnswer& answer) {
    return answer.end == PostEnd::Answered && answer.status < 400;
}

// Only a torrent form that never left, or that the site answered, is known not to be on the site.
bool mayHaveReachedTheSite(const PostAnswer& answer) {
    return answer.end == PostEnd::NoAnswer || answer.end == PostEnd::Cancelled;
}

// Why the site did not take a picture it answered, in its own words where it gave them; empty when
// it says the picture was uploaded.
std::string pictureRefusal(const std::string& page) {
    const AnswerScan scan = scanAnswer(page);
    if (scan.refused)
        return scan.reason.empty() ? "The site refused the picture." : scan.reason;
    if (page.find(kPictureUploaded) == std::string::npos)
        return "The site's answer does not say that the picture was uploaded.";
    return std::string();
}

// The file names of the pictures, for the member.
std::string pictureNames(const std::vector<std::string>& paths) {
    std::string names;
    for (const std::string& path : paths)
        names += (names.empty() ? "" : ", ") + fileNamePart(path);
    return names;
}

bool holds(const std::vector<std::string>& paths, const std::string& path) {
    return std::any_of(paths.begin(), paths.end(), [&](const std::string& p) { return sameFile(p, path); });
}

bool forTheSameContent(const SiteHolds& onSite, const UploadJob& job) {
    return onSite.fileMode == job.fileMode && sameFile(onSite.contentPath, job.contentPath);
}

std::string reusedLine(const std::vector<std::string>& reused) {
    return reused.empty() ? std::string() : "Reused the pictures already on the site: " + pictureNames(reused);
}

std::string joinParagraphs(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
        if (!part.empty())
            text += (text.empty() ? "" : "\n\n") + part;
    return text;
}

// After a torrent form that did not go through: the pictures on the site, and those this upload reused.
std::string waitingLine(const SiteHolds& onSite, const std::vector<std::string>& reused) {
    const std::string names = pictureNames(onSite.pictures);
    return joinParagraphs(
        {onSite.pictures.empty() ? std::string()
         : onSite.torrentMayBeThere
             ? "The pictures " + names + " are on the site: uploading this content again does not post them again."
             : "The site keeps the pictures " + names +
                   " for the next torrent: uploading this content again reuses them.",
         reusedLine(reused)});
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

// Most recently added first; those the site keeps already (`onSite`) are not posted again but
// named in `reused`, each one the site takes joins them. A picture that cannot be posted stops the
// upload before the torrent form, which would go out without it.
bool postPictures(const UploadJob& job, UploadServices& services, SiteHolds& onSite, std::vector<std::string>& reused) {
    std::vector<std::string> fresh;
    for (auto picture = job.pictures.rbegin(); picture != job.pictures.rend(); ++picture)
        (holds(onSite.pictures, *picture) ? reused : fresh).push_back(*picture);
    if (!reused.empty())
        services.setStatus("Reusing pictures already on the site: " + pictureNames(reused));
    std::vector<std::string> sent;
    for (const std::string& picture : fresh) {
        FormField upload;
        upload.name = "upload";
        upload.value = "Upload";
        FormField file;
        file.isFile = true;
        file.name = "ulpic";
        file.value = picture;
        file.fileName = fileNamePart(picture);
        services.setStatus("Uploading Picture: " + file.fileName);
        PostAnswer answer = services.postForm(job.siteHost, {upload, file});
        if (answer.end == PostEnd::Cancelled)
            return false;
        if (answered(answer))
            answer.failure = pictureRefusal(answer.page);
        if (!answered(answer) || !answer.failure.empty()) {
            reportFailedRequest(
                services, "Posting the picture " + file.fileName, job.siteHost, answer,
                joinParagraphs({sent.empty() ? "" : "The pictures before it were already sent: " + pictureNames(sent),
                                reusedLine(reused)}),
                "Upload Failed...");
            return false;
        }
        sent.push_back(picture);
        onSite.pictures.push_back(picture);
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

// What is known of the stored client, read only where it is started without a choice.
ClientFacts clientFacts(const UploadJob& job, UploadServices& services) {
    ClientFacts facts;
    if (job.clients.utorrent.empty() || clientNeedsChoice(job.clients))
        return facts;
    client::ExecutableFacts executable = services.clientVersion(job.clients.utorrent);
    executable.fileName = client::fileNameOf(job.clients.utorrent);
    facts.kind = client::clientKind(executable);
    facts.majorVersion = executable.majorVersion;
    if (facts.kind == client::ClientKind::Qbittorrent)
        facts.layout = services.qbittorrentLayout(job.clients.utorrent);
    return facts;
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

SiteHolds runUploadGuarded(const UploadJob& job, UploadServices& services) noexcept {
    try {
        return runUpload(job, services);
    } catch (const std::bad_alloc&) {
        failed(services, "Not enough memory.");
    } catch (const std::exception& e) {
        failed(services, e.what());
    } catch (...) {
        failed(services, "An unexpected error stopped the upload.");
    }
    try {
        return job.onSite;
    } catch (...) {
        return SiteHolds();
    }
}

std::string waitingPicturesNotice(const SiteHolds& onSite) {
    if (onSite.pictures.empty())
        return std::string();
    return "These pictures wait on the site for the next torrent: " + pictureNames(onSite.pictures) +
           "\n\nThe site offers no way to withdraw them: they will be attached to the next torrent uploaded" +
           (onSite.torrentMayBeThere ? ", unless the torrent form that got no answer reached the site and took them."
                                     : ".");
}

SiteHolds runUpload(const UploadJob& job, UploadServices& services) {
    SiteHolds onSite = job.onSite;
    std::string content;
    if (!contentFolder(job.contentPath, job.fileMode, content)) {
        services.message(upload::inputs::kInvalidPath);
        return onSite;
    }
    const std::string parent = job.fileMode ? std::string() : parentFolder(job.contentPath);
    const std::string localTorrent = job.currentFolder + "\\swr.torrent";
    if (!filesReady(job, services))
        return onSite;
    // Pictures that wait for another content go with this one's torrent form.
    const bool sameAsBefore = forTheSameContent(onSite, job);
    if (!sameAsBefore && !onSite.pictures.empty())
        services.message(waitingPicturesNotice(onSite));

    services.setStatus("Generating Torrent File: Please Wait!");
    const BuildResult built = services.buildTorrent(job.contentPath, job.fileMode, job.newTorrentPath);
    if (built.m_end == BuildEnd::Cancelled)
        return onSite;
    // Only the build's own success leads to a post: an earlier file at newTorrentPath never goes out.
    if (!built) {
        services.message(kBuildFailed + built.m_reason);
        return onSite;
    }

    if (!sameAsBefore) {
        onSite = SiteHolds();
        onSite.contentPath = job.contentPath;
        onSite.fileMode = job.fileMode;
    }
    const bool earlierMayBeThere = onSite.torrentMayBeThere;
    std::vector<std::string> reused;
    if (!postPictures(job, services, onSite, reused))
        return onSite;
    const PostAnswer post = postTorrentForm(job, services);
    const std::string& answer = post.page;
    if (post.end == PostEnd::Answered) {
        services.setStatus("Parsing results...");
        if (!services.writeFile(job.workingFolder + "\\debug.html", answer))
            services.message("Could not open debug outputfile debug.html");
    }
    if (mayHaveReachedTheSite(post)) {
        onSite.torrentMayBeThere = true;
        reportFailedRequest(services, "Posting the torrent form", job.siteHost, post,
                            joinParagraphs({kTorrentUnknown, waitingLine(onSite, reused)}),
                            "Upload Failed... The torrent may or may not have been posted.");
        return onSite;
    }
    if (!answered(post)) {
        reportFailedRequest(services, "Posting the torrent form", job.siteHost, post, waitingLine(onSite, reused),
                            job.pictures.empty() ? "Upload Failed..."
                                                 : "Upload Failed... The pictures were posted, the torrent was not.");
        return onSite;
    }

    const AnswerScan scan = scanAnswer(answer);
    if (!scan.links.empty()) {
        // The torrent is on the site, and took every picture that waited.
        onSite.pictures.clear();
        onSite.torrentMayBeThere = false;
    }
    bool success = false;
    bool notStarted = false;
    bool dataUntold = false;
    const std::string data = dataFolder(job.fileMode, content, parent);
    for (const std::string& link : scan.links) {
        services.setStatus("Re-Download of torrent...");
        // The client gets no error page to seed.
        const DownloadResult copy = services.downloadTorrent(job.siteHost, link, localTorrent);
        if (copy.cancelled)
            return onSite;
        if (!copy.done) {
            services.message(copy.message);
            continue;
        }
        std::string mismatch;
        if (!copyMatches(job, services, localTorrent, mismatch)) {
            services.message(kCopyMismatch + mismatch);
            continue;
        }
        services.waitForBackend(localTorrent);
        services.setStatus("Adding torrent to Client...");
        const ClientChoice choice = clientNeedsChoice(job.clients) ? services.chooseClient() : ClientChoice::Closed;
        const ClientStart start =
            clientStart(job.clients, clientFacts(job, services), choice, job.fileMode, content, parent, localTorrent);
        std::string why = start.program.empty() ? kNoClient : start.cannotSeed;
        if (why.empty()) {
            const ClientStarted started = services.startClient(start);
            if (!started.ok)
                why = started.reason;
        }
        if (!why.empty()) {
            // The copy stays where the message says: no later link of this answer replaces it.
            services.message(
                joinParagraphs({kClientNotStarted + why,
                                "Add " + localTorrent + " to your client with the data in " + data + " to seed it.",
                                reusedLine(reused)}));
            notStarted = true;
            break;
        }
        success = true;
        dataUntold = dataUntold || start.dataUntold;
    }
    if (scan.refused) {
        std::string earlier;
        if (earlierMayBeThere && scan.reason.find(kTorrentExists) != std::string::npos) {
            // The form that got no answer went through: it took the pictures that waited then.
            earlier = "The earlier upload of this content reached the site: the torrent is there.";
            onSite.pictures.erase(std::remove_if(onSite.pictures.begin(), onSite.pictures.end(),
                                                 [&](const std::string& p) { return holds(reused, p); }),
                                  onSite.pictures.end());
            onSite.torrentMayBeThere = false;
        }
        services.setStatus("Upload Failed...");
        services.message(joinParagraphs({"Upload Failed:\n\n" + scan.reason, earlier,
                                         waitingLine(onSite, earlier.empty() ? reused : std::vector<std::string>())}));
    } else if (scan.links.empty()) {
        // An answer cut short, or a page of the site's that is neither result.
        onSite.torrentMayBeThere = true;
        PostAnswer broken = post;
        broken.failure = "The site's answer shows neither the torrent nor a reason.";
        reportFailedRequest(services, "Posting the torrent form", job.siteHost, broken,
                            joinParagraphs({kTorrentUnknown, waitingLine(onSite, reused)}),
                            "Upload Failed... The torrent may or may not have been posted.");
    }
    if (success && !notStarted)
        services.success(joinParagraphs(
            {"Upload Complete!",
             dataUntold
                 ? "Your torrent client was started with the torrent. Point it at the data in " + data + " to seed it."
                 : std::string(),
             reusedLine(reused)}));
    return onSite;
}

}  // namespace upload
