#include "win/WholeFile.h"

#include <windows.h>

#include <climits>

#include "win/Handles.h"

namespace win {

bool writeWholeFile(const std::string& path, const std::string& bytes) {
    if (bytes.size() > ULONG_MAX)
        return false;
    CHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(bytes.size());
    return WriteFile(file.get(), bytes.data(), size, &written, nullptr) && written == size;
}

}  // namespace win
