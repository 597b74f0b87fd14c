// Shows one of the program's dialogs for a screenshot: dialog_gallery NAME OUTDIR.
// Once the dialog is up it writes OUTDIR/NAME.rect ("left top right bottom", screen
// pixels) and keeps the dialog open until OUTDIR/NAME.done exists. Dialogs whose classes
// exist are shown through them; the others as their bare templates. "main-max" is the main
// dialog maximised as soon as it shows, pictured as it drew itself, with no repainting asked.

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>

#include "app/KestrelApp.h"
#include "client/res/ClientIds.h"
#include "install/res/InstallIds.h"
#include "site/CompleteUpload.h"
#include "site/LoginDlg.h"
#include "site/LoginSequence.h"
#include "torrent/MyProgress.h"
#include "upload/AboutDlg.h"
#include "upload/KestrelDlg.h"
#include "upload/res/UploadIds.h"
#include "win/FilePtr.h"
#include "win/Handles.h"
#include "win/MessageBox.h"

namespace {

class TemplateDialog : public win::CDialog {
  public:
    explicit TemplateDialog(UINT id) : CDialog(id) {}
};

// A large sparse file to hash while the picture is taken; it costs no disk.
std::string makeSparseFile(LONGLONG size) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "gallery-content.bin";
    const win::CHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = size;
    SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN);
    SetEndOfFile(file.get());
    return path;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The picture of the dialog on show, taken in steps by a timer of the dialog's own thread (the
// modal loop runs it): the dialog is found, painted, its rectangle written for the screenshot
// taker, and closed once the picture is done.
struct Shot {
    std::string rectFile;
    std::string doneFile;
    HWND dialog = nullptr;
    bool maximise = false;
    ULONGLONG seenAt = 0;
    bool painted = false;
    ULONGLONG rectAt = 0;  // 0 until the rectangle is written
};
Shot g_shot;

constexpr DWORD kPaintMs = 800;      // from the dialog's appearance to its painting
constexpr DWORD kSettleMs = 200;     // from the painting to the picture
constexpr DWORD kPictureMs = 60000;  // the longest wait for the picture
constexpr DWORD kAppearMs = 120000;  // the longest wait for the dialog

BOOL CALLBACK findShownDialog(HWND hwnd, LPARAM) {
    char className[16] = {};
    GetClassNameA(hwnd, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(hwnd)) {
        g_shot.dialog = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK takeShot(HWND, UINT, UINT_PTR timer, DWORD) {
    const ULONGLONG now = GetTickCount64();
    if (g_shot.dialog == nullptr) {
        EnumThreadWindows(GetCurrentThreadId(), findShownDialog, 0);
        g_shot.seenAt = now;
        if (g_shot.dialog != nullptr && g_shot.maximise)
            ShowWindow(g_shot.dialog, SW_MAXIMIZE);
        return;
    }
    if (!g_shot.painted) {
        if (now - g_shot.seenAt < kPaintMs)
            return;
        if (!g_shot.maximise)
            RedrawWindow(g_shot.dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        g_shot.painted = true;
        g_shot.seenAt = now;
        return;
    }
    if (g_shot.rectAt == 0) {
        if (now - g_shot.seenAt < kSettleMs)
            return;
        RECT r{};
        GetWindowRect(g_shot.dialog, &r);
        if (const win::CFilePtr f{std::fopen(g_shot.rectFile.c_str(), "w")})
            std::fprintf(f.get(), "%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
        g_shot.rectAt = now;
        return;
    }
    if (fileExists(g_shot.doneFile) || now - g_shot.rectAt >= kPictureMs) {
        KillTimer(nullptr, timer);
        PostMessageA(g_shot.dialog, WM_CLOSE, 0, 0);
    }
}

// A dialog that never shows is closed from here.
void CALLBACK giveUp(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (g_shot.rectAt == 0) {
        EnumThreadWindows(GetCurrentThreadId(), findShownDialog, 0);
        if (g_shot.dialog != nullptr)
            PostMessageA(g_shot.dialog, WM_CLOSE, 0, 0);
    }
}

// Runs `modal` (a dialog, or a message box, which is a dialog too) while its picture is taken.
int show(const std::function<void()>& modal, const std::string& outDir, const std::string& name, bool maximise) {
    g_shot = Shot{};
    g_shot.maximise = maximise;
    g_shot.rectFile = outDir + "/" + name + ".rect";
    g_shot.doneFile = outDir + "/" + name + ".done";
    const UINT_PTR steps = SetTimer(nullptr, 0, 50, takeShot);
    const UINT_PTR limit = SetTimer(nullptr, 0, kAppearMs, giveUp);
    modal();
    KillTimer(nullptr, steps);
    KillTimer(nullptr, limit);
    return g_shot.rectAt != 0 ? 0 : 1;
}

int show(win::CDialog& dialog, const std::string& outDir, const std::string& name, bool maximise = false) {
    return show([&dialog] { dialog.DoModal(); }, outDir, name, maximise);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: dialog_gallery about|main|main-max|progress|login|findexe|selectclient|setup|backendwait|"
                     "installed|update-not-opened "
                     "OUTDIR\n");
        return 2;
    }
    const std::string name = argv[1];
    const std::string outDir = argv[2];
    INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
    InitCommonControlsEx(&controls);
    CKestrelApp app;
    app.setIdentity();
    app.useProgramRegistryKey();
    const AppState& state = app.state();

    if (name == "about") {
        CAboutDlg dialog(state.m_title, state.m_notice);
        return show(dialog, outDir, name);
    }
    if (name == "backendwait") {
        CompleteUpload dialog;
        return show(dialog, outDir, name);
    }
    if (name == "login") {
        CLoginDlg dialog({state.m_title, state.m_buildNumber, app.profile()});
        return show(dialog, outDir, name);
    }
    // Two of the program's messages.
    if (name == "installed") {  // as CWinStartupHost::success shows it
        return show([] { appMessageBox("Installation Complete! Enjoy...", MB_OK | MB_ICONINFORMATION); }, outDir, name,
                    false);
    }
    if (name == "update-not-opened") {
        const std::string text = std::string(site::login::kUpdateNotOpened) + "https://localhost/Seedwright-setup.exe";
        return show([&text] { appMessageBox(text); }, outDir, name, false);
    }
    if (name == "main" || name == "main-max") {
        KestrelInputs inputs;
        inputs.title = state.m_title;
        inputs.notice = state.m_notice;
        inputs.session.m_categories = {"1;Movies", "2;TV Shows", "3;Music"};
        CKestrelDlg dialog(inputs);
        return show(dialog, outDir, name, name == "main-max");
    }
    if (name == "progress") {
        // A real build, cancelled when the picture has been taken.
        const std::string content = makeSparseFile(16ll << 30);
        const std::string output = content + ".torrent";
        int result = 0;
        {
            CMyProgress dialog;
            dialog.m_sourcePath = content;
            dialog.m_outputPath = output;
            dialog.m_singleFile = true;
            result = show(dialog, outDir, name);
        }
        DeleteFileA(content.c_str());
        DeleteFileA(output.c_str());
        return result;
    }
    const struct {
        const char* name;
        UINT id;
    } bare[] = {{"findexe", IDD_FINDEXE}, {"selectclient", IDD_SELECTCLIENT}, {"setup", IDD_SETUP}};
    for (const auto& entry : bare) {
        if (name == entry.name) {
            TemplateDialog dialog(entry.id);
            return show(dialog, outDir, name);
        }
    }
    std::fprintf(stderr, "unknown dialog %s\n", name.c_str());
    return 2;
}
