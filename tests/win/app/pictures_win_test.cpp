// File-type icons: asked for by name when first drawn, and the same pictures as
// the shell gives an empty file of that type, for the classes of file type the
// system knows (none, a DefaultIcon of its own, "%1", an icon handler).

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <string>
#include <vector>

#include "model/Pictures_win.h"

namespace pv {
namespace {

// The pixels of picture index of list, drawn on a grey 32-bit canvas.
std::vector<DWORD> PixelsOf(HIMAGELIST list, int index) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<DWORD> out;
    if (!canvas) return out;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT r = {0, 0, cx, cy};
    HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
    FillRect(dc, &r, grey);
    DeleteObject(grey);
    ImageList_Draw(list, index, dc, 0, 0, ILD_TRANSPARENT);
    GdiFlush();
    const DWORD* p = static_cast<const DWORD*>(bits);
    out.assign(p, p + cx * cy);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(canvas);
    return out;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteEmpty(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

// Under HKEY_CLASSES_ROOT itself: Wine's shell does not look at the user's
// Software\Classes.
void SetDefault(const std::string& key, const std::string& value, DWORD type = REG_SZ) {
    HKEY h = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(h, nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(h);
}

// File types shaped like those Windows ships, registered for the test's run.
class TypeIcons : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, dir);
        dir_ = std::string(dir) + "pivora-types-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(dir_.c_str(), nullptr);
        // like icofile and exefile: the icon is the file's own
        SetDefault(".pvown", "Pivora.OwnIcon");
        SetDefault("Pivora.OwnIcon\\DefaultIcon", "%1");
        // like most document types: an icon in a library
        SetDefault(".pvdoc", "Pivora.Document");
        SetDefault("Pivora.Document\\DefaultIcon", "shell32.dll,-4");
        // like txtfile: the library named through the environment
        SetDefault(".pvenv", "Pivora.Expand");
        SetDefault("Pivora.Expand\\DefaultIcon", "%SystemRoot%\\system32\\shell32.dll,-8", REG_EXPAND_SZ);
        // like lnkfile and piffile: an icon handler reads the file
        SetDefault(".pvhnd", "Pivora.Handler");
        SetDefault("Pivora.Handler\\shellex\\IconHandler", "{00021401-0000-0000-C000-000000000046}");
        // a class without an icon of its own
        SetDefault(".pvbare", "Pivora.Bare");
        SetDefault("Pivora.Bare", "Bare file");
        scratch_ = {};
        CreateScratchImages(scratch_);
    }
    void TearDown() override {
        FreeScratchImages(scratch_);
        for (const char* k : {".pvown", "Pivora.OwnIcon", ".pvdoc", "Pivora.Document", ".pvenv", "Pivora.Expand",
                              ".pvhnd", "Pivora.Handler", ".pvbare", "Pivora.Bare"})
            RegDeleteTreeA(HKEY_CLASSES_ROOT, k);
        RemoveDirectoryA(dir_.c_str());
    }
    std::string dir_;
    ScratchPictures scratch_;
    BreakPictures breaks_;
};

TEST_F(TypeIcons, AskedWhenFirstDrawnAndTheSameAsForAnEmptyFile) {
    // Wine's own classes and the test's: none, a library icon, "%1", a handler.
    const std::vector<std::string> exts = {"pvzq", "",      "txt",   "html",  "exe",   "lnk",  "bat",
                                           "chm",  "msi",   "url",   "pvown", "pvdoc", "pvenv", "pvhnd",
                                           "pvbare"};
    WinPictureLists byName(scratch_, breaks_);
    WinPictureLists byFile(scratch_, breaks_);
    ASSERT_TRUE(byName.Create());
    ASSERT_TRUE(byFile.Create());
    for (const std::string& e : exts) {
        const std::string temp = dir_ + "TempFile." + e;
        byName.AddTypeIcon(temp, -1);
        // the way it was done before: an empty file of the type, asked about
        WriteEmpty(temp);
        byFile.AddShellIcon(temp, -1, false);
        DeleteFileA(temp.c_str());
    }
    ASSERT_EQ(byName.Count(), static_cast<int>(exts.size()));
    EXPECT_TRUE(byName.HasUnrealized());
    // Nothing asked yet: blank pictures.
    const std::vector<DWORD> blank = PixelsOf(byName.Menu(), 0);
    EXPECT_NE(blank, PixelsOf(byFile.Menu(), 0)) << "the shell's icon is not blank";

    // The shell sees the test's classes: a library icon is not the unknown type's.
    EXPECT_NE(PixelsOf(byFile.Menu(), 11), PixelsOf(byFile.Menu(), 0)) << ".pvdoc against .pvzq";
    EXPECT_NE(PixelsOf(byFile.Menu(), 12), PixelsOf(byFile.Menu(), 0)) << ".pvenv against .pvzq";

    for (int i = 0; i < static_cast<int>(exts.size()); ++i) byName.Realize(i);
    EXPECT_FALSE(byName.HasUnrealized());
    for (int i = 0; i < static_cast<int>(exts.size()); ++i) {
        EXPECT_EQ(PixelsOf(byName.Menu(), i), PixelsOf(byFile.Menu(), i)) << "menu picture of ." << exts[i];
        EXPECT_EQ(PixelsOf(byName.Tree(), i), PixelsOf(byFile.Tree(), i)) << "tree picture of ." << exts[i];
        EXPECT_FALSE(Exists(dir_ + "TempFile." + exts[i])) << "no file left for ." << exts[i];
    }
}

TEST_F(TypeIcons, AFileOfThatNameIsTheUsersAndStays) {
    const std::string mine = dir_ + "TempFile.pvown";
    HANDLE h = CreateFileA(mine.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, "mine", 4, &written, nullptr);
    CloseHandle(h);

    WinPictureLists lists(scratch_, breaks_);
    ASSERT_TRUE(lists.Create());
    lists.AddTypeIcon(mine, -1);
    lists.RealizeAll();
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(GetFileAttributesExA(mine.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 4u);
    DeleteFileA(mine.c_str());
}

TEST_F(TypeIcons, PicturesInsertedBelowMoveTheUnaskedOnesAlong) {
    WinPictureLists lists(scratch_, breaks_);
    WinPictureLists reference(scratch_, breaks_);
    ASSERT_TRUE(lists.Create());
    ASSERT_TRUE(reference.Create());
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);

    lists.AddTypeIcon(dir_ + "TempFile.pvdoc", -1);   // 0
    lists.AddTypeIcon(dir_ + "TempFile.pvzq", -1);    // 1
    lists.AddShellIcon(windows, 0, false);            // the folder at 0: the types at 1 and 2
    lists.InsertIconFile("C:\\no\\such.bmp", 1);      // a blank at 1: the types at 2 and 3
    lists.CopyMenuPictureToTree(1);
    lists.DeleteAbove(2);                             // the second type goes
    ASSERT_EQ(lists.Count(), 3);
    lists.Realize(2);
    EXPECT_FALSE(lists.HasUnrealized());

    reference.AddTypeIcon(dir_ + "TempFile.pvdoc", -1);
    reference.RealizeAll();
    reference.AddShellIcon(windows, -1, false);
    EXPECT_EQ(PixelsOf(lists.Menu(), 2), PixelsOf(reference.Menu(), 0));
    EXPECT_EQ(PixelsOf(lists.Tree(), 2), PixelsOf(reference.Tree(), 0));
    EXPECT_EQ(PixelsOf(lists.Menu(), 0), PixelsOf(reference.Menu(), 1)) << "the folder stays where it went";
}

TEST_F(TypeIcons, SeveralBelowOthersAtOnceAsOneAtATime) {
    // A folder's picture, then three above it (two programs' and the folder's
    // again) that the types go below: as many types as move up (every blank
    // left by a move), and more (blanks of their own too).
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::vector<std::string> all = {dir_ + "TempFile.pvdoc", dir_ + "TempFile.pvzq", dir_ + "TempFile.pvenv",
                                          dir_ + "TempFile.pvab", dir_ + "TempFile.pvcd"};
    for (size_t n : {3u, 5u}) {
        SCOPED_TRACE(n);
        const std::vector<std::string> types(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(n));
        const int count = 4 + static_cast<int>(n);
        WinPictureLists one(scratch_, breaks_);
        WinPictureLists batch(scratch_, breaks_);
        const std::string w = windows;
        for (WinPictureLists* l : {&one, &batch}) {
            ASSERT_TRUE(l->Create());
            for (const std::string& p : {w, w + "\\notepad.exe", w + "\\regedit.exe", w})
                ASSERT_TRUE(l->AddShellIcon(p, -1, false)) << p;
        }
        for (size_t i = 0; i < types.size(); ++i) one.AddTypeIcon(types[i], 1 + static_cast<int>(i));
        batch.AddTypeIcons(types, 1);
        ASSERT_EQ(batch.Count(), count);
        ASSERT_EQ(one.Count(), count);
        // Blank first, then the types' own; the three above moved to the end.
        EXPECT_NE(PixelsOf(batch.Menu(), count - 3), PixelsOf(batch.Menu(), count - 2))
            << "the pictures above keep their order";
        for (bool realized : {false, true}) {
            if (realized) {
                one.RealizeAll();
                batch.RealizeAll();
            }
            for (int i = 0; i < count; ++i) {
                EXPECT_EQ(PixelsOf(batch.Menu(), i), PixelsOf(one.Menu(), i)) << "menu " << i << " realized " << realized;
                EXPECT_EQ(PixelsOf(batch.Tree(), i), PixelsOf(one.Tree(), i)) << "tree " << i << " realized " << realized;
            }
        }
        EXPECT_NE(PixelsOf(batch.Menu(), 1), PixelsOf(batch.Menu(), 2)) << "the types keep their order";
        EXPECT_FALSE(batch.HasUnrealized());
    }
}

}  // namespace
}  // namespace pv
