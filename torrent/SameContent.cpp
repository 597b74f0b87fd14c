#include "torrent/SameContent.h"

#include "bencode/Decode.h"

namespace {

const CAtomDicti* infoOf(const CAtom* top) {
    const CAtom* info = dictionaryEntry(top, "info");
    return info && info->isDictionary() ? static_cast<const CAtomDicti*>(info) : nullptr;
}

bool isNumber(const CAtom& atom) {
    return atom.kind() == CAtom::Kind::Int || atom.kind() == CAtom::Kind::Long;
}

// Equal values; an integer is the same whether it was read as 32 or 64 bits.
bool same(const CAtom& a, const CAtom& b) {
    if (isNumber(a) && isNumber(b))
        return a.asText() == b.asText();
    if (a.kind() != b.kind())
        return false;
    switch (a.kind()) {
        case CAtom::Kind::String:
            return static_cast<const CAtomString&>(a).m_value == static_cast<const CAtomString&>(b).m_value;
        case CAtom::Kind::List: {
            const auto& x = static_cast<const CAtomList&>(a).m_items;
            const auto& y = static_cast<const CAtomList&>(b).m_items;
            if (x.size() != y.size())
                return false;
            for (std::size_t i = 0; i < x.size(); ++i)
                if (!same(*x[i], *y[i]))
                    return false;
            return true;
        }
        case CAtom::Kind::Dicti: {
            const auto& x = static_cast<const CAtomDicti&>(a).m_entries;
            const auto& y = static_cast<const CAtomDicti&>(b).m_entries;
            if (x.size() != y.size())
                return false;
            for (auto i = x.begin(), j = y.begin(); i != x.end(); ++i, ++j)
                if (i->first != j->first || !same(*i->second, *j->second))
                    return false;
            return true;
        }
        default:
            return false;
    }
}

// A key of the site's file as the member reads it: it may be anything, of any length.
std::string shown(const std::string& key) {
    constexpr std::size_t kShown = 40;
    return key.size() <= kShown ? key : key.substr(0, kShown) + "...";
}

// What a tracker may add to "info": the private flag (0 or 1) and a source tag.
bool addedByTracker(const std::string& key, const CAtom& value) {
    if (key == "private")
        return isNumber(value) && (value.asText() == "0" || value.asText() == "1");
    return key == "source" && value.kind() == CAtom::Kind::String;
}

}  // namespace

bool sameContent(const std::string& built, const std::string& copy, std::string& reason) {
    const DecodeResult ours = decodeBencode(built.data(), built.size());
    const CAtomDicti* ourInfo = infoOf(ours.m_value.get());
    if (!ourInfo) {
        reason = "The torrent created for the upload cannot be read back.";
        return false;
    }
    const DecodeResult theirs = decodeBencode(copy.data(), copy.size());
    if (!theirs.m_value) {
        reason = "The file from the site is not a torrent (" + theirs.m_error + ").";
        return false;
    }
    const CAtomDicti* theirInfo = infoOf(theirs.m_value.get());
    if (!theirInfo) {
        reason = "The file from the site has no \"info\" dictionary.";
        return false;
    }
    for (const auto& [key, value] : ourInfo->m_entries) {
        const auto their = theirInfo->m_entries.find(key);
        if (their == theirInfo->m_entries.end()) {
            reason = "The file from the site has no \"" + key + "\".";
            return false;
        }
        if (!same(*value, *their->second)) {
            reason = "The file from the site has another \"" + key + "\" than the upload.";
            return false;
        }
    }
    for (const auto& [key, value] : theirInfo->m_entries) {
        if (ourInfo->m_entries.count(key) == 0 && !addedByTracker(key, *value)) {
            reason = "The file from the site has an unexpected \"" + shown(key) + "\" in its \"info\".";
            return false;
        }
    }
    return true;
}
