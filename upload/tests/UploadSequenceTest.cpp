#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "upload/UploadSequence.h"

namespace {

using upload::ClientChoice;
using upload::ClientStart;
using upload::FormField;

// The torrent built, and the site's copy of it with its own announce and comment.
const std::string kBuilt =
    "d8:announce7:tmp_url4:infod6:lengthi5e4:name5:a.bin12:piece lengthi65536e6:pieces20:" + std::string(20, 'P') +
    "ee";
const std::string kSiteCopy =
    "d8:announce20:https://t/a?passkey=7:comment4:mine4:infod6:lengthi5e4:name5:a.bin"
    "12:piece lengthi65536e6:pieces20:" +
    std::string(20, 'P') + "ee";

// Records every call as one line, and answers by its settings.
class FakeServices : public upload::UploadServices {
  public:
    std::vector<std::string> calls;
    std::vector<std::vector<FormField>> forms;
    std::vector<ClientStart> starts;
    BuildResult built = BuildResult::written();
    std::map<std::string, std::string> files = {{"C:\\C\\MyNew.torrent", kBuilt}, {"C:\\C\\swr.torrent", kSiteCopy}};
    bool throwOnPost = false;
    std::string answer;
    std::string pictureAnswer = "<h2>Picture uploaded</h2>\n";
    int failingPost = -1;  // this post (0 the first) gets `failure` as its answer
    upload::PostAnswer failure;
    bool writable = true;
    std::string written;
    std::vector<bool> downloads;  // per download, true = worked; missing entries work
    client::ExecutableFacts version = {"", "", "", 3};
    client::ContentLayout layout = client::ContentLayout::Original;
    upload::ClientStarted started;
    std::map<std::string, std::string> problems;  // path: why the content or the picture cannot go

    void setStatus(const std::string& text) override { calls.push_back("status " + text); }
    void message(const std::string& text) override { calls.push_back("message " + text); }
    void success(const std::string& text) override { calls.push_back("success " + text); }
    std::string contentProblem(const std::string& path, bool) override { return problems[path]; }
    std::string pictureProblem(const std::string& path) override { return problems[path]; }
    BuildResult buildTorrent(const std::string& path, bool fileMode, const std::string&) override {
        calls.push_back("build " + path + (fileMode ? " file" : " folder"));
        return built;
    }
    upload::PostAnswer postForm(const std::string& host, const std::vector<FormField>& fields) override {
        if (throwOnPost)
            throw std::bad_alloc();
        calls.push_back("post " + host + " " + fields.back().name);
        forms.push_back(fields);
        upload::PostAnswer out;
        if (int(forms.size()) - 1 == failingPost) {
            out = failure;
            if (!failure.failure.empty() && out.end == upload::PostEnd::Answered)
                out.end = upload::PostEnd::NoAnswer;
            return out;
        }
        out.page = fields.back().name == "file" ? answer : pictureAnswer;
        return out;
    }
    bool writeFile(const std::string& path, const std::string& bytes) override {
        calls.push_back("write " + path);
        written = bytes;
        return writable;
    }
    bool readFile(const std::string& path, std::size_t maxBytes, std::string& bytes) override {
        calls.push_back("read " + path);
        const auto file = files.find(path);
        if (file == files.end())
            return false;
        bytes = file->second.substr(0, maxBytes);
        return true;
    }
    upload::DownloadResult downloadTorrent(const std::string& host,
                                           const std::string& link,
                                           const std::string& local) override {
        calls.push_back("download " + host + link + " " + local);
        const size_t index = downloadCount++;
        upload::DownloadResult result;
        result.done = index >= downloads.size() || downloads[index];
        if (!result.done)
            result.message = "Failed to download " + link;
        return result;
    }
    void waitForBackend(const std::string&) override { calls.push_back("wait"); }
    client::ExecutableFacts clientVersion(const std::string& executable) override {
        calls.push_back("version " + executable);
        return version;
    }
    client::ContentLayout qbittorrentLayout(const std::string& executable) override {
        calls.push_back("layout " + executable);
        return layout;
    }
    ClientChoice chooseClient() override {
        calls.push_back("choose");
        return ClientChoice::Azureus;
    }
    upload::ClientStarted startClient(const ClientStart& start) override {
        calls.push_back("start " + start.program + " " + start.parameters);
        starts.push_back(start);
        return started;
    }

