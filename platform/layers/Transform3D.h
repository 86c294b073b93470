#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/ValueTraits.h"
#include "platform/graphics/AffineTransform.h"

#include <optional>

namespace ui {

// A point in homogeneous coordinates, the result of carrying a point through a Transform3D.
struct Point4 {
    double x { 0 };
    double y { 0 };
    double z { 0 };
    double w { 1 };
};

// A 4×4 transform of layer space. Points are row vectors multiplied on the left, p' = p · M, so the translation
// sits in m41..m43 and the perspective term that makes far things smaller in m34 (−1/d puts the eye at distance d
// on the +z axis). As with AffineTransform, each added operation (translateBy, scaleBy, rotateBy) acts on points
// before the existing transform, and concatenated(a, b) applies a first.
struct Transform3D {
    double m11 { 1 }, m12 { 0 }, m13 { 0 }, m14 { 0 };
    double m21 { 0 }, m22 { 1 }, m23 { 0 }, m24 { 0 };
    double m31 { 0 }, m32 { 0 }, m33 { 1 }, m34 { 0 };
    double m41 { 0 }, m42 { 0 }, m43 { 0 }, m44 { 1 };

    static constexpr Transform3D identity() { return {}; }
    static Transform3D translation(double tx, double ty, double tz);
    static Transform3D scaling(double sx, double sy, double sz);
    // A right-handed rotation about the axis (x, y, z); a zero axis gives the identity.
    static Transform3D rotation(double radians, double x, double y, double z);
    // The identity with m34 = −1/distance.
    static Transform3D perspective(double distance);
    static Transform3D fromAffine(const gfx::AffineTransform& t);

    void translateBy(double tx, double ty, double tz);
    void scaleBy(double sx, double sy, double sz);
    void rotateBy(double radians, double x, double y, double z);

    bool isIdentity() const { return *this == Transform3D {}; }
    // Maps the plane z = 0 onto itself without perspective: an AffineTransform says all it does there.
    bool isAffine() const;
    // The 2-D part; nullopt when the transform is not affine.
    std::optional<gfx::AffineTransform> affineTransform() const;
    std::optional<Transform3D> inverted() const;

    double element(int row, int column) const { return (&m11)[row * 4 + column]; }
    double& element(int row, int column) { return (&m11)[row * 4 + column]; }

    Point4 transformPoint(double x, double y, double z = 0) const;

    constexpr bool operator==(const Transform3D&) const = default;
};

// The transform that applies first, then second.
Transform3D concatenated(const Transform3D& first, const Transform3D& second);

// The transform a fraction of the way from one to another: translation, scale, skew and perspective move
// linearly, the rotation along the shorter arc between the two orientations, so a half turn turns on instead of
// folding through zero. Transforms that cannot be taken apart (singular ones) are blended element by element.
Transform3D interpolatedTransform(const Transform3D& from, const Transform3D& to, double fraction);

// A Transform3D as an object, so that it travels in a fnd::Value (animations, the layer's key-value bag).
class TransformValue final : public fnd::Object {
    FND_OBJECT(TransformValue)
public:
    TransformValue() = default;
    explicit TransformValue(const Transform3D& t)
        : transform(t)
    {
    }
    Transform3D transform;

    bool isEqual(const fnd::Object& other) const override;
    std::size_t hash() const override { return std::hash<double>()(transform.m41 + transform.m42); }
    fnd::String description() const override;
};

}

template <> struct fnd::ValueTraits<ui::Transform3D> {
    static constexpr bool isScalar = true;
    static Value toValue(const ui::Transform3D& t) { return Value(std::make_shared<ui::TransformValue>(t)); }
    static ui::Transform3D fromValue(const Value& v)
    {
        auto boxed = v.objectAs<ui::TransformValue>();
        return boxed ? boxed->transform : ui::Transform3D {};
    }
};
