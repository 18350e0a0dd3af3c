#pragma once
// The Win32 settings stores: INI profile files through the profile functions of
// the system, and string values under HKEY_CURRENT_USER.

#include <string>

#include "support/Platform.h"

namespace pv {

// GetPrivateProfileStringA / WritePrivateProfileStringA; DeleteKey writes a NULL value.
class WinProfile : public IProfile {
public:
    std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                           const std::string& def) override;
    bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    bool DeleteKey(const std::string& file, const std::string& section, const std::string& key) override;
};

// RegCreateKeyExA under HKEY_CURRENT_USER (the key is created when missing),
// RegQueryValueExA, RegSetValueExA (REG_SZ), RegDeleteValueA. A value that is
// not a string (REG_SZ or REG_EXPAND_SZ) reads as absent.
class WinRegistry : public IRegistry {
public:
    bool ReadString(const std::string& subKey, const std::string& name, std::string& value) override;
    bool WriteString(const std::string& subKey, const std::string& name, const std::string& value) override;
    bool DeleteValue(const std::string& subKey, const std::string& name) override;
};

}  // namespace pv
