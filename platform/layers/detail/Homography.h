#pragma once

#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Geometry.h"
#include "platform/layers/Transform3D.h"

#include <array>
#include <optional>
#include <vector>

namespace ui::detail {

// A projective map of the plane, in the row-vector form of Transform3D: (X, Y, W) = (x, y, 1) · H, the image point
// (X / W, Y / W). A layer's plane reaches the screen through one of these once every 3-D transform on the way has
// been flattened.
struct Homography {
    std::array<std::array<double, 3>, 3> m { { { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 } } };

    static Homography identity() { return {}; }
    // What the transform does to the plane z = 0, seen from straight ahead after the perspective divide.
    static Homography flattening(const Transform3D& t);
    static Homography fromAffine(const gfx::AffineTransform& t);

    // x, y and the weight W before the divide; W ≤ 0 lies behind the eye.
    std::array<double, 3> transformHomogeneous(gfx::Point p) const;
    // nullopt when the point lies on or behind the eye.
    std::optional<gfx::Point> transformPoint(gfx::Point p) const;
    std::optional<Homography> inverted() const;
    double determinant() const;
    // Whether the map keeps the orientation of a small shape around p (false: the plane is seen from behind).
    bool preservesOrientationAt(gfx::Point p) const;
};

// first, then second.
Homography concatenated(const Homography& first, const Homography& second);

// The bounding box of a rectangle's corners carried through the map, with the part behind the eye cut away;
// nullopt when nothing of it lies in front.
std::optional<gfx::Rect> boundingBoxOfRect(const Homography& h, const gfx::Rect& r);

// The polygon of a rectangle carried through the map, cut where it passes behind the eye (W below a small bound).
std::vector<gfx::Point> projectedPolygon(const Homography& h, const std::vector<gfx::Point>& polygon);

}
