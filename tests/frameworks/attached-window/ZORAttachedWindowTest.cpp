#include "platform/ui/UiTestSupport.h"

#include "frameworks/attached-window/ZORAttachedWindow.h"

#include "platform/graphics/PixelBuffer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

using Side = ZORAttachedWindow::Side;

class ZORAttachedWindowTest : public uitest::UiTest {
protected:
    ZORAttachedWindowTest()
    {
        // One 1000 x 800 screen with a 22-point bar at the top.
        backend->setScreens({ { { 0, 0, 1000, 800 }, { 0, 0, 1000, 778 }, 1 } });
    }

    std::shared_ptr<ZORAttachedWindow> attach(gfx::Point point, int side, float distance = 0,
        const std::shared_ptr<ui::Window>& parent = nullptr, gfx::Size size = { 100, 50 })
    {
        auto view = ui::View::create({ { 0, 0 }, size });
        auto window = ZORAttachedWindow::create(view, point, parent, side, distance);
        window->orderFront();
        return window;
    }

    // The arrow's tip on the screen: the path's point farthest out on the arrow's edge.
    static gfx::Point tipOnScreen(const ZORAttachedWindow& window)
    {
        auto points = window._backgroundPath().allPoints();
        auto frame = window.frame();
        auto side = window.side();
        auto score = [&](gfx::Point p) {
            switch (side) {
            case Side::Left:
            case Side::LeftExtendingUp:
            case Side::LeftExtendingDown:
                return p.x;
            case Side::Right:
            case Side::RightExtendingUp:
            case Side::RightExtendingDown:
                return -p.x;
            case Side::Above:
            case Side::AboveExtendingLeft:
            case Side::AboveExtendingRight:
                return -p.y;
            default:
                return p.y;
            }
        };
        auto best = *std::max_element(
            points.begin(), points.end(), [&](gfx::Point a, gfx::Point b) { return score(a) < score(b); });
        return { frame.minX() + best.x, frame.minY() + best.y };
    }

    // The pixel at a window point (y up), as ARGB.
    static std::uint32_t pixel(const gfx::BitmapImageRep& image, double x, double y)
    {
        auto pixels = image.pixelBuffer();
        double scale = image.size().width > 0 ? pixels.width / image.size().width : 1;
        int px = std::clamp(static_cast<int>(std::floor(x * scale)), 0, pixels.width - 1);
        int py = std::clamp(static_cast<int>(std::floor(y * scale)), 0, pixels.height - 1);
        return pixels.pixel(px, pixels.height - 1 - py);
    }
    static std::uint8_t alphaAt(const gfx::BitmapImageRep& image, double x, double y)
    {
        return gfx::alphaOf(pixel(image, x, y));
    }
};

TEST_F(ZORAttachedWindowTest, NoViewGivesNoWindow)
{
    EXPECT_EQ(ZORAttachedWindow::create(nullptr, { 10, 10 }, nullptr, Side::Below, 0), nullptr);
}

// The defaults around a 100 x 50 view below the point: 104 x 70 with the arrow's 16 points on top, the top centre
// the distance below the point; the same at twice the pixels (lengths are points, scaled once by the backend).
TEST_F(ZORAttachedWindowTest, TheDefaultBubbleSitsBelowThePoint)
{
    auto window = attach({ 500, 400 }, Side::Below, 5);
    EXPECT_EQ(window->frame(), (gfx::Rect { 448, 325, 104, 70 }));
    EXPECT_EQ(window->viewFrame(), (gfx::Rect { 2, 2, 100, 50 }));
    EXPECT_EQ(window->view()->frame(), window->viewFrame());
    EXPECT_EQ(window->borderWidth(), 2);
    EXPECT_EQ(window->viewMargin(), 2);
    EXPECT_EQ(window->arrowBaseWidth(), 20) << "the defaults are not clamped against an empty view frame";
    EXPECT_EQ(window->arrowHeight(), 16);
    EXPECT_EQ(window->cornerRadius(), 8);
    EXPECT_EQ(window->hasArrow(), 1.0f);
    EXPECT_FALSE(window->isOpaque());
    EXPECT_TRUE(window->hasShadow());
    EXPECT_EQ(window->styleMask(), ui::WindowStyleMask::Borderless);
    EXPECT_FALSE(window->canBecomeMainWindow());
    EXPECT_TRUE(window->canBecomeKeyWindow());

    backend->setScreens({ { { 0, 0, 1000, 800 }, { 0, 0, 1000, 778 }, 2 } });
    auto sharp = attach({ 500, 400 }, Side::Below, 5);
    EXPECT_EQ(sharp->frame(), window->frame());
}

