// Paths of rectangles filled straight into a bitmap's pixels. Bars and matrix modules reach the context as one path of
// thousands of rectangles, and Cairo spends most of a large export turning it into its own path, then boxes, then
// one fill call per box. When the outcome is whole pixels of one opaque colour, we compute the pixels Cairo would
// (its 24.8 fixed point, its rounding without antialiasing, its clip) and write them. A single rectangle of a
// translucent colour (a header's highlight line) is laid over the pixels as pixman composites it. Anything else is
// left to Cairo.
#include "platform/graphics/detail/GraphicsContextImpl.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/detail/PixelBlend.h"
#include "platform/graphics/detail/RectangleFillCount.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gfx {

namespace {

using FixedBox = GraphicsContext::Impl::FixedBox;

std::atomic<std::uint64_t> s_directRectangleFills { 0 };

// Cairo converts a device coordinate to 24.8 fixed point by adding this number: the sum's low 32 bits are the
// coordinate in 256ths of a pixel, rounded to nearest with ties to even.
constexpr double FixedPointMagic = 1.5 * double(std::int64_t(1) << 44);
constexpr int FixedPointShift = 8;
constexpr std::int32_t FixedPointOne = 1 << FixedPointShift;
// Far-out coordinates are Cairo's business (its fixed point wraps beyond 2^23 pixels).
constexpr double FixedPointReach = double(1 << 22);

std::int32_t fixedPointOf(double deviceCoordinate)
{
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(deviceCoordinate + FixedPointMagic)));
}

int floorPixel(std::int32_t fixed)
{
    return fixed >> FixedPointShift;
}
int ceilPixel(std::int32_t fixed)
{
    return (fixed + FixedPointOne - 1) >> FixedPointShift;
}
// Without antialiasing Cairo moves an edge to the nearest pixel edge, halves down.
int nearestPixel(std::int32_t fixed)
{
    return (fixed + FixedPointOne / 2 - 1) >> FixedPointShift;
}

// Four corners in turn (a rectangle's subpath) as Cairo's fixed-point box, with the way they turn (+1 or -1);
// nullopt for any other shape. A side of no length changes how Cairo builds the path, so it is not a box here either.
std::optional<std::pair<FixedBox, int>> fixedBoxOf(const Point* corners, const cairo_matrix_t& m)
{
    std::int32_t x[4], y[4];
    for (int j = 0; j < 4; ++j) {
        double dx = corners[j].x, dy = corners[j].y;
        // Cairo's own arithmetic, so every corner lands where its path would put it.
        cairo_matrix_transform_point(&m, &dx, &dy);
        if (!(std::fabs(dx) < FixedPointReach) || !(std::fabs(dy) < FixedPointReach))
            return std::nullopt;
        x[j] = fixedPointOf(dx);
        y[j] = fixedPointOf(dy);
    }
    const bool acrossFirst = y[0] == y[1] && x[1] == x[2] && y[2] == y[3] && x[3] == x[0];
    const bool upFirst = x[0] == x[1] && y[1] == y[2] && x[2] == x[3] && y[3] == y[0];
    if (!(acrossFirst || upFirst) || x[0] == x[2] || y[0] == y[2])
        return std::nullopt;
    const bool positive = acrossFirst ? (x[1] > x[0]) == (y[2] > y[1]) : (y[1] > y[0]) != (x[2] > x[1]);
    return std::pair { FixedBox {
                           std::min(x[0], x[2]), std::min(y[0], y[2]), std::max(x[0], x[2]), std::max(y[0], y[2]) },
        positive ? 1 : -1 };
}

// The subpath at element k, point p, when it is a rectangle's: move, three lines, close.
std::optional<std::pair<FixedBox, int>> fixedBoxAt(
    const BezierPath& path, std::size_t k, std::size_t p, const cairo_matrix_t& m)
{
    using Element = BezierPathElement;
    const auto& kinds = path.elementKinds();
    if (k + 5 > kinds.size() || kinds[k] != Element::MoveTo || kinds[k + 1] != Element::LineTo
        || kinds[k + 2] != Element::LineTo || kinds[k + 3] != Element::LineTo || kinds[k + 4] != Element::ClosePath)
        return std::nullopt;
    return fixedBoxOf(&path.allPoints()[p], m);
}

// Whole pixels, device space (y down), half-open.
struct PixelBox {
    int x1, y1, x2, y2;

    bool isEmpty() const { return x1 >= x2 || y1 >= y2; }
    PixelBox intersection(const PixelBox& o) const
    {
        return { std::max(x1, o.x1), std::max(y1, o.y1), std::min(x2, o.x2), std::min(y2, o.y2) };
    }
    bool operator==(const PixelBox&) const = default;
};

// What a fill box covers: without antialiasing its edges move to the nearest pixel edges; with it, only a box on
// pixel edges covers whole pixels, and anything else is partial coverage left to Cairo.
std::optional<PixelBox> pixelsOf(const FixedBox& b, bool antialias)
{
    if (!antialias)
        return PixelBox { nearestPixel(b.x1), nearestPixel(b.y1), nearestPixel(b.x2), nearestPixel(b.y2) };
    if (((b.x1 | b.y1 | b.x2 | b.y2) & (FixedPointOne - 1)) != 0)
        return std::nullopt;
    return PixelBox { floorPixel(b.x1), floorPixel(b.y1), floorPixel(b.x2), floorPixel(b.y2) };
}

