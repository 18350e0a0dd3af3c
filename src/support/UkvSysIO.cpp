#include "support/UkvSysIO.h"

#include <cctype>

#include "support/UkvSysExceptions.h"
#include "support/UkvSysStr.h"
#include "support/UkvWinSysAPI.h"

namespace pv {

namespace {

const char kPathSet[] = "*?\"<>|";
const char kFileNameSet[] = "/\\:*?\"<>|";

bool HasNoneOf(const std::string& text, const char* set) {
    for (const char* c = set; *c; ++c)
        if (text.find(*c) != std::string::npos) return false;
    return true;
}

size_t LastDelimiter(const std::string& path) {
    return path.find_last_of("\\:");
}

bool IsDotName(const std::string& name) {
    return name == "." || name == "..";
}

bool DeleteOneFile(IFileSystem& fs, const std::string& path, const WalkOptions& options) {
    if (!options.continueOnError) {
        return options.useRecycleBin ? DeleteToRecycleBin(fs, path, true) : fs.RemoveFile(path);
    }
    try {
        return options.useRecycleBin ? DeleteToRecycleBin(fs, path, true) : fs.RemoveFile(path);
    } catch (...) {
        return false;
    }
}

bool Deletes(const WalkOptions& options) {
    return options.deleteFiles || options.removeDirectories;
}

// A directory link is removed as a link. RemoveDirectory on a junction or a
// directory symbolic link removes the link and leaves its target alone.
void RemoveLink(IFileSystem& fs, const std::string& path, const WalkOptions& options) {
    if (options.continueOnError) {
        try {
            fs.RemoveDir(path);
        } catch (...) {
        }
    } else {
        fs.RemoveDir(path);
    }
}

void Walk(IFileSystem& fs, const std::string& root, bool recurse, const std::string& mask,
          const WalkOptions& options) {
    std::vector<DirEntry> entries;
    if (!fs.List(root + mask, entries)) {
        if (options.removeDirectories) fs.RemoveDir(root);
        return;
    }
    for (const DirEntry& entry : entries) {
        if (IsDotName(entry.name)) continue;
        const std::string full = root + entry.name;
        const bool link = (entry.attributes & kAttrReparsePoint) != 0;
        if (entry.attributes & kAttrDirectory) {
            if (options.directoryList) options.directoryList->push_back(full + "\\");
            if (link) {
                // Never followed: a deleting walk would destroy files outside
                // the tree, a listing walk could loop forever.
                if (Deletes(options)) RemoveLink(fs, full, options);
                continue;
            }
            if (recurse) Walk(fs, full + "\\", recurse, mask, options);
        } else {
            if (options.fileList) options.fileList->push_back(options.namesOnly ? entry.name : full);
            if (options.deleteFiles) DeleteOneFile(fs, full, options);
        }
    }
    if (options.removeDirectories) fs.RemoveDir(root);
}

}  // namespace

std::string AddTrailingBackslash(const std::string& path) {
    if (path.empty() || path.back() == '\\') return path;
    return path + "\\";
}

bool HasValidPathChars(const std::string& text) {
    return HasNoneOf(text, kPathSet);
}

bool HasValidFileNameChars(const std::string& text) {
    return HasNoneOf(text, kFileNameSet);
}

std::string FileNamePart(const std::string& path) {
    size_t p = LastDelimiter(path);
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string DirectoryPrefix(const std::string& path) {
    size_t p = LastDelimiter(path);
    if (p == std::string::npos) return std::string();
    std::string prefix = path.substr(0, p + 1);
    if (path[p] == ':') prefix += '\\';
    return prefix;
}

std::string ExtractFileDir(const std::string& path) {
    const size_t last = LastDelimiter(path);
    if (last == std::string::npos) return std::string();
    size_t end = last + 1;  // characters kept
    // Drop the backslash itself unless it follows another delimiter (the drive's
    // colon, or a second backslash) or starts the text.
    if (last > 0 && path[last] == '\\' && path[last - 1] != ':' && path[last - 1] != '\\') end = last;
    return path.substr(0, end);
}

std::string AsciiLower(const std::string& text) {
    std::string s = text;
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string PathExtension(const std::string& path) {
    std::string name = FileNamePart(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string BarePath(const std::string& path) {
    size_t b = 0, e = path.size();
    while (b < e && (static_cast<unsigned char>(path[b]) <= 0x20 || path[b] == '"')) ++b;
    while (e > b && (static_cast<unsigned char>(path[e - 1]) <= 0x20 || path[e - 1] == '"')) --e;
    return path.substr(b, e - b);
}

bool HasUrlScheme(const std::string& path) {
    const size_t colon = path.find(':');
    if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(path[0]))) return false;
    for (size_t k = 1; k < colon; ++k) {
        const unsigned char c = static_cast<unsigned char>(path[k]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

std::string WithoutTrailingBackslash(const std::string& path) {
    std::string p = path;
    // A drive root keeps its backslash: "C:" alone names the drive's current
    // directory, not its root.
    while (p.size() > 1 && p.back() == '\\' && p[p.size() - 2] != ':') p.pop_back();
    return p;
}

bool ForceDirectories(IFileSystem& fs, const std::string& dir) {
    const std::string path = WithoutTrailingBackslash(dir);
    if (path.empty()) return false;
    if (DirectoryExists(fs, path)) return true;
    // The parent first; a drive root or the start of a UNC name is not made.
    const size_t cut = path.find_last_of('\\');
    if (cut != std::string::npos && cut > 0 && path[cut - 1] != ':' && path[cut - 1] != '\\')
        ForceDirectories(fs, path.substr(0, cut));
    return fs.MakeDir(path) || DirectoryExists(fs, path);
}

std::string RemoveFirstChar(const std::string& text) {
    return text.empty() ? text : text.substr(1);
}

std::string RemoveExtension(const std::string& name) {
    int p = LastPos(".", name);
    return p > 0 ? name.substr(0, static_cast<size_t>(p - 1)) : name;
}

bool DirectoryExists(IFileSystem& fs, const std::string& path) {
    uint32_t attributes = fs.Attributes(path);
    return attributes != kInvalidAttributes && (attributes & kAttrDirectory) != 0;
}

bool FileExists(IFileSystem& fs, const std::string& path) {
    std::vector<DirEntry> entries;
    if (path.empty() || !fs.List(path, entries) || entries.empty()) return false;
    return (entries.front().attributes & kAttrDirectory) == 0;
}

bool PathExists(IFileSystem& fs, const std::string& path) {
    std::vector<DirEntry> entries;
    return !path.empty() && fs.List(path, entries) && !entries.empty();
}

bool IsDirectoryPath(IFileSystem& fs, const std::string& path, bool mustExist) {
    if (mustExist && !DirectoryExists(fs, path)) return false;
    if (!HasValidPathChars(path)) return false;
    return FileNamePart(path).empty();
}

bool IsFilePath(IFileSystem& fs, const std::string& path, bool mustExist) {
    if (mustExist && !FileExists(fs, path)) return false;
    const std::string name = FileNamePart(path);
    return IsDirectoryPath(fs, DirectoryPrefix(path), mustExist) && !name.empty() &&
           HasValidFileNameChars(name);
}

void WalkDirectory(IFileSystem& fs, const std::string& rootGiven, bool recurse, const std::string& mask,
                   const WalkOptions& options) {
    // Without its backslash, "C:\data" + "*.*" would search the parent for
    // "data*.*" and a deleting walk would take the siblings with it; an empty
    // root would search the current directory.
    if (rootGiven.empty()) return;
    const std::string root = AddTrailingBackslash(rootGiven);
    const uint32_t rootAttributes = fs.Attributes(WithoutTrailingBackslash(root));
    if (Deletes(options) && rootAttributes != kInvalidAttributes && (rootAttributes & kAttrReparsePoint)) {
        // The root itself is a link: removing the link is all a deleting walk may do.
        RemoveLink(fs, WithoutTrailingBackslash(root), options);
    } else {
        Walk(fs, root, recurse, mask, options);
    }
    if (options.removeDirectories) fs.MakeDir(root);
}

void CopyFileContents(IFileSystem& fs, const std::string& source, const std::string& target) {
    std::string contents;
    if (!fs.ReadAll(source, contents)) throw EFOpenError(source);
    if (!fs.WriteAll(target, contents)) throw EFCreateError(target);
}

void CopyDirectoryTree(IFileSystem& fs, const std::string& source, const std::string& target) {
    const std::string src = AddTrailingBackslash(source);
    const std::string dst = AddTrailingBackslash(target);
    const size_t n = src.size();

    std::vector<std::string> list;
    if (DirectoryExists(fs, src)) {
        WalkOptions options;
        options.directoryList = &list;
        options.fileList = &list;
        options.continueOnError = true;
        WalkDirectory(fs, src, true, "*.*", options);
    }
    if (!DirectoryExists(fs, dst) && !fs.MakeDir(dst)) return;

    for (const std::string& entry : list) {
        std::string rel;
        const bool isFile = IsFilePath(fs, entry, true);
        if (isFile)
            rel = DirectoryPrefix(entry);
        else if (IsDirectoryPath(fs, entry, true))
            rel = AddTrailingBackslash(entry);
        else
            continue;  // gone since the listing
        const std::string dir = dst + (rel.size() > n ? rel.substr(n) : std::string());
        if (!(dir == dst && DirectoryExists(fs, dir))) {
            if (!fs.MakeDir(dir)) ForceDirectories(fs, dir);
        }
        if (isFile) {
            const std::string r = entry.substr(n);
            CopyFileContents(fs, src + r, dst + r);
        }
    }
}

void DeleteDirectoryTree(IFileSystem& fs, const std::string& dir) {
    const std::string path = WithoutTrailingBackslash(dir);
    const uint32_t attributes = fs.Attributes(path);
    if (attributes == kInvalidAttributes) return;
    if (attributes & kAttrReparsePoint) {
        fs.RemoveDir(path);  // the link only
        return;
    }
    WalkOptions options;
    options.deleteFiles = true;
    options.removeDirectories = true;
    options.continueOnError = true;
    WalkDirectory(fs, AddTrailingBackslash(path), true, "*.*", options);
    fs.RemoveDir(path);
}

}  // namespace pv
