#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/ModalDriver.h"
#include "tests/support/Pictures.h"
#include "upload/FileChecks.h"
#include "upload/InputChecks.h"
#include "upload/KestrelDlg.h"
#include "upload/res/UploadIds.h"
#include "upload/tests/DialogScripts.h"
#include "win/Handles.h"
#include "win/MessageBox.h"

using namespace testing_support;

namespace {

// Holds the upload in its hashing step until released; records what it was asked.
class HeldServices : public upload::UploadServices {
  public:
    HeldServices() : m_release(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    void release() { SetEvent(m_release.get()); }

    std::atomic<int> builds{0};
    std::vector<std::string> statuses;
    std::vector<std::vector<upload::FormField>> forms;

    void setStatus(const std::string& text) override { statuses.push_back(text); }
    // The content paths here are made up; the pictures are real files, looked at as the real
    // services look at them.
    std::string contentProblem(const std::string&, bool) override { return std::string(); }
    std::string pictureProblem(const std::string& path) override {
        return upload::pictureReason(upload::lookAtPicture(path));
    }
    // The real box, as the worker shows it.
    void message(const std::string& text) override { appMessageBox(text); }
    void success(const std::string& text) override { appMessageBox(text, MB_ICONINFORMATION); }
    BuildResult buildTorrent(const std::string&, bool, const std::string&) override {
        ++builds;
        WaitForSingleObject(m_release.get(), 30000);
        if (m_throw)
            throw std::runtime_error("injected into the sequence");
        return BuildResult::written();
    }
    upload::PostAnswer postForm(const std::string&, const std::vector<upload::FormField>& fields) override {
        forms.push_back(fields);
        upload::PostAnswer answer;
        answer.page = fields.back().name == "ulpic" ? "<h2>Picture uploaded</h2>\n"
                                                    : "<a href=\"/download.php/1/My%20Film.torrent\">My Film</a>\n";
        return answer;
    }
    bool writeFile(const std::string&, const std::string&) override { return true; }
    bool readFile(const std::string&, std::size_t, std::string&) override { return false; }
    upload::DownloadResult downloadTorrent(const std::string&, const std::string&, const std::string&) override {
        return upload::DownloadResult{false, true, ""};  // the member cancelled it: the upload ends quietly
    }
    void waitForBackend(const std::string&) override {}
    client::ExecutableFacts clientVersion(const std::string&) override { return {}; }
    client::ContentLayout qbittorrentLayout(const std::string&) override { return client::ContentLayout::Original; }
    upload::ClientChoice chooseClient() override { return upload::ClientChoice::Closed; }
    upload::ClientStarted startClient(const upload::ClientStart&) override { return {}; }

    bool m_throw = false;

  private:
    win::CHandle m_release;
};

KestrelInputs session() {
    return loggedIn({"12;Movies", "13;Music"}, "tracker");
}

bool visible(HWND dlg, int id) {
    return IsWindowVisible(GetDlgItem(dlg, id)) != FALSE;
}

// Whether each input the upload reads is enabled.
std::vector<bool> enabledInputs(HWND dlg) {
    const int ids[] = {IDC_UPLOAD_FILE,    IDC_UPLOAD_FOLDER, IDC_PATH,         IDC_BROWSE,       IDC_CATEGORY,
                       IDC_SUBCATEGORY1,   IDC_SUBCATEGORY2,  IDC_SUBCATEGORY3, IDC_SUBCATEGORY4, IDC_ADD_PICTURE,
                       IDC_REMOVE_PICTURE, IDC_NAME,          IDC_DESCRIPTION};
    std::vector<bool> enabled;
    for (int id : ids)
        enabled.push_back(IsWindowEnabled(GetDlgItem(dlg, id)) != FALSE);
    return enabled;
}

std::string pictureFile(const std::string& name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + name;
    std::ofstream(path, std::ios::binary) << gifPicture(name);
    return path;
}

// Presses "Upload Torrent" and returns the text of the message box that answers it.
std::string uploadRefused(HWND dlg) {
    postButton(dlg, IDC_UPLOAD);
    return answerMessageBox(dlg);
}

TEST(UploadDlg, ChecksInOrderWithTheirMessages) {
    CKestrelDlg dialog(session());
    HeldServices services;
    dialog.m_services = &services;
    runModal(dialog, [&](HWND dlg) {
        EXPECT_EQ(uploadRefused(dlg), "Please select a path to a File or a Directory first!");
        EXPECT_EQ(itemText(dlg, IDC_UPLOAD), "Upload");
        EXPECT_TRUE(visible(dlg, IDC_UPLOAD));
        EXPECT_TRUE(visible(dlg, IDCANCEL));
        EXPECT_FALSE(visible(dlg, IDC_STATUS));

        pressButton(dlg, IDC_UPLOAD_FILE);
        SetDlgItemTextA(dlg, IDC_PATH, " ");
        EXPECT_EQ(uploadRefused(dlg), "Please select a Category!");
        // Typed into the category box: a name that is no entry's counts as none, an entry's
        // name in any letter case selects it.
        SetWindowTextA(comboEdit(dlg, IDC_CATEGORY), "Jazz");
        EXPECT_EQ(uploadRefused(dlg), "Please select a Category!");
        EXPECT_EQ(itemText(dlg, IDC_CATEGORY), "Jazz");
        SetWindowTextA(comboEdit(dlg, IDC_CATEGORY), "mUSIC");
        SetDlgItemTextA(dlg, IDC_NAME, "Best!?");
        EXPECT_EQ(uploadRefused(dlg), "You have to add at Least one Picture/Cover/Screenshot!");
        EXPECT_EQ(itemText(dlg, IDC_CATEGORY), "Music");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_SUBCATEGORY1)));
        EXPECT_EQ(itemText(dlg, IDC_NAME), "Best!?");

