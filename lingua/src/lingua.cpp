// The language plug-in. This one source is compiled twice: with
// LINGUA_WIDE=1 into liblingua.so (UTF-16 strings) and with LINGUA_WIDE=0
// into liblingua_asc.so (8-bit UTF-8 strings). Both export GetInterface.
//
// A language file is an INI file: section [Option] holds the key Option
// (the language number, 0 = choose automatically) and one key per language
// number naming the section with that language's texts. Every line of that
// section is one text, in order: what follows the line's first '=', or the
// whole line when it has none.

#include <sys/stat.h>

#include <string>
#include <vector>

#include "lingua/language_interface.h"
#include "lingua/ui_language.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/text.h"

#ifndef LINGUA_WIDE
#error "LINGUA_WIDE must be 0 or 1"
#endif

namespace {

#if LINGUA_WIDE
using Char = char16_t;
#else
using Char = char;
#endif
using String = std::basic_string<Char>;

constexpr uint32_t kSectionNameSize = 259;  // 258 characters and the NUL

// -- conversions between the build's strings and the UTF-8 of the platform

std::string ToUtf8(const String& text) {
#if LINGUA_WIDE
  return platform::Utf16ToUtf8(text);
#else
  return text;
#endif
}

String FromUtf8(const std::string& text) {
#if LINGUA_WIDE
  return platform::Utf8ToUtf16(text);
#else
  return text;
#endif
}

// -- the profile functions of the build's character type

int ProfileInt(const String& section, const String& key, const String& path) {
#if LINGUA_WIDE
  return platform::GetPrivateProfileIntW(section.c_str(), key.c_str(), 0, path.c_str());
#else
  return platform::GetPrivateProfileIntA(section.c_str(), key.c_str(), 0, path.c_str());
#endif
}

String ProfileString(const String& section, const String& key, const String& path) {
  Char buffer[kSectionNameSize] = {};
#if LINGUA_WIDE
  platform::GetPrivateProfileStringW(section.c_str(), key.c_str(), u"", buffer, kSectionNameSize, path.c_str());
#else
  platform::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, kSectionNameSize, path.c_str());
#endif
  return String(buffer);
}

// The section's lines as one list of NUL-terminated strings.
std::vector<Char> ProfileSection(const String& section, const String& path, uint32_t size) {
  std::vector<Char> buffer(size, Char(0));
#if LINGUA_WIDE
  platform::GetPrivateProfileSectionW(section.c_str(), buffer.data(), size, path.c_str());
#else
  platform::GetPrivateProfileSectionA(section.c_str(), buffer.data(), size, path.c_str());
#endif
  return buffer;
}

// -- state of the library, one set per process (loaded on the UI thread)

struct LanguageState {
  String filePath;
  int languageNumber = 0;
  String sectionName;
  std::vector<String> texts;
  const String emptyText;
};

LanguageState& State() {
  static LanguageState state;
  return state;
}

const String kOption = FromUtf8("Option");

// The language file's path: a name holding a folder separator is used as
// given, a bare name is taken from the program folder.
String LanguageFilePath(const String& name) {
  if (name.find(Char('/')) != String::npos) return name;
  return FromUtf8(platform::ProgramFolder()) + name;
}

// The language number: the file's own choice, replaced by lanid.osd beside
// the program when that file exists (even when it says 0), then resolved
// from the user's interface language when it is 0.
int ChooseLanguageNumber(const String& path, uint16_t userLanguage) {
  int number = ProfileInt(kOption, kOption, path);
  const std::string overridePath = platform::ProgramFolderFile("lanid.osd");
  if (platform::FileExists(overridePath)) number = ProfileInt(kOption, kOption, FromUtf8(overridePath));
  if (number == 0) number = lingua::AutomaticLanguageNumber(userLanguage);
  return number;
}

// A text is what follows the first '=' of its line, or the whole line.
String TextOfLine(const Char* line) {
  const String text(line);
  const size_t equals = text.find(Char('='));
  return equals == String::npos ? text : text.substr(equals + 1);
}

void LoadTexts(const Char* name) {
  LanguageState& state = State();
  const uint16_t userLanguage = lingua::UserDefaultUiLanguage();
  state.filePath = LanguageFilePath(name ? String(name) : String());

  state.languageNumber = ChooseLanguageNumber(state.filePath, userLanguage);
  state.sectionName = ProfileString(kOption, FromUtf8(std::to_string(state.languageNumber)), state.filePath);
  if (state.sectionName.empty()) {
    state.languageNumber = lingua::kLanguageEnglish;
    state.sectionName = ProfileString(kOption, FromUtf8(std::to_string(state.languageNumber)), state.filePath);
  }

  struct stat info {};
  if (stat(ToUtf8(state.filePath).c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) {
    return;  // no file: the texts loaded before stay
  }
  // The whole section fits a buffer as long as the file; twice that leaves
  // room for a UTF-16 file whose texts grow when read as UTF-8.
  const uint32_t size = static_cast<uint32_t>(info.st_size) * 2 + 2;
  const std::vector<Char> lines = ProfileSection(state.sectionName, state.filePath, size);
  state.texts.clear();
  for (size_t at = 0; at < lines.size() && lines[at] != Char(0);) {
    const Char* line = &lines[at];
    state.texts.push_back(TextOfLine(line));
    at += std::char_traits<Char>::length(line) + 1;
  }
}

// No exception leaves the plug-in: a file that cannot be read (a folder
// where a file was expected, for one) keeps the texts loaded before.
int LoadLanguageFile(const Char* name) {
  try {
    LoadTexts(name);
  } catch (...) {
  }
  return 1;
}

const Char* GetText(int32_t number) {
  const LanguageState& state = State();
  if (number < 0 || static_cast<size_t>(number) >= state.texts.size()) return state.emptyText.c_str();
  return state.texts[static_cast<size_t>(number)].c_str();
}

lingua::BasicLanguageInterface<Char> g_interface;

}  // namespace

extern "C" __attribute__((visibility("default"))) void* GetInterface(const char* /*ignored*/) {
  g_interface.LoadLanguageFile = &LoadLanguageFile;
  g_interface.GetText = &GetText;
  return &g_interface;
}
