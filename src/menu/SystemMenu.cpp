#include "menu/SystemMenu.h"

#include <utility>
#include <vector>

namespace pv {

namespace {

struct TemplateEntry {
    bool inKit;
    const char* name;
    const char* caption;
    int tag;
    int image;
    bool visible;
    ClickHandler onClick;
};

const TemplateEntry kTemplate[] = {
    {false, "miOwnSysMenu", "Sysmenu", kTagCaptionedSeparator, -1, true, ClickHandler::None},
    {false, "miPivoraKit", "Pivora Kit", 11, 0, true, ClickHandler::None},
    {true, "miOwnBarMaker", "Pivora  Kit", kTagSideBar, -1, false, ClickHandler::None},
    {true, "miOwnHidden", "hidden", kTagHiddenPlaceholder, -1, false, ClickHandler::None},
    {true, "miHelpFile", "Help File", 0, kPictureHelp, true, ClickHandler::miHelpFileClick},
    {true, "miN1", "-", kTagPlainSeparator, -1, true, ClickHandler::None},
    {true, "miManageItems", "Manage Items...", 0, kPictureManageItems, true, ClickHandler::miManageItemsClick},
    {true, "miFindItem", "Find Item...", 0, -1, true, ClickHandler::miFindItemClick},
    {true, "miPreferences", "Preferences...", 0, kPicturePreferences, true, ClickHandler::SetupClick},
    {true, "miN3", "-", kTagPlainSeparator, -1, true, ClickHandler::None},
    {true, "miVisitWebsite", "Visit Website", 0, -1, true, ClickHandler::miVisitWebsiteClick},
    {true, "miN2", "-", kTagPlainSeparator, -1, true, ClickHandler::None},
    {true, "miAbout", "About...", 0, -1, true, ClickHandler::miAboutClick},
    {false, "miCloseApp", "Close", 0, -1, true, ClickHandler::miCloseAppClick},
};

struct BasicNode {
    bool child;
    const char* text;
    int image;
};

const BasicNode kBasicTree[] = {
    {false, "--Sysmenu--", kPictureCaptionedSeparator},
    {false, "Pivora Kit", kPictureFolder},
    {true, "Help File", kPictureHelp},
    {true, "---------------", kPicturePlainSeparator},
    {true, "Manage Items...", kPictureManageItems},
    {true, "Properties...", kPicturePreferences},
    {true, "---------------", kPicturePlainSeparator},
    {true, "Visit Website", kPictureProgram},
    {true, "---------------", kPictureProgram},
    {true, "About", kPictureProgram},
    {false, "Close", kPictureProgram},
};

void CopyFields(const MenuEntry& source, MenuEntry& target) {
    target.imageIndex = source.imageIndex;
    target.caption = source.caption;
    target.hint = source.hint;
    target.shortcut = source.shortcut;
    target.visible = source.visible;
    target.onClick = source.onClick;
    target.tag = source.tag;
}

}  // namespace

void BuildMenuTemplate(PopupMenu& pmBasic) {
    pmBasic.name = "PMBasic";
    pmBasic.root.Clear();
    pmBasic.root.tag = 0;
    MenuEntry* kit = nullptr;
    for (const auto& t : kTemplate) {
        MenuEntry* e = t.inKit ? kit->Append() : pmBasic.root.Append();
        e->name = t.name;
        e->caption = t.caption;
        e->tag = t.tag;
        e->imageIndex = t.image;
        e->visible = t.visible;
        e->onClick = t.onClick;
        if (!t.inKit) kit = e;
    }
}

void BuildBasicTree(TreeModel& tvBasic) {
    tvBasic.Clear();
    TreeNode* parent = nullptr;
    for (const auto& b : kBasicTree) {
        TreeNode* n = b.child ? parent->AppendChild() : tvBasic.Root().AppendChild();
        n->text = b.text;
        n->imageIndex = b.image;
        n->selectedIndex = b.image;
        n->stateIndex = b.image;
        n->data = -1;
        if (!b.child) parent = n;
    }
}

void CopyMenuItemTree(const MenuEntry& source, MenuEntry& target) {
    CopyFields(source, target);
    for (int i = 0; i < source.Count(); ++i) CopyMenuItemTree(*source.Child(i), *target.Append());
}

void CopySystemMenu(PictureBookkeeping& pictures, const TreeModel& tvBasic, TreeModel& tvItems,
                    const PopupMenu& pmBasic, PopupMenu& pmItems) {
    pictures.Reset();
    tvItems.CopyFrom(tvBasic);
    // A rebuild has emptied the menu already; clearing here as well keeps a second
    // call from doubling the system entries.
    pmItems.root.Clear();
    CopyMenuItemTree(pmBasic.root, pmItems.root);
    pmItems.root.tag = pmBasic.root.tag;
}

void ReplaceMenuChildren(const MenuEntry& source, MenuEntry& target) {
    for (int i = 0; i < source.Count(); ++i) {
        const MenuEntry& s = *source.Child(i);
        if (i < target.Count()) target.Delete(i);
        MenuEntry* e = target.Insert(i);
        e->caption = s.caption;
        e->tag = s.tag;
        e->imageIndex = s.imageIndex;
        e->visible = s.visible;
        e->onClick = s.onClick;
        CopyMenuItemTree(s, *e);
    }
}

void ClearMenuDrawHandlers(MenuEntry& root) {
    root.ForgetLayout();  // which entry is drawn last changes with the handlers
    std::vector<MenuEntry*> stack{&root};
    while (!stack.empty()) {
        MenuEntry* e = stack.back();
        stack.pop_back();
        if (e != &root) {
            e->onMeasure = MeasureHandler::None;
            e->onDraw = DrawHandler::None;
        }
        for (int i = e->Count() - 1; i >= 0; --i) stack.push_back(e->Child(i));
    }
}

void RefreshKitSubmenu(const PopupMenu& pmBasic, PopupMenu& pmItems) {
    const int sourceCount = pmBasic.root.Count();
    const int targetCount = pmItems.root.Count();
    if (sourceCount >= 2 && targetCount >= 2)
        ReplaceMenuChildren(*pmBasic.root.Child(sourceCount - 2), *pmItems.root.Child(targetCount - 2));
    ClearMenuDrawHandlers(pmItems.root);
}

void AssignMenuDrawHandlers(MenuEntry& root, bool windowsDraw) {
    root.ForgetLayout();  // which entry is drawn last changes with the handlers
    // Each entry's sub-entries are treated before the entry itself; an explicit
    // stack keeps deeply nested folders off the call stack.
    struct Visit {
        MenuEntry* entry;
        bool childrenDone;
    };
    std::vector<Visit> stack;
    for (int i = root.Count() - 1; i >= 0; --i) stack.push_back({root.Child(i), false});
    while (!stack.empty()) {
        Visit v = stack.back();
        stack.pop_back();
        MenuEntry& e = *v.entry;
        if (e.tag == kTagPlainSeparator || e.tag == kTagHiddenPlaceholder) continue;
        if (e.tag == kTagCaptionedSeparator) {
            e.onMeasure = MeasureHandler::NorItemsRTMeasureItem;
            e.onDraw = DrawHandler::SpeItemsRTDrawItem;
            continue;
        }
        if (!v.childrenDone && e.HasChildren()) {
            stack.push_back({&e, true});
            for (int i = e.Count() - 1; i >= 0; --i) stack.push_back({e.Child(i), false});
            continue;
        }
        if (windowsDraw) {
            e.onMeasure = MeasureHandler::None;
            e.onDraw = DrawHandler::None;
        } else {
            e.onMeasure = MeasureHandler::NorItemsRTMeasureItem;
            e.onDraw = DrawHandler::NorItemsRTDrawItem;
        }
    }
}

std::string HelpFilePath(const AppModel& model) { return model.ProgramDir + "help.html"; }

bool RunSystemClick(ClickHandler handler, const SystemMenuActions& a, const AppModel& model) {
    auto run = [](const std::function<void()>& f) {
        if (f) f();
    };
    switch (handler) {
    case ClickHandler::miManageItemsClick: run(a.showManager); return true;
    case ClickHandler::miFindItemClick: run(a.showFind); return true;
    case ClickHandler::SetupClick: run(a.showPreferences); return true;
    case ClickHandler::miAboutClick: run(a.showAbout); return true;
    case ClickHandler::miCloseAppClick: run(a.closeProgram); return true;
    case ClickHandler::miHelpFileClick:
        if (a.openTarget) a.openTarget(HelpFilePath(model));
        return true;
    case ClickHandler::miVisitWebsiteClick:
        if (a.openTarget) a.openTarget(kMakerWebAddress);
        return true;
    case ClickHandler::None:
    case ClickHandler::NorItemsRTClickItem:
        return false;
    }
    return false;
}

void DispatchMenuClick(const MenuEntry& entry, const SystemMenuActions& actions, const AppModel& model) {
    if (entry.onClick == ClickHandler::NorItemsRTClickItem) {
        if (actions.launchItem) actions.launchItem(entry);
        return;
    }
    RunSystemClick(entry.onClick, actions, model);
}

}  // namespace pv
