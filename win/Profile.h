#pragma once
// The per-user profile: values under HKEY_CURRENT_USER\<key>\<section>. A plain value made from
// its key, handed to whatever reads or writes the profile; an empty key stores nothing and reads
// every default.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace win {

class CProfile {
  public:
    CProfile() = default;
    explicit CProfile(std::string key) : m_key(std::move(key)) {}

    // "<key>\<section>"; empty while there is no key.
    std::string keyPath(const std::string& section) const;

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

  private:
    [[nodiscard]] bool readValue(const std::string& section,
                                 const std::string& entry,
                                 DWORD& type,
                                 std::vector<BYTE>& data) const;
    [[nodiscard]] bool writeValue(const std::string& section,
                                  const std::string& entry,
                                  DWORD type,
                                  const void* data,
                                  DWORD size) const;

    std::string m_key;
};

}  // namespace win
