#pragma once
// What the torrent builder needs from the file system. Only the directory listing, the path
// separator and its limits, 64-bit file lengths and the final rename differ between Windows and
// the native build (FileSystemWin32.cpp, FileSystemPosix.cpp); the rest is standard C.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace fsys {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
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
    bool open(const std::string& folder);
    // The next entry in the platform's order; false when none is left.
    bool next(CDirEntry& entry);
    void close();

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file for reading as bytes, unbuffered: each read goes straight into the caller's
// buffer with one system call, with no copy through a stdio buffer.
FilePtr openForReading(const std::string& path);
// Length of an open file, 64-bit on every platform; the position is back at the start.
bool fileLength(std::FILE* f, uint64_t& length);
// Puts `from` in the place of `to`, replacing an existing file in one step.
bool replaceFile(const std::string& from, const std::string& to);
bool removeFile(const std::string& path);
bool isFolder(const std::string& path);

// Longer than the system opens or lists: a file's path, or a folder's with its listing pattern
// (Windows: 259 characters, counted in UTF-16 whatever the code page's bytes per character).
bool pathTooLong(const std::string& path, bool folder);
// A name typed or chosen that holds a character the code page lacked ('?' stands in on Windows,
// where no real name holds one). Never natively.
bool nameLost(const std::string& name);

}  // namespace fsys
