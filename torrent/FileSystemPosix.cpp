#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>

#include <cstdio>

#include "torrent/FileSystem.h"

namespace fsys {

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

bool fileLength(std::FILE* f, uint64_t& length) {
    static_assert(sizeof(off_t) == 8, "64-bit file offsets");
    if (fseeko(f, 0, SEEK_END) != 0)
        return false;
    const off_t end = ftello(f);
    if (end < 0 || fseeko(f, 0, SEEK_SET) != 0)
        return false;
    length = static_cast<uint64_t>(end);
    return true;
}

bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool isFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool pathTooLong(const std::string& path, bool /*folder*/) {
    return path.size() >= PATH_MAX;  // PATH_MAX holds the terminating zero
}

bool nameLost(const std::string& /*name*/) {
    return false;
}

}  // namespace fsys
