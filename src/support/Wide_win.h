#pragma once
// Text at the Win32 boundary. Inside, text is UTF-8; the application manifest
// makes UTF-8 the process's code page (Windows 10 version 1903 and later, Wine
// 8), so the A functions take it as it is. Where the process code page does not
// reach (GDI text drawing, some shell and dialog structures), W functions get
// the text through Widen and hand it back through Narrow. On older Windows the
// process code page is the legacy one, the text inside is in it too, and both
// helpers convert with it, as the A functions do.

#include <windows.h>

#include <string>

#include "support/TextCodec.h"

namespace pv {

// Whether the process's code page (GetACP) is UTF-8.
bool ProcessTextIsUtf8();

std::wstring Widen(const std::string& text);
// A lone surrogate becomes U+FFFD. length -1: up to the terminating zero.
std::string Narrow(const wchar_t* text, int length = -1);
inline std::string Narrow(const std::wstring& text) { return Narrow(text.c_str(), static_cast<int>(text.size())); }

// The machine's legacy ANSI code page: LOCALE_IDEFAULTANSICODEPAGE of the
// system locale (not GetACP, which the manifest has made UTF-8), 1252 when the
// locale has none. Conversions through MultiByteToWideChar and
// WideCharToMultiByte, and for 1252 the table of CodePage1252, which gives the
// same answers.
class WinLegacyCodePage : public ILegacyCodePage {
public:
    explicit WinLegacyCodePage(unsigned number);
    unsigned Number() const override { return number_; }
    std::u16string ToUtf16(std::string_view bytes) const override;
    bool FromUtf16(std::u16string_view text, std::string& bytes) const override;

private:
    unsigned number_;
};

unsigned SystemLegacyCodePageNumber();
// The codec for the program's text files: converting when the process's code
// page is UTF-8, passing bytes through otherwise.
TextFileCodec ProgramTextFileCodec();

}  // namespace pv
