#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

std::string FolderOf(std::string_view path) {
  const size_t slash = path.rfind(kPathSeparator);
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string FileNameOf(std::string_view path) {
  const size_t slash = path.rfind(kPathSeparator);
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ExtensionOf(std::string_view path) {
  const std::string name = FileNameOf(path);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string joined(folder);
  if (!joined.empty() && joined.back() != kPathSeparator) joined += kPathSeparator;
  joined += name;
  return joined;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsFolderWritable(const std::string& folder) {
  return FolderExists(folder) && access(folder.c_str(), W_OK | X_OK) == 0;
}

bool MakeFolders(const std::string& folder) {
  if (folder.empty()) return false;
  for (size_t slash = folder.find(kPathSeparator, 1); slash != std::string::npos;
       slash = folder.find(kPathSeparator, slash + 1)) {
    const std::string prefix = folder.substr(0, slash);
    if (mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return false;
  return FolderExists(folder);
}

std::string UserCacheFolder() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = JoinPath(home, ".cache");
  } else {
    base = "/tmp";
  }
  std::string folder = JoinPath(base, "kestrago/");
  MakeFolders(folder.substr(0, folder.size() - 1));
  return folder;
}

}  // namespace platform
