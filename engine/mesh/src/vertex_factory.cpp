#include "mesh/vertex_factory.h"

#include <cmath>
#include <cstdio>

namespace domeview {
namespace {

// Axis swap applied to single-lens rotations: rows (1,0,0), (0,0,1), (0,-1,0).
constexpr float kAxisSwap[9] = {1, 0, 0, 0, 0, 1, 0, -1, 0};
constexpr double kDegree = 3.14159265358979323846 / 180.0;

void MultiplyInPlace(float r[9], const float g[9]) {
  float out[9];
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col)
      out[row * 3 + col] = r[row * 3] * g[col] + r[row * 3 + 1] * g[3 + col] + r[row * 3 + 2] * g[6 + col];
  for (int i = 0; i < 9; ++i) r[i] = out[i];
}

float BaseRollFor(int mounting) {
  switch (mounting) {
    case 1: return 180.0f;
    case 2: return 90.0f;
    default: return 0.0f;
  }
}

void PutVertex(std::vector<float>& positions, float x, float y, float z) {
  positions.push_back(x);
  positions.push_back(y);
  positions.push_back(z);
}

}  // namespace

int VertexFactory::init(bool raw_picture, int mounting, const char* calibration_path) {
  mounting_ = mounting;
  raw_picture_ = raw_picture;
  base_roll_ = 0;
  calibration_loaded_ = false;
  if (!raw_picture) {
    LensCalibration loaded;
    const int code = ReadLensCalibration(calibration_path, &loaded);
    if (code != kCalibrationOk) return code;
    calib_ = loaded;
    if (calib_.camera_count == 1) {
      for (LensRecord& lens : calib_.lens) MultiplyInPlace(lens.rotation, kAxisSwap);
      base_roll_ = BaseRollFor(mounting);
    } else if (calib_.camera_count == 2 && mounting != 2) {
      for (LensRecord& lens : calib_.lens) MultiplyInPlace(lens.rotation, kAxisSwap);
    }
  }
  calibration_loaded_ = true;
  return 0;
}

void VertexFactory::set_picture_size(int width, int height) {
  calib_.image_width = width;
  calib_.image_height = height;
}

void VertexFactory::clear_arrays() {
  // Emptied, not freed: the next build reuses the pages. Fresh pages for a
  // 14 MB sphere cost more than all of its lens mathematics.
  positions_.clear();
  texcoords_.clear();
  weights_.clear();
  indices_.clear();
}

const float* VertexFactory::build(int model, int need_logo, int logo_fov) {
  if (!calibration_loaded_ && !raw_picture_) {
    std::printf("error: calibration file path is not set yet;\n");
    return nullptr;
  }
  need_logo_ = need_logo;
  logo_fov_ = logo_fov;
  clear_arrays();
  switch (model) {
    case kProjectionQuad: build_quad(); break;
    case kProjectionFlat: build_flat(); break;
    case 2:
    case 3:
    case 4:
    case 5: build_sphere(); break;
    case kProjectionRing: build_ring(); break;
    default:
      std::printf("error: invalid projection model %d;\n", model);
      return nullptr;
  }
  return positions_.empty() ? nullptr : positions_.data();
}

void VertexFactory::build_quad() {
  const float c = raw_picture_ ? 0.5f
                               : static_cast<float>(calib_.image_height) /
                                     static_cast<float>(calib_.image_width * calib_.camera_count);
  const float corners[6][2] = {{-1, c}, {1, c}, {-1, -c}, {-1, -c}, {1, c}, {1, -c}};
  const float tex[6][2] = {{0, 1}, {1, 1}, {0, 0}, {0, 0}, {1, 1}, {1, 0}};
  positions_.reserve(18);
  for (int i = 0; i < 6; ++i) {
    PutVertex(positions_, corners[i][0], corners[i][1], depth_);
    texcoords_.insert(texcoords_.end(), {tex[i][0], tex[i][1], 0.0f, 0.0f});
  }
  weights_.assign(6, 0.0f);
  indices_.assign(6, kTexIndexPicture);
}

void VertexFactory::build_flat() {
  const int cols = kLongitudeSpan / kStep, rows = kLatitudeSpan / kStep;
  const float h = 2.0f * kStep / kLongitudeSpan;
  positions_.reserve(size_t(cols) * rows * 18);
  // Rows from the top: the first row emitted is the lens centre's.
  for (int r = rows; r >= 1; --r) {
    const float top = h * r - 0.5f, bottom = h * (r - 1) - 0.5f;
    for (int i = 0; i < cols; ++i) {
      const float left = h * i - 1.0f, right = h * (i + 1) - 1.0f;
      PutVertex(positions_, left, top, depth_);
      PutVertex(positions_, right, top, depth_);
      PutVertex(positions_, left, bottom, depth_);
      PutVertex(positions_, left, bottom, depth_);
      PutVertex(positions_, right, top, depth_);
      PutVertex(positions_, right, bottom, depth_);
    }
  }
  if (maps_lens()) build_lens_texcoords(cols, rows);
}

