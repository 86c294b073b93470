#include "frameworks/tab-bar-core/TabShapes.h"
#include "frameworks/tab-bar-core/TabBarGeometry.h"
#include "frameworks/tab-bar-core/TabResources.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using gfx::BezierPathElement;
using namespace tbcore;

std::string kinds(const gfx::BezierPath& path)
{
    std::string text;
    for (std::int64_t i = 0; i < path.elementCount(); ++i)
        text += "MLCZ"[int(path.elementAtIndex(i))];
    return text;
}

gfx::Point pointOf(const gfx::BezierPath& path, std::int64_t index)
{
    gfx::Point points[3];
    auto kind = path.elementAtIndex(index, points);
    return kind == BezierPathElement::CurveTo ? points[2] : points[0];
}

TEST(TabShapes, CardPathsFollowTheCapMask)
{
    const gfx::Rect r { 10, 20, 100, 22 };
    EXPECT_EQ(kinds(*cardPath(r, 3, 0)), "ML") << "no caps, no sides: only the edge at minY";
    EXPECT_EQ(pointOf(*cardPath(r, 3, 0), 0), gfx::Point(10, 20));
    EXPECT_EQ(kinds(*cardPath(r, 3, CapMask::Sides)), "MLLL");
    EXPECT_EQ(pointOf(*cardPath(r, 3, CapMask::Sides), 0), gfx::Point(10, 42)) << "starts at maxY";
    const auto both = cardPath(r, 3, CapMask::Left | CapMask::Right);
    EXPECT_NE(kinds(*both).find('C'), std::string::npos) << kinds(*both);
    EXPECT_EQ(pointOf(*both, both->elementCount() - 1), gfx::Point(110, 42)) << "ends down the right side";
}

TEST(TabShapes, ARoundedRectWithoutCapsOrSidesHasNoSideEdges)
{
    const gfx::Rect r { 0, 0, 40, 20 };
    const auto path = roundedPath(r, 5, 0);
    EXPECT_EQ(kinds(*path), "MLMLLMLZ");
    // Every line is horizontal: the sides are moves.
    for (std::int64_t i = 1; i < path->elementCount(); ++i) {
        if (path->elementAtIndex(i) == BezierPathElement::LineTo) {
            EXPECT_EQ(pointOf(*path, i).y, pointOf(*path, i - 1).y) << "element " << i;
        }
    }
    EXPECT_EQ(kinds(*roundedPath(r, 5, CapMask::Sides)), "MLLLLLLZ");
    EXPECT_EQ(kinds(*roundedPath(r, 5, CapMask::Left | CapMask::Right)).front(), 'M');
}

TEST(TabShapes, FlippingMirrorsThePathInItsBounds)
{
    const gfx::Rect r { 0, 10, 40, 20 };
    const auto plain = cardPath(r, 3, 0);
    const auto flipped = cardPath(r, 3, CapMask::Flipped);
    EXPECT_EQ(pointOf(*plain, 0), gfx::Point(0, 10));
    // The path's own bounds are the line at y = 10, so it mirrors onto itself.
    EXPECT_EQ(pointOf(*flipped, 0), gfx::Point(0, 10));
    const auto t = flipVertical({ 0, 10, 40, 20 });
    EXPECT_EQ(t.transformPoint({ 5, 10 }), gfx::Point(5, 30));
    EXPECT_EQ(t.transformPoint({ 5, 25 }), gfx::Point(5, 15));
}

TEST(TabShapes, ImageFitting)
{
    EXPECT_EQ(scaleImageSizeToFit({ 100, 50 }, { 50, 50 }, ImageScaling::ProportionallyDown), gfx::Size(50, 25));
    EXPECT_EQ(scaleImageSizeToFit({ 100, 50 }, { 400, 400 }, ImageScaling::ProportionallyDown), gfx::Size(100, 50));
    EXPECT_EQ(
        scaleImageSizeToFit({ 100, 50 }, { 400, 400 }, ImageScaling::ProportionallyUpOrDown), gfx::Size(400, 200));
    EXPECT_EQ(scaleImageSizeToFit({ 100, 50 }, { 30, 40 }, ImageScaling::AxesIndependently), gfx::Size(30, 40));
    EXPECT_EQ(scaleImageSizeToFit({ 100, 50 }, { 30, 40 }, ImageScaling::None), gfx::Size(100, 50));
    EXPECT_EQ(scaleImageSizeToFit({ 0, 50 }, { 30, 40 }, ImageScaling::ProportionallyDown), gfx::Size(0, 0));
}

TEST(TabShapes, OverflowTitlesAreCutToExactlyTheLength)
{
    const fnd::String sixty(std::string(60, 'a'));
    const fnd::String fiftyNine(std::string(59, 'a'));
    EXPECT_EQ(truncateTitle(fiftyNine, 60), fiftyNine);
    EXPECT_EQ(truncateTitle(sixty, 60), sixty) << "a title of exactly the length stays whole";
    const auto cut = truncateTitle(fnd::String(std::string(61, 'a')), 60);
    EXPECT_EQ(cut.length(), 60);
    EXPECT_EQ(cut.characterAt(59), 0x2026);
}

