#pragma once
// A person using Seedwright.exe: installs it, starts it from its shortcuts, logs in, uploads
// and uninstalls, through the windows only. Every action is told to the report; each returns
// false when the road cannot go on.

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/Records.h"
#include "tests/e2e/Report.h"
#include "tests/support/SiteRecord.h"
#include "tests/support/UiDriver.h"

struct RoadSettings {
    std::string m_program;  // the built Seedwright.exe
    std::string m_client;   // the torrent client the installer should find
    std::string m_siteDir;  // the stand-in site's folder
    std::string m_data;     // content and pictures to upload
    std::string m_user = "alice";
    std::string m_password = "wonderland";
};

// What the main dialog is given for one upload.
struct UploadInputs {
    bool m_folderMode = false;
    std::string m_path;
    std::string m_category;  // empty: the category lists are left as they are
    std::vector<std::string> m_subcategories;
    std::vector<std::string> m_pictures;  // added in this order
    std::string m_name;
    std::string m_description;
    // Where the file chooser behind Browse and the picture chooser of each picture must open;
    // empty: not looked at.
    std::string m_browseFolder;
    std::vector<std::string> m_pictureFolders;
};

// What the driver saw while an upload ran.
struct UploadSeen {
    bool m_hashing = false;
    bool m_backendWait = false;
    bool m_backendClosedEarly = false;  // by Escape
    // Left to run: when it ended by itself, in milliseconds since 1970, and how long it showed.
    long long m_backendEndedMs = 0;
    double m_backendSeconds = 0;
    // What the driver saw when, in milliseconds since 1970: "Upload pressed", "hashing dialog",
    // each status line, "backend wait", "backend wait gone" and each message.
    std::vector<std::pair<std::string, long long>> m_timeline;
    std::vector<std::string> m_statuses;
    std::string m_message;           // the box that ended the upload; empty when none
    long long m_messageShownMs = 0;  // when the driver first saw that box, in milliseconds since 1970
    int m_messageCount = 0;
    bool m_idleAgain = false;
    // The worker's windows (hashing, backend wait, message box) not owned by the main dialog.
    std::vector<std::string> m_unowned;
    bool m_mainDisabledWhileHashing = false;
    bool m_clickIgnored = true;  // the mode the click while hashing aimed at was not taken
    // The inputs of the main dialog still enabled while the hashing dialog showed.
    std::vector<std::string> m_enabledWhileHashing;
    bool m_closeRefused = true;  // the close box and Alt+F4 while hashing left the dialog open
};

// What the hashing dialog is met with while it shows, and the backend wait after it.
struct WhileHashing {
    bool m_cancel = false;             // Cancel pressed as soon as it shows
    bool m_click = false;              // "Upload Folder" clicked with the mouse in the main dialog
    bool m_close = false;              // the close box and Alt+F4 tried on the main dialog
    std::string m_remove;              // a file deleted as soon as it shows
    bool m_letBackendWaitRun = false;  // the backend wait is left to end by itself, not Escaped
};

// How the main dialog is closed.
enum class CloseBy { Quit, CloseBox, AltF4 };

// The inputs of the main dialog that the upload reads, with their names for the report.
struct MainInput {
    int m_id;
    const char* m_name;
};
extern const MainInput kMainInputs[13];

// How a Start-menu shortcut is started.
enum class ShellStart {
    Direct,        // its target and arguments, read from the link and started here
    Open,          // the link itself opened through the shell (ShellExecuteEx)
    StartCommand,  // cmd.exe's start command on the link, as a person types it
};

// How a person installs: which program file, into which folder.
struct InstallChoice {
    std::string m_program;    // empty: the built program, downloaded anew
    std::string m_folder;     // typed into the folder field; empty: the one offered
    bool m_readOnly = false;  // the downloaded program file is read-only
};

class CSeedwright {
  public:
    CSeedwright(const RoadSettings& settings, CReport& report);

    // The first start of the program file, downloaded into the Downloads folder on drive C:,
    // the installer and its completion message.
    bool install(const InstallChoice& choice = InstallChoice());
    // The built program copied into the Downloads folder; empty when that failed.
    std::string download() const;
    // The installation dialog of `process`, its fields checked against what it must offer.
    HWND installerOf(const ui::CProcess& process);
    // Presses Install in `dialog`, answers the overwrite question Yes and checks the
    // completion message; the process ends by itself.
    bool completeInstallation(HWND dialog, const ui::CProcess& process, const std::string& folder);
    // Starts the program as the Start-menu shortcut `link` ("Seedwright.lnk", "uninstall.lnk")
    // starts it. Through the shell, the process followed is the one of the installed program file
    // that the start brought.
    bool startFromShortcut(const std::string& link, ShellStart how = ShellStart::Direct);
    bool sessionEnded(DWORD limitMs = ui::kWaitMs) const { return m_process && m_process->waitEnd(limitMs); }

    // The login dialog: a wrong password first when asked, then the good one; an announced newer
    // build is declined. Ends with the main dialog open.
    bool logIn(bool wrongPasswordFirst, bool announceNewerBuild, bool remember);
    // The login dialog as the remembered settings fill it, confirmed unchanged.
    bool logInRemembered();
    bool checkCategories();

    bool fill(const UploadInputs& inputs);
    // The path typed by hand into the path box, after choosing the mode with a mouse click.
    bool typePath(bool folderMode, const std::string& path);
    // Presses Upload and follows the upload to its end, doing `meanwhile` while the hashing dialog
    // shows (a click on the main dialog, disabled meanwhile, is ignored).
    UploadSeen upload(const WhileHashing& meanwhile = WhileHashing());
    bool closeMain(CloseBy how = CloseBy::Quit);
    HWND mainDialog() const { return m_main; }
    // The uninstall shortcut, its question answered Yes, then "Seedwright was uninstalled." or
    // `leftBehind`, the message that says the program file stays: the shortcuts, both registry
    // trees and the installed-apps entry are gone when it ends.
    bool uninstall(const std::string& leftBehind = std::string(), ShellStart how = ShellStart::Direct);
    // The uninstall shortcut while Seedwright is in use: its question answered Yes, then `said`;
    // the shortcuts, the record and the program file all stay.
    bool uninstallRefused(const std::string& said);
    // The batch did its work: Seedwright.exe is gone from `folder`, the folder too unless it
    // holds the member's files (`folderKept`), and the batch file has deleted itself.
    bool batchRemoved(const std::string& folder, bool folderKept);

    // The client's starts so far, waiting until there are `count`.
    std::vector<ClientStart> awaitClientStarts(std::size_t count) const;
    // Notes a torrent the client got and its data folder, for the host's check of the data.
    void noteForDataCheck(const ClientStart& start) const;

    const CSiteRecord& site() const { return m_site; }
    const RoadSettings& settings() const { return m_settings; }
    std::string installFolder() const;
    std::string menuFolder() const;
    // The running session's process; null when none was started.
    const ui::CProcess* process() const { return m_process.get(); }
    // The program's per-user working folder: MyNew.torrent, swr.torrent, debug.html.
    std::string workingFolder() const;

  private:
    // The session's dialog that holds the control `id`.
    HWND waitForDialogWith(int id) const;
    HWND waitForMain();
    void noteOwner(HWND window, const std::string& what, UploadSeen& seen) const;

    const RoadSettings& m_settings;
    CReport& m_report;
    CSiteRecord m_site;
    std::unique_ptr<ui::CProcess> m_process;
    HWND m_main = nullptr;
};

extern const char* const kTitle;
