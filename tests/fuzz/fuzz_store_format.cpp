// The record format of shortcuts.txt: one index line, one index file and one
// record built from raw fields go through the parser and the writer. What the
// writer writes must read back as the record it was given (less the characters
// it may not write), and a file read and written again must read the same.
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "store/StoreFormat.h"
#include "support/TextCodec.h"

namespace {

using pvfuzz::Fail;

std::string Show(const pv::StoreRecord& r) {
    return std::string(pv::RecordKeyword(r.kind)) + " path[" + r.path + "] params[" + r.params + "] icon[" + r.icon +
           "] ext[" + r.extension + "] name[" + r.name + "]";
}

std::string Without(const std::string& text, const char* chars) {
    std::string out;
    for (char c : text)
        if (!std::strchr(chars, c) || c == '\0') out += c;
    return out;
}

// The record the reader must give back for r: only the fields its kind writes,
// no line breaks anywhere, no bar before the name. Worked out from the format's
// rules, not from the writer.
pv::StoreRecord Expected(const pv::StoreRecord& r) {
    pv::StoreRecord e;
    e.kind = r.kind;
    switch (r.kind) {
    case pv::RecordKind::Folder:
    case pv::RecordKind::CaptionedSeparator:
        e.name = Without(r.name, "\r\n");
        break;
    case pv::RecordKind::PlainSeparator:
        break;
    case pv::RecordKind::ProgramLink:
        e.path = Without(r.path, "\r\n|");
        e.params = Without(r.params, "\r\n|");
        e.icon = Without(r.icon, "\r\n|");
        e.name = Without(r.name, "\r\n");
        break;
    case pv::RecordKind::OtherLink:
        e.path = Without(r.path, "\r\n|");
        e.extension = Without(r.extension, "\r\n|");
        e.name = Without(r.name, "\r\n");
        break;
    }
    return e;
}

// Written, the record is one line ending in CR LF that reads back as expected.
void CheckWritten(const pv::StoreRecord& r) {
    const std::string text = pv::FormatRecord(r);
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) Fail("written record ends in CR LF", text);
    const std::vector<std::string> lines = pv::SplitIndexLines(text);
    if (lines.size() != 1) Fail("written record is one line", Show(r) + "\n" + text);
    pv::StoreRecord back;
    if (!pv::ParseRecord(lines[0], back)) Fail("written record reads back", text);
    if (!(back == Expected(r))) Fail("written record reads back as itself", Show(r) + "\n" + Show(back));
    // and writing what was read changes nothing
    if (pv::FormatRecord(back) != text) Fail("writing a read record is a fixed point", text);
}

void CheckLine(const std::string& line) {
    pv::StoreRecord r;
    pv::SkipReason why = pv::SkipReason::None;
    const bool ok = pv::ParseRecord(line, r, &why);
    if (ok != (why == pv::SkipReason::None)) Fail("a reason exactly for skipped lines", line);
    if (line.empty() && why != pv::SkipReason::EmptyLine) Fail("empty line", line);
    if (!ok) return;
    // The kind is what comes before the first bar, and the name is the end of the line.
    const std::string kind = line.substr(0, line.find('|'));
    if (kind != pv::RecordKeyword(r.kind)) Fail("kind is the text before the first bar", line);
    if (r.kind != pv::RecordKind::PlainSeparator &&
        (r.name.size() > line.size() || line.compare(line.size() - r.name.size(), r.name.size(), r.name) != 0))
        Fail("name runs to the end of the line", line);
    CheckWritten(r);
}

