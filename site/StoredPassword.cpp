#include "site/StoredPassword.h"

#include <dpapi.h>

namespace {

// Frees the output of the protection calls, which the system allocated.
struct LocalBlob {
    DATA_BLOB blob = {};
    ~LocalBlob() {
        if (blob.pbData) {
            SecureZeroMemory(blob.pbData, blob.cbData);
            LocalFree(blob.pbData);
        }
    }
};

}  // namespace

bool protectPassword(const std::string& password, std::vector<BYTE>& blob) {
    blob.clear();
    DATA_BLOB in = {static_cast<DWORD>(password.size()), reinterpret_cast<BYTE*>(const_cast<char*>(password.data()))};
    LocalBlob out;
    if (!CryptProtectData(&in, L"Seedwright", nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out.blob))
        return false;
    blob.assign(out.blob.pbData, out.blob.pbData + out.blob.cbData);
    return true;
}

bool unprotectPassword(const std::vector<BYTE>& blob, std::string& password) {
    password.clear();
    DATA_BLOB in = {static_cast<DWORD>(blob.size()), const_cast<BYTE*>(blob.data())};
    LocalBlob out;
    if (blob.empty() ||
        !CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out.blob))
        return false;
    password.assign(reinterpret_cast<const char*>(out.blob.pbData), out.blob.cbData);
    return true;
}
