#include "platform/ui/views/detail/FocusRing.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/look/SystemColors.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/ViewDrawing.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <functional>

namespace ui::detail {

namespace {

// The ring's opacity over the accent colour.
constexpr double RingAlpha = 0.6;
// Rings larger than this many pixels are not drawn (a view the size of a screen has no useful ring).
constexpr long MaxRingPixels = 4'000'000;
// The ring is kept and drawn in squares of this many device pixels, only those its band meets.
constexpr int RingTileSize = 16;

std::atomic<std::uint64_t> s_ringPixelsWorkedOut { 0 };
std::atomic<std::uint64_t> s_maskPixelsRasterised { 0 };

// Pixels of the ring's box: columns [x0, x1) and rows [y0, y1), rows counted from the top.
struct RingBox {
    int x0 { 0 }, y0 { 0 }, x1 { 0 }, y1 { 0 };
    bool isEmpty() const { return x1 <= x0 || y1 <= y0; }
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
    RingBox intersection(const RingBox& o) const
    {
        return { std::max(x0, o.x0), std::max(y0, o.y0), std::min(x1, o.x1), std::min(y1, o.y1) };
    }
    RingBox grown(int by) const { return { x0 - by, y0 - by, x1 + by, y1 + by }; }
};

// Where the ring may show, as tiles of the ring's box: those within `margin` pixels of an edge of the shape's
// outlines. Away from every edge a pixel is wholly inside the shape (no ring) or has none of it within reach.
class RingBand {
public:
    RingBand(int width, int height, int margin)
        : m_width(width)
        , m_height(height)
        , m_margin(margin)
        , m_across((width + RingTileSize - 1) / RingTileSize)
        , m_down((height + RingTileSize - 1) / RingTileSize)
    {
    }

    void addFill(const gfx::CapturedFill& fill)
    {
        if (!fill.path) {
            const auto& r = fill.rect;
            const gfx::Point corners[4]
                = { { r.minX(), r.minY() }, { r.maxX(), r.minY() }, { r.maxX(), r.maxY() }, { r.minX(), r.maxY() } };
            for (int k = 0; k < 4; ++k)
                addLine(fill.ctm.transformPoint(corners[k]), fill.ctm.transformPoint(corners[(k + 1) % 4]));
            return;
        }
        const auto& points = fill.path->allPoints();
        std::size_t p = 0;
        gfx::Point start, current;
        bool open = false;
        for (auto kind : fill.path->elementKinds()) {
            switch (kind) {
            case gfx::BezierPathElement::MoveTo:
                // A fill closes every subpath.
                if (open)
                    addLine(current, start);
                start = current = fill.ctm.transformPoint(points[p]);
                open = true;
                break;
            case gfx::BezierPathElement::LineTo: {
                const auto to = fill.ctm.transformPoint(points[p]);
                addLine(current, to);
                current = to;
                break;
            }
            case gfx::BezierPathElement::CurveTo: {
                const gfx::Point c[4] = { current, fill.ctm.transformPoint(points[p]),
                    fill.ctm.transformPoint(points[p + 1]), fill.ctm.transformPoint(points[p + 2]) };
                addCurve(c, 0);
                current = c[3];
                break;
            }
            case gfx::BezierPathElement::ClosePath:
                if (open)
                    addLine(current, start);
                current = start;
                break;
            }
            p += std::size_t(gfx::pointCountOf(kind));
        }
        if (open)
            addLine(current, start);
    }

