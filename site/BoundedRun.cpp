#include "site/BoundedRun.h"

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

WaitEnd runBounded(BoundedWork bounded, DWORD milliseconds, HANDLE cancel) {
    if (cancel && WaitForSingleObject(cancel, 0) == WAIT_OBJECT_0)
        return WaitEnd::Cancelled;
    auto owned = std::make_unique<std::function<void()>>(std::move(bounded.work));
    win::CHandle thread(CreateThread(nullptr, 0, runWork, owned.get(), 0, nullptr));
    if (!thread.valid()) {
        (*owned)();
        return WaitEnd::Finished;
    }
    owned.release();  // the thread's now
    const HANDLE waits[] = {thread.get(), cancel};
    const DWORD woke = WaitForMultipleObjects(cancel ? 2 : 1, waits, FALSE, milliseconds);
    if (woke == WAIT_OBJECT_0)
        return WaitEnd::Finished;
    if (bounded.abandon)
        bounded.abandon();
    WaitForSingleObject(thread.get(), kAbandonGraceMs);
    return woke == WAIT_OBJECT_0 + 1 ? WaitEnd::Cancelled : WaitEnd::TimedOut;
}

DWORD requestWaitMilliseconds() {
    return requestLimits().m_totalSeconds * 1000UL;
}
