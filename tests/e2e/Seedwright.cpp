#include "tests/e2e/Seedwright.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "app/state/SettingsLayout.h"
#include "install/res/InstallIds.h"
#include "site/res/SiteIds.h"
#include "tests/support/WinPlaces.h"
#include "torrent/res/TorrentIds.h"
#include "upload/res/UploadIds.h"
#include "win/Handles.h"

const char* const kTitle = "Seedwright V1.14";

const MainInput kMainInputs[13] = {
    {IDC_UPLOAD_FILE, "Upload File"},
    {IDC_UPLOAD_FOLDER, "Upload Folder"},
    {IDC_PATH, "the path"},
    {IDC_BROWSE, "Browse"},
    {IDC_CATEGORY, "Category"},
    {IDC_SUBCATEGORY1, "1st Subcategory"},
    {IDC_SUBCATEGORY2, "2nd Subcategory"},
    {IDC_SUBCATEGORY3, "3rd Subcategory"},
    {IDC_SUBCATEGORY4, "4th Subcategory"},
    {IDC_ADD_PICTURE, "Add Picture"},
    {IDC_REMOVE_PICTURE, "Remove Picture"},
    {IDC_NAME, "the name"},
    {IDC_DESCRIPTION, "the description"},
};

namespace {

using namespace places;

constexpr DWORD kUploadLimitMs = 300000;
const char* const kClientKey = "Software\\Classes\\Applications\\uTorrent.exe\\shell\\open\\command";

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : " | ") + part;
    return text;
}

// The full path with long names, as the shell resolves a link's target.
std::string longPath(const std::string& path) {
    char full[4 * MAX_PATH] = "";
    if (GetFullPathNameA(path.c_str(), sizeof full, full, nullptr) == 0)
        return path;
    char longer[4 * MAX_PATH] = "";
    const DWORD length = GetLongPathNameA(full, longer, sizeof longer);
    return length != 0 && length < sizeof longer ? std::string(longer) : std::string(full);
}

// The processes started from `program`, whatever spelling started them.
std::vector<DWORD> processesOf(const std::string& program) {
    std::vector<DWORD> ids;
    const std::string name = program.substr(program.find_last_of('\\') + 1);
    win::CHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot.valid() && Process32First(snapshot.get(), &entry); more;
         more = Process32Next(snapshot.get(), &entry)) {
        if (lstrcmpiA(entry.szExeFile, name.c_str()) != 0)
            continue;
        win::CHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        char image[4 * MAX_PATH] = "";
        DWORD size = sizeof image;
        if (process.valid() && QueryFullProcessImageNameA(process.get(), 0, image, &size) &&
            lstrcmpiA(longPath(image).c_str(), program.c_str()) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

// The link opened as a double click opens it.
bool openThroughShell(const std::string& link) {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpFile = link.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&info) != FALSE;
}

// cmd.exe /c start "" "link": cmd's own start command hands the link to the shell.
bool startCommand(const std::string& link) {
    ui::CProcess cmd;
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, sizeof system);
    return cmd.start(std::string(system) + "\\cmd.exe", "/c start \"\" \"" + link + "\"") && cmd.waitEnd();
}

std::string readSetting(const char* name) {
    char value[4 * MAX_PATH] = "";
    DWORD size = sizeof value;
    if (SHGetValueA(HKEY_LOCAL_MACHINE, "Software\\Seedwright\\Settings", name, nullptr, value, &size) != ERROR_SUCCESS)
        return std::string();
    return value;
}

long long unixMilliseconds() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const long long ticks = (static_cast<long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - 116444736000000000LL) / 10000;
}

}  // namespace

CSeedwright::CSeedwright(const RoadSettings& settings, CReport& report)
    : m_settings(settings), m_report(report), m_site(settings.m_siteDir) {
    // The stand-in client, registered as uTorrent registers itself: the installer finds it.
    const std::string command = "\"" + m_settings.m_client + "\" \"%1\"";
    SHSetValueA(HKEY_CURRENT_USER, kClientKey, nullptr, REG_SZ, command.c_str(), DWORD(command.size() + 1));
}

std::string CSeedwright::installFolder() const {
    return shellFolder(CSIDL_PROGRAM_FILES) + "\\Seedwright";
}

std::string CSeedwright::menuFolder() const {
    return shellFolder(CSIDL_COMMON_PROGRAMS) + "\\Seedwright";
}

