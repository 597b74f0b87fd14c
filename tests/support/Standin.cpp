#include "tests/support/Standin.h"

#include <gtest/gtest.h>

#include "tests/support/WinPlaces.h"

#include <cstdlib>
#include <sstream>

#ifndef SW_STANDIN_DIR
#error SW_STANDIN_DIR must name the folder of the stand-in site
#endif

namespace {

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

}  // namespace

std::string patternBytes(std::size_t size) {
    std::string out(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        out[i] = static_cast<char>((i * 7 + i / 251) % 256);
    return out;
}

CStandin::CStandin() : m_record(places::windowsPath(SW_STANDIN_DIR)) {
    const std::string port = trimmed(readFileBytes(path("port")));
    EXPECT_FALSE(port.empty()) << "the stand-in site is not running (fixture standin)";
    m_host = "localhost:" + port;
    setScenario("{}");
}

CStandin::~CStandin() {
    setScenario("{}");
}

void CStandin::useAsSite() const {
    const std::string assignment = "SEEDWRIGHT_SITE=" + m_host;
    _putenv(assignment.c_str());
}

std::string CStandin::hostWithCertificate(const std::string& certificate) const {
    const std::string port = trimmed(readFileBytes(path("port-" + certificate)));
    EXPECT_FALSE(port.empty()) << "the stand-in site serves no " << certificate << " certificate";
    return "localhost:" + port;
}

int CStandin::handshakes(const std::string& certificate) const {
    std::istringstream log(readFileBytes(path("state\\connections.log")));
    int count = 0;
    for (std::string line; std::getline(log, line);)
        count += line.rfind(certificate + " ", 0) == 0;
    return count;
}

void CStandin::setScenario(const std::string& json) const {
    m_record.setScenario(json);
}

int CStandin::requestCount() const {
    return m_record.requestCount();
}

StandinRequest CStandin::request(int n) const {
    StandinRequest request;
    if (!m_record.request(n, request))
        ADD_FAILURE() << "no request " << n << " recorded";
    return request;
}

std::vector<StandinRequest> CStandin::requestsSince(int after) const {
    return m_record.requestsSince(after);
}
