#include "tests/e2e/InstallChecks.h"

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <fstream>
#include <vector>

#include "app/state/SettingsLayout.h"
#include "install/res/InstallIds.h"
#include "site/res/SiteIds.h"
#include "tests/support/FileBytes.h"
#include "tests/support/WinPlaces.h"

namespace {

using namespace places;

// The folder names cmd.exe must read exactly as the program wrote them (in its UTF-8 code page).
const char* const kMembersFolder = "C:\\Tom & Jerry!%";
const char* const kUmlautFolder = "C:\\M\xc3\xbcller & Co! 100%\\Seedwright";
// A second installation folder, which the installer makes.
const char* const kOtherFolder = "C:\\Seedwright Tools\\Seedwright";
// Installation folders whose names a shell in another code page must still find, with the folders
// above them that the installer makes and the removal takes away again.
struct NonAsciiFolder {
    const char* folder;
    const char* createdTop;
};
const NonAsciiFolder kNonAsciiFolders[] = {
    {"C:\\Programme\\Müller Tools\\Seedwright", "C:\\Programme"},
    {"C:\\Программы & Co\\Seed wright", "C:\\Программы & Co"},
};

// The login dialog of a session.
HWND loginOf(const ui::CProcess& process) {
    ui::WindowQuery login;
    login.processId = process.id();
    login.withItem = IDC_PASSWORD;
    return ui::waitForWindow(login);
}

// What Seedwright writes into its working folder: the torrent it made and its unfinished copy, the
// site's copy and its unfinished download, the last answer page.
const char* const kWorkingFiles[] = {"MyNew.torrent", "MyNew.torrent.tmp", "swr.torrent", "swr1A2B.tmp", "debug.html"};

std::string batchFile() {
    char temp[MAX_PATH + 1] = "";
    GetTempPathA(sizeof temp, temp);
    return std::string(temp) + "_uninsep.bat";
}

// What a console program prints, read through a pipe; empty when it cannot be started.
std::string outputOf(const std::string& commandLine, DWORD limitMs) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return std::string();
    win::CHandle reader(readEnd), writer(writeEnd);
    SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer.get();
    startup.hStdError = writer.get();
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &info))
        return std::string();
    win::CHandle process(info.hProcess);
    win::CHandle(info.hThread).reset();  // only the process is waited for
    writer.reset();
    std::string output;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(reader.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        output.append(buffer, read);
    WaitForSingleObject(process.get(), limitMs);
    return output;
}

std::vector<DWORD> cmdProcesses() {
    std::vector<DWORD> ids;
    win::CHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid())
        return ids;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
        if (lstrcmpiA(entry.szExeFile, "cmd.exe") == 0)
            ids.push_back(entry.th32ProcessID);
    return ids;
}

