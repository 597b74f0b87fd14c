#pragma once
// One torrent build: turns a file or a folder into a metainfo file with SHA-1 piece hashes.
// The build runs on a worker thread; another thread may read the two counters and set the
// cancel flag at any time (relaxed atomics, no lock).

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "torrent/FileSystem.h"
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
    // Reads the application title for the created-by and comment texts.
    CMakeTorrent();
    ~CMakeTorrent();
    CMakeTorrent(const CMakeTorrent&) = delete;
    CMakeTorrent& operator=(const CMakeTorrent&) = delete;

    // Multi-file torrent of a folder, single-file torrent of one file. True when `output`
    // was written; a build that is cancelled or fails writes nothing and leaves an earlier
    // file at `output` as it was.
    bool buildFromFolder(const std::string& path, const std::string& output);
    bool buildFromFile(const std::string& path, const std::string& output);

    static int32_t pieceLengthFor(uint64_t totalSize);

    // Content enumeration: the walk fills m_files, the reader joins the files end to end.
    void walkFolder(const std::string& path);
    void recordFile(const std::string& fullPath, const fsys::CDirEntry& entry);
    // Up to `count` further content bytes; fewer means the content ended or reading stopped.
    uint32_t readContent(uint8_t* buffer, uint32_t count);
    void rewindContent();

    std::vector<std::unique_ptr<CMakeTorrent_file>> m_files;
    std::string m_basePath;
    std::size_t m_readPos = 0;
    CMakeTorrent_file* m_currentEntry = nullptr;
    fsys::FilePtr m_currentFile;

    std::atomic<uint64_t> m_totalSize{0};
    std::atomic<uint64_t> m_bytesDone{0};
    std::atomic<bool> m_cancel{false};

    std::string m_announce;
    std::string m_createdBy;
    std::string m_comment;
    std::string m_encoding;

    // "creation date" is the clock at the time the dictionary is built unless this is set.
    std::optional<int32_t> m_fixedCreationDate;
    // Threads that hash the pieces; 0: one per core (at most pieces::kMaxHashers).
    unsigned m_hashThreads = 0;

  private:
    struct PieceTable;

    std::unique_ptr<CAtomDicti> topDictionary() const;
    bool hashPieces(std::FILE* singleFile, pieces::CPiecePipeline& pipeline, uint64_t totalSize, PieceTable& table);
};
