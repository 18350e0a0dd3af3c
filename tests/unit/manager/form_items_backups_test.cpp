// What saves keep as backups, a save while an interrupted save's item_bak is
// unanswered, and Restore... as an edit of the working tree.

#include <gtest/gtest.h>

#include "manager_world.h"
#include "store/Backups.h"

namespace pv {
namespace {

using pvtest::ManagerWorld;

std::vector<std::string> BackupDirs(ManagerWorld& w) {
    std::vector<std::string> names;
    for (const BackupInfo& b : ListBackups(w.scratch.Fs(), w.model.DataDir))
        names.push_back(b.dir.substr(w.model.DataDir.size()));
    return names;
}

TEST(ManagerBackups, EverySaveKeepsTheStoreItReplaced) {
    ManagerWorld w;
    w.Index("", {"^UnkLnk|C:\\d\\a.txt|txt|First"});
    w.Load();
    const auto first = w.Files();
    w.form.Select(w.Node("First"));
    w.form.SetEditSNameText("Second");
    w.form.BitBtnSaveClick();
    ASSERT_EQ(w.form.Controls.StatusBarHelp, "Save succesful!");
    const auto second = w.Files();
    w.form.SetEditSNameText("Third");
    w.form.BitBtnSaveClick();  // in the same second: the counter tells them apart
    w.host.now.minute = 56;
    w.form.SetEditSNameText("Fourth");
    w.form.BitBtnSaveClick();
    EXPECT_EQ(BackupDirs(w), (std::vector<std::string>{"backups\\2026-12-09 21-56-33",
                                                       "backups\\2026-12-09 21-55-33 #2",
                                                       "backups\\2026-12-09 21-55-33"}));
    EXPECT_TRUE(w.Files("backups\\2026-12-09 21-55-33") == first);
    EXPECT_TRUE(w.Files("backups\\2026-12-09 21-55-33 #2") == second);
    EXPECT_EQ(w.scratch.ReadFile("Data\\shortcuts\\shortcuts.txt"), "^UnkLnk|C:\\d\\a.txt|txt|Fourth\r\n");
    EXPECT_FALSE(w.scratch.IsDir("Data\\item_bak"));
    EXPECT_FALSE(w.scratch.IsDir("Data\\item_del"));
}

TEST(ManagerBackups, ASaveKeepsTenAndTheNewestOfEachOfTheLastSevenDays) {
    ManagerWorld w;
    w.Index("", {"^NorSep|"});
    // Fourteen from the past fortnight, one a day at noon.
    for (int d = 0; d < 14; ++d) {
        const int day = 9 - d;
        const std::string name = day > 0 ? "2026-12-0" + std::to_string(day) + " 12-00-00"
                                         : "2026-11-" + std::to_string(30 + day) + " 12-00-00";
        w.scratch.WriteFile("Data\\backups\\" + name + "\\shortcuts.txt", "^NorSep|\r\n");
    }
    w.Load();
    w.form.BitBtnSaveClick();
    ASSERT_EQ(w.form.Controls.StatusBarHelp, "Save succesful!");
    // Ten newest: the new one, 12-09 .. 12-01; 11-30 and older go (none of the last seven days).
    const std::vector<std::string> left = BackupDirs(w);
    ASSERT_EQ(left.size(), 10u);
    EXPECT_EQ(left.front(), "backups\\2026-12-09 21-55-33");
    EXPECT_EQ(left.back(), "backups\\2026-12-01 12-00-00");
    EXPECT_FALSE(w.scratch.IsDir("Data\\backups\\2026-11-30 12-00-00"));
}

TEST(ManagerBackups, ABackupThatCannotBeDeletedWaitsForTheNextSave) {
    ManagerWorld w;
    w.Index("", {"^NorSep|"});
    for (int d = 1; d <= 11; ++d)
        w.scratch.WriteFile("Data\\backups\\2025-01-" + std::string(d < 10 ? "0" : "") + std::to_string(d) +
                                " 10-00-00\\shortcuts.txt",
                            "old");
    w.Load();
    // The oldest (2025-01-01) and the next (01-02) go; one file of the oldest is held open.
    w.fs.locked = {w.model.DataDir + "backups\\2025-01-01 10-00-00.deleting\\shortcuts.txt"};
    w.form.BitBtnSaveClick();
    ASSERT_EQ(w.form.Controls.StatusBarHelp, "Save succesful!");
    EXPECT_EQ(BackupDirs(w).size(), 10u) << "what is left of it is no backup";
    EXPECT_TRUE(w.scratch.IsDir("Data\\backups\\2025-01-01 10-00-00.deleting"));
    w.fs.locked.clear();
    w.form.BitBtnSaveClick();
    EXPECT_FALSE(w.scratch.IsDir("Data\\backups\\2025-01-01 10-00-00.deleting"));
    EXPECT_EQ(BackupDirs(w).size(), 10u);
}

// item_bak holds A, B and C; the store only A (the save was interrupted).
// Start, Cancel, rename A, Save: the save must refuse and keep item_bak.
TEST(ManagerBackups, SaveAfterCancelOnTheBackupQuestionKeepsItemBak) {
    ManagerWorld w;
    w.Index("", {"^UnkLnk|C:\\d\\a.txt|txt|A"});
    w.scratch.WriteFile("Data\\item_bak\\shortcuts.txt",
                        "^UnkLnk|C:\\d\\a.txt|txt|A\r\n^UnkLnk|C:\\d\\b.txt|txt|B\r\n^UnkLnk|C:\\d\\c.txt|txt|C\r\n");
    const auto backup = w.Files("item_bak");
    w.backupAnswer = kMrCancel;
    w.Load();
    w.form.Select(w.Node("A"));
    w.form.SetEditSNameText("A renamed");
    w.form.BitBtnSaveClick();
    EXPECT_EQ(w.form.Controls.StatusBarHelp, std::string("Save unsuccesful! SHORT~1\\") +
                                                 w.model.DataDir.substr(3) + kMsgBackupUnresolved);
    EXPECT_NE(w.form.Controls.StatusBarHelp.find("restart Pivora and answer its question"), std::string::npos);
    EXPECT_EQ(w.host.sounds.back(), "media\\chord.wav");
    EXPECT_FALSE(w.form.SavedFlag());
    EXPECT_TRUE(w.Files("item_bak") == backup) << "the only whole copy stays";
    EXPECT_EQ(w.scratch.ReadFile("Data\\shortcuts\\shortcuts.txt"), "^UnkLnk|C:\\d\\a.txt|txt|A\r\n");
    // The next start settles it: Yes brings A, B and C back, and saving works again.
    w.backupAnswer = kMrYes;
    w.Load();
    EXPECT_NE(w.Node("C"), nullptr);
    w.form.BitBtnSaveClick();
    EXPECT_EQ(w.form.Controls.StatusBarHelp, "Save succesful!");
}

TEST(ManagerBackups, NoOnTheQuestionKeepsTheInterruptedStoreToRestore) {
    ManagerWorld w;
    w.Index("", {});  // the half-written store: its root index came last
    w.scratch.WriteFile("Data\\item_bak\\shortcuts.txt", "^Folder|F\r\n^NorSep|\r\n");
    w.scratch.WriteFile("Data\\item_bak\\F\\shortcuts.txt", "^UnkLnk|C:\\d\\b.txt|txt|B\r\n");
    w.backupAnswer = kMrNo;
    w.Load();
    EXPECT_FALSE(w.scratch.IsDir("Data\\item_bak"));
    w.Open();
    w.host.backupChoice = 0;
    w.form.BitBtnRestoreClick();
    ASSERT_EQ(w.host.backupLists.size(), 1u);
    EXPECT_EQ(w.host.backupLists[0],
              std::vector<std::string>{"2026-12-09 21:55:33 - 2 entries, 1 folder (interrupted save)"});
    EXPECT_NE(w.Node("F/B"), nullptr);
}

TEST(ManagerRestore, ABackupBecomesAnEditToUndoOrSave) {
    ManagerWorld w;
    w.scratch.WriteFile("Files\\tool.exe", "MZ");
    const std::string tool = w.scratch.Root() + "Files\\tool.exe";
    w.Index("", {"^UnkLnk|C:\\d\\now.txt|txt|Now"});
    w.scratch.WriteFile("Data\\backups\\2026-12-01 08-00-00\\shortcuts.txt",
                        "^Folder|Tools\r\n^SpeSep|Cap\r\n^UnkLnk|C:\\d\\old.doc|doc|Old\r\n"
                        "^ExeLnk|" + tool + "|-q|tool.bmp|Tool\r\n^Folder|Gone\r\n");
    w.scratch.WriteFile("Data\\backups\\2026-12-01 08-00-00\\Tools\\shortcuts.txt",
                        "^NorSep|\r\n^ExeLnk|C:\\p\\go.bat|fast|bat|Go\r\n");
    w.scratch.WriteFile("Data\\backups\\2026-12-02 08-00-00\\shortcuts.txt", "^NorSep|\r\n");
    w.Load();
    w.Open();
    const std::string before = w.Tree();
    const int pictures = w.lists.Count();
    const auto disk = w.Files();

    w.host.backupChoice = -1;  // Cancel: nothing changes
    w.form.BitBtnRestoreClick();
    EXPECT_EQ(w.host.backupLists.back(),
              (std::vector<std::string>{"2026-12-02 08:00:00 - 1 entry, 0 folders",
                                        "2026-12-01 08:00:00 - 5 entries, 1 folder"}));
    EXPECT_TRUE(w.Tree() == before);

    w.host.backupChoice = 1;
    w.form.BitBtnRestoreClick();
    EXPECT_EQ(w.form.Controls.StatusBarHelp,
              "Restored the items of 2026-12-01 08:00:00 - 5 entries, 1 folder: Save keeps them, Undo takes them back");
    EXPECT_EQ(w.Node("Now"), nullptr);
    EXPECT_EQ(w.Node("Gone"), nullptr) << "a folder without its directory is dropped, as the load drops it";
    ASSERT_NE(w.Node("Tools/Go"), nullptr);
    EXPECT_EQ(w.Node("Tools/Go")->imageIndex, 12 + w.model.Items.extensions.IndexOf("bat"));
    ASSERT_NE(w.Node("Tool"), nullptr);
    EXPECT_EQ(w.model.Items.PathOf(w.Node("Tool")->data), tool);
    EXPECT_EQ(w.model.Items.FindItemParams(w.Node("Tool")->data), "-q");
    EXPECT_EQ(w.model.Items.FindItemParams(w.Node("Tools/Go")->data), "fast");
    EXPECT_EQ(w.Node("Tool")->imageIndex, w.lists.Count() - 1) << "its own icon, appended";
    EXPECT_EQ(w.lists.Menu().back(), "shell " + tool);
    EXPECT_EQ(w.Files(), disk) << "nothing on disk until Save";
    EXPECT_FALSE(w.form.SavedFlag());
    EXPECT_NE(w.Node("--Sysmenu--"), nullptr) << "the program's nodes stay";

    w.form.BitBtnUndoClick();
    EXPECT_NE(w.Node("Now"), nullptr);
    EXPECT_EQ(w.Node("Tools"), nullptr);
    EXPECT_EQ(w.model.TVItems.AllNodes().size(), w.model.TVUndo.AllNodes().size());
    EXPECT_EQ(w.lists.Count(), pictures) << "the restore's icons go with it";

    w.form.BitBtnRestoreClick();
    w.form.BitBtnSaveClick();
    ASSERT_EQ(w.form.Controls.StatusBarHelp, "Save succesful!");
    const auto saved = w.Files();
    EXPECT_EQ(saved.at("shortcuts.txt"), "^Folder|Tools\r\n^SpeSep|Cap\r\n^UnkLnk|C:\\d\\old.doc|doc|Old\r\n"
                                         "^ExeLnk|" + tool + "|-q|tool.bmp|Tool\r\n");
    EXPECT_EQ(saved.at("Tools\\shortcuts.txt"), "^NorSep|\r\n^ExeLnk|C:\\p\\go.bat|fast|bat|Go\r\n");
    EXPECT_TRUE(w.Files("backups\\2026-12-09 21-55-33") == disk) << "the store it replaced is a backup in turn";
    w.Load();
    for (const char* path : {"Tools", "Tools/---------------", "Tools/Go", "--Cap--", "Old", "Tool"})
        EXPECT_NE(w.Node(path), nullptr) << path << ": the saved store loads as restored";
    EXPECT_EQ(w.Node("Now"), nullptr);
}

TEST(ManagerRestore, NothingToRestoreSaysSo) {
    ManagerWorld w;
    w.Index("", {"^NorSep|"});
    w.scratch.MakeDirs("Data\\backups\\not a backup");
    w.Load();
    w.Open();
    w.form.BitBtnRestoreClick();
    EXPECT_TRUE(w.host.backupLists.empty());
    EXPECT_EQ(w.form.Controls.StatusBarHelp, kMsgNoBackups);
    EXPECT_EQ(w.host.sounds.back(), "media\\chord.wav");
}

}  // namespace
}  // namespace pv
