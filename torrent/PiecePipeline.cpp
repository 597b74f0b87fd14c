#include "torrent/PiecePipeline.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>

#include "torrent/PieceSync.h"
#include "torrent/Sha1Hasher.h"

namespace torrent::pieces {

namespace {

struct Piece {
    uint8_t* m_bytes = nullptr;
    uint32_t m_length = 0;
    uint64_t m_index = 0;
};

void hashInto(CSha1Hasher& hasher, const Piece& piece, uint8_t* table) {
    hasher.reset();
    hasher.update(piece.m_bytes, piece.m_length);
    hasher.finish();
    std::memcpy(table + piece.m_index * kDigestSize, hasher.m_digest, kDigestSize);
}

// The buffers between the reader and the hashing threads: free ones for the reader, filled ones
// in reading order for the hashers. Everything here is under the one lock.
class CRing {
  public:
    template <typename Buffers>
    explicit CRing(const Buffers& buffers) : m_filled(buffers.size()) {
        for (const auto& buffer : buffers)
            m_free.push_back(buffer.get());
    }

    // The reader's next buffer; none once the hashers have stopped.
    uint8_t* takeFree() {
        std::lock_guard<CLock> lock(m_lock);
        m_freed.wait(m_lock, [this] { return !m_free.empty() || m_stopped; });
        if (m_stopped)
            return nullptr;
        uint8_t* buffer = m_free.back();
        m_free.pop_back();
        return buffer;
    }

    void putFilled(const Piece& piece) {
        {
            std::lock_guard<CLock> lock(m_lock);
            m_filled[(m_first + m_count) % m_filled.size()] = piece;
            ++m_count;
        }
        m_ready.notifyOne();
    }

    // No more pieces come; the hashers finish those waiting, or drop them when stopping.
    void endReading(bool stop) {
        {
            std::lock_guard<CLock> lock(m_lock);
            m_readingOver = true;
            m_stopped = m_stopped || stop;
        }
        m_ready.notifyAll();
    }

    // A hasher's next piece, in reading order; false when there is none left or all stop.
    bool takeFilled(Piece& piece) {
        std::lock_guard<CLock> lock(m_lock);
        m_ready.wait(m_lock, [this] { return m_count > 0 || m_readingOver || m_stopped; });
        if (m_stopped || m_count == 0)
            return false;
        piece = m_filled[m_first];
        m_first = (m_first + 1) % m_filled.size();
        --m_count;
        return true;
    }

    void giveBack(uint8_t* buffer) {
        {
            std::lock_guard<CLock> lock(m_lock);
            m_free.push_back(buffer);
        }
        m_freed.notifyOne();
    }

    // Any thread: nobody takes another piece or buffer.
    void stop() {
        {
            std::lock_guard<CLock> lock(m_lock);
            m_stopped = true;
        }
        m_ready.notifyAll();
        m_freed.notifyAll();
    }

  private:
    CLock m_lock;
    CCondition m_freed;
    CCondition m_ready;
    std::vector<uint8_t*> m_free;
    std::vector<Piece> m_filled;  // a queue of at most as many pieces as there are buffers
    std::size_t m_first = 0;
    std::size_t m_count = 0;
    bool m_readingOver = false;
    bool m_stopped = false;
};

struct Shared {
    CRing& m_ring;
    uint8_t* m_table;
    const std::atomic<bool>& m_cancel;
    std::atomic<uint64_t>& m_bytesDone;
    std::atomic<bool> m_fault{false};
};

void hashLoop(Shared& shared) noexcept {
    try {
        CSha1Hasher hasher;
        Piece piece;
        while (shared.m_ring.takeFilled(piece)) {
            if (shared.m_cancel.load(std::memory_order_relaxed)) {
                shared.m_ring.stop();
                return;
            }
            hashInto(hasher, piece, shared.m_table);
            shared.m_bytesDone.fetch_add(piece.m_length, std::memory_order_relaxed);
            shared.m_ring.giveBack(piece.m_bytes);
        }
    } catch (...) {
        shared.m_fault = true;
        try {
            shared.m_ring.stop();
        } catch (...) {
        }
    }
}

// Stops and joins the hashing threads on every way out of run(), an exception from the reader
// included: none of them may outlive the build.
class CHashers {
  public:
    explicit CHashers(CRing& ring) : m_ring(ring) {}
    ~CHashers() {
        if (m_threads.empty())
            return;
        try {
            m_ring.stop();
        } catch (...) {
        }
        joinAll();
    }
    CHashers(const CHashers&) = delete;
    CHashers& operator=(const CHashers&) = delete;

