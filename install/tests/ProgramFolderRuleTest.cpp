#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/ProgramFolderRule.h"

namespace {

using install::FolderVerdict;

const std::vector<std::string> kSystemFolders = {
    "C:\\Windows", "C:\\Program Files", "C:\\Program Files (x86)", "C:\\Users\\jo", "", "not a path",
};

TEST(ProgramFolderRule, RootsAndSystemFoldersInAnySpellingAreRefused) {
    for (const char* refused :
         {"C:\\", "C:/", "c:\\", "C:\\.", "C:\\..\\", "C:\\Windows\\..", "C:\\a\\..\\..\\..", "C:\\...",
          "\\\\server\\share", "\\\\server\\share\\", "\\\\server", "//server/share", "\\\\server\\\\share",
          "\\\\?\\C:\\", "\\\\.\\C:\\", "\\\\?\\UNC\\server\\share", "C:\\Windows", "c:\\WINDOWS\\", "C:\\Windows.",
          "C:\\Windows\\System32\\..", "C:\\Program Files", "C:\\Program Files ", "C:\\PROGRAM FILES\\",
          "C:/Program Files (x86)", "C:\\Program Files\\.\\", "C:\\Users\\jo", "C:\\Users\\JO\\.",
          // A folder that holds one of them.
          "C:\\Users", "C:\\Users\\"}) {
        EXPECT_EQ(install::judgeProgramFolder(refused, kSystemFolders), FolderVerdict::NotOwn) << refused;
    }
}

TEST(ProgramFolderRule, RelativePathsAreNoFullPaths) {
    for (const char* relative : {"", "MyApps", "Seedwright\\x", "C:", "C:Apps", "\\Apps", ".\\x", "..\\x", "\\\\",
                                 "\\\\?\\", "\\\\?\\relative"})
        EXPECT_EQ(install::judgeProgramFolder(relative, kSystemFolders), FolderVerdict::NotFullPath) << relative;
}

TEST(ProgramFolderRule, FoldersOfTheirOwnAreUsable) {
    const std::string longPath = "D:\\" + std::string(200, 'x') + "\\Seedwright";
    for (const std::string& usable :
         {std::string("C:\\Program Files\\Seedwright"), std::string("D:\\Tools\\Seedwright"), longPath,
          std::string("C:\\My Tools and Games\\Seed wright"), std::string("C:\\Program Files\\x\\..\\Seedwright"),
          std::string("D:\\Games"), std::string("C:\\Users\\jo\\Seedwright"), std::string("C:\\Windows2"),
          std::string("\\\\server\\share\\Seedwright"), std::string("C:/Apps/Seedwright"),
          std::string("C:\\M\xfcller & Co! 100%")})
        EXPECT_EQ(install::judgeProgramFolder(usable, kSystemFolders), FolderVerdict::Usable) << usable;
}

TEST(ProgramFolderRule, NormalizedAsWindowsResolvesIt) {
    EXPECT_EQ(install::normalizedFullPath("c:/Apps//Seedwright/"), "C:\\Apps\\Seedwright");
    EXPECT_EQ(install::normalizedFullPath("C:\\Program Files\\x\\..\\Seedwright. "), "C:\\Program Files\\Seedwright");
    EXPECT_EQ(install::normalizedFullPath("C:\\..\\.."), "C:\\");
    EXPECT_EQ(install::normalizedFullPath("\\\\?\\d:\\Tools"), "D:\\Tools");
    EXPECT_EQ(install::normalizedFullPath("\\\\?\\UNC\\srv\\sh\\x"), "\\\\srv\\sh\\x");
    EXPECT_EQ(install::normalizedFullPath("Tools"), "");

    EXPECT_TRUE(install::samePath("C:\\Program Files\\Seedwright\\", "c:/program files/SEEDWRIGHT"));
    EXPECT_FALSE(install::samePath("C:\\Program Files\\Seedwright", "C:\\Program Files"));
    EXPECT_FALSE(install::samePath("Seedwright", "Seedwright"));
}

TEST(ProgramFolderRule, ParentFoldersAndWhatLiesWithin) {
    EXPECT_EQ(install::parentFolder("C:\\A\\B"), "C:\\A");
    EXPECT_EQ(install::parentFolder("c:/a/"), "C:\\");
    EXPECT_EQ(install::parentFolder("C:\\"), "");
    EXPECT_EQ(install::parentFolder("\\\\server\\share\\A"), "\\\\server\\share");
    EXPECT_EQ(install::parentFolder("\\\\server\\share"), "");
    EXPECT_EQ(install::parentFolder("MyApps\\A"), "");

    EXPECT_TRUE(install::isWithin("C:\\A\\B", "c:\\a"));
    EXPECT_TRUE(install::isWithin("C:\\A", "C:\\A\\"));
    EXPECT_FALSE(install::isWithin("C:\\AB", "C:\\A"));
    EXPECT_FALSE(install::isWithin("C:\\A", "C:\\A\\B"));
    EXPECT_FALSE(install::isWithin("A\\B", "A"));
}

}  // namespace
