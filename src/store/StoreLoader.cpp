#include "store/StoreLoader.h"

#include <chrono>
#include <memory>
#include <string_view>
#include <utility>

#include "store/Backups.h"
#include "store/IndexPrefetch.h"
#include "support/UkvSysIO.h"

namespace pv {

const char* const kPlainSeparatorText = "---------------";

std::string CaptionedSeparatorText(const std::string& caption) { return "--" + caption + "--"; }

bool ReadIndexText(IFileSystem& fs, const TextFileCodec& codec, const std::string& file, std::string& text) {
    if (!fs.ReadAll(file, text)) return false;
    codec.DecodeInPlace(text);
    return true;
}

namespace {

// One attribute query rather than a directory search: constant time on every
// file system, and a name with wildcards never matches some other file.
bool IsExistingFile(IFileSystem& fs, const std::string& path) {
    if (path.empty()) return false;
    const uint32_t a = fs.Attributes(path);
    return a != kInvalidAttributes && (a & kAttrDirectory) == 0;
}

bool IsExistingDirectory(IFileSystem& fs, const std::string& path) {
    if (path.empty()) return false;
    const uint32_t a = fs.Attributes(path);
    return a != kInvalidAttributes && (a & kAttrDirectory) != 0;
}

bool EndsWith(const std::string& text, const char* tail) {
    const std::string t(tail);
    return text.size() >= t.size() && text.compare(text.size() - t.size(), t.size(), t) == 0;
}

// The level directory a folder record leads to, or "" with the reason why none;
// link tells whether the directory is a directory link (junction or symbolic link).
std::string FolderLevel(StoreContext& c, const std::string& level, const std::string& name, SkipReason& why,
                        bool& link) {
    if (!IsFollowableFolderName(name)) {
        why = SkipReason::BadFolderName;
        return std::string();
    }
    const std::string dir = level + name;
    uint32_t a;
    if (c.cache) {
        auto it = c.cache->folderAttributes.find(dir);
        if (it != c.cache->folderAttributes.end()) {
            a = it->second;
        } else {
            a = c.fs.Attributes(dir);
            c.cache->folderAttributes.emplace(dir, a);
        }
    } else {
        a = c.fs.Attributes(dir);
    }
    if (a == kInvalidAttributes || (a & kAttrDirectory) == 0) {
        why = SkipReason::MissingFolder;
        return std::string();
    }
    link = (a & kAttrReparsePoint) != 0;
    return dir + "\\";
}

// What a walk knows of a level it is in, to tell whether a link leads back.
struct OpenLevel {
    std::string level;          // ends with a backslash
    bool belowLink = false;     // entered through a directory link, here or further up
    bool identityRead = false;  // identity is read when first needed
    std::string identity;
};

// Whether entering sub from the innermost of the open levels (the walk's stack,
// from the root down) would bring the walk back into one of them. Directory
// links are followed, but a link to "." or to a level further up would repeat
// the levels between forever, and with two such records the work doubles at
// every turn. Only a link, or a level entered through one, can lead back: a real
// directory is never one of its own ancestors. A level whose identity the file
// system cannot tell is taken to lead back.
template <class Frame>
bool LeadsBack(IFileSystem& fs, std::vector<Frame>& open, const std::string& sub, bool subIsLink) {
    if (!subIsLink && !open.back().at.belowLink) return false;
    const std::string id = fs.DirectoryIdentity(sub);
    if (id.empty()) return true;
    for (Frame& f : open) {
        OpenLevel& o = f.at;
        if (!o.identityRead) {
            o.identity = fs.DirectoryIdentity(o.level);
            o.identityRead = true;
        }
        if (o.identity == id) return true;
    }
    return false;
}

// ---------------------------------------------------------------- the reader

struct LevelFrame {
    OpenLevel at;
    std::string indexFile;
    // The file's text where frames moving in the stack do not move it: the
    // lines are views into it.
    std::unique_ptr<std::string> contents;
    std::vector<std::string_view> lines;
    size_t next = 0;
    MenuEntry* menu = nullptr;       // parent menu entry
    TreeNode* node = nullptr;        // parent node; null for the root level
};

class Reader {
public:
    Reader(StoreContext& c, LoadReport& report, int rootTreePos)
        : c_(c), report_(report), rootTreePos_(rootTreePos) {}

