// The spine's portable half: message texts, the order of start-up, rebuild and
// close, the process-wide values start-up sets, the title position, and the
// hot key's registration bits.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/InitFinit.h"
#include "app/form_general.h"
#include "menu/SystemMenu.h"
#include "support/UkvGraphics.h"

namespace pv {
namespace {

// ---------------------------------------------------------------- texts

const char* const kTailForCData =
    "\r\n\r\nIf the problem persists try visit https://www.kelvory.example/pivora and check for updates and/or "
    "work arounds of already known bugs. \r\n\r\nAs an alternative please send \"C:\\Data\\errorlog.txt\" and a "
    "reproducible description of what you were doing at the time the error ocurred to support@kelvory.example, "
    "and we'll do our best to resolve the problem.";

TEST(MessageTexts, SupportTailIsComposedExactly) { EXPECT_EQ(ComposeSupportTail("C:\\Data\\"), kTailForCData); }

TEST(MessageTexts, ExceptionNoticeIsTheSentenceThenTheTail) {
    const std::string tail = ComposeSupportTail("C:\\Data\\");
    EXPECT_EQ(ComposeExceptionNotice(tail),
              std::string("Exception raised, Pivora will now terminate to prevent machine lockup.") + kTailForCData);
}

TEST(MessageTexts, BackupQuestionIsComposedExactly) {
    const std::string tail = ComposeSupportTail("C:\\Data\\");
    const std::string expected =
        std::string("A Backup of an earlier items list exists as \"C:\\Data\\item_bak.\" In most cases this is "
                    "caused by the program has crashed while saving items last time.\r\n\r\nDo you wish to restore "
                    "the items from the backup?\r\nIf you choose \"No\" the program will attempt to delete the "
                    "backup, if you choose \"Yes\" the program will attempt to restore the items, if you choose "
                    "\"Cancel\" the program will exit with any further actions.") +
        kTailForCData;
    EXPECT_EQ(ComposeBackupQuestion("C:\\Data\\", tail), expected);
}

TEST(MessageTexts, DataDirIsTakenAsGiven) {
    // Spaces, a long path and an empty directory all go between the quotes unchanged.
    for (const std::string& dir : {std::string(""), std::string("C:\\Program Files\\Kelvory Pivora\\"),
                                  std::string(300, 'x') + "\\"}) {
        const std::string tail = ComposeSupportTail(dir);
        EXPECT_NE(tail.find("\"" + dir + "errorlog.txt\""), std::string::npos) << dir;
        EXPECT_NE(ComposeBackupQuestion(dir, tail).find("\"" + dir + "item_bak.\" "), std::string::npos) << dir;
    }
}

TEST(MessageTexts, TitlesAndVersionLabel) {
    const FormTitles t = ComposeFormTitles("Kelvory Pivora");
    EXPECT_EQ(t.items, "Kelvory Pivora - Manage Items");
    EXPECT_EQ(t.config, "Kelvory Pivora - Preferences");
    EXPECT_EQ(t.about, "Kelvory Pivora - About");
    EXPECT_EQ(ComposeVersionLabel("Kelvory Pivora", "1.46"), "Kelvory Pivora version 1.46 for Windows");
}

TEST(ProcessValues, FixedNames) {
    AppModel model;
    EXPECT_EQ(model.ProductTitle, "Kelvory Pivora");
    EXPECT_STREQ(kMakerWebAddress, "https://www.kelvory.example/pivora");
    EXPECT_STREQ(kSupportAddress, "support@kelvory.example");
}

TEST(ProcessValues, SplitExePath) {
    struct Case {
        const char* path;
        const char* dir;
        const char* name;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Pivora\\pivora.exe", "C:\\Program Files\\Pivora\\", "pivora.exe"},
        {"C:\\pivora.exe", "C:\\", "pivora.exe"},
        {"\\\\server\\share\\p.exe", "\\\\server\\share\\", "p.exe"},
        {"pivora.exe", "", "pivora.exe"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        std::string dir, name;
        SplitExePath(c.path, dir, name);
        EXPECT_EQ(dir, c.dir) << c.path;
        EXPECT_EQ(name, c.name) << c.path;
    }
}

// ---------------------------------------------------------------- order

// Records every step; LoadSettings may move DataDir like the real one does.
class RecordingSteps : public IAppSteps {
public:
    std::vector<std::string> calls;
    std::string exePath = "C:\\Apps\\Pivora\\pivora.exe";
    std::string settledDataDir;  // set by LoadSettings when not empty
    FormTitles titles;
    std::string versionLabel, appTitle;
    std::map<int, std::string> table;
    AppModel model;

    void SetFormTitles(const FormTitles& t) override {
        titles = t;
        calls.push_back("SetFormTitles");
    }
    std::string ExecutablePath() override {
        calls.push_back("ExecutablePath");
        return exePath;
    }
    void FillFontNames() override { calls.push_back("FillFontNames"); }
    void SetVersionLabel(const std::string& t) override {
        versionLabel = t;
        calls.push_back("SetVersionLabel");
    }
    void SetApplicationTitle(const std::string& t) override {
        appTitle = t;
        calls.push_back("SetApplicationTitle");
    }
    void LoadSettings() override {
        // DataDir as step 3 left it must be visible here.
        calls.push_back("LoadSettings:" + model.DataDir);
        if (!settledDataDir.empty()) model.DataDir = settledDataDir;
    }
    void SetMessageTable(const std::map<int, std::string>& t) override {
        table = t;
        calls.push_back("SetMessageTable");
    }
    void CreateScratchImages() override { calls.push_back("CreateScratchImages"); }
    void CopySystemMenu() override { calls.push_back("CopySystemMenu"); }
    void CheckItemStore() override { calls.push_back("CheckItemStore"); }
    void LoadItemStore() override { calls.push_back("LoadItemStore"); }
    void ApplyVisualSettings() override { calls.push_back("ApplyVisualSettings"); }
    void AssignMenuDrawHandlers() override { calls.push_back("AssignMenuDrawHandlers"); }
    void EnableTrayMenu() override { calls.push_back("EnableTrayMenu"); }
    void AttachTreeChangeHandler() override { calls.push_back("AttachTreeChangeHandler"); }
    void DetachTreeChangeHandler() override { calls.push_back("DetachTreeChangeHandler"); }
    void DisableTrayMenu() override { calls.push_back("DisableTrayMenu"); }
    void ClearItemTable() override { calls.push_back("ClearItemTable"); }
    void ClearTreesAndMenu() override { calls.push_back("ClearTreesAndMenu"); }
    void DeleteAddedPictures() override { calls.push_back("DeleteAddedPictures"); }
    void AppendBreakPictures() override { calls.push_back("AppendBreakPictures"); }
    void SaveSettings() override { calls.push_back("SaveSettings"); }
    void FreeScratchImages() override { calls.push_back("FreeScratchImages"); }
    void ReleaseInstanceMapping() override { calls.push_back("ReleaseInstanceMapping"); }
    void ProcessMessages() override { calls.push_back("ProcessMessages"); }
    void Terminate() override { calls.push_back("Terminate"); }
};

TEST(StartupSequence, RunsTheSixteenStepsInOrder) {
    RecordingSteps steps;
    StartupSequence(steps, steps.model);
    const std::vector<std::string> expected = {
        "SetFormTitles",       "ExecutablePath",
        "FillFontNames",       "SetVersionLabel", "SetApplicationTitle",
        "LoadSettings:C:\\Apps\\Pivora\\",          "SetMessageTable",
        "CreateScratchImages", "CopySystemMenu",  "CheckItemStore",
        "LoadItemStore",       "ApplyVisualSettings", "AssignMenuDrawHandlers",
        "EnableTrayMenu",      "AttachTreeChangeHandler",
    };
    EXPECT_EQ(steps.calls, expected);
}

TEST(StartupSequence, SetsTheProcessWideValues) {
    RecordingSteps steps;
    steps.model.ProgramVersion = "0.0";
    StartupSequence(steps, steps.model);
    EXPECT_EQ(steps.model.ProgramDir, "C:\\Apps\\Pivora\\");
    EXPECT_EQ(steps.model.ExeName, "pivora.exe");
    EXPECT_EQ(steps.model.DataDir, "C:\\Apps\\Pivora\\");
    EXPECT_EQ(steps.model.ProgramVersion, "1.46");
    EXPECT_EQ(HelpFilePath(steps.model), "C:\\Apps\\Pivora\\help.html");
    EXPECT_EQ(steps.titles.items, "Kelvory Pivora - Manage Items");
    EXPECT_EQ(steps.titles.config, "Kelvory Pivora - Preferences");
    EXPECT_EQ(steps.titles.about, "Kelvory Pivora - About");
    EXPECT_EQ(steps.versionLabel, "Kelvory Pivora version 1.46 for Windows");
    EXPECT_EQ(steps.appTitle, "Kelvory Pivora");
}

TEST(StartupSequence, MessagesNameTheDataDirSettledBySettings) {
    RecordingSteps steps;
    steps.settledDataDir = "C:\\Users\\me\\Documents\\Kelvory\\Pivora\\";
    StartupSequence(steps, steps.model);
    EXPECT_EQ(steps.model.SupportTail, ComposeSupportTail(steps.settledDataDir));
    EXPECT_EQ(steps.model.MessageTable.at(kMsgExceptionNotice), ComposeExceptionNotice(steps.model.SupportTail));
    EXPECT_EQ(steps.model.MessageTable.at(kMsgBackupQuestion), ComposeBackupQuestion(steps.settledDataDir, steps.model.SupportTail));
    EXPECT_EQ(steps.model.MessageTable.count(2), 0u);
    EXPECT_EQ(steps.table, steps.model.MessageTable);

    // Re-reading the settings later moves DataDir, not the texts.
    steps.model.DataDir = "D:\\Elsewhere\\";
    EXPECT_EQ(steps.model.MessageTable.at(kMsgBackupQuestion), ComposeBackupQuestion(steps.settledDataDir, steps.model.SupportTail));
}

// Ends the program (as the exception handler does) during one named step.
class EndingSteps : public RecordingSteps {
public:
    explicit EndingSteps(std::string during) : during_(std::move(during)) {}
    bool Terminated() override {
        if (!calls.empty() && calls.back().rfind(during_, 0) == 0) ended_ = true;
        return ended_;
    }

private:
    std::string during_;
    bool ended_ = false;
};

TEST(StartupSequence, StopsOnceTheProgramIsEnding) {
    struct Case {
        const char* during;
        const char* lastStep;
    };
    const Case cases[] = {
        {"LoadSettings", "LoadSettings:"},
        {"CheckItemStore", "CheckItemStore"},
        {"LoadItemStore", "LoadItemStore"},
        {"ApplyVisualSettings", "ApplyVisualSettings"},
    };
    for (const Case& c : cases) {
        EndingSteps steps(c.during);
        StartupSequence(steps, steps.model);
        ASSERT_FALSE(steps.calls.empty());
        EXPECT_EQ(steps.calls.back().rfind(c.lastStep, 0), 0u) << c.during << " ended with " << steps.calls.back();
        for (const std::string& call : steps.calls) EXPECT_NE(call, "EnableTrayMenu") << c.during;
    }
}

TEST(RebuildItemMenus, StopsOnceTheProgramIsEnding) {
    EndingSteps steps("CheckItemStore");
    RebuildItemMenus(steps);
    EXPECT_EQ(steps.calls.back(), "CheckItemStore");
}

TEST(RebuildItemMenus, TearsDownThenLoadsAgainWithoutSettings) {
    RecordingSteps steps;
    RebuildItemMenus(steps);
    const std::vector<std::string> expected = {
        "DetachTreeChangeHandler", "DisableTrayMenu",        "ClearItemTable", "ClearTreesAndMenu",
        "DeleteAddedPictures",     "AppendBreakPictures",    "CopySystemMenu", "CheckItemStore",
        "LoadItemStore",           "AssignMenuDrawHandlers", "EnableTrayMenu", "AttachTreeChangeHandler",
    };
    EXPECT_EQ(steps.calls, expected);
}

TEST(CloseProgram, SavesFirstThenReleasesAndTerminates) {
    RecordingSteps steps;
    CloseProgram(steps);
    const std::vector<std::string> expected = {"SaveSettings", "FreeScratchImages", "ReleaseInstanceMapping",
                                               "ProcessMessages", "Terminate"};
    EXPECT_EQ(steps.calls, expected);
}

// ---------------------------------------------------------------- title position

TEST(PaintFormCaption, PositionFromBorderCaptionAndTextHeight) {
    struct Case {
        int cxBorder, cyCaption, textHeight, x, y;
    };
    const Case cases[] = {
        {1, 18, 13, 5, 4},   // (18 - 13) / 2 = 2, + 2
        {1, 19, 13, 5, 5},   // 3 + 2
        {2, 18, 18, 6, 2},   // text as tall as the bar
        {1, 18, 25, 5, 5},   // taller text: |18 - 25| = 7, 7 / 2 = 3, + 2
        {0, 0, 0, 4, 2},
    };
    for (const Case& c : cases) {
        const CaptionTextPos p = CaptionTextPosition(c.cxBorder, c.cyCaption, c.textHeight);
        EXPECT_EQ(p.x, c.x) << c.cyCaption << "/" << c.textHeight;
        EXPECT_EQ(p.y, c.y) << c.cyCaption << "/" << c.textHeight;
    }
}

// ---------------------------------------------------------------- hot key

TEST(HotKey, MenuShortcutValueToModifiersAndKey) {
    struct Case {
        uint16_t value;
        unsigned modifiers;
        unsigned key;
    };
    const Case cases[] = {
        {kDefaultHotKey, kModControl, 'L'},
        {0x404C, 0x2, 0x4C},
        {0x2000 | 'A', kModShift, 'A'},
        {0x8000 | 0x70, kModAlt, 0x70},  // Alt+F1
        {0xE000 | 'Z', kModShift | kModControl | kModAlt, 'Z'},
        {0x0000, 0, 0},
        {0x0020, 0, 0x20},
    };
    for (const Case& c : cases) {
        const HotKeyRegistration r = HotKeyToRegistration(c.value);
        EXPECT_EQ(r.modifiers, c.modifiers) << std::hex << c.value;
        EXPECT_EQ(r.virtualKey, c.key) << std::hex << c.value;
    }
}

}  // namespace
}  // namespace pv
