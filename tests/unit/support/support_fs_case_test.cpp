// Whether a file exists and whether it can be read agree, whatever the letter
// case of the name asked for: Windows resolves names without regard to case,
// the POSIX test file system with it, but each the same way for every query.
#include <gtest/gtest.h>

#include <string>

#include "common/support_fs.h"
#include "support/UkvSysIO.h"

namespace {

TEST(FsLetterCase, ExistsAndReadableAgreeForAnotherCase) {
    pvtest::SupportFsEnv env;
    const std::string r = env.Root();
    ASSERT_TRUE(env.MakeFile(r + "pivora.inI", "[Font Settings]\r\n"));
    for (const char* name : {"pivora.inI", "pivora.ini", "PIVORA.INI"}) {
        SCOPED_TRACE(name);
        std::string contents;
        const bool readable = env.Fs().ReadAll(r + name, contents);
        EXPECT_EQ(pv::FileExists(env.Fs(), r + name), readable);
        EXPECT_EQ(pv::PathExists(env.Fs(), r + name), readable);
        EXPECT_EQ(env.Fs().Attributes(r + name) != pv::kInvalidAttributes, readable);
    }
    // a wildcard search still finds the file in any case
    std::vector<pv::DirEntry> found;
    EXPECT_TRUE(env.Fs().List(r + "PIVORA.*", found));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "pivora.inI");
}

}  // namespace
