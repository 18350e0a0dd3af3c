#include "menu/form_find.h"

#include <algorithm>
#include <cstdint>

#include "menu/MenuDraw.h"
#include "support/UkvSysStr.h"

namespace pv {

// ---------------------------------------------------------------- folding

namespace {

// Windows-1252 0x80..0x9F; 0 where the code page has no character.
const uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

struct FoldRange {
    uint32_t first, last;
    const char* base;
};

// Latin-1 letters and Latin Extended-A, each range to the letters it is read as.
const FoldRange kFolds[] = {
    {0xC0, 0xC5, "a"},   {0xC6, 0xC6, "ae"},  {0xC7, 0xC7, "c"},   {0xC8, 0xCB, "e"},   {0xCC, 0xCF, "i"},
    {0xD0, 0xD0, "d"},   {0xD1, 0xD1, "n"},   {0xD2, 0xD6, "o"},   {0xD8, 0xD8, "o"},   {0xD9, 0xDC, "u"},
    {0xDD, 0xDD, "y"},   {0xDE, 0xDE, "th"},  {0xDF, 0xDF, "ss"},  {0xE0, 0xE5, "a"},   {0xE6, 0xE6, "ae"},
    {0xE7, 0xE7, "c"},   {0xE8, 0xEB, "e"},   {0xEC, 0xEF, "i"},   {0xF0, 0xF0, "d"},   {0xF1, 0xF1, "n"},
    {0xF2, 0xF6, "o"},   {0xF8, 0xF8, "o"},   {0xF9, 0xFC, "u"},   {0xFD, 0xFD, "y"},   {0xFE, 0xFE, "th"},
    {0xFF, 0xFF, "y"},   {0x100, 0x105, "a"}, {0x106, 0x10D, "c"}, {0x10E, 0x111, "d"}, {0x112, 0x11B, "e"},
    {0x11C, 0x123, "g"}, {0x124, 0x127, "h"}, {0x128, 0x131, "i"}, {0x132, 0x133, "ij"}, {0x134, 0x135, "j"},
    {0x136, 0x138, "k"}, {0x139, 0x142, "l"}, {0x143, 0x14B, "n"}, {0x14C, 0x151, "o"}, {0x152, 0x153, "oe"},
    {0x154, 0x159, "r"}, {0x15A, 0x161, "s"}, {0x162, 0x167, "t"}, {0x168, 0x173, "u"}, {0x174, 0x175, "w"},
    {0x176, 0x178, "y"}, {0x179, 0x17E, "z"}, {0x17F, 0x17F, "s"},
};

// The length of the valid UTF-8 sequence at s[i], with its code point; 0 when
// the bytes there are no valid sequence (overlong forms and surrogates included).
size_t Utf8At(const std::string& s, size_t i, uint32_t& cp) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n;
    uint32_t min;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1Fu;
        min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0Fu;
        min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07u;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        const unsigned char d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (d & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

void AppendFolded(std::string& out, uint32_t cp) {
    if (cp >= 'A' && cp <= 'Z') {
        out += static_cast<char>(cp - 'A' + 'a');
        return;
    }
    if (cp >= 0xC0 && cp <= 0x17F) {
        for (const FoldRange& r : kFolds) {
            if (cp >= r.first && cp <= r.last) {
                out += r.base;
                return;
            }
        }
    }
    AppendUtf8(out, cp);
}

bool IsWordChar(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    // Bytes of a multi-byte character count as letters.
    return (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u >= 0x80;
}

bool IsLink(const MenuEntry& e) { return e.onClick == ClickHandler::NorItemsRTClickItem; }

bool IsFolder(const MenuEntry& e) {
    return e.onClick == ClickHandler::None && e.tag >= 0 && e.HasChildren();
}

std::string FileNameOf(const std::string& path) {
    std::string p = path;
    while (!p.empty() && (p.back() == '\\' || p.back() == '/')) p.pop_back();
    const size_t slash = p.find_last_of("\\/:");
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string MakeKey(const std::string& folderPath, const std::string& name, const std::string& target) {
    return folderPath + '\n' + name + '\n' + target;
}

}  // namespace

std::string FoldForFind(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
            ++i;
            continue;
        }
        uint32_t cp = 0;
        const size_t n = Utf8At(text, i, cp);
        if (n > 0) {
            i += n;
        } else {
            cp = c < 0xA0 ? kCp1252High[c - 0x80] : c;
            ++i;
            if (cp == 0) continue;  // no character in the code page
        }
        AppendFolded(out, cp);
    }
    return out;
}

FindRank RankForFind(const std::string& name, const std::string& fileName, const std::string& text) {
    if (text.empty()) return FindRank::None;
    if (name == text) return FindRank::WholeName;
    size_t pos = name.find(text);
    if (pos == 0) return FindRank::NameStart;
    if (pos != std::string::npos) {
        for (; pos != std::string::npos; pos = name.find(text, pos + 1))
            if (!IsWordChar(name[pos - 1]) && IsWordChar(name[pos])) return FindRank::WordStart;
        return FindRank::InName;
    }
    if (!fileName.empty() && fileName.find(text) != std::string::npos) return FindRank::InFileName;
    return FindRank::None;
}

bool StartsFind(char ch) {
    const unsigned char c = static_cast<unsigned char>(ch);
    return c > 0x20 && c != 0x7F;
}

// ---------------------------------------------------------------- geometry

FindGeometry FindGeometryFor(int dpi, int fontHeight) {
    FindGeometry g;
    g.width = ScaleToDpi(400, dpi);
    g.margin = ScaleToDpi(4, dpi);
    g.editHeight = fontHeight + ScaleToDpi(8, dpi);
    g.pictureSize = PictureSizeForDpi(dpi);
    g.rowHeight = std::max({ScaleToDpi(20, dpi), fontHeight + ScaleToDpi(6, dpi), g.pictureSize + ScaleToDpi(4, dpi)});
    g.pictureLeft = ScaleToDpi(4, dpi);
    g.textLeft = g.pictureLeft + g.pictureSize + ScaleToDpi(6, dpi);
    g.gap = ScaleToDpi(16, dpi);
    return g;
}

// ---------------------------------------------------------------- index

void FindIndex::Clear() {
    entries_.clear();
    byKey_.clear();
    built_ = false;
}

void FindIndex::Build(const PopupMenu& pmItems, const ItemTable& items) {
    Clear();
    struct Level {
        const MenuEntry* menu;
        int next;   // child to visit next
        int count;  // children to visit
        int folder; // its FindEntry, -1 for the root
    };
    const MenuEntry& root = pmItems.root;
    // The store's entries come before the program's own at the root.
    const int rootCount = std::min(std::max(root.tag, 0), root.Count());
    std::vector<Level> stack{{&root, 0, rootCount, -1}};
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next >= level.count) {
            if (level.folder >= 0) entries_[static_cast<size_t>(level.folder)].end = static_cast<int>(entries_.size());
            stack.pop_back();
            continue;
        }
        const MenuEntry& e = *level.menu->Child(level.next++);
        const bool link = IsLink(e);
        const bool folder = !link && IsFolder(e);
        if (!link && !folder) continue;  // separators, hidden entries
        FindEntry f;
        f.entry = &e;
        f.folder = folder;
        f.parent = level.folder;
        f.imageIndex = e.imageIndex;
        f.name = StripHotkey(e.caption);
        if (level.folder >= 0) {
            const FindEntry& p = entries_[static_cast<size_t>(level.folder)];
            f.folderPath = p.folderPath.empty() ? p.name : p.folderPath + kFindPathSeparator + p.name;
        }
        f.folded = FoldForFind(f.name);
        if (link) {
            const std::string target = items.PathOf(e.tag);
            f.fileFolded = FoldForFind(FileNameOf(target));
            f.key = MakeKey(f.folderPath, f.name, target);
        }
        f.end = static_cast<int>(entries_.size()) + 1;
        entries_.push_back(std::move(f));
        const int me = static_cast<int>(entries_.size()) - 1;
        if (link) {
            byKey_.emplace(entries_.back().key, me);
        } else {
            stack.push_back({&e, 0, e.Count(), me});
        }
    }
    built_ = true;
}

