#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <functional>

#include "app/state/AppState.h"
#include "app/state/SettingsLayout.h"
#include "site/GenreList.h"
#include "site/LoginDlg.h"
#include "site/LoginSequence.h"
#include "site/res/SiteIds.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/OnlineTest.h"
#include "tests/support/WinPlaces.h"
#include "win/Handles.h"

using testing_support::itemText;
using testing_support::pressButton;
using testing_support::runModal;

namespace {

// A registry key of the tests' own, so that no other test program's profile is disturbed.
const char kRegistryKey[] = "SeedwrightLoginTests";
const char kProfileKey[] = "Software\\SeedwrightLoginTests\\Seedwright V1.14\\Settings";

// What a user does in the dialog, from the driver thread.
void chooseSite(HWND dialog, int index) {
    HWND combo = GetDlgItem(dialog, IDC_SITE);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_SITE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void fillIn(HWND dialog, const char* login, const char* password, bool remember) {
    SetDlgItemTextA(dialog, IDC_LOGIN, login);
    SetDlgItemTextA(dialog, IDC_PASSWORD, password);
    SendDlgItemMessageA(dialog, IDC_REMEMBER, BM_SETCHECK, remember ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool loginEnabled(HWND dialog) {
    return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
}

// Presses "Login" and waits for the exchange with the site to end; the status line afterwards,
// or "(closed)" when the dialog ended (it is hidden at once and destroyed when its modal loop
// next runs).
std::string login(HWND dialog) {
    pressButton(dialog, IDOK);
    testing_support::waitUntil([&] { return !IsWindowVisible(dialog) || loginEnabled(dialog); }, 60000);
    return IsWindowVisible(dialog) ? itemText(dialog, IDC_LOGIN_STATUS) : "(closed)";
}

class LoginDlg : public OnlineTest {
  protected:
    LoginDlg() {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\SeedwrightLoginTests");
        m_site.useAsSite();
    }
    ~LoginDlg() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\SeedwrightLoginTests"); }

    // Runs the dialog with the script; a dialog the script leaves open is cancelled.
    INT_PTR run(const std::function<void(HWND)>& script, DWORD limitMs = 20000) {
        CLoginDlg dialog(inputs());
        const testing_support::ModalRun result = runModal(
            dialog,
            [&](HWND window) {
                script(window);
                if (IsWindowVisible(window))
                    pressButton(window, IDCANCEL);
            },
            limitMs);
        m_session = dialog.session();
        EXPECT_TRUE(result.seen);
        EXPECT_FALSE(result.leftOpen);
        return result.result;
    }

    // alice logs in, the whole of it; status: the status line afterwards.
    INT_PTR aliceLogsIn(std::string* status = nullptr) {
        return run([&](HWND dialog) {
            chooseSite(dialog, 1);
            fillIn(dialog, "alice", "wonderland", false);
            const std::string after = login(dialog);
            if (status)
                *status = after;
        });
    }

    bool stored(const char* name, DWORD& type, std::string& data) const {
        win::CRegKey key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kProfileKey, 0, KEY_READ, key.receive()) != ERROR_SUCCESS)
            return false;
        char buffer[2048] = {};
        DWORD size = sizeof buffer;
        if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
            return false;
        data.assign(buffer, size);
        return true;
    }
    bool has(const char* name) const {
        DWORD type = 0;
        std::string data;
        return stored(name, type, data);
    }
    std::string text(const char* name) const {
        DWORD type = 0;
        std::string data;
        if (!stored(name, type, data) || type != REG_SZ)
            return "(not text)";
        return data.c_str();
    }

    LoginInputs inputs() const { return {app::kTitle, app::kBuildNumber, m_profile}; }

    const win::CProfile m_profile{app::settings::profileKey(kRegistryKey, app::kTitle)};
    SiteSession m_session;  // what the last run's dialog gave
};

TEST_F(LoginDlg, OpensEmptyAndWantsASite) {
    std::string caption, first, second, third, status, box;
    LRESULT selected = -2;
    bool readOnly = false;
    EXPECT_EQ(run([&](HWND dialog) {
                  char buffer[256] = {};
                  GetWindowTextA(dialog, buffer, sizeof buffer);
                  caption = buffer;
                  HWND combo = GetDlgItem(dialog, IDC_SITE);
                  selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
                  for (auto [index, out] : {std::pair{0, &first}, {1, &second}, {2, &third}}) {
                      SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer));
                      *out = buffer;
                  }
                  COMBOBOXINFO info = {};
                  info.cbSize = sizeof info;
                  GetComboBoxInfo(combo, &info);
                  readOnly = (GetWindowLongA(info.hwndItem, GWL_STYLE) & ES_READONLY) != 0;
                  status = login(dialog);
              }),
              IDCANCEL);
    EXPECT_EQ(caption, "Seedwright V1.14 - Login");
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(first, "--Select Site--");
    EXPECT_EQ(second, "Velmar Tracker");
    EXPECT_EQ(third, "request integration on helpdesk");
    EXPECT_TRUE(readOnly);
    EXPECT_EQ(status, "");
    EXPECT_EQ(m_boxes.texts(), std::vector<std::string>{"You have to select a Site first!"});
    EXPECT_FALSE(has("LastSite"));
}

