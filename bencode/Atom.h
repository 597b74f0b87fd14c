#pragma once
// The in-memory tree of bencode values. Containers own their children; the whole tree
// is released through its root. The encoder is in bencode/Encode.h.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CAtom {
  public:
    enum class Kind { Int, Long, String, List, Dicti };

    virtual ~CAtom() = default;
    virtual Kind kind() const = 0;
    virtual bool isDictionary() const { return false; }
    // Length of the encoding the encoder produces for this value.
    virtual std::size_t encodedSize() const = 0;
    virtual std::size_t valueLength() const = 0;
    virtual std::string asText() const = 0;
};

// Integers encode through their decimal text, so both share size and length.
class CAtomNumber : public CAtom {
  public:
    std::size_t encodedSize() const override { return asText().size() + 2; }
    std::size_t valueLength() const override { return asText().size(); }
};

class CAtomInt final : public CAtomNumber {
  public:
    explicit CAtomInt(int32_t value) : m_value(value) {}
    Kind kind() const override { return Kind::Int; }
    std::string asText() const override { return std::to_string(m_value); }

    const int32_t m_value;
};

class CAtomLong final : public CAtomNumber {
  public:
    explicit CAtomLong(int64_t value) : m_value(value) {}
    Kind kind() const override { return Kind::Long; }
    std::string asText() const override { return std::to_string(m_value); }

    const int64_t m_value;
};

class CAtomString final : public CAtom {
  public:
    explicit CAtomString(std::string value) : m_value(std::move(value)) {}
    Kind kind() const override { return Kind::String; }
    std::size_t encodedSize() const override;
    std::size_t valueLength() const override { return m_value.size(); }
    std::string asText() const override { return m_value; }

    const std::string m_value;
};

// Lists and dictionaries have no text of their own.
class CAtomContainer : public CAtom {
  public:
    std::size_t valueLength() const override { return 0; }
    std::string asText() const override { return std::string(); }
};

class CAtomList final : public CAtomContainer {
  public:
    Kind kind() const override { return Kind::List; }
    std::size_t encodedSize() const override;

    // Takes ownership; the item goes to the end.
    void append(std::unique_ptr<CAtom> item) { m_items.push_back(std::move(item)); }
    bool empty() const { return m_items.empty(); }
    void removeAll() { m_items.clear(); }
    // Random permutation driven by rand(): for k = 1..n-1 swap items k and rand() % (k + 1).
    void shuffle();

    std::vector<std::unique_ptr<CAtom>> m_items;
};

class CAtomDicti final : public CAtomContainer {
  public:
    Kind kind() const override { return Kind::Dicti; }
    bool isDictionary() const override { return true; }
    std::size_t encodedSize() const override;

    // Takes ownership; a value already stored under the key is destroyed and replaced.
    void store(std::unique_ptr<CAtom> value, std::string key);
    bool empty() const { return m_entries.empty(); }
    void removeAll() { m_entries.clear(); }

    // std::string compares as unsigned bytes, shorter prefix first: the bencode key order.
    std::map<std::string, std::unique_ptr<CAtom>> m_entries;
};

// The value stored under `key` when `atom` is a dictionary that has one; null otherwise. The key
// is matched by its whole size, so it may hold a zero byte.
const CAtom* dictionaryEntry(const CAtom* atom, const std::string& key);
