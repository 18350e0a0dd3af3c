#include "support/UkvSysStr.h"

#include <cstdint>

namespace pv {

namespace {

// Windows-1252's letters at 0x80..0x9F, where Latin-1 has control codes.
uint32_t AnsiCodePoint(unsigned char b) {
    switch (b) {
        case 0x8A: return 0x0160;
        case 0x8C: return 0x0152;
        case 0x8E: return 0x017D;
        case 0x9A: return 0x0161;
        case 0x9C: return 0x0153;
        case 0x9E: return 0x017E;
        case 0x9F: return 0x0178;
        default: return b;
    }
}

// The next code point of text from i on; i moves past it. A byte that does
// not start a well-formed UTF-8 sequence stands for itself (see above).
uint32_t NextCodePoint(const std::string& text, size_t& i) {
    const auto at = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b = at(i);
    size_t n = 0;
    uint32_t cp = 0;
    if (b < 0x80) {
        ++i;
        return b;
    } else if (b >= 0xC2 && b <= 0xDF) {
        n = 1, cp = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
        n = 2, cp = b & 0x0Fu;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 3, cp = b & 0x07u;
    }
    bool ok = n > 0 && text.size() - i > n;  // the whole sequence is there
    for (size_t k = 1; ok && k <= n; ++k) {
        const unsigned char c = at(i + k);
        if ((c & 0xC0u) != 0x80u) ok = false;
        cp = (cp << 6) | (c & 0x3Fu);
    }
    // Overlong forms and surrogates are no UTF-8 either.
    if (ok && ((n == 2 && cp < 0x800) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF)))
        ok = false;
    if (!ok) {
        ++i;
        return AnsiCodePoint(b);
    }
    i += n + 1;
    return cp;
}


// In a block where capital and small letters alternate, the capital comes
// first at an even (evenUpper) or odd code point.
uint32_t PairUpper(uint32_t cp, bool evenUpper) { return ((cp & 1u) == 0) == evenUpper ? cp : cp - 1; }

// Simple (one for one) upper case of the letters file names mostly use.
uint32_t UpperLetter(uint32_t cp) {
    if (cp >= 'a' && cp <= 'z') return cp - 0x20;
    if (cp < 0xB5) return cp;
    if (cp == 0xB5) return 0x039C;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 0x20;
    if (cp == 0xFF) return 0x0178;
    if (cp >= 0x0100 && cp <= 0x012F) return PairUpper(cp, true);
    if (cp >= 0x0132 && cp <= 0x0137) return PairUpper(cp, true);
    if (cp >= 0x0139 && cp <= 0x0148) return PairUpper(cp, false);
    if (cp >= 0x014A && cp <= 0x0177) return PairUpper(cp, true);
    if (cp >= 0x0179 && cp <= 0x017E) return PairUpper(cp, false);
    if (cp >= 0x01CD && cp <= 0x01DC) return PairUpper(cp, false);
    if (cp >= 0x01DE && cp <= 0x01EF) return PairUpper(cp, true);
    if (cp >= 0x01F8 && cp <= 0x021F) return PairUpper(cp, true);
    if (cp == 0x03AC) return 0x0386;
    if (cp >= 0x03AD && cp <= 0x03AF) return cp - 0x25;
    if (cp == 0x03C2) return 0x03A3;
    if (cp >= 0x03B1 && cp <= 0x03CB) return cp - 0x20;
    if (cp == 0x03CC) return 0x038C;
    if (cp == 0x03CD || cp == 0x03CE) return cp - 0x3F;
    if (cp >= 0x03D8 && cp <= 0x03EF) return PairUpper(cp, true);
    if (cp >= 0x0430 && cp <= 0x044F) return cp - 0x20;
    if (cp >= 0x0450 && cp <= 0x045F) return cp - 0x50;
    if (cp >= 0x0460 && cp <= 0x0481) return PairUpper(cp, true);
    if (cp >= 0x048A && cp <= 0x04BF) return PairUpper(cp, true);
    if (cp >= 0x04C1 && cp <= 0x04CE) return PairUpper(cp, false);
    if (cp == 0x04CF) return 0x04C0;
    if (cp >= 0x04D0 && cp <= 0x052F) return PairUpper(cp, true);
    if (cp >= 0x0561 && cp <= 0x0586) return cp - 0x30;
    if (cp >= 0x1E00 && cp <= 0x1E95) return PairUpper(cp, true);
    if (cp >= 0x1EA0 && cp <= 0x1EFF) return PairUpper(cp, true);
    if (cp >= 0x2170 && cp <= 0x217F) return cp - 0x10;  // small Roman numerals
    if (cp >= 0x24D0 && cp <= 0x24E9) return cp - 0x1A;  // circled letters
    if (cp >= 0xFF41 && cp <= 0xFF5A) return cp - 0x20;  // full-width letters
    return cp;
}

}  // namespace

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string FoldNameCase(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) AppendUtf8(out, UpperLetter(NextCodePoint(text, i)));
    return out;
}

size_t NameLengthUtf16(const std::string& text) {
    size_t units = 0;
    for (size_t i = 0; i < text.size();) units += NextCodePoint(text, i) >= 0x10000 ? 2 : 1;
    return units;
}

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
