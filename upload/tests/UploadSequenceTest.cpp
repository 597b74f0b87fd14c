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
    int failingPost = -1;  // this post (0 the first) gets `failure` as its answer
    upload::PostAnswer failure;
    bool writable = true;
    std::string written;
    std::vector<bool> downloads;  // per download, true = worked; missing entries work
    int major = 3;
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
        if (fields.back().name == "file")
            out.page = answer;
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
    void waitForBackend() override { calls.push_back("wait"); }
    int majorVersion(const std::string& executable) override {
        calls.push_back("version " + executable);
        return major;
    }
    ClientChoice chooseClient() override {
        calls.push_back("choose");
        return ClientChoice::Azureus;
    }
    void startClient(const ClientStart& start) override {
        calls.push_back("start " + start.program + " " + start.parameters);
        starts.push_back(start);
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

// A request without an answer, or with a status of 400 or more, ends the upload with one message
// that names the step, the site and the reason; only an answered torrent form reaches debug.html.
TEST(UploadSequence, AFailedRequestStopsWithOneMessage) {
    const struct {
        int post;  // 0..2 the pictures, 3 the torrent form
        const char* failure;
        long status;
        std::vector<std::string> tail;
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
        {3,
         "The site did not answer within 30 seconds.",
         200,
         {"post tracker file", "status Upload Failed... The pictures were posted, the torrent was not.",
          "message Upload Failed:\n\nPosting the torrent form to tracker failed.\n\n"
          "The site did not answer within 30 seconds.\n\nThe pictures were already posted."}},
        {3,
         "",
         500,
         {"write C:\\W\\debug.html", "status Upload Failed... The pictures were posted, the torrent was not.",
          "message Upload Failed:\n\nPosting the torrent form to tracker failed.\n\nThe site answered 500.\n\n"
          "The pictures were already posted."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.post);
        FakeServices services;
        services.failingPost = c.post;
        services.failure.failure = c.failure;
        services.failure.status = c.status;
        services.failure.page = kLinkLine;  // an error page is never scanned for links
        upload::runUpload(job(), services);
        EXPECT_EQ(services.forms.size(), std::size_t(c.post + 1));
        ASSERT_GE(services.calls.size(), c.tail.size());
        EXPECT_EQ(std::vector<std::string>(services.calls.end() - long(c.tail.size()), services.calls.end()), c.tail);
        EXPECT_EQ(services.written, c.status >= 400 && c.post == 3 ? kLinkLine : "");
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
                        "status Upload Failed...", "message Upload Failed:\n\nTorrent exists already"}));
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

TEST(UploadSequence, UnknownClientsAndTheAzureusChoice) {
    upload::UploadJob j = job();
    j.clients.utorrent.clear();
    FakeServices services;
    services.answer = kLinkLine;
    upload::runUpload(j, services);
    ASSERT_EQ(services.starts.size(), 1u);
    EXPECT_EQ(services.starts[0].program, "");
    EXPECT_EQ(services.starts[0].parameters, "\"C:\\C\\swr.torrent\"");

    j = job();
    j.clients.azureus = "C:\\Azureus.exe";
    FakeServices both;
    both.answer = kLinkLine;
    upload::runUpload(j, both);
    ASSERT_EQ(both.starts.size(), 1u);
    EXPECT_EQ(both.starts[0].program, "C:\\Azureus.exe");
    EXPECT_NE(std::find(both.calls.begin(), both.calls.end(), "choose"), both.calls.end());
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
