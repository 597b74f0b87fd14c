#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "torrent/FileSystem.h"

namespace torrent::fsys {

bool endsPathPart(char c) {
    return c == '/';
}

struct CDirListing::Impl {
    DIR* dir = nullptr;
};

CDirListing::CDirListing() : m_impl(std::make_unique<Impl>()) {}

CDirListing::~CDirListing() {
    close();
}

bool CDirListing::open(const std::string& folder) {
    close();
    // The root comes here as "" once its trailing separator is cut.
    m_impl->dir = opendir(folder.empty() ? "/" : folder.c_str());
    return m_impl->dir != nullptr;
}

bool CDirListing::next(CDirEntry& entry) {
    if (!m_impl->dir)
        return false;
    while (const dirent* d = readdir(m_impl->dir)) {
        struct stat st;
        if (fstatat(dirfd(m_impl->dir), d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        const bool link = S_ISLNK(st.st_mode);
        if (link && fstatat(dirfd(m_impl->dir), d->d_name, &st, 0) != 0)
            continue;  // dangling link
        // Linked folders are not followed (a link to a parent would never end); devices,
        // pipes and sockets are no content.
        if (S_ISDIR(st.st_mode) && link)
            continue;
        if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode))
            continue;
        entry.m_name = d->d_name;
        entry.m_folder = S_ISDIR(st.st_mode);
        entry.m_hidden = d->d_name[0] == '.';
        entry.m_nameLost = false;
        entry.m_size = entry.m_folder ? 0 : static_cast<uint64_t>(st.st_size);
        return true;
    }
    return false;
}

void CDirListing::close() {
    if (m_impl->dir) {
        closedir(m_impl->dir);
        m_impl->dir = nullptr;
    }
}

CReadFile::~CReadFile() {
    close();
}

bool CReadFile::open(const std::string& path) {
    close();
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

bool CReadFile::isOpen() const {
    return m_fd >= 0;
}

bool CReadFile::read(uint8_t* buffer, uint32_t count, uint32_t& got) {
    got = 0;
    while (got < count) {
        const ssize_t n = ::read(m_fd, buffer + got, count - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;  // the end of the file
        got += static_cast<uint32_t>(n);
    }
    return true;
}

bool CReadFile::length(uint64_t& length) const {
    struct stat st;
    if (fstat(m_fd, &st) != 0)
        return false;
    length = static_cast<uint64_t>(st.st_size);
    return true;
}

void CReadFile::close() noexcept {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool isFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool pathTooLong(const std::string& path, bool /*folder*/) {
    return path.size() > kLongestPath;
}

bool nameLost(const std::string& /*name*/) {
    return false;
}

}  // namespace torrent::fsys
