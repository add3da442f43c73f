#pragma once
// Private-profile (INI) files with the semantics the programs were written
// against:
//  - section and key names match without regard to case, blanks around
//    names and values are ignored, the first matching section and key win;
//  - a missing file, section or key gives the caller's default;
//  - GetPrivateProfileInt parses the leading number of the value (decimal,
//    or with a 0x/0o/0b prefix) and gives 0 for text that is not a number;
//  - GetPrivateProfileSection returns the section's lines as written
//    ("key=value" or any other text), blank lines left out;
//  - results are cut to the caller's buffer and always NUL-terminated.
// Files are UTF-8 (a UTF-8 or UTF-16LE byte-order mark is honoured and kept
// when the file is written back). The A functions take UTF-8, the W
// functions UTF-16; W buffer sizes count char16_t units.

#include <cstdint>
#include <string>

namespace platform {

// Value of the key as an integer; `defaultValue` when the file, section or
// key is missing or the value is empty.
int GetPrivateProfileIntA(const char* section, const char* key, int defaultValue, const char* path);

// Copies the value (one pair of surrounding quotes removed) or the default
// into `buffer` and returns the number of characters copied, without the
// NUL. A value cut to fit gives size - 1.
// A null `section` lists the section names, a null `key` the key names of
// the section: each name NUL-terminated, the list ended by a second NUL; a
// list cut to fit gives size - 2.
uint32_t GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                  char* buffer, uint32_t size, const char* path);

// The section's lines, each NUL-terminated, the list ended by a second NUL.
// Returns the characters copied without the final NUL; size - 2 when cut.
uint32_t GetPrivateProfileSectionA(const char* section, char* buffer, uint32_t size, const char* path);

// Sets the key, creating the file and section when needed. A null `value`
// removes the key, a null `key` removes the section. The file is replaced
// atomically; every other line is kept as written. False when the file
// cannot be written.
bool WritePrivateProfileStringA(const char* section, const char* key, const char* value, const char* path);

int GetPrivateProfileIntW(const char16_t* section, const char16_t* key, int defaultValue, const char16_t* path);
uint32_t GetPrivateProfileStringW(const char16_t* section, const char16_t* key, const char16_t* defaultValue,
                                  char16_t* buffer, uint32_t size, const char16_t* path);
uint32_t GetPrivateProfileSectionW(const char16_t* section, char16_t* buffer, uint32_t size, const char16_t* path);
bool WritePrivateProfileStringW(const char16_t* section, const char16_t* key, const char16_t* value,
                                const char16_t* path);

// Convenience for our own code: the value as a string, no buffer limit.
std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, const std::string& path);

}  // namespace platform