// The pixels a clip lets through wholly (inner) and at all (outer); they differ where an antialiased clip edge
// crosses a pixel.
struct PixelClip {
    PixelBox inner;
    PixelBox outer;
};

PixelClip pixelClipOf(const std::vector<GraphicsContext::Impl::ClipBox>& clips, int width, int height)
{
    PixelClip clip { { 0, 0, width, height }, { 0, 0, width, height } };
    for (const auto& c : clips) {
        const FixedBox& b = c.box;
        if (c.antialias) {
            clip.inner
                = clip.inner.intersection({ ceilPixel(b.x1), ceilPixel(b.y1), floorPixel(b.x2), floorPixel(b.y2) });
            clip.outer
                = clip.outer.intersection({ floorPixel(b.x1), floorPixel(b.y1), ceilPixel(b.x2), ceilPixel(b.y2) });
        } else {
            PixelBox exact = *pixelsOf(b, false);
            clip.inner = clip.inner.intersection(exact);
            clip.outer = clip.outer.intersection(exact);
        }
    }
    return clip;
}

// The premultiplied pixel Cairo fills with for a colour, from Cairo itself (laid over nothing, it is the source).
std::uint32_t cairoPixelOf(const std::array<double, 4>& rgba)
{
    CairoSurfacePtr one(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
    CairoPtr c(cairo_create(one.get()));
    cairo_set_source_rgba(c.get(), rgba[0], rgba[1], rgba[2], rgba[3]);
    cairo_rectangle(c.get(), 0, 0, 1, 1);
    cairo_fill(c.get());
    cairo_surface_flush(one.get());
    return *reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(one.get()));
}

// The pixel of a colour, remembered for the last few colours: a table draws its cells and lines in a
// handful of colours, one after another.
std::uint32_t solidPixelOf(const std::array<double, 4>& rgba)
{
    struct Known {
        std::array<double, 4> rgba;
        std::uint32_t pixel;
    };
    thread_local std::array<Known, 8> known {};
    thread_local std::size_t used = 0, next = 0;
    for (std::size_t k = 0; k < used; ++k)
        if (known[k].rgba == rgba)
            return known[k].pixel;
    const std::uint32_t pixel = cairoPixelOf(rgba);
    known[next] = { rgba, pixel };
    next = (next + 1) % known.size();
    used = std::min(used + 1, known.size());
    return pixel;
}

// Four pixels a store where SSE2 is there, else two: the compiler leaves a plain loop of single pixels as it is.
void fillPixels(std::uint32_t* first, std::uint32_t* last, std::uint32_t pixel)
{
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(static_cast<int>(pixel));
    for (; last - first >= 4; first += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(first), four);
#endif
    const std::uint64_t pair = (std::uint64_t(pixel) << 32) | pixel;
    for (; last - first >= 2; first += 2)
        std::memcpy(first, &pair, sizeof pair);
    if (first != last)
        *first = pixel;
}

bool isAxisAligned(const cairo_matrix_t& m)
{
    return m.xy == 0 && m.yx == 0;
}

}

void GraphicsContext::Impl::noteClip(const BezierPath& path)
{
    auto& clips = state().clipBoxes;
    if (!clips)
        return;
    cairo_matrix_t m;
    cairo_get_matrix(cr.get(), &m);
    auto box = isAxisAligned(m) && path.elementKinds().size() == 5 ? fixedBoxAt(path, 0, 0, m) : std::nullopt;
    if (box)
        clips->push_back({ box->first, state().antialias });
    else
        clips.reset();
}

void GraphicsContext::Impl::noteClipRect(const Point (&corners)[4])
{
    auto& clips = state().clipBoxes;
    if (!clips)
        return;
    cairo_matrix_t m;
    cairo_get_matrix(cr.get(), &m);
    auto box = isAxisAligned(m) ? fixedBoxOf(corners, m) : std::nullopt;
    if (box)
        clips->push_back({ box->first, state().antialias });
    else
        clips.reset();
}

