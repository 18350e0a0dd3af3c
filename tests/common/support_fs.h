#pragma once
// A scratch directory and the file system implementation that the contract
// tests of the support library run against: POSIX files natively, Win32 files
// under Wine. The same tests compile in both builds.

#include <memory>
#include <string>

#include "support/Platform.h"

namespace pvtest {

class SupportFsEnv {
public:
    SupportFsEnv();   // makes a fresh, empty scratch directory
    ~SupportFsEnv();  // removes it with everything in it, links not followed
    SupportFsEnv(const SupportFsEnv&) = delete;
    SupportFsEnv& operator=(const SupportFsEnv&) = delete;

    pv::IFileSystem& Fs() { return *fs_; }
    // The scratch directory as a Windows path, ending with "\".
    const std::string& Root() const { return root_; }

    // Test set-up helpers; each fails the calling test through its result.
    bool MakeDir(const std::string& path);
    bool MakeFile(const std::string& path, const std::string& contents);
    std::string Read(const std::string& path);  // "<missing>" when it cannot be read
    bool Exists(const std::string& path);

    // Sets read-only / hidden / system where the platform has them. Natively
    // only read-only exists (hidden means a name starting with a dot).
    bool SetAttributes(const std::string& path, uint32_t attributes);
    bool CanSetHiddenAndSystem() const;

    // Whether recycling here stays inside the test's own area: under Wine the
    // recycle bin is $XDG_DATA_HOME/Trash, which must then point into scratch
    // space rather than the user's home.
    static bool RecycleBinIsScratch(std::string& why);

    // Makes linkDir\linkName a symbolic link to the directory named by
    // relativeTarget (a relative path with "/" separators, from linkDir). Returns
    // false when the platform cannot make one that reports kAttrReparsePoint;
    // how tells which mechanism was used, or why none worked.
    bool MakeDirectoryLink(const std::string& linkDir, const std::string& linkName, const std::string& relativeTarget,
                           std::string& how);

private:
    std::unique_ptr<pv::IFileSystem> fs_;
    std::string root_;
    std::string hostRoot_;  // natively: the host directory holding the mapped drives
};

// Wraps a file system and refuses to delete one path: RemoveFile and Recycle
// of that path fail (or throw, when throwInstead is set).
class RefusingFileSystem : public pv::IFileSystem {
public:
    RefusingFileSystem(pv::IFileSystem& inner, std::string refused, bool throwInstead = false)
        : inner_(inner), refused_(std::move(refused)), throw_(throwInstead) {}
    int refusals = 0;

    uint32_t Attributes(const std::string& p) override { return inner_.Attributes(p); }
    bool List(const std::string& p, std::vector<pv::DirEntry>& out) override { return inner_.List(p, out); }
    bool MakeDir(const std::string& p) override { return inner_.MakeDir(p); }
    bool RemoveDir(const std::string& p) override { return inner_.RemoveDir(p); }
    bool RemoveFile(const std::string& p) override { return Refuse(p) ? false : inner_.RemoveFile(p); }
    bool Rename(const std::string& a, const std::string& b) override { return inner_.Rename(a, b); }
    bool ReadAll(const std::string& p, std::string& c) override { return inner_.ReadAll(p, c); }
    bool WriteAll(const std::string& p, const std::string& c) override { return inner_.WriteAll(p, c); }
    bool Append(const std::string& p, const std::string& c) override { return inner_.Append(p, c); }
    std::string ShortPath(const std::string& p) override { return inner_.ShortPath(p); }
    std::string LongPath(const std::string& p) override { return inner_.LongPath(p); }
    bool Recycle(const std::string& p) override { return Refuse(p) ? false : inner_.Recycle(p); }
    std::string TempDir() override { return inner_.TempDir(); }
    std::string DirectoryIdentity(const std::string& p) override { return inner_.DirectoryIdentity(p); }
    std::string FileStamp(const std::string& p) override { return inner_.FileStamp(p); }

private:
    bool Refuse(const std::string& p);
    pv::IFileSystem& inner_;
    std::string refused_;
    bool throw_;
};

}  // namespace pvtest