std::string CSeedwright::download() const {
    return downloadedCopy(m_settings.m_program);
}

std::string CSeedwright::workingFolder() const {
    return shellFolder(CSIDL_APPDATA) + "\\Seedwright";
}

bool CSeedwright::install(const InstallChoice& choice) {
    const std::string program = choice.m_program.empty() ? download() : choice.m_program;
    if (program.empty())
        return m_report.fail("cannot copy " + m_settings.m_program + " into the Downloads folder");
    if (choice.m_readOnly)
        SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_READONLY);
    m_report.step("First start of " + program + (choice.m_readOnly ? " (read-only)" : "") + ": the installer");
    ui::CProcess first;
    if (!first.start(program, ""))
        return m_report.fail("the program did not start");
    const HWND setup = installerOf(first);
    if (!setup)
        return false;
    m_report.shot("installer", setup);
    if (!choice.m_folder.empty()) {
        m_report.step("Installation folder typed: " + choice.m_folder);
        ui::setItemText(setup, IDC_SETUP_FOLDER, choice.m_folder);
    }
    return completeInstallation(setup, first, choice.m_folder.empty() ? installFolder() : choice.m_folder);
}

HWND CSeedwright::installerOf(const ui::CProcess& process) {
    ui::WindowQuery query;
    query.processId = process.id();
    query.caption = std::string(kTitle) + " - Installation";
    query.withItem = IDC_SETUP_FOLDER;
    const HWND setup = ui::waitForWindow(query);
    if (!setup) {
        query.processId = 0;
        const HWND other = ui::findWindow(query);
        DWORD otherId = 0;
        GetWindowThreadProcessId(other, &otherId);
        m_report.fail("no installation dialog; the program " + process.state() + ", its windows " +
                      ui::windowsOf(process.id()) +
                      (other ? "; an installation dialog of process " + std::to_string(otherId) : ""));
        return nullptr;
    }
    m_report.checkEqual(ui::itemText(setup, IDC_SETUP_FOLDER), installFolder(), "installation folder");
    m_report.checkEqual(ui::itemText(setup, IDC_SETUP_MENU), "Seedwright", "Start menu folder");
    m_report.checkEqual(ui::itemText(setup, IDC_SETUP_CLIENT), m_settings.m_client, "the client found");
    m_report.info("folder " + ui::itemText(setup, IDC_SETUP_FOLDER) + ", client " +
                  ui::itemText(setup, IDC_SETUP_CLIENT));
    return setup;
}

bool CSeedwright::completeInstallation(HWND setup, const ui::CProcess& process, const std::string& folder) {
    m_report.step("Install");
    ui::pressButton(setup, IDOK);
    HWND box = ui::waitForMessageBox(process.id(), kTitle);
    if (box && ui::messageText(box).rfind("Installation Directory already exists...", 0) == 0) {
        m_report.step("Question: " + quoted(ui::messageText(box)) + ", answered Yes");
        ui::pressButton(box, IDYES);
        ui::waitGone(box);
        box = ui::waitForMessageBox(process.id(), kTitle);
    }
    if (!box)
        return m_report.fail("no message after Install");
    m_report.shot("installed", box);
    m_report.checkEqual(ui::messageText(box), "Installation Complete! Enjoy...", "message");
    m_report.info("message: " + quoted(ui::messageText(box)));
    ui::pressButton(box, IDOK);
    if (!m_report.check(process.waitEnd(), "the installer ended by itself"))
        return false;
    m_report.check(exists(folder + "\\Seedwright.exe"), "Seedwright.exe in the installation folder");
    m_report.check(exists(menuFolder() + "\\Seedwright.lnk"), "the program's shortcut");
    m_report.check(exists(menuFolder() + "\\uninstall.lnk"), "the uninstall shortcut");
    return m_report.failures() == 0;
}

