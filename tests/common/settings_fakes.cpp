#include "settings_fakes.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>

#include "support/Platform_win.h"
#else
#include <stdlib.h>

#include <filesystem>

#include "support/FileSystem_posix.h"
#endif

#include "memory_fs.h"
#include "support/UkvSysIO.h"

namespace pvtest {

namespace {

std::string LowerKey(const std::string& subKey, const std::string& name) {
    std::string k = subKey + "\\" + name;
    for (char& c : k) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return k;
}

}  // namespace

// ---------------------------------------------------------------- ScratchDir

ScratchDir::ScratchDir(Backing backing) {
    if (backing == Backing::Memory) {
        fs_ = std::make_unique<MemoryFileSystem>();
        root_ = "C:\\scratch\\";
        fs_->MakeDir(root_);
        return;
    }
#ifdef _WIN32
    static int counter = 0;
    char tmp[MAX_PATH + 1] = {0};
    GetTempPathA(MAX_PATH, tmp);
    for (;;) {
        std::string dir = pv::AddTrailingBackslash(tmp) + "pvs" + std::to_string(GetCurrentProcessId()) + "_" +
                          std::to_string(++counter);
        if (CreateDirectoryA(dir.c_str(), nullptr)) {
            root_ = dir + "\\";
            break;
        }
        if (counter > 100000) throw std::runtime_error("no scratch directory");
    }
    fs_ = std::make_unique<pv::WinFileSystem>();
#else
    char pattern[] = "/tmp/pvsettingsXXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) throw std::runtime_error("no scratch directory");
    host_ = made;
    std::filesystem::create_directories(host_ + "/C/scratch");
    fs_ = std::make_unique<pv::PosixFileSystem>(host_);
    root_ = "C:\\scratch\\";
#endif
}

ScratchDir::~ScratchDir() {
    if (dynamic_cast<MemoryFileSystem*>(fs_.get())) return;
#ifdef _WIN32
    pv::DeleteDirectoryTree(*fs_, root_);
#else
    std::error_code ec;
    std::filesystem::remove_all(host_, ec);
#endif
}

void ScratchDir::MakeDirs(const std::string& rel) {
    std::string path = root_;
    size_t start = 0;
    while (start <= rel.size()) {
        size_t cut = rel.find('\\', start);
        std::string part = rel.substr(start, cut == std::string::npos ? std::string::npos : cut - start);
        if (!part.empty()) {
            path += part;
            fs_->MakeDir(path);
            path += "\\";
        }
        if (cut == std::string::npos) break;
        start = cut + 1;
    }
}

void ScratchDir::WriteFile(const std::string& rel, const std::string& contents) {
    size_t cut = rel.find_last_of('\\');
    if (cut != std::string::npos) MakeDirs(rel.substr(0, cut));
    if (!fs_->WriteAll(root_ + rel, contents)) throw std::runtime_error("cannot write " + rel);
}

std::string ScratchDir::ReadFile(const std::string& rel) {
    std::string s;
    fs_->ReadAll(root_ + rel, s);
    return s;
}

bool ScratchDir::IsDir(const std::string& rel) { return pv::DirectoryExists(*fs_, root_ + rel); }
bool ScratchDir::IsFile(const std::string& rel) { return pv::FileExists(*fs_, root_ + rel); }

// ---------------------------------------------------------------- MemoryRegistry

bool MemoryRegistry::ReadString(const std::string& subKey, const std::string& name, std::string& value) {
    auto it = values.find(LowerKey(subKey, name));
    if (it == values.end()) return false;
    value = it->second;
    return true;
}

bool MemoryRegistry::WriteString(const std::string& subKey, const std::string& name, const std::string& value) {
    values[LowerKey(subKey, name)] = value;
    log.push_back("write " + name + "=" + value);
    return true;
}

bool MemoryRegistry::DeleteValue(const std::string& subKey, const std::string& name) {
    log.push_back("delete " + name);
    return values.erase(LowerKey(subKey, name)) > 0;
}

// ---------------------------------------------------------------- ScriptedMessageUI

void ScriptedMessageUI::PlainBox(const std::string& caption, const std::string& text) {
    shown.push_back({caption, text, pv::DialogType::Custom, pv::kBtnOK});
}

int ScriptedMessageUI::Dialog(const std::string& caption, const std::string& text, pv::DialogType type,
                              unsigned buttons, int) {
    shown.push_back({caption, text, type, buttons});
    if (answers.empty()) return pv::kMrCancel;
    int a = answers.front();
    answers.erase(answers.begin());
    return a;
}

// ---------------------------------------------------------------- FakeSystem

std::string FakeSystem::SpecialFolderPath(int csidl) {
    auto it = folders.find(csidl);
    return it == folders.end() ? std::string() : it->second;
}

// ---------------------------------------------------------------- FakeAppWindows

FakeAppWindows::FakeAppWindows() {
    win[Ix(pv::AppWindow::FormConfig)].title = "Kelvory Pivora - Preferences";
    win[Ix(pv::AppWindow::FormItems)].title = "Kelvory Pivora - Manage Items";
    win[Ix(pv::AppWindow::FormAbout)].title = "Kelvory Pivora - About";
}

void FakeAppWindows::Hide(pv::AppWindow w) {
    win[Ix(w)].visible = false;
    log.push_back("hide " + std::to_string(Ix(w)));
}

void FakeAppWindows::Show(pv::AppWindow w) {
    win[Ix(w)].visible = true;
    log.push_back("show " + std::to_string(Ix(w)));
}

}  // namespace pvtest
