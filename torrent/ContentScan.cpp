// The scan of a file or a folder: what the torrent holds, or why it cannot hold it.
#include "torrent/ContentScan.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "torrent/BuildResult.h"
#include "torrent/FileSystem.h"

namespace torrent {

namespace {

bool containsThumbsDb(const std::string& name) {
    static const std::string needle = "thumbs.db";
    auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    return std::search(name.begin(), name.end(), needle.begin(), needle.end(), same) != name.end();
}

// The part of a path after its last ':' or separator.
std::string lastPart(const std::string& path) {
    std::size_t start = path.size();
    while (start > 0 && !fsys::endsPathPart(path[start - 1]))
        --start;
    return path.substr(start);
}

std::string withoutSeparator(std::string path) {
    if (!path.empty() && path.back() == fsys::kSeparator)
        path.pop_back();
    return path;
}

// The depth-first walk of a folder into the content; the first failure ends it.
class CFolderWalk {
  public:
    CFolderWalk(Content& content, const std::atomic<bool>& cancel) : m_content(content), m_cancel(cancel) {}

    // False when `folder` cannot be listed.
    bool walk(const std::string& folder, const std::string& relPath) {
        fsys::CDirListing listing;
        if (!listing.open(folder))
            return false;
        fsys::CDirEntry entry;
        // The cancel is looked at before each entry: a walk of a large folder can take a while.
        while (m_content.m_failure.empty() && !m_cancel.load(std::memory_order_relaxed) && listing.next(entry)) {
            if (entry.m_folder && (entry.m_name == "." || entry.m_name == ".."))
                continue;
            if (!entry.m_folder && (entry.m_hidden || containsThumbsDb(entry.m_name)))
                continue;
            const std::string full = folder + fsys::kSeparator + entry.m_name;
            const std::string rel = relPath.empty() ? entry.m_name : relPath + fsys::kSeparator + entry.m_name;
            // Each would leave files out of the torrent without a word.
            if (entry.m_nameLost)
                fail(buildreason::nameNotInCodePage(full));
            else if (entry.m_folder) {
                // A subfolder that cannot be listed is skipped, unless its path is too long to
                // list: then its files' paths are too long to open as well.
                if (!walk(full, rel) && fsys::pathTooLong(full, true))
                    fail(buildreason::pathTooLong(full));
            } else if (fsys::pathTooLong(full, false))
                fail(buildreason::pathTooLong(full));
            else
                m_content.m_files.push_back(ContentFile{full, rel, entry.m_size});
        }
        return true;
    }

    void fail(std::string reason) {
        if (m_content.m_failure.empty())
            m_content.m_failure = std::move(reason);
    }

  private:
    Content& m_content;
    const std::atomic<bool>& m_cancel;
};

void scanFile(Content& content) {
    const std::string& path = content.m_path;
    fsys::CReadFile file;
    uint64_t length = 0;
    if (fsys::isFolder(path) || !file.open(path) || !file.length(length)) {
        content.m_failure = fsys::nameLost(path)             ? buildreason::nameNotInCodePage(path)
                            : fsys::pathTooLong(path, false) ? buildreason::pathTooLong(path)
                                                             : buildreason::cannotRead(path);
        return;
    }
    content.m_name = lastPart(path);
    content.m_files.push_back(ContentFile{path, content.m_name, length});
}

void scanFolder(Content& content, const std::atomic<bool>& cancel) {
    const std::string& path = content.m_path;
    if (!fsys::isFolder(path)) {
        content.m_failure =
            fsys::nameLost(path) ? buildreason::nameNotInCodePage(path) : buildreason::noSuchFolder(path);
        return;
    }
    const std::string folder = withoutSeparator(path);
    content.m_name = lastPart(folder);
    CFolderWalk walk(content, cancel);
    if (!walk.walk(folder, std::string()))
        walk.fail(fsys::pathTooLong(folder, true) ? buildreason::pathTooLong(path)
                                                  : buildreason::cannotReadFolder(path));
}

}  // namespace

Content scanContent(const std::string& path, bool fileMode) {
    const std::atomic<bool> never{false};
    return scanContent(path, fileMode, never);
}

Content scanContent(const std::string& path, bool fileMode, const std::atomic<bool>& cancel) {
    Content content;
    content.m_path = path;
    content.m_singleFile = fileMode;
    if (fileMode)
        scanFile(content);
    else
        scanFolder(content, cancel);
    for (const ContentFile& file : content.m_files)
        content.m_totalSize += file.m_size;
    if (content.m_failure.empty() && content.m_totalSize == 0 && !cancel.load(std::memory_order_relaxed))
        content.m_failure = buildreason::nothingToUpload(path);
    return content;
}

}  // namespace torrent
