#pragma once
// The synthetic world every sample recording shows. It is built so that a
// viewer can tell directions apart at a glance and tests can check any
// unwarped view against it:
//  - sky above the horizon, darker towards the zenith; ground below;
//  - a band from the horizon up to 30 degrees coloured by compass quadrant
//    (north red, east green, south yellow, west violet) with the letters
//    N, E, S and W, readable from inside the sphere;
//  - a grid every 15 degrees of elevation and 30 degrees of azimuth;
//  - a white ball that circles the zenith once every 10 seconds.

#include <cstdint>

#include "samplegen/geometry.h"

namespace samplegen {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

constexpr double kQuadrantBandTop = 30.0;    // degrees of elevation
constexpr double kBallElevation = 45.0;      // degrees
constexpr double kBallRadius = 7.0;          // degrees of arc
constexpr double kBallPeriodSeconds = 10.0;  // one turn round the zenith

// Colour of the still part of the scene in a direction.
Rgb StaticSceneColour(Vec3 direction);
// Centre of the moving ball at a time.
Vec3 BallCentre(double seconds);
// Colour of the whole scene, the ball included.
Rgb SceneColour(Vec3 direction, double seconds);

}  // namespace samplegen