TEST(TabBarGeometry, HideAndShowGiveBackExactlyTheRoomTaken)
{
    // A 22-point bar (or a 30-point vertical one) beside a 300 x 200 partner. The tab bar view gives all of its
    // thickness away; the tab bar control keeps a one-point strip, so its partner gains 21 (or 29) points.
    const gfx::Rect partner { 0, 0, 300, 200 };
    struct Case {
        const char* what;
        bool vertical;
        gfx::Rect bar;
        double strip;
        HideShowPartner placement;
        gfx::Rect hiddenBar;
        gfx::Rect hiddenPartner;
    };
    const Case cases[] = {
        { "bar above the partner", false, { 0, 200, 300, 22 }, 0, HideShowPartner::BarAtMaxEdge, { 0, 222, 300, 0 },
            { 0, 0, 300, 222 } },
        { "bar below the partner", false, { 0, -22, 300, 22 }, 0, HideShowPartner::BarAtMinEdge, { 0, -22, 300, 0 },
            { 0, -22, 300, 222 } },
        { "window", false, { 0, 178, 300, 22 }, 0, HideShowPartner::Window, { 0, 178, 300, 0 }, { 0, 22, 300, 178 } },
        { "control above the partner", false, { 0, 200, 300, 22 }, 1, HideShowPartner::BarAtMaxEdge, { 0, 221, 300, 1 },
            { 0, 0, 300, 221 } },
        { "control below the partner", false, { 0, -22, 300, 22 }, 1, HideShowPartner::BarAtMinEdge, { 0, -22, 300, 1 },
            { 0, -21, 300, 221 } },
        { "control's window", false, { 0, 178, 300, 22 }, 1, HideShowPartner::Window, { 0, 178, 300, 1 },
            { 0, 21, 300, 179 } },
        { "partner left of a vertical bar", true, { 300, 0, 30, 200 }, 0, HideShowPartner::BarAtMaxEdge,
            { 330, 0, 0, 200 }, { 0, 0, 330, 200 } },
        { "partner right of a vertical bar", true, { -30, 0, 30, 200 }, 0, HideShowPartner::BarAtMinEdge,
            { -30, 0, 0, 200 }, { -30, 0, 330, 200 } },
        { "window of a vertical control", true, { 0, 0, 30, 200 }, 1, HideShowPartner::Window, { 0, 0, 1, 200 },
            { 29, 0, 271, 200 } },
        { "vertical control left of its partner", true, { -30, 0, 30, 200 }, 1, HideShowPartner::BarAtMinEdge,
            { -30, 0, 1, 200 }, { -29, 0, 329, 200 } },
    };
    for (const auto& c : cases) {
        const double thickness = c.vertical ? c.bar.width() : c.bar.height();
        if (c.placement != HideShowPartner::Window) {
            EXPECT_EQ(partnerPlacement(c.bar, partner, c.vertical, thickness), c.placement) << c.what;
        }
        const auto hidden = hideShowFrames(c.bar, partner, c.vertical, c.placement, true, thickness, c.strip);
        EXPECT_EQ(hidden.bar, c.hiddenBar) << c.what;
        EXPECT_EQ(hidden.partner, c.hiddenPartner) << c.what;
        const auto shown
            = hideShowFrames(hidden.bar, hidden.partner, c.vertical, c.placement, false, thickness, c.strip);
        EXPECT_EQ(shown.bar, c.bar) << c.what << ": the bar comes back as it was";
        EXPECT_EQ(shown.partner, partner) << c.what << ": the partner gives back what it took";
    }
}

TEST(TabBarGeometry, FadesStepByFifteenHundredthsToThreeQuarters)
{
    double tab = 0.75, content = 0;
    int steps = 0;
    while (DragFade::stepIn(tab, content, true))
        ++steps;
    EXPECT_EQ(steps, 5);
    EXPECT_NEAR(content, 0.75, 1e-9);
    EXPECT_NEAR(tab, 0.0, 1e-9);
    EXPECT_FALSE(DragFade::stepIn(tab, content = 0.2, false)) << "no tab window: nothing to fade";

    tab = 0, content = 0.75;
    steps = 0;
    while (DragFade::stepOut(tab, content))
        ++steps;
    EXPECT_EQ(steps, 5);
    EXPECT_EQ(content, 0) << "clamped";
    EXPECT_EQ(tab, 0.75);
}

TEST(TabResources, SpringDelayComesFromOurDefaults)
{
    auto& defaults = fnd::UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(SpringingDelayDefaultsKey);
    EXPECT_DOUBLE_EQ(springingDelay(), 0.668);
    defaults.setObject(fnd::Value(250), SpringingDelayDefaultsKey);
    EXPECT_DOUBLE_EQ(springingDelay(), 0.25);
    defaults.removeObjectForKey(SpringingDelayDefaultsKey);
}

TEST(TabResources, NamedImagesAreLoadedOnceAndShared)
{
    auto close = namedImage("QFTabBarView", "TabClose_Front");
    ASSERT_TRUE(close);
    EXPECT_EQ(close, namedImage("QFTabBarView", "TabClose_Front"));
    EXPECT_EQ(close->size(), gfx::Size(12, 12));
    EXPECT_FALSE(namedImage("QFTabBarView", "NoSuchPicture"));
    EXPECT_TRUE(isCloseImageType(5));
    EXPECT_FALSE(isCloseImageType(6));
    EXPECT_FALSE(isCloseImageType(-1));
}

}
