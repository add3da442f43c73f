#include <unistd.h>

#include <climits>
#include <string>

#include "platform/paths.h"

namespace platform {
namespace {

std::string ReadSelfExe() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (length <= 0) return {};
  return std::string(buffer, static_cast<size_t>(length));
}

}  // namespace

const std::string& ProgramFilePath() {
  static const std::string path = ReadSelfExe();
  return path;
}

const std::string& ProgramFolder() {
  static const std::string folder = FolderOf(ProgramFilePath());
  return folder;
}

std::string ProgramFolderFile(std::string_view name) { return ProgramFolder() + std::string(name); }

}  // namespace platform
