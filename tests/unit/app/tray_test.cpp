// The hidden main window's rules without a window: the hot key's registration,
// the tray menu's pop-up and its one-at-a-time guard, and what a rebuild resets.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/InitFinit.h"
#include "app/form_general.h"
#include "model/AppModel.h"

namespace pv {
namespace {

// ---------------------------------------------------------------- hot key

// Keeps what RegisterHotKey would: combinations held by others, and ours.
class FakeRegistrar : public IHotKeyRegistrar {
public:
    std::vector<unsigned> heldElsewhere;  // virtual keys another program holds
    std::vector<std::string> calls;
    bool Register(const HotKeyRegistration& r) override {
        calls.push_back("register " + std::to_string(r.modifiers) + "+" + std::to_string(r.virtualKey));
        for (unsigned vk : heldElsewhere)
            if (vk == r.virtualKey) return false;
        return true;
    }
    void Unregister() override { calls.push_back("unregister"); }
};

TEST(JvApplicationHotKey, RegistersCtrlLAndLetsGoOfIt) {
    FakeRegistrar reg;
    JvApplicationHotKey hk(reg);
    EXPECT_EQ(hk.HotKey(), 0x404C);
    hk.SetActive(true);
    EXPECT_TRUE(hk.Active());
    hk.SetActive(true);  // already registered: not again
    hk.Unregister();
    EXPECT_FALSE(hk.Active());
    EXPECT_EQ(reg.calls, (std::vector<std::string>{"register 2+76", "unregister"}));
}

TEST(JvApplicationHotKey, ANewValueReplacesTheOldOneWhileWanted) {
    FakeRegistrar reg;
    JvApplicationHotKey hk(reg);
    hk.SetActive(true);
    hk.SetHotKey(0x4000 | 0x2000 | 'K');  // Ctrl+Shift+K
    EXPECT_TRUE(hk.Active());
    hk.SetHotKey(0x4000 | 0x2000 | 'K');  // the same value: nothing happens
    EXPECT_EQ(reg.calls, (std::vector<std::string>{"register 2+76", "unregister", "register 6+75"}));

    // Not wanted: a value is only stored.
    FakeRegistrar quiet;
    JvApplicationHotKey off(quiet);
    off.SetHotKey(0x8000 | 0x70);
    EXPECT_EQ(off.HotKey(), 0x8070);
    EXPECT_TRUE(quiet.calls.empty());
}

TEST(JvApplicationHotKey, TheUsersChoiceHeldElsewhereKeepsTheOldOne) {
    FakeRegistrar reg;
    reg.heldElsewhere = {'P'};
    JvApplicationHotKey hk(reg);
    hk.SetActive(true);
    reg.calls.clear();
    EXPECT_FALSE(hk.TrySetHotKey(0xC050));  // Ctrl+Alt+P
    EXPECT_EQ(hk.HotKey(), 0x404C);
    EXPECT_TRUE(hk.Active()) << "Ctrl+L registered again";
    EXPECT_EQ(reg.calls, (std::vector<std::string>{"unregister", "register 3+80", "register 2+76"}));
    reg.calls.clear();
    EXPECT_TRUE(hk.TrySetHotKey(0xC04F));  // Ctrl+Alt+O
    EXPECT_EQ(hk.HotKey(), 0xC04F);
    EXPECT_TRUE(hk.Active());
    EXPECT_EQ(reg.calls, (std::vector<std::string>{"unregister", "register 3+79"}));
}

TEST(JvApplicationHotKey, TakenDefaultStillLetsTheSettingsValueIn) {
    FakeRegistrar reg;
    reg.heldElsewhere = {'L'};
    JvApplicationHotKey hk(reg);
    hk.SetActive(true);
    EXPECT_FALSE(hk.Active()) << "held by another program: inactive, no message";
    hk.Unregister();  // nothing registered, nothing to let go
    hk.SetActive(true);
    hk.SetHotKey(0x4000 | 'P');  // pivora.ini names Ctrl+P
    EXPECT_TRUE(hk.Active());
    EXPECT_EQ(reg.calls, (std::vector<std::string>{"register 2+76", "register 2+76", "register 2+80"}));
}

// ---------------------------------------------------------------- tray menu

class FakeTrayHost : public ITrayMenuHost {
public:
    std::vector<std::string> calls;
    bool cursorOk = true;
    bool ending = false;
    MenuEntry* choice = nullptr;
    std::function<void()> duringPump;   // a click or hot key delivered by the pump
    std::function<void()> whileShown;   // one delivered while the menu is open

    bool CursorPos(int& x, int& y) override {
        calls.push_back("cursor");
        x = 40;
        y = 690;
        return cursorOk;
    }
    void ProcessMessages() override {
        calls.push_back("pump");
        if (duringPump) duringPump();
    }
    bool Terminated() override { return ending; }
    void BringToForeground() override { calls.push_back("foreground"); }
    MenuEntry* TrackMenu(PopupMenu& menu, int x, int y) override {
        calls.push_back("track " + menu.name + " at " + std::to_string(x) + "," + std::to_string(y));
        if (whileShown) whileShown();
        return choice;
    }
    void PostNull() override { calls.push_back("null"); }
};

struct TrayFixture : ::testing::Test {
    PopupMenu menu;
    MenuEntry* entry = nullptr;
    TrayMenu tray;
    FakeTrayHost host;
    std::vector<std::string> clicked;
    std::function<void(MenuEntry&)> click = [this](MenuEntry& e) {
        clicked.push_back(e.caption);
        host.calls.push_back("click");
    };
    void SetUp() override {
        menu.name = "PMItems";
        entry = menu.root.Append();
        entry->caption = "Notepad";
    }
};

TEST_F(TrayFixture, AButtonPressPopsTheMenuAtTheCursorInOrder) {
    tray.Enabled = true;
    tray.Menu = &menu;
    host.choice = entry;
    tray.IconButtonPressed(host, click);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"cursor", "pump", "foreground", "track PMItems at 40,690", "null",
                                                    "click"}));
    EXPECT_EQ(clicked, std::vector<std::string>{"Notepad"});
    EXPECT_FALSE(tray.Busy());
}

