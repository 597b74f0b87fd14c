#pragma once
// Scratch folders and files for the builder's tests, and a small bencode reader to look
// inside the torrents they produce. Paths use the platform's separator.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace testtree {

std::string join(const std::string& folder, const std::string& name);

// A fresh empty folder, removed with everything in it when the object goes.
class CScratch {
  public:
    explicit CScratch(const std::string& label);
    ~CScratch();
    CScratch(const CScratch&) = delete;
    CScratch& operator=(const CScratch&) = delete;

    // Creates the folders on the way; `relPath` uses '/' on every platform.
    std::string file(const std::string& relPath, const std::string& content);
    std::string folder(const std::string& relPath);
    // A file of `size` bytes that takes no space (all zeros).
    std::string sparseFile(const std::string& relPath, uint64_t size);
    // A file whose path is given in UTF-8, whatever the code page can hold: made through the
    // wide file functions on Windows.
    void utf8File(const std::string& relPath, const std::string& content);

    std::string m_path;
};

// Makes a file or folder hidden the platform's way and returns its path: the hidden attribute on
// Windows, a name starting with "." elsewhere.
std::string hide(const std::string& path);
#ifdef _WIN32
void markSystem(const std::string& path);
#endif

std::string readFile(const std::string& path);
bool exists(const std::string& path);
// Bytes 0, 1, 2, ... of a fixed pattern (also used by the golden files' generator).
std::string pattern(std::size_t size, std::size_t offset = 0);
// A file of the source tree, as this process can open it.
std::string sourcePath(const std::string& relPath);
std::string sha1(const std::string& bytes);

// One decoded bencode value. Dictionaries keep their keys sorted; decode() refuses keys
// out of order, so a decoded file was written in the right order.
struct BValue {
    enum class Type { Int, String, List, Dict } m_type = Type::Int;
    int64_t m_int = 0;
    std::string m_string;
    std::vector<BValue> m_list;
    std::map<std::string, BValue> m_dict;

    const BValue& operator[](const std::string& key) const;
    bool has(const std::string& key) const { return m_dict.count(key) != 0; }
};

// Throws std::runtime_error on anything but one complete, canonical value.
BValue decode(const std::string& bytes);

}  // namespace testtree