TEST_F(LoginDlg, HelpdeskAndMissingPasswordStopBeforeTheSite) {
    const int before = m_site.requestCount();
    std::string helpdesk, missing;
    run([&](HWND dialog) {
        chooseSite(dialog, 2);
        fillIn(dialog, "alice", "wonderland", true);
        helpdesk = login(dialog);
        EXPECT_EQ(text("LastSite"), "(not text)");
        EXPECT_TRUE(has("LastSite"));
        EXPECT_FALSE(has("Remember"));
        chooseSite(dialog, 1);
        fillIn(dialog, "alice", "", true);
        missing = login(dialog);
    });
    EXPECT_EQ(helpdesk, "");
    EXPECT_EQ(missing, "Please enter your Login and Password to proceed");
    EXPECT_EQ(m_profile.GetProfileInt("Settings", "LastSite", 0), 1);
    EXPECT_FALSE(has("Remember"));
    EXPECT_FALSE(has("Login1"));
    EXPECT_EQ(m_site.requestCount(), before);
    EXPECT_EQ(m_session.m_siteHost, m_site.host());
    EXPECT_TRUE(m_boxes.texts().empty());
}

// Every refusal and every failure, a site that stalls, drip-feeds, breaks off or sends without
// end included, keeps the dialog open with its reason in the status line, within the request
// limits (2 seconds a step here); the dialog stays alive meanwhile and takes no second press.
// Only the good login at the end fills the session, with exactly the site's categories.
TEST_F(LoginDlg, SiteRefusalsAndFailuresShowInTheStatusLineAndTheUserTriesAgain) {
    struct Attempt {
        const char* scenario;
        const char* user;
        const char* password;
        const char* status;  // the status line holds it
        bool probe = false;  // also checks the dialog while it waits for the site
    };
    const Attempt attempts[] = {
        {R"({"blocked": true})", "alice", "wonderland", "Your IP is blocked for 24 hours"},
        {"{}", "alice", "wrong", "Login incorrect"},
        {"{}", "nobody", "x", "Username not found"},
        {R"({"cookies": "rejected"})", "alice", "wonderland", "Cookies required. Turn off any Cookie Mgmt Program"},
        {R"({"cookies": "bad-uid"})", "alice", "wonderland", "Login incorrect"},
        {R"({"status": {"/takelogin.php": 503}})", "alice", "wonderland", "The site answered 503: try again later"},
        {R"({"status": {"/genrelist.php": 500}})", "alice", "wonderland", "Could not read the category list"},
        {R"({"fault": {"/takelogin.php": "stall"}})", "alice", "wonderland",
         "Connection failed: The site did not answer within 2 seconds.", true},
        // Wine reports a reset in the middle of the body in more than one way (a broken
        // connection, or an empty answer that is no category list): the dialog stays open.
        {R"({"fault": {"/takelogin.php": "reset"}})", "alice", "wonderland", ""},
        {R"({"fault": {"/genrelist.php": "short"}})", "alice", "wonderland",
         "Connection failed: The answer broke off after "},
        {R"({"fault": {"/genrelist.php": "huge"}})", "alice", "wonderland",
         "Connection failed: The answer is larger than 8 MiB."},
        {R"({"fault": {"accept": "stall"}})", "alice", "wonderland",
         "Connection failed: The site did not answer within 8 seconds."},
        {R"({"fault": {"/genrelist.php": "drip"}})", "alice", "wonderland",
         "Connection failed: The site did not finish its answer within 8 seconds."},
        {"{}", "alice", "wonderland", "(closed)"},
    };
    _putenv("SEEDWRIGHT_TIMEOUT=2");
    std::vector<std::string> statuses;
    std::vector<double> seconds;
    bool busyAndAlive = false;
    int probedRequests = 0;
    EXPECT_EQ(run(
                  [&](HWND dialog) {
                      chooseSite(dialog, 1);
                      for (const Attempt& attempt : attempts) {
                          m_site.setScenario(attempt.scenario);
                          fillIn(dialog, attempt.user, attempt.password, false);
                          const int before = m_site.requestCount();
                          const ULONGLONG start = GetTickCount64();
                          if (attempt.probe) {
                              pressButton(dialog, IDOK);
                              DWORD_PTR ignored = 0;
                              busyAndAlive =
                                  !loginEnabled(dialog) &&
                                  SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &ignored) != 0;
                              pressButton(dialog, IDOK);  // no second exchange
                              busyAndAlive = busyAndAlive && IsWindowVisible(dialog);
                          }
                          statuses.push_back(login(dialog));
                          seconds.push_back(double(GetTickCount64() - start) / 1000);
                          std::printf("%-45s %5.1f s  %s\n", attempt.scenario, seconds.back(), statuses.back().c_str());
                          std::fflush(stdout);
                          if (attempt.probe)
                              probedRequests = m_site.requestCount() - before;
                      }
                  },
                  300000),
              IDOK);
    _putenv("SEEDWRIGHT_TIMEOUT=");
    ASSERT_EQ(statuses.size(), std::size(attempts));
    for (std::size_t i = 0; i < statuses.size(); ++i) {
        EXPECT_NE(statuses[i].find(attempts[i].status), std::string::npos)
            << attempts[i].scenario << ": " << statuses[i];
        if (i + 1 < statuses.size()) {
            EXPECT_NE(statuses[i], "(closed)") << attempts[i].scenario;
        }
        EXPECT_LT(seconds[i], 20.0) << attempts[i].scenario;
    }
    EXPECT_TRUE(busyAndAlive);
    EXPECT_EQ(probedRequests, 1);

    const SiteSession& session = m_session;
    EXPECT_EQ(session.m_uid, "1001");
    EXPECT_FALSE(session.m_pass.empty());
    // Nothing of the refused attempts stays in the list.
    ASSERT_EQ(session.m_categories.size(), 9u);
    EXPECT_EQ(session.m_categories.front(), "1024=url=https://" + m_site.host() + "/Seedwright-setup.exe");
    EXPECT_EQ(session.m_categories.back(), "8;Anime");
    EXPECT_TRUE(m_boxes.texts().empty());
}