    // Root entries go to rootTreePos, which counts on with each; it ends up as
    // the anchor's position.
    void Run(const std::string& rootLevel) {
        Push(rootLevel, &c_.pmItems.root, nullptr, false);
        while (!stack_.empty()) {
            LevelFrame& f = stack_.back();
            if (f.next >= f.lines.size()) {
                stack_.pop_back();
                continue;
            }
            const size_t lineNo = ++f.next;
            Handle(f, static_cast<int>(lineNo));  // may push: `f` is not used afterwards
        }
    }

    int RootTreePos() const { return rootTreePos_; }
    double readingMs = 0;  // time spent reading index files (when timed)
    double iconMs = 0;     // time spent on item icons (when timed)

private:
    // What the scan read and split already, else the file itself.
    bool ReadIndex(LevelFrame& f) {
        if (c_.cache) {
            auto it = c_.cache->indexFiles.find(f.indexFile);
            if (it != c_.cache->indexFiles.end()) {
                f.contents = std::move(it->second.text);
                f.lines = std::move(it->second.lines);
                c_.cache->indexFiles.erase(it);
                return true;
            }
        }
        f.contents = std::make_unique<std::string>();
        bool ok;
        if (!c_.timing) {
            ok = ReadIndexText(c_.fs, c_.textFiles, f.indexFile, *f.contents);
        } else {
            const auto t0 = std::chrono::steady_clock::now();
            ok = ReadIndexText(c_.fs, c_.textFiles, f.indexFile, *f.contents);
            readingMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        }
        if (ok) f.lines = SplitIndexLineViews(*f.contents);
        return ok;
    }

    void Push(const std::string& level, MenuEntry* menu, TreeNode* node, bool belowLink) {
        LevelFrame f;
        f.at.level = level;
        f.at.belowLink = belowLink;
        f.indexFile = level + kIndexName;
        if (!ReadIndex(f)) {
            report_.unreadableIndexFiles.push_back(f.indexFile);
            Skip(f.indexFile, 0, std::string(), SkipReason::UnreadableIndex);
            return;
        }
        f.menu = menu;
        f.node = node;
        // One entry and one node per line at most: no growing on the way.
        menu->Reserve(f.lines.size());
        if (node) node->ReserveChildren(f.lines.size());
        stack_.push_back(std::move(f));
    }

    void Skip(const std::string& file, int lineNo, const std::string& text, SkipReason why) {
        SkippedLine s;
        s.indexFile = file;
        s.lineNumber = lineNo;
        s.text = text;
        s.reason = why;
        if (c_.onSkipped) c_.onSkipped(s);
        report_.skipped.push_back(std::move(s));
    }

    void Handle(LevelFrame& f, int lineNo) {
        const std::string_view line = f.lines[static_cast<size_t>(lineNo - 1)];
        StoreRecord& rec = rec_;  // one record for all lines: its buffers are reused
        SkipReason why = SkipReason::None;
        if (!ParseRecord(line, rec, &why)) {
            Skip(f.indexFile, lineNo, std::string(line), why);
            return;
        }
        MenuEntry* menu = f.menu;
        TreeNode* node = f.node;
        switch (rec.kind) {
        case RecordKind::Folder: {
            bool link = false;
            const std::string sub = FolderLevel(c_, f.at.level, rec.name, why, link);
            if (sub.empty()) {
                Skip(f.indexFile, lineNo, std::string(line), why);
                return;
            }
            if (LeadsBack(c_.fs, stack_, sub, link)) {
                Skip(f.indexFile, lineNo, std::string(line), SkipReason::FolderLinksBack);
                return;
            }
            const bool belowLink = f.at.belowLink || link;
            MenuEntry* folderEntry = AddFolderEntry(*menu, rec.name);
            TreeNode* folderNode = AddNode(node, rec.name, kPictureFolder, -1);
            TreeNode* top = folderNode->AppendChild();
            SetNode(*top, std::string(), kPictureTopNode, -1);
            ++report_.entries;
            // An index file the scan has read exists; others are asked for.
            const std::string index = sub + kIndexName;
            if ((c_.cache && c_.cache->indexFiles.count(index)) || IsExistingFile(c_.fs, index))
                Push(sub, folderEntry, folderNode, belowLink);
            return;
        }
        case RecordKind::PlainSeparator: {
            MenuEntry* e = InsertAtTag(*menu);
            e->caption = "-";
            e->tag = kTagPlainSeparator;
            AddNode(node, kPlainSeparatorText, kPicturePlainSeparator, -1);
            break;
        }
        case RecordKind::CaptionedSeparator: {
            MenuEntry* e = InsertAtTag(*menu);
            e->caption = rec.name;
            e->tag = kTagCaptionedSeparator;
            AddNode(node, CaptionedSeparatorText(rec.name), kPictureCaptionedSeparator, -1);
            break;
        }
        case RecordKind::ProgramLink: {
            int picture;
            if (c_.timing) {
                const auto t0 = std::chrono::steady_clock::now();
                picture = ProgramLinkPicture(c_, f.at.level, rec);
                iconMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
            } else {
                picture = ProgramLinkPicture(c_, f.at.level, rec);
            }
            const int number = c_.table.AddProgramLink(rec.path, rec.params);
            AddLink(*menu, node, rec.name, picture, number);
            break;
        }
        case RecordKind::OtherLink: {
            const int picture = OtherLinkPicture(c_, rec);
            const int number = c_.table.AddOtherLink(rec.path);
            AddLink(*menu, node, rec.name, picture, number);
            break;
        }
        }
        ++report_.entries;
    }

