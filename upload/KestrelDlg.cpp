#include "upload/KestrelDlg.h"

#include <commdlg.h>

#include <iterator>
#include <utility>

#include "app/state/res/ProgramIds.h"
#include "install/ShellHelpers.h"
#include "site/FormWire.h"
#include "upload/AboutDlg.h"
#include "upload/ChooserFolders.h"
#include "upload/FileChecks.h"
#include "upload/InputChecks.h"
#include "upload/KestrelAnchors.h"
#include "upload/PictureRows.h"
#include "upload/res/UploadIds.h"
#include "win/CodePage.h"
#include "win/Handles.h"
#include "win/MessageBox.h"

namespace {

constexpr UINT kAboutCommand = 16;
// Posted by the worker as its last act.
constexpr UINT kUploadEnded = WM_APP + 1;
const int kCategoryIds[upload::category::kListCount] = {IDC_CATEGORY, IDC_SUBCATEGORY1, IDC_SUBCATEGORY2,
                                                        IDC_SUBCATEGORY3, IDC_SUBCATEGORY4};
// What the upload reads: none of it changes while an upload runs.
const int kUploadInputs[] = {IDC_UPLOAD_FILE,    IDC_UPLOAD_FOLDER, IDC_PATH,         IDC_BROWSE,       IDC_CATEGORY,
                             IDC_SUBCATEGORY1,   IDC_SUBCATEGORY2,  IDC_SUBCATEGORY3, IDC_SUBCATEGORY4, IDC_ADD_PICTURE,
                             IDC_REMOVE_PICTURE, IDC_NAME,          IDC_DESCRIPTION};

// What the site shows as pictures.
const char kPictureFilter[] = "Pictures (*.jpg;*.jpeg;*.png;*.gif)\0*.jpg;*.jpeg;*.png;*.gif\0";

// The file-open dialog, opened in `folder` (empty: where the system opens it) and showing only
// what `filter` lets through (null: every file).
bool openFileName(HWND owner, std::string& path, const std::string& folder, const char* filter = nullptr) {
    char buffer[win::codepage::kPathBytes] = {};
    OPENFILENAMEA request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFile = buffer;
    request.nMaxFile = sizeof buffer;
    request.lpstrFilter = filter;
    request.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    // The program's current folder stays its working folder.
    request.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&request))
        return false;
    path = buffer;
    return true;
}

}  // namespace

CKestrelDlg::CKestrelDlg(KestrelInputs inputs, HWND parent)
    : CResizeDlg(IDD_SEEDWRIGHT_DIALOG, parent), m_inputs(std::move(inputs)) {
    m_hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SEEDWRIGHT));
}

CKestrelDlg::~CKestrelDlg() {
    m_worker.wait();
}

void CKestrelDlg::bindControls() {
    bind(m_path, IDC_PATH);
    bind(m_browse, IDC_BROWSE);
    for (int i = 0; i < upload::category::kListCount; ++i)
        bind(m_categories[i], kCategoryIds[i]);
    bind(m_removePicture, IDC_REMOVE_PICTURE);
    bind(m_pictureList, IDC_PICTURES);
    bind(m_name, IDC_NAME);
    bind(m_description, IDC_DESCRIPTION);
    bind(m_upload, IDC_UPLOAD);
    bind(m_quit, IDCANCEL);
    bind(m_cancelUpload, IDC_CANCEL_UPLOAD);
    bind(m_status, IDC_STATUS);
}

BOOL CKestrelDlg::OnInitDialog() {
    CResizeDlg::OnInitDialog();
    bindControls();

    m_fileMode = true;
    m_path.enable(false);
    m_browse.enable(false);

    const HMENU systemMenu = GetSystemMenu(hwnd(), FALSE);
    char about[128] = {};
    if (systemMenu && LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof about) > 0) {
        AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(systemMenu, MF_STRING, kAboutCommand, about);
    }
    SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    for (const KestrelAnchor& anchor : kKestrelAnchors)
        addAnchor(anchor.id, anchor.mode1, anchor.mode2, anchor.mode3, anchor.mode4, anchor.options);
    setMinimumSize(kKestrelMinimumWidth, kKestrelMinimumHeight);

    setWindowText(m_inputs.title + " - " + m_inputs.notice);
    fillCategories();

    m_pictureList.insertColumn(0, " Nr", 45);
    m_pictureList.insertColumn(1, " Pic Filename", 200);
    m_pictureList.insertColumn(2, " Size", 80);
    m_pictureList.setExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);

    m_removePicture.show(false);
    m_keys = std::make_unique<win::CMessageFilter>([this](MSG& message) { return filterKey(message); });
    BringWindowToTop(hwnd());
    return TRUE;
}

