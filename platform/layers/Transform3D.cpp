#include "platform/layers/Transform3D.h"

#include <fmt/format.h>

#include <array>
#include <cmath>

namespace ui {

FND_REGISTER_CLASS(TransformValue, fnd::Object)

Transform3D Transform3D::translation(double tx, double ty, double tz)
{
    Transform3D t;
    t.m41 = tx;
    t.m42 = ty;
    t.m43 = tz;
    return t;
}

Transform3D Transform3D::scaling(double sx, double sy, double sz)
{
    Transform3D t;
    t.m11 = sx;
    t.m22 = sy;
    t.m33 = sz;
    return t;
}

Transform3D Transform3D::rotation(double radians, double x, double y, double z)
{
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0)
        return {};
    x /= length;
    y /= length;
    z /= length;
    const double c = std::cos(radians), s = std::sin(radians), t = 1 - c;
    Transform3D r;
    r.m11 = t * x * x + c;
    r.m12 = t * x * y + s * z;
    r.m13 = t * x * z - s * y;
    r.m21 = t * x * y - s * z;
    r.m22 = t * y * y + c;
    r.m23 = t * y * z + s * x;
    r.m31 = t * x * z + s * y;
    r.m32 = t * y * z - s * x;
    r.m33 = t * z * z + c;
    return r;
}

Transform3D Transform3D::perspective(double distance)
{
    Transform3D t;
    if (distance != 0)
        t.m34 = -1 / distance;
    return t;
}

Transform3D Transform3D::fromAffine(const gfx::AffineTransform& a)
{
    Transform3D t;
    t.m11 = a.m11;
    t.m12 = a.m12;
    t.m21 = a.m21;
    t.m22 = a.m22;
    t.m41 = a.tX;
    t.m42 = a.tY;
    return t;
}

void Transform3D::translateBy(double tx, double ty, double tz)
{
    *this = concatenated(translation(tx, ty, tz), *this);
}

void Transform3D::scaleBy(double sx, double sy, double sz)
{
    *this = concatenated(scaling(sx, sy, sz), *this);
}

void Transform3D::rotateBy(double radians, double x, double y, double z)
{
    *this = concatenated(rotation(radians, x, y, z), *this);
}

bool Transform3D::isAffine() const
{
    return m13 == 0 && m14 == 0 && m23 == 0 && m24 == 0 && m31 == 0 && m32 == 0 && m33 == 1 && m34 == 0 && m43 == 0
        && m44 == 1;
}

std::optional<gfx::AffineTransform> Transform3D::affineTransform() const
{
    if (!isAffine())
        return std::nullopt;
    return gfx::AffineTransform { m11, m12, m21, m22, m41, m42 };
}

Point4 Transform3D::transformPoint(double x, double y, double z) const
{
    return { x * m11 + y * m21 + z * m31 + m41, x * m12 + y * m22 + z * m32 + m42, x * m13 + y * m23 + z * m33 + m43,
        x * m14 + y * m24 + z * m34 + m44 };
}

Transform3D concatenated(const Transform3D& a, const Transform3D& b)
{
    Transform3D r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a.element(i, k) * b.element(k, j);
            r.element(i, j) = sum;
        }
    return r;
}

std::optional<Transform3D> Transform3D::inverted() const
{
    // Gauss-Jordan elimination with partial pivoting.
    std::array<std::array<double, 8>, 4> a {};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j)
            a[i][j] = element(i, j);
        a[i][4 + i] = 1;
    }
    for (int column = 0; column < 4; ++column) {
        int pivot = column;
        for (int row = column + 1; row < 4; ++row)
            if (std::abs(a[row][column]) > std::abs(a[pivot][column]))
                pivot = row;
        if (std::abs(a[pivot][column]) < 1e-12)
            return std::nullopt;
        std::swap(a[pivot], a[column]);
        const double scale = a[column][column];
        for (auto& v : a[column])
            v /= scale;
        for (int row = 0; row < 4; ++row) {
            if (row == column || a[row][column] == 0)
                continue;
            const double factor = a[row][column];
            for (int k = 0; k < 8; ++k)
                a[row][k] -= factor * a[column][k];
        }
    }
    Transform3D r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.element(i, j) = a[i][4 + j];
    return r;
}

