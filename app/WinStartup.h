#pragma once
// The start-up sequence's system side on Windows: folders, registry, installer, restarts. The
// working session (login and main dialog) is added by the program's own host.

#include "app/KestrelApp.h"
#include "app/Startup.h"
#include "win/Handles.h"

class CWinStartupHost : public StartupHost {
  public:
    explicit CWinStartupHost(CKestrelApp& app) : m_app(app) {}

    void setApplicationName(const std::string& name) override;
    void setUserLocale() override;
    std::string appDataFolder() override;
    unsigned long createFolder(const std::string& folder) override;
    void initControls() override;
    void readInstallation(AppState& state) override;
    void setRegistryKey(const std::string& name) override;
    std::string programFile() override;
    std::string fullPath(const std::string& path) override;
    install::SetupOutcome runUninstaller(const AppState& state) override;
    int runInstaller(const AppState& state, install::SetupOutcome& outcome) override;
    void restartElevated(const std::string& parameters) override;
    bool startBatch(const std::string& path, const std::string& folder) override;
    void message(const std::string& text) override;
    void success(const std::string& text) override;
    int ask(const std::string& text) override;
    bool setCurrentFolder(const std::string& folder) override;
    bool isFile(const std::string& path) override;
    std::string currentFolder() override;
    // One working session per member's logon session: a named mutex, held while the process
    // lives, and beside it the holder's process id for a second copy to find its windows by.
    bool claimSession() override;
    bool showRunningSession() override;

  protected:
    CKestrelApp& m_app;

  private:
    // Takes the mutex if its holder is gone, and publishes this process as the holder.
    bool takeSession();

    win::CHandle m_session;
    win::CHandle m_sessionHolder;
};
