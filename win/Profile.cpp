#include "win/Profile.h"

#include "win/Handles.h"

namespace win {

std::string CProfile::keyPath(const std::string& section) const {
    if (m_key.empty())
        return std::string();
    return m_key + "\\" + section;
}

bool CProfile::readValue(const std::string& section,
                         const std::string& entry,
                         DWORD& type,
                         std::vector<BYTE>& data) const {
    data.clear();
    const std::string path = keyPath(section);
    if (path.empty())
        return false;
    CRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.receive()) != ERROR_SUCCESS)
        return false;
    // The value may change between the two queries; try again while it grows.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        if (RegQueryValueExA(key.get(), entry.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return false;
        data.resize(size);
        const LONG rc = RegQueryValueExA(key.get(), entry.c_str(), nullptr, &type, data.data(), &size);
        if (rc == ERROR_SUCCESS) {
            data.resize(size);
            return true;
        }
        if (rc != ERROR_MORE_DATA)
            break;
    }
    data.clear();
    return false;
}

bool CProfile::writeValue(const std::string& section,
                          const std::string& entry,
                          DWORD type,
                          const void* data,
                          DWORD size) const {
    const std::string path = keyPath(section);
    if (path.empty())
        return false;
    CRegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        key.receive(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExA(key.get(), entry.c_str(), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

int CProfile::GetProfileInt(const std::string& section, const std::string& entry, int defaultValue) const {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!readValue(section, entry, type, data) || type != REG_DWORD || data.size() != sizeof(DWORD))
        return defaultValue;
    DWORD value = 0;
    CopyMemory(&value, data.data(), sizeof value);
    return static_cast<int>(value);
}

bool CProfile::WriteProfileInt(const std::string& section, const std::string& entry, int value) const {
    const DWORD dword = static_cast<DWORD>(value);
    return writeValue(section, entry, REG_DWORD, &dword, sizeof dword);
}

std::string CProfile::GetProfileString(const std::string& section,
                                       const std::string& entry,
                                       const std::string& defaultValue) const {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!readValue(section, entry, type, data) || (type != REG_SZ && type != REG_EXPAND_SZ))
        return defaultValue;
    // A stored string need not end with its zero.
    std::string text(data.begin(), data.end());
    const std::size_t end = text.find('\0');
    if (end != std::string::npos)
        text.resize(end);
    return text;
}

bool CProfile::WriteProfileString(const std::string& section,
                                  const std::string& entry,
                                  const std::string& value) const {
    return writeValue(section, entry, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

bool CProfile::GetProfileBinary(const std::string& section, const std::string& entry, std::vector<BYTE>& data) const {
    DWORD type = 0;
    if (readValue(section, entry, type, data) && type == REG_BINARY)
        return true;
    data.clear();
    return false;
}

bool CProfile::WriteProfileBinary(const std::string& section,
                                  const std::string& entry,
                                  const std::vector<BYTE>& data) const {
    return writeValue(section, entry, REG_BINARY, data.data(), static_cast<DWORD>(data.size()));
}

}  // namespace win
