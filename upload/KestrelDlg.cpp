#include "upload/KestrelDlg.h"

#include <commdlg.h>

#include <cstdio>

#include "app/AppState.h"
#include "app/res/resource.h"
#include "install/ShellHelpers.h"
#include "site/FormWire.h"
#include "upload/AboutDlg.h"
#include "upload/InputChecks.h"
#include "upload/PictureRows.h"
#include "win/CodePage.h"
#include "win/MessageBox.h"

namespace {

constexpr UINT kAboutCommand = 16;
const int kCategoryIds[category::kListCount] = {IDC_CATEGORY, IDC_SUBCATEGORY1, IDC_SUBCATEGORY2, IDC_SUBCATEGORY3,
                                                IDC_SUBCATEGORY4};

bool openFileName(HWND owner, std::string& path) {
    char buffer[codepage::kPathBytes] = {};
    OPENFILENAMEA request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFile = buffer;
    request.nMaxFile = sizeof buffer;
    request.Flags = OFN_EXPLORER;
    if (!GetOpenFileNameA(&request))
        return false;
    path = buffer;
    return true;
}

}  // namespace

CKestrelDlg::CKestrelDlg(HWND parent) : CResizeDlg(IDD_SEEDWRIGHT_DIALOG, parent) {
    m_hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SEEDWRIGHT));
}

CKestrelDlg::~CKestrelDlg() {
    m_worker.wait();
}

void CKestrelDlg::bindControls() {
    bind(m_path, IDC_PATH);
    bind(m_browse, IDC_BROWSE);
    for (int i = 0; i < category::kListCount; ++i)
        bind(m_categories[i], kCategoryIds[i]);
    bind(m_removePicture, IDC_REMOVE_PICTURE);
    bind(m_pictureList, IDC_PICTURES);
    bind(m_name, IDC_NAME);
    bind(m_description, IDC_DESCRIPTION);
    bind(m_upload, IDC_UPLOAD);
    bind(m_quit, IDCANCEL);
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

    addAnchor(IDC_NAME, 0, 1, 2, 0, 1);
    addAnchor(IDC_DESCRIPTION, 0, 1, 2, 1, 1);
    addAnchor(IDC_NOTE, 2, 0, 0, 2, 1);
    addAnchor(IDC_PICTURES, 0, 1, 2, 0, 1);
    addAnchor(IDC_UPLOAD, 2, 0, 0, 2, 0);
    addAnchor(IDCANCEL, 0, 2, 2, 2, 0);

    setWindowText(appState().m_title + " - " + appState().m_notice);
    fillCategories();

    m_pictureList.insertColumn(0, " Nr", 45);
    m_pictureList.insertColumn(1, " Pic Filename", 200);
    m_pictureList.insertColumn(2, " Size", 80);
    m_pictureList.setExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);

    m_removePicture.show(false);
    BringWindowToTop(hwnd());
    return TRUE;
}

void CKestrelDlg::fillCategories() {
    m_categories[0].setItemData(m_categories[0].addString("Select Category"), category::kPlaceholder);
    m_categories[0].setCurSel(0);
    for (int i = 1; i < category::kListCount; ++i) {
        m_categories[i].setItemData(m_categories[i].addString("(optional)"), category::kPlaceholder);
        m_categories[i].setCurSel(0);
        m_categories[i].enable(false);
    }
    for (const std::string& entry : appState().m_session.m_categories) {
        long id = 0;
        std::string name;
        if (!category::parseEntry(entry, id, name))
            continue;
        for (win::CComboBox& list : m_categories)
            list.setItemData(list.addString(name), id);
    }
}

long CKestrelDlg::categoryValue(int list) const {
    const int selected = m_categories[list].curSel();
    return selected < 0 ? category::kPlaceholder : long(m_categories[list].itemData(selected));
}

bool CKestrelDlg::OnCommand(WORD code, WORD id, HWND /*control*/) {
    if (code == CBN_SELCHANGE) {
        for (int i = 0; i < category::kListCount; ++i)
            if (id == kCategoryIds[i]) {
                onCategoryChanged(i);
                return true;
            }
        return false;
    }
    if (code != BN_CLICKED)
        return false;
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
        default:
            return false;
    }
}

void CKestrelDlg::browse() {
    std::string path;
    if (m_fileMode ? openFileName(hwnd(), path) : chooseFolder(hwnd(), path))
        m_path.setText(path);
}

