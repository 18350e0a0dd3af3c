#pragma once
// Conversions between the short (8.3) and the long form of a path.

#include <string>

#include "support/Platform.h"

namespace pv {

// The short form of an existing path, or "" when the system cannot give one.
std::string GetShortPath(IFileSystem& fs, const std::string& path);
// The long form of a path, or the input unchanged when it cannot be converted.
std::string GetLongPath(IFileSystem& fs, const std::string& path);

}  // namespace pv
