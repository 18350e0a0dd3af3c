#include "store/StoreFormat.h"

#include "support/UkvSysIO.h"

namespace pv {

namespace {

struct KindName {
    RecordKind kind;
    const char* keyword;
};
constexpr KindName kKinds[] = {
    {RecordKind::Folder, "^Folder"},           {RecordKind::PlainSeparator, "^NorSep"},
    {RecordKind::CaptionedSeparator, "^SpeSep"}, {RecordKind::ProgramLink, "^ExeLnk"},
    {RecordKind::OtherLink, "^UnkLnk"},
};

// Takes the text before the next bar and drops it with the bar; without a bar
// the field is empty and the rest stays whole.
std::string_view TakeField(std::string_view& rest) {
    const size_t bar = rest.find('|');
    if (bar == std::string_view::npos) return std::string_view();
    const std::string_view field = rest.substr(0, bar);
    rest.remove_prefix(bar + 1);
    return field;
}

// What the reader would not give back: a line break anywhere, and a bar in a
// field that another field follows. The manager cleans typed text the same way;
// the writer does it again for every other source (dropped shortcuts, tools).
std::string Writable(const std::string& field, bool last) {
    std::string out;
    out.reserve(field.size());
    for (char c : field)
        if (c != '\r' && c != '\n' && (last || c != '|')) out += c;
    return out;
}

}  // namespace

const char* RecordKeyword(RecordKind kind) {
    for (const auto& k : kKinds)
        if (k.kind == kind) return k.keyword;
    return "";
}

const char* SkipReasonText(SkipReason reason) {
    switch (reason) {
    case SkipReason::None: return "read";
    case SkipReason::EmptyLine: return "empty line";
    case SkipReason::NoKindBar: return "no \"|\" after a kind";
    case SkipReason::UnknownKind: return "unknown kind";
    case SkipReason::BadFolderName: return "folder name is not a directory name of this level";
    case SkipReason::MissingFolder: return "folder directory is missing";
    case SkipReason::FolderLinksBack: return "folder is a directory link back to a level it is in";
    case SkipReason::UnreadableIndex: return "index file cannot be read";
    }
    return "";
}

bool ParseRecord(std::string_view line, StoreRecord& out, SkipReason* reason) {
    auto fail = [&](SkipReason r) {
        if (reason) *reason = r;
        return false;
    };
    if (line.empty()) return fail(SkipReason::EmptyLine);
    const size_t bar = line.find('|');
    if (bar == std::string_view::npos) return fail(SkipReason::NoKindBar);
    const std::string_view kindText = line.substr(0, bar);
    const KindName* found = nullptr;
    for (const auto& k : kKinds)
        if (kindText == k.keyword) found = &k;
    if (!found) return fail(SkipReason::UnknownKind);

    // Every field is assigned, the unused ones emptied: a record reused from
    // line to line keeps its buffers and nothing of the line before.
    std::string_view rest = line.substr(bar + 1);
    std::string_view path, params, icon, extension, name;
    switch (found->kind) {
    case RecordKind::Folder:
    case RecordKind::CaptionedSeparator:
        name = rest;
        break;
    case RecordKind::PlainSeparator:
        break;  // whatever follows the bar means nothing
    case RecordKind::ProgramLink:
        path = TakeField(rest);
        params = TakeField(rest);
        icon = TakeField(rest);
        name = rest;
        break;
    case RecordKind::OtherLink:
        path = TakeField(rest);
        extension = TakeField(rest);
        name = rest;
        break;
    }
    out.kind = found->kind;
    out.path.assign(path);
    out.params.assign(params);
    out.icon.assign(icon);
    out.extension.assign(extension);
    out.name.assign(name);
    if (reason) *reason = SkipReason::None;
    return true;
}

std::string FormatRecord(const StoreRecord& r) {
    std::string s = RecordKeyword(r.kind);
    s += '|';
    switch (r.kind) {
    case RecordKind::Folder:
    case RecordKind::CaptionedSeparator:
        s += Writable(r.name, true);
        break;
    case RecordKind::PlainSeparator:
        break;
    case RecordKind::ProgramLink:
        s += Writable(r.path, false) + "|" + Writable(r.params, false) + "|" + Writable(r.icon, false) + "|" +
             Writable(r.name, true);
        break;
    case RecordKind::OtherLink:
        s += Writable(r.path, false) + "|" + Writable(r.extension, false) + "|" + Writable(r.name, true);
        break;
    }
    s += "\r\n";
    return s;
}

std::vector<std::string_view> SplitIndexLineViews(std::string_view contents) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    const size_t n = contents.size();
    while (start < n) {
        size_t end = start;
        while (end < n && contents[end] != '\r' && contents[end] != '\n') ++end;
        lines.push_back(contents.substr(start, end - start));
        if (end < n && contents[end] == '\r' && end + 1 < n && contents[end + 1] == '\n')
            start = end + 2;
        else
            start = end + 1;
    }
    return lines;
}

std::vector<std::string> SplitIndexLines(const std::string& contents) {
    std::vector<std::string> lines;
    for (std::string_view v : SplitIndexLineViews(contents)) lines.emplace_back(v);
    return lines;
}

std::string ExtensionField(const std::string& path) {
    std::string ext = PathExtension(path);
    return ext.empty() ? ext : AsciiLower(ext.substr(1));
}

bool IsProgramLinkPath(const std::string& path) {
    const std::string ext = AsciiLower(PathExtension(path));
    return ext == ".exe" || ext == ".com" || ext == ".bat" || ext == ".cmd" || ext == ".wsf" || ext == ".wsh";
}

RecordKind LinkKindForPath(const std::string& path) {
    return IsProgramLinkPath(path) ? RecordKind::ProgramLink : RecordKind::OtherLink;
}

bool HasIconBitmap(const std::string& path) {
    const std::string ext = AsciiLower(PathExtension(path));
    return ext == ".exe" || ext == ".com";
}

StoreRecord MakeLinkRecord(const std::string& path, const std::string& params, const std::string& icon,
                           const std::string& name) {
    StoreRecord r;
    r.kind = LinkKindForPath(path);
    r.path = path;
    r.name = name;
    if (r.kind == RecordKind::ProgramLink) {
        r.params = params;
        r.icon = HasIconBitmap(path) ? icon : ExtensionField(path);
    } else {
        r.extension = ExtensionField(path);
    }
    return r;
}

std::string IconBitmapName(const std::string& targetPath, const std::function<bool(const std::string&)>& exists) {
    std::string base = FileNamePart(targetPath);
    size_t dot = base.rfind('.');
    if (dot != std::string::npos) base.erase(dot);
    std::string name = base + ".bmp";
    for (unsigned long n = 1; exists && exists(name); ++n) name = base + std::to_string(n) + ".bmp";
    return name;
}

bool IsFollowableFolderName(const std::string& name) {
    if (name.find_first_of("\\/:") != std::string::npos) return false;
    return name.find_first_not_of(". ") != std::string::npos;
}

}  // namespace pv
