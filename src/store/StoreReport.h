#pragma once
// What Pivora would build from a data directory, as text: the work of the
// pivora-store tool, kept here so that the tests run the very same code.

#include <string>

#include "support/Platform.h"
#include "support/TextCodec.h"

namespace pv {

// Forwards every query to another file system and refuses every change, so that
// looking at a store never alters it (no directory made, no backup restored, no
// temporary files).
class ReadOnlyFileSystem : public IFileSystem {
public:
    explicit ReadOnlyFileSystem(IFileSystem& inner) : in_(inner) {}
    uint32_t Attributes(const std::string& path) override { return in_.Attributes(path); }
    bool List(const std::string& pattern, std::vector<DirEntry>& out) override { return in_.List(pattern, out); }
    bool MakeDir(const std::string&) override { return false; }
    bool RemoveDir(const std::string&) override { return false; }
    bool RemoveFile(const std::string&) override { return false; }
    bool Rename(const std::string&, const std::string&) override { return false; }
    bool ReadAll(const std::string& path, std::string& contents) override { return in_.ReadAll(path, contents); }
    bool WriteAll(const std::string&, const std::string&) override { return false; }
    bool Append(const std::string&, const std::string&) override { return false; }
    std::string ShortPath(const std::string& path) override { return in_.ShortPath(path); }
    std::string LongPath(const std::string& path) override { return in_.LongPath(path); }
    bool Recycle(const std::string&) override { return false; }
    std::string TempDir() override { return in_.TempDir(); }
    std::string DirectoryIdentity(const std::string& path) override { return in_.DirectoryIdentity(path); }

private:
    IFileSystem& in_;
};

// Forwards to another file system with every drive path "X:\rest" moved below a
// root directory: root + "\X\rest". Lets a store laid out under a plain
// directory be read with the paths it names.
class RootedFileSystem : public IFileSystem {
public:
    RootedFileSystem(IFileSystem& inner, std::string root) : in_(inner), root_(std::move(root)) {}
    std::string Map(const std::string& path) const;

    uint32_t Attributes(const std::string& p) override { return in_.Attributes(Map(p)); }
    bool List(const std::string& p, std::vector<DirEntry>& o) override { return in_.List(Map(p), o); }
    bool MakeDir(const std::string& p) override { return in_.MakeDir(Map(p)); }
    bool RemoveDir(const std::string& p) override { return in_.RemoveDir(Map(p)); }
    bool RemoveFile(const std::string& p) override { return in_.RemoveFile(Map(p)); }
    bool Rename(const std::string& a, const std::string& b) override { return in_.Rename(Map(a), Map(b)); }
    bool ReadAll(const std::string& p, std::string& c) override { return in_.ReadAll(Map(p), c); }
    bool WriteAll(const std::string& p, const std::string& c) override { return in_.WriteAll(Map(p), c); }
    bool Append(const std::string& p, const std::string& c) override { return in_.Append(Map(p), c); }
    std::string ShortPath(const std::string& p) override { return in_.ShortPath(Map(p)); }
    std::string LongPath(const std::string& p) override { return in_.LongPath(Map(p)); }
    bool Recycle(const std::string& p) override { return in_.Recycle(Map(p)); }
    std::string TempDir() override { return in_.TempDir(); }
    std::string DirectoryIdentity(const std::string& p) override { return in_.DirectoryIdentity(Map(p)); }

private:
    IFileSystem& in_;
    std::string root_;
};

struct StoreReportResult {
    std::string text;
    int skippedLines = 0;
    int unreadableFiles = 0;
    bool backupPresent = false;
};

// Runs the system-menu copy, the store check (answering a backup question with
// Cancel, as the store is only looked at) and the load, with pictures that are
// only counted, and describes menu, tree, pictures and skipped lines. Index
// files are decoded as textFiles says.
StoreReportResult DescribeItemStore(IFileSystem& fs, const std::string& dataDir, bool drawMenuBar,
                                    const TextFileCodec& textFiles = TextFileCodec());

}  // namespace pv
