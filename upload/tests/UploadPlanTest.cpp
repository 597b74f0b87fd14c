#include <gtest/gtest.h>

#include <string>

#include "upload/UploadPlan.h"

namespace {

using upload::scanAnswer;

TEST(UploadPlan, ContentFolderOfAFile) {
    std::string folder = "x";
    ASSERT_TRUE(upload::contentFolder("C:\\Data\\a.mkv", true, folder));
    EXPECT_EQ(folder, "C:\\Data\\");
    ASSERT_TRUE(upload::contentFolder("C:a.mkv", true, folder));
    EXPECT_EQ(folder, "C\\");
    ASSERT_TRUE(upload::contentFolder("C:\\a.mkv", true, folder));
    EXPECT_EQ(folder, "C:\\");
    ASSERT_TRUE(upload::contentFolder("C:\\Data\\", true, folder));
    EXPECT_EQ(folder, "C:\\Data\\");

    folder = "unchanged";
    EXPECT_FALSE(upload::contentFolder("a.mkv", true, folder));
    EXPECT_EQ(folder, "unchanged");
    const std::string longFolder = "C:" + std::string(509, 'x');  // 511 characters before the '\'
    ASSERT_TRUE(upload::contentFolder(longFolder + "\\a.mkv", true, folder));
    EXPECT_EQ(folder, longFolder + "\\");
    EXPECT_FALSE(upload::contentFolder(longFolder + "y\\a.mkv", true, folder));
}

TEST(UploadPlan, ContentAndParentFolderOfAFolder) {
    std::string folder;
    ASSERT_TRUE(upload::contentFolder("C:\\Data\\Film", false, folder));
    EXPECT_EQ(folder, "C:\\Data\\Film");
    ASSERT_TRUE(upload::contentFolder("C:\\Data\\Film\\", false, folder));
    EXPECT_EQ(folder, "C:\\Data\\Film\\");
    ASSERT_TRUE(upload::contentFolder("Film", false, folder));

    EXPECT_EQ(upload::parentFolder("C:\\Data\\Film"), "C:\\Data\\");
    EXPECT_EQ(upload::parentFolder("C:\\Data\\Film\\"), "C:\\Data\\");
    EXPECT_EQ(upload::parentFolder("C:\\Data"), "C:\\");
    EXPECT_EQ(upload::parentFolder("C:\\"), "");
    EXPECT_EQ(upload::parentFolder("Film"), "");
    EXPECT_EQ(upload::parentFolder(""), "");
}

TEST(UploadPlan, TorrentFormFieldsInOrder) {
    const long subcategories[4] = {13, -1, -1, -1};
    const upload::TorrentForm form = upload::torrentForm("A good description", 12, subcategories, "My Film");
    const std::vector<std::pair<std::string, std::string>> expected = {{"descr", "A good description"},
                                                                       {"type", "12"},
                                                                       {"scat1", "13"},
                                                                       {"scat2", "-1"},
                                                                       {"scat3", "-1"},
                                                                       {"scat4", "-1"},
                                                                       {"name", "My Film"},
                                                                       {"checktorrent", "1"},
                                                                       {"swr", "yes"}};
    EXPECT_EQ(form.texts, expected);
    EXPECT_EQ(form.fileField, "file");
    EXPECT_EQ(form.fileName, "My Film.torrent");
}

const std::string kLink = "<a href=\"/download.php/123/My%20Film.torrent\">My Film</a>";

TEST(UploadPlan, ScanFindsTheLinkPathUnchanged) {
    const upload::AnswerScan scan = scanAnswer("<html>\r\n" + kLink + "\r\n</html>\n");
    ASSERT_EQ(scan.links.size(), 1u);
    EXPECT_EQ(scan.links[0], "/download.php/123/My%20Film.torrent");
    EXPECT_FALSE(scan.refused);
}

TEST(UploadPlan, ScanPassesOverIncompleteLinks) {
    EXPECT_TRUE(scanAnswer("<a href=\"/download.php/123\">x</a>\n").links.empty());
    EXPECT_TRUE(scanAnswer("<a href=\"/download.php/123/a.torrent\" >x</a>\n").links.empty());
    EXPECT_TRUE(scanAnswer("<a href='/download.php/123/a.torrent'>x</a>\n").links.empty());
    EXPECT_TRUE(scanAnswer("<A HREF=\"/download.php/123/a.torrent\">x</a>\n").links.empty());
    // A marker line without a usable link is not read for the failure marker either.
    EXPECT_FALSE(scanAnswer("<a href=\"/download.php/1\"><h2>Upload failed!</h2>\nwhy\n").refused);
}

TEST(UploadPlan, ScanOnlyReadsCompleteLinesUpToTheLimit) {
    EXPECT_TRUE(scanAnswer(kLink).links.empty());
    EXPECT_TRUE(scanAnswer("<html>\n" + kLink).links.empty());

    std::string answer;
    for (int i = 0; i < 999; ++i)
        answer += "line\n";
    EXPECT_EQ(scanAnswer(answer + kLink + "\n").links.size(), 1u);  // line 1000
    answer += "line\n";
    EXPECT_TRUE(scanAnswer(answer + kLink + "\n").links.empty());  // line 1001
    EXPECT_FALSE(scanAnswer(answer + "<h2>Upload failed!</h2>\nwhy\n").refused);
}

TEST(UploadPlan, ScanGoesOnAfterALinkAndStopsAtAFailure) {
    const upload::AnswerScan two = scanAnswer(kLink + "\n<p>\n" + kLink + "\n");
    EXPECT_EQ(two.links.size(), 2u);

    const upload::AnswerScan late = scanAnswer(kLink + "\n<h2>Upload failed!</h2>\n<b>late</b>\n" + kLink + "\n");
    ASSERT_EQ(late.links.size(), 1u);
    EXPECT_TRUE(late.refused);
    EXPECT_EQ(late.reason, "late");
}

TEST(UploadPlan, FailureReasonIsTheNextLineWithoutMarkup) {
    const upload::AnswerScan scan =
        scanAnswer("<html>\n<h2>Upload failed!</h2>\n<p><b>Torrent exists already</b></p>\n</html>\n");
    EXPECT_TRUE(scan.refused);
    EXPECT_TRUE(scan.links.empty());
    EXPECT_EQ(scan.reason, "Torrent exists already");

    const upload::AnswerScan last = scanAnswer("<h2>Upload failed!</h2>\nno line feed after this");
    EXPECT_TRUE(last.refused);
    EXPECT_EQ(last.reason, "");

    EXPECT_EQ(upload::stripMarkup("<p> a <b>b</b> c</p>\r"), " a b c\r");
    EXPECT_EQ(upload::stripMarkup("text <unclosed tag"), "text ");
    EXPECT_EQ(upload::stripMarkup("a > b"), "a  b");
}

TEST(UploadPlan, ArgumentsSurviveTheCommandLineRules) {
    EXPECT_EQ(upload::quoteArgument("C:\\Data\\"), "\"C:\\Data\\\\\"");
    EXPECT_EQ(upload::quoteArgument("C:\\Data\\Film"), "\"C:\\Data\\Film\"");
    EXPECT_EQ(upload::quoteArgument(""), "\"\"");
    EXPECT_EQ(upload::quoteArgument("a\\\\\"b"), "\"a\\\\\\\\\\\"b\"");
}

TEST(UploadPlan, ClientParameters) {
    const std::string torrent = "C:\\users\\me\\Seedwright\\swr.torrent";
    const std::string quotedTorrent = "\"" + torrent + "\"";
    // File mode, uTorrent 3.x: the folder of the file.
    EXPECT_EQ(upload::utorrentParameters(upload::dataDirectory(3, true, "C:\\Data\\", ""), torrent),
              "/directory \"C:\\Data\\\\\" " + quotedTorrent);
    // Folder mode: 2.x takes the folder itself, 3.x and unknown versions its parent.
    EXPECT_EQ(upload::dataDirectory(2, false, "C:\\Data\\Film", "C:\\Data\\"), "C:\\Data\\Film");
    EXPECT_EQ(upload::dataDirectory(1, false, "C:\\Data\\Film", "C:\\Data\\"), "C:\\Data\\Film");
    EXPECT_EQ(upload::dataDirectory(3, false, "C:\\Data\\Film", "C:\\Data\\"), "C:\\Data\\");
    EXPECT_EQ(upload::dataDirectory(-1, false, "C:\\Data\\Film", "C:\\Data\\"), "C:\\Data\\");
    EXPECT_EQ(upload::dataDirectory(0, false, "C:\\Data\\Film", "C:\\Data\\"), "C:\\Data\\");
    // The drive root has no parent: an empty quoted directory.
    EXPECT_EQ(
        upload::utorrentParameters(upload::dataDirectory(3, false, "C:\\", upload::parentFolder("C:\\")), torrent),
        "/directory \"\" " + quotedTorrent);
    EXPECT_EQ(upload::utorrentChoiceParameters("C:\\Data\\", torrent), "\"/directory C:\\Data\\\\\" " + quotedTorrent);
}

}  // namespace

