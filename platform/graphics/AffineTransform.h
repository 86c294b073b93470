#pragma once

#include "platform/graphics/Geometry.h"

#include <optional>

namespace gfx {

class BezierPath;

// A 2-D affine map: x' = m11·x + m21·y + tX, y' = m12·x + m22·y + tY. Each added operation (translate, rotate,
// scale, prepend) acts on points before the existing transform, so "scale, then rotate, then move" is written in
// reverse order; append acts after it.
struct AffineTransform {
    double m11 { 1 };
    double m12 { 0 };
    double m21 { 0 };
    double m22 { 1 };
    double tX { 0 };
    double tY { 0 };

    static constexpr AffineTransform identity() { return {}; }
    static constexpr AffineTransform translation(double x, double y) { return { 1, 0, 0, 1, x, y }; }
    static constexpr AffineTransform scaling(double sx, double sy) { return { sx, 0, 0, sy, 0, 0 }; }
    static AffineTransform rotationByDegrees(double degrees);
    static AffineTransform rotationByRadians(double radians);

    bool isIdentity() const { return *this == AffineTransform {}; }

    void translateBy(double x, double y);
    void rotateByDegrees(double degrees);
    void rotateByRadians(double radians);
    void scaleBy(double s) { scaleBy(s, s); }
    void scaleBy(double sx, double sy);
    // other acts after this transform.
    void appendTransform(const AffineTransform& other);
    // other acts before this transform.
    void prependTransform(const AffineTransform& other);

    double determinant() const { return m11 * m22 - m12 * m21; }
    // A singular transform has no inverse: invert() then leaves the transform unchanged and returns false, as the
    // platform keeps a singular matrix as it is; inverted() answers nullopt.
    bool invert();
    std::optional<AffineTransform> inverted() const;

    Point transformPoint(Point p) const { return { m11 * p.x + m21 * p.y + tX, m12 * p.x + m22 * p.y + tY }; }
    // Sizes are vectors: the translation does not apply.
    Size transformSize(Size s) const { return { m11 * s.width + m21 * s.height, m12 * s.width + m22 * s.height }; }
    BezierPath transformBezierPath(const BezierPath& path) const;

    // Multiplies the current graphics context's transform by this one (this acts first) / replaces it.
    void concat() const;
    void set() const;

    constexpr bool operator==(const AffineTransform&) const = default;
};

// The map that applies first, then second.
AffineTransform concatenated(const AffineTransform& first, const AffineTransform& second);

}
