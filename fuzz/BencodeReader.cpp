// The reader of the site's copy of a torrent. What it accepts is one canonical value filling the
// input, so encoding the tree again gives the same bytes up to the order of dictionary keys:
// the same size, and a second round gives exactly the first one's bytes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "bencode/Decode.h"
#include "bencode/Encode.h"
#include "fuzz/Check.h"

namespace {

DecodeLimits smallLimits() {
    DecodeLimits limits;
    limits.m_maxDepth = 16;
    limits.m_maxValues = 4096;
    return limits;
}

// The encoder writes any value as an item of a list.
std::string encoded(std::unique_ptr<CAtom> value) {
    CAtomList holder;
    holder.append(std::move(value));
    const std::string list = writeList(holder);
    return list.substr(1, list.size() - 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    DecodeResult first = decodeBencode(bytes, size, smallLimits());
    if (!first.m_value) {
        FUZZ_CHECK(!first.m_error.empty());
        return 0;
    }
    FUZZ_CHECK(first.m_error.empty());
    const std::string again = encoded(std::move(first.m_value));
    FUZZ_CHECK(again.size() == size);

    DecodeResult second = decodeBencode(again.data(), again.size(), smallLimits());
    FUZZ_CHECK(second.m_value);
    FUZZ_CHECK(encoded(std::move(second.m_value)) == again);
    return 0;
}
