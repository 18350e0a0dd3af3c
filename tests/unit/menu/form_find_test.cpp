// The Find window without a window: folding, ranking over stores loaded as
// start-up loads them, scope, recent entries and the keys.

#include "menu/form_find.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/store_fakes.h"
#include "menu/Launching.h"
#include "menu/SystemMenu.h"

namespace pv {
namespace {

using pvtest::RecordingShell;
using pvtest::StoreWorld;

// Index files per folder ("" is the root), as the user's store holds them.
using Store = std::map<std::string, std::vector<std::string>>;

const Store kTools = {
    {"",
     {"^UnkLnk|C:\\Docs\\readme.txt|txt|Another note", "^UnkLnk|C:\\Windows\\notepad.exe|exe|Editor",
      "^Folder|Tools", "^SpeSep|Notes group", "^NorSep|", "^UnkLnk|C:\\Docs\\notes.txt|txt|NOTES",
      "^UnkLnk|C:\\Docs\\n.txt|txt|Denotes"}},
    {"Tools",
     {"^ExeLnk|C:\\Windows\\notepad.exe|-n \"a b\"|np.bmp|Notepad", "^Folder|Network",
      "^UnkLnk|C:\\x\\note.exe|exe|note"}},
    {"Tools\\Network", {"^UnkLnk|C:\\Net\\ping.exe|exe|Ping", "^UnkLnk|C:\\Net\\putty.exe|exe|Notifier (Net)"}},
};

// Names in UTF-8 and, as stores hold them today, in Windows-1252.
const Store kAccents = {
    {"",
     {"^UnkLnk|C:\\a.txt|txt|Caf\xC3\xA9 Ol\xC3\xA9", "^UnkLnk|C:\\b.txt|txt|Cr\xE8me br\xFBl\xE9\x65",
      "^UnkLnk|C:\\c.txt|txt|Stra\xC3\x9F\x65", "^UnkLnk|C:\\d.txt|txt|\xC5\x81\xC3\xB3\x64\xC5\xBA"}},
};

// Sixteen names that start with "Item", one in which a word does, first.
Store ManyItems() {
    Store s;
    std::vector<std::string>& root = s[""];
    root.push_back("^UnkLnk|C:\\big.txt|txt|Big item");
    for (int i = 1; i <= 15; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Item %02d", i);
        root.push_back(std::string("^UnkLnk|C:\\i") + std::to_string(i) + ".txt|txt|" + name);
    }
    root.push_back("^Folder|Items");
    s["Items"] = {"^UnkLnk|C:\\x.txt|txt|Deep"};
    return s;
}

struct Loaded {
    StoreWorld w;
    explicit Loaded(const Store& store) {
        for (const auto& level : store) w.Index(level.first.empty() ? "shortcuts" : "shortcuts\\" + level.first,
                                                level.second);
        w.Start();
    }
};

// The rows as the list shows them: "name [folder path]", "N more", "No entry matches".
std::string Shown(const FormFindControls& c) {
    std::string out;
    for (const FindRow& r : c.Rows) {
        if (!out.empty()) out += "; ";
        out += r.text;
        if (!r.path.empty()) out += " [" + r.path + "]";
    }
    return out;
}

const std::string kSep = kFindPathSeparator;

TEST(FindRanking, OrderOfTheRowsForATypedText) {
    const Store many = ManyItems();
    struct Case {
        const Store* store;
        const char* text;
        std::string expected;
    };
    const Case cases[] = {
        // starts with, then a word start, then anywhere, then the file name; case ignored
        {&kTools, "not",
         "Notepad [Tools]; Notifier (Net) [Tools" + kSep + "Network]; note [Tools]; NOTES; Another note; Denotes; "
         "Editor"},
        // the whole name first
        {&kTools, "NOTE", "note [Tools]; Notepad [Tools]; NOTES; Another note; Denotes; Editor"},
        {&kTools, "notes", "NOTES; Denotes"},
        // a folder is a row of its own; a word after "(" starts too; directories are no file names
        {&kTools, "net", "Network [Tools]; Notifier (Net) [Tools" + kSep + "Network]"},
        // file names only: ties keep store order
        {&kTools, "exe", "Editor; Notepad [Tools]; Ping [Tools" + kSep + "Network]; Notifier (Net) [Tools" + kSep +
                             "Network]; note [Tools]"},
        {&kTools, "  ping ", "Ping [Tools" + kSep + "Network]"},
        {&kTools, "tools", "Tools"},
        // separators and the program's own entries are never rows
        {&kTools, "group", kFindNoMatch},
        {&kTools, "close", kFindNoMatch},
        {&kTools, "kit", kFindNoMatch},
        {&kTools, "find item", kFindNoMatch},
        {&kTools, "xyz", kFindNoMatch},
        // accents, in both encodings, on either side
        {&kAccents, "cafe", "Caf\xC3\xA9 Ol\xC3\xA9"},
        {&kAccents, "OLE", "Caf\xC3\xA9 Ol\xC3\xA9"},
        {&kAccents, "cr\xC3\xA8me", "Cr\xE8me br\xFBl\xE9\x65"},
        {&kAccents, "brule", "Cr\xE8me br\xFBl\xE9\x65"},
        {&kAccents, "strasse", "Stra\xC3\x9F\x65"},
        {&kAccents, "lodz", "\xC5\x81\xC3\xB3\x64\xC5\xBA"},
        // more than twelve: the first twelve in rank order, the rest counted
        {&many, "item",
         "Item 01; Item 02; Item 03; Item 04; Item 05; Item 06; Item 07; Item 08; Item 09; Item 10; Item 11; "
         "Item 12; 5 more"},
        {&many, "item 1", "Item 10; Item 11; Item 12; Item 13; Item 14; Item 15"},
        {&many, "big", "Big item"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Loaded l(*c.store);
        FindModel m;
        m.Open(l.w.pmItems, l.w.table, c.text);
        EXPECT_EQ(Shown(m.Controls), c.expected);
        const bool any = !m.Controls.Rows.empty() && m.Controls.Rows[0].kind == FindRowKind::Entry;
        EXPECT_EQ(m.Controls.Selected, any ? 0 : -1);
    }
}

TEST(FindFolding, CaseAndAccentsGoBothEncodingsAgree) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"Notepad", "notepad"},
        {"\xC3\x89\x63ole", "ecole"},        // UTF-8 É
        {"\xC9\x63ole", "ecole"},            // Windows-1252 É
        {"\xC3\x86sop \xC5\x92uvre", "aesop oeuvre"},
        {"\x8A\x9A\x9F", "ssy"},             // Windows-1252 Š š Ÿ
        {"\xE2\x80\xBA", "\xE2\x80\xBA"},    // no letter: kept as it is
        {"\x9B", "\xE2\x80\xBA"},            // the same character in Windows-1252
        {"\x81x", "x"},                      // no character at all in the code page
        {"\xD7", "\xC3\x97"},                // a lone lead byte is read as Windows-1252 (×, no letter)
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(FoldForFind(c.in), c.out);
    }
}

