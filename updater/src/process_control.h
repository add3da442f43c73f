#pragma once
// The running programs the updater closes and starts, found through /proc.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>

namespace renovo {

// The first running process, other than this one, whose program file name
// (the last part of /proc/<pid>/exe) equals `name` without regard to case.
// 0 when none does; processes whose program cannot be read are skipped.
pid_t FindProcessByName(std::string_view name);

// True while the process exists and has not ended (a zombie has ended).
bool ProcessRunning(pid_t pid);

// Asks the process to end (SIGTERM) and kills it (SIGKILL) when it is still
// running after `grace`, polling /proc until it has ended. False when it
// could not be signalled or did not end within `limit` after the kill.
bool TerminateAndWait(pid_t pid, std::chrono::milliseconds grace = std::chrono::seconds(5),
                      std::chrono::milliseconds limit = std::chrono::seconds(30));

// Starts the program without arguments in a session of its own, so that it
// outlives the updater. False when it could not be started.
bool StartProgram(const std::string& path);

}  // namespace renovo
