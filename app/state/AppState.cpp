#include "app/state/AppState.h"

void AppState::setIdentity() {
    m_title = app::kTitle;
    m_notice = app::kNotice;
    m_forced = false;
    m_removalBatch = RemovalBatch();
}