TEST_F(TrayFixture, NothingWhileDisabledOrWithoutAMenu) {
    tray.Menu = &menu;  // attached but disabled
    tray.IconButtonPressed(host, click);
    tray.Enabled = true;
    tray.Menu = nullptr;  // enabled, nothing attached (a rebuild)
    tray.IconButtonPressed(host, click);
    tray.JvApplicationHotKeyHotKey(host, click);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(TrayFixture, TheHotKeyNeedsOnlyAnAttachedMenu) {
    tray.Menu = &menu;  // the icon may ignore the mouse; the hot key still opens
    tray.JvApplicationHotKeyHotKey(host, click);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"cursor", "pump", "foreground", "track PMItems at 40,690", "null"}))
        << "nothing chosen, nothing clicked";
}

TEST_F(TrayFixture, OneMenuAtATime) {
    tray.Enabled = true;
    tray.Menu = &menu;
    host.choice = entry;
    // The pump delivers a second click, the open menu a hot key, the chosen
    // entry's handler a third click: each is refused while the first runs.
    int refused = 0;
    host.duringPump = [&] {
        host.duringPump = nullptr;
        tray.IconButtonPressed(host, click);
        ++refused;
    };
    host.whileShown = [&] {
        host.whileShown = nullptr;
        tray.JvApplicationHotKeyHotKey(host, click);
        ++refused;
    };
    std::function<void(MenuEntry&)> reentering = [&](MenuEntry& e) {
        click(e);
        tray.IconButtonPressed(host, click);
        ++refused;
    };
    tray.IconButtonPressed(host, reentering);
    EXPECT_EQ(refused, 3);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"cursor", "pump", "foreground", "track PMItems at 40,690", "null",
                                                    "click"}));
    // Afterwards the next press works again.
    host.calls.clear();
    tray.IconButtonPressed(host, click);
    EXPECT_EQ(host.calls.size(), 6u);
}

TEST_F(TrayFixture, StopsWithoutACursorOrWhenTheProgramEndsDuringThePump) {
    tray.Enabled = true;
    tray.Menu = &menu;
    host.cursorOk = false;
    tray.IconButtonPressed(host, click);
    EXPECT_EQ(host.calls, std::vector<std::string>{"cursor"});
    host.calls.clear();
    host.cursorOk = true;
    host.duringPump = [&] { host.ending = true; };  // an exception ended the program
    tray.IconButtonPressed(host, click);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"cursor", "pump"}));
    EXPECT_FALSE(tray.Busy());
}

// ---------------------------------------------------------------- rebuild resets

TEST(RebuildResets, EmptyTheDataAndKeepOnlyTheFixedPictures) {
    AppModel m;
    PictureRecorder lists;
    m.Pictures = &lists;
    m.TVItems.Root().AppendChild()->text = "x";
    m.TVItems.tag = 2;
    m.TVUndo.Root().AppendChild();
    m.TVUndo.tag = 1;
    m.PMItems.root.Append()->caption = "Notepad";
    m.PMItems.root.tag = 1;
    m.PictureMarks.itemIconCount = 3;
    m.Items.AddOtherLink("C:\\a.txt");
    m.Items.AddProgramLink("C:\\b.exe", "-x");
    m.Items.extensions.Append("txt");
    for (int i = 0; i < 5; ++i) lists.AddShellIcon("C:\\p" + std::to_string(i), -1, false);
    ASSERT_EQ(lists.Count(), 20);

    ClearItemTable(m);
    EXPECT_EQ(m.Items.paths.Length(), 0);
    EXPECT_EQ(m.Items.paramNumbers.Length(), 0);
    EXPECT_EQ(m.Items.extensions.Length(), 0);
    EXPECT_EQ(m.Items.nextItemNumber, 0) << "numbering starts again";
    EXPECT_EQ(m.Items.AddOtherLink("C:\\c.txt"), 0);

    ClearTreesAndMenu(m);
    EXPECT_EQ(m.TVItems.TopCount(), 0);
    EXPECT_EQ(m.TVUndo.TopCount(), 0);
    EXPECT_EQ(m.TVItems.tag, 0);
    EXPECT_EQ(m.TVUndo.tag, 0);
    EXPECT_EQ(m.PictureMarks.itemIconCount, 0);
    EXPECT_EQ(m.PMItems.root.Count(), 0);
    EXPECT_EQ(m.PMItems.root.tag, 0) << "store entries go to the top again";

    DeleteAddedPictures(m);
    EXPECT_EQ(lists.Count(), 12) << "pictures 0 to 11 stay";
    AppendBreakPictures(m);
    ASSERT_EQ(lists.Count(), 15);
    EXPECT_TRUE(lists.InStep());
}

}  // namespace
}  // namespace pv
