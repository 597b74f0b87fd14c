#pragma once
// Thin helpers over the dialog controls: each holds a window handle it does not own and
// turns one operation into one message.

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "win/CodePage.h"

namespace win {

class CControl {
  public:
    CControl() = default;
    explicit CControl(HWND hwnd) : m_hWnd(hwnd) {}

    void attach(HWND hwnd) { m_hWnd = hwnd; }
    HWND hwnd() const { return m_hWnd; }

    void setText(const std::string& text) const { SetWindowTextA(m_hWnd, text.c_str()); }
    std::string text() const {
        std::vector<char> buffer(static_cast<size_t>(GetWindowTextLengthA(m_hWnd)) + 1);
        const int length = GetWindowTextA(m_hWnd, buffer.data(), static_cast<int>(buffer.size()));
        return std::string(buffer.data(), static_cast<size_t>(length > 0 ? length : 0));
    }
    void enable(bool on) const { EnableWindow(m_hWnd, on); }
    bool isEnabled() const { return IsWindowEnabled(m_hWnd) != FALSE; }
    void show(bool on) const { ShowWindow(m_hWnd, on ? SW_SHOW : SW_HIDE); }
    bool isVisible() const { return IsWindowVisible(m_hWnd) != FALSE; }

  protected:
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageA(m_hWnd, message, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
};

class CStatic : public CControl {
  public:
    HANDLE setImage(UINT type, HANDLE image) const {
        return reinterpret_cast<HANDLE>(send(STM_SETIMAGE, type, reinterpret_cast<LPARAM>(image)));
    }
};

class CEdit : public CControl {
  public:
    void setReadOnly(bool on) const { send(EM_SETREADONLY, on ? TRUE : FALSE); }
    void setSel(int start, int end) const { send(EM_SETSEL, static_cast<WPARAM>(start), end); }
};

class CButton : public CControl {
  public:
    void click() const { send(BM_CLICK); }
};

class CCheckBox : public CButton {
  public:
    bool isChecked() const { return send(BM_GETCHECK) == BST_CHECKED; }
    void setChecked(bool on) const { send(BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED); }
};

class CComboBox : public CControl {
  public:
    int addString(const std::string& text) const {
        return static_cast<int>(send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int count() const { return static_cast<int>(send(CB_GETCOUNT)); }
    int curSel() const { return static_cast<int>(send(CB_GETCURSEL)); }
    void setCurSel(int index) const { send(CB_SETCURSEL, static_cast<WPARAM>(index)); }
    std::string itemText(int index) const {
        const LRESULT length = send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
        if (length < 0)
            return std::string();
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
        return buffer.data();
    }
    LPARAM itemData(int index) const { return send(CB_GETITEMDATA, static_cast<WPARAM>(index)); }
    void setItemData(int index, LPARAM data) const { send(CB_SETITEMDATA, static_cast<WPARAM>(index), data); }
    bool isDroppedDown() const { return send(CB_GETDROPPEDSTATE) != FALSE; }
    void resetContent() const { send(CB_RESETCONTENT); }
};

class CListView : public CControl {
  public:
    int insertColumn(int index, const std::string& heading, int width, int format = LVCFMT_LEFT) const {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = format;
        column.cx = width;
        column.pszText = const_cast<char*>(heading.c_str());
        column.iSubItem = index;
        return static_cast<int>(send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
    }
    int insertItem(int index, const std::string& text, LPARAM data) const {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = index;
        item.pszText = const_cast<char*>(text.c_str());
        item.lParam = data;
        return static_cast<int>(send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    }
    void setItemText(int index, int subItem, const std::string& text) const {
        LVITEMA item{};
        item.iSubItem = subItem;
        item.pszText = const_cast<char*>(text.c_str());
        send(LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
    std::string itemText(int index, int subItem) const {
        char buffer[win::codepage::kPathBytes] = {};
        LVITEMA item{};
        item.iSubItem = subItem;
        item.pszText = buffer;
        item.cchTextMax = sizeof buffer;
        send(LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    LPARAM itemData(int index) const {
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        return send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
    }
    bool deleteItem(int index) const { return send(LVM_DELETEITEM, static_cast<WPARAM>(index)) != 0; }
    int itemCount() const { return static_cast<int>(send(LVM_GETITEMCOUNT)); }
    int nextItem(int start, UINT flags) const {
        return static_cast<int>(send(LVM_GETNEXTITEM, static_cast<WPARAM>(start), static_cast<LPARAM>(flags)));
    }
    void setExtendedStyle(DWORD style) const { send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)); }
    void setItemState(int index, UINT state, UINT mask) const {
        LVITEMA item{};
        item.state = state;
        item.stateMask = mask;
        send(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
};

class CProgressBar : public CControl {
  public:
    void setRange(int low, int high) const { send(PBM_SETRANGE32, static_cast<WPARAM>(low), high); }
    void setStep(int step) const { send(PBM_SETSTEP, static_cast<WPARAM>(step)); }
    void setPos(int position) const { send(PBM_SETPOS, static_cast<WPARAM>(position)); }
    int pos() const { return static_cast<int>(send(PBM_GETPOS)); }
    int rangeHigh() const { return static_cast<int>(send(PBM_GETRANGE, FALSE)); }
};

}  // namespace win
