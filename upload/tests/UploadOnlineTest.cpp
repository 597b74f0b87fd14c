// Whole uploads from the main dialog to the stand-in site, handed to the stand-in uTorrent.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "client/res/ClientIds.h"
#include "site/Download.h"
#include "site/FormRequest.h"
#include "site/res/SiteIds.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/OnlineTest.h"
#include "tests/support/Pictures.h"
#include "tests/support/WinPlaces.h"
#include "upload/KestrelDlg.h"
#include "upload/res/UploadIds.h"
#include "upload/tests/DialogScripts.h"
#include "win/CodePage.h"
#include "win/Handles.h"
#include "win/SpecialFolder.h"

using namespace testing_support;

namespace {

const std::string kWork = places::windowsPath(SW_UPLOAD_ONLINE_DIR);

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Closes every backend wait as soon as it shows, instead of waiting its 30 seconds.
class BackendWaitCloser {
  public:
    BackendWaitCloser()
        : m_thread([this] {
              while (!m_stop) {
                  const HWND wait = waitForWindow("Finishing upload...", nullptr, IDC_BACKEND_TEXT, 50);
                  if (wait) {
                      ++m_closed;
                      PostMessageA(wait, WM_CLOSE, 0, 0);
                      waitUntil([wait] { return IsWindow(wait) == FALSE; });
                  }
              }
          }) {}
    ~BackendWaitCloser() {
        m_stop = true;
        m_thread.join();
    }
    int closed() const { return m_closed; }

  private:
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_closed{0};
    std::thread m_thread;
};

struct Inputs {
    bool fileMode = true;
    std::string path;
    int category = 1;     // list index: Movies
    int subcategory = 0;  // "(optional)"
    std::string name;
    std::string description = "A film about films, in colour.";
    std::vector<std::string> pictures;
};

class UploadOnline : public OnlineTest {
  protected:
    UploadOnline() {
        CreateDirectoryA(kWork.c_str(), nullptr);
        m_inputs = loggedIn({"1;Movies", "2;TV Shows", "3;Music"}, m_site.host());
        m_inputs.workingFolder = kWork;
        m_inputs.currentFolder = kWork;
        m_inputs.newTorrentPath = kWork + "\\MyNew.torrent";
        m_record = kWork + "\\client-record.txt";
        DeleteFileA(m_record.c_str());
        SetEnvironmentVariableA("SW_CLIENT_RECORD", m_record.c_str());
        login();
    }

    void login() {
        site::FormRequest form;
        ASSERT_TRUE(form.open(m_site.host(), "/takelogin.php").ok);
        form.addText("username", "alice");
        form.addText("password", "wonderland");
        form.addText("returnto", "/genrelist.php");
        ASSERT_TRUE(form.send().ok);
    }

    // Content of its own for each upload, so the site never sees the same torrent twice.
    std::string makeFile(const std::string& relative, size_t size, char seed) {
        const std::string path = kWork + "\\" + relative;
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i)
            bytes[i] = char(seed + i * 31 + i / 977);
        writeFileBytes(path, bytes);
        return path;
    }

    // A picture the site accepts, with bytes of its own.
    std::string makePicture(const std::string& relative, char seed) {
        const std::string path = kWork + "\\" + relative;
        writeFileBytes(path, gifPicture(std::string(100, seed)));
        return path;
    }

    std::string standinClient(const char* variant) const {
        return places::windowsPath(SW_STANDIN_CLIENT_DIR) + "\\" + variant + "\\uTorrent.exe";
    }

