#pragma once
// The records the stand-ins keep: the requests the site received and the starts of the client.

#include <string>
#include <vector>

struct SiteRequest {
    std::string m_method;
    std::string m_target;
    std::string m_body;
};

// The stand-in site as the driver sees it through its folder.
class CSiteRecord {
  public:
    explicit CSiteRecord(std::string folder) : m_folder(std::move(folder)) {}
    // The requests recorded so far, oldest first.
    std::vector<SiteRequest> requests() const;
    // JSON object of scenario keys; "{}" is the site's default behaviour.
    void setScenario(const std::string& json) const;

  private:
    std::string m_folder;
};

// One start of the stand-in torrent client.
struct ClientStart {
    std::vector<std::string> m_arguments;
    std::string m_copy;  // its copy of the torrent it was given
};

// The client's record file, named by SW_CLIENT_RECORD.
std::vector<ClientStart> clientStarts();

std::string readFileBytes(const std::string& path);
// The value of a plain text field in a multipart/form-data body; empty when missing.
std::string formField(const std::string& body, const std::string& name);
// The file name sent with a file field; empty when missing.
std::string formFileName(const std::string& body, const std::string& name);
