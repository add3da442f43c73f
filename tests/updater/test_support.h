#pragma once
// Helpers of the updater tests: scratch folders, files, child processes.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace renovo_test {

using namespace std::chrono_literals;

// A fresh folder under /tmp, removed with everything in it (links are not
// followed) when the object goes.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  // Path of `relative` inside the folder; the folder itself for "".
  std::string Path(const std::string& relative = "") const;

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& content, bool executable = false);
std::string ReadFile(const std::string& path);
void CopyFile(const std::string& from, const std::string& to);
bool Exists(const std::string& path);  // anything, links not followed
bool IsExecutable(const std::string& path);
// Every path under the folder, relative, sorted; links are listed, not entered.
std::vector<std::string> ListTree(const std::string& folder);

// Starts a program with the given arguments; stdout and stderr go to the
// given files when not empty. Returns the child's id (0 on failure).
pid_t Spawn(const std::vector<std::string>& argv, const std::string& stdoutPath = "",
            const std::string& stderrPath = "");
// The child's wait status once it has ended, or nothing after `limit`.
std::optional<int> WaitForExit(pid_t pid, std::chrono::milliseconds limit);
// Polls `condition` every 50 ms until it holds or `limit` passes.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);

}  // namespace renovo_test
