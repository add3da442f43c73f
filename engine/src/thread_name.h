#pragma once
// Short thread names ("read", "decode", "render", "clock") for debuggers and top.

#include <pthread.h>

namespace domeview {

inline void NameThisThread(const char* name) { pthread_setname_np(pthread_self(), name); }

}  // namespace domeview
