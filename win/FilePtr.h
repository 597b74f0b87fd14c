#pragma once
// The one owner of a C runtime FILE*, for every build: closed when the owner goes, or by close()
// for a caller that must know whether the last buffered bytes reached the disk.

#include <cstdio>

#include "win/Owner.h"

namespace win {

struct FileTraits {
    using Handle = std::FILE*;
    static bool valid(std::FILE* f) { return f != nullptr; }
    // How this close went is for close() below to tell.
    static void close(std::FILE* f) { std::fclose(f); }
};

class CFilePtr : public COwnedHandle<FileTraits> {
  public:
    using COwnedHandle::COwnedHandle;

    // Closes the file; false when there was none or the close failed (a write still buffered
    // did not fit).
    [[nodiscard]] bool close() {
        std::FILE* const f = detach();
        return f != nullptr && std::fclose(f) == 0;
    }
};

}  // namespace win
