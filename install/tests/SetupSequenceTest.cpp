#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

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
    AppState* state = nullptr;
    std::map<std::string, std::string> settings;
    std::set<std::string> files;

    int message(const std::string& text, unsigned type) override {
        log.push_back((type == install::kYesNo ? "ask " : "say ") + text);
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
    bool copyProgram(const std::string& to, unsigned long& error) override {
        log.push_back("copy " + to);
        error = copyOk ? 0 : 32;
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
        if (!probeOk)
            state->m_elevationNeeded = true;
        return probeOk;
    }
    std::string programs = "Programs";
    std::string programsFolder() override { return programs; }
    std::string readSetting(const char* name) override { return settings[name]; }
    void deleteLink(const std::string& linkName) override { log.push_back("unlink " + linkName); }
    void removeEmptyFolder(const std::string& folder) override { log.push_back("rmdir " + folder); }
    bool fileExists(const std::string& file) override { return files.count(file) != 0; }
    std::string temporary = "T:\\";
    std::string temporaryFolder() override { return temporary; }
    // The code page lacks one character: it stands for any that cmd could not read.
    bool batchSpelling(const std::string& path, std::string& spelled) override {
        spelled = path;
        return path.find('#') == std::string::npos;
    }
    unsigned batchCodePage() override { return 850; }
    bool batchOk = true;
    bool startBatch(const std::string& path, const std::string& folder, const std::string& text) override {
        log.push_back("batch " + path + " in " + folder + "\n" + text);
        return batchOk;
    }
};

const install::InstallFields kFields = {"C:\\Program Files\\Seedwright", "Seedwright", "C:\\uT\\uTorrent.exe"};
const std::string kProgramFile = "C:\\Program Files\\Seedwright\\Seedwright.exe";
const std::string kLink1 = "link Seedwright\\Seedwright -> " + kProgramFile +
                           " [] Seedwright is a Tool that helps uploading Files to Velmar Trackers.";
const std::string kLink2 = "link Seedwright\\uninstall -> " + kProgramFile + " [/uninstall] uninstall Seedwright";

const std::string kEntry = "entry Seedwright V1.14|1.14|The Seedwright team|" + kProgramFile +
                           "|C:\\Program Files\\Seedwright|\"" + kProgramFile + "\" /uninstall|2001";

TEST(Install, EveryStepInOrder) {
    FakeSystem system;
    AppState state;
    state.setIdentity();
    EXPECT_EQ(install::install(system, state, kFields), install::InstallEnd::Done);
    EXPECT_EQ(system.log,
              (Log{"mkdir C:\\Program Files\\Seedwright", "copy " + kProgramFile, "writable " + kProgramFile,
                   "mkdir Programs\\Seedwright", "key", "set InstallationPath=C:\\Program Files\\Seedwright",
                   "set StartMenuPath=Seedwright", "set utorrent=C:\\uT\\uTorrent.exe", kEntry, kLink1, kLink2}));
    EXPECT_FALSE(state.m_menuEntriesFailed);
    EXPECT_FALSE(state.m_elevationNeeded);
}

TEST(Install, TheFolderIsInstalledAndRecordedAsItsFullPath) {
    FakeSystem system;
    AppState state;
    const install::InstallFields typed = {"c:/Tools//Seedwright/", "Tools\\Seedwright", "u.exe"};
    EXPECT_EQ(install::install(system, state, typed), install::InstallEnd::Done);
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
        AppState state;
        EXPECT_EQ(install::install(system, state, c.fields), install::InstallEnd::StayOpen) << c.fields.folder;
        EXPECT_EQ(system.log, Log{c.said});
    }
}

TEST(Install, OverTheRunningCopyItselfCopiesNothing) {
    FakeSystem system;
    system.running = "c:\\program files\\SEEDWRIGHT\\Seedwright.exe";
    system.folderResult = 183;
    system.answers = {install::kYes};
    AppState state;
    EXPECT_EQ(install::install(system, state, kFields), install::InstallEnd::Done);
    for (const auto& entry : system.log)
        EXPECT_NE(entry.rfind("copy", 0), 0u) << entry;
    EXPECT_EQ(system.log[2], "writable " + kProgramFile);
}

TEST(Install, AnUnwritableInstalledAppsEntryIsReportedAndTheInstallationCompletes) {
    FakeSystem system;
    system.entryOk = false;
    AppState state;
    EXPECT_EQ(install::install(system, state, kFields), install::InstallEnd::Done);
    const Log tail(system.log.end() - 3, system.log.end());
    EXPECT_EQ(tail, (Log{"say Failed to create the Registry Keys of the installed programs list (5)", kLink1, kLink2}));
    EXPECT_FALSE(state.m_menuEntriesFailed);
}