  private:
    size_t downloadCount = 0;
};

upload::UploadJob job() {
    upload::UploadJob j;
    j.contentPath = "C:\\Data\\Film";
    j.fileMode = false;
    j.description = "A film about films";
    j.category = 1;
    j.subcategories[0] = 3;
    j.name = "My Film";
    j.pictures = {"C:\\p\\a.jpg", "C:\\p\\b.png", "D:c.gif"};
    j.siteHost = "tracker";
    j.workingFolder = "C:\\W";
    j.currentFolder = "C:\\C";
    j.newTorrentPath = "C:\\C\\MyNew.torrent";
    j.clients.utorrent = "C:\\uTorrent.exe";
    return j;
}

const std::string kKept =
    "The site keeps the pictures c.gif, b.png, a.jpg for the next torrent: uploading this content again reuses them.";
const std::string kLinkLine = "<a href=\"/download.php/7/My%20Film.torrent\">My Film.torrent</a>\n";

TEST(UploadSequence, AWholeUploadInOrder) {
    FakeServices services;
    services.answer = "<html>\n" + kLinkLine + "</html>\n";
    upload::runUpload(job(), services);
    const std::vector<std::string> expected = {
        "status Generating Torrent File: Please Wait!",
        "build C:\\Data\\Film folder",
        "status Uploading Picture: c.gif",
        "post tracker ulpic",
        "status Uploading Picture: b.png",
        "post tracker ulpic",
        "status Uploading Picture: a.jpg",
        "post tracker ulpic",
        "status Submitting Torrent Informations + .torrent File ...",
        "post tracker file",
        "status Parsing results...",
        "write C:\\W\\debug.html",
        "status Re-Download of torrent...",
        "download tracker/download.php/7/My%20Film.torrent C:\\C\\swr.torrent",
        "read C:\\C\\MyNew.torrent",
        "read C:\\C\\swr.torrent",
        "wait",
        "status Adding torrent to Client...",
        "version C:\\uTorrent.exe",
        "start C:\\uTorrent.exe /directory \"C:\\Data\\\\\" \"C:\\C\\swr.torrent\"",
        "success Upload Complete!",
    };
    EXPECT_EQ(services.calls, expected);
    EXPECT_EQ(services.written, services.answer);

    ASSERT_EQ(services.forms.size(), 4u);
    const std::vector<FormField>& picture = services.forms[0];
    ASSERT_EQ(picture.size(), 2u);
    EXPECT_FALSE(picture[0].isFile);
    EXPECT_EQ(picture[0].name + "=" + picture[0].value, "upload=Upload");
    EXPECT_TRUE(picture[1].isFile);
    EXPECT_EQ(picture[1].value, "D:c.gif");
    EXPECT_EQ(picture[1].fileName, "c.gif");

    const std::vector<FormField>& form = services.forms[3];
    ASSERT_EQ(form.size(), 10u);
    EXPECT_EQ(form[2].name + "=" + form[2].value, "scat1=3");
    EXPECT_EQ(form[3].name + "=" + form[3].value, "scat2=-1");
    EXPECT_TRUE(form[9].isFile);
    EXPECT_EQ(form[9].value, "C:\\C\\MyNew.torrent");
    EXPECT_EQ(form[9].fileName, "My Film.torrent");
}

TEST(UploadSequence, CancelledHashingSendsNothing) {
    FakeServices services;
    services.built = BuildResult::cancelled();
    upload::runUpload(job(), services);
    EXPECT_EQ(services.calls.size(), 2u);
    EXPECT_TRUE(services.forms.empty());
}

// An earlier MyNew.torrent may still lie there: only the build's success leads to a post.
TEST(UploadSequence, AFailedBuildSaysWhyAndSendsNothing) {
    FakeServices services;
    services.built = BuildResult::failed("Cannot read C:\\Data\\Film\\a.mkv");
    upload::runUpload(job(), services);
    EXPECT_EQ(services.calls,
              (std::vector<std::string>{"status Generating Torrent File: Please Wait!", "build C:\\Data\\Film folder",
                                        "message Could not create the torrent:\n\nCannot read C:\\Data\\Film\\a.mkv"}));
}

// A copy that is not the upload's goes nowhere: no backend wait, no client, no "Upload Complete!".
TEST(UploadSequence, TheSitesCopyIsCheckedBeforeTheHandOff) {
    const struct {
        std::string copy;
        std::string reason;
    } refusals[] = {
        {"<html><body>Please log in</body></html>\n",
         "The file from the site is not a torrent (byte 1: not the start of a bencode value)."},
        {kSiteCopy.substr(0, 60),
         "The file from the site is not a torrent (byte 59: a string longer than the rest of the input)."},
        {std::string(upload::kMaxTorrentCopy + 1, 'd'), "The file from the site is larger than 32 MiB."},
    };
    for (const auto& refusal : refusals) {
        FakeServices services;
        services.answer = kLinkLine;
        services.files["C:\\C\\swr.torrent"] = refusal.copy;
        upload::runUpload(job(), services);
        EXPECT_EQ(services.calls.back(), "message " + std::string(upload::kCopyMismatch) + refusal.reason);
        EXPECT_TRUE(services.starts.empty());
        EXPECT_EQ(std::count(services.calls.begin(), services.calls.end(), "wait"), 0);
    }
}

TEST(UploadSequence, WhateverEscapesTheSequenceEndsItAsFailed) {
    FakeServices services;
    services.throwOnPost = true;
    upload::runUploadGuarded(job(), services);
    const std::vector<std::string> tail(services.calls.end() - 2, services.calls.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"status Upload Failed...", "message Upload Failed:\n\nNot enough memory."}));
}

