#include <windows.h>

#include <vector>

#include "support/SettingsStores_win.h"

namespace pv {

std::string WinProfile::ReadString(const std::string& file, const std::string& section, const std::string& key,
                                   const std::string& def) {
    // The function cuts a long value to the buffer without saying so; a result
    // that fills the buffer may have been cut, so try again with more room.
    std::vector<char> buf(2048);
    for (;;) {
        DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buf.data(),
                                           static_cast<DWORD>(buf.size()), file.c_str());
        if (n + 1 < buf.size() || buf.size() >= (1u << 20)) return std::string(buf.data(), n);
        buf.resize(buf.size() * 4);
    }
}

bool WinProfile::WriteString(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

bool WinProfile::DeleteKey(const std::string& file, const std::string& section, const std::string& key) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, file.c_str()) != FALSE;
}

}  // namespace pv
