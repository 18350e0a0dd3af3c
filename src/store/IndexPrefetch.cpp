#include "store/IndexPrefetch.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "store/StoreFormat.h"
#include "store/StoreSnapshot.h"

namespace pv {

namespace {

// Files read early from which the workers stay to share the check.
constexpr size_t kShareCheckFrom = 64;

}  // namespace

struct StoreReadAhead::Walk {
    Walk(IFileSystem& fs_, StoreCache& cache_, const TextFileCodec& codec_, const std::string& level, bool stamps_,
         const std::string& snapshotFile_ = std::string())
        : fs(fs_), cache(cache_), codec(codec_), stamps(stamps_), root(level), snapshotFile(snapshotFile_),
          queue{level}, queued{level} {}

    IFileSystem& fs;
    StoreCache& cache;
    const TextFileCodec codec;
    // Whether each index file's stamp is taken before it is read, for a
    // reading that is handed over later.
    const bool stamps;
    const std::string root;
    // The copy of the store's index files ("": none): read by the first worker
    // before any level, then only looked up (each level by one worker alone).
    const std::string snapshotFile;
    std::once_flag snapshotRead;
    SnapshotEntries snapshot;
    unsigned long long snapshotWritten = 0;
    std::atomic<bool> stop{false};
    // Set when the store check has begun: what is read from then on is as
    // current as the check's own reading would be and needs no checking.
    std::atomic<bool> checking{false};
    std::mutex mutex;
    std::condition_variable changed;  // work was queued, or the last worker finished
    std::vector<std::string> queue;   // levels whose index file is to be read
    std::unordered_set<std::string> queued;  // a level named twice is read once
    // What was read before the check began, in the order it came in (only
    // ever appended to): index files with their stamps, and folders.
    std::vector<std::pair<std::string, std::string>> earlyFiles;
    std::vector<std::string> earlyFolders;
    // For the next copy: every file read with a stamp, as read; and how many
    // were read from the disk rather than from the copy.
    std::vector<std::pair<std::string, SnapshotEntry>> taken;
    size_t fromDisk = 0, fromSnapshot = 0;
    int busy = 0;                     // workers reading a level right now

    // The hand-over's check, shared by the hand-over and the workers done
    // with the walk: every file and folder read early is asked about anew
    // (under Wine each question waits for the system, and two threads ask
    // two at a time). Posted once; taken by index.
    bool checkPosted = false;
    std::vector<std::pair<std::string, std::string>> checkFiles;
    std::vector<std::string> checkFolders;
    std::atomic<size_t> nextFile{0}, nextFolder{0};
    std::unordered_set<std::string> stale;            // files whose stamp changed
    std::unordered_map<std::string, uint32_t> asked;  // folders' attributes now
    bool checkFailed = false;  // a question went unanswered: nothing read early is kept

    void Check() {
        std::vector<std::string> staleHere;
        std::vector<std::pair<std::string, uint32_t>> askedHere;
        bool failed = false;
        try {
            for (size_t i; (i = nextFile++) < checkFiles.size();)
                if (fs.FileStamp(checkFiles[i].first) != checkFiles[i].second) staleHere.push_back(checkFiles[i].first);
            // A folder made or removed since is no index file's change: each is asked again.
            for (size_t i; (i = nextFolder++) < checkFolders.size();)
                askedHere.emplace_back(checkFolders[i], fs.Attributes(checkFolders[i]));
        } catch (...) {
            failed = true;
        }
        std::lock_guard<std::mutex> lock(mutex);
        try {
            for (std::string& f : staleHere) stale.insert(std::move(f));
            for (auto& a : askedHere) asked[a.first] = a.second;
        } catch (...) {
            failed = true;
        }
        checkFailed = checkFailed || failed;
    }

    void ReadSnapshot() {
        // A copy that cannot be read only costs the time it would have saved.
        try {
            std::string data;
            const unsigned long long written = StampTime(fs.FileStamp(snapshotFile));
            if (written && fs.ReadAll(snapshotFile, data) && ParseSnapshot(data, snapshot)) snapshotWritten = written;
        } catch (...) {
            snapshot.clear();
        }
    }

    // The bytes of file (whose stamp is stamp, "" when untold) from the copy
    // when it still holds them, else from the file.
    bool ReadBytes(const std::string& file, const std::string& stamp, std::string& bytes, bool& copied) {
        copied = false;
        if (!snapshot.empty()) {
            const auto it = snapshot.find(file.substr(root.size()));
            if (it != snapshot.end() && SnapshotCopyHolds(it->second.stamp, stamp, snapshotWritten)) {
                bytes = std::move(it->second.bytes);
                copied = true;
                return true;
            }
        }
        return fs.ReadAll(file, bytes);
    }

