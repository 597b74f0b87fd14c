// Shows one of the program's dialogs for a screenshot: dialog_gallery NAME OUTDIR.
// Once the dialog is up it writes OUTDIR/NAME.rect ("left top right bottom", screen
// pixels) and keeps the dialog open until OUTDIR/NAME.done exists. Dialogs whose classes
// exist are shown through them; the others as their bare templates.

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "app/KestrelApp.h"
#include "app/state/AppState.h"
#include "client/res/ClientIds.h"
#include "install/res/InstallIds.h"
#include "site/CompleteUpload.h"
#include "site/LoginDlg.h"
#include "tests/support/ModalDriver.h"
#include "torrent/MyProgress.h"
#include "upload/AboutDlg.h"
#include "upload/res/UploadIds.h"
#include "win/ResizeDlg.h"

namespace {

class TemplateDialog : public win::CDialog {
  public:
    explicit TemplateDialog(UINT id) : CDialog(id) {}
};

class ResizableTemplate : public CResizeDlg {
  public:
    explicit ResizableTemplate(UINT id) : CResizeDlg(id) {}
};

// A large sparse file to hash while the picture is taken; it costs no disk.
std::string makeSparseFile(LONGLONG size) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "gallery-content.bin";
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = size;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    return path;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int show(win::CDialog& dialog, const std::string& outDir, const std::string& name) {
    const auto run = testing_support::runModal(
        dialog,
        [&](HWND dlg) {
            Sleep(800);  // let it paint
            RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            Sleep(200);
            RECT r{};
            GetWindowRect(dlg, &r);
            const std::string rectFile = outDir + "/" + name + ".rect";
            if (FILE* f = std::fopen(rectFile.c_str(), "w")) {
                std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
                std::fclose(f);
            }
            testing_support::waitUntil([&] { return fileExists(outDir + "/" + name + ".done"); }, 60000);
            PostMessageA(dlg, WM_CLOSE, 0, 0);
        },
        120000);
    return run.seen ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: dialog_gallery about|main|progress|login|findexe|selectclient|setup|backendwait "
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

    if (name == "about") {
        CAboutDlg dialog;
        return show(dialog, outDir, name);
    }
    if (name == "backendwait") {
        CompleteUpload dialog;
        return show(dialog, outDir, name);
    }
    if (name == "login") {
        CLoginDlg dialog;
        return show(dialog, outDir, name);
    }
    if (name == "main") {
        ResizableTemplate dialog(IDD_SEEDWRIGHT_DIALOG);
        return show(dialog, outDir, name);
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
