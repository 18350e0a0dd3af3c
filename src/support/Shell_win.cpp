#include <windows.h>
#include <shellapi.h>

#include "support/Platform_win.h"
#include "support/Wide_win.h"

namespace pv {

namespace {
const wchar_t* OrNull(const std::wstring& s) {
    return s.empty() ? nullptr : s.c_str();
}
}  // namespace

intptr_t WinShell::Execute(const std::string& verb, const std::string& file, const std::string& params,
                           const std::string& dir, int showCmd) {
    const std::wstring v = Widen(verb), f = Widen(file), p = Widen(params), d = Widen(dir);
    HINSTANCE result = ShellExecuteW(nullptr, OrNull(v), f.c_str(), OrNull(p), OrNull(d), showCmd);
    return reinterpret_cast<intptr_t>(result);
}

}  // namespace pv
