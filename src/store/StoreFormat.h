#pragma once
// One line of an index file shortcuts.txt, read and written.
//
// A record is a kind keyword, "|", and a payload whose fields are separated by
// "|"; the last field of a record with a name is the name and runs to the end
// of the line. Texts are bytes in the ANSI code page and pass through untouched;
// only ASCII letters are ever changed in case.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "support/UkvSysIO.h"

namespace pv {

enum class RecordKind {
    Folder,              // "^Folder|" name
    PlainSeparator,      // "^NorSep|"
    CaptionedSeparator,  // "^SpeSep|" caption
    ProgramLink,         // "^ExeLnk|" path | parameters | icon | name
    OtherLink,           // "^UnkLnk|" path | extension | name
};

// The keyword as written, "^Folder" etc.
const char* RecordKeyword(RecordKind kind);

struct StoreRecord {
    RecordKind kind = RecordKind::PlainSeparator;
    std::string path;        // links
    std::string params;      // program links
    std::string icon;        // program links: bitmap file name, or "bat"/"cmd"/"wsf"/"wsh"
    std::string extension;   // other links: lower case, no dot, may be empty
    std::string name;        // folder name, separator caption, link name

    bool operator==(const StoreRecord& o) const {
        return kind == o.kind && path == o.path && params == o.params && icon == o.icon &&
               extension == o.extension && name == o.name;
    }
};

// Why a line yields no record.
enum class SkipReason {
    None,
    EmptyLine,
    NoKindBar,        // no "|" at all, so no kind can be split off
    UnknownKind,      // kind text is none of the five keywords (exact case)
    BadFolderName,    // folder name that would not name a subdirectory of the level
    MissingFolder,    // folder record whose subdirectory does not exist
    FolderLinksBack,  // folder directory is a link back to a level the reader is in
    UnreadableIndex,  // index file exists but cannot be read
};
const char* SkipReasonText(SkipReason reason);

// Splits one line (without its line end). A missing bar leaves the field it would
// end empty and drops nothing, so the rest becomes the name. Returns false, with
// the reason, for an empty line, a line without bar and an unknown kind.
bool ParseRecord(std::string_view line, StoreRecord& out, SkipReason* reason = nullptr);

// The record as written to an index file, ending with CR LF. It always reads
// back as the record written: CR and LF are left out of every field, and "|"
// out of every field before the name (path, parameters, icon, extension).
std::string FormatRecord(const StoreRecord& record);

// Splits a whole index file into lines. CR LF, a lone LF and a lone CR all end
// a line; a final line end does not start another line.
std::vector<std::string> SplitIndexLines(const std::string& contents);
// The same lines as views into contents, which must outlive them.
std::vector<std::string_view> SplitIndexLineViews(std::string_view contents);

// ---------------------------------------------------------------- names

// AsciiLower and PathExtension are the path helpers' (support/UkvSysIO.h).
// The extension as the extension field stores it: lower case, without the dot.
std::string ExtensionField(const std::string& path);

// ".exe" ".com" ".bat" ".cmd" ".wsf" ".wsh", ignoring ASCII case: a program link.
bool IsProgramLinkPath(const std::string& path);
RecordKind LinkKindForPath(const std::string& path);
// ".exe" or ".com", ignoring ASCII case: the link keeps an icon bitmap.
bool HasIconBitmap(const std::string& path);

// Builds the link record the manager would write for a target.
StoreRecord MakeLinkRecord(const std::string& path, const std::string& params, const std::string& icon,
                           const std::string& name);

// The icon bitmap's file name for a target: base + ".bmp" when no entry of that
// name exists, else base + n + ".bmp" for the smallest free n = 1, 2, ...
// `exists` is asked about bare file names in the level's directory.
std::string IconBitmapName(const std::string& targetPath, const std::function<bool(const std::string&)>& exists);

// A folder name the reader may follow: not empty, not made of dots and spaces
// only (Windows reduces those to "." or ".."), and without "\", "/" or ":".
// Any other name either names a subdirectory of the level or none at all.
bool IsFollowableFolderName(const std::string& name);

}  // namespace pv
