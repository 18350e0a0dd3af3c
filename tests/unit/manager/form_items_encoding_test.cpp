// Saving a store written in the legacy code page, and one with names only
// UTF-8 can hold.
#include <gtest/gtest.h>

#include "manager_world.h"
#include "support/TextCodec.h"

namespace {

using pvtest::ManagerWorld;

// A store as earlier versions wrote it on a Western machine: "Café" and
// "Données.txt" in 1252, the folder's directory named by the system in Unicode.
void LegacyStore(ManagerWorld& w) {
    w.model.TextFiles = pv::TextFileCodec(&pv::CodePage1252());
    w.scratch.WriteFile("Data\\shortcuts\\shortcuts.txt",
                        "^Folder|Caf\xE9\r\n^UnkLnk|C:\\Docs\\Donn\xE9""es.txt|txt|Donn\xE9""es\r\n");
    w.scratch.MakeDirs("Data\\shortcuts\\Caf\xC3\xA9");
    w.scratch.WriteFile("Data\\shortcuts\\Caf\xC3\xA9\\shortcuts.txt",
                        "^UnkLnk|C:\\Caf\xE9\\Donn\xE9""es.txt|txt|Donn\xE9""es\r\n");
}

TEST(ManagerEncoding, ALegacyStoreReadsAsItsNamesAndSavesByteForByte) {
    ManagerWorld w;
    LegacyStore(w);
    w.Load();
    ASSERT_NE(w.Node("Caf\xC3\xA9"), nullptr) << w.Tree();
    ASSERT_NE(w.Node("Caf\xC3\xA9/Donn\xC3\xA9""es"), nullptr) << w.Tree();
    EXPECT_EQ(w.model.Items.paths.Items(),
              (std::vector<std::string>{"C:\\Caf\xC3\xA9\\Donn\xC3\xA9""es.txt", "C:\\Docs\\Donn\xC3\xA9""es.txt"}));
    const auto before = w.Files();
    w.Open();
    w.form.BitBtnSaveClick();
    ASSERT_EQ(w.form.Controls.StatusBarHelp, "Save succesful!");
    EXPECT_EQ(w.Files(), before) << "every file as it was, byte for byte";
}

TEST(ManagerEncoding, ANameOutsideTheLegacyPageMakesItsOwnIndexFileUtf8) {
    ManagerWorld w;
    LegacyStore(w);
    w.Load();
    w.Open();
    w.form.Select(w.Node("Donn\xC3\xA9""es"));
    w.form.SetEditSNameText("\xC5\x81\xC3\xB3""d\xC5\xBA \xF0\x9F\x9A\x80");  // "Łódź 🚀"
    w.form.BitBtnSaveClick();
    ASSERT_EQ(w.form.Controls.StatusBarHelp, "Save succesful!");
    const auto files = w.Files();
    EXPECT_EQ(files.at("shortcuts.txt"),
              "^Folder|Caf\xC3\xA9\r\n^UnkLnk|C:\\Docs\\Donn\xC3\xA9""es.txt|txt|\xC5\x81\xC3\xB3""d\xC5\xBA \xF0\x9F\x9A\x80\r\n")
        << "UTF-8 throughout, without byte-order mark";
    EXPECT_EQ(files.at("Caf\xC3\xA9\\shortcuts.txt"), "^UnkLnk|C:\\Caf\xE9\\Donn\xE9""es.txt|txt|Donn\xE9""es\r\n")
        << "the folder's level still fits 1252";
    w.Load();
    EXPECT_NE(w.Node("\xC5\x81\xC3\xB3""d\xC5\xBA \xF0\x9F\x9A\x80"), nullptr) << w.Tree();
    EXPECT_NE(w.Node("Caf\xC3\xA9/Donn\xC3\xA9""es"), nullptr) << w.Tree();
}

}  // namespace
