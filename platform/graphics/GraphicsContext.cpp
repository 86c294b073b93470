#include "platform/graphics/GraphicsContext.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Shadow.h"
#include "platform/graphics/detail/GraphicsContextImpl.h"

#include <cairo-pdf.h>
#include <cairo-ps.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <system_error>

namespace gfx {

namespace {

thread_local std::shared_ptr<GraphicsContext> t_current;
thread_local std::vector<std::shared_ptr<GraphicsContext>> t_saved;

cairo_status_t appendToData(void* closure, const unsigned char* bytes, unsigned int length)
{
    static_cast<fnd::Data*>(closure)->append(bytes, length);
    return CAIRO_STATUS_SUCCESS;
}

fnd::Error drawingError(const std::string& what)
{
    return fnd::Error::make(fnd::ErrorDomain::Cocoa, 256, fnd::String(what));
}

Size pointSizeOr(Size requested, int pixelWidth, int pixelHeight)
{
    if (requested.width > 0 && requested.height > 0)
        return requested;
    return { double(pixelWidth), double(pixelHeight) };
}

}

GraphicsContext::GraphicsContext(std::unique_ptr<Impl> impl)
    : m_impl(std::move(impl))
{
}

GraphicsContext::~GraphicsContext() = default;

AffineTransform GraphicsContext::Impl::baseTransform() const
{
    AffineTransform t = AffineTransform::scaling(scaleX, scaleY);
    if (flipped) {
        t.translateBy(0, pointSize.height);
        t.scaleBy(1, -1);
    }
    return t;
}

void GraphicsContext::Impl::syncMatrix()
{
    AffineTransform toCairoDevice { 1, 0, 0, -1, 0, flipHeight };
    cairo_matrix_t m = toCairo(concatenated(state().ctm, toCairoDevice));
    // A singular matrix would put Cairo in an error state for good; keep the last usable one instead.
    if (cairo_matrix_invert(&m) != CAIRO_STATUS_SUCCESS)
        return;
    m = toCairo(concatenated(state().ctm, toCairoDevice));
    cairo_set_matrix(cr.get(), &m);
}

void GraphicsContext::Impl::resetStates()
{
    while (states.size() > 1) {
        cairo_restore(cr.get());
        states.pop_back();
    }
    if (states.empty())
        states.emplace_back();
    State fresh;
    fresh.fill = Color::blackColor();
    fresh.stroke = Color::blackColor();
    fresh.ctm = baseTransform();
    states.back() = fresh;
    cairo_reset_clip(cr.get());
    syncMatrix();
}

static std::shared_ptr<GraphicsContext> makeContext(std::unique_ptr<GraphicsContext::Impl> impl)
{
    auto& i = *impl;
    i.cr.reset(cairo_create(i.surface.get()));
    i.resetStates();
    return std::make_shared<GraphicsContext>(std::move(impl));
}

std::shared_ptr<GraphicsContext> GraphicsContext::createForBitmap(PixelBufferView pixels, Size pointSize, bool flipped)
{
    if (!pixels.isValid() || pixels.stride % 4 != 0)
        throw fnd::Exception::invalidArgument("A bitmap context needs a pixel buffer with a positive size.");
    auto impl = std::make_unique<Impl>();
    impl->target = Target::Bitmap;
    impl->flipped = flipped;
    impl->pixels = pixels;
    impl->deviceWidth = pixels.width;
    impl->deviceHeight = pixels.height;
    impl->flipHeight = pixels.height;
    impl->pointSize = pointSizeOr(pointSize, pixels.width, pixels.height);
    impl->scaleX = pixels.width / impl->pointSize.width;
    impl->scaleY = pixels.height / impl->pointSize.height;
    impl->surface.reset(cairo_image_surface_create_for_data(
        pixels.data, CAIRO_FORMAT_ARGB32, pixels.width, pixels.height, static_cast<int>(pixels.stride)));
    return makeContext(std::move(impl));
}

std::shared_ptr<GraphicsContext> GraphicsContext::createForBitmap(
    int pixelWidth, int pixelHeight, Size pointSize, bool flipped)
{
    if (pixelWidth <= 0 || pixelHeight <= 0 || pixelWidth > 32767 || pixelHeight > 32767) {
        fnd::logf(fnd::LogLevel::Warning, "A bitmap of {} by {} pixels cannot be made.", pixelWidth, pixelHeight);
        return nullptr;
    }
    int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, pixelWidth);
    std::vector<std::uint8_t> buffer(std::size_t(stride) * std::size_t(pixelHeight), 0);
    PixelBufferView view { buffer.data(), pixelWidth, pixelHeight, stride };
    auto context = createForBitmap(view, pointSize, flipped);
    context->m_impl->ownedPixels = std::move(buffer);
    return context;
}

