#include "platform/layers/Transform3D.h"
#include "platform/layers/MediaTimingFunction.h"
#include "platform/layers/detail/Homography.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ui;

namespace {

void expectNear(const Transform3D& a, const Transform3D& b, double tolerance = 1e-9)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(a.element(i, j), b.element(i, j), tolerance) << "element m" << i + 1 << j + 1;
}

}

TEST(Transform3DTest, OperationsActBeforeTheTransformAndRotationsAreRightHanded)
{
    // A quarter turn about z takes the x axis to the y axis (counter-clockwise with y up).
    auto p = Transform3D::rotation(M_PI / 2, 0, 0, 1).transformPoint(1, 0, 0);
    EXPECT_NEAR(p.x, 0, 1e-12);
    EXPECT_NEAR(p.y, 1, 1e-12);
    // About y, the x axis turns away from the eye (towards −z).
    p = Transform3D::rotation(M_PI / 2, 0, 1, 0).transformPoint(1, 0, 0);
    EXPECT_NEAR(p.z, -1, 1e-12);
    // translateBy acts first: scale 2 then translate 10 maps 1 to 22 when the translation is added later.
    auto t = Transform3D::scaling(2, 2, 2);
    t.translateBy(10, 0, 0);
    EXPECT_NEAR(t.transformPoint(1, 0, 0).x, 22, 1e-12);
    EXPECT_NEAR(concatenated(Transform3D::scaling(2, 2, 2), Transform3D::translation(10, 0, 0)).transformPoint(1, 0).x,
        12, 1e-12);
    // The perspective term shrinks what lies behind the plane: w = 1 + z·(−1/500) is 2 for z = −500.
    p = Transform3D::perspective(500).transformPoint(100, 0, -500);
    EXPECT_NEAR(p.x / p.w, 50, 1e-12);
    // A zero axis rotates nothing; a singular transform has no inverse.
    EXPECT_TRUE(Transform3D::rotation(1, 0, 0, 0).isIdentity());
    EXPECT_FALSE(Transform3D::scaling(1, 0, 1).inverted());
    auto mixed = concatenated(Transform3D::rotation(0.3, 1, 2, 3), Transform3D::perspective(400));
    mixed.translateBy(5, -7, 2);
    expectNear(concatenated(mixed, *mixed.inverted()), Transform3D::identity(), 1e-12);
    // Only plane-preserving transforms have an affine form.
    EXPECT_TRUE(Transform3D::rotation(0.5, 0, 0, 1).affineTransform());
    EXPECT_FALSE(Transform3D::rotation(0.5, 0, 1, 0).affineTransform());
    EXPECT_FALSE(Transform3D::perspective(500).isAffine());
}

TEST(Transform3DTest, FlatteningProjectsThePlaneWithThePerspectiveDivide)
{
    auto t = concatenated(Transform3D::rotation(M_PI / 3, 0, 1, 0), Transform3D::perspective(500));
    auto h = detail::Homography::flattening(t);
    // (50, 0) turns to x = 25, z = −43.30; w = 1 + 43.30 / 500.
    auto p = h.transformPoint({ 50, 0 });
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->x, 25 / (1 + 50 * std::sin(M_PI / 3) / 500), 1e-12);
    auto back = h.inverted()->transformPoint(*p);
    EXPECT_NEAR(back->x, 50, 1e-9);
    // Behind the eye there is no image; a half turn shows the plane from behind.
    EXPECT_FALSE(h.transformPoint({ -600, 0 }));
    EXPECT_TRUE(h.preservesOrientationAt({ 0, 0 }));
    EXPECT_FALSE(detail::Homography::flattening(Transform3D::rotation(M_PI, 0, 1, 0)).preservesOrientationAt({ 0, 0 }));

    // A plane far along a scroll, 200 behind the perspective's centre at x = 50,400: 100 right of that centre lands
    // 100 / (1 + 200 / 1500) right of it, and maps back (a far translation is no collapse). Edge-on is one.
    auto far
        = concatenated(concatenated(Transform3D::translation(50300, 0, -200), Transform3D::translation(-50400, 0, 0)),
            concatenated(Transform3D::perspective(1500), Transform3D::translation(50400, 0, 0)));
    auto farPlane = detail::Homography::flattening(far);
    auto seen = farPlane.transformPoint({ 200, 10 });
    ASSERT_TRUE(seen);
    EXPECT_NEAR(seen->x, 50400 + 100 / (1 + 200.0 / 1500), 1e-6);
    auto inverse = farPlane.inverted();
    ASSERT_TRUE(inverse);
    EXPECT_NEAR(inverse->transformPoint(*seen)->x, 200, 1e-6);
    EXPECT_FALSE(detail::Homography::flattening(Transform3D::rotation(M_PI / 2, 0, 1, 0)).inverted());
}

