#include <windows.h>

#include <cstring>

#include "support/Platform_win.h"
#include "support/Wide_win.h"

namespace pv {

bool SetClipboardText(HWND owner, const std::string& text) {
    const std::wstring wide = Widen(text);
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return false;
    void* p = GlobalLock(memory);
    if (!p) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(p, wide.c_str(), bytes);
    GlobalUnlock(memory);
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    // Once the clipboard has taken the memory it is the clipboard's to free.
    const bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed) GlobalFree(memory);
    return placed;
}

}  // namespace pv
