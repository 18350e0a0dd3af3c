#include "support/Wide_win.h"

#include <vector>

namespace pv {

bool ProcessTextIsUtf8() {
    static const bool utf8 = GetACP() == CP_UTF8;
    return utf8;
}

std::wstring Widen(const std::string& text) {
    if (text.empty()) return std::wstring();
    if (ProcessTextIsUtf8()) {
        const std::u16string w = Utf8ToUtf16(text);
        return std::wstring(w.begin(), w.end());
    }
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::string Narrow(const wchar_t* text, int length) {
    if (!text) return std::string();
    const size_t len = length < 0 ? wcslen(text) : static_cast<size_t>(length);
    if (len == 0) return std::string();
    if (ProcessTextIsUtf8()) return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), len));
    const int n = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(len), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(len), &out[0], n, nullptr, nullptr);
    return out;
}

WinLegacyCodePage::WinLegacyCodePage(unsigned number) : number_(number) {}

std::u16string WinLegacyCodePage::ToUtf16(std::string_view bytes) const {
    if (number_ == 1252) return CodePage1252().ToUtf16(bytes);
    if (bytes.empty()) return std::u16string();
    const int len = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(number_, 0, bytes.data(), len, nullptr, 0);
    if (n <= 0) return std::u16string(bytes.size(), kReplacementChar);
    std::vector<wchar_t> w(static_cast<size_t>(n));
    MultiByteToWideChar(number_, 0, bytes.data(), len, w.data(), n);
    return std::u16string(w.begin(), w.end());
}

bool WinLegacyCodePage::FromUtf16(std::u16string_view text, std::string& bytes) const {
    if (number_ == 1252) return CodePage1252().FromUtf16(text, bytes);
    bytes.clear();
    if (text.empty()) return true;
    const std::wstring w(text.begin(), text.end());
    const int len = static_cast<int>(w.size());
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(number_, WC_NO_BEST_FIT_CHARS, w.data(), len, nullptr, 0, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    bytes.assign(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(number_, WC_NO_BEST_FIT_CHARS, w.data(), len, &bytes[0], n, nullptr, &usedDefault);
    // What reads back differently would not be the same name on disk.
    return !usedDefault && ToUtf16(bytes) == text;
}

unsigned SystemLegacyCodePageNumber() {
    DWORD cp = 0;
    const int chars = sizeof cp / sizeof(WCHAR);
    const LCTYPE type = LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER;
    if (!GetLocaleInfoEx(LOCALE_NAME_SYSTEM_DEFAULT, type, reinterpret_cast<LPWSTR>(&cp), chars)) {
        // Wine 8 does not know the name of the system default; its own name does.
        WCHAR name[LOCALE_NAME_MAX_LENGTH] = {};
        if (!GetSystemDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) ||
            !GetLocaleInfoEx(name, type, reinterpret_cast<LPWSTR>(&cp), chars))
            cp = 0;
    }
    // A locale without an ANSI code page of its own (the Unicode-only ones give
    // 0) wrote no legacy files itself; 1252 is the likeliest for ones brought in.
    if (cp == 0 || cp == CP_UTF8 || !IsValidCodePage(cp)) cp = 1252;
    return cp;
}

TextFileCodec ProgramTextFileCodec() {
    if (!ProcessTextIsUtf8()) return TextFileCodec();
    static const WinLegacyCodePage legacy(SystemLegacyCodePageNumber());
    return TextFileCodec(&legacy);
}

}  // namespace pv
