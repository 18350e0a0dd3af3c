#pragma once
// Helpers on texts and on the growable string tables.

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

}  // namespace pv