        dialog.addPicture(pictureFile("only.jpg"));
        EXPECT_EQ(uploadRefused(dlg),
                  "Please enter a Descriptive Name for your Torrent ( at least 5 chars ) !\n"
                  "It will be Displayed when Browsing for Torrents....");
        EXPECT_EQ(itemText(dlg, IDC_NAME), "Best");

        SetDlgItemTextA(dlg, IDC_NAME, " \t   ");
        EXPECT_EQ(uploadRefused(dlg), upload::inputs::kShortName);
        SetDlgItemTextA(dlg, IDC_NAME, "A/B\\C:D");
        SetDlgItemTextA(dlg, IDC_DESCRIPTION, "\r\n 123456789 \r\n");
        EXPECT_EQ(uploadRefused(dlg),
                  "Please enter a good Description. ( at least 10 chars ) !\n"
                  "It will be Displayed when showing the Torrent Details....");
        EXPECT_EQ(itemText(dlg, IDC_NAME), "ABC:D");
        EXPECT_EQ(services.builds.load(), 0);
        pressButton(dlg, IDCANCEL);
    });
}

TEST(UploadDlg, BusyWhileTheWorkerRunsAndClosesOnlyWhenIdle) {
    CKestrelDlg dialog(session());
    HeldServices services;
    dialog.m_services = &services;
    const std::string a = pictureFile("a.jpg"), b = pictureFile("b.jpg");
    bool closedWhileBusy = false;
    LVITEMA selected{};
    selected.stateMask = selected.state = LVIS_SELECTED;
    const auto run = runModal(dialog, [&](HWND dlg) {
        pressButton(dlg, IDC_UPLOAD_FOLDER);
        SetDlgItemTextA(dlg, IDC_PATH, "C:\\Data\\Film");
        choose(dlg, IDC_CATEGORY, 1);
        choose(dlg, IDC_SUBCATEGORY1, 2);
        SetDlgItemTextA(dlg, IDC_NAME, "My \"Film\"");
        SetDlgItemTextA(dlg, IDC_DESCRIPTION, "A film about films.");
        dialog.addPicture(a);
        dialog.addPicture(b);
        const std::vector<bool> before = enabledInputs(dlg);
        pressButton(dlg, IDC_UPLOAD);
        ASSERT_TRUE(waitUntil([&] { return services.builds.load() == 1; }));
        EXPECT_FALSE(visible(dlg, IDC_UPLOAD));
        EXPECT_FALSE(visible(dlg, IDCANCEL));
        EXPECT_TRUE(visible(dlg, IDC_STATUS));
        EXPECT_EQ(itemText(dlg, IDC_STATUS), "Checking input..");
        EXPECT_EQ(enabledInputs(dlg), std::vector<bool>(before.size(), false));

        // Closing asks first, and "No" keeps the upload; Enter does nothing.
        PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(answerMessageBox(dlg, IDNO), CKestrelDlg::kCloseWhileBusy);
        SendMessageA(dlg, WM_COMMAND, IDOK, 0);
        closedWhileBusy = IsWindow(dlg) == FALSE || !IsWindowVisible(dlg);
        EXPECT_TRUE(visible(dlg, IDC_CANCEL_UPLOAD));

        // The context menu's Remove does nothing either.
        SendDlgItemMessageA(dlg, IDC_PICTURES, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));
        pressButton(dlg, IDC_REMOVE_PICTURE);
        EXPECT_EQ(SendDlgItemMessageA(dlg, IDC_PICTURES, LVM_GETITEMCOUNT, 0, 0), 2);
        services.release();
        ASSERT_TRUE(waitUntil([&] { return !dialog.isBusy(); }));
        EXPECT_EQ(enabledInputs(dlg), before);
        EXPECT_EQ(itemText(dlg, IDC_UPLOAD), "Upload");
        EXPECT_TRUE(visible(dlg, IDC_UPLOAD));
        EXPECT_TRUE(visible(dlg, IDCANCEL));
        EXPECT_FALSE(visible(dlg, IDC_CANCEL_UPLOAD));
        EXPECT_FALSE(visible(dlg, IDC_STATUS));
        SendMessageA(dlg, WM_CLOSE, 0, 0);
    });
    EXPECT_FALSE(closedWhileBusy);
    EXPECT_EQ(run.result, IDCANCEL);
    EXPECT_FALSE(run.leftOpen);

    EXPECT_EQ(dialog.m_job.name, "My Film");
    EXPECT_FALSE(dialog.m_job.fileMode);
    EXPECT_EQ(dialog.m_job.category, 12);
    EXPECT_EQ(dialog.m_job.subcategories[0], 13);
    EXPECT_EQ(dialog.m_job.subcategories[1], -1);
    EXPECT_EQ(dialog.m_job.pictures, (std::vector<std::string>{a, b}));
    ASSERT_EQ(services.forms.size(), 3u);  // b, a, then the torrent form
    EXPECT_EQ(services.forms[0][1].value, b);
    EXPECT_EQ(services.forms[1][1].value, a);
    EXPECT_EQ(services.forms[2][6].value, "My Film");
}

