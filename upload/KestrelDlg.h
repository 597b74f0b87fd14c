#pragma once
// The main upload dialog: what to upload, its categories, name, description and pictures.
// The upload button checks the inputs and hands them to the upload worker, which runs on a
// thread of its own and writes back only through window operations (the status text) and, as
// its last act, a posted message after which the dialog joins it and returns to idle. While an
// upload runs the inputs it reads are disabled, and Cancel stands in the upload button's place:
// it gives up the request the upload waits for. Closing the dialog then asks first, and cancels.
// Enter and Escape never end it: only Quit, the close box, Alt+F4 and the system menu do.

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "app/state/AppState.h"
#include "upload/CategoryRules.h"
#include "upload/UploadSequence.h"
#include "win/Controls.h"
#include "win/Handles.h"
#include "win/MessageFilter.h"
#include "win/ResizeDlg.h"
#include "win/Thread.h"

// One chosen picture.
struct picture {
    int32_t m_row = -1;
    std::string m_path;
    uint64_t m_fileSize = 0;
};

// What the main dialog is given: the program's title and notice (its caption and the About box;
// the title also names the torrent's creator), the site session of the login, and the places
// and clients an upload uses.
struct KestrelInputs {
    std::string title;
    std::string notice;
    SiteSession session;
    std::string workingFolder;
    std::string currentFolder;
    std::string newTorrentPath;
    upload::ClientPaths clients;
};

class CKestrelDlg : public CResizeDlg {
  public:
    explicit CKestrelDlg(KestrelInputs inputs, HWND parent = nullptr);
    ~CKestrelDlg() override;

    const KestrelInputs& inputs() const { return m_inputs; }

    // The commands behind the file choosers, for a path already chosen.
    bool addPicture(const std::string& path);
    void removePicture();

    bool m_fileMode = true;
    std::list<std::unique_ptr<picture>> m_pictures;  // oldest first
    HICON m_hIcon = nullptr;

    // What the worker uploads, read from the controls when the upload starts.
    upload::UploadJob m_job;
    // What the session's uploads left on the site: handed back by the worker as it ends, read
    // into the next job, and told to the member when the dialog closes.
    upload::SiteHolds m_onSite;
    // The outside world of the upload; null: the real one.
    upload::UploadServices* m_services = nullptr;

    bool isBusy() const { return m_busy.load(); }
    // The upload button, Quit and status line as they stand between uploads.
    void setIdleState();
    // Raised by Cancel and by closing while an upload runs; the upload's waits watch it.
    const win::CSignal& cancelSignal() const { return m_cancel; }
    // The worker's last act: the dialog joins it and returns to idle on its own thread.
    void postUploadEnded();

    // "Yes" to closing while an upload runs.
    static constexpr const char* kCloseWhileBusy = "An upload is still running. Cancel it and quit Seedwright?";

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT& result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;

  private:
    // Draws the icon in the middle of the minimised window; false while the window is shown.
    bool paintMinimised();
    void bindControls();
    void fillCategories();
    void browse();
    void onAddPicture();
    void onCategoryChanged(int list);
    // Text typed into the category box that names an entry selects it; false when the box
    // holds text that is no entry's name.
    bool takeTypedCategory();
    std::vector<long> entryValues(int list) const;
    void showContextMenu();
    void showAbout();
    void onUpload();
    void cancelUpload();
    void uploadEnded();
    void setBusyState();
    void readJob();
    long categoryValue(int list) const;
    bool closeWhenIdle(INT_PTR result);
    void tellWhatWaitsOnTheSite();

    // The keyboard (KestrelKeys.cpp): Enter, Escape and the keys that step through a list.
    bool filterKey(MSG& message);
    int categoryListHolding(HWND window) const;

    const KestrelInputs m_inputs;
    win::CEdit m_path;
    win::CButton m_browse;
    win::CComboBox m_categories[upload::category::kListCount];
    win::CButton m_removePicture;
    win::CListView m_pictureList;
    win::CEdit m_name;
    win::CEdit m_description;
    win::CButton m_upload;
    win::CButton m_quit;
    win::CButton m_cancelUpload;
    win::CStatic m_status;

    win::CThread m_worker;
    std::atomic<bool> m_busy{false};
    win::CSignal m_cancel;
    bool m_quitWhenEnded = false;  // the member chose to quit while the upload ran

    std::unique_ptr<win::CMessageFilter> m_keys;
    // While a key that steps through category list m_keyList is handled: its direction.
    int m_keyList = -1;
    int m_keyDirection = 0;

    // The inputs disabled while busy (kUploadInputs in KestrelDlg.cpp), and whether each was
    // enabled before.
    static constexpr int kUploadInputCount = 13;
    bool m_inputWasEnabled[kUploadInputCount] = {};
    HWND m_focusBeforeBusy = nullptr;
};

// The upload worker's thread function; its argument is the dialog.
DWORD WINAPI UploadWorker(void* dialog);

// The services the worker uses when the dialog names none.
std::unique_ptr<upload::UploadServices> makeUploadServices(CKestrelDlg& dialog);
