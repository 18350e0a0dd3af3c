// The manager window's behaviour without a window: node kinds, the properties
// panel, the name and parameters fields, buttons, status line, save, undo,
// sweep and closing, over stores in a scratch directory.

#include <gtest/gtest.h>

#include "manager_world.h"
#include "store/Backups.h"

namespace pv {
namespace {

using pvtest::Backing;
using pvtest::ManagerWorld;

// A store with one of every kind at the root and a folder holding a document.
void KindsStore(ManagerWorld& w) {
    w.Index("", {"^Folder|Tools", "^NorSep|", "^SpeSep|Group", "^ExeLnk|C:\\Apps\\edit.exe|-n|edit.bmp|Editor",
                 "^ExeLnk|C:\\Apps\\go.BAT|fast|bat|Batch", "^UnkLnk|C:\\Docs\\a.txt|txt|Notes",
                 "^UnkLnk|C:\\Links\\x.lnk|lnk|Link", "^UnkLnk|C:\\Docs\\||Docs folder"});
    w.Index("Tools", {"^UnkLnk|C:\\Docs\\b.txt|txt|Inner"});
    w.Load();
}

TEST(ManagerKinds, EveryNodeByTheFirstRuleThatMatches) {
    ManagerWorld w;
    KindsStore(w);
    struct Case {
        const char* path;
        const char* label;
        bool movable;
    } cases[] = {
        {"", "Item Type: Utility item", false},  // the root's top node has no text
        {"Tools", "Item Type: Virtual item", true},
        {"---------------", "Item Type: Separator item", true},
        {"--Group--", "Item Type: Separator item", true},
        {"Editor", "Item Type: Executable item", true},
        {"Batch", "Item Type: Runable item", true},
        {"Notes", "Item Type: Viewable item", true},
        {"Link", "Item Type: Shortcut item", true},
        {"Docs folder", "Item Type: Viewable item", true},
        {"--Sysmenu--", "Item Type: Program item", false},
        {"Pivora Kit", "Item Type: Program item", false},
        {"Pivora Kit/Help File", "Item Type: Program item", false},
    };
    for (const Case& c : cases) {
        TreeNode* n = w.Node(c.path);
        ASSERT_NE(n, nullptr) << c.path;
        EXPECT_EQ(ItemTypeLabel(n, w.model.Items), c.label) << c.path;
        EXPECT_EQ(IsMovableNode(n), c.movable) << c.path;
    }
    EXPECT_TRUE(IsTopNode(w.Node("Tools")->FirstChild()));
    EXPECT_TRUE(IsPlainSeparatorNode(w.Node("---------------")));
    EXPECT_FALSE(IsPlainSeparatorNode(w.Node("--Group--")));
    // The drop handler asks with bare extensions.
    EXPECT_TRUE(IsExecutableExtension(".COM"));
    EXPECT_TRUE(IsRunableExtension(".wsh"));
    EXPECT_FALSE(IsExecutableExtension(""));
    EXPECT_FALSE(IsRunableExtension("C:\\bat"));
}

TEST(ManagerProperties, ThePanelForEveryKind) {
    ManagerWorld w;
    KindsStore(w);
    struct Case {
        const char* path;
        const char* name;
        bool nameOn;
        const char* params;
        bool paramsOn;
        const char* fileName;
        const char* filePath;
    } cases[] = {
        {"", "Top", false, "N/A", false, "File Name: N/A", "File Path: N/A"},
        {"Tools", "Tools", true, "N/A", false, "File Name: N/A", "File Path: N/A"},
        {"---------------", "", true, "N/A", false, "File Name: N/A", "File Path: N/A"},
        {"--Group--", "Group", true, "N/A", false, "File Name: N/A", "File Path: N/A"},
        {"Editor", "Editor", true, "-n", true, "File Name: edit.exe", "File Path: C:\\Apps\\"},
        {"Batch", "Batch", true, "fast", true, "File Name: go.BAT", "File Path: C:\\Apps\\"},
        {"Notes", "Notes", true, "N/A", false, "File Name: a.txt", "File Path: C:\\Docs\\"},
        {"Docs folder", "Docs folder", true, "N/A", false, "File Name: ", "File Path: C:\\Docs\\"},
        {"Pivora Kit", "Pivora Kit", false, "N/A", false, "File Name: N/A", "File Path: N/A"},
    };
    for (const Case& c : cases) {
        TreeNode* n = w.Node(c.path);
        ASSERT_NE(n, nullptr) << c.path;
        w.form.Select(n);
        const FormItemsControls& k = w.form.Controls;
        EXPECT_EQ(k.EditSName.Text, c.name) << c.path;
        EXPECT_EQ(k.EditSName.Enabled, c.nameOn) << c.path;
        EXPECT_EQ(k.EditSParams.Text, c.params) << c.path;
        EXPECT_EQ(k.EditSParams.Enabled, c.paramsOn) << c.path;
        EXPECT_EQ(k.RichEditFName, c.fileName) << c.path;
        EXPECT_EQ(k.RichEditFPath, c.filePath) << c.path;
        EXPECT_EQ(k.ImgFType, n->imageIndex) << c.path;
    }
    // The field shows "Top"; the node keeps its empty text.
    EXPECT_EQ(w.model.TVItems.First()->text, "");
    // Program nodes: "--Sysmenu--" shows as "Sysmenu".
    w.form.Select(w.Node("--Sysmenu--"));
    EXPECT_EQ(w.form.Controls.EditSName.Text, "Sysmenu");
    EXPECT_FALSE(w.form.Controls.EditSName.Enabled);
}

// Selecting shows a node; only typing changes it.
TEST(ManagerProperties, SelectingChangesNoData) {
    ManagerWorld w;
    w.Index("", {"^Folder|Tools", "^NorSep|", "^SpeSep|Group", "^ExeLnk|C:\\Apps\\edit.exe|-n|edit.bmp|Editor",
                 "^ExeLnk|\"C:\\Apps\\quoted.exe\"|-q|quoted.bmp|Quoted", "^ExeLnk| C:\\Apps\\padded.exe |-p|padded.bmp|Padded",
                 "^ExeLnk|C:\\Apps\\tool.py|-v|tool.bmp|Script", "^UnkLnk|C:\\Docs\\a.txt|txt|Notes"});
    w.Index("Tools", {"^UnkLnk|C:\\Docs\\b.txt|txt|Inner"});
    w.Load();
    w.Open();
    const std::string tree = w.Tree();
    const std::vector<std::string> params = w.model.Items.paramValues.Items();
    for (TreeNode* n : w.model.TVItems.AllNodes()) w.form.Select(n);
    for (TreeNode* n : w.model.TVItems.AllNodes()) w.form.Select(n);  // and again, with other texts in the fields
    EXPECT_EQ(w.Tree(), tree) << "no text or picture changed, the program nodes' neither";
    EXPECT_EQ(w.model.Items.paramValues.Items(), params) << "no parameters written";
    EXPECT_EQ(w.Node("Pivora Kit")->Child(1)->text, "---------------");
    EXPECT_NE(w.Node("--Sysmenu--"), nullptr);
    // A hand-edited program link with a quoted or padded path is still a program.
    struct Case {
        const char* name;
        const char* label;
        const char* params;
    } cases[] = {
        {"Quoted", "Item Type: Executable item", "-q"},
        {"Padded", "Item Type: Executable item", "-p"},
        {"Script", "Item Type: Viewable item", "-v"},  // stored as a program: its parameters show
    };
    for (const Case& c : cases) {
        w.form.Select(w.Node(c.name));
        EXPECT_EQ(w.form.Controls.LblFType, c.label) << c.name;
        EXPECT_EQ(w.form.Controls.EditSParams.Text, c.params) << c.name;
        EXPECT_TRUE(w.form.Controls.EditSParams.Enabled) << c.name;
    }
    // Saved, every program link stays one with its parameters.
    w.form.BitBtnSaveClick();
    ASSERT_EQ(w.form.Controls.StatusBarHelp, "Save succesful!");
    EXPECT_EQ(w.Files().at("shortcuts.txt"),
              "^Folder|Tools\r\n^NorSep|\r\n^SpeSep|Group\r\n^ExeLnk|C:\\Apps\\edit.exe|-n|edit.bmp|Editor\r\n"
              "^ExeLnk|\"C:\\Apps\\quoted.exe\"|-q|quoted.bmp|Quoted\r\n"
              "^ExeLnk| C:\\Apps\\padded.exe |-p|padded.bmp|Padded\r\n^ExeLnk|C:\\Apps\\tool.py|-v|tool.bmp|Script\r\n"
              "^UnkLnk|C:\\Docs\\a.txt|txt|Notes\r\n");
}

// "Edit in Pivora" on a tray entry: the manager selects the link the entry
// starts, at any depth, by the item number the entry is tagged with.
TEST(ManagerSelectItem, TheLinkOfATrayEntrySelected) {
    ManagerWorld w;
    KindsStore(w);
    w.Open();
    std::vector<const MenuEntry*> links;
    std::vector<const MenuEntry*> todo{&w.model.PMItems.root};
    while (!todo.empty()) {
        const MenuEntry* e = todo.back();
        todo.pop_back();
        for (int i = 0; i < e->Count(); ++i) {
            const MenuEntry* c = e->Child(i);
            if (c->onClick == ClickHandler::NorItemsRTClickItem) links.push_back(c);
            todo.push_back(c);
        }
    }
    ASSERT_EQ(links.size(), 6u);  // Editor, Batch, Notes, Link, Docs folder, Tools/Inner
    for (const MenuEntry* e : links) {
        SCOPED_TRACE(e->caption);
        w.view.calls.clear();
        EXPECT_TRUE(w.form.SelectItem(e->tag));
        ASSERT_NE(w.form.Selected(), nullptr);
        EXPECT_EQ(w.form.Selected()->text, e->caption);
        EXPECT_EQ(w.form.Selected()->data, e->tag);
        EXPECT_EQ(w.form.Controls.EditSName.Text, e->caption) << "the panel shows it";
        EXPECT_EQ(w.view.calls, std::vector<std::string>{"select " + e->caption}) << "the tree control shows it";
    }
    // A number the working tree does not hold leaves the selection as it was:
    // none at all, or a link deleted but not yet saved.
    w.form.Select(w.Node("Tools/Inner"));
    const int inner = w.Node("Tools/Inner")->data;
    for (int n : {-1, 99}) EXPECT_FALSE(w.form.SelectItem(n)) << n;
    w.form.BitBtnDeleteClick();
    w.form.Select(w.Node("Editor"));
    EXPECT_FALSE(w.form.SelectItem(inner));
    EXPECT_EQ(w.form.Selected(), w.Node("Editor"));
}

TEST(ManagerProperties, ARunableItemWithoutAPairHasNoParameters) {
    ManagerWorld w;
    w.Index("", {"^UnkLnk|C:\\Apps\\run.cmd|cmd|Stored as a document"});
    w.Load();
    w.form.Select(w.Node("Stored as a document"));
    EXPECT_EQ(w.form.Controls.LblFType, "Item Type: Runable item");
    EXPECT_FALSE(w.form.Controls.EditSParams.Enabled);
    w.form.SetEditSParamsText("-x");
    EXPECT_EQ(w.model.Items.FindItemParams(0), "") << "no pair: the write is dropped";
}

TEST(ManagerNameField, TypedTextLosesDelimitersAndLineBreaks) {
    ManagerWorld w;
    KindsStore(w);
    w.form.Select(w.Node("Editor"));
    w.form.SetEditSNameText("Ed|it^or\r\nX");
    EXPECT_EQ(w.form.Controls.EditSName.Text, "EditorX");
    EXPECT_EQ(w.Node("EditorX")->data, 1) << "Tools/Inner was read first";
    w.form.SetEditSParamsText("/k dir | more\r\n");
    EXPECT_EQ(w.form.Controls.EditSParams.Text, "/k dir  more");
    EXPECT_EQ(w.model.Items.FindItemParams(1), "/k dir  more");
    // A file item takes any text, the empty one too.
    w.form.SetEditSNameText("");
    EXPECT_EQ(w.model.Items.PathOf(w.model.TVItems.Root().Child(4)->data), "C:\\Apps\\edit.exe");
    EXPECT_EQ(w.model.TVItems.Root().Child(4)->text, "");
}

TEST(ManagerNameField, FolderNamesAreRefusedWithTheirMessage) {
    ManagerWorld w;
    KindsStore(w);
    TreeNode* tools = w.Node("Tools");
    w.form.Select(tools);
    struct Case {
        const char* typed;
        const char* message;
    } refused[] = {
        {" Lead", kMsgFolderNeedsName},  {"", kMsgFolderNeedsName},     {"a:b", kMsgFolderBadChars},
        {"a?", kMsgFolderBadChars},      {"CON", kMsgFolderReserved},   {"nul.txt", kMsgFolderReserved},
        {"Com7", kMsgFolderReserved},    {"lpt1 ", kMsgFolderReserved}, {"Dots.", kMsgFolderReserved},
        {"notes ", kMsgFolderReserved},  {"BATCH", kMsgFolderDuplicate}, {"  batch", kMsgFolderNeedsName},
    };
    for (const Case& c : refused) {
        w.form.Controls.StatusBarHelp.clear();
        w.form.SetEditSNameText(c.typed);
        EXPECT_EQ(tools->text, "Tools") << c.typed;
        EXPECT_EQ(w.form.Controls.EditSName.Text, c.typed) << "the field keeps what was typed";
        if (IsPrematureRefusal(c.message)) {
            // More typing may still mend it: said when the field is left.
            EXPECT_EQ(w.form.Controls.StatusBarHelp, "") << c.typed;
            w.form.EditSNameExit();
            EXPECT_EQ(w.form.Controls.StatusBarHelp, FolderKeepsName(c.message, "Tools")) << c.typed;
            EXPECT_EQ(w.form.Controls.EditSName.Text, "Tools") << c.typed;
        } else {
            EXPECT_EQ(w.form.Controls.StatusBarHelp, c.message) << c.typed;
        }
        EXPECT_EQ(w.form.Controls.TimerStatusText.Interval, 4750);
    }
    // Accepted: COM10 and CONSOLE are no devices; the duplicate test passes over the folder itself.
    for (const char* ok : {"COM10", "CONSOLE", "Tools"}) {
        w.form.SetEditSNameText(ok);
        EXPECT_EQ(tools->text, ok);
    }
    EXPECT_EQ(w.form.Controls.StatusBarHelp, "Ready") << "a valid name clears the refusal";
}

// Names the store's own files, Windows or NTFS would trip over at the save.
TEST(ManagerNameField, FolderNamesTheStoreCannotHold) {
    ManagerWorld w;
    const std::string apfel = "\xC3\x84pfel";  // "Äpfel"
    w.Index("", {"^Folder|Tools", "^ExeLnk|C:\\p\\tool.exe||tool.bmp|Tool", "^ExeLnk|C:\\p\\run.bat||bat|Run",
                 "^Folder|" + apfel});
    w.Index("Tools", {"^Folder|Deep"});
    w.scratch.MakeDirs("Data\\shortcuts\\Tools\\Deep");
    w.scratch.MakeDirs("Data\\shortcuts\\" + apfel);
    w.Load();
    w.Open();
    TreeNode* tools = w.Node("Tools");
    w.form.Select(tools);
    // The longest name a folder at the root may have: its index file (and the
    // path's 14 more characters "\shortcuts.txt") fits in 259.
    const size_t room = kMaxFolderPath - (w.model.DataDir + "shortcuts\\").size();
    ASSERT_GT(room, 40u);
    ASSERT_LT(room, 255u);
    auto repeat = [](const std::string& s, size_t n) {
        std::string out;
        for (size_t i = 0; i < n; ++i) out += s;
        return out;
    };
    const std::string pathRefusal = "The folder's path would be too long: ";
    struct Case {
        std::string typed;
        std::string message;  // a prefix of the status text; "" accepted
    } cases[] = {
        {"shortcuts.txt", kMsgFolderIndexName},
        {"Shortcuts.TXT", kMsgFolderIndexName},
        {"tool.bmp", "The folder name can not be \"tool.bmp\" (the icon file of \"Tool\")"},
        {"TOOL3.Bmp", "The folder name can not be \"TOOL3.Bmp\" (the icon file of \"Tool\")"},
        {"run.bmp", ""},  // a script keeps no icon file
        {"toolbox.bmp", ""},
        {"a\tb", kMsgFolderControlChars},
        {"end\x7f", kMsgFolderControlChars},
        {"CONIN$", kMsgFolderReserved},
        {"conout$", kMsgFolderReserved},
        {"\xC3\xA4pfel", kMsgFolderDuplicate},        // "äpfel"
        {"\xC3\xA4" "PFEL", kMsgFolderDuplicate},
        {"\xE4pfel", kMsgFolderDuplicate},            // "äpfel" in the ANSI page
        {repeat("a", 256), kMsgFolderTooLong},
        {repeat("\xC3\x84", 256), kMsgFolderTooLong},  // 256 letters, 512 bytes
        {repeat("\xC3\x84", room - 5), ""},            // letters counted, not bytes; "\Deep" still fits
        {repeat("a", room - 4), pathRefusal},          // fine here, too long for Deep inside
        {repeat("a", room + 1), pathRefusal},
        {"Tools", ""},
    };
    for (const Case& c : cases) {
        w.form.Controls.StatusBarHelp.clear();
        const std::string before = tools->text;
        w.form.SetEditSNameText(c.typed);
        if (c.message.empty()) {
            EXPECT_EQ(tools->text, c.typed) << c.typed;
            EXPECT_EQ(w.form.Controls.StatusBarHelp, "") << c.typed;
        } else {
            EXPECT_EQ(tools->text, before) << c.typed;
            if (!IsPrematureRefusal(c.message)) {  // a device name is said when the field is left
                EXPECT_EQ(w.form.Controls.StatusBarHelp.substr(0, c.message.size()), c.message) << c.typed;
                EXPECT_EQ(w.form.Controls.TimerStatusText.Interval, 4750) << c.typed;
            }
        }
        EXPECT_EQ(w.form.FolderNameRefusal(tools, c.typed, DuplicateMode::Exclusive).substr(0, c.message.size()),
                  c.message)
            << c.typed;
        // Each case one rename: the field is left, and a refused name is taken back with its reason.
        w.form.EditSNameExit();
        EXPECT_EQ(w.form.Controls.StatusBarHelp.substr(0, c.message.size()), c.message) << c.typed;
    }
    // The path refusal says how long and how long it may be: one too many,
    // and "\Deep" inside.
    w.form.SetEditSNameText(repeat("a", room + 1));
    EXPECT_EQ(w.form.Controls.StatusBarHelp, pathRefusal + std::to_string(kMaxFolderPath + 1 + 5) +
                                                 " characters (at most " + std::to_string(kMaxFolderPath) + ")");
    // The longest name accepted saves.
    w.form.SetEditSNameText(repeat("a", room - 5));
    ASSERT_EQ(tools->text.size(), room - 5);
    w.form.BitBtnSaveClick();
    EXPECT_EQ(w.form.Controls.StatusBarHelp, "Save succesful!");
}

TEST(ManagerNameField, SeparatorCaptionsHoldNoDashes) {
    ManagerWorld w;
    KindsStore(w);
    TreeNode* sep = w.Node("--Group--");
    w.form.Select(sep);
    w.form.SetEditSNameText("Up-Down-");
    EXPECT_EQ(sep->text, "--UpDown--");
    EXPECT_EQ(w.form.Controls.EditSName.Text, "UpDown");
    w.form.SetEditSNameText("");
    EXPECT_EQ(sep->text, "---------------");
    EXPECT_EQ(sep->imageIndex, kPicturePlainSeparator);
    EXPECT_TRUE(w.form.Controls.ImgFTypeMenuColour);
    w.form.SetEditSNameText("New");
    EXPECT_EQ(sep->text, "--New--");
    EXPECT_EQ(sep->imageIndex, kPictureCaptionedSeparator);
    EXPECT_EQ(sep->selectedIndex, kPictureCaptionedSeparator);
}

TEST(ManagerRules, DuplicatesAndPlacement) {
    ManagerWorld w;
    w.Index("", {"^Folder|A", "^Folder|B", "^UnkLnk|C:\\x.txt|txt|c"});
    w.Index("A", {"^Folder|Inner"});
    w.Index("B", {"^Folder|a"});
    w.scratch.MakeDirs("Data\\shortcuts\\A\\Inner");
    w.scratch.MakeDirs("Data\\shortcuts\\B\\a");
    w.Load();
    TreeNode* a = w.Node("A");
    TreeNode* inner = w.Node("A/Inner");
    EXPECT_TRUE(HasDuplicateAtLevel(a, " a ", DuplicateMode::Inclusive)) << "the node itself counts";
    EXPECT_FALSE(HasDuplicateAtLevel(a, " a ", DuplicateMode::Exclusive));
    EXPECT_TRUE(HasDuplicateAtLevel(a, "C", DuplicateMode::Exclusive)) << "every kind is compared";
    EXPECT_FALSE(HasDuplicateAtLevel(a, "Close", DuplicateMode::Exclusive)) << "stops at the program nodes";

    EXPECT_TRUE(w.form.CanPlaceNode(a, w.Node("c"))) << "same level";
    EXPECT_TRUE(w.form.CanPlaceNode(w.Node("c"), inner)) << "not a folder";
    EXPECT_FALSE(w.form.CanPlaceNode(a, inner->Parent()->FirstChild()));
    EXPECT_EQ(w.form.Controls.StatusBarHelp, kMsgFolderIntoOwn);
    EXPECT_FALSE(w.form.CanPlaceNode(a, w.Node("B/a")));
    EXPECT_EQ(w.form.Controls.StatusBarHelp, kMsgFolderDuplicate);
}

TEST(ManagerRules, ButtonsFollowTheSelection) {
    ManagerWorld w;
    KindsStore(w);
    struct Case {
        const char* path;
        bool cut, copy, del, launch;
    } cases[] = {
        {"", false, false, false, false},       {"Tools", true, false, true, false},
        {"Notes", true, true, true, true},      {"--Group--", true, true, true, false},
        {"Close", false, false, false, false},
    };
    for (const Case& c : cases) {
        w.form.Select(w.Node(c.path));
        const FormItemsControls& k = w.form.Controls;
        EXPECT_EQ(k.BitBtnCut.Enabled, c.cut) << c.path;
        EXPECT_EQ(k.BitBtnCopy.Enabled, c.copy) << c.path;
        EXPECT_EQ(k.BitBtnDelete.Enabled, c.del) << c.path;
        EXPECT_EQ(k.BitBtnLaunch.Enabled, c.launch) << c.path;
        EXPECT_FALSE(k.BitBtnPaste.Enabled) << "nothing on the clipboard";
    }
    // Launch starts the selection with the working parameters, saved or not.
    w.form.Select(w.Node("Batch"));
    w.form.SetEditSParamsText("slow");
    w.form.BitBtnLaunchClick();
    ASSERT_EQ(w.host.shell.calls.size(), 1u);
    EXPECT_EQ(w.host.shell.calls[0].file, "C:\\Apps\\go.BAT");
    EXPECT_EQ(w.host.shell.calls[0].params, "slow");
    EXPECT_EQ(w.host.shell.calls[0].dir, "C:\\Apps");
    w.form.BitBtnHelpClick();
    EXPECT_EQ(w.host.opened, std::vector<std::string>{w.model.ProgramDir + "help.html"});
}

// "C&lose" and "&Launch" share Alt+L: it moves the focus between them and
// presses neither; a mnemonic of one button is left to the dialog manager.
TEST(ManagerRules, AMnemonicOnTwoButtonsMovesTheFocusBetweenThem) {
    ManagerWorld w;
    KindsStore(w);
    w.form.Select(w.Node("Notes"));
    ASSERT_TRUE(w.form.Controls.BitBtnLaunch.Enabled);
    struct Case {
        char key;
        ItemsControl focused;
        ItemsControl target;
    } cases[] = {
        {'l', ItemsControl::None, ItemsControl::BitBtnClose},
        {'L', ItemsControl::EditSName, ItemsControl::BitBtnClose},
        {'l', ItemsControl::BitBtnClose, ItemsControl::BitBtnLaunch},
        {'l', ItemsControl::BitBtnLaunch, ItemsControl::BitBtnClose},
        {'l', ItemsControl::BitBtnHelp, ItemsControl::BitBtnClose},   // round to the first
        {'l', ItemsControl::BitBtnSave, ItemsControl::BitBtnClose},
        {'s', ItemsControl::None, ItemsControl::None},                 // Sweep alone has it
        {'x', ItemsControl::None, ItemsControl::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(w.form.MnemonicTarget(c.key, c.focused), c.target) << c.key << static_cast<int>(c.focused);
    // Launch disabled: the focus stays on Close.
    w.form.Select(w.Node("Tools"));
    ASSERT_FALSE(w.form.Controls.BitBtnLaunch.Enabled);
    EXPECT_EQ(w.form.MnemonicTarget('l', ItemsControl::BitBtnClose), ItemsControl::BitBtnClose);
    EXPECT_EQ(w.form.MnemonicTarget('l', ItemsControl::BitBtnSweep), ItemsControl::BitBtnClose);
}

TEST(ManagerStatusLine, MessagesStayThenReadyComesBack) {
    ManagerWorld w;
    FormItemsControls& k = w.form.Controls;
    EXPECT_EQ(k.StatusBarHelp, "Ready");
    EXPECT_TRUE(k.TimerStatusText.Enabled);
    w.form.ShowStatusText("Save succesful!");
    w.form.MessageTime();
    EXPECT_EQ(k.TimerStatusText.Interval, 4750);
    w.form.TimerStatusText();
    EXPECT_EQ(k.StatusBarHelp, "Ready");
    EXPECT_EQ(k.TimerStatusText.Interval, 100);
    // A hint shows its long part; a control without one empties the line, and
    // the next tick brings "Ready".
    w.form.ApplicationHint(HintOf(ItemsControl::BitBtnSave));
    EXPECT_EQ(k.StatusBarHelp, "Save changes take effect after closing the form - only new changes can be undone");
    w.form.TimerStatusText();
    EXPECT_EQ(k.StatusBarHelp, "Save changes take effect after closing the form - only new changes can be undone");
    w.form.ApplicationHint(HintOf(ItemsControl::None));
    EXPECT_EQ(k.StatusBarHelp, "");
    w.form.TimerStatusText();
    EXPECT_EQ(k.StatusBarHelp, "Ready");
}

// ---------------------------------------------------------------- saving

TEST(ManagerSave, WritesTheTreeAsTheStoreFormatSays) {
    ManagerWorld w;
    w.Index("", {"^ExeLnk|C:\\A\\setup.exe||setup.bmp|One", "^ExeLnk|C:\\B\\setup.exe|-q|setup.bmp|Two",
                 "^ExeLnk|C:\\C\\setup.exe||setup.bmp|Three", "^ExeLnk|C:\\D\\Tool.EXE||x.bmp|Four", "^Folder|Empty", "^SpeSep|Cap", "^NorSep|",
                 "^UnkLnk|C:\\Docs\\||Dir", "^ExeLnk|C:\\x.cmd|/c|cmd|Script"});
    w.scratch.MakeDirs("Data\\shortcuts\\Empty");
    w.scratch.WriteFile("Data\\shortcuts\\setup.bmp", "old bitmap");
    w.Load();
    w.form.BitBtnSaveClick();
    EXPECT_EQ(w.form.Controls.StatusBarHelp, "Save succesful!");
    EXPECT_EQ(w.host.sounds, std::vector<std::string>{"media\\chimes.wav"});
    EXPECT_TRUE(w.form.SavedFlag());
    const auto files = w.Files();
    EXPECT_EQ(files.at("shortcuts.txt"),
              "^ExeLnk|C:\\A\\setup.exe||setup.bmp|One\r\n^ExeLnk|C:\\B\\setup.exe|-q|setup1.bmp|Two\r\n"
              "^ExeLnk|C:\\C\\setup.exe||setup2.bmp|Three\r\n^ExeLnk|C:\\D\\Tool.EXE||Tool.bmp|Four\r\n"
              "^Folder|Empty\r\n^SpeSep|Cap\r\n^NorSep|\r\n"
              "^UnkLnk|C:\\Docs\\||Dir\r\n^ExeLnk|C:\\x.cmd|/c|cmd|Script\r\n");
    // Icons by the naming rule; an empty folder: its directory, no index file.
    EXPECT_EQ(files.count("setup.bmp"), 1u);
    EXPECT_EQ(files.count("setup1.bmp"), 1u);
    EXPECT_EQ(files.count("setup2.bmp"), 1u);
    EXPECT_EQ(files.count("Tool.bmp"), 1u);
    EXPECT_EQ(files.count("Empty\\"), 1u);
    EXPECT_EQ(files.count("Empty\\shortcuts.txt"), 0u);
    EXPECT_EQ(files.at("setup.bmp"), "BMP file " + w.model.DataDir + "shortcuts\\setup.bmp")
        << "the item's own picture";
    EXPECT_FALSE(w.scratch.IsDir("Data\\item_bak"));
}

// A store made by hand, or before names were checked: the icon of an
// executable never takes the name of a folder at its level.
TEST(ManagerSave, AnIconNeverTakesAFoldersName) {
    ManagerWorld w;
    w.Index("", {"^ExeLnk|C:\\p\\tool.exe||tool1.bmp|Tool", "^Folder|tool.bmp"});
    w.scratch.MakeDirs("Data\\shortcuts\\tool.bmp");
    w.Load();
    w.form.BitBtnSaveClick();
    EXPECT_EQ(w.form.Controls.StatusBarHelp, "Save succesful!");
    EXPECT_EQ(w.Files().at("shortcuts.txt"), "^ExeLnk|C:\\p\\tool.exe||tool1.bmp|Tool\r\n^Folder|tool.bmp\r\n");
    EXPECT_EQ(w.Files().count("tool.bmp\\"), 1u);
}

TEST(ManagerSave, ARootWithOnlyItsTopNodeIsAnEmptyIndex) {
    ManagerWorld w;
    w.Index("", {"^UnkLnk|C:\\gone.txt|txt|Gone"});
    w.Load();
    w.form.SweepTree(w.form.RootTopNode());
    w.form.BitBtnSaveClick();
    EXPECT_EQ(w.Files(), (std::map<std::string, std::string>{{"shortcuts.txt", ""}}));
}

// Load, save, load again: the same tree, menu and table.
void ExpectRoundTrip(ManagerWorld& w) {
    w.Load();
    const std::string tree = w.Tree();
    const std::string menu = DumpMenu(w.model.PMItems.root);
    const std::vector<std::string> paths = w.model.Items.paths.Items();
    w.form.BitBtnSaveClick();
    ASSERT_EQ(w.form.Controls.StatusBarHelp, "Save succesful!");
    w.Load();
    EXPECT_TRUE(w.Tree() == tree);
    EXPECT_TRUE(DumpMenu(w.model.PMItems.root) == menu);
    EXPECT_TRUE(w.model.Items.paths.Items() == paths);
}

TEST(ManagerSave, LoadSaveLoadKeepsTheStore) {
    ManagerWorld w;
    w.Index("", {"^Folder|Tools", "^ExeLnk|C:\\t\\calc.exe|-x|calc.bmp|Calc", "^SpeSep|Docs", "^NorSep|",
                 "^UnkLnk|C:\\d\\a.txt|txt|A", "^UnkLnk|C:\\d\\||D"});
    w.Index("Tools", {"^Folder|Deep", "^ExeLnk|C:\\t\\x.bat|1|bat|X"});
    w.Index("Tools\\Deep", {"^UnkLnk|C:\\d\\b.lnk|lnk|B"});
    w.scratch.WriteFile("Data\\shortcuts\\calc.bmp", "bitmap");
    ExpectRoundTrip(w);
}

TEST(ManagerSave, AGeneratedStoreOfTenThousandEntries) {
    ManagerWorld w;
    std::vector<std::string> root;
    for (int f = 0; f < 100; ++f) {
        const std::string name = "F" + std::to_string(f);
        root.push_back("^Folder|" + name);
        std::vector<std::string> level;
        for (int i = 0; i < 99; ++i)
            level.push_back(i % 3 ? "^UnkLnk|C:\\d\\" + std::to_string(i) + ".txt|txt|Doc " + std::to_string(i)
                                  : "^ExeLnk|C:\\p\\p" + std::to_string(i) + ".exe|-" + std::to_string(i) +
                                        "|p.bmp|Prog " + std::to_string(i));
        w.Index(name, level);
        w.scratch.WriteFile("Data\\shortcuts\\" + name + "\\p.bmp", "bitmap");  // every program has its icon
    }
    w.Index("", root);
    ExpectRoundTrip(w);
    EXPECT_EQ(w.model.Items.paths.Length(), 9900);
}

TEST(ManagerSave, RefusesWhileAnIndexFileCouldNotBeRead) {
    ManagerWorld w;
    w.Index("", {"^Folder|Kept"});
    w.Index("Kept", {"^NorSep|"});
    w.Load();
    w.model.Items.unreadableIndexFiles = {w.model.DataDir + "shortcuts\\Kept\\shortcuts.txt"};
    const auto before = w.Files();
    w.form.BitBtnSaveClick();
    EXPECT_EQ(w.form.Controls.StatusBarHelp.rfind("Save unsuccesful! \"", 0), 0u) << w.form.Controls.StatusBarHelp;
    EXPECT_NE(w.form.Controls.StatusBarHelp.find("Kept\\shortcuts.txt\" could not be read"), std::string::npos);
    EXPECT_EQ(w.Files(), before);
    EXPECT_EQ(w.fs.changes, 0) << "nothing written";
    EXPECT_FALSE(w.form.SavedFlag());
}

TEST(ManagerSave, ALockedLeftoverBackupNamesTheDataDirectory) {
    ManagerWorld w;
    w.Index("", {"^NorSep|"});
    w.Load();
    w.scratch.WriteFile("Data\\item_bak\\shortcuts.txt", "old");
    w.fs.locked = {w.model.DataDir + "item_bak\\shortcuts.txt"};  // held open by another program
    w.form.BitBtnSaveClick();
    EXPECT_EQ(w.form.Controls.StatusBarHelp, "Save unsuccesful! SHORT~1\\" + w.model.DataDir.substr(3) +
                                                 "item_bak\\ already exists(!), please restart Pivora");
    EXPECT_EQ(w.host.sounds.back(), "media\\chord.wav");
    EXPECT_EQ(w.scratch.ReadFile("Data\\shortcuts\\shortcuts.txt"), "^NorSep|\r\n");
    EXPECT_EQ(w.scratch.ReadFile("Data\\item_bak\\shortcuts.txt"), "old");
}

std::string BackupDirName(int day) {
    return std::string("2025-01-") + (day < 10 ? "0" : "") + std::to_string(day) + " 10-00-00";
}

// Every change the save makes, made to fail in turn. The store is built and
// saved once per failure point, so it lives in memory: on the disk the test
// spent nearly all its time making and removing files.
TEST(ManagerSave, AFailureAtAnyStepLosesNothing) {
    auto makeStore = [](ManagerWorld& w) {
        std::vector<std::string> root = {"^ExeLnk|C:\\p\\a.exe|-a|a.bmp|A", "^SpeSep|Group"};
        for (int f = 0; f < 4; ++f) {
            const std::string top = "T" + std::to_string(f);
            root.push_back("^Folder|" + top);
            std::vector<std::string> l1 = {"^Folder|Mid", "^ExeLnk|C:\\p\\b.exe||b.bmp|B"};
            std::vector<std::string> l2 = {"^Folder|Low", "^NorSep|"};
            std::vector<std::string> l3;
            for (int i = 0; i < 16; ++i) {
                l1.push_back("^UnkLnk|C:\\d\\" + top + "m" + std::to_string(i) + ".txt|txt|M" + std::to_string(i));
                l2.push_back("^ExeLnk|C:\\p\\x" + std::to_string(i) + ".exe|" + std::to_string(i) + "|x.bmp|X");
                l3.push_back("^UnkLnk|C:\\d\\" + top + "l" + std::to_string(i) + ".doc|doc|L" + std::to_string(i));
            }
            w.Index(top, l1);
            w.Index(top + "\\Mid", l2);
            w.Index(top + "\\Mid\\Low", l3);
            w.scratch.WriteFile("Data\\shortcuts\\" + top + "\\b.bmp", "B");
            w.scratch.WriteFile("Data\\shortcuts\\" + top + "\\Mid\\x.bmp", "X");
        }
        w.Index("", root);
        w.scratch.WriteFile("Data\\shortcuts\\a.bmp", "A");
        // Eleven backups of earlier saves: with the one this save keeps, the two oldest go.
        for (int b = 1; b <= 11; ++b)
            w.scratch.WriteFile("Data\\backups\\" + BackupDirName(b) + "\\shortcuts.txt", "^SpeSep|Backup " + std::to_string(b) + "\r\n");
    };
    // Every backup left is a whole store: one of the earlier ones, or the
    // store before the save (which only a save that stood may add).
    auto onlyWholeBackups = [](ManagerWorld& w, const std::map<std::string, std::string>& previous, bool stood) {
        int earlier = 0, kept = 0;
        for (const BackupInfo& b : ListBackups(w.scratch.Fs(), w.model.DataDir)) {
            const std::string rel = b.dir.substr(w.model.DataDir.size());
            const auto files = w.Files(rel);
            if (files == previous) {
                ++kept;
                continue;
            }
            ++earlier;
            const std::string index = files.count("shortcuts.txt") ? files.at("shortcuts.txt") : "";
            EXPECT_EQ(files.size(), 1u) << rel;
            EXPECT_EQ(index.rfind("^SpeSep|Backup ", 0), 0u) << rel << " is whole";
        }
        EXPECT_EQ(kept, stood ? 1 : 0) << "the replaced store is kept once the new one stands";
        EXPECT_GE(earlier, stood ? 9 : 11);
    };
    // How many changes a save of this store makes.
    int points = 0;
    {
        ManagerWorld w(Backing::Memory);
        makeStore(w);
        w.Load();
        w.form.BitBtnSaveClick();
        ASSERT_EQ(w.form.Controls.StatusBarHelp, "Save succesful!");
        points = w.fs.changes;
    }
    {
        ManagerWorld w(Backing::Memory);
        makeStore(w);
        w.Load();
        int entries = 0;
        for (const TreeNode* n : w.model.TVItems.AllNodes()) entries += IsMovableNode(n) ? 1 : 0;
        ASSERT_GE(entries, 200) << "a realistic store";
    }
    int failedSaves = 0, savesThatStood = 0, pointsWithoutLoss = 0;
    for (int k = 1; k <= points; ++k) {
        struct Count {
            int& n;
            ~Count() { n += ::testing::Test::HasFailure() ? 0 : 1; }  // every check of this point so far held
        } count{pointsWithoutLoss};
        SCOPED_TRACE("change " + std::to_string(k) + " of " + std::to_string(points) + " fails");
        ManagerWorld w(Backing::Memory);
        makeStore(w);
        w.Load();
        w.form.Select(w.Node("A"));
        w.form.SetEditSNameText("A renamed");  // an edit that only the save puts on disk
        const auto before = w.Files();
        const std::string tree = w.Tree();
        w.fs.failAt = k;
        w.form.BitBtnSaveClick();  // must not throw: the program goes on
        EXPECT_TRUE(w.Tree() == tree) << "the working tree is unchanged";
        if (w.form.Controls.StatusBarHelp == "Save succesful!") {
            // Failed while clearing the old store away, after the new one stood.
            ++savesThatStood;
            EXPECT_FALSE(w.scratch.IsDir("Data\\item_bak")) << "never taken for a backup at the next start";
            onlyWholeBackups(w, before, true);
            w.Load();
            EXPECT_TRUE(w.Tree() == tree) << "the new store holds the tree";
            continue;
        }
        ++failedSaves;
        EXPECT_EQ(w.form.Controls.StatusBarHelp.rfind("Save unsuccesful! ", 0), 0u);
        EXPECT_FALSE(w.form.SavedFlag());
        onlyWholeBackups(w, before, false);
        if (!w.scratch.IsDir("Data\\item_bak")) {
            EXPECT_TRUE(w.Files() == before) << "the store is the one before the save";
        } else {
            // Putting the store back failed too: the next start-up restores it.
            EXPECT_TRUE(w.Files("item_bak") == before) << "item_bak holds it whole";
            w.backupAnswer = kMrYes;
            w.Load();
            EXPECT_TRUE(w.Files() == before) << "the check restored it byte for byte";
        }
    }
    std::printf("[ fault injection ] %d points: %d failed saves left the previous store, %d saves stood\n", points,
                failedSaves, savesThatStood);
    std::printf("[ fault injection ] %d of %d points lost nothing; backups held only whole stores\n",
                pointsWithoutLoss, points);
}

TEST(ManagerSave, TwoFoldersOfOneNameFailWithoutLoss) {
    ManagerWorld w;
    w.Index("", {"^Folder|X", "^Folder|Y"});
    w.scratch.MakeDirs("Data\\shortcuts\\X");
    w.scratch.MakeDirs("Data\\shortcuts\\Y");
    w.Load();
    const auto before = w.Files();
    w.Node("Y")->text = "X";  // a hand-made clash the rename rules would refuse
    w.form.BitBtnSaveClick();
    EXPECT_EQ(w.form.Controls.StatusBarHelp.rfind("Save unsuccesful! ", 0), 0u);
    EXPECT_EQ(w.Files(), before);
    ASSERT_EQ(w.host.logged.size(), 1u) << "one log line for the level that failed";
    EXPECT_EQ(w.host.logged[0], "Unable to save \"" + w.model.DataDir +
                                    "shortcuts\\shortcuts.txt\", probably because of a call to \"GetNextSibling\"");
}

// ---------------------------------------------------------------- undo, sweep, closing

TEST(ManagerUndo, SweepThenUndo) {
    ManagerWorld w;
    w.scratch.WriteFile("Files\\here.txt", "x");
    w.scratch.MakeDirs("Files\\dir");
    const std::string f = w.scratch.Root() + "Files\\";
    w.Index("", {"^UnkLnk|" + f + "here.txt|txt|Here", "^UnkLnk|" + f + "gone.txt|txt|Gone", "^Folder|Sub",
                 "^UnkLnk|" + f + "dir\\||Dir", "^UnkLnk|" + f + "nodir\\||NoDir", "^UnkLnk|||Empty"});
    w.Index("Sub", {"^UnkLnk|" + f + "gone2.txt|txt|Gone too", "^UnkLnk|" + f + "here.txt|txt|Here too"});
    w.Load();
    const std::string loaded = w.Tree();
    w.Open();
    w.form.BitBtnSweepClick();
    EXPECT_NE(w.Node("Here"), nullptr);
    EXPECT_NE(w.Node("Dir"), nullptr);
    EXPECT_NE(w.Node("Sub/Here too"), nullptr);
    for (const char* gone : {"Gone", "NoDir", "Empty", "Sub/Gone too"}) EXPECT_EQ(w.Node(gone), nullptr) << gone;
    EXPECT_EQ(w.form.Selected(), w.model.TVItems.First()) << "the selection goes to the top";
    w.form.BitBtnUndoClick();
    EXPECT_EQ(w.Tree(), loaded);
    EXPECT_EQ(w.model.Items.paths.Length(), 7) << "the table keeps the removed items";
}

// Sweep takes only what is plainly gone: entries that the shell still starts,
// or whose target cannot be checked here, stay.
TEST(ManagerUndo, SweepRemovesOnlyWhatIsPlainlyMissing) {
    ManagerWorld w;
    w.scratch.WriteFile("Files\\here.txt", "x");
    const std::string f = w.scratch.Root() + "Files\\";
    w.host.env["PVDOCS"] = w.scratch.Root() + "Files";
    // Paths of exactly 259 and 260 characters, neither of which exists.
    const std::string stem = f + "long\\";
    const std::string long259 = stem + std::string(259 - stem.size() - 4, 'x') + ".txt";
    const std::string long260 = stem + std::string(260 - stem.size() - 4, 'x') + ".txt";
    ASSERT_EQ(long259.size(), 259u);
    w.Index("", {"^ExeLnk|notepad.exe||notepad.bmp|Relative", "^UnkLnk|%PVDOCS%\\here.txt|txt|Var here",
                 "^UnkLnk|%PVDOCS%\\gone.txt|txt|Var gone", "^UnkLnk|%PVUNSET%\\here.txt|txt|Var unset",
                 "^UnkLnk|https://example.com/||Web", "^UnkLnk|mailto:a@example.com|com|Mail",
                 "^UnkLnk|shell:Downloads||Shell folder", "^UnkLnk|\"" + f + "here.txt\"|txt|Quoted",
                 "^UnkLnk|" + long259 + "|txt|Long 259", "^UnkLnk|" + long260 + "|txt|Long 260",
                 "^UnkLnk|Q:\\gone.txt|txt|Absent drive", "^UnkLnk|" + f + "gone.txt|txt|Gone",
                 "^UnkLnk|||Empty"});
    w.Load();
    w.Open();
    w.form.BitBtnSweepClick();
    for (const char* kept : {"Relative", "Var here", "Var unset", "Web", "Mail", "Shell folder", "Quoted", "Long 260",
                             "Absent drive"})
        EXPECT_NE(w.Node(kept), nullptr) << kept;
    for (const char* gone : {"Var gone", "Long 259", "Gone", "Empty"}) EXPECT_EQ(w.Node(gone), nullptr) << gone;
    EXPECT_EQ(w.form.Controls.StatusBarHelp, "Sweep removed 4 items; 7 it cannot check were kept");
    EXPECT_EQ(w.form.Controls.TimerStatusText.Interval, 4750);
    // Once more: nothing left to take.
    w.form.BitBtnSweepClick();
    EXPECT_EQ(w.form.Controls.StatusBarHelp, "Sweep removed no items; 7 it cannot check were kept");
    w.form.BitBtnUndoClick();
    w.form.Select(w.Node("Var gone"));
    w.form.BitBtnDeleteClick();
    for (const char* n : {"Relative", "Var unset", "Web", "Mail", "Shell folder", "Long 260", "Absent drive", "Long 259",
                          "Empty"}) {
        w.form.Select(w.Node(n));
        w.form.BitBtnDeleteClick();
    }
    w.form.BitBtnSweepClick();
    EXPECT_EQ(w.form.Controls.StatusBarHelp, "Sweep removed 1 item");
}

TEST(ManagerUndo, TheUndoCopyWaitsForTheManager) {
    ManagerWorld w;
    w.Index("", {"^UnkLnk|C:\\a.txt|txt|A", "^Folder|Sub"});
    w.Index("Sub", {"^UnkLnk|C:\\b.txt|txt|B"});
    w.Load();
    const std::string loaded = w.Tree();
    EXPECT_EQ(w.model.TVUndo.TopCount(), 0) << "no second tree while the manager is closed";
    w.Open();
    EXPECT_EQ(pv::DumpTree(w.model.TVUndo), loaded);
    w.form.Select(w.Node("A"));
    w.form.BitBtnDeleteClick();
    ASSERT_EQ(w.Node("A"), nullptr);
    w.form.BitBtnUndoClick();
    EXPECT_NE(w.Node("A"), nullptr);
    EXPECT_NE(w.Node("Sub/B"), nullptr);

    // A load while the manager shows copies at once: an edit made next is undone
    // back to what was loaded, not to what the edit left.
    w.Index("", {"^UnkLnk|C:\\c.txt|txt|C"});
    w.Load();
    EXPECT_EQ(pv::DumpTree(w.model.TVUndo), w.Tree());
    w.form.Select(w.Node("C"));
    w.form.BitBtnDeleteClick();
    ASSERT_EQ(w.Node("C"), nullptr);
    w.form.BitBtnUndoClick();
    EXPECT_NE(w.Node("C"), nullptr);
}

TEST(ManagerUndo, CutsTheAddedIconsBack) {
    ManagerWorld w;
    w.Index("", {"^NorSep|"});
    w.Load();
    w.Open();
    const int count = w.lists.Count();
    w.lists.AddShellIcon("C:\\a.exe", -1, false);
    w.lists.AddShellIcon("C:\\b.exe", -1, false);
    w.model.TVItems.tag = 2;
    w.form.BitBtnUndoClick();
    EXPECT_EQ(w.lists.Count(), count);
    EXPECT_EQ(w.model.TVItems.tag, 0);
}

TEST(ManagerClose, OnlyAfterASaveIsTheMenuRebuilt) {
    ManagerWorld w;
    w.Index("", {"^UnkLnk|C:\\a.txt|txt|Old name"});
    w.Load();
    // Change and close without saving: nothing reaches the menu, the tree goes back.
    w.form.FormShow();
    w.form.Select(w.Node("Old name"));
    w.form.SetEditSNameText("Unsaved");
    w.form.FormClose();
    EXPECT_EQ(w.host.rebuilds, 0);
    EXPECT_NE(w.Node("Old name"), nullptr);
    // Change, save, change again, close: the saved state shows, the later change not.
    w.form.Select(w.Node("Old name"));
    w.form.SetEditSNameText("Saved");
    w.form.BitBtnSaveClick();
    w.form.SetEditSNameText("After the save");
    w.form.FormClose();
    EXPECT_EQ(w.host.rebuilds, 1);
    EXPECT_FALSE(w.form.SavedFlag());
    EXPECT_EQ(w.model.PMItems.root.Child(0)->caption, "Saved");
    EXPECT_NE(w.Node("Saved"), nullptr);
    EXPECT_EQ(w.form.Selected(), w.model.TVItems.First()) << "the tree's top node is selected again";
    EXPECT_NE(std::find(w.view.calls.begin(), w.view.calls.end(), "hide"), w.view.calls.end());
}

}  // namespace
}  // namespace pv
