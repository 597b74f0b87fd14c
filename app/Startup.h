#pragma once
// The start-up sequence: working folder, installation record, switches, then exactly one of
// uninstall, install or a working session. Everything it touches on the system goes through
// StartupHost, so the decisions run the same on Windows and in the tests.

#include <string>

#include "app/CommandLine.h"
#include "app/state/AppState.h"
#include "install/SetupSequence.h"

class StartupHost {
  public:
    virtual ~StartupHost() = default;

    // The framework's application name, replaced by the title.
    virtual void setApplicationName(const std::string& name) = 0;
    virtual void setUserLocale() = 0;
    // The user's application-data folder, created if missing.
    virtual std::string appDataFolder() = 0;
    // 0 when created, else the system error.
    virtual unsigned long createFolder(const std::string& folder) = 0;
    // Common controls and the framework's own start-up.
    virtual void initControls() = 0;
    // Fills m_installationPath and m_utorrentPath from the settings key, if readable.
    virtual void readInstallation(AppState& state) = 0;
    virtual void setRegistryKey(const std::string& name) = 0;

    // The running program file, and the absolute long form Windows makes of a path (empty
    // when it cannot).
    virtual std::string programFile() = 0;
    virtual std::string fullPath(const std::string& path) = 0;

    // The installer and the uninstaller are given what they need of `state` and hand back what
    // they came to; the sequence keeps of it what the run needs.
    virtual install::SetupOutcome runUninstaller(const AppState& state) = 0;
    // IDOK after a completed installation, IDCANCEL otherwise.
    virtual int runInstaller(const AppState& state, install::SetupOutcome& outcome) = 0;
    virtual void restartElevated(const std::string& parameters) = 0;
    // Starts the removal batch the installation steps left (AppState::m_removalBatch), hidden,
    // in `folder`; false when it cannot be started.
    [[nodiscard]] virtual bool startBatch(const std::string& path, const std::string& folder) = 0;
    virtual void message(const std::string& text) = 0;
    // A message that tells of a success; shown as any other unless the host marks it.
    virtual void success(const std::string& text) { message(text); }
    // A Yes/No question; IDYES or IDNO.
    virtual int ask(const std::string& text) = 0;

    [[nodiscard]] virtual bool setCurrentFolder(const std::string& folder) = 0;
    // A file (not a folder) has this path.
    [[nodiscard]] virtual bool isFile(const std::string& path) = 0;
    virtual std::string currentFolder() = 0;
    // Makes this copy the member's one working session; false while another copy is.
    [[nodiscard]] virtual bool claimSession() = 0;
    // Brings the running session's window to the front, restored if minimised, waiting a few
    // seconds for it to show one. False when that copy ended meanwhile and this one holds the
    // session now.
    [[nodiscard]] virtual bool showRunningSession() = 0;
    // IDOK only after a successful login, with `session` the site session it gave.
    virtual int runLogin(const AppState& state, SiteSession& session) = 0;
    virtual void runMainDialog(const AppState& state) = 0;
};

namespace app::startup {

inline constexpr int kResultOk = 1;      // IDOK
inline constexpr int kResultCancel = 2;  // IDCANCEL
inline constexpr int kResultYes = 6;     // IDYES

// The installer's elevated restart carries this switch, so the restarted copy never restarts
// again where "runas" gave it no more rights.
inline constexpr const char* kRestartedSwitch = "restarted";

enum class Switch { None, Force, Uninstall };

// The first argument whose name is exactly "force" or "uninstall"; the others are skipped.
Switch findSwitch(CCommandLine& commandLine);
// Some argument is the switch `name`.
bool hasSwitch(CCommandLine& commandLine, const std::string& name);

// Runs the whole sequence, then starts the removal batch that it left, if any; the process ends
// when it returns.
void run(StartupHost& host, AppState& state, CCommandLine& commandLine);

}  // namespace app::startup
