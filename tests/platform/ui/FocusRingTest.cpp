// The focus ring's pixels, drawn straight into a bitmap the way a window's display pass draws them. The expected
// digests were taken from the ring as it was drawn before it was worked out only along its band (the whole mask
// rasterised and grown pixel by pixel), so they pin the pixels a person saw then. And what the ring costs, in the
// pixels it works out and rasterises, in a window.
#include "UiTestSupport.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/FocusRing.h"

#include "support/Canvas.h"

#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

using namespace ui;

namespace {

// A view whose focus shape is whatever the test draws.
class FocusRingTestView : public View {
public:
    static std::shared_ptr<FocusRingTestView> make(
        gfx::Rect frame, gfx::Rect maskBounds, std::function<void(gfx::Rect)> mask, bool flipped = false)
    {
        auto view = std::make_shared<FocusRingTestView>();
        view->initWithFrame(frame);
        view->m_maskBounds = maskBounds;
        view->m_mask = std::move(mask);
        view->m_flipped = flipped;
        return view;
    }
    bool isFlipped() const override { return m_flipped; }
    bool acceptsFirstResponder() const override { return true; }
    gfx::Rect focusRingMaskBounds() const override { return m_maskBounds; }
    void drawFocusRingMask() override { m_mask(m_maskBounds); }

private:
    gfx::Rect m_maskBounds;
    std::function<void(gfx::Rect)> m_mask;
    bool m_flipped { false };
};

// What a ring drew on a transparent canvas: an FNV-1a digest of every pixel, the pixels it touched, and the
// largest alpha (the accent at 60 %: 153).
struct RingPixels {
    std::uint64_t digest { 0xcbf29ce484222325ull };
    int touched { 0 };
    int strongest { 0 };
    bool operator==(const RingPixels&) const = default;
};

std::ostream& operator<<(std::ostream& out, const RingPixels& p)
{
    return out << "{ 0x" << std::hex << p.digest << std::dec << "ull, " << p.touched << ", " << p.strongest << " }";
}

struct RingCase {
    const char* name;
    double scale;
    gfx::Size canvas; // points
    gfx::Rect frame; // the view's frame in the canvas (its superview)
    double degrees; // the view turned about its frame's origin
    bool flipped;
    gfx::Rect maskBounds; // view coordinates
    std::function<void(gfx::Rect)> mask;
    std::vector<gfx::Rect> rects; // the area drawn, canvas points; empty: all of it
    gfx::Rect clip; // the superview's clip, canvas points; empty: all of it
};

RingPixels drawRing(const RingCase& c)
{
    const int width = int(c.canvas.width * c.scale), height = int(c.canvas.height * c.scale);
    Canvas canvas(width, height, false, c.canvas);
    auto view = FocusRingTestView::make(c.frame, c.maskBounds, c.mask, c.flipped);
    if (c.degrees != 0)
        view->setFrameRotation(c.degrees);
    const gfx::Rect all { { 0, 0 }, c.canvas };
    const auto rects = c.rects.empty() ? std::vector<gfx::Rect> { all } : c.rects;
    detail::drawFocusRing(*view, canvas.context(), canvas.context().CTM(), view->transformToSuperview(), rects,
        c.clip.isEmpty() ? all : c.clip);
    RingPixels result;
    auto pixels = *canvas.context().pixelBuffer();
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            const std::uint32_t p = pixels.pixel(x, y);
            for (int shift = 0; shift < 32; shift += 8) {
                result.digest ^= (p >> shift) & 0xFF;
                result.digest *= 0x100000001b3ull;
            }
            if (p != 0)
                ++result.touched;
            result.strongest = std::max(result.strongest, int(gfx::alphaOf(p)));
        }
    }
    return result;
}

void fillRoundedRect(gfx::Rect r, double radius)
{
    gfx::GraphicsContext::current()->fillPath(*gfx::BezierPath::bezierPathWithRoundedRect(r, radius, radius));
}

