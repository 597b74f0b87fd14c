#pragma once
// Where the main dialog's file and folder choosers open.

#include <string>

namespace upload::choosers {

// The folder part of `path`: "C:\\Data" for "C:\\Data\\a.jpg", "C:\\" for "C:\\a.jpg"; empty when
// it names no folder.
std::string folderOf(const std::string& path);

// The picture chooser opens in the folder of the last picture added, else in the content's
// folder (in folder mode the content itself), else where the system opens it (empty).
std::string pictureFolder(const std::string& lastPicture, const std::string& contentPath, bool fileMode);

}  // namespace upload::choosers
