// The manager window over the real controls: the tree view follows the model
// one item at a time, and files dropped on it arrive through WM_DROPFILES with
// a real DROPFILES block.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/InitFinit_win.h"

namespace pv {
namespace {

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << text;
}

class ManagerWin : public ::testing::Test {
protected:
    void SetUp() override {
        char tmp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, tmp);
        dir_ = std::string(tmp) + "pivora-manager-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(dir_.c_str(), nullptr);
        CreateDirectoryA((dir_ + "shortcuts").c_str(), nullptr);
        CreateDirectoryA((dir_ + "shortcuts\\Tools").c_str(), nullptr);
        WriteText(dir_ + "shortcuts\\shortcuts.txt",
                  "^UnkLnk|C:\\windows\\win.ini|ini|Win ini\r\n^Folder|Tools\r\n");
        WriteText(dir_ + "shortcuts\\Tools\\shortcuts.txt", "^UnkLnk|C:\\windows\\system.ini|ini|Inner\r\n");
        p_ = std::make_unique<PivoraProgram>();
        p_->ExecutablePathOverride = dir_ + "pivora.exe";
        ASSERT_TRUE(p_->CreateWindows());
        StartupSequence(*p_, p_->Model);
        p_->FormItems.miManageItemsClick();
        tree_ = p_->FormItems.TVItems.Handle();
    }
    void TearDown() override {
        p_.reset();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        SHFILEOPSTRUCTA op = {};
        std::string from = dir_ + std::string(1, '\0');
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        SHFileOperationA(&op);
    }
    TreeNode* Node(const std::string& text) {
        for (TreeNode* n : p_->Model.TVItems.AllNodes())
            if (n->text == text) return n;
        return nullptr;
    }
    int Count() { return static_cast<int>(SendMessageA(tree_, TVM_GETCOUNT, 0, 0)); }

    std::string dir_;
    std::unique_ptr<PivoraProgram> p_;
    HWND tree_ = nullptr;
};

TEST_F(ManagerWin, TheTreeViewFollowsOneItemAtATime) {
    // Shown: the top level is there; the folder's entries come when it opens.
    const int shown = Count();
    EXPECT_EQ(shown, 1 + 2 + 3) << "top node, two entries, three program nodes";
    HTREEITEM winIni = p_->FormItems.ItemOf(Node("Win ini"));
    ASSERT_NE(winIni, nullptr);
    FormItemsModel& m = p_->FormItems.Model();
    // A separator attached after "Win ini": one item more, the others untouched.
    m.Select(Node("Win ini"));
    m.RBFolderEnter(AddMode::Separator);
    m.SetMemoAddNameText("Group");
    m.BitBtnAttachClick();
    EXPECT_EQ(Count(), shown + 1);
    EXPECT_EQ(p_->FormItems.ItemOf(Node("Win ini")), winIni) << "not filled anew";
    EXPECT_EQ(TreeView_GetNextSibling(tree_, winIni), p_->FormItems.ItemOf(Node("--Group--")));
    // Opening the folder brings its two children (top node and entry).
    TreeView_Expand(tree_, p_->FormItems.ItemOf(Node("Tools")), TVE_EXPAND);
    EXPECT_EQ(Count(), shown + 3);
    // Deleting takes exactly the folder's items away; the selection follows the control.
    m.Select(Node("Tools"));
    m.BitBtnDeleteClick();
    EXPECT_EQ(Count(), shown - 1 + 1);
    EXPECT_EQ(Node("Inner"), nullptr);
}

