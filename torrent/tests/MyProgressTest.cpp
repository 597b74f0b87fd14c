#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ModalDriver.h"
#include "torrent/MyProgress.h"
#include "torrent/res/TorrentIds.h"
#include "win/Handles.h"

using testing_support::pressButton;
using testing_support::runModal;
using testing_support::waitUntil;

namespace {

// Records what each tick saw; optionally stands in its own counters once the build is over.
class ProbeProgress : public CMyProgress {
  public:
    struct Tick {
        bool doneBefore;
        int position;
    };
    std::vector<Tick> m_ticks;
    bool m_fakeCounters = false;
    bool m_cancelAfterBuild = false;

  protected:
    BOOL OnInitDialog() override {
        const BOOL result = CMyProgress::OnInitDialog();
        if (m_cancelAfterBuild) {
            // The build ends before any tick; Cancel is queued ahead of the next tick.
            waitUntil([this] { return m_done.load(); });
            PostMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        return result;
    }
    bool OnTimer(UINT_PTR id) override {
        const bool done = m_done.load();
        if (m_fakeCounters && done) {
            m_maker.m_totalSize = 1000;
            m_maker.m_bytesDone = 250;
        }
        const bool handled = CMyProgress::OnTimer(id);
        m_ticks.push_back({done, m_progress.pos()});
        return handled;
    }
};

class MyProgressTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        m_dir = std::string(temp) + "swprogress" + std::to_string(GetCurrentProcessId()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(m_dir.c_str(), nullptr);
        m_output = m_dir + "\\MyNew.torrent";
    }
    void TearDown() override {
        DeleteFileA(m_output.c_str());
        for (const std::string& file : m_files)
            DeleteFileA(file.c_str());
        RemoveDirectoryA((m_dir + "\\empty").c_str());
        RemoveDirectoryA(m_dir.c_str());
    }

    // A file of the given size; large ones are sparse, so they cost no disk.
    std::string makeFile(const std::string& name, LONGLONG size) {
        const std::string path = m_dir + "\\" + name;
        const win::CHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        EXPECT_NE(file.get(), INVALID_HANDLE_VALUE);
        DWORD unused = 0;
        DeviceIoControl(file.get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr);
        LARGE_INTEGER end;
        end.QuadPart = size;
        SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN);
        SetEndOfFile(file.get());
        m_files.push_back(path);
        return path;
    }

    bool outputExists() const { return GetFileAttributesA(m_output.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::string m_dir;
    std::string m_output;
    std::vector<std::string> m_files;
};

// The caller can tell a build without output from a finished one, and learns why.
TEST_F(MyProgressTest, ABuildWithoutOutputEndsWithItsOwnResultAtTheNextTick) {
    ProbeProgress missing;
    missing.m_sourcePath = m_dir + "\\missing.bin";
    missing.m_outputPath = m_output;
    missing.m_singleFile = true;
    EXPECT_EQ(runModal(
                  missing, [](HWND) {}, 10000)
                  .result,
              kProgressFailed);
    EXPECT_EQ(missing.m_result.m_reason, "Cannot read " + m_dir + "\\missing.bin");

    CreateDirectoryA((m_dir + "\\empty").c_str(), nullptr);
    ProbeProgress dialog;
    dialog.m_sourcePath = m_dir + "\\empty";
    dialog.m_outputPath = m_output;
    dialog.m_singleFile = false;
    const auto run = runModal(
        dialog, [](HWND) {}, 10000);
    EXPECT_FALSE(run.leftOpen);
    EXPECT_EQ(run.result, kProgressFailed);
    EXPECT_EQ(dialog.m_result.m_reason, "Nothing to upload in " + m_dir + "\\empty: it holds no data");
    EXPECT_FALSE(outputExists());
    ASSERT_FALSE(dialog.m_ticks.empty());
    int ticksAfterTheBuild = 0;
    for (const auto& tick : dialog.m_ticks) {
        EXPECT_EQ(tick.position, 0);
        ticksAfterTheBuild += tick.doneBefore ? 1 : 0;
    }
    EXPECT_LE(ticksAfterTheBuild, 1);  // the first tick that sees the build over ends it
    EXPECT_TRUE(dialog.m_done.load());
}

TEST_F(MyProgressTest, CancelDuringHashingEndsWithCancelAndWritesNothing) {
    ProbeProgress dialog;
    dialog.m_sourcePath = makeFile("large.bin", 4ll << 30);
    dialog.m_outputPath = m_output;
    dialog.m_singleFile = true;
    bool survivedEnter = false;
    const auto run = runModal(dialog, [&](HWND dlg) {
        const HWND bar = GetDlgItem(dlg, IDC_PROGRESS);
        EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 500);
        EXPECT_TRUE(waitUntil([&] { return SendMessageA(bar, PBM_GETPOS, 0, 0) > 0; }));
        pressButton(dlg, IDOK);  // Enter while the worker runs
        survivedEnter = IsWindowVisible(dlg) != FALSE;
        pressButton(dlg, IDCANCEL);
    });
    EXPECT_TRUE(run.seen);
    EXPECT_FALSE(run.leftOpen);
    EXPECT_EQ(run.result, IDCANCEL);
    EXPECT_TRUE(survivedEnter);
    EXPECT_TRUE(dialog.m_done.load());  // the worker had returned before the dialog ended
    EXPECT_LT(dialog.m_maker.m_bytesDone.load(), dialog.m_maker.m_totalSize.load());
    EXPECT_FALSE(outputExists());
}

TEST_F(MyProgressTest, CancelAfterTheBuildBeforeTheNextTickStillCancels) {
    ProbeProgress dialog;
    dialog.m_sourcePath = makeFile("small.bin", 1000);
    dialog.m_outputPath = m_output;
    dialog.m_singleFile = true;
    dialog.m_cancelAfterBuild = true;
    const auto run = runModal(
        dialog, [](HWND) {}, 10000);
    EXPECT_FALSE(run.leftOpen);
    EXPECT_EQ(run.result, IDCANCEL);
    EXPECT_TRUE(dialog.m_ticks.empty());
    EXPECT_TRUE(outputExists());  // the build had finished
}

TEST_F(MyProgressTest, QuarterReadShowsAQuarterOfTheBar) {
    ProbeProgress dialog;
    dialog.m_sourcePath = makeFile("small.bin", 1000);
    dialog.m_outputPath = m_output;
    dialog.m_singleFile = true;
    dialog.m_fakeCounters = true;  // total 1,000 bytes, 250 read
    const auto run = runModal(
        dialog, [](HWND) {}, 10000);
    EXPECT_EQ(run.result, IDOK);
    ASSERT_FALSE(dialog.m_ticks.empty());
    EXPECT_EQ(dialog.m_ticks.back().position, 125);
    EXPECT_TRUE(outputExists());
}

}  // namespace