    // As many as the system gives, up to `count`.
    void start(unsigned count, Shared& shared) {
        for (unsigned i = 0; i < count; ++i) {
            try {
                m_threads.emplace_back(hashLoop, std::ref(shared));
            } catch (...) {
                break;
            }
        }
    }
    bool none() const { return m_threads.empty(); }
    void joinAll() {
        for (auto& thread : m_threads)
            thread.join();
        m_threads.clear();
    }

  private:
    CRing& m_ring;
    std::vector<std::thread> m_threads;
};

// Piece buffers start on a page boundary. The kernel copies from the page cache at well under its
// best speed into a buffer that starts a few bytes past a cache line boundary, as the large blocks
// of glibc's malloc do (16 bytes into their page): reading 2 GiB into such buffers took 0.27 CPU
// seconds here, into page-aligned ones 0.17.
constexpr std::align_val_t kBufferAlignment{4096};

HashEnd endOf(HashEnd end, const std::atomic<bool>& cancel) {
    // A cancel that came while the last pieces were read still cancels.
    return end == HashEnd::Complete && cancel.load(std::memory_order_relaxed) ? HashEnd::Cancelled : end;
}

}  // namespace

unsigned defaultHashers() {
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(cores, 1u, kMaxHashers);
}

void CPiecePipeline::AlignedDelete::operator()(uint8_t* bytes) const noexcept {
    ::operator delete[](bytes, kBufferAlignment);
}

CPiecePipeline::CPiecePipeline(uint32_t pieceLength, unsigned hashers) : m_pieceLength(pieceLength) {
    const unsigned wanted = hashers == 0 ? defaultHashers() : std::min(hashers, kMaxHashers);
    m_buffers.reserve(wanted + 2);
    while (m_buffers.size() < wanted + 2) {
        Buffer buffer(static_cast<uint8_t*>(::operator new[](pieceLength, kBufferAlignment, std::nothrow)));
        if (!buffer)
            break;
        m_buffers.push_back(std::move(buffer));
    }
    // With fewer than three buffers the threads would only wait on each other.
    if (m_buffers.size() >= 3)
        m_hashers = static_cast<unsigned>(m_buffers.size()) - 2;
    else if (m_buffers.size() > 1)
        m_buffers.resize(1);
}

CPiecePipeline::~CPiecePipeline() = default;

HashOutcome CPiecePipeline::run(const ReadFn& read,
                                uint8_t* table,
                                std::size_t tableSize,
                                const std::atomic<bool>& cancel,
                                std::atomic<uint64_t>& bytesDone) {
    HashOutcome outcome;
    if (!allocated())
        return outcome;
    const uint64_t room = tableSize / kDigestSize;

    CRing ring(m_buffers);
    Shared shared{ring, table, cancel, bytesDone};
    CHashers hashers(ring);
    hashers.start(m_hashers, shared);
    CSha1Hasher ownHasher;  // when no thread could be started, this one hashes by turns
    const bool alone = hashers.none();

    HashEnd end = HashEnd::Complete;
    for (;;) {
        uint8_t* buffer = ring.takeFree();
        if (!buffer) {
            end = shared.m_fault ? HashEnd::Failed : HashEnd::Cancelled;
            break;
        }
        if (cancel.load(std::memory_order_relaxed)) {
            end = HashEnd::Cancelled;
            break;
        }
        const uint32_t n = read(buffer, m_pieceLength);
        if (n > 0) {
            if (outcome.m_pieces == room) {
                end = HashEnd::TooLong;
                break;
            }
            const Piece piece{buffer, n, outcome.m_pieces++};
            if (alone) {
                hashInto(ownHasher, piece, table);
                bytesDone.fetch_add(n, std::memory_order_relaxed);
                ring.giveBack(buffer);
            } else {
                ring.putFilled(piece);
            }
        }
        if (n < m_pieceLength)
            break;
    }
    ring.endReading(end != HashEnd::Complete);
    hashers.joinAll();
    outcome.m_end = shared.m_fault ? HashEnd::Failed : endOf(end, cancel);
    return outcome;
}

}  // namespace torrent::pieces
