#include "win/App.h"

#include "win/Handles.h"

namespace win {

namespace {
CApp* g_instance = nullptr;
}

CApp::CApp() : m_hInstance(GetModuleHandleA(nullptr)) {
    g_instance = this;
}

CApp::~CApp() {
    if (g_instance == this)
        g_instance = nullptr;
}

CApp* CApp::instance() {
    return g_instance;
}

int CApp::run() {
    InitInstance();
    return 0;
}

}  // namespace win
