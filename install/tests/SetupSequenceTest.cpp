#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/state/AppState.h"
#include "install/SetupRules.h"
#include "install/SetupSequence.h"

namespace {

using Log = std::vector<std::string>;

class FakeSystem : public install::SetupSystem {
  public:
    Log log;
    std::vector<int> answers;  // message answers in turn; IDOK (1) when none left
    int folderResult = 0;
    unsigned long folderError = 0;
    bool copyOk = true;
    bool keyOk = true;
    std::set<std::string> failingLinks;
    bool probeOk = true;
    std::map<std::string, std::string> settings;
    std::set<std::string> files;

    int message(const std::string& text, unsigned type) override {
        log.push_back((type == install::kYesNo               ? "ask "
                       : (type & install::kInformation) != 0 ? "tell "
                                                             : "say ") +
                      text);
        if (answers.empty())
            return 1;
        const int answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    // Full paths as Windows makes them; relative ones against "C:\\cwd".
    std::string fullPath(const std::string& path) override {
        if (path.size() >= 2 && (path[1] == ':' || path[0] == '\\'))
            return path;
        return path.empty() ? path : "C:\\cwd\\" + path;
    }
    std::vector<std::string> systemFolders() override { return {"C:\\Windows", "C:\\Program Files", "C:\\Users\\jo"}; }
    std::string running = "C:\\Users\\jo\\Downloads\\Seedwright.exe";
    std::string runningProgram() override { return running; }
    int createFolderTree(const std::string& folder, unsigned long& lastError) override {
        log.push_back("mkdir " + folder);
        lastError = folderError;
        return folder.find("Programs") == 0 ? 0 : folderResult;
    }
    unsigned long copyError = 112;  // ERROR_DISK_FULL
    bool copyProgram(const std::string& to, unsigned long& error) override {
        log.push_back("copy " + to);
        error = copyOk ? 0 : copyError;
        return copyOk;
    }
    void clearReadOnly(const std::string& file) override { log.push_back("writable " + file); }
    unsigned long long fileSize(const std::string&) override { return 2048001; }
    bool entryOk = true;
    bool writeUninstallEntry(const install::UninstallEntry& e, unsigned long& error) override {
        log.push_back("entry " + e.displayName + "|" + e.displayVersion + "|" + e.publisher + "|" + e.displayIcon +
                      "|" + e.installLocation + "|" + e.uninstallString + "|" + std::to_string(e.estimatedSizeKiB));
        error = entryOk ? 0 : 5;
        return entryOk;
    }
    bool openSettingsKey(unsigned long& error) override {
        log.push_back("key");
        error = keyOk ? 0 : 1021;
        return keyOk;
    }
    void writeSetting(const char* name, const std::string& value) override {
        log.push_back(std::string("set ") + name + "=" + value);
    }
    bool createLink(const std::string& target,
                    const std::string& linkName,
                    const std::string& description,
                    const std::string& arguments) override {
        log.push_back("link " + linkName + " -> " + target + " [" + arguments + "] " + description);
        return failingLinks.count(linkName) == 0;
    }
    void deleteProductTrees() override { log.push_back("delete trees"); }
    bool probeWriteAccess() override {
        log.push_back("probe");
        return probeOk;
    }
    std::string programs = "Programs";
    std::string programsFolder() override { return programs; }
    std::string readSetting(const char* name) override { return settings[name]; }
    void deleteLink(const std::string& linkName) override { log.push_back("unlink " + linkName); }
    void removeEmptyFolder(const std::string& folder) override { log.push_back("rmdir " + folder); }
    bool fileExists(const std::string& file) override { return files.count(file) != 0; }
    std::set<std::string> folders = {"C:\\", "C:\\Program Files", "C:\\Users", "C:\\Users\\jo"};
    bool folderExists(const std::string& folder) override { return folders.count(folder) != 0; }
    std::map<std::string, std::vector<std::string>> folderFiles;
    std::vector<std::string> filesIn(const std::string& folder) override { return folderFiles[folder]; }
    void deleteFile(const std::string& file) override { log.push_back("del " + file); }
    std::set<std::string> runningPrograms;  // run by another process
    std::set<std::string> heldFiles;        // held open by another program
    install::FileUse useOf(const std::string& programFile) override {
        if (runningPrograms.count(programFile) != 0)
            return install::FileUse::Running;
        return heldFiles.count(programFile) != 0 ? install::FileUse::Held : install::FileUse::Free;
    }
    bool otherSession = false;
    bool sessionRunsElsewhere() override { return otherSession; }
    std::string temporary = "T:\\";
    std::string temporaryFolder() override { return temporary; }
    // The code page lacks one character: it stands for any that cmd could not read.
    std::set<std::string> unspellable;
    bool batchSpelling(const std::string& path, std::string& spelled) override {
        spelled = path;
        return path.find('#') == std::string::npos && unspellable.count(path) == 0;
    }
    unsigned batchCodePage() override { return 850; }
    bool batchOk = true;
    bool writeBatch(const std::string& path, const std::string& text) override {
        log.push_back("batch " + path + "\n" + text);
        return batchOk;
    }
};

// What one installer or uninstaller is given, and what it came to; runs may share it.
struct SetupRun {
    install::SetupContext context;
    install::SetupOutcome outcome;
};

install::InstallEnd runInstall(install::SetupSystem& system, SetupRun& run, const install::InstallFields& fields) {
    return install::install(system, run.context, fields, run.outcome);
}

void runUninstall(install::SetupSystem& system, SetupRun& run) {
    run.outcome = install::uninstall(system, run.context);
}

const install::InstallFields kFields = {"C:\\Program Files\\Seedwright", "Seedwright", "C:\\uT\\uTorrent.exe"};
const std::string kProgramFile = "C:\\Program Files\\Seedwright\\Seedwright.exe";
const std::string kLink1 = "link Seedwright\\Seedwright -> " + kProgramFile +
                           " [] Seedwright is a Tool that helps uploading Files to Velmar Trackers.";
const std::string kLink2 = "link Seedwright\\uninstall -> " + kProgramFile + " [/uninstall] uninstall Seedwright";

const std::string kEntry = "entry Seedwright V1.14|1.14|The Seedwright team|" + kProgramFile +
                           "|C:\\Program Files\\Seedwright|\"" + kProgramFile + "\" /uninstall|2001";

TEST(Install, EveryStepInOrder) {
    FakeSystem system;
    SetupRun state;
    state.context.title = app::kTitle;
    EXPECT_EQ(runInstall(system, state, kFields), install::InstallEnd::Done);
    EXPECT_EQ(system.log,
              (Log{"mkdir C:\\Program Files\\Seedwright", "copy " + kProgramFile, "writable " + kProgramFile,
                   "mkdir Programs\\Seedwright", "key", "set InstallationPath=C:\\Program Files\\Seedwright",
                   "set StartMenuPath=Seedwright", "set utorrent=C:\\uT\\uTorrent.exe",
                   "set CreatedFolder=C:\\Program Files\\Seedwright", kEntry, kLink1, kLink2}));
    EXPECT_FALSE(state.outcome.menuEntriesFailed);
    EXPECT_FALSE(state.outcome.elevationNeeded);
}

TEST(Install, TheFolderIsInstalledAndRecordedAsItsFullPath) {
    FakeSystem system;
    SetupRun state;
    const install::InstallFields typed = {"c:/Tools//Seedwright/", "Tools\\Seedwright", "u.exe"};
    EXPECT_EQ(runInstall(system, state, typed), install::InstallEnd::Done);
    EXPECT_EQ(system.log[0], "mkdir C:\\Tools\\Seedwright");
    EXPECT_EQ(system.log[1], "copy C:\\Tools\\Seedwright\\Seedwright.exe");
    EXPECT_EQ(system.log[5], "set InstallationPath=C:\\Tools\\Seedwright");
}

TEST(Install, UnusableFieldsAreRefusedBeforeAnythingIsMade) {
    struct Case {
        install::InstallFields fields;
        std::string said;
    };
    const std::string notFull =
        "say Please enter the Installation Directory as a full path with its drive, for example:\n\nC:\\Program "
        "Files\\Seedwright";
    const auto notOwn = [](const std::string& folder, const std::string& example) {
        return "say This folder is not one for Seedwright alone:\n\n" + folder +
               "\n\nPlease choose a folder of its own, for example:\n\n" + example;
    };
    const Case cases[] = {
        {{"MyApps", "Seedwright", "u.exe"}, notFull},
        {{"C:Apps", "Seedwright", "u.exe"}, notFull},
        {{"C:/", "Seedwright", "u.exe"}, notOwn("C:\\", "C:\\Seedwright")},
        {{"C:\\Windows\\..\\Program Files", "Seedwright", "u.exe"},
         notOwn("C:\\Program Files", "C:\\Program Files\\Seedwright")},
        {{"\\\\server\\share", "Seedwright", "u.exe"}, notOwn("\\\\server\\share", "\\\\server\\share\\Seedwright")},
        {{"C:\\Users", "Seedwright", "u.exe"}, notOwn("C:\\Users", "C:\\Users\\Seedwright")},
        {{"C:\\Program Files\\Seedwright", "Seed|wright", "u.exe"},
         "say \"Seed|wright\" can not be a Startmenu Name: it may not hold any of \\ / : * ? \" < > |, and may not end "
         "in a dot or a blank!"},
    };
    for (const auto& c : cases) {
        FakeSystem system;
        SetupRun state;
        EXPECT_EQ(runInstall(system, state, c.fields), install::InstallEnd::StayOpen) << c.fields.folder;
        EXPECT_EQ(system.log, Log{c.said});
    }
}

TEST(Install, OverTheRunningCopyItselfCopiesNothing) {
    FakeSystem system;
    system.running = "c:\\program files\\SEEDWRIGHT\\Seedwright.exe";
    system.folderResult = 183;
    system.answers = {install::kYes};
    SetupRun state;
    EXPECT_EQ(runInstall(system, state, kFields), install::InstallEnd::Done);
    for (const auto& entry : system.log)
        EXPECT_NE(entry.rfind("copy", 0), 0u) << entry;
    EXPECT_EQ(system.log[2], "writable " + kProgramFile);
}

TEST(Install, AnUnwritableInstalledAppsEntryIsReportedAndTheInstallationCompletes) {
    FakeSystem system;
    system.entryOk = false;
    SetupRun state;
    EXPECT_EQ(runInstall(system, state, kFields), install::InstallEnd::Done);
    const Log tail(system.log.end() - 3, system.log.end());
    EXPECT_EQ(tail, (Log{"say Failed to create the Registry Keys of the installed programs list (5)", kLink1, kLink2}));
    EXPECT_FALSE(state.outcome.menuEntriesFailed);
}

TEST(Install, PrefilledFromTheStoredValues) {
    SetupRun state;
    install::InstallFields fields =
        install::prefilledFields(state.context, "", "C:\\Program Files", "C:\\uT\\uTorrent.exe");
    EXPECT_EQ(fields.folder, "C:\\Program Files\\Seedwright");
    EXPECT_EQ(fields.menu, "Seedwright");
    EXPECT_EQ(fields.client, "C:\\uT\\uTorrent.exe");

    state.context.installationPath = "D:\\Tools\\Seedwright";
    state.context.utorrentPath = "D:\\uTorrent\\uTorrent.exe";
    fields = install::prefilledFields(state.context, "Tools", "C:\\Program Files", "");
    EXPECT_EQ(fields.folder, "D:\\Tools\\Seedwright");
    EXPECT_EQ(fields.menu, "Tools");
    EXPECT_EQ(fields.client, "D:\\uTorrent\\uTorrent.exe");
}

TEST(Install, EmptyFieldsKeepTheDialogOpen) {
    struct Case {
        install::InstallFields fields;
        std::string said;
    };
    const Case cases[] = {
        {{"", "", ""}, "say Please choose a Installation Directory!"},
        {{"C:\\S", "Seedwright", ""},
         "say Without choosing the correct path to your torrent client, Seedwright will not function!"},
        {{"C:\\S", "", "u.exe"}, "say Choose a Startmenu Name!"},
    };
    for (const auto& c : cases) {
        FakeSystem system;
        SetupRun state;
        EXPECT_EQ(runInstall(system, state, c.fields), install::InstallEnd::StayOpen);
        EXPECT_EQ(system.log, Log{c.said});
    }
}

TEST(Install, ExistingFolderAsksBeforeOverwriting) {
    for (int exists : {80, 183}) {
        FakeSystem declined;
        declined.folderResult = exists;
        declined.answers = {7};  // IDNO
        SetupRun state;
        EXPECT_EQ(runInstall(declined, state, kFields), install::InstallEnd::StayOpen);
        ASSERT_EQ(declined.log.size(), 2u);
        EXPECT_EQ(declined.log[1],
                  "ask Installation Directory already exists...\n\nContinue installation and overwrite existing "
                  "Version?");

        FakeSystem accepted;
        accepted.folderResult = exists;
        accepted.answers = {install::kYes};
        EXPECT_EQ(runInstall(accepted, state, kFields), install::InstallEnd::Done);
        EXPECT_EQ(accepted.log[2], "copy " + kProgramFile);
    }
}

TEST(Install, FolderErrors) {
    SetupRun state;
    FakeSystem denied;
    denied.folderResult = 5;
    denied.folderError = 5;
    EXPECT_EQ(runInstall(denied, state, kFields), install::InstallEnd::Cancel);
    EXPECT_TRUE(state.outcome.elevationNeeded);
    EXPECT_EQ(denied.log, Log{"mkdir C:\\Program Files\\Seedwright"});  // no message

    // A folder that cannot be made: the dialog stays open for the member to mend it.
    FakeSystem other;
    other.folderResult = 206;
    other.folderError = 206;
    EXPECT_EQ(runInstall(other, state, kFields), install::InstallEnd::StayOpen);
    EXPECT_EQ(other.log, (Log{"mkdir C:\\Program Files\\Seedwright",
                              "say SHCreateDirectoryEx(C:\\Program Files\\Seedwright) Failed to create program "
                              "directory (err: 206)"}));

    // A failed return with last error 0 or 6 goes on.
    for (unsigned long harmless : {0ul, 6ul}) {
        FakeSystem odd;
        odd.folderResult = 1;
        odd.folderError = harmless;
        EXPECT_EQ(runInstall(odd, state, kFields), install::InstallEnd::Done);
    }
}

TEST(Install, CopyAndKeyFailuresCancel) {
    SetupRun state;
    FakeSystem copy;
    copy.copyOk = false;
    EXPECT_EQ(runInstall(copy, state, kFields), install::InstallEnd::Cancel);
    EXPECT_EQ(copy.log.back(), "say Failed to copy file (112)");

    FakeSystem key;
    key.keyOk = false;
    EXPECT_EQ(runInstall(key, state, kFields), install::InstallEnd::Cancel);
    EXPECT_EQ(key.log.back(), "say Failed to create Registry Keys (1021)");
}

TEST(Install, FailedShortcutsRemoveTheRecordButComplete) {
    FakeSystem both;
    both.failingLinks = {"Seedwright\\Seedwright", "Seedwright\\uninstall"};
    SetupRun state;
    EXPECT_EQ(runInstall(both, state, kFields), install::InstallEnd::Done);
    EXPECT_TRUE(state.outcome.menuEntriesFailed);
    const Log tail(both.log.end() - 5, both.log.end());
    EXPECT_EQ(tail, (Log{kLink1, "say Could not write your Shortcut!", kLink2,
                         "say Could not write your Uninstall Shortcut!", "delete trees"}));

    FakeSystem second;
    second.failingLinks = {"Seedwright\\uninstall"};
    SetupRun state2;
    EXPECT_EQ(runInstall(second, state2, kFields), install::InstallEnd::Done);
    EXPECT_TRUE(state2.outcome.menuEntriesFailed);
    EXPECT_EQ(second.log.back(), "delete trees");
}

FakeSystem installed() {
    FakeSystem system;
    system.settings = {{"StartMenuPath", "Seedwright"}, {"InstallationPath", "C:\\Program Files\\Seedwright"}};
    system.files = {kProgramFile};
    return system;
}

const std::string kBatch =
    "batch T:\\_uninsep.bat\n" +
    install::selfDeleteBatchText(kProgramFile, "C:\\Program Files\\Seedwright", "T:\\_uninsep.bat", 850);
// A success: with the information icon.
const std::string kUninstalled = "tell Seedwright was uninstalled.";

TEST(Uninstall, AsksUnlessForcedThenRemovesEverything) {
    const Log removal = {"probe",
                         "unlink Seedwright\\Seedwright",
                         "unlink Seedwright\\uninstall",
                         "rmdir Programs\\Seedwright",
                         "delete trees",
                         "writable " + kProgramFile,
                         kBatch,
                         kUninstalled};
    SetupRun state;
    FakeSystem asked = installed();
    asked.answers = {install::kYes};
    runUninstall(asked, state);
    Log expected = {"ask Do you really want to uninstall Seedwright ?"};
    expected.insert(expected.end(), removal.begin(), removal.end());
    EXPECT_EQ(asked.log, expected);

    FakeSystem declined = installed();
    declined.answers = {7};
    runUninstall(declined, state);
    EXPECT_EQ(declined.log, Log{"ask Do you really want to uninstall Seedwright ?"});

    state.context.forced = true;
    FakeSystem forced = installed();
    runUninstall(forced, state);
    EXPECT_EQ(forced.log, removal);
    // Started by start-up as the program ends, once no box of it holds the file.
    EXPECT_EQ(state.outcome.removalBatch.m_path, "T:\\_uninsep.bat");
    EXPECT_EQ(state.outcome.removalBatch.m_folder, "T:\\");
    EXPECT_EQ(state.outcome.removalBatch.m_programFile, kProgramFile);
}

TEST(Uninstall, RefusedProbeChangesNothing) {
    SetupRun state;
    state.context.forced = true;
    FakeSystem system = installed();
    system.probeOk = false;
    runUninstall(system, state);
    EXPECT_EQ(system.log, Log{"probe"});
    EXPECT_TRUE(state.outcome.elevationNeeded);
}

TEST(Uninstall, NoRecordDeletesNoFileOrFolder) {
    SetupRun state;
    state.context.forced = true;
    FakeSystem system;
    system.files = {kProgramFile};
    runUninstall(system, state);
    EXPECT_EQ(system.log, (Log{"probe", "unlink \\Seedwright", "unlink \\uninstall", "delete trees", kUninstalled}));
    EXPECT_TRUE(state.outcome.removalBatch.m_path.empty());
}

TEST(Setup, NoProgramsFolderMeansNoFolderAtTheDriveRoot) {
    FakeSystem installer;
    installer.programs.clear();
    SetupRun state;
    EXPECT_EQ(runInstall(installer, state, kFields), install::InstallEnd::Done);
    for (const auto& entry : installer.log)
        EXPECT_NE(entry, "mkdir \\Seedwright");

    state.context.forced = true;
    FakeSystem uninstaller = installed();
    uninstaller.programs.clear();
    runUninstall(uninstaller, state);
    for (const auto& entry : uninstaller.log)
        EXPECT_NE(entry.rfind("rmdir", 0), 0u) << entry;
}

TEST(Uninstall, RecordedFolderWithoutTheProgramIsLeftAlone) {
    SetupRun state;
    state.context.forced = true;
    FakeSystem system = installed();
    system.settings["InstallationPath"] = "C:\\Users\\jo\\Downloads";
    runUninstall(system, state);
    EXPECT_EQ(system.log.back(), kUninstalled);
    EXPECT_EQ(system.log[system.log.size() - 2], "delete trees");
    EXPECT_TRUE(state.outcome.removalBatch.m_path.empty());
}

const std::string kPleaseDelete = "\n\nPlease delete the program file yourself:\n\n";

TEST(Uninstall, ARecordedFolderThatIsNotSeedwrightsOwnKeepsEveryFile) {
    const std::string why =
        "say Seedwright's shortcuts and settings are removed, but the recorded Installation Directory is not a folder "
        "of Seedwright's own:\n\n";
    const struct {
        const char* record;
        const char* file;
    } cases[] = {
        {"C:/", "C:\\Seedwright.exe"},
        {"C:\\Windows\\..", "C:\\Seedwright.exe"},
        {"C:\\Program Files\\", "C:\\Program Files\\Seedwright.exe"},
        {"\\\\?\\C:\\Users\\jo", "C:\\Users\\jo\\Seedwright.exe"},
        {"MyApps", "MyApps\\Seedwright.exe"},
    };
    for (const auto& c : cases) {
        SetupRun state;
        state.context.forced = true;
        FakeSystem system = installed();
        system.settings["InstallationPath"] = c.record;
        system.files.insert(c.file);
        runUninstall(system, state);
        EXPECT_EQ(system.log[4], "delete trees");
        EXPECT_EQ(system.log.back(), why + c.record + kPleaseDelete + c.file) << c.record;
        EXPECT_EQ(system.log.size(), 6u) << c.record;
    }
}

TEST(Uninstall, NoBatchThatCmdCouldMisreadOrThatCannotBeWritten) {
    const std::string tail = kPleaseDelete + kProgramFile;
    for (const char* unusable : {"", "Temp\\"}) {
        SetupRun state;
        state.context.forced = true;
        FakeSystem system = installed();
        system.temporary = unusable;
        runUninstall(system, state);
        EXPECT_EQ(system.log.back(),
                  "say Seedwright's shortcuts and settings are removed, but there is no usable folder for temporary "
                  "files to remove its program file from." +
                      tail);
    }
    const std::string unwritten =
        "say Seedwright's shortcuts and settings are removed, but the batch file that "
        "removes its program file could not be written." +
        tail;
    SetupRun state;
    state.context.forced = true;
    FakeSystem refused = installed();
    refused.batchOk = false;
    runUninstall(refused, state);
    EXPECT_EQ(refused.log.back(), unwritten);

    FakeSystem misread = installed();
    misread.temporary = "T:\\#\\";
    runUninstall(misread, state);
    EXPECT_EQ(misread.log.back(), unwritten);
    for (const auto& entry : misread.log)
        EXPECT_NE(entry.rfind("batch", 0), 0u);
}

const std::string kFileRuns =
    "say Seedwright is still running. Close it, then press Install again to replace " + kProgramFile + ".";

TEST(Install, OverARunningCopyTheDialogStaysOpenAndNothingIsMade) {
    FakeSystem system;
    system.runningPrograms = {kProgramFile};
    SetupRun state;
    EXPECT_EQ(runInstall(system, state, kFields), install::InstallEnd::StayOpen);
    EXPECT_EQ(system.log, Log{kFileRuns});

    FakeSystem held;
    held.heldFiles = {kProgramFile};
    EXPECT_EQ(runInstall(held, state, kFields), install::InstallEnd::StayOpen);
    EXPECT_EQ(held.log, Log{"say Seedwright's program file is in use by another program. Close that program, then "
                            "press Install again to replace " +
                            kProgramFile + "."});

    // One that started after the look: the copy meets its file in use.
    for (unsigned long inUse : {32ul, 33ul}) {
        FakeSystem late;
        late.copyOk = false;
        late.copyError = inUse;
        EXPECT_EQ(runInstall(late, state, kFields), install::InstallEnd::StayOpen);
        EXPECT_EQ(late.log.back(), kFileRuns);
    }
}

const std::string kOldFile = "D:\\Old\\Seedwright\\Seedwright.exe";

FakeSystem installedElsewhere() {
    FakeSystem system;
    system.settings = {
        {"InstallationPath", "D:\\Old\\Seedwright"}, {"StartMenuPath", "Old Menu"}, {"CreatedFolder", "D:\\Old"}};
    system.files = {kOldFile};
    system.folders.insert({"D:\\", "D:\\Old", "D:\\Old\\Seedwright"});
    return system;
}

TEST(Install, IntoAnotherFolderTheEarlierCopyAndItsShortcutsGo) {
    FakeSystem system = installedElsewhere();
    SetupRun state;
    EXPECT_EQ(runInstall(system, state, kFields), install::InstallEnd::Done);
    const Log tail(system.log.end() - 7, system.log.end());
    EXPECT_EQ(tail,
              (Log{kLink1, kLink2, "unlink Old Menu\\Seedwright", "unlink Old Menu\\uninstall",
                   "rmdir Programs\\Old Menu", "writable " + kOldFile,
                   "batch T:\\_uninsep.bat\n" + install::selfDeleteBatchText(kOldFile, "D:\\Old\\Seedwright",
                                                                             "T:\\_uninsep.bat", 850, {"D:\\Old"})}));
    EXPECT_EQ(state.outcome.removalBatch.m_path, "T:\\_uninsep.bat");
    EXPECT_EQ(state.outcome.removalBatch.m_programFile, kOldFile);

    // The same folder in another spelling, the same Start-menu folder in another case: nothing goes.
    FakeSystem same = installedElsewhere();
    same.settings["InstallationPath"] = "c:/program files/seedwright/";
    same.settings["StartMenuPath"] = "SEEDWRIGHT";
    same.files = {kProgramFile};
    SetupRun again;
    EXPECT_EQ(runInstall(same, again, kFields), install::InstallEnd::Done);
    EXPECT_EQ(same.log.back(), kLink2);
    EXPECT_TRUE(again.outcome.removalBatch.m_path.empty());
}

TEST(Install, IntoAnotherFolderWhileTheEarlierCopyRunsTheDialogStaysOpen) {
    FakeSystem system = installedElsewhere();
    system.runningPrograms = {kOldFile};
    SetupRun state;
    EXPECT_EQ(runInstall(system, state, kFields), install::InstallEnd::StayOpen);
    EXPECT_EQ(system.log, Log{"say Seedwright is still running. Close it, then press Install again, so that " +
                              kOldFile + " is removed."});

    // The installer is that copy itself: its batch removes it once it has ended.
    FakeSystem itself = installedElsewhere();
    itself.running = kOldFile;
    EXPECT_EQ(runInstall(itself, state, kFields), install::InstallEnd::Done);
    EXPECT_EQ(state.outcome.removalBatch.m_programFile, kOldFile);
}

TEST(Install, AnEarlierRecordThatIsNotSeedwrightsOwnIsNamedAndKept) {
    FakeSystem system = installedElsewhere();
    system.settings["InstallationPath"] = "C:\\Users";
    system.files.insert("C:\\Users\\Seedwright.exe");
    SetupRun state;
    EXPECT_EQ(runInstall(system, state, kFields), install::InstallEnd::Done);
    EXPECT_EQ(
        system.log.back(),
        "say Seedwright is installed in C:\\Program Files\\Seedwright, but the recorded Installation Directory is "
        "not a folder of Seedwright's own:\n\nC:\\Users\n\nPlease delete the earlier program file "
        "yourself:\n\nC:\\Users\\Seedwright.exe");
    EXPECT_TRUE(state.outcome.removalBatch.m_path.empty());
}

TEST(Install, RecordsTheHighestFolderItMakes) {
    const auto createdFolder = [](FakeSystem& system, const install::InstallFields& fields) {
        SetupRun state;
        static_cast<void>(runInstall(system, state, fields));
        for (const std::string& entry : system.log)
            if (entry.rfind("set CreatedFolder=", 0) == 0)
                return entry.substr(std::string("set CreatedFolder=").size());
        return std::string("<none>");
    };
    const install::InstallFields deep = {"C:\\Programme\\M\xc3\xbcller Tools\\Seedwright", "Seedwright", "u.exe"};
    FakeSystem fresh;
    EXPECT_EQ(createdFolder(fresh, deep), "C:\\Programme");

    // A folder that was there: none of it is the installer's.
    FakeSystem existing;
    existing.folders.insert({"C:\\Programme", "C:\\Programme\\M\xc3\xbcller Tools", deep.folder});
    existing.folderResult = 183;
    existing.answers = {install::kYes};
    EXPECT_EQ(createdFolder(existing, deep), "");

    // Installed there again: what the first installation made stays recorded.
    FakeSystem again;
    again.folders = existing.folders;
    again.folderResult = 183;
    again.answers = {install::kYes};
    again.settings = {{"InstallationPath", deep.folder}, {"CreatedFolder", "C:\\Programme"}};
    EXPECT_EQ(createdFolder(again, deep), "C:\\Programme");
}

const std::string kUninstallWhileRunning =
    "say Seedwright is still running. Close it, then uninstall again to remove " + kProgramFile + ".";

TEST(Uninstall, WhileSeedwrightRunsNothingGoesAndTheMemberIsTold) {
    enum class Holder { Session, Program, OtherProgram };
    for (Holder holder : {Holder::Session, Holder::Program, Holder::OtherProgram}) {
        SetupRun state;
        FakeSystem system = installed();
        system.answers = {install::kYes};
        system.otherSession = holder == Holder::Session;
        if (holder == Holder::Program)
            system.runningPrograms = {kProgramFile};
        if (holder == Holder::OtherProgram)
            system.heldFiles = {kProgramFile};
        runUninstall(system, state);
        const std::string said =
            holder == Holder::OtherProgram
                ? "say Seedwright's program file is in use by another program. Close that program, then uninstall "
                  "again to remove " +
                      kProgramFile + "."
                : kUninstallWhileRunning;
        EXPECT_EQ(system.log, (Log{"ask Do you really want to uninstall Seedwright ?", "probe", said}));
        EXPECT_TRUE(state.outcome.removalBatch.m_path.empty());
    }
    // Nothing recorded, a session open: told without a file.
    SetupRun state;
    state.context.forced = true;
    FakeSystem nothing;
    nothing.otherSession = true;
    runUninstall(nothing, state);
    EXPECT_EQ(nothing.log, (Log{"probe", "say Seedwright is still running. Close it, then uninstall again."}));

    // Once it has ended, the same uninstall goes through.
    FakeSystem ended = installed();
    runUninstall(ended, state);
    EXPECT_EQ(ended.log.back(), kUninstalled);
}

TEST(Uninstall, TheWorkingFolderLosesSeedwrightsFilesAndKeepsTheMembers) {
    SetupRun state;
    state.context.forced = true;
    state.context.workingFolder = "C:\\Users\\jo\\AppData\\Roaming\\Seedwright";
    FakeSystem system = installed();
    system.folderFiles[state.context.workingFolder] = {
        "MyNew.torrent", "notes.txt", "swr.torrent", "debug.html", "swr1A2B.tmp", "Film.torrent", "MyNew.torrent.tmp"};
    runUninstall(system, state);
    const std::string w = state.context.workingFolder + "\\";
    const Log expected = {"delete trees",
                          "del " + w + "MyNew.torrent",
                          "del " + w + "swr.torrent",
                          "del " + w + "debug.html",
                          "del " + w + "swr1A2B.tmp",
                          "del " + w + "MyNew.torrent.tmp",
                          "rmdir " + state.context.workingFolder};
    const auto from = std::find(system.log.begin(), system.log.end(), "delete trees");
    ASSERT_LE(expected.size(), static_cast<std::size_t>(system.log.end() - from));
    EXPECT_EQ(Log(from, from + static_cast<std::ptrdiff_t>(expected.size())), expected);
    EXPECT_EQ(system.log.back(), kUninstalled);
}

TEST(Uninstall, TheFoldersTheInstallerMadeGoOnceEmpty) {
    const std::string folder = "C:\\Programme\\M\xc3\xbcller Tools\\Seedwright";
    const std::string file = folder + "\\Seedwright.exe";
    SetupRun state;
    state.context.forced = true;
    FakeSystem system = installed();
    system.settings["InstallationPath"] = folder;
    system.settings["CreatedFolder"] = "C:\\Programme";
    system.files = {file};
    runUninstall(system, state);
    ASSERT_GE(system.log.size(), 2u);
    EXPECT_EQ(system.log[system.log.size() - 2],
              "batch T:\\_uninsep.bat\n" +
                  install::selfDeleteBatchText(file, folder, "T:\\_uninsep.bat", 850,
                                               {"C:\\Programme\\M\xc3\xbcller Tools", "C:\\Programme"}));

    // A folder cmd could not name stays, and so does every folder above it.
    FakeSystem unnamed = installed();
    unnamed.settings["InstallationPath"] = "C:\\A\\B\\C\\Seedwright";
    unnamed.settings["CreatedFolder"] = "C:\\A";
    unnamed.files = {"C:\\A\\B\\C\\Seedwright\\Seedwright.exe"};
    unnamed.unspellable = {"C:\\A\\B"};
    runUninstall(unnamed, state);
    EXPECT_EQ(unnamed.log[unnamed.log.size() - 2],
              "batch T:\\_uninsep.bat\n" + install::selfDeleteBatchText("C:\\A\\B\\C\\Seedwright\\Seedwright.exe",
                                                                        "C:\\A\\B\\C\\Seedwright", "T:\\_uninsep.bat",
                                                                        850, {"C:\\A\\B\\C"}));
}

}  // namespace
