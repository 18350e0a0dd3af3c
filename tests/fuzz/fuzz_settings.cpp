// Hand-edited pivora.ini and glc.ini, and the data-location layout around them
// (program directory C:\Prog\, documents C:\Docs, application data C:\AppData),
// laid out by a tree script, through LoadSettings, ApplyVisualSettings and
// SaveSettings. Load, save and load again must give the same settings and the
// same data directory, and a second save the same file; the menu must draw in
// the font read at every usual screen resolution.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/InitFinit.h"
#include "app/Settings.h"
#include "common/settings_fakes.h"
#include "fuzz_support.h"
#include "menu/MenuDraw.h"
#include "support/FileSystem_posix.h"
#include "support/IniProfile.h"
#include "support/UkvWinSysAPI.h"

namespace {

using pvfuzz::Fail;

class Measure : public pv::IMenuTextMeasure {
public:
    explicit Measure(int ppi) : ppi_(ppi) {}
    pv::TextExtent Extent(const pv::FontSpec& font, const std::string& text) override {
        if (font.height == INT_MIN) Fail("a font height that can be negated", std::to_string(font.height));
        const int h = font.height < 0 ? -font.height : font.height;
        return {static_cast<int>(text.size()) * 7, h > 1000 ? 1002 : h + 2};
    }
    int PixelsPerInch() override { return ppi_; }

private:
    int ppi_;
};

void DrawMenu(const pv::MenuDrawSettings& s) {
    pv::MenuEntry root;
    pv::MenuEntry* folder = root.Append();
    folder->caption = "Games";
    pv::MenuEntry* bar = folder->Append();
    bar->tag = pv::kTagSideBar;
    bar->caption = "Games";
    pv::MenuEntry* cap = folder->Append();
    cap->caption = "&Cap";
    cap->tag = pv::kTagCaptionedSeparator;
    cap->onDraw = pv::DrawHandler::SpeItemsRTDrawItem;
    pv::MenuEntry* off = folder->Append();
    off->caption = "Off";
    off->enabled = false;
    off->onDraw = pv::DrawHandler::NorItemsRTDrawItem;
    pv::MenuEntry* link = folder->Append();
    link->caption = "&Editor";
    link->imageIndex = 15;
    link->onDraw = pv::DrawHandler::NorItemsRTDrawItem;
    const pv::DrawRect rect{0, 19, 150, 38};
    for (int ppi : {96, 120, 144}) {
        Measure m(ppi);
        for (pv::MenuEntry* e : {folder, off, link}) {
            pv::NorItemsRTMeasureItem(*e, s, m);
            pv::NorItemsRTDrawItem(*e, rect, true, s, m);
            pv::NorItemsRTDrawItem(*e, rect, false, s, m);
        }
        pv::SpeItemsRTDrawItem(*cap, rect, s, m);
        if (pv::SideBarFont(s, ppi).height == INT_MIN) Fail("side-bar font height", "");
    }
}

struct Snapshot {
    std::string dataDir, fontName;
    bool taskBar, windowsDraw, drawMenuBar, bold, systray;
    int fontSize, hotKey;
    unsigned style;
    bool operator==(const Snapshot& o) const {
        return dataDir == o.dataDir && fontName == o.fontName && taskBar == o.taskBar &&
               windowsDraw == o.windowsDraw && drawMenuBar == o.drawMenuBar && bold == o.bold &&
               systray == o.systray && fontSize == o.fontSize && hotKey == o.hotKey && style == o.style;
    }
    std::string Text() const {
        return dataDir + " [" + fontName + "] size " + std::to_string(fontSize) + " taskbar " +
               std::to_string(taskBar) + " windowsdraw " + std::to_string(windowsDraw) + " menubar " +
               std::to_string(drawMenuBar) + " bold " + std::to_string(bold) + "/" + std::to_string(style) +
               " hotkey " + std::to_string(hotKey) + " systray " + std::to_string(systray);
    }
};

pvfuzz::Scratch& TheScratch() {
    static pvfuzz::Scratch scratch;
    return scratch;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pvfuzz::TreeScript script;
    if (!pvfuzz::ParseTreeScript(data, size, script) || !script.unreadable.empty()) return -1;
    pvfuzz::Scratch& scratch = TheScratch();
    scratch.Reset();
    if (!scratch.Build(script)) return -1;

    pv::PosixFileSystem fs(scratch.Host());
    pv::IniProfile profile(fs, pv::TextFileCodec(&pv::CodePage1252()));
    pvtest::MemoryRegistry registry;
    pvtest::FakeSystem system;
    system.folders[pv::kCsidlPersonal] = "C:\\Docs";
    system.folders[pv::kCsidlAppData] = "C:\\AppData";
    pvtest::ScriptedMessageUI ui;
    // The migration question: the script's answer every time it comes.
    const int answer = script.answer == "yes" ? pv::kMrYes : pv::kMrNo;
    ui.answers.assign(4, answer);
    pvtest::FakeHotKey hotKey;
    pvtest::CountingPump pump;
    pv::FormConfigControls config;
    config.CmBoxFontName.SetItems({"Arial", "Courier New", "Tahoma", "Verdana"});
    pvtest::FakeAppWindows windows;
    pv::AppModel model;
    model.ProgramDir = "C:\\Prog\\";
    model.ExeName = "pivora.exe";
    model.DataDir = model.ProgramDir;
    pv::Settings settings(pv::SettingsServices{profile, registry, fs, system, ui, hotKey, pump}, model, config);
    const pv::SettingsValues& v = model.settings;

    auto start = [&] {
        settings.LoadSettings();
        settings.ApplyVisualSettings(windows);
        return Snapshot{model.DataDir, v.FontName,    v.TaskBar,    v.WindowsDraw, v.DrawMenuBar,
                        v.FontStyleBold, config.ChkBxSystray.Checked, v.FontSize, hotKey.value, v.FontStyle};
    };
    auto file = [&] {
        std::string text;
        fs.ReadAll(model.DataDir + pv::kSettingsIniName, text);
        return text;
    };

    const Snapshot first = start();
    if (first.dataDir != model.ProgramDir && first.dataDir != "C:\\Docs\\Kelvory\\Pivora\\")
        Fail("the data directory is one of the two", first.dataDir);
    if (first.fontName.empty()) Fail("a font name", "");
    DrawMenu(settings.DrawSettings());

    settings.SaveSettings();
    const std::string saved = file();
    const Snapshot second = start();
    if (!(second == first)) Fail("load, save, load is a fixed point", first.Text() + "\n" + second.Text() + "\n" + saved);
    settings.SaveSettings();
    if (file() != saved) Fail("a second save writes the same file", saved + "\n----\n" + file());
    return 0;
}
