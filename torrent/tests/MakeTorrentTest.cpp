#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "app/state/AppState.h"
#include "torrent/MakeTorrent.h"
#include "torrent/PiecePipeline.h"
#include "torrent/tests/TestTree.h"
#include "win/CodePage.h"

#ifdef _WIN32
#include <windows.h>

#include "win/Handles.h"
#else
#include <unistd.h>
#endif

using namespace testtree;

namespace {

constexpr uint64_t MiB = 1024 * 1024;

class MakeTorrent : public ::testing::Test {};

// The digests of `content` cut into pieces of the torrent's piece length.
std::string piecesOf(const std::string& content, int64_t pieceLength) {
    std::string digests;
    for (std::size_t at = 0; at < content.size(); at += static_cast<std::size_t>(pieceLength))
        digests += sha1(content.substr(at, static_cast<std::size_t>(pieceLength)));
    return digests;
}

// A file's path in the torrent's "path" list, with '/' between the parts.
std::string pathOf(const BValue& file) {
    std::string path;
    for (const BValue& part : file["path"].m_list)
        path += (path.empty() ? "" : "/") + part.m_string;
    return path;
}

// The content of a folder torrent: its files below `base`, read in the order of "files".
std::string contentOf(const BValue& info, const std::string& base) {
    std::string content;
    for (const BValue& file : info["files"].m_list) {
        std::string path = pathOf(file);
        std::replace(path.begin(), path.end(), '/', torrent::fsys::kSeparator);
        content += readFile(join(base, path));
    }
    return content;
}

std::vector<std::string> keysOf(const BValue& dict) {
    std::vector<std::string> keys;
    for (const auto& entry : dict.m_dict)
        keys.push_back(entry.first);
    return keys;
}

TEST(PieceLength, EveryBoundBelongsToTheLowerRow) {
    const struct {
        uint64_t total;
        int32_t pieceLength;
    } rows[] = {
        {0, 65536},
        {16 * MiB, 65536},
        {16 * MiB + 1, 262144},
        {64 * MiB, 262144},
        {64 * MiB + 1, 524288},
        {512 * MiB, 524288},
        {512 * MiB + 1, 1048576},
        {2048 * MiB, 1048576},
        {2048 * MiB + 1, 2097152},
        {8192 * MiB, 2097152},
        {8192 * MiB + 1, 4194304},
        {UINT64_MAX, 4194304},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CMakeTorrent::pieceLengthFor(row.total), row.pieceLength) << row.total;
}

TEST_F(MakeTorrent, SingleFileOfOneByte) {
    CScratch tree("one");
    const std::string output = join(tree.m_path, "out.torrent");
    CMakeTorrent maker;
    maker.setCreator(app::kTitle);
    const int64_t before = static_cast<int64_t>(std::time(nullptr));
    ASSERT_TRUE(maker.buildFromFile(tree.file("one.bin", "Z"), output));

    const std::string raw = readFile(output);
    const BValue torrent = decode(raw);
    EXPECT_EQ(keysOf(torrent),
              (std::vector<std::string>{"announce", "comment", "created by", "creation date", "encoding", "info"}));
    EXPECT_EQ(torrent["announce"].m_string, "tmp_url");
    EXPECT_EQ(torrent["created by"].m_string, "Seedwright V1.14");
    EXPECT_EQ(torrent["comment"].m_string, "This torrent was created by Seedwright V1.14");
    EXPECT_EQ(torrent["encoding"].m_string, "UTF-8");
    EXPECT_GE(torrent["creation date"].m_int, before);
    EXPECT_LE(torrent["creation date"].m_int, static_cast<int64_t>(std::time(nullptr)));

    const BValue& info = torrent["info"];
    EXPECT_EQ(keysOf(info), (std::vector<std::string>{"length", "name", "piece length", "pieces"}));
    EXPECT_NE(raw.find("4:infod6:lengthi1e4:name7:one.bin12:piece lengthi65536e6:pieces20:"), std::string::npos);
    EXPECT_EQ(info["pieces"].m_string, sha1("Z"));
    EXPECT_EQ(maker.m_totalSize.load(), 1u);
    EXPECT_EQ(maker.m_bytesDone.load(), 1u);
    EXPECT_FALSE(exists(output + ".tmp"));
}

TEST_F(MakeTorrent, SingleFileAtAndJustPastTwoPieces) {
    CScratch tree("two");
    for (std::size_t size : {2 * 65536, 65536 + 1, 65536 - 1}) {
        const std::string content = pattern(size);
        const std::string output = join(tree.m_path, "out.torrent");
        CMakeTorrent maker;
        ASSERT_TRUE(maker.buildFromFile(tree.file("data.bin", content), output));
        const BValue info = decode(readFile(output))["info"];
        EXPECT_EQ(info["length"].m_int, static_cast<int64_t>(size));
        EXPECT_EQ(info["piece length"].m_int, 65536);
        EXPECT_EQ(info["pieces"].m_string.size(), size > 65536 ? 40u : 20u) << size;
        EXPECT_EQ(info["pieces"].m_string, piecesOf(content, 65536)) << size;
    }
}

TEST_F(MakeTorrent, SparseFileOverFourGiBHasItsExactLength) {
    CScratch tree("big");
    const uint64_t size = 4096 * MiB + 4097;
    const std::string output = join(tree.m_path, "big.torrent");
    CMakeTorrent maker;
    ASSERT_TRUE(maker.buildFromFile(tree.sparseFile("big.bin", size), output));

    const std::string raw = readFile(output);
    EXPECT_NE(raw.find("6:lengthi4294971393e"), std::string::npos);
    const BValue info = decode(raw)["info"];
    EXPECT_EQ(info["length"].m_int, static_cast<int64_t>(size));
    EXPECT_EQ(info["piece length"].m_int, 2097152);
    std::string expected;
    const std::string zeroPiece = sha1(std::string(2 * MiB, '\0'));
    for (int i = 0; i < 2048; ++i)
        expected += zeroPiece;
    expected += sha1(std::string(4097, '\0'));
    EXPECT_TRUE(info["pieces"].m_string == expected);
    EXPECT_EQ(maker.m_bytesDone.load(), size);
}

TEST_F(MakeTorrent, FolderLayoutListsEveryFileWithItsPath) {
    CScratch tree("folder");
    const std::string base = tree.folder("Film");
    tree.file("Film/x.avi", pattern(100000));
    tree.file("Film/sub/y.nfo", pattern(300, 7));
    tree.file("Film/sub/deeper/z.txt", pattern(65536, 9));
    tree.file("Film/empty.txt", "");
    hide(tree.file("Film/secret.txt", "hidden"));
    tree.file("Film/Thumbs.db", "t");
    const std::string output = join(tree.m_path, "film.torrent");
    CMakeTorrent maker;
    ASSERT_TRUE(maker.buildFromFolder(base, output));

    const BValue info = decode(readFile(output))["info"];
    EXPECT_EQ(keysOf(info), (std::vector<std::string>{"files", "name", "piece length", "pieces"}));
    EXPECT_EQ(info["name"].m_string, "Film");
    EXPECT_EQ(info["piece length"].m_int, 65536);
    // The files in the torrent's order, which is the listing's; the pieces run across them.
    std::vector<std::pair<std::string, int64_t>> files;
    for (const BValue& file : info["files"].m_list)
        files.emplace_back(pathOf(file), file["length"].m_int);
    EXPECT_EQ(info["pieces"].m_string, piecesOf(contentOf(info, base), 65536));
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::pair<std::string, int64_t>>{
                         {"empty.txt", 0}, {"sub/deeper/z.txt", 65536}, {"sub/y.nfo", 300}, {"x.avi", 100000}}));
    EXPECT_EQ(info["files"].m_list.size(), 4u);
    EXPECT_EQ(maker.m_totalSize.load(), 165836u);
}

