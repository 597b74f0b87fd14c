#include <gtest/gtest.h>

#include <stdexcept>

#include "site/res/SiteIds.h"
#include "tests/support/ModalDriver.h"
#include "win/Dialog.h"

using testing_support::itemText;
using testing_support::pressButton;
using testing_support::runModal;

namespace {

constexpr WORD kThrowingCommand = 4001;
constexpr WORD kCountedCommand = 4002;

// A plain dialog on a simple template that records what reached its handlers.
class ProbeDialog : public win::CDialog {
  public:
    ProbeDialog() : CDialog(IDD_COMPLETEUPLOAD) {}

    int m_inits = 0;
    int m_commands = 0;
    UINT_PTR m_lastTimer = 0;
    int m_destroys = 0;
    bool m_windowAtDestroy = false;

  protected:
    BOOL OnInitDialog() override {
        ++m_inits;
        setItemText(IDC_BACKEND_TEXT, "ready");
        return TRUE;
    }
    bool OnCommand(WORD /*code*/, WORD id, HWND /*control*/) override {
        if (id == kThrowingCommand)
            throw std::runtime_error("handler failed");
        if (id == kCountedCommand) {
            ++m_commands;
            return true;
        }
        return false;
    }
    bool OnTimer(UINT_PTR id) override {
        m_lastTimer = id;
        return true;
    }
    void OnDestroy() override {
        ++m_destroys;
        m_windowAtDestroy = IsWindow(hwnd()) != FALSE;
    }
};

TEST(Dialog, HandlersAreDispatchedAndOkEndsTheDialog) {
    ProbeDialog dialog;
    bool aliveAfterThrow = false;
    const auto run = runModal(dialog, [&](HWND dlg) {
        EXPECT_EQ(itemText(dlg, IDC_BACKEND_TEXT), "ready");
        pressButton(dlg, kThrowingCommand);  // the exception stays inside the dialog procedure
        aliveAfterThrow = IsWindow(dlg) != FALSE;
        pressButton(dlg, kCountedCommand);
        pressButton(dlg, kCountedCommand);
        SendMessageA(dlg, WM_TIMER, 77, 0);
        pressButton(dlg, IDOK);
    });
    EXPECT_TRUE(run.seen);
    EXPECT_FALSE(run.leftOpen);
    EXPECT_EQ(run.result, IDOK);
    EXPECT_TRUE(aliveAfterThrow);
    EXPECT_EQ(dialog.m_inits, 1);
    EXPECT_EQ(dialog.m_commands, 2);
    EXPECT_EQ(dialog.m_lastTimer, 77u);
    EXPECT_EQ(dialog.m_destroys, 1);
    EXPECT_TRUE(dialog.m_windowAtDestroy);
    EXPECT_EQ(dialog.hwnd(), nullptr);  // forgotten before the window went
}

TEST(Dialog, CloseBoxAndEscapeCancel) {
    {
        ProbeDialog dialog;
        const auto run = runModal(dialog, [](HWND dlg) { PostMessageA(dlg, WM_CLOSE, 0, 0); });
        EXPECT_EQ(run.result, IDCANCEL);
        EXPECT_FALSE(run.leftOpen);
    }
    {
        ProbeDialog dialog;
        // Keys go through the modal loop's dialog-message handling, as typed keys do.
        const auto run = runModal(dialog, [](HWND dlg) { PostMessageA(dlg, WM_KEYDOWN, VK_ESCAPE, 0); });
        EXPECT_EQ(run.result, IDCANCEL);
        EXPECT_FALSE(run.leftOpen);
    }
}

TEST(Dialog, MissingTemplateFails) {
    class Missing : public win::CDialog {
      public:
        Missing() : CDialog(9999) {}
    } dialog;
    EXPECT_EQ(dialog.DoModal(), -1);
}

}  // namespace