TEST(FindScope, EnterOnAFolderShowsItsEntriesAndBackspaceLeaves) {
    Loaded l(kTools);
    FindModel m;
    m.Open(l.w.pmItems, l.w.table, "tool");
    ASSERT_EQ(Shown(m.Controls), "Tools");
    FindOutcome o = m.KeyDown(FindKey::Enter);
    EXPECT_TRUE(o.textChanged);
    EXPECT_EQ(o.launch, nullptr);
    EXPECT_FALSE(o.close);
    EXPECT_EQ(m.Controls.EditText, "");
    EXPECT_EQ(m.Controls.ScopeText, "Tools");
    EXPECT_EQ(Shown(m.Controls), "Notepad [Tools]; Network [Tools]; note [Tools]");

    // Typing searches the folder and all below it, nothing outside.
    m.EditChange("not");
    EXPECT_EQ(Shown(m.Controls), "Notepad [Tools]; Notifier (Net) [Tools" + kSep + "Network]; note [Tools]");

    // A folder inside: the scope narrows; Backspace in the empty field goes back one step.
    m.EditChange("netw");
    m.KeyDown(FindKey::Enter);
    EXPECT_EQ(m.Controls.ScopeText, "Tools" + kSep + "Network");
    EXPECT_EQ(Shown(m.Controls), "Ping [Tools" + kSep + "Network]; Notifier (Net) [Tools" + kSep + "Network]");
    m.EditChange("x");
    EXPECT_FALSE(m.KeyDown(FindKey::Backspace).handled) << "with text, the field deletes a character";
    m.EditChange("");
    EXPECT_TRUE(m.KeyDown(FindKey::Backspace).handled);
    EXPECT_EQ(m.Controls.ScopeText, "Tools");
    EXPECT_TRUE(m.KeyDown(FindKey::Backspace).handled);
    EXPECT_EQ(m.Controls.ScopeText, "");
    EXPECT_EQ(Shown(m.Controls), "") << "the whole store, nothing started yet";
    EXPECT_FALSE(m.KeyDown(FindKey::Backspace).handled);
}

