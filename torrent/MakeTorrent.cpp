// The build: metainfo dictionary, the piece-hashing loop and the output file.
#include "torrent/MakeTorrent.h"

#include <cstring>
#include <ctime>
#include <limits>
#include <new>

#include "bencode/Encode.h"
#include "torrent/ContentReader.h"
#include "torrent/FileSystem.h"
#include "torrent/PiecePipeline.h"
#include "win/CodePage.h"
#include "win/FilePtr.h"

namespace {

using torrent::pieces::kDigestSize;

constexpr const char* kAnnounce = "tmp_url";
constexpr const char* kEncoding = "UTF-8";

std::unique_ptr<CAtom> text(std::string value) {
    return std::make_unique<CAtomString>(std::move(value));
}

// A name or path component as the torrent carries it: in UTF-8, as its "encoding" says.
std::unique_ptr<CAtom> name(const std::string& narrow) {
    return text(toUtf8(narrow));
}

// The components of a relative path; every separator ends one, the last one counts when
// it is not empty.
std::unique_ptr<CAtomList> pathList(const std::string& relPath) {
    auto list = std::make_unique<CAtomList>();
    std::string part;
    for (char c : relPath) {
        if (c == torrent::fsys::kSeparator) {
            list->append(name(part));
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        list->append(name(part));
    return list;
}

// "info" but its "pieces", the one place where a single file and a folder differ: a file has its
// length, a folder its files, each with its length and path.
std::unique_ptr<CAtomDicti> infoDictionary(const torrent::Content& content, int32_t pieceLength) {
    auto info = std::make_unique<CAtomDicti>();
    if (content.m_singleFile) {
        info->store(std::make_unique<CAtomLong>(static_cast<int64_t>(content.m_totalSize)), "length");
    } else {
        auto files = std::make_unique<CAtomList>();
        for (const torrent::ContentFile& file : content.m_files) {
            auto entry = std::make_unique<CAtomDicti>();
            entry->store(std::make_unique<CAtomLong>(static_cast<int64_t>(file.m_size)), "length");
            entry->store(pathList(file.m_relPath), "path");
            files->append(std::move(entry));
        }
        info->store(std::move(files), "files");
    }
    info->store(name(content.m_name), "name");
    info->store(std::make_unique<CAtomInt>(pieceLength), "piece length");
    return info;
}

// Writes the metainfo beside `output` and moves it into place only when it is complete.
// `metainfo` ends with the "ee" that closes "info" and the whole dictionary; "pieces", the
// last key of "info", goes in front of them.
bool writeMetainfo(const std::string& output, const std::string& metainfo, const uint8_t* pieces, std::size_t size) {
    const std::string temp = output + ".tmp";
    win::CFilePtr f(std::fopen(temp.c_str(), "wb"));
    if (!f)
        return false;
    const std::string key = "6:pieces" + std::to_string(size) + ":";
    const std::size_t head = metainfo.size() - 2;
    bool ok = std::fwrite(metainfo.data(), 1, head, f.get()) == head &&
              std::fwrite(key.data(), 1, key.size(), f.get()) == key.size() &&
              std::fwrite(pieces, 1, size, f.get()) == size && std::fwrite("ee", 1, 2, f.get()) == 2;
    ok = f.close() && ok;
    if (ok && torrent::fsys::replaceFile(temp, output))
        return true;
    torrent::fsys::removeFile(temp);
    return false;
}

// The 20-byte digests of the pieces in order, allocated once for the whole build.
struct PieceTable {
    std::unique_ptr<uint8_t[]> m_bytes;
    std::size_t m_capacity = 0;
    std::size_t m_used = 0;

    bool allocate(uint64_t totalSize, uint32_t pieceLength) {
        // Room for every piece, the short last one included, and a little more.
        const uint64_t capacity = totalSize / pieceLength * kDigestSize + 201;
        if (capacity > std::numeric_limits<std::ptrdiff_t>::max())
            return false;
        m_capacity = static_cast<std::size_t>(capacity);
        m_bytes.reset(new (std::nothrow) uint8_t[m_capacity]());
        m_used = 0;
        return m_bytes != nullptr;
    }
};

}  // namespace

void CMakeTorrent::setCreator(const std::string& program) {
    m_createdBy = program;
    m_comment = "This torrent was created by " + program;
}

int32_t CMakeTorrent::pieceLengthFor(uint64_t totalSize) {
    constexpr uint64_t MiB = 1024 * 1024;
    static const struct {
        uint64_t upTo;
        int32_t pieceLength;
    } rows[] = {
        {16 * MiB, 64 * 1024},     {64 * MiB, 256 * 1024},    {512 * MiB, 512 * 1024},
        {2048 * MiB, 1024 * 1024}, {8192 * MiB, 2048 * 1024},
    };
    for (const auto& row : rows)
        if (totalSize <= row.upTo)
            return row.pieceLength;
    return 4096 * 1024;
}

std::string CMakeTorrent::metainfo(const torrent::Content& content, int32_t pieceLength) const {
    const int32_t now = static_cast<int32_t>(static_cast<uint32_t>(std::time(nullptr)));
    CAtomDicti top;
    top.store(text(kAnnounce), "announce");
    top.store(text(m_comment), "comment");
    top.store(text(m_createdBy), "created by");
    top.store(std::make_unique<CAtomInt>(m_fixedCreationDate.value_or(now)), "creation date");
    top.store(text(kEncoding), "encoding");
    top.store(infoDictionary(content, pieceLength), "info");
    return writeDictionary(top);
}

BuildResult CMakeTorrent::buildFromFolder(const std::string& path, const std::string& output) {
    return build(torrent::scanContent(path, false, m_cancel), output);
}

BuildResult CMakeTorrent::buildFromFile(const std::string& path, const std::string& output) {
    return build(torrent::scanContent(path, true, m_cancel), output);
}

BuildResult CMakeTorrent::build(const torrent::Content& content, const std::string& output) {
    if (m_cancel.load(std::memory_order_relaxed))
        return BuildResult::cancelled();
    if (!content.m_failure.empty())
        return BuildResult::failed(content.m_failure);
    m_totalSize.store(content.m_totalSize, std::memory_order_relaxed);
    const int32_t pieceLength = pieceLengthFor(content.m_totalSize);
    return hashAndWrite(content, metainfo(content, pieceLength), static_cast<uint32_t>(pieceLength), output);
}

// A piece per read through the reader across the files, hashed on the pipeline's threads. The
// torrent is written only when the whole content was hashed as scanned: a file that went missing,
// could not be read, shrank or grew would give a torrent that no client can verify.
BuildResult CMakeTorrent::hashAndWrite(const torrent::Content& content,
                                       const std::string& metainfo,
                                       uint32_t pieceLength,
                                       const std::string& output) {
    PieceTable table;
    bool complete = false;
    std::string failure;
    {
        torrent::pieces::CPiecePipeline pipeline(pieceLength, m_hashThreads);
        if (!pipeline.allocated() || !table.allocate(content.m_totalSize, pieceLength))
            return BuildResult::failed(torrent::buildreason::kNoMemory);
        torrent::CContentReader reader(content.m_files, m_cancel);
        const torrent::pieces::ReadFn read = [&reader](uint8_t* buffer, uint32_t count) {
            return reader.read(buffer, count);
        };
        const torrent::pieces::HashOutcome outcome =
            pipeline.run(read, table.m_bytes.get(), table.m_capacity, m_cancel, m_bytesDone);
        table.m_used = static_cast<std::size_t>(outcome.m_pieces) * kDigestSize;
        complete = outcome.m_end == torrent::pieces::HashEnd::Complete && reader.failure().empty();
        if (!complete) {
            // The reader's reason is the nearest to the cause; more pieces than measured mean
            // the content grew.
            failure = !reader.failure().empty() ? reader.failure()
                      : outcome.m_end == torrent::pieces::HashEnd::Failed
                          ? torrent::buildreason::kNoMemory
                          : torrent::buildreason::changed(content.m_path);
        }
    }  // the piece buffers and the opening thread go before the output is written
    if (!complete)
        return m_cancel.load(std::memory_order_relaxed) ? BuildResult::cancelled() : BuildResult::failed(failure);
    if (!writeMetainfo(output, metainfo, table.m_bytes.get(), table.m_used))
        return BuildResult::failed(torrent::buildreason::cannotWrite(output));
    return BuildResult::written();
}
