// The login answer's refusals and the session cookie values, each checked against what
// std::regex finds with the patterns they stand for.
#include <cstddef>
#include <cstdint>
#include <regex>
#include <string>

#include "fuzz/Check.h"
#include "site/LoginAnswer.h"

namespace {

// std::regex recurses once per character of a match: the comparison stays below lengths that
// would overflow the fuzzer's stack.
constexpr std::size_t kRegexBound = 1024;

bool regexValue(const std::string& text, const std::regex& pattern, std::string& value) {
    std::smatch match;
    if (!std::regex_search(text, match, pattern))
        return false;
    value = match[1];
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    const LoginRefusal refusal = classifyLoginAnswer(text);
    const bool blocked = text.find("Your ip is blocked from Login for") != std::string::npos;
    const bool wrong = text.find("Invalid Password") != std::string::npos;
    const bool unknown = text.find("Username not found") != std::string::npos;
    FUZZ_CHECK(refusal == (blocked   ? LoginRefusal::Blocked
                           : wrong   ? LoginRefusal::WrongPassword
                           : unknown ? LoginRefusal::UnknownUser
                                     : LoginRefusal::None));
    FUZZ_CHECK(refusalStatus(refusal) != nullptr);

    std::string uid = "before", pass = "before";
    const bool found = extractSessionCookies(text, uid, pass);
    if (size <= kRegexBound) {
        std::string regexUid = "before", regexPass = "before";
        static const std::regex uidPattern("uid=([0-9]+)", std::regex::ECMAScript);
        static const std::regex passPattern("pass=([a-zA-Z0-9]+)", std::regex::ECMAScript);
        const bool haveUid = regexValue(text, uidPattern, regexUid);
        const bool havePass = regexValue(text, passPattern, regexPass);
        FUZZ_CHECK(found == (haveUid && havePass));
        FUZZ_CHECK(uid == regexUid);
        FUZZ_CHECK(pass == regexPass);
    }
    return 0;
}
