#include "torrent/ContentReader.h"

#include <algorithm>
#include <utility>

#include "torrent/BuildResult.h"

namespace torrent {

namespace {

std::vector<std::string> pathsOf(const std::vector<ContentFile>& files) {
    std::vector<std::string> paths;
    paths.reserve(files.size());
    for (const ContentFile& file : files)
        paths.push_back(file.m_fullPath);
    return paths;
}

}  // namespace

CContentReader::CContentReader(const std::vector<ContentFile>& files, const std::atomic<bool>& cancel)
    : m_files(files), m_cancel(cancel), m_ahead(pathsOf(files)) {}

void CContentReader::fail(std::string reason) {
    if (m_failure.empty())
        m_failure = std::move(reason);
}

uint32_t CContentReader::read(uint8_t* buffer, uint32_t count) {
    uint32_t done = 0;
    while (done < count && m_failure.empty() && !m_cancel.load(std::memory_order_relaxed)) {
        if (!m_current) {
            if (m_next >= m_files.size())
                break;
            m_current = &m_files[m_next++];
            m_left = m_current->m_size;
        }
        const std::string& path = m_current->m_fullPath;
        if (!m_file.isOpen() && !m_ahead.next(m_file)) {
            fail(buildreason::cannotRead(path));
            break;
        }
        const auto want = static_cast<uint32_t>(std::min<uint64_t>(count - done, m_left));
        uint32_t n = 0;
        const bool readable = want == 0 || m_file.read(buffer + done, want, n);
        done += n;
        m_left -= n;
        if (!readable || n < want) {
            fail(readable ? buildreason::changed(path) : buildreason::cannotRead(path));
            break;
        }
        if (m_left > 0)
            break;  // the request is full
        // This file's listed length is read: its reading ends here, and the file must end too.
        uint8_t beyond = 0;
        if (!m_file.read(&beyond, 1, n) || n != 0) {
            fail(n != 0 ? buildreason::changed(path) : buildreason::cannotRead(path));
            break;
        }
        // The rest of the request comes from the next files.
        m_ahead.done(m_file);
        m_current = nullptr;
    }
    return done;
}

}  // namespace torrent
