#include "update_session.h"

#include <utility>

#include "platform/paths.h"
#include "tree_move.h"

namespace renovo {

UpdateSession::UpdateSession(std::string programFolder, DialogPort& port, TextSource texts,
                             std::function<void()> endProcess)
    : programFolder_(std::move(programFolder)),
      port_(port),
      texts_(std::move(texts)),
      endProcess_(std::move(endProcess)) {}

int UpdateSession::ProgressPercent(double percent) {
  if (!(percent > 0)) return 0;  // negative or not a number
  if (percent >= 100) return 100;
  return static_cast<int>(percent);
}

void UpdateSession::UpdateProcess(double percent, const std::string& text) {
  port_.SetProgress(ProgressPercent(percent));
  port_.SetStatusText(texts_(kTextDownloadingStatus) + text);
}

void UpdateSession::DownLoadFinish() {
  port_.SetProgress(100);
  port_.SetStatusText(texts_(kTextFinishedStatus));
  MoveDownloadedTree(programFolder_, platform::JoinPath(programFolder_, "download"));
  port_.SetCancelText(texts_(kTextFinishedButton));
  finished_ = true;
}

void UpdateSession::PromtNoVersion() {
  port_.SetProgress(0);
  port_.SetStatusText(texts_(kTextNoVersionStatus));
  port_.SetCancelText(texts_(kTextNoVersionButton));
  if (endProcess_) endProcess_();
}

}  // namespace renovo
