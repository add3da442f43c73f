#include "process_control.h"

#include <dirent.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <fstream>
#include <thread>

#include "platform/paths.h"
#include "platform/text.h"
#include "platform/trace.h"

extern char** environ;

namespace renovo {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(50);
constexpr std::string_view kDeletedSuffix = " (deleted)";

bool IsProcessId(const char* name) {
  if (!*name) return false;
  for (const char* c = name; *c; ++c) {
    if (!isdigit(static_cast<unsigned char>(*c))) return false;
  }
  return true;
}

// File name of the process's program; empty when it cannot be read (other
// users' processes, kernel threads, zombies).
std::string ProgramNameOf(const std::string& pid) {
  char target[PATH_MAX];
  const ssize_t length = readlink(("/proc/" + pid + "/exe").c_str(), target, sizeof(target) - 1);
  if (length <= 0) return {};
  std::string_view path(target, static_cast<size_t>(length));
  // A program whose file was replaced while it ran still counts by its name.
  if (path.ends_with(kDeletedSuffix)) path.remove_suffix(kDeletedSuffix.size());
  return platform::FileNameOf(path);
}

// The state letter of /proc/<pid>/stat: the field after the parenthesised
// command name, which itself may hold blanks and parentheses.
char ProcessState(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return 0;
  const size_t close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() ? line[close + 2] : 0;
}

bool WaitUntilEnded(pid_t pid, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (ProcessRunning(pid)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
  return true;
}

}  // namespace

pid_t FindProcessByName(std::string_view name) {
  if (name.empty()) return 0;
  DIR* proc = opendir("/proc");
  if (!proc) return 0;
  const pid_t self = getpid();
  pid_t found = 0;
  while (const dirent* entry = readdir(proc)) {
    if (!IsProcessId(entry->d_name)) continue;
    const pid_t pid = static_cast<pid_t>(atol(entry->d_name));
    if (pid == self || !platform::EqualsIgnoreCase(ProgramNameOf(entry->d_name), name)) continue;
    found = pid;
    break;
  }
  closedir(proc);
  return found;
}

bool ProcessRunning(pid_t pid) {
  const char state = ProcessState(pid);
  return state != 0 && state != 'Z' && state != 'X' && state != 'x';
}

bool TerminateAndWait(pid_t pid, std::chrono::milliseconds grace, std::chrono::milliseconds limit) {
  if (pid <= 0) return false;
  if (kill(pid, SIGTERM) != 0) {
    platform::DebugTrace("cannot end process %d: errno %d", static_cast<int>(pid), errno);
    return false;
  }
  if (WaitUntilEnded(pid, grace)) return true;
  kill(pid, SIGKILL);
  if (WaitUntilEnded(pid, limit)) return true;
  platform::DebugTrace("process %d did not end", static_cast<int>(pid));
  return false;
}

bool StartProgram(const std::string& path) {
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = 0;
  const int result = posix_spawn(&pid, path.c_str(), nullptr, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  if (result != 0) platform::DebugTrace("cannot start %s: error %d", path.c_str(), result);
  return result == 0;
}

}  // namespace renovo
