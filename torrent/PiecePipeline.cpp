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

// One piece in a thread's hands.
struct Piece {
    uint8_t* m_bytes = nullptr;
    uint32_t m_length = 0;
    uint64_t m_index = 0;
};

// The reader, shared by the threads: one at a time reads the next pieces into its own buffers.
// Everything here is under the one lock.
class CReading {
  public:
    CReading(const ReadFn& read, uint32_t pieceLength, uint64_t room, const std::atomic<bool>& cancel)
        : m_read(read), m_pieceLength(pieceLength), m_room(room), m_cancel(cancel) {}

    // Reads the next pieces into the `count` pieces' buffers, in reading order; leaves their
    // lengths and places and returns how many it read. 0 when there is none: the content has
    // ended, reading stopped, or the cancel flag is set.
    std::size_t next(Piece* pieces, std::size_t count) {
        std::lock_guard<CLock> lock(m_lock);
        if (m_over)
            return 0;
        if (m_cancel.load(std::memory_order_relaxed)) {
            stop(HashEnd::Cancelled);
            return 0;
        }
        std::size_t got = 0;
        while (got < count && !m_over) {
            uint32_t n = 0;
            try {
                n = m_read(pieces[got].m_bytes, m_pieceLength);
            } catch (...) {
                m_thrown = std::current_exception();
                stop(HashEnd::Failed);
                return 0;
            }
            m_over = n < m_pieceLength;
            if (n == 0)
                break;
            if (m_pieces == m_room) {
                stop(HashEnd::TooLong);
                break;
            }
            pieces[got].m_length = n;
            pieces[got].m_index = m_pieces++;
            ++got;
        }
        return got;
    }

    // After every thread has ended: the pieces read, and how reading ended. An exception from the
    // reader goes on to the caller, whichever thread it was thrown on.
    HashOutcome outcome() const {
        if (m_thrown)
            std::rethrow_exception(m_thrown);
        return HashOutcome{m_end, m_pieces};
    }

  private:
    void stop(HashEnd end) {
        m_over = true;
        m_end = end;
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

// How much of two pieces hashed side by side goes between two looks at the cancel flag.
constexpr uint32_t kTwoStep = 256 * 1024;

// What the threads share: the reader, where the digests go, the cancel flag and the bytes hashed.
struct Hashing {
    CReading& m_reading;
    uint8_t* m_table;
    const std::atomic<bool>& m_cancel;
    std::atomic<uint64_t>& m_bytesDone;

    void store(CSha1Hasher& hasher, const Piece& piece) const {
        hasher.finish();
        std::memcpy(m_table + piece.m_index * kDigestSize, hasher.m_digest, kDigestSize);
        m_bytesDone.fetch_add(piece.m_length, std::memory_order_relaxed);
    }

    bool cancelled() const { return m_cancel.load(std::memory_order_relaxed); }

    // Two pieces side by side, with a look at the cancel flag every kTwoStep bytes and before each
    // is counted: once it is set, this thread counts at most one more piece, as when it hashes one
    // at a time, and leaves the rest.
    void two(CSha1Hasher (&hashers)[2], const Piece (&pieces)[2]) const {
        hashers[0].reset();
        hashers[1].reset();
        const uint32_t longest = std::max(pieces[0].m_length, pieces[1].m_length);
        for (uint32_t at = 0; at < longest; at += kTwoStep) {
            if (at > 0 && cancelled())
                return;
            auto part = [at](const Piece& piece) {
                return std::min(kTwoStep, piece.m_length - std::min(at, piece.m_length));
            };
            hashers[0].updateTwo(pieces[0].m_bytes + std::min(at, pieces[0].m_length), part(pieces[0]), hashers[1],
                                 pieces[1].m_bytes + std::min(at, pieces[1].m_length), part(pieces[1]));
        }
        for (int i = 0; i < 2; ++i) {
            if (cancelled())
                return;
            store(hashers[i], pieces[i]);
        }
    }

    void one(CSha1Hasher& hasher, const Piece& piece) const {
        hasher.reset();
        hasher.update(piece.m_bytes, piece.m_length);
        store(hasher, piece);
    }
};

// One thread's work until no piece is left: its turn with the reader, then the digests of the
// pieces it read (one or two, as it has buffers), side by side with the other threads.
void readAndHash(const Hashing& hashing, uint8_t* first, uint8_t* second) noexcept {
    CSha1Hasher hashers[2];
    Piece pieces[2];
    pieces[0].m_bytes = first;
    pieces[1].m_bytes = second;
    for (;;) {
        const std::size_t got = hashing.m_reading.next(pieces, second ? 2 : 1);
        if (got == 0)
            return;
        if (got == 2)
            hashing.two(hashers, pieces);
        else
            hashing.one(hashers[0], pieces[0]);
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
    // A second buffer for the first threads where two pieces hash at once faster than one after
    // the other, within the N + 2 buffers of the memory bound.
    const unsigned most = sha1::twoAtOnce() ? std::min(2 * wanted, wanted + 2) : wanted;
    m_buffers.reserve(most);
    while (m_buffers.size() < most) {
        Buffer buffer(static_cast<uint8_t*>(::operator new[](pieceLength, kBufferAlignment, std::nothrow)));
        if (!buffer)
            break;
        m_buffers.push_back(std::move(buffer));
    }
    m_hashers = std::min(wanted, static_cast<unsigned>(m_buffers.size()));
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
    const Hashing hashing{reading, table, cancel, bytesDone};
    // Thread i reads into buffer i, and into buffer N + i as well where there is one.
    auto second = [this](std::size_t i) {
        return m_hashers + i < m_buffers.size() ? m_buffers[m_hashers + i].get() : nullptr;
    };
    {
        // The calling thread is one of them; as many others as the system gives. Each has ended
        // when this block does.
        std::vector<std::thread> threads;
        for (std::size_t i = 1; i < m_hashers; ++i) {
            try {
                threads.emplace_back(readAndHash, std::cref(hashing), m_buffers[i].get(), second(i));
            } catch (...) {
                break;
            }
        }
        readAndHash(hashing, m_buffers[0].get(), second(0));
        for (auto& thread : threads)
            thread.join();
    }
    HashOutcome outcome = reading.outcome();
    outcome.m_end = endOf(outcome.m_end, cancel);
    return outcome;
}

}  // namespace torrent::pieces
