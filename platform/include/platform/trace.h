#pragma once
// Diagnostic lines of the programs. Each line is formatted into a fixed
// 1,024-byte buffer (longer lines are cut) and written to standard error in
// one write, so lines from different threads never interleave.

#include <cstdarg>

namespace platform {

constexpr int kTraceBufferSize = 1024;

// "DebugTrace: <message>\r\n"
void DebugTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "<prefix><message>\r\n", for the other designed prefixes ("Translate: ").
void PrefixedTrace(const char* prefix, const char* format, ...) __attribute__((format(printf, 2, 3)));
void PrefixedTraceV(const char* prefix, const char* format, va_list args);

}  // namespace platform
