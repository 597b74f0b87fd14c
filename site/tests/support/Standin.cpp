#include "site/tests/support/Standin.h"

#include <gtest/gtest.h>

#include "tests/support/WinPlaces.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
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

std::vector<std::string> logLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace

std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string patternBytes(std::size_t size) {
    std::string out(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        out[i] = static_cast<char>((i * 7 + i / 251) % 256);
    return out;
}

CStandin::CStandin() : m_dir(places::windowsPath(SW_STANDIN_DIR)) {
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

void CStandin::setScenario(const std::string& json) const {
    writeFileBytes(path("state\\scenario.json"), json);
}

std::string CStandin::path(const std::string& relative) const {
    return m_dir + "\\" + relative;
}

int CStandin::requestCount() const {
    return static_cast<int>(logLines(path("state\\requests.log")).size());
}

StandinRequest CStandin::request(int n) const {
    StandinRequest request;
    const std::vector<std::string> lines = logLines(path("state\\requests.log"));
    if (n < 1 || n > static_cast<int>(lines.size())) {
        ADD_FAILURE() << "no request " << n << " recorded";
        return request;
    }
    std::istringstream line(lines[static_cast<std::size_t>(n - 1)]);
    std::string number;
    line >> number >> request.m_method >> request.m_target >> request.m_status;
    request.m_head = readFileBytes(path("state\\requests\\" + number + ".head"));
    request.m_body = readFileBytes(path("state\\requests\\" + number + ".body"));
    return request;
}

std::vector<StandinRequest> CStandin::requestsSince(int after) const {
    std::vector<StandinRequest> out;
    for (int n = after + 1; n <= requestCount(); ++n)
        out.push_back(request(n));
    return out;
}
