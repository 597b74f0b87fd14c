#include "app/state/AppState.h"

void AppState::setIdentity() {
    m_title = app::kTitle;
    m_notice = app::kNotice;
    m_menuEntriesFailed = false;
    m_elevationNeeded = false;
    m_forced = false;
    m_removalBatch = RemovalBatch();
}

AppState& appState() {
    static AppState state;
    return state;
}
