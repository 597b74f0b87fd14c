#include "upload/FileChecks.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "install/ProgramFolderRule.h"
#include "torrent/ContentScan.h"
#include "torrent/FileSystem.h"
#include "upload/PictureRows.h"
#include "win/FilePtr.h"

namespace upload {

namespace {

// A file opened for reading with its 64-bit length; `missing` tells a file that is not there from
// one that would not open.
struct OpenedFile {
    win::CFilePtr file;
    bool missing = false;
    uint64_t length = 0;
};

#ifdef _WIN32
int seek64(std::FILE* f, int64_t offset, int origin) {
    return _fseeki64(f, offset, origin);
}
int64_t tell64(std::FILE* f) {
    return _ftelli64(f);
}
#else
int seek64(std::FILE* f, int64_t offset, int origin) {
    return fseeko(f, off_t(offset), origin);
}
int64_t tell64(std::FILE* f) {
    return int64_t(ftello(f));
}
#endif

OpenedFile openWithLength(const std::string& path) {
    OpenedFile opened;
    errno = 0;
    opened.file.reset(std::fopen(path.c_str(), "rb"));
    if (!opened.file) {
        opened.missing = errno == ENOENT;
        return opened;
    }
    std::FILE* f = opened.file.get();
    const int64_t end = seek64(f, 0, SEEK_END) == 0 ? tell64(f) : -1;
    if (end < 0 || seek64(f, 0, SEEK_SET) != 0)
        opened.file.reset();
    else
        opened.length = uint64_t(end);
    return opened;
}

// The bytes a picture must start with; PNG and GIF also name a width and height that are not 0.
bool startsAsPicture(const unsigned char* head, std::size_t size) {
    const auto starts = [&](const char* bytes, std::size_t count) {
        return size >= count && std::equal(bytes, bytes + count, reinterpret_cast<const char*>(head));
    };
    if (starts("\x89PNG\r\n\x1a\n", 8))
        return size >= 24 && std::equal(head + 12, head + 16, "IHDR") && (head[16] | head[17] | head[18] | head[19]) &&
               (head[20] | head[21] | head[22] | head[23]);
    if (starts("GIF87a", 6) || starts("GIF89a", 6))
        return size >= 10 && (head[6] | head[7]) && (head[8] | head[9]);
    return starts("\xff\xd8\xff", 3);
}

}  // namespace

std::string contentProblem(const std::string& path, bool fileMode) {
    const bool folder = torrent::fsys::isFolder(path);
    if (fileMode && folder)
        return path + " is a folder: choose \"Upload Folder\" to upload it";
    if (!fileMode && !folder && !torrent::fsys::nameLost(path)) {
        const OpenedFile opened = openWithLength(path);
        if (opened.file || !opened.missing)
            return path + " is a file: choose \"Upload File\" to upload it";
    }
    return torrent::scanContent(path, fileMode).m_failure;
}

PictureLook lookAtPicture(const std::string& path) {
    PictureLook look;
    const OpenedFile opened = torrent::fsys::isFolder(path) ? OpenedFile() : openWithLength(path);
    if (!opened.file) {
        look.problem = opened.missing ? PictureProblem::Missing : PictureProblem::Unreadable;
        return look;
    }
    look.size = opened.length;
    if (look.size == 0)
        look.problem = PictureProblem::Empty;
    else if (look.size >= kPictureLimit)
        look.problem = PictureProblem::TooLarge;
    if (look.problem != PictureProblem::None)
        return look;
    unsigned char head[24] = {};
    const std::size_t read = std::fread(head, 1, sizeof head, opened.file.get());
    if (read == 0)
        look.problem = PictureProblem::Unreadable;
    else if (!startsAsPicture(head, read))
        look.problem = PictureProblem::NotAPicture;
    return look;
}

std::string pictureReason(const PictureLook& look) {
    switch (look.problem) {
        case PictureProblem::None:
            return std::string();
        case PictureProblem::Missing:
            return "there is no such file";
        case PictureProblem::Unreadable:
            return "it cannot be read";
        case PictureProblem::Empty:
            return "it is empty";
        case PictureProblem::TooLarge:
            return "it is " + upload::pictures::sizeText(look.size) + "; a picture must be smaller than 2 GB";
        case PictureProblem::NotAPicture:
            return "it is not a JPEG, PNG or GIF picture";
    }
    return std::string();
}

std::string picturesMessage(const std::vector<std::pair<std::string, std::string>>& pathsAndReasons) {
    std::string text =
        pathsAndReasons.size() == 1 ? "This picture cannot be uploaded:\n" : "These pictures cannot be uploaded:\n";
    for (const auto& picture : pathsAndReasons)
        text += "\n" + picture.first + ": " + picture.second;
    return text;
}

bool sameFile(const std::string& a, const std::string& b) {
    return a == b || install::samePath(a, b);
}

std::string addPictureRefusal(const std::string& path, const PictureLook& look) {
    return addPictureRefusal(path, pictureReason(look));
}

std::string addPictureRefusal(const std::string& path, const std::string& reason) {
    return "This picture cannot be added:\n\n" + path + ": " + reason;
}

}  // namespace upload
