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
    if (!path.empty() && path.back() == torrent::fsys::kSeparator)
        path.pop_back();

    torrent::fsys::CDirListing listing;
    if (!listing.open(path))
        return false;
    torrent::fsys::CDirEntry entry;
    // The cancel is looked at before each entry: a walk of a large folder can take a while.
    while (m_failure.empty() && !m_cancel.load(std::memory_order_relaxed) && listing.next(entry)) {
        if (entry.m_folder && (entry.m_name == "." || entry.m_name == ".."))
            continue;
        const std::string full = path + torrent::fsys::kSeparator + entry.m_name;
        // Hidden and system folders are walked like any other.
        const bool content = entry.m_folder || !(entry.m_hidden || containsThumbsDb(entry.m_name));
        if (!content)
            continue;
        // Each would leave files out of the torrent without a word.
        if (entry.m_nameLost)
            fail(torrent::buildreason::nameNotInCodePage(full));
        else if (entry.m_folder) {
            // A subfolder that cannot be listed is skipped, unless its path is too long to list:
            // then its files' paths are too long to open as well.
            if (!walkFolder(full) && torrent::fsys::pathTooLong(full, true))
                fail(torrent::buildreason::pathTooLong(full));
        } else if (torrent::fsys::pathTooLong(full, false))
            fail(torrent::buildreason::pathTooLong(full));
        else
            recordFile(full, entry);
    }
    return true;
}

void CMakeTorrent::recordFile(const std::string& fullPath, const torrent::fsys::CDirEntry& entry) {
    auto file = std::make_unique<CMakeTorrent_file>();
    file->m_fullPath = fullPath;
    file->m_size = entry.m_size;
    // Cut by length, so that a base path with or without its trailing separator gives the same.
    const std::size_t r = fullPath.size() > m_basePath.size() ? fullPath.size() - m_basePath.size() : 0;
    file->m_relPath = fullPath.substr(fullPath.size() - r);
    if (!file->m_relPath.empty() && file->m_relPath.front() == torrent::fsys::kSeparator)
        file->m_relPath.erase(0, 1);
    m_files.push_back(std::move(file));
}

void CMakeTorrent::rewindContent() {
    m_readPos = 0;
    m_ahead.reset();
    m_currentFile.close();
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
        if (!m_currentFile.isOpen() && !(m_ahead ? m_ahead->next(m_currentFile) : m_currentFile.open(path))) {
            fail(torrent::buildreason::cannotRead(path));
            break;
        }
        const auto want = static_cast<uint32_t>(std::min<uint64_t>(count - done, m_currentLeft));
        uint32_t n = 0;
        const bool readable = want == 0 || m_currentFile.read(buffer + done, want, n);
        done += n;
        m_currentLeft -= n;
        if (!readable || n < want) {
            fail(readable ? torrent::buildreason::changed(path) : torrent::buildreason::cannotRead(path));
            break;
        }
        if (m_currentLeft > 0)
            break;  // the request is full
        // This file's listed length is read: its reading ends here, and the file must end too.
        uint8_t beyond = 0;
        if (!m_currentFile.read(&beyond, 1, n) || n != 0) {
            fail(n != 0 ? torrent::buildreason::changed(path) : torrent::buildreason::cannotRead(path));
            break;
        }
        // The rest of the request comes from the next files.
        if (m_ahead)
            m_ahead->done(m_currentFile);
        else
            m_currentFile.close();
        m_currentEntry = nullptr;
    }
    return done;
}
