#pragma once
// The one shape of every owner of a system resource, portable (the FILE* owner builds natively).

#include <utility>

namespace win {

// The owner behind every handle type: `Traits` names the handle type, what counts as none, and
// how one is closed. Each owner has the same interface: get() lends the handle (never an implicit
// conversion), reset() closes it and optionally takes another, detach() gives it up unclosed,
// receive() closes it and lends the slot to an API that fills one in. Owners move; they never
// copy.
template <class Traits>
class COwnedHandle {
  public:
    using Handle = typename Traits::Handle;

    COwnedHandle() = default;
    explicit COwnedHandle(Handle h) : m_h(h) {}
    COwnedHandle(const COwnedHandle&) = delete;
    COwnedHandle& operator=(const COwnedHandle&) = delete;
    COwnedHandle(COwnedHandle&& other) noexcept : m_h(other.detach()) {}
    COwnedHandle& operator=(COwnedHandle&& other) noexcept {
        reset(other.detach());
        return *this;
    }
    ~COwnedHandle() { reset(); }

    Handle get() const { return m_h; }
    bool valid() const { return Traits::valid(m_h); }
    explicit operator bool() const { return valid(); }
    Handle detach() { return std::exchange(m_h, Handle{}); }
    void reset(Handle h = Handle{}) {
        if (valid())
            Traits::close(m_h);
        m_h = h;
    }
    Handle* receive() {
        reset();
        return &m_h;
    }

  private:
    Handle m_h{};
};

}  // namespace win