// Interpolation takes a transform apart into scale, skew, rotation (a quaternion), translation and perspective,
// blends the parts and puts them together again (the classic "unmatrix" decomposition, in row-vector form).
namespace {

using Vec3 = std::array<double, 3>;

double dot(const Vec3& a, const Vec3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vec3 cross(const Vec3& a, const Vec3& b)
{
    return { a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0] };
}

Vec3 combine(const Vec3& a, const Vec3& b, double sa, double sb)
{
    return { a[0] * sa + b[0] * sb, a[1] * sa + b[1] * sb, a[2] * sa + b[2] * sb };
}

struct Decomposed {
    Vec3 scale;
    Vec3 skew; // xy, xz, yz
    std::array<double, 4> quaternion; // x, y, z, w
    Vec3 translation;
    std::array<double, 4> perspective;
};

std::optional<Decomposed> decompose(Transform3D m)
{
    const double w = m.m44;
    if (w == 0)
        return std::nullopt;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m.element(i, j) /= w;
    Decomposed d;
    // The affine part and the perspective that follows it: m = affine · P, P the identity with a last column p.
    Transform3D affine = m;
    affine.m14 = affine.m24 = affine.m34 = 0;
    affine.m44 = 1;
    auto inverse = affine.inverted();
    if (!inverse)
        return std::nullopt;
    const double c[4] = { m.m14, m.m24, m.m34, m.m44 };
    for (int i = 0; i < 4; ++i) {
        double sum = 0;
        for (int k = 0; k < 4; ++k)
            sum += inverse->element(i, k) * c[k];
        d.perspective[i] = sum;
    }
    d.translation = { m.m41, m.m42, m.m43 };

    Vec3 row[3];
    for (int i = 0; i < 3; ++i)
        row[i] = { m.element(i, 0), m.element(i, 1), m.element(i, 2) };
    d.scale[0] = std::sqrt(dot(row[0], row[0]));
    if (d.scale[0] == 0)
        return std::nullopt;
    row[0] = combine(row[0], row[0], 1 / d.scale[0], 0);
    d.skew[0] = dot(row[0], row[1]);
    row[1] = combine(row[1], row[0], 1, -d.skew[0]);
    d.scale[1] = std::sqrt(dot(row[1], row[1]));
    if (d.scale[1] == 0)
        return std::nullopt;
    row[1] = combine(row[1], row[1], 1 / d.scale[1], 0);
    d.skew[0] /= d.scale[1];
    d.skew[1] = dot(row[0], row[2]);
    row[2] = combine(row[2], row[0], 1, -d.skew[1]);
    d.skew[2] = dot(row[1], row[2]);
    row[2] = combine(row[2], row[1], 1, -d.skew[2]);
    d.scale[2] = std::sqrt(dot(row[2], row[2]));
    if (d.scale[2] == 0)
        return std::nullopt;
    row[2] = combine(row[2], row[2], 1 / d.scale[2], 0);
    d.skew[1] /= d.scale[2];
    d.skew[2] /= d.scale[2];
    if (dot(row[0], cross(row[1], row[2])) < 0) {
        for (int i = 0; i < 3; ++i) {
            d.scale[i] = -d.scale[i];
            row[i] = combine(row[i], row[i], -1, 0);
        }
    }
    // Rows are the images of the axes; as a column-vector rotation R[i][j] = row[j][i]. The quaternion comes from
    // the largest of the trace and the diagonal (Shepperd), so the small off-diagonal terms keep their signs.
    auto R = [&](int i, int j) { return row[j][i]; };
    const double trace = R(0, 0) + R(1, 1) + R(2, 2);
    auto& q = d.quaternion;
    if (trace > R(0, 0) && trace > R(1, 1) && trace > R(2, 2)) {
        const double s = 2 * std::sqrt(1 + trace);
        q = { (R(2, 1) - R(1, 2)) / s, (R(0, 2) - R(2, 0)) / s, (R(1, 0) - R(0, 1)) / s, s / 4 };
    } else if (R(0, 0) >= R(1, 1) && R(0, 0) >= R(2, 2)) {
        const double s = 2 * std::sqrt(std::max(0.0, 1 + R(0, 0) - R(1, 1) - R(2, 2)));
        q = { s / 4, (R(0, 1) + R(1, 0)) / s, (R(0, 2) + R(2, 0)) / s, (R(2, 1) - R(1, 2)) / s };
    } else if (R(1, 1) >= R(2, 2)) {
        const double s = 2 * std::sqrt(std::max(0.0, 1 + R(1, 1) - R(0, 0) - R(2, 2)));
        q = { (R(0, 1) + R(1, 0)) / s, s / 4, (R(1, 2) + R(2, 1)) / s, (R(0, 2) - R(2, 0)) / s };
    } else {
        const double s = 2 * std::sqrt(std::max(0.0, 1 + R(2, 2) - R(0, 0) - R(1, 1)));
        q = { (R(0, 2) + R(2, 0)) / s, (R(1, 2) + R(2, 1)) / s, s / 4, (R(1, 0) - R(0, 1)) / s };
    }
    return d;
}

Transform3D recompose(const Decomposed& d)
{
    const auto& [x, y, z, w] = d.quaternion;
    // Column-vector rotation from the quaternion; the rows of the row-vector form are its columns.
    const double R[3][3] = {
        { 1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w) },
        { 2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w) },
        { 2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y) },
    };
    Vec3 axis[3];
    for (int i = 0; i < 3; ++i)
        axis[i] = { R[0][i], R[1][i], R[2][i] };
    const Vec3 rows[3] = {
        combine(axis[0], axis[0], d.scale[0], 0),
        combine(combine(axis[1], axis[0], 1, d.skew[0]), axis[0], d.scale[1], 0),
        combine(combine(combine(axis[2], axis[0], 1, d.skew[1]), axis[1], 1, d.skew[2]), axis[0], d.scale[2], 0),
    };
    Transform3D affine;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            affine.element(i, j) = rows[i][j];
    affine.m41 = d.translation[0];
    affine.m42 = d.translation[1];
    affine.m43 = d.translation[2];
    Transform3D perspective;
    perspective.m14 = d.perspective[0];
    perspective.m24 = d.perspective[1];
    perspective.m34 = d.perspective[2];
    perspective.m44 = d.perspective[3];
    return concatenated(affine, perspective);
}

