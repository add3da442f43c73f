#include "platform/find_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/paths.h"
#include "platform/text.h"

namespace platform {

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  // Iterative matcher with one backtrack point for the last '*'.
  size_t p = 0, n = 0;
  size_t star = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || ToLowerAscii(pattern[p]) == ToLowerAscii(name[n]))) {
      ++p, ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++, starName = n;
    } else if (star != std::string_view::npos) {
      p = star + 1, n = ++starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::string> FindFiles(const std::string& folder, std::string_view pattern) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (WildcardMatch(pattern, name) && FileExists(JoinPath(folder, name))) names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string la = ToLowerAscii(a), lb = ToLowerAscii(b);
    return la != lb ? la < lb : a < b;
  });
  return names;
}

}  // namespace platform