// Fills count boxes, boxAt(n, matrix) giving each, straight into the pixels; false (and nothing written) when any
// doubt leaves them to Cairo.
template <typename BoxAt>
bool fillBoxesDirectly(GraphicsContext::Impl& i, const Color& color, std::size_t count, BoxAt&& boxAt)
{
    using State = GraphicsContext::Impl::State;
    const State& s = i.state();
    if (!i.hasPixels() || !i.pixels.isValid() || !s.clipBoxes || s.alpha < 1 || !s.masks.empty() || s.shadow
        || toCairo(s.op) != CAIRO_OPERATOR_OVER)
        return false;
    const auto rgba = color.rgbaIfAvailable();
    // Overlapping boxes of a translucent colour would be laid on twice where Cairo composites their union once.
    if (!rgba || !((*rgba)[3] > 0) || ((*rgba)[3] < 1 && count != 1))
        return false;
    const bool opaque = (*rgba)[3] >= 1;
    const double det = s.ctm.determinant();
    cairo_t* c = i.cr.get();
    if (det == 0 || !std::isfinite(det) || cairo_get_group_target(c) != i.surface.get())
        return false;
    cairo_matrix_t m;
    cairo_get_matrix(c, &m);
    if (!isAxisAligned(m))
        return false;

    // Every box is checked before the first pixel is written: any doubt leaves the whole path to Cairo. Boxes
    // turned the same way make a non-zero union of them all.
    const PixelClip clip = pixelClipOf(*s.clipBoxes, i.pixels.width, i.pixels.height);
    thread_local std::vector<PixelBox> boxes;
    boxes.clear();
    int turn = 0;
    for (std::size_t n = 0; n < count; ++n) {
        auto box = boxAt(n, m);
        if (!box || (turn != 0 && box->second != turn))
            return false;
        turn = box->second;
        auto covered = pixelsOf(box->first, s.antialias);
        if (!covered)
            return false;
        PixelBox drawn = covered->intersection(clip.inner);
        PixelBox touched = covered->intersection(clip.outer);
        if (touched.isEmpty())
            continue;
        if (drawn != touched)
            return false;
        boxes.push_back(drawn);
    }

    const std::uint32_t pixel = solidPixelOf(*rgba);
    cairo_surface_flush(i.surface.get());
    PixelBox changed { i.pixels.width, i.pixels.height, 0, 0 };
    // Boxes on the same rows (the runs of a bar or module row) are written row by row, so memory is written in order.
    for (std::size_t first = 0, end = 0; first < boxes.size(); first = end) {
        end = first + 1;
        while (end < boxes.size() && boxes[end].y1 == boxes[first].y1 && boxes[end].y2 == boxes[first].y2)
            ++end;
        for (int y = boxes[first].y1; y < boxes[first].y2; ++y) {
            std::uint32_t* row = i.pixels.row(y);
            for (std::size_t b = first; b < end; ++b)
                if (opaque)
                    fillPixels(row + boxes[b].x1, row + boxes[b].x2, pixel);
                else
                    detail::overRow(row + boxes[b].x1, boxes[b].x2 - boxes[b].x1, pixel);
        }
        for (std::size_t b = first; b < end; ++b)
            changed = { std::min(changed.x1, boxes[b].x1), std::min(changed.y1, boxes[b].y1),
                std::max(changed.x2, boxes[b].x2), std::max(changed.y2, boxes[b].y2) };
    }
    if (!changed.isEmpty())
        cairo_surface_mark_dirty_rectangle(
            i.surface.get(), changed.x1, changed.y1, changed.x2 - changed.x1, changed.y2 - changed.y1);
    s_directRectangleFills.fetch_add(1, std::memory_order_relaxed);
    return true;
}

bool GraphicsContext::Impl::fillRectanglesDirectly(const BezierPath& path, const Color& color)
{
    if (path.windingRule() != WindingRule::NonZero || path.elementKinds().size() % 5 != 0)
        return false;
    return fillBoxesDirectly(*this, color, path.elementKinds().size() / 5,
        [&](std::size_t n, const cairo_matrix_t& m) { return fixedBoxAt(path, n * 5, n * 4, m); });
}

bool GraphicsContext::Impl::fillRectDirectly(const Rect& r, const Color& color)
{
    // The corners in the order a rectangle's path takes them.
    const Point corners[4]
        = { { r.minX(), r.minY() }, { r.maxX(), r.minY() }, { r.maxX(), r.maxY() }, { r.minX(), r.maxY() } };
    return fillBoxesDirectly(
        *this, color, 1, [&](std::size_t, const cairo_matrix_t& m) { return fixedBoxOf(corners, m); });
}

std::optional<std::array<std::int32_t, 4>> GraphicsContext::Impl::clipBoxInFixedPoint() const
{
    const State& s = state();
    if (!hasPixels() || !pixels.isValid() || !s.clipBoxes)
        return std::nullopt;
    // The boxes' intersection: antialiased ones as they are, the others rounded to the pixels they let through.
    std::array<std::int32_t, 4> box { 0, 0, pixels.width * FixedPointOne, pixels.height * FixedPointOne };
    for (const auto& c : *s.clipBoxes) {
        FixedBox b = c.box;
        if (!c.antialias) {
            PixelBox exact = *pixelsOf(b, false);
            b = { exact.x1 * FixedPointOne, exact.y1 * FixedPointOne, exact.x2 * FixedPointOne,
                exact.y2 * FixedPointOne };
        }
        box = { std::max(box[0], b.x1), std::max(box[1], b.y1), std::min(box[2], b.x2), std::min(box[3], b.y2) };
    }
    if (box[2] <= box[0] || box[3] <= box[1])
        box = { 0, 0, 0, 0 };
    return box;
}

std::uint64_t detail::directRectangleFillCount()
{
    return s_directRectangleFills.load(std::memory_order_relaxed);
}

}
