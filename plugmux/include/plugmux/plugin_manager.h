#pragma once
// The plug-in manager: a program records a plug-in by its descriptor, then
// asks for the plug-in's interface by id. The manager loads the recorded
// library on the first request and returns what its exported
// GetInterface("") gives. The library stays loaded for the life of the
// process.

#include <cstddef>
#include <cstdint>

namespace plugmux {

constexpr size_t kPluginIdSize = 64;     // NUL-terminated id text
constexpr size_t kPluginPathSize = 260;  // NUL-terminated full path, UTF-8

// The 324-byte descriptor, zero-filled before use.
struct PluginDescriptor {
  char id[kPluginIdSize];
  char path[kPluginPathSize];
};
static_assert(sizeof(PluginDescriptor) == 324, "descriptor layout is fixed");

// Entries in this order, C calling convention.
struct PluginManager {
  // Records the descriptor's id and path (a later record of the same id
  // replaces the path). 1 when recorded; 0 for a null descriptor, an empty
  // or unterminated id, or an empty or unterminated path.
  int (*RegisterPlugin)(const PluginDescriptor* descriptor);
  // The recorded plug-in's interface, or null when the id is unknown, its
  // library cannot be loaded or lacks GetInterface. Ids match without
  // regard to case.
  void* (*GetPluginInterface)(const char* id);
};

using GetPluginManProc = PluginManager* (*)();

constexpr const char* kLibraryName = "libplugmux.so";
constexpr const char* kGetPluginManSymbol = "GetPluginMan";

}  // namespace plugmux
