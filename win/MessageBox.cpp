#include "win/MessageBox.h"

namespace {
thread_local HWND t_owner = nullptr;

std::string& caption() {
    static std::string text;
    return text;
}
}  // namespace

void win::setMessageCaption(const std::string& text) {
    caption() = text;
}

CMessageOwner::CMessageOwner(HWND owner) : m_previous(t_owner) {
    t_owner = owner;
}

CMessageOwner::~CMessageOwner() {
    t_owner = m_previous;
}

UINT win::withDefaultIcon(UINT type) {
    if ((type & MB_ICONMASK) != 0)
        return type;
    const UINT buttons = type & MB_TYPEMASK;
    if (buttons == MB_OK || buttons == MB_OKCANCEL)
        return type | MB_ICONEXCLAMATION;
    if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL)
        return type | MB_ICONQUESTION;
    return type;
}

int appMessageBox(const std::string& text, UINT type) {
    return MessageBoxA(t_owner ? t_owner : GetActiveWindow(), text.c_str(), caption().c_str(),
                       win::withDefaultIcon(type));
}