    // The menu half: an entry goes to M at position M.tag, and M.tag counts on.
    MenuEntry* InsertAtTag(MenuEntry& parent) {
        MenuEntry* e = parent.Insert(parent.tag);
        ++parent.tag;
        return e;
    }

    MenuEntry* AddFolderEntry(MenuEntry& parent, const std::string& name) {
        MenuEntry* folder = InsertAtTag(parent);
        folder->caption = name;
        folder->imageIndex = kPictureFolder;
        if (c_.drawMenuBar) {
            MenuEntry* bar = folder->Append();
            bar->tag = kTagSideBar;
            bar->visible = false;
            bar->caption = folder->caption;
            ++folder->tag;
        }
        MenuEntry* hiding = folder->Append();
        hiding->tag = kTagHiddenPlaceholder;
        hiding->visible = false;
        hiding->caption = "Hiding";
        ++folder->tag;
        return folder;
    }

    void AddLink(MenuEntry& menu, TreeNode* node, const std::string& name, int picture, int number) {
        MenuEntry* e = InsertAtTag(menu);
        e->caption = name;
        e->imageIndex = picture;
        e->onClick = ClickHandler::NorItemsRTClickItem;
        e->tag = number;
        AddNode(node, name, picture, number);
    }

    static void SetNode(TreeNode& n, const std::string& text, int image, int32_t data) {
        n.text = text;
        n.imageIndex = image;
        n.selectedIndex = image;
        n.stateIndex = -1;
        n.data = data;
    }

    // The tree half: appended to the parent, or at the root just above the anchor.
    TreeNode* AddNode(TreeNode* parent, const std::string& text, int image, int32_t data) {
        TreeNode* n = parent ? parent->AppendChild() : c_.tvItems.Root().InsertChild(rootTreePos_++);
        SetNode(*n, text, image, data);
        return n;
    }