// Each of the twelve sides: the window lies where the side says, the arrow's tip is the distance from the point
// along the arrow's direction, and the bulk extends the way the side names.
TEST_F(ZORAttachedWindowTest, EverySidePlacesWindowAndArrow)
{
    const gfx::Point P { 500, 400 };
    const double d = 6;
    struct Case {
        int side;
        gfx::Point tip;
        gfx::Size size;
        int bulkX; // -1 left of the point, 0 centred, 1 right
        int bulkY; // -1 below, 0 centred, 1 above
    };
    const std::vector<Case> cases {
        { Side::Left, { P.x - d, P.y }, { 120, 54 }, -1, 0 },
        { Side::Below, { P.x, P.y - d }, { 104, 70 }, 0, -1 },
        { Side::Right, { P.x + d, P.y }, { 120, 54 }, 1, 0 },
        { Side::Above, { P.x, P.y + d }, { 104, 70 }, 0, 1 },
        { Side::LeftExtendingUp, { P.x - d, P.y }, { 120, 54 }, -1, 1 },
        { Side::LeftExtendingDown, { P.x - d, P.y }, { 120, 54 }, -1, -1 },
        { Side::RightExtendingUp, { P.x + d, P.y }, { 120, 54 }, 1, 1 },
        { Side::RightExtendingDown, { P.x + d, P.y }, { 120, 54 }, 1, -1 },
        { Side::AboveExtendingLeft, { P.x, P.y + d }, { 104, 70 }, -1, 1 },
        { Side::AboveExtendingRight, { P.x, P.y + d }, { 104, 70 }, 1, 1 },
        { Side::BelowExtendingLeft, { P.x, P.y - d }, { 104, 70 }, -1, -1 },
        { Side::BelowExtendingRight, { P.x, P.y - d }, { 104, 70 }, 1, -1 },
    };
    for (const auto& c : cases) {
        auto window = attach(P, c.side, float(d));
        auto f = window->frame();
        EXPECT_EQ(window->side(), c.side);
        EXPECT_EQ(f.size, c.size) << "side " << c.side;
        auto tip = tipOnScreen(*window);
        EXPECT_NEAR(tip.x, c.tip.x, 1e-9) << "side " << c.side;
        EXPECT_NEAR(tip.y, c.tip.y, 1e-9) << "side " << c.side;
        auto sign = [](double v) { return v > 1e-9 ? 1 : v < -1e-9 ? -1 : 0; };
        EXPECT_EQ(sign(f.midX() - P.x), c.bulkX) << "side " << c.side;
        EXPECT_EQ(sign(f.midY() - P.y), c.bulkY) << "side " << c.side;
        auto bounds = window->_backgroundPath().bounds();
        EXPECT_TRUE(gfx::containsRect(gfx::insetRect({ { 0, 0 }, f.size }, -1e-9, -1e-9), bounds)) << "side " << c.side;

        // Drawn: inside the arrow is bubble, the window's corners are clear.
        auto image = backend->imageOfWindow(*window);
        gfx::Point tipInWindow { tip.x - f.minX(), tip.y - f.minY() };
        // Six points in from the tip, across the arrow's edge.
        gfx::Point inward { c.tip.x < P.x ? 1.0
                : c.tip.x > P.x           ? -1.0
                                          : 0.0,
            c.tip.y < P.y       ? 1.0
                : c.tip.y > P.y ? -1.0
                                : 0.0 };
        gfx::Point nearTip { tipInWindow.x - inward.x * 6, tipInWindow.y - inward.y * 6 };
        EXPECT_EQ(alphaAt(*image, nearTip.x, nearTip.y), 255) << "side " << c.side;
        EXPECT_EQ(alphaAt(*image, f.width() / 2, f.height() / 2), 255) << "side " << c.side;
        for (gfx::Point corner : { gfx::Point { 0.5, 0.5 }, gfx::Point { f.width() - 0.5, 0.5 },
                 gfx::Point { 0.5, f.height() - 0.5 }, gfx::Point { f.width() - 0.5, f.height() - 0.5 } })
            EXPECT_EQ(alphaAt(*image, corner.x, corner.y), 0) << "side " << c.side << " corner " << corner.x;
        uitest::keepSnapshot(image, ("attached-window-side" + std::to_string(c.side)).c_str());
        window->close();
    }
}

