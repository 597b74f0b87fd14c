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
    return MessageBoxA(t_owner ? t_owner : GetActiveWindow(), text.c_str(), caption().c_str(),
                       win::withDefaultIcon(type));
}
