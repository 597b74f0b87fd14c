#pragma once
// One torrent build: turns a file or a folder into a metainfo file with SHA-1 piece hashes.
// The build runs on a worker thread; another thread may read the two counters and set the
// cancel flag at any time (relaxed atomics, no lock). Names and paths go into the torrent in
// UTF-8; the files are opened by their names in the code page.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "torrent/BuildResult.h"
#include "torrent/FileSystem.h"
#include "torrent/OpenAhead.h"
#include "torrent/PiecePipeline.h"

class CAtomDicti;

// One content file of a folder build.
class CMakeTorrent_file {
  public:
    std::string m_fullPath;
    std::string m_relPath;  // below the build's folder, no leading separator
    uint64_t m_size = 0;
};

class CMakeTorrent {
  public:
    CMakeTorrent();
    ~CMakeTorrent();
    CMakeTorrent(const CMakeTorrent&) = delete;
    CMakeTorrent& operator=(const CMakeTorrent&) = delete;

    // Multi-file torrent of a folder, single-file torrent of one file. Written: `output` is
    // complete and in place. A build that is cancelled or fails writes nothing and leaves an
    // earlier file at `output` as it was; a failed one says why. Content of 0 bytes in all is
    // refused: no client can seed it.
    BuildResult buildFromFolder(const std::string& path, const std::string& output);
    BuildResult buildFromFile(const std::string& path, const std::string& output);

    static int32_t pieceLengthFor(uint64_t totalSize);

    // The program named in the created-by and comment texts.
    void setCreator(const std::string& program);

    // Content enumeration: the walk fills m_files; false when `path` cannot be listed (a
    // subfolder that cannot be listed is skipped). A name the code page lacks, or a path too
    // long to open, ends the build: its files would be missing from the torrent.
    bool walkFolder(const std::string& path);
    void recordFile(const std::string& fullPath, const torrent::fsys::CDirEntry& entry);
    // Up to `count` further content bytes; fewer means the content ended or reading stopped.
    // Each file gives exactly its listed length and must end there: one that cannot be opened
    // or read, or has shrunk or grown since the walk, stops the reading and fails the build.
    uint32_t readContent(uint8_t* buffer, uint32_t count);
    // Back to the first file; the files opened ahead are closed.
    void rewindContent();

    // Records why the build fails; the first reason stays. One thread at a time.
    void fail(std::string reason);
    const std::string& failure() const { return m_failure; }

    std::vector<std::unique_ptr<CMakeTorrent_file>> m_files;
    std::string m_basePath;
    std::size_t m_readPos = 0;
    CMakeTorrent_file* m_currentEntry = nullptr;
    torrent::fsys::CReadFile m_currentFile;
    uint64_t m_currentLeft = 0;  // bytes of the current entry not read yet
    // While the pieces are hashed, the files come open from here; otherwise the reader opens them.
    std::unique_ptr<torrent::fsys::COpenAhead> m_ahead;

    std::atomic<uint64_t> m_totalSize{0};
    std::atomic<uint64_t> m_bytesDone{0};
    std::atomic<bool> m_cancel{false};

    std::string m_announce;
    std::string m_createdBy;
    std::string m_comment;
    std::string m_encoding;

    // "creation date" is the clock at the time the dictionary is built unless this is set.
    std::optional<int32_t> m_fixedCreationDate;
    // Threads that hash the pieces; 0: one per core (at most torrent::pieces::kMaxHashers).
    unsigned m_hashThreads = 0;

  private:
    struct PieceTable;

    std::unique_ptr<CAtomDicti> topDictionary() const;
    void start();
    // Hashes the content through the reader and writes the output: the common end of both builds.
    BuildResult hashAndWrite(const std::string& metainfo,
                             uint32_t pieceLength,
                             uint64_t totalSize,
                             const std::string& output);
    [[nodiscard]] bool hashPieces(torrent::pieces::CPiecePipeline& pipeline, PieceTable& table);
    BuildResult ended();

    std::string m_failure;
};