// Automatic placement near the edges of the screen: below when there is room, else right, left, above; near a
// side of the screen (or of the parent window) the bubble extends away from it.
TEST_F(ZORAttachedWindowTest, AutomaticPlacementAvoidsTheScreenEdges)
{
    struct Case {
        gfx::Point point;
        gfx::Size view;
        int side;
    };
    const std::vector<Case> cases {
        { { 500, 400 }, { 100, 50 }, Side::Below },
        { { 500, 60 }, { 100, 50 }, Side::Right },
        { { 500, 10 }, { 100, 50 }, Side::RightExtendingUp },
        { { 990, 60 }, { 100, 50 }, Side::Left },
        { { 990, 10 }, { 100, 50 }, Side::LeftExtendingUp },
        { { 10, 700 }, { 100, 50 }, Side::BelowExtendingRight },
        { { 990, 700 }, { 100, 50 }, Side::BelowExtendingLeft },
        { { 500, 20 }, { 990, 50 }, Side::Above },
        { { 10, 20 }, { 990, 50 }, Side::AboveExtendingRight },
        { { 990, 20 }, { 990, 50 }, Side::AboveExtendingLeft },
    };
    for (const auto& c : cases) {
        auto window = attach(c.point, Side::Automatic, 0, nullptr, c.view);
        EXPECT_EQ(window->side(), c.side) << "at " << c.point.x << ", " << c.point.y;
        window->close();
    }

    // With a parent, its frame decides the extension, and the point is in its base coordinates.
    auto parent = ui::Window::create({ 300, 300, 400, 300 });
    parent->orderFront();
    auto nearLeft = attach({ 5, 150 }, Side::Automatic, 0, parent);
    EXPECT_EQ(nearLeft->side(), Side::BelowExtendingRight);
    EXPECT_NEAR(tipOnScreen(*nearLeft).x, parent->frame().minX() + 5, 1e-9);
    auto nearRight = attach({ 395, 150 }, Side::Automatic, 0, parent);
    EXPECT_EQ(nearRight->side(), Side::BelowExtendingLeft);
    auto middle = attach({ 200, 150 }, Side::Automatic, 0, parent);
    EXPECT_EQ(middle->side(), Side::Below);
}

// The setters keep the limits: border within the margin, margin not negative, radius and arrow width within what
// the view's shorter side leaves.
TEST_F(ZORAttachedWindowTest, SettersKeepTheirLimits)
{
    auto window = attach({ 500, 400 }, Side::Below);
    window->setBorderWidth(5);
    EXPECT_EQ(window->borderWidth(), 2);
    window->setArrowBaseWidth(60);
    EXPECT_EQ(window->arrowBaseWidth(), 38) << "2 x 2 + 50 - 8 - 8";
    window->setDrawsRoundCornerBesideArrow(0);
    window->setArrowBaseWidth(60);
    EXPECT_EQ(window->arrowBaseWidth(), 46);
    window->setCornerRadius(100);
    EXPECT_EQ(window->cornerRadius(), 4) << "(4 + 50 - 46) / 2";
    window->setViewMargin(-1);
    EXPECT_EQ(window->viewMargin(), 0);
    EXPECT_EQ(window->frame().size, (gfx::Size { 100, 66 }));
    window->setArrowHeight(10);
    EXPECT_EQ(window->frame().size, (gfx::Size { 100, 60 }));
}

