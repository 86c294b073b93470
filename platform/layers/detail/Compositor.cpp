#include "platform/layers/detail/Compositor.h"

#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace ui::detail {

namespace {

struct PixmanImageDeleter {
    void operator()(pixman_image_t* image) const { pixman_image_unref(image); }
};
using PixmanImagePtr = std::unique_ptr<pixman_image_t, PixmanImageDeleter>;

}

void extendEdges(gfx::PixelBufferView pixels)
{
    const int m = SourceMargin;
    const int w = pixels.width - 2 * m, h = pixels.height - 2 * m;
    if (w <= 0 || h <= 0)
        return;
    for (int y = m; y < m + h; ++y) {
        auto* row = pixels.row(y);
        std::fill(row, row + m, row[m]);
        std::fill(row + m + w, row + pixels.width, row[m + w - 1]);
    }
    for (int y = 0; y < m; ++y) {
        std::copy_n(pixels.row(m), pixels.width, pixels.row(y));
        std::copy_n(pixels.row(m + h - 1), pixels.width, pixels.row(m + h + y));
    }
}

namespace {

// The antialiased coverage of a convex outline (target coordinates) over the box, times the opacity.
PixmanImagePtr coverage(const std::vector<gfx::Point>& outline, const PixelBox& box, double opacity)
{
    const int width = box.x1 - box.x0, height = box.y1 - box.y0;
    PixmanImagePtr mask(pixman_image_create_bits(PIXMAN_a8, width, height, nullptr, 0));
    if (!mask)
        return nullptr;
    std::vector<pixman_triangle_t> fan;
    auto fixed = [&](gfx::Point p) {
        return pixman_point_fixed_t { pixman_double_to_fixed(p.x - box.x0), pixman_double_to_fixed(p.y - box.y0) };
    };
    for (std::size_t i = 1; i + 1 < outline.size(); ++i)
        fan.push_back({ fixed(outline[0]), fixed(outline[i]), fixed(outline[i + 1]) });
    pixman_add_triangles(mask.get(), 0, 0, int(fan.size()), fan.data());
    if (opacity < 1) {
        const pixman_color_t alpha { 0, 0, 0, static_cast<uint16_t>(std::lround(opacity * 0xFFFF)) };
        PixmanImagePtr solid(pixman_image_create_solid_fill(&alpha));
        pixman_image_composite32(PIXMAN_OP_IN, solid.get(), nullptr, mask.get(), 0, 0, 0, 0, 0, 0, width, height);
    }
    return mask;
}

// Premultiplied pixels, two channels at a time in the red-blue and alpha-green lanes.
[[gnu::always_inline]] inline std::uint32_t lerpPixels(std::uint32_t a, std::uint32_t b, std::uint32_t w) // w in 0..256
{
    const std::uint32_t rb = ((((a & 0xFF00FF) * (256 - w)) + ((b & 0xFF00FF) * w)) >> 8) & 0xFF00FF;
    const std::uint32_t ag = (((((a >> 8) & 0xFF00FF) * (256 - w)) + (((b >> 8) & 0xFF00FF) * w)) >> 8) & 0xFF00FF;
    return rb | (ag << 8);
}

[[gnu::always_inline]] inline std::uint32_t scalePixel(
    std::uint32_t p, std::uint32_t m) // m in 0..255, rounded as x·m/255
{
    std::uint32_t rb = (p & 0xFF00FF) * m + 0x800080;
    rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    std::uint32_t ag = ((p >> 8) & 0xFF00FF) * m + 0x800080;
    ag = ((ag + ((ag >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    return rb | (ag << 8);
}

// What is in front (destination) over what goes under it (source).
[[gnu::always_inline]] inline std::uint32_t under(std::uint32_t source, std::uint32_t destination)
{
    return destination + scalePixel(source, 255 - (destination >> 24));
}

bool clampBox(PixelBox& box, const gfx::PixelBufferView& target)
{
    box.x0 = std::max(box.x0, 0);
    box.y0 = std::max(box.y0, 0);
    box.x1 = std::min(box.x1, target.width);
    box.y1 = std::min(box.y1, target.height);
    return !box.isEmpty();
}

}

void compositeSolid(const std::array<double, 4>& rgba, const std::vector<gfx::Point>& outline,
    gfx::PixelBufferView target, PixelBox box)
{
    if (!target.isValid() || outline.size() < 3 || rgba[3] <= 0 || !clampBox(box, target))
        return;
    auto mask = coverage(outline, box, 1);
    PixmanImagePtr dst(pixman_image_create_bits(
        PIXMAN_a8r8g8b8, target.width, target.height, reinterpret_cast<uint32_t*>(target.data), int(target.stride)));
    auto channel = [&](double c) { return static_cast<uint16_t>(std::lround(std::clamp(c, 0.0, 1.0) * 0xFFFF)); };
    const double a = std::clamp(rgba[3], 0.0, 1.0);
    const pixman_color_t color { channel(rgba[0] * a), channel(rgba[1] * a), channel(rgba[2] * a), channel(a) };
    PixmanImagePtr solid(pixman_image_create_solid_fill(&color));
    if (!mask || !dst || !solid)
        return;
    pixman_image_composite32(PIXMAN_OP_OVER_REVERSE, solid.get(), mask.get(), dst.get(), 0, 0, 0, 0, box.x0, box.y0,
        box.x1 - box.x0, box.y1 - box.y0);
}

void compositeProjective(gfx::ConstPixelBufferView source, const gfx::Rect& content, const Homography& sourceToTarget,
    double opacity, gfx::PixelBufferView target, PixelBox box, const std::array<double, 4>& tint)
{
    if (!source.isValid() || !target.isValid() || opacity <= 0 || content.isEmpty() || !clampBox(box, target))
        return;
    auto inverse = sourceToTarget.inverted();
    if (!inverse)
        return;
    auto outline = projectedPolygon(sourceToTarget,
        { content.origin, { content.maxX(), content.minY() }, { content.maxX(), content.maxY() },
            { content.minX(), content.maxY() } });
    if (outline.size() < 3)
        return;

    // pixman maps target points to source points with column vectors: our row-vector inverse, transposed. An
    // affine map is given with a unit weight, so pixman takes its fast affine paths. A projective one is carried
    // in 16.16 fixed point, so the matrix is scaled (which leaves a homography as it is) until the largest
    // coordinate over the box nears the limit: small perspective terms keep as much precision as the range allows.
    const bool affine = inverse->m[0][2] == 0 && inverse->m[1][2] == 0 && inverse->m[2][2] != 0;
    double k;
    if (affine) {
        k = 1 / inverse->m[2][2];
    } else {
        double largest = 0;
        for (const auto& row : inverse->m)
            for (double v : row)
                largest = std::max(largest, std::abs(v));
        for (double x : { double(box.x0), double(box.x1) })
            for (double y : { double(box.y0), double(box.y1) })
                for (double v : inverse->transformHomogeneous({ x, y }))
                    largest = std::max(largest, std::abs(v));
        if (largest == 0 || !std::isfinite(largest))
            return;
        k = 16384 / largest;
    }
    pixman_f_transform f;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            f.m[i][j] = inverse->m[j][i] * k;
    if (affine)
        f.m[2][0] = f.m[2][1] = 0, f.m[2][2] = 1;
    pixman_transform transform;
    if (!pixman_transform_from_pixman_f_transform(&transform, &f))
        return;

    PixmanImagePtr src(pixman_image_create_bits(PIXMAN_a8r8g8b8, source.width, source.height,
        reinterpret_cast<uint32_t*>(const_cast<std::uint8_t*>(source.data)), int(source.stride)));
    PixmanImagePtr dst(pixman_image_create_bits(
        PIXMAN_a8r8g8b8, target.width, target.height, reinterpret_cast<uint32_t*>(target.data), int(target.stride)));
    auto mask = coverage(outline, box, opacity);
    if (!src || !dst || !mask)
        return;
    pixman_image_set_transform(src.get(), &transform);
    pixman_image_set_filter(src.get(), PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(src.get(), PIXMAN_REPEAT_PAD);
    const bool tinted = tint != std::array<double, 4> { 1, 1, 1, 1 };
    if (affine && !tinted) {
        pixman_image_composite32(PIXMAN_OP_OVER_REVERSE, src.get(), mask.get(), dst.get(), box.x0, box.y0, 0, 0, box.x0,
            box.y0, box.x1 - box.x0, box.y1 - box.y0);
        return;
    }

    // Row by row, only across the outline. pixman's projective path composites a row per call and divides negative
    // source coordinates as unsigned numbers, and it has no tint; sampling here costs a division a pixel and nothing
    // per row. A tint multiplies each premultiplied channel by its colour times its alpha, and the alpha by its alpha.
    std::uint32_t tintFactors[4] = { 256, 256, 256, 256 };
    for (int i = 0; i < 3; ++i)
        tintFactors[i] = std::uint32_t(std::lround(std::clamp(tint[i] * tint[3], 0.0, 1.0) * 256));
    tintFactors[3] = std::uint32_t(std::lround(std::clamp(tint[3], 0.0, 1.0) * 256));
    auto applyTint = [&](std::uint32_t p) {
        return (((p >> 24) * tintFactors[3]) >> 8) << 24 | ((((p >> 16) & 0xFF) * tintFactors[0]) >> 8) << 16
            | ((((p >> 8) & 0xFF) * tintFactors[1]) >> 8) << 8 | (((p & 0xFF) * tintFactors[2]) >> 8);
    };
    const auto* coverageBits = reinterpret_cast<const std::uint8_t*>(pixman_image_get_data(mask.get()));
    const std::ptrdiff_t coverageStride = pixman_image_get_stride(mask.get());
    const auto& m = inverse->m;
    const int lastX = source.width - 1, lastY = source.height - 1;
    auto fetch = [&](int x, int y) { return source.row(std::clamp(y, 0, lastY))[std::clamp(x, 0, lastX)]; };
    // The source sampled bilinearly at a point in 16.16 fixed point (pixel centres at whole numbers), tinted and
    // scaled by the coverage c.
    auto sampleAt = [&](std::int64_t fx, std::int64_t fy, std::uint32_t c) {
        const int x0 = int(fx >> 16), y0 = int(fy >> 16);
        const auto wx = std::uint32_t(((fx & 0xFFFF) + 128) >> 8), wy = std::uint32_t(((fy & 0xFFFF) + 128) >> 8);
        std::uint32_t top, bottom;
        if (x0 >= 0 && y0 >= 0 && x0 < lastX && y0 < lastY) {
            const std::uint32_t* p = source.row(y0) + x0;
            const std::uint32_t* q = source.row(y0 + 1) + x0;
            top = lerpPixels(p[0], p[1], wx);
            bottom = lerpPixels(q[0], q[1], wx);
        } else {
            top = lerpPixels(fetch(x0, y0), fetch(x0 + 1, y0), wx);
            bottom = lerpPixels(fetch(x0, y0 + 1), fetch(x0 + 1, y0 + 1), wx);
        }
        std::uint32_t sample = lerpPixels(top, bottom, wy);
        if (tinted)
            sample = applyTint(sample);
        return c == 255 ? sample : scalePixel(sample, c);
    };
    auto spanAt = [&](double y, double& from, double& to) {
        const std::size_t n = outline.size();
        for (std::size_t i = 0; i < n; ++i) {
            const auto a = outline[i], b = outline[(i + 1) % n];
            if ((a.y <= y && b.y >= y) || (b.y <= y && a.y >= y)) {
                const double x = a.y == b.y ? std::min(a.x, b.x) : a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y);
                const double x2 = a.y == b.y ? std::max(a.x, b.x) : x;
                from = std::min(from, x);
                to = std::max(to, x2);
            }
        }
    };
    for (int y = box.y0; y < box.y1; ++y) {
        double from = std::numeric_limits<double>::infinity(), to = -from;
        spanAt(y, from, to);
        spanAt(y + 1, from, to);
        for (const auto& p : outline)
            if (p.y >= y && p.y <= y + 1) {
                from = std::min(from, p.x);
                to = std::max(to, p.x);
            }
        if (!(from <= to))
            continue;
        const int first = int(std::max(double(box.x0), std::floor(from)));
        const int last = int(std::min(double(box.x1) - 1, std::ceil(to)));
        const std::uint8_t* coverageRow = coverageBits + (y - box.y0) * coverageStride - box.x0;
        std::uint32_t* out = target.row(y);
        const double cy = y + 0.5;
        // The source point of a target pixel centre, and whether it lies in front of the viewer within reach.
        auto sourcePoint = [&](double x, double& sx, double& sy) {
            const double u = x * m[0][0] + cy * m[1][0] + m[2][0];
            const double v = x * m[0][1] + cy * m[1][1] + m[2][1];
            const double w = x * m[0][2] + cy * m[1][2] + m[2][2];
            if (!(w > 0))
                return false;
            sx = u / w - 0.5;
            sy = v / w - 0.5;
            return std::abs(sx) < 30000 && std::abs(sy) < 30000;
        };
        // Exact at both ends of runs of RunLength pixels and linear in between (in 16.16 fixed point): over such a
        // run perspective bends the mapping by far less than a pixel, and no pixel pays for a division.
        constexpr int RunLength = 16;
        for (int runStart = first; runStart <= last; runStart += RunLength) {
            const int runEnd = std::min(last + 1, runStart + RunLength);
            double sx0, sy0, sx1, sy1;
            if (!sourcePoint(runStart + 0.5, sx0, sy0) || !sourcePoint(runEnd + 0.5, sx1, sy1)) {
                // Near where the plane turns away: each pixel on its own.
                for (int x = runStart; x < runEnd; ++x) {
                    double sx, sy;
                    const std::uint32_t c = coverageRow[x];
                    if (c == 0 || (out[x] >> 24) == 255 || !sourcePoint(x + 0.5, sx, sy))
                        continue;
                    out[x]
                        = under(sampleAt(std::int64_t(std::floor(sx * 65536)), std::int64_t(std::floor(sy * 65536)), c),
                            out[x]);
                }
                continue;
            }
            const double steps = runEnd - runStart;
            std::int64_t fx = std::int64_t(sx0 * 65536), fy = std::int64_t(sy0 * 65536);
            const std::int64_t dx = std::int64_t((sx1 - sx0) * 65536 / steps);
            const std::int64_t dy = std::int64_t((sy1 - sy0) * 65536 / steps);
            for (int x = runStart; x < runEnd; ++x, fx += dx, fy += dy) {
                const std::uint32_t c = coverageRow[x];
                // Where the planes in front cover wholly, nothing behind shows.
                if (c == 0 || (out[x] >> 24) == 255)
                    continue;
                out[x] = under(sampleAt(fx, fy, c), out[x]);
            }
        }
    }
}

void multiplyPixels(gfx::PixelBufferView pixels, const std::array<double, 4>& color)
{
    // Premultiplied: the alpha factor scales every channel.
    unsigned factor[4];
    for (int i = 0; i < 3; ++i)
        factor[i] = unsigned(std::lround(std::clamp(color[i] * color[3], 0.0, 1.0) * 256));
    factor[3] = unsigned(std::lround(std::clamp(color[3], 0.0, 1.0) * 256));
    for (int y = 0; y < pixels.height; ++y) {
        auto* row = pixels.row(y);
        for (int x = 0; x < pixels.width; ++x) {
            const std::uint32_t p = row[x];
            if (!p)
                continue;
            row[x] = gfx::packPixel(std::uint8_t((gfx::alphaOf(p) * factor[3]) >> 8),
                std::uint8_t((gfx::redOf(p) * factor[0]) >> 8), std::uint8_t((gfx::greenOf(p) * factor[1]) >> 8),
                std::uint8_t((gfx::blueOf(p) * factor[2]) >> 8));
        }
    }
}

}
