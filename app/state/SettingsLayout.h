#pragma once
// Every registry key and value name the program reads or writes, in one place.
// Text values are REG_SZ, numbers REG_DWORD.

#include <string>

namespace app::settings {

enum class Root { LocalMachine, CurrentUser, ClassesRoot };

// Installation record, HKEY_LOCAL_MACHINE.
inline constexpr const char* kSettingsKey = "Software\\Seedwright\\Settings";
inline constexpr const char* kInstallationPath = "InstallationPath";
inline constexpr const char* kStartMenuPath = "StartMenuPath";
inline constexpr const char* kUtorrent = "utorrent";
// The highest folder of the installation path that the installer made itself (the program
// folder, or a folder above it); empty when the program folder was there before. The removal
// takes the folders up to it away once they are empty.
inline constexpr const char* kCreatedFolder = "CreatedFolder";

// The whole tree removed by the uninstaller (and by a failed shortcut), under both roots.
inline constexpr const char* kProductTree = "SOFTWARE\\Seedwright";

// The entry of the installed-apps list: HKEY_LOCAL_MACHINE, or HKEY_CURRENT_USER where the
// machine's key is not writable. Removed under both by the uninstaller.
inline constexpr const char* kUninstallEntryKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Seedwright";
inline constexpr const char* kDisplayName = "DisplayName";
inline constexpr const char* kDisplayVersion = "DisplayVersion";
inline constexpr const char* kPublisher = "Publisher";
inline constexpr const char* kDisplayIcon = "DisplayIcon";
inline constexpr const char* kInstallLocation = "InstallLocation";
inline constexpr const char* kUninstallString = "UninstallString";
inline constexpr const char* kNoModify = "NoModify";            // REG_DWORD 1
inline constexpr const char* kNoRepair = "NoRepair";            // REG_DWORD 1
inline constexpr const char* kEstimatedSize = "EstimatedSize";  // REG_DWORD, KiB

// Per-user profile, HKEY_CURRENT_USER\Software\<registry key>\<profile name>\<section>,
// where the profile name is the application title.
inline constexpr const char* kRegistryKeyName = "Seedwright";
inline constexpr const char* kProfileSection = "Settings";
inline constexpr const char* kLastSite = "LastSite";
inline constexpr const char* kRemember = "Remember";
// The stored login and password of a site: the name followed by the site's index ("Login1").
inline constexpr const char* kLoginPrefix = "Login";
inline constexpr const char* kPasswordPrefix = "Password";

// Where the torrent client registers its open command (default values).
struct ClientCommandKey {
    Root root;
    const char* key;
};
inline constexpr ClientCommandKey kUtorrentCommandKeys[] = {
    {Root::ClassesRoot, "uTorrent\\shell\\open\\command"},
    {Root::ClassesRoot, "Applications\\uTorrent.exe\\shell\\open\\command"},
    {Root::CurrentUser, "Software\\Classes\\Applications\\uTorrent.exe\\shell\\open\\command"},
};

// The program registered for .torrent files: this key's default value names a class whose open
// command is read (HKEY_CLASSES_ROOT).
inline constexpr const char* kTorrentFileClass = ".torrent";
inline constexpr const char* kOpenCommand = "\\shell\\open\\command";
// qBittorrent's installation record, HKEY_LOCAL_MACHINE in the 64-bit and the 32-bit view: its
// folder (kInstallLocation), which holds the executable.
inline constexpr const char* kQbittorrentKey = "Software\\qBittorrent";
inline constexpr const char* kQbittorrentExecutable = "qbittorrent.exe";
inline constexpr ClientCommandKey kQbittorrentCommandKeys[] = {
    {Root::ClassesRoot, "qBittorrent\\shell\\open\\command"},
    {Root::ClassesRoot, "qBittorrent.File.Torrent\\shell\\open\\command"},
};

// "Software\<registry key>\<profile name>", and that with "\<section>".
std::string profileKey(const std::string& registryKey, const std::string& profileName);
std::string profileKeyPath(const std::string& registryKey, const std::string& profileName, const std::string& section);

}  // namespace app::settings
