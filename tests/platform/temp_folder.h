#pragma once
// A fresh folder under the test's own build folder, removed afterwards.

#include <filesystem>
#include <string>

#include "platform/paths.h"

class TempFolder {
 public:
  explicit TempFolder(const std::string& name) : path_(platform::ProgramFolder() + "tmp_" + name) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};
