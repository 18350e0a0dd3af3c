// The error log and the sound player on the real system services: locale date
// and time, GetLastError, FormatMessage, GetWindowsDirectory and MCI.

#include <windows.h>

#include <gtest/gtest.h>

#include <regex>

#include "app/ErrorReporting.h"
#include "common/support_fs.h"
#include "support/Platform_win.h"

namespace {

struct SilentUI : pv::IMessageUI {
    std::vector<std::string> boxes;
    void PlainBox(const std::string&, const std::string& text) override { boxes.push_back(text); }
    int Dialog(const std::string&, const std::string& text, pv::DialogType, unsigned, int) override {
        boxes.push_back(text);
        return pv::kMrOk;
    }
};

std::string SystemText(DWORD code) {
    char buffer[256] = {0};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                             sizeof buffer, nullptr);
    std::string s(buffer, n);
    while (!s.empty() && (static_cast<unsigned char>(s.back()) <= ' ' || s.back() == '.')) s.pop_back();
    return s;
}

std::string Today() {
    char buffer[256] = {0};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer, sizeof buffer);
    return buffer;
}

// A short valid PCM wave file: 8 kHz, 8 bit, mono, 800 samples of silence.
std::string TinyWave() {
    auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    const uint32_t samples = 800;
    std::string w = "RIFF" + u32(36 + samples) + "WAVE";
    w += "fmt " + u32(16) + u16(1) + u16(1) + u32(8000) + u32(8000) + u16(1) + u16(8);
    w += "data" + u32(samples) + std::string(samples, char(0x80));
    return w;
}

class WinErrorLogTest : public ::testing::Test {
protected:
    pvtest::SupportFsEnv env;
    pv::WinSystem system;
    SilentUI ui;
    pv::MciSoundDevice sound;
    pv::ErrorReporting reporting{pv::ErrorReportingDeps{env.Fs(), system, ui, sound,
                                                        [this] { return env.Root(); },
                                                        [] { return std::string("Kelvory Pivora"); }, [] {}}};
    std::string LogPath() { return env.Root() + "errorlog.txt"; }
};

}  // namespace

TEST_F(WinErrorLogTest, LineShapeWithTheRealSystem) {
    const std::string date = Today();
    SetLastError(ERROR_ACCESS_DENIED);
    reporting.WriteErrorLog("Cannot save C:\\x\\shortcuts.txt");
    const std::string log = env.Read(LogPath());
    const std::regex shape(R"(^(.+) - (.+?): Pivora: Cannot save C:\\x\\shortcuts\.txt\. Last Win32 Error \((\d+)\): (.*)\.\r\n$)");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(log, m, shape)) << log;
    EXPECT_EQ(m[1].str(), date);
    EXPECT_TRUE(std::regex_match(m[2].str(), std::regex(R"(\D*\d{1,2}\D\d{2}\D*)"))) << m[2].str();
    EXPECT_EQ(m[2].str().find("::"), std::string::npos) << m[2].str();
    EXPECT_EQ(m[3].str(), "5");
    EXPECT_EQ(m[4].str(), SystemText(ERROR_ACCESS_DENIED));
    EXPECT_NE(m[4].str(), "");
    EXPECT_EQ(ui.boxes, std::vector<std::string>{LogPath()});
    RecordProperty("logLine", log.substr(0, log.size() - 2));
}

// The user's time format for the length of a test, then back as it was.
class UserTimeFormat {
public:
    explicit UserTimeFormat(const char* format) {
        char old[80] = "";
        had_ = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, old, sizeof old) > 0;
        old_ = old;
        set_ = SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, format) != FALSE;
    }
    ~UserTimeFormat() {
        if (set_ && had_) SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, old_.c_str());
    }
    bool Set() const { return set_; }

private:
    bool had_ = false, set_ = false;
    std::string old_;
};

std::string HoursAndMinutesNow() {
    char buffer[80] = "";
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, buffer, sizeof buffer);
    return buffer;
}

// Hours and minutes as the locale writes them, whatever the format puts
// first; never the first five characters of the long time.
TEST_F(WinErrorLogTest, TheTimeIsHoursAndMinutesInTheLocalesFormat) {
    for (const char* format : {"tt h:mm:ss", "h:mm:ss tt", "HH.mm.ss"}) {
        UserTimeFormat f(format);
        ASSERT_TRUE(f.Set()) << format;
        const std::string before = HoursAndMinutesNow();
        DeleteFileA(LogPath().c_str());
        reporting.WriteErrorLog("x");
        const std::string after = HoursAndMinutesNow();
        const std::string log = env.Read(LogPath());
        const size_t from = log.find(" - ") + 3;
        const std::string time = log.substr(from, log.find(": Pivora:") - from);
        EXPECT_TRUE(time == before || time == after) << format << ": " << log << " (expected " << before << ")";
        EXPECT_EQ(time.find("::"), std::string::npos) << time;
    }
}

TEST_F(WinErrorLogTest, LinesAreAppendedToAnExistingLog) {
    ASSERT_TRUE(env.MakeFile(LogPath(), "01.01.2020 - 10:00: Pivora: old. Last Win32 Error (0): done.\r\n"));
    SetLastError(0);
    reporting.WriteErrorLog("first");
    SetLastError(ERROR_FILE_NOT_FOUND);
    reporting.WriteErrorLog("second");
    const std::string log = env.Read(LogPath());
    const std::regex shape(
        "01\\.01\\.2020 - 10:00: Pivora: old\\. Last Win32 Error \\(0\\): done\\.\r\n"
        ".+ - .+?: Pivora: first\\. Last Win32 Error \\(0\\): [^\r\n]*\\.\r\n"
        ".+ - .+?: Pivora: second\\. Last Win32 Error \\(2\\): [^\r\n]+\\.\r\n");
    EXPECT_TRUE(std::regex_match(log, shape)) << log;
}

TEST_F(WinErrorLogTest, AMissingSoundWritesCantPlayWithTheFullPath) {
    const std::string windows = system.WindowsDirectory();
    ASSERT_NE(windows, "");
    reporting.PlaySoundFile("media\\pivora-no-such-sound.wav", false);
    const std::string log = env.Read(LogPath());
    const std::string expected =
        ": Pivora: Can't play \"" + windows + "\\media\\pivora-no-such-sound.wav\". Last Win32 Error (";
    EXPECT_NE(log.find(expected), std::string::npos) << log;
    EXPECT_EQ(ui.boxes, std::vector<std::string>{LogPath()});
}

TEST_F(WinErrorLogTest, AnAbsoluteMissingSoundIsNamedAsGiven) {
    reporting.PlaySoundFile("nowhere.wav", true);
    EXPECT_NE(env.Read(LogPath()).find(": Pivora: Can't play \"nowhere.wav\". Last Win32 Error ("), std::string::npos);
}

TEST_F(WinErrorLogTest, APlayableSoundLogsNothing) {
    const std::string wave = env.Root() + "tiny.wav";
    ASSERT_TRUE(env.MakeFile(wave, TinyWave()));
    reporting.PlaySoundFile(wave, true);
    reporting.PlaySoundFile(wave, true);  // the device from before is closed and opened again
    EXPECT_EQ(env.Read(LogPath()), "<missing>");
    EXPECT_TRUE(ui.boxes.empty());
}