TEST_F(LoginDlg, RememberedPasswordsAreProtectedAndErasedOnRequest) {
    EXPECT_EQ(run([&](HWND dialog) {
                  chooseSite(dialog, 1);
                  fillIn(dialog, "alice", "wonderland", true);
                  login(dialog);
              }),
              IDOK);
    EXPECT_EQ(m_profile.GetProfileInt("Settings", "Remember", 0), 1);
    EXPECT_EQ(text("Login1"), "alice");
    DWORD type = 0;
    std::string blob;
    ASSERT_TRUE(stored("Password1", type, blob));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(blob.find("wonderland"), std::string::npos);

    // Opened again: the site and the credentials come back; clearing the box erases them,
    // although this attempt then fails.
    std::string loaded, status;
    bool ticked = false;
    run([&](HWND dialog) {
        loaded = std::to_string(SendDlgItemMessageA(dialog, IDC_SITE, CB_GETCURSEL, 0, 0)) + " " +
                 itemText(dialog, IDC_LOGIN) + "/" + itemText(dialog, IDC_PASSWORD);
        ticked = SendDlgItemMessageA(dialog, IDC_REMEMBER, BM_GETCHECK, 0, 0) == BST_CHECKED;
        fillIn(dialog, "alice", "wrong", false);
        status = login(dialog);
    });
    EXPECT_EQ(loaded, "1 alice/wonderland");
    EXPECT_TRUE(ticked);
    EXPECT_EQ(status, "Login incorrect");
    EXPECT_EQ(m_profile.GetProfileInt("Settings", "Remember", 1), 0);
    EXPECT_EQ(text("Login1"), "");
    EXPECT_EQ(text("Password1"), "");
}

