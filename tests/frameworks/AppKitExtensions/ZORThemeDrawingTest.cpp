#include "frameworks/AppKitExtensions/Themes/ZORThemeDrawing.h"
#include "frameworks/AppKitExtensions/Themes/ZORAbstractTheme.h"
#include "frameworks/AppKitExtensions/Themes/ZORFlatDarkTheme.h"
#include "frameworks/AppKitExtensions/Themes/ZORThemeManager.h"

#include "DrawingTestSupport.h"

#include "platform/graphics/BezierPath.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

namespace D = ZORThemeDrawing;
using drawing::grey;
using drawing::pixelNear;
using drawing::pixelOf;
using drawing::rgba;
using drawing::RGBA;
using gfx::ControlSize;

// Cells draw flipped: rows are counted from the top here.
class CellCanvas : public Canvas {
public:
    CellCanvas(int width, int height)
        : Canvas(width, height, true)
        , m_height(height)
    {
    }
    std::uint32_t top(int x, int row) { return at(x, m_height - 1 - row); }

private:
    int m_height;
};

std::shared_ptr<ZORTheme> theme(const char* key)
{
    return ZORThemeManager::sharedThemeManager().themeForKey(key);
}

// A theme whose bezels have no outline colour.
class OutlinelessTheme : public ZORAbstractTheme {
public:
    gfx::ColorPtr strokeColorForStateMask(ZORThemeStateMask) const override { return nullptr; }
};

// The five states the sheets show, as a cell would pass them.
struct LookState {
    const char* name;
    ZORThemeStateMask stateMask;
    ZORThemeStateMask fillMask;
    bool enabled;
    long state;
};

const LookState States[] = {
    { "normal", 0, 0, true, 0 },
    { "pressed", ZORThemeState::On, ZORThemeState::Pressed, true, 0 },
    { "selected", 0, ZORThemeState::On, true, 1 },
    { "disabled", ZORThemeState::Disabled, ZORThemeState::Disabled, false, 0 },
    { "inactive", ZORThemeState::Inactive, ZORThemeState::Inactive, true, 0 },
};

TEST(ZORThemeDrawing, BezelMasksFollowTheCellsHighlightAndStateMasks)
{
    // Push on/off buttons show their state by the background: on, not pressed.
    EXPECT_EQ(D::bezelGradientMask(true, 12, 14, 1, true), ZORThemeState::On);
    EXPECT_EQ(D::bezelGradientMask(true, 12, 12, 0, true), 0u);
    // Momentary buttons show being pressed.
    EXPECT_EQ(D::bezelGradientMask(true, 0, 12, 0, true), ZORThemeState::Pressed);
    EXPECT_EQ(D::bezelGradientMask(true, 0, 12, 1, false), 0u);
    EXPECT_EQ(D::bezelGradientMask(true, 12, 1, 1, true), ZORThemeState::Pressed);
    EXPECT_EQ(D::bezelGradientMask(false, 12, 14, 1, true), ZORThemeState::Disabled);
    EXPECT_EQ(D::recessedFillMask(true, true), ZORThemeState::Pressed);
    EXPECT_EQ(D::recessedFillMask(false, true), ZORThemeState::On);
    EXPECT_EQ(D::recessedFillMask(false, false), 0u);
}

