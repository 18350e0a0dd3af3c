#pragma once
// A copy of the store's index files as the last start-up read them, in one
// file beside the store. Under Wine and on network drives each index file
// costs an open, a read and a close, most of it waiting for the system; asking
// for a file's stamp costs a small part of that. A start-up that finds a
// file's stamp unchanged takes its bytes from the copy instead of the file.
//
// The copy only ever saves time: a file whose stamp has changed, a copy that
// is not whole (a torn write, a hand edit) and a file written too shortly
// before it was read are read from the file itself. The store's own files are
// never written from it.

#include <string>
#include <unordered_map>

namespace pv {

// Beside the store's directory, in the data directory.
inline constexpr const char* kSnapshotName = "shortcuts.cache";

// How long before the copy was written an index file must have been written
// last for its copy to be trusted, in file-time ticks (100 ns): file systems
// that keep times coarsely (FAT: two seconds) give a second write within the
// same tick the same time, and then with the same size the same stamp.
inline constexpr unsigned long long kSnapshotSettleTicks = 10ULL * 10000000ULL;

// The last write time of a file stamp (see IFileSystem::FileStamp); 0 when
// the stamp has none.
unsigned long long StampTime(const std::string& stamp);

struct SnapshotEntry {
    std::string stamp;  // the file's stamp, taken before its bytes were read
    std::string bytes;  // the file's bytes as read, not decoded
};

// By path relative to the store's root level ("shortcuts.txt", "Work\shortcuts.txt").
using SnapshotEntries = std::unordered_map<std::string, SnapshotEntry>;

// The copy's file text, the same for the same entries.
std::string SerializeSnapshot(const SnapshotEntries& entries);
// False, with out empty, when data is not a whole copy of this format.
bool ParseSnapshot(const std::string& data, SnapshotEntries& out);

// Whether a copy taken with stamp `taken` stands for a file whose stamp is
// `now`, in a copy written at file time `written`.
bool SnapshotCopyHolds(const std::string& taken, const std::string& now, unsigned long long written);

}  // namespace pv
