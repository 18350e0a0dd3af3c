#pragma once
// The Find window's portable half: type a few letters, get the matching links
// and folders of the tray menu, press Enter. The index is built from the tray
// menu (what the user sees, not the manager's edits in progress) and dropped
// whenever that menu is rebuilt; the window (form_find_win) mirrors the rows
// and forwards keys here.

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/ItemTable.h"
#include "model/MenuModel.h"

namespace pv {

// Names are compared in this form: lower case, common Latin accents removed
// ("Café" and "CAFE" both give "cafe"). Text that is valid UTF-8 is read as
// UTF-8; any other byte as Windows-1252, the ANSI code page names come in
// today.
std::string FoldForFind(const std::string& text);

// The separator of the folder path a row shows ("Tools › Network").
inline constexpr const char* kFindPathSeparator = " \xE2\x80\xBA ";
inline constexpr const char* kFindNoMatch = "No entry matches";
// At most this many entry rows; the rest is counted in a "N more" row.
inline constexpr int kFindMaxRows = 12;

// The window's sizes at the DPI of the monitor it opens on, designed at 96 dpi,
// for a font whose lines are fontHeight pixels high: the rows hold their
// picture (the tray menu's size at that DPI) and a line of text.
struct FindGeometry {
    int width = 0;        // of the client area
    int margin = 0;       // around the field
    int editHeight = 0;
    int rowHeight = 0;
    int pictureSize = 0;
    int pictureLeft = 0;
    int textLeft = 0;     // where a row's name starts
    int gap = 0;          // between a name and its folder path
};
FindGeometry FindGeometryFor(int dpi, int fontHeight);

// How well an entry's name matches the text; lower is better.
enum class FindRank {
    WholeName = 0,   // the name is the text
    NameStart = 1,   // the name starts with it
    WordStart = 2,   // a word of the name starts with it
    InName = 3,      // the name holds it
    InFileName = 4,  // the file name of the target holds it
    None = 5,
};

// The rank of one name (and file name) against a folded text. Both names are
// folded already; an empty text matches nothing.
FindRank RankForFind(const std::string& foldedName, const std::string& foldedFileName,
                     const std::string& foldedText);

// One link or folder of the store, in store order (each folder before its
// contents).
struct FindEntry {
    const MenuEntry* entry = nullptr;
    bool folder = false;
    int parent = -1;  // index of the folder it is in, -1 at the top
    int end = 0;      // folders: one past the index of their last entry
    int imageIndex = -1;
    std::string name;        // as shown (hot-key markers removed)
    std::string folderPath;  // the folders it is in, joined by kFindPathSeparator
    std::string folded;      // FoldForFind(name)
    std::string fileFolded;  // FoldForFind of the target's file name; "" for folders
    std::string key;         // what identifies it across rebuilds (recent entries)
};

class FindIndex {
public:
    // Every store entry of the tray menu: the root's first root.tag children
    // and the folders below them; separators, hidden entries and the program's
    // own entries are left out.
    void Build(const PopupMenu& pmItems, const ItemTable& items);
    void Clear();
    bool Built() const { return built_; }
    const std::vector<FindEntry>& Entries() const { return entries_; }
    // The entry with this key, or -1.
    int IndexOfKey(const std::string& key) const;

private:
    std::vector<FindEntry> entries_;
    std::unordered_map<std::string, int> byKey_;
    bool built_ = false;
};

// The key FindIndex gives a link entry: its folders, its name and its target.
std::string FindKeyOf(const MenuEntry& entry, const ItemTable& items);

enum class FindRowKind {
    Entry,    // a link or a folder, selectable
    More,     // "N more"
    NoMatch,  // "No entry matches"
};

struct FindRow {
    FindRowKind kind = FindRowKind::Entry;
    int index = -1;  // into FindIndex::Entries() for Entry rows
    std::string text;
    std::string path;  // greyed folder path
    int imageIndex = -1;
    bool folder = false;
};

// The window's controls as plain data.
struct FormFindControls {
    std::string EditText;       // UTF-8
    std::string ScopeText;      // the folder the search is limited to, "" for the whole store
    std::vector<FindRow> Rows;  // what the list shows
    int Selected = -1;          // row index of the selection, -1 for none
};

enum class FindKey { Up, Down, PageUp, PageDown, Enter, Escape, Backspace };

// What a key asks the window to do.
struct FindOutcome {
    bool handled = false;   // false: the edit field takes the key itself
    bool close = false;
    const MenuEntry* launch = nullptr;  // start this entry (then close)
    bool textChanged = false;           // EditText was changed: put it into the field
};

// Matching and ranking over an index: the rows for a text within a scope.
// The empty text lists the scope's own entries, or without a scope the recent
// entries given.
struct FindResult {
    std::vector<int> shown;  // indices into the index, at most kFindMaxRows
    int more = 0;            // matches beyond those
    int matches = 0;         // all matches
};
FindResult FilterForFind(const FindIndex& index, const std::string& text, int scope,
                         const std::vector<int>& recent);

class FindModel {
public:
    FormFindControls Controls;
    FindIndex Index;

    // Opens with text typed already (or none): the whole store, first row selected.
    // Builds the index first when the menu changed since.
    void Open(const PopupMenu& pmItems, const ItemTable& items, const std::string& text);
    // The tray menu is rebuilt or cleared: the index goes with it.
    void MenuChanged() { Index.Clear(); }

    // The field's text changed (as the user typed).
    void EditChange(const std::string& text);
    FindOutcome KeyDown(FindKey key);
    // A click on a row: selects it and acts as Enter.
    FindOutcome RowClick(int row);

    // A link was started (from the menu or from here): it heads the recent list.
    void NoteStarted(const std::string& key);
    const std::vector<std::string>& Recent() const { return recent_; }

private:
    void Refresh();
    void MoveSelection(int delta);
    std::vector<int> RecentIndices() const;

    std::vector<int> scopes_;          // folders entered with Enter, innermost last
    std::vector<std::string> recent_;  // keys, newest first
};

// Whether a character typed into the open tray menu that is no hot key there
// starts a search (printable, not a blank).
bool StartsFind(char ch);

}  // namespace pv
