#pragma once
// The language plug-in's interface, as its clients see it.
//
// The plug-in is built twice from one source: liblingua.so works with UTF-16
// strings (the player and the calibration tool), liblingua_asc.so with 8-bit
// UTF-8 strings (the updater). Both export one C function, GetInterface,
// which fills the library's single static record and returns its address;
// its argument is ignored (callers pass an empty string). The record and
// the texts belong to the library and live as long as it stays loaded.

#include <cstdint>

namespace lingua {

template <typename Char>
struct BasicLanguageInterface {
  // Loads the texts of the ".osd" file `name` (a bare name is looked up in
  // the program folder). Always returns 1; a file that cannot be read keeps
  // the texts loaded before.
  int (*LoadLanguageFile)(const Char* name);
  // Text `number` of the chosen language, counting from 0; an empty text for
  // a number outside the list, never null. Valid until the next load.
  const Char* (*GetText)(int32_t number);
};

using LanguageInterfaceW = BasicLanguageInterface<char16_t>;  // liblingua.so
using LanguageInterfaceA = BasicLanguageInterface<char>;      // liblingua_asc.so

// Signature of the exported GetInterface; cast its result to the record of
// the build that was loaded.
using GetInterfaceProc = void* (*)(const char* ignored);

constexpr const char* kWideLibraryName = "liblingua.so";
constexpr const char* kNarrowLibraryName = "liblingua_asc.so";
constexpr const char* kGetInterfaceSymbol = "GetInterface";

// Language numbers used in the files' [Option] sections: primary language
// identifiers, except Chinese in traditional script.
constexpr int kLanguageEnglish = 9;
constexpr int kLanguageChineseSimplified = 4;
constexpr int kLanguageChineseTraditional = 31748;

}  // namespace lingua