// When the system cannot protect the password, nothing is stored and the member is told.
TEST_F(LoginDlg, APasswordThatCannotBeProtectedIsNotStored) {
    m_profile.WriteProfileInt("Settings", "Remember", 0);
    m_profile.WriteProfileString("Settings", "Login1", "earlier");
    m_profile.WriteProfileString("Settings", "Password1", "");
    CLoginDlg dialog(inputs());
    dialog.m_protect = [](const std::string&, std::vector<BYTE>&) { return false; };
    const testing_support::ModalRun result = runModal(dialog, [&](HWND window) {
        chooseSite(window, 1);
        fillIn(window, "alice", "wonderland", true);
        login(window);
    });
    EXPECT_EQ(result.result, IDOK);  // the login itself goes on
    EXPECT_EQ(m_boxes.texts(),
              std::vector<std::string>{"Your password could not be remembered: Windows refused to protect it.\n"
                                       "Nothing was stored; you will have to type it again next time."});
    EXPECT_EQ(m_profile.GetProfileInt("Settings", "Remember", 7), 0);
    EXPECT_EQ(text("Login1"), "earlier");
    EXPECT_EQ(text("Password1"), "");
}

TEST_F(LoginDlg, StoredValuesAreReadPerSiteIndex) {
    // A plain-text password stored by an earlier build is still read.
    m_profile.WriteProfileInt("Settings", "LastSite", 2);
    m_profile.WriteProfileInt("Settings", "Remember", 1);
    m_profile.WriteProfileString("Settings", "Login2", "carol");
    m_profile.WriteProfileString("Settings", "Password2", "plain2");
    m_profile.WriteProfileString("Settings", "Login1", "bob");
    m_profile.WriteProfileString("Settings", "Password1", "plain1");
    std::vector<std::string> seen;
    auto edits = [&](HWND dialog) {
        seen.push_back(std::to_string(SendDlgItemMessageA(dialog, IDC_SITE, CB_GETCURSEL, 0, 0)) + " " +
                       itemText(dialog, IDC_LOGIN) + "/" + itemText(dialog, IDC_PASSWORD));
    };
    run([&](HWND dialog) {
        edits(dialog);
        SendDlgItemMessageA(dialog, IDC_REMEMBER, BM_SETCHECK, BST_UNCHECKED, 0);
        chooseSite(dialog, 1);  // loads whatever the box says
        edits(dialog);
        chooseSite(dialog, 0);
        edits(dialog);
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"2 carol/plain2", "1 bob/plain1", "0 /"}));

    // Without "Remember" nothing is loaded at the start.
    m_profile.WriteProfileInt("Settings", "Remember", 0);
    seen.clear();
    run(edits);
    EXPECT_EQ(seen, std::vector<std::string>{"2 /"});
}

// A login after which the session cookies are missing is no login: no session without them.
TEST_F(LoginDlg, NoCookieAtAllKeepsTheDialogOpen) {
    m_site.setScenario(R"({"cookies": "none"})");
    std::string status;
    EXPECT_EQ(aliceLogsIn(&status), IDCANCEL);
    EXPECT_EQ(status, "The site did not log you in");
    const SiteSession& session = m_session;
    EXPECT_EQ(session.m_siteHost, m_site.host());
    EXPECT_TRUE(session.m_uid.empty());
    EXPECT_TRUE(session.m_categories.empty());
}

TEST_F(LoginDlg, AFailedConnectionKeepsTheDialogOpen) {
    _putenv("SEEDWRIGHT_SITE=localhost:1");
    std::string status;
    EXPECT_EQ(aliceLogsIn(&status), IDCANCEL);
    EXPECT_EQ(status, "Connection failed: Cannot connect to localhost:1.");
    EXPECT_EQ(m_session.m_siteHost, "localhost:1");
    EXPECT_TRUE(m_boxes.texts().empty());
}

// A site whose certificate the prefix must refuse (from an untrusted CA, expired, made out to
// another host) gets no login: the dialog stays open, and the site sees no request.
TEST_F(LoginDlg, RefusedCertificatesGetNoLogin) {
    const int before = m_site.requestCount();
    for (const char* certificate : {"untrusted", "expired", "wrong-host"}) {
        SCOPED_TRACE(certificate);
        const int handshakes = m_site.handshakes(certificate);
        _putenv(("SEEDWRIGHT_SITE=" + m_site.hostWithCertificate(certificate)).c_str());
        std::string status;
        EXPECT_EQ(aliceLogsIn(&status), IDCANCEL);
        EXPECT_EQ(status.rfind("Connection failed: The site's certificate was refused (error ", 0), 0u) << status;
        EXPECT_TRUE(testing_support::waitUntil([&] { return m_site.handshakes(certificate) > handshakes; }));
    }
    EXPECT_EQ(m_site.requestCount(), before);
    EXPECT_TRUE(m_session.m_uid.empty());
    EXPECT_TRUE(m_boxes.texts().empty());
}