TEST(UploadSequence, AFileWithoutFolderStopsBeforeHashing) {
    FakeServices services;
    upload::UploadJob j = job();
    j.fileMode = true;
    j.contentPath = "film.mkv";
    upload::runUpload(j, services);
    EXPECT_EQ(services.calls, std::vector<std::string>{"message Please select a valid path to a File or a Directory!"});
    j.contentPath = "C:" + std::string(510, 'x') + "\\film.mkv";
    services.calls.clear();
    upload::runUpload(j, services);
    EXPECT_EQ(services.calls.size(), 1u);
}

// A request without an answer, an answer with a status of 400 or more, or a picture the site did
// not take, ends the upload with one message that names the step, the site and the reason; only an
// answered torrent form reaches debug.html. A torrent form that may have reached the site says so.
TEST(UploadSequence, AFailedRequestStopsWithOneMessage) {
    const std::string unknown = upload::kTorrentUnknown;
    const std::string onSite =
        "The pictures c.gif, b.png, a.jpg are on the site: uploading this content again does "
        "not post them again.";
    const std::string mayBePosted = "status Upload Failed... The torrent may or may not have been posted.";
    const struct {
        int post;  // 0..2 the pictures, 3 the torrent form
        const char* failure;
        long status;
        std::vector<std::string> tail;
        upload::PostEnd end = upload::PostEnd::Answered;
        std::string page = kLinkLine;  // an error page is never scanned for links
    } cases[] = {
        {0,
         "Cannot connect to tracker.",
         200,
         {"status Upload Failed...",
          "message Upload Failed:\n\nPosting the picture c.gif to tracker failed.\n\nCannot connect to tracker."}},
        {2,
         "",
         503,
         {"status Upload Failed...",
          "message Upload Failed:\n\nPosting the picture a.jpg to tracker failed.\n\n"
          "The site answered 503.\n\nThe pictures before it were already sent: c.gif, b.png"}},
        {1,
         "",
         200,
         {"status Upload Failed...",
          "message Upload Failed:\n\nPosting the picture b.png to tracker failed.\n\n"
          "Invalid image! Only JPEG, PNG and GIF pictures are allowed.\n\n"
          "The pictures before it were already sent: c.gif"},
         upload::PostEnd::Answered,
         "<h2>Upload failed!</h2>\n<p>Invalid image! Only JPEG, PNG and GIF pictures are allowed.</p>\n"},
        {0,
         "",
         200,
         {"status Upload Failed...",
          "message Upload Failed:\n\nPosting the picture c.gif to tracker failed.\n\n"
          "The site's answer does not say that the picture was uploaded."},
         upload::PostEnd::Answered,
         "<h2>Please log in</h2>\n"},
        {3,
         "The site did not answer within 30 seconds.",
         200,
         {"post tracker file", mayBePosted,
          "message Upload Failed:\n\nPosting the torrent form to tracker failed.\n\n"
          "The site did not answer within 30 seconds.\n\n" +
              unknown + "\n\n" + onSite}},
        {3,
         "",
         200,
         {"post tracker file", mayBePosted,
          "message Upload Failed:\n\nPosting the torrent form to tracker failed.\n\n" + unknown + "\n\n" + onSite},
         upload::PostEnd::Cancelled},
        {3,
         "",
         200,
         {"write C:\\W\\debug.html", mayBePosted,
          "message Upload Failed:\n\nPosting the torrent form to tracker failed.\n\n"
          "The site's answer shows neither the torrent nor a reason.\n\n" +
              unknown + "\n\n" + onSite},
         upload::PostEnd::Answered,
         "<html><body>Service temporarily overloaded</body></html>\n"},
        {3,
         "",
         500,
         {"write C:\\W\\debug.html", "status Upload Failed... The pictures were posted, the torrent was not.",
          "message Upload Failed:\n\nPosting the torrent form to tracker failed.\n\nThe site answered 500.\n\n" +
              kKept}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail.back());
        FakeServices services;
        services.failingPost = c.post;
        services.failure.failure = c.failure;
        services.failure.status = c.status;
        services.failure.end = c.end;
        services.failure.page = c.page;
        upload::runUpload(job(), services);
        EXPECT_EQ(services.forms.size(), std::size_t(c.post + 1));
        ASSERT_GE(services.calls.size(), c.tail.size());
        EXPECT_EQ(std::vector<std::string>(services.calls.end() - long(c.tail.size()), services.calls.end()), c.tail);
        EXPECT_EQ(services.written, c.post == 3 && c.end == upload::PostEnd::Answered && !*c.failure ? c.page : "");
    }
}