// A process's times in milliseconds: its CPU time so far (kernel and user) and, once it has
// ended, how long it ran.
struct ProcessTimes {
    ULONGLONG cpu = 0;
    ULONGLONG ran = 0;
};
ProcessTimes timesOf(HANDLE process) {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user))
        return ProcessTimes();
    const auto ms = [](const FILETIME& t) { return ((ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000; };
    return ProcessTimes{ms(kernel) + ms(user), ms(ended) > ms(created) ? ms(ended) - ms(created) : 0};
}

bool noCmdWithin(CReport& report, DWORD limitMs) {
    const ULONGLONG start = GetTickCount64();
    const bool none = ui::waitUntil([] { return cmdProcesses().empty(); }, limitMs);
    report.info("cmd.exe processes: " + std::string(none ? "none" : "still running") + " after " +
                std::to_string((GetTickCount64() - start) / 1000) + " s");
    return report.check(none, "no cmd.exe left running");
}

// The next message box of `processId` must read `expected`: photographed as `name`, answered
// with `button`. False when no box came.
bool answerMessage(CReport& report, DWORD processId, const std::string& expected, const char* name, int button) {
    const HWND box = ui::waitForMessageBox(processId, kTitle);
    if (!box)
        return report.fail("no message box: expected " + quoted(expected));
    report.step("Message: " + quoted(ui::messageText(box)) + (button == IDYES ? ", answered Yes" : ""));
    report.checkEqual(ui::messageText(box), expected, "message");
    report.shot(name, box);
    ui::pressButton(box, button);
    ui::waitGone(box);
    return true;
}

// Presses Install with `folder` or `menu` typed and expects a refusal; the dialog stays open.
bool refused(CReport& report, HWND setup, DWORD processId, const std::string& name, const std::string& expected) {
    ui::pressButton(setup, IDOK);
    const HWND box = ui::waitForMessageBox(processId, kTitle);
    if (!box)
        return report.fail("no message for a refused field");
    report.step("Refused: " + quoted(ui::messageText(box)));
    report.check(ui::messageText(box).rfind(expected, 0) == 0, "the refusal's message");
    report.shot(name, box);
    ui::pressButton(box, IDOK);
    ui::waitGone(box);
    Sleep(200);
    return report.check(IsWindowVisible(setup) != FALSE, "the installation dialog stays open");
}

// The entry lies in the registry view of the program's own width, where Windows' list of
// programs looks for it: a 32-bit program's under WOW6432Node on 64-bit Windows.
void checkEntryView(CReport& report) {
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    const char* const entry = app::settings::kUninstallEntryKey;
    if (!wow64) {
        report.check(keyExists(HKEY_LOCAL_MACHINE, entry),
                     "the installed-apps entry in the program's own registry view");
        return;
    }
    report.check(
        keyExists(HKEY_LOCAL_MACHINE, entry, KEY_WOW64_32KEY) && !keyExists(HKEY_LOCAL_MACHINE, entry, KEY_WOW64_64KEY),
        "the installed-apps entry in the 32-bit view (WOW6432Node), not the 64-bit one");
}

}  // namespace

bool checkInstalledAppsList(CReport& report, bool listed) {
    const std::string list = outputOf("uninstaller.exe --list", 30000);
    report.step("Wine's list of installed programs (uninstaller --list):");
    std::string line;
    for (char c : list + "\n") {
        if (c == '\n' || c == '\r') {
            if (!line.empty())
                report.info(line);
            line.clear();
        } else {
            line += c;
        }
    }
    const bool named = list.find("Seedwright|||Seedwright V1.14") != std::string::npos;
    if (listed)
        checkEntryView(report);
    return report.check(named == listed, listed ? "Seedwright is listed" : "Seedwright is no longer listed");
}

