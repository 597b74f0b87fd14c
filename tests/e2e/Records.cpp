#include "tests/e2e/Records.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<SiteRequest> CSiteRecord::requests() const {
    std::vector<SiteRequest> requests;
    std::istringstream log(readFileBytes(m_folder + "\\state\\requests.log"));
    for (std::string line; std::getline(log, line);) {
        std::istringstream fields(line);
        std::string number;
        SiteRequest request;
        if (!(fields >> number >> request.m_method >> request.m_target))
            continue;
        request.m_body = readFileBytes(m_folder + "\\state\\requests\\" + number + ".body");
        requests.push_back(request);
    }
    return requests;
}

void CSiteRecord::setScenario(const std::string& json) const {
    const std::string path = m_folder + "\\state\\scenario.json";
    {
        std::ofstream out(path + ".tmp", std::ios::binary);
        out << json;
    }
    MoveFileExA((path + ".tmp").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::vector<ClientStart> clientStarts() {
    char path[MAX_PATH] = {};
    if (GetEnvironmentVariableA("SW_CLIENT_RECORD", path, sizeof path) == 0)
        return {};
    std::vector<ClientStart> starts;
    std::istringstream record(readFileBytes(path));
    bool complete = false;
    for (std::string line; std::getline(record, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == "start") {
            starts.emplace_back();
            complete = false;
        } else if (starts.empty()) {
            continue;
        } else if (line.rfind("arg ", 0) == 0) {
            starts.back().m_arguments.push_back(line.substr(4));
        } else if (line.rfind("copy ", 0) == 0) {
            starts.back().m_copy = line.substr(5);
        } else if (line == "end") {
            complete = true;
        }
    }
    // A start whose block is still being written is not counted yet.
    if (!starts.empty() && !complete)
        starts.pop_back();
    return starts;
}

std::string formField(const std::string& body, const std::string& name) {
    const std::string key = "name=\"" + name + "\"\r\n\r\n";
    const std::size_t at = body.find(key);
    if (at == std::string::npos)
        return std::string();
    const std::size_t start = at + key.size();
    return body.substr(start, body.find("\r\n", start) - start);
}

std::string formFileName(const std::string& body, const std::string& name) {
    const std::string key = "name=\"" + name + "\"; filename=\"";
    const std::size_t at = body.find(key);
    if (at == std::string::npos)
        return std::string();
    const std::size_t start = at + key.size();
    return body.substr(start, body.find('"', start) - start);
}