int FindIndex::IndexOfKey(const std::string& key) const {
    const auto it = byKey_.find(key);
    return it == byKey_.end() ? -1 : it->second;
}

std::string FindKeyOf(const MenuEntry& entry, const ItemTable& items) {
    std::vector<const MenuEntry*> folders;
    for (const MenuEntry* p = entry.Parent(); p && p->Parent(); p = p->Parent()) folders.push_back(p);
    std::string path;
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        if (!path.empty()) path += kFindPathSeparator;
        path += StripHotkey((*it)->caption);
    }
    return MakeKey(path, StripHotkey(entry.caption), items.PathOf(entry.tag));
}

// ---------------------------------------------------------------- filtering

FindResult FilterForFind(const FindIndex& index, const std::string& text, int scope,
                         const std::vector<int>& recent) {
    FindResult r;
    const std::vector<FindEntry>& all = index.Entries();
    const int count = static_cast<int>(all.size());
    const bool scoped = scope >= 0 && scope < count && all[static_cast<size_t>(scope)].folder;
    const int lo = scoped ? scope + 1 : 0;
    const int hi = scoped ? all[static_cast<size_t>(scope)].end : count;
    std::string folded = FoldForFind(text);
    // Blanks around the text are not part of what the user looks for.
    const size_t first = folded.find_first_not_of(" \t");
    folded = first == std::string::npos ? std::string() : folded.substr(first, folded.find_last_not_of(" \t") - first + 1);
    if (folded.empty()) {
        if (!scoped) {
            for (int i : recent) {
                if (static_cast<int>(r.shown.size()) >= kFindMaxRows) break;
                r.shown.push_back(i);
            }
            r.matches = static_cast<int>(r.shown.size());
            return r;
        }
        for (int i = lo; i < hi; ++i) {
            if (all[static_cast<size_t>(i)].parent != scope) continue;
            ++r.matches;
            if (static_cast<int>(r.shown.size()) < kFindMaxRows) r.shown.push_back(i);
        }
        r.more = r.matches - static_cast<int>(r.shown.size());
        return r;
    }
    // One list per rank, each cut at the rows that can be shown; store order
    // within a rank comes from walking the index in order.
    constexpr int kRanks = static_cast<int>(FindRank::None);
    std::vector<int> byRank[kRanks];
    for (int i = lo; i < hi; ++i) {
        const FindEntry& e = all[static_cast<size_t>(i)];
        const FindRank rank = RankForFind(e.folded, e.fileFolded, folded);
        if (rank == FindRank::None) continue;
        ++r.matches;
        std::vector<int>& list = byRank[static_cast<int>(rank)];
        if (static_cast<int>(list.size()) < kFindMaxRows) list.push_back(i);
    }
    for (const std::vector<int>& list : byRank) {
        for (int i : list) {
            if (static_cast<int>(r.shown.size()) >= kFindMaxRows) break;
            r.shown.push_back(i);
        }
    }
    r.more = r.matches - static_cast<int>(r.shown.size());
    return r;
}

