// Glyph runs drawn straight into a bitmap's or window's pixels from our own cache of rasterised glyphs. Labels,
// cells and fields are short runs drawn plainly, and Cairo's glyph path costs more to set up for each of them than
// the pixels do; anything else (a blurred shadow, alpha, a turned or stretched context, glyphs reaching pixels a clip
// covers in part, documents) is Cairo's.
#include "platform/graphics/detail/GraphicsContextImpl.h"

#include "platform/graphics/Font.h"
#include "platform/graphics/TextRendering.h"
#include "platform/graphics/detail/GlyphRaster.h"
#include "platform/graphics/detail/GlyphRunCount.h"
#include "platform/graphics/detail/PixelBlend.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace gfx {

namespace {

std::atomic<std::uint64_t> s_directGlyphRuns { 0 };

// An 8-bit channel as Cairo makes it from a double: through 16 bits.
std::uint32_t glyphPixelsChannel(double value)
{
    return std::uint32_t(std::clamp(value, 0.0, 1.0) * 65535.0 + 0.5) >> 8;
}

}

namespace {

struct GlyphPixelsPlaced {
    const detail::RasterGlyph* raster;
    int x, y; // top left in device pixels
};

// Lays a premultiplied colour over a row of pixels through a row of coverage: each pixel becomes
// colour·c + pixel·(1 − alpha(colour·c)), every product rounded as x·c/255. Four pixels at a time where SSE2 is
// there, with the same arithmetic, so both give the same pixels.
void glyphPixelsBlendRow(std::uint32_t* row, const std::uint8_t* coverage, int count, std::uint32_t colour)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    // Two pixels, a channel in each 16-bit lane.
    const __m128i colours = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), zero);
    auto over = [&](__m128i pixels, __m128i covers) {
        return detail::overLanes(detail::scaledLanes(colours, covers), pixels);
    };
    for (; x + 4 <= count; x += 4) {
        std::uint32_t four;
        std::memcpy(&four, coverage + x, sizeof four);
        if (four == 0)
            continue;
        // Each pixel's coverage in all four of its channels.
        __m128i covers = _mm_cvtsi32_si128(static_cast<int>(four));
        covers = _mm_unpacklo_epi8(covers, covers);
        covers = _mm_unpacklo_epi16(covers, covers);
        auto* at = reinterpret_cast<__m128i*>(row + x);
        const __m128i pixels = _mm_loadu_si128(at);
        const __m128i low = over(_mm_unpacklo_epi8(pixels, zero), _mm_unpacklo_epi8(covers, zero));
        const __m128i high = over(_mm_unpackhi_epi8(pixels, zero), _mm_unpackhi_epi8(covers, zero));
        _mm_storeu_si128(at, _mm_packus_epi16(low, high));
    }
#endif
    for (; x < count; ++x) {
        const std::uint32_t cover = coverage[x];
        if (cover == 0)
            continue;
        row[x] = detail::overPixel(cover == 255 ? colour : detail::scaledPixel(colour, cover), row[x]);
    }
}

// Whether no two glyph boxes share a pixel, as in most runs of a label: then each glyph is laid over the pixels
// from its own coverage, without adding them up first. Glyphs left to right, each starting after all before it end.
bool glyphPixelsApart(const std::vector<GlyphPixelsPlaced>& placed)
{
    int right = std::numeric_limits<int>::min();
    for (const auto& glyph : placed) {
        if (glyph.x < right)
            return false;
        right = glyph.x + glyph.raster->width;
    }
    return true;
}

