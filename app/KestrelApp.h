#pragma once
// The program's application class: the application base of the Windows layer together with
// the application-wide state of the run, which it owns. One global instance per process. Its
// application name and registry key name the per-user profile key of the base.

#include "app/state/AppState.h"
#include "win/App.h"

class CKestrelApp : public win::CApp {
  public:
    CKestrelApp() = default;

    AppState& state() { return m_state; }

    // Title, notice and cleared switches; the title also becomes the application name.
    void setIdentity();
    // The registry key name under which the per-user profile lives.
    void useProgramRegistryKey();

    // The application name names the profile key and captions the program's message boxes.
    void setApplicationName(const std::string& name);
    void setRegistryKey(const std::string& name);

    // The whole run: install, uninstall or a working session. Always false: no message loop.
    bool InitInstance() override;

    std::string m_appName;
    std::string m_registryKey;

  private:
    void updateProfileKey();

    AppState m_state;
};
