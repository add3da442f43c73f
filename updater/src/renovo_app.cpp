#include "renovo_app.h"

#include <dlfcn.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <lua.hpp>

#include "platform/paths.h"
#include "platform/ui/message_box.h"
#include "platform/ui/win_types.h"
#include "platform/trace.h"
#include "plugmux/plugin_manager.h"
#include "renovo_dlg.h"
#include "script_host.h"

namespace renovo {

CRenovoApp::~CRenovoApp() { CloseMainState(); }

void CRenovoApp::CloseMainState() {
  if (m_lua) lua_close(m_lua);
  m_lua = nullptr;
}

std::string CRenovoApp::Text(int number) const {
  const char* text = m_lang ? m_lang->GetText(number) : nullptr;
  return text ? text : "";
}

// The plug-in manager from the program folder, the language plug-in
// recorded with it by descriptor, and the plug-in's interface by id. Any
// missing piece fails the whole, so no entry is ever called through null.
bool CRenovoApp::LoadLanguagePlugin() {
  void* library = dlopen(platform::ProgramFolderFile(plugmux::kLibraryName).c_str(), RTLD_NOW | RTLD_LOCAL);
  const auto getPluginMan =
      library ? reinterpret_cast<plugmux::GetPluginManProc>(dlsym(library, plugmux::kGetPluginManSymbol)) : nullptr;
  plugmux::PluginManager* manager = getPluginMan ? getPluginMan() : nullptr;
  if (!manager || !manager->RegisterPlugin || !manager->GetPluginInterface) {
    platform::DebugTrace("LoadPluginCenter Error");
    if (!library) platform::DebugTrace("%s", dlerror());
    return false;
  }

  const std::string path = platform::ProgramFolderFile(lingua::kNarrowLibraryName);
  if (path.size() >= plugmux::kPluginPathSize) {
    platform::DebugTrace("plug-in path too long: %s", path.c_str());
    return false;
  }
  plugmux::PluginDescriptor descriptor;
  std::memset(&descriptor, 0, sizeof(descriptor));
  std::strncpy(descriptor.id, kLanguagePluginId, plugmux::kPluginIdSize - 1);
  std::memcpy(descriptor.path, path.c_str(), path.size());
  manager->RegisterPlugin(&descriptor);

  m_lang = static_cast<const lingua::LanguageInterfaceA*>(manager->GetPluginInterface(kLanguagePluginId));
  if (m_lang && (!m_lang->LoadLanguageFile || !m_lang->GetText)) m_lang = nullptr;
  return m_lang != nullptr;
}

int CRenovoApp::Run() {
  if (!gtk_init_check(nullptr, nullptr)) {
    std::fprintf(stderr, "renovo_ex: cannot open the display\n");
    return 1;
  }
  m_lua = luaL_newstate();
  if (!m_lua) return 1;
  luaL_openlibs(m_lua);
  RegisterGetInstance(m_lua);

  if (!LoadLanguagePlugin()) {
    platform::ui::MessageBoxA(nullptr, kPluginErrorText, "renovo_ex", platform::MB_OK | platform::MB_ICONWARNING);
    CloseMainState();
    return 0;
  }
  m_lang->LoadLanguageFile(platform::ProgramFolderFile("renovo.osd").c_str());

  CRenovoDlg dialog(*this);
  dialog.DoModal();
  if (dialog.WorkerAbandoned()) {
    // The script would not stop; its state and the dialog are still in use
    // by the worker, so end here without tearing them down.
    std::fflush(nullptr);
    _exit(0);
  }
  CloseMainState();
  return 0;
}

}  // namespace renovo

int main() {
  // Script output (print, failures) reaches a redirected log line by line.
  setvbuf(stdout, nullptr, _IOLBF, 0);
  renovo::CRenovoApp app;
  return app.Run();
}
