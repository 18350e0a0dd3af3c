#pragma once
// Stores a save replaced, kept under D + "backups": one directory per store,
// named by the time it was put there ("2026-12-09 21-55-33"), a counter when
// two land in the same second ("2026-12-09 21-55-33 #2"), and a mark for a
// store taken from an interrupted save ("... interrupted save"). Only whole
// stores ever appear under such a name: a store arrives by one rename, and
// leaves by a rename to a name that is no backup's before it is deleted.

#include <string>
#include <vector>

#include "support/Platform.h"

namespace pv {

inline constexpr const char* kBackupsDirName = "backups";

struct BackupName {
    LocalTime time;
    int sequence = 1;          // 2, 3, ... for later ones of the same second
    bool interrupted = false;  // taken from an interrupted save

    // Newer first: later time, then the higher counter.
    bool NewerThan(const BackupName& other) const;
};

std::string FormatBackupName(const BackupName& name);
// False for any other name (a backup being deleted, a user's own folder).
bool ParseBackupName(const std::string& text, BackupName& out);

// The backups the rule keeps: the newest 10, and the newest of each of the
// seven calendar days that end with today. Returns the names to delete (any
// order); names that are no backup's are never among them.
std::vector<std::string> BackupsToDelete(const std::vector<std::string>& names, const LocalTime& now);

// Moves the whole store directory `storeDir` into D + "backups" under the
// first free name for `now`; "" when it could not (the store then stays).
std::string MoveIntoBackups(IFileSystem& fs, const std::string& dataDir, const std::string& storeDir,
                            const LocalTime& now, bool interrupted);

// Applies the rule after a save. A backup that cannot be renamed away stays a
// whole backup; one whose deletion stops halfway stays under its "deleting"
// name, which no listing shows, and the next save deletes the rest.
void PruneBackups(IFileSystem& fs, const std::string& dataDir, const LocalTime& now);

struct BackupInfo {
    std::string dir;  // full path, no trailing backslash
    BackupName name;
    int entries = 0;  // links and separators, in every folder
    int folders = 0;
};

// Every backup, newest first, with what its store holds.
std::vector<BackupInfo> ListBackups(IFileSystem& fs, const std::string& dataDir);

// "2026-12-09 21:55:33 - 120 entries, 4 folders", with " (interrupted save)"
// after a backup taken from one.
std::string BackupLabel(const BackupInfo& info);

}  // namespace pv
