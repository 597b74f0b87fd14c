#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "torrent/BuildResult.h"
#include "torrent/tests/TestTree.h"
#include "upload/FileChecks.h"

namespace {

using testtree::CScratch;
using testtree::join;
using upload::PictureProblem;

TEST(FileChecks, TheContentIsThereAndHoldsAByte) {
    CScratch scratch("content-check");
    const std::string one = scratch.file("one.bin", "1");
    const std::string empty = scratch.file("empty.bin", "");
    const std::string film = scratch.folder("Film");
    scratch.file("Film/Extras/a.mkv", "abc");
    const std::string nothing = scratch.folder("Nothing");
    scratch.file("Nothing/one.txt", "");
    scratch.file("Nothing/Sub/two.txt", "");
    scratch.file("Nothing/Thumbs.db", "not content");
    testtree::hide(scratch.file("Nothing/secret.txt", "not content either"));
    const std::string missing = join(scratch.m_path, "missing");
#ifdef _WIN32
    // A path too long to open fails the build wherever the listing puts the files with bytes.
    const std::string d(200, 'd'), f(80, 'f');
    for (const char* name : {"a.bin", "m.bin", "z.bin"})
        scratch.file(std::string("Long/") + name, "x");
    scratch.utf8File("Long/" + d + "/" + f + ".bin", "x");
    const std::string longPaths = join(scratch.m_path, "Long");
#endif

    const struct {
        std::string path;
        bool fileMode;
        std::string problem;
    } rows[] = {
        {one, true, ""},
        {film, false, ""},
        {empty, true, torrent::buildreason::nothingToUpload(empty)},
        {nothing, false, torrent::buildreason::nothingToUpload(nothing)},
        {missing, true, torrent::buildreason::cannotRead(missing)},
        {missing, false, torrent::buildreason::noSuchFolder(missing)},
        {film, true, film + " is a folder: choose \"Upload Folder\" to upload it"},
        {one, false, one + " is a file: choose \"Upload File\" to upload it"},
#ifdef _WIN32
        {longPaths, false, torrent::buildreason::pathTooLong(join(join(longPaths, d), f + ".bin"))},
#endif
    };
    for (const auto& row : rows)
        EXPECT_EQ(upload::contentProblem(row.path, row.fileMode), row.problem)
            << row.path << (row.fileMode ? " as a file" : " as a folder");
}

// A PNG's start: signature, the IHDR chunk's length and name, width and height.
std::string pngStart(const std::string& width, const std::string& height) {
    return std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16) + width + height;
}

TEST(FileChecks, EveryPictureProblem) {
    CScratch scratch("picture-check");
    const std::string largest = scratch.sparseFile("largest.png", upload::kPictureLimit - 1);
    std::fstream(largest, std::ios::in | std::ios::out | std::ios::binary)
        << pngStart(std::string("\0\0\x01\0", 4), std::string("\0\0\0\x01", 4));
    const std::string notAPicture = "it is not a JPEG, PNG or GIF picture";
    const struct {
        std::string path;
        PictureProblem problem;
        uint64_t size;
        std::string reason;
    } rows[] = {
        {scratch.file("a.jpg", "\xff\xd8\xff"), PictureProblem::None, 3, ""},
        {scratch.file("b.gif", std::string("GIF87a\x01\0\0\x01", 10)), PictureProblem::None, 10, ""},
        {largest, PictureProblem::None, upload::kPictureLimit - 1, ""},
        {scratch.file("text.jpg", "JPEG, honestly"), PictureProblem::NotAPicture, 14, notAPicture},
        {scratch.file("cut.png", pngStart(std::string("\0\0\x01", 3), "")), PictureProblem::NotAPicture, 19,
         notAPicture},
        {scratch.file("flat.png", pngStart(std::string("\0\0\x01\0", 4), std::string(4, '\0'))),
         PictureProblem::NotAPicture, 24, notAPicture},
        {scratch.file("narrow.gif", std::string("GIF89a\0\0\x01\0", 10)), PictureProblem::NotAPicture, 10, notAPicture},
        {scratch.file("almost.jpg", "\xff\xd8"), PictureProblem::NotAPicture, 2, notAPicture},
        {join(scratch.m_path, "deleted.jpg"), PictureProblem::Missing, 0, "there is no such file"},
        {scratch.folder("folder.jpg"), PictureProblem::Unreadable, 0, "it cannot be read"},
        {scratch.file("empty.gif", ""), PictureProblem::Empty, 0, "it is empty"},
        {scratch.sparseFile("two.jpg", upload::kPictureLimit), PictureProblem::TooLarge, upload::kPictureLimit,
         "it is 2 GB; a picture must be smaller than 2 GB"},
        {scratch.sparseFile("eight.jpg", uint64_t(8) << 30), PictureProblem::TooLarge, uint64_t(8) << 30,
         "it is 8 GB; a picture must be smaller than 2 GB"},
    };
    for (const auto& row : rows) {
        const upload::PictureLook look = upload::lookAtPicture(row.path);
        EXPECT_EQ(look.problem, row.problem) << row.path;
        EXPECT_EQ(look.size, row.size) << row.path;
        EXPECT_EQ(upload::pictureReason(look), row.reason) << row.path;
    }
}

TEST(FileChecks, OneBoxNamesEveryPicture) {
    EXPECT_EQ(upload::picturesMessage({{"C:\\p\\a.jpg", "it is empty"}}),
              "This picture cannot be uploaded:\n\nC:\\p\\a.jpg: it is empty");
    EXPECT_EQ(upload::picturesMessage({{"C:\\p\\a.jpg", "it is empty"}, {"D:b.png", "there is no such file"}}),
              "These pictures cannot be uploaded:\n\nC:\\p\\a.jpg: it is empty\nD:b.png: there is no such file");
    upload::PictureLook huge;
    huge.problem = PictureProblem::TooLarge;
    huge.size = uint64_t(8) << 30;
    EXPECT_EQ(upload::addPictureRefusal("C:\\big.bin", huge),
              "This picture cannot be added:\n\nC:\\big.bin: it is 8 GB; a picture must be smaller than 2 GB");
    EXPECT_TRUE(upload::sameFile("C:\\Pics\\Cover.JPG", "c:\\pics\\cover.jpg"));
    EXPECT_TRUE(upload::sameFile("D:c.gif", "D:c.gif"));
    EXPECT_FALSE(upload::sameFile("C:\\Pics\\cover.jpg", "C:\\Pics\\cover.jpeg"));
}

}  // namespace
