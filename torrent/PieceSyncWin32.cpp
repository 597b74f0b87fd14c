#include <windows.h>

#include "torrent/PieceSync.h"

namespace torrent::pieces {

struct CLock::Impl {
    SRWLOCK m_lock = SRWLOCK_INIT;
};

struct CCondition::Impl {
    CONDITION_VARIABLE m_condition = CONDITION_VARIABLE_INIT;
};

CLock::CLock() : m_impl(std::make_unique<Impl>()) {}
CLock::~CLock() = default;

void CLock::lock() {
    AcquireSRWLockExclusive(&m_impl->m_lock);
}

void CLock::unlock() {
    ReleaseSRWLockExclusive(&m_impl->m_lock);
}

CCondition::CCondition() : m_impl(std::make_unique<Impl>()) {}
CCondition::~CCondition() = default;

void CCondition::waitOnce(CLock& lock) {
    // Without a time limit it returns only when woken (or spuriously): the caller looks again.
    SleepConditionVariableSRW(&m_impl->m_condition, &lock.m_impl->m_lock, INFINITE, 0);
}

void CCondition::notifyOne() {
    WakeConditionVariable(&m_impl->m_condition);
}

void CCondition::notifyAll() {
    WakeAllConditionVariable(&m_impl->m_condition);
}

}  // namespace torrent::pieces