std::array<double, 4> slerp(std::array<double, 4> a, std::array<double, 4> b, double t)
{
    double product = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
    if (product < 0) {
        for (auto& v : b)
            v = -v;
        product = -product;
    }
    product = std::min(product, 1.0);
    std::array<double, 4> r;
    if (product > 0.9999) {
        for (int i = 0; i < 4; ++i)
            r[i] = a[i] + (b[i] - a[i]) * t;
    } else {
        const double theta = std::acos(product);
        const double sa = std::sin((1 - t) * theta) / std::sin(theta);
        const double sb = std::sin(t * theta) / std::sin(theta);
        for (int i = 0; i < 4; ++i)
            r[i] = a[i] * sa + b[i] * sb;
    }
    const double length = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2] + r[3] * r[3]);
    for (auto& v : r)
        v /= length;
    return r;
}

}

Transform3D interpolatedTransform(const Transform3D& from, const Transform3D& to, double fraction)
{
    if (fraction <= 0)
        return from;
    if (fraction >= 1)
        return to;
    auto a = decompose(from);
    auto b = decompose(to);
    if (!a || !b) {
        Transform3D r;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                r.element(i, j) = from.element(i, j) + (to.element(i, j) - from.element(i, j)) * fraction;
        return r;
    }
    Decomposed d;
    auto mix = [&](double p, double q) { return p + (q - p) * fraction; };
    for (int i = 0; i < 3; ++i) {
        d.scale[i] = mix(a->scale[i], b->scale[i]);
        d.skew[i] = mix(a->skew[i], b->skew[i]);
        d.translation[i] = mix(a->translation[i], b->translation[i]);
    }
    for (int i = 0; i < 4; ++i)
        d.perspective[i] = mix(a->perspective[i], b->perspective[i]);
    d.quaternion = slerp(a->quaternion, b->quaternion, fraction);
    return recompose(d);
}

bool TransformValue::isEqual(const fnd::Object& other) const
{
    auto* o = dynamic_cast<const TransformValue*>(&other);
    return o && o->transform == transform;
}

fnd::String TransformValue::description() const
{
    const auto& t = transform;
    return fnd::String(fmt::format("[{} {} {} {}; {} {} {} {}; {} {} {} {}; {} {} {} {}]", t.m11, t.m12, t.m13, t.m14,
        t.m21, t.m22, t.m23, t.m24, t.m31, t.m32, t.m33, t.m34, t.m41, t.m42, t.m43, t.m44));
}

}