void CKestrelDlg::fillCategories() {
    m_categories[0].setItemData(m_categories[0].addString("Select Category"), upload::category::kPlaceholder);
    m_categories[0].setCurSel(0);
    for (int i = 1; i < upload::category::kListCount; ++i) {
        m_categories[i].setItemData(m_categories[i].addString("(optional)"), upload::category::kPlaceholder);
        m_categories[i].setCurSel(0);
        m_categories[i].enable(false);
    }
    for (const std::string& entry : m_inputs.session.m_categories) {
        long id = 0;
        std::string name;
        if (!upload::category::parseEntry(entry, id, name))
            continue;
        for (win::CComboBox& list : m_categories)
            list.setItemData(list.addString(name), id);
    }
}

long CKestrelDlg::categoryValue(int list) const {
    const int selected = m_categories[list].curSel();
    return selected < 0 ? upload::category::kPlaceholder : long(m_categories[list].itemData(selected));
}

std::vector<long> CKestrelDlg::entryValues(int list) const {
    std::vector<long> values;
    for (int i = 0, count = m_categories[list].count(); i < count; ++i)
        values.push_back(long(m_categories[list].itemData(i)));
    return values;
}

bool CKestrelDlg::takeTypedCategory() {
    const win::CComboBox& box = m_categories[0];
    const std::string typed = box.text();
    const int selected = box.curSel();
    std::vector<std::string> names;
    for (int i = 0, count = box.count(); i < count; ++i)
        names.push_back(box.itemText(i));
    if (selected >= 0 && size_t(selected) < names.size() && typed == names[size_t(selected)])
        return true;
    const int entry = upload::category::typedEntry(typed, names);
    if (entry < 0)
        return false;
    box.setCurSel(entry);
    onCategoryChanged(0);
    return true;
}

bool CKestrelDlg::OnCommand(WORD code, WORD id, HWND /*control*/) {
    if (code == CBN_SELCHANGE) {
        for (int i = 0; i < upload::category::kListCount; ++i)
            if (id == kCategoryIds[i]) {
                onCategoryChanged(i);
                return true;
            }
        return false;
    }
    if (code != BN_CLICKED)
        return false;
    // The context menu's Remove comes this way too; the worker reads the list meanwhile.
    if ((id == IDC_ADD_PICTURE || id == IDC_REMOVE_PICTURE) && m_busy.load())
        return true;
    switch (id) {
        case IDC_BROWSE:
            browse();
            return true;
        case IDC_UPLOAD_FILE:
        case IDC_UPLOAD_FOLDER:
            m_fileMode = id == IDC_UPLOAD_FILE;
            m_path.enable(true);
            m_browse.enable(true);
            return true;
        case IDC_ADD_PICTURE:
            onAddPicture();
            return true;
        case IDC_REMOVE_PICTURE:
            removePicture();
            return true;
        case IDC_UPLOAD:
            onUpload();
            return true;
        case IDC_CANCEL_UPLOAD:
            cancelUpload();
            return true;
        default:
            return false;
    }
}

void CKestrelDlg::browse() {
    // Both open where the path box points.
    std::string path = m_path.text();
    if (m_fileMode ? openFileName(hwnd(), path, upload::choosers::folderOf(path)) : chooseFolder(hwnd(), path))
        m_path.setText(path);
}

void CKestrelDlg::onAddPicture() {
    const std::string folder = upload::choosers::pictureFolder(
        m_pictures.empty() ? std::string() : m_pictures.back()->m_path, m_path.text(), m_fileMode);
    std::string path;
    if (openFileName(hwnd(), path, folder, kPictureFilter))
        addPicture(path);
}

