#include "menu/EntryMenu.h"

#include <gtest/gtest.h>

#include "common/store_fakes.h"
#include "menu/MenuDraw.h"

namespace pv {
namespace {

using pvtest::RecordingShell;

// What the commands asked of everything but the shell.
class RecordingHost : public IEntryMenuHost {
public:
    const MenuEntry* launched = nullptr;
    std::vector<std::string> copied;
    std::vector<std::string> linksRead;
    std::vector<int> edited;
    std::string linkTarget;  // what the shortcut points at; "" = it cannot be read

    void Launch(const MenuEntry& entry) override { launched = &entry; }
    bool CopyText(const std::string& text) override {
        copied.push_back(text);
        return true;
    }
    bool ShortcutTarget(const std::string& link, std::string& target) override {
        linksRead.push_back(link);
        target = linkTarget;
        return !linkTarget.empty();
    }
    void EditItem(int itemNumber) override { edited.push_back(itemNumber); }
    std::string WindowsDirectory() override { return "C:\\WINDOWS"; }
};

// A tray menu as the loader makes it: link entries tagged with their item
// numbers, a folder, separators and one of the program's own entries.
struct EntryWorld {
    ItemTable table;
    PopupMenu menu;
    MenuEntry* Link(const std::string& path, bool program, const std::string& params = std::string()) {
        MenuEntry* e = menu.root.Append();
        e->caption = path;
        e->tag = program ? table.AddProgramLink(path, params) : table.AddOtherLink(path);
        e->onClick = ClickHandler::NorItemsRTClickItem;
        return e;
    }
};

using C = EntryCommand;

TEST(EntryMenu, CommandsOfEachKindOfEntry) {
    EntryWorld w;
    struct Case {
        const char* what;
        MenuEntry* entry;
        std::vector<EntryCommand> commands;
    };
    const std::vector<EntryCommand> all{C::Open, C::RunAsAdministrator, C::OpenFileLocation, C::CopyPath,
                                        C::EditInPivora};
    const std::vector<EntryCommand> file{C::Open, C::OpenFileLocation, C::CopyPath, C::EditInPivora};
    const std::vector<EntryCommand> web{C::Open, C::CopyPath, C::EditInPivora};

    MenuEntry* folder = w.menu.root.Append();  // a folder: its tag is an insertion position
    folder->caption = "Tools";
    folder->tag = 0;
    folder->Append()->caption = "inside";
    MenuEntry* plain = w.menu.root.Append();
    plain->tag = kTagPlainSeparator;
    MenuEntry* captioned = w.menu.root.Append();
    captioned->tag = kTagCaptionedSeparator;
    MenuEntry* help = w.menu.root.Append();
    help->caption = "Help File";
    help->onClick = ClickHandler::miHelpFileClick;
    MenuEntry* broken = w.menu.root.Append();  // a link tag the table does not know
    broken->onClick = ClickHandler::NorItemsRTClickItem;
    broken->tag = 99;

    const Case cases[] = {
        {"program", w.Link("C:\\Tools\\x.exe", true, "-a b"), all},
        {"script kept as a program link", w.Link("C:\\Tools\\run.cmd", true), all},
        {"shortcut", w.Link("C:\\Links\\Editor.LNK", false), all},
        {"shortcut in quotes", w.Link("\"C:\\Links\\a b.lnk\"", false), all},
        {"document", w.Link("C:\\Docs\\report.txt", false), file},
        {"an .exe stored as another link", w.Link("C:\\Tools\\y.exe", false), file},
        {"directory", w.Link("C:\\Data\\", false), file},
        {"a name ending in lnk", w.Link("C:\\Docs\\mylnk", false), file},
        {"web address", w.Link("https://www.kelvory.example/pivora", false), web},
        {"mail address", w.Link("mailto:someone@example.com", false), web},
        {"folder", folder, {}},
        {"plain separator", plain, {}},
        {"captioned separator", captioned, {}},
        {"system entry", help, {}},
        {"link tag outside the table", broken, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(EntryCommandsOf(*c.entry, w.table), c.commands);
    }
}

TEST(EntryMenu, TheMenuOpenBoldFirstAndASeparatorBeforeCopyPath) {
    EntryWorld w;
    MenuEntry* program = w.Link("C:\\Tools\\x.exe", true);
    MenuEntry* web = w.Link("https://www.kelvory.example/", false);
    struct Case {
        const char* what;
        MenuEntry* entry;
        bool windowsDraw;
        std::vector<std::string> captions;
    };
    const Case cases[] = {
        {"program, drawn by the program", program, false,
         {"&Open", "Run as &administrator", "Open file &location", "-", "&Copy path", "&Edit in Pivora"}},
        {"program, drawn by Windows", program, true,
         {"&Open", "Run as &administrator", "Open file &location", "-", "&Copy path", "&Edit in Pivora"}},
        {"web address", web, false, {"&Open", "-", "&Copy path", "&Edit in Pivora"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PopupMenu m;
        m.root.Append()->caption = "left over from the last time";
        BuildEntryMenu(*c.entry, w.table, c.windowsDraw, m);
        std::vector<std::string> captions;
        for (int i = 0; i < m.root.Count(); ++i) {
            const MenuEntry& e = *m.root.Child(i);
            captions.push_back(e.caption);
            EXPECT_EQ(e.isDefault, i == 0) << e.caption;
            if (e.tag == kTagPlainSeparator) {
                EXPECT_EQ(e.onDraw, DrawHandler::None);
                continue;
            }
            EXPECT_EQ(EntryCommandCaption(EntryCommandOf(e)), e.caption);
            EXPECT_EQ(e.onClick, ClickHandler::None);
            EXPECT_EQ(e.onMeasure, c.windowsDraw ? MeasureHandler::None : MeasureHandler::NorItemsRTMeasureItem);
            EXPECT_EQ(e.onDraw, c.windowsDraw ? DrawHandler::None : DrawHandler::NorItemsRTDrawItem);
        }
        EXPECT_EQ(captions, c.captions);
    }
    PopupMenu none;
    MenuEntry separator;
    separator.tag = kTagPlainSeparator;
    BuildEntryMenu(separator, w.table, false, none);
    EXPECT_EQ(none.root.Count(), 0);
}

TEST(EntryMenu, WhatEachCommandAsksFor) {
    struct Case {
        const char* what;
        const char* path;
        bool program;
        const char* params;
        EntryCommand command;
        const char* linkTarget;
        // expected: the shell call ("" = none) as verb|file|params|dir|show
        const char* shell;
        const char* copied;
        const char* linkRead;
        bool launched;
        bool edited;
    };
    const Case cases[] = {
        {"open a program", "C:\\Tools\\x.exe", true, "-a b", C::Open, "", "", "", "", true, false},
        {"program as administrator", "C:\\Tools\\x.exe", true, "-a \"b c\"", C::RunAsAdministrator, "",
         "runas|C:\\Tools\\x.exe|-a \"b c\"|C:\\Tools|10", "", "", false, false},
        {"program at a drive's root as administrator", "D:\\x.exe", true, "", C::RunAsAdministrator, "",
         "runas|D:\\x.exe||D:\\|10", "", "", false, false},
        {"shortcut as administrator", "C:\\Links\\Editor.lnk", false, "", C::RunAsAdministrator, "",
         "runas|C:\\Links\\Editor.lnk||C:\\Links|10", "", "", false, false},
        {"program's location", "C:\\Tools\\x.exe", true, "-a", C::OpenFileLocation, "",
         "open|C:\\WINDOWS\\explorer.exe|/select,\"C:\\Tools\\x.exe\"||1", "", "", false, false},
        {"shortcut's location is its target's", "C:\\Links\\Editor.lnk", false, "", C::OpenFileLocation,
         "C:\\Program Files\\Ed\\ed.exe", "open|C:\\WINDOWS\\explorer.exe|/select,\"C:\\Program Files\\Ed\\ed.exe\"||1",
         "", "C:\\Links\\Editor.lnk", false, false},
        {"unreadable shortcut shows itself", "\"C:\\Links\\Gone.lnk\"", false, "", C::OpenFileLocation, "",
         "open|C:\\WINDOWS\\explorer.exe|/select,\"C:\\Links\\Gone.lnk\"||1", "", "C:\\Links\\Gone.lnk", false,
         false},
        {"directory's location", "C:\\Data\\", false, "", C::OpenFileLocation, "",
         "open|C:\\WINDOWS\\explorer.exe|/select,\"C:\\Data\"||1", "", "", false, false},
        {"drive's location", "D:\\", false, "", C::OpenFileLocation, "",
         "open|C:\\WINDOWS\\explorer.exe|/select,\"D:\\\"||1", "", "", false, false},
        {"document's path", "C:\\Docs\\report.txt", false, "", C::CopyPath, "", "", "C:\\Docs\\report.txt", "",
         false, false},
        {"program's path, without its parameters", "C:\\Tools\\x.exe", true, "-a", C::CopyPath, "", "",
         "C:\\Tools\\x.exe", "", false, false},
        {"web address copied", "https://www.kelvory.example/", false, "", C::CopyPath, "", "",
         "https://www.kelvory.example/", "", false, false},
        {"edit", "C:\\Docs\\report.txt", false, "", C::EditInPivora, "", "", "", "", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EntryWorld w;
        w.Link("C:\\first.txt", false);  // so that the item number is not 0
        MenuEntry* entry = w.Link(c.path, c.program, c.params);
        RecordingShell shell;
        RecordingHost host;
        host.linkTarget = c.linkTarget;
        RunEntryCommand(c.command, *entry, w.table, shell, host);
        std::string call;
        if (!shell.calls.empty()) {
            const auto& k = shell.calls[0];
            call = k.verb + "|" + k.file + "|" + k.params + "|" + k.dir + "|" + std::to_string(k.show);
        }
        EXPECT_LE(shell.calls.size(), 1u);
        EXPECT_EQ(call, c.shell);
        EXPECT_EQ(host.copied, *c.copied ? std::vector<std::string>{c.copied} : std::vector<std::string>{});
        EXPECT_EQ(host.linksRead, *c.linkRead ? std::vector<std::string>{c.linkRead} : std::vector<std::string>{});
        EXPECT_EQ(host.launched, c.launched ? entry : nullptr);
        EXPECT_EQ(host.edited, c.edited ? std::vector<int>{1} : std::vector<int>{});
    }
}

TEST(EntryMenu, NothingForAnEntryThatIsNoLink) {
    EntryWorld w;
    w.Link("C:\\Tools\\x.exe", true);
    MenuEntry help;
    help.onClick = ClickHandler::miHelpFileClick;
    for (EntryCommand c : {C::Open, C::RunAsAdministrator, C::OpenFileLocation, C::CopyPath, C::EditInPivora}) {
        RecordingShell shell;
        RecordingHost host;
        RunEntryCommand(c, help, w.table, shell, host);
        EXPECT_TRUE(shell.calls.empty());
        EXPECT_TRUE(host.copied.empty());
        EXPECT_EQ(host.launched, nullptr);
        EXPECT_TRUE(host.edited.empty());
    }
}

// What the tray menu does once the context menu has closed, and what runs after it.
TEST(EntryMenu, TheChoiceMadeInTheContextMenu) {
    EntryWorld w;
    MenuEntry* program = w.Link("C:\\Tools\\x.exe", true);
    PopupMenu m;
    BuildEntryMenu(*program, w.table, false, m);
    const MenuEntry* copyPath = m.root.Child(4);
    ASSERT_EQ(EntryCommandOf(*copyPath), C::CopyPath);
    using O = EntryMenuChoice::Outcome;
    struct Case {
        const char* what;
        bool shown;
        const MenuEntry* chosen;
        O outcome;
        MenuEntry* entryChosen;  // what the tray menu returns as chosen
        const char* ran;         // what runs after the tray menu closed
    };
    const Case cases[] = {
        {"a command", true, copyPath, O::Command, nullptr, "&Copy path on C:\\Tools\\x.exe"},
        {"Open", true, m.root.Child(0), O::Command, nullptr, "&Open on C:\\Tools\\x.exe"},
        {"dismissed", true, nullptr, O::Dismissed, nullptr, ""},
        {"no menu inside a menu: the entry chosen as before", false, nullptr, O::EntryChosen, program, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EntryMenuChoice choice;
        choice.Reset();
        EXPECT_EQ(choice.Closed(*program, c.shown, c.chosen), c.outcome);
        EXPECT_EQ(choice.EntryChosen(), c.entryChosen);
        std::vector<std::string> ran;
        auto run = [&](EntryCommand command, const MenuEntry& e) {
            ran.push_back(EntryCommandCaption(command) + " on " + e.caption);
        };
        EXPECT_EQ(choice.Run(run), *c.ran != 0);
        EXPECT_FALSE(choice.Run(run)) << "once only";
        EXPECT_EQ(ran, *c.ran ? std::vector<std::string>{c.ran} : std::vector<std::string>{});
        // The next tray menu starts with nothing chosen.
        choice.Closed(*program, c.shown, c.chosen);
        choice.Reset();
        EXPECT_EQ(choice.EntryChosen(), nullptr);
        EXPECT_FALSE(choice.Run(run));
    }
}

TEST(EntryMenu, TheDefaultEntryIsMeasuredAndDrawnBold) {
    EntryWorld w;
    PopupMenu m;
    BuildEntryMenu(*w.Link("C:\\Tools\\x.exe", true), w.table, false, m);
    struct WidthByBold : IMenuTextMeasure {
        std::vector<bool> bold;
        TextExtent Extent(const FontSpec& font, const std::string& text) override {
            bold.push_back(font.bold);
            return TextExtent{static_cast<int>(text.size()) * (font.bold ? 8 : 7), 13};
        }
        int PixelsPerInch() override { return 96; }
    } measure;
    MenuDrawSettings settings;
    // "&Open": 5 characters, 8 pixels each in bold, and the 23 pixels before the text.
    EXPECT_EQ(NorItemsRTMeasureItem(*m.root.Child(0), settings, measure).width, 5 * 8 + 23);
    EXPECT_EQ(NorItemsRTMeasureItem(*m.root.Child(4), settings, measure).width, 10 * 7 + 23);  // "&Copy path"
    const DisplayList open = NorItemsRTDrawItem(*m.root.Child(0), DrawRect{0, 0, 150, 19}, false, settings, measure);
    const DisplayList copy = NorItemsRTDrawItem(*m.root.Child(4), DrawRect{0, 0, 150, 19}, false, settings, measure);
    auto textFont = [](const DisplayList& list) {
        for (const DrawOp& op : list)
            if (op.kind == DrawOpKind::Text) return op.font;
        return FontSpec{};
    };
    EXPECT_TRUE(textFont(open).bold);
    EXPECT_FALSE(textFont(copy).bold);
    EXPECT_EQ(textFont(open).faceName, "Verdana");
}

}  // namespace
}  // namespace pv
