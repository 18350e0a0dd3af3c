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
    MenuEntry* TrackMenu(PopupMenu& menu, const MenuPlacement& p) override {
        std::string call = "track " + menu.name + " at " + std::to_string(p.x) + "," + std::to_string(p.y);
        if (p.flags) call += " flags " + std::to_string(p.flags);
        if (p.exclude)
            call += " off " + std::to_string(p.excluded.left) + "," + std::to_string(p.excluded.top) + "," +
                    std::to_string(p.excluded.right) + "," + std::to_string(p.excluded.bottom);
        calls.push_back(call);
        if (whileShown) whileShown();
        return choice;
    }
    void PostNull() override { calls.push_back("null"); }

    // The task bar, the icon and the clock, for the icon's keyboard events.
    TaskbarEdge edge = TaskbarEdge::Unknown;
    bool dropRight = false;
    bool iconKnown = true;
    ScreenRect icon{960, 672, 980, 692};
    unsigned now = 10000;
    unsigned perMenu = 0;  // how long each menu stays open
    TaskbarEdge Taskbar() override { return edge; }
    bool MenuDropsRight() override { return dropRight; }
    bool IconRect(ScreenRect& r) override {
        if (iconKnown) r = icon;
        return iconKnown;
    }
    unsigned NowMs() override { return now; }
    unsigned DoubleClickMs() override { return 500; }
    // A command chosen in an entry's context menu while the menu was open.
    bool commandChosen = false;
    bool RunEntryCommand() override {
        if (!commandChosen) return false;
        calls.push_back("entry command");
        commandChosen = false;
        return true;
    }
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

TEST_F(TrayFixture, AContextMenusCommandRunsAfterTheMenuClosedInPlaceOfAChoice) {
    tray.Enabled = true;
    tray.Menu = &menu;
    host.commandChosen = true;
    host.choice = nullptr;
    tray.IconButtonPressed(host, click);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"cursor", "pump", "foreground", "track PMItems at 40,690", "null",
                                                    "entry command"}));
    EXPECT_TRUE(clicked.empty());
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

