#include "torrent/Sha1Hasher.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace sha1 {

bool processorHasShaExtensions() {
#if defined(__i386__) || defined(__x86_64__)
    unsigned eax, ebx, ecx, edx;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    const bool ssse3 = ecx & (1u << 9);
    const bool sse41 = ecx & (1u << 19);
    if (!ssse3 || !sse41 || __get_cpuid_max(0, nullptr) < 7)
        return false;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    return ebx & (1u << 29);
#else
    return false;
#endif
}

CompressFn bestCompress() {
#if defined(__i386__) || defined(__x86_64__)
    static const CompressFn chosen = processorHasShaExtensions() ? compressShaExt : compressScalar;
    return chosen;
#else
    return compressScalar;
#endif
}

bool twoAtOnce() {
#if defined(__x86_64__)
    return bestCompress() == compressShaExt;
#else
    return false;
#endif
}

}  // namespace sha1