    // Fills the dialog, presses Upload and waits until the dialog is idle again.
    void upload(const Inputs& in) {
        CKestrelDlg dialog(m_inputs);
        BackendWaitCloser closer;
        std::thread chooser;
        if (m_clientChoice != 0)
            chooser = std::thread([this] {
                const HWND choice = waitForWindow("Please choose your Client", nullptr, IDC_AZUREUS, 60000);
                if (choice)
                    PostMessageA(choice, WM_COMMAND, MAKEWPARAM(m_clientChoice, BN_CLICKED), 0);
                m_choiceShown = choice != nullptr;
            });
        const auto run = runModal(
            dialog,
            [&](HWND dlg) {
                pressButton(dlg, in.fileMode ? IDC_UPLOAD_FILE : IDC_UPLOAD_FOLDER);
                SetDlgItemTextA(dlg, IDC_PATH, in.path.c_str());
                choose(dlg, IDC_CATEGORY, in.category);
                choose(dlg, IDC_SUBCATEGORY1, in.subcategory);
                SetDlgItemTextA(dlg, IDC_NAME, in.name.c_str());
                SetDlgItemTextA(dlg, IDC_DESCRIPTION, in.description.c_str());
                for (const std::string& p : in.pictures)
                    EXPECT_TRUE(dialog.addPicture(p));
                pressButton(dlg, IDC_UPLOAD);
                EXPECT_TRUE(waitUntil([&] { return !dialog.isBusy(); }, 120000));
                m_finalStatusHidden = !IsWindowVisible(GetDlgItem(dlg, IDC_STATUS));
                m_uploadText = itemText(dlg, IDC_UPLOAD);
                m_lastStatus = itemText(dlg, IDC_STATUS);
                m_fieldsKept =
                    itemText(dlg, IDC_PATH) == in.path && itemText(dlg, IDC_NAME) == in.name &&
                    itemText(dlg, IDC_DESCRIPTION) == in.description &&
                    SendDlgItemMessageA(dlg, IDC_PICTURES, LVM_GETITEMCOUNT, 0, 0) == LRESULT(in.pictures.size());
                pressButton(dlg, IDCANCEL);
            },
            180000);
        EXPECT_FALSE(run.leftOpen);
        m_backendWaits = closer.closed();
        if (chooser.joinable())
            chooser.join();
    }

    // One block of the stand-in client's record per start: its arguments.
    std::vector<std::vector<std::string>> clientStarts() const {
        std::vector<std::vector<std::string>> starts;
        std::ifstream in(m_record);
        for (std::string line; std::getline(in, line);) {
            if (line == "start")
                starts.emplace_back();
            else if (line.rfind("arg ", 0) == 0 && !starts.empty())
                starts.back().push_back(line.substr(4));
            else if (line.rfind("copy ", 0) == 0)
                m_copies.push_back(line.substr(5));
        }
        return starts;
    }

    // The client runs on its own after the hand-off: give it time to write its record.
    std::vector<std::vector<std::string>> awaitClientStarts(std::size_t count) const {
        std::vector<std::vector<std::string>> starts;
        for (int attempt = 0; attempt < 300; ++attempt) {
            const std::vector<std::string> copiesBefore = m_copies;
            starts = clientStarts();
            if (starts.size() >= count)
                break;
            m_copies = copiesBefore;
            Sleep(100);
        }
        return starts;
    }

    // The check after the run: libtorrent must find the data complete where the client was told.
    // The host reads the list in UTF-8, as the client's record has its paths.
    void expectCompleteIn(const std::string& saveFolder) const {
        ASSERT_FALSE(m_copies.empty());
        std::ofstream list(kWork + "\\client-checks.txt", std::ios::app);
        list << m_copies.back() << "\t" << toUtf8(saveFolder) << "\n";
        list.flush();
        EXPECT_TRUE(list.good()) << "no line for the data check in client-checks.txt";
    }

    KestrelInputs m_inputs;  // what the program gives the main dialog
    std::string m_record;
    int m_clientChoice = 0;  // the button pressed in "Please choose your Client"
    bool m_choiceShown = false;
    mutable std::vector<std::string> m_copies;
    bool m_finalStatusHidden = false;
    std::string m_uploadText;
    std::string m_lastStatus;  // the status line's text, hidden at the end
    bool m_fieldsKept = false;
    int m_backendWaits = 0;
};

