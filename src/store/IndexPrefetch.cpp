#include "store/IndexPrefetch.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

#include "store/StoreFormat.h"

namespace pv {

namespace {

struct Walk {
    IFileSystem& fs;
    StoreCache& cache;
    const TextFileCodec& codec;
    std::mutex mutex;
    std::condition_variable changed;  // work was queued, or the last worker finished
    std::vector<std::string> queue;   // levels whose index file is to be read
    std::unordered_set<std::string> queued;  // a level named twice is read once
    int busy = 0;                     // workers reading a level right now

    void Work() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return !queue.empty() || busy == 0; });
            if (queue.empty()) return;  // nothing queued and nobody left to queue more
            const std::string level = std::move(queue.back());
            queue.pop_back();
            ++busy;
            lock.unlock();

            const std::string file = level + kIndexName;
            auto text = std::make_unique<std::string>();
            std::vector<std::string_view> lines;
            std::vector<std::pair<std::string, uint32_t>> folders;
            std::vector<std::string> next;
            StoreRecord rec;
            // Reading ahead only saves time: when it fails (memory), the scan
            // reads what is missing itself, and an exception must not end the
            // thread and with it the program.
            try {
                if (ReadIndexText(fs, codec, file, *text)) {
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
            }

            lock.lock();
            try {
                if (text) cache.indexFiles.emplace(file, StoreCache::IndexText{std::move(text), std::move(lines)});
                for (auto& f : folders) cache.folderAttributes.emplace(std::move(f.first), f.second);
                for (auto& n : next)
                    if (queued.insert(n).second) queue.push_back(std::move(n));
            } catch (...) {
                // What was not kept is read by the scan.
            }
            --busy;
            changed.notify_all();
        }
    }
};

}  // namespace

void ReadStoreAhead(IFileSystem& fs, const std::string& level, int threads, StoreCache& cache,
                    const TextFileCodec& codec) {
    if (threads <= 0) return;
    Walk walk{fs, cache, codec, {}, {}, {level}, {level}, 0};
    std::vector<std::thread> workers;
    try {
        for (int i = 0; i < threads; ++i) workers.emplace_back(&Walk::Work, &walk);
    } catch (const std::system_error&) {
        // Fewer threads than asked for (none: the scan reads everything itself).
    }
    for (std::thread& t : workers) t.join();
}

}  // namespace pv