bool installerRefusals(CSeedwright& person, CReport& report) {
    const std::string program = person.download();
    report.step("First start of " + program + ": fields the installer must refuse");
    ui::CProcess first;
    if (!first.start(program, ""))
        return report.fail("the program did not start");
    const HWND setup = person.installerOf(first);
    if (!setup)
        return false;
    ui::setItemText(setup, IDC_SETUP_FOLDER, "MyApps");
    refused(report, setup, first.id(), "refused-folder", "Please enter the Installation Directory as a full path");
    ui::setItemText(setup, IDC_SETUP_FOLDER, "C:\\");
    refused(report, setup, first.id(), "refused-root", "This folder is not one for Seedwright alone:\n\nC:\\\n");
    ui::setItemText(setup, IDC_SETUP_FOLDER, person.installFolder());
    ui::setItemText(setup, IDC_SETUP_MENU, "Seed|wright");
    refused(report, setup, first.id(), "refused-menu", "\"Seed|wright\" can not be a Startmenu Name");
    report.checkEqual(ui::itemText(setup, IDC_SETUP_MENU), "Seed|wright", "the Start menu field kept");
    report.checkEqual(ui::itemText(setup, IDC_SETUP_CLIENT), person.settings().m_client, "the client field kept");

    report.step("Abort");
    ui::pressButton(setup, IDCANCEL);
    report.check(first.waitEnd(), "the installer ended");
    report.check(!exists(person.installFolder()), "no installation folder");
    return report.check(!keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Seedwright"), "no installation record");
}

bool installNewerBuild(CSeedwright& person, CReport& report) {
    const std::string installed = person.installFolder() + "\\Seedwright.exe";
    report.step("--- A newer build installed over a running session");
    if (!person.startFromShortcut("Seedwright.lnk", ShellStart::Open))
        return false;
    const HWND login = loginOf(*person.process());
    if (!report.check(login != nullptr, "a session's login dialog is open"))
        return false;

    // A newer build: another program file, here the built one with bytes of its own appended.
    const std::string newer = downloadsFolder() + "\\Seedwright.exe";
    const std::string bytes = readFileBytes(person.settings().m_program) + "newer build";
    writeFileBytes(newer, bytes);
    report.step("A newer build downloaded to " + newer + " and started");
    ui::CProcess start;
    if (!start.start(newer, ""))
        return report.fail("the newer build " + start.state());
    if (!answerMessage(report, start.id(),
                       "Seedwright is installed in:\n\n" + person.installFolder() +
                           "\n\nThis copy was started from elsewhere:\n\n" + newer +
                           "\n\nInstall this copy over the installed one?",
                       "install-over", IDYES))
        return false;
    const HWND setup = person.installerOf(start);
    if (!setup)
        return false;
    // The member's own choices, which the refusal must keep.
    ui::setItemText(setup, IDC_SETUP_MENU, "Seedwright");
    const std::string fields[] = {ui::itemText(setup, IDC_SETUP_FOLDER), ui::itemText(setup, IDC_SETUP_MENU),
                                  ui::itemText(setup, IDC_SETUP_CLIENT)};
    report.step("Install while the session runs");
    ui::pressButton(setup, IDOK);
    if (!answerMessage(report, start.id(),
                       "Seedwright is still running. Close it, then press Install again to replace " + installed + ".",
                       "install-over-running", IDOK))
        return false;
    Sleep(300);
    report.check(IsWindowVisible(setup) != FALSE, "the installation dialog stays open");
    report.checkEqual(ui::itemText(setup, IDC_SETUP_FOLDER), fields[0], "the folder field kept");
    report.checkEqual(ui::itemText(setup, IDC_SETUP_MENU), fields[1], "the Start menu field kept");
    report.checkEqual(ui::itemText(setup, IDC_SETUP_CLIENT), fields[2], "the client field kept");
    report.check(readFileBytes(installed) != bytes, "the running program file is untouched");

    report.step("The session closed, Install again");
    PostMessageA(login, WM_CLOSE, 0, 0);
    if (!report.check(person.sessionEnded(), "the session ended") ||
        !person.completeInstallation(setup, start, person.installFolder()))
        return false;
    report.check(readFileBytes(installed) == bytes, "the installed program file is the newer build");

    if (!person.startFromShortcut("Seedwright.lnk", ShellStart::Open))
        return false;
    const HWND dialog = loginOf(*person.process());
    report.check(dialog != nullptr, "the shortcut starts a session of the newer build");
    if (dialog)
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    return report.check(person.sessionEnded(), "the session ended");
}

bool reinstallIntoAnotherFolder(CSeedwright& person, CReport& report) {
    const std::string earlier = person.installFolder();
    const std::string notes = earlier + "\\notes.txt";
    report.step("--- Installed again into another folder, " + std::string(kOtherFolder) +
                "; the member keeps a file beside the earlier copy");
    removeTree(kOtherFolder);
    std::ofstream(notes) << "the member's own";
    const std::string program = downloadsFolder() + "\\Seedwright.exe";
    writeFileBytes(program, readFileBytes(person.settings().m_program) + "another build");
    ui::CProcess start;
    if (!start.start(program, ""))
        return report.fail("the downloaded program did not start");
    if (!answerMessage(report, start.id(),
                       "Seedwright is installed in:\n\n" + earlier + "\n\nThis copy was started from elsewhere:\n\n" +
                           program + "\n\nInstall this copy over the installed one?",
                       "install-elsewhere", IDYES))
        return false;
    const HWND setup = person.installerOf(start);
    if (!setup)
        return false;
    report.step("Installation folder typed: " + std::string(kOtherFolder));
    ui::setItemText(setup, IDC_SETUP_FOLDER, kOtherFolder);
    if (!person.completeInstallation(setup, start, kOtherFolder))
        return false;

    report.step("Waiting for the earlier copy to go");
    report.check(ui::waitUntil([&] { return !exists(earlier + "\\Seedwright.exe"); }, 30000),
                 "the earlier Seedwright.exe is gone");
    report.check(readFileBytes(notes) == "the member's own", "the member's file beside it stays");
    report.check(ui::waitUntil([] { return !exists(batchFile()); }, 10000), "the batch file removed itself");
    char recorded[MAX_PATH] = "";
    DWORD size = sizeof recorded;
    SHGetValueA(HKEY_LOCAL_MACHINE, "Software\\Seedwright\\Settings", "InstallationPath", nullptr, recorded, &size);
    report.checkEqual(recorded, kOtherFolder, "the recorded installation folder");

    if (!person.startFromShortcut("Seedwright.lnk", ShellStart::Open))
        return false;
    const HWND login = loginOf(*person.process());
    report.check(login != nullptr, "the shortcut starts the new copy");
    if (login)
        PostMessageA(login, WM_CLOSE, 0, 0);
    report.check(person.sessionEnded(), "the session ended");
    DeleteFileA(notes.c_str());
    RemoveDirectoryA(earlier.c_str());
    return report.failures() == 0;
}

bool workingFolderTakenByAFile(CSeedwright& person, CReport& report) {
    const std::string workingFolder = shellFolder(CSIDL_APPDATA) + "\\Seedwright";
    report.step("--- A file by the name of the working folder: " + workingFolder);
    removeTree(workingFolder);
    writeFileBytes(workingFolder, "in the way");
    if (!person.startFromShortcut("Seedwright.lnk"))
        return false;
    if (!answerMessage(report, person.process()->id(),
                       "Seedwright can not use its working folder, because a file has its name:\n\n" + workingFolder +
                           "\n\nPlease rename or move that file, then start Seedwright again.",
                       "working-folder-taken", IDOK))
        return false;
    // No installer follows: installing again would not move the file.
    const bool ended = report.check(person.sessionEnded(), "the program ended");
    DeleteFileA(workingFolder.c_str());
    return ended;
}

void fillWorkingFolder(const std::string& folder, const std::string& membersFile) {
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* own : kWorkingFiles)
        writeFileBytes(folder + "\\" + own, "Seedwright's own");
    writeFileBytes(folder + "\\debug.html", "<a href=\"/download.php?id=1&passkey=session\">the last answer</a>");
    if (!membersFile.empty())
        writeFileBytes(folder + "\\" + membersFile, "the member's own");
}

