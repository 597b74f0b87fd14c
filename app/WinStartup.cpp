#include "app/WinStartup.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <clocale>

#include "app/state/SettingsLayout.h"
#include "install/SettingsKey.h"
#include "install/Setup.h"
#include "install/WinPaths.h"
#include "win/CodePage.h"
#include "win/Handles.h"
#include "win/IsFile.h"
#include "win/MessageBox.h"
#include "win/ModulePath.h"
#include "win/SpecialFolder.h"

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

void CWinStartupHost::runUninstaller() {
    CSetup uninstaller;
    uninstaller.uninstall();
}

int CWinStartupHost::runInstaller() {
    CSetup installer;
    return static_cast<int>(installer.DoModal());
}

void CWinStartupHost::restartElevated(const std::string& parameters) {
    const std::string module = programFile();
    if (module.empty())
        return;
    ShellExecuteA(nullptr, "runas", module.c_str(), parameters.empty() ? nullptr : parameters.c_str(), nullptr,
                  SW_SHOWNORMAL);
}

void CWinStartupHost::message(const std::string& text) {
    appMessageBox(text, MB_OK);
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
