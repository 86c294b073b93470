#include "platform/graphics/AffineTransform.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"

#include <cmath>
#include <numbers>

namespace gfx {

AffineTransform concatenated(const AffineTransform& first, const AffineTransform& second)
{
    const AffineTransform& a = first;
    const AffineTransform& b = second;
    return {
        a.m11 * b.m11 + a.m12 * b.m21,
        a.m11 * b.m12 + a.m12 * b.m22,
        a.m21 * b.m11 + a.m22 * b.m21,
        a.m21 * b.m12 + a.m22 * b.m22,
        a.tX * b.m11 + a.tY * b.m21 + b.tX,
        a.tX * b.m12 + a.tY * b.m22 + b.tY,
    };
}

AffineTransform AffineTransform::rotationByRadians(double radians)
{
    double c = std::cos(radians);
    double s = std::sin(radians);
    // Exact quarter turns keep exact zeros, so rotated rectangles stay axis-aligned.
    if (std::fabs(c) < 1e-15)
        c = 0;
    if (std::fabs(s) < 1e-15)
        s = 0;
    return { c, s, -s, c, 0, 0 };
}

AffineTransform AffineTransform::rotationByDegrees(double degrees)
{
    double turns = std::fmod(degrees, 360.0);
    if (turns == 0)
        return {};
    if (turns == 90 || turns == -270)
        return { 0, 1, -1, 0, 0, 0 };
    if (turns == 180 || turns == -180)
        return { -1, 0, 0, -1, 0, 0 };
    if (turns == 270 || turns == -90)
        return { 0, -1, 1, 0, 0, 0 };
    return rotationByRadians(degrees * std::numbers::pi / 180.0);
}

void AffineTransform::translateBy(double x, double y)
{
    prependTransform(translation(x, y));
}

void AffineTransform::rotateByDegrees(double degrees)
{
    prependTransform(rotationByDegrees(degrees));
}

void AffineTransform::rotateByRadians(double radians)
{
    prependTransform(rotationByRadians(radians));
}

void AffineTransform::scaleBy(double sx, double sy)
{
    prependTransform(scaling(sx, sy));
}

void AffineTransform::appendTransform(const AffineTransform& other)
{
    *this = concatenated(*this, other);
}

void AffineTransform::prependTransform(const AffineTransform& other)
{
    *this = concatenated(other, *this);
}

std::optional<AffineTransform> AffineTransform::inverted() const
{
    double det = determinant();
    if (det == 0 || !std::isfinite(det))
        return std::nullopt;
    AffineTransform r;
    r.m11 = m22 / det;
    r.m12 = -m12 / det;
    r.m21 = -m21 / det;
    r.m22 = m11 / det;
    r.tX = (m21 * tY - m22 * tX) / det;
    r.tY = (m12 * tX - m11 * tY) / det;
    return r;
}

bool AffineTransform::invert()
{
    auto r = inverted();
    if (!r)
        return false;
    *this = *r;
    return true;
}

BezierPath AffineTransform::transformBezierPath(const BezierPath& path) const
{
    BezierPath copy(path);
    copy.transformUsingAffineTransform(*this);
    return copy;
}

void AffineTransform::concat() const
{
    if (auto* context = GraphicsContext::current())
        context->concatCTM(*this);
}

void AffineTransform::set() const
{
    if (auto* context = GraphicsContext::current())
        context->setCTM(*this);
}

}
