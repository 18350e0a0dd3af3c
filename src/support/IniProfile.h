#pragma once
// IProfile over plain files, for the native build: the same file format and the
// same answers as the Win32 profile functions (GetPrivateProfileStringA and
// WritePrivateProfileStringA). Section and key names match without regard to
// letter case, values are read with surrounding blanks (and one pair of
// enclosing quotes) removed, new sections go to the end of the file in the order
// they are created (without a blank line before them, as Wine writes them), and
// lines end in CR LF. Unlike Wine, which rewrites the whole file in a normalised
// form, lines not written are left as they stand, as Windows does. Every write rewrites the whole file
// at once, so each value reaches the disk when it is written.

#include <string>

#include "support/Platform.h"

namespace pv {

class IniProfile : public IProfile {
public:
    explicit IniProfile(IFileSystem& fs) : fs_(fs) {}

    std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& def) override;
    bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    bool DeleteKey(const std::string& file, const std::string& section, const std::string& key) override;

private:
    IFileSystem& fs_;
};

}  // namespace pv
