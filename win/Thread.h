#pragma once
// A worker thread at normal priority with the default stack size. The object owns the
// thread's handle; it does not wait for the thread when it goes, its owner does that.

#include "win/Handles.h"

namespace win {

class CThread {
  public:
    using Function = DWORD(WINAPI*)(void* param);

    // Creates the thread without running it; false when the system refused.
    [[nodiscard]] bool createSuspended(Function function, void* param);
    // Lets a suspended thread run; false when it could not be resumed.
    [[nodiscard]] bool resume();
    // createSuspended and resume in one.
    [[nodiscard]] bool start(Function function, void* param);

    // True when the thread has ended (or none was made) within the time limit.
    bool wait(DWORD milliseconds = INFINITE) const;

    bool exists() const { return m_handle.valid(); }
    HANDLE handle() const { return m_handle.get(); }
    void close() { m_handle.reset(); }

  private:
    CHandle m_handle;
};

}  // namespace win
