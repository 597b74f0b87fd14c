#include "win/Thread.h"

namespace win {

bool CThread::createSuspended(Function function, void* param) {
    DWORD id = 0;
    m_handle.reset(CreateThread(nullptr, 0, function, param, CREATE_SUSPENDED, &id));
    if (!m_handle.valid())
        return false;
    SetThreadPriority(m_handle.get(), THREAD_PRIORITY_NORMAL);
    return true;
}

bool CThread::resume() {
    return m_handle.valid() && ResumeThread(m_handle.get()) != static_cast<DWORD>(-1);
}

bool CThread::start(Function function, void* param) {
    if (!createSuspended(function, param))
        return false;
    if (resume())
        return true;
    // It never ran a line of its own, so ending it here is safe.
    TerminateThread(m_handle.get(), 1);
    m_handle.reset();
    return false;
}

bool CThread::wait(DWORD milliseconds) const {
    return !m_handle.valid() || WaitForSingleObject(m_handle.get(), milliseconds) == WAIT_OBJECT_0;
}

}  // namespace win
