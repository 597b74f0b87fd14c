#include "install/Setup.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "app/AppState.h"
#include "app/SettingsLayout.h"
#include "app/res/resource.h"
#include "client/ClientDialogs.h"
#include "client/ClientDiscovery.h"
#include "install/SettingsKey.h"
#include "install/SetupRules.h"
#include "install/WinPaths.h"
#include "win/IsFile.h"
#include "win/MessageBox.h"
#include "win/ModulePath.h"
#include "win/SpecialFolder.h"
#include "win/WholeFile.h"

namespace {

DWORD createProbeFolder(const std::string& folder) {
    if (SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr) == ERROR_SUCCESS)
        return 0;
    return GetLastError();
}

}  // namespace

DWORD (*CSetup::s_createProbeFolder)(const std::string& folder) = createProbeFolder;

CSetup::CSetup() : win::CDialog(IDD_SETUP) {}

bool CSetup::probeWriteAccess() {
    m_modulePath = win::modulePath();

    COsVersion os;
    os.osVersionCode();
    m_programsFolderId = os.m_isNt ? CSIDL_COMMON_PROGRAMS : CSIDL_STARTMENU;
    m_programsFolder = win::specialFolderPath(m_programsFolderId, false);
    m_programFilesFolder = win::specialFolderPath(CSIDL_PROGRAM_FILES, true);

    const std::string testFolder = m_programFilesFolder + "\\Seedwright_test";
    if (s_createProbeFolder(testFolder) == ERROR_ACCESS_DENIED) {
        appState().m_elevationNeeded = true;
        return false;
    }
    RemoveDirectoryA(testFolder.c_str());
    return true;
}

BOOL CSetup::OnInitDialog() {
    if (!probeWriteAccess()) {
        EndDialog(IDCANCEL);
        return FALSE;
    }
    bind(m_folderEdit, IDC_SETUP_FOLDER);
    bind(m_menuEdit, IDC_SETUP_MENU);
    bind(m_clientEdit, IDC_SETUP_CLIENT);

    const AppState& state = appState();
    setWindowText(state.m_title + " - Installation");
    // A repeated installation keeps what the member chose the last time.
    const std::string storedMenu = setup::readSettingsValue(settings::kStartMenuPath);
    const std::string foundClient = state.m_utorrentPath.empty() ? findUTorrentPath() : std::string();
    const setup::InstallFields fields = setup::prefilledFields(state, storedMenu, m_programFilesFolder, foundClient);
    m_folderEdit.setText(fields.folder);
    m_menuEdit.setText(fields.menu);
    m_clientEdit.setText(fields.client);
    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}

bool CSetup::OnCommand(WORD code, WORD id, HWND /*control*/) {
    if (code != BN_CLICKED)
        return false;
    if (id == IDC_SETUP_FOLDER_BROWSE) {
        chooseInstallFolder();
        return true;
    }
    if (id == IDC_SETUP_CLIENT_BROWSE) {
        chooseClient();
        return true;
    }
    return false;
}

void CSetup::chooseInstallFolder() {
    std::string chosen;
    if (chooseFolder(hwnd(), chosen))
        m_folderEdit.setText(setup::withProductFolder(chosen));
}

void CSetup::chooseClient() {
    CFindExe findExe(hwnd());
    if (findExe.DoModal() == IDOK)
        m_clientEdit.setText(appState().m_clientExePath);
}

void CSetup::OnOK() {
    const setup::InstallFields fields = {m_folderEdit.text(), m_menuEdit.text(), m_clientEdit.text()};
    switch (setup::install(*this, appState(), fields)) {
        case setup::InstallEnd::StayOpen:
            break;
        case setup::InstallEnd::Cancel:
            EndDialog(IDCANCEL);
            break;
        case setup::InstallEnd::Done:
            EndDialog(IDOK);
            break;
    }
}

void CSetup::uninstall() {
    setup::uninstall(*this, appState());
}

void CSetup::writeSelfDeleteBatch(const std::string& installationPath) {
    setup::writeSelfDeleteBatch(*this, installationPath);
}

int CSetup::message(const std::string& text, unsigned type) {
    HWND owner = hwnd() != nullptr ? hwnd() : GetActiveWindow();
    return MessageBoxA(owner, text.c_str(), appState().m_title.c_str(), win::withDefaultIcon(type));
}

std::string CSetup::fullPath(const std::string& path) {
    return setup::fullLongPath(path);
}

std::vector<std::string> CSetup::systemFolders() {
    return setup::systemFolders();
}

int CSetup::createFolderTree(const std::string& folder, unsigned long& lastError) {
    const int result = SHCreateDirectoryExA(hwnd(), folder.c_str(), nullptr);
    lastError = GetLastError();
    return result;
}

