#pragma once
// What a torrent is made of: one file, or the files of a folder with their lengths, listed before
// anything is read. The builder hashes what the scan found; the upload asks the scan alone whether
// the content can become a torrent at all.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace torrent {

struct ContentFile {
    std::string m_fullPath;
    std::string m_relPath;  // below the scanned folder, no leading separator; a single file's name
    uint64_t m_size = 0;
};

struct Content {
    std::string m_path;  // the file or folder as given
    bool m_singleFile = false;
    // The torrent's name: the file's, or the folder's without a trailing separator ("D:\Film\"
    // is Film; a drive root "D:\" has an empty name).
    std::string m_name;
    std::vector<ContentFile> m_files;  // in the listing's order
    uint64_t m_totalSize = 0;
    // Why it cannot become a torrent, in the build's words; empty when it can.
    std::string m_failure;
};

// A file (`fileMode`) or a folder. In a folder, hidden files and Thumbs.db caches are left out;
// hidden folders are walked like any other, and a subfolder that cannot be listed is skipped. A
// name the code page lacks, or a path too long to open, fails the scan: its files would be missing
// from the torrent. Content of 0 bytes in all fails too: no client can seed it.
Content scanContent(const std::string& path, bool fileMode);
// The same, looking at `cancel` before each entry of a folder: a cancelled scan holds the files
// listed until then.
Content scanContent(const std::string& path, bool fileMode, const std::atomic<bool>& cancel);

}  // namespace torrent
