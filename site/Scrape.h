#pragma once
// Asking the tracker whether it lists a torrent yet, by the scrape convention: the announce
// address with the "announce" that starts its path's last segment replaced by "scrape", its
// query (the member's passkey) kept and the info-hash added. The answer is a bencoded
// dictionary whose "files" holds an entry for each info-hash the tracker lists.

#include <cstddef>
#include <string>

namespace site::scrape {

// The longest answer read: one torrent's entry takes under a hundred bytes.
inline constexpr std::size_t kMaxAnswer = 64 * 1024;
// The longest announce address taken, as WinINet takes a whole address.
inline constexpr std::size_t kMaxAddress = 2048;

enum class Seen {
    Listed,  // the tracker lists the torrent
    NotYet,  // it answered without it, or did not answer: ask again
    Never,   // no scrape here, or an answer that is none: stop asking
};

// The scrape address for the 20-byte `infoHash`; empty when the announce address (http or
// https, printable ASCII without a fragment) has no scrape form.
std::string address(const std::string& announce, const std::string& infoHash);

// What a whole answer says of `infoHash`: Listed or NotYet when it is a dictionary with a
// dictionary of files (or a failure reason), Never for anything else or anything larger
// than kMaxAnswer.
Seen readAnswer(const std::string& answer, const std::string& infoHash);

// The announce address and the info-hash (the SHA-1 of "info" as the bytes have it) of a
// torrent file's bytes; false when it has no announce text or its encoding is not canonical,
// so that no hash computed here could differ from the client's.
struct Target {
    std::string m_announce;
    std::string m_infoHash;
};
bool targetOf(const std::string& torrent, Target& target);

}  // namespace site::scrape