TEST(UploadSequence, RefusedUploadShowsTheReason) {
    FakeServices services;
    services.answer = "<h2>Upload failed!</h2>\n<p><b>Torrent exists already</b></p>\n";
    services.writable = false;
    upload::runUpload(job(), services);
    const std::vector<std::string> tail(services.calls.end() - 4, services.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "write C:\\W\\debug.html", "message Could not open debug outputfile debug.html",
                        "status Upload Failed...", "message Upload Failed:\n\nTorrent exists already\n\n" + kKept}));
}

TEST(UploadSequence, TwoLinksAndALateFailure) {
    FakeServices services;
    services.answer = kLinkLine + kLinkLine + "<h2>Upload failed!</h2>\nwhy\n";
    upload::runUpload(job(), services);
    EXPECT_EQ(services.starts.size(), 2u);
    const std::vector<std::string> tail(services.calls.end() - 3, services.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"status Upload Failed...", "message Upload Failed:\n\nwhy",
                                              "success Upload Complete!"}));
}

TEST(UploadSequence, AFailedDownloadIsNotHandedToTheClient) {
    FakeServices services;
    services.answer = kLinkLine;
    services.downloads = {false};
    upload::runUpload(job(), services);
    EXPECT_TRUE(services.starts.empty());
    EXPECT_EQ(services.calls.back(), "message Failed to download /download.php/7/My%20Film.torrent");

    FakeServices second;
    second.answer = kLinkLine + kLinkLine;
    second.downloads = {false, true};
    upload::runUpload(job(), second);
    EXPECT_EQ(second.starts.size(), 1u);
    EXPECT_EQ(second.calls.back(), "success Upload Complete!");
}

