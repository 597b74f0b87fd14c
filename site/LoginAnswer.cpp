#include "site/LoginAnswer.h"

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
    std::smatch match;
    const bool haveUid = std::regex_search(cookieText, match, std::regex("uid=([0-9]+)", std::regex::ECMAScript));
    if (haveUid)
        uid = match[1];
    const bool havePass =
        std::regex_search(cookieText, match, std::regex("pass=([a-zA-Z0-9]+)", std::regex::ECMAScript));
    if (havePass)
        pass = match[1];
    return haveUid && havePass;
}
