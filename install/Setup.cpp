#include "install/Setup.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "app/state/AppState.h"
#include "app/state/SettingsLayout.h"
#include "client/ClientDialogs.h"
#include "client/ClientDiscovery.h"
#include "install/SettingsKey.h"
#include "install/SetupRules.h"
#include "install/WinPaths.h"
#include "install/res/InstallIds.h"

namespace {

DWORD createProbeFolder(const std::string& folder) {
    if (SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr) == ERROR_SUCCESS)
        return 0;
    return GetLastError();
}

std::string folderPath(int csidl) {
    char path[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)))
        return std::string();
    return path;
}

// At most 260 characters, as the installer always read its fields.
std::string fieldText(const win::CEdit& edit) {
    std::string text = edit.text();
    if (text.size() > MAX_PATH)
        text.resize(MAX_PATH);
    return text;
}

}  // namespace

DWORD (*CSetup::s_createProbeFolder)(const std::string& folder) = createProbeFolder;

CSetup::CSetup() : win::CDialog(IDD_SETUP) {}

bool CSetup::probeWriteAccess() {
    char module[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    m_modulePath.assign(module, length < MAX_PATH ? length : 0);

    COsVersion os;
    os.osVersionCode();
    m_programsFolderId = os.m_isNt ? CSIDL_COMMON_PROGRAMS : CSIDL_STARTMENU;
    m_programsFolder = folderPath(m_programsFolderId);
    m_programFilesFolder = folderPath(CSIDL_PROGRAM_FILES | CSIDL_FLAG_CREATE);

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
    const setup::InstallFields fields = {fieldText(m_folderEdit), fieldText(m_menuEdit), fieldText(m_clientEdit)};
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
    const UINT icon = (type & MB_TYPEMASK) == MB_YESNO ? MB_ICONQUESTION : MB_ICONEXCLAMATION;
    HWND owner = hwnd() != nullptr ? hwnd() : GetActiveWindow();
    return MessageBoxA(owner, text.c_str(), appState().m_title.c_str(), type | icon);
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
    const DWORD attributes = GetFileAttributesA(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
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
    win::CHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    DWORD written = 0;
    const BOOL wroteAll = WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                          written == text.size();
    file.reset();
    // A batch cut short could stop between its loops; better to start none.
    if (!wroteAll) {
        DeleteFileA(path.c_str());
        return false;
    }
    // Started in its own folder, so it never stands in the program folder or on another drive.
    if (reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", path.c_str(), nullptr, folder.c_str(), SW_HIDE)) > 32)
        return true;
    DeleteFileA(path.c_str());
    return false;
}
