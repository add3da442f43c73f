#include "lingua/ui_language.h"

#include <cstdlib>
#include <string>

#include "lingua/language_interface.h"
#include "platform/text.h"

namespace lingua {
namespace {

struct PrimaryLanguage {
  const char* code;  // ISO 639 code, lower case
  uint16_t primary;  // primary language identifier
};

// The languages a desktop locale is likely to name. Anything else is shown
// in English, the language every file is expected to carry.
constexpr PrimaryLanguage kPrimaryLanguages[] = {
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06},  {"de", 0x07},
    {"el", 0x08}, {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C}, {"he", 0x0D},  {"hu", 0x0E},
    {"is", 0x0F}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12}, {"nl", 0x13}, {"nb", 0x14},  {"nn", 0x14},
    {"no", 0x14}, {"pl", 0x15}, {"pt", 0x16}, {"rm", 0x17}, {"ro", 0x18}, {"ru", 0x19},  {"hr", 0x1A},
    {"sr", 0x1A}, {"bs", 0x1A}, {"sk", 0x1B}, {"sq", 0x1C}, {"sv", 0x1D}, {"th", 0x1E},  {"tr", 0x1F},
    {"ur", 0x20}, {"id", 0x21}, {"uk", 0x22}, {"be", 0x23}, {"sl", 0x24}, {"et", 0x25},  {"lv", 0x26},
    {"lt", 0x27}, {"tg", 0x28}, {"fa", 0x29}, {"vi", 0x2A}, {"hy", 0x2B}, {"az", 0x2C},  {"eu", 0x2D},
    {"mk", 0x2F}, {"af", 0x36}, {"ka", 0x37}, {"fo", 0x38}, {"hi", 0x39}, {"mt", 0x3A},  {"ga", 0x3C},
    {"ms", 0x3E}, {"kk", 0x3F}, {"ky", 0x40}, {"sw", 0x41}, {"uz", 0x43}, {"tt", 0x44},  {"bn", 0x45},
    {"pa", 0x46}, {"gu", 0x47}, {"ta", 0x49}, {"te", 0x4A}, {"kn", 0x4B}, {"ml", 0x4C},  {"mr", 0x4E},
    {"mn", 0x50}, {"cy", 0x52}, {"km", 0x53}, {"lo", 0x54}, {"gl", 0x56}, {"si", 0x5B},  {"am", 0x5E},
    {"ne", 0x61}, {"ps", 0x63}, {"fil", 0x64},
};

constexpr uint16_t kSubLanguageDefault = 1;
constexpr uint16_t kChineseTaiwan = 1;
constexpr uint16_t kChineseMainland = 2;
constexpr uint16_t kChineseHongKong = 3;
constexpr uint16_t kChineseSingapore = 4;
constexpr uint16_t kChineseMacao = 5;
constexpr uint16_t kEnglishUs = MakeLanguageId(kLanguageEnglish, kSubLanguageDefault);

// Sublanguage of Chinese from a region ("TW") or script ("Hant") subtag;
// 0 when the subtag says nothing about it.
uint16_t ChineseSubLanguage(std::string_view subtag) {
  const std::string tag = platform::ToUpperAscii(subtag);
  if (tag == "TW") return kChineseTaiwan;
  if (tag == "CN") return kChineseMainland;
  if (tag == "HK") return kChineseHongKong;
  if (tag == "SG") return kChineseSingapore;
  if (tag == "MO") return kChineseMacao;
  if (tag == "HANT") return kChineseTaiwan;
  if (tag == "HANS") return kChineseMainland;
  return 0;
}

// "zh_Hant_TW.UTF-8@euro" -> language "zh" and the subtags "Hant", "TW".
std::string_view StripEncodingAndModifier(std::string_view name) {
  const size_t cut = name.find_first_of(".@");
  return cut == std::string_view::npos ? name : name.substr(0, cut);
}

std::string_view FirstLanguageEntry(const char* list) {
  std::string_view rest = list ? list : "";
  while (!rest.empty()) {
    const size_t colon = rest.find(':');
    const std::string_view entry = rest.substr(0, colon);
    if (!entry.empty()) return entry;
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return {};
}

}  // namespace

uint16_t LanguageIdFromLocaleName(std::string_view name) {
  std::string_view rest = StripEncodingAndModifier(platform::TrimBlanks(name));
  const size_t split = rest.find_first_of("_-");
  const std::string language = platform::ToLowerAscii(rest.substr(0, split));
  rest = split == std::string_view::npos ? std::string_view() : rest.substr(split + 1);

  for (const PrimaryLanguage& entry : kPrimaryLanguages) {
    if (language != entry.code) continue;
    if (entry.primary != kLanguageChineseSimplified) return MakeLanguageId(entry.primary, kSubLanguageDefault);
    // Chinese: the region decides the script; a script subtag counts as
    // well. Plain "zh" is taken as the mainland's simplified script.
    uint16_t sub = 0;
    while (!rest.empty()) {
      const size_t next = rest.find_first_of("_-");
      if (const uint16_t found = ChineseSubLanguage(rest.substr(0, next))) sub = found;
      if (next == std::string_view::npos) break;
      rest.remove_prefix(next + 1);
    }
    return MakeLanguageId(entry.primary, sub ? sub : kChineseMainland);
  }
  return kEnglishUs;
}

uint16_t UserDefaultUiLanguage() {
  const std::string_view language = FirstLanguageEntry(std::getenv("LANGUAGE"));
  if (!language.empty()) return LanguageIdFromLocaleName(language);
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return LanguageIdFromLocaleName(value);
  }
  return kEnglishUs;
}

int AutomaticLanguageNumber(uint16_t languageId) {
  const int primary = PrimaryLanguageOf(languageId);
  if (primary != kLanguageChineseSimplified) return primary;
  const uint16_t sub = SubLanguageOf(languageId);
  return sub == kChineseMainland || sub == kChineseSingapore ? kLanguageChineseSimplified
                                                             : kLanguageChineseTraditional;
}

}  // namespace lingua
