#pragma once
// The Win32 implementations of the interfaces of Platform.h.

#include <windows.h>

#include <string>

#include "support/Platform.h"

namespace pv {

// The program's first step: DLLs loaded by name come from the system directory
// only (SetDefaultDllDirectories, where the system has it), never from the
// program's own folder, where anyone may have left a DLL of the same name.
void RestrictDllSearchToSystem();

// A DLL of the system, loaded from the system directory and nowhere else: with
// LOAD_LIBRARY_SEARCH_SYSTEM32, or by its full path where the flag is unknown.
// Null when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);

// A function of a DLL the program needs only now and then (the file dialog,
// the sounds): the DLL is loaded at the first call instead of at start-up,
// which then does not pay for it. Null when the DLL or the function is missing.
template <class Fn>
Fn LateBound(const char* dll, const char* name) {
    HMODULE m = GetModuleHandleA(dll);
    if (!m) m = LoadSystemLibrary(dll);
    if (!m) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(m, name)));
}

class WinFileSystem : public IFileSystem {
public:
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
    std::string TempDir() override;
    std::string DirectoryIdentity(const std::string& path) override;  // volume serial and file index
    std::string FileStamp(const std::string& path) override;          // last write time and size
};

// SHFileOperationA FO_DELETE with FOF_ALLOWUNDO, plus FOF_NOCONFIRMATION |
// FOF_SILENT when silent; true when it returns 0.
bool ShellDeleteToRecycleBin(const std::string& path, bool silent);

class WinSystem : public ISystem {
public:
    std::string ShortDate() override;
    std::string ShortTime() override;
    LocalTime Now() override;
    uint32_t LastError() override;
    std::string ErrorText(uint32_t code) override;
    std::string WindowsDirectory() override;
    std::string SpecialFolderPath(int csidl) override;
};

// Message boxes (MessageBoxA) owned by owner, or by no window when it is null.
class WinMessageUI : public IMessageUI {
public:
    explicit WinMessageUI(HWND owner = nullptr) : owner_(owner) {}
    void SetOwner(HWND owner) { owner_ = owner; }
    void PlainBox(const std::string& caption, const std::string& text) override;
    int Dialog(const std::string& caption, const std::string& text, DialogType type, unsigned buttons,
               int helpContext) override;

private:
    HWND owner_;
};

// MCI wave-audio device; the device stays open after a sound until the next one.
class MciSoundDevice : public ISoundDevice {
public:
    ~MciSoundDevice() override;
    bool Open(const std::string& path) override;
    bool Play() override;
    void Close() override;

private:
    UINT deviceId_ = 0;
};

class WinShell : public IShell {
public:
    intptr_t Execute(const std::string& verb, const std::string& file, const std::string& params,
                     const std::string& dir, int showCmd) override;
};

// Replaces the clipboard's contents by text (as Unicode text; the system
// offers it as ANSI text too), the clipboard opened for owner. False when
// another program holds the clipboard open.
bool SetClipboardText(HWND owner, const std::string& text);

// Folder browser (SHBrowseForFolder, file-system folders only) owned by owner.
// A directory that does not exist is cleared first; on confirmation directory
// receives the chosen folder and the result is true.
bool BrowseForFolder(HWND owner, const std::string& title, std::string& directory);

}  // namespace pv
