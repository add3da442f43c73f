#include "error_text.h"

#include <cstdarg>
#include <cstdio>

namespace domeview {

void ErrorText::Set(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Write(false, format, args);
  va_end(args);
}

void ErrorText::SetAndPrint(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Write(true, format, args);
  va_end(args);
}

void ErrorText::Write(bool print, const char* format, va_list args) {
  std::lock_guard<std::mutex> lock(lock_);
  std::vsnprintf(text_, sizeof(text_), format, args);
  if (print) {
    std::fputs(text_, stdout);
    std::fflush(stdout);
  }
}

}  // namespace domeview
