#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "client/ClientDiscovery.h"
#include "tests/support/WinPlaces.h"
#include "upload/UploadPlan.h"
#include "win/Handles.h"

namespace {

std::string standinClient(const char* variant) {
    return places::windowsPath(SW_STANDIN_CLIENT_DIR) + "\\" + variant + "\\uTorrent.exe";
}

TEST(ClientDiscovery, VersionOfTheExecutable) {
    EXPECT_EQ(executableMajorVersion(standinClient("v2")), 2);
    EXPECT_EQ(executableMajorVersion(standinClient("v3")), 3);
    EXPECT_EQ(executableMajorVersion(standinClient("plain")), -1);
    EXPECT_EQ(executableMajorVersion("C:\\no\\such\\uTorrent.exe"), -1);

    const client::ExecutableFacts v3 = executableVersion(standinClient("v3"));
    EXPECT_EQ(v3.originalFilename, "uTorrent.exe");
    EXPECT_EQ(v3.productName, "");
    const client::ExecutableFacts qbittorrent =
        executableVersion(places::windowsPath(SW_STANDIN_CLIENT_DIR) + "\\qbittorrent\\qbittorrent.exe");
    EXPECT_EQ(qbittorrent.productName, "qBittorrent");
    EXPECT_EQ(qbittorrent.originalFilename, "qbittorrent.exe");
    EXPECT_EQ(qbittorrent.majorVersion, 4);
}

TEST(ClientDiscovery, WineIsAnNtSystem) {
    COsVersion version;
    EXPECT_EQ(version.osVersionCode(), 4);
    EXPECT_TRUE(version.m_isNt);
}

// The three registered open commands, written into the test prefix and removed afterwards.
class RegisteredCommands : public ::testing::Test {
  protected:
    const char* kLocation1 = "uTorrent\\shell\\open\\command";
    const char* kLocation3 = "Software\\Classes\\Applications\\uTorrent.exe\\shell\\open\\command";

    void TearDown() override {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ".torrent");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "qBittorrent.File.Torrent");
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
            RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "Software\\qBittorrent", view, 0);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "uTorrent");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "Applications\\uTorrent.exe");
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\Applications\\uTorrent.exe");
    }

    static void write(HKEY root,
                      const char* keyPath,
                      const std::string& command,
                      const char* name = nullptr,
                      REGSAM view = 0) {
        win::CRegKey key;
        ASSERT_EQ(RegCreateKeyExA(root, keyPath, 0, nullptr, 0, KEY_WRITE | view, nullptr, key.receive(), nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                 DWORD(command.size() + 1)),
                  ERROR_SUCCESS);
    }
};

TEST_F(RegisteredCommands, NoneRegistered) {
    EXPECT_EQ(findUTorrentPath(), "");
}

TEST_F(RegisteredCommands, QuotedAndUnquoted) {
    write(HKEY_CLASSES_ROOT, kLocation1, "\"C:\\Program Files\\uTorrent\\uTorrent.exe\" \"%1\"");
    EXPECT_EQ(findUTorrentPath(), "C:\\Program Files\\uTorrent\\uTorrent.exe");
    write(HKEY_CLASSES_ROOT, kLocation1, "C:\\uTorrent\\uTorrent.exe \"%1\"");
    EXPECT_EQ(findUTorrentPath(), "");
}

TEST_F(RegisteredCommands, TooLongForTheBuffer) {
    const std::string path = "C:\\" + std::string(250, 'x') + ".exe";
    write(HKEY_CLASSES_ROOT, kLocation1, "\"" + path + "\"");  // 258 characters
    EXPECT_EQ(findUTorrentPath(), "");
    const std::string fits = "C:\\" + std::string(246, 'x') + ".exe";
    write(HKEY_CLASSES_ROOT, kLocation1, "\"" + fits + "\"");  // 255 characters and the zero
    EXPECT_EQ(findUTorrentPath(), fits);
}

TEST_F(RegisteredCommands, AnUnquotedFirstLocationGivesWayToAQuotedThird) {
    write(HKEY_CLASSES_ROOT, kLocation1, "C:\\one\\uTorrent.exe \"%1\"");
    write(HKEY_CURRENT_USER, kLocation3, "\"C:\\three\\uTorrent.exe\" \"%1\"");
    EXPECT_EQ(findUTorrentPath(), "C:\\three\\uTorrent.exe");
}