// Each client is started the way it understands, and the start is checked: a client that cannot
// be started, or cannot be told where the data lies, is not reported as a complete upload; the
// member learns why and where the site's copy and the data lie.
TEST(UploadSequence, TheClientsStartIsChecked) {
    const std::string notStarted = "message The torrent is on the site, but the client could not be started:\n\n";
    const std::string addIt = "\n\nAdd C:\\C\\swr.torrent to your client with the data in C:\\Data to seed it.";
    const std::string torrent = "\"C:\\C\\swr.torrent\"";
    const client::ExecutableFacts qbittorrent = {"qBittorrent", "qbittorrent.exe", "", 4};
    upload::ClientStarted refused;
    refused.ok = false;
    refused.reason = "C:\\uTorrent.exe: File not found.";
    const struct {
        client::ExecutableFacts version;
        client::ContentLayout layout;
        upload::ClientStarted started;
        bool fileMode;
        std::string client;
        std::vector<std::string> tail;
    } cases[] = {
        {{"", "", "", 3},
         client::ContentLayout::Original,
         refused,
         false,
         "C:\\uTorrent.exe",
         {"version C:\\uTorrent.exe", "start C:\\uTorrent.exe /directory \"C:\\Data\\\\\" " + torrent,
          notStarted + "C:\\uTorrent.exe: File not found." + addIt}},
        {qbittorrent,
         client::ContentLayout::NoSubfolder,
         {},
         false,
         "C:\\q\\client.exe",
         {"version C:\\q\\client.exe", "layout C:\\q\\client.exe",
          "start C:\\q\\client.exe \"--save-path=C:\\Data\\Film\" --skip-dialog=true " + torrent,
          "success Upload Complete!"}},
        {qbittorrent,
         client::ContentLayout::Subfolder,
         {},
         true,
         "C:\\q\\client.exe",
         {"layout C:\\q\\client.exe",
          notStarted +
              "qBittorrent is set to put a single file into a folder of its own (Torrent content layout: "
              "Create subfolder), so it cannot seed the file where it lies." +
              addIt}},
        {{"qBittorrent", "", "", 3},
         client::ContentLayout::Original,
         {},
         false,
         "C:\\q\\client.exe",
         {"version C:\\q\\client.exe",
          notStarted + "qBittorrent 3 cannot be told where the data lies; qBittorrent 4.0 and later can." + addIt}},
        {{"Transmission", "transmission-qt.exe", "", 4},
         client::ContentLayout::Original,
         {},
         false,
         "C:\\t\\transmission-qt.exe",
         {"start C:\\t\\transmission-qt.exe " + torrent,
          "success Upload Complete!\n\nYour torrent client was started with the torrent. Point it at the data in "
          "C:\\Data to seed it."}},
        {{},
         client::ContentLayout::Original,
         {},
         false,
         "",
         {"status Adding torrent to Client...", notStarted + upload::kNoClient + addIt}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tail.back());
        upload::UploadJob j = job();
        j.clients.utorrent = c.client;
        j.fileMode = c.fileMode;
        if (c.fileMode)
            j.contentPath = "C:\\Data\\a.mkv";
        FakeServices services;
        services.answer = kLinkLine + kLinkLine;  // after a failed start no second copy replaces the first
        services.version = c.version;
        services.layout = c.layout;
        services.started = c.started;
        upload::runUpload(j, services);
        ASSERT_GE(services.calls.size(), c.tail.size());
        EXPECT_EQ(std::vector<std::string>(services.calls.end() - long(c.tail.size()), services.calls.end()), c.tail);
        const bool complete = c.tail.back().rfind("success", 0) == 0;
        EXPECT_EQ(std::count_if(services.calls.begin(), services.calls.end(),
                                [](const std::string& call) { return call.rfind("download", 0) == 0; }),
                  complete ? 2 : 1);
    }
}

TEST(UploadSequence, TheAzureusChoice) {
    upload::UploadJob j = job();
    j.clients.azureus = "C:\\Azureus.exe";
    FakeServices both;
    both.answer = kLinkLine;
    upload::runUpload(j, both);
    ASSERT_EQ(both.starts.size(), 1u);
    EXPECT_EQ(both.starts[0].program, "C:\\Azureus.exe");
    EXPECT_NE(std::find(both.calls.begin(), both.calls.end(), "choose"), both.calls.end());
    EXPECT_EQ(both.calls.back(), "success Upload Complete!");
}

