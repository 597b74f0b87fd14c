#pragma once
// The bencode reader, for files that come from outside (the site's copy of a torrent). It reads
// one value that fills the whole input into the same tree of CAtom values the encoder writes,
// and refuses anything else: integers and string lengths must be canonical (no leading zeros,
// no "-0"), each dictionary key may appear only once (in any order), and the input's size, the
// nesting depth and the number of values are bounded.

#include <cstddef>
#include <memory>
#include <string>

#include "bencode/Atom.h"

struct DecodeLimits {
    std::size_t m_maxSize = 32 * 1024 * 1024;  // bytes of input
    int m_maxDepth = 64;                       // lists and dictionaries inside one another
    std::size_t m_maxValues = 1 << 21;         // values in the whole tree
};

struct DecodeResult {
    std::unique_ptr<CAtom> m_value;  // null when the input was refused
    std::string m_error;             // what was wrong and at which byte (counted from 1)
};

// Integers that fit 32 bits become CAtomInt, larger ones CAtomLong, as the encoder has them.
DecodeResult decodeBencode(const char* data, std::size_t size, const DecodeLimits& limits = DecodeLimits());