void CKestrelDlg::onAddPicture() {
    std::string path;
    if (openFileName(hwnd(), path))
        addPicture(path);
}

bool CKestrelDlg::addPicture(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        appMessageBox("Open Error\n");
        return false;
    }
    auto added = std::make_unique<picture>();
    added->m_path = path;
    _fseeki64(file, 0, SEEK_END);
    added->m_fileSize = uint32_t(_ftelli64(file));  // the low 32 bits of the length
    std::fclose(file);

    picture* record = added.get();
    m_pictures.push_back(std::move(added));
    record->m_row =
        m_pictureList.insertItem(0, pictures::numberText(long(m_pictures.size())), reinterpret_cast<LPARAM>(record));
    m_pictureList.setItemText(record->m_row, 1, fileNamePart(path));
    m_pictureList.setItemText(record->m_row, 2, pictures::sizeText(record->m_fileSize));
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
        m_pictureList.setItemText(i, 0, pictures::numberText(i + 1));
}

void CKestrelDlg::onCategoryChanged(int list) {
    long values[category::kListCount];
    for (int i = 0; i < category::kListCount; ++i)
        values[i] = categoryValue(i);
    const category::Change change = category::onSelectionChanged(values, list);
    for (int i = 0; i < category::kListCount; ++i) {
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
        case NM_RCLICK:
            if (m_pictureList.nextItem(-1, LVNI_SELECTED) < 0)
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
    const HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    AppendMenuA(menu, MF_STRING, IDC_REMOVE_PICTURE, "Remove");
    POINT at{};
    GetCursorPos(&at);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, hwnd(), nullptr);
    DestroyMenu(menu);
}

bool CKestrelDlg::OnSysCommand(UINT id, LPARAM /*lParam*/) {
    if ((id & 0xFFF0) == kAboutCommand) {
        showAbout();
        return true;
    }
    return false;
}

void CKestrelDlg::showAbout() {
    CAboutDlg about(hwnd());
    about.DoModal();
}

bool CKestrelDlg::OnPaint() {
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

HICON CKestrelDlg::OnQueryDragIcon() {
    return m_hIcon;
}

void CKestrelDlg::OnOK() {
    closeWhenIdle(IDOK);
}

void CKestrelDlg::OnCancel() {
    closeWhenIdle(IDCANCEL);
}

bool CKestrelDlg::closeWhenIdle(INT_PTR result) {
    // Escape, Enter, the close box and the system menu all arrive here; none may leave the
    // worker writing to a dialog that is gone.
    if (m_busy.load())
        return false;
    m_worker.wait();  // past its last window operation
    EndDialog(result);
    return true;
}

void CKestrelDlg::OnDestroy() {
    m_worker.wait();
    m_pictures.clear();
}

void CKestrelDlg::setBusyState() {
    m_upload.setText("Please wait..");
    m_upload.enable(false);
    m_upload.show(false);
    m_quit.show(false);
    m_status.setText("Checking input..");
    m_status.show(true);
}

void CKestrelDlg::setIdleState() {
    m_upload.setText("Upload");
    m_upload.enable(true);
    m_upload.show(true);
    m_quit.show(true);
    m_status.show(false);
}

void CKestrelDlg::uploadEnded() {
    setIdleState();
    m_busy = false;
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

    const AppState& state = appState();
    job.siteHost = state.m_session.m_siteHost;
    job.workingFolder = state.m_workingFolder;
    job.currentFolder = state.m_currentFolder;
    job.newTorrentPath = state.m_newTorrentPath;
    job.clients.utorrent = state.m_utorrentPath;
    job.clients.azureus = state.m_azureusPath;
    job.clients.clientExe = state.m_clientExePath;
    m_job = job;
}

void CKestrelDlg::onUpload() {
    if (m_busy.load())
        return;
    setBusyState();

    inputs::Fields fields;
    fields.path = m_path.text();
    fields.category = categoryValue(0);
    fields.pictureCount = m_pictureList.itemCount();
    fields.name = m_name.text();
    fields.description = m_description.text();
    const inputs::Outcome outcome = inputs::check(fields);
    if (outcome.nameCleaned)
        m_name.setText(outcome.cleanedName);
    if (!outcome.message.empty()) {
        appMessageBox(outcome.message);
        setIdleState();
        return;
    }

    readJob();
    m_worker.wait();  // a finished upload's thread, past its last act
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
    ~CIdleWhenDone() { m_dialog.uploadEnded(); }
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
        upload::runUploadGuarded(dialog->m_job, *services);
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
