#pragma once
// What the stand-in tracker site recorded, read from its folder: every request it received, and
// the scenario it plays (state/scenario.json, read by the site on every request).

#include <string>
#include <vector>

#include "tests/support/FileBytes.h"

struct StandinRequest {
    std::string m_method;
    std::string m_target;
    int m_status = 0;
    std::string m_head;  // request line and header lines, raw
    std::string m_body;  // raw body bytes
};

class CSiteRecord {
  public:
    // folder: the site's folder, as a Windows path.
    explicit CSiteRecord(std::string folder) : m_folder(std::move(folder)) {}

    int requestCount() const;
    // The n-th request (1-based); false when there is no such request.
    bool request(int n, StandinRequest& request) const;
    // Requests recorded after the first `after`, oldest first, the tracker's scrapes left out:
    // whether the backend wait asks the site's own tracker before it ends is a matter of timing.
    std::vector<StandinRequest> requestsSince(int after) const;

    // A JSON object with the keys of state/scenario.json; "{}" is the default behaviour.
    void setScenario(const std::string& json) const;
    // Path of a file in the site's folder, e.g. "certs\\ca.der".
    std::string path(const std::string& relative) const { return m_folder + "\\" + relative; }

  private:
    std::vector<std::string> logLines() const;

    std::string m_folder;
};

// The value of a plain text field of a multipart/form-data body; empty when it is missing.
std::string formField(const std::string& body, const std::string& name);
// The file name sent with a file field; empty when it is missing.
std::string formFileName(const std::string& body, const std::string& name);
// The first torrent form (the post with a "file" field) among the requests; null when none was.
const StandinRequest* torrentFormAmong(const std::vector<StandinRequest>& requests);
