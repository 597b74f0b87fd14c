#pragma once
// Piece hashing on several threads. The calling thread reads the content ahead, piece by
// piece, into a small ring of piece buffers; N hashing threads, each with its own CSha1Hasher,
// take the pieces in order and write the digest of piece i at i x 20 in the table. So the table
// holds exactly what one thread hashing the pieces in order would write, whatever N is.
//
// Every thread looks at the cancel flag before every piece, and every hashing thread has ended
// before run() returns. Memory: N + 2 piece buffers (one being read, one in each hasher's hands,
// one filled and waiting), whatever the size of the content: with 16 MiB pieces 64 MiB on two
// cores and 160 MiB at most (8 threads); the builder's largest pieces, 4 MiB, take 16 MiB on two.

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
// ended, or reading stopped (the reader records why, if it failed).
using ReadFn = std::function<uint32_t(uint8_t* buffer, uint32_t count)>;

enum class HashEnd {
    Complete,   // the reader delivered a short piece: the end of the content
    Cancelled,  // the cancel flag was set
    TooLong,    // more pieces than the table holds: the content is longer than measured
    Failed,     // a hashing thread or the reader could not go on (out of memory)
};

struct HashOutcome {
    HashEnd m_end = HashEnd::Failed;
    uint64_t m_pieces = 0;  // digests written, at the front of the table
};

class CPiecePipeline {
  public:
    // Allocates the ring for `hashers` threads (0: one per core), at most kMaxHashers. When memory
    // is short it makes do with fewer buffers and threads, down to one buffer that the calling
    // thread reads and hashes by turns.
    CPiecePipeline(uint32_t pieceLength, unsigned hashers);
    ~CPiecePipeline();
    CPiecePipeline(const CPiecePipeline&) = delete;
    CPiecePipeline& operator=(const CPiecePipeline&) = delete;

    // False when not even one piece buffer could be had.
    bool allocated() const { return !m_buffers.empty(); }
    // The hashing threads run() starts; 0 when the calling thread hashes by itself.
    unsigned hashers() const { return m_hashers; }

    // Reads the content through `read` a piece at a time and hashes it into `table` (room for
    // `tableSize` bytes). `bytesDone` grows by each piece once it is hashed; `cancel` is only read.
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