namespace {

const std::string kTorrent = "C:\\W\\swr.torrent";

upload::ClientStart startFor(const upload::ClientPaths& paths, int major, upload::ClientChoice choice) {
    upload::ClientFacts facts;
    facts.majorVersion = major;
    return upload::clientStart(paths, facts, choice, false, "C:\\Data\\Film", "C:\\Data\\", kTorrent);
}

TEST(UploadPlan, WhichClientIsStarted) {
    upload::ClientPaths paths;
    paths.clientExe = "C:\\picked.exe";
    upload::ClientStart start = startFor(paths, -1, upload::ClientChoice::Closed);
    EXPECT_EQ(start.program, "C:\\picked.exe");
    EXPECT_EQ(start.parameters, "\"C:\\W\\swr.torrent\"");
    EXPECT_TRUE(start.ownedByDialog);
    EXPECT_TRUE(start.dataUntold);

    paths.utorrent = "C:\\uTorrent.exe";
    EXPECT_FALSE(upload::clientNeedsChoice(paths));
    start = startFor(paths, 2, upload::ClientChoice::Closed);
    EXPECT_EQ(start.program, "C:\\uTorrent.exe");
    EXPECT_EQ(start.parameters, "/directory \"C:\\Data\\Film\" \"C:\\W\\swr.torrent\"");
    EXPECT_FALSE(start.ownedByDialog);

    // Azureus known as well: the user's choice decides.
    paths.azureus = "C:\\Azureus.exe";
    EXPECT_TRUE(upload::clientNeedsChoice(paths));
    start = startFor(paths, 2, upload::ClientChoice::Utorrent);
    EXPECT_EQ(start.program, "C:\\uTorrent.exe");
    EXPECT_EQ(start.parameters, "\"/directory C:\\Data\\Film\" \"C:\\W\\swr.torrent\"");
    EXPECT_TRUE(start.ownedByDialog);
    for (upload::ClientChoice other : {upload::ClientChoice::Azureus, upload::ClientChoice::Closed}) {
        start = startFor(paths, 2, other);
        EXPECT_EQ(start.program, "C:\\Azureus.exe");
        EXPECT_EQ(start.parameters, "\"C:\\W\\swr.torrent\"");
    }

    // Only Azureus known.
    paths.utorrent.clear();
    EXPECT_FALSE(upload::clientNeedsChoice(paths));
    start = startFor(paths, -1, upload::ClientChoice::Closed);
    EXPECT_EQ(start.program, "C:\\Azureus.exe");
    EXPECT_TRUE(start.ownedByDialog);
    EXPECT_FALSE(start.dataUntold);
}

// The stored client by its kind: uTorrent and BitTorrent by "/directory" as ever, qBittorrent by
// the folder that holds the content as its layout wants it, any other with the torrent alone.
TEST(UploadPlan, EachClientStartedTheWayItUnderstands) {
    using client::ClientKind;
    using client::ContentLayout;
    const std::string torrent = " \"C:\\W\\swr.torrent\"";
    const std::string qb = "\"--save-path=";
    const std::string skip = "\" --skip-dialog=true" + torrent;
    const char* subfolder = "qBittorrent is set to put a single file into a folder of its own";
    const struct {
        ClientKind kind;
        int major;
        ContentLayout layout;
        bool fileMode;
        const char* contentPath;
        std::string parameters;  // empty: not started
        const char* cannotSeed;  // the start of the reason
    } cases[] = {
        {ClientKind::BitTorrent, 7, ContentLayout::Original, false, "C:\\Data\\Film",
         "/directory \"C:\\Data\\\\\"" + torrent, ""},
        {ClientKind::BitTorrent, 2, ContentLayout::Original, false, "C:\\Data\\Film",
         "/directory \"C:\\Data\\Film\"" + torrent, ""},
        // BitTorrent 6 is built on uTorrent 2.x: the folder that holds the data.
        {ClientKind::BitTorrent, 6, ContentLayout::Original, false, "C:\\Data\\Film",
         "/directory \"C:\\Data\\Film\"" + torrent, ""},
        {ClientKind::Utorrent, 3, ContentLayout::NoSubfolder, true, "C:\\Data\\a.mkv",
         "/directory \"C:\\Data\\\\\"" + torrent, ""},
        {ClientKind::Unknown, 4, ContentLayout::Original, false, "C:\\Data\\Film", torrent.substr(1), ""},
        // qBittorrent: the folder holding the content, without a trailing backslash but at a root.
        {ClientKind::Qbittorrent, 4, ContentLayout::Original, true, "C:\\Data\\a.mkv", qb + "C:\\Data" + skip, ""},
        {ClientKind::Qbittorrent, 5, ContentLayout::Original, false, "C:\\Data\\Film", qb + "C:\\Data" + skip, ""},
        {ClientKind::Qbittorrent, 4, ContentLayout::Original, false, "C:\\Data\\Film\\", qb + "C:\\Data" + skip, ""},
        {ClientKind::Qbittorrent, -1, ContentLayout::Subfolder, false, "C:\\Data\\Film", qb + "C:\\Data" + skip, ""},
        {ClientKind::Qbittorrent, 4, ContentLayout::NoSubfolder, false, "C:\\Data\\Film", qb + "C:\\Data\\Film" + skip,
         ""},
        {ClientKind::Qbittorrent, 4, ContentLayout::NoSubfolder, false, "C:\\Data\\Film\\",
         qb + "C:\\Data\\Film" + skip, ""},
        {ClientKind::Qbittorrent, 4, ContentLayout::NoSubfolder, true, "C:\\Data\\a.mkv", qb + "C:\\Data" + skip, ""},
        {ClientKind::Qbittorrent, 4, ContentLayout::Original, true, "C:\\a.mkv", qb + "C:\\\\" + skip, ""},
        {ClientKind::Qbittorrent, 4, ContentLayout::Original, false, "C:\\Film", qb + "C:\\\\" + skip, ""},
        {ClientKind::Qbittorrent, 4, ContentLayout::NoSubfolder, false, "C:\\", qb + "C:\\\\" + skip, ""},
        {ClientKind::Qbittorrent, 4, ContentLayout::Original, false, "C:\\", "",
         "qBittorrent needs the folder above C:\\, and a drive's root has none."},
        {ClientKind::Qbittorrent, 4, ContentLayout::Subfolder, true, "C:\\Data\\a.mkv", "", subfolder},
        {ClientKind::QbittorrentBefore4, 3, ContentLayout::Original, true, "C:\\Data\\a.mkv", "",
         "qBittorrent 3 cannot be told where the data lies; qBittorrent 4.0 and later can."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.contentPath) + " " + std::to_string(c.major));
        upload::ClientPaths paths;
        paths.utorrent = "C:\\Client\\client.exe";
        std::string content;
        ASSERT_TRUE(upload::contentFolder(c.contentPath, c.fileMode, content));
        const upload::ClientStart start =
            upload::clientStart(paths, {c.kind, c.major, c.layout}, upload::ClientChoice::Closed, c.fileMode, content,
                                c.fileMode ? std::string() : upload::parentFolder(c.contentPath), kTorrent);
        EXPECT_EQ(start.program, paths.utorrent);
        EXPECT_EQ(start.parameters, c.parameters);
        EXPECT_EQ(start.cannotSeed.substr(0, std::string(c.cannotSeed).size()), c.cannotSeed);
        EXPECT_EQ(start.cannotSeed.empty(), !c.parameters.empty());
        EXPECT_EQ(start.dataUntold, c.kind == ClientKind::Unknown);
        EXPECT_FALSE(start.ownedByDialog);
    }
    // Where the member is told the data lies.
    EXPECT_EQ(upload::dataFolder(true, "C:\\Data\\", ""), "C:\\Data");
    EXPECT_EQ(upload::dataFolder(false, "C:\\Data\\Film", "C:\\Data\\"), "C:\\Data");
    EXPECT_EQ(upload::dataFolder(false, "C:\\", ""), "C:\\");
    EXPECT_EQ(upload::dataFolder(false, "\\\\server\\share\\Film", "\\\\server\\share\\"), "\\\\server\\share");
}

}  // namespace
