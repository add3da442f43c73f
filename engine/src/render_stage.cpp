#include "render_stage.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "calib/picture_file.h"

namespace domeview {

RenderStage::~RenderStage() = default;

int RenderStage::Start(const ISS_InitParams* params, int videoWidth, int videoHeight, ViewBlock& view,
                       ErrorText& errors) {
  video_width_ = videoWidth;
  video_height_ = videoHeight;
  // The logo picture lives only until the manager has made its texture.
  std::vector<uint8_t> logo;
  int logoWidth = 0, logoHeight = 0;
  if (params && params->need_logo) {
    std::string loadError;
    logo = calib::LoadPictureFile(&loadError, params->logo_path ? params->logo_path : "", &logoWidth, &logoHeight);
    if (logo.empty()) return errors.Set("%s", loadError.c_str()), kIssFailed;
  }
  // Initial viewports, in index order: rectangle, draw mode, the mode's
  // zoom, the clamped angles.
  std::lock_guard<std::mutex> lock(view.render_lock);
  for (int vp = 0; vp < kViewportCount; ++vp) {
    if (!view.viewport_enabled[vp]) continue;
    SetRect(vp, view.viewport_rect[vp]);
    view.zoom[vp] = ApplyDrawMode(view, vp);
    ApplyZoom(vp, &view.zoom[vp]);
    ClampViewAngles(view, vp);
    ApplyAngles(vp, view.view_angle[vp], view.ring_rotation);
  }
  return kIssOk;
}

void RenderStage::Upload(const AVFrame* picture) { (void)picture; }

float RenderStage::ApplyDrawMode(const ViewBlock& view, int vp) { return view.zoom[vp]; }

void RenderStage::ApplyZoom(int vp, float* zoom) {
  (void)vp;
  (void)zoom;
}

void RenderStage::ApplyAngles(int vp, const float angles[3], float ringRotation) {
  (void)vp;
  (void)angles;
  (void)ringRotation;
}

bool RenderStage::SetRect(int vp, const ViewportRect& rect) {
  (void)vp;
  (void)rect;
  return true;
}

void RenderStage::DrawAll(const ViewBlock& view) {
  (void)view;
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void RenderStage::SteerByDrag(ViewBlock& view, int x, int y, int dx, int dy) {
  (void)view, (void)x, (void)y, (void)dx, (void)dy;
}

void RenderStage::SteerByWheel(ViewBlock& view, bool up) { (void)view, (void)up; }

void ClampViewAngles(ViewBlock& view, int vp) {
  for (int a = 0; a < 3; ++a) {
    float& angle = view.view_angle[vp][a];
    // (trunc(a + 180) mod 360) - 180 with a truncating remainder, in double
    // so that no angle overflows an integer.
    const double wrapped = std::isfinite(angle) ? std::fmod(std::trunc(double{angle} + 180.0), 360.0) - 180.0 : 0.0;
    angle = std::max(view.angle_min[vp][a], std::min(view.angle_max[vp][a], static_cast<float>(wrapped)));
  }
}

}  // namespace domeview
