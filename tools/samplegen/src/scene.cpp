#include "samplegen/scene.h"

#include <algorithm>
#include <cmath>

#include "samplegen/glyphs.h"

namespace samplegen {
namespace {

constexpr double kGridElevationStep = 15.0;  // degrees
constexpr double kGridAzimuthStep = 30.0;    // degrees
constexpr double kGridHalfWidth = 0.45;      // degrees
constexpr double kLetterElevation = 15.0;    // centre of the compass letters
constexpr double kLetterCell = 3.2;          // degrees per glyph cell

struct Quadrant {
  char letter;
  double centre;  // azimuth, degrees
  Rgb colour;
};

constexpr Quadrant kQuadrants[] = {
    {'N', 0, {200, 40, 40}},
    {'E', 90, {40, 170, 60}},
    {'S', 180, {220, 200, 40}},
    {'W', 270, {140, 60, 190}},
};

Rgb Mix(Rgb a, Rgb b, double t) {
  const auto lerp = [t](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * t)); };
  return {lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b)};
}

// Signed difference of two bearings, in -180 .. 180.
double BearingDelta(double a, double b) {
  double d = std::fmod(a - b + 540.0, 360.0) - 180.0;
  return d;
}

const Quadrant& QuadrantOf(double azimuth) {
  return kQuadrants[static_cast<int>(std::fmod(azimuth + 45.0, 360.0) / 90.0) % 4];
}

// Letters read left to right from inside the sphere: azimuth grows to the right.
bool LetterInk(const Quadrant& quadrant, double azimuth, double elevation) {
  const double cellAzimuth = kLetterCell / std::cos(elevation * kDegree);
  const double column = BearingDelta(azimuth, quadrant.centre) / cellAzimuth + kGlyphColumns * 0.5;
  const double row = (kLetterElevation - elevation) / kLetterCell + kGlyphRows * 0.5;
  if (column < 0 || row < 0) return false;
  return GlyphInk(quadrant.letter, static_cast<int>(column), static_cast<int>(row));
}

// 1 on a grid line, falling smoothly to 0 beside it.
double GridWeight(double azimuth, double elevation) {
  const auto line = [](double value, double step, double halfWidth) {
    const double offset = std::abs(value - step * std::round(value / step));
    return std::clamp(1.5 - offset / halfWidth, 0.0, 1.0);
  };
  const double alongElevation = line(elevation, kGridElevationStep, kGridHalfWidth);
  // Meridians thin out towards the zenith, where they would crowd together.
  const double meridianWidth = kGridHalfWidth / std::max(std::cos(elevation * kDegree), 0.05);
  const double alongAzimuth = std::abs(elevation) < 80 ? line(azimuth, kGridAzimuthStep, meridianWidth) : 0.0;
  return std::max(alongElevation, alongAzimuth);
}

}  // namespace

Rgb StaticSceneColour(Vec3 direction) {
  const double azimuth = AzimuthOf(direction);
  const double elevation = ElevationOf(direction);
  Rgb colour;
  if (elevation < 0) {
    colour = Mix(Rgb{120, 100, 80}, Rgb{70, 60, 50}, std::min(-elevation / 20.0, 1.0));  // ground
  } else if (elevation < kQuadrantBandTop) {
    const Quadrant& quadrant = QuadrantOf(azimuth);
    colour = LetterInk(quadrant, azimuth, elevation) ? Rgb{250, 250, 250} : quadrant.colour;
  } else {
    colour = Mix(Rgb{150, 200, 240}, Rgb{30, 70, 160}, (elevation - kQuadrantBandTop) / (90 - kQuadrantBandTop));
  }
  return Mix(colour, Rgb{20, 20, 20}, 0.8 * GridWeight(azimuth, elevation));
}

Vec3 BallCentre(double seconds) {
  return DirectionAt(std::fmod(seconds / kBallPeriodSeconds, 1.0) * 360.0, kBallElevation);
}

Rgb SceneColour(Vec3 direction, double seconds) {
  const double cosine = Dot(Normalized(direction), BallCentre(seconds));
  const double arc = std::acos(std::clamp(cosine, -1.0, 1.0)) / kDegree;
  if (arc < kBallRadius * 0.85) return Rgb{245, 245, 245};
  if (arc < kBallRadius) return Rgb{10, 10, 10};
  return StaticSceneColour(direction);
}

}  // namespace samplegen
