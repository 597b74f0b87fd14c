#pragma once
// The stand-in tracker site as a test sees it: its address, the requests it recorded and
// the scenario it plays. The fixture 'standin' starts it; SW_STANDIN_DIR names its folder.

#include <string>
#include <vector>

#include "tests/support/SiteRecord.h"

class CStandin {
  public:
    CStandin();
    ~CStandin();  // back to the default scenario

    // "localhost:PORT", the value for SEEDWRIGHT_SITE and the form's host.
    const std::string& host() const { return m_host; }
    // Sets SEEDWRIGHT_SITE for this process.
    void useAsSite() const;

    // The site served with a certificate a client must refuse: "untrusted" (from a CA the prefix
    // does not trust), "expired" or "wrong-host" (made out to another host name).
    std::string hostWithCertificate(const std::string& certificate) const;
    // TLS handshakes that certificate's port has seen so far.
    int handshakes(const std::string& certificate) const;

    // JSON object with the keys of state/scenario.json; "{}" is the default.
    void setScenario(const std::string& json) const;

    int requestCount() const;
    // The n-th request (1-based); a failed test when it is not there.
    StandinRequest request(int n) const;
    // Requests recorded after the first `after`, as CSiteRecord gives them (no scrapes).
    std::vector<StandinRequest> requestsSince(int after) const;

    // Windows path of a file in the site's folder, e.g. "certs\\ca.der".
    std::string path(const std::string& relative) const { return m_record.path(relative); }

  private:
    CSiteRecord m_record;
    std::string m_host;
};

// The pattern of the site's /testdata/SIZE answers.
std::string patternBytes(std::size_t size);