TEST(Install, PrefilledFromTheStoredValues) {
    AppState state;
    install::InstallFields fields = install::prefilledFields(state, "", "C:\\Program Files", "C:\\uT\\uTorrent.exe");
    EXPECT_EQ(fields.folder, "C:\\Program Files\\Seedwright");
    EXPECT_EQ(fields.menu, "Seedwright");
    EXPECT_EQ(fields.client, "C:\\uT\\uTorrent.exe");

    state.m_installationPath = "D:\\Tools\\Seedwright";
    state.m_utorrentPath = "D:\\uTorrent\\uTorrent.exe";
    fields = install::prefilledFields(state, "Tools", "C:\\Program Files", "");
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
        AppState state;
        EXPECT_EQ(install::install(system, state, c.fields), install::InstallEnd::StayOpen);
        EXPECT_EQ(system.log, Log{c.said});
    }
}

TEST(Install, ExistingFolderAsksBeforeOverwriting) {
    for (int exists : {80, 183}) {
        FakeSystem declined;
        declined.folderResult = exists;
        declined.answers = {7};  // IDNO
        AppState state;
        EXPECT_EQ(install::install(declined, state, kFields), install::InstallEnd::StayOpen);
        ASSERT_EQ(declined.log.size(), 2u);
        EXPECT_EQ(declined.log[1],
                  "ask Installation Directory already exists...\n\nContinue installation and overwrite existing "
                  "Version?");

        FakeSystem accepted;
        accepted.folderResult = exists;
        accepted.answers = {install::kYes};
        EXPECT_EQ(install::install(accepted, state, kFields), install::InstallEnd::Done);
        EXPECT_EQ(accepted.log[2], "copy " + kProgramFile);
    }
}

TEST(Install, FolderErrors) {
    AppState state;
    FakeSystem denied;
    denied.folderResult = 5;
    denied.folderError = 5;
    EXPECT_EQ(install::install(denied, state, kFields), install::InstallEnd::Cancel);
    EXPECT_TRUE(state.m_elevationNeeded);
    EXPECT_EQ(denied.log, Log{"mkdir C:\\Program Files\\Seedwright"});  // no message

    // A folder that cannot be made: the dialog stays open for the member to mend it.
    FakeSystem other;
    other.folderResult = 206;
    other.folderError = 206;
    EXPECT_EQ(install::install(other, state, kFields), install::InstallEnd::StayOpen);
    EXPECT_EQ(other.log, (Log{"mkdir C:\\Program Files\\Seedwright",
                              "say SHCreateDirectoryEx(C:\\Program Files\\Seedwright) Failed to create program "
                              "directory (err: 206)"}));

    // A failed return with last error 0 or 6 goes on.
    for (unsigned long harmless : {0ul, 6ul}) {
        FakeSystem odd;
        odd.folderResult = 1;
        odd.folderError = harmless;
        EXPECT_EQ(install::install(odd, state, kFields), install::InstallEnd::Done);
    }
}

TEST(Install, CopyAndKeyFailuresCancel) {
    AppState state;
    FakeSystem copy;
    copy.copyOk = false;
    EXPECT_EQ(install::install(copy, state, kFields), install::InstallEnd::Cancel);
    EXPECT_EQ(copy.log.back(), "say Failed to copy file (32)");

    FakeSystem key;
    key.keyOk = false;
    EXPECT_EQ(install::install(key, state, kFields), install::InstallEnd::Cancel);
    EXPECT_EQ(key.log.back(), "say Failed to create Registry Keys (1021)");
}

TEST(Install, FailedShortcutsRemoveTheRecordButComplete) {
    FakeSystem both;
    both.failingLinks = {"Seedwright\\Seedwright", "Seedwright\\uninstall"};
    AppState state;
    EXPECT_EQ(install::install(both, state, kFields), install::InstallEnd::Done);
    EXPECT_TRUE(state.m_menuEntriesFailed);
    const Log tail(both.log.end() - 5, both.log.end());
    EXPECT_EQ(tail, (Log{kLink1, "say Could not write your Shortcut!", kLink2,
                         "say Could not write your Uninstall Shortcut!", "delete trees"}));

    FakeSystem second;
    second.failingLinks = {"Seedwright\\uninstall"};
    AppState state2;
    EXPECT_EQ(install::install(second, state2, kFields), install::InstallEnd::Done);
    EXPECT_TRUE(state2.m_menuEntriesFailed);
    EXPECT_EQ(second.log.back(), "delete trees");
}

FakeSystem installed(AppState& state) {
    FakeSystem system;
    system.state = &state;
    system.settings = {{"StartMenuPath", "Seedwright"}, {"InstallationPath", "C:\\Program Files\\Seedwright"}};
    system.files = {kProgramFile};
    return system;
}

