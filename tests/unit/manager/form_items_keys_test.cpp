// The manager's keyboard, the question when it closes with unsaved edits, and
// folder renames typed key by key: what the tree, the field and the status
// line show on the way.

#include <gtest/gtest.h>

#include <algorithm>

#include "manager_world.h"

namespace pv {
namespace {

using pvtest::ManagerWorld;

void FoldersStore(ManagerWorld& w) {
    w.Index("", {"^Folder|Tools", "^Folder|Docs", "^UnkLnk|C:\\d\\a.txt|txt|Notes",
                 "^ExeLnk|C:\\Apps\\edit.exe|-n|edit.bmp|Editor"});
    w.scratch.MakeDirs("Data\\shortcuts\\Tools");
    w.scratch.MakeDirs("Data\\shortcuts\\Docs");
    w.Load();
    w.Open();
}

// Typed one character at a time over the field's selected text, as a user does.
void Type(ManagerWorld& w, const std::string& text) {
    std::string field;
    for (char c : text) {
        field += c;
        w.form.SetEditSNameText(field);
    }
}

bool Called(const ManagerWorld& w, const std::string& call) {
    return std::find(w.view.calls.begin(), w.view.calls.end(), call) != w.view.calls.end();
}

TEST(ManagerRename, ARefusedNameNeverLeavesAPrefixInTheTree) {
    struct Case {
        const char* typed;
        const char* refusal;  // what the leaving field says was refused
        bool shownWhileTyping;
    } cases[] = {
        {"docs", kMsgFolderDuplicate, true},
        {"NUL", kMsgFolderReserved, false},
        {"a:b", kMsgFolderBadChars, true},
    };
    for (const Case& c : cases) {
        ManagerWorld w;
        FoldersStore(w);
        TreeNode* tools = w.Node("Tools");
        w.form.Select(tools);
        Type(w, c.typed);
        const FormItemsControls& k = w.form.Controls;
        EXPECT_EQ(tools->text, "Tools") << c.typed << ": the folder keeps its name, not a prefix";
        EXPECT_EQ(k.EditSName.Text, c.typed) << c.typed;
        if (c.shownWhileTyping) {
            EXPECT_EQ(k.StatusBarHelp, c.refusal) << c.typed;
            // The refusal stays while the field holds the name: past the
            // message time, and through hints.
            w.form.TimerStatusText();
            w.form.TimerStatusText();
            w.form.ApplicationHint(HintOf(ItemsControl::BitBtnSave));
            EXPECT_EQ(k.StatusBarHelp, c.refusal) << c.typed;
        } else {
            EXPECT_EQ(k.StatusBarHelp, "Ready") << c.typed << ": nothing said while typing";
        }
        // Leaving the field takes the name back and says so.
        const unsigned starts = k.TimerStatusText.Starts;
        w.form.EditSNameExit();
        EXPECT_EQ(k.TimerStatusText.Starts, starts + 1) << c.typed << ": its message time from the start";
        EXPECT_EQ(k.EditSName.Text, "Tools") << c.typed;
        EXPECT_EQ(k.StatusBarHelp, std::string(c.refusal) + " - the folder keeps its name \"Tools\"") << c.typed;
        EXPECT_EQ(k.TimerStatusText.Interval, 4750) << c.typed;
        EXPECT_EQ(w.host.sounds.back(), "media\\chord.wav") << c.typed;
        w.form.TimerStatusText();
        EXPECT_EQ(k.StatusBarHelp, "Ready") << c.typed << ": the message goes once the field agrees";
        // What is saved is what the tree shows.
        w.form.BitBtnSaveClick();
        EXPECT_NE(w.Files()["shortcuts.txt"].find("^Folder|Tools\r\n"), std::string::npos) << c.typed;
    }
}

TEST(ManagerRename, SaveTakesARefusedNameBackAndSaysSoAfterItsMessage) {
    ManagerWorld w;
    FoldersStore(w);
    w.form.Select(w.Node("Tools"));
    Type(w, "NU");
    EXPECT_EQ(w.Node("NU"), w.model.TVItems.Root().Child(1)) << "a name it may take is taken at once";
    Type(w, "NUL");
    w.form.BitBtnSaveClick();
    EXPECT_EQ(w.form.Controls.EditSName.Text, "Tools");
    EXPECT_EQ(w.form.Controls.StatusBarHelp,
              std::string("Save succesful! ") + kMsgFolderReserved + " - the folder keeps its name \"Tools\"");
    const std::string index = w.Files()["shortcuts.txt"];
    EXPECT_NE(index.find("^Folder|Tools\r\n"), std::string::npos) << index;
    EXPECT_EQ(index.find("NU"), std::string::npos) << index;
    // The plain save says only its own message.
    w.form.BitBtnSaveClick();
    EXPECT_EQ(w.form.Controls.StatusBarHelp, "Save succesful!");
}

TEST(ManagerRename, NoPrematureRefusalAndTheStatusClearsOnceValid) {
    ManagerWorld w;
    FoldersStore(w);
    TreeNode* tools = w.Node("Tools");
    w.form.Select(tools);
    const FormItemsControls& k = w.form.Controls;
    // "Game " on the way to "Game T": nothing refused on the way.
    std::string field;
    for (char c : std::string("Game T")) {
        field += c;
        w.form.SetEditSNameText(field);
        EXPECT_EQ(k.StatusBarHelp, "Ready") << "after \"" << field << "\"";
    }
    EXPECT_EQ(tools->text, "Game T");
    // A duplicate shows at once, and goes the moment the name is valid again.
    w.form.SetEditSNameText("");
    Type(w, "Docs");
    EXPECT_EQ(k.StatusBarHelp, kMsgFolderDuplicate);
    Type(w, "Docs2");
    EXPECT_EQ(k.StatusBarHelp, "Ready");
    EXPECT_EQ(k.TimerStatusText.Interval, 100);
    EXPECT_EQ(tools->text, "Docs2");
    w.form.EditSNameExit();
    EXPECT_EQ(k.StatusBarHelp, "Ready") << "a valid name is taken without a word";
    // Selecting another node takes a refused name back as leaving the field does.
    Type(w, "CON");
    w.form.Select(w.Node("Notes"));
    EXPECT_EQ(tools->text, "Docs2");
    EXPECT_EQ(k.StatusBarHelp, std::string(kMsgFolderReserved) + " - the folder keeps its name \"Docs2\"");
    // Attaching checks the name when attached, and a right one clears the refusal.
    w.form.RBFolderEnter(AddMode::Folder);
    w.form.SetMemoAddNameText("docs");
    w.form.BitBtnAttachClick();
    EXPECT_EQ(k.StatusBarHelp, kMsgFolderDuplicate);
    w.form.SetMemoAddNameText("docs ");
    EXPECT_EQ(k.StatusBarHelp, kMsgFolderDuplicate);
    w.form.SetMemoAddNameText("docs 2");
    EXPECT_EQ(k.StatusBarHelp, "Ready");
}

TEST(ManagerClose, UnsavedEditsAreAskedAbout) {
    struct Case {
        const char* edit;  // "" for none
        int answer;
        bool closes, asked, saved;
    } cases[] = {
        {"", kMrCancel, true, false, false},    {"rename", kMrCancel, false, true, false},
        {"rename", kMrNo, true, true, false},   {"rename", kMrYes, true, true, true},
        {"params", kMrYes, true, true, true},   {"params", kMrNo, true, true, false},
        {"delete", kMrNo, true, true, false},   {"sweep none", kMrCancel, true, false, false},
        {"cut only", kMrCancel, true, false, false}, {"rename back", kMrCancel, true, false, false},
    };
    for (const Case& c : cases) {
        ManagerWorld w;
        FoldersStore(w);
        w.scratch.WriteFile("Data\\a.txt", "x");
        w.scratch.WriteFile("Data\\edit.exe", "x");
        const std::string edit = c.edit;
        if (edit == "rename" || edit == "rename back") {
            w.form.Select(w.Node("Notes"));
            w.form.SetEditSNameText("Renamed");
            if (edit == "rename back") w.form.SetEditSNameText("Notes");
        } else if (edit == "params") {
            w.form.Select(w.Node("Editor"));
            w.form.SetEditSParamsText("-q");
        } else if (edit == "delete") {
            w.form.Select(w.Node("Docs"));
            w.form.BitBtnDeleteClick();
        } else if (edit == "sweep none") {
            w.model.Items.paths.Set(0, w.model.DataDir + "a.txt");
            w.model.Items.paths.Set(1, w.model.DataDir + "edit.exe");
            w.form.BitBtnSweepClick();
        } else if (edit == "cut only") {
            w.form.Select(w.Node("Notes"));
            w.form.BitBtnCutClick();
        }
        w.host.ui.answers = {c.answer};
        EXPECT_EQ(w.form.FormCloseQuery(), c.closes) << edit << " " << c.answer;
        ASSERT_EQ(w.host.ui.shown.size(), c.asked ? 1u : 0u) << edit;
        if (c.asked) {
            EXPECT_EQ(w.host.ui.shown[0].text, kMsgSaveQuestion);
            EXPECT_EQ(w.host.ui.shown[0].buttons, unsigned(kBtnYes | kBtnNo | kBtnCancel));
        }
        EXPECT_EQ(w.form.SavedFlag(), c.saved) << edit << " " << c.answer;
        const std::string index = w.Files()["shortcuts.txt"];
        if (edit == "rename") {
            EXPECT_EQ(index.find("Renamed") != std::string::npos, c.saved) << index;
        }
        if (edit == "params") {
            EXPECT_EQ(index.find("|-q|") != std::string::npos, c.saved) << index;
        }
        if (c.closes) w.form.FormClose();
        if (edit == "params" && c.answer == kMrNo) {
            // Dropped means dropped: the tray menu starts the item as stored.
            EXPECT_EQ(w.model.Items.FindItemParams(w.Node("Editor")->data), "-n");
        }
    }
}

TEST(ManagerClose, AFailedSaveKeepsTheWindowOpen) {
    ManagerWorld w;
    FoldersStore(w);
    w.form.Select(w.Node("Notes"));
    w.form.SetEditSNameText("Renamed");
    w.fs.failAt = w.fs.changes + 1;
    w.host.ui.answers = {kMrYes};
    EXPECT_FALSE(w.form.FormCloseQuery());
    EXPECT_EQ(w.form.Controls.StatusBarHelp.rfind("Save unsuccesful! ", 0), 0u) << w.form.Controls.StatusBarHelp;
    EXPECT_NE(w.Node("Renamed"), nullptr) << "the edit is still there";
}

TEST(ManagerKeys, TheTreeKeysPressTheButtons) {
    ManagerWorld w;
    FoldersStore(w);
    FormItemsModel& f = w.form;
    // Del on the top node: the Delete button is disabled, so nothing goes.
    f.Select(w.model.TVItems.First());
    EXPECT_TRUE(f.KeyDown(ItemsKeyPlace::Tree, kKeyDelete, kKeyModNone));
    EXPECT_EQ(w.model.TVItems.Root().Count(), 1 + 4 + 3);
    EXPECT_FALSE(Called(w, "focus name, all selected")) << "F2 on the top node: its name field is disabled";
    f.KeyDown(ItemsKeyPlace::Tree, kKeyF2, kKeyModNone);
    EXPECT_FALSE(Called(w, "focus name, all selected"));
    // Ctrl+C, Ctrl+V: a copy after the selection.
    f.Select(w.Node("Notes"));
    EXPECT_TRUE(f.KeyDown(ItemsKeyPlace::Tree, 'C', kKeyModCtrl));
    f.Select(w.Node("Editor"));
    EXPECT_TRUE(f.KeyDown(ItemsKeyPlace::Tree, 'V', kKeyModCtrl));
    EXPECT_EQ(w.model.TVItems.Root().Child(5)->text, "Notes");
    // Ctrl+X, Ctrl+V: Tools moves after Docs.
    f.Select(w.Node("Tools"));
    EXPECT_TRUE(f.KeyDown(ItemsKeyPlace::Tree, 'X', kKeyModCtrl));
    EXPECT_TRUE(w.Node("Tools")->cut);
    f.Select(w.Node("Docs"));
    EXPECT_TRUE(f.KeyDown(ItemsKeyPlace::Tree, 'V', kKeyModCtrl));
    EXPECT_EQ(w.model.TVItems.Root().Child(1)->text, "Docs");
    EXPECT_EQ(w.model.TVItems.Root().Child(2)->text, "Tools");
    // Del deletes the selection.
    f.Select(w.Node("Docs"));
    EXPECT_TRUE(f.KeyDown(ItemsKeyPlace::Tree, kKeyDelete, kKeyModNone));
    EXPECT_EQ(w.Node("Docs"), nullptr);
    // Ctrl+Z takes everything back.
    EXPECT_TRUE(f.KeyDown(ItemsKeyPlace::Tree, 'Z', kKeyModCtrl));
    EXPECT_NE(w.Node("Docs"), nullptr);
    EXPECT_EQ(w.model.TVItems.Root().Count(), 1 + 4 + 3);
    // F2: the name field, its text selected; Enter there: back to the tree.
    f.Select(w.Node("Notes"));
    EXPECT_TRUE(f.KeyDown(ItemsKeyPlace::Tree, kKeyF2, kKeyModNone));
    EXPECT_EQ(w.view.calls.back(), "focus name, all selected");
    EXPECT_TRUE(f.KeyDown(ItemsKeyPlace::NameField, kKeyReturn, kKeyModNone));
    EXPECT_EQ(w.view.calls.back(), "focus tree");
    // Ctrl+S saves, from the tree and from a field.
    f.SetEditSNameText("Saved by key");
    EXPECT_TRUE(f.KeyDown(ItemsKeyPlace::NameField, 'S', kKeyModCtrl));
    EXPECT_EQ(f.Controls.StatusBarHelp, "Save succesful!");
    EXPECT_NE(w.Files()["shortcuts.txt"].find("|Saved by key"), std::string::npos);
    // Left alone: the fields' own keys, and the buttons' Alt mnemonics.
    EXPECT_FALSE(f.KeyDown(ItemsKeyPlace::NameField, kKeyDelete, kKeyModNone));
    EXPECT_FALSE(f.KeyDown(ItemsKeyPlace::NameField, 'C', kKeyModCtrl));
    EXPECT_FALSE(f.KeyDown(ItemsKeyPlace::Tree, 'D', kKeyModAlt));
    EXPECT_FALSE(f.KeyDown(ItemsKeyPlace::Tree, 'S', kKeyModAlt));
    EXPECT_FALSE(f.KeyDown(ItemsKeyPlace::Tree, kKeyDelete, kKeyModShift));
    EXPECT_FALSE(f.KeyDown(ItemsKeyPlace::Tree, kKeyReturn, kKeyModNone));
    EXPECT_FALSE(f.KeyDown(ItemsKeyPlace::Tree, kKeyEscape, kKeyModNone)) << "no drag: Esc closes the window";
}

TEST(ManagerKeys, EscDuringADragCancelsOnlyTheDrag) {
    ManagerWorld w;
    FoldersStore(w);
    w.view.at[{10, 20}] = w.Node("Notes");
    w.view.at[{10, 40}] = w.Node("Tools");
    w.form.TVItemsMouseDown(true, 10, 20);
    w.form.TimerDragTimer();
    w.form.TVItemsDragOver(10, 40, true);
    EXPECT_TRUE(w.form.KeyDown(ItemsKeyPlace::Tree, kKeyEscape, kKeyModNone));
    EXPECT_EQ(w.view.calls.back(), "cancel drag");
    EXPECT_FALSE(w.form.Controls.TimerExpand.Enabled);
    EXPECT_FALSE(w.form.HasUnsavedEdits()) << "nothing moved";
    // The drag is over: the next Esc is the window's again.
    EXPECT_FALSE(w.form.KeyDown(ItemsKeyPlace::Tree, kKeyEscape, kKeyModNone));
}

}  // namespace
}  // namespace pv
