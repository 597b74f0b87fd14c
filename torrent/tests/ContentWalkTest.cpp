#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "torrent/MakeTorrent.h"
#include "torrent/OpenAhead.h"
#include "torrent/tests/TestTree.h"

using namespace testtree;

namespace {

// (relative path with '/', size) of every recorded file, sorted: the listing order is the
// platform's.
std::vector<std::pair<std::string, uint64_t>> recorded(const CMakeTorrent& maker) {
    std::vector<std::pair<std::string, uint64_t>> files;
    for (const auto& f : maker.m_files) {
        std::string rel = f->m_relPath;
        std::replace(rel.begin(), rel.end(), torrent::fsys::kSeparator, '/');
        files.emplace_back(rel, f->m_size);
    }
    std::sort(files.begin(), files.end());
    return files;
}

void record(CMakeTorrent& maker, const std::string& path, uint64_t size) {
    torrent::fsys::CDirEntry entry;
    entry.m_size = size;
    maker.recordFile(path, entry);
}

TEST(ContentWalk, SkipsHiddenFilesAndThumbnailCachesButWalksHiddenFolders) {
    CScratch tree("walk");
    const std::string base = tree.folder("Film");
    tree.file("Film/x.avi", pattern(1000));
    tree.file("Film/sub/y.nfo", "nfo");
    tree.file("Film/sub/deeper/z.txt", "zz");
    tree.file("Film/empty.txt", "");
    tree.folder("Film/nothing/inside");
    hide(tree.file("Film/secret.txt", "hidden"));
    hide(tree.file("Film/sub/also-secret.txt", "hidden"));
    tree.file("Film/extras/visible.txt", "seen");
    const std::string extrasPath = hide(join(base, "extras"));
    const std::string extras = extrasPath.substr(base.size() + 1);
    tree.file("Film/Thumbs.db", "t");
    tree.file("Film/sub/THUMBS.DB", "t");
    tree.file("Film/sub/old thumbs.db.bak", "t");
    tree.file("Film/sub/ThUmBs.Db", "t");
#ifdef _WIN32
    markSystem(tree.file("Film/system.dat", "s"));
#endif

    CMakeTorrent maker;
    maker.m_basePath = base;
    maker.walkFolder(base);
    const std::vector<std::pair<std::string, uint64_t>> expected = {
        {extras + "/visible.txt", 4}, {"empty.txt", 0}, {"sub/deeper/z.txt", 2}, {"sub/y.nfo", 3}, {"x.avi", 1000},
    };
    auto sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(recorded(maker), sorted);
    for (const auto& f : maker.m_files)
        EXPECT_EQ(f->m_fullPath, join(base, f->m_relPath));
}

TEST(ContentWalk, TrailingSeparatorGivesTheSameEntries) {
    CScratch tree("slash");
    const std::string base = tree.folder("Data");
    tree.file("Data/a.bin", "aaa");
    tree.file("Data/sub/b.bin", "b");

    CMakeTorrent plain;
    plain.m_basePath = base;
    plain.walkFolder(base);
    CMakeTorrent slashed;
    slashed.m_basePath = base + torrent::fsys::kSeparator;
    slashed.walkFolder(slashed.m_basePath);

    ASSERT_EQ(plain.m_files.size(), 2u);
    EXPECT_EQ(recorded(plain), recorded(slashed));
    for (std::size_t i = 0; i < plain.m_files.size(); ++i)
        EXPECT_EQ(plain.m_files[i]->m_fullPath, slashed.m_files[i]->m_fullPath);
}

TEST(ContentWalk, FolderOfEmptyFoldersAndMissingFolderYieldNothing) {
    CScratch tree("hollow");
    const std::string base = tree.folder("Hollow/a/b");
    tree.folder("Hollow/c");
    CMakeTorrent maker;
    maker.m_basePath = join(tree.m_path, "Hollow");
    maker.walkFolder(maker.m_basePath);
    maker.walkFolder(join(tree.m_path, "missing"));
    EXPECT_TRUE(maker.m_files.empty());
}

TEST(ContentWalk, RelativePathsAreCutAgainstTheBaseWithOrWithoutSeparator) {
    const std::string sep(1, torrent::fsys::kSeparator);
    CMakeTorrent maker;
    maker.m_basePath = "root" + sep + "Film";
    record(maker, "root" + sep + "Film" + sep + "sub" + sep + "y.nfo", 3);
    maker.m_basePath += sep;
    record(maker, "root" + sep + "Film" + sep + "x.avi", 7);
    EXPECT_EQ(maker.m_files[0]->m_relPath, "sub" + sep + "y.nfo");
    EXPECT_EQ(maker.m_files[1]->m_relPath, "x.avi");
    EXPECT_EQ(maker.m_files[1]->m_size, 7u);
}

TEST(ContentReader, JoinsFilesEndToEndInOneCall) {
    CScratch tree("reader");
    const std::string first = pattern(30, 0);
    const std::string third = pattern(200, 1000);
    CMakeTorrent maker;
    record(maker, tree.file("a", first), 30);
    record(maker, tree.file("b", ""), 0);
    record(maker, tree.file("c", third), 200);
    maker.rewindContent();

    std::string buffer(100, '\0');
    ASSERT_EQ(maker.readContent(reinterpret_cast<uint8_t*>(&buffer[0]), 100), 100u);
    EXPECT_EQ(buffer, first + third.substr(0, 70));
    // The rest, then nothing.
    ASSERT_EQ(maker.readContent(reinterpret_cast<uint8_t*>(&buffer[0]), 100), 100u);
    EXPECT_EQ(buffer, third.substr(70, 100));
    EXPECT_EQ(maker.readContent(reinterpret_cast<uint8_t*>(&buffer[0]), 100), 30u);
    EXPECT_EQ(buffer.substr(0, 30), third.substr(170));
    EXPECT_EQ(maker.readContent(reinterpret_cast<uint8_t*>(&buffer[0]), 100), 0u);
}

// Each file must give exactly its listed length: one shrinking while another grows by as much
// would keep the total but not the pieces of "files".
TEST(ContentReader, EveryFileReadsBackAtItsListedLength) {
    CScratch tree("lengths");
    const std::string shrunk = tree.file("a", "1234");
    const std::string grown = tree.file("b", "567890");
    CMakeTorrent maker;
    record(maker, shrunk, 5);
    record(maker, grown, 5);
    maker.rewindContent();
    std::string buffer(20, '\0');
    auto* bytes = reinterpret_cast<uint8_t*>(&buffer[0]);
    EXPECT_EQ(maker.readContent(bytes, 20), 4u);
    EXPECT_EQ(maker.failure(), shrunk + " changed while the torrent was created");

    CMakeTorrent other;
    record(other, tree.file("c", "12345"), 5);
    record(other, grown, 5);
    other.rewindContent();
    // The grown file's listed bytes are read, and then its end is missing.
    EXPECT_EQ(other.readContent(bytes, 10), 10u);
    EXPECT_EQ(other.failure(), grown + " changed while the torrent was created");
}

TEST(ContentReader, StopsAtAFileThatCannotBeOpenedAndWhenCancelled) {
    CScratch tree("stops");
    CMakeTorrent maker;
    record(maker, tree.file("a", "12345"), 5);
    record(maker, join(tree.m_path, "gone"), 10);
    record(maker, tree.file("c", "67890"), 5);
    maker.rewindContent();
    std::string buffer(20, '\0');
    auto* bytes = reinterpret_cast<uint8_t*>(&buffer[0]);
    EXPECT_EQ(maker.readContent(bytes, 20), 5u);
    EXPECT_EQ(buffer.substr(0, 5), "12345");
    EXPECT_EQ(maker.failure(), "Cannot read " + join(tree.m_path, "gone"));
    EXPECT_EQ(maker.readContent(bytes, 20), 0u);

    maker.rewindContent();
    EXPECT_EQ(maker.readContent(bytes, 2), 2u);
    maker.m_cancel = true;
    EXPECT_EQ(maker.readContent(bytes, 2), 0u);
}

// The files come open in the order of the paths, one that cannot be opened in its place, well past
// the few held ahead; one that goes before taking them all ends its thread.
TEST(ContentReader, FilesOpenedAheadComeInTheirOrder) {
    CScratch tree("ahead");
    const std::size_t count = 3 * torrent::fsys::COpenAhead::kAhead + 1;
    const std::size_t missing = torrent::fsys::COpenAhead::kAhead + 2;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string name = "f" + std::to_string(i);
        paths.push_back(i == missing ? join(tree.m_path, "gone") : tree.file(name, name));
    }
    {
        torrent::fsys::COpenAhead ahead(paths);
        for (std::size_t i = 0; i < count; ++i) {
            torrent::fsys::CReadFile file;
            ASSERT_EQ(ahead.next(file), i != missing) << i;
            EXPECT_EQ(file.isOpen(), i != missing) << i;
            std::string bytes(8, '\0');
            uint32_t got = 0;
            if (file.isOpen()) {
                ASSERT_TRUE(file.read(reinterpret_cast<uint8_t*>(&bytes[0]), 8, got));
            }
            EXPECT_EQ(bytes.substr(0, got), i == missing ? "" : "f" + std::to_string(i));
            ahead.done(file);
            EXPECT_FALSE(file.isOpen());
        }
        torrent::fsys::CReadFile none;
        EXPECT_FALSE(ahead.next(none));
    }
    torrent::fsys::COpenAhead early(paths);
    torrent::fsys::CReadFile first;
    EXPECT_TRUE(early.next(first));
}

}  // namespace
