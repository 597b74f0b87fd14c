#include "win/MessageBox.h"

namespace {
thread_local HWND t_owner = nullptr;
thread_local std::vector<std::string>* t_held = nullptr;

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

CHeldMessages::CHeldMessages() : m_previous(t_held) {
    t_held = &m_texts;
}

CHeldMessages::~CHeldMessages() {
    t_held = m_previous;
}

int appMessageBox(const std::string& text, UINT type) {
    if (t_held && (type & MB_TYPEMASK) == MB_OK) {
        t_held->push_back(text);
        return IDOK;
    }
    if ((type & MB_ICONMASK) == 0) {
        const UINT buttons = type & MB_TYPEMASK;
        if (buttons == MB_OK || buttons == MB_OKCANCEL)
            type |= MB_ICONEXCLAMATION;
        else if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL)
            type |= MB_ICONQUESTION;
    }
    return MessageBoxA(t_owner ? t_owner : GetActiveWindow(), text.c_str(), caption().c_str(), type);
}
