#pragma once
// One torrent build: turns a scanned file or folder into a metainfo file with SHA-1 piece hashes.
// The build runs on a worker thread; another thread may read the two counters and set the
// cancel flag at any time (relaxed atomics, no lock). Names and paths go into the torrent in
// UTF-8; the files are opened by their names in the code page.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "torrent/BuildResult.h"
#include "torrent/ContentScan.h"

class CMakeTorrent {
  public:
    CMakeTorrent() = default;
    CMakeTorrent(const CMakeTorrent&) = delete;
    CMakeTorrent& operator=(const CMakeTorrent&) = delete;

    // A single-file torrent of a scanned file, a multi-file torrent of a scanned folder. Written:
    // `output` is complete and in place. A build that is cancelled or fails writes nothing and
    // leaves an earlier file at `output` as it was; a failed one says why, the scan's failure first.
    BuildResult build(const torrent::Content& content, const std::string& output);
    // Scans a folder or a file, with the cancel flag, and builds its torrent.
    BuildResult buildFromFolder(const std::string& path, const std::string& output);
    BuildResult buildFromFile(const std::string& path, const std::string& output);

    static int32_t pieceLengthFor(uint64_t totalSize);

    // The program named in the created-by and comment texts.
    void setCreator(const std::string& program);

    std::atomic<uint64_t> m_totalSize{0};  // set once the content is scanned
    std::atomic<uint64_t> m_bytesDone{0};
    std::atomic<bool> m_cancel{false};

    // "creation date" is the clock at the time the dictionary is built unless this is set.
    std::optional<int32_t> m_fixedCreationDate;
    // Threads that hash the pieces; 0: one per core (at most torrent::pieces::kMaxHashers).
    unsigned m_hashThreads = 0;

  private:
    std::string metainfo(const torrent::Content& content, int32_t pieceLength) const;
    // Hashes the content and writes the metainfo with its pieces to `output`.
    BuildResult hashAndWrite(const torrent::Content& content,
                             const std::string& metainfo,
                             uint32_t pieceLength,
                             const std::string& output);

    std::string m_createdBy;
    std::string m_comment;
};
