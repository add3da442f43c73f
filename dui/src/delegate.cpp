#include "dui/delegate.h"

#include <algorithm>

namespace dui {

void CEventSource::operator-=(const CDelegateBase& delegate) {
  const auto it = std::find_if(delegates_.begin(), delegates_.end(),
                               [&](const std::unique_ptr<CDelegateBase>& d) { return d->Equals(delegate); });
  if (it != delegates_.end()) delegates_.erase(it);
}

bool CEventSource::operator()(void* param) {
  // A delegate may attach or detach others while it runs: call a snapshot.
  std::vector<std::unique_ptr<CDelegateBase>> snapshot;
  snapshot.reserve(delegates_.size());
  for (const auto& delegate : delegates_) snapshot.push_back(delegate->Copy());
  for (const auto& delegate : snapshot) {
    if (!delegate->Invoke(param)) return false;
  }
  return true;
}

}  // namespace dui