TEST(ZORThemeDrawing, SmallSquareBezelOutlinesAFourStopFillAndCastsItsShadowWhenEnabled)
{
    auto dark = theme("ZORFlatDarkTheme");
    for (const auto& s : States) {
        SCOPED_TRACE(s.name);
        CellCanvas canvas(60, 28);
        auto rects = D::drawSmallSquareBezel(
            *dark, { 0, 0, 60, 24 }, { s.stateMask, s.fillMask, ControlSize::Regular, s.enabled }, 24);
        EXPECT_EQ(rects.shape, gfx::Rect(1.5, 0.5, 57, 21));
        double a = dark->alphaValueForStateMask(s.stateMask);
        // Opaque while enabled and active; translucent by the theme's alpha otherwise: over the dark line (alpha 0.5)
        // and the fill's outer half (and, while enabled, the shadow).
        if (s.stateMask & ZORThemeState::Disabled)
            EXPECT_NEAR(gfx::alphaOf(canvas.top(1, 10)), 255 * (1 - 0.5 * (1 - a / 2) * (1 - a)), 2);
        else if (s.stateMask & ZORThemeState::Inactive)
            EXPECT_LT(gfx::alphaOf(canvas.top(1, 10)), 240);
        else
            EXPECT_TRUE(pixelNear(canvas.top(1, 10), pixelOf({ 0.749, 0.761, 0.788, 1 }), 3));
        // The hard edge of the four stops in the middle.
        bool light = s.fillMask & 12 && !(s.fillMask & 1);
        double fillAlpha = dark->alphaValueForStateMask(s.fillMask);
        RGBA above = light ? RGBA { 0.445, 0.453, 0.469, fillAlpha } : RGBA { 0.245, 0.253, 0.269, fillAlpha };
        RGBA below = light ? RGBA { 0.406, 0.414, 0.433, fillAlpha } : RGBA { 0.206, 0.214, 0.233, fillAlpha };
        EXPECT_TRUE(pixelNear(canvas.top(30, 10), pixelOf(above), 5));
        EXPECT_TRUE(pixelNear(canvas.top(30, 11), pixelOf(below), 5));
        // The shadow falls a point below the outline, whenever the button is enabled.
        if (s.enabled)
            EXPECT_GT(gfx::alphaOf(canvas.top(30, 23)), 10);
        else
            EXPECT_EQ(canvas.top(30, 23), 0u);
    }
}

TEST(ZORThemeDrawing, BezelShapesFollowTheFrameAndControlSize)
{
    struct Shapes {
        gfx::Rect shape, title;
    };
    struct Case {
        ControlSize size;
        Shapes textured, roundRect, rounded, recessed;
    };
    // In a frame of (0, 0, 60, 30).
    const Case cases[] = {
        { ControlSize::Regular, { { 1.5, 1.5, 57, 26 }, { 1.5, 1.5, 57, 26 } },
            { { 1.5, 0, 57, 27 }, { 1.5, 1, 57, 27 } }, { { 4.5, 4.5, 51, 17 }, { 4.5, 4.5, 51, 17 } },
            { { 1.5, 1.5, 57, 25 }, { 1.5, 1.5, 57, 25 } } },
        { ControlSize::Small, { { 1.5, 0.5, 57, 26 }, { 1.5, 0.5, 57, 26 } },
            { { 1.5, 0, 57, 27 }, { 1.5, 1, 57, 27 } }, { { 4.5, 4.5, 51, 18 }, { 4.5, 5.5, 51, 18 } },
            { { 1.5, 1.5, 57, 26 }, { 1.5, 2.5, 57, 26 } } },
        { ControlSize::Mini, { { 1.5, 0.5, 57, 26 }, { 1.5, 0.5, 57, 26 } }, { { 1.5, 1, 57, 25 }, { 1.5, 2, 57, 25 } },
            { { 0.5, -0.5, 59, 29 }, { 0.5, 0.5, 59, 29 } }, { { 0.5, -0.5, 59, 29 }, { 0.5, 0.5, 59, 29 } } },
    };
    auto gray = theme("ZORGrayTheme");
    const gfx::Rect frame { 0, 0, 60, 30 };
    CellCanvas canvas(60, 30);
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.size));
        D::BezelState state { 0, 0, c.size, true };
        for (auto [drawn, expected] : { std::pair { D::drawTexturedRoundedBezel(*gray, frame, state), c.textured },
                 { D::drawRoundRectBezel(*gray, frame, state), c.roundRect },
                 { D::drawRoundedBezel(*gray, frame, state), c.rounded },
                 { D::drawRecessedBezel(*gray, frame, state), c.recessed } }) {
            EXPECT_EQ(drawn.shape, expected.shape);
            EXPECT_EQ(drawn.title, expected.title);
        }
    }
}

