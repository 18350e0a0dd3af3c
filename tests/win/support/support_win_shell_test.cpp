// Win32-only helpers: shell links, special folders, file locks, pictures and the
// window base with its exception route.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "common/support_fs.h"
#include "support/JCLPathes.h"
#include "support/Platform_win.h"
#include "support/UkvGraphics_win.h"
#include "support/UkvSysExceptions.h"
#include "support/UkvSysIO.h"
#include "support/UkvWinSysAPI.h"
#include "support/Window_win.h"

namespace {

class ComScope {
public:
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
};

HRESULT MakeShortcut(const std::string& lnk, const std::string& target, const std::string& args,
                     const std::string& dir, const std::string& description, WORD hotKey) {
    IShellLinkA* link = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link));
    if (FAILED(hr)) return hr;
    link->SetPath(target.c_str());
    link->SetArguments(args.c_str());
    link->SetWorkingDirectory(dir.c_str());
    link->SetDescription(description.c_str());
    link->SetHotkey(hotKey);
    IPersistFile* file = nullptr;
    hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(hr)) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, lnk.c_str(), -1, wide, MAX_PATH);
        hr = file->Save(wide, TRUE);
        file->Release();
    }
    link->Release();
    return hr;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

TEST(ShellLinks, ResolvesAShortcutToAProgramWithArguments) {
    ComScope com;
    pvtest::SupportFsEnv env;
    auto& fs = env.Fs();
    const std::string dir = env.Root() + "Long Program Folder";
    const std::string exe = dir + "\\My Long Program Name.exe";
    ASSERT_TRUE(env.MakeDir(dir));
    ASSERT_TRUE(env.MakeFile(exe, "MZ"));
    const std::string args = "/open \"C:\\some file.txt\" -x 42";
    const std::string lnk = env.Root() + "Start it.lnk";
    ASSERT_EQ(MakeShortcut(lnk, exe, args, dir, "What it starts", MAKEWORD('P', HOTKEYF_CONTROL)), S_OK);

    pv::ShellLinkInfo info;
    ASSERT_EQ(pv::ResolveShellLink(lnk, info), 0);
    EXPECT_EQ(info.arguments, args);
    EXPECT_EQ(info.workingDirectory, dir);
    EXPECT_EQ(info.description, "What it starts");
    EXPECT_EQ(info.hotKey, MAKEWORD('P', HOTKEYF_CONTROL));
    EXPECT_NE(info.idList, nullptr);
    // The target comes in short form where the system gives one (Windows; Wine
    // answers with the long form), and converts back to the long form.
    const std::string shortForm = pv::GetShortPath(fs, exe);
    ASSERT_NE(shortForm, "");
    EXPECT_TRUE(Lower(info.target) == Lower(shortForm) || Lower(info.target) == Lower(exe)) << info.target;
    EXPECT_EQ(Lower(pv::GetLongPath(fs, info.target)), Lower(exe));
    RecordProperty("target", info.target);
    pv::FreeShellLinkInfo(info);
    EXPECT_EQ(info.idList, nullptr);
    pv::FreeShellLinkInfo(info);  // twice is harmless
}

TEST(ShellLinks, AMissingOrBrokenLinkFileIsAFailureCode) {
    ComScope com;
    pvtest::SupportFsEnv env;
    pv::ShellLinkInfo info;
    EXPECT_NE(pv::ResolveShellLink(env.Root() + "missing.lnk", info), 0);
    ASSERT_TRUE(env.MakeFile(env.Root() + "garbage.lnk", std::string("not a link\0\x01\x02", 13)));
    EXPECT_NE(pv::ResolveShellLink(env.Root() + "garbage.lnk", info), 0);
    EXPECT_EQ(info.idList, nullptr);
}

TEST(SpecialFolders, AppDataAndPersonal) {
    const std::string appData = pv::GetSpecialFolderPath(pv::kCsidlAppData);
    ASSERT_NE(appData, "");
    EXPECT_NE(appData.back(), '\\');
    pv::WinFileSystem fs;
    EXPECT_TRUE(pv::DirectoryExists(fs, appData)) << appData;
    pv::WinSystem system;
    EXPECT_EQ(pv::GetAppDataFolder(system), appData);
    EXPECT_NE(pv::GetSpecialFolderPath(pv::kCsidlPersonal), "");
    EXPECT_EQ(pv::GetSpecialFolderPath(0x7777), "");
}

