#pragma once
// Test doubles for the settings code: a scratch directory with an IFileSystem
// over it (POSIX natively, Win32 under Wine), an in-memory registry, scripted
// message boxes, special folders, the hot key, the message pump and the windows.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "support/Platform.h"

namespace pvtest {

// The non-blank lines of a text, trimmed: the shape of an INI file whatever its
// blank lines and line ends.
inline std::vector<std::string> IniShape(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        std::string line = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        size_t b = line.find_first_not_of(" \t\r");
        size_t e = line.find_last_not_of(" \t\r");
        if (b != std::string::npos) out.push_back(line.substr(b, e - b + 1));
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    return out;
}

// A scratch directory tree, removed with everything in it at destruction.
// Root() is a Windows path with a trailing backslash.
// Where a scratch directory lives: on the disk (POSIX files natively, Win32
// files under Wine), or in memory for tests that build stores by the hundred.
enum class Backing { Disk, Memory };

class ScratchDir {
public:
    explicit ScratchDir(Backing backing = Backing::Disk);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    pv::IFileSystem& Fs() { return *fs_; }
    const std::string& Root() const { return root_; }

    // Helpers on paths relative to Root() ("a\b.txt"); parents are created.
    void MakeDirs(const std::string& rel);
    void WriteFile(const std::string& rel, const std::string& contents);
    std::string ReadFile(const std::string& rel);  // "" when missing
    bool IsDir(const std::string& rel);
    bool IsFile(const std::string& rel);

private:
    std::unique_ptr<pv::IFileSystem> fs_;
    std::string root_;
    std::string host_;  // native: the host directory to remove
};

class MemoryRegistry : public pv::IRegistry {
public:
    bool ReadString(const std::string& subKey, const std::string& name, std::string& value) override;
    bool WriteString(const std::string& subKey, const std::string& name, const std::string& value) override;
    bool DeleteValue(const std::string& subKey, const std::string& name) override;

    std::map<std::string, std::string> values;  // "subkey\name" (lower case) -> value
    std::vector<std::string> log;               // "write name=value", "delete name"
};

// Answers dialogs from a script (kMrCancel when it runs dry) and records them.
class ScriptedMessageUI : public pv::IMessageUI {
public:
    void PlainBox(const std::string& caption, const std::string& text) override;
    int Dialog(const std::string& caption, const std::string& text, pv::DialogType type, unsigned buttons,
               int helpContext) override;

    struct Shown {
        std::string caption, text;
        pv::DialogType type;
        unsigned buttons;
    };
    std::vector<int> answers;
    std::vector<Shown> shown;
};

class FakeSystem : public pv::ISystem {
public:
    std::string ShortDate() override { return "01.01.2026"; }
    std::string LongTime() override { return "12:00:00"; }
    uint32_t LastError() override { return 0; }
    std::string ErrorText(uint32_t) override { return std::string(); }
    std::string WindowsDirectory() override { return "C:\\Windows"; }
    std::string SpecialFolderPath(int csidl) override;

    std::map<int, std::string> folders;  // CSIDL -> path without trailing backslash
};

class FakeHotKey : public pv::IHotKey {
public:
    int HotKey() override { return value; }
    void SetHotKey(int v) override {
        if (v == value) return;
        value = v;
        ++changes;
    }
    int value = pv::kDefaultHotKey;
    int changes = 0;
};

class CountingPump : public pv::IMessagePump {
public:
    void ProcessMessages() override { ++count; }
    int count = 0;
};

// The three windows as plain state, with a log of what was done to them.
class FakeAppWindows : public pv::IAppWindows {
public:
    FakeAppWindows();
    bool IsVisible(pv::AppWindow w) override { return win[Ix(w)].visible; }
    void Hide(pv::AppWindow w) override;
    void Show(pv::AppWindow w) override;
    std::string TitleText(pv::AppWindow w) override { return win[Ix(w)].title; }
    void SetCaption(pv::AppWindow w, const std::string& caption) override { win[Ix(w)].caption = caption; }
    pv::WindowFont GetFont(pv::AppWindow w) override { return win[Ix(w)].font; }
    void SetFont(pv::AppWindow w, const pv::WindowFont& font) override { win[Ix(w)].font = font; }
    pv::WindowFont SystemMenuFont() override { return menuFont; }
    void BindCaptionPainting(pv::AppWindow w, bool bind) override { win[Ix(w)].captionPainting = bind; }
    void BindApplicationActivate(bool bind) override { appActivateBound = bind; }
    void SetApplicationExStyle(uint32_t s) override {
        exStyle = s;
        log.push_back("exstyle " + std::to_string(s));
    }
    void SetLabelUrlFont(const std::string& name, int size) override { labelUrl = {name, size, false}; }
    void ConfigControlsChanged() override { ++controlsPushed; }

    static int Ix(pv::AppWindow w) { return static_cast<int>(w); }

    struct Win {
        bool visible = false;
        std::string title, caption;
        pv::WindowFont font{"MS Sans Serif", 8, false};
        bool captionPainting = false;
    };
    Win win[pv::kAppWindowCount];
    pv::WindowFont menuFont{"Tahoma", 8, false};
    pv::WindowFont labelUrl;
    bool appActivateBound = false;
    uint32_t exStyle = 0xFFFFFFFFu;
    int controlsPushed = 0;
    std::vector<std::string> log;
};

}  // namespace pvtest
