#include "platform/layers/detail/Compositor.h"

#include <pixman.h>

#include <algorithm>
#include <cmath>
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
    pixman_image_composite32(PIXMAN_OP_OVER, solid.get(), mask.get(), dst.get(), 0, 0, 0, 0, box.x0, box.y0,
        box.x1 - box.x0, box.y1 - box.y0);
}

void compositeProjective(gfx::ConstPixelBufferView source, const gfx::Rect& content, const Homography& sourceToTarget,
    double opacity, gfx::PixelBufferView target, PixelBox box)
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
    if (affine) {
        pixman_image_composite32(PIXMAN_OP_OVER, src.get(), mask.get(), dst.get(), box.x0, box.y0, 0, 0, box.x0, box.y0,
            box.x1 - box.x0, box.y1 - box.y0);
        return;
    }

    // Row by row, only across the outline, and only where the source coordinates are not negative: pixman's
    // projective fetch divides them as unsigned numbers, so a negative one would wrap back into the picture. The
    // margin keeps every pixel the outline touches at non-negative coordinates unless the source is shrunk by
    // more than the margin.
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
    // Limits the pixel centres x + 0.5 of row y to where column `c` of (X, Y, 1) · inverse stays above zero.
    auto keepPositive = [&](int c, double y, double& from, double& to) {
        const double slope = inverse->m[0][c];
        const double offset = (y + 0.5) * inverse->m[1][c] + inverse->m[2][c];
        if (slope == 0) {
            if (!(offset > 0))
                to = -std::numeric_limits<double>::infinity();
            return;
        }
        const double edge = -offset / slope - 0.5;
        if (slope > 0)
            from = std::max(from, std::floor(edge) + 1);
        else
            to = std::min(to, std::ceil(edge) - 1);
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
        double first = std::max(double(box.x0), std::floor(from));
        double last = std::min(double(box.x1) - 1, std::ceil(to));
        for (int c = 0; c < 3; ++c)
            keepPositive(c, y, first, last);
        if (first <= last)
            pixman_image_composite32(PIXMAN_OP_OVER, src.get(), mask.get(), dst.get(), int(first), y,
                int(first) - box.x0, y - box.y0, int(first), y, int(last - first) + 1, 1);
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
