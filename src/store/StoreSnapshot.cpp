#include "store/StoreSnapshot.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace pv {

namespace {

constexpr const char* kHeader = "Kelvory Pivora store copy 1\n";

uint64_t Fnv1a(const char* data, size_t size) {
    uint64_t h = 14695981039346656037ULL;
    for (size_t i = 0; i < size; ++i) {
        h ^= static_cast<unsigned char>(data[i]);
        h *= 1099511628211ULL;
    }
    return h;
}

std::string Hex16(uint64_t v) {
    static const char digits[] = "0123456789abcdef";
    std::string s(16, '0');
    for (int i = 15; i >= 0; --i, v >>= 4) s[static_cast<size_t>(i)] = digits[v & 15];
    return s;
}

// A decimal number of at most 19 digits, all of text.
bool ParseCount(const std::string& text, unsigned long long& value) {
    if (text.empty() || text.size() > 19) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return true;
}

// The next line of data from pos (without its "\n"); false when there is none.
bool NextLine(const std::string& data, size_t& pos, size_t end, std::string& line) {
    const size_t nl = data.find('\n', pos);
    if (nl == std::string::npos || nl >= end) return false;
    line.assign(data, pos, nl - pos);
    pos = nl + 1;
    return true;
}

}  // namespace

unsigned long long StampTime(const std::string& stamp) {
    unsigned long long t = 0;
    return ParseCount(stamp.substr(0, stamp.find(':')), t) ? t : 0;
}

std::string SerializeSnapshot(const SnapshotEntries& entries) {
    std::vector<const SnapshotEntries::value_type*> sorted;
    sorted.reserve(entries.size());
    size_t size = 64;
    for (const auto& e : entries) {
        sorted.push_back(&e);
        size += e.first.size() + e.second.stamp.size() + e.second.bytes.size() + 32;
    }
    std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->first < b->first; });
    std::string out;
    out.reserve(size);
    out += kHeader;
    out += std::to_string(entries.size()) + "\n";
    for (const auto* e : sorted) {
        out += e->first + "\n" + e->second.stamp + "\n" + std::to_string(e->second.bytes.size()) + "\n";
        out += e->second.bytes;
        out += "\n";
    }
    out += Hex16(Fnv1a(out.data(), out.size())) + "\n";
    return out;
}

bool ParseSnapshot(const std::string& data, SnapshotEntries& out) {
    out.clear();
    // The checksum line: 16 hex digits and "\n" at the very end.
    if (data.size() < 17 || data.back() != '\n') return false;
    const size_t end = data.size() - 17;
    if (data.compare(end, 16, Hex16(Fnv1a(data.data(), end))) != 0) return false;
    const std::string header = kHeader;
    if (data.compare(0, header.size(), header) != 0) return false;
    size_t pos = header.size();
    std::string line, path, stamp;
    unsigned long long count = 0, size = 0;
    if (!NextLine(data, pos, end, line) || !ParseCount(line, count)) return false;
    for (unsigned long long i = 0; i < count; ++i) {
        if (!NextLine(data, pos, end, path) || !NextLine(data, pos, end, stamp) || !NextLine(data, pos, end, line) ||
            !ParseCount(line, size) || size >= end - pos || data[pos + size] != '\n') {
            out.clear();
            return false;
        }
        SnapshotEntry& e = out[path];
        e.stamp = stamp;
        e.bytes.assign(data, pos, size);
        pos += size + 1;
    }
    if (pos != end) {
        out.clear();
        return false;
    }
    return true;
}

bool SnapshotCopyHolds(const std::string& taken, const std::string& now, unsigned long long written) {
    if (taken.empty() || taken != now) return false;
    const unsigned long long t = StampTime(taken);
    return t != 0 && t <= written && written - t >= kSnapshotSettleTicks;
}

}  // namespace pv
