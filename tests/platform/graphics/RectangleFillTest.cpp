// A bitmap context fills paths of rectangles itself when it can; its pixels must be exactly Cairo's. The reference
// is Cairo drawing the same rectangles one even-odd path at a time, which the context always leaves to Cairo (and
// whose union is the same, the colour being opaque).
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/detail/RectangleFillCount.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace gfx;

namespace {

struct RectangleClip {
    Rect rect;
    bool antialias;
};

struct RectangleScene {
    int width { 64 };
    int height { 48 };
    Size points;
    bool flipped { false };
    Point origin;
    bool antialias { false };
    std::vector<RectangleClip> clips;
    std::vector<Rect> rects;
    std::array<double, 4> rgba { 0, 0, 0, 1 };
};

std::vector<std::uint32_t> pixelsOf(GraphicsContext& context)
{
    auto pixels = *context.pixelBuffer();
    std::vector<std::uint32_t> out;
    for (int y = 0; y < pixels.height; ++y)
        out.insert(out.end(), pixels.row(y), pixels.row(y) + pixels.width);
    return out;
}

enum class RectangleFillWay { OnePath, PathEach, FillRectEach };

// The scene's pixels, its rectangles filled as one path, one path each (Cairo's fill, even-odd), or each through
// fillRect; `direct` tells whether the context filled any itself.
std::vector<std::uint32_t> drawScene(const RectangleScene& scene, RectangleFillWay way, bool* direct = nullptr)
{
    auto context = GraphicsContext::createForBitmap(scene.width, scene.height, scene.points, scene.flipped);
    // Something beneath, so that a pixel written where it should not be shows.
    context->setFillColor(*Color::colorWithCalibratedRed(0.5, 0.25, 0.75, 0.5));
    context->fillRect({ 0, 0, 1e4, 1e4 });
    context->translateCTM(scene.origin.x, scene.origin.y);
    for (const auto& clip : scene.clips) {
        context->setShouldAntialias(clip.antialias);
        context->clipToRect(clip.rect);
    }
    context->setShouldAntialias(scene.antialias);
    context->setFillColor(*Color::colorWithCalibratedRed(scene.rgba[0], scene.rgba[1], scene.rgba[2], scene.rgba[3]));
    const auto before = detail::directRectangleFillCount();
    if (way == RectangleFillWay::OnePath) {
        BezierPath path;
        for (const auto& r : scene.rects)
            path.appendBezierPathWithRect(r);
        context->fillPath(path);
    } else if (way == RectangleFillWay::FillRectEach) {
        for (const auto& r : scene.rects)
            context->fillRect(r);
    } else {
        for (const auto& r : scene.rects) {
            BezierPath path;
            path.setWindingRule(WindingRule::EvenOdd);
            path.appendBezierPathWithRect(r);
            context->fillPath(path);
        }
    }
    if (direct)
        *direct = detail::directRectangleFillCount() > before;
    return pixelsOf(*context);
}

// Rectangles whose corners lie on a grid of `step` user units (0 for any double), some of them partly or wholly
// outside the bitmap.
std::vector<Rect> randomRects(std::mt19937& random, const RectangleScene& scene, int count, double step)
{
    const double w = scene.points.width > 0 ? scene.points.width : scene.width;
    const double h = scene.points.height > 0 ? scene.points.height : scene.height;
    std::uniform_real_distribution<double> x(-0.1 * w, 1.1 * w), y(-0.1 * h, 1.1 * h), side(0.01, 0.3);
    auto snap = [&](double v) { return step > 0 ? std::round(v / step) * step : v; };
    std::vector<Rect> rects;
    for (int i = 0; i < count; ++i) {
        double x0 = snap(x(random)), y0 = snap(y(random));
        double x1 = snap(x0 + side(random) * w), y1 = snap(y0 + side(random) * h);
        if (x1 > x0 && y1 > y0)
            rects.push_back({ x0, y0, x1 - x0, y1 - y0 });
    }
    return rects;
}

// Compares only when the context filled the path itself: otherwise both are Cairo's, and where an antialiased clip
// covers a pixel in part, Cairo's one path and its separate paths differ (overlaps are composited once or twice).
// Each rectangle through fillRect (filled directly where it can be, by Cairo where not) matches Cairo's fill of
// each, whatever the clip.
void expectSamePixels(const RectangleScene& scene, bool expectDirect)
{
    auto compare
        = [&](const std::vector<std::uint32_t>& ours, const std::vector<std::uint32_t>& cairos, const char* way) {
              ASSERT_EQ(ours.size(), cairos.size());
              for (std::size_t i = 0; i < ours.size(); ++i)
                  if (ours[i] != cairos[i]) {
                      ADD_FAILURE() << way << ": pixel (" << i % scene.width << ", " << i / scene.width << ") is "
                                    << std::hex << ours[i] << ", Cairo gives " << cairos[i];
                      return;
                  }
          };
    auto cairos = drawScene(scene, RectangleFillWay::PathEach);
    compare(drawScene(scene, RectangleFillWay::FillRectEach), cairos, "fillRect");
    bool direct = false;
    auto ours = drawScene(scene, RectangleFillWay::OnePath, &direct);
    EXPECT_EQ(direct, expectDirect);
    if (direct)
        compare(ours, cairos, "one path");
}

}

