#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <utility>

#include "torrent/ContentReader.h"
#include "torrent/ContentScan.h"
#include "torrent/OpenAhead.h"
#include "torrent/tests/TestTree.h"

using namespace testtree;

namespace {

// (relative path with '/', size) of every file found, sorted: the listing order is the
// platform's.
std::vector<std::pair<std::string, uint64_t>> recorded(const torrent::Content& content) {
    std::vector<std::pair<std::string, uint64_t>> files;
    for (const auto& f : content.m_files) {
        std::string rel = f.m_relPath;
        std::replace(rel.begin(), rel.end(), torrent::fsys::kSeparator, '/');
        files.emplace_back(rel, f.m_size);
    }
    std::sort(files.begin(), files.end());
    return files;
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

    const torrent::Content content = torrent::scanContent(base, false);
    const std::vector<std::pair<std::string, uint64_t>> expected = {
        {extras + "/visible.txt", 4}, {"empty.txt", 0}, {"sub/deeper/z.txt", 2}, {"sub/y.nfo", 3}, {"x.avi", 1000},
    };
    auto sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(recorded(content), sorted);
    for (const auto& f : content.m_files)
        EXPECT_EQ(f.m_fullPath, join(base, f.m_relPath));
}

TEST(ContentWalk, TrailingSeparatorGivesTheSameEntries) {
    CScratch tree("slash");
    const std::string base = tree.folder("Data");
    tree.file("Data/a.bin", "aaa");
    tree.file("Data/sub/b.bin", "b");

    const torrent::Content plain = torrent::scanContent(base, false);
    const torrent::Content slashed = torrent::scanContent(base + torrent::fsys::kSeparator, false);

    ASSERT_EQ(plain.m_files.size(), 2u);
    EXPECT_EQ(recorded(plain), recorded(slashed));
    for (std::size_t i = 0; i < plain.m_files.size(); ++i)
        EXPECT_EQ(plain.m_files[i].m_fullPath, slashed.m_files[i].m_fullPath);
    EXPECT_EQ(plain.m_name, "Data");
    EXPECT_EQ(slashed.m_name, "Data");
}

TEST(ContentWalk, FolderOfEmptyFoldersAndMissingFolderYieldNothing) {
    CScratch tree("hollow");
    const std::string base = tree.folder("Hollow/a/b");
    tree.folder("Hollow/c");
    EXPECT_TRUE(torrent::scanContent(join(tree.m_path, "Hollow"), false).m_files.empty());
    EXPECT_TRUE(torrent::scanContent(join(tree.m_path, "missing"), false).m_files.empty());
}

TEST(ContentWalk, RelativePathsAreCutAgainstTheBaseWithOrWithoutSeparator) {
    CScratch tree("relative");
    const std::string base = tree.folder("Film");
    tree.file("Film/sub/y.nfo", "nfo");
    tree.file("Film/x.avi", pattern(7));
    const std::vector<std::pair<std::string, uint64_t>> expected = {{"sub/y.nfo", 3}, {"x.avi", 7}};
    EXPECT_EQ(recorded(torrent::scanContent(base, false)), expected);
    EXPECT_EQ(recorded(torrent::scanContent(base + torrent::fsys::kSeparator, false)), expected);
}

TEST(ContentReader, JoinsFilesEndToEndInOneCall) {
    CScratch tree("reader");
    const std::string first = pattern(30, 0);
    const std::string third = pattern(200, 1000);
    const std::vector<torrent::ContentFile> files = {
        {tree.file("a", first), "a", 30}, {tree.file("b", ""), "b", 0}, {tree.file("c", third), "c", 200}};
    const std::atomic<bool> cancel{false};
    torrent::CContentReader reader(files, cancel);

    std::string buffer(100, '\0');
    ASSERT_EQ(reader.read(reinterpret_cast<uint8_t*>(&buffer[0]), 100), 100u);
    EXPECT_EQ(buffer, first + third.substr(0, 70));
    // The rest, then nothing.
    ASSERT_EQ(reader.read(reinterpret_cast<uint8_t*>(&buffer[0]), 100), 100u);
    EXPECT_EQ(buffer, third.substr(70, 100));
    EXPECT_EQ(reader.read(reinterpret_cast<uint8_t*>(&buffer[0]), 100), 30u);
    EXPECT_EQ(buffer.substr(0, 30), third.substr(170));
    EXPECT_EQ(reader.read(reinterpret_cast<uint8_t*>(&buffer[0]), 100), 0u);
}

// Each file must give exactly its listed length: one shrinking while another grows by as much
// would keep the total but not the pieces of "files".
TEST(ContentReader, EveryFileReadsBackAtItsListedLength) {
    CScratch tree("lengths");
    const std::string shrunk = tree.file("a", "1234");
    const std::string grown = tree.file("b", "567890");
    const std::atomic<bool> cancel{false};
    const std::vector<torrent::ContentFile> files = {{shrunk, "a", 5}, {grown, "b", 5}};
    torrent::CContentReader reader(files, cancel);
    std::string buffer(20, '\0');
    auto* bytes = reinterpret_cast<uint8_t*>(&buffer[0]);
    EXPECT_EQ(reader.read(bytes, 20), 4u);
    EXPECT_EQ(reader.failure(), shrunk + " changed while the torrent was created");

    const std::vector<torrent::ContentFile> others = {{tree.file("c", "12345"), "c", 5}, {grown, "b", 5}};
    torrent::CContentReader other(others, cancel);
    // The grown file's listed bytes are read, and then its end is missing.
    EXPECT_EQ(other.read(bytes, 10), 10u);
    EXPECT_EQ(other.failure(), grown + " changed while the torrent was created");
}

TEST(ContentReader, StopsAtAFileThatCannotBeOpenedAndWhenCancelled) {
    CScratch tree("stops");
    const std::vector<torrent::ContentFile> files = {
        {tree.file("a", "12345"), "a", 5}, {join(tree.m_path, "gone"), "gone", 10}, {tree.file("c", "67890"), "c", 5}};
    std::atomic<bool> cancel{false};
    torrent::CContentReader reader(files, cancel);
    std::string buffer(20, '\0');
    auto* bytes = reinterpret_cast<uint8_t*>(&buffer[0]);
    EXPECT_EQ(reader.read(bytes, 20), 5u);
    EXPECT_EQ(buffer.substr(0, 5), "12345");
    EXPECT_EQ(reader.failure(), "Cannot read " + join(tree.m_path, "gone"));
    // The next file is not read in the place of the one missing.
    EXPECT_EQ(reader.read(bytes, 20), 0u);

    torrent::CContentReader again(files, cancel);
    EXPECT_EQ(again.read(bytes, 2), 2u);
    cancel = true;
    EXPECT_EQ(again.read(bytes, 2), 0u);
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
