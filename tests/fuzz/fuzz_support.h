#pragma once
// What the fuzz targets share: a tree script that lays out files, directories
// and directory links below drive C: of a scratch directory, so that a seed is a
// readable text and every mutation is a data directory of its own.
//
// A script is a sequence of directive lines, each starting with "@" at the start
// of a line; a file's contents are the lines after its directive up to the next
// directive (the line end before it included):
//
//   @dir Data\shortcuts\Games          a directory (and its parents)
//   @file Data\shortcuts\shortcuts.txt a file with the lines that follow
//   @link Data\shortcuts\loop -> .     a directory link with a relative target
//   @unreadable Data\x\shortcuts.txt   reading this file fails
//   @answer yes|no|cancel              the answer to a question
//   @menubar                           DrawMenuBar on
//
// Paths are relative to C:\, use "\" (or "/"), and never leave the drive:
// ".", ".." and ":" are refused in paths; a link target may climb with ".."
// only as far as the drive's root. A script that breaks a rule is rejected.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pvfuzz {

struct TreeEntry {
    enum Kind { Dir, File, Link } kind = Dir;
    std::string rel;       // "Data\shortcuts" (backslashes)
    std::string contents;  // File
    std::string target;    // Link: relative, "/" separators
};

struct TreeScript {
    std::vector<TreeEntry> entries;
    std::vector<std::string> unreadable;  // relative paths
    std::string answer;                   // "" when not given
    bool menuBar = false;
};

// False for a script that breaks a rule (the input is then of no interest).
bool ParseTreeScript(const uint8_t* data, size_t size, TreeScript& out);

// A scratch directory for one fuzz process, with the drive C below it:
// $PIVORA_FUZZ_SCRATCH, or <tmp>/pivora-fuzz-<pid>. Reset() empties the drive;
// Build() lays a script out.
class Scratch {
public:
    Scratch();
    ~Scratch();
    const std::string& Host() const { return host_; }
    void Reset();
    // False when the layout cannot be made (a file where a directory should go).
    bool Build(const TreeScript& script);

private:
    std::string host_;
};

// "C:\" + rel.
std::string DrivePath(const std::string& rel);

// Reports a broken property with the input's detail (bytes as they are) and
// aborts, which libFuzzer records as a finding.
[[noreturn]] void Fail(const char* what, const std::string& detail);

}  // namespace pvfuzz
