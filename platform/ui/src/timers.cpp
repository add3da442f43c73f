#include "platform/ui/timers.h"

#include <glib.h>

#include <map>
#include <memory>
#include <utility>

#include "platform/ui/win_types.h"
#include "platform/window_registry.h"

namespace platform::ui {
namespace {

struct Timer {
  guint source = 0;
  bool alive = true;
};

using TimerKey = std::pair<HWND, uintptr_t>;

// UI thread only.
std::map<TimerKey, std::shared_ptr<Timer>>& Timers() {
  static std::map<TimerKey, std::shared_ptr<Timer>> timers;
  return timers;
}

struct TickData {
  TimerKey key;
  std::shared_ptr<Timer> timer;
};

gboolean OnTick(gpointer data) {
  auto* tick = static_cast<TickData*>(data);
  if (!tick->timer->alive) return G_SOURCE_REMOVE;
  if (!platform::IsWindow(tick->key.first)) {
    tick->timer->alive = false;
    Timers().erase(tick->key);
    return G_SOURCE_REMOVE;
  }
  // Keeps the timer alive while its handler runs, even if the handler kills it.
  const std::shared_ptr<Timer> keep = tick->timer;
  platform::SendMessage(tick->key.first, WM_TIMER, tick->key.second, 0);
  return keep->alive ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

void Stop(const std::shared_ptr<Timer>& timer) {
  timer->alive = false;
  // Removing a source from inside its own callback is allowed; GLib frees
  // the tick data only after that callback has returned.
  if (timer->source != 0) g_source_remove(timer->source);
  timer->source = 0;
}

}  // namespace

bool SetTimer(HWND window, uintptr_t id, uint32_t periodMs) {
  if (!platform::IsWindow(window)) return false;
  const TimerKey key{window, id};
  if (auto it = Timers().find(key); it != Timers().end()) {
    Stop(it->second);
    Timers().erase(it);
  }
  auto timer = std::make_shared<Timer>();
  auto* data = new TickData{key, timer};
  timer->source = g_timeout_add_full(G_PRIORITY_DEFAULT, periodMs == 0 ? 1 : periodMs, OnTick, data,
                                     [](gpointer p) { delete static_cast<TickData*>(p); });
  Timers()[key] = timer;
  return true;
}

bool KillTimer(HWND window, uintptr_t id) {
  const auto it = Timers().find({window, id});
  if (it == Timers().end()) return false;
  Stop(it->second);
  Timers().erase(it);
  return true;
}

void KillAllTimers(HWND window) {
  auto& timers = Timers();
  for (auto it = timers.lower_bound({window, 0}); it != timers.end() && it->first.first == window;) {
    Stop(it->second);
    it = timers.erase(it);
  }
}

}  // namespace platform::ui