    StoreContext& c_;
    LoadReport& report_;
    std::vector<LevelFrame> stack_;
    StoreRecord rec_;
    int rootTreePos_ = 0;
};

}  // namespace

// ---------------------------------------------------------------- store check

StoreCheckResult CheckItemStore(StoreContext& c) {
    const std::string backup = c.dataDir + "item_bak";
    const std::string store = c.dataDir + "shortcuts";
    StoreCheckResult result = StoreCheckResult::NoBackup;
    // A reading ahead that the scan does not take over is of no further use.
    struct DropReadingAhead {
        StoreReadAhead* ahead;
        ~DropReadingAhead() {
            if (ahead) ahead->Discard();
        }
    } drop{c.ahead};
    if (IsExistingDirectory(c.fs, backup)) {
        const int answer = c.askBackupQuestion ? c.askBackupQuestion() : kMrCancel;
        if (answer == kMrYes) {
            // What was read ahead is the store that goes now, and its files
            // must not be open while it is deleted.
            if (c.ahead) c.ahead->Discard();
            DeleteDirectoryTree(c.fs, store);
            c.fs.Rename(backup, store);  // what is left is loaded, whatever the outcome
            result = StoreCheckResult::Restored;
        } else if (answer == kMrNo) {
            const LocalTime now = c.now ? c.now() : LocalTime{1970, 1, 1, 0, 0, 0};
            if (MoveIntoBackups(c.fs, c.dataDir, backup, now, true).empty()) c.table.backupUnresolved = true;
            result = StoreCheckResult::BackupKept;
        } else {
            c.table.backupUnresolved = true;
            return StoreCheckResult::Cancelled;
        }
    }
    // What a save had left to delete of the store it replaced, once the new one stood.
    if (result != StoreCheckResult::BackupKept && IsExistingDirectory(c.fs, c.dataDir + "item_del"))
        DeleteDirectoryTree(c.fs, c.dataDir + "item_del");
    if (!IsExistingDirectory(c.fs, store)) c.fs.MakeDir(store);
    if (IsExistingFile(c.fs, store + "\\" + kIndexName)) {
        auto t0 = std::chrono::steady_clock::now();
        ScanExtensions(c, store + "\\");
        auto t1 = std::chrono::steady_clock::now();
        PreparePictures(c);
        auto t2 = std::chrono::steady_clock::now();
        if (c.timing) {
            c.timing("extension scan", std::chrono::duration<double, std::milli>(t1 - t0).count());
            c.timing("icon queries", std::chrono::duration<double, std::milli>(t2 - t1).count());
        }
    }
    return result;
}

void ScanExtensions(StoreContext& c, const std::string& level) {
    struct Frame {
        OpenLevel at;
        const std::vector<std::string_view>* lines = nullptr;  // in the cache, which keeps them
        size_t next = 0;
    };
    std::vector<Frame> stack;
    StoreRecord rec;
    size_t links = 0;
    // What is read is kept for the load; without a cache of the caller's, for
    // the scan alone.
    StoreCache own;
    StoreCache& cache = c.cache ? *c.cache : own;
    const auto t0 = std::chrono::steady_clock::now();
    if (c.ahead && c.cache && c.ahead->Level() == level) {
        c.ahead->HandOver(cache);
        if (c.timing)
            c.timing("early reading's rest and check",
                     std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    } else {
        if (c.ahead) c.ahead->Discard();  // of some other directory
        ReadStoreAhead(c.fs, level, c.readers, cache, c.textFiles);
    }
    auto push = [&](const std::string& lv, bool belowLink) {
        const std::string file = lv + kIndexName;
        auto it = cache.indexFiles.find(file);
        if (it == cache.indexFiles.end()) {
            auto text = std::make_unique<std::string>();
            if (!ReadIndexText(c.fs, c.textFiles, file, *text)) return;  // the load reports it
            std::vector<std::string_view> lines = SplitIndexLineViews(*text);
            it = cache.indexFiles.emplace(file, StoreCache::IndexText{std::move(text), std::move(lines)}).first;
        }
        Frame f;
        f.at.level = lv;
        f.at.belowLink = belowLink;
        f.lines = &it->second.lines;
        stack.push_back(std::move(f));
    };
    push(level, false);
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next >= f.lines->size()) {
            stack.pop_back();
            continue;
        }
        if (!ParseRecord((*f.lines)[f.next++], rec)) continue;
        if (rec.kind == RecordKind::Folder) {
            // The same folders as the reader's: the load reports those passed over.
            SkipReason why;
            bool link = false;
            const std::string sub = FolderLevel(c, f.at.level, rec.name, why, link);
            if (sub.empty() || LeadsBack(c.fs, stack, sub, link)) continue;
            push(sub, f.at.belowLink || link);  // invalidates f; a level without index file is passed over
        } else if (rec.kind == RecordKind::OtherLink) {
            ++links;
            if (c.table.extensions.IndexOf(rec.extension) < 0) c.table.extensions.Append(rec.extension);
        } else if (rec.kind == RecordKind::ProgramLink) {
            ++links;
        }
    }
    // The load gives every link a path in the table: room for them at once.
    c.table.paths.Reserve(links);
}

void PreparePictures(StoreContext& c) {
    for (const char* e : {"exe", "bat", "cmd", "wsf", "wsh"}) c.table.extensions.Append(e);
    PictureBookkeeping& bk = c.pictures;
    // The file types go in together, below the break pictures, in runs that
    // end where the next picture goes.
    std::vector<std::string> run;
    auto flush = [&] {
        c.lists.AddTypeIcons(run, bk.break3 - static_cast<int>(run.size()));
        run.clear();
    };
    for (int i = 0; i < c.table.extensions.Length(); ++i) {
        const std::string& ext = c.table.extensions[i];
        const std::string temp = c.dataDir + "TempFile." + ext;
        // An extension field from a hand-edited store may hold path characters; such
        // a name could reach outside the data directory, so it is not taken for a
        // file type and the shell's answer for a missing file (a blank picture) stands.
        if (HasValidFileNameChars(ext)) {
            run.push_back(temp);
        } else {
            flush();
            c.lists.AddShellIcon(temp, bk.break3, false);
        }
        ++bk.break3;
        ++bk.break4;
        ++bk.break5;
    }
    flush();
}