void CheckFile(const std::string& contents) {
    const std::vector<std::string> lines = pv::SplitIndexLines(contents);
    std::vector<pv::StoreRecord> records;
    std::string written;
    for (const std::string& line : lines) {
        if (line.find_first_of("\r\n") != std::string::npos) Fail("split lines hold no line end", line);
        pv::StoreRecord r;
        if (pv::ParseRecord(line, r)) {
            records.push_back(r);
            written += pv::FormatRecord(r);
        }
    }
    // Read, written and read again: the same records, and the same file once more.
    const std::vector<std::string> again = pv::SplitIndexLines(written);
    if (again.size() != records.size()) Fail("every record written is one line", written);
    std::string rewritten;
    for (size_t i = 0; i < again.size(); ++i) {
        pv::StoreRecord r;
        if (!pv::ParseRecord(again[i], r) || !(r == records[i]))
            Fail("index file round trip", Show(records[i]) + "\n" + again[i]);
        rewritten += pv::FormatRecord(r);
    }
    if (rewritten != written) Fail("index file written twice is the same", written);
}

// Raw fields separated by NUL: kind selector, path, params, icon, extension, name.
void CheckRawRecord(const std::string& data) {
    std::vector<std::string> f;
    size_t start = 0;
    while (f.size() < 6) {
        size_t cut = data.find('\0', start);
        if (cut == std::string::npos || f.size() == 5) {
            f.push_back(data.substr(start));
            break;
        }
        f.push_back(data.substr(start, cut - start));
        start = cut + 1;
    }
    f.resize(6);
    pv::StoreRecord r;
    const pv::RecordKind kinds[] = {pv::RecordKind::Folder, pv::RecordKind::PlainSeparator,
                                    pv::RecordKind::CaptionedSeparator, pv::RecordKind::ProgramLink,
                                    pv::RecordKind::OtherLink};
    r.kind = kinds[f[0].empty() ? 0 : static_cast<unsigned char>(f[0][0]) % 5];
    r.path = f[1];
    r.params = f[2];
    r.icon = f[3];
    r.extension = f[4];
    r.name = f[5];
    CheckWritten(r);
}

// An index file's bytes through the reader's decoding and the writer's
// encoding, with 1252 as the legacy code page.
void CheckDecoding(const std::string& bytes) {
    const pv::TextFileCodec codec(&pv::CodePage1252());
    const std::string text = codec.Decode(bytes);
    if (!pv::IsValidUtf8(text)) Fail("decoded text is UTF-8", bytes);
    const bool utf8 = pv::IsValidUtf8(bytes);
    const bool bom = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
    if (utf8 && !bom && text != bytes) Fail("UTF-8 is read as it is", bytes);
    if (utf8 && bom && text != bytes.substr(3)) Fail("a byte-order mark is dropped", bytes);
    // Every byte string that is no UTF-8 reads as 1252 and writes back as it was.
    if (!utf8 && codec.Encode(text) != bytes) Fail("a legacy file saved unedited keeps every byte", bytes);
    // What is written reads back as the text it was written from.
    if (text.compare(0, 3, "\xEF\xBB\xBF") != 0 && codec.Decode(codec.Encode(text)) != text)
        Fail("written text reads back as itself", text);
    // Wide text from the system, lone surrogates and all, becomes UTF-8.
    std::u16string wide;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    const std::string narrow = pv::Utf16ToUtf8(wide);
    if (!pv::IsValidUtf8(narrow)) Fail("UTF-16 becomes valid UTF-8", narrow);
    const std::u16string back = pv::Utf8ToUtf16(narrow);
    if (back.size() != wide.size()) Fail("UTF-16 through UTF-8 keeps its length", narrow);
    for (size_t i = 0; i < wide.size(); ++i) {
        const char16_t w = wide[i];
        const bool lone = w >= 0xD800 && w <= 0xDFFF &&
                          !(w <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) &&
                          !(w >= 0xDC00 && i > 0 && wide[i - 1] >= 0xD800 && wide[i - 1] <= 0xDBFF);
        if (back[i] != (lone ? pv::kReplacementChar : w)) Fail("only lone surrogates are replaced", narrow);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    CheckLine(input);
    CheckFile(input);
    CheckRawRecord(input);
    CheckDecoding(input);
    return 0;
}
