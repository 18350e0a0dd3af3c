#include "support/TextCodec.h"

#include <cstdint>

namespace pv {

namespace {

bool IsAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

// Length of the well-formed UTF-8 sequence at s[i] (1 to 4) and its code point,
// or 0 when the bytes there are ill-formed (then `cp` is undefined).
size_t Utf8Sequence(std::string_view s, size_t i, char32_t& cp) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const unsigned char c = b(0);
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    size_t len;
    char32_t min;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2, cp = c & 0x1F, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3, cp = c & 0x0F, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4, cp = c & 0x07, min = 0x10000;
    } else {
        return 0;  // continuation byte, C0/C1 lead (overlong) or F5..FF
    }
    if (s.size() - i < len) return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((b(k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Bytes 0x80 to 0x9F of Windows-1252; 0xA0 to 0xFF are Latin-1.
constexpr char16_t k1252Upper[128] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

std::string ToUtf8(const ILegacyCodePage& cp, std::string_view bytes) {
    return Utf16ToUtf8(cp.ToUtf16(bytes));
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    char32_t cp;
    for (size_t i = 0; i < bytes.size();) {
        const size_t n = Utf8Sequence(bytes, i, cp);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    char32_t cp;
    for (size_t i = 0; i < utf8.size();) {
        const size_t n = Utf8Sequence(utf8, i, cp);
        if (n == 0) {
            out.push_back(kReplacementChar);
            ++i;
            // The rest of a broken sequence goes with it.
            while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) ++i;
            continue;
        }
        i += n;
        if (cp < 0x10000) {
            out.push_back(static_cast<char16_t>(cp));
        } else {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        const char16_t u = utf16[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, kReplacementChar);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

SingleByteCodePage::SingleByteCodePage(unsigned number, const char16_t (&upper)[128])
    : number_(number), upper_(upper) {}

std::u16string SingleByteCodePage::ToUtf16(std::string_view bytes) const {
    std::u16string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            out.push_back(c);
        } else {
            const char16_t u = upper_[c - 0x80];
            out.push_back(u ? u : kReplacementChar);
        }
    }
    return out;
}

bool SingleByteCodePage::FromUtf16(std::u16string_view text, std::string& bytes) const {
    bytes.clear();
    bytes.reserve(text.size());
    for (char16_t u : text) {
        if (u < 0x80) {
            bytes.push_back(static_cast<char>(u));
            continue;
        }
        // 128 entries: a search is as quick as a reverse table for the few
        // characters above ASCII a name holds.
        int found = -1;
        for (int k = 0; k < 128; ++k)
            if (upper_[k] == u) {
                found = k;
                break;
            }
        if (found < 0) return false;
        bytes.push_back(static_cast<char>(0x80 + found));
    }
    return true;
}

const ILegacyCodePage& CodePage1252() {
    static const SingleByteCodePage page(1252, k1252Upper);
    return page;
}

void TextFileCodec::DecodeInPlace(std::string& bytes) const {
    if (!legacy_) return;
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 && IsValidUtf8(bytes)) {
        bytes.erase(0, 3);
        return;
    }
    if (IsValidUtf8(bytes)) return;
    bytes = ToUtf8(*legacy_, bytes);
}

std::string TextFileCodec::Decode(std::string bytes) const {
    DecodeInPlace(bytes);
    return bytes;
}

std::string TextFileCodec::Encode(const std::string& text) const {
    // Text that is no UTF-8 came from no conversion: its bytes are all there is.
    if (!legacy_ || IsAscii(text) || !IsValidUtf8(text)) return text;
    std::string bytes;
    // Legacy bytes that are valid UTF-8 too would read back as other text.
    if (legacy_->FromUtf16(Utf8ToUtf16(text), bytes) && !IsValidUtf8(bytes)) return bytes;
    return text;
}

}  // namespace pv
