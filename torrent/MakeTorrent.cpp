// The two builds: metainfo dictionary, the piece-hashing loop and the output file.
#include "torrent/MakeTorrent.h"

#include <cstring>
#include <ctime>
#include <limits>
#include <new>

#include "bencode/Encode.h"
#include "win/CodePage.h"
#include "win/FilePtr.h"

namespace {

using torrent::pieces::kDigestSize;

std::unique_ptr<CAtom> text(std::string value) {
    return std::make_unique<CAtomString>(std::move(value));
}

// A name or path component as the torrent carries it: in UTF-8, as its "encoding" says.
std::unique_ptr<CAtom> name(const std::string& narrow) {
    return text(toUtf8(narrow));
}

// The part of a path after its last ':' or separator.
std::string lastPart(const std::string& path) {
    std::size_t start = path.size();
    while (start > 0 && !torrent::fsys::endsPathPart(path[start - 1]))
        --start;
    return path.substr(start);
}

std::string withoutSeparator(std::string path) {
    if (!path.empty() && path.back() == torrent::fsys::kSeparator)
        path.pop_back();
    return path;
}

// A folder's name is taken without its trailing separator, so "D:\Film\" is named Film like
// "D:\Film"; a drive root "D:\" keeps an empty name.
std::string folderName(const std::string& path) {
    return lastPart(withoutSeparator(path));
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

}  // namespace

// The 20-byte digests of the pieces in order, allocated once for the whole build.
struct CMakeTorrent::PieceTable {
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

CMakeTorrent::CMakeTorrent() : m_announce("tmp_url"), m_encoding("UTF-8") {}

CMakeTorrent::~CMakeTorrent() = default;

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

std::unique_ptr<CAtomDicti> CMakeTorrent::topDictionary() const {
    const int32_t now = static_cast<int32_t>(static_cast<uint32_t>(std::time(nullptr)));
    auto top = std::make_unique<CAtomDicti>();
    top->store(text(m_announce), "announce");
    top->store(text(m_comment), "comment");
    top->store(text(m_createdBy), "created by");
    top->store(std::make_unique<CAtomInt>(m_fixedCreationDate.value_or(now)), "creation date");
    top->store(text(m_encoding), "encoding");
    return top;
}

void CMakeTorrent::fail(std::string reason) {
    if (m_failure.empty())
        m_failure = std::move(reason);
}

void CMakeTorrent::start() {
    rewindContent();
    m_files.clear();
    m_failure.clear();
}

// The hashing of both builds: a piece per read through the reader across the files, hashed on the
// pipeline's threads. True when the whole content was hashed as measured; false when cancelled or
// when the reader failed the build (a file that went missing, could not be read, shrank or grew),
// which would give a torrent that no client can verify.
bool CMakeTorrent::hashPieces(torrent::pieces::CPiecePipeline& pipeline, PieceTable& table) {
    const torrent::pieces::ReadFn read = [this](uint8_t* buffer, uint32_t count) { return readContent(buffer, count); };
    const torrent::pieces::HashOutcome outcome =
        pipeline.run(read, table.m_bytes.get(), table.m_capacity, m_cancel, m_bytesDone);
    table.m_used = static_cast<std::size_t>(outcome.m_pieces) * kDigestSize;
    switch (outcome.m_end) {
        case torrent::pieces::HashEnd::Complete:
            return m_failure.empty();
        case torrent::pieces::HashEnd::TooLong:
            fail(torrent::buildreason::changed(m_basePath));
            return false;
        case torrent::pieces::HashEnd::Failed:
            fail(torrent::buildreason::kNoMemory);
            return false;
        case torrent::pieces::HashEnd::Cancelled:
            break;
    }
    return false;
}

BuildResult CMakeTorrent::hashAndWrite(const std::string& metainfo,
                                       uint32_t pieceLength,
                                       uint64_t totalSize,
                                       const std::string& output) {
    PieceTable table;
    bool complete = false;
    {
        torrent::pieces::CPiecePipeline pipeline(pieceLength, m_hashThreads);
        if (!pipeline.allocated() || !table.allocate(totalSize, pieceLength))
            return BuildResult::failed(torrent::buildreason::kNoMemory);
        rewindContent();
        // Whatever way hashing ends, the opening thread ends with it.
        struct Rewind {
            CMakeTorrent& m_maker;
            ~Rewind() { m_maker.rewindContent(); }
        } rewind{*this};
        std::vector<std::string> paths;
        paths.reserve(m_files.size());
        for (const auto& file : m_files)
            paths.push_back(file->m_fullPath);
        m_ahead = std::make_unique<torrent::fsys::COpenAhead>(std::move(paths));
        complete = hashPieces(pipeline, table);
    }  // the piece buffers go before the output is written
    if (!complete)
        return ended();
    if (!writeMetainfo(output, metainfo, table.m_bytes.get(), table.m_used))
        return BuildResult::failed(torrent::buildreason::cannotWrite(output));
    return BuildResult::written();
}

BuildResult CMakeTorrent::ended() {
    if (m_cancel.load(std::memory_order_relaxed))
        return BuildResult::cancelled();
    return BuildResult::failed(m_failure.empty() ? torrent::buildreason::changed(m_basePath) : m_failure);
}

BuildResult CMakeTorrent::buildFromFolder(const std::string& path, const std::string& output) {
    start();
    m_basePath = path;
    if (!torrent::fsys::isFolder(path))
        return BuildResult::failed(torrent::fsys::nameLost(path) ? torrent::buildreason::nameNotInCodePage(path)
                                                                 : torrent::buildreason::noSuchFolder(path));
    if (!walkFolder(m_basePath))
        fail(torrent::fsys::pathTooLong(withoutSeparator(path), true) ? torrent::buildreason::pathTooLong(path)
                                                                      : torrent::buildreason::cannotReadFolder(path));
    if (m_cancel.load(std::memory_order_relaxed))
        return BuildResult::cancelled();
    if (!m_failure.empty())
        return BuildResult::failed(m_failure);

    auto top = topDictionary();
    uint64_t totalSize = 0;
    for (const auto& file : m_files)
        totalSize += file->m_size;
    m_totalSize.store(totalSize, std::memory_order_relaxed);
    if (totalSize == 0)
        return BuildResult::failed(torrent::buildreason::nothingToUpload(path));
    const int32_t pieceLength = pieceLengthFor(totalSize);

    auto files = std::make_unique<CAtomList>();
    for (const auto& file : m_files) {
        auto entry = std::make_unique<CAtomDicti>();
        entry->store(std::make_unique<CAtomLong>(static_cast<int64_t>(file->m_size)), "length");
        entry->store(pathList(file->m_relPath), "path");
        files->append(std::move(entry));
    }
    auto info = std::make_unique<CAtomDicti>();
    info->store(std::move(files), "files");
    info->store(name(folderName(m_basePath)), "name");
    info->store(std::make_unique<CAtomInt>(pieceLength), "piece length");
    top->store(std::move(info), "info");
    return hashAndWrite(writeDictionary(*top), static_cast<uint32_t>(pieceLength), totalSize, output);
}

BuildResult CMakeTorrent::buildFromFile(const std::string& path, const std::string& output) {
    start();
    m_basePath = path;
    torrent::fsys::CReadFile file;
    uint64_t totalSize = 0;
    if (torrent::fsys::isFolder(path) || !file.open(path) || !file.length(totalSize)) {
        if (torrent::fsys::nameLost(lastPart(path)))
            return BuildResult::failed(torrent::buildreason::nameNotInCodePage(path));
        return BuildResult::failed(torrent::fsys::pathTooLong(path, false) ? torrent::buildreason::pathTooLong(path)
                                                                           : torrent::buildreason::cannotRead(path));
    }
    file.close();  // the reader opens it again, as it opens every content file
    m_totalSize.store(totalSize, std::memory_order_relaxed);
    if (totalSize == 0)
        return BuildResult::failed(torrent::buildreason::nothingToUpload(path));
    auto content = std::make_unique<CMakeTorrent_file>();
    content->m_fullPath = path;
    content->m_relPath = lastPart(path);
    content->m_size = totalSize;
    m_files.push_back(std::move(content));
    const int32_t pieceLength = pieceLengthFor(totalSize);

    auto top = topDictionary();
    auto info = std::make_unique<CAtomDicti>();
    info->store(std::make_unique<CAtomLong>(static_cast<int64_t>(totalSize)), "length");
    info->store(name(lastPart(path)), "name");
    info->store(std::make_unique<CAtomInt>(pieceLength), "piece length");
    top->store(std::move(info), "info");
    return hashAndWrite(writeDictionary(*top), static_cast<uint32_t>(pieceLength), totalSize, output);
}
