#pragma once
// Turning the item store on disk into the working state: the store check with
// its backup question, the extension scan and picture preparation, and the one
// pass that builds the manager tree TVItems, the item table and the tray menu
// PMItems side by side, entry by entry.
//
// Every level is read whole and walked with an explicit stack, so that deep
// stores cannot exhaust the call stack; each entry costs a constant amount of
// work (no searches among siblings), so a load is linear in the store's size.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/MenuModel.h"
#include "model/ItemTable.h"
#include "model/Pictures.h"
#include "store/StoreFormat.h"
#include "model/TreeModel.h"
#include "support/Platform.h"
#include "support/TextCodec.h"

namespace pv {

// A line of an index file that yielded no entry.
struct SkippedLine {
    std::string indexFile;  // the index file's full path
    int lineNumber = 0;     // from 1; 0 for the whole file
    std::string text;
    SkipReason reason = SkipReason::None;
};

// Every level's index file.
inline constexpr const char* kIndexName = "shortcuts.txt";

// An index file's text, decoded as codec says; false when it cannot be read.
bool ReadIndexText(IFileSystem& fs, const TextFileCodec& codec, const std::string& file, std::string& text);

// What the extension scan has learnt of the store, kept for the load that
// follows, so that neither reads a file or asks for a folder twice: the index
// files' text by full path (the load takes them out) and the folders'
// attributes by path. The load empties it; nothing changes the store between
// the two.
struct StoreCache {
    struct IndexText {
        std::unique_ptr<std::string> text;   // where moving the entry does not move it
        std::vector<std::string_view> lines; // views into text
    };
    std::unordered_map<std::string, IndexText> indexFiles;
    std::unordered_map<std::string, uint32_t> folderAttributes;
    void Clear() {
        indexFiles.clear();
        folderAttributes.clear();
    }
};

// What the store check and the load work on. The references are the manager
// form's own objects; the callbacks are optional.
struct StoreContext {
    StoreContext(IFileSystem& fs_, IPictureLists& lists_, TreeModel& tvItems_, TreeModel& tvUndo_,
                 PopupMenu& pmItems_, ItemTable& table_, PictureBookkeeping& pictures_)
        : fs(fs_), lists(lists_), tvItems(tvItems_), tvUndo(tvUndo_), pmItems(pmItems_), table(table_),
          pictures(pictures_) {}

    IFileSystem& fs;
    IPictureLists& lists;
    TreeModel& tvItems;
    TreeModel& tvUndo;
    PopupMenu& pmItems;
    ItemTable& table;
    PictureBookkeeping& pictures;

    std::string dataDir;       // DataDir, ending with a backslash
    bool drawMenuBar = false;  // folders get a hidden side-bar entry first

    // Asks BackupQuestion (warning; Yes, No, Cancel; help context 0) and returns
    // the ModalResult. Unset: the question counts as cancelled.
    std::function<int()> askBackupQuestion;
    // Writes one line to the error log.
    std::function<void(const std::string&)> writeErrorLog;
    // Shows the user a plain message.
    std::function<void(const std::string&)> tellUser;
    // Told about every line the load skips (tools and tests).
    std::function<void(const SkippedLine&)> onSkipped;
    // Told how long each phase took, in milliseconds: "extension scan", "icon
    // queries", "reading index files", "item icons", "building tree and menu".
    // Unset: nothing is timed.
    std::function<void(const char* phase, double ms)> timing;
    // Where the scan leaves what it learnt for the load; none: each asks for itself.
    StoreCache* cache = nullptr;
    // Threads that read index files ahead during the extension scan, with fs
    // from several threads at once; 0 reads them one after the other.
    int readers = 0;
    // How index files are read: their bytes as UTF-8 or in the legacy code page.
    TextFileCodec textFiles;
    // Whether the load copies the tree into tvUndo; false leaves tvUndo empty
    // for a caller that copies it when the copy is first needed.
    bool copyUndo = true;
};

enum class StoreCheckResult {
    NoBackup,       // no item_bak: the store was prepared
    Restored,       // Yes: item_bak became shortcuts
    BackupDeleted,  // No: item_bak removed
    Cancelled,      // Cancel or closed: nothing touched, scan and pictures skipped
};

// The store check: the backup question when D + "item_bak" exists, the root
// directory made when missing, then the extension scan and the picture
// preparation when the root index file exists.
StoreCheckResult CheckItemStore(StoreContext& c);

// The extension scan of one level and all the folders below it: every other
// link's extension field joins the extension list once. Unreadable index files,
// folder names that lead nowhere and folders that are directory links back into
// a level the scan is in are passed over, as the load passes them over.
void ScanExtensions(StoreContext& c, const std::string& level);

// The picture preparation: "exe", "bat", "cmd", "wsf", "wsh" join the extension
// list, and every extension's shell icon is fetched through an empty file
// D + "TempFile." + extension and inserted at break picture 3.
void PreparePictures(StoreContext& c);

struct LoadReport {
    int entries = 0;  // records that became entries
    std::vector<SkippedLine> skipped;
    std::vector<std::string> unreadableIndexFiles;
};

// Builds TVItems (between its top node and the program nodes), the item table and
// PMItems (above the system entries) from the store, then copies TVItems into
// TVUndo. A folder whose directory is a link (junction or symbolic link) is read
// like any other, unless it leads back into a level the reader is in: then the
// record is skipped (SkipReason::FolderLinksBack) with all it would have held. An index file that exists but cannot be read is logged, the user is
// told once, and the rest of the store is loaded; its path is kept in
// ItemTable::unreadableIndexFiles so that saving can refuse to write over it.
LoadReport LoadItemStore(StoreContext& c);

// An item icon into both image lists at break picture 5: the target's shell icon
// when the target is an existing file, else the saved bitmap or icon file.
// Returns the picture's index.
int LoadItemIcon(StoreContext& c, const std::string& iconFile, const std::string& targetPath);

// The picture a program link or other link gets, as the reader chooses it.
int ProgramLinkPicture(StoreContext& c, const std::string& level, const StoreRecord& rec);
int OtherLinkPicture(StoreContext& c, const StoreRecord& rec);

// Texts of the unreadable-index report.
std::string UnreadableIndexLogText(const std::vector<std::string>& files);
std::string UnreadableIndexUserText(const std::vector<std::string>& files);

// The tree nodes and menu entries the reader makes; also used by the manager.
extern const char* const kPlainSeparatorText;  // "---------------"
std::string CaptionedSeparatorText(const std::string& caption);  // "--" + caption + "--"

}  // namespace pv
