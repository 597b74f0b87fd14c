#include "install/ProgramInUse.h"

#include <windows.h>

#include <tlhelp32.h>

#include "win/CodePage.h"
#include "win/Handles.h"

namespace install {

namespace {

// Long enough for any path the system gives, "\\?\" prefixes included.
constexpr DWORD kWidePathChars = 32768;

// The full path with long names, as two spellings of one file compare equal; empty when the
// system cannot make one.
std::wstring comparable(const std::wstring& path) {
    std::wstring full(kWidePathChars, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), kWidePathChars, &full[0], nullptr);
    if (length == 0 || length >= kWidePathChars)
        return std::wstring();
    full.resize(length);
    std::wstring longer(kWidePathChars, L'\0');
    length = GetLongPathNameW(full.c_str(), &longer[0], kWidePathChars);
    if (length == 0 || length >= kWidePathChars)
        return full;
    longer.resize(length);
    return longer;
}

bool samePathIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// The program file a process was started from; empty when it may not be asked.
std::wstring imageOf(DWORD processId) {
    const win::CHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process.valid())
        return std::wstring();
    std::wstring image(kWidePathChars, L'\0');
    DWORD length = kWidePathChars;
    if (!QueryFullProcessImageNameW(process.get(), 0, &image[0], &length))
        return std::wstring();
    image.resize(length);
    return image;
}

bool runsElsewhere(const std::string& programFile) {
    const std::wstring wanted = comparable(win::codepage::widen(programFile));
    const std::size_t cut = wanted.find_last_of(L'\\');
    if (wanted.empty() || cut == std::wstring::npos)
        return false;
    // Only the processes whose program has the file's name are asked for its whole path.
    const std::wstring name = wanted.substr(cut + 1);
    const win::CHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid())
        return false;
    const DWORD self = GetCurrentProcessId();
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        const std::wstring exe = entry.szExeFile;
        if (entry.th32ProcessID == self || !samePathIgnoringCase(exe.substr(exe.find_last_of(L'\\') + 1), name))
            continue;
        const std::wstring image = imageOf(entry.th32ProcessID);
        if (!image.empty() && samePathIgnoringCase(comparable(image), wanted))
            return true;
    }
    return false;
}

// Opened for deletion while sharing everything: refused only where a handle of another program
// does not share deletion (a running program's own image does not count here).
bool heldOpen(const std::string& programFile) {
    const HANDLE opened =
        CreateFileW(win::codepage::widen(programFile).c_str(), DELETE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    const DWORD error = GetLastError();
    const win::CHandle file(opened);
    return !file.valid() && error == ERROR_SHARING_VIOLATION;
}

}  // namespace

FileUse useOfProgramFile(const std::string& programFile) {
    if (runsElsewhere(programFile))
        return FileUse::Running;
    return heldOpen(programFile) ? FileUse::Held : FileUse::Free;
}

}  // namespace install