// The site keeps every picture it took for the member's next torrent form and cannot withdraw one:
// an upload of the same content again posts only the pictures it does not hold, and says which it
// reused; other content goes with a word about those that wait.
TEST(UploadSequence, PicturesGoToTheSiteOncePerTorrent) {
    const std::string reusedAll = "Reused the pictures already on the site: c.gif, b.png, a.jpg";
    upload::PostAnswer noAnswer;
    noAnswer.end = upload::PostEnd::NoAnswer;
    noAnswer.failure = "The site did not answer within 30 seconds.";
    upload::PostAnswer serverError;
    serverError.status = 500;
    upload::PostAnswer badPicture;
    badPicture.page = "<h2>Upload failed!</h2>\n<p>Invalid image!</p>\n";
    const struct {
        int failingPost;  // of the first attempt
        upload::PostAnswer failure;
        std::string secondAnswer;
        std::vector<std::string> waiting;  // what the site holds between the attempts
        std::size_t secondPosts;
        std::string lastMessage;
        std::vector<std::string> waitingAfter;
    } cases[] = {
        {3,
         serverError,
         kLinkLine,
         {"D:c.gif", "C:\\p\\b.png", "C:\\p\\a.jpg"},
         1,
         "success Upload Complete!\n\n" + reusedAll,
         {}},
        {2,
         badPicture,
         kLinkLine,
         {"D:c.gif", "C:\\p\\b.png"},
         2,
         "success Upload Complete!\n\nReused the pictures already on the site: c.gif, b.png",
         {}},
        {3,
         serverError,
         "<h2>Upload failed!</h2>\nStill broken\n",
         {"D:c.gif", "C:\\p\\b.png", "C:\\p\\a.jpg"},
         1,
         "message Upload Failed:\n\nStill broken\n\n" + kKept + "\n\n" + reusedAll,
         {"D:c.gif", "C:\\p\\b.png", "C:\\p\\a.jpg"}},
        // The form that got no answer went through: it took the pictures.
        {3,
         noAnswer,
         "<h2>Upload failed!</h2>\n<p><b>Torrent exists already</b></p>\n",
         {"D:c.gif", "C:\\p\\b.png", "C:\\p\\a.jpg"},
         1,
         "message Upload Failed:\n\nTorrent exists already\n\nThe earlier upload of this content reached the site: "
         "the torrent is there.",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lastMessage);
        FakeServices first;
        first.failingPost = c.failingPost;
        first.failure = c.failure;
        const upload::SiteHolds held = upload::runUpload(job(), first);
        EXPECT_EQ(held.pictures, c.waiting);
        EXPECT_EQ(held.torrentMayBeThere, c.failure.end == upload::PostEnd::NoAnswer);

        upload::UploadJob again = job();
        again.contentPath = "c:\\data\\FILM";  // the same folder
        again.onSite = held;
        FakeServices second;
        second.answer = c.secondAnswer;
        const upload::SiteHolds after = upload::runUpload(again, second);
        EXPECT_EQ(second.forms.size(), c.secondPosts);
        const std::string names = c.waiting.size() == 3 ? "c.gif, b.png, a.jpg" : "c.gif, b.png";
        EXPECT_EQ(second.calls[2], "status Reusing pictures already on the site: " + names);
        EXPECT_EQ(second.calls.back(), c.lastMessage);
        EXPECT_EQ(after.pictures, c.waitingAfter);
        EXPECT_FALSE(after.torrentMayBeThere);
    }

    // Other content, or the same path in the other mode: every picture goes again, after a word
    // about those that wait, which also ends the session.
    upload::SiteHolds held;
    held.contentPath = "C:\\Data\\Film";
    held.fileMode = true;
    held.pictures = {"D:c.gif", "C:\\p\\b.png"};
    held.torrentMayBeThere = true;
    upload::UploadJob other = job();
    other.onSite = held;
    FakeServices services;
    services.answer = kLinkLine;
    EXPECT_TRUE(upload::runUpload(other, services).pictures.empty());
    const std::string notice =
        "These pictures wait on the site for the next torrent: c.gif, b.png\n\nThe site offers no way to withdraw "
        "them: they will be attached to the next torrent uploaded";
    EXPECT_EQ(services.calls.front(),
              "message " + notice + ", unless the torrent form that got no answer reached the site and took them.");
    EXPECT_EQ(services.forms.size(), 4u);
    EXPECT_EQ(services.calls.back(), "success Upload Complete!");
    held.torrentMayBeThere = false;
    EXPECT_EQ(upload::waitingPicturesNotice(held), notice + ".");
    held.pictures.clear();
    EXPECT_EQ(upload::waitingPicturesNotice(held), "");
}

// The content and every picture are looked at before the hashing: one message, nothing hashed or sent.
TEST(UploadSequence, WhatIsMissingOnDiskStopsItBeforeTheHashing) {
    FakeServices services;
    services.problems["C:\\Data\\Film"] = "There is no folder C:\\Data\\Film";
    services.problems["C:\\p\\a.jpg"] = "there is no such file";
    upload::runUpload(job(), services);
    EXPECT_EQ(services.calls,
              std::vector<std::string>{"message Could not create the torrent:\n\nThere is no folder C:\\Data\\Film"});

    FakeServices pictures;
    pictures.problems["C:\\p\\a.jpg"] = "there is no such file";
    pictures.problems["D:c.gif"] = "it is empty";
    upload::runUpload(job(), pictures);
    EXPECT_EQ(pictures.calls, std::vector<std::string>{"message These pictures cannot be uploaded:\n\n"
                                                       "C:\\p\\a.jpg: there is no such file\nD:c.gif: it is empty"});
}

}  // namespace
