#pragma once
// The popup menus (the tray menu PMItems and its template PMBasic) as plain data.
// The Win32 layer turns a MenuEntry tree into an HMENU each time the menu pops up;
// the owner-draw data of every realised item points back at its MenuEntry.

#include <memory>
#include <string>
#include <vector>

namespace pv {

// Tags with a fixed meaning; every other tag is an item number (links), an
// insertion position (folders and the root) or 0 (system entries).
constexpr int kTagCaptionedSeparator = -100;
constexpr int kTagPlainSeparator = -200;
constexpr int kTagHiddenPlaceholder = -400;
constexpr int kTagSideBar = -9999;

// Click handlers an entry can carry. The Win32 layer dispatches them by value.
enum class ClickHandler {
    None,
    NorItemsRTClickItem,  // every link entry
    miHelpFileClick,
    miManageItemsClick,
    miFindItemClick,
    SetupClick,
    miVisitWebsiteClick,
    miAboutClick,
    miCloseAppClick,
};

enum class MeasureHandler { None, NorItemsRTMeasureItem };
enum class DrawHandler { None, NorItemsRTDrawItem, SpeItemsRTDrawItem };

// What the drawing asks of a submenu for each of its entries, worked out once
// over its sub-entries (menu/MenuDraw) so that each question costs constant time.
struct SubEntryLayout {
    int sideBar = -1;    // position of the side-bar entry (tag -9999), or -1
    int lastDrawn = -1;  // position of the last sub-entry with a draw handler, or -1
    int height = 0;      // the submenu's height for the side bar, at 96 dpi
    int rows = 0;        // entries of the normal height among them
    int plainSeparators = 0;
};

class MenuEntry {
public:
    std::string name;      // component name of template entries ("miHelpFile"), else empty
    std::string caption;
    std::string hint;
    int shortcut = 0;
    int imageIndex = -1;
    bool visible = true;
    bool enabled = true;
    // The default entry of its menu, drawn bold (a context menu's first
    // command); not copied with the entry.
    bool isDefault = false;
    int tag = 0;
    ClickHandler onClick = ClickHandler::None;
    MeasureHandler onMeasure = MeasureHandler::None;
    DrawHandler onDraw = DrawHandler::None;

    MenuEntry() = default;
    MenuEntry(const MenuEntry&) = delete;
    MenuEntry& operator=(const MenuEntry&) = delete;

    MenuEntry* Parent() const { return parent_; }
    int Count() const { return static_cast<int>(children_.size()); }
    MenuEntry* Child(int i) const { return children_[static_cast<size_t>(i)].get(); }
    // Position among the parent's children, -1 for a root. Linear in the number of siblings.
    int IndexInParent() const;

    // Creates a new child at `pos` (clamped to 0..Count()) and returns it.
    MenuEntry* Insert(int pos);
    MenuEntry* Append() { return Insert(Count()); }
    // Removes and destroys child i with its sub-entries.
    void Delete(int i);
    void Clear() {
        children_.clear();
        layoutKnown_ = false;
    }

    bool HasChildren() const { return !children_.empty(); }
    // Room for n more sub-entries without growing again.
    void Reserve(size_t n) { children_.reserve(children_.size() + n); }

    // The layout of the sub-entries, when known. Adding or removing a sub-entry
    // forgets it; whoever changes the tags or handlers of existing entries calls
    // ForgetLayout on the highest entry touched (it reaches every depth).
    bool LayoutKnown() const { return layoutKnown_; }
    const SubEntryLayout& Layout() const { return layout_; }
    void SetLayout(const SubEntryLayout& layout) const {
        layout_ = layout;
        layoutKnown_ = true;
    }
    void ForgetLayout();

private:
    mutable SubEntryLayout layout_;
    mutable bool layoutKnown_ = false;
    MenuEntry* parent_ = nullptr;
    std::vector<std::unique_ptr<MenuEntry>> children_;
};

// A popup menu component: a root entry whose children are the top-level entries.
struct PopupMenu {
    std::string name;  // "PMItems", "PMBasic"
    MenuEntry root;
};

}  // namespace pv
