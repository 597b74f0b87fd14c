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

void CMakeTorrent::walkFolder(const std::string& folder) {
    std::string path = folder;
    if (!path.empty() && path.back() == fsys::kSeparator)
        path.pop_back();

    fsys::CDirListing listing;
    if (!listing.open(path))
        return;
    fsys::CDirEntry entry;
    // A cancel is looked at before each entry: a walk of a large folder can take a while.
    while (!m_cancel.load(std::memory_order_relaxed) && listing.next(entry)) {
        const std::string full = path + fsys::kSeparator + entry.m_name;
        if (entry.m_folder) {
            // Hidden and system folders are walked like any other.
            if (entry.m_name != "." && entry.m_name != "..")
                walkFolder(full);
            continue;
        }
        if (entry.m_hidden || containsThumbsDb(entry.m_name))
            continue;
        recordFile(full, entry);
    }
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
}

uint32_t CMakeTorrent::readContent(uint8_t* buffer, uint32_t count) {
    uint32_t done = 0;
    while (done < count && !m_cancel.load(std::memory_order_relaxed)) {
        if (!m_currentEntry) {
            if (m_readPos >= m_files.size())
                break;
            m_currentEntry = m_files[m_readPos++].get();
        }
        if (!m_currentFile) {
            m_currentFile = fsys::openForReading(m_currentEntry->m_fullPath);
            if (!m_currentFile)
                break;
        }
        done += static_cast<uint32_t>(std::fread(buffer + done, 1, count - done, m_currentFile.get()));
        if (done == count)
            break;
        // At the end of this file: the rest of the request comes from the next ones.
        m_currentFile.reset();
        m_currentEntry = nullptr;
    }
    return done;
}