// ---------------------------------------------------------------- pictures

int LoadItemIcon(StoreContext& c, const std::string& iconFile, const std::string& targetPath) {
    PictureBookkeeping& bk = c.pictures;
    const int position = bk.break5;
    if (IsExistingFile(c.fs, targetPath))
        c.lists.AddShellIcon(targetPath, position, true);
    else
        c.lists.InsertIconFile(iconFile, position);
    c.lists.CopyMenuPictureToTree(position);
    ++bk.itemIconCount;
    ++bk.break5;
    return position;
}

int ProgramLinkPicture(StoreContext& c, const std::string& level, const StoreRecord& rec) {
    const int p = c.table.extensions.IndexOf(rec.icon);
    if (p > 0) return 12 + p;  // a script type: its extension's shared picture
    const std::string iconFile = level + rec.icon;
    // The bitmap is only a fallback for a program that cannot be reached: a target
    // that exists shows its own icon, also when the bitmap has gone missing.
    const bool usableIconFile = !rec.icon.empty() && (EndsWith(rec.icon, ".bmp") || EndsWith(rec.icon, ".ico")) &&
                                IsExistingFile(c.fs, iconFile);
    if (usableIconFile || IsExistingFile(c.fs, rec.path)) return LoadItemIcon(c, iconFile, rec.path);
    return -1;
}

int OtherLinkPicture(StoreContext& c, const StoreRecord& rec) {
    if (rec.extension.empty() && IsExistingDirectory(c.fs, rec.path)) return kPictureDirectory;
    return 12 + c.table.extensions.IndexOf(rec.extension);
}

// ---------------------------------------------------------------- load

std::string UnreadableIndexLogText(const std::vector<std::string>& files) {
    std::string text = "Can't read the item list";
    for (size_t i = 0; i < files.size(); ++i) text += (i ? ", \"" : " \"") + files[i] + "\"";
    return text;
}

std::string UnreadableIndexUserText(const std::vector<std::string>& files) {
    std::string text = files.size() == 1 ? "The item list " : "The item lists ";
    for (size_t i = 0; i < files.size(); ++i) text += (i ? ", \"" : "\"") + files[i] + "\"";
    text += " could not be read.\r\n\r\nThe menu shows the items that could be read; "
            "the item store on disk is left as it is.";
    return text;
}

LoadReport LoadItemStore(StoreContext& c) {
    LoadReport report;
    TreeNode& root = c.tvItems.Root();
    // The anchor keeps root entries above the program nodes; a position counter
    // stands in for looking it up again for every entry.
    TreeNode* anchor = root.InsertChild(0);
    anchor->text = "hiding";
    anchor->selectedIndex = -1;
    anchor->stateIndex = -1;
    TreeNode* top = root.InsertChild(0);
    top->text = std::string();
    top->imageIndex = kPictureTopNode;
    top->selectedIndex = kPictureTopNode;
    top->stateIndex = -1;
    top->data = -1;
    c.table.nextItemNumber = 0;

    const std::string level = c.dataDir + "shortcuts\\";
    Reader reader(c, report, 1);
    const auto t0 = std::chrono::steady_clock::now();
    if (IsExistingFile(c.fs, level + kIndexName)) reader.Run(level);
    root.DeleteChild(reader.RootTreePos());
    if (c.cache) c.cache->Clear();  // what the load did not ask for is stale by the next load

    if (c.copyUndo) {
        c.tvUndo.CopyFrom(c.tvItems);
        c.tvUndo.tag = c.tvItems.tag;
    }
    if (c.timing) {
        const double all = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        c.timing("reading index files", reader.readingMs);
        c.timing("item icons", reader.iconMs);
        c.timing("building tree and menu", all - reader.readingMs - reader.iconMs);
    }

    c.table.unreadableIndexFiles = report.unreadableIndexFiles;
    if (!report.unreadableIndexFiles.empty()) {
        if (c.writeErrorLog) c.writeErrorLog(UnreadableIndexLogText(report.unreadableIndexFiles));
        if (c.tellUser) c.tellUser(UnreadableIndexUserText(report.unreadableIndexFiles));
    }
    return report;
}

}  // namespace pv