bool CSeedwright::startFromShortcut(const std::string& link, ShellStart how) {
    const std::string file = menuFolder() + "\\" + link;
    Shortcut shortcut;
    if (!readShortcut(file, shortcut))
        return m_report.fail("cannot read the shortcut " + link);
    m_process = std::make_unique<ui::CProcess>();
    m_main = nullptr;
    if (how == ShellStart::Direct) {
        m_report.step("Start menu, " + link + ": " + quoted(shortcut.m_target) +
                      (shortcut.m_arguments.empty() ? "" : " " + shortcut.m_arguments));
        return m_report.check(m_process->start(shortcut.m_target, shortcut.m_arguments, shortcut.m_folder),
                              "the shortcut's program started");
    }
    // The shell reads the link in its own code page: the target must lead to the installed file.
    const std::string target = longPath(shortcut.m_target);
    m_report.step("Start menu, " + link +
                  (how == ShellStart::Open ? ", opened through the shell" : ", with cmd's start") + ": " +
                  quoted(shortcut.m_target) + (shortcut.m_arguments.empty() ? "" : " " + shortcut.m_arguments));
    m_report.info("its target in full: " + target);
    const std::vector<DWORD> before = processesOf(target);
    const bool started = how == ShellStart::Open ? openThroughShell(file) : startCommand(file);
    if (!m_report.check(started, "the shell took the link"))
        return false;
    DWORD id = 0;
    ui::waitUntil(
        [&] {
            for (DWORD candidate : processesOf(target))
                if (std::find(before.begin(), before.end(), candidate) == before.end())
                    id = candidate;
            return id != 0;
        },
        ui::kWaitMs);
    return m_report.check(id != 0 && m_process->attach(id), "the shortcut started " + target);
}

HWND CSeedwright::waitForDialogWith(int id) const {
    ui::WindowQuery query;
    query.processId = m_process->id();
    query.withItem = id;
    return ui::waitForWindow(query);
}

bool CSeedwright::logIn(bool wrongPasswordFirst, bool announceNewerBuild, bool remember) {
    const HWND login = waitForDialogWith(IDC_PASSWORD);
    if (!login)
        return m_report.fail("no login dialog");
    m_report.step("Login dialog: " + quoted(ui::windowText(login)));
    m_report.check(ui::selectComboEntry(login, IDC_SITE, "Velmar Tracker"), "the site in the list");
    ui::setItemText(login, IDC_LOGIN, m_settings.m_user);

    if (wrongPasswordFirst) {
        m_report.step("Log in as " + m_settings.m_user + " with a wrong password");
        ui::setItemText(login, IDC_PASSWORD, "not-the-password");
        ui::pressButton(login, IDOK);
        const bool refused = ui::waitUntil([&] { return ui::itemText(login, IDC_LOGIN_STATUS) == "Login incorrect"; });
        m_report.info("status line: " + quoted(ui::itemText(login, IDC_LOGIN_STATUS)));
        m_report.shot("login-incorrect", login);
        if (!m_report.check(refused && IsWindowVisible(login), "\"Login incorrect\" and the login still open"))
            return false;
    }

    m_report.step("Log in as " + m_settings.m_user + " with the right password");
    ui::setItemText(login, IDC_PASSWORD, m_settings.m_password);
    if (remember) {
        ui::clickButton(login, IDC_REMEMBER);
        m_report.check(ui::waitUntil([&] { return ui::isChecked(login, IDC_REMEMBER); }, 5000), "Remember ticked");
    }
    if (announceNewerBuild)
        m_site.setScenario("{\"build\": 2000}");
    m_report.shot("login", login);
    ui::pressButton(login, IDOK);

    if (announceNewerBuild) {
        const HWND offer = ui::waitForMessageBox(m_process->id(), kTitle);
        m_site.setScenario("{}");
        if (!offer)
            return m_report.fail("no update offer for build 2000");
        m_report.step("The site announces build 2000: update offer, answered No");
        m_report.checkEqual(ui::messageText(offer),
                            "A new Software Update is available: Build(2000)\nThis Version: Build(1024)\n\nWould you "
                            "like to Download the new Program? (highly recommended!)",
                            "update offer");
        m_report.shot("update-offer", offer);
        ui::pressButton(offer, IDNO);
        ui::waitGone(offer);
    }
    return waitForMain() != nullptr && checkCategories();
}

bool CSeedwright::logInRemembered() {
    const HWND login = waitForDialogWith(IDC_PASSWORD);
    if (!login)
        return m_report.fail("no login dialog");
    m_report.step("Login dialog with the remembered login: OK without typing");
    m_report.checkEqual(ui::itemText(login, IDC_SITE), "Velmar Tracker", "site");
    m_report.checkEqual(ui::itemText(login, IDC_LOGIN), m_settings.m_user, "login");
    m_report.check(ui::isChecked(login, IDC_REMEMBER), "Remember still ticked");
    ui::pressButton(login, IDOK);
    return waitForMain() != nullptr;
}