bool checkWorkingFolder(CReport& report, const std::string& folder, const std::string& membersFile) {
    report.step("The working folder after the uninstall: " + folder);
    for (const char* own : kWorkingFiles)
        report.check(!exists(folder + "\\" + own), std::string(own) + " is gone");
    if (membersFile.empty())
        return report.check(!exists(folder), "the emptied working folder is gone");
    report.check(readFileBytes(folder + "\\" + membersFile) == "the member's own",
                 "the member's " + membersFile + " stays");
    return report.check(exists(folder), "the working folder with the member's file stays");
}

bool uninstallKeepsAMembersFolder(CSeedwright& person, CReport& report) {
    report.step("--- Installed into a folder that holds a member's file");
    removeTree(kMembersFolder);
    CreateDirectoryA(kMembersFolder, nullptr);
    const std::string notes = std::string(kMembersFolder) + "\\notes.txt";
    std::ofstream(notes) << "the member's own";
    InstallChoice choice;
    choice.m_folder = kMembersFolder;
    if (!person.install(choice) || !checkInstalledAppsList(report, true))
        return false;
    fillWorkingFolder(person.workingFolder(), "");
    if (!person.uninstall() || !person.batchRemoved(kMembersFolder, true))
        return false;
    checkWorkingFolder(report, person.workingFolder(), "");
    checkInstalledAppsList(report, false);
    return report.check(readFileBytes(notes) == "the member's own", "the member's file is untouched");
}