const std::string kBatch =
    "batch T:\\_uninsep.bat in T:\\\n" +
    install::selfDeleteBatchText(kProgramFile, "C:\\Program Files\\Seedwright", "T:\\_uninsep.bat", 850);

TEST(Uninstall, AsksUnlessForcedThenRemovesEverything) {
    const Log removal = {"probe",
                         "unlink Seedwright\\Seedwright",
                         "unlink Seedwright\\uninstall",
                         "rmdir Programs\\Seedwright",
                         "delete trees",
                         "writable " + kProgramFile,
                         kBatch};
    AppState state;
    FakeSystem asked = installed(state);
    asked.answers = {install::kYes};
    install::uninstall(asked, state);
    Log expected = {"ask Do you really want to uninstall Seedwright ?"};
    expected.insert(expected.end(), removal.begin(), removal.end());
    EXPECT_EQ(asked.log, expected);

    FakeSystem declined = installed(state);
    declined.answers = {7};
    install::uninstall(declined, state);
    EXPECT_EQ(declined.log, Log{"ask Do you really want to uninstall Seedwright ?"});

    state.m_forced = true;
    FakeSystem forced = installed(state);
    install::uninstall(forced, state);
    EXPECT_EQ(forced.log, removal);
}

TEST(Uninstall, RefusedProbeChangesNothing) {
    AppState state;
    state.m_forced = true;
    FakeSystem system = installed(state);
    system.probeOk = false;
    install::uninstall(system, state);
    EXPECT_EQ(system.log, Log{"probe"});
    EXPECT_TRUE(state.m_elevationNeeded);
}

TEST(Uninstall, NoRecordDeletesNoFileOrFolder) {
    AppState state;
    state.m_forced = true;
    FakeSystem system;
    system.state = &state;
    system.files = {kProgramFile};
    install::uninstall(system, state);
    EXPECT_EQ(system.log, (Log{"probe", "unlink \\Seedwright", "unlink \\uninstall", "delete trees"}));
}

TEST(Setup, NoProgramsFolderMeansNoFolderAtTheDriveRoot) {
    FakeSystem installer;
    installer.programs.clear();
    AppState state;
    EXPECT_EQ(install::install(installer, state, kFields), install::InstallEnd::Done);
    for (const auto& entry : installer.log)
        EXPECT_NE(entry, "mkdir \\Seedwright");

    state.m_forced = true;
    FakeSystem uninstaller = installed(state);
    uninstaller.programs.clear();
    install::uninstall(uninstaller, state);
    for (const auto& entry : uninstaller.log)
        EXPECT_NE(entry.rfind("rmdir", 0), 0u) << entry;
}

TEST(Uninstall, RecordedFolderWithoutTheProgramIsLeftAlone) {
    AppState state;
    state.m_forced = true;
    FakeSystem system = installed(state);
    system.settings["InstallationPath"] = "C:\\Users\\jo\\Downloads";
    install::uninstall(system, state);
    EXPECT_EQ(system.log.back(), "delete trees");
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
        AppState state;
        state.m_forced = true;
        FakeSystem system = installed(state);
        system.settings["InstallationPath"] = c.record;
        system.files.insert(c.file);
        install::uninstall(system, state);
        EXPECT_EQ(system.log[4], "delete trees");
        EXPECT_EQ(system.log.back(), why + c.record + kPleaseDelete + c.file) << c.record;
        EXPECT_EQ(system.log.size(), 6u) << c.record;
    }
}

TEST(Uninstall, NoBatchThatCmdCouldMisreadOrThatCannotBeWritten) {
    const std::string tail = kPleaseDelete + kProgramFile;
    for (const char* unusable : {"", "Temp\\"}) {
        AppState state;
        state.m_forced = true;
        FakeSystem system = installed(state);
        system.temporary = unusable;
        install::uninstall(system, state);
        EXPECT_EQ(system.log.back(),
                  "say Seedwright's shortcuts and settings are removed, but there is no usable folder for temporary "
                  "files to remove its program file from." +
                      tail);
    }
    const std::string unwritten =
        "say Seedwright's shortcuts and settings are removed, but the batch file that "
        "removes its program file could not be written." +
        tail;
    AppState state;
    state.m_forced = true;
    FakeSystem refused = installed(state);
    refused.batchOk = false;
    install::uninstall(refused, state);
    EXPECT_EQ(refused.log.back(), unwritten);

    FakeSystem misread = installed(state);
    misread.temporary = "T:\\#\\";
    install::uninstall(misread, state);
    EXPECT_EQ(misread.log.back(), unwritten);
    for (const auto& entry : misread.log)
        EXPECT_NE(entry.rfind("batch", 0), 0u);
}

}  // namespace
