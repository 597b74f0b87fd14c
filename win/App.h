#pragma once
// The application base: the start-up hook and the key of the per-user profile, which the
// program names.

#include <windows.h>

#include <string>

#include "win/Profile.h"

namespace win {

class CApp {
  public:
    CApp();
    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;
    virtual ~CApp();

    // The program's start-up. The whole program runs inside it; no message loop follows.
    virtual bool InitInstance() { return false; }
    // Runs InitInstance; the result is the process's exit code.
    int run();

    // The one application object of the process (the last one constructed).
    static CApp* instance();

    // The key below HKEY_CURRENT_USER that holds the profile's sections; empty: nothing is stored.
    void setProfileKey(const std::string& key) { m_profile = CProfile(key); }
    // "<profile key>\<section>"; empty while no key is set.
    std::string profileKeyPath(const std::string& section) const { return m_profile.keyPath(section); }
    // The per-user profile under that key, for whatever reads or writes it.
    const CProfile& profile() const { return m_profile; }

    HINSTANCE m_hInstance;

  private:
    CProfile m_profile;
};

}  // namespace win
