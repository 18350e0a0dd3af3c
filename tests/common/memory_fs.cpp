#include "memory_fs.h"

#include <algorithm>
#include <cctype>

namespace pvtest {

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// FindFirstFile's wildcards: "*" any run, "?" any one character, letter case ignored.
bool Matches(const char* name, const char* mask) {
    if (*mask == '\0') return *name == '\0';
    if (*mask == '*') return Matches(name, mask + 1) || (*name && Matches(name + 1, mask));
    if (*name == '\0') return false;
    return (*mask == '?' || Lower(*mask) == Lower(*name)) && Matches(name + 1, mask + 1);
}

}  // namespace

MemoryFileSystem::MemoryFileSystem() {
    drives_.dir = true;
    for (const char* d : {"C:", "T:"}) {
        auto n = std::make_unique<Node>();
        n->name = d;
        n->dir = true;
        drives_.children[Key(d)] = std::move(n);
    }
}

std::string MemoryFileSystem::Key(const std::string& name) {
    std::string k = name;
    for (char& c : k) c = Lower(c);
    return k;
}

// The node a path names (null when missing) and, when its parent directory
// exists, that parent and the path's last name.
MemoryFileSystem::Where MemoryFileSystem::Find(const std::string& path) {
    Where w;
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t cut = path.find('\\', start);
        const std::string part = path.substr(start, cut == std::string::npos ? std::string::npos : cut - start);
        if (!part.empty()) parts.push_back(part);
        if (cut == std::string::npos) break;
        start = cut + 1;
    }
    if (parts.empty()) return w;
    w.trailingBackslash = path.back() == '\\';
    Node* at = &drives_;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!at->dir) return Where{};
        const bool last = i + 1 == parts.size();
        auto it = at->children.find(Key(parts[i]));
        if (last) {
            w.parent = at;
            w.name = parts[i];
            w.node = it == at->children.end() ? nullptr : it->second.get();
            return w;
        }
        if (it == at->children.end()) return Where{};
        at = it->second.get();
    }
    return w;
}

uint32_t MemoryFileSystem::Attributes(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    const Where w = Find(path);
    if (!w.node || (w.trailingBackslash && !w.node->dir)) return pv::kInvalidAttributes;
    return w.node->dir ? uint32_t(pv::kAttrDirectory) : uint32_t(pv::kAttrArchive);
}

bool MemoryFileSystem::List(const std::string& pattern, std::vector<pv::DirEntry>& out) {
    std::lock_guard<std::mutex> hold(lock_);
    out.clear();
    const size_t cut = pattern.find_last_of('\\');
    if (cut == std::string::npos) return false;
    std::string mask = pattern.substr(cut + 1);
    if (mask == "*.*") mask = "*";  // as on Windows, names without a dot too
    const Where w = Find(pattern.substr(0, cut + 1));
    if (!w.node || !w.node->dir || mask.empty()) return false;
    if (mask.find_first_of("*?") == std::string::npos) {
        auto it = w.node->children.find(Key(mask));
        if (it == w.node->children.end()) return false;
        out.push_back({it->second->name, it->second->dir ? uint32_t(pv::kAttrDirectory) : uint32_t(pv::kAttrArchive)});
        return true;
    }
    if (Matches(".", mask.c_str())) out.push_back({".", pv::kAttrDirectory});
    if (Matches("..", mask.c_str())) out.push_back({"..", pv::kAttrDirectory});
    std::vector<const Node*> kids;
    for (const auto& kv : w.node->children) kids.push_back(kv.second.get());
    std::sort(kids.begin(), kids.end(), [](const Node* a, const Node* b) { return a->name < b->name; });
    for (const Node* k : kids)
        if (Matches(k->name.c_str(), mask.c_str()))
            out.push_back({k->name, k->dir ? uint32_t(pv::kAttrDirectory) : uint32_t(pv::kAttrArchive)});
    return !out.empty();
}

bool MemoryFileSystem::MakeDir(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    const Where w = Find(path);
    if (!w.parent || w.node) return false;
    auto n = std::make_unique<Node>();
    n->name = w.name;
    n->dir = true;
    w.parent->children[Key(w.name)] = std::move(n);
    return true;
}

bool MemoryFileSystem::RemoveDir(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    const Where w = Find(path);
    if (!w.node || !w.node->dir || !w.node->children.empty() || w.parent == &drives_) return false;
    w.parent->children.erase(Key(w.name));
    return true;
}

bool MemoryFileSystem::RemoveFile(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    const Where w = Find(path);
    if (!w.node || w.node->dir) return false;
    w.parent->children.erase(Key(w.name));
    return true;
}

bool MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
    std::lock_guard<std::mutex> hold(lock_);
    const Where a = Find(from);
    const Where b = Find(to);
    if (a.node && a.node == b.node) {  // only the letter case changes
        a.node->name = b.name;
        return true;
    }
    if (!a.node || a.parent == &drives_ || !b.parent || b.node) return false;
    // A directory cannot move below itself.
    const std::string lowFrom = Key(from), lowTo = Key(to);
    if (a.node->dir && lowTo.compare(0, lowFrom.size() + 1, lowFrom + "\\") == 0) return false;
    std::unique_ptr<Node> moved = std::move(a.parent->children[Key(a.name)]);
    a.parent->children.erase(Key(a.name));
    moved->name = b.name;
    b.parent->children[Key(b.name)] = std::move(moved);
    return true;
}

bool MemoryFileSystem::ReadAll(const std::string& path, std::string& contents) {
    std::lock_guard<std::mutex> hold(lock_);
    const Where w = Find(path);
    if (!w.node || w.node->dir) return false;
    contents = w.node->data;
    return true;
}

bool MemoryFileSystem::WriteAll(const std::string& path, const std::string& contents) {
    std::lock_guard<std::mutex> hold(lock_);
    const Where w = Find(path);
    if (!w.parent || w.trailingBackslash || (w.node && w.node->dir)) return false;
    if (!w.node) {
        auto n = std::make_unique<Node>();
        n->name = w.name;
        n->data = contents;
        w.parent->children[Key(w.name)] = std::move(n);
    } else {
        w.node->data = contents;
    }
    return true;
}

bool MemoryFileSystem::Append(const std::string& path, const std::string& contents) {
    std::lock_guard<std::mutex> hold(lock_);
    const Where w = Find(path);
    if (!w.node || w.node->dir) return false;
    w.node->data += contents;
    return true;
}

std::string MemoryFileSystem::ShortPath(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    return Find(path).node ? path : std::string();
}

bool MemoryFileSystem::Recycle(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    const Where w = Find(path);
    if (!w.node || w.parent == &drives_) return false;
    recycled_.push_back(std::move(w.parent->children[Key(w.name)]));
    w.parent->children.erase(Key(w.name));
    return true;
}

std::string MemoryFileSystem::DirectoryIdentity(const std::string& path) {
    std::lock_guard<std::mutex> hold(lock_);
    const Where w = Find(path);
    if (!w.node || !w.node->dir) return std::string();
    return std::to_string(reinterpret_cast<uintptr_t>(w.node));
}

}  // namespace pvtest