// No client can seed a torrent of 0 bytes: empty folders, empty files, an empty single file.
TEST_F(MakeTorrent, ContentOfNoBytesGivesNoTorrent) {
    CScratch tree("hollow");
    tree.folder("Hollow/a/b");
    tree.folder("Hollow/c");
    tree.file("Blanks/one.txt", "");
    tree.file("Blanks/sub/two.txt", "");
    const std::string empty = tree.file("empty.bin", "");
    const std::string output = tree.file("out.torrent", "earlier");
    for (const std::string& folder : {join(tree.m_path, "Hollow"), join(tree.m_path, "Blanks")}) {
        CMakeTorrent maker;
        const BuildResult result = maker.buildFromFolder(folder, output);
        EXPECT_EQ(result.m_end, BuildEnd::Failed);
        EXPECT_EQ(result.m_reason, "Nothing to upload in " + folder + ": it holds no data");
    }
    CMakeTorrent single;
    EXPECT_EQ(single.buildFromFile(empty, output).m_reason, "Nothing to upload in " + empty + ": it holds no data");
    EXPECT_EQ(readFile(output), "earlier");
}

TEST_F(MakeTorrent, TrailingSeparatorGivesTheSameTorrent) {
    CScratch tree("slash");
    const std::string base = tree.folder("Data");
    tree.file("Data/a.bin", pattern(5000));
    tree.file("Data/sub/b.bin", pattern(70000, 3));
    const std::string plainOut = join(tree.m_path, "plain.torrent");
    const std::string slashOut = join(tree.m_path, "slash.torrent");
    CMakeTorrent plain;
    plain.m_fixedCreationDate = 1;
    ASSERT_TRUE(plain.buildFromFolder(base, plainOut));
    CMakeTorrent slashed;
    slashed.m_fixedCreationDate = 1;
    ASSERT_TRUE(slashed.buildFromFolder(base + torrent::fsys::kSeparator, slashOut));
    EXPECT_EQ(readFile(plainOut), readFile(slashOut));
    EXPECT_EQ(decode(readFile(slashOut))["info"]["name"].m_string, "Data");
}

