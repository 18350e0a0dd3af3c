#pragma once
// IProfile over plain files: the program's own (the Win32 profile functions read
// a file without byte-order mark in the process's code page, which is UTF-8,
// and so would misread the settings of earlier versions) and the native
// build's. The same file format and the same answers as the Win32 profile functions (GetPrivateProfileStringA and
// WritePrivateProfileStringA). Section and key names match without regard to
// letter case, values are read with surrounding blanks (and one pair of
// enclosing quotes) removed, new sections go to the end of the file in the order
// they are created (without a blank line before them, as Wine writes them), and
// lines end in CR LF. Unlike Wine, which rewrites the whole file in a normalised
// form, lines not written are left as they stand, as Windows does. Every write rewrites the whole file
// at once, so each value reaches the disk when it is written.

#include <string>

#include "support/Platform.h"
#include "support/TextCodec.h"

namespace pv {

class IniProfile : public IProfile {
public:
    // Files are read and written as codec says (UTF-8 or the legacy code page);
    // without one their bytes are the text.
    explicit IniProfile(IFileSystem& fs, TextFileCodec codec = TextFileCodec()) : fs_(fs), codec_(codec) {}

    std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& def) override;
    bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    bool DeleteKey(const std::string& file, const std::string& section, const std::string& key) override;

private:
    bool Read(const std::string& file, std::string& text);
    bool Write(const std::string& file, const std::string& text);

    IFileSystem& fs_;
    TextFileCodec codec_;
};

}  // namespace pv
