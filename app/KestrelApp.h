#pragma once
// The program's application class: the application base of the Windows layer together with
// the application-wide state of the run (appState()). One global instance per process.

#include "app/AppState.h"
#include "win/App.h"

class CKestrelApp : public win::CApp {
  public:
    CKestrelApp() = default;

    AppState& state() const { return appState(); }

    // Title, notice and cleared flags; the title also becomes the application name, which
    // names the per-user profile key.
    void setIdentity();
    // The registry key name under which the per-user profile lives.
    void useProgramRegistryKey();

    // The whole run: install, uninstall or a working session. Always false: no message loop.
    bool InitInstance() override;
};