    // The tiles in order, each once; every tile when an outline had a point no pixel can hold.
    std::vector<RingBox> tiles()
    {
        if (m_unbounded) {
            m_indexes.resize(std::size_t(m_across) * std::size_t(m_down));
            for (std::size_t k = 0; k < m_indexes.size(); ++k)
                m_indexes[k] = int(k);
        }
        std::sort(m_indexes.begin(), m_indexes.end());
        m_indexes.erase(std::unique(m_indexes.begin(), m_indexes.end()), m_indexes.end());
        std::vector<RingBox> boxes;
        boxes.reserve(m_indexes.size());
        for (int index : m_indexes) {
            const int tx = index % m_across, ty = index / m_across;
            boxes.push_back({ tx * RingTileSize, ty * RingTileSize, std::min(m_width, (tx + 1) * RingTileSize),
                std::min(m_height, (ty + 1) * RingTileSize) });
        }
        return boxes;
    }

private:
    // Device points (y up) to the pixels they touch, grown by the margin.
    void addPoints(std::span<const gfx::Point> points)
    {
        double minX = points[0].x, maxX = points[0].x, minY = points[0].y, maxY = points[0].y;
        for (const auto& q : points) {
            if (!std::isfinite(q.x) || !std::isfinite(q.y) || std::fabs(q.x) > 1e7 || std::fabs(q.y) > 1e7) {
                m_unbounded = true;
                return;
            }
            minX = std::min(minX, q.x);
            maxX = std::max(maxX, q.x);
            minY = std::min(minY, q.y);
            maxY = std::max(maxY, q.y);
        }
        const RingBox touched { int(std::floor(minX)), int(std::floor(m_height - maxY)), int(std::ceil(maxX)),
            int(std::ceil(m_height - minY)) };
        const RingBox box = touched.grown(m_margin).intersection({ 0, 0, m_width, m_height });
        if (box.isEmpty() || m_unbounded)
            return;
        for (int ty = box.y0 / RingTileSize; ty <= (box.y1 - 1) / RingTileSize; ++ty)
            for (int tx = box.x0 / RingTileSize; tx <= (box.x1 - 1) / RingTileSize; ++tx)
                m_indexes.push_back(ty * m_across + tx);
    }
    void addLine(gfx::Point a, gfx::Point b)
    {
        const gfx::Point both[2] = { a, b };
        addPoints(both);
    }
    // A curve lies within its control points' hull: split until that is no larger than a tile.
    void addCurve(const gfx::Point (&c)[4], int depth)
    {
        double minX = c[0].x, maxX = c[0].x, minY = c[0].y, maxY = c[0].y;
        for (const auto& q : c) {
            minX = std::min(minX, q.x);
            maxX = std::max(maxX, q.x);
            minY = std::min(minY, q.y);
            maxY = std::max(maxY, q.y);
        }
        if (depth >= 24 || !(maxX - minX > RingTileSize || maxY - minY > RingTileSize)) {
            addPoints(c);
            return;
        }
        auto mid = [](gfx::Point a, gfx::Point b) { return gfx::Point { (a.x + b.x) / 2, (a.y + b.y) / 2 }; };
        const auto ab = mid(c[0], c[1]), bc = mid(c[1], c[2]), cd = mid(c[2], c[3]);
        const auto abc = mid(ab, bc), bcd = mid(bc, cd), middle = mid(abc, bcd);
        const gfx::Point first[4] = { c[0], ab, abc, middle }, second[4] = { middle, bcd, cd, c[3] };
        addCurve(first, depth + 1);
        addCurve(second, depth + 1);
    }

