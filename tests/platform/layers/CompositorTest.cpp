// The compositor's pixel paths against a plain reference written from the arithmetic its header gives, and its
// outline coverage against areas worked out by hand.
#include "platform/layers/detail/Compositor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>
#include <string>
#include <vector>

using namespace ui;
using namespace ui::detail;

namespace {

struct CompositorTestBuffer {
    std::vector<std::uint32_t> pixels;
    int width, height;

    CompositorTestBuffer(int w, int h, std::uint32_t fill = 0)
        : pixels(std::size_t(w) * h, fill)
        , width(w)
        , height(h)
    {
    }
    gfx::PixelBufferView view() { return { reinterpret_cast<std::uint8_t*>(pixels.data()), width, height, width * 4 }; }
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

std::uint32_t compositorTestChannel(std::uint32_t p, int c)
{
    return (p >> (8 * c)) & 0xFF;
}

// x · m / 255 rounded to the nearest (never a tie: 255 is odd).
std::uint32_t compositorTestScale(std::uint32_t x, std::uint32_t m)
{
    return (2 * x * m + 255) / 510;
}

// A premultiplied pixel: channels no greater than its alpha.
std::uint32_t compositorTestPixel(std::mt19937& random, std::uint32_t alpha)
{
    std::uint32_t p = alpha << 24;
    for (int c = 0; c < 3; ++c)
        p |= std::uint32_t(std::uniform_int_distribution<int>(0, int(alpha))(random)) << (8 * c);
    return p;
}

std::uint32_t compositorTestRandomPixel(std::mt19937& random)
{
    const int kind = std::uniform_int_distribution<int>(0, 9)(random);
    if (kind < 2)
        return 0;
    return compositorTestPixel(random, kind < 5 ? 255 : std::uniform_int_distribution<std::uint32_t>(1, 255)(random));
}

// The sixteen lines across row y, at y + (i + 0.5) / 16: each line's span runs from the leftmost to the rightmost
// point where it crosses an edge of the outline (an edge spans [top, bottom) of its ends; flat edges cross none).
struct CompositorTestSpans {
    double from[16], to[16];
    double outerFrom { std::numeric_limits<double>::infinity() }, outerTo { -std::numeric_limits<double>::infinity() };
};

CompositorTestSpans compositorTestSpans(const std::vector<gfx::Point>& outline, int y)
{
    CompositorTestSpans s;
    for (int i = 0; i < 16; ++i) {
        const double ly = y + (i + 0.5) / 16;
        s.from[i] = std::numeric_limits<double>::infinity();
        s.to[i] = -s.from[i];
        for (std::size_t k = 0; k < outline.size(); ++k) {
            auto a = outline[k], b = outline[(k + 1) % outline.size()];
            if (a.y == b.y || !std::isfinite(a.x + a.y + b.x + b.y))
                continue;
            if (a.y > b.y)
                std::swap(a, b);
            if (ly >= a.y && ly < b.y) {
                const double x = a.x + (ly - a.y) * ((b.x - a.x) / (b.y - a.y));
                s.from[i] = std::min(s.from[i], x);
                s.to[i] = std::max(s.to[i], x);
            }
        }
        s.outerFrom = std::min(s.outerFrom, s.from[i]);
        s.outerTo = std::max(s.outerTo, s.to[i]);
    }
    return s;
}

// A pixel's coverage: the length of each line's span within it, summed, as a share of sixteen, times the level.
std::uint32_t compositorTestCoverage(const CompositorTestSpans& s, int x, std::uint32_t level)
{
    double sum = 0;
    for (int i = 0; i < 16; ++i)
        sum += std::clamp(std::min(s.to[i], x + 1.0) - std::max(s.from[i], double(x)), 0.0, 1.0);
    return std::uint32_t(std::lround(sum / 16 * level));
}

// The pixels the row's outline reaches, [first, end) within the box's columns; false when it reaches none.
bool compositorTestColumns(const CompositorTestSpans& s, const PixelBox& box, int& first, int& end)
{
    if (!(s.outerFrom < s.outerTo))
        return false;
    auto column = [&](double x) { return int(std::clamp(x, double(box.x0), double(box.x1))); };
    first = column(std::floor(s.outerFrom));
    end = column(std::ceil(s.outerTo));
    return first < end;
}

// The bilinear sample at (fx, fy) in 16.16 fixed point (pixel centres at whole numbers), fetches clamped to the
// source: each row lerped by the column weight, then the two rows by the row weight, weights rounded to 0..256.
std::uint32_t compositorTestSample(gfx::ConstPixelBufferView source, std::int64_t fx, std::int64_t fy)
{
    const std::int64_t x0 = fx >> 16, y0 = fy >> 16;
    const std::uint32_t wx = std::uint32_t(((fx & 0xFFFF) + 128) >> 8), wy = std::uint32_t(((fy & 0xFFFF) + 128) >> 8);
    auto fetch = [&](std::int64_t x, std::int64_t y) {
        return source.pixel(int(std::clamp<std::int64_t>(x, 0, source.width - 1)),
            int(std::clamp<std::int64_t>(y, 0, source.height - 1)));
    };
    const std::uint32_t p00 = fetch(x0, y0), p01 = fetch(x0 + 1, y0), p10 = fetch(x0, y0 + 1),
                        p11 = fetch(x0 + 1, y0 + 1);
    std::uint32_t result = 0;
    for (int c = 0; c < 4; ++c) {
        auto lerp = [](std::uint32_t a, std::uint32_t b, std::uint32_t w) { return (a * (256 - w) + b * w) >> 8; };
        const std::uint32_t upper = lerp(compositorTestChannel(p00, c), compositorTestChannel(p01, c), wx);
        const std::uint32_t lower = lerp(compositorTestChannel(p10, c), compositorTestChannel(p11, c), wx);
        result |= lerp(upper, lower, wy) << (8 * c);
    }
    return result;
}

// The sample tinted (each channel times its factor out of 256), covered (x · c / 255) and put under the front.
std::uint32_t compositorTestComposite(
    std::uint32_t sample, const std::uint32_t tint[4], std::uint32_t coverage, std::uint32_t front)
{
    std::uint32_t result = 0;
    for (int c = 0; c < 4; ++c) {
        const std::uint32_t s = compositorTestScale((compositorTestChannel(sample, c) * tint[c]) >> 8, coverage);
        result |= (compositorTestChannel(front, c) + compositorTestScale(s, 255 - (front >> 24))) << (8 * c);
    }
    return result;
}

// compositeProjective written out plainly, one pixel at a time.
void compositorTestReference(gfx::ConstPixelBufferView source, const gfx::Rect& content, const Homography& map,
    double opacity, gfx::PixelBufferView target, PixelBox box, const std::array<double, 4>& tintColor)
{
    box = { std::max(box.x0, 0), std::max(box.y0, 0), std::min(box.x1, target.width), std::min(box.y1, target.height) };
    const std::uint32_t level = std::uint32_t(std::lround(std::clamp(opacity, 0.0, 1.0) * 255));
    auto inverse = map.inverted();
    auto outline = projectedPolygon(map,
        { content.origin, { content.maxX(), content.minY() }, { content.maxX(), content.maxY() },
            { content.minX(), content.maxY() } });
    if (box.isEmpty() || level == 0 || !inverse || outline.size() < 3)
        return;
    // Blue, green, red, alpha: each colour channel by its colour times the alpha, the alpha by the alpha.
    std::uint32_t tint[4];
    for (int c = 0; c < 3; ++c)
        tint[2 - c] = std::uint32_t(std::lround(std::clamp(tintColor[c] * tintColor[3], 0.0, 1.0) * 256));
    tint[3] = std::uint32_t(std::lround(std::clamp(tintColor[3], 0.0, 1.0) * 256));
    const auto& m = inverse->m;
    for (int y = box.y0; y < box.y1; ++y) {
        const auto spans = compositorTestSpans(outline, y);
        int first, end;
        if (!compositorTestColumns(spans, box, first, end))
            continue;
        // The source point of a pixel centre, when in front of the viewer and within reach.
        auto sourcePoint = [&](double x, double& sx, double& sy) {
            const double cy = y + 0.5;
            const double u = x * m[0][0] + cy * m[1][0] + m[2][0];
            const double v = x * m[0][1] + cy * m[1][1] + m[2][1];
            const double w = x * m[0][2] + cy * m[1][2] + m[2][2];
            if (!(w > 0))
                return false;
            sx = u / w - 0.5;
            sy = v / w - 0.5;
            return std::abs(sx) < 30000 && std::abs(sy) < 30000;
        };
        std::uint32_t* out = target.row(y);
        auto put = [&](int x, std::int64_t fx, std::int64_t fy) {
            const std::uint32_t c = compositorTestCoverage(spans, x, level);
            if (c == 0 || (out[x] >> 24) == 255)
                return;
            out[x] = compositorTestComposite(compositorTestSample(source, fx, fy), tint, c, out[x]);
        };
        // Exact at both ends of runs of sixteen pixels from the first, stepped linearly in 16.16 between; a run
        // with an end out of reach samples each pixel where it lands.
        for (int runStart = first; runStart < end; runStart += 16) {
            const int runEnd = std::min(end, runStart + 16);
            double sx0, sy0, sx1, sy1;
            if (!sourcePoint(runStart + 0.5, sx0, sy0) || !sourcePoint(runEnd + 0.5, sx1, sy1)) {
                for (int x = runStart; x < runEnd; ++x) {
                    double sx, sy;
                    if (sourcePoint(x + 0.5, sx, sy))
                        put(x, std::int64_t(std::floor(sx * 65536)), std::int64_t(std::floor(sy * 65536)));
                }
                continue;
            }
            const std::int64_t dx = std::int64_t((sx1 - sx0) * 65536 / (runEnd - runStart));
            const std::int64_t dy = std::int64_t((sy1 - sy0) * 65536 / (runEnd - runStart));
            for (int x = runStart; x < runEnd; ++x)
                put(x, std::int64_t(sx0 * 65536) + (x - runStart) * dx,
                    std::int64_t(sy0 * 65536) + (x - runStart) * dy);
        }
    }
}

// A plane of w × h turned about its vertical and horizontal axes, pushed back and seen in perspective, centred at
// (cx, cy).
Homography compositorTestTurned(double w, double h, double yaw, double pitch, double depth, double cx, double cy)
{
    auto t = Transform3D::translation(-w / 2, -h / 2, 0);
    t = concatenated(t, Transform3D::rotation(yaw, 0, 1, 0));
    t = concatenated(t, Transform3D::rotation(pitch, 1, 0, 0));
    t = concatenated(t, Transform3D::translation(0, 0, depth));
    t = concatenated(t, Transform3D::perspective(500));
    t = concatenated(t, Transform3D::translation(cx, cy, 0));
    return Homography::flattening(t);
}

Homography compositorTestAffine(double scale, double angle, double tx, double ty)
{
    auto a = gfx::AffineTransform::identity();
    a.translateBy(tx, ty);
    a.rotateByRadians(angle);
    a.scaleBy(scale, scale * 0.9);
    return Homography::fromAffine(a);
}

}

class CompositorKernelsTest : public ::testing::TestWithParam<CompositorKernels> {
protected:
    void SetUp() override { useCompositorKernels(GetParam()); }
    void TearDown() override { useCompositorKernels(CompositorKernels::Fastest); }
};

INSTANTIATE_TEST_SUITE_P(EachKernel, CompositorKernelsTest,
    ::testing::Values(CompositorKernels::Fastest, CompositorKernels::Baseline, CompositorKernels::OneByOne),
    [](const auto& info) -> std::string {
        switch (info.param) {
        case CompositorKernels::Fastest:
            return "Fastest";
        case CompositorKernels::Baseline:
            return "Baseline";
        default:
            return "OneByOne";
        }
    });

TEST_P(CompositorKernelsTest, projectiveCompositingGivesTheReferenceValuesOverRandomMapsTintsAndFronts)
{
    std::mt19937 random(2024);
    auto uniform = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(random); };
    std::size_t compared = 0, changed = 0;
    for (int round = 0; round < 160; ++round) {
        const int sw = std::uniform_int_distribution<int>(2, 120)(random);
        const int sh = std::uniform_int_distribution<int>(2, 100)(random);
        CompositorTestBuffer source(sw, sh);
        for (auto& p : source.pixels)
            p = compositorTestRandomPixel(random);
        // Mostly the whole picture; sometimes an inner part, so samples near the content's edge reach past it.
        const double inset = round % 3 == 0 ? 1.5 : 0;
        const gfx::Rect content { inset, inset, sw - 2 * inset, sh - 2 * inset };
        if (content.isEmpty())
            continue;

        Homography map;
        switch (round % 4) {
        case 0: // enlarged, partly outside the target
            map = compositorTestAffine(uniform(1.2, 4), uniform(-3, 3), uniform(-60, 150), uniform(-60, 120));
            break;
        case 1: // reduced
            map = compositorTestAffine(uniform(0.2, 0.9), uniform(-3, 3), uniform(0, 120), uniform(0, 90));
            break;
        case 2: // turned in perspective, as the flow view's side items
            map = concatenated(compositorTestAffine(uniform(0.5, 3), 0, 0, 0),
                compositorTestTurned(sw * 2, sh * 2, uniform(-1.4, 1.4), uniform(-0.3, 0.3), uniform(-300, 100),
                    uniform(0, 128), uniform(0, 96)));
            break;
        default: // turned until its far side nears or passes the viewer
            map = compositorTestTurned(sw, sh, uniform(1.3, 1.57) * (round % 8 < 4 ? 1 : -1), uniform(-0.2, 0.2),
                uniform(200, 450), uniform(20, 108), uniform(20, 76));
            break;
        }

        CompositorTestBuffer target(128, 96);
        for (auto& p : target.pixels)
            p = compositorTestRandomPixel(random);
        CompositorTestBuffer expected = target;
        const auto before = target.pixels;
        const PixelBox box { std::uniform_int_distribution<int>(-5, 20)(random),
            std::uniform_int_distribution<int>(-5, 20)(random), std::uniform_int_distribution<int>(100, 140)(random),
            std::uniform_int_distribution<int>(70, 110)(random) };
        const double opacity = round % 5 == 0 ? uniform(0.05, 1) : 1;
        std::array<double, 4> tint { 1, 1, 1, 1 };
        if (round % 2 == 1)
            tint = { uniform(0, 1.1), uniform(0, 1), uniform(0, 1), uniform(0.3, 1) };

        compositeProjective(source.view(), content, map, opacity, target.view(), box, tint);
        compositorTestReference(source.view(), content, map, opacity, expected.view(), box, tint);
        for (int y = 0; y < target.height; ++y)
            for (int x = 0; x < target.width; ++x) {
                ASSERT_EQ(target.at(x, y), expected.at(x, y))
                    << "round " << round << " at " << x << ", " << y << " (source " << sw << " × " << sh << ")";
                ++compared;
            }
        for (std::size_t i = 0; i < before.size(); ++i)
            changed += expected.pixels[i] != before[i];
    }
    // Not a comparison of untouched buffers: a good share of the pixels took a sample.
    EXPECT_GT(changed, compared / 20);
}

