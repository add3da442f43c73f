#include "dui/resources.h"

#include <map>
#include <utility>

namespace dui {
namespace {

using Blob = std::pair<const uint8_t*, size_t>;

// Filled at static initialisation by the programs' generated code, read
// on the UI thread afterwards.
std::map<int, Blob>& Skins() {
  static std::map<int, Blob> skins;
  return skins;
}

std::map<int, Blob>& Icons() {
  static std::map<int, Blob> icons;
  return icons;
}

bool Lookup(const std::map<int, Blob>& table, int id, const uint8_t** data, size_t* size) {
  const auto it = table.find(id);
  if (it == table.end()) return false;
  if (data) *data = it->second.first;
  if (size) *size = it->second.second;
  return true;
}

}  // namespace

void RegisterSkinResource(int id, const uint8_t* data, size_t size) { Skins()[id] = {data, size}; }
bool FindSkinResource(int id, const uint8_t** data, size_t* size) { return Lookup(Skins(), id, data, size); }
void RegisterIconResource(int id, const uint8_t* png, size_t size) { Icons()[id] = {png, size}; }
bool FindIconResource(int id, const uint8_t** png, size_t* size) { return Lookup(Icons(), id, png, size); }

}  // namespace dui
