#pragma once
// The application base: the start-up hook and the per-user profile
// entries under HKEY_CURRENT_USER\<profile key>\<section>. The program names the profile key.

#include <windows.h>

#include <string>
#include <vector>

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
    void setProfileKey(const std::string& key) { m_profileKey = key; }
    // "<profile key>\<section>"; empty while no key is set.
    std::string profileKeyPath(const std::string& section) const;

    int GetProfileInt(const std::string& section, const std::string& entry, int defaultValue) const;
    bool WriteProfileInt(const std::string& section, const std::string& entry, int value) const;
    std::string GetProfileString(const std::string& section,
                                 const std::string& entry,
                                 const std::string& defaultValue = std::string()) const;
    bool WriteProfileString(const std::string& section, const std::string& entry, const std::string& value) const;
    // False (and the output empty) when the entry is missing or not binary.
    [[nodiscard]] bool GetProfileBinary(const std::string& section,
                                        const std::string& entry,
                                        std::vector<BYTE>& data) const;
    bool WriteProfileBinary(const std::string& section, const std::string& entry, const std::vector<BYTE>& data) const;

    HINSTANCE m_hInstance;

  private:
    std::string m_profileKey;

    [[nodiscard]] bool readValue(const std::string& section,
                                 const std::string& entry,
                                 DWORD& type,
                                 std::vector<BYTE>& data) const;
    [[nodiscard]] bool writeValue(const std::string& section,
                                  const std::string& entry,
                                  DWORD type,
                                  const void* data,
                                  DWORD size) const;
};

}  // namespace win
