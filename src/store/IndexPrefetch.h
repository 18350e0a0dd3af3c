#pragma once
// Reading a store's index files ahead on worker threads. The scan of a store
// reads one index file per folder, and under Windows and Wine most of that time
// is spent waiting for the file system, one file after the other. The workers
// walk the store's real directories, each on its own, and leave every index
// file and folder attribute they read in the cache; the scan and the load then
// find them there and walk the store in their own order, as they would
// without. Directory links are left to the scan (it knows which lead back), so
// the workers' walk always ends.

#include <string>

#include "store/StoreLoader.h"

namespace pv {

// Fills cache with the index files below level (ending with a backslash) and
// the attributes of the folders their records name, using threads workers
// that call fs at the same time, each file decoded as codec says. Returns when
// all are done.
void ReadStoreAhead(IFileSystem& fs, const std::string& level, int threads, StoreCache& cache,
                    const TextFileCodec& codec = TextFileCodec());

}  // namespace pv