// Lengths that grow the window are bounded where they come in, so no value makes a draw need more pixels than a
// bubble 1,000 points of arrow and margin larger than its view: an arrow five million points high once asked two
// gigabytes of one draw, and one of a hundred million threw out of it. A length or flag that is not a number is
// passed over; infinities are bounded like any other length.
TEST_F(ZORAttachedWindowTest, HugeAndNonFiniteLengthsKeepTheWindowBounded)
{
    constexpr float Infinity = std::numeric_limits<float>::infinity();
    constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
    using Setter = void (ZORAttachedWindow::*)(float);
    using Getter = float (ZORAttachedWindow::*)() const;
    struct Case {
        const char* name;
        Setter set;
        Getter get;
        float value;
        float stored;
        gfx::Size size; // with a 100 x 50 view below the point
    };
    const std::vector<Case> cases {
        { "arrow height", &ZORAttachedWindow::setArrowHeight, &ZORAttachedWindow::arrowHeight, 5e6f, 1000,
            { 104, 1054 } },
        { "arrow height", &ZORAttachedWindow::setArrowHeight, &ZORAttachedWindow::arrowHeight, 1e8f, 1000,
            { 104, 1054 } },
        { "arrow height", &ZORAttachedWindow::setArrowHeight, &ZORAttachedWindow::arrowHeight, Infinity, 1000,
            { 104, 1054 } },
        { "arrow height", &ZORAttachedWindow::setArrowHeight, &ZORAttachedWindow::arrowHeight, -Infinity, 0,
            { 104, 54 } },
        { "arrow height", &ZORAttachedWindow::setArrowHeight, &ZORAttachedWindow::arrowHeight, NaN, 16, { 104, 70 } },
        { "margin", &ZORAttachedWindow::setViewMargin, &ZORAttachedWindow::viewMargin, 3e38f, 1000, { 2100, 2066 } },
        { "margin", &ZORAttachedWindow::setViewMargin, &ZORAttachedWindow::viewMargin, Infinity, 1000, { 2100, 2066 } },
        { "margin", &ZORAttachedWindow::setViewMargin, &ZORAttachedWindow::viewMargin, NaN, 2, { 104, 70 } },
        { "border", &ZORAttachedWindow::setBorderWidth, &ZORAttachedWindow::borderWidth, Infinity, 2, { 104, 70 } },
        { "border", &ZORAttachedWindow::setBorderWidth, &ZORAttachedWindow::borderWidth, -Infinity, 0, { 104, 70 } },
        { "border", &ZORAttachedWindow::setBorderWidth, &ZORAttachedWindow::borderWidth, NaN, 2, { 104, 70 } },
        // 2 x 2 + 50 - 8 - 8
        { "arrow width", &ZORAttachedWindow::setArrowBaseWidth, &ZORAttachedWindow::arrowBaseWidth, Infinity, 38,
            { 104, 70 } },
        { "arrow width", &ZORAttachedWindow::setArrowBaseWidth, &ZORAttachedWindow::arrowBaseWidth, -1e30f, 0,
            { 104, 70 } },
        { "arrow width", &ZORAttachedWindow::setArrowBaseWidth, &ZORAttachedWindow::arrowBaseWidth, NaN, 20,
            { 104, 70 } },
        // (2 x 2 + 50 - 20) / 2
        { "radius", &ZORAttachedWindow::setCornerRadius, &ZORAttachedWindow::cornerRadius, Infinity, 17, { 104, 70 } },
        { "radius", &ZORAttachedWindow::setCornerRadius, &ZORAttachedWindow::cornerRadius, NaN, 8, { 104, 70 } },
        { "arrow flag", &ZORAttachedWindow::setHasArrow, &ZORAttachedWindow::hasArrow, NaN, 1, { 104, 70 } },
        { "arrow flag", &ZORAttachedWindow::setHasArrow, &ZORAttachedWindow::hasArrow, 0.5f, 0, { 104, 70 } },
        { "arrow flag", &ZORAttachedWindow::setHasArrow, &ZORAttachedWindow::hasArrow, 3e38f, 1, { 104, 70 } },
        { "corner flag", &ZORAttachedWindow::setDrawsRoundCornerBesideArrow,
            &ZORAttachedWindow::drawsRoundCornerBesideArrow, NaN, 1, { 104, 70 } },
    };
    for (const auto& c : cases) {
        auto window = attach({ 500, 400 }, Side::Below, 5);
        ((*window).*c.set)(c.value);
        const auto what = std::string(c.name) + " set to " + std::to_string(c.value);
        EXPECT_EQ(((*window).*c.get)(), c.stored) << what;
        EXPECT_EQ(window->frame().size, c.size) << what;
        window->display();
        auto image = backend->imageOfWindow(*window);
        ASSERT_NE(image, nullptr) << what;
        EXPECT_EQ(image->size(), c.size) << what;
        EXPECT_EQ(alphaAt(*image, c.size.width / 2, window->viewFrame().midY()), 255) << what << ": the bubble";
        // The tip still touches the point's distance below it, wherever the arrow and margin ended up.
        if (window->hasArrow() != 0) {
            EXPECT_NEAR(tipOnScreen(*window).y, 395, 1e-3) << what;
        }
        window->close();
    }

    // The distance at creation: bounded, and 0 when it is not a number.
    for (auto [distance, kept] : { std::pair { 1e9f, 1000.0f }, { -Infinity, -1000.0f }, { NaN, 0.0f } }) {
        auto window = attach({ 500, 400 }, Side::Below, distance);
        EXPECT_EQ(window->distance(), kept) << distance;
        EXPECT_EQ(window->frame(), (gfx::Rect { 448, 400 - 70 - kept, 104, 70 })) << distance;
        window->close();
    }
}

