#pragma once
// Shared set-up of the tests that talk to the stand-in site under Wine.

#include <gtest/gtest.h>

#include <windows.h>

#include <wininet.h>

#include <string>

#include "app/state/AppState.h"
#include "tests/support/BoxWatcher.h"
#include "tests/support/Standin.h"
#include "win/MessageBox.h"

class OnlineTest : public ::testing::Test {
  protected:
    OnlineTest() {
        win::setMessageCaption(app::kTitle);
        // Every test starts without the session cookies of an earlier one.
        InternetSetOptionA(nullptr, INTERNET_OPTION_END_BROWSER_SESSION, nullptr, 0);
    }

    // A fresh file in the temporary folder.
    static std::string tempFile(const std::string& name, const std::string& bytes) {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        const std::string path = std::string(folder) + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        writeFileBytes(path, bytes);
        return path;
    }

    // Cookies WinINet keeps for an address of the site.
    std::string cookiesFor(const std::string& path) const {
        const std::string url = "https://" + m_site.host() + path;
        char text[2048] = {};
        DWORD size = sizeof text;
        if (!InternetGetCookieA(url.c_str(), nullptr, text, &size))
            return std::string();
        return text;
    }

    CStandin m_site;
    CBoxWatcher m_boxes{"Seedwright V1.14"};
};