// "C&lose" and "&Launch" share Alt+L. Through the program's message loop the
// key moves the focus from one to the other and presses neither; Alt with a
// letter only one button has still presses that one.
TEST_F(ManagerWin, AltLMovesTheFocusBetweenCloseAndLaunch) {
    FormItemsModel& m = p_->FormItems.Model();
    m.Select(Node("Win ini"));
    p_->FormItems.PushControls();
    HWND window = p_->FormItems.Handle();
    HWND close = p_->FormItems.Control(ItemsControl::BitBtnClose);
    HWND launch = p_->FormItems.Control(ItemsControl::BitBtnLaunch);
    ASSERT_TRUE(IsWindowVisible(window));
    ASSERT_TRUE(IsWindowEnabled(launch));
    SetForegroundWindow(window);
    SetFocus(p_->FormItems.Control(ItemsControl::EditSName));
    // What the keyboard delivers for Alt+letter, to the focused control.
    auto alt = [&](char letter) {
        PostMessageA(GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(letter), 0x20000001);  // bit 29: Alt is down
        p_->App.ProcessMessages();
    };
    const HWND expected[] = {close, launch, close, launch};
    for (HWND h : expected) {
        alt('l');
        EXPECT_TRUE(IsWindowVisible(window)) << "Close was not pressed";
        EXPECT_EQ(GetFocus(), h);
    }
    EXPECT_NE(m.Selected(), p_->Model.TVItems.First()) << "nothing else happened";
    alt('u');
    EXPECT_EQ(m.Selected(), p_->Model.TVItems.First()) << "Undo pressed: the selection went to the top";
}

// A DROPFILES block as the shell makes it, with its point in client coordinates.
HDROP MakeDrop(const std::vector<std::string>& files, POINT pt) {
    size_t chars = 1;
    for (const std::string& f : files) chars += f.size() + 1;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars);
    auto* df = static_cast<DROPFILES*>(GlobalLock(h));
    df->pFiles = sizeof(DROPFILES);
    df->pt = pt;
    df->fNC = FALSE;
    df->fWide = FALSE;
    char* p = reinterpret_cast<char*>(df) + sizeof(DROPFILES);
    for (const std::string& f : files) {
        memcpy(p, f.c_str(), f.size() + 1);
        p += f.size() + 1;
    }
    GlobalUnlock(h);
    return static_cast<HDROP>(h);
}

TEST_F(ManagerWin, FilesDroppedOnAnItemFollowItInReverseOrder) {
    RECT r = {};
    const HTREEITEM item = p_->FormItems.ItemOf(Node("Win ini"));
    std::memcpy(&r, &item, sizeof item);  // TVM_GETITEMRECT takes the item in the rectangle
    ASSERT_TRUE(SendMessageA(tree_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
    const POINT pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string w = windows;
    HDROP drop = MakeDrop({w + "\\win.ini", w + "\\system.ini", w + "\\notepad.exe"}, pt);
    SendMessageA(tree_, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    const TreeNode& root = p_->Model.TVItems.Root();
    ASSERT_GE(root.Count(), 5);
    EXPECT_EQ(root.Child(1)->text, "Win ini");
    EXPECT_EQ(root.Child(2)->text, "notepad");
    EXPECT_EQ(root.Child(3)->text, "system");
    EXPECT_EQ(root.Child(4)->text, "win");
    EXPECT_EQ(p_->Model.Items.FindItemParams(root.Child(2)->data), "") << "a program gets its pair";
    EXPECT_EQ(p_->Model.Items.paramNumbers.IndexOf(std::to_string(root.Child(2)->data)) >= 0, true);
    EXPECT_EQ(GlobalFlags(drop), static_cast<UINT>(GMEM_INVALID_HANDLE)) << "the drop was released";

    // Without a handler the drop is still released, and nothing is added.
    p_->FormItems.TVItems.OnDropFiles = nullptr;
    const int nodes = root.Count();
    HDROP unhandled = MakeDrop({w + "\\win.ini"}, pt);
    SendMessageA(tree_, WM_DROPFILES, reinterpret_cast<WPARAM>(unhandled), 0);
    EXPECT_EQ(root.Count(), nodes);
    EXPECT_EQ(GlobalFlags(unhandled), static_cast<UINT>(GMEM_INVALID_HANDLE));
}

}  // namespace
}  // namespace pv
