// A stand-in for the torrent client, for the upload tests. It splits its command line the way a
// Windows program does (CommandLineToArgvW) and appends what it received to the record file named
// by SW_CLIENT_RECORD (default: received.txt beside the program), one block per start:
//
//   start
//   arg <argument>            each argument after the program, UTF-8
//   directory <folder>        the value after "/directory", when given
//   torrent <path>            the last argument
//   copy <path>               a copy of that torrent, taken at once: a later upload overwrites it
//   end
//
// With SW_SWARM_WEBUI (http://127.0.0.1:PORT, a qbittorrent-nox Web API on loopback) the start
// is then handed on to that real client, the way the client this stand-in plays reads its
// command line: the torrent goes to the real client with the save path and content layout that
// client would take, on the host's file system (Wine's names for the paths), and the real client
// checks the content it finds there and seeds it. Two more lines follow the block:
//
//   save-path <host folder> layout <Original|Subfolder|NoSubfolder>   when they could be worked out
//   handed ok | handed failed: <why>
//
// Which client it plays is fixed at build time (SW_STANDIN_PLAYS): uTorrent 3.x takes the value
// of /directory, without its last backslash, as the save path and keeps the torrent's layout;
// qBittorrent takes --save-path=<folder> as given, with the layout its qBittorrent.ini in the
// member's application data names (Session\TorrentContentLayout under [BitTorrent], default
// Original). uTorrent 2.x (the data folder itself) is not handed on.
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstring>
#include <string>
#include <vector>

#include "win/Handles.h"

#ifndef SW_STANDIN_PLAYS
#define SW_STANDIN_PLAYS 0
#endif

namespace {

enum class Plays { NotHandedOn = 0, UTorrent3 = 1, QBittorrent = 2 };
constexpr Plays kPlays = Plays(SW_STANDIN_PLAYS);

std::string utf8(const std::wstring& text) {
    if (text.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

std::wstring recordPath() {
    wchar_t buffer[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableW(L"SW_CLIENT_RECORD", buffer, MAX_PATH * 2);
    if (length > 0 && length < MAX_PATH * 2)
        return buffer;
    GetModuleFileNameW(nullptr, buffer, MAX_PATH * 2);
    std::wstring path = buffer;
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"received.txt";
}

bool appendText(const std::wstring& path, const std::string& text) {
    const win::CHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file.get(), text.data(), DWORD(text.size()), &written, nullptr);
    return ok && written == text.size();
}

std::wstring environment(const wchar_t* name) {
    wchar_t buffer[1024];
    const DWORD length = GetEnvironmentVariableW(name, buffer, 1024);
    return length > 0 && length < 1024 ? std::wstring(buffer, length) : std::wstring();
}

bool readBytes(const std::wstring& path, std::string& bytes) {
    const win::CHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file.valid() || !GetFileSizeEx(file.get(), &size) || size.QuadPart > (64 << 20))
        return false;
    bytes.assign(size_t(size.QuadPart), '\0');
    DWORD read = 0;
    return bytes.empty() ||
           (ReadFile(file.get(), &bytes[0], DWORD(bytes.size()), &read, nullptr) && read == bytes.size());
}

// The host's name for a Windows path, from Wine's own kernel32; the reason in `why` when there
// is none.
bool hostPath(const std::wstring& path, std::string& host, std::string& why) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const FARPROC found = kernel ? GetProcAddress(kernel, "wine_get_unix_file_name") : nullptr;
    if (!found) {
        why = "kernel32 has no wine_get_unix_file_name: not running under Wine";
        return false;
    }
    // Through a pointer without a type: the function's own type is not FARPROC's.
    UnixName unixName = nullptr;
    static_assert(sizeof unixName == sizeof found, "function pointers of one size");
    std::memcpy(&unixName, &found, sizeof unixName);
    char* name = unixName(path.c_str());
    if (!name) {
        why = "Wine has no host name for " + utf8(path);
        return false;
    }
    host = name;
    HeapFree(GetProcessHeap(), 0, name);
    return true;
}

// What the qBittorrent this stand-in plays reads from its settings: the content layout.
bool qbittorrentLayout(std::string& layout, std::string& why) {
    wchar_t appData[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData) != S_OK) {
        why = "no application data folder";
        return false;
    }
    const std::wstring ini = std::wstring(appData) + L"\\qBittorrent\\qBittorrent.ini";
    wchar_t value[64];
    GetPrivateProfileStringW(L"BitTorrent", L"Session\\TorrentContentLayout", L"Original", value, 64, ini.c_str());
    layout = utf8(value);
    if (layout == "Original" || layout == "Subfolder" || layout == "NoSubfolder")
        return true;
    why = utf8(ini) + ": unknown content layout \"" + layout + "\"";
    return false;
}

