#include "site/BoundedRun.h"

#include <windows.h>

#include <memory>

#include "site/RequestLimits.h"
#include "win/Handles.h"

namespace {

DWORD WINAPI runWork(void* param) {
    const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(param));
    try {
        (*work)();
    } catch (...) {
        // The work reports through what it shares; nothing may leave the thread.
    }
    return 0;
}

}  // namespace

bool runBounded(std::function<void()> work, unsigned long milliseconds) {
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    win::CHandle thread(CreateThread(nullptr, 0, runWork, owned.get(), 0, nullptr));
    if (!thread.valid()) {
        (*owned)();
        return true;
    }
    owned.release();  // the thread's now
    return WaitForSingleObject(thread.get(), milliseconds) == WAIT_OBJECT_0;
}

unsigned long requestWaitMilliseconds() {
    const RequestLimits limits = requestLimits();
    return (limits.m_totalSeconds + limits.m_stepSeconds) * 1000UL;
}
