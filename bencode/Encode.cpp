#include "bencode/Encode.h"

namespace {

void appendByteString(std::string& out, const std::string& bytes) {
    out += std::to_string(bytes.size());
    out += ':';
    out += bytes;
}

void appendAtom(std::string& out, const CAtom& atom);

void appendList(std::string& out, const CAtomList& list) {
    out += 'l';
    for (const auto& item : list.m_items) {
        if (item)
            appendAtom(out, *item);
    }
    out += 'e';
}

void appendDictionary(std::string& out, const CAtomDicti& dict) {
    out += 'd';
    for (const auto& [key, value] : dict.m_entries) {
        appendByteString(out, key);
        appendAtom(out, *value);
    }
    out += 'e';
}

void appendAtom(std::string& out, const CAtom& atom) {
    switch (atom.kind()) {
        case CAtom::Kind::Int:
        case CAtom::Kind::Long:
            out += 'i';
            out += atom.asText();
            out += 'e';
            break;
        case CAtom::Kind::String:
            appendByteString(out, static_cast<const CAtomString&>(atom).m_value);
            break;
        case CAtom::Kind::List:
            appendList(out, static_cast<const CAtomList&>(atom));
            break;
        case CAtom::Kind::Dicti:
            appendDictionary(out, static_cast<const CAtomDicti&>(atom));
            break;
    }
}

template <class T>
std::string encode(const T& atom) {
    std::string out;
    appendAtom(out, atom);
    return out;
}

}  // namespace

std::string writeInteger(const CAtomInt& atom) {
    return encode(atom);
}
std::string writeLongInteger(const CAtomLong& atom) {
    return encode(atom);
}
std::string writeByteString(const CAtomString& atom) {
    return encode(atom);
}
std::string writeList(const CAtomList& atom) {
    return encode(atom);
}
std::string writeDictionary(const CAtomDicti& atom) {
    return encode(atom);
}
