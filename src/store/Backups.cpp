#include "store/Backups.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "store/StoreFormat.h"
#include "support/UkvSysIO.h"

namespace pv {

namespace {

constexpr int kKeepNewest = 10;
constexpr int kKeepDays = 7;
const char* const kInterruptedMark = " interrupted save";
// A backup on its way out: no longer a backup's name, so never listed.
const char* const kDeletingMark = ".deleting";

// Days since 1970-01-01 of a civil date (proleptic Gregorian calendar).
long DayNumber(int y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153L * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

long DayOf(const LocalTime& t) { return DayNumber(t.year, t.month, t.day); }

bool Digits(const std::string& s, size_t at, size_t n, int& value) {
    if (at + n > s.size()) return false;
    value = 0;
    for (size_t i = at; i < at + n; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        value = value * 10 + (s[i] - '0');
    }
    return true;
}

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

std::string BackupsDir(const std::string& dataDir) { return dataDir + kBackupsDirName; }

std::vector<std::string> SubdirectoryNames(IFileSystem& fs, const std::string& dir) {
    std::vector<DirEntry> entries;
    std::vector<std::string> names;
    if (!fs.List(dir + "\\*.*", entries)) return names;
    for (const DirEntry& e : entries)
        if ((e.attributes & kAttrDirectory) && e.name != "." && e.name != "..") names.push_back(e.name);
    return names;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Counts the store's entries and folders as the load would find them.
void CountStore(IFileSystem& fs, const std::string& root, BackupInfo& info) {
    std::vector<std::string> levels{root + "\\"};
    std::set<std::string> seen;  // folders that are links back into the store count once
    StoreRecord rec;
    while (!levels.empty()) {
        const std::string level = levels.back();
        levels.pop_back();
        if (!seen.insert(AsciiLower(level)).second || seen.size() > 100000) continue;
        std::string text;
        if (!fs.ReadAll(level + "shortcuts.txt", text)) continue;
        for (const std::string& line : SplitIndexLines(text)) {
            if (!ParseRecord(line, rec)) continue;
            if (rec.kind != RecordKind::Folder) {
                ++info.entries;
                continue;
            }
            if (!IsFollowableFolderName(rec.name) || !DirectoryExists(fs, level + rec.name)) continue;
            ++info.folders;
            levels.push_back(level + rec.name + "\\");
        }
    }
}

}  // namespace

bool BackupName::NewerThan(const BackupName& o) const {
    const LocalTime& a = time;
    const LocalTime& b = o.time;
    const int x[] = {a.year, a.month, a.day, a.hour, a.minute, a.second, sequence};
    const int y[] = {b.year, b.month, b.day, b.hour, b.minute, b.second, o.sequence};
    return std::lexicographical_compare(y, y + 7, x, x + 7);
}

std::string FormatBackupName(const BackupName& n) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d-%02d-%02d", n.time.year, n.time.month, n.time.day,
                  n.time.hour, n.time.minute, n.time.second);
    std::string s = buffer;
    if (n.sequence > 1) s += " #" + std::to_string(n.sequence);
    if (n.interrupted) s += kInterruptedMark;
    return s;
}

bool ParseBackupName(const std::string& s, BackupName& out) {
    BackupName n;
    LocalTime& t = n.time;
    if (s.size() < 19 || s[4] != '-' || s[7] != '-' || s[10] != ' ' || s[13] != '-' || s[16] != '-') return false;
    if (!Digits(s, 0, 4, t.year) || !Digits(s, 5, 2, t.month) || !Digits(s, 8, 2, t.day) ||
        !Digits(s, 11, 2, t.hour) || !Digits(s, 14, 2, t.minute) || !Digits(s, 17, 2, t.second))
        return false;
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month) || t.hour > 23 ||
        t.minute > 59 || t.second > 59)
        return false;
    std::string rest = s.substr(19);
    if (EndsWith(rest, kInterruptedMark)) {
        n.interrupted = true;
        rest.resize(rest.size() - std::string(kInterruptedMark).size());
    }
    if (!rest.empty()) {
        if (rest.size() < 3 || rest.size() > 8 || rest.compare(0, 2, " #") != 0 || rest[2] == '0') return false;
        if (!Digits(rest, 2, rest.size() - 2, n.sequence) || n.sequence < 2) return false;
    }
    out = n;
    return true;
}

