#include "menu/SystemMenu.h"

#include <gtest/gtest.h>

#include "store/StoreDump.h"

namespace pv {
namespace {

const char* const kTemplateDump =
    "\"Sysmenu\" tag=-100 image=-1\n"
    "\"Pivora Kit\" tag=11 image=0\n"
    "  \"Pivora  Kit\" tag=-9999 image=-1 hidden\n"
    "  \"hidden\" tag=-400 image=-1 hidden\n"
    "  \"Help File\" tag=0 image=8 click=miHelpFileClick\n"
    "  \"-\" tag=-200 image=-1\n"
    "  \"Manage Items...\" tag=0 image=9 click=miManageItemsClick\n"
    "  \"Find Item...\" tag=0 image=-1 click=miFindItemClick\n"
    "  \"Preferences...\" tag=0 image=10 click=SetupClick\n"
    "  \"-\" tag=-200 image=-1\n"
    "  \"Visit Website\" tag=0 image=-1 click=miVisitWebsiteClick\n"
    "  \"-\" tag=-200 image=-1\n"
    "  \"About...\" tag=0 image=-1 click=miAboutClick\n"
    "\"Close\" tag=0 image=-1 click=miCloseAppClick\n";

const char* const kBasicTreeDump =
    "\"--Sysmenu--\" image=4 selected=4 state=4 data=-1\n"
    "\"Pivora Kit\" image=0 selected=0 state=0 data=-1\n"
    "  \"Help File\" image=8 selected=8 state=8 data=-1\n"
    "  \"---------------\" image=3 selected=3 state=3 data=-1\n"
    "  \"Manage Items...\" image=9 selected=9 state=9 data=-1\n"
    "  \"Properties...\" image=10 selected=10 state=10 data=-1\n"
    "  \"---------------\" image=3 selected=3 state=3 data=-1\n"
    "  \"Visit Website\" image=2 selected=2 state=2 data=-1\n"
    "  \"---------------\" image=2 selected=2 state=2 data=-1\n"
    "  \"About\" image=2 selected=2 state=2 data=-1\n"
    "\"Close\" image=2 selected=2 state=2 data=-1\n";

TEST(MenuTemplate, EntriesInOrder) {
    PopupMenu pm;
    BuildMenuTemplate(pm);
    EXPECT_EQ(pm.name, "PMBasic");
    EXPECT_EQ(pm.root.tag, 0);
    EXPECT_EQ(DumpMenu(pm.root), kTemplateDump);
    const char* names[] = {"miOwnBarMaker", "miOwnHidden",    "miHelpFile", "miN1",   "miManageItems", "miFindItem",
                           "miPreferences", "miN3",           "miVisitWebsite", "miN2", "miAbout"};
    ASSERT_EQ(pm.root.Count(), 3);
    EXPECT_EQ(pm.root.Child(0)->name, "miOwnSysMenu");
    EXPECT_EQ(pm.root.Child(1)->name, "miPivoraKit");
    EXPECT_EQ(pm.root.Child(2)->name, "miCloseApp");
    const MenuEntry& kit = *pm.root.Child(1);
    ASSERT_EQ(kit.Count(), 11);
    EXPECT_EQ(kit.tag, kit.Count());  // the Kit's tag equals its number of entries
    for (int i = 0; i < 11; ++i) EXPECT_EQ(kit.Child(i)->name, names[i]);
    // building twice gives the same template
    BuildMenuTemplate(pm);
    EXPECT_EQ(DumpMenu(pm.root), kTemplateDump);
}

TEST(MenuTemplate, BasicTreeNodes) {
    TreeModel tv;
    BuildBasicTree(tv);
    EXPECT_EQ(DumpTree(tv), kBasicTreeDump);
    // every node is a program node: state index equal to image index
    for (TreeNode* n : tv.AllNodes()) {
        EXPECT_EQ(n->stateIndex, n->imageIndex);
        EXPECT_EQ(n->selectedIndex, n->imageIndex);
    }
}

TEST(MenuCopies, CopyMenuItemTreeCopiesTheListedProperties) {
    MenuEntry src;
    src.name = "miX";
    src.caption = "X";
    src.hint = "|hint";
    src.shortcut = 0x4041;
    src.imageIndex = 7;
    src.visible = false;
    src.enabled = false;
    src.tag = 42;
    src.onClick = ClickHandler::miAboutClick;
    src.onMeasure = MeasureHandler::NorItemsRTMeasureItem;
    src.onDraw = DrawHandler::NorItemsRTDrawItem;
    MenuEntry* child = src.Append();
    child->caption = "child";
    child->Append()->caption = "grandchild";

    MenuEntry dst;
    dst.Append()->caption = "kept";
    CopyMenuItemTree(src, dst);
    EXPECT_EQ(dst.caption, "X");
    EXPECT_EQ(dst.hint, "|hint");
    EXPECT_EQ(dst.shortcut, 0x4041);
    EXPECT_EQ(dst.imageIndex, 7);
    EXPECT_FALSE(dst.visible);
    EXPECT_EQ(dst.tag, 42);
    EXPECT_EQ(dst.onClick, ClickHandler::miAboutClick);
    // not copied
    EXPECT_EQ(dst.name, "");
    EXPECT_TRUE(dst.enabled);
    EXPECT_EQ(dst.onMeasure, MeasureHandler::None);
    EXPECT_EQ(dst.onDraw, DrawHandler::None);
    // sub-entries are appended after what the target had
    ASSERT_EQ(dst.Count(), 2);
    EXPECT_EQ(dst.Child(0)->caption, "kept");
    EXPECT_EQ(dst.Child(1)->caption, "child");
    ASSERT_EQ(dst.Child(1)->Count(), 1);
    EXPECT_EQ(dst.Child(1)->Child(0)->caption, "grandchild");
}

TEST(MenuCopies, CopySystemMenuResetsEverything) {
    PopupMenu pmBasic, pmItems;
    TreeModel tvBasic, tvItems;
    BuildMenuTemplate(pmBasic);
    BuildBasicTree(tvBasic);
    PictureBookkeeping bk;
    bk.break3 = 30;
    bk.break4 = 31;
    bk.break5 = 40;
    bk.lastFixed = 3;
    tvItems.Root().AppendChild()->text = "old";
    pmItems.root.tag = 17;
    for (int round = 0; round < 2; ++round) {
        CopySystemMenu(bk, tvBasic, tvItems, pmBasic, pmItems);
        EXPECT_EQ(bk.lastFixed, 11);
        EXPECT_EQ(bk.break3, 12);
        EXPECT_EQ(bk.break4, 13);
        EXPECT_EQ(bk.break5, 14);
        EXPECT_EQ(DumpTree(tvItems), kBasicTreeDump);
        EXPECT_EQ(DumpMenu(pmItems.root), kTemplateDump);
        EXPECT_EQ(pmItems.root.tag, 0);
    }
}

TEST(MenuCopies, RefreshKitSubmenuRestoresTheKitAndClearsHandlers) {
    PopupMenu pmBasic, pmItems;
    TreeModel tvBasic, tvItems;
    BuildMenuTemplate(pmBasic);
    BuildBasicTree(tvBasic);
    PictureBookkeeping bk;
    CopySystemMenu(bk, tvBasic, tvItems, pmBasic, pmItems);
    // user entries above the system part
    MenuEntry* user = pmItems.root.Insert(0);
    user->caption = "User";
    user->tag = 0;
    pmItems.root.tag = 1;
    AssignMenuDrawHandlers(pmItems.root, false);
    MenuEntry& kit = *pmItems.root.Child(2);
    kit.Child(4)->caption = "changed";
    kit.Child(9)->visible = false;
    RefreshKitSubmenu(pmBasic, pmItems);
    std::string want = std::string("\"User\" tag=0 image=-1\n") + kTemplateDump;
    EXPECT_EQ(DumpMenu(pmItems.root), want);
    for (const MenuEntry* e : {&pmItems.root, pmItems.root.Child(0), pmItems.root.Child(2),
                               pmItems.root.Child(2)->Child(2)}) {
        EXPECT_EQ(e->onMeasure, MeasureHandler::None);
        EXPECT_EQ(e->onDraw, DrawHandler::None);
    }
}

TEST(MenuCopies, ReplaceMenuChildrenKeepsExtraTargetEntries) {
    MenuEntry src, dst;
    for (const char* c : {"a", "b"}) src.Append()->caption = c;
    src.Child(1)->Append()->caption = "b1";
    for (const char* c : {"x", "y", "z"}) dst.Append()->caption = c;
    ReplaceMenuChildren(src, dst);
    ASSERT_EQ(dst.Count(), 3);
    EXPECT_EQ(dst.Child(0)->caption, "a");
    EXPECT_EQ(dst.Child(1)->caption, "b");
    ASSERT_EQ(dst.Child(1)->Count(), 1);
    EXPECT_EQ(dst.Child(1)->Child(0)->caption, "b1");
    EXPECT_EQ(dst.Child(2)->caption, "z");
    // a target with fewer entries grows
    MenuEntry small;
    ReplaceMenuChildren(src, small);
    EXPECT_EQ(small.Count(), 2);
}

// ---------------------------------------------------------------- draw handlers

struct Expect {
    MeasureHandler m;
    DrawHandler d;
};

TEST(MenuDrawHandlers, AssignedByTagWithWindowsDrawOnAndOff) {
    // A folder with side bar, placeholder, link, captioned separator, plain separator
    // and a nested folder; then the system entries.
    PopupMenu pmBasic, pm;
    TreeModel tvBasic, tv;
    BuildMenuTemplate(pmBasic);
    BuildBasicTree(tvBasic);
    PictureBookkeeping bk;
    CopySystemMenu(bk, tvBasic, tv, pmBasic, pm);
    MenuEntry* folder = pm.root.Insert(0);
    folder->caption = "F";
    MenuEntry* bar = folder->Append();
    bar->tag = kTagSideBar;
    folder->Append()->tag = kTagHiddenPlaceholder;
    folder->Append()->tag = 0;  // link 0
    folder->Append()->tag = kTagCaptionedSeparator;
    MenuEntry* plain = folder->Append();
    plain->tag = kTagPlainSeparator;
    plain->Append()->tag = 5;  // never visited below a plain separator
    MenuEntry* nested = folder->Append();
    nested->tag = 1;
    nested->Append()->tag = kTagHiddenPlaceholder;
    nested->Append()->tag = 3;

    for (bool windowsDraw : {false, true}) {
        SCOPED_TRACE(windowsDraw);
        // start from stale handlers everywhere
        std::vector<MenuEntry*> all;
        std::vector<MenuEntry*> stack{&pm.root};
        while (!stack.empty()) {
            MenuEntry* e = stack.back();
            stack.pop_back();
            all.push_back(e);
            for (int i = 0; i < e->Count(); ++i) stack.push_back(e->Child(i));
        }
        for (MenuEntry* e : all) {
            e->onMeasure = MeasureHandler::NorItemsRTMeasureItem;
            e->onDraw = DrawHandler::SpeItemsRTDrawItem;
        }
        AssignMenuDrawHandlers(pm.root, windowsDraw);
        const Expect nor = windowsDraw ? Expect{MeasureHandler::None, DrawHandler::None}
                                       : Expect{MeasureHandler::NorItemsRTMeasureItem, DrawHandler::NorItemsRTDrawItem};
        const Expect spe{MeasureHandler::NorItemsRTMeasureItem, DrawHandler::SpeItemsRTDrawItem};
        const Expect stale = spe;  // what untouched entries kept
        struct Check {
            const MenuEntry* e;
            Expect want;
        };
        const MenuEntry& kit = *pm.root.Child(2);
        const Check checks[] = {
            {folder, nor},           {bar, nor},
            {folder->Child(1), stale}, {folder->Child(2), nor},
            {folder->Child(3), spe},  {plain, stale},
            {plain->Child(0), stale}, {nested, nor},
            {nested->Child(0), stale}, {nested->Child(1), nor},
            {pm.root.Child(1), spe},  // "Sysmenu"
            {&kit, nor},              {kit.Child(0), nor},  // the Kit's side bar
            {kit.Child(1), stale},    {kit.Child(2), nor},
            {kit.Child(3), stale},    {kit.Child(10), nor},  // "About..."
            {pm.root.Child(3), nor},  // "Close"
            {&pm.root, stale},
        };
        for (size_t i = 0; i < sizeof(checks) / sizeof(checks[0]); ++i) {
            EXPECT_EQ(checks[i].e->onMeasure, checks[i].want.m) << i;
            EXPECT_EQ(checks[i].e->onDraw, checks[i].want.d) << i;
        }
    }
}

TEST(MenuDrawHandlers, ClearReachesEveryDepth) {
    MenuEntry root;
    MenuEntry* e = &root;
    for (int i = 0; i < 5000; ++i) {
        e = e->Append();
        e->onMeasure = MeasureHandler::NorItemsRTMeasureItem;
        e->onDraw = DrawHandler::NorItemsRTDrawItem;
    }
    AssignMenuDrawHandlers(root, false);  // deep nesting walks without recursion
    ClearMenuDrawHandlers(root);
    for (const MenuEntry* x = &root; x->HasChildren(); x = x->Child(0)) {
        EXPECT_EQ(x->Child(0)->onMeasure, MeasureHandler::None);
        EXPECT_EQ(x->Child(0)->onDraw, DrawHandler::None);
    }
    // unwind by hand: the entries' destructors recurse
    while (root.HasChildren()) {
        MenuEntry* last = &root;
        while (last->Child(0)->HasChildren()) last = last->Child(0);
        last->Delete(0);
    }
}

// ---------------------------------------------------------------- system entries

TEST(MenuSystemClicks, EachHandlerRunsItsAction) {
    std::vector<std::string> log;
    SystemMenuActions a;
    a.showManager = [&] { log.push_back("manager"); };
    a.showFind = [&] { log.push_back("find"); };
    a.showPreferences = [&] { log.push_back("preferences"); };
    a.showAbout = [&] { log.push_back("about"); };
    a.closeProgram = [&] { log.push_back("close"); };
    a.openTarget = [&](const std::string& t) { log.push_back("open " + t); };
    AppModel model;
    model.ProgramDir = "C:\\Program Files\\Pivora\\";
    struct Case {
        ClickHandler h;
        bool handled;
        const char* logged;
    };
    const Case cases[] = {
        {ClickHandler::miManageItemsClick, true, "manager"},
        {ClickHandler::miFindItemClick, true, "find"},
        {ClickHandler::SetupClick, true, "preferences"},
        {ClickHandler::miAboutClick, true, "about"},
        {ClickHandler::miCloseAppClick, true, "close"},
        {ClickHandler::miHelpFileClick, true, "open C:\\Program Files\\Pivora\\help.html"},
        {ClickHandler::miVisitWebsiteClick, true, "open https://www.kelvory.example/pivora"},
        {ClickHandler::NorItemsRTClickItem, false, nullptr},
        {ClickHandler::None, false, nullptr},
    };
    for (const auto& c : cases) {
        log.clear();
        EXPECT_EQ(RunSystemClick(c.h, a, model), c.handled);
        if (c.logged) {
            ASSERT_EQ(log.size(), 1u);
            EXPECT_EQ(log[0], c.logged);
        } else {
            EXPECT_TRUE(log.empty());
        }
    }
    // windows that do not exist yet: nothing happens
    SystemMenuActions none;
    EXPECT_TRUE(RunSystemClick(ClickHandler::miAboutClick, none, model));
    EXPECT_TRUE(RunSystemClick(ClickHandler::miHelpFileClick, none, model));

    // The program directory as it is at the click, not as it was when the
    // actions were made.
    model.ProgramDir = "D:\\Portable\\Pivora\\";
    log.clear();
    RunSystemClick(ClickHandler::miHelpFileClick, a, model);
    EXPECT_EQ(log, std::vector<std::string>{"open D:\\Portable\\Pivora\\help.html"});
}

TEST(MenuSystemClicks, AChosenEntryIsDispatchedByItsHandler) {
    std::vector<std::string> log;
    SystemMenuActions a;
    a.showAbout = [&] { log.push_back("about"); };
    a.launchItem = [&](const MenuEntry& e) { log.push_back("launch " + std::to_string(e.tag)); };
    MenuEntry link, about, folder;
    link.onClick = ClickHandler::NorItemsRTClickItem;
    link.tag = 7;
    about.onClick = ClickHandler::miAboutClick;
    folder.tag = 3;  // a folder's tag counts its children; it is never launched
    AppModel model;
    DispatchMenuClick(link, a, model);
    DispatchMenuClick(about, a, model);
    DispatchMenuClick(folder, a, model);
    EXPECT_EQ(log, (std::vector<std::string>{"launch 7", "about"}));
}

}  // namespace
}  // namespace pv
