#pragma once
// Path tests, the directory walk and the copies, on Windows paths ("C:\Data\").
// Pure text helpers need nothing; everything that touches files goes through
// an IFileSystem so that the same logic runs on Win32 and in the native tests.

#include <string>
#include <vector>

#include "support/Platform.h"

namespace pv {

// ---------------------------------------------------------------- texts

// The path ending with a backslash; an empty path stays empty.
std::string AddTrailingBackslash(const std::string& path);

// None of * ? " < > | occurs in text.
bool HasValidPathChars(const std::string& text);
// None of / \ : * ? " < > | occurs in text.
bool HasValidFileNameChars(const std::string& text);

// The text after the last backslash or colon (the whole path without either).
std::string FileNamePart(const std::string& path);

// ASCII-only lower case; other bytes stay as they are.
std::string AsciiLower(const std::string& text);

// The text from the last dot of the file-name part on (".EXE"), or "" without a dot.
std::string PathExtension(const std::string& path);
// The text up to and including the last backslash; after a drive colon that is
// the last delimiter, the colon followed by a backslash. Empty without either.
std::string DirectoryPrefix(const std::string& path);

// The directory a file is in: the text before the last backslash or colon,
// keeping the backslash that follows a drive's colon and a colon that is the
// last delimiter (C:\Tools\x.exe -> C:\Tools, C:\x.exe -> C:\, C:\Data\ -> C:\Data,
// C:x -> C:). Empty without either.
std::string ExtractFileDir(const std::string& path);

// The path without its trailing backslashes; a drive root keeps its own
// (C:\Data\ -> C:\Data, C:\ -> C:\).
std::string WithoutTrailingBackslash(const std::string& path);

// A path as the shell would take it: without the blanks and double quotes a
// hand-edited store may have put around it.
std::string BarePath(const std::string& path);

// "http:", "mailto:", "shell:" ...: a scheme of two characters or more, so
// that a drive letter is none.
bool HasUrlScheme(const std::string& path);

// The text without its first character.
std::string RemoveFirstChar(const std::string& text);
// The text before the last dot, or the name unchanged when it has no dot.
std::string RemoveExtension(const std::string& name);

// ---------------------------------------------------------------- queries

// An existing directory (attributes carry the directory bit).
bool DirectoryExists(IFileSystem& fs, const std::string& path);
// A search for the path finds an entry that is not a directory.
bool FileExists(IFileSystem& fs, const std::string& path);
// A search for the path finds any entry; false for a path ending with "\".
bool PathExists(IFileSystem& fs, const std::string& path);

// Valid path characters, empty file-name part, and (with mustExist) an existing directory.
bool IsDirectoryPath(IFileSystem& fs, const std::string& path, bool mustExist);
// A directory prefix that passes IsDirectoryPath, a non-empty valid name, and
// (with mustExist) an existing file.
bool IsFilePath(IFileSystem& fs, const std::string& path, bool mustExist);

// Creates every missing level of dir (trailing backslash or not); true when the
// directory exists afterwards.
bool ForceDirectories(IFileSystem& fs, const std::string& dir);

// ---------------------------------------------------------------- walk and copies

struct WalkOptions {
    std::vector<std::string>* directoryList = nullptr;  // receives subdirectories, full path + "\"
    std::vector<std::string>* fileList = nullptr;       // receives files, full paths
    bool namesOnly = false;          // the file list receives bare names
    bool deleteFiles = false;        // each file met is deleted
    bool useRecycleBin = false;      // ... through the recycle bin, silently
    bool removeDirectories = false;  // each directory is removed once done; root re-created at the end
    bool continueOnError = false;    // an exception while deleting a file is swallowed
};

// Walks root depth first (a missing trailing "\" is added; an empty root walks nothing). A directory link (junction
// or symbolic link, kAttrReparsePoint) is never entered: a listing walk reports
// it as a directory without descending, a deleting walk removes the link itself
// and leaves what it points to alone.
void WalkDirectory(IFileSystem& fs, const std::string& root, bool recurse, const std::string& mask,
                   const WalkOptions& options);

// Copies every file below source to the same relative path below target,
// creating directories as needed. Existing target files are overwritten, others
// kept. A missing source creates the target (one level) and copies nothing.
// Throws EFOpenError / EFCreateError from the file copy that failed.
void CopyDirectoryTree(IFileSystem& fs, const std::string& source, const std::string& target);

// Copies one file whole. Throws EFOpenError when source cannot be read and
// EFCreateError when target cannot be written.
void CopyFileContents(IFileSystem& fs, const std::string& source, const std::string& target);

// Deletes every file below dir, removes its directories, then dir itself;
// carries on past files that cannot be deleted (which then stay, with their
// directories). Nothing happens when dir does not exist. Links inside are
// removed as links.
void DeleteDirectoryTree(IFileSystem& fs, const std::string& dir);

}  // namespace pv