TEST_F(UploadOnline, FileModeWithUtorrent3) {
    m_inputs.clients.utorrent = standinClient("v3");
    CreateDirectoryA((kWork + "\\Data").c_str(), nullptr);
    Inputs in;
    in.path = makeFile("Data\\film.mkv", 300000, 'f');
    in.name = "My Film";
    in.pictures = {makePicture("a.gif", 'a'), makePicture("b.gif", 'b'), makePicture("c.gif", 'c')};
    const int before = m_site.requestCount();
    upload(in);

    const std::vector<StandinRequest> sent = m_site.requestsSince(before);
    ASSERT_EQ(sent.size(), 6u);
    const char* order[] = {"c.gif", "b.gif", "a.gif"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sent[i].m_target, "/doupload.php");
        EXPECT_EQ(formField(sent[i].m_body, "upload"), "Upload");
        EXPECT_TRUE(contains(sent[i].m_body, std::string("name=\"ulpic\"; filename=\"") + order[i] + "\""));
    }
    const std::string& form = sent[3].m_body;
    const char* fields[] = {"descr", "type", "scat1", "scat2", "scat3", "scat4", "name", "checktorrent", "swr", "file"};
    size_t last = 0;
    for (const char* field : fields) {
        const size_t at = form.find(std::string("name=\"") + field + "\"");
        ASSERT_NE(at, std::string::npos) << field;
        EXPECT_GT(at, last) << field;
        last = at;
    }
    EXPECT_EQ(formField(form, "type"), "1");
    EXPECT_EQ(formField(form, "scat1"), "-1");
    EXPECT_EQ(formField(form, "name"), "My Film");
    EXPECT_EQ(formField(form, "checktorrent"), "1");
    EXPECT_EQ(formField(form, "swr"), "yes");
    EXPECT_TRUE(contains(form, "name=\"file\"; filename=\"My Film.torrent\""));
    EXPECT_EQ(sent[4].m_method, "GET");  // the site's answer page after its redirect
    EXPECT_TRUE(contains(sent[4].m_target, "/details.php?id="));
    EXPECT_TRUE(contains(sent[5].m_target, "/download.php/"));

    // debug.html is the answer page as it came; fetched again it is the same page.
    ASSERT_TRUE(site::Download().intoFile(m_site.host(), sent[4].m_target, kWork + "\\answer-again.html").ok);
    const std::string debug = readFileBytes(kWork + "\\debug.html");
    EXPECT_EQ(debug, readFileBytes(kWork + "\\answer-again.html"));
    EXPECT_TRUE(contains(debug, "Successfully uploaded!"));

    // The site took the three pictures: its listing (newest first) shows them with the upload.
    ASSERT_TRUE(site::Download().intoFile(m_site.host(), "/", kWork + "\\listing.html").ok);
    const std::string listing = readFileBytes(kWork + "\\listing.html");
    const std::string upToName = listing.substr(0, listing.find(">My Film</a>"));
    std::size_t pictures = 0;
    for (std::size_t at = upToName.rfind("<div class=\"card\">");
         (at = upToName.find("<img ", at + 1)) != std::string::npos;)
        ++pictures;
    EXPECT_EQ(pictures, 3u);

    EXPECT_EQ(m_boxes.texts(), std::vector<std::string>{"Upload Complete!"});
    EXPECT_EQ(m_backendWaits, 1);
    EXPECT_TRUE(m_finalStatusHidden);
    EXPECT_EQ(m_uploadText, "Upload");

    const auto starts = awaitClientStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0], (std::vector<std::string>{"/directory", kWork + "\\Data\\", kWork + "\\swr.torrent"}));
    expectCompleteIn(kWork + "\\Data\\");
}