TEST(CompositorTest, coverageOfOutlinesIsTheAreaTheyCover)
{
    // White through each outline over nothing leaves the coverage in every channel.
    auto coverage = [](const std::vector<gfx::Point>& outline) {
        CompositorTestBuffer target(6, 6);
        compositeSolid({ 1, 1, 1, 1 }, outline, target.view(), { 0, 0, 6, 6 });
        std::vector<std::vector<int>> rows(6, std::vector<int>(6));
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                EXPECT_EQ(target.at(x, y), (target.at(x, y) >> 24) * 0x01010101u);
                rows[std::size_t(y)][std::size_t(x)] = int(target.at(x, y) >> 24);
            }
        return rows;
    };
    using Rows = std::vector<std::vector<int>>;

    // A 2 × 2 square half a pixel off the grid: corner pixels a quarter covered (63.75 → 64), side pixels half
    // (127.5 → 128), the middle one wholly.
    EXPECT_EQ(coverage({ { 0.5, 0.5 }, { 2.5, 0.5 }, { 2.5, 2.5 }, { 0.5, 2.5 } }),
        (Rows { { 64, 128, 64, 0, 0, 0 }, { 128, 255, 128, 0, 0, 0 }, { 64, 128, 64, 0, 0, 0 }, { 0, 0, 0, 0, 0, 0 },
            { 0, 0, 0, 0, 0, 0 }, { 0, 0, 0, 0, 0, 0 } }));

    // The triangle under the diagonal x + y = 4: the pixels the diagonal crosses are half covered (the lines cover
    // 1 − (i + 0.5) / 16 of them, 8 of 16 in all), those below it wholly.
    EXPECT_EQ(coverage({ { 0, 0 }, { 4, 0 }, { 0, 4 } }),
        (Rows { { 255, 255, 255, 128, 0, 0 }, { 255, 255, 128, 0, 0, 0 }, { 255, 128, 0, 0, 0, 0 },
            { 128, 0, 0, 0, 0, 0 }, { 0, 0, 0, 0, 0, 0 }, { 0, 0, 0, 0, 0, 0 } }));

    // A 1.5-pixel square a quarter pixel in covers three quarters of each of four pixels both ways: twelve of the
    // sixteen lines cross each, for three quarters of a pixel (9 of 16: 143.4375 → 143).
    EXPECT_EQ(coverage({ { 0.25, 0.25 }, { 1.75, 0.25 }, { 1.75, 1.75 }, { 0.25, 1.75 } }),
        (Rows { { 143, 143, 0, 0, 0, 0 }, { 143, 143, 0, 0, 0, 0 }, { 0, 0, 0, 0, 0, 0 }, { 0, 0, 0, 0, 0, 0 },
            { 0, 0, 0, 0, 0, 0 }, { 0, 0, 0, 0, 0, 0 } }));
}