bool uninstallAReadOnlyCopyFromAFolderCmdMustReadLiterally(CSeedwright& person, CReport& report) {
    report.step("--- Installed from a read-only program file into a folder with blanks, umlaut, '&', '!' and '%'");
    const std::string parent = std::string(kUmlautFolder).substr(0, std::string(kUmlautFolder).rfind('\\'));
    removeTree(parent);
    // There before the installation: not the installer's to remove.
    CreateDirectoryA(parent.c_str(), nullptr);
    InstallChoice choice;
    choice.m_folder = kUmlautFolder;
    choice.m_readOnly = true;
    const bool installed = person.install(choice);
    SetFileAttributesA((downloadsFolder() + "\\Seedwright.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!installed || !person.uninstall() || !person.batchRemoved(kUmlautFolder, false))
        return false;
    report.check(exists(parent), "the folder above the installation, there before it, stays");
    RemoveDirectoryA(parent.c_str());
    return noCmdWithin(report, 60000);
}

bool uninstallWhileASessionRuns(CSeedwright& person, CReport& report) {
    report.step("--- Uninstalled while a session runs, then once it has ended");
    if (!person.install())
        return false;
    const std::string program = person.installFolder() + "\\Seedwright.exe";
    ui::CProcess session;
    if (!session.start(program, ""))
        return report.fail("the session did not start");
    const HWND dialog = loginOf(session);
    if (!report.check(dialog != nullptr, "a session's login dialog is open"))
        return false;
    if (!person.uninstallRefused("Seedwright is still running. Close it, then uninstall again to remove " + program +
                                 "."))
        return false;
    report.check(!exists(batchFile()), "no batch file");

    report.step("The session closed, the uninstall shortcut again");
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    if (!report.check(session.waitEnd(), "the session ended"))
        return false;
    return person.uninstall() && person.batchRemoved(person.installFolder(), false);
}

bool uninstallBatchWaitsForAFileTakenAfterItLooked(CSeedwright& person, CReport& report) {
    report.step("--- Another program takes the program file after the uninstaller looked");
    if (!person.install())
        return false;
    const std::string program = person.installFolder() + "\\Seedwright.exe";
    if (!person.startFromShortcut("uninstall.lnk"))
        return false;
    const DWORD uninstaller = person.process()->id();
    if (!answerMessage(report, uninstaller, "Do you really want to uninstall Seedwright ?", "uninstall", IDYES))
        return false;
    const HWND box = ui::waitForMessageBox(uninstaller, kTitle);
    if (!box)
        return report.fail("no message at the end of the uninstall");
    report.checkEqual(ui::messageText(box), "Seedwright was uninstalled.", "message");
    // Opened without sharing its deletion, as a virus scanner might.
    win::CHandle held(CreateFileA(program.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    report.step("The program file opened by another program before the message is answered");
    report.check(held.valid(), "the program file is held");
    ui::pressButton(box, IDOK);
    report.check(person.sessionEnded(), "the uninstaller ended");

    // The batch's cmd.exe: its CPU time over a few seconds shows whether it waits or spins.
    if (!ui::waitUntil([] { return !cmdProcesses().empty(); }, 10000))
        return report.fail("no batch running");
    win::CHandle cmd(OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, cmdProcesses().front()));
    const ULONGLONG cpuBefore = timesOf(cmd.get()).cpu;
    Sleep(5000);
    const ULONGLONG cpu = timesOf(cmd.get()).cpu - cpuBefore;
    report.info("cmd.exe used " + std::to_string(cpu) + " ms of CPU in 5 s");
    report.check(cpu < 1000, "the batch waits between its attempts");
    const bool ended = WaitForSingleObject(cmd.get(), 60000) == WAIT_OBJECT_0;
    const ProcessTimes times = timesOf(cmd.get());
    report.info("the batch gave up after " + std::to_string(times.ran / 1000) + " s, with " +
                std::to_string(times.cpu) + " ms of CPU in all");
    report.check(ended, "the batch gave up");
    report.check(ui::waitUntil([] { return !exists(batchFile()); }, 10000), "the batch file removed itself");
    report.check(exists(program), "the held program file stays");
    noCmdWithin(report, 5000);
    held.reset();
    removeTree(person.installFolder());
    return report.failures() == 0;
}

bool nonAsciiInstallationsStartThroughTheShell(CSeedwright& person, CReport& report) {
    for (const NonAsciiFolder& place : kNonAsciiFolders) {
        report.step("--- Installed into " + std::string(place.folder) +
                    ": its shortcuts started through the shell, which reads them in its own code page");
        removeTree(place.createdTop);
        InstallChoice choice;
        choice.m_folder = place.folder;
        if (!person.install(choice) || !person.startFromShortcut("Seedwright.lnk", ShellStart::Open))
            return false;
        const HWND login = loginOf(*person.process());
        if (!report.check(login != nullptr, "the program's login dialog"))
            return false;
        report.shot("non-ascii-login", login);
        PostMessageA(login, WM_CLOSE, 0, 0);
        if (!report.check(person.sessionEnded(), "the session ended") ||
            !person.uninstall(std::string(), ShellStart::StartCommand) || !person.batchRemoved(place.folder, false))
            return false;
        report.check(ui::waitUntil([&] { return !exists(place.createdTop); }, 10000),
                     "the folders the installer made are gone: " + std::string(place.createdTop));
    }
    return report.failures() == 0;
}

bool uninstallLeavesTheProgramFileWhereNoBatchMayRun(CSeedwright& person, CReport& report) {
    const std::string program = person.installFolder() + "\\Seedwright.exe";
    const std::string intruder = "C:\\Seedwright.exe";
    const std::string removed = "Seedwright's shortcuts and settings are removed, but ";
    const std::string deleteYourself = "\n\nPlease delete the program file yourself:\n\n";

    report.step("--- The installation record names the drive root, C:\\Windows\\..");
    if (!person.install())
        return false;
    writeFileBytes(intruder, "not Seedwright's");
    const std::string root = "C:\\Windows\\..";
    SHSetValueA(HKEY_LOCAL_MACHINE, "Software\\Seedwright\\Settings", "InstallationPath", REG_SZ, root.c_str(),
                DWORD(root.size() + 1));
    if (!person.uninstall(removed + "the recorded Installation Directory is not a folder of Seedwright's own:\n\n" +
                          root + deleteYourself + intruder))
        return false;
    report.check(readFileBytes(intruder) == "not Seedwright's", "the file at the drive root is untouched");
    report.check(exists(program), "the installed program file stays too");
    report.check(!exists(batchFile()), "no batch file");
    DeleteFileA(intruder.c_str());

    report.step("--- Uninstalled with a temporary folder that does not exist");
    if (!person.install())
        return false;
    char temp[MAX_PATH] = "", tmp[MAX_PATH] = "";
    GetEnvironmentVariableA("TEMP", temp, MAX_PATH);
    GetEnvironmentVariableA("TMP", tmp, MAX_PATH);
    SetEnvironmentVariableA("TEMP", "C:\\no such folder");
    SetEnvironmentVariableA("TMP", "C:\\no such folder");
    const bool told = person.uninstall(removed + "the batch file that removes its program file could not be written." +
                                       deleteYourself + program);
    SetEnvironmentVariableA("TEMP", temp);
    SetEnvironmentVariableA("TMP", tmp);
    report.check(exists(program), "the program file stays");
    removeTree(person.installFolder());
    return told;
}

bool uninstallWithNothingInstalled(CReport& report) {
    const std::string program = downloadsFolder() + "\\Seedwright.exe";
    report.step("--- " + program + " /uninstall with nothing installed");
    ui::CProcess start;
    if (!start.start(program, "/uninstall"))
        return report.fail("the program did not start");
    if (!answerMessage(report, start.id(), "Seedwright is not installed.", "not-installed", IDOK))
        return false;
    return report.check(start.waitEnd(), "the program ended");
}
