#include "bencode/Decode.h"

#include <cstdint>
#include <limits>

namespace {

class CReader {
  public:
    CReader(const char* data, std::size_t size, const DecodeLimits& limits)
        : m_data(data), m_size(size), m_limits(limits) {}

    std::unique_ptr<CAtom> readAll() {
        if (m_size > m_limits.m_maxSize)
            return refuse("the input is larger than " + std::to_string(m_limits.m_maxSize) + " bytes");
        std::unique_ptr<CAtom> value = readValue(0);
        if (value && m_pos != m_size)
            return refuse("bytes after the end of the value");
        return value;
    }

    std::string error() const { return m_error; }

  private:
    // The first error is the one reported.
    bool fail(const std::string& what) {
        if (m_error.empty())
            m_error = "byte " + std::to_string(m_pos + 1) + ": " + what;
        return false;
    }
    std::unique_ptr<CAtom> refuse(const std::string& what) {
        fail(what);
        return nullptr;
    }

    bool atEnd() const { return m_pos >= m_size; }
    char peek() const { return m_data[m_pos]; }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

    std::unique_ptr<CAtom> readValue(int depth) {
        if (atEnd())
            return refuse("the input ends inside a value");
        if (++m_values > m_limits.m_maxValues)
            return refuse("more than " + std::to_string(m_limits.m_maxValues) + " values");
        const char c = peek();
        if (c == 'i')
            return readInteger();
        if (isDigit(c)) {
            std::string bytes;
            if (!readString(bytes))
                return nullptr;
            return std::make_unique<CAtomString>(std::move(bytes));
        }
        if (c != 'l' && c != 'd')
            return refuse("not the start of a bencode value");
        if (depth >= m_limits.m_maxDepth)
            return refuse("nested deeper than " + std::to_string(m_limits.m_maxDepth) + " levels");
        return c == 'l' ? readList(depth + 1) : readDictionary(depth + 1);
    }

    // Digits up to `end`, canonical, at most `max`; false with the error set otherwise.
    bool readDigits(char end, uint64_t max, uint64_t& value) {
        const std::size_t start = m_pos;
        value = 0;
        while (!atEnd() && isDigit(peek())) {
            const auto digit = static_cast<uint64_t>(peek() - '0');
            if (value > (max - digit) / 10)
                return fail("a number too large");
            value = value * 10 + digit;
            ++m_pos;
        }
        if (m_pos == start)
            return fail("a number without digits");
        if (m_pos - start > 1 && m_data[start] == '0')
            return fail("a number with a leading zero");
        if (atEnd() || peek() != end)
            return fail(std::string("a number not ended by '") + end + "'");
        ++m_pos;
        return true;
    }

    std::unique_ptr<CAtom> readInteger() {
        ++m_pos;  // 'i'
        const bool negative = !atEnd() && peek() == '-';
        if (negative)
            ++m_pos;
        const uint64_t max = static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (negative ? 1 : 0);
        uint64_t magnitude = 0;
        if (!readDigits('e', max, magnitude))
            return nullptr;
        if (negative && magnitude == 0)
            return refuse("the integer -0");
        const int64_t value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
        if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max())
            return std::make_unique<CAtomInt>(static_cast<int32_t>(value));
        return std::make_unique<CAtomLong>(value);
    }

    bool readString(std::string& bytes) {
        uint64_t length = 0;
        if (!readDigits(':', std::numeric_limits<uint64_t>::max(), length))
            return false;
        if (length > m_size - m_pos)
            return fail("a string longer than the rest of the input");
        bytes.assign(m_data + m_pos, static_cast<std::size_t>(length));
        m_pos += static_cast<std::size_t>(length);
        return true;
    }

    std::unique_ptr<CAtom> readList(int depth) {
        ++m_pos;  // 'l'
        auto list = std::make_unique<CAtomList>();
        while (!atEnd() && peek() != 'e') {
            std::unique_ptr<CAtom> item = readValue(depth);
            if (!item)
                return nullptr;
            list->append(std::move(item));
        }
        if (atEnd())
            return refuse("the input ends inside a list");
        ++m_pos;
        return list;
    }

    std::unique_ptr<CAtom> readDictionary(int depth) {
        ++m_pos;  // 'd'
        auto dict = std::make_unique<CAtomDicti>();
        while (!atEnd() && peek() != 'e') {
            if (!isDigit(peek()))
                return refuse("a dictionary key that is not a string");
            std::string key;
            if (!readString(key))
                return nullptr;
            // A key given twice would let two readers see two different values.
            if (dict->m_entries.count(key) != 0)
                return refuse("a dictionary key given twice");
            std::unique_ptr<CAtom> value = readValue(depth);
            if (!value)
                return nullptr;
            dict->store(std::move(value), std::move(key));
        }
        if (atEnd())
            return refuse("the input ends inside a dictionary");
        ++m_pos;
        return dict;
    }

    const char* m_data;
    std::size_t m_size;
    const DecodeLimits& m_limits;
    std::size_t m_pos = 0;
    std::size_t m_values = 0;
    std::string m_error;
};

}  // namespace

DecodeResult decodeBencode(const char* data, std::size_t size, const DecodeLimits& limits) {
    CReader reader(data, size, limits);
    DecodeResult result;
    result.m_value = reader.readAll();
    if (!result.m_value)
        result.m_error = reader.error();
    return result;
}
