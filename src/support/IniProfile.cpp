#include "support/IniProfile.h"

#include <cctype>
#include <vector>

namespace pv {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        size_t end = nl == std::string::npos ? text.size() : nl;
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

// The section name of a "[name]" line, false for any other line.
bool SectionName(const std::string& line, std::string& name) {
    std::string t = Trim(line);
    if (t.empty() || t[0] != '[') return false;
    size_t close = t.find(']');
    name = Trim(close == std::string::npos ? t.substr(1) : t.substr(1, close - 1));
    return true;
}

// The key of a "key=value" line (and its value), false for a line without "=".
bool KeyLine(const std::string& line, std::string& key, std::string& value) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    key = Trim(line.substr(0, eq));
    value = Trim(line.substr(eq + 1));
    return true;
}

// Lines [begin, end) of the body of the section, false when it is missing.
bool FindSection(const std::vector<std::string>& lines, const std::string& section, size_t& begin, size_t& end) {
    std::string name;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (SectionName(lines[i], name) && SameName(name, section)) {
            begin = i + 1;
            end = begin;
            while (end < lines.size() && !SectionName(lines[end], name)) ++end;
            return true;
        }
    }
    return false;
}

// Index of the key's line within [begin, end), or end.
size_t FindKey(const std::vector<std::string>& lines, size_t begin, size_t end, const std::string& key) {
    std::string k, v;
    for (size_t i = begin; i < end; ++i)
        if (KeyLine(lines[i], k, v) && SameName(k, key)) return i;
    return end;
}

std::string Unquote(const std::string& v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

}  // namespace

bool IniProfile::Read(const std::string& file, std::string& text) {
    if (!fs_.ReadAll(file, text)) return false;
    codec_.DecodeInPlace(text);
    return true;
}

bool IniProfile::Write(const std::string& file, const std::string& text) {
    return fs_.WriteAll(file, codec_.Encode(text));
}

std::string IniProfile::ReadString(const std::string& file, const std::string& section, const std::string& key,
                                   const std::string& def) {
    std::string text;
    if (!Read(file, text)) return def;
    std::vector<std::string> lines = SplitLines(text);
    size_t begin, end;
    if (!FindSection(lines, section, begin, end)) return def;
    size_t at = FindKey(lines, begin, end, key);
    if (at == end) return def;
    std::string k, v;
    KeyLine(lines[at], k, v);
    return Unquote(v);
}

bool IniProfile::WriteString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& value) {
    if (section.empty() || key.empty()) return false;
    std::string text;
    const uint32_t attr = fs_.Attributes(file);
    if (attr != kInvalidAttributes) {
        if (attr & kAttrDirectory) return false;
        if (!Read(file, text)) return false;
    }
    std::vector<std::string> lines = SplitLines(text);
    const std::string newLine = key + "=" + value;
    size_t begin, end;
    if (!FindSection(lines, section, begin, end)) {
        lines.push_back("[" + section + "]");
        lines.push_back(newLine);
    } else {
        size_t at = FindKey(lines, begin, end, key);
        if (at != end) {
            // The key keeps the spelling it has in the file.
            std::string k, v;
            KeyLine(lines[at], k, v);
            lines[at] = k + "=" + value;
        } else {
            // After the section's last non-blank line, so blank lines stay where they are.
            size_t pos = end;
            while (pos > begin && Trim(lines[pos - 1]).empty()) --pos;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(pos), newLine);
        }
    }
    return Write(file, JoinLines(lines));
}

bool IniProfile::DeleteKey(const std::string& file, const std::string& section, const std::string& key) {
    std::string text;
    if (!Read(file, text)) return true;  // nothing to delete
    std::vector<std::string> lines = SplitLines(text);
    size_t begin, end;
    if (!FindSection(lines, section, begin, end)) return true;
    size_t at = FindKey(lines, begin, end, key);
    if (at == end) return true;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
    return Write(file, JoinLines(lines));
}

}  // namespace pv