TEST(FileLocks, AFileHeldOpenWithoutDeleteSharingStaysWithItsDirectories) {
    pvtest::SupportFsEnv env;
    auto& fs = env.Fs();
    const std::string dir = env.Root() + "item_bak";
    ASSERT_TRUE(env.MakeDir(dir));
    ASSERT_TRUE(env.MakeDir(dir + "\\folder"));
    ASSERT_TRUE(env.MakeFile(dir + "\\folder\\locked.bmp", "L"));
    ASSERT_TRUE(env.MakeFile(dir + "\\folder\\free.bmp", "F"));
    ASSERT_TRUE(env.MakeFile(dir + "\\shortcuts.txt", "S"));
    HANDLE h = CreateFileA((dir + "\\folder\\locked.bmp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    pv::DeleteDirectoryTree(fs, dir);
    EXPECT_TRUE(env.Exists(dir + "\\folder\\locked.bmp"));
    EXPECT_FALSE(env.Exists(dir + "\\folder\\free.bmp"));
    EXPECT_FALSE(env.Exists(dir + "\\shortcuts.txt"));
    EXPECT_TRUE(pv::DirectoryExists(fs, dir + "\\folder"));
    CloseHandle(h);
    pv::DeleteDirectoryTree(fs, dir);
    EXPECT_FALSE(env.Exists(dir));
}

TEST(FileLocks, AFileOthersHoldOpenToWriteOrDeleteIsStillRead) {
    // An editor with the file open, a program about to delete or rename it.
    pvtest::SupportFsEnv env;
    const std::string file = env.Root() + "shared.txt";
    const DWORD holds[] = {GENERIC_WRITE, DELETE};
    for (DWORD access : holds) {
        ASSERT_TRUE(env.MakeFile(file, "text"));
        HANDLE h = CreateFileA(file.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        std::string got;
        EXPECT_TRUE(env.Fs().ReadAll(file, got)) << std::hex << access;
        EXPECT_EQ(got, "text");
        CloseHandle(h);
    }
}

TEST(FileLocks, AReadOnlyFileCannotBeDeletedAndStays) {
    pvtest::SupportFsEnv env;
    const std::string dir = env.Root() + "d";
    ASSERT_TRUE(env.MakeDir(dir));
    ASSERT_TRUE(env.MakeFile(dir + "\\ro.txt", "R"));
    ASSERT_TRUE(env.SetAttributes(dir + "\\ro.txt", pv::kAttrReadOnly));
    pv::DeleteDirectoryTree(env.Fs(), dir);
    EXPECT_EQ(env.Read(dir + "\\ro.txt"), "R");
}

TEST(Pictures, MakeImageList32BitKeepsSizeCountAndOrder) {
    HIMAGELIST none = nullptr;
    pv::MakeImageList32Bit(nullptr);
    pv::MakeImageList32Bit(&none);
    EXPECT_EQ(none, nullptr);

    HIMAGELIST list = ImageList_Create(16, 18, ILC_COLOR24 | ILC_MASK, 0, 4);
    ASSERT_NE(list, nullptr);
    HDC screen = GetDC(nullptr);
    const COLORREF colors[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    for (COLORREF c : colors) {
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 18);
        HGDIOBJ old = SelectObject(dc, bmp);
        HBRUSH brush = CreateSolidBrush(c);
        RECT r = {0, 0, 16, 18};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        SelectObject(dc, old);
        DeleteDC(dc);
        ImageList_Add(list, bmp, nullptr);
        DeleteObject(bmp);
    }
    ReleaseDC(nullptr, screen);
    HIMAGELIST before = list;
    pv::MakeImageList32Bit(&list, 8);
    ASSERT_NE(list, nullptr);
    EXPECT_NE(list, before);
    int w = 0, h = 0;
    ASSERT_TRUE(ImageList_GetIconSize(list, &w, &h));
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 18);
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    ImageList_Destroy(list);
}

TEST(Pictures, FillWithBrushColorFillsTheTargetArea) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 10, 6);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    HBRUSH brush = CreateSolidBrush(RGB(10, 200, 30));
    HGDIOBJ oldBrush = SelectObject(dc, brush);

    pv::FillTarget target;
    target.picture = bmp;
    pv::FillWithBrushColor(target, dc, true, RGB(255, 255, 255));  // the brush colour wins
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(10, 200, 30));
    EXPECT_EQ(GetPixel(dc, 9, 5), RGB(10, 200, 30));
    pv::FillWithBrushColor(target, dc, false, RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(dc, 5, 3), RGB(1, 2, 3));

    EXPECT_THROW(pv::FillWithBrushColor(pv::FillTarget(), dc, true, 0), pv::EkvParamOutOfValidRangeError);

    SelectObject(dc, oldBrush);
    SelectObject(dc, oldBmp);
    DeleteObject(brush);
    DeleteObject(bmp);
    DeleteDC(dc);
}