    int m_width, m_height, m_margin, m_across, m_down;
    std::vector<int> m_indexes;
    bool m_unbounded { false };
};

// The tiles of the ring's box that the boxes meet, each cut to the bounds of what they meet of it: disjoint boxes
// covering everything the boxes cover.
std::vector<RingBox> tilesMeeting(const std::vector<RingBox>& boxes, int width, int height)
{
    const int across = (width + RingTileSize - 1) / RingTileSize;
    std::vector<int> indexes;
    for (const auto& b : boxes)
        for (int ty = b.y0 / RingTileSize; ty <= (b.y1 - 1) / RingTileSize; ++ty)
            for (int tx = b.x0 / RingTileSize; tx <= (b.x1 - 1) / RingTileSize; ++tx)
                indexes.push_back(ty * across + tx);
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    std::vector<RingBox> tiles;
    for (int index : indexes) {
        const int tx = index % across, ty = index / across;
        const RingBox tile { tx * RingTileSize, ty * RingTileSize, std::min(width, (tx + 1) * RingTileSize),
            std::min(height, (ty + 1) * RingTileSize) };
        RingBox met { tile.x1, tile.y1, tile.x0, tile.y0 };
        for (const auto& b : boxes) {
            const auto part = tile.intersection(b);
            if (!part.isEmpty())
                met = { std::min(met.x0, part.x0), std::min(met.y0, part.y0), std::max(met.x1, part.x1),
                    std::max(met.y1, part.y1) };
        }
        tiles.push_back(met);
    }
    return tiles;
}

// The shape's coverage (0 to 1) over the ring's box, from the mask rasterised whole: Cairo's coverage of an edge
// pixel depends on every edge in its row and on where the raster begins, so the ring keeps its pixels only when
// the mask is drawn as one piece.
class RingMask {
public:
    RingMask(int width, int height, const std::function<void(gfx::GraphicsContext&)>& draw)
        : m_mask(gfx::GraphicsContext::createForBitmap(width, height))
    {
        for (int a = 0; a < 256; ++a)
            m_coverageOf[std::size_t(a)] = a / 255.0f;
        if (!m_mask)
            return;
        {
            gfx::CurrentContextScope scope(m_mask);
            draw(*m_mask);
        }
        m_pixels = *m_mask->pixelBuffer();
        s_maskPixelsRasterised.fetch_add(std::uint64_t(width) * std::uint64_t(height), std::memory_order_relaxed);
    }
    bool isValid() const { return m_pixels.isValid(); }
    float at(int x, int y) const { return m_coverageOf[gfx::alphaOf(m_pixels.pixel(x, y))]; }

private:
    std::shared_ptr<gfx::GraphicsContext> m_mask;
    gfx::PixelBufferView m_pixels;
    std::array<float, 256> m_coverageOf {};
};

struct RingTap {
    int dx, dy;
    float weight;
};

// The disc the shape is grown by, soft by half a pixel at the rim so the ring's outer edge is smooth. Heaviest
// first: a pixel beside the shape reaches full strength at its first taps and stops there.
std::vector<RingTap> ringTaps(double radius, int reach)
{
    std::vector<RingTap> taps;
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            double w = std::clamp(radius + 0.5 - std::hypot(dx, dy), 0.0, 1.0);
            if (w > 0)
                taps.push_back({ dx, dy, static_cast<float>(w) });
        }
    }
    std::stable_sort(taps.begin(), taps.end(), [](const RingTap& a, const RingTap& b) { return a.weight > b.weight; });
    return taps;
}

// The ring's premultiplied pixel for its strength (0 to 1) in the accent colour.
std::uint32_t ringPixel(float strength, const std::array<double, 4>& accent)
{
    double a = strength * RingAlpha;
    auto channel = [&](double c) { return static_cast<std::uint8_t>(std::lround(c * a * 255)); };
    return gfx::packPixel(
        static_cast<std::uint8_t>(std::lround(a * 255)), channel(accent[0]), channel(accent[1]), channel(accent[2]));
}

// A piece of the ring: its pixels over a box of the ring's box, rows from the top.
struct RingPiece {
    RingBox box;
    std::vector<std::uint32_t> pixels;
};

// The ring over the boxes given, from the shape grown by `radius` pixels, less the shape; boxes where it is
// transparent are left out.
std::vector<RingPiece> workOutRing(const RingMask& mask, int width, int height, double radius,
    const std::array<double, 4>& accent, const std::vector<RingBox>& boxes)
{
    if (!mask.isValid())
        return {};
    const int reach = static_cast<int>(std::ceil(radius + 0.5));
    const auto taps = ringTaps(radius, reach);
    std::vector<RingPiece> pieces;
    std::uint64_t workedOut = 0;
    float lastStrength = 0;
    std::uint32_t lastPixel = 0;
    for (const auto& box : boxes) {
        RingPiece piece { box, std::vector<std::uint32_t>(std::size_t(box.width()) * std::size_t(box.height()), 0) };
        bool any = false;
        for (int y = box.y0; y < box.y1; ++y) {
            for (int x = box.x0; x < box.x1; ++x) {
                const float inside = mask.at(x, y);
                if (inside >= 1.0f)
                    continue;
                float grown = 0;
                for (const auto& t : taps) {
                    const int sx = x + t.dx, sy = y + t.dy;
                    if (sx < 0 || sy < 0 || sx >= width || sy >= height)
                        continue;
                    grown = std::max(grown, mask.at(sx, sy) * t.weight);
                    if (grown >= 1.0f)
                        break;
                }
                const float strength = grown * (1.0f - inside);
                if (strength == 0)
                    continue;
                // Along an edge the same strength comes again and again.
                if (strength != lastStrength) {
                    lastStrength = strength;
                    lastPixel = ringPixel(strength, accent);
                }
                piece.pixels[std::size_t(y - box.y0) * std::size_t(box.width()) + std::size_t(x - box.x0)] = lastPixel;
                any = any || lastPixel != 0;
            }
        }
        workedOut += std::uint64_t(box.width()) * std::uint64_t(box.height());
        if (any)
            pieces.push_back(std::move(piece));
    }
    s_ringPixelsWorkedOut.fetch_add(workedOut, std::memory_order_relaxed);
    return pieces;
}