std::shared_ptr<GraphicsContext> GraphicsContext::createForShapeCapture(bool flipped)
{
    auto impl = std::make_unique<Impl>();
    impl->target = Target::Bitmap;
    impl->flipped = flipped;
    impl->capture = std::make_unique<Impl::ShapeCapture>();
    // The state machinery wants a surface; nothing is drawn into it.
    impl->deviceWidth = impl->deviceHeight = 1;
    impl->flipHeight = 1;
    impl->pointSize = { 1, 1 };
    impl->surface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
    return makeContext(std::move(impl));
}

std::optional<std::span<const CapturedFill>> GraphicsContext::capturedFills() const
{
    if (!m_impl->capture || !m_impl->capture->fills)
        return std::nullopt;
    return std::span<const CapturedFill>(*m_impl->capture->fills);
}

void GraphicsContext::Impl::captureFill(std::shared_ptr<const BezierPath> path, const Rect& rect)
{
    if (!capture->fills)
        return;
    const State& s = state();
    const double det = s.ctm.determinant();
    // A singular transform fills nothing.
    if (det == 0 || !std::isfinite(det))
        return;
    const auto rgba = s.fill->rgbaIfAvailable();
    if (!rgba || !((*rgba)[3] >= 1) || !(s.alpha >= 1) || s.op != CompositingOperation::SourceOver || !s.masks.empty()
        || s.shadow || !s.clipBoxes || !s.clipBoxes->empty()) {
        capture->fills.reset();
        return;
    }
    capture->fills->push_back({ std::move(path), rect, s.ctm, s.antialias });
}

static bool isPageSize(Size size)
{
    return size.width > 0 && size.height > 0 && size.width < 1e6 && size.height < 1e6;
}

static std::unique_ptr<GraphicsContext::Impl> documentImpl(GraphicsContext::Target target, Size size, bool flipped)
{
    if (!isPageSize(size)) {
        fnd::logf(fnd::LogLevel::Warning, "A page of {} by {} points cannot be made.", size.width, size.height);
        return nullptr;
    }
    auto impl = std::make_unique<GraphicsContext::Impl>();
    impl->target = target;
    impl->flipped = flipped;
    impl->pointSize = size;
    impl->deviceWidth = static_cast<int>(std::ceil(size.width));
    impl->deviceHeight = static_cast<int>(std::ceil(size.height));
    impl->flipHeight = size.height;
    return impl;
}

std::shared_ptr<GraphicsContext> GraphicsContext::createForPDF(Size firstPageSize, bool flipped)
{
    auto impl = documentImpl(Target::PDF, firstPageSize, flipped);
    if (!impl)
        return nullptr;
    impl->surface.reset(
        cairo_pdf_surface_create_for_stream(appendToData, &impl->document, firstPageSize.width, firstPageSize.height));
    return makeContext(std::move(impl));
}

std::shared_ptr<GraphicsContext> GraphicsContext::createForEPS(Size pageSize, bool flipped)
{
    auto impl = documentImpl(Target::EPS, pageSize, flipped);
    if (!impl)
        return nullptr;
    impl->surface.reset(
        cairo_ps_surface_create_for_stream(appendToData, &impl->document, pageSize.width, pageSize.height));
    cairo_ps_surface_set_eps(impl->surface.get(), 1);
    return makeContext(std::move(impl));
}

