#include "torrent/tests/TestTree.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>

#include "torrent/FileSystem.h"
#include "torrent/Sha1Hasher.h"
#include "win/FilePtr.h"
#ifdef _WIN32
#include "win/Handles.h"
#endif

namespace fs = std::filesystem;

namespace testtree {

namespace {

std::string nativeRel(std::string relPath) {
    for (char& c : relPath)
        if (c == '/')
            c = torrent::fsys::kSeparator;
    return relPath;
}

}  // namespace

std::string join(const std::string& folder, const std::string& name) {
    return folder + torrent::fsys::kSeparator + name;
}

CScratch::CScratch(const std::string& label) {
    std::random_device random;
    const fs::path path = fs::temp_directory_path() / ("sw-" + label + "-" + std::to_string(random()));
    fs::remove_all(path);
    fs::create_directories(path);
    m_path = path.string();
}

CScratch::~CScratch() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::string CScratch::folder(const std::string& relPath) {
    const std::string path = join(m_path, nativeRel(relPath));
    fs::create_directories(path);
    return path;
}

std::string CScratch::file(const std::string& relPath, const std::string& content) {
    const std::string path = join(m_path, nativeRel(relPath));
    fs::create_directories(fs::path(path).parent_path());
    win::CFilePtr f(std::fopen(path.c_str(), "wb"));
    if (!f || std::fwrite(content.data(), 1, content.size(), f.get()) != content.size() || !f.close())
        throw std::runtime_error("cannot write " + path);
    return path;
}

void CScratch::utf8File(const std::string& relPath, const std::string& content) {
    const fs::path path = fs::path(m_path) / fs::u8path(relPath);
    fs::create_directories(path.parent_path());
#ifdef _WIN32
    win::CFilePtr f(_wfopen(path.wstring().c_str(), L"wb"));
#else
    win::CFilePtr f(std::fopen(path.c_str(), "wb"));
#endif
    if (!f || std::fwrite(content.data(), 1, content.size(), f.get()) != content.size() || !f.close())
        throw std::runtime_error("cannot write " + relPath);
}

std::string CScratch::sparseFile(const std::string& relPath, uint64_t size) {
    const std::string path = file(relPath, "");
#ifdef _WIN32
    const win::CHandle h(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool ok = h.valid() && SetFilePointerEx(h.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(h.get());
    if (!ok)
        throw std::runtime_error("cannot size " + path);
#else
    fs::resize_file(path, size);
#endif
    return path;
}

uint64_t CScratch::randomTree(const std::string& relPath,
                              uint32_t seed,
                              int count,
                              uint32_t largest,
                              uint64_t multiple) {
    std::mt19937 rng(seed);
    auto below = [&rng](uint32_t bound) { return std::uniform_int_distribution<uint32_t>(0, bound - 1)(rng); };
    std::vector<std::string> folders = {relPath};
    uint64_t total = 0;
    for (int i = 0; i < count; ++i) {
        if (below(8) == 0)
            folders.push_back(folders[below(static_cast<uint32_t>(folders.size()))] + "/d" + std::to_string(i));
        const uint32_t kind = below(10);
        uint32_t size = kind < 2 ? 0 : kind < 9 ? below(700) : below(largest + 1);
        if (multiple != 0 && i == count - 1)
            size = static_cast<uint32_t>(multiple - total % multiple + below(3) * multiple);
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = static_cast<char>(rng());
        file(folders[below(static_cast<uint32_t>(folders.size()))] + "/f" + std::to_string(i), bytes);
        total += size;
    }
    return total;
}

std::string hide(const std::string& path) {
#ifdef _WIN32
    if (!SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN))
        throw std::runtime_error("cannot hide " + path);
    return path;
#else
    const fs::path p(path);
    const fs::path hidden = p.parent_path() / ("." + p.filename().string());
    fs::rename(p, hidden);
    return hidden.string();
#endif
}

#ifdef _WIN32
void markSystem(const std::string& path) {
    if (!SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_SYSTEM))
        throw std::runtime_error("cannot mark " + path);
}
#endif

std::string readFile(const std::string& path) {
    std::string bytes;
    const win::CFilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f)
        throw std::runtime_error("cannot read " + path);
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f.get())) > 0)
        bytes.append(chunk, n);
    return bytes;
}

bool exists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(path, ignored);
}

std::string pattern(std::size_t size, std::size_t offset) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t k = offset + i;
        bytes[i] = static_cast<char>((k * 131 + (k >> 8) * 17 + (k >> 16) * 29) & 0xFF);
    }
    return bytes;
}

std::string sourcePath(const std::string& relPath) {
#ifdef _WIN32
    // Under Wine the source tree is on drive Z:, which maps the Linux root.
    return "Z:" + nativeRel(std::string(SW_SOURCE_DIR) + "/" + relPath);
#else
    return std::string(SW_SOURCE_DIR) + "/" + relPath;
#endif
}

std::string sha1(const std::string& bytes) {
    CSha1Hasher hasher;
    hasher.reset();
    hasher.update(bytes.data(), static_cast<uint32_t>(bytes.size()));
    hasher.finish();
    return std::string(reinterpret_cast<const char*>(hasher.m_digest), 20);
}

const BValue& BValue::operator[](const std::string& key) const {
    auto it = m_dict.find(key);
    if (m_type != Type::Dict || it == m_dict.end())
        throw std::runtime_error("no key " + key);
    return it->second;
}

namespace {

class CDecoder {
  public:
    explicit CDecoder(const std::string& bytes) : m_bytes(bytes) {}

    BValue value() {
        BValue v;
        const char c = peek();
        if (c == 'i') {
            ++m_pos;
            v.m_type = BValue::Type::Int;
            v.m_int = std::stoll(until('e'));
        } else if (c == 'l') {
            ++m_pos;
            v.m_type = BValue::Type::List;
            while (peek() != 'e')
                v.m_list.push_back(value());
            ++m_pos;
        } else if (c == 'd') {
            ++m_pos;
            v.m_type = BValue::Type::Dict;
            std::string previous;
            while (peek() != 'e') {
                std::string key = string();
                if (!v.m_dict.empty() && !(previous < key))
                    throw std::runtime_error("key out of order: " + key);
                previous = key;
                v.m_dict[key] = value();
            }
            ++m_pos;
        } else {
            v.m_type = BValue::Type::String;
            v.m_string = string();
        }
        return v;
    }

    bool atEnd() const { return m_pos == m_bytes.size(); }

  private:
    char peek() const {
        if (m_pos >= m_bytes.size())
            throw std::runtime_error("truncated");
        return m_bytes[m_pos];
    }
    std::string until(char end) {
        const std::size_t stop = m_bytes.find(end, m_pos);
        if (stop == std::string::npos)
            throw std::runtime_error("truncated");
        std::string text = m_bytes.substr(m_pos, stop - m_pos);
        m_pos = stop + 1;
        return text;
    }
    std::string string() {
        const std::size_t length = std::stoull(until(':'));
        if (m_pos + length > m_bytes.size())
            throw std::runtime_error("string runs past the end");
        std::string s = m_bytes.substr(m_pos, length);
        m_pos += length;
        return s;
    }

    const std::string& m_bytes;
    std::size_t m_pos = 0;
};

}  // namespace

BValue decode(const std::string& bytes) {
    CDecoder decoder(bytes);
    BValue v = decoder.value();
    if (!decoder.atEnd())
        throw std::runtime_error("bytes after the value");
    return v;
}

}  // namespace testtree
