#pragma once
// Shell services: the recycle bin, special folders, shell links, the folder
// browser. The recycle bin goes through IFileSystem and is portable; the rest
// is Win32 only and is defined only in the Windows build (UkvWinSysAPI_win.cpp).

#include <cstdint>
#include <string>

#include "support/Platform.h"

namespace pv {

// CSIDL values the program asks for.
constexpr int kCsidlPersonal = 5;
constexpr int kCsidlAppData = 26;

// Moves path (a file or a directory) to the recycle bin. The program always
// asks silently (no confirmation, no progress); silent = false is accepted for
// the same call. True when the shell reports success.
bool DeleteToRecycleBin(IFileSystem& fs, const std::string& path, bool silent);

// The application data folder without trailing backslash, or "".
std::string GetAppDataFolder(ISystem& system);

// What a shell link (.lnk) holds, as ResolveShellLink reads it.
struct ShellLinkInfo {
    std::string arguments;
    int showCommand = 0;
    std::string workingDirectory;
    void* idList = nullptr;  // shell item-id list, owned until FreeShellLinkInfo
    std::string target;      // short (8.3) form; convert with GetLongPath
    std::string description;
    std::string iconLocation;
    int iconIndex = 0;
    uint16_t hotKey = 0;
};

// ---- Win32 only (not defined in the native build)

// SHGetSpecialFolderLocation + SHGetPathFromIDList; "" on failure.
std::string GetSpecialFolderPath(int csidl);
// Loads and resolves a .lnk file; 0 on success, else the failing HRESULT.
// COM must be initialised on the calling thread (CoInitialize at start-up).
long ResolveShellLink(const std::string& linkPath, ShellLinkInfo& info);
// Releases the item-id list held in info.
void FreeShellLinkInfo(ShellLinkInfo& info);

}  // namespace pv
