#include "upload/FileChecks.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "torrent/MakeTorrent.h"
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

}  // namespace

std::string contentProblem(const std::string& path, bool fileMode) {
    if (fileMode) {
        if (torrent::fsys::isFolder(path))
            return path + " is a folder: choose \"Upload Folder\" to upload it";
        const OpenedFile opened = openWithLength(path);
        if (!opened.file)
            return torrent::fsys::nameLost(path)             ? torrent::buildreason::nameNotInCodePage(path)
                   : torrent::fsys::pathTooLong(path, false) ? torrent::buildreason::pathTooLong(path)
                                                             : torrent::buildreason::cannotRead(path);
        return opened.length == 0 ? torrent::buildreason::nothingToUpload(path) : std::string();
    }
    if (!torrent::fsys::isFolder(path)) {
        if (torrent::fsys::nameLost(path))
            return torrent::buildreason::nameNotInCodePage(path);
        const OpenedFile opened = openWithLength(path);
        return opened.file || !opened.missing ? path + " is a file: choose \"Upload File\" to upload it"
                                              : torrent::buildreason::noSuchFolder(path);
    }
    // The build's own walk: the same files count, hidden ones and Thumbs.db do not.
    CMakeTorrent walk;
    walk.m_basePath = path;
    if (!walk.walkFolder(path))
        return torrent::buildreason::cannotReadFolder(path);
    for (const auto& file : walk.m_files)
        if (file->m_size > 0)
            return std::string();
    return walk.failure().empty() ? torrent::buildreason::nothingToUpload(path) : walk.failure();
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
    else if (std::fgetc(opened.file.get()) == EOF)
        look.problem = PictureProblem::Unreadable;
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

std::string addPictureRefusal(const std::string& path, const PictureLook& look) {
    return "This picture cannot be added:\n\n" + path + ": " + pictureReason(look);
}

}  // namespace upload