// What a ring's pixels follow from: the size of its box, its reach, the accent colour and the shape's outlines in
// the box's device space.
struct RingKey {
    int width { 0 }, height { 0 };
    double radius { 0 };
    std::array<double, 4> accent {};
    // Per fill: a rectangle (0) or a path (1 + its winding rule), its antialiasing, then its element kinds; the points
    // in the box's device space.
    std::vector<std::uint8_t> kinds;
    std::vector<double> coordinates;
    bool operator==(const RingKey&) const = default;
};

RingKey ringKey(
    int width, int height, double radius, const std::array<double, 4>& accent, std::span<const gfx::CapturedFill> fills)
{
    RingKey key { width, height, radius, accent, {}, {} };
    auto add = [&](gfx::Point p) {
        key.coordinates.push_back(p.x);
        key.coordinates.push_back(p.y);
    };
    for (const auto& fill : fills) {
        key.kinds.push_back(fill.path ? std::uint8_t(1 + int(fill.path->windingRule())) : 0);
        key.kinds.push_back(fill.antialias ? 1 : 0);
        if (!fill.path) {
            const auto& r = fill.rect;
            add(fill.ctm.transformPoint({ r.minX(), r.minY() }));
            add(fill.ctm.transformPoint({ r.maxX(), r.maxY() }));
            add(fill.ctm.transformPoint({ r.minX(), r.maxY() }));
            continue;
        }
        for (auto kind : fill.path->elementKinds())
            key.kinds.push_back(std::uint8_t(kind));
        key.kinds.push_back(0xFF);
        for (const auto& p : fill.path->allPoints())
            add(fill.ctm.transformPoint(p));
    }
    return key;
}

}

// A window's ring as drawn last, whole along its band: while its shape and place in whole pixels stay, it is only
// drawn again, whatever the area drawn around it.
struct KeptFocusRing {
    RingKey key;
    std::vector<RingPiece> pieces;
};

std::uint64_t focusRingPixelsWorkedOut()
{
    return s_ringPixelsWorkedOut.load(std::memory_order_relaxed);
}

std::uint64_t focusRingMaskPixelsRasterised()
{
    return s_maskPixelsRasterised.load(std::memory_order_relaxed);
}