bool CKestrelDlg::addPicture(const std::string& path) {
    const upload::PictureLook look = upload::lookAtPicture(path);
    if (look.problem == upload::PictureProblem::Missing || look.problem == upload::PictureProblem::Unreadable) {
        appMessageBox("Open Error\n");
        return false;
    }
    if (look.problem == upload::PictureProblem::TooLarge || look.problem == upload::PictureProblem::NotAPicture) {
        appMessageBox(upload::addPictureRefusal(path, look));
        return false;
    }
    // Each picture goes to the site once: a second row of the same file would post it twice.
    for (const std::unique_ptr<picture>& listed : m_pictures)
        if (upload::sameFile(listed->m_path, path)) {
            appMessageBox(upload::addPictureRefusal(path, upload::kPictureListed));
            return false;
        }
    auto added = std::make_unique<picture>();
    added->m_path = path;
    added->m_fileSize = look.size;

    picture* record = added.get();
    m_pictures.push_back(std::move(added));
    record->m_row = m_pictureList.insertItem(0, upload::pictures::numberText(long(m_pictures.size())),
                                             reinterpret_cast<LPARAM>(record));
    m_pictureList.setItemText(record->m_row, 1, fileNamePart(path));
    m_pictureList.setItemText(record->m_row, 2, upload::pictures::sizeText(record->m_fileSize));
    return true;
}

void CKestrelDlg::removePicture() {
    const int row = m_pictureList.nextItem(-1, LVNI_SELECTED);
    if (row < 0)
        return;
    const picture* record = reinterpret_cast<const picture*>(m_pictureList.itemData(row));
    if (record) {
        m_pictureList.deleteItem(row);
        m_pictures.remove_if([record](const std::unique_ptr<picture>& p) { return p.get() == record; });
    }
    for (int i = 0, count = m_pictureList.itemCount(); i < count; ++i)
        m_pictureList.setItemText(i, 0, upload::pictures::numberText(i + 1));
}

void CKestrelDlg::onCategoryChanged(int list) {
    long values[upload::category::kListCount];
    for (int i = 0; i < upload::category::kListCount; ++i)
        values[i] = categoryValue(i);
    if (list == m_keyList) {
        // A key stepped onto an entry the rules refuse: it steps on rather than starting over.
        const std::vector<long> entries = entryValues(list);
        const int landed = m_categories[list].curSel();
        const int chosen = upload::category::keyboardLanding(values, list, entries, landed, m_keyDirection);
        if (chosen != landed) {
            m_categories[list].setCurSel(chosen);
            values[list] = entries[size_t(chosen)];
        }
    }
    const upload::category::Change change = upload::category::onSelectionChanged(values, list);
    for (int i = 0; i < upload::category::kListCount; ++i) {
        if (change.resetMask & (1u << i))
            m_categories[i].setCurSel(0);
        if (change.enableMask & (1u << i))
            m_categories[i].enable(true);
        if (change.disableMask & (1u << i))
            m_categories[i].enable(false);
    }
}

bool CKestrelDlg::OnNotify(int id, NMHDR* header, LRESULT& result) {
    if (id != IDC_PICTURES)
        return false;
    switch (header->code) {
        case NM_CLICK:
            m_removePicture.show(m_pictureList.nextItem(-1, LVNI_SELECTED) >= 0);
            result = 0;
            return true;
        case LVN_ITEMCHANGED: {
            // A row selected with the keyboard offers Remove Picture too, next in the Tab order.
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
            if ((change->uChanged & LVIF_STATE) != 0 && (change->uNewState & LVIS_SELECTED) != 0 && !m_busy.load())
                m_removePicture.show(true);
            return false;
        }
        case NM_SETFOCUS:
            // Where the keyboard stands is shown from the start: on the first row when none is.
            if (m_pictureList.itemCount() > 0 && m_pictureList.nextItem(-1, LVNI_FOCUSED) < 0)
                m_pictureList.setItemState(0, LVIS_FOCUSED, LVIS_FOCUSED);
            return false;
        case NM_RCLICK:
            if (m_pictureList.nextItem(-1, LVNI_SELECTED) < 0 || m_busy.load())
                return false;
            showContextMenu();
            result = 0;
            return true;
        case LVN_COLUMNCLICK:
            result = 0;
            return true;
        default:
            return false;
    }
}