// A picture deleted after it was added and one emptied since: one box names both, before anything
// is hashed or sent, and the form stays as it was.
TEST(UploadDlg, PicturesAreLookedAtBeforeTheHashing) {
    CKestrelDlg dialog(session());
    HeldServices services;
    services.release();
    dialog.m_services = &services;
    const std::string gone = pictureFile("gone.jpg"), emptied = pictureFile("emptied.jpg"),
                      fine = pictureFile("fine.jpg");
    std::string text;
    runModal(dialog, [&](HWND dlg) {
        fillFileForm(dlg, 1, "A film about films.");
        for (const std::string& picture : {gone, emptied, fine})
            dialog.addPicture(picture);
        DeleteFileA(gone.c_str());
        std::ofstream(emptied, std::ios::binary | std::ios::trunc);
        postButton(dlg, IDC_UPLOAD);
        text = answerMessageBox(dlg);
        EXPECT_TRUE(waitUntil([&] { return !dialog.isBusy() && visible(dlg, IDC_UPLOAD); }));
        EXPECT_EQ(SendDlgItemMessageA(dlg, IDC_PICTURES, LVM_GETITEMCOUNT, 0, 0), 3);
        EXPECT_EQ(itemText(dlg, IDC_NAME), "My Film");
        pressButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(text, "These pictures cannot be uploaded:\n\n" + gone + ": there is no such file\n" + emptied +
                        ": it is empty");
    EXPECT_EQ(services.builds.load(), 0);
    EXPECT_TRUE(services.forms.empty());
}

// Whatever escapes the sequence, the worker comes back: "Upload Failed..." and a message in front
// of the main dialog, which is disabled while it shows, then idle and closable.
TEST(UploadDlg, AnExceptionInTheSequenceLeavesTheDialogIdleAndClosable) {
    CKestrelDlg dialog(session());
    HeldServices services;
    services.m_throw = true;
    services.release();
    dialog.m_services = &services;
    std::string text;
    HWND owner = nullptr;
    HWND main = nullptr;
    bool mainEnabled = true;
    const auto run = runModal(dialog, [&](HWND dlg) {
        fillFileForm(dlg, 1, "A film about films.");
        dialog.addPicture(pictureFile("x.jpg"));
        pressButton(dlg, IDC_UPLOAD);
        const HWND box = waitForWindow("", dlg, 0xFFFF);
        ASSERT_NE(box, nullptr);
        owner = GetWindow(box, GW_OWNER);
        main = dlg;
        mainEnabled = IsWindowEnabled(dlg) != FALSE;
        text = answerMessageBox(dlg);
        ASSERT_TRUE(waitUntil([&] { return !dialog.isBusy(); }));
        EXPECT_TRUE(visible(dlg, IDC_UPLOAD));
        EXPECT_TRUE(IsWindowEnabled(dlg));
        SendMessageA(dlg, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(text, "Upload Failed:\n\ninjected into the sequence");
    EXPECT_EQ(services.statuses.back(), "Upload Failed...");
    EXPECT_EQ(owner, main);
    EXPECT_FALSE(mainEnabled);
    EXPECT_EQ(run.result, IDCANCEL);
    EXPECT_FALSE(run.leftOpen);
}

}  // namespace
