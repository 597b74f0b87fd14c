#pragma once
// What the upload looks at on disk before the hashing starts: the content to make the torrent
// of, and each picture. The answers are sentences for the member, empty when all is well.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace upload {

// Why the content cannot become a torrent: the other mode to choose for a file in folder mode and
// a folder in file mode, else the failure of the build's own scan ("There is no folder ...",
// "Nothing to upload in ...: it holds no data", "Cannot read ..."); empty when the scan found at
// least one byte. What only the hashing can find out is still left to the build.
std::string contentProblem(const std::string& path, bool fileMode);

// The form poster reads a picture whole, with a signed 32-bit length: 2 GiB and more cannot go.
inline constexpr uint64_t kPictureLimit = uint64_t(1) << 31;

enum class PictureProblem { None, Missing, Unreadable, Empty, TooLarge, NotAPicture };

struct PictureLook {
    PictureProblem problem = PictureProblem::None;
    uint64_t size = 0;  // known unless the file is missing or cannot be read
};

// Opens the picture and reads its 64-bit length and its first bytes: the site takes JPEG, PNG and
// GIF pictures only, and knows them by how they start (a PNG or GIF also by a size of at least 1x1).
PictureLook lookAtPicture(const std::string& path);
// "there is no such file", "it cannot be read", "it is empty", "it is 8 GB; ...", "it is not a
// JPEG, PNG or GIF picture"; empty for None.
std::string pictureReason(const PictureLook& look);
// The same file or folder: the same text, or the same full path as Windows compares them, letter
// case aside.
bool sameFile(const std::string& a, const std::string& b);

// One box for every picture that cannot go, each on a line with its reason.
std::string picturesMessage(const std::vector<std::pair<std::string, std::string>>& pathsAndReasons);
// The refusals of a picture at "Add Picture": why it cannot go, or that it is in the list already.
std::string addPictureRefusal(const std::string& path, const PictureLook& look);
std::string addPictureRefusal(const std::string& path, const std::string& reason);
inline constexpr const char* kPictureListed = "it is in the list already";

}  // namespace upload