TEST_P(CompositorKernelsTest, coverageOfRandomOutlinesMatchesTheLinesSpans)
{
    // Convex outlines of three to nine corners, some reaching far beyond the target, against the sixteen lines'
    // spans summed pixel by pixel.
    std::mt19937 random(77);
    auto uniform = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(random); };
    for (int round = 0; round < 200; ++round) {
        const int corners = std::uniform_int_distribution<int>(3, 9)(random);
        const double cx = uniform(-10, 90), cy = uniform(-10, 70);
        const double rx = round % 10 == 0 ? uniform(1e3, 1e9) : uniform(0.3, 60), ry = uniform(0.3, 60);
        const double turn = uniform(0, 2 * std::numbers::pi);
        std::vector<gfx::Point> outline;
        for (int i = 0; i < corners; ++i) {
            const double a = turn + 2 * std::numbers::pi * i / corners;
            outline.push_back({ cx + rx * std::cos(a), cy + ry * std::sin(a) });
        }
        // The colour's alpha scales the coverage: x · c / 255.
        const double alpha = round % 3 == 0 ? uniform(0.1, 1) : 1;
        const std::uint32_t level = std::uint32_t(std::lround(alpha * 255));
        const PixelBox box { std::uniform_int_distribution<int>(-3, 20)(random), 0,
            std::uniform_int_distribution<int>(50, 83)(random), 60 };
        CompositorTestBuffer target(80, 60);
        compositeSolid({ 1, 1, 1, alpha }, outline, target.view(), box);
        for (int y = 0; y < 60; ++y) {
            const auto spans = compositorTestSpans(outline, y);
            int first = 0, end = 0;
            if (!compositorTestColumns(spans, { std::max(box.x0, 0), 0, box.x1 > 80 ? 80 : box.x1, 60 }, first, end))
                first = end = 0;
            for (int x = 0; x < 80; ++x) {
                const std::uint32_t c = x >= first && x < end ? compositorTestCoverage(spans, x, 255) : 0;
                ASSERT_EQ(target.at(x, y) >> 24, compositorTestScale(level, c))
                    << "round " << round << " at " << x << ", " << y;
            }
        }
    }
}
