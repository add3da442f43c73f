// Stand-in for the program the updater closes and restarts: it notes its
// process id in "dummy.log" beside itself and waits until it is ended.

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

int main() {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (length <= 0) return 1;
  std::string log(self, static_cast<size_t>(length));
  log = log.substr(0, log.rfind('/') + 1) + "dummy.log";
  if (FILE* file = std::fopen(log.c_str(), "a")) {
    std::fprintf(file, "%d\n", static_cast<int>(getpid()));
    std::fclose(file);
  }
  for (;;) pause();
}
