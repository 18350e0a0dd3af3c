#pragma once
// Text inside the program is UTF-8. Files written by earlier versions (index
// files, pivora.ini, glc.ini) are in the machine's legacy ANSI code page; this
// is where the two meet.
//
// Reading: bytes that are valid UTF-8 are taken as UTF-8, any others as the
// legacy code page. Writing: text that the legacy code page can hold is written
// in it, as earlier versions did (so a store saved without edits keeps every
// byte); any other text is written as UTF-8 without a byte-order mark.
//
// A file in the legacy code page whose bytes also happen to be valid UTF-8 is
// read as UTF-8. In code page 1252 that needs a letter from "ÂÃÄÅÆÇ...ï" followed
// directly by one from "€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ" or "NBSP¡¢...¿" (such as
// "Ã©" for "é"), which real names do not have in practice; such a name then reads
// as the UTF-8 character (here "é") and is written back as that. The other way
// round, text whose legacy bytes would read as UTF-8 ("Ã©" typed as a name) is
// written as UTF-8, so that what is written always reads back as it was.

#include <string>
#include <string_view>

namespace pv {

inline constexpr char16_t kReplacementChar = 0xFFFD;

// Whether the bytes are well-formed UTF-8: no stray continuation bytes, no
// overlong forms, no encoded surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// UTF-8 to UTF-16; each ill-formed sequence becomes one U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
// UTF-16 to UTF-8; a lone surrogate (which W functions can hand over, e.g. a
// file name on NTFS) becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// A legacy ANSI code page: the conversions the operating system gives for it
// (Win32: MultiByteToWideChar / WideCharToMultiByte), or a table here.
class ILegacyCodePage {
public:
    virtual ~ILegacyCodePage() = default;
    virtual unsigned Number() const = 0;
    // Every byte string converts; bytes the code page has no character for
    // become U+FFFD.
    virtual std::u16string ToUtf16(std::string_view bytes) const = 0;
    // False when a character has no exact byte form in the code page (no
    // best-fit "a" for "ą").
    virtual bool FromUtf16(std::u16string_view text, std::string& bytes) const = 0;
};

// A single-byte code page given by the characters of its bytes 0x80 to 0xFF
// (bytes below 0x80 are ASCII); a zero in the table marks a byte without a
// character.
class SingleByteCodePage : public ILegacyCodePage {
public:
    SingleByteCodePage(unsigned number, const char16_t (&upper)[128]);
    unsigned Number() const override { return number_; }
    std::u16string ToUtf16(std::string_view bytes) const override;
    bool FromUtf16(std::u16string_view text, std::string& bytes) const override;

private:
    unsigned number_;
    const char16_t* upper_;
};

// Windows-1252 as Windows converts it: the five bytes without a letter
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same
// number, so that every byte reads and writes back unchanged.
const ILegacyCodePage& CodePage1252();

// How the program's text files are read and written. Without a legacy code page
// (a process whose own code page is the legacy one, as on Windows before 10
// version 1903) the text inside is in that code page too, and files pass
// through unchanged, as they always did.
class TextFileCodec {
public:
    TextFileCodec() = default;
    explicit TextFileCodec(const ILegacyCodePage* legacy) : legacy_(legacy) {}

    bool Converts() const { return legacy_ != nullptr; }

    // File bytes to text. A UTF-8 byte-order mark at the start is dropped.
    std::string Decode(std::string bytes) const;
    void DecodeInPlace(std::string& bytes) const;
    // Text to file bytes: the legacy code page when it holds every character,
    // else UTF-8.
    std::string Encode(const std::string& text) const;

private:
    const ILegacyCodePage* legacy_ = nullptr;
};

}  // namespace pv