// A run's glyphs moved by (dx, dy) device pixels laid over the pixels inside the clip box in one premultiplied
// colour. As Cairo and pixman draw a run: the glyphs' coverage added up (saturating) into one mask, then the colour
// laid over through it once, so overlapping glyph edges come out alike.
void glyphPixelsComposite(PixelBufferView& pixels, cairo_surface_t* surface,
    const std::vector<GlyphPixelsPlaced>& placed, int dx, int dy, std::uint32_t colour, const int clip[4])
{
    int boxX0 = clip[2], boxY0 = clip[3], boxX1 = clip[0], boxY1 = clip[1];
    for (const auto& glyph : placed) {
        const int x = glyph.x + dx, y = glyph.y + dy;
        if (x >= clip[2] || y >= clip[3] || x + glyph.raster->width <= clip[0] || y + glyph.raster->height <= clip[1])
            continue;
        boxX0 = std::min(boxX0, std::max(x, clip[0]));
        boxY0 = std::min(boxY0, std::max(y, clip[1]));
        boxX1 = std::max(boxX1, std::min(x + glyph.raster->width, clip[2]));
        boxY1 = std::max(boxY1, std::min(y + glyph.raster->height, clip[3]));
    }
    if (boxX1 <= boxX0 || boxY1 <= boxY0)
        return;
    const int w = boxX1 - boxX0, h = boxY1 - boxY0;
    cairo_surface_flush(surface);
    if (glyphPixelsApart(placed)) {
        for (const auto& glyph : placed) {
            const auto& raster = *glyph.raster;
            const int gx = glyph.x + dx, gy = glyph.y + dy;
            const int fromX = std::max(gx, boxX0), toX = std::min(gx + raster.width, boxX1);
            const int fromY = std::max(gy, boxY0), toY = std::min(gy + raster.height, boxY1);
            for (int y = fromY; y < toY; ++y)
                glyphPixelsBlendRow(pixels.row(y) + fromX,
                    raster.coverage.data() + std::size_t(y - gy) * std::size_t(raster.width) + (fromX - gx),
                    toX - fromX, colour);
        }
    } else {
        thread_local std::vector<std::uint8_t> mask;
        mask.assign(std::size_t(w) * std::size_t(h), 0);
        for (const auto& glyph : placed) {
            const auto& raster = *glyph.raster;
            const int gx = glyph.x + dx, gy = glyph.y + dy;
            const int fromX = std::max(gx, boxX0), toX = std::min(gx + raster.width, boxX1);
            const int fromY = std::max(gy, boxY0), toY = std::min(gy + raster.height, boxY1);
            for (int y = fromY; y < toY; ++y) {
                const std::uint8_t* from = raster.coverage.data() + std::size_t(y - gy) * std::size_t(raster.width);
                std::uint8_t* to = mask.data() + std::size_t(y - boxY0) * std::size_t(w);
                for (int x = fromX; x < toX; ++x)
                    to[x - boxX0] = std::uint8_t(std::min(255, to[x - boxX0] + from[x - gx]));
            }
        }
        for (int y = boxY0; y < boxY1; ++y)
            glyphPixelsBlendRow(
                pixels.row(y) + boxX0, mask.data() + std::size_t(y - boxY0) * std::size_t(w), w, colour);
    }
    cairo_surface_mark_dirty_rectangle(surface, boxX0, boxY0, w, h);
}

std::uint32_t glyphPixelsPremultiplied(const std::array<double, 4>& rgba, double alpha)
{
    alpha = std::clamp(rgba[3] * alpha, 0.0, 1.0);
    return glyphPixelsChannel(alpha) << 24 | glyphPixelsChannel(rgba[0] * alpha) << 16
        | glyphPixelsChannel(rgba[1] * alpha) << 8 | glyphPixelsChannel(rgba[2] * alpha);
}

}