HWND CSeedwright::waitForMain() {
    m_main = waitForDialogWith(IDC_UPLOAD);
    if (!m_main) {
        m_report.fail("no main dialog after the login");
        return nullptr;
    }
    m_report.step("Main dialog: " + quoted(ui::windowText(m_main)));
    m_report.shot("main", m_main);
    m_report.check(ui::waitForMessageBox(m_process->id(), kTitle, 300) == nullptr, "no message with the main dialog");
    return m_main;
}

bool CSeedwright::checkCategories() {
    const std::vector<std::string> entries = ui::comboEntries(m_main, IDC_CATEGORY);
    const std::vector<std::string> expected = {"Select Category", "Movies", "TV Shows", "Music",        "Games",
                                               "Software",        "Books",  "Anime",    "Documentaries"};
    m_report.info("categories: " + joined(entries));
    return m_report.check(entries.size() == expected.size() && entries.front() == expected.front() &&
                              std::is_permutation(entries.begin(), entries.end(), expected.begin()),
                          "the site's categories in the list");
}

bool CSeedwright::fill(const UploadInputs& in) {
    const HWND main = m_main;
    const DWORD pid = m_process->id();
    const int mode = in.m_folderMode ? IDC_UPLOAD_FOLDER : IDC_UPLOAD_FILE;
    m_report.step(std::string(in.m_folderMode ? "Folder" : "File") + " mode, Browse: " + in.m_path);
    ui::clickButton(main, mode);
    if (!m_report.check(
            ui::waitUntil([&] { return ui::isChecked(main, mode) && ui::itemEnabled(main, IDC_BROWSE); }, 5000),
            "the mode's radio button ticked and Browse enabled"))
        return false;
    ui::pressButton(main, IDC_BROWSE);
    if (!in.m_browseFolder.empty())
        m_report.checkEqual(ui::fileOpenFolder(pid), in.m_browseFolder, "the file chooser's folder");
    const bool chosen = in.m_folderMode ? ui::fillFolderChooser(pid, in.m_path) : ui::fillFileOpen(pid, in.m_path);
    if (!m_report.check(chosen, in.m_folderMode ? "the folder chooser" : "the file-open dialog"))
        return false;
    ui::waitUntil([&] { return ui::itemText(main, IDC_PATH) == in.m_path; }, 5000);
    m_report.checkEqual(ui::itemText(main, IDC_PATH), in.m_path, "path box");

    const int lists[] = {IDC_CATEGORY, IDC_SUBCATEGORY1, IDC_SUBCATEGORY2, IDC_SUBCATEGORY3, IDC_SUBCATEGORY4};
    std::vector<std::string> choices = {in.m_category};
    choices.insert(choices.end(), in.m_subcategories.begin(), in.m_subcategories.end());
    if (in.m_category.empty())
        choices.clear();
    else
        m_report.step("Category " + in.m_category +
                      (in.m_subcategories.empty() ? "" : ", " + joined(in.m_subcategories)));
    for (std::size_t i = 0; i < choices.size() && i < 5; ++i) {
        m_report.check(ui::waitUntil([&] { return ui::itemEnabled(main, lists[i]); }, 5000),
                       "list " + std::to_string(i) + " enabled");
        m_report.check(ui::selectComboEntry(main, lists[i], choices[i]), choices[i] + " in list " + std::to_string(i));
    }

    for (std::size_t i = 0; i < in.m_pictures.size(); ++i) {
        const std::string& picture = in.m_pictures[i];
        const HWND list = GetDlgItem(main, IDC_PICTURES);
        const std::size_t before = ui::listViewRows(list, 1).size();
        m_report.step("Add Picture: " + picture);
        ui::pressButton(main, IDC_ADD_PICTURE);
        if (i < in.m_pictureFolders.size())
            m_report.checkEqual(ui::fileOpenFolder(pid), in.m_pictureFolders[i], "the picture chooser's folder");
        if (!m_report.check(ui::fillFileOpen(pid, picture), "the file-open dialog for a picture"))
            return false;
        m_report.check(ui::waitUntil([&] { return ui::listViewRows(list, 1).size() == before + 1; }, 5000),
                       "a new row in the picture list");
    }
    const std::vector<std::vector<std::string>> rows = ui::listViewRows(GetDlgItem(main, IDC_PICTURES), 3);
    for (const std::vector<std::string>& row : rows)
        m_report.info("picture row: " + joined(row));
    for (const std::string& picture : in.m_pictures) {
        const std::string name = picture.substr(picture.find_last_of('\\') + 1);
        m_report.check(
            std::any_of(rows.begin(), rows.end(),
                        [&](const std::vector<std::string>& row) { return row.size() == 3 && row[1] == name; }),
            name + " listed");
    }

    m_report.step("Name " + quoted(in.m_name) + ", description " + quoted(in.m_description));
    ui::setItemText(main, IDC_NAME, in.m_name);
    ui::setItemText(main, IDC_DESCRIPTION, in.m_description);
    m_report.shot("main-filled", main);
    return true;
}

