#include "win/MessageBox.h"

#include "app/AppState.h"

namespace {
thread_local HWND t_owner = nullptr;
}

CMessageOwner::CMessageOwner(HWND owner) : m_previous(t_owner) {
    t_owner = owner;
}

CMessageOwner::~CMessageOwner() {
    t_owner = m_previous;
}

int appMessageBox(const std::string& text, UINT type) {
    if ((type & MB_ICONMASK) == 0) {
        const UINT buttons = type & MB_TYPEMASK;
        if (buttons == MB_OK || buttons == MB_OKCANCEL)
            type |= MB_ICONEXCLAMATION;
        else if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL)
            type |= MB_ICONQUESTION;
    }
    return MessageBoxA(t_owner ? t_owner : GetActiveWindow(), text.c_str(), appState().m_title.c_str(), type);
}