void VertexFactory::build_sphere() {
  const int cols = kLongitudeSpan / kStep, rows = kLatitudeSpan / kStep;
  // Sines and cosines of every grid line, computed once; longitudes run
  // from one step to 360 + step, latitudes from 90 down to -90.
  std::vector<float> cosLon(cols + 2), sinLon(cols + 2), cosLat(rows + 1), sinLat(rows + 1);
  for (int i = 0; i <= cols + 1; ++i) {
    cosLon[i] = static_cast<float>(std::cos(i * kStep * kDegree));
    sinLon[i] = static_cast<float>(std::sin(i * kStep * kDegree));
  }
  for (int k = 0; k <= rows; ++k) {
    const double lat = (90 - k * kStep) * kDegree;
    cosLat[k] = static_cast<float>(std::cos(lat));
    sinLat[k] = static_cast<float>(std::sin(lat));
  }
  const auto put = [&](int latRow, int lonIndex) {
    const float c = cosLat[latRow];
    PutVertex(positions_, kSphereRadius * c * cosLon[lonIndex], kSphereRadius * sinLat[latRow],
              kSphereRadius * c * sinLon[lonIndex]);
  };
  positions_.reserve(size_t(cols) * rows * 18);
  for (int k = 0; k < rows; ++k) {
    for (int i = 1; i <= cols; ++i) {
      put(k, i);
      put(k, i + 1);
      put(k + 1, i);
      put(k + 1, i);
      put(k, i + 1);
      put(k + 1, i + 1);
    }
  }
  if (maps_lens()) build_lens_texcoords(cols, rows);
}

void VertexFactory::build_ring() {
  positions_.reserve(size_t(kRingRows) * kRingColumns * 18);
  for (int i = 0; i < kRingRows; ++i) {
    const float bottom = 0.1f * i - 1.0f, top = 0.1f * (i + 1) - 1.0f;
    for (int j = 0; j < kRingColumns; ++j) {
      const float left = 0.025f * j - 1.0f, right = 0.025f * (j + 1) - 1.0f;
      PutVertex(positions_, left, bottom, 0);
      PutVertex(positions_, right, bottom, 0);
      PutVertex(positions_, left, top, 0);
      PutVertex(positions_, left, top, 0);
      PutVertex(positions_, right, bottom, 0);
      PutVertex(positions_, right, top, 0);
    }
  }
  const size_t vertices = positions_.size() / 3;
  texcoords_.assign(vertices * 4, 0.0f);
  weights_.assign(vertices, 0.0f);
  indices_.assign(vertices, kTexIndexPicture);
  update_ring_texcoords(kRingStartRotation);
}

void VertexFactory::update_ring_texcoords(float rotation) {
  if (texcoords_.size() != size_t(kRingRows) * kRingColumns * 24) return;  // not a ring
  const LensRecord& lens = calib_.lens[0];
  const float width = static_cast<float>(calib_.image_width), height = static_cast<float>(calib_.image_height);
  // Ring point of column a and row b: the picture circle unrolled, row 0 at
  // the lens centre and the last row at the rim; (-1, -1) outside the picture.
  const auto point = [&](int a, int b, float* out) {
    const float angle = static_cast<float>(a) / kRingColumns * 6.2831853f + rotation;
    const float rho = b * calib_.radius / kRingRows;
    const float px = lens.centre[0] + rho * std::cos(angle), py = lens.centre[1] + rho * std::sin(angle);
    const bool inside = px >= 0 && px <= width - 1 && py >= 0 && py <= height - 1 && rho <= calib_.radius;
    out[0] = inside ? px / width : -1.0f;
    out[1] = inside ? 1.0f - py / height : -1.0f;
  };
  float* t = texcoords_.data();
  for (int i = 0; i < kRingRows; ++i) {
    for (int j = 0; j < kRingColumns; ++j) {
      const int corners[6][2] = {{j, i}, {j + 1, i}, {j, i + 1}, {j, i + 1}, {j + 1, i}, {j + 1, i + 1}};
      for (const auto& corner : corners) {
        point(corner[0], corner[1], t);
        t += 4;
      }
    }
  }
}

}  // namespace domeview
