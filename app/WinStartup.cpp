#include "app/WinStartup.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <clocale>

#include "app/state/AppState.h"
#include "app/state/SettingsLayout.h"
#include "install/SettingsKey.h"
#include "install/Setup.h"
#include "install/WinPaths.h"
#include "install/WinSetupSystem.h"
#include "win/CodePage.h"
#include "win/Handles.h"
#include "win/IsFile.h"
#include "win/MessageBox.h"
#include "win/ModulePath.h"
#include "win/SpecialFolder.h"

namespace {

const char* const kSessionHolder = "Local\\Seedwright-session-holder";
// How long a second copy waits for the running one to show a window: between the login and the
// main dialog it shows none for a moment.
constexpr DWORD kSessionWindowWaitMs = 5000;

// The process that holds the session; 0 when none has said so yet.
DWORD sessionHolderId() {
    const win::CHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, kSessionHolder));
    if (!mapping.valid())
        return 0;
    const void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, sizeof(DWORD));
    if (view == nullptr)
        return 0;
    const DWORD id = *static_cast<const DWORD*>(view);
    UnmapViewOfFile(view);
    return id;
}

struct SessionWindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK visitSessionWindow(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<SessionWindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window) || GetWindow(window, GW_OWNER) != nullptr)
        return TRUE;
    search.found = window;
    return FALSE;
}

// What the installer and the uninstaller are given of the run.
install::SetupContext setupContext(const AppState& state) {
    install::SetupContext context;
    context.title = state.m_title;
    context.installationPath = state.m_installationPath;
    context.utorrentPath = state.m_utorrentPath;
    context.workingFolder = state.m_workingFolder;
    context.forced = state.m_forced;
    return context;
}

// The visible top-level window of `processId` that no other window owns: its login or main
// dialog.
HWND sessionWindow(DWORD processId) {
    SessionWindowSearch search = {processId, nullptr};
    if (processId != 0)
        EnumWindows(visitSessionWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

void CWinStartupHost::setApplicationName(const std::string& name) {
    m_app.setApplicationName(name);
}

void CWinStartupHost::setUserLocale() {
    std::setlocale(LC_ALL, "");
}

std::string CWinStartupHost::appDataFolder() {
    return win::specialFolderPath(CSIDL_APPDATA, true);
}

unsigned long CWinStartupHost::createFolder(const std::string& folder) {
    if (CreateDirectoryA(folder.c_str(), nullptr))
        return 0;
    return GetLastError();
}

void CWinStartupHost::initControls() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
}

void CWinStartupHost::readInstallation(AppState& state) {
    win::CRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, app::settings::kSettingsKey, 0, KEY_READ, key.receive()) != ERROR_SUCCESS)
        return;
    install::readTextValue(key.get(), app::settings::kInstallationPath, state.m_installationPath);
    install::readTextValue(key.get(), app::settings::kUtorrent, state.m_utorrentPath);
}

void CWinStartupHost::setRegistryKey(const std::string& name) {
    m_app.setRegistryKey(name);
}

std::string CWinStartupHost::programFile() {
    return win::modulePath();
}

std::string CWinStartupHost::fullPath(const std::string& path) {
    return install::fullLongPath(path);
}

install::SetupOutcome CWinStartupHost::runUninstaller(const AppState& state) {
    CSetup uninstaller(setupContext(state));
    return uninstaller.uninstall();
}

int CWinStartupHost::runInstaller(const AppState& state, install::SetupOutcome& outcome) {
    CSetup installer(setupContext(state));
    const int result = static_cast<int>(installer.DoModal());
    outcome = installer.outcome();
    return result;
}

void CWinStartupHost::restartElevated(const std::string& parameters) {
    const std::string module = programFile();
    if (module.empty())
        return;
    ShellExecuteA(nullptr, "runas", module.c_str(), parameters.empty() ? nullptr : parameters.c_str(), nullptr,
                  SW_SHOWNORMAL);
}

bool CWinStartupHost::startBatch(const std::string& path, const std::string& folder) {
    return CWinSetupSystem::startBatch(path, folder);
}

void CWinStartupHost::message(const std::string& text) {
    appMessageBox(text, MB_OK);
}

void CWinStartupHost::success(const std::string& text) {
    appMessageBox(text, MB_OK | MB_ICONINFORMATION);
}

int CWinStartupHost::ask(const std::string& text) {
    return appMessageBox(text, MB_YESNO);
}

bool CWinStartupHost::setCurrentFolder(const std::string& folder) {
    return SetCurrentDirectoryA(folder.c_str()) != FALSE;
}

bool CWinStartupHost::isFile(const std::string& path) {
    return win::isFile(path);
}

std::string CWinStartupHost::currentFolder() {
    char path[win::codepage::kPathBytes] = "";
    const DWORD length = GetCurrentDirectoryA(sizeof path, path);
    return std::string(path, length < sizeof path ? length : 0);
}

bool CWinStartupHost::takeSession() {
    const DWORD taken = WaitForSingleObject(m_session.get(), 0);
    if (taken != WAIT_OBJECT_0 && taken != WAIT_ABANDONED)
        return false;
    m_sessionHolder.reset(
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD), kSessionHolder));
    if (m_sessionHolder.valid()) {
        if (void* view = MapViewOfFile(m_sessionHolder.get(), FILE_MAP_WRITE, 0, 0, sizeof(DWORD))) {
            *static_cast<DWORD*>(view) = GetCurrentProcessId();
            UnmapViewOfFile(view);
        }
    }
    return true;
}

bool CWinStartupHost::claimSession() {
    m_session.reset(CreateMutexA(nullptr, FALSE, app::kSessionMutex));
    // Without the mutex nothing can be told apart: every copy runs, as before there was one.
    return !m_session.valid() || takeSession();
}

bool CWinStartupHost::showRunningSession() {
    const DWORD start = GetTickCount();
    do {
        if (const HWND window = sessionWindow(sessionHolderId())) {
            if (IsIconic(window))
                ShowWindow(window, SW_RESTORE);
            // A message box or the hashing dialog in front of it comes with it.
            SetForegroundWindow(GetLastActivePopup(window));
            return true;
        }
        Sleep(100);
        if (takeSession())
            return false;
    } while (GetTickCount() - start < kSessionWindowWaitMs);
    return true;
}
