#pragma once
// What the update script does to the updater through the functions it is
// given: progress, status text, the cancel button's text, installing the
// download and ending when there is nothing to update. The dialog supplies
// the DialogPort; the functions run on the script's worker thread.

#include <atomic>
#include <functional>
#include <string>

namespace renovo {

// The dialog's controls as the script changes them. Implementations must
// accept calls from the worker thread.
class DialogPort {
 public:
  virtual ~DialogPort() = default;
  virtual void SetProgress(int percent) = 0;           // 0 to 100
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetCancelText(const std::string& text) = 0;
};

// Text number -> text, from "renovo.osd".
using TextSource = std::function<std::string(int)>;

// Numbers of the texts in "renovo.osd".
enum RenovoText : int {
  kTextNoVersionButton = 0,
  kTextRunningButton = 1,
  kTextTitleSuffix = 2,
  kTextFinishedStatus = 3,
  kTextDownloadingStatus = 4,
  kTextNoVersionStatus = 5,
  kTextFinishedButton = 7,
};

class UpdateSession {
 public:
  // `endProcess` ends the program when the script finds no newer version;
  // it is not expected to return.
  UpdateSession(std::string programFolder, DialogPort& port, TextSource texts, std::function<void()> endProcess);

  // Bar position = percent truncated to an integer within 0 to 100; status =
  // text 4 followed directly by `text`.
  void UpdateProcess(double percent, const std::string& text);
  // Progress 100, status text 3, the download installed into the program
  // folder, cancel text 7, and the session finished.
  void DownLoadFinish();
  // Progress 0, status text 5, cancel text 0, then the program ends.
  void PromtNoVersion();

  // True once the download is installed: cancel then restarts the program.
  bool Finished() const { return finished_.load(); }

  static int ProgressPercent(double percent);

 private:
  const std::string programFolder_;
  DialogPort& port_;
  const TextSource texts_;
  const std::function<void()> endProcess_;
  std::atomic<bool> finished_{false};
};

}  // namespace renovo
