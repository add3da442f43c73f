#include "platform/trace.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace platform {

void PrefixedTraceV(const char* prefix, const char* format, va_list args) {
  char message[kTraceBufferSize];
  vsnprintf(message, sizeof(message), format, args);

  char line[kTraceBufferSize];
  int length = snprintf(line, sizeof(line), "%s%s\r\n", prefix, message);
  if (length < 0) return;
  if (length >= kTraceBufferSize) {
    // Cut lines still end the line, so the next trace starts on its own.
    length = kTraceBufferSize - 1;
    line[length - 2] = '\r';
    line[length - 1] = '\n';
  }
  // One write per line: traces from several threads stay whole.
  const ssize_t ignored = write(STDERR_FILENO, line, static_cast<size_t>(length));
  (void)ignored;
}

void PrefixedTrace(const char* prefix, const char* format, ...) {
  va_list args;
  va_start(args, format);
  PrefixedTraceV(prefix, format, args);
  va_end(args);
}

void DebugTrace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  PrefixedTraceV("DebugTrace: ", format, args);
  va_end(args);
}

}  // namespace platform
