#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "support/Platform_win.h"
#include "support/UkvSysIO.h"
#include "support/UkvWinSysAPI.h"
#include "support/Wide_win.h"

namespace pv {

std::string GetSpecialFolderPath(int csidl) {
    LPITEMIDLIST pidl = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, csidl, &pidl) != S_OK || !pidl) return std::string();
    wchar_t buffer[MAX_PATH] = {0};
    std::string result;
    if (SHGetPathFromIDListW(pidl, buffer)) result = Narrow(buffer);
    IMalloc* shellMalloc = nullptr;
    if (SUCCEEDED(SHGetMalloc(&shellMalloc)) && shellMalloc) {
        shellMalloc->Free(pidl);
        shellMalloc->Release();
    }
    return result;
}

long ResolveShellLink(const std::string& linkPath, ShellLinkInfo& info) {
    IShellLinkW* link = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link));
    if (FAILED(hr)) return hr;
    IPersistFile* file = nullptr;
    hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) {
        const std::wstring given = Widen(linkPath);
        WCHAR fullPath[MAX_PATH] = {0};
        DWORD n = GetFullPathNameW(given.c_str(), MAX_PATH, fullPath, nullptr);
        hr = file->Load((n > 0 && n < MAX_PATH) ? fullPath : given.c_str(), STGM_READ);
        file->Release();
    }
    if (SUCCEEDED(hr)) hr = link->Resolve(nullptr, SLR_ANY_MATCH);
    if (SUCCEEDED(hr)) {
        // Arguments may run to INFOTIPSIZE characters.
        WCHAR buffer[INFOTIPSIZE];
        WIN32_FIND_DATAW fd;
        buffer[0] = 0;
        if (SUCCEEDED(link->GetPath(buffer, MAX_PATH, &fd, SLGP_SHORTPATH))) info.target = Narrow(buffer);
        buffer[0] = 0;
        if (SUCCEEDED(link->GetArguments(buffer, INFOTIPSIZE))) info.arguments = Narrow(buffer);
        int show = 0;
        if (SUCCEEDED(link->GetShowCmd(&show))) info.showCommand = show;
        buffer[0] = 0;
        if (SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH))) info.workingDirectory = Narrow(buffer);
        buffer[0] = 0;
        if (SUCCEEDED(link->GetDescription(buffer, MAX_PATH))) info.description = Narrow(buffer);
        buffer[0] = 0;
        int iconIndex = 0;
        if (SUCCEEDED(link->GetIconLocation(buffer, MAX_PATH, &iconIndex))) {
            info.iconLocation = Narrow(buffer);
            info.iconIndex = iconIndex;
        }
        WORD hotKey = 0;
        if (SUCCEEDED(link->GetHotkey(&hotKey))) info.hotKey = hotKey;
        LPITEMIDLIST pidl = nullptr;
        if (SUCCEEDED(link->GetIDList(&pidl))) info.idList = pidl;
        hr = S_OK;
    }
    link->Release();
    return hr;
}

void FreeShellLinkInfo(ShellLinkInfo& info) {
    if (info.idList) CoTaskMemFree(info.idList);
    info.idList = nullptr;
}

namespace {

struct DisabledWindows {
    HWND keep;
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableOne(HWND hwnd, LPARAM param) {
    auto* state = reinterpret_cast<DisabledWindows*>(param);
    if (hwnd != state->keep && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        state->windows.push_back(hwnd);
    }
    return TRUE;
}

int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM /*lParam*/, LPARAM data) {
    if (msg == BFFM_INITIALIZED && data) SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

}  // namespace

bool BrowseForFolder(HWND owner, const std::string& title, std::string& directory) {
    WinFileSystem fs;
    if (!DirectoryExists(fs, directory)) directory.clear();

    wchar_t displayName[MAX_PATH] = {0};
    const std::wstring wideTitle = Widen(title);
    const std::wstring start = Widen(directory);
    BROWSEINFOW bi = {};
    bi.hwndOwner = owner;
    bi.pidlRoot = nullptr;
    bi.pszDisplayName = displayName;
    bi.lpszTitle = wideTitle.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    if (!directory.empty()) {
        bi.lpfn = BrowseCallback;
        bi.lParam = reinterpret_cast<LPARAM>(start.c_str());
    }

    // The dialog is modal to the owner only; the program's other windows are
    // disabled by hand so that nothing else can be used meanwhile.
    DisabledWindows disabled{owner, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled));
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    LPITEMIDLIST pidl = SHBrowseForFolderW(&bi);
    SetErrorMode(oldMode);
    for (HWND hwnd : disabled.windows)
        if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);

    if (!pidl) return false;
    wchar_t path[MAX_PATH] = {0};
    bool ok = SHGetPathFromIDListW(pidl, path) != 0;
    CoTaskMemFree(pidl);
    if (ok) directory = Narrow(path);
    return ok;
}

}  // namespace pv