TEST(Transform3DTest, InterpolationTurnsAlongTheShorterArcAndKeepsGoingPastAHalfTurn)
{
    const auto perspective = Transform3D::perspective(850);
    // A card turning from facing the eye to a half turn, with perspective coming in...
    const auto front = Transform3D::identity();
    const auto halfTurn = concatenated(Transform3D::rotation(M_PI, 0, 1, 0), perspective);
    // ...and its back turning on from a half turn to a whole one.
    const auto back = Transform3D::rotation(M_PI, 0, 1, 0);
    const auto wholeTurn = concatenated(Transform3D::rotation(2 * M_PI, 0, 1, 0), perspective);

    auto quarter = interpolatedTransform(front, halfTurn, 0.25);
    // 45°: m13 = −sin 45°, and a quarter of the perspective term (applied after the turn, so m34 = m33 · p).
    EXPECT_NEAR(quarter.m11, std::cos(M_PI / 4), 1e-9);
    EXPECT_NEAR(quarter.m13, -std::sin(M_PI / 4), 1e-9);
    EXPECT_NEAR(quarter.m34 / quarter.m33, -0.25 / 850, 1e-12);
    // The back continues in the same direction: 1.75 half turns, not back towards 0.25.
    auto later = interpolatedTransform(back, wholeTurn, 0.75);
    EXPECT_NEAR(later.m11, std::cos(1.75 * M_PI), 1e-9);
    EXPECT_NEAR(later.m13, -std::sin(1.75 * M_PI), 1e-9);
    // The ends are exact.
    expectNear(interpolatedTransform(back, wholeTurn, 1), wholeTurn);
    // Translation and scale move linearly.
    auto moved = interpolatedTransform(Transform3D::translation(0, 0, 0),
        concatenated(Transform3D::scaling(3, 3, 1), Transform3D::translation(100, -40, 20)), 0.5);
    EXPECT_NEAR(moved.m11, 2, 1e-9);
    EXPECT_NEAR(moved.m41, 50, 1e-9);
    EXPECT_NEAR(moved.m42, -20, 1e-9);
    EXPECT_NEAR(moved.m43, 10, 1e-9);
    // A transform without an inverse is blended element by element.
    auto flat = interpolatedTransform(Transform3D::identity(), Transform3D::scaling(0, 1, 1), 0.5);
    EXPECT_NEAR(flat.m11, 0.5, 1e-12);
}

TEST(Transform3DTest, TimingFunctionsFollowTheirCurves)
{
    struct Case {
        fnd::String name;
        double at;
        double value;
    };
    // Values of the cubic Béziers through the standard control points, solved independently.
    const Case cases[] = {
        { MediaTimingFunctionName::Linear, 0.3, 0.3 },
        { MediaTimingFunctionName::EaseIn, 0.5, 0.3153568 },
        { MediaTimingFunctionName::EaseOut, 0.5, 0.6846432 },
        { MediaTimingFunctionName::EaseInEaseOut, 0.25, 0.1291619 },
        { MediaTimingFunctionName::EaseInEaseOut, 0.5, 0.5 },
        { MediaTimingFunctionName::Default, 0.5, 0.8024034 },
    };
    for (const auto& c : cases) {
        auto f = MediaTimingFunction::functionWithName(c.name);
        ASSERT_TRUE(f) << c.name.utf8();
        EXPECT_NEAR(f->valueAt(c.at), c.value, 1e-6) << c.name.utf8() << " at " << c.at;
        EXPECT_EQ(f->valueAt(0), 0);
        EXPECT_NEAR(f->valueAt(1), 1, 1e-12);
        EXPECT_NEAR(f->valueAt(7), 1, 1e-12) << "progress is clamped";
    }
    EXPECT_FALSE(MediaTimingFunction::functionWithName("bounce"));
}