// ---------------------------------------------------------------- window base

namespace {

struct Routed {
    std::string sender;  // "<null>" when none
    std::string message;  // "<none>" for an exception of an unknown kind
};

class ThrowingWindow : public pv::Window {
public:
    int handled = 0;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_APP) throw std::runtime_error("handler failed");
        if (msg == WM_APP + 1) throw 7;
        if (msg == WM_APP + 2) {
            ++handled;
            return 1234;
        }
        return DefaultProc(msg, wParam, lParam);
    }
};

class RouteRecorder {
public:
    std::vector<Routed> seen;
    RouteRecorder() {
        pv::SetApplicationExceptionRoute([this](const char* sender, const std::exception* e) {
            seen.push_back({sender ? sender : "<null>", e ? e->what() : "<none>"});
        });
    }
    ~RouteRecorder() { pv::SetApplicationExceptionRoute(nullptr); }
};

std::vector<Routed>* g_timerSeen = nullptr;

void CALLBACK ThrowingTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    pv::Guard("TimerDragTimer", [] { throw std::logic_error("timer failed"); });
}

}  // namespace

TEST(WindowBase, ExceptionsLeaveTheWindowProcedureThroughTheRoute) {
    RouteRecorder route;
    ThrowingWindow w;
    w.SetName("FormItems");
    ASSERT_TRUE(w.Create("PvTestThrowingWindow", "t", WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(pv::Window::FromHandle(w.Handle()), &w);
    EXPECT_EQ(pv::Window::FromHandle(GetDesktopWindow()), nullptr);

    EXPECT_EQ(SendMessageA(w.Handle(), WM_APP + 2, 0, 0), 1234);
    EXPECT_EQ(SendMessageA(w.Handle(), WM_APP, 0, 0), 0);
    EXPECT_EQ(SendMessageA(w.Handle(), WM_APP + 1, 0, 0), 0);
    w.SetName("");
    EXPECT_EQ(SendMessageA(w.Handle(), WM_APP, 0, 0), 0);
    ASSERT_EQ(route.seen.size(), 3u);
    EXPECT_EQ(route.seen[0].sender, "FormItems");
    EXPECT_EQ(route.seen[0].message, "handler failed");
    EXPECT_EQ(route.seen[1].sender, "FormItems");
    EXPECT_EQ(route.seen[1].message, "<none>");
    EXPECT_EQ(route.seen[2].sender, "<null>");
    EXPECT_EQ(w.handled, 1);
    w.Destroy();
    EXPECT_EQ(w.Handle(), nullptr);
}

TEST(WindowBase, GuardRoutesCallbacksWithTheirSender) {
    RouteRecorder route;
    EXPECT_TRUE(pv::Guard("BitBtnSaveClick", [] {}));
    EXPECT_FALSE(pv::Guard("BitBtnSaveClick", [] { throw pv::EkvParamWrong("bad"); }));
    EXPECT_FALSE(pv::Guard(nullptr, [] { throw 1; }));

    g_timerSeen = &route.seen;
    SetTimer(nullptr, 0, 1, ThrowingTimer);
    DWORD until = GetTickCount() + 5000;
    MSG msg;
    while (route.seen.size() < 3 && GetTickCount() < until) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(5);
    }
    g_timerSeen = nullptr;
    ASSERT_EQ(route.seen.size(), 3u);
    EXPECT_EQ(route.seen[0].sender, "BitBtnSaveClick");
    EXPECT_EQ(route.seen[0].message, "bad");
    EXPECT_EQ(route.seen[1].sender, "<null>");
    EXPECT_EQ(route.seen[1].message, "<none>");
    EXPECT_EQ(route.seen[2].sender, "TimerDragTimer");
    EXPECT_EQ(route.seen[2].message, "timer failed");
}
