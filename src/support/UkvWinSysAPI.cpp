#include "support/UkvWinSysAPI.h"

namespace pv {

bool DeleteToRecycleBin(IFileSystem& fs, const std::string& path, bool /*silent*/) {
    // A confirmation the user could answer is never wanted here: every caller
    // removes a whole data directory it has already asked about.
    return fs.Recycle(path);
}

std::string GetAppDataFolder(ISystem& system) {
    return system.SpecialFolderPath(kCsidlAppData);
}

}  // namespace pv
