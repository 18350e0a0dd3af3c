#pragma once
// The small interfaces through which portable code reaches the operating system.
// Each has a Win32 implementation (*_win.cpp) used by pivora.exe and, where the
// native tests need one, a second implementation (*_posix.cpp or a test fake).
// Nothing here includes <windows.h>; constants that mirror Win32 values say so.

#include <cstdint>
#include <string>
#include <vector>

namespace pv {

// ---------------------------------------------------------------- files

// Same bit values as the Win32 FILE_ATTRIBUTE_* constants.
enum FileAttribute : uint32_t {
    kAttrReadOnly = 0x01,
    kAttrHidden = 0x02,
    kAttrSystem = 0x04,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
    kAttrReparsePoint = 0x400,  // junction or symbolic link
};
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;

struct DirEntry {
    std::string name;     // bare name, as FindFirstFile reports it
    uint32_t attributes;  // FileAttribute bits
};

// Paths are Windows paths in the ANSI code page ("C:\Data\x.txt"). The POSIX
// implementation maps them below a root directory, so that the same portable
// code and the same contract tests run natively.
class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // Attributes of a file or directory, kInvalidAttributes when it is missing.
    virtual uint32_t Attributes(const std::string& path) = 0;
    // FindFirstFile/FindNextFile over a pattern such as "C:\Data\*.*", every
    // attribute included ("." and ".." are reported like Win32 does). False when
    // the search finds nothing.
    virtual bool List(const std::string& pattern, std::vector<DirEntry>& out) = 0;

    virtual bool MakeDir(const std::string& path) = 0;     // one level; fails if it exists
    virtual bool RemoveDir(const std::string& path) = 0;   // fails unless empty
    virtual bool RemoveFile(const std::string& path) = 0;
    virtual bool Rename(const std::string& from, const std::string& to) = 0;  // fails if `to` exists

    // Whole-file access. ReadAll fails when the file cannot be opened or read.
    virtual bool ReadAll(const std::string& path, std::string& contents) = 0;
    // Creates or truncates. Fails when the file cannot be created or written.
    virtual bool WriteAll(const std::string& path, const std::string& contents) = 0;
    // Appends to an existing file; fails when the file does not exist or cannot be written.
    virtual bool Append(const std::string& path, const std::string& contents) = 0;

    virtual std::string ShortPath(const std::string& path) = 0;  // "" when it fails
    virtual std::string LongPath(const std::string& path) = 0;   // input unchanged when it fails
    // Moves one file or directory to the recycle bin without asking.
    virtual bool Recycle(const std::string& path) = 0;
    // Temporary directory of the system, with trailing backslash.
    virtual std::string TempDir() = 0;
    // A text that is the same for two paths exactly when they name the same
    // directory, wherever links lead (volume and file index); "" when the path
    // is no directory or the system cannot tell. A walk that follows directory
    // links uses it to notice that it has come back to where it already is.
    virtual std::string DirectoryIdentity(const std::string& /*path*/) { return std::string(); }
    // A text that stays the same while a file is not written to: its last write
    // time as a decimal count of 100-nanosecond ticks since 1601 (a file time),
    // a colon and its size; "" when the file is missing or the system cannot
    // tell. What was read earlier is still what the file holds while this is
    // unchanged.
    virtual std::string FileStamp(const std::string& /*path*/) { return std::string(); }
};

// ---------------------------------------------------------------- settings stores

// INI profile files (GetPrivateProfileString and friends).
class IProfile {
public:
    virtual ~IProfile() = default;
    virtual std::string ReadString(const std::string& file, const std::string& section,
                                   const std::string& key, const std::string& def) = 0;
    virtual bool WriteString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
    virtual bool DeleteKey(const std::string& file, const std::string& section,
                           const std::string& key) = 0;
};

// String values under HKEY_CURRENT_USER.
class IRegistry {
public:
    virtual ~IRegistry() = default;
    // Opens (creating when missing) subKey; false when the value is absent.
    virtual bool ReadString(const std::string& subKey, const std::string& name, std::string& value) = 0;
    virtual bool WriteString(const std::string& subKey, const std::string& name, const std::string& value) = 0;
    virtual bool DeleteValue(const std::string& subKey, const std::string& name) = 0;
};

// ---------------------------------------------------------------- shell

// Show commands, same values as Win32 SW_*.
constexpr int kShowNormal = 1;
constexpr int kShowDefault = 10;

class IShell {
public:
    virtual ~IShell() = default;
    // ShellExecuteA with no owner window; returns its result (> 32 is success).
    virtual intptr_t Execute(const std::string& verb, const std::string& file, const std::string& params,
                             const std::string& dir, int showCmd) = 0;
};

// ---------------------------------------------------------------- user interface services

enum class DialogType { Warning, Error, Information, Confirmation, Custom };

// Button set of a message dialog.
enum DialogButton : unsigned {
    kBtnYes = 1u << 0,
    kBtnNo = 1u << 1,
    kBtnOK = 1u << 2,
    kBtnCancel = 1u << 3,
};

// Modal results, same values as Win32 IDOK, IDCANCEL, IDYES, IDNO.
enum ModalResult : int { kMrNone = 0, kMrOk = 1, kMrCancel = 2, kMrYes = 6, kMrNo = 7 };

class IMessageUI {
public:
    virtual ~IMessageUI() = default;
    // A plain message box: the caption, the text and one OK button.
    virtual void PlainBox(const std::string& caption, const std::string& text) = 0;
    // A message dialog of a type with a set of DialogButton bits; returns a ModalResult
    // (kMrCancel when closed without a button).
    virtual int Dialog(const std::string& caption, const std::string& text, DialogType type,
                       unsigned buttons, int helpContext) = 0;
};

// A moment of local time, as the system clock gives it (month and day from 1).
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// What the error log, the sound player and the store's backups need from the system.
class ISystem {
public:
    virtual ~ISystem() = default;
    virtual std::string ShortDate() = 0;        // current date, system short date format
    virtual std::string ShortTime() = 0;        // current time: hours and minutes in the locale's format
    virtual LocalTime Now() = 0;                // current local time (GetLocalTime)
    virtual uint32_t LastError() = 0;           // GetLastError of the calling thread
    virtual std::string ErrorText(uint32_t code) = 0;  // FormatMessage text, "" if none
    virtual std::string WindowsDirectory() = 0; // without trailing backslash
    // A shell special folder (CSIDL value) without trailing backslash, "" if none.
    virtual std::string SpecialFolderPath(int /*csidl*/) { return std::string(); }
};

// Wave-audio playback (MCI). Both calls fail on a missing or unplayable file.
class ISoundDevice {
public:
    virtual ~ISoundDevice() = default;
    virtual bool Open(const std::string& path) = 0;  // closes a device still open from before
    virtual bool Play() = 0;                         // starts playing, does not wait
    virtual void Close() = 0;
};

}  // namespace pv
