#include "upload/ChooserFolders.h"

namespace upload::choosers {

std::string folderOf(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos)
        return std::string();
    // A drive's root keeps its separator: "C:" alone is the drive's current folder.
    const bool root = cut == 2 && path[1] == ':';
    return path.substr(0, root ? cut + 1 : cut);
}

std::string pictureFolder(const std::string& lastPicture, const std::string& contentPath, bool fileMode) {
    if (!lastPicture.empty())
        return folderOf(lastPicture);
    return fileMode ? folderOf(contentPath) : contentPath;
}

}  // namespace upload::choosers
