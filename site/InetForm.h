#pragma once
// One HTML form posted to the site over HTTPS as multipart/form-data, and the plain download
// of a file from the site. An object serves one request:
//   openRequest -> addText / addFile ... -> send -> read m_response.
// Every failure but an unstartable request is shown at once in a message box; all are
// returned as failed. The login cookies travel in WinINet's process-wide cookie store.

#include <windows.h>

#include <string>

#include "site/FormWire.h"
#include "site/InetHandle.h"

class CMyInetForm : public CFormWire {
  public:
    bool openRequest(const std::string& host, const std::string& path);
    void addText(const std::string& name, const std::string& value);
    // An empty fileName announces fileNamePart(path).
    bool addFile(const std::string& path, const std::string& fileName, const std::string& fieldName);
    bool send();
    // Fetches https://host + path into localPath, replacing it.
    bool downloadFile(const std::string& host, const std::string& path, const std::string& localPath);

    std::string m_lastError;
    DWORD m_startTick = 0;
    CInetHandle m_session;
    CInetHandle m_connection;
    CInetHandle m_request;
    std::string m_response;

  private:
    void closeAll();
};
