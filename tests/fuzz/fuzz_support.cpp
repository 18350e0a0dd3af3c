#include "fuzz_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace pvfuzz {

namespace {

constexpr size_t kMaxEntries = 64;
constexpr size_t kMaxDepth = 10;

std::vector<std::string> Components(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

// A path below C:\ made of plain names; written back with backslashes.
bool PlainPath(const std::string& text, std::string& rel) {
    const std::vector<std::string> parts = Components(text);
    if (parts.size() > kMaxDepth) return false;
    rel.clear();
    for (const std::string& p : parts) {
        if (p.empty() || p == "." || p == ".." || p.find_first_of(":\r\n") != std::string::npos) return false;
        if (!rel.empty()) rel += '\\';
        rel += p;
    }
    return !rel.empty();
}

// A link target relative to the link's directory that stays on the drive.
bool DriveTarget(const std::string& rel, const std::string& target) {
    if (target.empty() || target[0] == '/' || target[0] == '\\') return false;
    if (target.find_first_of(":\r\n") != std::string::npos) return false;
    long depth = static_cast<long>(Components(rel).size()) - 1;  // the link's directory
    for (const std::string& p : Components(target)) {
        if (p == "..") {
            if (--depth < 0) return false;
        } else if (!p.empty() && p != ".") {
            ++depth;
        }
    }
    return true;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    size_t e = s.find_last_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

std::string HostOf(const std::string& root, const std::string& rel) {
    std::string host = root + "/C/";
    for (char c : rel) host += c == '\\' ? '/' : c;
    return host;
}

// Whether a directory above rel is a link: whatever is made there would land
// where the link leads, so a later link's target would no longer be checked
// against the place it really is in.
bool ThroughLink(const std::string& root, const std::string& rel) {
    std::string prefix;
    const std::vector<std::string> parts = Components(rel);
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        prefix += (i ? "\\" : "") + parts[i];
        struct stat st;
        if (::lstat(HostOf(root, prefix).c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return true;
    }
    return false;
}

}  // namespace

std::string DrivePath(const std::string& rel) { return "C:\\" + rel; }

void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::fwrite(detail.data(), 1, detail.size(), stderr);
    std::fputc('\n', stderr);
    std::abort();
}

bool ParseTreeScript(const uint8_t* data, size_t size, TreeScript& out) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    out = TreeScript();
    TreeEntry* file = nullptr;  // the file whose contents are being read
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        const size_t end = nl == std::string::npos ? text.size() : nl + 1;
        std::string line = text.substr(pos, end - pos);
        pos = end;
        if (line.empty() || line[0] != '@') {
            if (!file) {
                if (Trim(line).find_first_not_of("\r\n") != std::string::npos) return false;  // text outside a file
                continue;
            }
            file->contents += line;
            continue;
        }
        file = nullptr;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        const size_t blank = line.find(' ');
        const std::string word = line.substr(1, blank == std::string::npos ? std::string::npos : blank - 1);
        const std::string arg = blank == std::string::npos ? std::string() : Trim(line.substr(blank + 1));
        if (out.entries.size() + out.unreadable.size() >= kMaxEntries) return false;
        TreeEntry e;
        if (word == "dir") {
            e.kind = TreeEntry::Dir;
            if (!PlainPath(arg, e.rel)) return false;
            out.entries.push_back(e);
        } else if (word == "file") {
            e.kind = TreeEntry::File;
            if (!PlainPath(arg, e.rel)) return false;
            out.entries.push_back(e);
            file = &out.entries.back();
        } else if (word == "link") {
            const size_t arrow = arg.find(" -> ");
            if (arrow == std::string::npos) return false;
            e.kind = TreeEntry::Link;
            if (!PlainPath(Trim(arg.substr(0, arrow)), e.rel)) return false;
            e.target = Trim(arg.substr(arrow + 4));
            for (char& c : e.target)
                if (c == '\\') c = '/';
            if (!DriveTarget(e.rel, e.target)) return false;
            out.entries.push_back(e);
        } else if (word == "unreadable") {
            std::string rel;
            if (!PlainPath(arg, rel)) return false;
            out.unreadable.push_back(rel);
        } else if (word == "answer") {
            if (arg != "yes" && arg != "no" && arg != "cancel") return false;
            out.answer = arg;
        } else if (word == "menubar") {
            out.menuBar = true;
        } else {
            return false;
        }
    }
    return true;
}

Scratch::Scratch() {
    // libFuzzer ends a timed run without destructors, so a directory named by
    // the caller (the scripts give one in the build tree, and remove it) does
    // not pile up; without one, the process's own below the temporary directory.
    const char* given = std::getenv("PIVORA_FUZZ_SCRATCH");
    if (given && *given) {
        host_ = given;
    } else {
        const char* tmp = std::getenv("TMPDIR");
        host_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/pivora-fuzz-" + std::to_string(::getpid());
    }
    std::filesystem::create_directories(host_ + "/C");
}

Scratch::~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(host_, ec);
}

void Scratch::Reset() {
    std::error_code ec;
    // remove_all removes links as links; nothing outside the scratch is touched.
    std::filesystem::remove_all(host_ + "/C", ec);
    std::filesystem::create_directories(host_ + "/C", ec);
}

bool Scratch::Build(const TreeScript& script) {
    std::error_code ec;
    for (const TreeEntry& e : script.entries) {
        if (ThroughLink(host_, e.rel)) return false;
        const std::string host = HostOf(host_, e.rel);
        const std::string parent = host.substr(0, host.find_last_of('/'));
        std::filesystem::create_directories(parent, ec);
        if (ec) return false;
        struct stat st;
        switch (e.kind) {
        case TreeEntry::Dir:
            std::filesystem::create_directories(host, ec);
            if (ec) return false;
            break;
        case TreeEntry::File: {
            if (::lstat(host.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return false;
            std::ofstream f(host, std::ios::binary | std::ios::trunc);
            f.write(e.contents.data(), static_cast<std::streamsize>(e.contents.size()));
            if (!f) return false;
            break;
        }
        case TreeEntry::Link:
            if (::lstat(host.c_str(), &st) == 0 || ::symlink(e.target.c_str(), host.c_str()) != 0) return false;
            break;
        }
    }
    return true;
}

}  // namespace pvfuzz