std::vector<RingCase> ringCases()
{
    auto rect = [](gfx::Rect r) { gfx::BezierPath::fillRect(r); };
    auto rounded = [](gfx::Rect r) { fillRoundedRect(r, 6); };
    auto oval = [](gfx::Rect r) { gfx::BezierPath::bezierPathWithOvalInRect(r)->fill(); };
    // A frame with a hole (even-odd): the ring runs inside the hole too.
    auto frameWithHole = [](gfx::Rect r) {
        gfx::BezierPath path;
        path.appendBezierPathWithRect(r);
        path.appendBezierPathWithRect(gfx::insetRect(r, 12, 9));
        path.setWindingRule(gfx::WindingRule::EvenOdd);
        path.fill();
    };
    // Two fills that overlap, one of them a translucent colour.
    auto twoShapes = [](gfx::Rect r) {
        auto* context = gfx::GraphicsContext::current();
        context->fillRect({ r.minX(), r.minY(), r.width() * 0.6, r.height() });
        context->setFillColor(*gfx::Color::colorWithDeviceRed(0, 0, 0, 0.5));
        fillRoundedRect({ r.minX() + r.width() * 0.4, r.minY() + 4, r.width() * 0.6, r.height() - 8 }, 5);
    };
    // A shape that is not filled: an outline stroked three points wide.
    auto stroked = [](gfx::Rect r) {
        auto path = gfx::BezierPath::bezierPathWithOvalInRect(gfx::insetRect(r, 2, 2));
        path->setLineWidth(3);
        path->stroke();
    };
    return {
        { "rect", 1, { 120, 80 }, { 20, 20, 70, 40 }, 0, false, { 0, 0, 70, 40 }, rect, {}, {} },
        { "rect at 2x", 2, { 120, 80 }, { 20, 20, 70, 40 }, 0, false, { 0, 0, 70, 40 }, rect, {}, {} },
        { "rounded, fractional", 1, { 120, 80 }, { 12.5, 8.25, 80, 50 }, 0, false, { 1, 1.5, 61.3, 30.6 }, rounded, {},
            {} },
        { "rounded, flipped, 2x", 2, { 120, 80 }, { 20, 15, 70, 40 }, 0, true, { 3, 2, 60, 24 }, rounded, {}, {} },
        { "oval at 2x", 2, { 100, 100 }, { 30, 30, 40, 40 }, 0, false, { 0, 0, 40, 40 }, oval, {}, {} },
        { "frame with a hole", 1, { 120, 80 }, { 20, 15, 80, 50 }, 0, false, { 0, 0, 80, 50 }, frameWithHole, {}, {} },
        { "two shapes, one translucent", 1, { 120, 80 }, { 15, 15, 90, 50 }, 0, false, { 0, 0, 90, 50 }, twoShapes, {},
            {} },
        { "turned 30 degrees, 2x", 2, { 120, 100 }, { 50, 15, 50, 30 }, 30, false, { 0, 0, 50, 30 }, rounded, {}, {} },
        { "stroked", 1, { 100, 80 }, { 20, 15, 60, 50 }, 0, false, { 0, 0, 60, 50 }, stroked, {}, {} },
        // Parts of the canvas only: a strip across the left edge, a square inside the shape, a corner; all within a
        // clip that cuts the ring's right side at a fraction of a pixel.
        { "rect in parts", 1, { 120, 80 }, { 20, 20, 70, 40 }, 0, false, { 0, 0, 70, 40 }, rect,
            { { 10, 30, 20.5, 8 }, { 40, 30, 10, 10 }, { 80, 52, 20, 20 } }, { 0, 0, 92.5, 80 } },
        { "rounded in parts at 2x", 2, { 120, 80 }, { 20, 20, 70, 40 }, 0, false, { 0, 0, 70, 40 }, rounded,
            { { 15.25, 15.75, 30, 6 }, { 60, 50, 40, 20 } }, { 18, 0, 102, 80 } },
    };
}

}