std::shared_ptr<GraphicsContext> GraphicsContext::createForWindow(std::shared_ptr<WindowSurface> surface, bool flipped)
{
    if (!surface)
        throw fnd::Exception::invalidArgument("A window context needs a surface.");
    PixelBufferView pixels = surface->pixels();
    auto context = createForBitmap(pixels, surface->pointSize(), flipped);
    context->m_impl->target = Target::Window;
    context->m_impl->window = std::move(surface);
    return context;
}

GraphicsContext* GraphicsContext::current()
{
    return t_current.get();
}

std::shared_ptr<GraphicsContext> GraphicsContext::currentShared()
{
    return t_current;
}

void GraphicsContext::setCurrent(std::shared_ptr<GraphicsContext> context)
{
    t_current = std::move(context);
}

void GraphicsContext::saveCurrentGraphicsState()
{
    t_saved.push_back(t_current);
    if (t_current)
        t_current->saveGraphicsState();
}

void GraphicsContext::restoreCurrentGraphicsState()
{
    if (t_saved.empty()) {
        fnd::log(fnd::LogLevel::Warning, "restoreCurrentGraphicsState without a saved graphics state");
        return;
    }
    t_current = std::move(t_saved.back());
    t_saved.pop_back();
    if (t_current)
        t_current->restoreGraphicsState();
}

GraphicsContext::Target GraphicsContext::target() const
{
    return m_impl->target;
}
bool GraphicsContext::isFlipped() const
{
    return m_impl->flipped;
}
void GraphicsContext::setFlipped(bool flipped)
{
    m_impl->flipped = flipped;
}
Size GraphicsContext::pointSize() const
{
    return m_impl->pointSize;
}
Size GraphicsContext::pixelsPerPoint() const
{
    return { m_impl->scaleX, m_impl->scaleY };
}

void GraphicsContext::saveGraphicsState()
{
    auto& i = *m_impl;
    if (!i.isLive())
        return;
    cairo_save(i.cr.get());
    i.states.push_back(i.state());
}

void GraphicsContext::restoreGraphicsState()
{
    auto& i = *m_impl;
    if (!i.isLive())
        return;
    if (i.states.size() <= 1) {
        fnd::log(fnd::LogLevel::Warning, "restoreGraphicsState without a saved graphics state");
        return;
    }
    i.states.pop_back();
    cairo_restore(i.cr.get());
    i.syncMatrix();
}

AffineTransform GraphicsContext::CTM() const
{
    return m_impl->state().ctm;
}

void GraphicsContext::setCTM(const AffineTransform& t)
{
    m_impl->state().ctm = t;
    if (m_impl->isLive())
        m_impl->syncMatrix();
}

void GraphicsContext::concatCTM(const AffineTransform& t)
{
    setCTM(concatenated(t, CTM()));
}
void GraphicsContext::translateCTM(double x, double y)
{
    concatCTM(AffineTransform::translation(x, y));
}
void GraphicsContext::scaleCTM(double sx, double sy)
{
    concatCTM(AffineTransform::scaling(sx, sy));
}
void GraphicsContext::rotateCTM(double radians)
{
    concatCTM(AffineTransform::rotationByRadians(radians));
}

bool GraphicsContext::shouldAntialias() const
{
    return m_impl->state().antialias;
}
void GraphicsContext::setShouldAntialias(bool on)
{
    m_impl->state().antialias = on;
}
CompositingOperation GraphicsContext::compositingOperation() const
{
    return m_impl->state().op;
}
void GraphicsContext::setCompositingOperation(CompositingOperation op)
{
    m_impl->state().op = op;
}
double GraphicsContext::alpha() const
{
    return m_impl->state().alpha;
}

void GraphicsContext::setAlpha(double alpha)
{
    m_impl->state().alpha = std::isnan(alpha) ? 1.0 : std::clamp(alpha, 0.0, 1.0);
}

ImageInterpolation GraphicsContext::imageInterpolation() const
{
    return m_impl->state().interpolation;
}
void GraphicsContext::setImageInterpolation(ImageInterpolation i)
{
    m_impl->state().interpolation = i;
}
namespace {

// The colour itself when something shares it (colours are made shared), else a copy.
std::shared_ptr<const Color> sharedColor(const Color& c)
{
    if (auto shared = c.weak_from_this().lock())
        return std::static_pointer_cast<const Color>(shared);
    return std::make_shared<Color>(c);
}

}

