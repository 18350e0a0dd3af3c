#pragma once
// IFileSystem over POSIX files, for the native tests. Windows paths map below a
// root directory: "C:\Data\x.txt" is <root>/C/Data/x.txt. Symbolic links report
// kAttrReparsePoint (with kAttrDirectory when they point at a directory), a file
// without owner write permission kAttrReadOnly. The recycle bin is <root>/.trash.
// Names are compared as the host compares them (with letter case), except by the
// wildcards of a search pattern, which match without regard to case as on Windows.

#include <string>

#include "support/Platform.h"

namespace pv {

class PosixFileSystem : public IFileSystem {
public:
    explicit PosixFileSystem(std::string root);

    // The host path a Windows path maps to.
    std::string HostPath(const std::string& path) const;
    const std::string& Root() const { return root_; }
    std::string TrashDir() const { return root_ + "/.trash"; }

    uint32_t Attributes(const std::string& path) override;
    bool List(const std::string& pattern, std::vector<DirEntry>& out) override;
    bool MakeDir(const std::string& path) override;
    bool RemoveDir(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool Rename(const std::string& from, const std::string& to) override;
    bool ReadAll(const std::string& path, std::string& contents) override;
    bool WriteAll(const std::string& path, const std::string& contents) override;
    bool Append(const std::string& path, const std::string& contents) override;
    std::string ShortPath(const std::string& path) override;
    std::string LongPath(const std::string& path) override;
    bool Recycle(const std::string& path) override;
    std::string TempDir() override;  // "T:\" at <root>/T, created on demand
    std::string DirectoryIdentity(const std::string& path) override;  // device and inode
    std::string FileStamp(const std::string& path) override;          // modification time and size

private:
    std::string root_;
};

// Windows-style wildcard match (* and ?, case-insensitive); "*.*" matches every name.
bool MatchesFileMask(const std::string& name, const std::string& mask);

}  // namespace pv
