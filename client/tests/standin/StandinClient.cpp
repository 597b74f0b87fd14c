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
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "win/Handles.h"

namespace {

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
    return appendText(record, block) ? 0 : 2;
}
