#include "test_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace renovo_test {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
  char pattern[] = "/tmp/renovo_test_XXXXXX";
  if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);  // removes links, never what they lead to
}

std::string ScratchFolder::Path(const std::string& relative) const {
  return relative.empty() ? path_ : path_ + "/" + relative;
}

void WriteFile(const std::string& path, const std::string& content, bool executable) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
  chmod(path.c_str(), executable ? 0755 : 0644);
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void CopyFile(const std::string& from, const std::string& to) {
  WriteFile(to, ReadFile(from), IsExecutable(from));
}

bool Exists(const std::string& path) { return fs::exists(fs::symlink_status(path)); }

bool IsExecutable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

std::vector<std::string> ListTree(const std::string& folder) {
  std::vector<std::string> paths;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::recursive_directory_iterator();
       it.increment(error)) {
    paths.push_back(fs::relative(it->path(), folder).string());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

pid_t Spawn(const std::vector<std::string>& argv, const std::string& stdoutPath, const std::string& stderrPath) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!stdoutPath.empty()) {
    posix_spawn_file_actions_addopen(&actions, 1, stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  if (!stderrPath.empty()) {
    posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int result = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return result == 0 ? pid : 0;
}

std::optional<int> WaitForExit(pid_t pid, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return status;
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(20ms);
  }
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

}  // namespace renovo_test
