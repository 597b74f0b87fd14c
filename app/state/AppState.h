#pragma once
// The application-wide state of one run: title, folders and paths, the switches, the removal
// batch and the site session. The application object holds exactly one and hands each dialog
// what it shows; the dialogs hand their results back, and only app/ writes them here.

#include <string>
#include <vector>

// The site session filled by the login: host, session cookie values, the category lines.
struct SiteSession {
    std::string m_siteHost;
    std::string m_uid;
    std::string m_pass;
    std::vector<std::string> m_categories;
};

// A batch file that removes a program file once this process has ended: the uninstaller's, or a
// re-installation's for the earlier copy. The installation steps write it; start-up starts it as
// the program's last act, so that no message box the member has not yet answered holds the file.
struct RemovalBatch {
    std::string m_path;         // empty: none
    std::string m_folder;       // the folder it is started in
    std::string m_programFile;  // what it removes, named when it cannot be started
};

struct AppState {
    std::string m_title;
    std::string m_notice;
    std::string m_appDataFolder;
    std::string m_workingFolder;
    std::string m_installationPath;
    std::string m_utorrentPath;
    std::string m_currentFolder;
    std::string m_newTorrentPath;
    std::string m_clientExePath;  // nothing fills it in a working session; the upload reads it
    std::string m_azureusPath;    // nothing fills it; the upload's Azureus hand-off reads it

    bool m_forced = false;
    RemovalBatch m_removalBatch;

    SiteSession m_session;
    long m_buildNumber = 1024;

    // Start-up step 1: title, notice, no switch and no removal batch.
    void setIdentity();
};

namespace app {
inline constexpr const char* kTitle = "Seedwright V1.14";
inline constexpr const char* kVersion = "1.14";
inline constexpr const char* kNotice = "Made by the Seedwright team for Velmar Trackers";
inline constexpr long kBuildNumber = 1024;
// Held by the process of the member's working session (login and main dialog) while it lives.
inline constexpr const char* kSessionMutex = "Local\\Seedwright-session";
}  // namespace app
