#pragma once
// Helpers on texts and on the growable string tables.

#include <cstdint>
#include <string>

#include "support/UkvSysDeclars.h"

namespace pv {

// Index of the first entry equal to text (exact, case-sensitive), or -1.
int IndexOfString(const TkvDynStringArray& table, const std::string& text);

// The table grows by one entry holding text.
void AppendString(TkvDynStringArray& table, const std::string& text);

// 1-based position of the last occurrence of pattern in text, or 0. An empty
// text yields 0; an empty pattern yields the length of the text.
int LastPos(const std::string& pattern, const std::string& text);

// A name in one letter case, as NTFS compares names: letters of the UTF-8 text
// (ASCII, Latin, Greek, Cyrillic, Armenian, full-width) are upper-cased one for
// one. A byte that is no part of UTF-8 is taken as the letter it is in the ANSI
// page (Windows-1252), so "\xC4" and "\xC3\x84" (both "Ä") fold alike.
// For comparing two names only.
std::string FoldNameCase(const std::string& text);
// The length Windows counts for a name or path: UTF-16 units of the UTF-8 text,
// one for a byte that is no part of UTF-8.
size_t NameLengthUtf16(const std::string& text);

// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, uint32_t cp);

}  // namespace pv
