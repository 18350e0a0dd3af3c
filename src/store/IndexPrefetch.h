#pragma once
// Reading a store's index files ahead on worker threads. The scan of a store
// reads one index file per folder, and under Windows and Wine most of that time
// is spent waiting for the file system, one file after the other. The workers
// walk the store's real directories, each on its own, and leave every index
// file and folder attribute they read in the cache; the scan and the load then
// find them there and walk the store in their own order, as they would
// without. Directory links are left to the scan (it knows which lead back), so
// the workers' walk always ends.

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "store/StoreLoader.h"

namespace pv {

// Fills cache with the index files below level (ending with a backslash) and
// the attributes of the folders their records name, using threads workers
// that call fs at the same time, each file decoded as codec says. Returns when
// all are done.
void ReadStoreAhead(IFileSystem& fs, const std::string& level, int threads, StoreCache& cache,
                    const TextFileCodec& codec = TextFileCodec());

// The same walk in the background, started long before the store check (while
// the windows are made) and handed over at the check. The store may have been
// edited in between, so what is handed over is only what the disk still holds:
// an index file read before the check whose last write time or size has
// changed since is left out for the scan to read again, and every folder named
// in a file read before the check is asked for anew.
class StoreReadAhead {
public:
    StoreReadAhead();
    ~StoreReadAhead();  // stops and waits for the workers
    StoreReadAhead(const StoreReadAhead&) = delete;
    StoreReadAhead& operator=(const StoreReadAhead&) = delete;

    // Starts threads workers on the store below level (ending with a
    // backslash); a reading still running is dropped first. No thread that
    // can be started: nothing is read ahead. With a snapshotFile, index files
    // whose stamps are unchanged are taken from that copy (see
    // StoreSnapshot.h), and the hand-over writes it anew when it changed.
    void Start(IFileSystem& fs, const std::string& level, int threads, const TextFileCodec& codec,
               const std::string& snapshotFile = std::string());
    // The level being read ahead; "" when none.
    const std::string& Level() const { return level_; }
    // Waits until the workers have walked the whole store.
    void Wait();
    // Checks what was read so far (above), together with the workers that are
    // done with the walk, while the others read the rest, which needs no
    // checking; waits for them, then moves into cache what still holds and
    // forgets the reading. Returns how many index files were kept.
    size_t HandOver(StoreCache& cache);
    // Stops the workers after the file each is reading and forgets the reading.
    void Discard();

    struct Walk;  // the workers' shared state, also that of ReadStoreAhead

private:
    void Join();  // the workers end once the check is posted or the reading is stopped

    std::unique_ptr<Walk> walk_;
    std::unique_ptr<StoreCache> own_;  // what the workers fill, the caller's once handed over
    std::vector<std::thread> workers_;
    std::string level_;
};

}  // namespace pv
