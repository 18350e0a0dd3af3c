// Error log, application messages, the exception handler and the sound player,
// with recording fakes for the system, the message boxes and the sound device.

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "app/ErrorReporting.h"
#include "common/support_fs.h"
#include "support/UkvSysExceptions.h"

namespace {

struct FakeSystem : pv::ISystem {
    std::string date = "08.12.2026";
    std::string time = "09:05";
    uint32_t lastError = 2;
    std::string ShortDate() override { return date; }
    std::string ShortTime() override { return time; }
    uint32_t LastError() override { return lastError; }
    std::string ErrorText(uint32_t code) override {
        if (code == 2) return "The system cannot find the file specified.\r\n";
        if (code == 5) return "Access is denied. . \t\r\n";
        if (code == 1400) return "Invalid window handle.\r\n";
        return "";
    }
    std::string WindowsDirectory() override { return "C:\\WINDOWS"; }
    pv::LocalTime Now() override { return {2026, 12, 8, 9, 5, 0}; }
};

struct RecordingUI : pv::IMessageUI {
    explicit RecordingUI(FakeSystem& s) : system(s) {}
    FakeSystem& system;
    std::vector<std::string> events;
    int answer = pv::kMrYes;
    std::function<void()> whileShown;  // runs as if from the box's message loop
    void PlainBox(const std::string& caption, const std::string& text) override {
        events.push_back("box[" + caption + "] " + text);
        if (whileShown) {
            auto f = whileShown;
            whileShown = nullptr;
            f();
        }
        system.lastError = 1400;  // showing a window leaves its own last error behind
    }
    int Dialog(const std::string& caption, const std::string& text, pv::DialogType type, unsigned buttons,
               int helpContext) override {
        events.push_back("dialog[" + caption + "] " + text + " type=" + std::to_string(static_cast<int>(type)) +
                         " buttons=" + std::to_string(buttons) + " help=" + std::to_string(helpContext));
        return answer;
    }
};

struct FakeSound : pv::ISoundDevice {
    bool openOk = true, playOk = true, throwOnOpen = false;
    std::vector<std::string> calls;
    bool Open(const std::string& path) override {
        calls.push_back("open " + path);
        if (throwOnOpen) throw std::runtime_error("MCI error");
        return openOk;
    }
    bool Play() override {
        calls.push_back("play");
        return playOk;
    }
    void Close() override { calls.push_back("close"); }
};

class ErrorReportingTest : public ::testing::Test {
protected:
    pvtest::SupportFsEnv env;
    FakeSystem system;
    RecordingUI ui{system};
    FakeSound sound;
    std::string dataDir = env.Root();
    int terminations = 0;
    std::vector<std::string>* order = &ui.events;
    pv::ErrorReporting reporting{pv::ErrorReportingDeps{
        env.Fs(), system, ui, sound, [this] { return dataDir; }, [] { return std::string("Kelvory Pivora"); },
        [this] {
            ++terminations;
            order->push_back("terminate");
        }}};

    std::string Log() { return env.Read(dataDir + "errorlog.txt"); }
    std::string LogPathBox() { return "box[Kelvory Pivora] " + dataDir + "errorlog.txt"; }
};

}  // namespace

TEST_F(ErrorReportingTest, FirstLineCreatesTheLog) {
    reporting.WriteErrorLog("Something failed");
    EXPECT_EQ(Log(),
              "08.12.2026 - 09:05: Pivora: Something failed. Last Win32 Error (2): "
              "The system cannot find the file specified.\r\n");
    EXPECT_EQ(ui.events, std::vector<std::string>{LogPathBox()});
}

TEST_F(ErrorReportingTest, LinesAreAppended) {
    ASSERT_TRUE(env.MakeFile(dataDir + "errorlog.txt", "earlier line\r\n"));
    reporting.WriteErrorLog("one");
    system.lastError = 5;
    reporting.WriteErrorLog("two");
    EXPECT_EQ(Log(),
              "earlier line\r\n"
              "08.12.2026 - 09:05: Pivora: one. Last Win32 Error (2): The system cannot find the file specified.\r\n"
              "08.12.2026 - 09:05: Pivora: two. Last Win32 Error (5): Access is denied.\r\n");
}

