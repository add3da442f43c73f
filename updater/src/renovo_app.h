#pragma once
// The updater program: the main Lua state, the language plug-in reached
// through the plug-in manager, and the main dialog run modally.

#include <string>

#include "lingua/language_interface.h"

struct lua_State;

namespace renovo {

// Id under which the 8-bit language plug-in is recorded with the manager.
constexpr const char* kLanguagePluginId = "117670F-EA5B-46CD-83EF-202D7528D532";
// Shown when the plug-in manager or the language plug-in cannot be had.
constexpr const char* kPluginErrorText = "Load Plugin lang.dll Error ";

class CRenovoApp {
 public:
  CRenovoApp() = default;
  CRenovoApp(const CRenovoApp&) = delete;
  CRenovoApp& operator=(const CRenovoApp&) = delete;
  ~CRenovoApp();

  // Everything from start to the end of the dialog; the exit code.
  int Run();

  // The main state: the update script runs in it on the worker thread.
  // Null once closed.
  lua_State* MainState() const { return m_lua; }
  void CloseMainState();

  // Text of "renovo.osd" by number; empty when there is none.
  std::string Text(int number) const;

 private:
  bool LoadLanguagePlugin();

  lua_State* m_lua = nullptr;
  const lingua::LanguageInterfaceA* m_lang = nullptr;  // owned by the plug-in
};

}  // namespace renovo
