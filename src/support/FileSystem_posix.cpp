#include "support/FileSystem_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace pv {

namespace {

bool LStat(const std::string& host, struct stat& st) {
    return ::lstat(host.c_str(), &st) == 0;
}

bool IsHostDir(const std::string& host) {
    struct stat st;
    return ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string StripSlashes(std::string host) {
    while (host.size() > 1 && host.back() == '/') host.pop_back();
    return host;
}

bool MaskMatch(const char* name, const char* mask) {
    // Iterative wildcard match with backtracking on the last star.
    const char* starMask = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*mask == '*') {
            starMask = mask++;
            starName = name;
        } else if (*mask == '?' ||
                   std::tolower(static_cast<unsigned char>(*mask)) == std::tolower(static_cast<unsigned char>(*name))) {
            ++mask;
            ++name;
        } else if (starMask) {
            mask = starMask + 1;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*mask == '*') ++mask;
    return *mask == '\0';
}

}  // namespace

bool MatchesFileMask(const std::string& name, const std::string& mask) {
    if (mask == "*.*" || mask == "*") return true;
    return MaskMatch(name.c_str(), mask.c_str());
}

PosixFileSystem::PosixFileSystem(std::string root) : root_(StripSlashes(std::move(root))) {}

std::string PosixFileSystem::HostPath(const std::string& path) const {
    std::string rest = path;
    std::string host = root_;
    if (rest.size() >= 2 && rest[1] == ':') {
        host += '/';
        host += static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0])));
        rest = rest.substr(2);
    } else if (rest.size() >= 2 && rest[0] == '\\' && rest[1] == '\\') {
        host += "/UNC";
        rest = rest.substr(1);
    }
    for (char c : rest) host += (c == '\\') ? '/' : c;
    return host;
}

uint32_t PosixFileSystem::Attributes(const std::string& path) {
    if (path.empty()) return kInvalidAttributes;
    const std::string raw = HostPath(path);
    const bool trailing = raw.size() > 1 && raw.back() == '/';
    const std::string host = StripSlashes(raw);
    struct stat st;
    if (!LStat(host, st)) return kInvalidAttributes;
    uint32_t attributes = 0;
    if (S_ISLNK(st.st_mode)) {
        attributes |= kAttrReparsePoint;
        if (IsHostDir(host)) attributes |= kAttrDirectory;
    } else if (S_ISDIR(st.st_mode)) {
        attributes |= kAttrDirectory;
    } else {
        attributes |= kAttrArchive;
    }
    if (trailing && !(attributes & kAttrDirectory)) return kInvalidAttributes;
    if (!S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR)) attributes |= kAttrReadOnly;
    size_t slash = host.find_last_of('/');
    std::string name = slash == std::string::npos ? host : host.substr(slash + 1);
    if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= kAttrHidden;
    return attributes;
}

bool PosixFileSystem::List(const std::string& pattern, std::vector<DirEntry>& out) {
    out.clear();
    size_t cut = pattern.find_last_of('\\');
    std::string dir, mask;
    if (cut == std::string::npos) {
        if (pattern.size() >= 2 && pattern[1] == ':') {
            dir = pattern.substr(0, 2) + "\\";
            mask = pattern.substr(2);
        } else {
            mask = pattern;
        }
    } else {
        dir = pattern.substr(0, cut + 1);
        mask = pattern.substr(cut + 1);
    }
    if (mask.empty()) return false;
    if (mask.find_first_of("*?") == std::string::npos && mask != "." && mask != "..") {
        // A plain name is looked up as the host resolves it when the file is
        // opened, so that finding a file and reading it agree on its name.
        const uint32_t attributes = Attributes(dir + mask);
        if (attributes == kInvalidAttributes) return false;
        out.push_back({mask, attributes});
        return true;
    }
    const std::string hostDir = HostPath(dir);
    if (!IsHostDir(hostDir.empty() ? root_ : hostDir)) return false;
    DIR* d = ::opendir(hostDir.empty() ? root_.c_str() : hostDir.c_str());
    if (!d) return false;
    std::vector<std::string> names;
    while (dirent* e = ::readdir(d)) names.emplace_back(e->d_name);
    ::closedir(d);
    // NTFS lists in name order with "." and ".." first; keep results deterministic.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        bool da = a == "." || a == "..", db = b == "." || b == "..";
        if (da != db) return da;
        return a < b;
    });
    for (const std::string& name : names) {
        if (!MatchesFileMask(name, mask)) continue;
        uint32_t attributes = (name == "." || name == "..") ? uint32_t(kAttrDirectory) : Attributes(dir + name);
        if (attributes == kInvalidAttributes) continue;
        out.push_back({name, attributes});
    }
    return !out.empty();
}

