#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

#include "site/LoginAnswer.h"
#include "site/SiteTable.h"
#ifdef _WIN32
#include "win/Handles.h"
#endif

namespace {

#ifdef _WIN32
template <class Work>
DWORD WINAPI runWork(LPVOID work) {
    (*static_cast<Work*>(work))();
    return 0;
}
#else
template <class Work>
void* runWork(void* work) {
    (*static_cast<Work*>(work))();
    return nullptr;
}
#endif

// Runs work on a thread with a stack of 1 MiB, the size of a Windows program's main thread.
template <class Work>
void onSmallStack(Work work) {
    constexpr unsigned kStack = 1u << 20;
#ifdef _WIN32
    const win::CHandle thread(
        CreateThread(nullptr, kStack, runWork<Work>, &work, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    ASSERT_NE(thread.get(), nullptr);
    WaitForSingleObject(thread.get(), INFINITE);
#else
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, kStack);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, runWork<Work>, &work), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
#endif
}

TEST(LoginAnswer, RefusalsInTheirOrder) {
    EXPECT_EQ(classifyLoginAnswer("1031=url=X\n12;Movies\n"), LoginRefusal::None);
    EXPECT_EQ(classifyLoginAnswer("<p>Username not found</p>"), LoginRefusal::UnknownUser);
    EXPECT_EQ(classifyLoginAnswer("<p>Invalid Password</p>"), LoginRefusal::WrongPassword);
    EXPECT_EQ(classifyLoginAnswer("Your ip is blocked from Login for 24 hours"), LoginRefusal::Blocked);
    EXPECT_EQ(classifyLoginAnswer("Username not found\nInvalid Password"), LoginRefusal::WrongPassword);
    EXPECT_EQ(classifyLoginAnswer("Invalid Password Your ip is blocked from Login for"), LoginRefusal::Blocked);
    EXPECT_EQ(classifyLoginAnswer("invalid password"), LoginRefusal::None);  // case counts
    EXPECT_EQ(classifyLoginAnswer(std::string("x\0Invalid Password", 18)), LoginRefusal::WrongPassword);

    EXPECT_STREQ(refusalStatus(LoginRefusal::Blocked), "Your IP is blocked for 24 hours");
    EXPECT_STREQ(refusalStatus(LoginRefusal::WrongPassword), "Login incorrect");
    EXPECT_STREQ(refusalStatus(LoginRefusal::UnknownUser), "Username not found");
    EXPECT_STREQ(refusalStatus(LoginRefusal::None), "");
}

TEST(LoginAnswer, SessionCookies) {
    std::string uid, pass;
    EXPECT_TRUE(extractSessionCookies("uid=4711; pass=a1B2c3", uid, pass));
    EXPECT_EQ(uid, "4711");
    EXPECT_EQ(pass, "a1B2c3");

    uid.clear();
    pass.clear();
    EXPECT_TRUE(extractSessionCookies("lang=en; pass=9f8e_x; uid=12", uid, pass));
    EXPECT_EQ(uid, "12");
    EXPECT_EQ(pass, "9f8e");  // letters and digits only

    uid.clear();
    pass.clear();
    EXPECT_FALSE(extractSessionCookies("uid=a12; pass=abc", uid, pass));
    EXPECT_EQ(uid, "");

    EXPECT_FALSE(extractSessionCookies("uid=77; lang=en", uid, pass));
    EXPECT_EQ(uid, "77");  // kept although the login counts as incorrect
    EXPECT_EQ(pass, "abc");

    // The first key followed by a value counts, wherever it stands, inside another name too.
    EXPECT_TRUE(extractSessionCookies("uid=; xuid=x; auid=5; uid=6; pass=; pass=-; spass=q7", uid, pass));
    EXPECT_EQ(uid, "5");
    EXPECT_EQ(pass, "q7");
    EXPECT_TRUE(extractSessionCookies("uid=uid=8\xE9; pass=pass=\xE9z", uid, pass));
    EXPECT_EQ(uid, "8");
    EXPECT_EQ(pass, "pass");  // letters after the first "pass=": the next key itself
}

TEST(LoginAnswer, LongCookieValuesDoNotExhaustTheStack) {
    // A site (or a man in the middle) sets a uid of 4,000 digits and a pass as long.
    const std::string digits(4000, '7'), letters(4000, 'k');
    std::string uid, pass;
    bool found = false;
    onSmallStack([&] { found = extractSessionCookies("uid=" + digits + "; pass=" + letters, uid, pass); });
    EXPECT_TRUE(found);
    EXPECT_EQ(uid, digits);
    EXPECT_EQ(pass, letters);
}

TEST(SiteTable, HostAndOverride) {
    std::string host;
    EXPECT_FALSE(findSiteHost("request integration on helpdesk", host));
    EXPECT_FALSE(findSiteHost("velmar tracker", host));
    ASSERT_TRUE(findSiteHost("Velmar Tracker", host));

    std::string name;
    unsigned short port = 0;
    splitHostPort("127.0.0.1:8443", name, port);
    EXPECT_EQ(name, "127.0.0.1");
    EXPECT_EQ(port, 8443);
    splitHostPort("tracker.example", name, port);
    EXPECT_EQ(name, "tracker.example");
    EXPECT_EQ(port, 443);
    for (const char* odd : {"h:", "h:x1", "h:0", "h:70000", "h:1234567"}) {
        splitHostPort(odd, name, port);
        EXPECT_EQ(name, odd);
        EXPECT_EQ(port, 443);
    }
}

}  // namespace
