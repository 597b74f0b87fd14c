#include "install/WinSetupSystem.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "app/state/AppState.h"
#include "app/state/SettingsLayout.h"
#include "client/ClientDiscovery.h"
#include "install/ProgramInUse.h"
#include "install/SettingsKey.h"
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

DWORD (*CWinSetupSystem::s_createProbeFolder)(const std::string& folder) = createProbeFolder;

bool CWinSetupSystem::probeWriteAccess() {
    m_modulePath = win::modulePath();

    COsVersion os;
    os.osVersionCode();
    m_programsFolderId = os.m_isNt ? CSIDL_COMMON_PROGRAMS : CSIDL_STARTMENU;
    m_programsFolder = win::specialFolderPath(m_programsFolderId, false);
    m_programFilesFolder = win::specialFolderPath(CSIDL_PROGRAM_FILES, true);

    const std::string testFolder = m_programFilesFolder + "\\Seedwright_test";
    if (s_createProbeFolder(testFolder) == ERROR_ACCESS_DENIED)
        return false;
    RemoveDirectoryA(testFolder.c_str());
    return true;
}

int CWinSetupSystem::message(const std::string& text, unsigned type) {
    HWND owner = m_owner != nullptr ? m_owner : GetActiveWindow();
    return MessageBoxA(owner, text.c_str(), m_caption.c_str(), win::withDefaultIcon(type));
}

std::string CWinSetupSystem::fullPath(const std::string& path) {
    return install::fullLongPath(path);
}

std::vector<std::string> CWinSetupSystem::systemFolders() {
    return install::systemFolders();
}

int CWinSetupSystem::createFolderTree(const std::string& folder, unsigned long& lastError) {
    const int result = SHCreateDirectoryExA(m_owner, folder.c_str(), nullptr);
    lastError = GetLastError();
    return result;
}

bool CWinSetupSystem::copyProgram(const std::string& to, unsigned long& error) {
    if (CopyFileA(m_modulePath.c_str(), to.c_str(), FALSE))
        return true;
    error = GetLastError();
    return false;
}

void CWinSetupSystem::clearReadOnly(const std::string& file) {
    const DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        SetFileAttributesA(file.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

unsigned long long CWinSetupSystem::fileSize(const std::string& file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool CWinSetupSystem::openSettingsKey(unsigned long& error) {
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, app::settings::kSettingsKey, 0, KEY_ALL_ACCESS, m_settingsKey.receive()) ==
        ERROR_SUCCESS)
        return true;
    const LONG created =
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, app::settings::kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, m_settingsKey.receive(), nullptr);
    error = static_cast<unsigned long>(created);
    return created == ERROR_SUCCESS;
}

void CWinSetupSystem::writeSetting(const char* name, const std::string& value) {
    RegSetValueExA(m_settingsKey.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

bool CWinSetupSystem::writeUninstallEntry(const install::UninstallEntry& entry, unsigned long& error) {
    const auto write = [&](HKEY root) {
        win::CRegKey key;
        LONG result = RegCreateKeyExA(root, app::settings::kUninstallEntryKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
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
        text(app::settings::kDisplayName, entry.displayName);
        text(app::settings::kDisplayVersion, entry.displayVersion);
        text(app::settings::kPublisher, entry.publisher);
        text(app::settings::kDisplayIcon, entry.displayIcon);
        text(app::settings::kInstallLocation, entry.installLocation);
        text(app::settings::kUninstallString, entry.uninstallString);
        number(app::settings::kNoModify, 1);
        number(app::settings::kNoRepair, 1);
        number(app::settings::kEstimatedSize, entry.estimatedSizeKiB);
        return result;
    };
    // Where the machine's list is closed to this user, the user's own list shows the entry.
    LONG result = write(HKEY_LOCAL_MACHINE);
    if (result != ERROR_SUCCESS) {
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, app::settings::kUninstallEntryKey);
        result = write(HKEY_CURRENT_USER);
    }
    error = static_cast<unsigned long>(result);
    return result == ERROR_SUCCESS;
}

bool CWinSetupSystem::createLink(const std::string& target,
                                 const std::string& linkName,
                                 const std::string& description,
                                 const std::string& arguments) {
    // Once set, the arguments stay for every later link of this object.
    if (!arguments.empty())
        m_shortcut.m_arguments = arguments;
    return m_shortcut.createLink(target, linkName, m_programsFolderId, description, target, 0);
}

void CWinSetupSystem::deleteProductTrees() {
    m_settingsKey.reset();
    SHDeleteKeyA(HKEY_CURRENT_USER, app::settings::kProductTree);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, app::settings::kProductTree);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, app::settings::kUninstallEntryKey);
    SHDeleteKeyA(HKEY_CURRENT_USER, app::settings::kUninstallEntryKey);
}

std::string CWinSetupSystem::readSetting(const char* name) {
    return install::readSettingsValue(name);
}

void CWinSetupSystem::deleteLink(const std::string& linkName) {
    ::deleteLink(linkName, m_programsFolderId);
}

void CWinSetupSystem::removeEmptyFolder(const std::string& folder) {
    RemoveDirectoryA(folder.c_str());
}

bool CWinSetupSystem::fileExists(const std::string& file) {
    return win::isFile(file);
}

bool CWinSetupSystem::folderExists(const std::string& folder) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> CWinSetupSystem::filesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const win::CFindHandle search(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!search.valid())
        return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.push_back(found.cFileName);
    } while (FindNextFileA(search.get(), &found));
    return names;
}

void CWinSetupSystem::deleteFile(const std::string& file) {
    clearReadOnly(file);
    DeleteFileA(file.c_str());
}

install::FileUse CWinSetupSystem::useOf(const std::string& programFile) {
    return install::useOfProgramFile(programFile);
}

bool CWinSetupSystem::sessionRunsElsewhere() {
    const win::CHandle session(OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, app::kSessionMutex));
    if (!session.valid())
        return false;
    // Taken at once: nobody held it (a holder that ended leaves it abandoned).
    const DWORD taken = WaitForSingleObject(session.get(), 0);
    if (taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED) {
        ReleaseMutex(session.get());
        return false;
    }
    return true;
}

std::string CWinSetupSystem::temporaryFolder() {
    char temp[MAX_PATH + 1] = "";
    const DWORD length = GetTempPathA(sizeof(temp), temp);
    return std::string(temp, length <= MAX_PATH ? length : 0);
}

bool CWinSetupSystem::batchSpelling(const std::string& path, std::string& spelled) {
    return install::oemSpelling(path, spelled);
}

unsigned CWinSetupSystem::batchCodePage() {
    return install::systemOemCodePage();
}

bool CWinSetupSystem::writeBatch(const std::string& path, const std::string& text) {
    // A batch cut short could stop between its loops; better to start none.
    if (win::writeWholeFile(path, text))
        return true;
    DeleteFileA(path.c_str());
    return false;
}

bool CWinSetupSystem::startBatch(const std::string& path, const std::string& folder) {
    // Started in its own folder, so it never stands in the program folder or on another drive.
    if (reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", path.c_str(), nullptr, folder.c_str(), SW_HIDE)) > 32)
        return true;
    DeleteFileA(path.c_str());
    return false;
}
