#pragma once
// Opens the content files on a thread of its own, a few files ahead of the reader, and closes
// those the reader is done with. Under Wine opening, the first read and closing each take a round
// trip to Wine's server, and while the hashing threads keep both cores busy each round trip waits
// for the server to get a core: on a folder of many small files the reader would spend most of its
// time waiting. Here it only reads.

#include <cstddef>
#include <string>
#include <thread>
#include <vector>

#include "torrent/FileSystem.h"
#include "torrent/PieceSync.h"

namespace torrent::fsys {

class COpenAhead {
  public:
    // At most this many files are open and not yet taken. The opener wakes when half of them are
    // taken: under Wine 32 round trips a wake-up, for pieces that are hashed two at a time.
    static constexpr std::size_t kAhead = 64;

    // Starts opening `paths` in order; with a single path, or when no thread can be started,
    // next() opens each file itself.
    explicit COpenAhead(std::vector<std::string> paths);
    // Stops the thread and closes every file it holds: it has ended when this returns.
    ~COpenAhead();
    COpenAhead(const COpenAhead&) = delete;
    COpenAhead& operator=(const COpenAhead&) = delete;

    // The next path's file, open in `file`; false when it could not be opened, or every path
    // was handed out.
    [[nodiscard]] bool next(CReadFile& file);
    // A file the reader is done with; it is closed on the opening thread.
    void done(CReadFile& file);

  private:
    struct Slot {
        CReadFile m_file;
        bool m_open = false;
    };

    void openLoop() noexcept;
    std::size_t waiting() const { return m_opened - m_taken; }

    const std::vector<std::string> m_paths;
    torrent::pieces::CLock m_lock;
    torrent::pieces::CCondition m_room;   // the opener may go on: room in the queue, or stop
    torrent::pieces::CCondition m_ready;  // the reader may go on: a file opened, or the opener ended
    std::vector<Slot> m_slots;            // file i in slot i % kAhead
    std::vector<CReadFile> m_closing;
    std::size_t m_opened = 0;  // paths the opener has tried
    std::size_t m_taken = 0;   // files the reader has taken
    bool m_stop = false;
    bool m_openerOver = false;
    bool m_openerWaits = false;
    bool m_readerWaits = false;
    std::thread m_opener;
};

}  // namespace torrent::fsys
