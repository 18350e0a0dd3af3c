#include <windows.h>
#include <shellapi.h>

#include "support/Platform_win.h"

namespace pv {

namespace {
const char* OrNull(const std::string& s) {
    return s.empty() ? nullptr : s.c_str();
}
}  // namespace

intptr_t WinShell::Execute(const std::string& verb, const std::string& file, const std::string& params,
                           const std::string& dir, int showCmd) {
    HINSTANCE result = ShellExecuteA(nullptr, OrNull(verb), file.c_str(), OrNull(params), OrNull(dir), showCmd);
    return reinterpret_cast<intptr_t>(result);
}

}  // namespace pv
