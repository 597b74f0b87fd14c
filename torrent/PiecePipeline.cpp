#include "torrent/PiecePipeline.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <mutex>
#include <new>
#include <thread>

#include "torrent/PieceSync.h"
#include "torrent/Sha1Hasher.h"

namespace torrent::pieces {

namespace {

// Piece buffers start on a page boundary. The kernel copies from the page cache at well under its
// best speed into a buffer that starts a few bytes past a cache line boundary, as the large blocks
// of glibc's malloc do (16 bytes into their page): reading 2 GiB into such buffers took 0.27 CPU
// seconds here, into page-aligned ones 0.17.
constexpr std::align_val_t kBufferAlignment{4096};

// The reader, shared by the threads: one at a time reads the next piece into its own buffer.
// Everything here is under the one lock.
class CReading {
  public:
    CReading(const ReadFn& read, uint32_t pieceLength, uint64_t room, const std::atomic<bool>& cancel)
        : m_read(read), m_pieceLength(pieceLength), m_room(room), m_cancel(cancel) {}

    // Reads the next piece into `buffer`; leaves its length and its place in reading order. False
    // when there is none: the content has ended, reading stopped, or the cancel flag is set.
    bool next(uint8_t* buffer, uint32_t& length, uint64_t& index) {
        std::lock_guard<CLock> lock(m_lock);
        if (m_over)
            return false;
        if (m_cancel.load(std::memory_order_relaxed))
            return stop(HashEnd::Cancelled);
        uint32_t n = 0;
        try {
            n = m_read(buffer, m_pieceLength);
        } catch (...) {
            m_thrown = std::current_exception();
            return stop(HashEnd::Failed);
        }
        m_over = n < m_pieceLength;
        if (n == 0)
            return false;
        if (m_pieces == m_room)
            return stop(HashEnd::TooLong);
        length = n;
        index = m_pieces++;
        return true;
    }

    // After every thread has ended: the pieces read, and how reading ended. An exception from the
    // reader goes on to the caller, whichever thread it was thrown on.
    HashOutcome outcome() const {
        if (m_thrown)
            std::rethrow_exception(m_thrown);
        return HashOutcome{m_end, m_pieces};
    }

  private:
    bool stop(HashEnd end) {
        m_over = true;
        m_end = end;
        return false;
    }

    CLock m_lock;
    const ReadFn& m_read;
    const uint32_t m_pieceLength;
    const uint64_t m_room;
    const std::atomic<bool>& m_cancel;
    uint64_t m_pieces = 0;
    bool m_over = false;
    HashEnd m_end = HashEnd::Complete;
    std::exception_ptr m_thrown;
};

// One thread's work until no piece is left: its turn with the reader, then the digest of the piece
// it read, side by side with the other threads.
void readAndHash(CReading& reading, uint8_t* buffer, uint8_t* table, std::atomic<uint64_t>& bytesDone) noexcept {
    CSha1Hasher hasher;
    uint32_t length = 0;
    uint64_t index = 0;
    while (reading.next(buffer, length, index)) {
        hasher.reset();
        hasher.update(buffer, length);
        hasher.finish();
        std::memcpy(table + index * kDigestSize, hasher.m_digest, kDigestSize);
        bytesDone.fetch_add(length, std::memory_order_relaxed);
    }
}

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
    m_buffers.reserve(wanted);
    while (m_buffers.size() < wanted) {
        Buffer buffer(static_cast<uint8_t*>(::operator new[](pieceLength, kBufferAlignment, std::nothrow)));
        if (!buffer)
            break;
        m_buffers.push_back(std::move(buffer));
    }
    m_hashers = static_cast<unsigned>(m_buffers.size());
}

CPiecePipeline::~CPiecePipeline() = default;

HashOutcome CPiecePipeline::run(const ReadFn& read,
                                uint8_t* table,
                                std::size_t tableSize,
                                const std::atomic<bool>& cancel,
                                std::atomic<uint64_t>& bytesDone) {
    if (!allocated())
        return HashOutcome{};
    CReading reading(read, m_pieceLength, tableSize / kDigestSize, cancel);
    {
        // The calling thread is one of them; as many others as the system gives. Each has ended
        // when this block does.
        std::vector<std::thread> threads;
        for (std::size_t i = 1; i < m_buffers.size(); ++i) {
            try {
                threads.emplace_back(readAndHash, std::ref(reading), m_buffers[i].get(), table, std::ref(bytesDone));
            } catch (...) {
                break;
            }
        }
        readAndHash(reading, m_buffers[0].get(), table, bytesDone);
        for (auto& thread : threads)
            thread.join();
    }
    HashOutcome outcome = reading.outcome();
    outcome.m_end = endOf(outcome.m_end, cancel);
    return outcome;
}

}  // namespace torrent::pieces
