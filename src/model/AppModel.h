#pragma once
// The application model: what the program knows for the whole run. WinMain owns
// the one instance and hands it by reference to every window and to the
// start-up, rebuild and close steps; nothing reaches it through a global.
//
// It holds the process-wide values, the settings in force, and the data the
// windows share: the tray menu and its template, the three trees, the item
// table and the picture bookkeeping. The windows mirror these; they keep no
// second copy.

#include <cstdint>
#include <map>
#include <string>

#include "model/ItemTable.h"
#include "model/MenuModel.h"
#include "model/Pictures.h"
#include "model/TreeModel.h"
#include "support/TextCodec.h"

namespace pv {

inline constexpr const char* kProductTitle = "Kelvory Pivora";
inline constexpr const char* kProgramVersion = "1.46";
inline constexpr const char* kMakerWebAddress = "https://www.kelvory.example/pivora";
inline constexpr const char* kSupportAddress = "support@kelvory.example";

// Window title texts, kept apart from the window captions.
struct FormTitles {
    std::string items;   // "... - Manage Items"
    std::string config;  // "... - Preferences"
    std::string about;   // "... - About"
};

enum FontStyleBits : unsigned { kFontStyleBold = 1u };

// The settings in force, as pivora.ini gave them (with their defaults).
struct SettingsValues {
    bool TaskBar = true;
    bool WindowsDraw = true;
    bool DrawMenuBar = false;
    std::string FontName = "Verdana";
    int FontSize = 8;
    bool FontStyleBold = false;
    unsigned FontStyle = 0;  // kFontStyleBold when FontStyleBold
};

struct AppModel {
    AppModel() {
        PMItems.name = "PMItems";
        PMBasic.name = "PMBasic";
    }
    AppModel(const AppModel&) = delete;
    AppModel& operator=(const AppModel&) = delete;

    // ---- process-wide values
    std::string ProgramDir;  // executable's directory, trailing backslash
    std::string ExeName;     // executable's file name
    std::string DataDir;     // data directory, trailing backslash; final once the settings are read
    const std::string ProductTitle = kProductTitle;
    std::string ProgramVersion = kProgramVersion;
    uint8_t StartFlag = 0;   // 1 before the single-instance test, 0 when refused
    std::string SupportTail;
    // Entry 1 the exception notice, entry 3 the backup question.
    std::map<int, std::string> MessageTable;
    std::string HelpFile;
    std::string ApplicationTitle;
    FormTitles Titles;
    std::string VersionLabel;  // the about box's version line
    // How the store's index files are read and written (UTF-8 or the legacy
    // code page); unset, their bytes are the text.
    TextFileCodec TextFiles;

    // ---- settings
    SettingsValues settings;

    // ---- data the windows share
    PopupMenu PMItems;  // the tray menu
    PopupMenu PMBasic;  // its template: the program's own entries
    TreeModel TVItems;  // the manager's working tree
    TreeModel TVUndo;   // the undo copy
    TreeModel TVBasic;  // the program nodes every working tree starts with
    ItemTable Items;    // paths, parameters, extensions
    PictureBookkeeping PictureMarks;
    // ILAllPublicPM and ILAllPublicTV, owned by the manager window (or a test).
    IPictureLists* Pictures = nullptr;
};

}  // namespace pv