// ---------------------------------------------------------------- the window's model

void FindModel::Open(const PopupMenu& pmItems, const ItemTable& items, const std::string& text) {
    if (!Index.Built()) Index.Build(pmItems, items);
    scopes_.clear();
    Controls.EditText = text;
    Refresh();
}

std::vector<int> FindModel::RecentIndices() const {
    std::vector<int> out;
    for (const std::string& key : recent_) {
        const int i = Index.IndexOfKey(key);
        if (i >= 0) out.push_back(i);
    }
    return out;
}

void FindModel::Refresh() {
    const int scope = scopes_.empty() ? -1 : scopes_.back();
    const std::vector<FindEntry>& all = Index.Entries();
    Controls.ScopeText.clear();
    if (scope >= 0) {
        const FindEntry& s = all[static_cast<size_t>(scope)];
        Controls.ScopeText = s.folderPath.empty() ? s.name : s.folderPath + kFindPathSeparator + s.name;
    }
    const FindResult r = FilterForFind(Index, Controls.EditText, scope, RecentIndices());
    Controls.Rows.clear();
    for (int i : r.shown) {
        const FindEntry& e = all[static_cast<size_t>(i)];
        FindRow row;
        row.index = i;
        row.text = e.name;
        row.path = e.folderPath;
        row.imageIndex = e.imageIndex;
        row.folder = e.folder;
        Controls.Rows.push_back(std::move(row));
    }
    if (r.more > 0) {
        FindRow row;
        row.kind = FindRowKind::More;
        row.text = std::to_string(r.more) + " more";
        Controls.Rows.push_back(std::move(row));
    } else if (r.matches == 0 && Controls.EditText.find_first_not_of(" \t") != std::string::npos) {
        FindRow row;
        row.kind = FindRowKind::NoMatch;
        row.text = kFindNoMatch;
        Controls.Rows.push_back(std::move(row));
    }
    Controls.Selected = r.shown.empty() ? -1 : 0;
}