// The expected files are made by golden/make_golden.py, independently of this code.
TEST_F(MakeTorrent, GoldenBytes) {
    CScratch tree("golden");
    CMakeTorrent single;
    single.setCreator(app::kTitle);
    single.m_fixedCreationDate = 1234567890;
    const std::string singleOut = join(tree.m_path, "single.torrent");
    ASSERT_TRUE(single.buildFromFile(tree.file("notes.txt", pattern(70000)), singleOut));
    EXPECT_TRUE(readFile(singleOut) == readFile(sourcePath("torrent/tests/golden/single.torrent")));

    // One entry per folder level keeps the order whatever the listing does; the skipped
    // files leave no trace.
    tree.file("Golden/Disc 1/track.bin", pattern(150000));
    tree.file("Golden/Disc 1/Thumbs.db", "t");
    hide(tree.file("Golden/Disc 1/desktop.ini", "h"));
    CMakeTorrent folder;
    folder.setCreator(app::kTitle);
    folder.m_fixedCreationDate = 1234567890;
    const std::string folderOut = join(tree.m_path, "folder.torrent");
    ASSERT_TRUE(folder.buildFromFolder(join(tree.m_path, "Golden"), folderOut));
    EXPECT_TRUE(readFile(folderOut) == readFile(sourcePath("torrent/tests/golden/folder.torrent")));
}

// However many threads hash, the torrent comes out byte for byte as with one, and its pieces are
// those of the content read in the order of "files".
TEST_F(MakeTorrent, EveryNumberOfHashThreadsGivesTheSameBytes) {
    CScratch tree("threads");
    const struct {
        uint32_t seed;
        int count;
        uint32_t largest;
        uint64_t multiple;
    } trees[] = {
        {1, 400, 3000, 0},        // a hundred small and empty files in every piece
        {2, 300, 200000, 65536},  // whole pieces only: the last read finds nothing more
        {3, 60, 400000, 0},
    };
    auto sameWithEveryCount = [&](const std::string& label, auto build) {
        std::string first;
        for (unsigned threads : {1u, 2u, 3u, 8u}) {
            CMakeTorrent maker;
            maker.m_fixedCreationDate = 1;
            maker.m_hashThreads = threads;
            const std::string output = join(tree.m_path, "out.torrent");
            ASSERT_TRUE(build(maker, output)) << label << ", " << threads << " threads";
            const std::string raw = readFile(output);
            if (first.empty())
                first = raw;
            EXPECT_TRUE(raw == first) << label << ", " << threads << " threads";
            EXPECT_EQ(maker.m_bytesDone.load(), maker.m_totalSize.load());
        }
    };
    for (const auto& t : trees) {
        const std::string name = "T" + std::to_string(t.seed);
        const uint64_t total = tree.randomTree(name, t.seed, t.count, t.largest, t.multiple);
        const std::string base = join(tree.m_path, name);
        sameWithEveryCount(
            name, [&](CMakeTorrent& maker, const std::string& output) { return maker.buildFromFolder(base, output); });
        const BValue info = decode(readFile(join(tree.m_path, "out.torrent")))["info"];
        EXPECT_EQ(info["pieces"].m_string, piecesOf(contentOf(info, base), 65536)) << name;
        EXPECT_EQ(info["pieces"].m_string.size(), (total + 65535) / 65536 * 20) << name;
    }
    const std::string content = pattern(9 * 65536 + 17);
    const std::string single = tree.file("single.bin", content);
    sameWithEveryCount("single file", [&](CMakeTorrent& maker, const std::string& output) {
        return maker.buildFromFile(single, output);
    });
    EXPECT_EQ(decode(readFile(join(tree.m_path, "out.torrent")))["info"]["pieces"].m_string, piecesOf(content, 65536));
}

