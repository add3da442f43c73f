#include "tree_move.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "platform/paths.h"
#include "platform/trace.h"

namespace renovo {
namespace {

constexpr size_t kCopyChunk = 64 * 1024;  // bytes per read

std::string RealPath(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return {};
  std::string result(resolved);
  free(resolved);
  return result;
}

bool IsInside(const std::string& resolved, const std::string& root) {
  return !resolved.empty() && (resolved == root || resolved.starts_with(root + "/"));
}

bool IsDotEntry(const char* name) { return name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2])); }

// Lists a folder, calling `visit(name)` for every entry but "." and "..".
// A listing that breaks off writes `failureTrace` with the error code.
template <typename Visit>
bool ListFolder(const std::string& folder, const char* failureTrace, Visit visit) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return false;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (!entry) {
      if (errno != 0) platform::DebugTrace(failureTrace, errno);
      break;
    }
    if (!IsDotEntry(entry->d_name)) visit(std::string(entry->d_name));
  }
  closedir(dir);
  return true;
}

class TreeCopier {
 public:
  explicit TreeCopier(std::string root) : root_(std::move(root)) {}

  int copied() const { return copied_; }

  void CopyFolder(const std::string& source, const std::string& target) {
    if (!MakeTargetFolder(target)) return;
    ListFolder(source, " FindNextFile failed %d", [&](const std::string& name) {
      CopyEntry(platform::JoinPath(source, name), platform::JoinPath(target, name));
    });
  }

 private:
  // The target folder exists afterwards and lies inside the program folder.
  bool MakeTargetFolder(const std::string& target) {
    if (mkdir(target.c_str(), 0755) != 0 && errno != EEXIST) {
      platform::DebugTrace("cannot create %s: errno %d", target.c_str(), errno);
      return false;
    }
    if (!IsInside(RealPath(target), root_)) {
      platform::DebugTrace("refusing %s: it leads outside the program folder", target.c_str());
      return false;
    }
    return platform::FolderExists(target);
  }

  void CopyEntry(const std::string& source, const std::string& target) {
    struct stat info {};
    if (lstat(source.c_str(), &info) != 0) return;
    if (S_ISDIR(info.st_mode)) {
      CopyFolder(source, target);
    } else if (S_ISREG(info.st_mode)) {
      if (CopyFile(source, target, info.st_mode & 07777)) ++copied_;
    } else {
      platform::DebugTrace("skipping %s: not a file or folder", source.c_str());
    }
  }

  // Writes a complete copy beside the target and renames it over the target.
  // A file that already exists keeps its permissions (a replaced program
  // stays executable).
  static bool CopyFile(const std::string& source, const std::string& target, mode_t sourceMode) {
    struct stat existing {};
    const mode_t mode = lstat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) ? existing.st_mode & 07777
                                                                                             : sourceMode;
    const int in = open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0) return false;
    std::string temp = target + ".renovo-XXXXXX";
    const int out = mkostemp(temp.data(), O_CLOEXEC);
    bool ok = out >= 0 && CopyBytes(in, out) && fchmod(out, mode) == 0;
    if (out >= 0 && close(out) != 0) ok = false;
    close(in);
    if (ok && rename(temp.c_str(), target.c_str()) == 0) return true;
    if (out >= 0) unlink(temp.c_str());
    platform::DebugTrace("cannot replace %s: errno %d", target.c_str(), errno);
    return false;
  }

  static bool CopyBytes(int in, int out) {
    char buffer[kCopyChunk];
    for (;;) {
      const ssize_t got = read(in, buffer, sizeof(buffer));
      if (got == 0) return true;
      if (got < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      for (ssize_t done = 0; done < got;) {
        const ssize_t put = write(out, buffer + done, static_cast<size_t>(got - done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += put;
      }
    }
  }

  const std::string root_;
  int copied_ = 0;
};

// Removes a tree without following links: a link is removed as a link.
void DeleteTree(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return;
  if (!S_ISDIR(info.st_mode)) {
    unlink(path.c_str());
    return;
  }
  const bool listed = ListFolder(path, "_DeletePath FindNextFile failed %d",
                                 [&](const std::string& name) { DeleteTree(platform::JoinPath(path, name)); });
  if (listed) rmdir(path.c_str());
}

bool IsRealFolder(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

int MoveDownloadedTree(const std::string& programFolder, const std::string& downloadFolder) {
  const std::string root = RealPath(programFolder);
  int copied = 0;
  if (root.empty()) {
    platform::DebugTrace("program folder %s not found", programFolder.c_str());
  } else if (!IsRealFolder(downloadFolder)) {
    platform::DebugTrace("refusing %s: not a folder of its own", downloadFolder.c_str());
  } else {
    TreeCopier copier(root);
    copier.CopyFolder(downloadFolder, programFolder);
    copied = copier.copied();
  }
  DeleteTree(downloadFolder);
  return copied;
}

bool PrepareDownloadFolder(const std::string& folder) {
  DeleteTree(folder);
  return mkdir(folder.c_str(), 0755) == 0 || (errno == EEXIST && IsRealFolder(folder));
}

}  // namespace renovo
