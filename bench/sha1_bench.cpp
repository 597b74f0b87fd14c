// Throughput of CSha1Hasher on 1 MiB messages, for the block function this process
// dispatches to and for the scalar one: sha1-bench [SECONDS_PER_PATH]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "torrent/Sha1Hasher.h"

namespace {

double mibPerSecond(sha1::CompressFn compress, const std::vector<uint8_t>& block, double seconds) {
    using Clock = std::chrono::steady_clock;
    CSha1Hasher hasher(compress);
    unsigned sink = 0;
    std::size_t rounds = 0;
    const auto start = Clock::now();
    double elapsed = 0;
    do {
        hasher.reset();
        hasher.update(block.data(), static_cast<uint32_t>(block.size()));
        hasher.finish();
        sink += hasher.m_digest[0];
        ++rounds;
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < seconds);
    if (sink == 0x7fffffff)
        std::puts("");
    return static_cast<double>(rounds) * block.size() / (1024.0 * 1024.0) / elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    std::vector<uint8_t> block(1 << 20);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i * 2654435761u >> 24);

    const bool shaExt = sha1::processorHasShaExtensions();
    std::printf("dispatched (%s)\t%.0f MiB/s\n", shaExt ? "SHA extensions" : "scalar",
                mibPerSecond(sha1::bestCompress(), block, seconds));
    std::printf("scalar\t%.0f MiB/s\n", mibPerSecond(sha1::compressScalar, block, seconds));
    return 0;
}