// A qBittorrent installed in either registry view (a 64-bit one is invisible to a 32-bit program
// that does not ask for that view) is found after uTorrent's registrations; the program
// registered for .torrent files comes first when it is a known client.
TEST_F(RegisteredCommands, QbittorrentAndTheProgramForTorrentFiles) {
    const std::string folder = places::windowsPath(SW_STANDIN_CLIENT_DIR) + "\\qbittorrent";
    const std::string qbittorrent = folder + "\\qbittorrent.exe";
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        write(HKEY_LOCAL_MACHINE, "Software\\qBittorrent", folder, "InstallLocation", view);
        EXPECT_EQ(findUTorrentPath(), qbittorrent) << "view " << view;
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "Software\\qBittorrent", view, 0);
    }
    write(HKEY_LOCAL_MACHINE, "Software\\qBittorrent", folder, "InstallLocation", KEY_WOW64_32KEY);
    write(HKEY_CLASSES_ROOT, kLocation1, "\"C:\\uTorrent\\uTorrent.exe\" \"%1\"");
    EXPECT_EQ(findUTorrentPath(), "C:\\uTorrent\\uTorrent.exe");
    write(HKEY_CLASSES_ROOT, ".torrent", "qBittorrent.File.Torrent");
    write(HKEY_CLASSES_ROOT, "qBittorrent.File.Torrent\\shell\\open\\command", "\"" + qbittorrent + "\" \"%1\"");
    EXPECT_EQ(findUTorrentPath(), qbittorrent);
    // A program that is no torrent client gives way.
    write(HKEY_CLASSES_ROOT, "qBittorrent.File.Torrent\\shell\\open\\command",
          "\"C:\\windows\\system32\\notepad.exe\" \"%1\"");
    EXPECT_EQ(findUTorrentPath(), "C:\\uTorrent\\uTorrent.exe");
}

// What the stand-in client received from one start with the given parameters.
struct Received {
    std::vector<std::string> args;
    std::string directory;
    bool hasDirectory = false;
    std::string torrent;
};

Received startStandin(const std::string& program, const std::string& parameters) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string record = std::string(temp) + "standin-record.txt";
    DeleteFileA(record.c_str());
    SetEnvironmentVariableA("SW_CLIENT_RECORD", record.c_str());

    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = "open";
    info.lpFile = program.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOW;
    Received received;
    if (!ShellExecuteExA(&info) || !info.hProcess) {
        ADD_FAILURE() << "cannot start " << program;
        return received;
    }
    const win::CHandle process(info.hProcess);
    WaitForSingleObject(process.get(), 30000);

    std::ifstream in(record);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("arg ", 0) == 0)
            received.args.push_back(line.substr(4));
        else if (line.rfind("directory ", 0) == 0) {
            received.directory = line.substr(10);
            received.hasDirectory = true;
        } else if (line.rfind("torrent ", 0) == 0)
            received.torrent = line.substr(8);
    }
    return received;
}

struct HandOffCase {
    const char* variant;
    bool fileMode;
    const char* contentPath;
    const char* expectedDirectory;
};

TEST(StandinClient, ReceivesExactlyTheDirectoryOfTheHandOff) {
    const std::string torrent = "C:\\users\\Seedwright\\swr.torrent";
    const HandOffCase cases[] = {
        {"v3", true, "C:\\Data\\a.mkv", "C:\\Data\\"},     {"v2", true, "C:\\Data\\a.mkv", "C:\\Data\\"},
        {"v2", false, "C:\\Data\\Film", "C:\\Data\\Film"}, {"v2", false, "C:\\Data\\Film\\", "C:\\Data\\Film\\"},
        {"v3", false, "C:\\Data\\Film", "C:\\Data\\"},     {"v3", false, "C:\\Data\\Film\\", "C:\\Data\\"},
        {"plain", false, "C:\\Data\\Film", "C:\\Data\\"},  {"v3", false, "C:\\", ""},
    };
    for (const HandOffCase& c : cases) {
        SCOPED_TRACE(std::string(c.variant) + " " + c.contentPath);
        upload::ClientPaths paths;
        paths.utorrent = standinClient(c.variant);
        std::string content;
        ASSERT_TRUE(upload::contentFolder(c.contentPath, c.fileMode, content));
        upload::ClientFacts facts;
        facts.majorVersion = executableMajorVersion(paths.utorrent);
        const upload::ClientStart start = upload::clientStart(paths, facts, upload::ClientChoice::Closed, c.fileMode,
                                                              content, upload::parentFolder(c.contentPath), torrent);
        const Received received = startStandin(start.program, start.parameters);
        ASSERT_EQ(received.args.size(), 3u);
        EXPECT_EQ(received.args[0], "/directory");
        EXPECT_TRUE(received.hasDirectory);
        EXPECT_EQ(received.directory, c.expectedDirectory);
        EXPECT_EQ(received.torrent, torrent);
    }
}

}  // namespace