TEST_F(ErrorReportingTest, LineShapeForOddSystemTexts) {
    struct Case {
        std::string time;
        uint32_t code;
        std::string expected;
    } cases[] = {
        {"09:05", 1400, "08.12.2026 - 09:05: Pivora: m. Last Win32 Error (1400): Invalid window handle.\r\n"},
        {"9:05 AM", 0, "08.12.2026 - 9:05 AM: Pivora: m. Last Win32 Error (0): .\r\n"},
        {"PM 10:15", 2, "08.12.2026 - PM 10:15: Pivora: m. Last Win32 Error (2): The system cannot find the file specified.\r\n"},
        {"23:59", 5, "08.12.2026 - 23:59: Pivora: m. Last Win32 Error (5): Access is denied.\r\n"},
        {"1:2", 4294967295u, "08.12.2026 - 1:2: Pivora: m. Last Win32 Error (4294967295): .\r\n"},
    };
    for (const auto& c : cases) {
        system.time = c.time;
        EXPECT_EQ(reporting.ComposeLogLine("m", c.code), c.expected) << c.time;
    }
}

TEST_F(ErrorReportingTest, TheErrorBeforeTheLogBoxIsTheOneLogged) {
    system.lastError = 5;
    reporting.WriteErrorLog("x");
    EXPECT_NE(Log().find("Last Win32 Error (5): Access is denied."), std::string::npos) << Log();
}

TEST_F(ErrorReportingTest, AnUnwritableLogRaisesAnInputOutputError) {
    dataDir = env.Root() + "no such dir\\";
    EXPECT_THROW(reporting.WriteErrorLog("x"), pv::EInOutError);
    EXPECT_EQ(ui.events.size(), 1u);  // the path was shown first
}

TEST_F(ErrorReportingTest, AnExistingLogThatRefusesTheLineIsNotTruncated) {
    ASSERT_TRUE(env.MakeDir(dataDir + "errorlog.txt"));  // cannot be appended to, nor replaced
    EXPECT_THROW(reporting.WriteErrorLog("x"), pv::EInOutError);
    EXPECT_TRUE(env.Fs().Attributes(dataDir + "errorlog.txt") & pv::kAttrDirectory);
}

TEST_F(ErrorReportingTest, ShowAppMessageModes) {
    reporting.MessageTable[1] = "An exception occurred.";
    reporting.MessageTable[3] = "Restore the backup?";
    EXPECT_EQ(reporting.ShowAppMessage(0, "\"C:\\x.exe\" not found.", pv::kMsgPlain), 1);
    EXPECT_EQ(reporting.ShowAppMessage(1, "ignored", pv::kMsgPlain), 1);
    ui.answer = pv::kMrNo;
    EXPECT_EQ(reporting.ShowAppMessage(3, "", pv::kMsgDialog, pv::DialogType::Warning,
                                       pv::kBtnYes | pv::kBtnNo | pv::kBtnCancel, 0),
              pv::kMrNo);
    ui.answer = pv::kMrCancel;
    EXPECT_EQ(reporting.ShowAppMessage(0, "custom", pv::kMsgDialog, pv::DialogType::Custom, pv::kBtnOK, 7),
              pv::kMrCancel);
    for (int mode : {2, -1, 99}) EXPECT_EQ(reporting.ShowAppMessage(1, "x", mode), 1);
    EXPECT_EQ(reporting.ShowAppMessage(42, "ignored", pv::kMsgPlain), 1);  // no such entry: empty text
    EXPECT_EQ(ui.events, (std::vector<std::string>{
                             "box[Kelvory Pivora] \"C:\\x.exe\" not found.",
                             "box[Kelvory Pivora] An exception occurred.",
                             "dialog[Warning] Restore the backup? type=0 buttons=11 help=0",
                             "dialog[Kelvory Pivora] custom type=4 buttons=4 help=7",
                             "box[Kelvory Pivora] ",
                         }));
}

TEST_F(ErrorReportingTest, ExceptionWithASenderIsLoggedNoticedAndEndsTheProgram) {
    reporting.MessageTable[1] = "Pivora has to close.";
    std::runtime_error e("List index out of bounds (3)");
    reporting.AEGeneralException("BitBtnSave", &e);
    EXPECT_NE(Log().find(": Pivora: Exception raised (Sender was: BitBtnSave): List index out of bounds (3). Last "
                         "Win32 Error ("),
              std::string::npos)
        << Log();
    EXPECT_EQ(ui.events,
              (std::vector<std::string>{LogPathBox(), "box[Kelvory Pivora] Pivora has to close.", "terminate"}));
    EXPECT_EQ(terminations, 1);
}

TEST_F(ErrorReportingTest, ExceptionWithoutASenderUsesTheUndeterminedForm) {
    std::runtime_error e("boom");
    for (const char* sender : {static_cast<const char*>(nullptr), ""}) {
        reporting.AEGeneralException(sender, &e);
    }
    const std::string line = "Exception raised (Sender Couldn't be determined): boom. Last Win32 Error (";
    const std::string log = Log();
    size_t first = log.find(line);
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_NE(log.find(line, first + 1), std::string::npos) << log;
    EXPECT_EQ(log.find("Sender was"), std::string::npos);
    EXPECT_EQ(terminations, 2);
}

