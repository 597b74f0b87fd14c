#pragma once
// Reading the site's answer to a login: its refusals, and the session cookie values.

#include <string>

enum class LoginRefusal { None, Blocked, WrongPassword, UnknownUser };

// The first refusal found in the whole answer, searched in the order of the enumeration.
LoginRefusal classifyLoginAnswer(const std::string& answer);
// The status line shown for a refusal; empty for None.
const char* refusalStatus(LoginRefusal refusal);

// Takes uid (digits) and pass (letters and digits) from the cookie text of the login address.
// uid is set as soon as it is found, even when pass is missing; false when either is missing.
[[nodiscard]] bool extractSessionCookies(const std::string& cookieText, std::string& uid, std::string& pass);
