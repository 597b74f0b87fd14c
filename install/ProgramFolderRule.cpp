#include "install/ProgramFolderRule.h"

#include <cctype>

namespace install {

namespace {

struct SplitPath {
    std::string root;  // "C:" or "\\server\share"; empty: no full path
    std::vector<std::string> names;
};

std::vector<std::string> pieces(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == '\\') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

// Windows drops the dots and blanks that end a name; a name of dots alone is then nothing.
std::string trimmedName(std::string name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.pop_back();
    return name;
}

SplitPath split(const std::string& path) {
    std::string text = path;
    for (char& c : text)
        if (c == '/')
            c = '\\';
    // "\\?\C:\x", "\\.\C:\x" and "\\?\UNC\server\share" name the same as the plain spellings.
    if (text.rfind("\\\\?\\", 0) == 0 || text.rfind("\\\\.\\", 0) == 0) {
        text.erase(0, 4);
        if (text.size() >= 4 && std::toupper(static_cast<unsigned char>(text[0])) == 'U' &&
            std::toupper(static_cast<unsigned char>(text[1])) == 'N' &&
            std::toupper(static_cast<unsigned char>(text[2])) == 'C' && text[3] == '\\')
            text = "\\" + text.substr(3);
    }

    SplitPath result;
    std::vector<std::string> parts;
    if (text.size() >= 3 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':' && text[2] == '\\') {
        result.root = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])))) + ":";
        parts = pieces(text.substr(3));
    } else if (text.size() >= 3 && text[0] == '\\' && text[1] == '\\') {
        parts = pieces(text.substr(2));
        // Server and share are the root; a missing share leaves the server alone as root.
        const std::string server = trimmedName(parts[0]);
        if (server.empty() || server == "?" || server == ".")
            return SplitPath();
        result.root = "\\\\" + server;
        parts.erase(parts.begin());
        while (!parts.empty() && trimmedName(parts.front()).empty())
            parts.erase(parts.begin());
        if (!parts.empty()) {
            result.root += "\\" + trimmedName(parts.front());
            parts.erase(parts.begin());
        }
    } else {
        return SplitPath();
    }

    for (const std::string& part : parts) {
        const std::string name = part == ".." ? part : trimmedName(part);
        if (name.empty())
            continue;
        if (name == "..") {
            if (!result.names.empty())
                result.names.pop_back();
            continue;
        }
        result.names.push_back(name);
    }
    return result;
}

std::string joined(const SplitPath& path) {
    if (path.root.empty())
        return std::string();
    std::string text = path.root;
    for (const std::string& name : path.names)
        text += "\\" + name;
    if (path.names.empty() && path.root.size() == 2)
        text += "\\";
    return text;
}

std::string lowered(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// `inner` is `outer` or lies somewhere below it.
bool within(const SplitPath& inner, const SplitPath& outer) {
    if (lowered(inner.root) != lowered(outer.root) || inner.names.size() < outer.names.size())
        return false;
    for (std::size_t i = 0; i < outer.names.size(); ++i)
        if (lowered(inner.names[i]) != lowered(outer.names[i]))
            return false;
    return true;
}

}  // namespace

std::string normalizedFullPath(const std::string& path) {
    return joined(split(path));
}

bool samePath(const std::string& a, const std::string& b) {
    const SplitPath first = split(a);
    const SplitPath second = split(b);
    return !first.root.empty() && !second.root.empty() && first.names.size() == second.names.size() &&
           within(first, second);
}

std::string parentFolder(const std::string& path) {
    SplitPath parts = split(path);
    if (parts.root.empty() || parts.names.empty())
        return std::string();
    parts.names.pop_back();
    return joined(parts);
}

bool isWithin(const std::string& inner, const std::string& outer) {
    const SplitPath in = split(inner);
    const SplitPath out = split(outer);
    return !in.root.empty() && !out.root.empty() && within(in, out);
}

FolderVerdict judgeProgramFolder(const std::string& folder, const std::vector<std::string>& systemFolders) {
    const SplitPath path = split(folder);
    if (path.root.empty())
        return FolderVerdict::NotFullPath;
    if (path.names.empty())
        return FolderVerdict::NotOwn;
    for (const std::string& system : systemFolders) {
        const SplitPath systemPath = split(system);
        if (!systemPath.root.empty() && within(systemPath, path))
            return FolderVerdict::NotOwn;
    }
    return FolderVerdict::Usable;
}

}  // namespace install
