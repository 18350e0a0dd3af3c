// Adding entries, the internal clipboard, and drag and drop inside the tree
// and from the shell, on the manager's model.

#include <gtest/gtest.h>

#include "manager_world.h"

namespace pv {
namespace {

using pvtest::ManagerWorld;

void SmallStore(ManagerWorld& w) {
    w.Index("", {"^Folder|Tools", "^UnkLnk|C:\\d\\a.txt|txt|Notes", "^Folder|Other"});
    w.Index("Tools", {"^UnkLnk|C:\\d\\b.txt|txt|Inner"});
    w.scratch.MakeDirs("Data\\shortcuts\\Other");
    w.Load();
    w.Open();
}

// The texts of a level, top to bottom (the top node as "TOP").
std::vector<std::string> Level(const TreeNode* parent) {
    std::vector<std::string> out;
    for (int i = 0; i < parent->Count(); ++i)
        out.push_back(IsTopNode(parent->Child(i)) ? "TOP" : parent->Child(i)->text);
    return out;
}

TEST(ManagerAdding, EveryModeLandsAfterTheSelection) {
    ManagerWorld w;
    SmallStore(w);
    FormItemsControls& c = w.form.Controls;
    // Separator mode, plain and captioned; the button stays ready for more.
    w.form.Select(w.Node("Notes"));
    w.form.RBFolderEnter(AddMode::Separator);
    EXPECT_TRUE(c.RBSeparator);
    EXPECT_FALSE(c.RBFile);
    EXPECT_EQ(c.LabelItemText, "Item (Separator) Text");
    EXPECT_TRUE(c.BitBtnAttach.Enabled);
    EXPECT_FALSE(c.BitBtnFind.Enabled);
    w.form.SetMemoAddNameText("---");
    w.form.BitBtnAttachClick();
    EXPECT_EQ(w.form.Selected()->text, "---------------");
    w.form.SetMemoAddNameText("Up-Down");
    w.form.BitBtnAttachClick();
    EXPECT_EQ(w.form.Selected()->text, "--UpDown--") << "selected: the caption went through the name rules";
    EXPECT_TRUE(c.BitBtnAttach.Enabled);
    EXPECT_EQ(c.LabelItemText, "Item Text");
    // Folder mode, on the folder's top node: the folder's first entry.
    w.form.RBFolderEnter(AddMode::Folder);
    w.form.Select(w.Node("Tools")->FirstChild());
    w.form.SetMemoAddNameText("  New  ");
    w.form.BitBtnAttachClick();
    TreeNode* made = w.Node("Tools/New");
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(IsTopNode(made->FirstChild()));
    EXPECT_EQ(Level(w.Node("Tools")), (std::vector<std::string>{"TOP", "New", "Inner"}));
    EXPECT_EQ(Level(&w.model.TVItems.Root())[2], "Notes");
    EXPECT_EQ(Level(&w.model.TVItems.Root())[3], "---------------");
    EXPECT_EQ(Level(&w.model.TVItems.Root())[4], "--UpDown--");
}

TEST(ManagerAdding, FolderRefusalsSoundAndChangeNothing) {
    ManagerWorld w;
    SmallStore(w);
    w.form.Select(w.Node("Notes"));
    w.form.RBFolderEnter(AddMode::Folder);
    const std::string tree = w.Tree();
    for (const char* name : {"tools", "  ", "a/b", "PRN"}) {
        w.form.SetMemoAddNameText(name);
        w.form.BitBtnAttachClick();
        EXPECT_EQ(w.Tree(), tree) << name;
        EXPECT_EQ(w.form.Controls.MemoAddName, name) << "the text box keeps its text";
    }
    EXPECT_EQ(w.host.sounds, std::vector<std::string>(4, "media\\chord.wav"));
}

// The name checks of a rename hold for a folder attached as well.
TEST(ManagerAdding, FolderNamesTheStoreCannotHoldAreRefused) {
    ManagerWorld w;
    w.Index("", {"^ExeLnk|C:\\p\\tool.exe||tool.bmp|Tool", "^Folder|\xC3\x84pfel"});
    w.scratch.MakeDirs("Data\\shortcuts\\\xC3\x84pfel");
    w.Load();
    w.Open();
    w.form.Select(w.Node("Tool"));
    w.form.RBFolderEnter(AddMode::Folder);
    const std::string tree = w.Tree();
    struct Case {
        const char* typed;
        std::string message;
    } cases[] = {
        {"shortcuts.txt", kMsgFolderIndexName},
        {"Tool.bmp", "The folder name can not be \"Tool.bmp\" (the icon file of \"Tool\")"},
        {"x\ty", kMsgFolderControlChars},
        {"CONOUT$", kMsgFolderReserved},
        {"\xC3\xA4pfel", kMsgFolderDuplicate},
    };
    for (const Case& c : cases) {
        w.form.SetMemoAddNameText(c.typed);
        w.form.BitBtnAttachClick();
        EXPECT_EQ(w.Tree(), tree) << c.typed;
        EXPECT_EQ(w.form.Controls.StatusBarHelp, c.message) << c.typed;
    }
    EXPECT_EQ(w.host.sounds, std::vector<std::string>(5, "media\\chord.wav"));
    w.form.SetMemoAddNameText("Tool.bmp2");
    w.form.BitBtnAttachClick();
    EXPECT_NE(w.Node("Tool.bmp2"), nullptr);
}

TEST(ManagerAdding, FilesAndDirectoriesComeFromTheDialogs) {
    ManagerWorld w;
    SmallStore(w);
    FormItemsControls& c = w.form.Controls;
    w.form.Select(w.Node("Notes"));
    const int icons = w.lists.Count();
    w.host.dialogFile = "C:\\Tools\\Run.BAT";
    w.model.settings.WindowsDraw = false;  // the program paints titles
    w.form.BitBtnFindClick();
    EXPECT_EQ(c.MemoAddName, "Run");
    EXPECT_EQ(c.LabelItemText, "Item (bat) Text");
    EXPECT_TRUE(c.BitBtnAttach.Enabled);
    EXPECT_EQ(w.view.calls.back(), "caption") << "the title is painted again";
    // Folder mode and back: the edited text and the label come back.
    w.form.SetMemoAddNameText("Runner");
    w.form.RBFolderEnter(AddMode::Folder);
    EXPECT_EQ(c.MemoAddName, "");
    w.form.RBFolderEnter(AddMode::File);
    EXPECT_EQ(c.MemoAddName, "Runner");
    EXPECT_EQ(c.LabelItemText, "Item (bat) Text");
    w.form.BitBtnAttachClick();
    TreeNode* run = w.Node("Runner");
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(w.model.Items.PathOf(run->data), "C:\\Tools\\Run.BAT");
    EXPECT_EQ(run->imageIndex, w.model.PictureMarks.IconBase() + 1);
    EXPECT_EQ(w.lists.Count(), icons + 1);
    EXPECT_EQ(w.model.TVItems.tag, 1);
    EXPECT_TRUE(w.form.Controls.EditSParams.Enabled) << "a .bat gets a parameter pair";
    EXPECT_FALSE(c.BitBtnAttach.Enabled) << "a new choice is needed";
    // A drive root in directory mode: the root itself is the text.
    w.form.RBFolderEnter(AddMode::Directory);
    w.host.browsedDir = "D:\\";
    w.form.BitBtnFindClick();
    EXPECT_EQ(w.host.browseTitles, std::vector<std::string>{"Kelvory Pivora"});
    EXPECT_EQ(c.MemoAddName, "D:\\");
    EXPECT_EQ(c.LabelItemText, "Item (directory) Text");
    w.form.BitBtnAttachClick();
    EXPECT_EQ(w.form.Selected()->imageIndex, kPictureDirectory);
    EXPECT_EQ(w.model.Items.PathOf(w.form.Selected()->data), "D:\\");
    EXPECT_EQ(w.model.Items.FindItemParams(w.form.Selected()->data), "") << "no pair for a directory";
    // Undo takes the added entries and their icon back.
    w.form.BitBtnUndoClick();
    EXPECT_EQ(w.Node("Runner"), nullptr);
    EXPECT_EQ(w.lists.Count(), icons);
}

TEST(ManagerClipboard, CopyCutPasteDelete) {
    ManagerWorld w;
    SmallStore(w);
    FormItemsControls& c = w.form.Controls;
    // A copy pasted twice: the second after the first; each is an item of its own.
    w.form.Select(w.Node("Notes"));
    w.form.BitBtnCopyClick();
    w.form.Select(w.Node("Tools")->FirstChild());
    EXPECT_TRUE(c.BitBtnPaste.Enabled);
    w.form.BitBtnPasteClick();
    w.form.BitBtnPasteClick();
    EXPECT_EQ(Level(w.Node("Tools")), (std::vector<std::string>{"TOP", "Notes", "Notes", "Inner"}));
    EXPECT_NE(w.Node("Tools")->Child(1)->data, w.Node("Notes")->data);
    EXPECT_NE(w.Node("Tools")->Child(2)->data, w.Node("Tools")->Child(1)->data);
    EXPECT_EQ(w.model.Items.PathOf(w.Node("Tools")->Child(2)->data), "C:\\d\\a.txt");
    // A cut folder cannot go into itself, nor next to a folder of its name.
    w.form.Select(w.Node("Tools"));
    w.form.BitBtnCutClick();
    EXPECT_TRUE(w.Node("Tools")->cut);
    w.form.Select(w.Node("Tools/Inner"));
    EXPECT_FALSE(c.BitBtnPaste.Enabled);
    EXPECT_EQ(c.StatusBarHelp, kMsgFolderIntoOwn);
    // Elsewhere it moves with its contents, and the clipboard empties.
    w.form.Select(w.Node("Other")->FirstChild());
    EXPECT_TRUE(c.BitBtnPaste.Enabled);
    w.form.BitBtnPasteClick();
    TreeNode* moved = w.Node("Other/Tools");
    ASSERT_NE(moved, nullptr);
    EXPECT_FALSE(moved->cut);
    EXPECT_EQ(Level(moved), (std::vector<std::string>{"TOP", "Notes", "Notes", "Inner"}));
    EXPECT_EQ(w.form.ClipboardNode(), nullptr);
    EXPECT_FALSE(c.BitBtnPaste.Enabled);
    // Deleting the folder that holds the clipboard node empties the clipboard.
    w.form.Select(w.Node("Other/Tools/Inner"));
    w.form.BitBtnCopyClick();
    w.form.Select(w.Node("Other"));
    w.form.BitBtnDeleteClick();
    EXPECT_EQ(w.Node("Other"), nullptr);
    EXPECT_EQ(w.form.ClipboardNode(), nullptr);
    // Undo brings it all back as it was loaded.
    w.form.BitBtnUndoClick();
    EXPECT_EQ(Level(w.Node("Tools")), (std::vector<std::string>{"TOP", "Inner"}));
    EXPECT_NE(w.Node("Other"), nullptr);
}

// A pasted copy is edited on its own: its parameters, and its picture entry.
TEST(ManagerClipboard, APastedCopyIsAnItemOfItsOwn) {
    ManagerWorld w;
    w.scratch.WriteFile("Apps\\calc.exe", "MZ");
    const std::string calc = w.scratch.Root() + "Apps\\calc.exe";
    w.Index("", {"^ExeLnk|" + calc + "|-x|calc.bmp|Calc", "^UnkLnk|C:\\d\\a.txt|txt|Notes"});
    w.Load();
    w.Open();
    TreeNode* original = w.Node("Calc");
    const int pictures = w.lists.Count();
    w.form.Select(original);
    w.form.BitBtnCopyClick();
    w.form.BitBtnPasteClick();
    TreeNode* copy = w.form.Selected();
    ASSERT_NE(copy, original);
    EXPECT_EQ(copy->text, "Calc");
    EXPECT_NE(copy->data, original->data);
    EXPECT_EQ(w.model.Items.PathOf(copy->data), calc);
    EXPECT_EQ(w.form.Controls.EditSParams.Text, "-x") << "the parameters come along";
    // Its own picture: the same one, appended as the manager appends icons.
    EXPECT_EQ(w.lists.Count(), pictures + 1);
    EXPECT_EQ(copy->imageIndex, pictures);
    EXPECT_EQ(copy->imageIndex, w.model.PictureMarks.IconBase() + 1);
    EXPECT_EQ(w.model.TVItems.tag, 1);
    EXPECT_EQ(w.lists.Menu()[copy->imageIndex], w.lists.Menu()[original->imageIndex]);
    EXPECT_EQ(w.lists.Tree()[copy->imageIndex], w.lists.Tree()[original->imageIndex]);
    // Editing the copy leaves the original.
    w.form.SetEditSParamsText("-y");
    EXPECT_EQ(w.model.Items.FindItemParams(copy->data), "-y");
    EXPECT_EQ(w.model.Items.FindItemParams(original->data), "-x");
    w.form.Select(original);
    EXPECT_EQ(w.form.Controls.EditSParams.Text, "-x");
    // A document: its own number and path, the picture of its type as every document.
    w.form.Select(w.Node("Notes"));
    w.form.BitBtnCopyClick();
    w.form.BitBtnPasteClick();
    TreeNode* doc = w.form.Selected();
    EXPECT_NE(doc->data, w.Node("Notes")->data);
    EXPECT_EQ(w.model.Items.PathOf(doc->data), "C:\\d\\a.txt");
    EXPECT_FALSE(w.model.Items.HasParams(doc->data));
    EXPECT_EQ(doc->imageIndex, w.Node("Notes")->imageIndex);
    EXPECT_EQ(w.lists.Count(), pictures + 1);
    // Saved, each record holds its own parameters.
    w.form.BitBtnSaveClick();
    EXPECT_EQ(w.Files().at("shortcuts.txt"), "^ExeLnk|" + calc + "|-x|calc.bmp|Calc\r\n^ExeLnk|" + calc +
                                                 "|-y|calc1.bmp|Calc\r\n^UnkLnk|C:\\d\\a.txt|txt|Notes\r\n"
                                                 "^UnkLnk|C:\\d\\a.txt|txt|Notes\r\n");
}

TEST(ManagerDrag, PressTimerRestExpandAndDrop) {
    ManagerWorld w;
    SmallStore(w);
    pvtest::RecordingView& v = w.view;
    v.at[{10, 20}] = w.Node("Notes");
    v.at[{10, 40}] = w.Node("Tools");
    v.at[{10, 60}] = w.Node("Close");
    v.at[{10, 80}] = w.model.TVItems.First();
    FormItemsControls& c = w.form.Controls;
    // A press on a top node never arms the drag timer.
    w.form.TVItemsMouseDown(true, 10, 80);
    EXPECT_FALSE(c.TimerDrag.Enabled);
    w.form.TVItemsMouseUp(true);
    // On Notes it does; its tick starts the drag.
    w.form.TVItemsMouseDown(true, 10, 20);
    EXPECT_TRUE(c.TimerDrag.Enabled);
    EXPECT_EQ(c.TimerDrag.Interval, 150);
    w.form.TimerDragTimer();
    EXPECT_FALSE(c.TimerDrag.Enabled);
    EXPECT_EQ(v.calls.back(), "drag Notes");
    // Over a program node: refused. Over the collapsed folder: accepted, and a
    // rest of 400 ms opens and selects it.
    EXPECT_FALSE(w.form.TVItemsDragOver(10, 60, true));
    EXPECT_TRUE(w.form.TVItemsDragOver(10, 40, true));
    EXPECT_TRUE(c.TimerExpand.Enabled);
    EXPECT_EQ(c.TimerExpand.Interval, 400);
    for (int i = 0; i < 12; ++i) w.form.TVItemsDragOver(10, 40, true);
    EXPECT_EQ(w.form.RepaintCounter(), 10) << "at most 10 repaints a press";
    w.form.TimerExpandTimer();
    EXPECT_EQ(v.calls.back(), "expand Tools");
    EXPECT_EQ(w.form.Selected(), w.Node("Tools"));
    // Dropped on the folder's top node: its first entry, and selected.
    v.at[{10, 100}] = w.Node("Tools")->FirstChild();
    w.form.TVItemsDragDrop(10, 100);
    w.form.TVItemsMouseUp(true);
    EXPECT_EQ(Level(w.Node("Tools")), (std::vector<std::string>{"TOP", "Notes", "Inner"}));
    EXPECT_EQ(w.form.Selected(), w.Node("Tools/Notes"));
    EXPECT_EQ(w.form.RepaintCounter(), 0);
    // Over empty space nothing happens.
    w.form.TVItemsMouseDown(true, 10, 40);
    w.form.TimerDragTimer();
    w.form.TVItemsDragDrop(99, 99);
    EXPECT_NE(w.Node("Tools"), nullptr);
}

TEST(ManagerDrag, AFolderOverItsOwnEntryIsRefused) {
    ManagerWorld w;
    SmallStore(w);
    w.view.at[{1, 1}] = w.Node("Tools");
    w.view.at[{1, 2}] = w.Node("Tools/Inner");
    w.form.TVItemsMouseDown(true, 1, 1);
    w.form.TimerDragTimer();
    EXPECT_FALSE(w.form.TVItemsDragOver(1, 2, true));
    EXPECT_EQ(w.form.Controls.StatusBarHelp, kMsgFolderIntoOwn);
    EXPECT_FALSE(w.form.Controls.TimerExpand.Enabled);
}

TEST(ManagerDrop, FilesFromTheShell) {
    ManagerWorld w;
    SmallStore(w);
    w.scratch.MakeDirs("Some.Dir");
    w.scratch.MakeDirs("Plain");
    const std::string r = w.scratch.Root();
    w.view.at[{5, 5}] = w.Node("Notes");
    w.view.at[{5, 9}] = w.Node("Close");
    w.host.links[r + "Tool.lnk"] = {"-fast --x", r + "Apps\\Tool.EXE"};
    const int icons = w.lists.Count();
    // Three files in one drop land after the same node: reverse order.
    for (const std::string& f : {r + "Tool.lnk", r + "Plain", r + "Some.Dir"}) w.form.TVItemsDropFiles(f, 5, 5);
    EXPECT_EQ(Level(&w.model.TVItems.Root())[2], "Notes");
    EXPECT_EQ(Level(&w.model.TVItems.Root())[3], "Some");
    EXPECT_EQ(Level(&w.model.TVItems.Root())[4], "Plain");
    EXPECT_EQ(Level(&w.model.TVItems.Root())[5], "Tool");
    TreeNode* tool = w.Node("Tool");
    EXPECT_EQ(w.model.Items.PathOf(tool->data), r + "Apps\\Tool.EXE");
    EXPECT_EQ(w.model.Items.FindItemParams(tool->data), "-fast --x") << "the link's arguments";
    EXPECT_EQ(w.Node("Plain")->imageIndex, kPictureDirectory) << "a directory needs no icon";
    EXPECT_EQ(w.lists.Count(), icons + 2) << "the shortcut's target and the dotted directory";
    EXPECT_EQ(w.form.Controls.StatusBarHelp, "Ready") << "nothing to tell";
    // Arguments with "|", which the item list cannot hold: left out, and said so.
    w.host.links[r + "Pipe.lnk"] = {"/k dir | more", "C:\\Windows\\cmd.exe"};
    w.form.TVItemsDropFiles(r + "Pipe.lnk", 5, 5);
    TreeNode* pipe = w.form.Selected();
    EXPECT_EQ(w.model.Items.FindItemParams(pipe->data), "/k dir  more");
    EXPECT_EQ(w.form.Controls.EditSParams.Text, "/k dir  more");
    EXPECT_EQ(w.form.Controls.StatusBarHelp, std::string(kMsgArgumentsLostBar) + "/k dir  more");
    EXPECT_EQ(w.form.Controls.TimerStatusText.Interval, 4750);
    w.form.Select(pipe);
    w.form.BitBtnDeleteClick();
    // A shortcut that cannot be resolved: an empty item.
    w.form.TVItemsDropFiles(r + "Broken.lnk", 5, 5);
    EXPECT_EQ(w.model.TVItems.Root().Child(3)->text, "");
    EXPECT_EQ(w.model.Items.PathOf(w.model.TVItems.Root().Child(3)->data), "");
    // On a program node, or on nothing: the chord and the message, per file.
    const std::string tree = w.Tree();
    w.form.TVItemsDropFiles(r + "Plain", 5, 9);
    w.form.TVItemsDropFiles(r + "Plain", 50, 50);
    EXPECT_EQ(w.Tree(), tree);
    EXPECT_EQ(w.form.Controls.StatusBarHelp, "You can not drop items on following type: \"Program item\"");
    EXPECT_EQ(w.host.sounds, std::vector<std::string>(2, "media\\chord.wav"));
}

}  // namespace
}  // namespace pv