TEST_F(ErrorReportingTest, ExceptionOfAnUnknownKind) {
    reporting.AEGeneralException("TimerDrag", nullptr);
    EXPECT_NE(Log().find("Exception raised (Sender was: TimerDrag): Unknown exception."), std::string::npos) << Log();
}

TEST_F(ErrorReportingTest, WhenTheLogCannotBeWrittenTheUserIsStillToldAndTheProgramEnds) {
    dataDir = env.Root() + "missing\\";
    reporting.MessageTable[1] = "notice";
    std::runtime_error e("boom");
    reporting.AEGeneralException("FormItems", &e);  // must not throw
    const std::string box = "box[Kelvory Pivora] " + dataDir + "errorlog.txt";
    // Both log attempts show the path; then the notice; then the end.
    EXPECT_EQ(ui.events, (std::vector<std::string>{box, box, "box[Kelvory Pivora] notice", "terminate"}));
}

TEST_F(ErrorReportingTest, ATerminateThatThrowsDoesNotEscape) {
    std::function<std::string()> dir = [this] { return dataDir; };
    std::function<std::string()> title = [] { return std::string("T"); };
    std::function<void()> terminate = [] { throw std::runtime_error("late"); };
    pv::ErrorReporting r{pv::ErrorReportingDeps{env.Fs(), system, ui, sound, dir, title, terminate}};
    r.MessageTable[1] = "notice";
    std::runtime_error e("boom");
    r.AEGeneralException("X", &e);  // the throwing terminate must stay inside
    // The user was still told, and the log line is there.
    ASSERT_FALSE(ui.events.empty());
    EXPECT_EQ(ui.events.back(), "box[T] notice");
    std::string log;
    ASSERT_TRUE(env.Fs().ReadAll(dataDir + "errorlog.txt", log));
    EXPECT_NE(log.find("boom"), std::string::npos);
}

TEST_F(ErrorReportingTest, AnExceptionDuringTheReportOnlyRepeatsTheTermination) {
    reporting.MessageTable[1] = "notice";
    std::runtime_error first("first"), second("second");
    ui.whileShown = [&] { reporting.AEGeneralException("TimerStatus", &second); };
    reporting.AEGeneralException("BitBtnSave", &first);
    EXPECT_EQ(ui.events, (std::vector<std::string>{LogPathBox(), "terminate", "box[Kelvory Pivora] notice",
                                                   "terminate"}));
    EXPECT_EQ(Log().find("second"), std::string::npos);
    // Once the first report is over, a later exception is reported in full.
    reporting.AEGeneralException("BitBtnSave", &second);
    EXPECT_NE(Log().find("(Sender was: BitBtnSave): second."), std::string::npos) << Log();
}

TEST_F(ErrorReportingTest, SoundsFromTheWindowsDirectory) {
    reporting.PlaySoundFile("media\\chimes.wav", false);
    EXPECT_EQ(sound.calls, (std::vector<std::string>{"open C:\\WINDOWS\\media\\chimes.wav", "play"}));
    EXPECT_TRUE(ui.events.empty());
    EXPECT_EQ(Log(), "<missing>");
}

TEST_F(ErrorReportingTest, AMissingSoundIsLoggedWithItsFullPath) {
    struct Case {
        std::string name;
        bool absolute;
        bool openOk, playOk, throws;
        std::string logged;
    } cases[] = {
        {"media\\chord.wav", false, false, true, false, "Can't play \"C:\\WINDOWS\\media\\chord.wav\""},
        {"media\\chord.wav", false, true, false, false, "Can't play \"C:\\WINDOWS\\media\\chord.wav\""},
        {"D:\\s\\x.wav", true, false, true, false, "Can't play \"D:\\s\\x.wav\""},
        {"rel.wav", true, true, true, true, "Can't play \"rel.wav\""},
    };
    for (const auto& c : cases) {
        sound.openOk = c.openOk;
        sound.playOk = c.playOk;
        sound.throwOnOpen = c.throws;
        ui.events.clear();
        env.Fs().RemoveFile(dataDir + "errorlog.txt");
        reporting.PlaySoundFile(c.name, c.absolute);
        EXPECT_NE(Log().find(": Pivora: " + c.logged + ". Last Win32 Error ("), std::string::npos) << Log();
        EXPECT_EQ(ui.events, std::vector<std::string>{LogPathBox()});
    }
}

TEST_F(ErrorReportingTest, ASoundThatCannotEvenBeLoggedIsIgnored) {
    dataDir = env.Root() + "missing\\";
    sound.openOk = false;
    reporting.PlaySoundFile("media\\chord.wav", false);  // must not throw
    EXPECT_EQ(terminations, 0);
}