    bool Walked() const { return queue.empty() && busy == 0; }

    // The first worker: starts `more` others, works, and waits for them.
    void Lead(int more) {
        std::vector<std::thread> others;
        try {
            for (int i = 0; i < more; ++i) others.emplace_back(&Walk::Work, this);
        } catch (...) {
            // Fewer threads than asked for; nothing may leave a thread.
        }
        Work();
        for (std::thread& t : others) t.join();
    }

    void Work() {
        if (!snapshotFile.empty()) std::call_once(snapshotRead, [this] { ReadSnapshot(); });
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return !queue.empty() || busy == 0 || stop; });
            if (stop) return;
            if (queue.empty()) break;  // nothing queued and nobody left to queue more
            const std::string level = std::move(queue.back());
            queue.pop_back();
            ++busy;
            lock.unlock();

            const std::string file = level + kIndexName;
            auto text = std::make_unique<std::string>();
            std::vector<std::string_view> lines;
            std::vector<std::pair<std::string, uint32_t>> folders;
            std::vector<std::string> next;
            std::string stamp;
            const bool early = stamps && !checking;
            // With a copy to keep, every file's stamp is taken before it is read.
            const bool stamped = early || !snapshotFile.empty();
            SnapshotEntry keep;
            bool copied = false;
            StoreRecord rec;
            // Reading ahead only saves time: when it fails (memory), the scan
            // reads what is missing itself, and an exception must not end the
            // thread and with it the program.
            try {
                // Taken before the reading: a write that comes after it, even
                // while the file is read, changes the stamp.
                if (stamped) stamp = fs.FileStamp(file);
                if ((!early || !stamp.empty()) && ReadBytes(file, stamp, *text, copied)) {
                    if (!snapshotFile.empty() && !stamp.empty()) keep = SnapshotEntry{stamp, *text};
                    codec.DecodeInPlace(*text);
                    lines = SplitIndexLineViews(*text);
                    for (std::string_view line : lines) {
                        // The folders as the scan reads them, so that it finds them here.
                        if (!ParseRecord(line, rec) || rec.kind != RecordKind::Folder) continue;
                        if (!IsFollowableFolderName(rec.name)) continue;
                        std::string dir = level + rec.name;
                        const uint32_t a = fs.Attributes(dir);
                        if (a != kInvalidAttributes && (a & kAttrDirectory) && !(a & kAttrReparsePoint))
                            next.push_back(dir + "\\");
                        folders.emplace_back(std::move(dir), a);
                    }
                } else {
                    text.reset();
                }
            } catch (...) {
                text.reset();
                folders.clear();
                next.clear();
                keep = SnapshotEntry();
            }

            lock.lock();
            try {
                // Noted as read early before it is kept: nothing kept escapes the check.
                if (text) {
                    ++(copied ? fromSnapshot : fromDisk);
                    if (!keep.stamp.empty()) taken.emplace_back(file.substr(root.size()), std::move(keep));
                    if (early) earlyFiles.emplace_back(file, std::move(stamp));
                    cache.indexFiles.emplace(file, StoreCache::IndexText{std::move(text), std::move(lines)});
                }
                for (auto& f : folders) {
                    if (early) earlyFolders.push_back(f.first);
                    cache.folderAttributes.emplace(std::move(f.first), f.second);
                }
                for (auto& n : next)
                    if (queued.insert(n).second) queue.push_back(std::move(n));
            } catch (...) {
                // What was not kept is read by the scan.
            }
            --busy;
            changed.notify_all();
        }
        // A reading to be handed over: a share of the check, when it comes,
        // where there is enough to share (a thread kept waiting costs memory).
        if (!stamps || earlyFiles.size() < kShareCheckFrom) return;
        changed.wait(lock, [&] { return checkPosted || stop; });
        if (stop) return;
        lock.unlock();
        Check();
    }
};

void ReadStoreAhead(IFileSystem& fs, const std::string& level, int threads, StoreCache& cache,
                    const TextFileCodec& codec) {
    if (threads <= 0) return;
    StoreReadAhead::Walk walk(fs, cache, codec, level, false);
    std::vector<std::thread> workers;
    try {
        for (int i = 0; i < threads; ++i) workers.emplace_back(&StoreReadAhead::Walk::Work, &walk);
    } catch (const std::system_error&) {
        // Fewer threads than asked for (none: the scan reads everything itself).
    }
    for (std::thread& t : workers) t.join();
}

// ---------------------------------------------------------------- in the background