// The most piece memory (eight hashers, up to ten buffers of 16 MiB pieces: 160 MiB) fits the
// 2 GiB address space of the 32-bit program whole, and hashes a content of a few pieces as one
// thread would.
TEST(PiecePipeline, EightHashersOfLargePiecesFitAndAgreeWithOne) {
    constexpr uint32_t kPiece = 16 * MiB;
    const std::string content = pattern(3 * kPiece + 12345);
    std::string expected;
    for (std::size_t at = 0; at < content.size(); at += kPiece)
        expected += sha1(content.substr(at, kPiece));
    torrent::pieces::CPiecePipeline pipeline(kPiece, 8);
    ASSERT_EQ(pipeline.hashers(), 8u);
    std::size_t next = 0;
    const torrent::pieces::ReadFn read = [&](uint8_t* buffer, uint32_t count) {
        const std::size_t n = std::min<std::size_t>(count, content.size() - next);
        std::copy_n(content.data() + next, n, buffer);
        next += n;
        return static_cast<uint32_t>(n);
    };
    std::string table(expected.size() + 20, '\0');
    std::atomic<bool> cancel{false};
    std::atomic<uint64_t> done{0};
    const torrent::pieces::HashOutcome outcome =
        pipeline.run(read, reinterpret_cast<uint8_t*>(&table[0]), table.size(), cancel, done);
    EXPECT_EQ(outcome.m_end, torrent::pieces::HashEnd::Complete);
    EXPECT_EQ(outcome.m_pieces, 4u);
    EXPECT_EQ(table.substr(0, expected.size()), expected);
    EXPECT_EQ(done.load(), content.size());
}

TEST_F(MakeTorrent, CancelBeforeTheFirstPieceWritesNothing) {
    CScratch tree("cancel");
    const std::string output = tree.file("out.torrent", "earlier");
    const std::string file = tree.file("Data/a.bin", pattern(1000));

    CMakeTorrent fileBuild;
    fileBuild.m_cancel = true;
    EXPECT_EQ(fileBuild.buildFromFile(file, output).m_end, BuildEnd::Cancelled);
    EXPECT_EQ(fileBuild.m_bytesDone.load(), 0u);
    // The walk looks at the flag too: it lists nothing.
    CMakeTorrent folderBuild;
    folderBuild.m_cancel = true;
    EXPECT_EQ(folderBuild.buildFromFolder(join(tree.m_path, "Data"), output).m_end, BuildEnd::Cancelled);
    EXPECT_TRUE(torrent::scanContent(join(tree.m_path, "Data"), false, folderBuild.m_cancel).m_files.empty());
    EXPECT_EQ(folderBuild.m_bytesDone.load(), 0u);

    EXPECT_EQ(readFile(output), "earlier");
    EXPECT_FALSE(exists(output + ".tmp"));
}