TEST(ZORThemeDrawing, OutlinedBezelsFrameTheirFillWhileCapsulesAreOnlyFilled)
{
    // The textured bezel: an outline in the shadow grey round the grey bar, which starts at its top.
    auto gray = theme("ZORGrayTheme");
    CellCanvas textured(60, 24);
    D::drawTexturedRoundedBezel(*gray, { 0, 0, 60, 24 }, { 0, 0, ControlSize::Regular, true });
    EXPECT_TRUE(pixelNear(textured.top(1, 11), pixelOf(grey(0.5)), 1));
    EXPECT_TRUE(pixelNear(textured.top(30, 1), pixelOf(grey(0.5)), 1));
    EXPECT_TRUE(pixelNear(textured.top(30, 2), pixelOf(grey(0.678 + 0.143 * 1 / 20)), 2));
    EXPECT_TRUE(pixelNear(textured.top(30, 20), pixelOf(grey(0.678 + 0.143 * 19 / 20)), 2));
    EXPECT_EQ(textured.top(0, 11), 0u);
    EXPECT_EQ(textured.top(1, 1), 0u) << "a rounded corner";

    // The recessed capsule: no outline, the fill colour of the fill mask, nothing when disabled.
    auto dark = theme("ZORFlatDarkTheme");
    struct Fill {
        ZORThemeStateMask mask;
        bool enabled;
        RGBA colour;
    };
    const Fill fills[] = {
        { 0, true, grey(0.141, 0.6) },
        { D::recessedFillMask(false, true), true, grey(0.941, 0.6) },
        { D::recessedFillMask(true, true), true, grey(0.941, 0.6) },
        { ZORThemeState::Disabled, false, { 0, 0, 0, 0 } },
    };
    for (const auto& f : fills) {
        SCOPED_TRACE(f.mask);
        CellCanvas canvas(60, 30);
        D::drawRecessedBezel(*dark, { 0, 0, 60, 30 }, { 0, f.mask, ControlSize::Regular, f.enabled });
        EXPECT_TRUE(pixelNear(canvas.top(30, 14), pixelOf(f.colour), 2));
        EXPECT_EQ(canvas.top(30, 1), 0u) << "the row above the capsule's top stays clear: no outline";
    }
}

TEST(ZORThemeDrawing, CheckBoxesAndRadioButtonsSitBesideTheirTitles)
{
    auto dark = theme("ZORFlatDarkTheme");
    const gfx::Rect frame { 0, 0, 80, 18 };
    struct Case {
        long imagePosition;
        ControlSize size;
        double verticalShift;
        gfx::Rect title;
        int boxColumn; // the box's left outline
        int boxRow; // its top outline
    };
    const Case cases[] = {
        { 2, ControlSize::Regular, 0, { 20.5, 2.5, 60, 18 }, 2, 2 },
        { 2, ControlSize::Small, 0, { 20.5, 1.5, 60, 18 }, 3, 3 },
        { 2, ControlSize::Mini, 0, { 17.5, 0.5, 63, 18 }, 4, 5 },
        { 3, ControlSize::Regular, 0, { 2.5, 2.5, 58.5, 18 }, 65, 2 },
        { 2, ControlSize::Regular, 3, { 20.5, 2.5, 60, 18 }, 2, 5 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.imagePosition * 10 + int(c.size));
        CellCanvas canvas(80, 24);
        D::CheckState state { 0, c.size, true, false, 0, c.imagePosition, c.verticalShift };
        EXPECT_EQ(D::drawCheck(*dark, frame, state, false), c.title);
        // The outline is opaque where it covers a whole pixel: the left side's middle and the top's middle.
        int boxHeight = c.size == ControlSize::Regular ? 12 : c.size == ControlSize::Small ? 10 : 8;
        int boxWidth = boxHeight + 1;
        EXPECT_GT(gfx::alphaOf(canvas.top(c.boxColumn, c.boxRow + boxHeight / 2)), 100);
        EXPECT_TRUE(
            pixelNear(canvas.top(c.boxColumn + boxWidth / 2, c.boxRow), pixelOf({ 0.749, 0.761, 0.788, 1 }), 3));
        EXPECT_EQ(canvas.top(c.boxColumn + boxWidth / 2, c.boxRow - 2), 0u);
    }

    // The box alone is centred: half a point further left at the regular size.
    CellCanvas alone(80, 24);
    D::drawCheck(*dark, frame, { 0, ControlSize::Regular, true, false, 0, 1, 0 }, false);
    EXPECT_TRUE(pixelNear(alone.top(40, 2), pixelOf({ 0.749, 0.761, 0.788, 1 }), 3));
    EXPECT_GT(gfx::alphaOf(alone.top(33, 8)), 100);
    EXPECT_EQ(alone.top(31, 8), 0u);
}

