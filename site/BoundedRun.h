#pragma once
// Work with the site runs on a thread of its own, so that its caller can stop waiting: at the
// request's time limit, or when the member cancels. A request given up on ends for good: its
// handles are closed at once, which ends a WinINet call waiting on them, and the caller waits a
// moment more for it. Whatever may still run after that touches only what it owns.

#include <windows.h>

#include <functional>

enum class WaitEnd { Finished, TimedOut, Cancelled };

struct BoundedWork {
    // Runs on the new thread. It shares state with the caller only through a shared_ptr, shows
    // nothing, and writes no file but its own.
    std::function<void()> work;
    // Runs on the caller's thread when it gives up: closes what the work waits on.
    std::function<void()> abandon;
};

// How long a caller that gave up waits for the abandoned work to end.
inline constexpr DWORD kAbandonGraceMs = 500;

// Runs the work and waits for it at most `milliseconds`, or until `cancel` (a manual-reset event,
// or null) is raised. Work that cannot get a thread runs here, to its end.
[[nodiscard]] WaitEnd runBounded(BoundedWork bounded, DWORD milliseconds, HANDLE cancel = nullptr);

// The longest wait for one whole request: its overall limit.
DWORD requestWaitMilliseconds();
