#pragma once
// The program's own menu entries: the template PMBasic ("Sysmenu", the Kit
// submenu, "Close"), the matching program nodes of the basic tree TVBasic, the
// copies made of both at every build, the refresh of the Kit submenu, and the
// assignment of the owner-draw handlers.

#include <functional>
#include <string>

#include "model/AppModel.h"
#include "model/MenuModel.h"
#include "model/Pictures.h"
#include "model/TreeModel.h"

namespace pv {

// Fills PMBasic (root tag 0) with the template entries, in order.
void BuildMenuTemplate(PopupMenu& pmBasic);

// Fills TVBasic with the program nodes "--Sysmenu--", "Pivora Kit" with its
// children, and "Close"; every node has selected and state index equal to its
// image index and data -1.
void BuildBasicTree(TreeModel& tvBasic);

// Copies picture index, caption, hint, shortcut, visibility, click handler and
// tag of source onto target, then appends a copy of every sub-entry of source.
// Component name, enabled state and the measure and draw handlers are not copied.
void CopyMenuItemTree(const MenuEntry& source, MenuEntry& target);

// Resets the picture bookkeeping, makes TVItems a copy of TVBasic and the tray
// menu's root a copy of the template's root with all its entries; the tray menu
// root's tag (the insertion position) ends as the template root's, 0.
void CopySystemMenu(PictureBookkeeping& pictures, const TreeModel& tvBasic, TreeModel& tvItems,
                    const PopupMenu& pmBasic, PopupMenu& pmItems);

// For each sub-entry i of source: a new entry with its caption, tag, picture,
// visibility and click handler replaces target's sub-entry i, and receives
// CopyMenuItemTree of source's sub-entry i.
void ReplaceMenuChildren(const MenuEntry& source, MenuEntry& target);

// Removes measure and draw handlers from every entry below root, at every depth.
void ClearMenuDrawHandlers(MenuEntry& root);

// The Kit submenu of the tray menu (its second-to-last top-level entry) takes the
// template's Kit entries again; then every handler of the tray menu is cleared.
void RefreshKitSubmenu(const PopupMenu& pmBasic, PopupMenu& pmItems);

// Walks the tray menu: plain separators and hidden placeholders stay as they are,
// captioned separators draw as captioned separators, every other entry (after its
// sub-entries) is drawn by the program, or by Windows when windowsDraw is on.
void AssignMenuDrawHandlers(MenuEntry& root, bool windowsDraw);

// What the system entries' click handlers do; unset actions do nothing (windows
// that do not exist yet).
struct SystemMenuActions {
    std::function<void()> showManager;      // miManageItemsClick
    std::function<void()> showFind;         // miFindItemClick: the Find window at the mouse
    std::function<void()> showPreferences;  // SetupClick
    std::function<void()> showAbout;        // miAboutClick
    std::function<void()> closeProgram;     // miCloseAppClick
    std::function<void(const std::string&)> openTarget;  // OpenTarget
    std::function<void(const MenuEntry&)> launchItem;    // NorItemsRTClickItem
};

// What "Help File" opens: help.html beside the program.
std::string HelpFilePath(const AppModel& model);

// Runs a system entry's click handler; "Help File" and "Visit Website" take
// their targets from the model as it is at the click. False for
// NorItemsRTClickItem and None, which are not system entries.
bool RunSystemClick(ClickHandler handler, const SystemMenuActions& actions, const AppModel& model);

// What choosing an entry of the tray menu does: a link entry starts its item,
// a system entry runs its handler, any other entry nothing.
void DispatchMenuClick(const MenuEntry& entry, const SystemMenuActions& actions, const AppModel& model);

}  // namespace pv