void CSeedwright::noteOwner(HWND window, const std::string& what, UploadSeen& seen) const {
    // A window already gone has no owner to ask about.
    if (GetWindow(window, GW_OWNER) != m_main && IsWindow(window))
        seen.m_unowned.push_back(what);
}

bool CSeedwright::typePath(bool folderMode, const std::string& path) {
    const HWND main = m_main;
    const int mode = folderMode ? IDC_UPLOAD_FOLDER : IDC_UPLOAD_FILE;
    m_report.step(std::string(folderMode ? "Folder" : "File") + " mode with the mouse, the path typed: " + path);
    ui::mouseClick(main, mode);
    if (!m_report.check(ui::waitUntil([&] { return ui::isChecked(main, mode); }, 5000),
                        "the mode's radio button ticked"))
        return false;
    return m_report.check(ui::setItemText(main, IDC_PATH, path), "the path typed");
}

UploadSeen CSeedwright::upload(const WhileHashing& meanwhile) {
    UploadSeen seen;
    const HWND main = m_main;
    const DWORD pid = m_process->id();
    const bool folderModeBefore = ui::isChecked(main, IDC_UPLOAD_FOLDER);
    const auto mark = [&seen](const std::string& what) { seen.m_timeline.emplace_back(what, unixMilliseconds()); };
    m_report.step("Upload");
    mark("Upload pressed");
    ui::pressButton(main, IDC_UPLOAD);
    // Busy: the button hides until the upload is over.
    if (!ui::waitUntil([&] { return !ui::itemVisible(main, IDC_UPLOAD) || ui::waitForMessageBox(pid, kTitle, 0); },
                       10000)) {
        m_report.fail("the dialog never went busy");
        return seen;
    }

    ui::WindowQuery hashing;
    hashing.processId = pid;
    hashing.caption = "Creating Torrent...";
    hashing.withItem = IDC_PROGRESS;
    ui::WindowQuery backend;
    backend.processId = pid;
    backend.caption = "Finishing upload...";
    backend.withItem = IDC_BACKEND_TEXT;
    const ULONGLONG end = GetTickCount64() + kUploadLimitMs;
    std::string lastStatus;
    HWND runningWait = nullptr;
    ULONGLONG waitShown = 0;
    while (GetTickCount64() < end) {
        const std::string status = ui::itemVisible(main, IDC_STATUS) ? ui::itemText(main, IDC_STATUS) : "";
        if (!status.empty() && status != lastStatus) {
            m_report.info("status line: " + quoted(status));
            seen.m_statuses.push_back(status);
            mark("status " + status);
            lastStatus = status;
        }
        if (!seen.m_hashing) {
            if (const HWND progress = ui::findWindow(hashing)) {
                seen.m_hashing = true;
                mark("hashing dialog");
                // Before anything slow: a build that fails closes its dialog at once.
                noteOwner(progress, "the hashing dialog", seen);
                if (!meanwhile.m_remove.empty() && DeleteFileA(meanwhile.m_remove.c_str()))
                    m_report.step("Deleted while it hashes: " + meanwhile.m_remove);
                seen.m_mainDisabledWhileHashing = !IsWindowEnabled(main);
                for (const MainInput& input : kMainInputs)
                    if (ui::itemEnabled(main, input.m_id))
                        seen.m_enabledWhileHashing.push_back(input.m_name);
                m_report.step("Hashing dialog: " + quoted(ui::windowText(progress)));
                m_report.shot("hashing", progress);
                if (meanwhile.m_click) {
                    m_report.step("A click on \"Upload Folder\" in the main dialog while it hashes");
                    ui::mouseClick(main, IDC_UPLOAD_FOLDER);
                }
                if (meanwhile.m_close) {
                    m_report.step("The close box and Alt+F4 on the main dialog while it hashes");
                    PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
                    ui::pressAltF4(main);
                    Sleep(1000);
                    // Refused only if the hashing was still on: afterwards closing is allowed.
                    seen.m_closeRefused = IsWindowVisible(main) && IsWindowVisible(progress);
                }
                if (meanwhile.m_cancel) {
                    m_report.step("Cancel the hashing");
                    ui::pressButton(progress, IDCANCEL);
                    m_report.check(ui::waitGone(progress), "the hashing dialog closed");
                }
            }
        }
        if (!seen.m_backendWait) {
            if (const HWND wait = ui::findWindow(backend)) {
                seen.m_backendWait = true;
                mark("backend wait");
                noteOwner(wait, "the backend wait", seen);
                const std::string text = quoted(ui::itemText(wait, IDC_BACKEND_TEXT));
                if (meanwhile.m_letBackendWaitRun) {
                    waitShown = GetTickCount64();
                    runningWait = wait;
                    m_report.step("Backend wait: " + text + ", left to end by itself");
                    m_report.shot("backend-wait", wait);
                } else {
                    m_report.step("Backend wait: " + text + ", closed with Escape");
                    m_report.shot("backend-wait", wait);
                    ui::pressKey(wait, VK_ESCAPE);
                    seen.m_backendClosedEarly = ui::waitGone(wait, 5000);
                    m_report.check(seen.m_backendClosedEarly, "Escape closed the backend wait");
                }
            }
        } else if (runningWait && !IsWindow(runningWait)) {
            mark("backend wait gone");
            seen.m_backendEndedMs = seen.m_timeline.back().second;
            seen.m_backendSeconds = double(GetTickCount64() - waitShown) / 1000;
            char took[64];
            std::snprintf(took, sizeof took, "The backend wait ended by itself after %.1f seconds",
                          seen.m_backendSeconds);
            m_report.step(took);
            runningWait = nullptr;
        }
        if (const HWND box = ui::waitForMessageBox(pid, kTitle, 0)) {
            mark("message");
            seen.m_messageShownMs = seen.m_timeline.back().second;
            seen.m_message = ui::messageText(box);
            ++seen.m_messageCount;
            noteOwner(box, "the message " + quoted(seen.m_message), seen);
            m_report.step("Message: " + quoted(seen.m_message));
            m_report.shot(seen.m_message == "Upload Complete!" ? "upload-complete" : "upload-message", box);
            ui::pressButton(box, IDOK);
            ui::waitGone(box);
        }
        if (ui::itemVisible(main, IDC_UPLOAD) && ui::itemText(main, IDC_UPLOAD) == "Upload" &&
            ui::waitForMessageBox(pid, kTitle, 0) == nullptr) {
            // The button's text comes back first; the status line and the enabling follow.
            seen.m_idleAgain = ui::waitUntil(
                [&] { return !ui::itemVisible(main, IDC_STATUS) && ui::itemEnabled(main, IDC_UPLOAD); }, 5000);
            break;
        }
        Sleep(10);
    }
    m_report.check(seen.m_idleAgain, "the dialog idle again, the button reading \"Upload\"");
    seen.m_clickIgnored = ui::isChecked(main, IDC_UPLOAD_FOLDER) == folderModeBefore;
    if (seen.m_idleAgain)
        m_report.step("Idle again: the button reads " + quoted(ui::itemText(main, IDC_UPLOAD)));
    return seen;
}