TEST_F(UploadOnline, FolderModeByClientVersion) {
    struct Case {
        const char* variant;
        const char* expectedDirectory;  // below the work folder
    };
    const Case cases[] = {{"v2", "\\Pack\\Film2"}, {"v3", "\\Pack\\"}, {"plain", "\\Pack\\"}};
    CreateDirectoryA((kWork + "\\Pack").c_str(), nullptr);
    char seed = 'A';
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variant);
        m_boxes.clear();
        DeleteFileA(m_record.c_str());
        const std::string folder = std::string("Pack\\Film") + (c.variant[0] == 'v' ? c.variant + 1 : "P");
        CreateDirectoryA((kWork + "\\" + folder).c_str(), nullptr);
        CreateDirectoryA((kWork + "\\" + folder + "\\Extras").c_str(), nullptr);
        makeFile(folder + "\\part1.bin", 40000, seed++);
        makeFile(folder + "\\Extras\\part2.bin", 70000, seed++);
        m_inputs.clients.utorrent = standinClient(c.variant);
        Inputs in;
        in.fileMode = false;
        in.path = kWork + "\\" + folder + (c.variant[0] == 'p' ? "\\" : "");
        in.name = std::string("Folder film ") + c.variant;
        in.subcategory = 3;  // Music
        in.pictures = {makePicture("cover.gif", seed++)};
        upload(in);

        EXPECT_EQ(m_boxes.texts(), std::vector<std::string>{"Upload Complete!"});
        m_copies.clear();
        const auto starts = awaitClientStarts(1);
        ASSERT_EQ(starts.size(), 1u);
        const std::string expected =
            c.variant[0] == 'v' && c.variant[1] == '2' ? kWork + "\\" + folder : kWork + c.expectedDirectory;
        EXPECT_EQ(starts[0], (std::vector<std::string>{"/directory", expected, kWork + "\\swr.torrent"}));
        // uTorrent 2 takes the data folder itself; libtorrent wants the folder above it.
        expectCompleteIn(kWork + "\\Pack\\");
    }
}

TEST_F(UploadOnline, ARefusedUploadShowsTheSitesReason) {
    m_inputs.clients.utorrent = standinClient("v3");
    Inputs in;
    in.path = makeFile("twice.bin", 20000, 't');
    in.name = "Twice uploaded";
    in.pictures = {makePicture("t.gif", 'p')};
    upload(in);
    ASSERT_EQ(m_boxes.texts(), std::vector<std::string>{"Upload Complete!"});
    m_boxes.clear();
    // The first upload's client writes its record on its own time: only then is it cleared.
    ASSERT_EQ(awaitClientStarts(1).size(), 1u);
    DeleteFileA(m_record.c_str());

    upload(in);
    // The picture the site took waits for the next torrent, which the member is told as the dialog closes.
    EXPECT_EQ(m_boxes.texts(),
              (std::vector<std::string>{"Upload Failed:\n\nTorrent exists already\n\nThe site keeps the pictures t.gif "
                                        "for the next torrent: uploading this content again reuses them.",
                                        "These pictures wait on the site for the next torrent: t.gif\n\nThe site "
                                        "offers no way to withdraw them: they will be attached to the next torrent "
                                        "uploaded."}));
    EXPECT_TRUE(clientStarts().empty());
    EXPECT_EQ(m_backendWaits, 0);
    EXPECT_TRUE(contains(readFileBytes(kWork + "\\debug.html"), "<h2>Upload failed!</h2>"));
}

