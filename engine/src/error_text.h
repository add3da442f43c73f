#pragma once
// The engine's last-error text: overwritten by each failure, never cleared.

#include <cstdarg>
#include <mutex>

namespace domeview {

class ErrorText {
 public:
  static constexpr int kSize = 1024;

  void Set(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Sets the text and prints the same text on standard output.
  void SetAndPrint(const char* format, ...) __attribute__((format(printf, 2, 3)));
  const char* c_str() const { return text_; }

 private:
  void Write(bool print, const char* format, va_list args);

  std::mutex lock_;
  char text_[kSize] = {};
};

}  // namespace domeview