bool CSetup::copyProgram(const std::string& to, unsigned long& error) {
    if (CopyFileA(m_modulePath.c_str(), to.c_str(), FALSE))
        return true;
    error = GetLastError();
    return false;
}

void CSetup::clearReadOnly(const std::string& file) {
    const DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        SetFileAttributesA(file.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

unsigned long long CSetup::fileSize(const std::string& file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool CSetup::openSettingsKey(unsigned long& error) {
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, settings::kSettingsKey, 0, KEY_ALL_ACCESS, m_settingsKey.receive()) ==
        ERROR_SUCCESS)
        return true;
    const LONG created =
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, settings::kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, m_settingsKey.receive(), nullptr);
    error = static_cast<unsigned long>(created);
    return created == ERROR_SUCCESS;
}

void CSetup::writeSetting(const char* name, const std::string& value) {
    RegSetValueExA(m_settingsKey.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

bool CSetup::writeUninstallEntry(const setup::UninstallEntry& entry, unsigned long& error) {
    const auto write = [&](HKEY root) {
        win::CRegKey key;
        LONG result = RegCreateKeyExA(root, settings::kUninstallEntryKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                      KEY_WRITE, nullptr, key.receive(), nullptr);
        const auto text = [&](const char* name, const std::string& value) {
            if (result == ERROR_SUCCESS)
                result = RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                        static_cast<DWORD>(value.size() + 1));
        };
        const auto number = [&](const char* name, DWORD value) {
            if (result == ERROR_SUCCESS)
                result =
                    RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
        };
        text(settings::kDisplayName, entry.displayName);
        text(settings::kDisplayVersion, entry.displayVersion);
        text(settings::kPublisher, entry.publisher);
        text(settings::kDisplayIcon, entry.displayIcon);
        text(settings::kInstallLocation, entry.installLocation);
        text(settings::kUninstallString, entry.uninstallString);
        number(settings::kNoModify, 1);
        number(settings::kNoRepair, 1);
        number(settings::kEstimatedSize, entry.estimatedSizeKiB);
        return result;
    };
    // Where the machine's list is closed to this user, the user's own list shows the entry.
    LONG result = write(HKEY_LOCAL_MACHINE);
    if (result != ERROR_SUCCESS) {
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, settings::kUninstallEntryKey);
        result = write(HKEY_CURRENT_USER);
    }
    error = static_cast<unsigned long>(result);
    return result == ERROR_SUCCESS;
}

bool CSetup::createLink(const std::string& target,
                        const std::string& linkName,
                        const std::string& description,
                        const std::string& arguments) {
    // Once set, the arguments stay for every later link of this object.
    if (!arguments.empty())
        m_shortcut.m_arguments = arguments;
    return m_shortcut.createLink(target, linkName, m_programsFolderId, description, target, 0);
}

void CSetup::deleteProductTrees() {
    m_settingsKey.reset();
    SHDeleteKeyA(HKEY_CURRENT_USER, settings::kProductTree);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, settings::kProductTree);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, settings::kUninstallEntryKey);
    SHDeleteKeyA(HKEY_CURRENT_USER, settings::kUninstallEntryKey);
}

std::string CSetup::readSetting(const char* name) {
    return setup::readSettingsValue(name);
}

void CSetup::deleteLink(const std::string& linkName) {
    ::deleteLink(linkName, m_programsFolderId);
}

void CSetup::removeEmptyFolder(const std::string& folder) {
    RemoveDirectoryA(folder.c_str());
}

bool CSetup::fileExists(const std::string& file) {
    return win::isFile(file);
}

std::string CSetup::temporaryFolder() {
    char temp[MAX_PATH + 1] = "";
    const DWORD length = GetTempPathA(sizeof(temp), temp);
    return std::string(temp, length <= MAX_PATH ? length : 0);
}

bool CSetup::batchSpelling(const std::string& path, std::string& spelled) {
    return setup::oemSpelling(path, spelled);
}

unsigned CSetup::batchCodePage() {
    return setup::systemOemCodePage();
}

bool CSetup::startBatch(const std::string& path, const std::string& folder, const std::string& text) {
    // A batch cut short could stop between its loops; better to start none.
    if (!win::writeWholeFile(path, text)) {
        DeleteFileA(path.c_str());
        return false;
    }
    // Started in its own folder, so it never stands in the program folder or on another drive.
    if (reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", path.c_str(), nullptr, folder.c_str(), SW_HIDE)) > 32)
        return true;
    DeleteFileA(path.c_str());
    return false;
}
