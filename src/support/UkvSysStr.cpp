#include "support/UkvSysStr.h"

namespace pv {

int IndexOfString(const TkvDynStringArray& table, const std::string& text) {
    return table.IndexOf(text);
}

void AppendString(TkvDynStringArray& table, const std::string& text) {
    table.Append(text);
}

int LastPos(const std::string& pattern, const std::string& text) {
    const size_t n = text.size();
    const size_t m = pattern.size();
    for (size_t p = n; p >= 1; --p) {
        // 1-based start p; the pattern fits when m <= n - p + 1.
        if (m <= n - p + 1 && text.compare(p - 1, m, pattern) == 0) return static_cast<int>(p);
    }
    return 0;
}

}  // namespace pv
