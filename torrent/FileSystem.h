#pragma once
// What the torrent builder needs from the file system. The directory listing, the path separator
// and its limits, the reading of content files and the final rename differ between Windows and
// the native build (FileSystemWin32.cpp, FileSystemPosix.cpp); the rest is standard C.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

namespace torrent::fsys {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
// The longest path the system opens without its long form: MAX_PATH less the terminating zero,
// counted in UTF-16 whatever the code page's bytes per character.
inline constexpr std::size_t kLongestPath = 259;
#else
inline constexpr char kSeparator = '/';
inline constexpr std::size_t kLongestPath = PATH_MAX - 1;
#endif

// Characters after which a file or folder name starts: ':' and '\\' on Windows, '/' elsewhere.
bool endsPathPart(char c);

// One entry of a directory listing. Hidden means the hidden or system attribute on Windows
// and a name that starts with "." elsewhere (the mapping Wine uses).
struct CDirEntry {
    std::string m_name;
    bool m_folder = false;
    bool m_hidden = false;
    uint64_t m_size = 0;
    // The narrow name is not the file's own: the code page lacks one of its characters, so
    // nothing opens the file (or another one) by it. Never natively.
    bool m_nameLost = false;
};

class CDirListing {
  public:
    CDirListing();
    ~CDirListing();
    CDirListing(const CDirListing&) = delete;
    CDirListing& operator=(const CDirListing&) = delete;

    // Starts listing every entry of `folder` ("." and ".." included); false when it cannot.
    [[nodiscard]] bool open(const std::string& folder);
    // The next entry in the platform's order; false when none is left.
    [[nodiscard]] bool next(CDirEntry& entry);
    void close();

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// A content file open for reading, unbuffered: each read goes straight into the caller's buffer,
// with no copy through a stdio buffer. On Windows through CreateFileW and ReadFile rather than the
// C runtime, whose fopen and fclose add calls that each take a round trip to Wine's server.
class CReadFile {
  public:
    CReadFile() = default;
    ~CReadFile();
    CReadFile(const CReadFile&) = delete;
    CReadFile& operator=(const CReadFile&) = delete;
    // The open file passes to the new owner; one open before is closed first.
    CReadFile(CReadFile&& other) noexcept { swap(other); }
    CReadFile& operator=(CReadFile&& other) noexcept {
        close();
        swap(other);
        return *this;
    }

    // False when the file cannot be opened; a file open before is closed first.
    [[nodiscard]] bool open(const std::string& path);
    bool isOpen() const;
    // Up to `count` bytes, fewer only at the end of the file; false on a read error.
    [[nodiscard]] bool read(uint8_t* buffer, uint32_t count, uint32_t& got);
    // The open file's length, 64-bit on every platform.
    [[nodiscard]] bool length(uint64_t& length) const;
    void close() noexcept;

  private:
    void swap(CReadFile& other) noexcept {
#ifdef _WIN32
        std::swap(m_handle, other.m_handle);
#else
        std::swap(m_fd, other.m_fd);
#endif
    }

#ifdef _WIN32
    void* m_handle = nullptr;  // the file's HANDLE
#else
    int m_fd = -1;
#endif
};
// Puts `from` in the place of `to`, replacing an existing file in one step.
[[nodiscard]] bool replaceFile(const std::string& from, const std::string& to);
bool removeFile(const std::string& path);
bool isFolder(const std::string& path);

// Longer than kLongestPath: a file's path, or a folder's with its listing pattern. A listing
// that long takes the system's long form where it has one (Windows: "\\?\"), so that the walk
// sees the files in such a folder and names the first that is too long to open.
bool pathTooLong(const std::string& path, bool folder);
// A name typed or chosen that holds a character the code page lacked ('?' stands in on Windows,
// where no real name holds one). Never natively.
bool nameLost(const std::string& name);

}  // namespace torrent::fsys