bool CSeedwright::closeMain(CloseBy how) {
    switch (how) {
        case CloseBy::Quit:
            m_report.step("Quit the main dialog");
            ui::pressButton(m_main, IDCANCEL);
            break;
        case CloseBy::CloseBox:
            m_report.step("The main dialog's close box");
            PostMessageA(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case CloseBy::AltF4:
            m_report.step("Alt+F4 in the main dialog");
            ui::pressAltF4(m_main);
            break;
    }
    return m_report.check(sessionEnded(), "the program ended");
}

std::vector<ClientStart> CSeedwright::awaitClientStarts(std::size_t count) const {
    std::vector<ClientStart> starts;
    ui::waitUntil([&] { return (starts = clientStarts()).size() >= count; }, 30000);
    return starts;
}

void CSeedwright::noteForDataCheck(const ClientStart& start) const {
    if (start.m_arguments.size() < 3)
        return;
    std::ofstream list(m_settings.m_data + "\\client-checks.txt", std::ios::app);
    list << start.m_copy << "\t" << start.m_arguments[1] << "\n";
}

bool CSeedwright::uninstall(const std::string& leftBehind, ShellStart how) {
    if (!startFromShortcut("uninstall.lnk", how))
        return false;
    const HWND box = ui::waitForMessageBox(m_process->id(), kTitle);
    if (!box)
        return m_report.fail("no question before uninstalling");
    m_report.step("Question: " + quoted(ui::messageText(box)) + ", answered Yes");
    m_report.checkEqual(ui::messageText(box), "Do you really want to uninstall Seedwright ?", "question");
    m_report.shot("uninstall", box);
    ui::pressButton(box, IDYES);
    ui::waitGone(box);
    const std::string expected = leftBehind.empty() ? "Seedwright was uninstalled." : leftBehind;
    const HWND said = ui::waitForMessageBox(m_process->id(), kTitle);
    if (!said)
        return m_report.fail("no message at the end of the uninstall");
    m_report.step("Message: " + quoted(ui::messageText(said)));
    m_report.checkEqual(ui::messageText(said), expected, "message");
    m_report.shot(leftBehind.empty() ? "uninstalled" : "left-behind", said);
    ui::pressButton(said, IDOK);
    m_report.check(sessionEnded(), "the uninstaller ended");
    m_report.check(!exists(menuFolder()), "the Start menu folder is gone");
    m_report.check(!keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright"), "the machine's settings are gone");
    m_report.check(!keyExists(HKEY_CURRENT_USER, "SOFTWARE\\Seedwright"), "the user's settings are gone");
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        m_report.check(!keyExists(root, app::settings::kUninstallEntryKey), "the installed-apps entry is gone");
    return m_report.failures() == 0;
}

bool CSeedwright::uninstallRefused(const std::string& said) {
    const std::string program = readSetting("InstallationPath") + "\\Seedwright.exe";
    if (!startFromShortcut("uninstall.lnk"))
        return false;
    if (ui::answerMessageBox(m_process->id(), kTitle, IDYES) != "Do you really want to uninstall Seedwright ?")
        return m_report.fail("no question before uninstalling");
    m_report.step("Question answered Yes");
    const HWND box = ui::waitForMessageBox(m_process->id(), kTitle);
    if (!box)
        return m_report.fail("no message that Seedwright is in use");
    m_report.step("Message: " + quoted(ui::messageText(box)));
    m_report.checkEqual(ui::messageText(box), said, "message");
    m_report.shot("uninstall-refused", box);
    ui::pressButton(box, IDOK);
    m_report.check(sessionEnded(), "the uninstaller ended");
    m_report.check(exists(menuFolder() + "\\Seedwright.lnk") && exists(menuFolder() + "\\uninstall.lnk"),
                   "both shortcuts stay");
    m_report.check(keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright\\Settings"), "the installation record stays");
    m_report.check(keyExists(HKEY_LOCAL_MACHINE, app::settings::kUninstallEntryKey) ||
                       keyExists(HKEY_CURRENT_USER, app::settings::kUninstallEntryKey),
                   "the installed-apps entry stays");
    Sleep(2000);
    return m_report.check(exists(program), "the program file stays: " + program);
}

bool CSeedwright::batchRemoved(const std::string& folder, bool folderKept) {
    m_report.step("Waiting for the batch file to remove " + folder + "\\Seedwright.exe" +
                  (folderKept ? "" : " and the folder"));
    m_report.check(ui::waitUntil([&] { return !exists(folder + "\\Seedwright.exe"); }, 30000),
                   "Seedwright.exe is gone");
    if (folderKept)
        m_report.check(exists(folder), "the folder with the member's files stays");
    else
        m_report.check(ui::waitUntil([&] { return !exists(folder); }, 10000), "the installation folder is gone");
    char temp[MAX_PATH + 1] = "";
    GetTempPathA(sizeof temp, temp);
    m_report.check(ui::waitUntil([&] { return !exists(std::string(temp) + "_uninsep.bat"); }, 10000),
                   "the batch file removed itself");
    m_report.info(std::string("left: ") + (exists(folder) ? folder : "nothing of the installation"));
    return m_report.failures() == 0;
}
