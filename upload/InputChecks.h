#pragma once
// The checks the upload button runs before an upload starts, in their fixed order.

#include <string>

namespace upload::inputs {

inline constexpr const char* kNoPath = "Please select a path to a File or a Directory first!";
inline constexpr const char* kNoCategory = "Please select a Category!";
inline constexpr const char* kNoPicture = "You have to add at Least one Picture/Cover/Screenshot!";
inline constexpr const char* kShortName =
    "Please enter a Descriptive Name for your Torrent ( at least 5 chars ) !\n"
    "It will be Displayed when Browsing for Torrents....";
inline constexpr const char* kShortDescription =
    "Please enter a good Description. ( at least 10 chars ) !\n"
    "It will be Displayed when showing the Torrent Details....";
inline constexpr const char* kInvalidPath = "Please select a valid path to a File or a Directory!";

// The displayed name without '/', '\', '"', '?' and '!'.
std::string cleanName(const std::string& name);

// The text without the blanks around it (spaces, tabs, line ends). The name and description
// checks count what is left; what is sent stays as typed.
std::string trimBlanks(const std::string& text);

struct Fields {
    std::string path;
    long category = -1;
    int pictureCount = 0;
    std::string name;
    std::string description;
};

struct Outcome {
    std::string message;       // empty when every check passed
    bool nameCleaned = false;  // the picture check passed: cleanedName goes back into the name box
    std::string cleanedName;
};

Outcome check(const Fields& fields);

}  // namespace upload::inputs
