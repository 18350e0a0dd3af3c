#include "menu/Launching.h"

#include <gtest/gtest.h>

#include "common/store_fakes.h"

namespace pv {
namespace {

using pvtest::RecordingShell;

TEST(LaunchDirectory, WorkingDirectoryRule) {
    struct Case {
        const char* file;
        const char* dir;
    };
    const Case cases[] = {
        {"C:\\x.exe", "C:\\"},
        {"C:\\Tools\\x.exe", "C:\\Tools"},
        {"C:\\Data\\", "C:\\Data"},
        {"C:\\Data", "C:\\"},
        {"C:\\A\\B\\C\\d.txt", "C:\\A\\B\\C"},
        {"C:x.exe", "C:"},
        {"x.exe", ""},
        {"", ""},
        {"\\x.exe", "\\"},
        {"\\\\server\\share\\x.exe", "\\\\server\\share"},
        {"C:\\a\\\\b.exe", "C:\\a\\\\"},
        {"https://www.kelvory.example/pivora", "https:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(ShellOpenDirectory(c.file), c.dir);
    }
}

TEST(LaunchShellOpen, PassesVerbParamsDirAndShowDefault) {
    struct Case {
        const char* file;
        const char* params;
        const char* dir;
        const char* usedDir;
    };
    const Case cases[] = {
        {"C:\\Tools\\x.exe", "-a \"b c\"", "", "C:\\Tools"},
        {"C:\\x.exe", "", "", "C:\\"},
        {"C:\\Tools\\x.exe", "", "D:\\Work", "D:\\Work"},
        {"C:\\Data\\", "", "", "C:\\Data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        RecordingShell shell;
        EXPECT_TRUE(ShellOpen(shell, c.file, c.params, c.dir));
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0].verb, "open");
        EXPECT_EQ(shell.calls[0].file, c.file);
        EXPECT_EQ(shell.calls[0].params, c.params);
        EXPECT_EQ(shell.calls[0].dir, c.usedDir);
        EXPECT_EQ(shell.calls[0].show, 10);
    }
}

TEST(LaunchShellOpen, SuccessMeansAbove32) {
    const struct {
        intptr_t result;
        bool ok;
    } cases[] = {{0, false}, {2, false}, {31, false}, {32, false}, {33, true}, {42, true}};
    for (const auto& c : cases) {
        RecordingShell shell;
        shell.result = c.result;
        EXPECT_EQ(ShellOpen(shell, "C:\\x.exe", "", ""), c.ok) << c.result;
    }
}

TEST(LaunchOpenTarget, FailureShowsTheTextOnce) {
    const struct {
        intptr_t result;
        bool ok;
    } cases[] = {{0, false}, {2, false}, {32, false}, {33, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        RecordingShell shell;
        shell.result = c.result;
        std::vector<std::string> shown;
        const std::string target = "C:\\Program Files\\Pivora\\help.html";
        EXPECT_EQ(OpenTarget(shell, target, [&](const std::string& t) { shown.push_back(t); }), c.ok);
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0].verb, "open");
        EXPECT_EQ(shell.calls[0].file, target);
        EXPECT_EQ(shell.calls[0].params, "");
        EXPECT_EQ(shell.calls[0].dir, "");
        EXPECT_EQ(shell.calls[0].show, 1);
        if (c.ok) {
            EXPECT_TRUE(shown.empty());
        } else {
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0], "\"C:\\Program Files\\Pivora\\help.html\" not found.");
        }
    }
    EXPECT_EQ(TargetNotFoundText("https://x.example"), "\"https://x.example\" not found.");
    RecordingShell failing;
    failing.result = 2;
    EXPECT_FALSE(OpenTarget(failing, "x", nullptr));  // nobody to tell: nothing breaks
}

TEST(LaunchMenuClick, UsesPathTableAndParameters) {
    ItemTable table;
    table.AddProgramLink("C:\\Tools\\x.exe", "-p 1");
    table.AddOtherLink("C:\\Docs\\a.txt");
    table.AddProgramLink("C:\\run.bat", "");
    struct Case {
        int tag;
        const char* file;
        const char* params;
        const char* dir;
    };
    const Case cases[] = {
        {0, "C:\\Tools\\x.exe", "-p 1", "C:\\Tools"},
        {1, "C:\\Docs\\a.txt", "", "C:\\Docs"},
        {2, "C:\\run.bat", "", "C:\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag);
        RecordingShell shell;
        shell.result = 2;  // a failed start shows nothing and throws nothing
        MenuEntry e;
        e.tag = c.tag;
        e.onClick = ClickHandler::NorItemsRTClickItem;
        NorItemsRTClickItem(shell, table, e);
        ASSERT_EQ(shell.calls.size(), 1u);
        EXPECT_EQ(shell.calls[0].file, c.file);
        EXPECT_EQ(shell.calls[0].params, c.params);
        EXPECT_EQ(shell.calls[0].dir, c.dir);
        EXPECT_EQ(shell.calls[0].show, 10);
    }
    // tags that are no item number start nothing
    for (int tag : {-1, -100, 3, 1000}) {
        RecordingShell shell;
        MenuEntry e;
        e.tag = tag;
        NorItemsRTClickItem(shell, table, e);
        EXPECT_TRUE(shell.calls.empty()) << tag;
    }
}

}  // namespace
}  // namespace pv