void GraphicsContext::setFillColor(const Color& c)
{
    m_impl->state().fill = sharedColor(c);
}
void GraphicsContext::setStrokeColor(const Color& c)
{
    m_impl->state().stroke = sharedColor(c);
}

void GraphicsContext::setShadow(const Shadow& shadow)
{
    auto color = shadow.shadowColor();
    auto rgba = color ? color->rgbaIfAvailable() : std::nullopt;
    if (!rgba || (*rgba)[3] <= 0) {
        clearShadow();
        return;
    }
    m_impl->state().shadow = Impl::ShadowSpec { *rgba, shadow.shadowBlurRadius(), shadow.shadowOffset() };
}

void GraphicsContext::clearShadow()
{
    m_impl->state().shadow.reset();
}

void GraphicsContext::clipToPath(const BezierPath& path)
{
    auto& i = *m_impl;
    if (!i.isLive())
        return;
    if (i.abandonsCapture())
        return;
    cairo_t* c = i.cr.get();
    i.noteClip(path);
    appendPath(c, path);
    cairo_set_fill_rule(c, toCairo(path.windingRule()));
    cairo_set_antialias(c, i.state().antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    cairo_clip(c);
}

// The path a rectangle's BezierPath would give, without making one: text and cells clip to a rectangle each.
void GraphicsContext::clipToRect(const Rect& r)
{
    auto& i = *m_impl;
    if (!i.isLive())
        return;
    if (i.abandonsCapture())
        return;
    const Point corners[4]
        = { { r.minX(), r.minY() }, { r.maxX(), r.minY() }, { r.maxX(), r.maxY() }, { r.minX(), r.maxY() } };
    cairo_t* c = i.cr.get();
    i.noteClipRect(corners);
    cairo_new_path(c);
    cairo_move_to(c, corners[0].x, corners[0].y);
    for (int k = 1; k < 4; ++k)
        cairo_line_to(c, corners[k].x, corners[k].y);
    cairo_close_path(c);
    // One simple contour: either rule gives the same area.
    cairo_set_fill_rule(c, CAIRO_FILL_RULE_WINDING);
    cairo_set_antialias(c, i.state().antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    cairo_clip(c);
}

Rect GraphicsContext::clipBoundingBox() const
{
    auto& i = *m_impl;
    if (!i.isLive())
        return ZeroRect;
    double x1, y1, x2, y2;
    cairo_clip_extents(i.cr.get(), &x1, &y1, &x2, &y2);
    return standardizedRect({ x1, y1, x2 - x1, y2 - y1 });
}

void GraphicsContext::fillPath(const BezierPath& path)
{
    auto& i = *m_impl;
    if (!i.isLive() || path.isEmpty())
        return;
    if (i.capture) {
        i.captureFill(std::make_shared<const BezierPath>(path), {});
        return;
    }
    const auto fill = i.state().fill;
    const Color& color = *fill;
    if (i.fillRectanglesDirectly(path, color))
        return;
    i.render([&](cairo_t* c, cairo_operator_t op) {
        i.setSource(c, color);
        cairo_set_operator(c, op);
        appendPath(c, path);
        cairo_set_fill_rule(c, toCairo(path.windingRule()));
        if (isUnbounded(op)) {
            // The platform changes only what the shape covers.
            cairo_save(c);
            cairo_clip(c);
            cairo_paint(c);
            cairo_restore(c);
        } else {
            cairo_fill(c);
        }
    });
}

void GraphicsContext::Impl::applyStrokeAttributes(cairo_t* c, const BezierPath& path, double deviceScale)
{
    cairo_set_line_cap(c, toCairo(path.lineCapStyle()));
    cairo_set_line_join(c, toCairo(path.lineJoinStyle()));
    cairo_set_miter_limit(c, path.miterLimit());
    const auto& dash = path.lineDash();
    if (path.lineWidth() > 0) {
        cairo_set_line_width(c, path.lineWidth());
        cairo_set_dash(c, dash.data(), static_cast<int>(dash.size()), path.lineDashPhase());
        return;
    }
    // The thinnest line: one device pixel, whatever the transform. Dashes keep their user-space length as well as
    // a device-space pen allows.
    cairo_matrix_t m;
    cairo_get_matrix(c, &m);
    double userToDevice = std::sqrt(std::fabs(m.xx * m.yy - m.xy * m.yx));
    std::vector<double> deviceDash(dash);
    for (double& d : deviceDash)
        d *= userToDevice;
    cairo_identity_matrix(c);
    cairo_set_line_width(c, deviceScale);
    cairo_set_dash(c, deviceDash.data(), static_cast<int>(deviceDash.size()), path.lineDashPhase() * userToDevice);
}

void GraphicsContext::strokePath(const BezierPath& path)
{
    auto& i = *m_impl;
    if (!i.isLive() || path.isEmpty())
        return;
    if (i.abandonsCapture())
        return;
    const auto stroke = i.state().stroke;
    const Color& color = *stroke;
    i.render([&](cairo_t* c, cairo_operator_t op) {
        cairo_save(c);
        i.setSource(c, color);
        cairo_set_operator(c, op);
        appendPath(c, path);
        // Mask surfaces for shadows may be drawn at a finer scale than the device.
        cairo_matrix_t m;
        cairo_get_matrix(c, &m);
        cairo_matrix_t target;
        cairo_get_matrix(i.cr.get(), &target);
        double ratio = std::sqrt(std::fabs(m.xx * m.yy - m.xy * m.yx))
            / std::max(1e-12, std::sqrt(std::fabs(target.xx * target.yy - target.xy * target.yx)));
        i.applyStrokeAttributes(c, path, c == i.cr.get() ? 1.0 : ratio);
        cairo_stroke(c);
        cairo_restore(c);
    });
}

void GraphicsContext::fillRect(const Rect& r)
{
    auto& i = *m_impl;
    if (!i.isLive())
        return;
    if (i.capture) {
        i.captureFill(nullptr, r);
        return;
    }
    // Views fill their backgrounds and cells one rectangle at a time: most become pixels without a path.
    if (i.fillRectDirectly(r, *i.state().fill))
        return;
    BezierPath path;
    path.appendBezierPathWithRect(r);
    fillPath(path);
}

void GraphicsContext::fillRectUsingOperation(const Rect& r, CompositingOperation op)
{
    saveGraphicsState();
    setCompositingOperation(op);
    fillRect(r);
    restoreGraphicsState();
}

void GraphicsContext::drawImage(ConstPixelBufferView image, const Rect& destination, const Rect& source,
    CompositingOperation op, double fraction, bool imageFlipped)
{
    auto& i = *m_impl;
    if (!i.isLive() || !image.isValid() || image.stride % 4 != 0 || destination.isEmpty() || !(fraction > 0))
        return;
    if (i.abandonsCapture())
        return;
    Rect src = source.isEmpty() ? Rect { 0, 0, double(image.width), double(image.height) } : source;
    CairoSurfacePtr surface(cairo_image_surface_create_for_data(const_cast<unsigned char*>(image.data),
        CAIRO_FORMAT_ARGB32, image.width, image.height, static_cast<int>(image.stride)));
    CairoPatternPtr pattern(cairo_pattern_create_for_surface(surface.get()));
    // User space to image pixels (x right, rows down from the top).
    double kx = src.width() / destination.width();
    double ky = src.height() / destination.height();
    AffineTransform toImage = AffineTransform::translation(-destination.minX(), -destination.minY());
    toImage.appendTransform(AffineTransform::scaling(kx, ky));
    toImage.appendTransform(AffineTransform::translation(src.minX(), src.minY()));
    if (!imageFlipped)
        toImage.appendTransform({ 1, 0, 0, -1, 0, double(image.height) });
    cairo_matrix_t m = toCairo(toImage);
    cairo_pattern_set_matrix(pattern.get(), &m);
    cairo_pattern_set_filter(pattern.get(), toCairo(i.state().interpolation));
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
    double alpha = std::min(fraction, 1.0);

    auto previous = i.state().op;
    i.state().op = op;
    i.render([&](cairo_t* c, cairo_operator_t cop) {
        cairo_save(c);
        cairo_set_source(c, pattern.get());
        cairo_set_operator(c, cop);
        cairo_new_path(c);
        cairo_rectangle(c, destination.minX(), destination.minY(), destination.width(), destination.height());
        cairo_set_antialias(c, i.state().antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
        cairo_clip(c);
        cairo_paint_with_alpha(c, alpha);
        cairo_restore(c);
    });
    i.state().op = previous;
    cairo_surface_finish(surface.get());
}

static void addStops(cairo_pattern_t* pattern, std::span<const GradientStop> stops)
{
    for (const auto& s : stops)
        cairo_pattern_add_color_stop_rgba(
            pattern, std::clamp(s.location, 0.0, 1.0), s.rgba[0], s.rgba[1], s.rgba[2], s.rgba[3]);
}

// Paints the pattern over the clip; an end that does not extend is cut off by a half-plane through its point.
static void paintGradient(GraphicsContext::Impl& i, CairoPatternPtr pattern, Point start, Point end, unsigned options)
{
    bool before = options & GradientDrawsBeforeStartingLocation;
    bool after = options & GradientDrawsAfterEndingLocation;
    cairo_pattern_set_extend(pattern.get(), before || after ? CAIRO_EXTEND_PAD : CAIRO_EXTEND_NONE);
    i.render([&](cairo_t* c, cairo_operator_t op) {
        cairo_save(c);
        cairo_set_source(c, pattern.get());
        cairo_set_operator(c, op);
        double dx = end.x - start.x, dy = end.y - start.y;
        double len = std::hypot(dx, dy);
        if ((before != after) && len > 0) {
            // A band from the open end's line out to far beyond the other end.
            double ux = dx / len, uy = dy / len;
            double far = 1e7;
            Point a = before ? Point { end.x - ux * far, end.y - uy * far } : start;
            Point b = before ? end : Point { start.x + ux * far, start.y + uy * far };
            cairo_new_path(c);
            cairo_move_to(c, a.x - uy * far, a.y + ux * far);
            cairo_line_to(c, b.x - uy * far, b.y + ux * far);
            cairo_line_to(c, b.x + uy * far, b.y - ux * far);
            cairo_line_to(c, a.x + uy * far, a.y - ux * far);
            cairo_close_path(c);
            cairo_clip(c);
        }
        cairo_paint(c);
        cairo_restore(c);
    });
}

void GraphicsContext::drawLinearGradient(std::span<const GradientStop> stops, Point start, Point end, unsigned options)
{
    auto& i = *m_impl;
    if (!i.isLive() || stops.empty())
        return;
    if (i.abandonsCapture())
        return;
    CairoPatternPtr pattern(cairo_pattern_create_linear(start.x, start.y, end.x, end.y));
    addStops(pattern.get(), stops);
    paintGradient(i, std::move(pattern), start, end, options);
}

void GraphicsContext::drawRadialGradient(std::span<const GradientStop> stops, Point startCenter, double startRadius,
    Point endCenter, double endRadius, unsigned options)
{
    auto& i = *m_impl;
    if (!i.isLive() || stops.empty())
        return;
    if (i.abandonsCapture())
        return;
    CairoPatternPtr pattern(cairo_pattern_create_radial(
        startCenter.x, startCenter.y, std::max(0.0, startRadius), endCenter.x, endCenter.y, std::max(0.0, endRadius)));
    addStops(pattern.get(), stops);
    bool before = options & GradientDrawsBeforeStartingLocation;
    bool after = options & GradientDrawsAfterEndingLocation;
    // Cairo extends both ends or neither; a radial end that does not extend is cut by its circle instead.
    cairo_pattern_set_extend(pattern.get(), before || after ? CAIRO_EXTEND_PAD : CAIRO_EXTEND_NONE);
    i.render([&](cairo_t* c, cairo_operator_t op) {
        cairo_save(c);
        cairo_set_source(c, pattern.get());
        cairo_set_operator(c, op);
        if (before && !after) {
            cairo_new_path(c);
            cairo_arc(c, endCenter.x, endCenter.y, std::max(0.0, endRadius), 0, 2 * M_PI);
            cairo_clip(c);
        } else if (after && !before) {
            cairo_new_path(c);
            cairo_rectangle(c, -1e7, -1e7, 2e7, 2e7);
            cairo_arc_negative(c, startCenter.x, startCenter.y, std::max(0.0, startRadius), 0, -2 * M_PI);
            cairo_set_fill_rule(c, CAIRO_FILL_RULE_EVEN_ODD);
            cairo_clip(c);
        }
        cairo_paint(c);
        cairo_restore(c);
    });
}

void GraphicsContext::flush()
{
    auto& i = *m_impl;
    if (!i.surface)
        return;
    cairo_surface_flush(i.surface.get());
    if (i.window)
        i.window->pixelsChanged();
}

std::optional<PixelBufferView> GraphicsContext::pixelBuffer()
{
    if (!m_impl->hasPixels())
        return std::nullopt;
    flush();
    return m_impl->pixels;
}

void GraphicsContext::beginPage(Size pageSize)
{
    auto& i = *m_impl;
    if (i.target != Target::PDF || !i.isLive())
        return;
    if (!isPageSize(pageSize)) {
        fnd::logf(fnd::LogLevel::Warning, "A page of {} by {} points cannot be made.", pageSize.width, pageSize.height);
        return;
    }
    cairo_show_page(i.cr.get());
    cairo_pdf_surface_set_size(i.surface.get(), pageSize.width, pageSize.height);
    i.pointSize = pageSize;
    i.deviceWidth = static_cast<int>(std::ceil(pageSize.width));
    i.deviceHeight = static_cast<int>(std::ceil(pageSize.height));
    i.flipHeight = pageSize.height;
    i.resetStates();
}

// Cairo writes the ink extents as the EPS bounding box; the page is what the caller asked for.
static void rewriteBoundingBox(fnd::Data& eps, Size size)
{
    std::string text(eps.view());
    auto replaceLine = [&](const std::string& key, const std::string& value) {
        auto at = text.find(key);
        if (at == std::string::npos || at > 4096)
            return;
        auto end = text.find('\n', at);
        text.replace(at, end - at, key + value);
    };
    replaceLine("%%BoundingBox:",
        fmt::format(" 0 0 {} {}", static_cast<long>(std::ceil(size.width)), static_cast<long>(std::ceil(size.height))));
    replaceLine("%%HiResBoundingBox:", fmt::format(" 0 0 {:.6f} {:.6f}", size.width, size.height));
    replaceLine("%%PageBoundingBox:",
        fmt::format(" 0 0 {} {}", static_cast<long>(std::ceil(size.width)), static_cast<long>(std::ceil(size.height))));
    eps = fnd::Data::fromString(text);
}

fnd::Expected<fnd::Data> GraphicsContext::finishDocument()
{
    auto& i = *m_impl;
    if (i.target != Target::PDF && i.target != Target::EPS)
        return std::unexpected(drawingError("Only PDF and EPS contexts make documents."));
    if (!i.finished) {
        while (i.states.size() > 1)
            restoreGraphicsState();
        i.cr.reset();
        cairo_surface_finish(i.surface.get());
        i.finished = true;
        cairo_status_t status = cairo_surface_status(i.surface.get());
        if (status != CAIRO_STATUS_SUCCESS)
            return std::unexpected(
                drawingError(fmt::format("The document could not be written: {}.", cairo_status_to_string(status))));
        if (i.target == Target::EPS)
            rewriteBoundingBox(i.document, i.pointSize);
    }
    return i.document;
}

fnd::Expected<void> GraphicsContext::writeDocumentToFile(const std::filesystem::path& path)
{
    auto data = finishDocument();
    if (!data)
        return std::unexpected(data.error());
    return fnd::FileManager::defaultManager().writeAtomically(fnd::String(path.string()), *data);
}

}
