// Message boxes and the folder browser, answered from a helper thread the way
// a user would: find the dialog of this process, read it, press a button.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "common/support_fs.h"
#include "support/Platform_win.h"

namespace {

struct Found {
    DWORD pid;
    HWND dialog;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM param) {
    auto* f = reinterpret_cast<Found*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {0};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == f->pid && std::string(cls) == "#32770" && IsWindowVisible(hwnd)) {
        f->dialog = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Waits for a dialog of this process, then presses the button with id `button`.
class Answerer {
public:
    // settleMs: time the dialog gets after it appears before the button is pressed.
    explicit Answerer(int button, int settleMs = 200, std::string waitForSelection = std::string())
        : button_(button), settle_(settleMs), selection_(std::move(waitForSelection)), thread_([this] { Run(); }) {}
    ~Answerer() {
        stop_ = true;
        thread_.join();
    }
    std::string caption, text;
    bool answered() const { return answered_; }

private:
    void Run() {
        const DWORD until = GetTickCount() + 20000;
        while (!stop_ && GetTickCount() < until) {
            Found f{GetCurrentProcessId(), nullptr};
            EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&f));
            if (f.dialog) {
                Sleep(settle_);  // let the dialog finish its initialisation
                if (!selection_.empty()) WaitForTreeSelection(f.dialog);
                char buffer[1024] = {0};
                GetWindowTextA(f.dialog, buffer, sizeof buffer);
                caption = buffer;
                buffer[0] = 0;
                GetDlgItemTextA(f.dialog, 0xFFFF, buffer, sizeof buffer);
                text = buffer;
                // Noted before the press: the dialog may close and its caller
                // look before this thread runs again.
                answered_ = true;
                PostMessageA(f.dialog, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), 0);
                return;
            }
            Sleep(20);
        }
    }
    // The folder browser fills its tree and moves the selection after it shows;
    // wait (bounded) until the selected node carries the expected text.
    void WaitForTreeSelection(HWND dialog) {
        HWND tree = FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
        const DWORD until = GetTickCount() + 10000;
        while (tree && GetTickCount() < until) {
            HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
            char text[MAX_PATH] = {0};
            TVITEMA tv = {};
            tv.mask = TVIF_TEXT;
            tv.hItem = item;
            tv.pszText = text;
            tv.cchTextMax = MAX_PATH;
            if (item && SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)) &&
                lstrcmpiA(text, selection_.c_str()) == 0)
                return;
            Sleep(50);
        }
    }
    int button_;
    int settle_;
    std::string selection_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> answered_{false};
    std::thread thread_;
};

}  // namespace

TEST(MessageBoxes, PlainBoxShowsCaptionAndText) {
    pv::WinMessageUI ui;
    Answerer a(IDOK);
    ui.PlainBox("Kelvory Pivora", "C:\\Data\\errorlog.txt");
    ASSERT_TRUE(a.answered());
    EXPECT_EQ(a.caption, "Kelvory Pivora");
    EXPECT_EQ(a.text, "C:\\Data\\errorlog.txt");
}

TEST(MessageBoxes, DialogReturnsTheButtonPressed) {
    struct Case {
        unsigned buttons;
        int press;
        int result;
    } cases[] = {
        {pv::kBtnYes | pv::kBtnNo | pv::kBtnCancel, IDNO, pv::kMrNo},
        {pv::kBtnYes | pv::kBtnNo | pv::kBtnCancel, IDYES, pv::kMrYes},
        {pv::kBtnYes | pv::kBtnNo | pv::kBtnCancel, IDCANCEL, pv::kMrCancel},
        {pv::kBtnOK | pv::kBtnCancel, IDCANCEL, pv::kMrCancel},
        {pv::kBtnOK, IDOK, pv::kMrOk},
    };
    pv::WinMessageUI ui;
    for (const auto& c : cases) {
        Answerer a(c.press);
        int result = ui.Dialog("Warning", "Restore the backup?", pv::DialogType::Warning, c.buttons, 0);
        ASSERT_TRUE(a.answered());
        EXPECT_EQ(result, c.result) << c.buttons << "/" << c.press;
        EXPECT_EQ(a.text, "Restore the backup?");
    }
}

TEST(FolderBrowser, ConfirmingKeepsTheStartingFolder) {
    CoInitialize(nullptr);
    // A folder that has long existed; the answer waits until the browser has
    // moved its selection there (Wine does that a little after showing).
    pv::WinSystem system;
    const std::string start = system.WindowsDirectory();
    ASSERT_NE(start, "");
    std::string dir = start;
    bool confirmed;
    {
        Answerer a(IDOK, 200, start.substr(start.find_last_of('\\') + 1));
        confirmed = pv::BrowseForFolder(nullptr, "Choose a folder", dir);
        ASSERT_TRUE(a.answered());
    }
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(dir, start);
    CoUninitialize();
}

TEST(FolderBrowser, CancellingClearsAMissingStartFolder) {
    CoInitialize(nullptr);
    pvtest::SupportFsEnv env;
    std::string dir = env.Root() + "does not exist";
    bool confirmed;
    {
        Answerer a(IDCANCEL);
        confirmed = pv::BrowseForFolder(nullptr, "Choose a folder", dir);
        ASSERT_TRUE(a.answered());
    }
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(dir, "");

    std::string existing = env.Root();
    {
        Answerer a(IDCANCEL);
        EXPECT_FALSE(pv::BrowseForFolder(nullptr, "Choose a folder", existing));
    }
    EXPECT_EQ(existing, env.Root());
    CoUninitialize();
}