namespace {

// Writes the next copy of the store's index files when it would differ from
// the one read: a file read from the disk, a file changed since it was read,
// or a copy of a file the walk did not meet. Written right after the check,
// so that the copy's own time follows the reading closely (see
// SnapshotCopyHolds). First to a file of its own: a write cut short leaves the
// old copy or none, never half of one.
void KeepSnapshot(StoreReadAhead::Walk& w, const std::unordered_set<std::string>& stale) {
    const bool unused = w.fromSnapshot < w.snapshot.size();
    if (w.fromDisk == 0 && stale.empty() && !unused) return;
    try {
        SnapshotEntries next;
        for (auto& t : w.taken)
            if (!stale.count(w.root + t.first)) next.emplace(std::move(t.first), std::move(t.second));
        w.taken.clear();
        const std::string fresh = w.snapshotFile + ".new";
        if (!w.fs.WriteAll(fresh, SerializeSnapshot(next))) {
            w.fs.RemoveFile(fresh);
            return;
        }
        w.fs.RemoveFile(w.snapshotFile);
        if (!w.fs.Rename(fresh, w.snapshotFile)) w.fs.RemoveFile(fresh);
    } catch (...) {
        // Without a copy the next start reads every file.
    }
}

}  // namespace

StoreReadAhead::StoreReadAhead() = default;

StoreReadAhead::~StoreReadAhead() { Discard(); }

void StoreReadAhead::Start(IFileSystem& fs, const std::string& level, int threads, const TextFileCodec& codec,
                           const std::string& snapshotFile) {
    Discard();
    if (threads <= 0 || level.empty()) return;
    own_ = std::make_unique<StoreCache>();
    walk_ = std::make_unique<Walk>(fs, *own_, codec, level, true, snapshotFile);
    // One thread from here; it starts the others, so that the caller (start-up,
    // before the windows) waits for one thread's creation, not for all.
    try {
        workers_.emplace_back(&Walk::Lead, walk_.get(), threads - 1);
    } catch (const std::system_error&) {
        // None: nothing is read ahead.
    }
    if (workers_.empty()) {
        walk_.reset();
        own_.reset();
        return;
    }
    level_ = level;
}

void StoreReadAhead::Wait() {
    if (!walk_) return;
    Walk& w = *walk_;
    std::unique_lock<std::mutex> lock(w.mutex);
    w.changed.wait(lock, [&] { return w.Walked() || w.stop; });
}

void StoreReadAhead::Join() {
    for (std::thread& t : workers_) t.join();
    workers_.clear();
}

size_t StoreReadAhead::HandOver(StoreCache& cache) {
    if (!walk_) {
        level_.clear();
        return 0;
    }
    Walk& w = *walk_;
    // What was read before now is checked while the workers read the rest;
    // those done with the walk check with the hand-over.
    w.checking = true;
    {
        std::lock_guard<std::mutex> lock(w.mutex);
        w.checkFiles = w.earlyFiles;
        w.checkFolders = w.earlyFolders;
        w.checkPosted = true;
    }
    w.changed.notify_all();
    w.Check();
    Join();
    // Those that were being read when the check began, noted after it was posted.
    const auto postedFiles = static_cast<std::ptrdiff_t>(w.checkFiles.size());
    const auto postedFolders = static_cast<std::ptrdiff_t>(w.checkFolders.size());
    w.checkFiles.assign(w.earlyFiles.begin() + postedFiles, w.earlyFiles.end());
    w.checkFolders.assign(w.earlyFolders.begin() + postedFolders, w.earlyFolders.end());
    w.nextFile = 0;
    w.nextFolder = 0;
    w.Check();

    size_t kept = 0;
    // A check that went unanswered keeps nothing read early: the scan reads it all.
    if (!w.checkFailed) {
        if (!w.snapshotFile.empty()) KeepSnapshot(w, w.stale);
        for (auto& f : own_->indexFiles)
            if (!w.stale.count(f.first) && cache.indexFiles.emplace(f.first, std::move(f.second)).second) ++kept;
        for (const auto& a : own_->folderAttributes) {
            const auto now = w.asked.find(a.first);
            cache.folderAttributes.emplace(a.first, now != w.asked.end() ? now->second : a.second);
        }
    }
    walk_.reset();
    own_.reset();
    level_.clear();
    return kept;
}

void StoreReadAhead::Discard() {
    if (walk_) {
        walk_->stop = true;
        {
            std::lock_guard<std::mutex> lock(walk_->mutex);
            walk_->changed.notify_all();
        }
    }
    Join();
    walk_.reset();
    own_.reset();
    level_.clear();
}

}  // namespace pv
