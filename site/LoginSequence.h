#pragma once
// One press of "Login", from the dialog's inputs to the filled site session: the checks, the
// remembered credentials, the exchange with the site, the reading of its answer and the update
// offer, with every status text in its order. The dialog and Windows come in through
// LoginServices, so the dialog and the tests run the very same steps.

#include <cstdint>
#include <string>
#include <vector>

namespace site::login {

inline constexpr const char* kLoginPath = "/takelogin.php";
inline constexpr const char* kReturnTo = "/genrelist.php";

inline constexpr const char* kSelectSiteFirst = "You have to select a Site first!";
// "Yes" to the update offer, when the new build's address could not be opened; the address
// follows, for the member to open by hand.
inline constexpr const char* kUpdateNotOpened =
    "The download of the new Program could not be opened. Please open this address in your web browser:\n\n";
inline constexpr const char* kEnterCredentials = "Please enter your Login and Password to proceed";
inline constexpr const char* kNotRemembered =
    "Your password could not be remembered: Windows refused to protect it.\n"
    "Nothing was stored; you will have to type it again next time.";
inline constexpr const char* kConnecting = "Connecting...";
inline constexpr const char* kConnectionFailed = "Connection failed: ";
inline constexpr const char* kResults = "Results:";
inline constexpr const char* kNotLoggedIn = "The site did not log you in";
inline constexpr const char* kLoginIncorrect = "Login incorrect";
inline constexpr const char* kNoCategoryList = "Could not read the category list";

// What the dialog holds when "Login" is pressed.
struct Attempt {
    int siteIndex = -1;    // the selected entry of the site list, -1 for none
    std::string siteText;  // that entry's text
    std::string login;
    std::string password;
    bool remember = false;
    int32_t ownBuild = 0;  // the running program's build, for the update offer
};

// The login form: posted to host + kLoginPath.
struct Request {
    std::string host;
    std::string login;
    std::string password;
};

// What the exchange brought back: the site's answer and the cookies of the login address, or
// why no answer came.
struct Answer {
    bool answered = false;
    bool cancelled = false;  // the member closed the dialog while it waited
    std::string failure;     // why no answer came
    long status = 0;
    bool fromLoginForm = false;  // the answer is the login form's own, not the page it leads to
    std::string page;
    bool cookiesUnreadable = false;
    unsigned long cookieError = 0;
    std::string cookies;  // the cookie text of the login address, empty when there is none
};

// The site session a login leaves: the host chosen, and after a good login the session cookie
// values and the category lines.
struct Session {
    std::string siteHost;
    std::string uid;
    std::string pass;
    std::vector<std::string> categories;
};

class LoginServices {
  public:
    virtual ~LoginServices() = default;

    virtual void setStatus(const std::string& text) = 0;
    // An OK box, and a Yes/No question (true for Yes).
    virtual void message(const std::string& text) = 0;
    virtual bool ask(const std::string& text) = 0;

    // The profile: the site list index of the last attempt, the "Remember" box, and the login and
    // password of a site index. False when the password could not be protected: then nothing at
    // all is stored.
    virtual void writeLastSite(int siteIndex) = 0;
    virtual void writeRemember(bool remember) = 0;
    [[nodiscard]] virtual bool storeCredentials(int siteIndex,
                                                const std::string& login,
                                                const std::string& password) = 0;

    // Posts the login form and reads the cookies the site set for the login address. Ends within
    // the request limits; the dialog stays alive and takes no second press meanwhile.
    virtual Answer exchange(const Request& request) = 0;
    // The debugger's output.
    virtual void trace(const std::string& text) = 0;
    // Hands a web address to the shell (the browser); false when the shell could not open it.
    [[nodiscard]] virtual bool openAddress(const std::string& address) = 0;
    // The session as this attempt leaves it; every attempt that got past the site check
    // replaces the whole session.
    virtual void keepSession(const Session& session) = 0;
};

enum class Outcome {
    StayOpen,   // the member may try again
    LoggedIn,   // the session is filled; the dialog closes with IDOK
    Cancelled,  // the member closed the dialog while it waited for the site
};

Outcome run(const Attempt& attempt, LoginServices& services);

}  // namespace site::login