bool GraphicsContext::Impl::showGlyphsDirectly(const Font& font, std::span<const Glyph> glyphs,
    std::span<const Point> positions, const AffineTransform& glyphToUser)
{
    const State& s = state();
    if (!hasPixels() || !pixels.isValid() || s.alpha < 1 || !s.masks.empty() || s.op != CompositingOperation::SourceOver
        || !font.face())
        return false;
    const auto rgba = s.fill->rgbaIfAvailable();
    if (!rgba)
        return false;
    // An unblurred shadow moved by whole device pixels (an engraved label's) is the run again in the shadow's
    // colour, laid under it: the same pixels as the shadow mask would give.
    int shadowX = 0, shadowY = 0;
    if (s.shadow) {
        const double ox = s.shadow->offset.width * scaleX, oy = -s.shadow->offset.height * scaleY;
        if (s.shadow->blurRadius != 0 || ox != std::round(ox) || oy != std::round(oy) || std::abs(ox) > 1e4
            || std::abs(oy) > 1e4)
            return false;
        shadowX = int(ox);
        shadowY = int(oy);
    }
    cairo_t* c = cr.get();
    if (cairo_get_group_target(c) != surface.get())
        return false;
    const auto clip = clipBoxInFixedPoint();
    if (!clip)
        return false;
    // Glyph space (y down, in ems) to Cairo's device space (y down): the font's matrix, then the context's. Only an
    // upright, even, unmirrored map is drawn here.
    cairo_matrix_t m;
    cairo_get_matrix(c, &m);
    const double size = font.pointSize();
    const double fxx = size * glyphToUser.m11, fyx = size * glyphToUser.m12;
    const double fxy = -size * glyphToUser.m21, fyy = -size * glyphToUser.m22;
    const double dxx = m.xx * fxx + m.xy * fyx, dyx = m.yx * fxx + m.yy * fyx;
    const double dxy = m.xx * fxy + m.xy * fyy, dyy = m.yx * fxy + m.yy * fyy;
    if (!(dxx > 0) || std::abs(dyx) > 1e-9 * dxx || std::abs(dxy) > 1e-9 * dxx || std::abs(dxx - dyy) > 1e-9 * dxx
        || dxx > detail::GlyphRasters::LargestPixelSize)
        return false;

    auto options = desktopTextRendering();
    options.antialias = options.antialias && s.antialias;
    auto& rasters = detail::GlyphRasters::forFace(*font.face());
    auto lock = rasters.lock();
    // The pixels the clip covers wholly, and those it touches at all. Glyphs reaching a pixel it covers in part are
    // Cairo's: its coverage of that pixel is not exactly ours, and a view drawn partly one way and partly the other
    // would show seams. A label centred in a cell is clipped at fractions of a pixel, well clear of its ink.
    const int clipBox[4] = { ((*clip)[0] + 0xFF) >> 8, ((*clip)[1] + 0xFF) >> 8, (*clip)[2] >> 8, (*clip)[3] >> 8 };
    const int touched[4] = { (*clip)[0] >> 8, (*clip)[1] >> 8, ((*clip)[2] + 0xFF) >> 8, ((*clip)[3] + 0xFF) >> 8 };
    const bool partlyCovered = !std::equal(clipBox, clipBox + 4, touched);
    auto reachesPartPixels = [&](int x, int y, const detail::RasterGlyph& raster) {
        const int x0 = std::max(x, touched[0]), y0 = std::max(y, touched[1]);
        const int x1 = std::min(x + raster.width, touched[2]), y1 = std::min(y + raster.height, touched[3]);
        return x0 < x1 && y0 < y1 && (x0 < clipBox[0] || y0 < clipBox[1] || x1 > clipBox[2] || y1 > clipBox[3]);
    };
    const std::size_t count = std::min(glyphs.size(), positions.size());
    // Every glyph first: one FreeType cannot render leaves the whole run to Cairo.
    thread_local std::vector<GlyphPixelsPlaced> placed;
    placed.clear();
    for (std::size_t k = 0; k < count; ++k) {
        const auto* raster = rasters.glyph(glyphs[k], dxx, options);
        if (!raster)
            return false;
        if (raster->width == 0 || raster->height == 0)
            continue;
        // Glyph origins land on whole device pixels, as Cairo puts them.
        const double deviceX = m.xx * positions[k].x + m.xy * positions[k].y + m.x0;
        const double deviceY = m.yx * positions[k].x + m.yy * positions[k].y + m.y0;
        if (!(std::abs(deviceX) < 1e7 && std::abs(deviceY) < 1e7))
            continue;
        const GlyphPixelsPlaced glyph { raster, int(std::lround(deviceX)) + raster->left,
            int(std::lround(deviceY)) - raster->top };
        if (partlyCovered
            && (reachesPartPixels(glyph.x, glyph.y, *raster)
                || (s.shadow && reachesPartPixels(glyph.x + shadowX, glyph.y + shadowY, *raster))))
            return false;
        placed.push_back(glyph);
    }
    s_directGlyphRuns.fetch_add(1, std::memory_order_relaxed);
    if (placed.empty())
        return true;
    if (s.shadow)
        glyphPixelsComposite(pixels, surface.get(), placed, shadowX, shadowY,
            glyphPixelsPremultiplied(s.shadow->rgba, (*rgba)[3]), clipBox);
    glyphPixelsComposite(pixels, surface.get(), placed, 0, 0, glyphPixelsPremultiplied(*rgba, 1), clipBox);
    return true;
}

std::uint64_t detail::directGlyphRunCount()
{
    return s_directGlyphRuns.load(std::memory_order_relaxed);
}

}
