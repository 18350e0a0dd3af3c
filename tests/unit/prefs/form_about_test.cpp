// The about box's memory text and its timer-driven refresh, over a fake system.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prefs/form_about.h"

namespace pvtest {
namespace {

TEST(MemoryText, LoadAndKilobytesWithTheThousandsSeparator) {
    struct Case {
        int load;
        uint64_t bytes;
        const char* separator;
        const char* text;
    };
    const Case cases[] = {
        {37, 1073741824ull, ",", "37% used of the total memory at 1,048,576 KB"},
        {12, 536870912ull, ",", "12% used of the total memory at 524,288 KB"},
        // 16 GiB: beyond what a 32-bit count holds.
        {54, 17179869184ull, ",", "54% used of the total memory at 16,777,216 KB"},
        {54, 17179869184ull, ".", "54% used of the total memory at 16.777.216 KB"},
        {54, 17179869184ull, "\xA0", "54% used of the total memory at 16\xA0" "777\xA0" "216 KB"},
        {100, 1099511627776ull, ",", "100% used of the total memory at 1,073,741,824 KB"},  // 1 TiB
        {0, 999 * 1024ull, ",", "0% used of the total memory at 999 KB"},
        {5, 1000 * 1024ull, ",", "5% used of the total memory at 1,000 KB"},
        // Whole kilobytes, rounded: 1.5 KB up, 1.49 KB down.
        {1, 1536ull, ",", "1% used of the total memory at 2 KB"},
        {1, 1535ull, ",", "1% used of the total memory at 1 KB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(pv::MemoryText(pv::MemoryStatus{c.load, c.bytes}, c.separator), c.text);
    }
}

TEST(GroupThousands, DigitsInThrees) {
    EXPECT_EQ(pv::GroupThousands(7, ","), "7");
    EXPECT_EQ(pv::GroupThousands(999, ","), "999");
    EXPECT_EQ(pv::GroupThousands(1000, ","), "1,000");
    EXPECT_EQ(pv::GroupThousands(123456789, "'"), "123'456'789");
    EXPECT_EQ(pv::GroupThousands(0, ","), "") << "the pattern has no compulsory digit";
}

class FakeAboutHost : public pv::IAboutBoxHost {
public:
    pv::MemoryStatus QueryMemoryStatus() override {
        ++queries;
        return status;
    }
    std::string ThousandSeparator() override { return ","; }
    void OpenTarget(const std::string& target) override { opened.push_back(target); }

    pv::MemoryStatus status{37, 1073741824ull};
    int queries = 0;
    std::vector<std::string> opened;
};

TEST(AboutBox, FilledAtOnceOnShowRefreshedByTheTimerUntilClosed) {
    pv::FormAboutControls c;
    FakeAboutHost host;
    pv::AboutBox box(c, host);
    EXPECT_FALSE(c.TimerMemEnabled) << "disabled until shown";
    EXPECT_EQ(c.LabelMemTotal, "");

    box.FormShow();
    EXPECT_EQ(c.LabelMemTotal, "37% used of the total memory at 1,048,576 KB");
    EXPECT_EQ(c.ProgressBarP, 37);
    EXPECT_TRUE(c.TimerMemEnabled);

    host.status = {81, 1073741824ull};
    box.TimerMemTimer();
    EXPECT_EQ(c.LabelMemTotal, "81% used of the total memory at 1,048,576 KB");
    EXPECT_EQ(c.ProgressBarP, 81);

    box.FormClose();
    EXPECT_FALSE(c.TimerMemEnabled);
    const int queries = host.queries;
    host.status = {90, 2147483648ull};
    box.TimerMemTimer();  // a tick already queued when the box closed
    EXPECT_EQ(host.queries, queries) << "no refresh after closing";
    EXPECT_EQ(c.LabelMemTotal, "81% used of the total memory at 1,048,576 KB") << "the last values stay";
    EXPECT_EQ(c.ProgressBarP, 81);

    box.FormShow();
    EXPECT_EQ(c.LabelMemTotal, "90% used of the total memory at 2,097,152 KB");
    EXPECT_EQ(c.ProgressBarP, 90);
}

TEST(AboutBox, TheLinesAndTheLink) {
    pv::FormAboutControls c;
    FakeAboutHost host;
    pv::AboutBox box(c, host);
    EXPECT_EQ(c.LabelDis, "Distributed by Kelvory");
    EXPECT_EQ(c.LabelUrl, "https://www.kelvory.example/pivora");
    box.LabelUrlClick();
    EXPECT_EQ(host.opened, (std::vector<std::string>{"https://www.kelvory.example/pivora"}));
}

}  // namespace
}  // namespace pvtest
