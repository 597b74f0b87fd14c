#pragma once
// Piece hashing on several threads. The threads take turns with the reader: each reads the next
// piece of the content into a buffer of its own, lets the reader go, and hashes the piece while
// the others read and hash theirs. The digest of piece i goes at i x 20 in the table, so the table
// holds exactly what one thread hashing the pieces in order would write, whatever N is.
//
// A piece goes from the file into its buffer and through its hasher on one thread, while it is
// still in that core's cache, and no thread waits for another to hand it a piece or a buffer: a
// thread waits only when another is reading, and then for one turn at most. Where two pieces hash
// at once faster than one after the other (sha1::twoAtOnce()), the first two threads have a
// second buffer, read two pieces a turn and hash them side by side.
//
// Every thread looks at the cancel flag before every turn, and every thread started has ended
// before run() returns. Memory: N piece buffers, N + 2 at most with the second ones, whatever the
// size of the content: with 16 MiB pieces 64 MiB on two cores and 160 MiB at most (8 threads); the
// builder's largest pieces, 4 MiB, take 16 MiB on two.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace torrent::pieces {

inline constexpr uint32_t kDigestSize = 20;
inline constexpr unsigned kMaxHashers = 8;

// One hashing thread per core, 1 to kMaxHashers.
unsigned defaultHashers();

// Delivers up to `count` further content bytes into `buffer`; fewer means the content has
// ended, or reading stopped (the reader records why, if it failed). Called by one thread at a
// time, from any of the hashing threads.
using ReadFn = std::function<uint32_t(uint8_t* buffer, uint32_t count)>;

enum class HashEnd {
    Complete,   // the reader delivered a short piece: the end of the content
    Cancelled,  // the cancel flag was set
    TooLong,    // more pieces than the table holds: the content is longer than measured
    Failed,     // not even one piece buffer could be had (out of memory)
};

struct HashOutcome {
    HashEnd m_end = HashEnd::Failed;
    uint64_t m_pieces = 0;  // digests written, at the front of the table
};

class CPiecePipeline {
  public:
    // Allocates the piece buffers for `hashers` threads (0: one per core), at most kMaxHashers.
    // When memory is short it makes do with fewer buffers and threads, down to one buffer that the
    // calling thread reads and hashes by turns.
    CPiecePipeline(uint32_t pieceLength, unsigned hashers);
    ~CPiecePipeline();
    CPiecePipeline(const CPiecePipeline&) = delete;
    CPiecePipeline& operator=(const CPiecePipeline&) = delete;

    // False when not even one piece buffer could be had.
    bool allocated() const { return !m_buffers.empty(); }
    // The threads that read and hash, the calling one among them: 1 when it does so alone.
    unsigned hashers() const { return m_hashers; }

    // Reads the content through `read` a piece at a time and hashes it into `table` (room for
    // `tableSize` bytes). `bytesDone` grows by each piece once it is hashed; `cancel` is only read.
    // An exception from `read`, on whichever thread, comes out of here once every thread has ended.
    HashOutcome run(const ReadFn& read,
                    uint8_t* table,
                    std::size_t tableSize,
                    const std::atomic<bool>& cancel,
                    std::atomic<uint64_t>& bytesDone);

  private:
    struct AlignedDelete {
        void operator()(uint8_t* bytes) const noexcept;
    };
    using Buffer = std::unique_ptr<uint8_t[], AlignedDelete>;

    uint32_t m_pieceLength;
    unsigned m_hashers = 0;
    std::vector<Buffer> m_buffers;
};

}  // namespace torrent::pieces