TEST(RectangleFill, WithoutAntialiasingEdgesRoundLikeCairosEvenOnHalves)
{
    // A scale of 2.5 and corners on 1/1024 of a point put edges exactly on half pixels and on the halves of
    // Cairo's fixed-point steps, where rounding the other way would show.
    std::mt19937 random(7);
    for (bool flipped : { false, true }) {
        RectangleScene scene;
        scene.points = { 64 / 2.5, 48 / 2.5 };
        scene.flipped = flipped;
        scene.origin = { 0.25, -0.125 };
        for (int round = 0; round < 20; ++round) {
            scene.rects = randomRects(random, scene, 40, 1.0 / 1024);
            expectSamePixels(scene, true);
        }
    }
}

TEST(RectangleFill, ExportScalesAndColoursMatchCairo)
{
    std::mt19937 random(11);
    const std::array<std::array<double, 4>, 4> colours { { { 0, 0, 0, 1 }, { 1, 1, 1, 1 }, { 0.1, 0.2, 0.7, 1 },
        { 0.333, 0.667, 0.999, 1 } } };
    for (double dpi : { 72.0, 96.0, 300.0, 333.3, 600.0 }) {
        RectangleScene scene;
        scene.width = 97;
        scene.height = 61;
        scene.points = { scene.width * 72 / dpi, scene.height * 72 / dpi };
        for (const auto& rgba : colours) {
            scene.rgba = rgba;
            scene.rects = randomRects(random, scene, 60, 0);
            expectSamePixels(scene, true);
        }
    }
}

// A translucent rectangle (a header's highlight line) is laid over what is beneath as pixman composites it, over a
// translucent ground, through a clip of part pixels.
TEST(RectangleFill, TranslucentRectanglesMatchCairo)
{
    std::mt19937 random(19);
    const std::array<std::array<double, 4>, 4> colours { { { 1, 1, 1, 0.4 }, { 0, 0, 0, 0.25 }, { 0.2, 0.5, 0.9, 0.5 },
        { 0.9, 0.1, 0.3, 0.003 } } };
    RectangleScene scene;
    scene.points = { 64 / 2.5, 48 / 2.5 };
    scene.clips = { { { 2.1, 1.3, 20.05, 15.9 }, true } };
    int directRounds = 0;
    for (const auto& rgba : colours)
        for (int round = 0; round < 10; ++round) {
            scene.rgba = rgba;
            scene.rects = randomRects(random, scene, 1, 1.0 / 1024);
            bool direct = false;
            drawScene(scene, RectangleFillWay::OnePath, &direct);
            directRounds += direct ? 1 : 0;
            expectSamePixels(scene, direct);
        }
    EXPECT_GT(directRounds, 10);
}

