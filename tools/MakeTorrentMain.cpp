// seedwright-maketorrent PATH OUTPUT: builds a torrent from a file or a folder with the
// program's own builder and reports how fast it hashed.
#include <chrono>
#include <cstdio>
#include <string>

#include "app/AppState.h"
#include "torrent/MakeTorrent.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: seedwright-maketorrent PATH OUTPUT\n");
        return 2;
    }
    const std::string path = argv[1];
    const std::string output = argv[2];
    appState().setIdentity();

    CMakeTorrent maker;
    const auto start = std::chrono::steady_clock::now();
    const BuildResult result =
        fsys::isFolder(path) ? maker.buildFromFolder(path, output) : maker.buildFromFile(path, output);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const uint64_t total = maker.m_totalSize.load();
    const uint64_t hashed = maker.m_bytesDone.load();
    const uint64_t pieceLength = static_cast<uint64_t>(CMakeTorrent::pieceLengthFor(total));
    const double mibPerSecond = seconds > 0 ? static_cast<double>(hashed) / (1024.0 * 1024.0) / seconds : 0.0;
    std::printf("piece length: %llu\n", static_cast<unsigned long long>(pieceLength));
    std::printf("pieces: %llu\n", static_cast<unsigned long long>((hashed + pieceLength - 1) / pieceLength));
    std::printf("bytes hashed: %llu\n", static_cast<unsigned long long>(hashed));
    std::printf("seconds: %.3f\n", seconds);
    std::printf("MiB/s: %.1f\n", mibPerSecond);
    if (!result) {
        std::fprintf(stderr, "no torrent written%s%s\n", result.m_reason.empty() ? "" : ": ", result.m_reason.c_str());
        return 1;
    }
    return 0;
}
