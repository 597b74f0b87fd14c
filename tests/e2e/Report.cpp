#include "tests/e2e/Report.h"

#include <cstdio>
#include <fstream>

CReport::CReport(std::string shots) : m_shots(std::move(shots)), m_start(GetTickCount64()) {}

void CReport::print(const std::string& line) {
    std::printf("[%6.1fs] %s\n", double(GetTickCount64() - m_start) / 1000.0, line.c_str());
    std::fflush(stdout);
}

void CReport::step(const std::string& text) {
    print(text);
}

void CReport::info(const std::string& text) {
    print("    " + text);
}

bool CReport::check(bool ok, const std::string& what) {
    if (!ok) {
        ++m_failures;
        print("    FAILED: " + what);
    }
    return ok;
}

bool CReport::checkEqual(const std::string& actual, const std::string& expected, const std::string& what) {
    return check(actual == expected, what + ": " + quoted(actual) + ", expected " + quoted(expected));
}

bool CReport::fail(const std::string& what) {
    return check(false, what);
}

void CReport::shot(const std::string& name, HWND window) {
    if (m_shots.empty() || window == nullptr)
        return;
    // A window that has just appeared may not be painted yet: have its thread paint it now.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    Sleep(200);
    RECT rect{};
    if (!GetWindowRect(window, &rect))
        return;
    // Wine keeps the window's X window in this property. A dump of the root window misses the
    // windows that have an owner, so the host dumps the X window itself when it knows it.
    const auto xWindow = reinterpret_cast<ULONG_PTR>(GetPropA(window, "__wine_x11_whole_window"));
    char numbered[16];
    std::snprintf(numbered, sizeof numbered, "%02d-", ++m_shotCount);
    const std::string base = m_shots + "\\" + numbered + name;
    const std::string done = base + ".done";
    DeleteFileA(done.c_str());
    {
        std::ofstream out(base + ".rect.tmp");
        out << rect.left << " " << rect.top << " " << rect.right << " " << rect.bottom << " " << xWindow << "\n";
    }
    MoveFileExA((base + ".rect.tmp").c_str(), (base + ".rect").c_str(), MOVEFILE_REPLACE_EXISTING);
    const ULONGLONG end = GetTickCount64() + 10000;
    while (GetFileAttributesA(done.c_str()) == INVALID_FILE_ATTRIBUTES && GetTickCount64() < end)
        Sleep(20);
    DeleteFileA(done.c_str());
    info("screenshot " + std::string(numbered) + name + ".png");
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out + "\"";
}