TEST(ZORThemeDrawing, CheckMarksShowTheState)
{
    auto gray = theme("ZORGrayTheme");
    const gfx::Rect frame { 0, 0, 80, 18 };
    const auto outline = pixelOf(grey(0.5));
    // Each canvas is made current as it is made, so each is drawn before the next is made.
    auto draw = [&](long state, bool radio) {
        D::drawCheck(*gray, frame, { 0, ControlSize::Regular, true, false, state, 2, 0 }, radio);
    };
    // Radio: a dot inset 4 in the outline colour; the box is 13 square at (2.5, 2.5).
    CellCanvas radioOn(80, 24);
    draw(1, true);
    CellCanvas radioOff(80, 24);
    draw(0, true);
    EXPECT_TRUE(pixelNear(radioOn.top(8, 8), outline, 1));
    EXPECT_TRUE(pixelNear(radioOff.top(8, 8), pixelOf(grey(0.678 + 0.143 * 6 / 13)), 2));

    // Check: a tick through the box's lower middle; mixed: a bar across its middle row.
    CellCanvas on(80, 24);
    draw(1, false);
    CellCanvas mixed(80, 24);
    draw(-1, false);
    CellCanvas off(80, 24);
    draw(0, false);
    EXPECT_TRUE(pixelNear(mixed.top(9, 8), outline, 1));
    EXPECT_TRUE(pixelNear(mixed.top(9, 10), off.top(9, 10), 1));
    EXPECT_TRUE(pixelNear(on.top(8, 9), outline, 40));
    EXPECT_FALSE(pixelNear(off.top(8, 9), outline, 40));
    // The tick's tip rises above the box.
    EXPECT_GT(gfx::alphaOf(on.top(13, 1)), 60);
    EXPECT_EQ(off.top(13, 1), 0u);
}

