#include "tests/support/SiteRecord.h"

#include <windows.h>

#include <fstream>
#include <sstream>

std::vector<std::string> CSiteRecord::logLines() const {
    std::ifstream in(path("state\\requests.log"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

int CSiteRecord::requestCount() const {
    return static_cast<int>(logLines().size());
}

bool CSiteRecord::request(int n, StandinRequest& request) const {
    const std::vector<std::string> lines = logLines();
    if (n < 1 || n > static_cast<int>(lines.size()))
        return false;
    std::istringstream line(lines[static_cast<std::size_t>(n - 1)]);
    std::string number;
    line >> number >> request.m_method >> request.m_target >> request.m_status;
    request.m_head = readFileBytes(path("state\\requests\\" + number + ".head"));
    request.m_body = readFileBytes(path("state\\requests\\" + number + ".body"));
    return true;
}

std::vector<StandinRequest> CSiteRecord::requestsSince(int after) const {
    std::vector<StandinRequest> out;
    StandinRequest next;
    for (int n = after + 1; request(n, next); ++n) {
        if (next.m_target.rfind("/scrape.php", 0) != 0)
            out.push_back(next);
    }
    return out;
}

void CSiteRecord::setScenario(const std::string& json) const {
    // Replaced whole, so the site never reads half a scenario.
    const std::string file = path("state\\scenario.json");
    writeFileBytes(file + ".tmp", json);
    MoveFileExA((file + ".tmp").c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::string formField(const std::string& body, const std::string& name) {
    const std::string key = "name=\"" + name + "\"\r\n\r\n";
    const std::size_t at = body.find(key);
    if (at == std::string::npos)
        return std::string();
    // The value ends where the next part's boundary line starts: it may hold line ends itself.
    const std::string delimiter = "\r\n" + body.substr(0, body.find("\r\n"));
    const std::size_t start = at + key.size();
    return body.substr(start, body.find(delimiter, start) - start);
}

std::string formFileName(const std::string& body, const std::string& name) {
    const std::string key = "name=\"" + name + "\"; filename=\"";
    const std::size_t at = body.find(key);
    if (at == std::string::npos)
        return std::string();
    const std::size_t start = at + key.size();
    return body.substr(start, body.find('"', start) - start);
}

const StandinRequest* torrentFormAmong(const std::vector<StandinRequest>& requests) {
    for (const StandinRequest& request : requests) {
        if (!formFileName(request.m_body, "file").empty())
            return &request;
    }
    return nullptr;
}
