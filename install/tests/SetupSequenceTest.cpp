#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "install/SetupSequence.h"

namespace {

using Log = std::vector<std::string>;

class FakeSystem : public setup::SetupSystem {
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
        log.push_back((type == setup::kYesNo ? "ask " : "say ") + text);
        if (answers.empty())
            return 1;
        const int answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
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
    std::string batchPath() override { return "T:\\_uninsep.bat"; }
    void startBatch(const std::string& path, const std::string& text) override {
        log.push_back("batch " + path + "\n" + text);
    }
};

const setup::InstallFields kFields = {"C:\\Program Files\\Seedwright", "Seedwright", "C:\\uT\\uTorrent.exe"};
const std::string kProgramFile = "C:\\Program Files\\Seedwright\\Seedwright.exe";
const std::string kLink1 = "link Seedwright\\Seedwright -> " + kProgramFile +
                           " [] Seedwright is a Tool that helps uploading Files to Velmar Trackers.";
const std::string kLink2 = "link Seedwright\\uninstall -> " + kProgramFile + " [/uninstall] uninstall Seedwright";

TEST(Install, EveryStepInOrder) {
    FakeSystem system;
    AppState state;
    EXPECT_EQ(setup::install(system, state, kFields), setup::InstallEnd::Done);
    EXPECT_EQ(system.log,
              (Log{"mkdir C:\\Program Files\\Seedwright", "copy " + kProgramFile, "mkdir Programs\\Seedwright", "key",
                   "set InstallationPath=C:\\Program Files\\Seedwright", "set StartMenuPath=Seedwright",
                   "set utorrent=C:\\uT\\uTorrent.exe", kLink1, kLink2}));
    EXPECT_FALSE(state.m_menuEntriesFailed);
    EXPECT_FALSE(state.m_elevationNeeded);
}

TEST(Install, EmptyFieldsKeepTheDialogOpen) {
    struct Case {
        setup::InstallFields fields;
        std::string said;
    };
    const Case cases[] = {
        {{"", "", ""}, "say Please choose a Installation Directory!"},
        {{"C:\\S", "Seedwright", ""},
         "say Without choosing the correct path to your uTorrent.exe Client, Seedwright will not function!"},
        {{"C:\\S", "", "u.exe"}, "say Choose a Startmenu Name!"},
    };
    for (const auto& c : cases) {
        FakeSystem system;
        AppState state;
        EXPECT_EQ(setup::install(system, state, c.fields), setup::InstallEnd::StayOpen);
        EXPECT_EQ(system.log, Log{c.said});
    }
}

TEST(Install, ExistingFolderAsksBeforeOverwriting) {
    for (int exists : {80, 183}) {
        FakeSystem declined;
        declined.folderResult = exists;
        declined.answers = {7};  // IDNO
        AppState state;
        EXPECT_EQ(setup::install(declined, state, kFields), setup::InstallEnd::StayOpen);
        ASSERT_EQ(declined.log.size(), 2u);
        EXPECT_EQ(declined.log[1],
                  "ask Installation Directory already exists...\n\nContinue installation and overwrite existing "
                  "Version?");

        FakeSystem accepted;
        accepted.folderResult = exists;
        accepted.answers = {setup::kYes};
        EXPECT_EQ(setup::install(accepted, state, kFields), setup::InstallEnd::Done);
        EXPECT_EQ(accepted.log[2], "copy " + kProgramFile);
    }
}

TEST(Install, FolderErrors) {
    AppState state;
    FakeSystem denied;
    denied.folderResult = 5;
    denied.folderError = 5;
    EXPECT_EQ(setup::install(denied, state, kFields), setup::InstallEnd::Cancel);
    EXPECT_TRUE(state.m_elevationNeeded);
    EXPECT_EQ(denied.log, Log{"mkdir C:\\Program Files\\Seedwright"});  // no message

    FakeSystem other;
    other.folderResult = 206;
    other.folderError = 206;
    EXPECT_EQ(setup::install(other, state, kFields), setup::InstallEnd::Cancel);
    EXPECT_EQ(other.log.back(),
              "say SHCreateDirectoryEx(C:\\Program Files\\Seedwright) Failed to create program directory (err: 206)");

    // A failed return with last error 0 or 6 goes on.
    for (unsigned long harmless : {0ul, 6ul}) {
        FakeSystem odd;
        odd.folderResult = 1;
        odd.folderError = harmless;
        EXPECT_EQ(setup::install(odd, state, kFields), setup::InstallEnd::Done);
    }
}

TEST(Install, CopyAndKeyFailuresCancel) {
    AppState state;
    FakeSystem copy;
    copy.copyOk = false;
    EXPECT_EQ(setup::install(copy, state, kFields), setup::InstallEnd::Cancel);
    EXPECT_EQ(copy.log.back(), "say Failed to copy file (32)");

    FakeSystem key;
    key.keyOk = false;
    EXPECT_EQ(setup::install(key, state, kFields), setup::InstallEnd::Cancel);
    EXPECT_EQ(key.log.back(), "say Failed to create Registry Keys (1021)");
}

TEST(Install, FailedShortcutsRemoveTheRecordButComplete) {
    FakeSystem both;
    both.failingLinks = {"Seedwright\\Seedwright", "Seedwright\\uninstall"};
    AppState state;
    EXPECT_EQ(setup::install(both, state, kFields), setup::InstallEnd::Done);
    EXPECT_TRUE(state.m_menuEntriesFailed);
    const Log tail(both.log.end() - 5, both.log.end());
    EXPECT_EQ(tail, (Log{kLink1, "say Could not write your Shortcut!", kLink2,
                         "say Could not write your Uninstall Shortcut!", "delete trees"}));

    FakeSystem second;
    second.failingLinks = {"Seedwright\\uninstall"};
    AppState state2;
    EXPECT_EQ(setup::install(second, state2, kFields), setup::InstallEnd::Done);
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
    "batch T:\\_uninsep.bat\ncd\\\r\n:Repeat1\r\ndel \"" + kProgramFile + "\"\r\nif exist \"" + kProgramFile +
    "\" goto Repeat1\r\n:Repeat2\r\nrmdir /S /Q \"C:\\Program Files\\Seedwright\"\r\nif exist \"C:\\Program "
    "Files\\Seedwright\" goto Repeat2\r\ndel \"T:\\_uninsep.bat\"";

TEST(Uninstall, AsksUnlessForcedThenRemovesEverything) {
    const Log removal = {"probe",
                         "unlink Seedwright\\Seedwright",
                         "unlink Seedwright\\uninstall",
                         "rmdir Programs\\Seedwright",
                         "delete trees",
                         kBatch};
    AppState state;
    FakeSystem asked = installed(state);
    asked.answers = {setup::kYes};
    setup::uninstall(asked, state);
    Log expected = {"ask Do you really want to uninstall Seedwright ?"};
    expected.insert(expected.end(), removal.begin(), removal.end());
    EXPECT_EQ(asked.log, expected);

    FakeSystem declined = installed(state);
    declined.answers = {7};
    setup::uninstall(declined, state);
    EXPECT_EQ(declined.log, Log{"ask Do you really want to uninstall Seedwright ?"});

    state.m_forced = true;
    FakeSystem forced = installed(state);
    setup::uninstall(forced, state);
    EXPECT_EQ(forced.log, removal);
}

TEST(Uninstall, RefusedProbeChangesNothing) {
    AppState state;
    state.m_forced = true;
    FakeSystem system = installed(state);
    system.probeOk = false;
    setup::uninstall(system, state);
    EXPECT_EQ(system.log, Log{"probe"});
    EXPECT_TRUE(state.m_elevationNeeded);
}

TEST(Uninstall, NoRecordDeletesNoFileOrFolder) {
    AppState state;
    state.m_forced = true;
    FakeSystem system;
    system.state = &state;
    system.files = {kProgramFile};
    setup::uninstall(system, state);
    EXPECT_EQ(system.log, (Log{"probe", "unlink \\Seedwright", "unlink \\uninstall", "delete trees"}));
}

TEST(Setup, NoProgramsFolderMeansNoFolderAtTheDriveRoot) {
    FakeSystem installer;
    installer.programs.clear();
    AppState state;
    EXPECT_EQ(setup::install(installer, state, kFields), setup::InstallEnd::Done);
    for (const auto& entry : installer.log)
        EXPECT_NE(entry, "mkdir \\Seedwright");

    state.m_forced = true;
    FakeSystem uninstaller = installed(state);
    uninstaller.programs.clear();
    setup::uninstall(uninstaller, state);
    for (const auto& entry : uninstaller.log)
        EXPECT_NE(entry.rfind("rmdir", 0), 0u) << entry;
}

TEST(Uninstall, RecordedFolderWithoutTheProgramIsLeftAlone) {
    AppState state;
    state.m_forced = true;
    FakeSystem system = installed(state);
    system.settings["InstallationPath"] = "C:\\Users\\jo\\Downloads";
    setup::uninstall(system, state);
    EXPECT_EQ(system.log.back(), "delete trees");
}

}  // namespace