TEST(ZORThemeDrawing, PopUpArrowsAreCentredInTheirStripInTheTextColour)
{
    auto dark = theme("ZORFlatDarkTheme");
    struct Case {
        const char* name;
        ZORThemeStateMask mask;
        RGBA colour;
    };
    const Case cases[] = {
        { "normal", 0, grey(1) },
        { "inactive window", ZORThemeState::Inactive, grey(1.0 / 3) },
        { "disabled", ZORThemeState::Disabled, grey(1, 0.2) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Regular and bordered: a strip of 21 at the right end, centre (69.5, 11); the pair points apart.
        CellCanvas canvas(80, 22);
        D::drawPopUpArrows(*dark, { 0, 0, 80, 22 }, c.mask, 1, ControlSize::Regular, true, false);
        EXPECT_TRUE(pixelNear(canvas.top(69, 7), pixelOf(c.colour), 2));
        EXPECT_TRUE(pixelNear(canvas.top(69, 14), pixelOf(c.colour), 2));
        for (auto [x, y] : { std::pair { 69, 11 }, { 69, 3 }, { 69, 18 }, { 66, 7 }, { 73, 7 } })
            EXPECT_EQ(canvas.top(x, y), 0u) << x << ", " << y;
    }

    // A mini, unbordered pull-down: one arrow pointing down, its centre 2.5 points from the right edge.
    auto gray = theme("ZORGrayTheme");
    CellCanvas pullDown(40, 22);
    D::drawPopUpArrows(*gray, { 0, 0, 40, 22 }, 0, 0, ControlSize::Mini, false, true);
    EXPECT_TRUE(pixelNear(pullDown.top(37, 10), pixelOf({ 0, 0, 0, 1 }), 2));
    EXPECT_TRUE(pixelNear(pullDown.top(36, 10), pullDown.top(38, 10), 16));
    EXPECT_GT(gfx::alphaOf(pullDown.top(36, 10)), gfx::alphaOf(pullDown.top(36, 12)));
    EXPECT_EQ(pullDown.top(37, 8), 0u);
}

TEST(ZORThemeDrawing, SegmentStripsFillEachSegmentAndKeepTheirOutlineWhole)
{
    auto gray = theme("ZORGrayTheme");
    const gfx::Rect r { 0.5, 0.5, 89, 21 };
    // The third segment stops short of the outline: no separator after the last segment.
    const gfx::Rect segments[] = { { 0.5, 0.5, 30, 21 }, { 30.5, 0.5, 30, 21 }, { 60.5, 0.5, 19.5, 21 } };
    std::vector<gfx::Rect> interiors;
    CellCanvas canvas(90, 22);
    const D::SegmentStrip grayStrip { 6, true, 0, 1, segments };
    EXPECT_TRUE(D::drawSegmentedStrip(*gray, r, grayStrip, [&](long segment, gfx::Rect rect) {
        interiors.resize(segment + 1, rect);
        D::drawSegmentOfStrip(*gray, segment, rect, grayStrip);
    }));
    EXPECT_EQ(interiors, std::vector<gfx::Rect>(std::begin(segments), std::end(segments)));
    const auto outline = pixelOf(grey(0.5));
    // The outline's inner half is not covered by the fills.
    EXPECT_TRUE(pixelNear(canvas.top(0, 11), outline, 1));
    EXPECT_TRUE(pixelNear(canvas.top(45, 0), outline, 1));
    EXPECT_TRUE(pixelNear(canvas.top(89, 11), outline, 1));
    // The separators after the first and second segments.
    EXPECT_GT(gfx::alphaOf(canvas.top(30, 11)), 200);
    EXPECT_TRUE(pixelNear(canvas.top(15, 11), pixelOf(grey(0.678 + 0.143 * 10.5 / 21)), 2));
    EXPECT_TRUE(pixelNear(canvas.top(45, 11), canvas.top(15, 11), 1)) << "the grey theme shows no selection";
    EXPECT_EQ(canvas.top(80, 11), 0u);
    EXPECT_EQ(canvas.top(85, 11), 0u);

    // The dark theme lights the selected segment; a disabled strip shows the disabled gradient in every segment.
    auto dark = theme("ZORFlatDarkTheme");
    CellCanvas darkStrip(90, 22);
    D::drawSegmentedStrip(*dark, r, { 1, true, 1, 1, segments });
    double t = 10.5 / 21;
    EXPECT_TRUE(
        pixelNear(darkStrip.top(15, 11), pixelOf({ 0.251 - 0.133 * t, 0.251 - 0.133 * t, 0.255 - 0.137 * t, 0.6 }), 3));
    EXPECT_TRUE(
        pixelNear(darkStrip.top(45, 11), pixelOf({ 0.451 - 0.133 * t, 0.451 - 0.133 * t, 0.455 - 0.137 * t, 0.6 }), 3));
    CellCanvas disabled(90, 22);
    D::drawSegmentedStrip(*dark, r, { 1, false, 1, 1, segments });
    EXPECT_TRUE(
        pixelNear(disabled.top(45, 11), pixelOf({ 0.251 - 0.133 * t, 0.251 - 0.133 * t, 0.255 - 0.137 * t, 0.2 }), 3));

    // Without an outline colour nothing is drawn.
    CellCanvas empty(90, 22);
    OutlinelessTheme outlineless;
    bool called = false;
    EXPECT_FALSE(
        D::drawSegmentedStrip(outlineless, r, { 1, true, 0, 0, segments }, [&](long, gfx::Rect) { called = true; }));
    EXPECT_FALSE(called);
    EXPECT_EQ(empty.picture().find_first_not_of(".\n"), std::string::npos);
}

TEST(ZORThemeDrawing, HighlightedBackgroundsFillGradeOrGlowWithinTheFrame)
{
    // Fill: source-atop, so only what is drawn already takes the colour.
    auto gray = theme("ZORGrayTheme");
    CellCanvas fill(40, 20);
    gfx::Color::blueColor()->setFill();
    gfx::BezierPath::fillRect({ 0, 0, 20, 20 });
    D::drawHighlightedBackground(*gray, 0, ZORThemeState::On, { 0, 0, 40, 20 }, 0);
    EXPECT_TRUE(pixelNear(fill.top(10, 10), pixelOf({ 0.35, 0.35, 0.65, 1 }), 2));
    EXPECT_EQ(fill.top(30, 10), 0u);

    // Gradient: the theme's gradient at its angle, clipped to the frame.
    auto glass = theme("ZORGlassTheme");
    CellCanvas gradient(40, 30);
    D::drawHighlightedBackground(*glass, 2, 0, { 0, 0, 40, 20 }, 0);
    EXPECT_TRUE(pixelNear(gradient.top(20, 0), pixelOf(grey(0.882)), 2));
    EXPECT_TRUE(pixelNear(gradient.top(20, 12), pixelOf(grey(0.945 + 0.051 * 2.5 / 10)), 2));
    EXPECT_EQ(gradient.top(20, 25), 0u);

    // Glow: the image drawn under a halo of the fill colour, whitened on a dark background.
    auto dark = theme("ZORFlatDarkTheme");
    CellCanvas glow(40, 40);
    bool drawn = false;
    D::drawHighlightedBackground(*dark, 1, ZORThemeState::On, { 0, 0, 40, 30 }, 1, { 15, 10, 10, 10 }, [&] {
        drawn = true;
        gfx::Color::blackColor()->setFill();
        gfx::BezierPath::fillRect({ 15, 10, 10, 10 });
    });
    EXPECT_TRUE(drawn);
    EXPECT_TRUE(pixelNear(glow.top(20, 15), pixelOf({ 0, 0, 0, 1 }), 1));
    auto halo = drawing::straight(glow.top(20, 22));
    EXPECT_GT(halo[3], 0.05);
    EXPECT_GT(halo[0], 0.95) << "0.941 blended 0.9 of the way to white";
    EXPECT_EQ(glow.top(20, 35), 0u) << "clipped to the frame";

    // Any other mode draws nothing.
    CellCanvas none(20, 20);
    D::drawHighlightedBackground(*glass, 3, 0, { 0, 0, 20, 20 }, 0);
    EXPECT_EQ(none.picture().find_first_not_of(".\n"), std::string::npos);
}

TEST(ZORThemeDrawing, BorderSidesAreOnePointStripsOfTheSideGradient)
{
    auto gray = theme("ZORGrayTheme");
    CellCanvas canvas(40, 20);
    D::drawBorderSides(*gray, 0, { 0, 0, 40, 20 }, 1 | 2 | 4 | 8);
    // Left and right: rows 2 to 17, light at the top end, dark in the middle.
    for (int column : { 0, 39 }) {
        EXPECT_TRUE(pixelNear(canvas.top(column, 2), pixelOf(grey(0.99 - 0.53 * 0.5 / 8)), 2)) << column;
        EXPECT_TRUE(pixelNear(canvas.top(column, 17), pixelOf(grey(0.88 - 0.42 * 0.5 / 8)), 2)) << column;
        EXPECT_EQ(canvas.top(column, 1), 0u) << column;
        EXPECT_EQ(canvas.top(column, 18), 0u) << column;
    }
    // Top and bottom: columns 2 to 37; a one-point strip shows the gradient's middle.
    for (int row : { 0, 19 }) {
        EXPECT_TRUE(pixelNear(canvas.top(2, row), pixelOf(grey(0.46)), 2)) << row;
        EXPECT_TRUE(pixelNear(canvas.top(37, row), pixelOf(grey(0.46)), 2)) << row;
        EXPECT_EQ(canvas.top(1, row), 0u) << row;
        EXPECT_EQ(canvas.top(38, row), 0u) << row;
    }
    EXPECT_EQ(canvas.top(20, 10), 0u);

    // Only the chosen sides; nothing from a theme without a side gradient.
    CellCanvas left(40, 20);
    D::drawBorderSides(*gray, 0, { 0, 0, 40, 20 }, 1);
    D::drawBorderSides(*theme("ZORWhiteTheme"), 0, { 0, 0, 40, 20 }, 2 | 4 | 8);
    EXPECT_NE(left.top(0, 10), 0u);
    EXPECT_EQ(left.top(39, 10), 0u);
    EXPECT_EQ(left.top(20, 0), 0u);
}

TEST(ZORThemeDrawing, BorderedViewsDimWhenInactiveAndDrawTheirChosenBorders)
{
    auto gray = theme("ZORGrayTheme");
    D::BorderedViewLook look;
    look.borderSides = 1 | 2 | 4 | 8;
    struct Case {
        bool active;
        double bottom, top;
    };
    // The grey bar while active, the light grey bar while not, running upwards.
    const Case cases[] = { { true, 0.678, 0.821 }, { false, 0.821, 0.956 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.active);
        Canvas canvas(100, 40);
        D::drawBorderedView(*gray, { 0, 0, 100, 40 }, c.active, look);
        double step = (c.top - c.bottom) / 40;
        EXPECT_TRUE(pixelNear(canvas.at(50, 1), pixelOf(grey(c.bottom + step * 1.5)), 2));
        EXPECT_TRUE(pixelNear(canvas.at(50, 38), pixelOf(grey(c.bottom + step * 38.5)), 2));
        // Borders in the outline grey on the outermost pixels, all four sides.
        for (auto [x, y] : { std::pair { 50, 0 }, { 50, 39 }, { 0, 20 }, { 99, 20 } })
            EXPECT_TRUE(pixelNear(canvas.at(x, y), pixelOf(grey(0.5)), 1)) << x << ", " << y;
    }

    // Border style 3 draws no border; style 1 the dark stroke colour, 2 the grid colour.
    for (auto [style, colour] : { std::pair<std::uint64_t, double> { 3, -1 }, { 1, 1.0 / 3 }, { 2, 0.8 } }) {
        Canvas canvas(100, 40);
        look.borderStyle = style;
        D::drawBorderedView(*gray, { 0, 0, 100, 40 }, true, look);
        auto expected = colour < 0 ? pixelOf(grey(0.678 + 0.143 * 39.5 / 40)) : pixelOf(grey(colour));
        EXPECT_TRUE(pixelNear(canvas.at(50, 39), expected, 2)) << style;
    }
}

TEST(ZORThemeDrawing, BorderedViewsRoundTheirCornersAndFadeTheirOwnGradients)
{
    auto white = theme("ZORWhiteTheme");
    D::BorderedViewLook look;
    look.pathStyle = 2;
    look.borderSides = 4 | 8;
    Canvas rounded(100, 40);
    D::drawBorderedView(*white, { 0, 0, 100, 40 }, true, look);
    // White fill with the top corners cut round; each border bit strokes the rounded outline (top and both sides),
    // so there is no straight bottom line.
    EXPECT_EQ(rounded.at(0, 39), 0u);
    EXPECT_EQ(rounded.at(99, 39), 0u);
    EXPECT_TRUE(pixelNear(rounded.at(50, 0), pixelOf(grey(1)), 1));
    EXPECT_TRUE(pixelNear(rounded.at(50, 20), pixelOf(grey(1)), 1));
    EXPECT_TRUE(pixelNear(rounded.at(50, 39), pixelOf(grey(0.5)), 1));
    EXPECT_TRUE(pixelNear(rounded.at(0, 20), pixelOf(grey(0.5)), 1));
    EXPECT_TRUE(pixelNear(rounded.at(99, 20), pixelOf(grey(0.5)), 1));

    // A view's own gradient replaces the theme's and fades out towards the right.
    D::BorderedViewLook own;
    own.activeBackgroundGradient
        = gfx::Gradient::gradientWithStartingColor(*gfx::Color::redColor(), *gfx::Color::redColor());
    own.inactiveBackgroundGradient
        = gfx::Gradient::gradientWithStartingColor(*gfx::Color::blueColor(), *gfx::Color::blueColor());
    own.borderStyle = 3;
    Canvas active(100, 20);
    D::drawBorderedView(*white, { 0, 0, 100, 20 }, true, own);
    Canvas inactive(100, 20);
    D::drawBorderedView(*white, { 0, 0, 100, 20 }, false, own);
    EXPECT_TRUE(pixelNear(active.at(0, 10), pixelOf({ 1, 0, 0, 1 }), 3));
    EXPECT_TRUE(pixelNear(active.at(50, 10), pixelOf({ 1, 0, 0, 0.5 }), 3));
    EXPECT_LT(gfx::alphaOf(active.at(99, 10)), 4);
    EXPECT_TRUE(pixelNear(inactive.at(0, 10), pixelOf({ 0, 0, 1, 1 }), 3));
}

}
