#include "platform/window_registry.h"

#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>

#include "platform/window_messages.h"

namespace platform {
namespace {

struct WindowEntry {
  HWND parent = nullptr;
  uint64_t nativeId = 0;
  std::shared_ptr<MessageHandler> handler;
};

struct QueuedMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  std::shared_ptr<std::promise<LRESULT>> reply;  // set for a cross-thread SendMessage
};

class Registry {
 public:
  static Registry& Instance() {
    static Registry registry;
    return registry;
  }

  HWND Create(HWND parent) {
    std::lock_guard<std::mutex> lock(mutex_);
    const HWND handle = reinterpret_cast<HWND>(nextId_++);
    windows_[handle].parent = parent;
    return handle;
  }

  void Destroy(HWND window) {
    std::lock_guard<std::mutex> lock(mutex_);
    windows_.erase(window);
  }

  bool Exists(HWND window) {
    std::lock_guard<std::mutex> lock(mutex_);
    return windows_.count(window) != 0;
  }

  // Runs `fn` on the window's entry under the lock; false when unknown.
  template <typename Fn>
  bool WithEntry(HWND window, Fn&& fn) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = windows_.find(window);
    if (it == windows_.end()) return false;
    fn(it->second);
    return true;
  }

  std::shared_ptr<MessageHandler> HandlerOf(HWND window) {
    std::shared_ptr<MessageHandler> handler;
    WithEntry(window, [&](WindowEntry& entry) { handler = entry.handler; });
    return handler;
  }

  bool Enqueue(QueuedMessage message) {
    std::function<void()> waker;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (windows_.count(message.window) == 0) return false;
      queue_.push_back(std::move(message));
      waker = waker_;
    }
    if (waker) waker();
    return true;
  }

  bool PopFront(QueuedMessage* message) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (queue_.empty()) return false;
    *message = std::move(queue_.front());
    queue_.pop_front();
    return true;
  }

  size_t QueueSize() {
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.size();
  }

  void SetWaker(std::function<void()> waker) {
    std::lock_guard<std::mutex> lock(mutex_);
    waker_ = std::move(waker);
  }

  void BindUiThread() {
    std::lock_guard<std::mutex> lock(mutex_);
    uiThread_ = std::this_thread::get_id();
    uiThreadBound_ = true;
  }

  // True on the UI thread, and on any thread while none is bound.
  bool OnUiThread() {
    std::lock_guard<std::mutex> lock(mutex_);
    return !uiThreadBound_ || uiThread_ == std::this_thread::get_id();
  }

 private:
  std::mutex mutex_;
  uintptr_t nextId_ = 0x1000;
  std::unordered_map<HWND, WindowEntry> windows_;
  std::deque<QueuedMessage> queue_;
  std::function<void()> waker_;
  std::thread::id uiThread_;
  bool uiThreadBound_ = false;
};

LRESULT CallHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const std::shared_ptr<MessageHandler> handler = Registry::Instance().HandlerOf(window);
  return handler && *handler ? (*handler)(window, message, wParam, lParam) : 0;
}

}  // namespace

HWND CreateWindowHandle(HWND parent) { return Registry::Instance().Create(parent); }
void DestroyWindowHandle(HWND window) { Registry::Instance().Destroy(window); }
bool IsWindow(HWND window) { return window && Registry::Instance().Exists(window); }

HWND GetParent(HWND window) {
  HWND parent = nullptr;
  Registry::Instance().WithEntry(window, [&](WindowEntry& entry) { parent = entry.parent; });
  return parent;
}

void SetParent(HWND window, HWND parent) {
  Registry::Instance().WithEntry(window, [&](WindowEntry& entry) { entry.parent = parent; });
}

void SetWindowHandler(HWND window, MessageHandler handler) {
  auto shared = std::make_shared<MessageHandler>(std::move(handler));
  Registry::Instance().WithEntry(window, [&](WindowEntry& entry) { entry.handler = shared; });
}

void SetNativeWindowId(HWND window, uint64_t nativeId) {
  Registry::Instance().WithEntry(window, [&](WindowEntry& entry) { entry.nativeId = nativeId; });
}

uint64_t GetNativeWindowId(HWND window) {
  uint64_t id = 0;
  Registry::Instance().WithEntry(window, [&](WindowEntry& entry) { id = entry.nativeId; });
  return id;
}

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Registry::Instance().Enqueue({window, message, wParam, lParam, nullptr});
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Registry& registry = Registry::Instance();
  if (registry.OnUiThread()) return CallHandler(window, message, wParam, lParam);
  auto reply = std::make_shared<std::promise<LRESULT>>();
  std::future<LRESULT> result = reply->get_future();
  if (!registry.Enqueue({window, message, wParam, lParam, reply})) return 0;
  return result.get();
}

bool ShowWindow(HWND window, bool show) { return PostMessage(window, WM_SHOWWINDOW, show ? 1 : 0, 0); }

void BindUiThread() { Registry::Instance().BindUiThread(); }
bool IsUiThread() { return Registry::Instance().OnUiThread(); }
void SetMessageWaker(std::function<void()> waker) { Registry::Instance().SetWaker(std::move(waker)); }
size_t PendingMessageCount() { return Registry::Instance().QueueSize(); }

size_t DispatchPostedMessages() {
  // Messages are taken one at a time, so a handler that pumps messages
  // itself (a nested wait) delivers the older ones first and the order of
  // posting holds across nesting.
  Registry& registry = Registry::Instance();
  const size_t queuedBefore = registry.QueueSize();
  size_t delivered = 0;
  QueuedMessage queued{};
  while (delivered < queuedBefore && registry.PopFront(&queued)) {
    // A window destroyed after the post gets nothing; its sender gets 0.
    const LRESULT result = CallHandler(queued.window, queued.message, queued.wParam, queued.lParam);
    if (queued.reply) queued.reply->set_value(result);
    ++delivered;
  }
  return delivered;
}

}  // namespace platform
