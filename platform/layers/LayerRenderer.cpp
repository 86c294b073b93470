#include "platform/layers/LayerRenderer.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Shadow.h"
#include "platform/layers/Layer.h"
#include "platform/layers/detail/Compositor.h"
#include "platform/layers/detail/LayerGeometry.h"
#include "platform/layers/detail/LayerRuntime.h"
#include "platform/layers/detail/PlaneRasterCache.h"

#include <algorithm>
#include <cmath>

namespace ui {

using detail::Homography;
using detail::LayerAccess;
using detail::PixelBox;
using detail::Plane;

namespace {

// Rasters of one plane stay within this many pixels a side.
constexpr int MaximumRasterSide = 4096;

bool isVisibleColor(const gfx::ColorPtr& c)
{
    if (!c)
        return false;
    auto rgba = c->rgbaIfAvailable();
    return !rgba || (*rgba)[3] > 0;
}

gfx::ColorPtr scaledAlpha(const gfx::ColorPtr& c, double factor)
{
    return c->colorWithAlphaComponent(c->alphaComponent() * factor);
}

// What is remembered about a picture while it lives (contents are not drawn into once set).
template <typename T> struct PictureMemo {
    std::weak_ptr<gfx::BitmapImageRep> image;
    T value;
};

// Looks the picture up among the last few remembered, or remembers what make gives for it.
template <typename T, typename Make>
T rememberedFor(std::vector<PictureMemo<T>>& memo, const std::shared_ptr<gfx::BitmapImageRep>& image, Make&& make)
{
    std::erase_if(memo, [](const PictureMemo<T>& e) { return e.image.expired(); });
    for (const auto& e : memo)
        if (e.image.lock() == image)
            return e.value;
    T value = make();
    memo.push_back({ image, value });
    if (memo.size() > 64)
        memo.erase(memo.begin());
    return value;
}

// A bitmap in the drawing layout, converted (once per picture) when it has another one.
std::shared_ptr<gfx::BitmapImageRep> drawable(const std::shared_ptr<gfx::BitmapImageRep>& image)
{
    if (!image || image->pixelsWide() <= 0 || image->pixelsHigh() <= 0)
        return nullptr;
    if (image->layout() == gfx::BitmapLayout::ARGB32Premultiplied)
        return image;
    thread_local std::vector<PictureMemo<std::shared_ptr<gfx::BitmapImageRep>>> converted;
    return rememberedFor(converted, image, [&] { return image->converted(gfx::BitmapLayout::ARGB32Premultiplied); });
}

// The picture inside a margin that repeats its edges, as the compositor needs; made once per picture (contents
// are not drawn into once set).
std::shared_ptr<gfx::BitmapImageRep> padded(const std::shared_ptr<gfx::BitmapImageRep>& image)
{
    thread_local std::vector<PictureMemo<std::shared_ptr<gfx::BitmapImageRep>>> cache;
    return rememberedFor(cache, image, [&]() -> std::shared_ptr<gfx::BitmapImageRep> {
        constexpr int M = detail::SourceMargin;
        const auto source = image->pixelBuffer();
        auto copy = gfx::BitmapImageRep::create(
            source.width + 2 * M, source.height + 2 * M, gfx::BitmapLayout::ARGB32Premultiplied);
        if (!copy)
            return nullptr;
        auto target = copy->pixelBuffer();
        for (int y = 0; y < source.height; ++y)
            std::copy_n(source.row(y), source.width, target.row(y + M) + M);
        detail::extendEdges(target);
        return copy;
    });
}

// Where the contents image goes in the bounds (y up: top is maxY).
gfx::Rect gravityRect(const LayerAccess::Properties& p, const gfx::BitmapImageRep& image)
{
    const auto& b = p.bounds;
    const double scale = p.contentsScale > 0 ? p.contentsScale : 1;
    const double w = double(image.pixelsWide()) / scale, h = double(image.pixelsHigh()) / scale;
    const auto& g = p.contentsGravity;
    if (g == ContentsGravity::ResizeAspect || g == ContentsGravity::ResizeAspectFill) {
        const double sx = b.width() / w, sy = b.height() / h;
        const double s = g == ContentsGravity::ResizeAspect ? std::min(sx, sy) : std::max(sx, sy);
        return { b.midX() - w * s / 2, b.midY() - h * s / 2, w * s, h * s };
    }
    double x = b.midX() - w / 2, y = b.midY() - h / 2;
    if (g == ContentsGravity::Left || g == ContentsGravity::TopLeft || g == ContentsGravity::BottomLeft)
        x = b.minX();
    else if (g == ContentsGravity::Right || g == ContentsGravity::TopRight || g == ContentsGravity::BottomRight)
        x = b.maxX() - w;
    if (g == ContentsGravity::Top || g == ContentsGravity::TopLeft || g == ContentsGravity::TopRight)
        y = b.maxY() - h;
    else if (g == ContentsGravity::Bottom || g == ContentsGravity::BottomLeft || g == ContentsGravity::BottomRight)
        y = b.minY();
    else if (g != ContentsGravity::Center && g != ContentsGravity::Left && g != ContentsGravity::Right)
        return b; // resize, and names we do not know
    return { x, y, w, h };
}

// Image pixels (continuous, rows from the top) to the rectangle they fill in layer space.
Homography imageToRect(const gfx::BitmapImageRep& image, const gfx::Rect& r)
{
    return Homography::fromAffine(
        { r.width() / double(image.pixelsWide()), 0, 0, -r.height() / double(image.pixelsHigh()), r.minX(), r.maxY() });
}

// The largest stretch, in target pixels per layer unit, of the map over the rectangle.
double stretchOver(const Homography& h, const gfx::Rect& r)
{
    double best = 0;
    const gfx::Point probes[5]
        = { r.origin, { r.maxX(), r.minY() }, { r.maxX(), r.maxY() }, { r.minX(), r.maxY() }, { r.midX(), r.midY() } };
    for (const auto& p : probes) {
        auto a = h.transformPoint(p);
        auto bx = h.transformPoint({ p.x + 1, p.y });
        auto by = h.transformPoint({ p.x, p.y + 1 });
        if (!a || !bx || !by)
            continue;
        best = std::max({ best, std::hypot(bx->x - a->x, bx->y - a->y), std::hypot(by->x - a->x, by->y - a->y) });
    }
    return best;
}

std::optional<PixelBox> targetBox(const Homography& toTarget, const gfx::Rect& r, const gfx::PixelBufferView& target)
{
    auto box = detail::boundingBoxOfRect(toTarget, r);
    if (!box || std::isnan(box->minX()) || std::isnan(box->minY()) || std::isnan(box->width())
        || std::isnan(box->height()))
        return std::nullopt;
    // Each edge is held next to the target before it becomes a pixel index: a plane may lie billions of pixels away.
    const double w = target.width, h = target.height;
    PixelBox p { int(std::floor(std::clamp(box->minX(), -1.0, w + 1))) - 1,
        int(std::floor(std::clamp(box->minY(), -1.0, h + 1))) - 1,
        int(std::ceil(std::clamp(box->maxX(), -1.0, w + 1))) + 1,
        int(std::ceil(std::clamp(box->maxY(), -1.0, h + 1))) + 1 };
    p.x0 = std::max(p.x0, 0);
    p.y0 = std::max(p.y0, 0);
    p.x1 = std::min(p.x1, target.width);
    p.y1 = std::min(p.y1, target.height);
    if (p.isEmpty())
        return std::nullopt;
    return p;
}

gfx::BezierPath outline(const gfx::Rect& r, double radius)
{
    gfx::BezierPath path;
    radius = std::min({ radius, r.width() / 2, r.height() / 2 });
    if (radius > 0)
        path.appendBezierPathWithRoundedRect(r, radius, radius);
    else
        path.appendBezierPathWithRect(r);
    return path;
}

// The outline of a (rounded) rectangle as a polygon, for clipping planes to a masking layer seen in perspective.
std::vector<gfx::Point> outlinePolygon(const gfx::Rect& r, double radius)
{
    radius = std::min({ radius, r.width() / 2, r.height() / 2 });
    if (radius <= 0)
        return { r.origin, { r.maxX(), r.minY() }, { r.maxX(), r.maxY() }, { r.minX(), r.maxY() } };
    std::vector<gfx::Point> points;
    const gfx::Point centres[4] = { { r.maxX() - radius, r.minY() + radius }, { r.maxX() - radius, r.maxY() - radius },
        { r.minX() + radius, r.maxY() - radius }, { r.minX() + radius, r.minY() + radius } };
    for (int corner = 0; corner < 4; ++corner)
        for (int i = 0; i <= 8; ++i) {
            const double a = (corner - 1) * M_PI / 2 + i * M_PI / 16;
            points.push_back({ centres[corner].x + radius * std::cos(a), centres[corner].y + radius * std::sin(a) });
        }
    return points;
}

void drawContent(gfx::GraphicsContext& context, const LayerAccess::Properties& p,
    const std::shared_ptr<gfx::BitmapImageRep>& contents)
{
    const auto path = outline(p.bounds, p.cornerRadius);
    if (isVisibleColor(p.backgroundColor)) {
        context.setFillColor(*p.backgroundColor);
        context.fillPath(path);
    }
    if (contents) {
        context.saveGraphicsState();
        if (p.masksToBounds)
            context.clipToPath(path);
        context.drawImage(
            contents->pixelBuffer(), gravityRect(p, *contents), {}, gfx::CompositingOperation::SourceOver, 1);
        context.restoreGraphicsState();
    }
    if (p.borderWidth > 0 && isVisibleColor(p.borderColor)) {
        const double inset = p.borderWidth / 2;
        auto border = outline(gfx::insetRect(p.bounds, inset, inset), std::max(0.0, p.cornerRadius - inset));
        border.setLineWidth(p.borderWidth);
        context.setStrokeColor(*p.borderColor);
        context.strokePath(border);
    }
}

struct Raster {
    std::shared_ptr<gfx::BitmapImageRep> bitmap;
    std::shared_ptr<gfx::GraphicsContext> context;
};

// A transparent raster of the region at the scale, its user space the layer's coordinates.
Raster makeRaster(const gfx::Rect& region, double scale, int pad)
{
    const long w = long(std::ceil(region.width() * scale)) + 2 * pad;
    const long h = long(std::ceil(region.height() * scale)) + 2 * pad;
    Raster r;
    r.bitmap = gfx::BitmapImageRep::create(w, h, gfx::BitmapLayout::ARGB32Premultiplied);
    if (!r.bitmap)
        return r;
    r.context = gfx::GraphicsContext::createForBitmap(r.bitmap->pixelBuffer(), { w / scale, h / scale });
    r.context->translateCTM(pad / scale - region.minX(), pad / scale - region.minY());
    return r;
}

// What the plane's raster is drawn from; nullopt when a pattern colour makes it unfit to keep.
std::optional<detail::PlaneRasterKey> rasterKeyOf(const LayerAccess::Properties& p,
    const std::shared_ptr<gfx::BitmapImageRep>& contents, const std::array<double, 4>& tint)
{
    detail::PlaneRasterKey key;
    auto rgbaOf = [](const gfx::ColorPtr& color, bool& fits) -> std::optional<std::array<double, 4>> {
        if (!isVisibleColor(color))
            return std::nullopt;
        auto rgba = color->rgbaIfAvailable();
        fits = fits && rgba.has_value();
        return rgba;
    };
    bool fits = true;
    key.bounds = p.bounds;
    key.contents = contents.get();
    if (contents)
        key.contentsRect = gravityRect(p, *contents);
    key.background = rgbaOf(p.backgroundColor, fits);
    if (p.borderWidth > 0)
        key.border = rgbaOf(p.borderColor, fits);
    key.borderWidth = key.border ? p.borderWidth : 0;
    key.cornerRadius = p.cornerRadius;
    key.masksToBounds = p.masksToBounds;
    if (p.shadowOpacity > 0 && !p.masksToBounds) {
        key.shadowColor = rgbaOf(p.shadowColor, fits);
        if (key.shadowColor) {
            key.shadowOpacity = p.shadowOpacity;
            key.shadowRadius = p.shadowRadius;
            key.shadowOffset = p.shadowOffset;
        }
    }
    key.tint = tint;
    if (!fits)
        return std::nullopt;
    return key;
}

// The plane drawn with Cairo into a raster of the region at the scale: clips of masking ancestors mapped into its
// plane, the shadow its content casts, the content, then its tint and the margin of repeated edges.
std::optional<detail::PlaneRaster> rasterOfPlane(const Plane& plane, const LayerAccess::Properties& p,
    const std::shared_ptr<gfx::BitmapImageRep>& contents, gfx::Rect region, double scale, bool hasShadow)
{
    constexpr int Pad = detail::SourceMargin;
    // Whole raster pixels, so the outline the compositor covers ends where the raster's content does.
    region.size
        = { std::ceil(region.width() * scale - 1e-6) / scale, std::ceil(region.height() * scale - 1e-6) / scale };
    auto raster = makeRaster(region, scale, Pad);
    if (!raster.context)
        return std::nullopt;
    auto& context = *raster.context;
    {
        gfx::CurrentContextScope scope(raster.context);
        for (const auto& clip : plane.clips) {
            auto back = plane.toBase.inverted();
            if (!back)
                return std::nullopt;
            auto polygon = detail::projectedPolygon(
                concatenated(clip.toBase, *back), outlinePolygon(clip.bounds, clip.cornerRadius));
            if (polygon.size() < 3)
                return std::nullopt;
            gfx::BezierPath path;
            path.moveToPoint(polygon[0]);
            for (std::size_t i = 1; i < polygon.size(); ++i)
                path.lineToPoint(polygon[i]);
            path.closePath();
            context.clipToPath(path);
        }
        if (hasShadow) {
            // The content as one picture, so overlapping parts cast one shadow.
            auto content = makeRaster(region, scale, Pad);
            if (!content.context)
                return std::nullopt;
            {
                gfx::CurrentContextScope inner(content.context);
                drawContent(*content.context, p, contents);
            }
            content.context->flush();
            gfx::Shadow shadow;
            shadow.setShadowColor(scaledAlpha(p.shadowColor, p.shadowOpacity));
            shadow.setShadowOffset(p.shadowOffset);
            shadow.setShadowBlurRadius(p.shadowRadius);
            context.saveGraphicsState();
            context.setCTM({});
            context.setShadow(shadow);
            const auto pixels = content.bitmap->pixelBuffer();
            context.drawImage(pixels, { 0, 0, double(pixels.width), double(pixels.height) }, {},
                gfx::CompositingOperation::SourceOver, 1);
            context.restoreGraphicsState();
        } else {
            drawContent(context, p, contents);
        }
    }
    context.flush();
    const auto pixels = raster.bitmap->pixelBuffer();
    if (plane.color != std::array<double, 4> { 1, 1, 1, 1 })
        detail::multiplyPixels(pixels, plane.color);
    detail::extendEdges(pixels);
    return detail::PlaneRaster { raster.bitmap, region, scale };
}

// Draws the plane under what the planes in front of it put in the target.
void drawPlane(const Plane& plane, gfx::PixelBufferView target, bool targetIsFlipped)
{
    const Layer& layer = *plane.layer;
    const auto& p = LayerAccess::properties(layer);
    if (plane.opacity <= 0 || p.bounds.isEmpty())
        return;
    if (!p.doubleSided && !detail::facesViewer(plane.toBase, p.bounds, targetIsFlipped))
        return;
    auto contents = drawable(p.contents);
    const bool hasBackground = isVisibleColor(p.backgroundColor);
    const bool hasBorder = p.borderWidth > 0 && isVisibleColor(p.borderColor);
    if (!contents && !hasBackground && !hasBorder)
        return;
    const bool hasShadow = p.shadowOpacity > 0 && isVisibleColor(p.shadowColor) && !p.masksToBounds;

    // A plain background is filled in the target directly.
    if (!contents && !hasBorder && !hasShadow && plane.clips.empty()) {
        auto rgba = p.backgroundColor->rgbaIfAvailable();
        if (rgba) {
            for (int i = 0; i < 4; ++i)
                (*rgba)[i] *= plane.color[i];
            (*rgba)[3] *= plane.opacity;
            if (auto box = targetBox(plane.toBase, p.bounds, target)) {
                const auto outline = detail::projectedPolygon(plane.toBase, outlinePolygon(p.bounds, p.cornerRadius));
                detail::compositeSolid(*rgba, outline, target, *box);
            }
            return;
        }
    }

    // Contents alone go straight from the image's pixels to the target (a replicator's copy tinted on the way).
    if (contents && !hasBackground && !hasBorder && !hasShadow && plane.clips.empty()) {
        const auto rect = gravityRect(p, *contents);
        const bool unclipped = !p.masksToBounds
            || (p.cornerRadius <= 0 && gfx::nearlyEqual(gfx::intersectionRect(rect, p.bounds), rect, 1e-9));
        auto source = unclipped ? padded(contents) : nullptr;
        if (source) {
            if (auto box = targetBox(plane.toBase, rect, target)) {
                constexpr int M = detail::SourceMargin;
                const auto shift = Homography::fromAffine(gfx::AffineTransform::translation(-M, -M));
                const auto toTarget = concatenated(concatenated(shift, imageToRect(*contents, rect)), plane.toBase);
                detail::compositeProjective(source->pixelBuffer(),
                    { double(M), double(M), double(contents->pixelsWide()), double(contents->pixelsHigh()) }, toTarget,
                    plane.opacity, target, *box, plane.color);
            }
            return;
        }
    }

    gfx::Rect region = p.bounds;
    if (contents && !p.masksToBounds)
        region = gfx::unionRect(region, gravityRect(p, *contents));
    if (hasShadow) {
        const double spread = p.shadowRadius * 2 + 1;
        auto shadowRect
            = gfx::offsetRect(gfx::insetRect(region, -spread, -spread), p.shadowOffset.width, p.shadowOffset.height);
        region = gfx::unionRect(region, shadowRect);
    }
    auto box = targetBox(plane.toBase, region, target);
    if (!box)
        return;
    const gfx::Rect whole = region;
    // Only the part of the region that reaches the target needs pixels.
    if (auto back = plane.toBase.inverted()) {
        const gfx::Rect shown(box->x0, box->y0, box->x1 - box->x0, box->y1 - box->y0);
        bool inFront = true;
        for (const auto& corner : { shown.origin, gfx::Point { shown.maxX(), shown.minY() },
                 gfx::Point { shown.maxX(), shown.maxY() }, gfx::Point { shown.minX(), shown.maxY() } })
            inFront = inFront && back->transformHomogeneous(corner)[2] > 0;
        if (inFront)
            if (auto part = detail::boundingBoxOfRect(*back, shown))
                region = gfx::intersectionRect(region, gfx::insetRect(*part, -2, -2));
    }
    if (region.isEmpty())
        return;
    double scale = std::clamp(stretchOver(plane.toBase, region), 1.0 / 16, 8.0);
    scale = std::min({ scale, (MaximumRasterSide - 4) / region.width(), (MaximumRasterSide - 4) / region.height() });

    // A plane without clips is drawn whole and kept, while what it is drawn from stays the same: moving, turning
    // and fading it again only composites it. Its scale is rounded up to a quarter octave, so a plane growing by a
    // little keeps its raster.
    auto key = plane.clips.empty() ? rasterKeyOf(p, contents, plane.color) : std::nullopt;
    auto model = key ? LayerAccess::modelOf(layer) : nullptr;
    if (!model && key && !layer.isPresentation())
        model = std::static_pointer_cast<Layer>(const_cast<Layer&>(layer).shared_from_this());
    auto& cache = detail::PlaneRasterCache::forThread();
    const detail::PlaneRaster* kept = model ? cache.find(*model, *key, scale) : nullptr;
    std::optional<detail::PlaneRaster> made;
    if (!kept) {
        const double rounded = std::exp2(std::ceil(std::log2(scale) * 4) / 4);
        const bool keep = model && whole.width() * rounded <= MaximumRasterSide - 4
            && whole.height() * rounded <= MaximumRasterSide - 4
            && whole.width() * whole.height() * rounded * rounded <= 4.0 * 1024 * 1024;
        made = rasterOfPlane(plane, p, contents, keep ? whole : region, keep ? rounded : scale, hasShadow);
        if (!made)
            return;
        if (keep) {
            cache.insert(model, *key, *made, contents);
            kept = cache.find(*model, *key, scale);
        }
    }
    const detail::PlaneRaster& raster = kept ? *kept : *made;
    constexpr int Pad = detail::SourceMargin;
    const auto pixels = raster.pixels->pixelBuffer();
    // Raster pixels (rows from the top) to layer coordinates.
    const Homography rasterToLayer
        = Homography::fromAffine({ 1 / raster.scale, 0, 0, -1 / raster.scale, raster.region.minX() - Pad / raster.scale,
            raster.region.minY() - Pad / raster.scale + pixels.height / raster.scale });
    detail::compositeProjective(pixels,
        { double(Pad), double(Pad), double(pixels.width - 2 * Pad), double(pixels.height - 2 * Pad) },
        concatenated(rasterToLayer, plane.toBase), plane.opacity, target, *box);
}

// Lays out a shown layer that needs it, then its shown sublayers: hidden ones wait until they are shown (or until
// someone lays them out), so a tree that hides most of its layers is walked only where it shows.
void layoutShownLayers(Layer& layer)
{
    LayerAccess::layoutSelfIfNeeded(layer);
    std::vector<std::shared_ptr<Layer>> subs;
    {
        auto lock = detail::lockLayers();
        for (const auto& sub : LayerAccess::sublayers(layer))
            if (!LayerAccess::properties(*sub).hidden)
                subs.push_back(sub);
    }
    for (const auto& sub : subs)
        layoutShownLayers(*sub);
}

// Lays out and draws what the shown part of the model needs before it is shown.
void prepareModel(Layer& layer)
{
    // Nothing anywhere waits for layout or drawing (a frame of running animations): no tree needs the walk.
    if (detail::pendingModelWork().load() == 0)
        return;
    layoutShownLayers(layer);
    std::vector<std::shared_ptr<Layer>> pending { std::static_pointer_cast<Layer>(layer.shared_from_this()) };
    while (!pending.empty()) {
        auto l = std::move(pending.back());
        pending.pop_back();
        l->displayIfNeeded();
        auto lock = detail::lockLayers();
        for (const auto& sub : LayerAccess::sublayers(*l))
            if (!LayerAccess::properties(*sub).hidden)
                pending.push_back(sub);
        for (const auto& departure : LayerAccess::departures(*l))
            pending.push_back(departure->layer);
    }
}

// Shown presentation copies whose animating keys change their drawing draw again for this frame.
void redisplayAnimated(Layer& layer)
{
    for (const auto& key : LayerAccess::animatingKeys(layer))
        if (layer.needsDisplayForKey(key)) {
            layer.display();
            break;
        }
    for (const auto& sub : LayerAccess::sublayers(layer))
        if (!LayerAccess::properties(*sub).hidden)
            redisplayAnimated(*sub);
}

void renderInto(Layer& root, gfx::PixelBufferView target, const gfx::AffineTransform& superToTarget)
{
    {
        auto lock = detail::lockLayers();
        LayerAccess::treeIsDrawn(root);
    }
    prepareModel(root);
    auto presentation = root.presentationLayer();
    if (!presentation)
        return;
    redisplayAnimated(*presentation);
    std::vector<Plane> planes;
    {
        auto lock = detail::lockLayers();
        planes = detail::collectPlanes(*presentation, Homography::fromAffine(superToTarget));
    }
    // Front to back, each plane under what is in front of it: where the planes in front have covered a pixel
    // wholly, nothing behind is sampled.
    for (auto plane = planes.rbegin(); plane != planes.rend(); ++plane)
        drawPlane(*plane, target, true);
}

}

void renderLayerTree(Layer& root, gfx::GraphicsContext& context)
{
    const auto ctm = context.CTM();
    const auto clip = context.clipBoundingBox();
    auto device = detail::boundingBoxOfRect(Homography::fromAffine(ctm), clip);
    if (!device)
        return;
    const auto size = context.pointSize();
    const auto perPoint = context.pixelsPerPoint();
    *device = gfx::intersectionRect(*device, { 0, 0, size.width * perPoint.width, size.height * perPoint.height });
    if (device->isEmpty())
        return;
    const double x0 = std::floor(device->minX()), y0 = std::floor(device->minY());
    const double x1 = std::ceil(device->maxX()), y1 = std::ceil(device->maxY());
    // Documents have no pixels of their own: their device units are points, drawn at twice that.
    const double oversample = context.pixelBuffer() ? 1 : 2;
    auto buffer = gfx::BitmapImageRep::create(
        long((x1 - x0) * oversample), long((y1 - y0) * oversample), gfx::BitmapLayout::ARGB32Premultiplied);
    if (!buffer)
        return;
    const gfx::AffineTransform deviceToBuffer { oversample, 0, 0, -oversample, -x0 * oversample, y1 * oversample };
    renderInto(root, buffer->pixelBuffer(), gfx::concatenated(ctm, deviceToBuffer));
    context.saveGraphicsState();
    context.setCTM({});
    context.drawImage(
        buffer->pixelBuffer(), { x0, y0, x1 - x0, y1 - y0 }, {}, gfx::CompositingOperation::SourceOver, 1);
    context.restoreGraphicsState();
}

std::shared_ptr<gfx::BitmapImageRep> renderLayerTreeToBitmap(Layer& root, gfx::Rect area, double scale)
{
    const long w = long(std::ceil(area.width() * scale)), h = long(std::ceil(area.height() * scale));
    auto bitmap = gfx::BitmapImageRep::create(w, h, gfx::BitmapLayout::ARGB32Premultiplied);
    if (!bitmap)
        return nullptr;
    bitmap->setSize(area.size);
    const gfx::AffineTransform toBitmap { scale, 0, 0, -scale, -area.minX() * scale, area.maxY() * scale };
    renderInto(root, bitmap->pixelBuffer(), toBitmap);
    return bitmap;
}

}
