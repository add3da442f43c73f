#pragma once
// Delegates and event sources: a control's OnNotify (and its other event
// sources) call every attached delegate with a pointer to the event record
// (TNotifyUI* for OnNotify, TEventUI* for OnEvent).
//
// A delegate answers true to let the event go on (to the window's
// notifiers, or to the control's own handling) and false to stop it there.

#include <functional>
#include <memory>
#include <vector>

namespace dui {

class CDelegateBase {
 public:
  virtual ~CDelegateBase() = default;
  virtual std::unique_ptr<CDelegateBase> Copy() const = 0;
  virtual bool Invoke(void* param) = 0;
  // Same target: the object and member, or the function.
  virtual bool Equals(const CDelegateBase& other) const = 0;
  bool operator()(void* param) { return Invoke(param); }
};

template <class O, class T>
class CDelegate : public CDelegateBase {
 public:
  using Method = bool (T::*)(void*);
  CDelegate(O* object, Method method) : object_(object), method_(method) {}
  std::unique_ptr<CDelegateBase> Copy() const override { return std::make_unique<CDelegate>(*this); }
  bool Invoke(void* param) override { return (static_cast<T*>(object_)->*method_)(param); }
  bool Equals(const CDelegateBase& other) const override {
    const auto* same = dynamic_cast<const CDelegate*>(&other);
    return same && same->object_ == object_ && same->method_ == method_;
  }

 private:
  O* object_;
  Method method_;
};

class CDelegateStatic : public CDelegateBase {
 public:
  using Function = bool (*)(void*);
  explicit CDelegateStatic(Function function) : function_(function) {}
  std::unique_ptr<CDelegateBase> Copy() const override { return std::make_unique<CDelegateStatic>(*this); }
  bool Invoke(void* param) override { return function_ ? function_(param) : true; }
  bool Equals(const CDelegateBase& other) const override {
    const auto* same = dynamic_cast<const CDelegateStatic*>(&other);
    return same && same->function_ == function_;
  }

 private:
  Function function_;
};

// A delegate around any callable; equal only to copies of itself.
class CDelegateFunction : public CDelegateBase {
 public:
  explicit CDelegateFunction(std::function<bool(void*)> function)
      : function_(std::make_shared<std::function<bool(void*)>>(std::move(function))) {}
  std::unique_ptr<CDelegateBase> Copy() const override { return std::make_unique<CDelegateFunction>(*this); }
  bool Invoke(void* param) override { return *function_ ? (*function_)(param) : true; }
  bool Equals(const CDelegateBase& other) const override {
    const auto* same = dynamic_cast<const CDelegateFunction*>(&other);
    return same && same->function_ == function_;
  }

 private:
  std::shared_ptr<std::function<bool(void*)>> function_;
};

template <class O, class T>
CDelegate<O, T> MakeDelegate(O* object, bool (T::*method)(void*)) {
  return CDelegate<O, T>(object, method);
}
inline CDelegateStatic MakeDelegate(bool (*function)(void*)) { return CDelegateStatic(function); }
inline CDelegateFunction MakeDelegate(std::function<bool(void*)> function) {
  return CDelegateFunction(std::move(function));
}

class CEventSource {
 public:
  CEventSource() = default;
  CEventSource(const CEventSource&) = delete;
  CEventSource& operator=(const CEventSource&) = delete;

  explicit operator bool() const { return !delegates_.empty(); }
  void operator+=(const CDelegateBase& delegate) { delegates_.push_back(delegate.Copy()); }
  void operator+=(bool (*function)(void*)) { *this += CDelegateStatic(function); }
  void operator-=(const CDelegateBase& delegate);
  void operator-=(bool (*function)(void*)) { *this -= CDelegateStatic(function); }
  // Calls the delegates in the order they were attached until one answers
  // false; the answer is false then, true otherwise.
  bool operator()(void* param);
  size_t Count() const { return delegates_.size(); }

 private:
  std::vector<std::unique_ptr<CDelegateBase>> delegates_;
};

}  // namespace dui
