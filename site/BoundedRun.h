#pragma once
// Work with the site that must end in bounded time even where WinINet sets no limit of its own
// (a TLS handshake the site never finishes, under Wine): it runs on a thread of its own, and a
// caller that has waited long enough leaves it behind.

#include <functional>

// Runs work on a new thread and waits at most `milliseconds` for it; false when the work was
// left running. Left behind, it ends on its own and may touch only what it owns (hold the
// state it shares with the caller in a shared_ptr). Work that cannot get a thread runs here.
[[nodiscard]] bool runBounded(std::function<void()> work, unsigned long milliseconds);

// The longest wait for one request: its own overall limit and one step more.
unsigned long requestWaitMilliseconds();
