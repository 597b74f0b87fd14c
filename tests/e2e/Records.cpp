#include "tests/e2e/Records.h"

#include <windows.h>

#include <sstream>

#include "tests/support/SiteRecord.h"

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
