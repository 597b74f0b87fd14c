#include "bencode/Atom.h"

#include <cstdlib>
#include <utility>

namespace {

std::size_t decimalDigits(std::size_t n) {
    std::size_t digits = 1;
    while (n >= 10) {
        n /= 10;
        ++digits;
    }
    return digits;
}

std::size_t byteStringSize(std::size_t length) {
    return decimalDigits(length) + 1 + length;
}

}  // namespace

std::size_t CAtomString::encodedSize() const {
    return byteStringSize(m_value.size());
}

std::size_t CAtomList::encodedSize() const {
    std::size_t size = 2;
    for (const auto& item : m_items) {
        if (item)
            size += item->encodedSize();
    }
    return size;
}

void CAtomList::shuffle() {
    for (std::size_t k = 1; k < m_items.size(); ++k) {
        std::size_t r = static_cast<std::size_t>(std::rand()) % (k + 1);
        if (r != k)
            std::swap(m_items[k], m_items[r]);
    }
}

std::size_t CAtomDicti::encodedSize() const {
    std::size_t size = 2;
    for (const auto& [key, value] : m_entries)
        size += byteStringSize(key.size()) + value->encodedSize();
    return size;
}

void CAtomDicti::store(std::unique_ptr<CAtom> value, std::string key) {
    m_entries[std::move(key)] = std::move(value);
}

const CAtom* dictionaryEntry(const CAtom* atom, const std::string& key) {
    if (!atom || !atom->isDictionary())
        return nullptr;
    const auto& entries = static_cast<const CAtomDicti*>(atom)->m_entries;
    const auto found = entries.find(key);
    return found == entries.end() ? nullptr : found->second.get();
}