bool PosixFileSystem::MakeDir(const std::string& path) {
    return !path.empty() && ::mkdir(StripSlashes(HostPath(path)).c_str(), 0777) == 0;
}

bool PosixFileSystem::RemoveDir(const std::string& path) {
    const std::string host = StripSlashes(HostPath(path));
    struct stat st;
    if (path.empty() || !LStat(host, st)) return false;
    if (S_ISLNK(st.st_mode)) {
        // Like RemoveDirectory on a directory link: the link goes, its target stays.
        return IsHostDir(host) && ::unlink(host.c_str()) == 0;
    }
    return ::rmdir(host.c_str()) == 0;
}

bool PosixFileSystem::RemoveFile(const std::string& path) {
    const std::string host = HostPath(path);
    struct stat st;
    if (path.empty() || !LStat(host, st)) return false;
    if (S_ISDIR(st.st_mode) || (S_ISLNK(st.st_mode) && IsHostDir(host))) return false;
    return ::unlink(host.c_str()) == 0;
}

bool PosixFileSystem::Rename(const std::string& from, const std::string& to) {
    const std::string hostFrom = StripSlashes(HostPath(from));
    const std::string hostTo = StripSlashes(HostPath(to));
    struct stat st;
    if (!LStat(hostFrom, st) || LStat(hostTo, st)) return false;
    return ::rename(hostFrom.c_str(), hostTo.c_str()) == 0;
}

bool PosixFileSystem::ReadAll(const std::string& path, std::string& contents) {
    const std::string host = HostPath(path);
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return false;
    }
    // One read for the size the file has, then on until the end, should it grow.
    std::string text(st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0, '\0');
    size_t got = 0;
    for (;;) {
        if (got == text.size()) text.resize(text.size() + 4096);
        const ssize_t n = ::read(fd, &text[got], text.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    text.resize(got);
    contents = std::move(text);
    return true;
}

bool PosixFileSystem::WriteAll(const std::string& path, const std::string& contents) {
    const std::string host = HostPath(path);
    if (path.empty() || IsHostDir(host)) return false;
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    out.close();
    return !out.fail();
}

bool PosixFileSystem::Append(const std::string& path, const std::string& contents) {
    const std::string host = HostPath(path);
    struct stat st;
    if (path.empty() || ::stat(host.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::ofstream out(host, std::ios::binary | std::ios::app);
    if (!out) return false;
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    out.close();
    return !out.fail();
}

std::string PosixFileSystem::ShortPath(const std::string& path) {
    return Attributes(path) == kInvalidAttributes ? std::string() : path;
}

std::string PosixFileSystem::LongPath(const std::string& path) {
    return path;
}

bool PosixFileSystem::Recycle(const std::string& path) {
    const std::string host = StripSlashes(HostPath(path));
    struct stat st;
    if (path.empty() || !LStat(host, st)) return false;
    const std::string trash = TrashDir();
    ::mkdir(trash.c_str(), 0777);
    size_t slash = host.find_last_of('/');
    const std::string name = host.substr(slash + 1);
    for (int i = 0; i < 100000; ++i) {
        std::string dest = trash + "/" + name + "." + std::to_string(i);
        if (LStat(dest, st)) continue;
        return ::rename(host.c_str(), dest.c_str()) == 0;
    }
    return false;
}

std::string PosixFileSystem::DirectoryIdentity(const std::string& path) {
    struct stat st;
    if (path.empty() || ::stat(StripSlashes(HostPath(path)).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::string();
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

std::string PosixFileSystem::FileStamp(const std::string& path) {
    struct stat st;
    if (path.empty() || ::stat(StripSlashes(HostPath(path)).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return std::string();
    // Seconds from 1601 to 1970, as Windows counts file times.
    constexpr long long kEpochGap = 11644473600LL;
    const long long ticks = (static_cast<long long>(st.st_mtim.tv_sec) + kEpochGap) * 10000000LL +
                            static_cast<long long>(st.st_mtim.tv_nsec) / 100;
    return std::to_string(ticks) + ":" + std::to_string(static_cast<long long>(st.st_size));
}

std::string PosixFileSystem::TempDir() {
    ::mkdir((root_ + "/T").c_str(), 0777);
    return "T:\\";
}

}  // namespace pv
