#include "torrent/FileSystem.h"

namespace torrent::fsys {

bool removeFile(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

}  // namespace torrent::fsys