void drawFocusRing(View& view, gfx::GraphicsContext& context, const gfx::AffineTransform& rootCTM,
    const gfx::AffineTransform& toTarget, const std::vector<gfx::Rect>& rects, gfx::Rect clip)
{
    auto maskBounds = view.focusRingMaskBounds();
    if (maskBounds.isEmpty())
        return;
    const auto toDevice = gfx::concatenated(toTarget, rootCTM);
    const double scale = std::max(1e-6, transformedRect(rootCTM, { 0, 0, 1, 1 }).width());
    const double radius = FocusRingOutset * scale;
    auto device = transformedRect(toDevice, maskBounds);
    device = gfx::insetRect(device, -radius - 1, -radius - 1);
    const int x0 = static_cast<int>(std::floor(device.minX()));
    const int y0 = static_cast<int>(std::floor(device.minY()));
    const int width = static_cast<int>(std::ceil(device.maxX())) - x0;
    const int height = static_cast<int>(std::ceil(device.maxY())) - y0;
    if (width <= 0 || height <= 0 || long(width) * height > MaxRingPixels)
        return;

    // The pixels of the ring's box that this drawing reaches: a redraw elsewhere costs nothing more.
    const RingBox whole { 0, 0, width, height };
    gfx::BezierPath area;
    std::vector<RingBox> reached;
    for (const auto& r : rects) {
        auto piece = gfx::intersectionRect(r, clip);
        if (piece.isEmpty())
            continue;
        area.appendBezierPathWithRect(piece);
        const auto d = transformedRect(rootCTM, piece);
        const RingBox box { int(std::floor(d.minX())) - x0, height - (int(std::ceil(d.maxY())) - y0),
            int(std::ceil(d.maxX())) - x0, height - (int(std::floor(d.minY())) - y0) };
        if (auto inside = box.intersection(whole); !inside.isEmpty())
            reached.push_back(inside);
    }
    if (reached.empty())
        return;

    // The shape in the ring's box, y up.
    const auto maskCTM = gfx::concatenated(toDevice, gfx::AffineTransform::translation(-x0, -y0));
    auto capture = gfx::GraphicsContext::createForShapeCapture();
    {
        gfx::CurrentContextScope scope(capture);
        capture->setCTM(maskCTM);
        capture->setFlipped(view.isFlipped());
        view.drawFocusRingMask();
    }
    const auto accent = SystemColors::accentColor()->rgba();
    const int reach = static_cast<int>(std::ceil(radius + 0.5));

    std::vector<RingPiece> unkept;
    std::shared_ptr<KeptFocusRing> kept;
    const std::vector<RingPiece>* pieces = &unkept;
    if (auto fills = capture->capturedFills()) {
        if (fills->empty())
            return;
        // Fills of opaque colours: the outlines tell where the ring can show and whether it changed.
        auto key = ringKey(width, height, radius, accent, *fills);
        auto window = view.window();
        if (window)
            kept = window->keptFocusRing();
        if (!kept || kept->key != key) {
            const RingMask mask(width, height, [&](gfx::GraphicsContext& into) {
                for (const auto& fill : *fills) {
                    into.setCTM(fill.ctm);
                    into.setShouldAntialias(fill.antialias);
                    if (fill.path)
                        into.fillPath(*fill.path);
                    else
                        into.fillRect(fill.rect);
                }
            });
            // An edge's own pixels and their antialiasing, and the disc's reach beyond them.
            RingBand band(width, height, reach + 2);
            for (const auto& fill : *fills)
                band.addFill(fill);
            auto tiles = band.tiles();
            // A view outside a window keeps nothing: only what this drawing reaches is worked out.
            if (!window)
                std::erase_if(tiles, [&](const RingBox& tile) {
                    return std::none_of(reached.begin(), reached.end(),
                        [&](const RingBox& r) { return !r.intersection(tile).isEmpty(); });
                });
            kept = std::make_shared<KeptFocusRing>(
                KeptFocusRing { std::move(key), workOutRing(mask, width, height, radius, accent, tiles) });
            if (window)
                window->keptFocusRing() = kept;
        }
        pieces = &kept->pieces;
    } else {
        // A mask that is more than outlines of opaque colours (a stroke, an image, a translucent fill): worked out
        // anew each time, where this drawing reaches.
        const RingMask mask(width, height, [&](gfx::GraphicsContext& into) {
            into.setCTM(maskCTM);
            into.setFlipped(view.isFlipped());
            view.drawFocusRingMask();
        });
        unkept = workOutRing(mask, width, height, radius, accent, tilesMeeting(reached, width, height));
    }

    bool drawing = false;
    for (const auto& piece : *pieces) {
        if (std::none_of(
                reached.begin(), reached.end(), [&](const RingBox& r) { return !r.intersection(piece.box).isEmpty(); }))
            continue;
        if (!drawing) {
            // Over the neighbours, within the area drawn.
            drawing = true;
            context.saveGraphicsState();
            context.setCTM(rootCTM);
            context.clipToPath(area);
            context.setCTM({});
        }
        const auto& b = piece.box;
        gfx::ConstPixelBufferView image(reinterpret_cast<const std::uint8_t*>(piece.pixels.data()), b.width(),
            b.height(), std::ptrdiff_t(b.width()) * 4);
        context.drawImage(image,
            { double(x0 + b.x0), double(y0 + height - b.y1), double(b.width()), double(b.height()) }, {},
            gfx::CompositingOperation::SourceOver, 1.0);
    }
    if (drawing)
        context.restoreGraphicsState();
}

}
