#pragma once
// The content files of a scan joined into one byte stream, for the hashing. The files are opened
// ahead on a thread of their own (COpenAhead), which has ended once the reader is gone.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "torrent/ContentScan.h"
#include "torrent/FileSystem.h"
#include "torrent/OpenAhead.h"

namespace torrent {

class CContentReader {
  public:
    // `files` and `cancel` outlive the reader.
    CContentReader(const std::vector<ContentFile>& files, const std::atomic<bool>& cancel);
    CContentReader(const CContentReader&) = delete;
    CContentReader& operator=(const CContentReader&) = delete;

    // Up to `count` further content bytes; fewer means the content ended or reading stopped.
    // Each file gives exactly its listed length and must end there: one that cannot be opened
    // or read, or has shrunk or grown since the scan, stops the reading for good.
    uint32_t read(uint8_t* buffer, uint32_t count);
    // Why the reading stopped before the end; empty when it did not.
    const std::string& failure() const { return m_failure; }

  private:
    void fail(std::string reason);

    const std::vector<ContentFile>& m_files;
    const std::atomic<bool>& m_cancel;
    fsys::COpenAhead m_ahead;
    std::size_t m_next = 0;
    const ContentFile* m_current = nullptr;
    fsys::CReadFile m_file;  // the current file's, once open
    uint64_t m_left = 0;     // its bytes not read yet
    std::string m_failure;
};

}  // namespace torrent