// Cancels from another thread once the first piece is in, as the progress dialog does; `seen`
// gets the bytes hashed when the flag was set.
BuildEnd buildAndCancel(CMakeTorrent& maker,
                        bool folder,
                        const std::string& path,
                        const std::string& output,
                        uint64_t& seen) {
    std::thread canceller([&maker, &seen] {
        while (maker.m_bytesDone.load(std::memory_order_relaxed) == 0)
            std::this_thread::yield();
        maker.m_cancel = true;
        seen = maker.m_bytesDone.load();
    });
    const BuildResult result = folder ? maker.buildFromFolder(path, output) : maker.buildFromFile(path, output);
    if (!maker.m_cancel)
        maker.m_bytesDone = 1;  // ended without reading anything: let the thread go
    canceller.join();
    return result.m_end;
}

// Every hashing thread looks at the flag before each piece: after it is set, each finishes at most
// the piece in its hands. And all of them have ended when the build returns.
TEST_F(MakeTorrent, CancelInTheMiddleWritesNothing) {
    CScratch tree("midway");
    const std::string output = tree.file("out.torrent", "earlier");
    const std::string big = tree.sparseFile("Data/big.bin", 1024 * MiB);
    tree.sparseFile("Data/more.bin", 512 * MiB);

    for (unsigned threads : {1u, 2u, 8u}) {
        for (bool folder : {false, true}) {
            CMakeTorrent maker;
            maker.m_hashThreads = threads;
            uint64_t seen = 0;
            EXPECT_EQ(buildAndCancel(maker, folder, folder ? join(tree.m_path, "Data") : big, output, seen),
                      BuildEnd::Cancelled);
            const uint64_t done = maker.m_bytesDone.load();
            EXPECT_GT(done, 0u);
            EXPECT_LT(done, maker.m_totalSize.load());
            EXPECT_LE(done - seen, threads * MiB) << threads << " threads, folder " << folder;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            EXPECT_EQ(maker.m_bytesDone.load(), done);
        }
    }
    EXPECT_EQ(readFile(output), "earlier");
    EXPECT_FALSE(exists(output + ".tmp"));
}

TEST_F(MakeTorrent, FailedBuildsWriteNothingAndSayWhy) {
    CScratch tree("fail");
    const std::string output = tree.file("out.torrent", "earlier");
    const std::string missing = join(tree.m_path, "missing.bin");
    CMakeTorrent file;
    EXPECT_EQ(file.buildFromFile(missing, output).m_reason, "Cannot read " + missing);
    // A folder typed by hand that is not there walks nothing: no torrent of no files.
    const std::string typed = join(tree.m_path, "no such folder");
    CMakeTorrent folder;
    const BuildResult result = folder.buildFromFolder(typed, output);
    EXPECT_EQ(result.m_end, BuildEnd::Failed);
    EXPECT_EQ(result.m_reason, "There is no folder " + typed);
    EXPECT_EQ(readFile(output), "earlier");

    // An output that cannot be created.
    const std::string nowhere = join(typed, "out.torrent");
    CMakeTorrent unwritable;
    EXPECT_EQ(unwritable.buildFromFile(tree.file("a.bin", "abc"), nowhere).m_reason, "Cannot write " + nowhere);
    EXPECT_FALSE(exists(nowhere));
    EXPECT_FALSE(exists(nowhere + ".tmp"));
}