void CKestrelDlg::showContextMenu() {
    const win::CMenu menu(CreatePopupMenu());
    if (!menu.valid())
        return;
    AppendMenuA(menu.get(), MF_STRING, IDC_REMOVE_PICTURE, "Remove");
    POINT at{};
    GetCursorPos(&at);
    TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
}

bool CKestrelDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) != kAboutCommand)
                return false;
            showAbout();
            return true;
        case WM_PAINT:
            return paintMinimised();
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(m_hIcon);
            return true;
        default:
            return CResizeDlg::OnMessage(message, wParam, lParam, result);
    }
}

void CKestrelDlg::showAbout() {
    CAboutDlg about(m_inputs.title, m_inputs.notice, hwnd());
    about.DoModal();
}

bool CKestrelDlg::paintMinimised() {
    if (!IsIconic(hwnd()))
        return false;
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(hwnd(), &paint);
    SendMessageA(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    GetClientRect(hwnd(), &client);
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(hwnd(), &paint);
    return true;
}

// The main dialog has no OK: Enter presses the focused button or does nothing (KestrelKeys.cpp).
void CKestrelDlg::OnOK() {}

void CKestrelDlg::OnCancel() {
    closeWhenIdle(IDCANCEL);
}

bool CKestrelDlg::closeWhenIdle(INT_PTR result) {
    // Escape, Enter, the close box and the system menu all arrive here; none may leave the
    // worker writing to a dialog that is gone. While the upload waits for the site, the member
    // may give it up and quit; the dialog ends once the worker has.
    if (m_busy.load()) {
        // A window of the upload's own stands in front (the hashing, the backend wait, a
        // message): that one is answered first.
        if (m_quitWhenEnded || !IsWindowEnabled(hwnd()) || appMessageBox(kCloseWhileBusy, MB_YESNO) != IDYES)
            return false;
        if (m_busy.load()) {
            m_quitWhenEnded = true;
            cancelUpload();
            return false;
        }
        // It ended while the question showed.
    }
    m_worker.wait();  // past its last window operation
    tellWhatWaitsOnTheSite();
    EndDialog(result);
    return true;
}

void CKestrelDlg::cancelUpload() {
    if (!m_busy.load())
        return;
    m_cancel.raise();
    m_cancelUpload.enable(false);
    m_status.setText("Cancelling...");
}

// Pictures the site took for a torrent that never followed go with the member's next torrent,
// whenever that is: the site cannot withdraw them.
void CKestrelDlg::tellWhatWaitsOnTheSite() {
    const std::string notice = upload::waitingPicturesNotice(m_onSite);
    if (!notice.empty())
        appMessageBox(notice);
    m_onSite = upload::SiteHolds();
}

void CKestrelDlg::OnDestroy() {
    m_worker.wait();
    m_keys.reset();
    m_pictures.clear();
}

void CKestrelDlg::setBusyState() {
    static_assert(std::size(kUploadInputs) == kUploadInputCount, "one record per input");
    const HWND focus = GetFocus();
    m_focusBeforeBusy = IsChild(hwnd(), focus) ? focus : nullptr;
    for (int i = 0; i < kUploadInputCount; ++i) {
        m_inputWasEnabled[i] = IsWindowEnabled(item(kUploadInputs[i])) != FALSE;
        EnableWindow(item(kUploadInputs[i]), FALSE);
    }
    m_upload.setText("Please wait..");
    m_upload.enable(false);
    m_upload.show(false);
    m_quit.show(false);
    m_cancelUpload.enable(true);
    m_cancelUpload.show(true);
    m_status.setText("Checking input..");
    m_status.show(true);
}

// Also the worker's last act: window operations only, which the interface thread carries out.
void CKestrelDlg::setIdleState() {
    for (int i = 0; i < kUploadInputCount; ++i)
        EnableWindow(item(kUploadInputs[i]), m_inputWasEnabled[i]);
    m_upload.setText("&Upload");
    m_upload.enable(true);
    m_upload.show(true);
    m_quit.show(true);
    m_cancelUpload.show(false);
    m_status.show(false);
    // Disabling took the focus away; it goes back where it was.
    if (m_focusBeforeBusy)
        PostMessageA(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_focusBeforeBusy), TRUE);
}

