#pragma once
// What a result means, once for the whole program.
//
// A plain `bool` result means "it worked": true for success. Where ignoring it would be a bug,
// the function is [[nodiscard]].
//
// The site's requests and the file reads behind them (CMyInetForm::openRequest, addFile, send,
// downloadFile; readWholeFile) keep the convention they were written to, "return a bool failed":
// they return a win::Failed, true when the operation failed, and the type says so at every call.
// Failed is [[nodiscard]] as a type, so every such result is looked at.
//
// Every result is used. A call that leaves one aside on purpose says so with static_cast<void>
// and a comment giving the reason.

namespace win {

class [[nodiscard]] Failed {
  public:
    constexpr explicit Failed(bool failed) : m_failed(failed) {}
    // True when the operation failed.
    constexpr explicit operator bool() const { return m_failed; }

  private:
    bool m_failed;
};

inline constexpr Failed kFailed{true};
inline constexpr Failed kSucceeded{false};

}  // namespace win