std::vector<std::string> BackupsToDelete(const std::vector<std::string>& names, const LocalTime& now) {
    struct Entry {
        std::string text;
        BackupName name;
    };
    std::vector<Entry> backups;
    for (const std::string& text : names) {
        BackupName n;
        if (ParseBackupName(text, n)) backups.push_back({text, n});
    }
    std::sort(backups.begin(), backups.end(), [](const Entry& a, const Entry& b) { return a.name.NewerThan(b.name); });
    const long today = DayOf(now);
    std::set<long> daysKept;
    std::vector<std::string> doomed;
    for (size_t i = 0; i < backups.size(); ++i) {
        const long day = DayOf(backups[i].name.time);
        const bool recentDay = day <= today && day > today - kKeepDays;
        const bool newestOfDay = recentDay && daysKept.insert(day).second;
        if (static_cast<int>(i) < kKeepNewest || newestOfDay) continue;
        doomed.push_back(backups[i].text);
    }
    return doomed;
}

std::string MoveIntoBackups(IFileSystem& fs, const std::string& dataDir, const std::string& storeDir,
                            const LocalTime& now, bool interrupted) {
    const std::string dir = BackupsDir(dataDir);
    if (!DirectoryExists(fs, dir) && !fs.MakeDir(dir)) return std::string();
    BackupName n;
    n.time = now;
    n.interrupted = interrupted;
    // Time and counter alone tell backups apart, whatever their mark.
    auto taken = [&](BackupName other) {
        other.interrupted = !other.interrupted;
        for (const BackupName& b : {n, other}) {
            const std::string path = dir + "\\" + FormatBackupName(b);
            if (PathExists(fs, path) || PathExists(fs, path + kDeletingMark)) return true;
        }
        return false;
    };
    for (n.sequence = 1; n.sequence < 1000; ++n.sequence) {
        if (taken(n)) continue;
        const std::string name = FormatBackupName(n);
        return fs.Rename(storeDir, dir + "\\" + name) ? name : std::string();
    }
    return std::string();
}

void PruneBackups(IFileSystem& fs, const std::string& dataDir, const LocalTime& now) {
    const std::string dir = BackupsDir(dataDir);
    const std::vector<std::string> names = SubdirectoryNames(fs, dir);
    for (const std::string& name : names)
        if (EndsWith(name, kDeletingMark)) DeleteDirectoryTree(fs, dir + "\\" + name);
    for (const std::string& name : BackupsToDelete(names, now)) {
        const std::string going = dir + "\\" + name + kDeletingMark;
        if (PathExists(fs, going) || !fs.Rename(dir + "\\" + name, going)) continue;
        DeleteDirectoryTree(fs, going);
    }
}

std::vector<BackupInfo> ListBackups(IFileSystem& fs, const std::string& dataDir) {
    const std::string dir = BackupsDir(dataDir);
    std::vector<BackupInfo> out;
    for (const std::string& name : SubdirectoryNames(fs, dir)) {
        BackupInfo info;
        if (!ParseBackupName(name, info.name)) continue;
        info.dir = dir + "\\" + name;
        CountStore(fs, info.dir, info);
        out.push_back(std::move(info));
    }
    std::sort(out.begin(), out.end(), [](const BackupInfo& a, const BackupInfo& b) { return a.name.NewerThan(b.name); });
    return out;
}

std::string BackupLabel(const BackupInfo& info) {
    const LocalTime& t = info.name.time;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    std::string s = buffer;
    s += " - " + std::to_string(info.entries) + (info.entries == 1 ? " entry, " : " entries, ");
    s += std::to_string(info.folders) + (info.folders == 1 ? " folder" : " folders");
    if (info.name.interrupted) s += " (interrupted save)";
    return s;
}

}  // namespace pv
