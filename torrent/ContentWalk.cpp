// The folder walk and the reader that joins the content files into one byte stream.
#include <algorithm>
#include <cctype>

#include "torrent/MakeTorrent.h"

namespace {

bool containsThumbsDb(const std::string& name) {
    static const std::string needle = "thumbs.db";
    auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    return std::search(name.begin(), name.end(), needle.begin(), needle.end(), same) != name.end();
}

}  // namespace

bool CMakeTorrent::walkFolder(const std::string& folder) {
    std::string path = folder;
    if (!path.empty() && path.back() == fsys::kSeparator)
        path.pop_back();

    fsys::CDirListing listing;
    if (!listing.open(path))
        return false;
    fsys::CDirEntry entry;
    while (m_failure.empty() && listing.next(entry)) {
        if (entry.m_folder && (entry.m_name == "." || entry.m_name == ".."))
            continue;
        const std::string full = path + fsys::kSeparator + entry.m_name;
        // Hidden and system folders are walked like any other.
        const bool content = entry.m_folder || !(entry.m_hidden || containsThumbsDb(entry.m_name));
        if (!content)
            continue;
        // Either would leave files out of the torrent without a word.
        if (entry.m_nameLost)
            fail(buildreason::nameNotInCodePage(full));
        else if (fsys::pathTooLong(full, entry.m_folder))
            fail(buildreason::pathTooLong(full));
        else if (entry.m_folder)
            walkFolder(full);  // a subfolder that cannot be listed is skipped
        else
            recordFile(full, entry);
    }
    return true;
}

void CMakeTorrent::recordFile(const std::string& fullPath, const fsys::CDirEntry& entry) {
    auto file = std::make_unique<CMakeTorrent_file>();
    file->m_fullPath = fullPath;
    file->m_size = entry.m_size;
    // Cut by length, so that a base path with or without its trailing separator gives the same.
    const std::size_t r = fullPath.size() > m_basePath.size() ? fullPath.size() - m_basePath.size() : 0;
    file->m_relPath = fullPath.substr(fullPath.size() - r);
    if (!file->m_relPath.empty() && file->m_relPath.front() == fsys::kSeparator)
        file->m_relPath.erase(0, 1);
    m_files.push_back(std::move(file));
}

void CMakeTorrent::rewindContent() {
    m_readPos = 0;
    m_currentFile.reset();
    m_currentEntry = nullptr;
    m_currentLeft = 0;
}

uint32_t CMakeTorrent::readContent(uint8_t* buffer, uint32_t count) {
    uint32_t done = 0;
    while (done < count && !m_cancel.load(std::memory_order_relaxed)) {
        if (!m_currentEntry) {
            if (m_readPos >= m_files.size())
                break;
            m_currentEntry = m_files[m_readPos++].get();
            m_currentLeft = m_currentEntry->m_size;
        }
        const std::string& path = m_currentEntry->m_fullPath;
        if (!m_currentFile) {
            m_currentFile = fsys::openForReading(path);
            if (!m_currentFile) {
                fail(buildreason::cannotRead(path));
                break;
            }
        }
        const auto want = static_cast<uint32_t>(std::min<uint64_t>(count - done, m_currentLeft));
        const auto n = want == 0 ? 0 : static_cast<uint32_t>(std::fread(buffer + done, 1, want, m_currentFile.get()));
        done += n;
        m_currentLeft -= n;
        if (n < want) {
            fail(std::ferror(m_currentFile.get()) ? buildreason::cannotRead(path) : buildreason::changed(path));
            break;
        }
        if (m_currentLeft > 0)
            break;  // the request is full
        // This file's listed length is read: its reading ends here, and the file must end too.
        if (std::fgetc(m_currentFile.get()) != EOF) {
            fail(buildreason::changed(path));
            break;
        }
        if (std::ferror(m_currentFile.get())) {
            fail(buildreason::cannotRead(path));
            break;
        }
        // The rest of the request comes from the next files.
        m_currentFile.reset();
        m_currentEntry = nullptr;
    }
    return done;
}
