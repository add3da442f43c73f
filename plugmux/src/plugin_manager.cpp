#include "plugmux/plugin_manager.h"

#include <dlfcn.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "platform/text.h"
#include "platform/trace.h"

namespace plugmux {
namespace {

struct PluginRecord {
  std::string path;
  void* library = nullptr;    // dlopen handle, never closed
  void* interface = nullptr;  // GetInterface("") result, kept once non-null
};

struct Registry {
  std::mutex mutex;
  std::map<std::string, PluginRecord> plugins;  // key: id in lower case
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

// A fixed-size text field holds a value only when it is non-empty and
// terminated inside the field.
bool TerminatedText(const char* field, size_t size) {
  return field[0] != '\0' && memchr(field, '\0', size) != nullptr;
}

void* LoadInterface(PluginRecord& record) {
  if (record.interface) return record.interface;
  if (!record.library) {
    record.library = dlopen(record.path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!record.library) {
      platform::DebugTrace("plug-in %s not loaded: %s", record.path.c_str(), dlerror());
      return nullptr;
    }
  }
  using GetInterfaceProc = void* (*)(const char*);
  const auto getInterface = reinterpret_cast<GetInterfaceProc>(dlsym(record.library, "GetInterface"));
  if (!getInterface) {
    platform::DebugTrace("plug-in %s has no GetInterface", record.path.c_str());
    return nullptr;
  }
  record.interface = getInterface("");
  return record.interface;
}

int RegisterPlugin(const PluginDescriptor* descriptor) {
  if (!descriptor || !TerminatedText(descriptor->id, kPluginIdSize) ||
      !TerminatedText(descriptor->path, kPluginPathSize)) {
    return 0;
  }
  try {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    PluginRecord& record = registry.plugins[platform::ToLowerAscii(descriptor->id)];
    if (record.path != descriptor->path) record = PluginRecord{descriptor->path};
    return 1;
  } catch (...) {  // no exception leaves the manager
    return 0;
  }
}

void* GetPluginInterface(const char* id) {
  if (!id) return nullptr;
  try {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    const auto found = registry.plugins.find(platform::ToLowerAscii(id));
    if (found == registry.plugins.end()) return nullptr;
    return LoadInterface(found->second);
  } catch (...) {  // no exception leaves the manager
    return nullptr;
  }
}

PluginManager g_manager;

}  // namespace
}  // namespace plugmux

extern "C" __attribute__((visibility("default"))) plugmux::PluginManager* GetPluginMan() {
  plugmux::g_manager.RegisterPlugin = &plugmux::RegisterPlugin;
  plugmux::g_manager.GetPluginInterface = &plugmux::GetPluginInterface;
  return &plugmux::g_manager;
}
