#pragma once

#include "platform/graphics/Geometry.h"

#include <utility>

// Arc length of one cubic segment by adaptive subdivision, and splitting it at a length.
namespace ZORCubicLength {

struct Cubic {
    gfx::Point p0, p1, p2, p3;
};

// Halves the curve until a piece's control polygon exceeds its chord by no more than maximumError, and takes the mean
// of chord and polygon for each piece. Distances are single-precision, as all path lengths are.
double length(const Cubic& curve, double maximumError);
// The curve split where the part before measures `length` (within maximumError), by bisection on the parameter.
std::pair<Cubic, Cubic> splitAtLength(const Cubic& curve, double length, double maximumError);
// De Casteljau split at t.
std::pair<Cubic, Cubic> splitAt(const Cubic& curve, double t);

}