TEST_F(TrayFixture, TheHotKeyTwiceQuicklyOpensFindUnlessTheFirstMenusEntryWasChosen) {
    struct Press {
        unsigned at;   // ms
        bool choose;   // an entry chosen from the menu it opens
    };
    struct Case {
        const char* what;
        std::vector<Press> presses;
        std::vector<std::string> expected;  // "menu" or "find", one per press
    } cases[] = {
        {"twice quickly", {{0, false}, {300, false}}, {"menu", "find"}},
        {"twice, at the double-click time", {{0, false}, {500, false}}, {"menu", "find"}},
        {"twice, slower", {{0, false}, {501, false}}, {"menu", "menu"}},
        {"an entry started in between", {{0, true}, {300, false}}, {"menu", "menu"}},
        {"three quickly: a third starts over", {{0, false}, {200, false}, {400, false}}, {"menu", "find", "menu"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TrayMenu t;
        t.Menu = &menu;
        std::vector<std::string> got;
        t.OpenFind = [&](const FindRequest& r) {
            EXPECT_TRUE(r.atMouse);
            EXPECT_EQ(r.text, "");
            got.push_back("find");
        };
        for (const Press& p : c.presses) {
            host.now = 10000 + p.at;
            host.choice = p.choose ? entry : nullptr;
            const size_t before = host.calls.size();
            t.JvApplicationHotKeyHotKey(host, click);
            for (size_t i = before; i < host.calls.size(); ++i)
                if (host.calls[i].rfind("track", 0) == 0) got.push_back("menu");
        }
        EXPECT_EQ(got, c.expected);
    }
}

// ---------------------------------------------------------------- where the menu opens

TEST(TrayMenuAlignment, OpensTowardTheInsideFromEachTaskBarEdge) {
    // TPM_RIGHTALIGN 8, TPM_BOTTOMALIGN 0x20, TPM_VERTICAL 0x40; left and top are 0.
    struct Case {
        TaskbarEdge edge;
        bool dropRight;
        unsigned flags;
    };
    const Case cases[] = {
        {TaskbarEdge::Bottom, false, 0x20 | 0x40},     // up, to the right of the point
        {TaskbarEdge::Bottom, true, 0x8 | 0x20 | 0x40},  // up, to the left
        {TaskbarEdge::Top, false, 0x40},               // down
        {TaskbarEdge::Top, true, 0x8 | 0x40},
        {TaskbarEdge::Left, false, 0x20},              // to the right, up from the point
        {TaskbarEdge::Left, true, 0x20},               // the edge decides the side
        {TaskbarEdge::Right, false, 0x8 | 0x20},       // to the left, up
        {TaskbarEdge::Right, true, 0x8 | 0x20},
        {TaskbarEdge::Unknown, false, 0x0},            // as a plain pop-up menu
        {TaskbarEdge::Unknown, true, 0x8},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrayMenuAlignment(c.edge, c.dropRight), c.flags)
            << "edge " << static_cast<int>(c.edge) << " drop right " << c.dropRight;
        const MenuPlacement p = PlaceMenuAtPoint(300, 400, c.edge, c.dropRight);
        EXPECT_EQ(p.x, 300);
        EXPECT_EQ(p.y, 400);
        EXPECT_EQ(p.flags, c.flags);
        EXPECT_FALSE(p.exclude);
    }
}

TEST(TrayMenuAlignment, AtTheIconTheMenuStartsAtItsInnerEdgeAndLeavesItUncovered) {
    const ScreenRect icon{960, 672, 980, 692};
    struct Case {
        TaskbarEdge edge;
        bool dropRight;
        int x, y;
        unsigned flags;
    };
    const Case cases[] = {
        {TaskbarEdge::Bottom, false, 960, 672, 0x60},  // above, from the icon's left
        {TaskbarEdge::Bottom, true, 980, 672, 0x68},   // above, from its right
        {TaskbarEdge::Top, false, 960, 692, 0x40},     // below
        {TaskbarEdge::Top, true, 980, 692, 0x48},
        {TaskbarEdge::Left, false, 980, 692, 0x20},    // right of it, ending at its bottom
        {TaskbarEdge::Right, true, 960, 692, 0x28},    // left of it
        {TaskbarEdge::Unknown, false, 960, 672, 0x60}, // as from a bottom task bar
    };
    for (const Case& c : cases) {
        const MenuPlacement p = PlaceMenuAtIcon(icon, c.edge, c.dropRight);
        SCOPED_TRACE(static_cast<int>(c.edge));
        EXPECT_EQ(p.x, c.x);
        EXPECT_EQ(p.y, c.y);
        EXPECT_EQ(p.flags, c.flags);
        ASSERT_TRUE(p.exclude);
        EXPECT_EQ(p.excluded.left, 960);
        EXPECT_EQ(p.excluded.top, 672);
        EXPECT_EQ(p.excluded.right, 980);
        EXPECT_EQ(p.excluded.bottom, 692);
    }
}

TEST(TrayEventOf, NamesTheVersionFourEvents) {
    EXPECT_EQ(TrayEventOf(0x0201), TrayIconEvent::ButtonDown);   // WM_LBUTTONDOWN
    EXPECT_EQ(TrayEventOf(0x0204), TrayIconEvent::ButtonDown);   // WM_RBUTTONDOWN
    EXPECT_EQ(TrayEventOf(0x0400), TrayIconEvent::Select);       // NIN_SELECT
    EXPECT_EQ(TrayEventOf(0x0401), TrayIconEvent::KeySelect);    // NIN_KEYSELECT
    EXPECT_EQ(TrayEventOf(0x007B), TrayIconEvent::ContextMenu);  // WM_CONTEXTMENU
    for (unsigned other : {0x0200u, 0x0202u, 0x0203u, 0x0205u, 0x0206u, 0x0402u, 0x0406u})
        EXPECT_EQ(TrayEventOf(other), TrayIconEvent::Other) << other;
}

TEST_F(TrayFixture, TheKeyboardOpensTheMenuAtTheIconAwayFromTheTaskBar) {
    tray.Enabled = true;
    tray.Menu = &menu;
    host.edge = TaskbarEdge::Bottom;
    host.choice = entry;
    for (TrayIconEvent e : {TrayIconEvent::KeySelect, TrayIconEvent::ContextMenu, TrayIconEvent::Select}) {
        host.calls.clear();
        tray.IconEvent(e, 970, 682, host, click);
        EXPECT_EQ(host.calls, (std::vector<std::string>{"cursor", "pump", "foreground",
                                                        "track PMItems at 960,672 flags 96 off 960,672,980,692",
                                                        "null", "click"}))
            << static_cast<int>(e);
    }
    // Where the shell cannot tell the icon's rectangle, the anchor it sent.
    host.iconKnown = false;
    host.calls.clear();
    tray.IconEvent(TrayIconEvent::KeySelect, 970, 682, host, click);
    ASSERT_GE(host.calls.size(), 4u);
    EXPECT_EQ(host.calls[3], "track PMItems at 970,682 flags 96 off 970,682,971,683");
}

TEST_F(TrayFixture, AClickOpensTheMenuOnceAtTheCursorAndItsReleaseNotAgain) {
    tray.Enabled = true;
    tray.Menu = &menu;
    host.edge = TaskbarEdge::Bottom;
    // Left button: pressed (the menu opens at the cursor, upward from a bottom
    // task bar), released while the menu was open (refused), and NIN_SELECT
    // delivered just after it closed (the same click).
    host.whileShown = [&] {
        host.whileShown = nullptr;
        tray.IconEvent(TrayIconEvent::Select, 40, 690, host, click);
    };
    tray.IconEvent(TrayIconEvent::ButtonDown, 40, 690, host, click);
    host.now += 120;
    tray.IconEvent(TrayIconEvent::Select, 40, 690, host, click);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"cursor", "pump", "foreground", "track PMItems at 40,690 flags 96",
                                                    "null"}));
    // Right button, the same: WM_CONTEXTMENU completes the press.
    host.calls.clear();
    tray.IconEvent(TrayIconEvent::ButtonDown, 40, 690, host, click);
    host.now += 499;
    tray.IconEvent(TrayIconEvent::ContextMenu, 40, 690, host, click);
    EXPECT_EQ(host.calls.size(), 5u);
    // Later, the context-menu key is the keyboard's own.
    host.calls.clear();
    tray.IconEvent(TrayIconEvent::ButtonDown, 40, 690, host, click);
    host.now += 500;
    tray.IconEvent(TrayIconEvent::ContextMenu, 970, 682, host, click);
    ASSERT_EQ(host.calls.size(), 10u);
    EXPECT_EQ(host.calls[8], "track PMItems at 960,672 flags 96 off 960,672,980,692");
}