TEST_F(UploadOnline, CancellingTheHashingLeavesNoRequestOnTheWire) {
    m_inputs.clients.utorrent = standinClient("v3");
    // A large sparse file: hashing it takes long enough to cancel.
    const std::string big = kWork + "\\big.bin";
    {
        const win::CHandle file(
            CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_NE(file.get(), INVALID_HANDLE_VALUE);
        LARGE_INTEGER size;
        size.QuadPart = 1LL << 30;
        SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN);
        SetEndOfFile(file.get());
    }
    std::atomic<bool> cancelled{false};
    std::thread canceller([&] {
        const HWND progress = waitForWindow("Creating Torrent...", nullptr, IDCANCEL, 60000);
        if (progress) {
            PostMessageA(progress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            cancelled = true;
        }
    });
    Inputs in;
    in.path = big;
    in.name = "Never sent";
    in.pictures = {makePicture("n.gif", 'n')};
    const int before = m_site.requestCount();
    upload(in);
    canceller.join();
    EXPECT_TRUE(cancelled.load());
    EXPECT_EQ(m_site.requestCount(), before);
    EXPECT_TRUE(m_boxes.texts().empty());
    EXPECT_TRUE(m_finalStatusHidden);
    EXPECT_EQ(m_uploadText, "Upload");
    DeleteFileA(big.c_str());
}

// A site that cannot be reached, stalls, drip-feeds, breaks off, fails or sends without end:
// one message that names the step, the site and the reason, within the request limits (2
// seconds a step here); then the idle dialog with every field as it was, and nothing handed to
// the client. Where the pictures went out before the torrent form failed, the status says so.
TEST_F(UploadOnline, FaultsAtTheSiteEndTheUploadWithOneMessage) {
    m_inputs.clients.utorrent = standinClient("v3");
    const std::string host = m_site.host();
    const std::string picture = "Upload Failed:\n\nPosting the picture f.gif to " + host + " failed.\n\n";
    const std::string form = "Upload Failed:\n\nPosting the torrent form to " + host + " failed.\n\n";
    const std::string copy = "Failed to download https://" + host + "/download.php/";
    const std::string kept =
        "The site keeps the pictures f.gif for the next torrent: uploading this content again reuses them.";
    const struct {
        const char* scenario;
        std::string box;     // the one message holds it
        const char* status;  // the status line at the end
    } faults[] = {
        {"unreachable",
         "Upload Failed:\n\nPosting the picture f.gif to localhost:1 failed.\n\nCannot connect to localhost:1.",
         "Upload Failed..."},
        // A connection kept from before is dropped at its next request, a new one meets the stall.
        {R"({"fault": {"accept": "stall"}})", "Upload Failed:\n\nPosting the ", nullptr},
        {R"({"fault": {"/doupload.php": "stall"}})", picture + "The site did not answer within 2 seconds.",
         "Upload Failed..."},
        {R"({"fault": {"/doupload.php": "drip"}})", picture + "The site did not finish its answer within 8 seconds.",
         "Upload Failed..."},
        // The reset may meet the picture or, on a connection WinINet opens anew, the torrent form.
        {R"({"fault": {"/doupload.php": "reset"}})", "Upload Failed:\n\nPosting the ", nullptr},
        {R"({"fault": {"/doupload.php": "short"}})", picture + "The answer broke off after ", "Upload Failed..."},
        {R"({"status": {"/doupload.php#torrent": 500}})", form + "The site answered 500.\n\n" + kept,
         "Upload Failed... The pictures were posted, the torrent was not."},
        // An answer too large to read is no whole answer: the site may have taken the torrent.
        {R"({"fault": {"/doupload.php#torrent": "huge"}})",
         form + "The answer is larger than 8 MiB.\n\n" + upload::kTorrentUnknown +
             "\n\nThe pictures f.gif are on "
             "the site: uploading this content again does not post them again.",
         "Upload Failed... The torrent may or may not have been posted."},
        {R"({"copy": "empty"})",
         "The site's copy of the torrent does not match the upload:\n\nThe file from the site is not a torrent",
         "Re-Download of torrent..."},
        {R"({"fault": {"/download.php/": "huge"}})", copy, "Re-Download of torrent..."},
    };
    _putenv("SEEDWRIGHT_TIMEOUT=2");
    char seed = 'F';
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.scenario);
        m_boxes.clear();
        DeleteFileA(m_record.c_str());
        const bool unreachable = std::string(fault.scenario) == "unreachable";
        m_inputs.session.m_siteHost = unreachable ? "localhost:1" : host;
        m_site.setScenario(unreachable ? "{}" : fault.scenario);
        Inputs in;
        // Content of this run's own: the site keeps what earlier runs uploaded.
        in.path = kWork + "\\fault-" + seed + ".bin";
        writeFileBytes(in.path, std::string(9000, seed) + std::to_string(GetTickCount64()));
        in.name = std::string("Faulty site ") + seed;
        in.pictures = {makePicture("f.gif", seed++)};
        const ULONGLONG start = GetTickCount64();
        upload(in);
        const double seconds = double(GetTickCount64() - start) / 1000;
        const std::vector<std::string> boxes = m_boxes.texts();
        // Then, where the picture waits on the site for a torrent that did not follow, the word about
        // it as the dialog closes.
        ASSERT_TRUE(boxes.size() == 1 ||
                    (boxes.size() == 2 &&
                     boxes[1].rfind("These pictures wait on the site for the next torrent: f.gif", 0) == 0))
            << m_lastStatus;
        EXPECT_NE(boxes[0].find(fault.box), std::string::npos) << boxes[0];
        if (fault.status) {
            EXPECT_EQ(m_lastStatus, fault.status);
        }
        EXPECT_TRUE(m_finalStatusHidden);
        EXPECT_EQ(m_uploadText, "Upload");
        EXPECT_TRUE(m_fieldsKept);
        EXPECT_EQ(m_backendWaits, 0);
        EXPECT_LT(seconds, 30.0);
        std::printf("%-48s %5.1f s  %s\n", fault.scenario, seconds, boxes[0].c_str());
        // The torrent form's error page is kept for a look, as any answer is.
        if (contains(fault.scenario, "500")) {
            EXPECT_TRUE(contains(readFileBytes(kWork + "\\debug.html"), "<h1>Error 500</h1>"));
        }
        Sleep(300);
        EXPECT_TRUE(clientStarts().empty());
    }
    _putenv("SEEDWRIGHT_TIMEOUT=");
    m_inputs.session.m_siteHost = host;
}

