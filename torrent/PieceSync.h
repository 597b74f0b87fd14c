#pragma once
// The lock and the conditions the builder's threads wait on: the hashing threads' turns with the
// reader, and the files opened ahead of it. On Windows these are the system's own SRW lock and
// condition variables: they wait in the process, where winpthreads' semaphores (behind
// std::condition_variable in MinGW) take a round trip to Wine's server for every wait and wake-up,
// which costs more than hashing a small piece. Natively, the standard ones.

#include <memory>

namespace torrent::pieces {

// Meets BasicLockable, for std::lock_guard and std::unique_lock.
class CLock {
  public:
    CLock();
    ~CLock();
    CLock(const CLock&) = delete;
    CLock& operator=(const CLock&) = delete;

    void lock();
    void unlock();

  private:
    friend class CCondition;
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

class CCondition {
  public:
    CCondition();
    ~CCondition();
    CCondition(const CCondition&) = delete;
    CCondition& operator=(const CCondition&) = delete;

    // `lock` is held before and after; it is let go while waiting.
    template <typename Ready>
    void wait(CLock& lock, Ready ready) {
        while (!ready())
            waitOnce(lock);
    }
    void notifyOne();
    void notifyAll();

  private:
    void waitOnce(CLock& lock);

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace torrent::pieces