TEST(RectangleFill, AntialiasedRectanglesAreFilledDirectlyOnlyOnWholePixels)
{
    std::mt19937 random(13);
    RectangleScene scene;
    scene.points = { 32, 24 };
    scene.antialias = true;
    // Half points are whole pixels here.
    scene.rects = randomRects(random, scene, 40, 0.5);
    expectSamePixels(scene, true);
    // A quarter point is half a pixel: partial coverage is Cairo's to draw.
    scene.rects.push_back({ 3.25, 2, 4, 5 });
    expectSamePixels(scene, false);
}

TEST(RectangleFill, ClipsOfWholeAndPartPixels)
{
    std::mt19937 random(17);
    RectangleScene scene;
    scene.points = { 64 / 2.5, 48 / 2.5 };
    // An antialiased clip with edges inside pixels, and a second one rounded to whole pixels.
    scene.clips = { { { 2.1, 1.3, 20.05, 15.9 }, true }, { { 1.0, 3.3, 19.7, 14.1 }, false } };
    // Rectangles reaching into the pixels the antialiased edge covers in part are left to Cairo.
    int directRounds = 0;
    for (int round = 0; round < 40; ++round) {
        scene.rects = randomRects(random, scene, 4, 1.0 / 1024);
        bool direct = false;
        drawScene(scene, RectangleFillWay::OnePath, &direct);
        directRounds += direct ? 1 : 0;
        expectSamePixels(scene, direct);
    }
    EXPECT_GT(directRounds, 5);
    EXPECT_LT(directRounds, 40);
    // Well inside the clip: filled directly.
    scene.rects = { { 5, 5, 3, 4 }, { 9.3, 6.1, 2.2, 0.7 } };
    expectSamePixels(scene, true);
    // A clip that is not a rectangle sends every fill to Cairo.
    scene.clips.clear();
    auto context = GraphicsContext::createForBitmap(20, 20);
    context->clipToPath(*BezierPath::bezierPathWithOvalInRect({ 0, 0, 20, 20 }));
    const auto before = detail::directRectangleFillCount();
    context->fillRect({ 2, 2, 5, 5 });
    EXPECT_EQ(detail::directRectangleFillCount(), before);
}

TEST(RectangleFill, OtherPathsAndStatesAreLeftToCairo)
{
    auto context = GraphicsContext::createForBitmap(40, 40);
    context->setShouldAntialias(false);
    auto unchanged = [&](auto draw) {
        const auto before = detail::directRectangleFillCount();
        context->saveGraphicsState();
        draw();
        context->restoreGraphicsState();
        return detail::directRectangleFillCount() == before;
    };
    const Rect r { 3.3, 4.4, 10, 10 };
    EXPECT_FALSE(unchanged([&] { context->fillRect(r); }));
    EXPECT_TRUE(unchanged([&] {
        // Where two translucent rectangles of one path overlap, Cairo lays the colour on once.
        context->setFillColor(*Color::colorWithCalibratedRed(1, 0, 0, 0.5));
        BezierPath path;
        path.appendBezierPathWithRect(r);
        path.appendBezierPathWithRect({ 5, 5, 10, 10 });
        context->fillPath(path);
    }));
    EXPECT_TRUE(unchanged([&] {
        context->setAlpha(0.5);
        context->fillRect(r);
    }));
    EXPECT_TRUE(unchanged([&] {
        context->setCompositingOperation(CompositingOperation::XOR);
        context->fillRect(r);
    }));
    EXPECT_TRUE(unchanged([&] {
        context->rotateCTM(0.1);
        context->fillRect(r);
    }));
    EXPECT_TRUE(unchanged([&] { context->fillPath(*BezierPath::bezierPathWithOvalInRect(r)); }));
    EXPECT_TRUE(unchanged([&] {
        // Opposite turns would cancel where they overlap under the non-zero rule.
        BezierPath path;
        path.appendBezierPathWithRect(r);
        path.appendBezierPath(BezierPath::bezierPathWithRect({ 5, 5, 10, 10 })->bezierPathByReversingPath());
        context->fillPath(path);
    }));
}
