#include <condition_variable>
#include <mutex>

#include "torrent/PieceSync.h"

namespace torrent::pieces {

struct CLock::Impl {
    std::mutex m_mutex;
};

struct CCondition::Impl {
    std::condition_variable m_condition;
};

CLock::CLock() : m_impl(std::make_unique<Impl>()) {}
CLock::~CLock() = default;

void CLock::lock() {
    m_impl->m_mutex.lock();
}

void CLock::unlock() {
    m_impl->m_mutex.unlock();
}

CCondition::CCondition() : m_impl(std::make_unique<Impl>()) {}
CCondition::~CCondition() = default;

void CCondition::waitOnce(CLock& lock) {
    // The caller holds the mutex; the unique_lock only borrows it for the wait.
    std::unique_lock<std::mutex> held(lock.m_impl->m_mutex, std::adopt_lock);
    m_impl->m_condition.wait(held);
    held.release();
}

void CCondition::notifyOne() {
    m_impl->m_condition.notify_one();
}

void CCondition::notifyAll() {
    m_impl->m_condition.notify_all();
}

}  // namespace torrent::pieces
