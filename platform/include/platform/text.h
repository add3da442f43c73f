#pragma once
// Text helpers: UTF-8 is the system code page of the suite; the player and
// the calibration tool keep their strings in UTF-16 and convert at the edges.

#include <string>
#include <string_view>

namespace platform {

// Malformed input (bad UTF-8 bytes, lone surrogates) becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// ASCII-only case folding, the rule used for profile, archive and file names.
char ToLowerAscii(char c);
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix);

// Leading and trailing blanks (space, tab, CR, LF, VT, FF) removed.
std::string_view TrimBlanks(std::string_view text);

}  // namespace platform
