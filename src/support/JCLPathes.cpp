#include "support/JCLPathes.h"

namespace pv {

std::string GetShortPath(IFileSystem& fs, const std::string& path) {
    return fs.ShortPath(path);
}

std::string GetLongPath(IFileSystem& fs, const std::string& path) {
    return fs.LongPath(path);
}

}  // namespace pv
