#include "app/KestrelApp.h"

#include "app/SettingsLayout.h"

void CKestrelApp::setIdentity() {
    state().setIdentity();
    m_appName = state().m_title;
}

void CKestrelApp::useProgramRegistryKey() {
    setRegistryKey(settings::kRegistryKeyName);
}
