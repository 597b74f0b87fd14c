#include <windows.h>

#include <cstdio>

#include "torrent/FileSystem.h"
#include "win/CodePage.h"
#include "win/Handles.h"

namespace torrent::fsys {

namespace {

const char kListPattern[] = "\\*.*";

// The "\\?\" form of a path, which takes up to 32767 characters but no relative parts and no '/'.
std::wstring longForm(const std::wstring& path) {
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length = size == 0 ? 0 : GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size || full.rfind(L"\\\\?\\", 0) == 0)
        return path;
    full.resize(length);
    return full.rfind(L"\\\\", 0) == 0 ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
}

}  // namespace

bool endsPathPart(char c) {
    return c == '\\' || c == ':';
}

// The listing reads the names in UTF-16, so that a name the code page cannot hold is known as
// such instead of coming back with '?' or a look-alike in it.
struct CDirListing::Impl {
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data{};
    bool pending = false;  // `data` holds an entry not yet handed out
};

CDirListing::CDirListing() : m_impl(std::make_unique<Impl>()) {}

CDirListing::~CDirListing() {
    close();
}

bool CDirListing::open(const std::string& folder) {
    close();
    std::wstring pattern = win::codepage::widen(folder + kListPattern);
    if (pattern.size() > kLongestPath)
        pattern = longForm(pattern);
    // The basic information leaves out the short 8.3 names, which Wine makes up for every entry,
    // and the large fetch takes many entries a call. Windows before 7 knows neither.
    m_impl->find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &m_impl->data, FindExSearchNameMatch, nullptr,
                                    FIND_FIRST_EX_LARGE_FETCH);
    if (m_impl->find == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
        m_impl->find = FindFirstFileW(pattern.c_str(), &m_impl->data);
    m_impl->pending = m_impl->find != INVALID_HANDLE_VALUE;
    return m_impl->pending;
}

bool CDirListing::next(CDirEntry& entry) {
    if (m_impl->find == INVALID_HANDLE_VALUE)
        return false;
    if (!m_impl->pending && !FindNextFileW(m_impl->find, &m_impl->data))
        return false;
    m_impl->pending = false;
    const WIN32_FIND_DATAW& d = m_impl->data;
    entry.m_nameLost = !win::codepage::narrow(d.cFileName, entry.m_name);
    entry.m_folder = (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.m_hidden = (d.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
    entry.m_size = (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
    return true;
}

void CDirListing::close() {
    if (m_impl->find != INVALID_HANDLE_VALUE) {
        FindClose(m_impl->find);
        m_impl->find = INVALID_HANDLE_VALUE;
    }
    m_impl->pending = false;
}

CReadFile::~CReadFile() {
    close();
}

bool CReadFile::open(const std::string& path) {
    close();
    // Others may go on reading and writing it; a change shows as a length that does not match.
    const HANDLE file =
        CreateFileW(win::codepage::widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    m_handle = file;
    return true;
}

bool CReadFile::isOpen() const {
    return m_handle != nullptr;
}

bool CReadFile::read(uint8_t* buffer, uint32_t count, uint32_t& got) {
    got = 0;
    while (got < count) {
        DWORD n = 0;
        if (!ReadFile(m_handle, buffer + got, count - got, &n, nullptr))
            return false;
        if (n == 0)
            break;  // the end of the file
        got += n;
    }
    return true;
}

bool CReadFile::length(uint64_t& length) const {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_handle, &size))
        return false;
    length = static_cast<uint64_t>(size.QuadPart);
    return true;
}

void CReadFile::close() noexcept {
    win::CHandle(std::exchange(m_handle, nullptr)).reset();
}

bool replaceFile(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool pathTooLong(const std::string& path, bool folder) {
    return win::codepage::widen(folder ? path + kListPattern : path).size() > kLongestPath;
}

bool nameLost(const std::string& name) {
    return name.find('?') != std::string::npos;
}

}  // namespace torrent::fsys