TEST(FindKeys, SelectionMovesAndEnterStartsThroughTheMenusPath) {
    Loaded l(kTools);
    FindModel m;
    m.Open(l.w.pmItems, l.w.table, "not");
    ASSERT_EQ(m.Controls.Rows.size(), 7u);
    m.KeyDown(FindKey::Up);
    EXPECT_EQ(m.Controls.Selected, 0) << "stays on the first row";
    m.KeyDown(FindKey::Down);
    m.KeyDown(FindKey::Down);
    EXPECT_EQ(m.Controls.Selected, 2);
    m.KeyDown(FindKey::PageDown);
    EXPECT_EQ(m.Controls.Selected, 6);
    m.KeyDown(FindKey::Down);
    EXPECT_EQ(m.Controls.Selected, 6) << "stays on the last row";
    m.KeyDown(FindKey::PageUp);
    EXPECT_EQ(m.Controls.Selected, 0);

    // Enter on Notepad: the entry goes the menu's way, with its parameters and directory.
    FindOutcome o = m.KeyDown(FindKey::Enter);
    EXPECT_TRUE(o.close);
    ASSERT_NE(o.launch, nullptr);
    RecordingShell shell;
    SystemMenuActions actions;
    actions.launchItem = [&](const MenuEntry& e) { NorItemsRTClickItem(shell, l.w.table, e); };
    DispatchMenuClick(*o.launch, actions, pv::AppModel());
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0].file, "C:\\Windows\\notepad.exe");
    EXPECT_EQ(shell.calls[0].params, "-n \"a b\"");
    EXPECT_EQ(shell.calls[0].dir, "C:\\Windows");

    // No match: Enter does nothing; Esc closes.
    m.EditChange("zzz");
    EXPECT_EQ(Shown(m.Controls), kFindNoMatch);
    o = m.KeyDown(FindKey::Enter);
    EXPECT_TRUE(o.handled);
    EXPECT_FALSE(o.close);
    EXPECT_EQ(o.launch, nullptr);
    m.KeyDown(FindKey::Down);
    EXPECT_EQ(m.Controls.Selected, -1);
    EXPECT_TRUE(m.KeyDown(FindKey::Escape).close);

    // A click on a row is Enter on it; on "N more" or "No entry matches" nothing.
    EXPECT_EQ(m.RowClick(0).launch, nullptr);
    m.EditChange("ping");
    o = m.RowClick(0);
    ASSERT_NE(o.launch, nullptr);
    EXPECT_EQ(o.launch->caption, "Ping");
}

TEST(FindRecent, EmptyTextShowsTheStartedEntriesNewestFirstAcrossRebuilds) {
    Loaded l(kTools);
    FindModel m;
    m.Open(l.w.pmItems, l.w.table, "");
    EXPECT_EQ(Shown(m.Controls), "");
    EXPECT_EQ(m.Controls.Selected, -1);
    auto start = [&](const char* text) {
        m.EditChange(text);
        const FindOutcome o = m.KeyDown(FindKey::Enter);
        ASSERT_NE(o.launch, nullptr);
        m.NoteStarted(FindKeyOf(*o.launch, l.w.table));
    };
    start("ping");
    start("notepad");
    start("denotes");
    start("ping");  // again: moves to the top, not twice
    m.Open(l.w.pmItems, l.w.table, "");
    EXPECT_EQ(Shown(m.Controls), "Ping [Tools" + kSep + "Network]; Denotes; Notepad [Tools]");
    EXPECT_EQ(m.Controls.Selected, 0);

    // The menu is rebuilt from a store where Denotes is gone: the others stay.
    StoreWorld& w = l.w;
    w.Index("shortcuts", {"^UnkLnk|C:\\Docs\\readme.txt|txt|Another note", "^Folder|Tools"});
    w.table.Clear();
    w.pmItems.root.Clear();
    m.MenuChanged();
    w.Start();
    m.Open(w.pmItems, w.table, "");
    EXPECT_EQ(Shown(m.Controls), "Ping [Tools" + kSep + "Network]; Notepad [Tools]");
    EXPECT_EQ(m.Recent().size(), 3u) << "kept for this run, in memory only";
}

TEST(FindStart, OnlyPrintableCharactersStartASearch) {
    EXPECT_TRUE(StartsFind('n'));
    EXPECT_TRUE(StartsFind('7'));
    EXPECT_TRUE(StartsFind('.'));
    EXPECT_TRUE(StartsFind('\xE9'));
    EXPECT_FALSE(StartsFind(' '));
    EXPECT_FALSE(StartsFind('\r'));
    EXPECT_FALSE(StartsFind('\x1B'));
    EXPECT_FALSE(StartsFind('\x7F'));
}

}  // namespace
}  // namespace pv

TEST(FindWindowGeometry, SizesFollowTheMonitorsDpiAndTheFont) {
    struct Case {
        int dpi, fontHeight;
        int width, margin, editHeight, rowHeight, pictureSize, pictureLeft, textLeft, gap;
    } cases[] = {
        {96, 13, 400, 4, 21, 20, 16, 4, 26, 16},
        {120, 16, 500, 5, 26, 25, 20, 5, 33, 20},
        {144, 24, 600, 6, 36, 33, 24, 6, 39, 24},   // a large font: the rows grow with it
        {192, 26, 800, 8, 42, 40, 32, 8, 52, 32},   // the picture sets the rows' height
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        const pv::FindGeometry g = pv::FindGeometryFor(c.dpi, c.fontHeight);
        EXPECT_EQ(g.width, c.width);
        EXPECT_EQ(g.margin, c.margin);
        EXPECT_EQ(g.editHeight, c.editHeight);
        EXPECT_EQ(g.rowHeight, c.rowHeight);
        EXPECT_EQ(g.pictureSize, c.pictureSize);
        EXPECT_EQ(g.pictureLeft, c.pictureLeft);
        EXPECT_EQ(g.textLeft, c.textLeft);
        EXPECT_EQ(g.gap, c.gap);
    }
}
