#include "app/KestrelApp.h"

#include "app/state/SettingsLayout.h"
#include "win/MessageBox.h"

void CKestrelApp::setIdentity() {
    state().setIdentity();
    setApplicationName(state().m_title);
}

void CKestrelApp::useProgramRegistryKey() {
    setRegistryKey(app::settings::kRegistryKeyName);
}

void CKestrelApp::setApplicationName(const std::string& name) {
    m_appName = name;
    win::setMessageCaption(name);
    updateProfileKey();
}

void CKestrelApp::setRegistryKey(const std::string& name) {
    m_registryKey = name;
    updateProfileKey();
}

void CKestrelApp::updateProfileKey() {
    setProfileKey(m_registryKey.empty() || m_appName.empty() ? std::string()
                                                             : app::settings::profileKey(m_registryKey, m_appName));
}
