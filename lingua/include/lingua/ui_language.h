#pragma once
// The user's interface language, read from the locale environment and
// expressed as the language identifiers the language files are keyed by.

#include <cstdint>
#include <string_view>

namespace lingua {

// Language identifier: primary language in the low 10 bits, sublanguage in
// the next 6 (the layout of the identifiers the language files were made
// for). Chinese: sublanguage 1 Taiwan, 2 mainland, 3 Hong Kong, 4
// Singapore, 5 Macao.
constexpr uint16_t MakeLanguageId(uint16_t primary, uint16_t sub) {
  return static_cast<uint16_t>((sub << 10) | primary);
}
constexpr uint16_t PrimaryLanguageOf(uint16_t id) { return id & 0x3FF; }
constexpr uint16_t SubLanguageOf(uint16_t id) { return id >> 10; }

// Identifier for a POSIX locale name such as "zh_TW.UTF-8", "de_DE@euro",
// "pt-BR" or "zh_Hant". "C", "POSIX", empty and unknown names give English.
uint16_t LanguageIdFromLocaleName(std::string_view name);

// The first of LANGUAGE (its first non-empty entry), LC_ALL, LC_MESSAGES
// and LANG that is set, as an identifier.
uint16_t UserDefaultUiLanguage();

// The language number an automatic choice gives for an identifier: its
// primary language, where Chinese stays 4 for the mainland and Singapore
// and becomes 31748 (traditional script) for every other region.
int AutomaticLanguageNumber(uint16_t languageId);

}  // namespace lingua