TEST_F(TrayFixture, TheKeyboardLikeTheMouseNeedsAnEnabledIconWithAMenu) {
    tray.Menu = &menu;  // disabled
    for (TrayIconEvent e : {TrayIconEvent::KeySelect, TrayIconEvent::Select, TrayIconEvent::ContextMenu,
                            TrayIconEvent::ButtonDown, TrayIconEvent::Other})
        tray.IconEvent(e, 970, 682, host, click);
    tray.Enabled = true;
    tray.Menu = nullptr;  // a rebuild
    tray.IconEvent(TrayIconEvent::KeySelect, 970, 682, host, click);
    tray.Menu = &menu;
    tray.IconEvent(TrayIconEvent::Other, 970, 682, host, click);  // a mouse move, a button release
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(TrayFixture, TheHotKeyOpensAtTheMouseWhateverTheTaskBar) {
    tray.Menu = &menu;
    host.edge = TaskbarEdge::Bottom;
    tray.JvApplicationHotKeyHotKey(host, click);
    ASSERT_EQ(host.calls.size(), 5u);
    EXPECT_EQ(host.calls[3], "track PMItems at 40,690");
    host.dropRight = true;
    host.calls.clear();
    tray.JvApplicationHotKeyHotKey(host, click);
    EXPECT_EQ(host.calls[3], "track PMItems at 40,690 flags 8");
}

// ---------------------------------------------------------------- the icon's bookkeeping

// A shell that keeps icons as Shell_NotifyIcon does: adding one it has fails.
struct FakeIconShell : ITrayIconShell {
    bool running = true;
    bool hasIcon = false;
    std::vector<std::string> calls;
    bool Add() override {
        calls.push_back("add");
        if (!running || hasIcon) return false;
        return hasIcon = true;
    }
    bool Modify() override {
        calls.push_back("modify");
        return running && hasIcon;
    }
    bool Delete() override {
        calls.push_back("delete");
        const bool had = hasIcon;
        hasIcon = false;
        return had;
    }
};

TEST(TrayIconPlacement, ASecondTaskbarCreatedKeepsTheIconPlacedAndItIsRemovedAtTheEnd) {
    FakeIconShell shell;
    TrayIconPlacement icon;
    EXPECT_TRUE(icon.Place(shell));
    // "TaskbarCreated" again while the shell still has the icon.
    EXPECT_TRUE(icon.Place(shell));
    EXPECT_TRUE(icon.Placed());
    icon.Remove(shell);
    EXPECT_FALSE(shell.hasIcon) << "no ghost icon left behind";
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"add", "add", "modify", "delete"}));
    icon.Remove(shell);  // once only
    EXPECT_EQ(shell.calls.size(), 4u);
}

TEST(TrayIconPlacement, AShellThatRestartedTakesTheIconAnewAndOneNotYetThereLater) {
    FakeIconShell shell;
    shell.running = false;  // at log-on, before the task bar exists
    TrayIconPlacement icon;
    EXPECT_FALSE(icon.Place(shell));
    icon.Remove(shell);
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"add", "modify"})) << "nothing to delete";
    shell.running = true;  // and then says "TaskbarCreated"
    EXPECT_TRUE(icon.Place(shell));
    shell.hasIcon = false;  // the shell restarted and forgot it
    EXPECT_TRUE(icon.Place(shell));
    EXPECT_TRUE(shell.hasIcon);
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
