#include "site/LoginAnswer.h"

#include <cstring>
#include <regex>

namespace {

struct RefusalRule {
    LoginRefusal refusal;
    const char* pattern;
    const char* status;
};

const RefusalRule kRefusals[] = {
    {LoginRefusal::Blocked, "(Your ip is blocked from Login for)", "Your IP is blocked for 24 hours"},
    {LoginRefusal::WrongPassword, "(Invalid Password)", "Login incorrect"},
    {LoginRefusal::UnknownUser, "(Username not found)", "Username not found"},
};

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

bool isLetterOrDigit(unsigned char c) {
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// What a search for key([class]+) finds: the first place where key is followed by a character
// of the class, and the whole run of such characters after it. A scan, not std::regex: its
// matcher recurses once per character of the run, so a long value would overflow the stack.
bool firstCookieValue(const std::string& text, const char* key, bool (*inClass)(unsigned char), std::string& value) {
    const std::size_t keyLength = std::strlen(key);
    for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
        std::size_t end = at + keyLength;
        while (end < text.size() && inClass(static_cast<unsigned char>(text[end])))
            ++end;
        if (end > at + keyLength) {
            value = text.substr(at + keyLength, end - at - keyLength);
            return true;
        }
    }
    return false;
}

}  // namespace

LoginRefusal classifyLoginAnswer(const std::string& answer) {
    for (const RefusalRule& rule : kRefusals) {
        if (std::regex_search(answer, std::regex(rule.pattern, std::regex::ECMAScript)))
            return rule.refusal;
    }
    return LoginRefusal::None;
}

const char* refusalStatus(LoginRefusal refusal) {
    for (const RefusalRule& rule : kRefusals) {
        if (rule.refusal == refusal)
            return rule.status;
    }
    return "";
}

bool extractSessionCookies(const std::string& cookieText, std::string& uid, std::string& pass) {
    std::string value;
    const bool haveUid = firstCookieValue(cookieText, "uid=", isDigit, value);
    if (haveUid)
        uid = value;
    const bool havePass = firstCookieValue(cookieText, "pass=", isLetterOrDigit, value);
    if (havePass)
        pass = value;
    return haveUid && havePass;
}
