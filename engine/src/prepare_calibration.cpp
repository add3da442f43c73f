// Making sure a recording has a calibration file: the program folder's
// width-named file ("1920.inf", "2880.inf") when there is one, else one
// calibrated from the recording's first picture.

#include <cstdio>
#include <fstream>
#include <string>

#include "calib/frame_capture.h"
#include "iss_domeview_impl.h"
#include "media_input.h"
#include "platform/paths.h"

namespace domeview {
namespace {

// Copies the file over `to`, replacing it. False when either side fails.
bool CopyFileOver(const std::string& from, const char* to) {
  std::ifstream in(from, std::ios::binary);
  if (!in) return false;
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
  return static_cast<bool>(out.flush());
}

}  // namespace

int ISS_DomeviewImpl::PrepareCalibration(const char* mediaPath, const char* calibrationPath) {
  if (!mediaPath || !calibrationPath) return error_text.Set("error: no media or calibration path given;\n"), kIssFailed;
  const std::string& folder = platform::ProgramFolder();
  int width = 0, height = 0;
  if (ProbeMedia(mediaPath, &width, &height) == 0) {
    char widthFile[512];
    std::snprintf(widthFile, sizeof(widthFile), "%s%d.inf", folder.c_str(), width);
    if (std::ifstream(widthFile, std::ios::binary)) {
      if (CopyFileOver(widthFile, calibrationPath)) return kIssOk;
      return error_text.Set("error: can not copy %s to %s;\n", widthFile, calibrationPath), kIssFailed;
    }
  }
  if (calib::CaculateVideoBiaodingA(mediaPath, calibrationPath) != 0) {
    return error_text.Set("error: can not calibrate the lens from %s;\n", mediaPath), kIssFailed;
  }
  return kIssOk;
}

}  // namespace domeview
