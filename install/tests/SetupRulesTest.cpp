#include <gtest/gtest.h>

#include <set>
#include <string>

#include "install/SetupRules.h"

namespace {

TEST(FolderChoice, AppendsTheProductFolderUnlessThePathEndsInIt) {
    EXPECT_EQ(setup::withProductFolder("C:\\Program Files"), "C:\\Program Files\\Seedwright");
    EXPECT_EQ(setup::withProductFolder("D:\\Tools\\Seedwright"), "D:\\Tools\\Seedwright");
    // Only the final characters count, and letter case does.
    EXPECT_EQ(setup::withProductFolder("D:\\MySeedwright"), "D:\\MySeedwright");
    EXPECT_EQ(setup::withProductFolder("D:\\seedwright"), "D:\\seedwright\\Seedwright");
    EXPECT_EQ(setup::withProductFolder("D:\\Seedwright\\x"), "D:\\Seedwright\\x\\Seedwright");
    // Shorter than the name: compared whole.
    EXPECT_EQ(setup::withProductFolder("E:\\Seed"), "E:\\Seed\\Seedwright");
    EXPECT_EQ(setup::withProductFolder("Seedwright"), "Seedwright");
    EXPECT_EQ(setup::withProductFolder("C:\\"), "C:\\Seedwright");
}

TEST(SelfDeleteBatch, TextForAPathWithBlanks) {
    const std::string text =
        setup::selfDeleteBatchText("C:\\Program Files\\Seedwright\\Seedwright.exe", "C:\\Program Files\\Seedwright",
                                   "C:\\Users\\Jo Ann\\AppData\\Local\\Temp\\_uninsep.bat");
    EXPECT_EQ(text,
              "cd\\\r\n"
              ":Repeat1\r\n"
              "del \"C:\\Program Files\\Seedwright\\Seedwright.exe\"\r\n"
              "if exist \"C:\\Program Files\\Seedwright\\Seedwright.exe\" goto Repeat1\r\n"
              ":Repeat2\r\n"
              "rmdir /S /Q \"C:\\Program Files\\Seedwright\"\r\n"
              "if exist \"C:\\Program Files\\Seedwright\" goto Repeat2\r\n"
              "del \"C:\\Users\\Jo Ann\\AppData\\Local\\Temp\\_uninsep.bat\"");
}

TEST(SelfDeleteBatch, PercentSignsAreDoubledSoCmdCannotExpandThem) {
    const std::string text = setup::selfDeleteBatchText("D:\\100%\\%USERPROFILE%\\Seedwright.exe",
                                                        "D:\\100%\\%USERPROFILE%", "C:\\Temp %TMP%\\_uninsep.bat");
    EXPECT_EQ(text,
              "cd\\\r\n"
              ":Repeat1\r\n"
              "del \"D:\\100%%\\%%USERPROFILE%%\\Seedwright.exe\"\r\n"
              "if exist \"D:\\100%%\\%%USERPROFILE%%\\Seedwright.exe\" goto Repeat1\r\n"
              ":Repeat2\r\n"
              "rmdir /S /Q \"D:\\100%%\\%%USERPROFILE%%\"\r\n"
              "if exist \"D:\\100%%\\%%USERPROFILE%%\" goto Repeat2\r\n"
              "del \"C:\\Temp %%TMP%%\\_uninsep.bat\"");
    EXPECT_EQ(setup::batchEscaped("%"), "%%");
    EXPECT_EQ(setup::batchEscaped("no sign"), "no sign");
}

TEST(SelfDeleteBatch, TargetsOnlyTheRecordedFolderThatHoldsTheProgram) {
    std::set<std::string> files = {"C:\\Program Files\\Seedwright\\Seedwright.exe"};
    std::string asked;
    auto exists = [&](const std::string& file) {
        asked = file;
        return files.count(file) != 0;
    };

    auto target = setup::selfDeleteTarget("C:\\Program Files\\Seedwright", exists);
    EXPECT_TRUE(target.deletes);
    EXPECT_EQ(target.programFile, "C:\\Program Files\\Seedwright\\Seedwright.exe");
    EXPECT_EQ(target.programFolder, "C:\\Program Files\\Seedwright");

    // A trailing backslash names the same folder.
    target = setup::selfDeleteTarget("C:\\Program Files\\Seedwright\\", exists);
    EXPECT_TRUE(target.deletes);
    EXPECT_EQ(target.programFolder, "C:\\Program Files\\Seedwright");

    // A recorded folder without the program file is left alone.
    target = setup::selfDeleteTarget("C:\\Users\\jo\\Downloads", exists);
    EXPECT_FALSE(target.deletes);
    EXPECT_EQ(asked, "C:\\Users\\jo\\Downloads\\Seedwright.exe");
    EXPECT_TRUE(target.programFile.empty());
    EXPECT_TRUE(target.programFolder.empty());

    // No record, or a drive root, deletes nothing even when the file is there.
    files.insert("C:\\Seedwright.exe");
    files.insert("\\Seedwright.exe");
    for (const char* record : {"", "C:", "C:\\", "\\", "C:\\\\"})
        EXPECT_FALSE(setup::selfDeleteTarget(record, exists).deletes) << record;
}

}  // namespace
