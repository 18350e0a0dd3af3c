#pragma once
// A file system held in memory with the rules of a Windows volume: names are
// kept as written and found whatever their letter case, directories list "."
// and ".." first, a rename fails onto an existing name. For tests that make
// and remove whole stores many times over, where the disk's own work would be
// nearly all of their time.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "support/Platform.h"

namespace pvtest {

class MemoryFileSystem : public pv::IFileSystem {
public:
    MemoryFileSystem();  // drives C: and T: (the temporary directory), empty

    uint32_t Attributes(const std::string& path) override;
    bool List(const std::string& pattern, std::vector<pv::DirEntry>& out) override;
    bool MakeDir(const std::string& path) override;
    bool RemoveDir(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool Rename(const std::string& from, const std::string& to) override;
    bool ReadAll(const std::string& path, std::string& contents) override;
    bool WriteAll(const std::string& path, const std::string& contents) override;
    bool Append(const std::string& path, const std::string& contents) override;
    std::string ShortPath(const std::string& path) override;
    std::string LongPath(const std::string& path) override { return path; }
    bool Recycle(const std::string& path) override;
    std::string TempDir() override { return "T:\\"; }
    std::string DirectoryIdentity(const std::string& path) override;

private:
    struct Node {
        std::string name;  // as written
        bool dir = false;
        std::string data;
        std::map<std::string, std::unique_ptr<Node>> children;  // by lower-case name
    };
    struct Where {
        Node* parent = nullptr;
        std::string name;  // the last component, as given
        Node* node = nullptr;
        bool trailingBackslash = false;
    };
    Where Find(const std::string& path);
    static std::string Key(const std::string& name);

    std::mutex lock_;  // the store's read-ahead reads from two threads
    Node drives_;
    std::vector<std::unique_ptr<Node>> recycled_;
};

}  // namespace pvtest
