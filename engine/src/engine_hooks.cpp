#include "engine_hooks.h"

namespace domeview {

EngineHooks& TestHooks() {
  static EngineHooks hooks;
  return hooks;
}

}  // namespace domeview
