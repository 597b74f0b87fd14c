#pragma once
// The modal dialog base. A derived dialog names its template and parent, overrides the
// handlers it needs (typed ones for the common messages, OnMessage for the rest) and is run
// with DoModal. One dialog procedure serves every dialog: it
// binds the object at WM_INITDIALOG, dispatches through a plain switch, lets no exception
// reach Windows and forgets the object when the window is destroyed.

#include <windows.h>

#include <string>

namespace win {

class CDialog {
  public:
    CDialog(UINT templateId, HWND parent = nullptr) : m_templateId(templateId), m_parent(parent) {}
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    virtual ~CDialog() = default;

    // Runs the dialog until EndDialog; the result given to EndDialog, or -1 when the
    // window could not be made.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);

    HWND hwnd() const { return m_hWnd; }
    UINT templateId() const { return m_templateId; }
    HWND item(int id) const { return GetDlgItem(m_hWnd, id); }
    template <class Control>
    void bind(Control& control, int id) const {
        control.attach(item(id));
    }

    void setWindowText(const std::string& text) const { SetWindowTextA(m_hWnd, text.c_str()); }
    void setItemText(int id, const std::string& text) const { SetDlgItemTextA(m_hWnd, id, text.c_str()); }
    std::string itemText(int id) const;
    bool setTimer(UINT_PTR id, UINT milliseconds) const { return SetTimer(m_hWnd, id, milliseconds, nullptr) != 0; }
    void killTimer(UINT_PTR id) const { KillTimer(m_hWnd, id); }

  protected:
    // The handlers. Those answering bool return true when they handled the message, false
    // to leave it to the system's default dialog handling.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Runs before OnOK and OnCancel, which get IDOK and IDCANCEL when this leaves them.
    virtual bool OnCommand(WORD /*code*/, WORD /*id*/, HWND /*control*/) { return false; }
    virtual bool OnNotify(int /*id*/, NMHDR* /*header*/, LRESULT& /*result*/) { return false; }
    virtual bool OnTimer(UINT_PTR /*id*/) { return false; }
    virtual bool OnSize(UINT /*type*/, int /*width*/, int /*height*/) { return false; }
    // Every other message. Return true with its result when handled (the base hands the result
    // back the way the message wants it), false to leave it to the system's default dialog
    // handling. An override passes what it does not handle on to its base class's OnMessage.
    virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) {
        return false;
    }
    virtual void OnDestroy() {}
    // Messages of the application's own range (WM_APP and above), such as a worker's report.
    virtual bool OnAppMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return false; }

  private:
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    static bool answersDirectly(UINT message);
    INT_PTR answer(LRESULT result) const;
    void centre() const;
    void keepInWorkArea() const;

    UINT m_templateId;
    HWND m_parent;
    HWND m_hWnd = nullptr;
};

}  // namespace win