TEST(FocusRing, KeepsThePixelsItHadWhenTheWholeMaskWasGrownPixelByPixel)
{
    // Taken from the ring drawn by growing the whole mask, in the order of ringCases().
    const std::vector<RingPixels> expected = {
        { 0x4ef9dc9f830304f5ull, 684, 153 }, // rect
        { 0xbf0c90747c973adull, 2752, 153 }, // rect at 2x
        { 0x4913860a6f7bb827ull, 745, 153 }, // rounded, fractional
        { 0x86c7651f0effd1fdull, 2140, 153 }, // rounded, flipped, 2x
        { 0x2ba328b4106af990ull, 2006, 153 }, // oval at 2x
        { 0x67b08009513fdb85ull, 1296, 153 }, // frame with a hole
        { 0xec917ec81683acb3ull, 2356, 153 }, // two shapes, one translucent
        { 0xac946352de5f0f59ull, 2377, 153 }, // turned 30 degrees, 2x
        { 0xccceaae1c5cf4475ull, 1349, 153 }, // stroked
        { 0xd6cd66ea4505b4cull, 84, 153 }, // rect in parts
        { 0x854389e74f7c8d3eull, 857, 153 }, // rounded in parts at 2x
    };
    const auto cases = ringCases();
    std::ostringstream actual;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto pixels = drawRing(cases[i]);
        actual << "        " << pixels << ", // " << cases[i].name << "\n";
        if (i < expected.size()) {
            EXPECT_EQ(pixels, expected[i]) << cases[i].name;
        }
    }
    EXPECT_EQ(expected.size(), cases.size()) << actual.str();
}

namespace {

// A key window with a focused view of the given size filling it but for a margin of 20 points.
class FocusRingCostTest : public uitest::UiTest {
protected:
    void show(gfx::Size size)
    {
        window = Window::create({ { 100, 100 }, { size.width + 40, size.height + 40 } });
        view = FocusRingTestView::make({ { 20, 20 }, size }, { { 0, 0 }, size }, [](gfx::Rect r) {
            gfx::GraphicsContext::current()->fillPath(*gfx::BezierPath::bezierPathWithRoundedRect(r, 4, 4));
        });
        window->contentView()->addSubview(view);
        window->makeKeyAndOrderFront();
        window->makeFirstResponder(view);
    }
    struct Cost {
        std::uint64_t workedOut, rasterised;
    };
    // What a display pass cost the ring.
    template <typename Draw> Cost costOf(Draw&& draw)
    {
        const auto workedOut = detail::focusRingPixelsWorkedOut();
        const auto rasterised = detail::focusRingMaskPixelsRasterised();
        draw();
        return { detail::focusRingPixelsWorkedOut() - workedOut, detail::focusRingMaskPixelsRasterised() - rasterised };
    }

    std::shared_ptr<Window> window;
    std::shared_ptr<FocusRingTestView> view;
};

}

// The ring is worked out along its band, once while its shape stays where it is: a view of a hundred times the
// area works out about ten times the pixels (its outline's length), and a redraw inside the view or of the whole
// window works out and rasterises nothing more, until the view moves by a fraction of a point. The window keeps the
// ring while the view has the keyboard.
TEST_F(FocusRingCostTest, ItsCostFollowsItsOutlineAndDrawingItAgainCostsNothing)
{
    show({ 100, 60 });
    const auto small = costOf([&] { window->display(); });
    show({ 1000, 600 });
    const auto large = costOf([&] { window->display(); });
    EXPECT_GT(small.workedOut, 0u);
    EXPECT_LT(large.workedOut, small.workedOut * 20) << small.workedOut << " then " << large.workedOut;
    // The mask, once: the view grown by the ring's three points and a pixel.
    EXPECT_EQ(large.rasterised, 1008u * 608u);

    view->setNeedsDisplayInRect({ 400, 250, 80, 40 });
    const auto inside = costOf([&] { window->displayIfNeeded(); });
    EXPECT_EQ(inside.workedOut, 0u);
    EXPECT_EQ(inside.rasterised, 0u);
    const auto again = costOf([&] { window->display(); });
    EXPECT_EQ(again.workedOut, 0u);
    EXPECT_EQ(again.rasterised, 0u);
    // Moved by whole points the ring is the same; by a fraction, another.
    view->setFrameOrigin({ 22, 21 });
    EXPECT_EQ(costOf([&] { window->display(); }).rasterised, 0u);
    view->setFrameOrigin({ 22.5, 21 });
    EXPECT_GT(costOf([&] { window->display(); }).rasterised, 0u);
    // What the window kept goes when the view gives up the keyboard.
    EXPECT_TRUE(window->keptFocusRing());
    window->makeFirstResponder(nullptr);
    EXPECT_FALSE(window->keptFocusRing());
}
