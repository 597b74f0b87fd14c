#include "torrent/OpenAhead.h"

#include <mutex>
#include <utility>

namespace torrent::fsys {

COpenAhead::COpenAhead(std::vector<std::string> paths) : m_paths(std::move(paths)), m_slots(kAhead) {
    m_closing.reserve(2 * kAhead);
    if (m_paths.size() < 2)
        return;
    try {
        m_opener = std::thread(&COpenAhead::openLoop, this);
    } catch (...) {
        m_openerOver = true;
    }
}

COpenAhead::~COpenAhead() {
    if (!m_opener.joinable())
        return;
    {
        std::lock_guard<torrent::pieces::CLock> lock(m_lock);
        m_stop = true;
    }
    m_room.notifyOne();
    m_opener.join();
}

void COpenAhead::openLoop() noexcept {
    try {
        std::vector<CReadFile> closing;
        closing.reserve(2 * kAhead);
        for (;;) {
            std::size_t index = 0;
            {
                std::lock_guard<torrent::pieces::CLock> lock(m_lock);
                // Once the queue is full it waits for half of it to be taken: one wake-up for
                // many files.
                if (waiting() == kAhead || m_opened == m_paths.size()) {
                    m_openerWaits = true;
                    m_room.wait(m_lock,
                                [this] { return m_stop || (waiting() <= kAhead / 2 && m_opened < m_paths.size()); });
                    m_openerWaits = false;
                }
                closing.swap(m_closing);
                if (m_stop)
                    break;
                index = m_opened;
            }
            closing.clear();
            CReadFile file;
            // Asking the length readies the handle for reading: under Wine its first use fetches
            // the file's descriptor from Wine's server.
            uint64_t length = 0;
            const bool open = file.open(m_paths[index]) && file.length(length);
            bool wake = false;
            {
                std::lock_guard<torrent::pieces::CLock> lock(m_lock);
                Slot& slot = m_slots[index % kAhead];
                slot.m_file = std::move(file);
                slot.m_open = open;
                ++m_opened;
                wake = m_readerWaits;
            }
            if (wake)
                m_ready.notifyOne();
        }
        closing.clear();
    } catch (...) {
    }
    // The reader opens the rest itself; the files still queued are closed with the slots.
    {
        std::lock_guard<torrent::pieces::CLock> lock(m_lock);
        m_openerOver = true;
    }
    m_ready.notifyOne();
}

bool COpenAhead::next(CReadFile& file) {
    std::size_t index = 0;
    {
        std::lock_guard<torrent::pieces::CLock> lock(m_lock);
        if (m_taken == m_paths.size())
            return false;
        if (m_opener.joinable()) {
            m_readerWaits = true;
            m_ready.wait(m_lock, [this] { return m_taken < m_opened || m_openerOver; });
            m_readerWaits = false;
        }
        index = m_taken++;
        if (index < m_opened) {
            Slot& slot = m_slots[index % kAhead];
            file = std::move(slot.m_file);
            if (!slot.m_open)
                file.close();
            if (m_openerWaits && waiting() <= kAhead / 2 && m_opened < m_paths.size())
                m_room.notifyOne();
            return slot.m_open;
        }
    }
    return file.open(m_paths[index]);
}

void COpenAhead::done(CReadFile& file) {
    {
        std::lock_guard<torrent::pieces::CLock> lock(m_lock);
        if (!m_openerOver) {
            m_closing.push_back(std::move(file));
            return;
        }
    }
    file.close();
}

}  // namespace torrent::fsys
