#include <windows.h>

#include <vector>

#include "support/SettingsStores_win.h"

namespace pv {

namespace {

// Opens subKey under HKEY_CURRENT_USER, creating it when missing.
HKEY OpenUserKey(const std::string& subKey) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

}  // namespace

bool WinRegistry::ReadString(const std::string& subKey, const std::string& name, std::string& value) {
    HKEY key = OpenUserKey(subKey);
    if (!key) return false;
    bool ok = false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::vector<char> buf(size + 1, '\0');
        DWORD got = size;
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &got) ==
            ERROR_SUCCESS) {
            // The stored data may or may not carry its terminating zero.
            value.assign(buf.data(), strnlen(buf.data(), got));
            ok = true;
        }
    }
    RegCloseKey(key);
    return ok;
}

bool WinRegistry::WriteString(const std::string& subKey, const std::string& name, const std::string& value) {
    HKEY key = OpenUserKey(subKey);
    if (!key) return false;
    LONG rc = RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool WinRegistry::DeleteValue(const std::string& subKey, const std::string& name) {
    HKEY key = OpenUserKey(subKey);
    if (!key) return false;
    LONG rc = RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

}  // namespace pv