// Posts the torrent to the Web API at `webUi` (plain HTTP on loopback), as its add form does.
bool postToWebUi(const std::wstring& webUi,
                 const std::string& torrent,
                 const std::string& savePath,
                 const std::string& layout,
                 std::string& why) {
    const std::wstring prefix = L"http://127.";
    const size_t colon = webUi.rfind(L':');
    if (webUi.compare(0, prefix.size(), prefix) != 0 || colon < prefix.size()) {
        why = "SW_SWARM_WEBUI is not http://127.x.x.x:PORT: " + utf8(webUi);
        return false;
    }
    const std::wstring host = webUi.substr(7, colon - 7);
    const int port = _wtoi(webUi.c_str() + colon + 1);
    if (port <= 0 || port > 65535) {
        why = "no port in SW_SWARM_WEBUI " + utf8(webUi);
        return false;
    }
    const std::string boundary = "----SeedwrightStandin7d3f1a";
    std::string body;
    const auto field = [&](const char* name, const std::string& value) {
        body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
    };
    body += "--" + boundary +
            "\r\nContent-Disposition: form-data; name=\"torrents\"; filename=\"swr.torrent\"\r\n"
            "Content-Type: application/x-bittorrent\r\n\r\n" +
            torrent + "\r\n";
    field("savepath", savePath);
    field("contentLayout", layout);
    field("skip_checking", "false");
    field("paused", "false");
    field("autoTMM", "false");
    body += "--" + boundary + "--\r\n";

    const win::CInternetHandle session(
        InternetOpenW(L"Seedwright stand-in client", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session.valid()) {
        why = "InternetOpen failed, error " + std::to_string(GetLastError());
        return false;
    }
    DWORD limit = 15000;
    for (const DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(session.get(), option, &limit, sizeof limit);
    const win::CInternetHandle connection(InternetConnectW(session.get(), host.c_str(), INTERNET_PORT(port), nullptr,
                                                           nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    const win::CInternetHandle request(
        connection.valid() ? HttpOpenRequestW(connection.get(), L"POST", L"/api/v2/torrents/add", nullptr, nullptr,
                                              nullptr, INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD, 0)
                           : nullptr);
    const std::wstring headers =
        L"Content-Type: multipart/form-data; boundary=" + std::wstring(boundary.begin(), boundary.end()) + L"\r\n";
    if (!request.valid() ||
        !HttpSendRequestW(request.get(), headers.c_str(), DWORD(headers.size()), &body[0], DWORD(body.size()))) {
        why = "no answer from " + utf8(webUi) + ", error " + std::to_string(GetLastError());
        return false;
    }
    DWORD status = 0;
    DWORD size = sizeof status;
    HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
    std::string answer;
    char buffer[4096];
    DWORD read = 0;
    while (answer.size() < 65536 && InternetReadFile(request.get(), buffer, sizeof buffer, &read) && read > 0)
        answer.append(buffer, read);
    if (status != 200 || answer != "Ok.") {
        why = "the Web API answered " + std::to_string(status) + ": " + answer.substr(0, 200);
        return false;
    }
    return true;
}

// Hands the start on to the real client at `webUi`; the two lines for the record.
std::string handOn(const std::wstring& webUi, const std::vector<std::wstring>& args, const std::wstring& torrent) {
    std::string why, layout = "Original";
    std::wstring folder;
    bool known = false;
    if (kPlays == Plays::UTorrent3) {
        for (size_t i = 0; i + 1 < args.size() && !known; ++i)
            if (args[i] == L"/directory") {
                folder = args[i + 1];
                known = true;
            }
        if (!known)
            why = "no /directory";
        while (folder.size() > 3 && folder.back() == L'\\')
            folder.pop_back();
    } else if (kPlays == Plays::QBittorrent) {
        const std::wstring option = L"--save-path=";
        for (const std::wstring& arg : args)
            if (arg.compare(0, option.size(), option) == 0) {
                folder = arg.substr(option.size());
                known = true;
            }
        if (!known)
            why = "no --save-path=";
        else
            known = qbittorrentLayout(layout, why);
    } else {
        why = "this client is not handed on";
    }
    std::string savePath, bytes;
    if (!known || torrent.empty() || !hostPath(folder, savePath, why))
        return "handed failed: " + (torrent.empty() ? std::string("no torrent") : why) + "\n";
    std::string lines = "save-path " + savePath + " layout " + layout + "\n";
    if (!readBytes(torrent, bytes))
        return lines + "handed failed: cannot read " + utf8(torrent) + "\n";
    if (!postToWebUi(webUi, bytes, savePath, layout, why))
        return lines + "handed failed: " + why + "\n";
    return lines + "handed ok\n";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv)
        return 1;
    std::vector<std::wstring> args(argv + 1, argv + count);
    LocalFree(argv);

    const std::wstring record = recordPath();
    std::string block = "start\n";
    std::wstring directory, torrent;
    bool hasDirectory = false;
    for (size_t i = 0; i < args.size(); ++i) {
        block += "arg " + utf8(args[i]) + "\n";
        if (args[i] == L"/directory" && i + 1 < args.size()) {
            directory = args[i + 1];
            hasDirectory = true;
        }
    }
    if (hasDirectory)
        block += "directory " + utf8(directory) + "\n";
    if (!args.empty()) {
        torrent = args.back();
        block += "torrent " + utf8(torrent) + "\n";
        // The first free number: every start keeps its own copy.
        std::wstring copy;
        bool copied = false;
        for (int n = 1; n < 1000 && !copied; ++n) {
            copy = record + L"." + std::to_wstring(n) + L".torrent";
            copied = CopyFileW(torrent.c_str(), copy.c_str(), TRUE) != FALSE;
            if (!copied && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
                break;
        }
        if (copied)
            block += "copy " + utf8(copy) + "\n";
    }
    block += "end\n";
    if (!appendText(record, block))
        return 2;
    const std::wstring webUi = environment(L"SW_SWARM_WEBUI");
    if (webUi.empty() || kPlays == Plays::NotHandedOn)
        return 0;
    return appendText(record, handOn(webUi, args, torrent)) ? 0 : 2;
}
