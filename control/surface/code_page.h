// Conversion between the host's UTF-8 text and the engine's bytes in the
// control's code page.
#pragma once

#include <string>
#include <string_view>

namespace vornik::surface {

constexpr int kCodePageAnsi = 0; // the system ANSI code page: Windows-1252 here
constexpr int kCodePage1252 = 1252;
constexpr int kCodePageUtf8 = 65001;

struct Converted {
    bool ok = false;
    std::string text; // the converted text when ok, else the reason
};

// Whether strings can be converted with this code page: only code pages
// that carry printable ASCII byte for byte both ways. Not UTF-16 or UTF-32
// (engine strings are byte strings), not UTF-7 ("+" becomes "+-") and not
// the EBCDIC pages: with those, setting names like "CodePage=0" would no
// longer reach the engine as written.
bool IsSupportedCodePage(int codePage);
// "Code page 65000 is not supported."
std::string CodePageRefusal(int codePage);

// Host text to engine bytes. Invalid UTF-8 fails; a character the code page
// cannot hold becomes "?", as the platform's converter does.
Converted ToEngine(std::string_view utf8, int codePage);

// Engine bytes to host text. Bytes that are no character of the code page
// become U+FFFD. Under Windows-1252 every byte maps to one character.
Converted FromEngine(std::string_view bytes, int codePage);

// Checks UTF-8 (U+0000 allowed, no surrogates, no overlong forms).
bool IsValidUtf8(std::string_view text);

} // namespace vornik::surface