// A negative radius gives square corners; without the arrow the room stays; with the corner beside an arrow not
// rounded, side 11's arrow starts right at the top-left corner.
TEST_F(ZORAttachedWindowTest, CornersAndArrowFollowTheirFlags)
{
    auto window = attach({ 500, 400 }, Side::BelowExtendingRight);
    auto rounded = backend->imageOfWindow(*window);
    auto C = gfx::insetRect(window->viewFrame(), -2, -2);
    EXPECT_EQ(alphaAt(*rounded, C.maxX() - 0.5, C.minY() + 0.5), 0) << "rounded bottom-right corner";

    window->setCornerRadius(-3);
    EXPECT_EQ(window->cornerRadius(), 0);
    auto square = backend->imageOfWindow(*window);
    EXPECT_EQ(alphaAt(*square, C.maxX() - 0.5, C.minY() + 0.5), 255) << "square corner";

    window->setCornerRadius(8);
    window->setDrawsRoundCornerBesideArrow(0);
    auto path = window->_backgroundPath();
    ASSERT_GE(path.elementCount(), 3);
    EXPECT_EQ(path.allPoints()[0], (gfx::Point { C.minX(), C.maxY() })) << "the top-left corner is square";
    EXPECT_EQ(path.allPoints()[1], (gfx::Point { C.minX() + 10, C.maxY() + 16 })) << "the arrow starts at once";

    auto size = window->frame().size;
    window->setHasArrow(0);
    EXPECT_EQ(window->frame().size, size) << "the arrow's room stays";
    auto points = window->_backgroundPath().allPoints();
    EXPECT_TRUE(std::none_of(points.begin(), points.end(), [&](gfx::Point p) { return p.y > C.maxY() + 1e-9; }));
    auto plain = backend->imageOfWindow(*window);
    EXPECT_EQ(alphaAt(*plain, C.minX() + 10, C.maxY() + 4), 0) << "no arrow drawn";
}

// A resize lays the window out again around the view; the fill follows the background colour.
TEST_F(ZORAttachedWindowTest, AResizeLaysTheWindowOutAgain)
{
    auto window = attach({ 500, 400 }, Side::Below);
    window->view()->setFrameSize({ 120, 60 });
    window->setFrame({ 0, 0, 300, 300 }, false);
    EXPECT_EQ(window->frame(), (gfx::Rect { 438, 320, 124, 80 }));
    window->setBackgroundColor(gfx::Color::redColor());
    auto image = backend->imageOfWindow(*window);
    auto middle = pixel(*image, 62, 40);
    EXPECT_GT(gfx::redOf(middle), 200);
    EXPECT_LT(gfx::greenOf(middle), 50);
    auto edge = pixel(*image, 62, 1);
    EXPECT_LT(gfx::redOf(edge), 120) << "the dark grey border";
}

// Closing and menu validation go to the parent window.
TEST_F(ZORAttachedWindowTest, CloseGoesToTheParent)
{
    auto parent
        = ui::Window::create({ 300, 300, 400, 300 }, ui::WindowStyleMask::Titled | ui::WindowStyleMask::Closable);
    parent->orderFront();
    auto window = attach({ 200, 150 }, Side::Below, 0, parent);
    window->performClose();
    EXPECT_TRUE(parent->isClosed());

    // Without a parent it is the window's own: a window without a close button beeps.
    auto loose = attach({ 200, 150 }, Side::Below);
    loose->performClose();
    EXPECT_FALSE(loose->isClosed());
    EXPECT_EQ(backend->beepCount(), 1);
}

}
