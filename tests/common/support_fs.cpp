#include "support_fs.h"

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>

#include "support/Platform_win.h"
#else
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/FileSystem_posix.h"
#endif

namespace pvtest {

bool RefusingFileSystem::Refuse(const std::string& p) {
    if (p != refused_) return false;
    ++refusals;
    if (throw_) throw std::runtime_error("refused: " + p);
    return true;
}

bool SupportFsEnv::MakeDir(const std::string& path) {
    return fs_->MakeDir(path);
}

bool SupportFsEnv::MakeFile(const std::string& path, const std::string& contents) {
    return fs_->WriteAll(path, contents);
}

std::string SupportFsEnv::Read(const std::string& path) {
    std::string contents;
    return fs_->ReadAll(path, contents) ? contents : std::string("<missing>");
}

bool SupportFsEnv::Exists(const std::string& path) {
    return fs_->Attributes(path) != pv::kInvalidAttributes;
}

#ifdef _WIN32

namespace {

int g_counter = 0;

// Starts a Unix program through Wine. Wine does not track such a process (its
// handle is signalled at once and carries no exit code), so callers poll for
// the effect they wait for.
bool StartUnixTool(const std::string& commandLine, const std::string& dir, std::string* trace = nullptr) {
    if (GetFileAttributesA("Z:\\bin\\sh") == INVALID_FILE_ATTRIBUTES) {
        if (trace) *trace = "no Z:\\bin (not Wine)";
        return false;
    }
    std::string cmd = commandLine;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
        if (trace) *trace = commandLine + ": CreateProcess error " + std::to_string(GetLastError());
        return false;
    }
    WaitForSingleObject(pi.hProcess, 30000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (trace) *trace = commandLine + ": started";
    return true;
}

template <class Pred>
bool WaitFor(Pred done, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 20) {
        if (done()) return true;
        Sleep(20);
    }
    return done();
}

void RemoveTreeWin32(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = dir + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTreeWin32(full + "\\");
            else if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryA(full.c_str());
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(dir.c_str());
}

}  // namespace

SupportFsEnv::SupportFsEnv() : fs_(new pv::WinFileSystem) {
    char temp[MAX_PATH + 1] = {0};
    GetTempPathA(MAX_PATH, temp);
    for (;;) {
        root_ = std::string(temp) + "pvsup_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++g_counter) + "\\";
        if (CreateDirectoryA(root_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot make " + root_);
    }
}

SupportFsEnv::~SupportFsEnv() {
    // Under Wine, Unix links cannot be removed through Win32; rm -rf removes
    // them without following.
    std::string parent = root_.substr(0, root_.size() - 1);
    size_t cut = parent.find_last_of('\\');
    std::string name = parent.substr(cut + 1);
    parent = parent.substr(0, cut + 1);
    const std::string root = root_;
    auto gone = [&] { return GetFileAttributesA(root.c_str()) == INVALID_FILE_ATTRIBUTES; };
    if (!StartUnixTool("Z:\\bin\\sh -c \"chmod -R u+w " + name + "; rm -rf " + name + "\"", parent) ||
        !WaitFor(gone, 10000))
        RemoveTreeWin32(root_);
}

bool SupportFsEnv::SetAttributes(const std::string& path, uint32_t attributes) {
    return SetFileAttributesA(path.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool SupportFsEnv::CanSetHiddenAndSystem() const {
    return true;
}

bool SupportFsEnv::RecycleBinIsScratch(std::string& why) {
    const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    char value[8] = {0};
    if (wine && GetEnvironmentVariableA("XDG_DATA_HOME", value, sizeof value) == 0) {
        why = "XDG_DATA_HOME is not set: Wine would recycle into the real home";
        return false;
    }
    return true;
}

bool SupportFsEnv::MakeDirectoryLink(const std::string& linkDir, const std::string& linkName,
                                     const std::string& relativeTarget, std::string& how) {
    const std::string link = linkDir + linkName;
    std::string target = linkDir;
    for (char c : relativeTarget) target += (c == '/') ? '\\' : c;
    if (CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
        (GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) &&
        GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES) {
        how = "CreateSymbolicLinkA";
        return true;
    }
    // Wine's CreateSymbolicLinkA makes nothing and FSCTL_SET_REPARSE_POINT is
    // refused, but Wine reports a Unix symbolic link as a reparse point.
    RemoveDirectoryA(link.c_str());
    std::string trace;
    auto made = [&] { return GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; };
    if (StartUnixTool("Z:\\bin\\ln -s " + relativeTarget + " " + linkName, linkDir, &trace) && WaitFor(made, 5000)) {
        DWORD a = GetFileAttributesA(link.c_str());
        if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT)) {
            how = "Unix symbolic link (Wine reports FILE_ATTRIBUTE_REPARSE_POINT)";
            return true;
        }
    }
    how = "neither CreateSymbolicLinkA nor a Unix symbolic link gave a reparse point (" + trace + ")";
    return false;
}

#else

SupportFsEnv::SupportFsEnv() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "pvsup_XXXXXX").string();
    if (!mkdtemp(&tmpl[0])) throw std::runtime_error("mkdtemp failed");
    hostRoot_ = tmpl;
    std::filesystem::create_directories(hostRoot_ + "/C/work");
    fs_.reset(new pv::PosixFileSystem(hostRoot_));
    root_ = "C:\\work\\";
}

SupportFsEnv::~SupportFsEnv() {
    std::error_code ec;
    // Read-only directories must become writable before their entries can go.
    for (auto it = std::filesystem::recursive_directory_iterator(hostRoot_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_symlink()) ::chmod(it->path().c_str(), 0755);
    }
    std::filesystem::remove_all(hostRoot_, ec);
}

bool SupportFsEnv::SetAttributes(const std::string& path, uint32_t attributes) {
    auto* posix = static_cast<pv::PosixFileSystem*>(fs_.get());
    mode_t mode = (attributes & pv::kAttrReadOnly) ? 0555 : 0755;
    return ::chmod(posix->HostPath(path).c_str(), mode) == 0;
}

bool SupportFsEnv::CanSetHiddenAndSystem() const {
    return false;
}

bool SupportFsEnv::RecycleBinIsScratch(std::string&) {
    return true;  // PosixFileSystem recycles below its own root
}

bool SupportFsEnv::MakeDirectoryLink(const std::string& linkDir, const std::string& linkName,
                                     const std::string& relativeTarget, std::string& how) {
    auto* posix = static_cast<pv::PosixFileSystem*>(fs_.get());
    std::string host = posix->HostPath(linkDir + linkName);
    if (::symlink(relativeTarget.c_str(), host.c_str()) != 0) {
        how = "symlink() failed";
        return false;
    }
    how = "POSIX symbolic link";
    return true;
}

#endif

}  // namespace pvtest