TEST_F(UploadOnline, AFailedDownloadIsNotHandedToTheClient) {
    m_inputs.clients.utorrent = standinClient("v3");
    m_site.setScenario("{\"status\": {\"/download.php/\": 404}}");
    Inputs in;
    in.path = makeFile("lost.bin", 5000, 'l');
    in.name = "Lost download";
    in.pictures = {makePicture("l.gif", 'q')};
    upload(in);
    const std::vector<std::string> boxes = m_boxes.texts();
    EXPECT_FALSE(boxes.empty());  // the download's own message
    for (const std::string& text : boxes)
        EXPECT_NE(text, "Upload Complete!");
    EXPECT_TRUE(clientStarts().empty());
    EXPECT_EQ(m_backendWaits, 0);
}

TEST_F(UploadOnline, WithAzureusKnownTheUserChoosesTheClient) {
    m_inputs.clients.utorrent = standinClient("v3");
    m_inputs.clients.azureus = standinClient("plain");  // stands in for Azureus
    CreateDirectoryA((kWork + "\\Choice").c_str(), nullptr);

    m_clientChoice = IDC_UTORRENT;
    Inputs in;
    in.path = makeFile("Choice\\one.bin", 8000, '1');
    in.name = "Chosen uTorrent";
    in.pictures = {makePicture("u.gif", 'u')};
    upload(in);
    EXPECT_TRUE(m_choiceShown);
    auto starts = awaitClientStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0], (std::vector<std::string>{"/directory " + kWork + "\\Choice\\", kWork + "\\swr.torrent"}));

    DeleteFileA(m_record.c_str());
    m_clientChoice = IDC_AZUREUS;
    in.path = makeFile("Choice\\two.bin", 8000, '2');
    in.name = "Chosen Azureus";
    upload(in);
    starts = awaitClientStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0], std::vector<std::string>{kWork + "\\swr.torrent"});
    EXPECT_EQ(m_boxes.texts(), (std::vector<std::string>{"Upload Complete!", "Upload Complete!"}));
    m_inputs.clients.azureus.clear();
}