// Content that does not read back as listed (a file locked by another program, or grown
// since the walk) would give pieces that do not match "files": the build writes nothing, however
// many threads hash the pieces read before it.
TEST_F(MakeTorrent, ContentThatCannotBeReadAsListedWritesNothing) {
    CScratch tree("unreadable");
    tree.file("Data/a.bin", pattern(300000));
    const std::string output = tree.file("out.torrent", "earlier");
#ifdef _WIN32
    const std::string locked = tree.file("Data/locked.bin", pattern(500));
    const win::CHandle h(
        CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(h.get(), INVALID_HANDLE_VALUE);
    for (unsigned threads : {1u, 2u, 8u}) {
        CMakeTorrent maker;
        maker.m_hashThreads = threads;
        EXPECT_EQ(maker.buildFromFolder(join(tree.m_path, "Data"), output).m_reason, "Cannot read " + locked);
        CMakeTorrent single;
        single.m_hashThreads = threads;
        EXPECT_EQ(single.buildFromFile(locked, output).m_reason, "Cannot read " + locked);
        EXPECT_EQ(maker.m_totalSize.load(), 300500u);
    }
#else
    // Listed as empty, but it has content.
    const std::string status = join(join(tree.m_path, "Data"), "status");
    ASSERT_EQ(symlink("/proc/self/status", status.c_str()), 0);
    for (unsigned threads : {1u, 2u, 8u}) {
        CMakeTorrent maker;
        maker.m_hashThreads = threads;
        EXPECT_EQ(maker.buildFromFolder(join(tree.m_path, "Data"), output).m_reason,
                  status + " changed while the torrent was created");
        EXPECT_EQ(maker.m_totalSize.load(), 300000u);
        EXPECT_EQ(maker.m_bytesDone.load(), 300000u) << threads << " threads";
    }
#endif
    EXPECT_EQ(readFile(output), "earlier");
}

// Names go into the torrent in UTF-8, as its "encoding" says. A name the code page of this run
// cannot hold ends the build: the file would be missing from the torrent, or another opened.
TEST_F(MakeTorrent, NamesGoInAsUtf8OrTheBuildSaysItCannotHoldThem) {
    const struct {
        const char* name;
        bool in1252;
        bool in1251;
    } names[] = {
        {"Café ½", true, false},
        {"’single’ “double” – €", true, true},
        {"Фильм", false, true},
    };
    const unsigned codePage = win::codepage::activeCodePage();
    // The run in a Cyrillic locale must really have its code page.
    const char* locale = std::getenv("SW_WINE_LOCALE");
    if (locale && std::string(locale) == "ru_RU.UTF-8") {
        EXPECT_EQ(codePage, 1251u);
    }
    for (const auto& n : names) {
        SCOPED_TRACE(n.name);
        CScratch tree("names");
        const std::string content = pattern(3000);
        tree.utf8File(std::string("Outer/") + n.name + "/" + n.name + ".txt", content);
        const std::string output = join(tree.m_path, "out.torrent");
        CMakeTorrent maker;
        const BuildResult result = maker.buildFromFolder(join(tree.m_path, "Outer"), output);
        const bool held = codePage == 1252 ? n.in1252 : codePage == 1251 ? n.in1251 : true;
        if (!held) {
            EXPECT_EQ(result.m_end, BuildEnd::Failed);
            EXPECT_EQ(result.m_reason.rfind("The name " + join(tree.m_path, "Outer"), 0), 0u) << result.m_reason;
            EXPECT_NE(result.m_reason.find(" cannot be written in this system's character set"), std::string::npos);
            EXPECT_FALSE(exists(output));
            continue;
        }
        ASSERT_TRUE(result) << result.m_reason;
        const BValue info = decode(readFile(output))["info"];
        ASSERT_EQ(info["files"].m_list.size(), 1u);
        const BValue& path = info["files"].m_list[0]["path"];
        ASSERT_EQ(path.m_list.size(), 2u);
        EXPECT_EQ(path.m_list[0].m_string, n.name);
        EXPECT_EQ(path.m_list[1].m_string, std::string(n.name) + ".txt");
        EXPECT_EQ(info["pieces"].m_string, sha1(content));
    }
}

#ifdef _WIN32
// Paths the system cannot open (over 259 characters) would leave files out: the first is named.
TEST_F(MakeTorrent, PathsTooLongEndTheBuild) {
    const std::string d(200, 'd'), f(80, 'f'), w(250, 'w');
    CScratch files("long");
    files.utf8File("Outer/" + d + "/" + f + ".bin", "x");
    const std::string outer = join(files.m_path, "Outer");
    ASSERT_LT(join(outer, d).size() + 4, 260u);  // the folder itself can be listed
    CMakeTorrent file;
    EXPECT_EQ(file.buildFromFolder(outer, join(files.m_path, "out.torrent")).m_reason,
              "Path too long (over 259 characters): " + join(join(outer, d), f + ".bin"));

    // A folder too long to list plainly is listed in the long form, for the file's name.
    CScratch folders("long");
    folders.utf8File("Outer/" + w + "/a.bin", "x");
    const std::string outer2 = join(folders.m_path, "Outer");
    CMakeTorrent folder;
    EXPECT_EQ(folder.buildFromFolder(outer2, join(folders.m_path, "out.torrent")).m_reason,
              "Path too long (over 259 characters): " + join(join(outer2, w), "a.bin"));
}
#endif

}  // namespace
