#pragma once
// Resources embedded in a program: skin archives and window icons by
// integer id. Programs register them at start-up from generated code
// (kestra_embed_skin in skins/CMakeLists.txt); the framework looks them up.

#include <cstddef>
#include <cstdint>

namespace dui {

void RegisterSkinResource(int id, const uint8_t* data, size_t size);
bool FindSkinResource(int id, const uint8_t** data, size_t* size);
void RegisterIconResource(int id, const uint8_t* png, size_t size);
bool FindIconResource(int id, const uint8_t** png, size_t* size);

// Registers at static initialisation (used by the generated code).
struct SkinResourceRegistration {
  SkinResourceRegistration(int id, const uint8_t* data, size_t size) { RegisterSkinResource(id, data, size); }
};
struct IconResourceRegistration {
  IconResourceRegistration(int id, const uint8_t* png, size_t size) { RegisterIconResource(id, png, size); }
};

}  // namespace dui
