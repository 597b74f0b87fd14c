#include <gtest/gtest.h>

#include <string>

#include "upload/ChooserFolders.h"

namespace {

TEST(ChooserFolders, PicturesOpenWhereTheLastOneWasElseBesideTheContent) {
    const struct {
        std::string lastPicture, content;
        bool fileMode;
        std::string folder;
    } rows[] = {
        {"D:\\Covers\\front.jpg", "C:\\Data\\film.mkv", true, "D:\\Covers"},
        {"D:/Covers/front.jpg", "", false, "D:/Covers"},
        {"", "C:\\Data\\film.mkv", true, "C:\\Data"},
        {"", "C:\\film.mkv", true, "C:\\"},
        {"", "\\\\server\\share\\film.mkv", true, "\\\\server\\share"},
        {"", "C:\\Data\\Film", false, "C:\\Data\\Film"},
        // Nothing to go by: the system's own choice.
        {"", "film.mkv", true, ""},
        {"", "", true, ""},
        {"", "", false, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(upload::choosers::pictureFolder(row.lastPicture, row.content, row.fileMode), row.folder)
            << row.lastPicture << " | " << row.content;
}

}  // namespace
