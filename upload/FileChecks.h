#pragma once
// What the upload looks at on disk before the hashing starts: the content to make the torrent
// of, and each picture. The answers are sentences for the member, empty when all is well.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace upload {

// Why the content cannot become a torrent, in the build's own words ("There is no folder ...",
// "Nothing to upload in ...: it holds no data", "Cannot read ..."), or the other mode to choose
// for a file in folder mode and a folder in file mode; empty when it is there and holds at least
// one byte. What only the hashing can find out is still left to the build.
std::string contentProblem(const std::string& path, bool fileMode);

// The form poster reads a picture whole, with a signed 32-bit length: 2 GiB and more cannot go.
inline constexpr uint64_t kPictureLimit = uint64_t(1) << 31;

enum class PictureProblem { None, Missing, Unreadable, Empty, TooLarge };

struct PictureLook {
    PictureProblem problem = PictureProblem::None;
    uint64_t size = 0;  // known unless the file is missing or cannot be read
};

// Opens the picture and reads its first byte and its 64-bit length.
PictureLook lookAtPicture(const std::string& path);
// "there is no such file", "it cannot be read", "it is empty", "it is 8 GB; ..."; empty for None.
std::string pictureReason(const PictureLook& look);

// One box for every picture that cannot go, each on a line with its reason.
std::string picturesMessage(const std::vector<std::pair<std::string, std::string>>& pathsAndReasons);
// The refusal of a picture at "Add Picture".
std::string addPictureRefusal(const std::string& path, const PictureLook& look);

}  // namespace upload
