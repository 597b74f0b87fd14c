#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "site/GenreList.h"
#include "site/LoginSequence.h"
#include "site/RequestLimits.h"
#include "site/SiteTable.h"

namespace {

using Log = std::vector<std::string>;

const char kPage[] = "v=2000=url=https://site/setup.exe\n1;Movies\n2;Music\n";
const char kCookies[] = "uid=1001; pass=abc123";

// Records every call in order; the exchange gives `answer`, a question gets `yes`.
class CFakeServices : public site::login::LoginServices {
  public:
    void setStatus(const std::string& text) override { log.push_back("status " + text); }
    void message(const std::string& text) override { log.push_back("message " + text); }
    bool ask(const std::string& text) override {
        log.push_back("ask " + text);
        return yes;
    }
    void writeLastSite(int siteIndex) override { log.push_back("lastSite " + std::to_string(siteIndex)); }
    void writeRemember(bool remember) override { log.push_back(remember ? "remember 1" : "remember 0"); }
    bool storeCredentials(int siteIndex, const std::string& login, const std::string& password) override {
        log.push_back("store " + std::to_string(siteIndex) + " " + login + "/" + password);
        return password.empty() || protects;
    }
    site::login::Answer exchange(const site::login::Request& request) override {
        log.push_back("exchange " + request.host + " " + request.login + "/" + request.password);
        return answer;
    }
    void trace(const std::string& text) override { log.push_back("trace " + text); }
    bool openAddress(const std::string& address) override {
        log.push_back("open " + address);
        return opens;
    }
    void keepSession(const site::login::Session& kept) override {
        session = kept;
        log.push_back("session " + kept.siteHost + " " + kept.uid + "/" + kept.pass + " " +
                      std::to_string(kept.categories.size()));
    }

