#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>

#include "support/Platform_win.h"
#include "support/Wide_win.h"

namespace pv {

namespace {

// Closes a file handle on every way out.
class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() {
        if (Valid()) CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    bool Close() {
        HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return CloseHandle(h) != 0;
    }

private:
    HANDLE h_;
};

bool WriteWhole(HANDLE h, const std::string& contents) {
    size_t done = 0;
    while (done < contents.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(contents.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(h, contents.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

}  // namespace

uint32_t WinFileSystem::Attributes(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a == INVALID_FILE_ATTRIBUTES ? kInvalidAttributes : static_cast<uint32_t>(a);
}

bool WinFileSystem::List(const std::string& pattern, std::vector<DirEntry>& out) {
    out.clear();
    // No "insert a disk" box for an empty drive: the search just finds nothing.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    // Wide: a name of MAX_PATH characters can take more bytes in UTF-8.
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(Widen(pattern).c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            out.push_back({Narrow(fd.cFileName), static_cast<uint32_t>(fd.dwFileAttributes)});
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    SetErrorMode(oldMode);
    return !out.empty();
}

bool WinFileSystem::MakeDir(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool WinFileSystem::RemoveDir(const std::string& path) {
    return RemoveDirectoryA(path.c_str()) != 0;
}

bool WinFileSystem::RemoveFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

bool WinFileSystem::Rename(const std::string& from, const std::string& to) {
    return MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool WinFileSystem::ReadAll(const std::string& path, std::string& contents) {
    // Shared with writers and deleters: a read never makes an editor's save or
    // the user's delete fail; a change meanwhile shows in the file's stamp.
    FileHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.Valid()) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(f.Get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > contents.max_size())
        return false;
    std::string data(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < data.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 20));
        DWORD got = 0;
        if (!ReadFile(f.Get(), &data[done], chunk, &got, nullptr)) return false;
        if (got == 0) break;
        done += got;
    }
    data.resize(done);
    contents.swap(data);
    return true;
}

bool WinFileSystem::WriteAll(const std::string& path, const std::string& contents) {
    FileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
    if (!f.Valid()) return false;
    bool ok = WriteWhole(f.Get(), contents);
    return f.Close() && ok;
}

bool WinFileSystem::Append(const std::string& path, const std::string& contents) {
    FileHandle f(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.Valid()) return false;
    bool ok = SetFilePointer(f.Get(), 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
              WriteWhole(f.Get(), contents);
    return f.Close() && ok;
}

std::string WinFileSystem::ShortPath(const std::string& path) {
    DWORD needed = GetShortPathNameA(path.c_str(), nullptr, 0);
    if (needed == 0) return std::string();
    std::string result(needed, '\0');
    DWORD got = GetShortPathNameA(path.c_str(), &result[0], needed);
    if (got == 0 || got >= needed) return std::string();
    result.resize(got);
    return result;
}

std::string WinFileSystem::LongPath(const std::string& path) {
    std::string result = path;
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return result;
    std::wstring wide = Widen(path);
    if (!wide.empty()) {
        LPITEMIDLIST pidl = nullptr;
        ULONG eaten = 0;
        if (SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, &wide[0], &eaten, &pidl, nullptr)) && pidl) {
            wchar_t buffer[MAX_PATH] = {0};
            if (SHGetPathFromIDListW(pidl, buffer)) result = Narrow(buffer);
            CoTaskMemFree(pidl);
        }
    }
    desktop->Release();
    return result;
}

bool ShellDeleteToRecycleBin(const std::string& path, bool silent) {
    std::string from = path;
    from.push_back('\0');  // the list ends with two zero characters
    SHFILEOPSTRUCTA op = {};
    op.hwnd = nullptr;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.pTo = nullptr;
    op.fFlags = FOF_ALLOWUNDO;
    if (silent) op.fFlags |= FOF_NOCONFIRMATION | FOF_SILENT;
    return SHFileOperationA(&op) == 0;
}

bool WinFileSystem::Recycle(const std::string& path) {
    return ShellDeleteToRecycleBin(path, true);
}

std::string WinFileSystem::DirectoryIdentity(const std::string& path) {
    std::string dir = path;
    while (dir.size() > 3 && dir.back() == '\\') dir.pop_back();  // "C:\" keeps its backslash
    if (dir.empty()) return std::string();
    // A directory opens only with backup semantics; asking for no access right
    // at all lets every directory that can be listed be told apart.
    FileHandle h(CreateFileA(dir.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!h.Valid() || !GetFileInformationByHandle(h.Get(), &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::string();
    return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) + ":" +
           std::to_string(info.nFileIndexLow);
}

std::string WinFileSystem::FileStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::string();
    const auto wide = [](DWORD high, DWORD low) { return (static_cast<unsigned long long>(high) << 32) | low; };
    return std::to_string(wide(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)) + ":" +
           std::to_string(wide(data.nFileSizeHigh, data.nFileSizeLow));
}

std::string WinFileSystem::TempDir() {
    wchar_t buffer[MAX_PATH + 1] = {0};
    DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) return std::string();
    return Narrow(buffer, static_cast<int>(n));
}

}  // namespace pv
