#include "error_text.h"

#include <cstdarg>
#include <cstdio>

namespace domeview {

void ErrorText::Set(const char* format, ...) {
  std::lock_guard<std::mutex> lock(lock_);
  va_list args;
  va_start(args, format);
  std::vsnprintf(text_, sizeof(text_), format, args);
  va_end(args);
}

void ErrorText::SetAndPrint(const char* format, ...) {
  std::lock_guard<std::mutex> lock(lock_);
  va_list args;
  va_start(args, format);
  std::vsnprintf(text_, sizeof(text_), format, args);
  va_end(args);
  std::fputs(text_, stdout);
  std::fflush(stdout);
}

}  // namespace domeview