    Log log;
    site::login::Answer answer;
    bool protects = true;
    bool yes = false;
    bool opens = true;
    site::login::Session session;
};

site::login::Answer goodAnswer(const std::string& page = kPage) {
    site::login::Answer answer;
    answer.answered = true;
    answer.status = 200;
    answer.page = page;
    answer.cookies = kCookies;
    return answer;
}

site::login::Attempt aliceAt(int siteIndex, bool remember = false) {
    site::login::Attempt attempt;
    attempt.siteIndex = siteIndex;
    attempt.siteText = siteIndex == 1 ? siteTable().front().m_displayName : std::string(site::kHelpdeskEntry);
    attempt.login = "alice";
    attempt.password = "wonderland";
    attempt.remember = remember;
    attempt.ownBuild = 1024;
    return attempt;
}

std::string host() {
    return siteTable().front().m_host;
}

// The calls from index `from` on.
Log tail(const Log& log, std::size_t from) {
    return from < log.size() ? Log(log.begin() + static_cast<std::ptrdiff_t>(from), log.end()) : Log{};
}

// A good login, the whole road in order: the session is replaced before the site is asked and
// filled after its answer; the newer build is offered, and Yes opens its web address.
TEST(LoginSequence, AGoodLoginInOrder) {
    CFakeServices services;
    services.answer = goodAnswer();
    services.yes = true;
    EXPECT_EQ(site::login::run(aliceAt(1), services), site::login::Outcome::LoggedIn);
    EXPECT_EQ(services.log, (Log{
                                "lastSite 1",
                                "session " + host() + " / 0",
                                "remember 0",
                                "store 1 /",
                                "status Connecting...",
                                "exchange " + host() + " alice/wonderland",
                                "status Results:",
                                "trace Complete: uid=1001; pass=abc123\nuid=1001\npass=abc123",
                                "session " + host() + " 1001/abc123 3",
                                "ask " + updateOfferText(2000, 1024),
                                "open https://site/setup.exe",
                            }));
    EXPECT_EQ(services.session.categories, (Log{"2000=url=https://site/setup.exe", "1;Movies", "2;Music"}));
}

// Nothing reaches the site without a site, or without both login and password; the helpdesk
// entry is no site and leaves the session as it was.
TEST(LoginSequence, ChecksBeforeTheSite) {
    struct Case {
        site::login::Attempt attempt;
        Log log;
    };
    site::login::Attempt none = aliceAt(-1);
    site::login::Attempt first = aliceAt(0);
    first.siteText = site::kSelectSite;
    site::login::Attempt noPassword = aliceAt(1, true);
    noPassword.password.clear();
    site::login::Attempt noLogin = aliceAt(1);
    noLogin.login.clear();
    const std::string cleared = "session " + host() + " / 0";
    const Case cases[] = {
        {none, {"message You have to select a Site first!"}},
        {first, {"message You have to select a Site first!"}},
        {aliceAt(2), {"lastSite 2"}},
        {noPassword, {"lastSite 1", cleared, "status Please enter your Login and Password to proceed"}},
        {noLogin, {"lastSite 1", cleared, "status Please enter your Login and Password to proceed"}},
    };
    for (const Case& c : cases) {
        CFakeServices services;
        EXPECT_EQ(site::login::run(c.attempt, services), site::login::Outcome::StayOpen) << c.attempt.siteIndex;
        EXPECT_EQ(services.log, c.log) << c.attempt.siteIndex;
    }
}

// Ticked, the credentials are stored and "Remember" written only when the password could be
// protected; else the member is told and "Remember" stays. Clear, both are erased. The login
// goes on either way.
TEST(LoginSequence, RememberedCredentials) {
    struct Case {
        bool remember;
        bool protects;
        Log log;  // after the session is cleared, up to "Connecting..."
    };
    const Case cases[] = {
        {true, true, {"store 1 alice/wonderland", "remember 1"}},
        {true, false, {"store 1 alice/wonderland", std::string("message ") + site::login::kNotRemembered}},
        {false, true, {"remember 0", "store 1 /"}},
    };
    for (const Case& c : cases) {
        CFakeServices services;
        services.protects = c.protects;
        services.answer = goodAnswer();
        EXPECT_EQ(site::login::run(aliceAt(1, c.remember), services), site::login::Outcome::LoggedIn);
        Log expected = c.log;
        expected.push_back("status Connecting...");
        EXPECT_EQ(
            Log(services.log.begin() + 2, services.log.begin() + 2 + static_cast<std::ptrdiff_t>(expected.size())),
            expected)
            << c.remember << c.protects;
    }
}

// Every answer that is no good login keeps the dialog open with its status texts in order; only
// the cookie page leaves the cookie values in the session, without a list.
TEST(LoginSequence, AnswersThatKeepTheDialogOpen) {
    struct Case {
        const char* what;
        site::login::Answer answer;
        Log log;  // after "exchange"
    };
    site::login::Answer noAnswer;
    noAnswer.failure = "Cannot connect to localhost:1.";
    site::login::Answer timedOut;
    timedOut.failure = site::reason::noAnswerWithin(8);
    site::login::Answer loginFormFailed = goodAnswer("");
    loginFormFailed.status = 503;
    loginFormFailed.fromLoginForm = true;
    site::login::Answer listFailed = goodAnswer();
    listFailed.status = 500;
    site::login::Answer blocked = goodAnswer("<p>(Your ip is blocked from Login for)</p>");
    site::login::Answer wrongPassword = goodAnswer("(Invalid Password)");
    site::login::Answer unreadable = goodAnswer();
    unreadable.cookiesUnreadable = true;
    unreadable.cookieError = 122;
    site::login::Answer noCookies = goodAnswer();
    noCookies.cookies.clear();
    site::login::Answer badCookies = goodAnswer();
    badCookies.cookies = "uid=abc; pass=x";
    site::login::Answer cookiePage = goodAnswer(std::string(site::genre::kCookieMarker) + " cookies are on\n");
    site::login::Answer loginPage = goodAnswer("<html>login</html>\n");

    const std::string trace = "trace Complete: uid=1001; pass=abc123\nuid=1001\npass=abc123";
    const Case cases[] = {
        {"no answer", noAnswer, {"status Connection failed: Cannot connect to localhost:1."}},
        {"timeout", timedOut, {"status Connection failed: The site did not answer within 8 seconds."}},
        {"login form 503", loginFormFailed, {"status The site answered 503: try again later"}},
        {"list 500", listFailed, {"status Results:", trace, "status Could not read the category list"}},
        {"blocked", blocked, {"status Results:", "status Your IP is blocked for 24 hours"}},
        {"wrong password", wrongPassword, {"status Results:", "status Login incorrect"}},
        {"cookies unreadable", unreadable, {"status Results:", "status LastErrorA: 122\n"}},
        {"no cookies", noCookies, {"status Results:", "status The site did not log you in"}},
        {"bad cookies", badCookies, {"status Results:", "status Login incorrect"}},
        {"cookies required",
         cookiePage,
         {"status Results:", trace, "session " + host() + " 1001/abc123 0",
          std::string("status ") + site::genre::kCookiesRequired}},
        {"no list", loginPage, {"status Results:", trace, "status Could not read the category list"}},
    };
    for (const Case& c : cases) {
        CFakeServices services;
        services.answer = c.answer;
        services.yes = true;
        EXPECT_EQ(site::login::run(aliceAt(1), services), site::login::Outcome::StayOpen) << c.what;
        EXPECT_EQ(tail(services.log, 6), c.log) << c.what;
        if (std::string(c.what) != "cookies required") {
            EXPECT_TRUE(services.session.uid.empty()) << c.what;
        }
        EXPECT_TRUE(services.session.categories.empty()) << c.what;
        EXPECT_EQ(services.session.siteHost, host()) << c.what;
    }

    // Closed while it waited: nothing more is said, and the dialog ends.
    CFakeServices closed;
    closed.answer.cancelled = true;
    EXPECT_EQ(site::login::run(aliceAt(1), closed), site::login::Outcome::Cancelled);
    EXPECT_EQ(closed.log.back().rfind("exchange ", 0), 0u) << closed.log.back();
}

// Only a newer build is offered; No opens nothing. An address that is no web address, or that the
// shell cannot open, is shown to the member instead.
TEST(LoginSequence, UpdateOffer) {
    struct Case {
        const char* page;
        bool yes;
        bool opens;
        Log log;  // after the session is filled
    };
    const std::string offer = "ask " + updateOfferText(2000, 1024);
    const std::string notOpened = std::string("message ") + site::login::kUpdateNotOpened;
    const Case cases[] = {
        {"v=1024=url=https://site/setup.exe\n1;Movies\n", true, true, {}},
        {"v=1000=url=https://site/setup.exe\n1;Movies\n", true, true, {}},
        {kPage, false, true, {offer}},
        {kPage, true, true, {offer, "open https://site/setup.exe"}},
        {kPage, true, false, {offer, "open https://site/setup.exe", notOpened + "https://site/setup.exe"}},
        {"v=2000=url=C:\\Windows\\system32\\calc.exe\n1;Movies\n",
         true,
         true,
         {offer, notOpened + "C:\\Windows\\system32\\calc.exe"}},
    };
    for (const Case& c : cases) {
        CFakeServices services;
        services.answer = goodAnswer(c.page);
        services.yes = c.yes;
        services.opens = c.opens;
        EXPECT_EQ(site::login::run(aliceAt(1), services), site::login::Outcome::LoggedIn) << c.page;
        EXPECT_EQ(tail(services.log, 9), c.log) << c.page;
        EXPECT_EQ(services.session.uid, "1001");
    }
}

}  // namespace
