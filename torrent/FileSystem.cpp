#include "torrent/FileSystem.h"

namespace fsys {

FilePtr openForReading(const std::string& path) {
    FilePtr f(std::fopen(path.c_str(), "rb"));
    if (f)
        std::setvbuf(f.get(), nullptr, _IONBF, 0);
    return f;
}

bool removeFile(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

}  // namespace fsys
