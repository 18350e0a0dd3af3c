// The record writer never writes a line that reads back as another record: a
// bar inside a field before the name, and any line break, are left out.
#include <gtest/gtest.h>

#include "store/StoreFormat.h"

namespace pv {
namespace {

StoreRecord Rec(RecordKind kind, const char* path, const char* params, const char* icon, const char* ext,
                const char* name) {
    StoreRecord r;
    r.kind = kind;
    r.path = path;
    r.params = params;
    r.icon = icon;
    r.extension = ext;
    r.name = name;
    return r;
}

TEST(StoreFormatWriter, FieldsThatCannotRoundTripAreCleaned) {
    struct Case {
        StoreRecord rec;
        const char* text;  // as written
        StoreRecord back;  // as read again
    };
    const Case cases[] = {
        {Rec(RecordKind::ProgramLink, "C:\\Windows\\cmd.exe", "/k dir | more", "cmd.bmp", "", "Dir"),
         "^ExeLnk|C:\\Windows\\cmd.exe|/k dir  more|cmd.bmp|Dir\r\n",
         Rec(RecordKind::ProgramLink, "C:\\Windows\\cmd.exe", "/k dir  more", "cmd.bmp", "", "Dir")},
        {Rec(RecordKind::ProgramLink, "C:\\a|b.exe", "x\r\ny", "a|.bmp", "", "two\nlines|kept"),
         "^ExeLnk|C:\\ab.exe|xy|a.bmp|twolines|kept\r\n",
         Rec(RecordKind::ProgramLink, "C:\\ab.exe", "xy", "a.bmp", "", "twolines|kept")},
        {Rec(RecordKind::OtherLink, "C:\\d|ocs\\a.txt", "", "", "t|x\rt", "A\r"),
         "^UnkLnk|C:\\docs\\a.txt|txt|A\r\n", Rec(RecordKind::OtherLink, "C:\\docs\\a.txt", "", "", "txt", "A")},
        {Rec(RecordKind::Folder, "", "", "", "", "A\rB\nC"), "^Folder|ABC\r\n",
         Rec(RecordKind::Folder, "", "", "", "", "ABC")},
        {Rec(RecordKind::CaptionedSeparator, "", "", "", "", "\r\nCap|tion\n"), "^SpeSep|Cap|tion\r\n",
         Rec(RecordKind::CaptionedSeparator, "", "", "", "", "Cap|tion")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string text = FormatRecord(c.rec);
        EXPECT_EQ(text, c.text);
        const std::vector<std::string> lines = SplitIndexLines(text);
        ASSERT_EQ(lines.size(), 1u);
        StoreRecord back;
        ASSERT_TRUE(ParseRecord(lines[0], back));
        EXPECT_EQ(back, c.back);
    }
}

TEST(StoreFormatWriter, ARecordThatRoundTripsIsWrittenUnchanged) {
    const StoreRecord r = Rec(RecordKind::ProgramLink, "C:\\p\\q.exe", "/x \"y\" ^z", "q1.bmp", "", "a|b^c");
    EXPECT_EQ(FormatRecord(r), "^ExeLnk|C:\\p\\q.exe|/x \"y\" ^z|q1.bmp|a|b^c\r\n");
}

}  // namespace
}  // namespace pv