TEST_F(LoginDlg, UpdateOfferOnlyForANewerBuild) {
    m_site.setScenario(R"({"build": 1024})");
    EXPECT_EQ(aliceLogsIn(), IDOK);
    EXPECT_TRUE(m_boxes.texts().empty());

    m_site.setScenario(R"({"build": 2000})");
    m_boxes.answer({IDNO});
    EXPECT_EQ(aliceLogsIn(), IDOK);
    EXPECT_EQ(m_boxes.texts(), std::vector<std::string>{updateOfferText(2000, 1024)});
}

// Puts a program in the place of the browser for a protocol of web addresses, for as long as it
// lives: the shell then starts it with the address. (Wine reads the class from HKCR only.)
class CUrlHandler {
  public:
    CUrlHandler(const std::string& protocol, const std::string& command) : m_key(protocol + "\\shell\\open\\command") {
        EXPECT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, m_key.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                  m_command.receive(), nullptr),
                  ERROR_SUCCESS);
        char before[1024] = {};
        DWORD size = sizeof before;
        m_hadBefore = RegQueryValueExA(m_command.get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(before),
                                       &size) == ERROR_SUCCESS;
        m_before = before;
        set(command);
    }
    ~CUrlHandler() {
        if (m_hadBefore)
            set(m_before);
        else
            RegDeleteValueA(m_command.get(), nullptr);
    }
    CUrlHandler(const CUrlHandler&) = delete;
    CUrlHandler& operator=(const CUrlHandler&) = delete;

  private:
    void set(const std::string& command) const {
        RegSetValueExA(m_command.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
    }

    std::string m_key;
    win::CRegKey m_command;
    bool m_hadBefore = false;
    std::string m_before;
};

// Yes hands a web address to the shell, which opens it in the browser; anything else the site
// announces, such as a program on this machine, is never started.
TEST_F(LoginDlg, YesOpensAWebAddressAndNeverAProgram) {
    // The stand-in client leaves a record when it starts: here it is the program the site
    // points at, and the browser.
    const std::string program = places::windowsPath(SW_STANDIN_CLIENT_DIR) + "\\v3\\uTorrent.exe";
    const std::string record = tempFile("update-record.txt", "");
    DeleteFileA(record.c_str());
    SetEnvironmentVariableA("SW_CLIENT_RECORD", record.c_str());
    auto starts = [&] {
        const std::string text = readFileBytes(record);
        std::size_t count = 0;
        for (std::size_t at = text.find("start\n"); at != std::string::npos; at = text.find("start\n", at + 1))
            ++count;
        return text.size() > 4 && text.compare(text.size() - 4, 4, "end\n") == 0 ? count : 0;
    };
    // Started directly, the program does leave its record.
    ShellExecuteA(nullptr, "open", program.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    ASSERT_TRUE(testing_support::waitUntil([&] { return starts() == 1; }));
    DeleteFileA(record.c_str());

    std::string escaped;  // the path as a JSON string
    for (char c : program)
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    m_site.setScenario(R"({"build": 1025, "update_url": ")" + escaped + "\"}");
    m_boxes.answer({IDYES});
    EXPECT_EQ(aliceLogsIn(), IDOK);
    // It is shown instead, for the member to see.
    const std::string notOpened = site::login::kUpdateNotOpened + program;

    // The site's own address: the shell starts the stand-in browser with it. Had the program
    // above been started, its record would stand before the browser's.
    const CUrlHandler browser("https", "\"" + program + "\" \"%1\"");
    m_site.setScenario(R"({"build": 1025})");
    m_boxes.answer({IDYES});
    EXPECT_EQ(aliceLogsIn(), IDOK);
    ASSERT_TRUE(testing_support::waitUntil([&] { return starts() >= 1; }));
    Sleep(200);
    const std::string address = "https://" + m_site.host() + "/Seedwright-setup.exe";
    EXPECT_EQ(starts(), 1u);
    EXPECT_EQ(readFileBytes(record).rfind("start\narg " + address + "\n", 0), 0u) << readFileBytes(record);
    EXPECT_EQ(m_boxes.texts(),
              (std::vector<std::string>{updateOfferText(1025, 1024), notOpened, updateOfferText(1025, 1024)}));
}

}  // namespace