// qBittorrent is told the folder that holds the content as the layout in the member's settings file
// wants it. A single file it would put into a folder of its own, and a client that is gone, end in
// no "Upload Complete!" but in where the site's copy and the data lie, and the copy stays there.
TEST_F(UploadOnline, QbittorrentAndAClientThatCannotBeStarted) {
    const std::string qbittorrent = places::windowsPath(SW_STANDIN_CLIENT_DIR) + "\\qbittorrent\\qbittorrent.exe";
    const std::string settings = win::specialFolderPath(CSIDL_APPDATA, true) + "\\qBittorrent";
    CreateDirectoryA(settings.c_str(), nullptr);
    const std::string ini = settings + "\\qBittorrent.ini";
    CreateDirectoryA((kWork + "\\QB").c_str(), nullptr);
    const std::string notStarted = "The torrent is on the site, but the client could not be started:\n\n";
    const std::string addIt =
        "\n\nAdd " + kWork + "\\swr.torrent to your client with the data in " + kWork + "\\QB to seed it.";
    const struct {
        const char* layout;  // the settings file's, none when empty
        bool fileMode;
        bool gone;               // the client's file is not there
        const char* saveFolder;  // below the work folder; empty: not started
        std::string box;         // the start of the one box
    } cases[] = {
        {"", false, false, "\\QB", "Upload Complete!"},
        {"NoSubfolder", false, false, "\\QB\\FilmB", "Upload Complete!"},
        {"Subfolder", true, false, "", notStarted + "qBittorrent is set to put a single file into a folder of its own"},
        {"", true, true, "", notStarted + kWork + "\\gone\\uTorrent.exe: "},
    };
    char seed = 'A';
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.layout) + (c.fileMode ? " file" : " folder"));
        m_boxes.clear();
        DeleteFileA(m_record.c_str());
        DeleteFileA(ini.c_str());
        if (*c.layout)
            writeFileBytes(ini, std::string("[BitTorrent]\r\nSession\\TorrentContentLayout=") + c.layout + "\r\n");
        m_inputs.clients.utorrent = c.gone ? kWork + "\\gone\\uTorrent.exe" : qbittorrent;
        Inputs in;
        in.fileMode = c.fileMode;
        const std::string folder = std::string("QB\\Film") + seed;
        CreateDirectoryA((kWork + "\\" + folder).c_str(), nullptr);
        in.path =
            c.fileMode ? makeFile("QB\\single-" + std::string(1, seed) + ".bin", 30000, seed) : kWork + "\\" + folder;
        if (!c.fileMode) {
            makeFile(folder + "\\one.bin", 20000, seed);
            makeFile(folder + "\\two.bin", 50000, char(seed + 1));
        }
        in.name = std::string("Handed to qBittorrent ") + seed;
        in.pictures = {makePicture("q.gif", seed)};
        ++seed;
        upload(in);

        const std::vector<std::string> boxes = m_boxes.texts();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].substr(0, c.box.size()), c.box);
        if (!*c.saveFolder) {
            std::printf("%s\n", boxes[0].c_str());
            EXPECT_EQ(boxes[0].substr(boxes[0].size() - std::min(boxes[0].size(), addIt.size())), addIt);
            EXPECT_TRUE(readFileBytes(kWork + "\\swr.torrent").size() > 0);
            Sleep(500);
            EXPECT_TRUE(clientStarts().empty());
            continue;
        }
        EXPECT_EQ(boxes[0], c.box);
        m_copies.clear();
        const auto starts = awaitClientStarts(1);
        ASSERT_EQ(starts.size(), 1u);
        EXPECT_EQ(starts[0], (std::vector<std::string>{"--save-path=" + kWork + c.saveFolder, "--skip-dialog=true",
                                                       kWork + "\\swr.torrent"}));
        if (!*c.layout)
            expectCompleteIn(kWork + c.saveFolder);
    }
    DeleteFileA(ini.c_str());
    RemoveDirectoryA(settings.c_str());
}

