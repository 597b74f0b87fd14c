// seedwright-maketorrent [--threads N] PATH OUTPUT: builds a torrent from a file or a folder
// with the program's own builder and reports how fast it hashed. N hashing threads, 1 to 8;
// without the option one per core, as the program does.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/state/AppState.h"
#include "torrent/FileSystem.h"
#include "torrent/MakeTorrent.h"
#include "torrent/PiecePipeline.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: seedwright-maketorrent [--threads N] PATH OUTPUT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned threads = 0;
    int first = 1;
    if (argc == 5 && std::string(argv[1]) == "--threads") {
        const long n = std::strtol(argv[2], nullptr, 10);
        if (n < 1 || n > static_cast<long>(torrent::pieces::kMaxHashers))
            return usage();
        threads = static_cast<unsigned>(n);
        first = 3;
    } else if (argc != 3) {
        return usage();
    }
    const std::string path = argv[first];
    const std::string output = argv[first + 1];
    CMakeTorrent maker;
    maker.setCreator(app::kTitle);
    maker.m_hashThreads = threads;
    const auto start = std::chrono::steady_clock::now();
    const BuildResult result =
        torrent::fsys::isFolder(path) ? maker.buildFromFolder(path, output) : maker.buildFromFile(path, output);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const uint64_t total = maker.m_totalSize.load();
    const uint64_t hashed = maker.m_bytesDone.load();
    const uint64_t pieceLength = static_cast<uint64_t>(CMakeTorrent::pieceLengthFor(total));
    const double mibPerSecond = seconds > 0 ? static_cast<double>(hashed) / (1024.0 * 1024.0) / seconds : 0.0;
    std::printf("hash threads: %u\n", threads != 0 ? threads : torrent::pieces::defaultHashers());
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