void FindModel::EditChange(const std::string& text) {
    if (text == Controls.EditText) return;
    Controls.EditText = text;
    Refresh();
}

void FindModel::MoveSelection(int delta) {
    int entries = 0;
    for (const FindRow& row : Controls.Rows)
        if (row.kind == FindRowKind::Entry) ++entries;
    if (entries == 0) return;
    Controls.Selected = std::max(0, std::min(entries - 1, Controls.Selected + delta));
}

FindOutcome FindModel::KeyDown(FindKey key) {
    FindOutcome out;
    out.handled = true;
    switch (key) {
        case FindKey::Up: MoveSelection(-1); break;
        case FindKey::Down: MoveSelection(1); break;
        case FindKey::PageUp: MoveSelection(-kFindMaxRows); break;
        case FindKey::PageDown: MoveSelection(kFindMaxRows); break;
        case FindKey::Escape: out.close = true; break;
        case FindKey::Backspace:
            if (!Controls.EditText.empty() || scopes_.empty()) {
                out.handled = false;  // the field deletes a character
                break;
            }
            scopes_.pop_back();
            Refresh();
            break;
        case FindKey::Enter: {
            const int sel = Controls.Selected;
            if (sel < 0 || sel >= static_cast<int>(Controls.Rows.size())) break;
            const FindRow& row = Controls.Rows[static_cast<size_t>(sel)];
            if (row.kind != FindRowKind::Entry) break;
            const FindEntry& e = Index.Entries()[static_cast<size_t>(row.index)];
            if (e.folder) {
                scopes_.push_back(row.index);
                Controls.EditText.clear();
                out.textChanged = true;
                Refresh();
            } else {
                out.launch = e.entry;
                out.close = true;
            }
            break;
        }
    }
    return out;
}

FindOutcome FindModel::RowClick(int row) {
    if (row < 0 || row >= static_cast<int>(Controls.Rows.size()) ||
        Controls.Rows[static_cast<size_t>(row)].kind != FindRowKind::Entry)
        return FindOutcome{true, false, nullptr, false};
    Controls.Selected = row;
    return KeyDown(FindKey::Enter);
}

void FindModel::NoteStarted(const std::string& key) {
    recent_.erase(std::remove(recent_.begin(), recent_.end(), key), recent_.end());
    recent_.insert(recent_.begin(), key);
    if (recent_.size() > static_cast<size_t>(kFindMaxRows)) recent_.resize(static_cast<size_t>(kFindMaxRows));
}

}  // namespace pv
