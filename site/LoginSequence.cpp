#include "site/LoginSequence.h"

#include <utility>

#include "site/GenreList.h"
#include "site/LoginAnswer.h"
#include "site/SiteTable.h"

namespace site::login {

namespace {

Outcome stayOpen(LoginServices& services, const std::string& status) {
    services.setStatus(status);
    return Outcome::StayOpen;
}

// The site's answer to the form: a good login leads to the category page, and the session
// cookies are set. Only a good login fills the session with the cookie values and the list.
Outcome readAnswer(const Answer& answer, int32_t ownBuild, Session& session, LoginServices& services) {
    if (answer.cancelled)
        return Outcome::Cancelled;
    if (!answer.answered)
        return stayOpen(services, kConnectionFailed + answer.failure);
    if (answer.status >= 400 && answer.fromLoginForm)
        return stayOpen(services, "The site answered " + std::to_string(answer.status) + ": try again later");
    services.setStatus(kResults);
    const LoginRefusal refusal = classifyLoginAnswer(answer.page);
    if (refusal != LoginRefusal::None)
        return stayOpen(services, refusalStatus(refusal));
    if (answer.cookiesUnreadable)
        return stayOpen(services, "LastErrorA: " + std::to_string(static_cast<long>(answer.cookieError)) + "\n");
    if (answer.cookies.empty())
        return stayOpen(services, kNotLoggedIn);
    std::string uid;
    std::string pass;
    if (!extractSessionCookies(answer.cookies, uid, pass))
        return stayOpen(services, kLoginIncorrect);
    services.trace("Complete: " + answer.cookies + "\nuid=" + uid + "\npass=" + pass);

    std::vector<std::string> categories;
    const GenreListResult list = parseGenreList(answer.page, categories);
    if (list.m_cookiesRequired) {
        // The cookie values stay, without a list; the member may try again.
        session.uid = uid;
        session.pass = pass;
        services.keepSession(session);
        return stayOpen(services, site::genre::kCookiesRequired);
    }
    if (answer.status >= 400 || !beginsWithAnnouncement(answer.page))
        return stayOpen(services, kNoCategoryList);
    session.uid = std::move(uid);
    session.pass = std::move(pass);
    session.categories = std::move(categories);
    services.keepSession(session);

    // Only a newer build is offered, and only a web address reaches the shell: anything else
    // could start a local program. An address that does not open is shown instead.
    if (updateOffered(list.m_build, ownBuild) && services.ask(updateOfferText(list.m_build, ownBuild)) &&
        !(isWebAddress(list.m_updateAddress) && services.openAddress(list.m_updateAddress)))
        services.message(kUpdateNotOpened + list.m_updateAddress);
    return Outcome::LoggedIn;
}

}  // namespace

Outcome run(const Attempt& attempt, LoginServices& services) {
    if (attempt.siteIndex <= 0) {
        services.message(kSelectSiteFirst);
        return Outcome::StayOpen;
    }
    services.writeLastSite(attempt.siteIndex);

    Session session;
    if (!findSiteHost(attempt.siteText, session.siteHost))
        return Outcome::StayOpen;  // the helpdesk entry is no site
    // Nothing of an earlier attempt stays: what follows fills the session or leaves it empty.
    services.keepSession(session);

    if (attempt.login.empty() || attempt.password.empty())
        return stayOpen(services, kEnterCredentials);
    if (attempt.remember) {
        // "Remember" stays as it was when the password cannot be kept safely.
        if (services.storeCredentials(attempt.siteIndex, attempt.login, attempt.password))
            services.writeRemember(true);
        else
            services.message(kNotRemembered);
    } else {
        services.writeRemember(false);
        static_cast<void>(services.storeCredentials(attempt.siteIndex, std::string(), std::string()));  // cannot fail
    }

    services.setStatus(kConnecting);
    const Answer answer = services.exchange(Request{session.siteHost, attempt.login, attempt.password});
    return readAnswer(answer, attempt.ownBuild, session, services);
}

}  // namespace site::login