void CKestrelDlg::postUploadEnded() {
    PostMessageA(hwnd(), kUploadEnded, 0, 0);
}

void CKestrelDlg::uploadEnded() {
    m_worker.wait();  // it has posted its last act
    setIdleState();
    m_busy = false;
    if (m_quitWhenEnded)
        closeWhenIdle(IDCANCEL);
}

bool CKestrelDlg::OnAppMessage(UINT message, WPARAM, LPARAM) {
    if (message != kUploadEnded)
        return false;
    uploadEnded();
    return true;
}

void CKestrelDlg::readJob() {
    upload::UploadJob job;
    job.contentPath = m_path.text();
    job.fileMode = m_fileMode;
    job.description = m_description.text();
    job.category = categoryValue(0);
    for (int i = 0; i < 4; ++i)
        job.subcategories[i] = categoryValue(i + 1);
    job.name = m_name.text();
    for (const std::unique_ptr<picture>& p : m_pictures)
        job.pictures.push_back(p->m_path);

    job.siteHost = m_inputs.session.m_siteHost;
    job.workingFolder = m_inputs.workingFolder;
    job.currentFolder = m_inputs.currentFolder;
    job.newTorrentPath = m_inputs.newTorrentPath;
    job.clients = m_inputs.clients;
    job.onSite = m_onSite;
    m_job = job;
}

void CKestrelDlg::onUpload() {
    if (m_busy.load())
        return;
    // Before the inputs are disabled: the rules may enable the 1st subcategory list.
    const bool categoryNamed = takeTypedCategory();
    setBusyState();

    upload::inputs::Fields fields;
    fields.path = m_path.text();
    fields.category = categoryNamed ? categoryValue(0) : upload::category::kPlaceholder;
    fields.pictureCount = m_pictureList.itemCount();
    fields.name = m_name.text();
    fields.description = m_description.text();
    const upload::inputs::Outcome outcome = upload::inputs::check(fields);
    if (outcome.nameCleaned)
        m_name.setText(outcome.cleanedName);
    if (!outcome.message.empty()) {
        appMessageBox(outcome.message);
        setIdleState();
        return;
    }

    readJob();
    m_worker.wait();  // a finished upload's thread, past its last act
    m_cancel.clear();
    m_busy = true;
    if (!m_worker.start(UploadWorker, this)) {
        m_busy = false;
        setIdleState();
    }
}

namespace {

// Returns the dialog to its idle state on every road out of the worker, an exception's too.
class CIdleWhenDone {
  public:
    explicit CIdleWhenDone(CKestrelDlg& dialog) : m_dialog(dialog) {}
    ~CIdleWhenDone() { m_dialog.postUploadEnded(); }
    CIdleWhenDone(const CIdleWhenDone&) = delete;
    CIdleWhenDone& operator=(const CIdleWhenDone&) = delete;

  private:
    CKestrelDlg& m_dialog;
};

}  // namespace

DWORD WINAPI UploadWorker(void* param) {
    CKestrelDlg* dialog = static_cast<CKestrelDlg*>(param);
    const CIdleWhenDone idle(*dialog);
    // The worker has no window of its own: its boxes stand in front of the main dialog.
    const CMessageOwner owner(dialog->hwnd());
    try {
        std::unique_ptr<upload::UploadServices> own;
        upload::UploadServices* services = dialog->m_services;
        if (!services) {
            own = makeUploadServices(*dialog);
            services = own.get();
        }
        dialog->m_onSite = upload::runUploadGuarded(dialog->m_job, *services);
    } catch (...) {
        // Only making the services can get here; nothing may leave the thread.
        try {
            SetDlgItemTextA(dialog->hwnd(), IDC_STATUS, "Upload Failed...");
            appMessageBox("Upload Failed:\n\nNot enough memory.");
        } catch (...) {
        }
    }
    return 0;
}
