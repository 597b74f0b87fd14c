#pragma once
// What one request came to: an answer of any status with its page, or why none came. Nothing
// that makes a request shows anything: the caller, which knows the member's situation, decides
// what to show.

#include <string>
#include <utility>

namespace site {

struct RequestResult {
    bool ok = false;
    long status = 0;     // the answer's HTTP status, after any redirect
    std::string page;    // the answer; empty for a download, whose bytes went to its file
    std::string reason;  // why it failed, in the member's words; empty when ok

    static RequestResult succeeded(long status = 0, std::string page = std::string()) {
        RequestResult result;
        result.ok = true;
        result.status = status;
        result.page = std::move(page);
        return result;
    }
    static RequestResult failed(std::string why) {
        RequestResult result;
        result.reason = std::move(why);
        return result;
    }
};

namespace reason {
inline constexpr const char* kNotMade = "The request could not be made.";
}  // namespace reason

}  // namespace site
