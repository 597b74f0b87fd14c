#include "site/Scrape.h"

#include <cctype>

#include "bencode/Decode.h"
#include "bencode/Encode.h"
#include "torrent/Sha1Hasher.h"

namespace site::scrape {

namespace {

constexpr const char kAnnounce[] = "announce";
constexpr std::size_t kAnnounceLength = sizeof kAnnounce - 1;
constexpr std::size_t kHashLength = 20;

bool startsWithNoCase(const std::string& text, const char* prefix) {
    for (std::size_t i = 0; prefix[i]; ++i)
        if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

}  // namespace

std::string address(const std::string& announce, const std::string& infoHash) {
    if (infoHash.size() != kHashLength || announce.size() > kMaxAddress)
        return std::string();
    std::size_t hostStart = 0;
    if (startsWithNoCase(announce, "http://"))
        hostStart = 7;
    else if (startsWithNoCase(announce, "https://"))
        hostStart = 8;
    else
        return std::string();
    // Printable ASCII only, and no fragment: nothing WinINet would read otherwise than written.
    for (const char c : announce)
        if (static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) >= 127 || c == '#')
            return std::string();
    const std::size_t query = announce.find('?');
    const std::size_t pathEnd = query == std::string::npos ? announce.size() : query;
    const std::size_t slash = announce.rfind('/', pathEnd == 0 ? 0 : pathEnd - 1);
    // The slash must end the host or lie in the path, and "announce" must follow it.
    const std::size_t hostEnd = announce.find('/', hostStart);
    if (slash == std::string::npos || slash < hostStart || hostEnd == std::string::npos || slash < hostEnd ||
        hostEnd == hostStart || announce.compare(slash + 1, kAnnounceLength, kAnnounce) != 0 ||
        slash + 1 + kAnnounceLength > pathEnd)
        return std::string();
    std::string scrape = announce.substr(0, slash + 1) + "scrape" + announce.substr(slash + 1 + kAnnounceLength);
    if (query == std::string::npos)
        scrape += '?';
    else if (scrape.back() != '?' && scrape.back() != '&')
        scrape += '&';
    scrape += "info_hash=";
    static const char kHex[] = "0123456789ABCDEF";
    for (const char c : infoHash) {
        const auto byte = static_cast<unsigned char>(c);
        scrape += '%';
        scrape += kHex[byte >> 4];
        scrape += kHex[byte & 15];
    }
    return scrape;
}

Seen readAnswer(const std::string& answer, const std::string& infoHash) {
    if (answer.size() > kMaxAnswer)
        return Seen::Never;
    DecodeLimits limits;
    limits.m_maxSize = kMaxAnswer;
    limits.m_maxDepth = 8;
    limits.m_maxValues = 4096;
    const DecodeResult decoded = decodeBencode(answer.data(), answer.size(), limits);
    const CAtom* top = decoded.m_value.get();
    if (!top || !top->isDictionary())
        return Seen::Never;
    const CAtom* files = dictionaryEntry(top, "files");
    if (!files) {
        const CAtom* failure = dictionaryEntry(top, "failure reason");
        return failure && failure->kind() == CAtom::Kind::String ? Seen::NotYet : Seen::Never;
    }
    if (!files->isDictionary())
        return Seen::Never;
    const CAtom* listed = dictionaryEntry(files, infoHash);
    return listed && listed->isDictionary() ? Seen::Listed : Seen::NotYet;
}

bool targetOf(const std::string& torrent, Target& target) {
    const DecodeResult decoded = decodeBencode(torrent.data(), torrent.size());
    const CAtom* top = decoded.m_value.get();
    const CAtom* announce = dictionaryEntry(top, "announce");
    const CAtom* info = dictionaryEntry(top, "info");
    if (!announce || announce->kind() != CAtom::Kind::String || !info || !info->isDictionary())
        return false;
    if (writeDictionary(*static_cast<const CAtomDicti*>(top)) != torrent)
        return false;
    const std::string infoBytes = writeDictionary(*static_cast<const CAtomDicti*>(info));
    CSha1Hasher hasher;
    hasher.reset();
    hasher.update(infoBytes.data(), static_cast<uint32_t>(infoBytes.size()));
    hasher.finish();
    target.m_announce = announce->asText();
    target.m_infoHash.assign(reinterpret_cast<const char*>(hasher.m_digest), sizeof hasher.m_digest);
    return true;
}

}  // namespace site::scrape