// The site's copy is checked before the hand-off: only one that describes the upload's content
// reaches the client, whatever the site changed outside "info".
TEST_F(UploadOnline, TheSitesCopyMustDescribeTheUpload) {
    m_inputs.clients.utorrent = standinClient("v3");
    CreateDirectoryA((kWork + "\\Copies").c_str(), nullptr);
    const struct {
        const char* variant;
        const char* reason;  // empty: accepted
    } cases[] = {
        {"html", "The file from the site is not a torrent (byte 1: not the start of a bencode value)."},
        {"truncated", "The file from the site is not a torrent ("},
        {"other", "The file from the site has another \""},
        {"private", ""},
    };
    char seed = 'k';
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant);
        m_boxes.clear();
        DeleteFileA(m_record.c_str());
        m_site.setScenario(std::string("{\"copy\": \"") + c.variant + "\"}");
        Inputs in;
        in.path = makeFile(std::string("Copies\\") + c.variant + ".bin", 30000, seed++);
        in.name = std::string("Copy check ") + c.variant;
        in.pictures = {makePicture("k.gif", seed++)};
        upload(in);
        const std::vector<std::string> boxes = m_boxes.texts();
        if (*c.reason == '\0') {
            EXPECT_EQ(boxes, std::vector<std::string>{"Upload Complete!"});
            ASSERT_EQ(awaitClientStarts(1).size(), 1u);
            expectCompleteIn(kWork + "\\Copies\\");
            continue;
        }
        ASSERT_EQ(boxes.size(), 1u);
        const std::string expected =
            std::string("The site's copy of the torrent does not match the upload:\n\n") + c.reason;
        EXPECT_EQ(boxes[0].substr(0, expected.size()), expected);
        EXPECT_EQ(m_backendWaits, 0);
        Sleep(500);
        EXPECT_TRUE(clientStarts().empty());
    }
}

// In the Western code page of this test program: é ’ “ ” – € ½ in the names of the folder, its
// files and a picture, the displayed name and the description all leave the program in UTF-8.
TEST_F(UploadOnline, WesternNamesAndTextsArriveInUtf8) {
    auto acp = [](const std::string& utf8) {
        std::wstring wide(utf8.size(), L'\0');
        wide.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], int(wide.size()))));
        std::string narrow;
        EXPECT_TRUE(win::codepage::narrow(wide, narrow)) << utf8;
        return narrow;
    };
    ASSERT_EQ(win::codepage::activeCodePage(), 1252u);
    m_inputs.clients.utorrent = standinClient("v3");
    const std::string folder = "Noël – “Café” ½ €";
    const std::string name = "Café “Noël” – ½ € ’s";
    const std::string description = "Pasted from a word processor: “quotes”, ’apostrophes’ – and • bullets.";
    CreateDirectoryA((kWork + "\\" + acp(folder)).c_str(), nullptr);
    makeFile(acp(folder + "\\Café.bin"), 70000, 'w');
    makeFile(acp(folder + "\\’quoted’ – €.txt"), 900, 'x');
    Inputs in;
    in.fileMode = false;
    in.path = kWork + "\\" + acp(folder);
    in.name = acp(name);
    in.description = acp(description);
    in.pictures = {makePicture(acp("Café ½.gif"), 'y')};
    const int before = m_site.requestCount();
    upload(in);
    EXPECT_EQ(m_boxes.texts(), std::vector<std::string>{"Upload Complete!"});

    const std::vector<StandinRequest> sent = m_site.requestsSince(before);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(formFileName(sent[0].m_body, "ulpic"), "Café ½.gif");
    EXPECT_EQ(formField(sent[1].m_body, "name"), name);
    EXPECT_EQ(formField(sent[1].m_body, "descr"), description);
    EXPECT_EQ(formFileName(sent[1].m_body, "file"), name + ".torrent");
    // The site decoded them and lists them as they are.
    ASSERT_TRUE(site::Download().intoFile(m_site.host(), "/", kWork + "\\index.html").ok);
    EXPECT_TRUE(contains(readFileBytes(kWork + "\\index.html"), name));

    const auto starts = awaitClientStarts(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0][1], toUtf8(kWork) + "\\");
    // libtorrent finds the data by the names in the torrent, which are UTF-8.
    expectCompleteIn(kWork + "\\");
}

}  // namespace
