#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "install/SetupRules.h"

namespace {

TEST(FolderChoice, AppendsTheProductFolderUnlessThePathEndsInIt) {
    EXPECT_EQ(install::withProductFolder("C:\\Program Files"), "C:\\Program Files\\Seedwright");
    EXPECT_EQ(install::withProductFolder("D:\\Tools\\Seedwright"), "D:\\Tools\\Seedwright");
    // Only the final characters count, and letter case does.
    EXPECT_EQ(install::withProductFolder("D:\\MySeedwright"), "D:\\MySeedwright");
    EXPECT_EQ(install::withProductFolder("D:\\seedwright"), "D:\\seedwright\\Seedwright");
    EXPECT_EQ(install::withProductFolder("D:\\Seedwright\\x"), "D:\\Seedwright\\x\\Seedwright");
    // Shorter than the name: compared whole.
    EXPECT_EQ(install::withProductFolder("E:\\Seed"), "E:\\Seed\\Seedwright");
    EXPECT_EQ(install::withProductFolder("Seedwright"), "Seedwright");
    EXPECT_EQ(install::withProductFolder("C:\\"), "C:\\Seedwright");
}

TEST(SelfDeleteBatch, TextForAPathWithBlanks) {
    const std::string text =
        install::selfDeleteBatchText("C:\\Program Files\\Seedwright\\Seedwright.exe", "C:\\Program Files\\Seedwright",
                                     "C:\\Users\\Jo Ann\\AppData\\Local\\Temp\\_uninsep.bat", 437);
    EXPECT_EQ(text,
              "setlocal DisableDelayedExpansion\r\n"
              "chcp 437>nul\r\n"
              "cd\\\r\n"
              "set attempts=0\r\n"
              ":Repeat1\r\n"
              "del \"C:\\Program Files\\Seedwright\\Seedwright.exe\"\r\n"
              "if not exist \"C:\\Program Files\\Seedwright\\Seedwright.exe\" goto Repeat2\r\n"
              "set /a attempts+=1\r\n"
              "if %attempts% geq 30 goto Done\r\n"
              "ping -n 2 127.0.0.1 >nul\r\n"
              "goto Repeat1\r\n"
              ":Repeat2\r\n"
              "rmdir \"C:\\Program Files\\Seedwright\"\r\n"
              ":Done\r\n"
              "del \"C:\\Users\\Jo Ann\\AppData\\Local\\Temp\\_uninsep.bat\"");
    // No code page: the console's is left as it is.
    EXPECT_EQ(install::selfDeleteBatchText("C:\\S\\Seedwright.exe", "C:\\S", "T:\\_uninsep.bat", 0)
                  .rfind("setlocal DisableDelayedExpansion\r\ncd\\\r\n", 0),
              0u);
}

TEST(SelfDeleteBatch, PercentSignsAreDoubledSoCmdCannotExpandThem) {
    const std::string text = install::selfDeleteBatchText("D:\\100%\\%USERPROFILE%\\Seedwright.exe",
                                                          "D:\\100%\\%USERPROFILE%", "C:\\Temp %TMP%\\_uninsep.bat", 0);
    EXPECT_NE(text.find("\r\ndel \"D:\\100%%\\%%USERPROFILE%%\\Seedwright.exe\"\r\n"
                        "if not exist \"D:\\100%%\\%%USERPROFILE%%\\Seedwright.exe\" goto Repeat2\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\nrmdir \"D:\\100%%\\%%USERPROFILE%%\"\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.rfind("\r\n") + 2), "del \"C:\\Temp %%TMP%%\\_uninsep.bat\"");
    // '!' and '&' stay as they are: quoted, with delayed expansion off, cmd takes them literally.
    EXPECT_EQ(install::batchEscaped("%"), "%%");
    EXPECT_EQ(install::batchEscaped("Tom & Jerry!%"), "Tom & Jerry!%%");
}

TEST(SelfDeleteBatch, BatchFileOnlyInAFullTemporaryFolder) {
    EXPECT_EQ(install::batchFilePath("C:\\Users\\jo\\Temp\\"), "C:\\Users\\jo\\Temp\\_uninsep.bat");
    EXPECT_EQ(install::batchFilePath("C:\\Temp"), "C:\\Temp\\_uninsep.bat");
    for (const char* unusable : {"", "\\", "Temp\\", "C:", "C:Temp"})
        EXPECT_EQ(install::batchFilePath(unusable), "") << unusable;
}

TEST(MenuName, OnlyNamesWindowsTakesAsTheyAre) {
    for (const char* good : {"Seedwright", "Seedwright 1.14", "Tools\\Seedwright", "M\xfcller & Co! 100%", "CONSOLE",
                             "Con men", ".hidden"})
        EXPECT_TRUE(install::isUsableMenuName(good)) << good;
    for (const char* bad : {"",
                            "Seed|wright",
                            "Seed/wright",
                            "a:b",
                            "a*",
                            "a?",
                            "\"a\"",
                            "<a>",
                            "tab\there",
                            "Seedwright.",
                            "Seedwright ",
                            ".",
                            "..",
                            "..\\Windows",
                            "\\Seedwright",
                            "Seedwright\\",
                            "Tools\\\\Seedwright",
                            "CON",
                            "nul",
                            "Lpt1.txt",
                            "Tools\\AUX"})
        EXPECT_FALSE(install::isUsableMenuName(bad)) << bad;
}

TEST(SelfDeleteBatch, TargetsOnlyTheRecordedFolderThatHoldsTheProgram) {
    std::set<std::string> files = {"C:\\Program Files\\Seedwright\\Seedwright.exe"};
    std::string asked;
    auto exists = [&](const std::string& file) {
        asked = file;
        return files.count(file) != 0;
    };

    auto target = install::selfDeleteTarget("C:\\Program Files\\Seedwright", exists);
    EXPECT_TRUE(target.deletes);
    EXPECT_EQ(target.programFile, "C:\\Program Files\\Seedwright\\Seedwright.exe");
    EXPECT_EQ(target.programFolder, "C:\\Program Files\\Seedwright");

    // A trailing backslash names the same folder.
    target = install::selfDeleteTarget("C:\\Program Files\\Seedwright\\", exists);
    EXPECT_TRUE(target.deletes);
    EXPECT_EQ(target.programFolder, "C:\\Program Files\\Seedwright");

    // A recorded folder without the program file is left alone.
    target = install::selfDeleteTarget("C:\\Users\\jo\\Downloads", exists);
    EXPECT_FALSE(target.deletes);
    EXPECT_EQ(asked, "C:\\Users\\jo\\Downloads\\Seedwright.exe");
    EXPECT_TRUE(target.programFile.empty());
    EXPECT_TRUE(target.programFolder.empty());

    // No record, or a drive root, deletes nothing even when the file is there.
    files.insert("C:\\Seedwright.exe");
    files.insert("\\Seedwright.exe");
    for (const char* record : {"", "C:", "C:\\", "\\", "C:\\\\"})
        EXPECT_FALSE(install::selfDeleteTarget(record, exists).deletes) << record;
}

TEST(SelfDeleteBatch, TheEmptyFoldersAboveGoAfterTheProgramFolder) {
    const std::string text =
        install::selfDeleteBatchText("C:\\A\\B\\Seedwright\\Seedwright.exe", "C:\\A\\B\\Seedwright", "T:\\_uninsep.bat",
                                     0, {"C:\\A\\B", "C:\\A 100%"});
    EXPECT_NE(text.find(":Repeat2\r\nrmdir \"C:\\A\\B\\Seedwright\"\r\nrmdir \"C:\\A\\B\"\r\nrmdir \"C:\\A 100%%\"\r\n"
                        ":Done\r\n"),
              std::string::npos)
        << text;
}

TEST(CreatedParents, TheFoldersUpToTheHighestTheInstallerMade) {
    const std::vector<std::string> system = {"C:\\Windows", "C:\\Program Files", "C:\\Users\\jo"};
    using List = std::vector<std::string>;
    EXPECT_EQ(install::createdParents("C:\\A\\B\\Seedwright", "C:\\A", system), (List{"C:\\A\\B", "C:\\A"}));
    EXPECT_EQ(install::createdParents("C:\\A\\B\\Seedwright", "c:/a/b/", system), (List{"C:\\A\\B"}));
    // Only the program folder itself, nothing, or a folder that is not above it: no parents.
    EXPECT_EQ(install::createdParents("C:\\A\\Seedwright", "C:\\A\\Seedwright", system), List{});
    EXPECT_EQ(install::createdParents("C:\\A\\Seedwright", "", system), List{});
    EXPECT_EQ(install::createdParents("C:\\A\\Seedwright", "D:\\A", system), List{});
    EXPECT_EQ(install::createdParents("C:\\A\\Seedwright", "C:\\A\\Seedwright\\X", system), List{});
    EXPECT_EQ(install::createdParents("C:\\A\\Seedwright", "MyApps", system), List{});
    // Never a root or a system folder, whatever the record says.
    EXPECT_EQ(install::createdParents("C:\\A\\Seedwright", "C:\\", system), List{"C:\\A"});
    EXPECT_EQ(install::createdParents("C:\\Program Files\\X\\Seedwright", "C:\\Program Files", system),
              List{"C:\\Program Files\\X"});
    EXPECT_EQ(install::createdParents("C:\\Users\\jo\\X\\Seedwright", "C:\\", system), List{"C:\\Users\\jo\\X"});
}

TEST(WorkingFiles, SeedwrightsOwnFilesAndNoOther) {
    for (const char* own : {"MyNew.torrent", "mynew.TORRENT", "MyNew.torrent.tmp", "swr.torrent", "debug.html",
                            "swr1.tmp", "swrA1B2.tmp", "SWRffff.TMP"})
        EXPECT_TRUE(install::isWorkingFile(own)) << own;
    for (const char* members : {"notes.txt", "Film.torrent", "MyNew.torrent.bak", "swr.tmp", "swr12345.tmp",
                                "swrxyz.tmp", "swr1.tmp.txt", "debug.htm", "", "swr1"})
        EXPECT_FALSE(install::isWorkingFile(members)) << members;
}

}  // namespace
