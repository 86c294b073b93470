#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PixelBuffer.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/ViewDrawing.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ui {

namespace {

void windowDisplayForgetDirtyRects(View& view)
{
    if (view.isHidden())
        return;
    view.setNeedsDisplay(false);
    for (const auto& sub : view.subviews())
        windowDisplayForgetDirtyRects(*sub);
}

}

void Window::setViewsNeedLayout(bool flag)
{
    m_viewsNeedLayout = flag;
    if (flag)
        scheduleDisplayPass();
}

void Window::layoutIfNeeded()
{
    auto self = shared_from_this();
    // Each root settles its own tree; a second round serves what the toolbar's layout asked of the content or the
    // other way round. (A tree that does not settle gives up on its own, so this ends.)
    for (int round = 0; m_viewsNeedLayout && round < 2; ++round) {
        m_viewsNeedLayout = false;
        // Also a hidden toolbar: it is laid out when it is shown again.
        for (const auto& view : { m_contentView, m_toolbarView }) {
            if (view)
                view->layoutSubtreeIfNeeded();
        }
    }
}

void Window::setViewsNeedDisplay(bool flag)
{
    m_viewsNeedDisplay = flag;
    if (flag)
        scheduleDisplayPass();
}

void Window::scheduleDisplayPass()
{
    if (m_displayScheduled)
        return;
    m_displayScheduled = true;
    std::weak_ptr<Window> weak = std::static_pointer_cast<Window>(shared_from_this());
    // Like the platform, lay out before the run loop next waits: after the timers and posted work of this pass, so
    // that everything they changed is in place together, and ask for the frame that draws it.
    fnd::RunLoop::main().performBeforeWaiting(
        [weak] {
            if (auto w = weak.lock()) {
                w->m_displayScheduled = false;
                if (w->m_visible)
                    w->runDisplayPass();
            }
        },
        0, { fnd::RunLoopMode::Common });
}

void Window::runDisplayPass()
{
    if (!m_contentView)
        return;
    // Layout is never held: what a pass changed is in place before the run loop waits.
    layoutIfNeeded();
    if (!m_viewsNeedDisplay)
        return;
    // Every request until the frame begins is one frame: what changes meanwhile (a picture from a worker, the next
    // step of an animation) is drawn with the rest, in one composite.
    if (!Backend::current().requestFrame(*this))
        requestVirtualFrame();
}

void Window::requestVirtualFrame()
{
    const auto now = fnd::Clock::current()->now();
    const double interval = Backend::current().refreshInterval(*this);
    // A window that drew within the last interval (a frame, or a display called by hand) waits for the next
    // frame; after a quiet spell the frame begins at once, so a keystroke shows before the run loop waits. A draw
    // dated after now was taken on a clock replaced since (tests install their own): it holds nothing.
    if (m_lastDrawDate && *m_lastDrawDate <= now) {
        const auto due = m_lastDrawDate->addingTimeInterval(interval);
        if (due > now) {
            if (m_nextFrameTimer && m_nextFrameTimer->isValid() && m_nextFrameTimer->fireDate() <= due)
                return;
            if (m_nextFrameTimer)
                m_nextFrameTimer->invalidate();
            std::weak_ptr<Window> weak = std::static_pointer_cast<Window>(shared_from_this());
            // The frame begins in the pass its timer fires in, before the loop waits, with what the rest of that
            // pass changed.
            m_nextFrameTimer = fnd::Timer::create(due, 0, false, [weak](fnd::Timer&) {
                if (auto w = weak.lock()) {
                    w->m_nextFrameTimer.reset();
                    w->scheduleDisplayPass();
                }
            });
            fnd::RunLoop::main().addTimer(m_nextFrameTimer, fnd::RunLoopMode::Common);
            return;
        }
    }
    if (m_nextFrameTimer) {
        m_nextFrameTimer->invalidate();
        m_nextFrameTimer.reset();
    }
    displayFrame();
}

void Window::displayFrame()
{
    if (!m_visible || !m_contentView)
        return;
    layoutIfNeeded();
    displayIfNeeded();
}

void Window::display()
{
    if (!m_contentView)
        return;
    layoutIfNeeded();
    // Everything shown is drawn now: no view shown needs drawing after it (marks made while it draws stay).
    for (const auto& root : rootViews())
        windowDisplayForgetDirtyRects(*root);
    auto content = contentRectForFrameRect(m_frame);
    auto in = Backend::current().frameInsets(m_styleMask);
    displayRegion({ { in.left, in.bottom, content.width(), content.height() + m_toolbarHeight } });
    m_viewsNeedDisplay = false;
}

void Window::displayIfNeeded()
{
    if (!m_contentView)
        return;
    layoutIfNeeded();
    if (!m_viewsNeedDisplay)
        return;
    m_viewsNeedDisplay = false;
    // A tint that changed (its alpha, as it fades) is laid over the drawing again; nothing beneath it is drawn.
    std::vector<gfx::Rect> redraw, retint;
    for (const auto& overlay : contentOverlays())
        takeDirtyRects(*overlay, retint);
    takeDirtyRects(*m_contentView, redraw);
    if (m_toolbarView)
        takeDirtyRects(*m_toolbarView, redraw);
    if (!redraw.empty() || !retint.empty())
        compositeRegion(redraw, retint);
}

void Window::displayRegion(const std::vector<gfx::Rect>& dirtyRects)
{
    compositeRegion(dirtyRects, {});
}

std::vector<std::shared_ptr<View>> Window::contentOverlays() const
{
    std::vector<std::shared_ptr<View>> overlays;
    if (!m_contentView || m_contentView->isHidden() || m_contentView->alphaValue() < 1)
        return overlays;
    const auto& subviews = m_contentView->subviews();
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) {
        const auto& view = *it;
        if (view->isHidden())
            continue;
        // A tint the window lays over its drawing: a colour over an upright rectangle, nothing else to draw.
        auto color = view->overlayTintColor();
        const auto toBase = view->transformToBase();
        if (!color || !color->rgbaIfAvailable() || !view->subviews().empty() || toBase.m12 != 0 || toBase.m21 != 0)
            break;
        overlays.push_back(view);
    }
    std::reverse(overlays.begin(), overlays.end());
    return overlays;
}

namespace {

// Device pixels [x0, x1) × [y0, y1), rows from the top.
struct WindowDisplayBox {
    int x0 { 0 }, y0 { 0 }, x1 { 0 }, y1 { 0 };
    bool isEmpty() const { return x1 <= x0 || y1 <= y0; }
    bool operator==(const WindowDisplayBox&) const = default;
};

struct WindowDisplayTint {
    WindowDisplayBox box;
    std::uint32_t color; // premultiplied
    std::uint32_t remaining; // 255 − its alpha: what shows through
    bool operator==(const WindowDisplayTint&) const = default;
};

}

namespace detail {

// The window's drawing without the tints laid over it, pixel for pixel as the surface (none where the surface lays
// the tints itself: the surface then holds that drawing).
struct WindowUnderlay {
    // The surface the tints were worked out for.
    const gfx::WindowSurface* surface { nullptr };
    std::vector<std::uint32_t> pixels;
    int width { 0 }, height { 0 };
    std::shared_ptr<gfx::GraphicsContext> context;
    // Where the tints were laid last (window base rects); outside them the screen holds these pixels.
    std::vector<gfx::Rect> tinted;
    // The tints as laid last, in the surface's pixels.
    std::vector<WindowDisplayTint> laid;

    gfx::PixelBufferView view() { return { reinterpret_cast<std::uint8_t*>(pixels.data()), width, height, width * 4 }; }
};

}

namespace {

// x · m / 255, rounded, for each premultiplied channel (m in 0..255).
std::uint32_t windowDisplayScalePixel(std::uint32_t p, std::uint32_t m)
{
    std::uint32_t rb = (p & 0xFF00FF) * m + 0x800080;
    rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    std::uint32_t ag = ((p >> 8) & 0xFF00FF) * m + 0x800080;
    ag = ((ag + ((ag >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
    return rb | (ag << 8);
}

// Lays a premultiplied colour with `remaining` = 255 − its alpha over the pixels beneath, into out: out = colour +
// beneath · remaining / 255 (out may be beneath itself). Premultiplied, no channel can carry into the next. Four
// pixels at a time where SSE2 is there (every x86-64).
void windowDisplayTintRow(
    const std::uint32_t* beneath, std::uint32_t* out, int count, std::uint32_t color, std::uint32_t remaining)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i factor = _mm_set1_epi16(short(remaining));
    const __m128i half = _mm_set1_epi16(128);
    const __m128i tint = _mm_set1_epi32(int(color));
    auto scaled = [&](__m128i channels) {
        const __m128i t = _mm_add_epi16(_mm_mullo_epi16(channels, factor), half);
        return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
    };
    for (; x + 4 <= count; x += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(beneath + x));
        const __m128i low = scaled(_mm_unpacklo_epi8(p, zero)), high = scaled(_mm_unpackhi_epi8(p, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_add_epi8(_mm_packus_epi16(low, high), tint));
    }
#endif
    for (; x < count; ++x)
        out[x] = color + windowDisplayScalePixel(beneath[x], remaining);
}

}

void Window::compositeRegion(const std::vector<gfx::Rect>& redraw, const std::vector<gfx::Rect>& retint)
{
    auto context = graphicsContext();
    if (!context || !m_contentView || (redraw.empty() && retint.empty()))
        return;
    // Whole device pixels: an area clipped at a fraction of a pixel blends its edge pixels with what was drawn
    // before, and partial redraws would leave faint lines where a full redraw leaves none.
    const double scale = m_surfaceScale;
    auto aligned = [scale](const std::vector<gfx::Rect>& from) {
        std::vector<gfx::Rect> rects;
        rects.reserve(from.size());
        for (const auto& r : from) {
            const double minX = std::floor(r.minX() * scale) / scale, minY = std::floor(r.minY() * scale) / scale;
            const double maxX = std::ceil(r.maxX() * scale) / scale, maxY = std::ceil(r.maxY() * scale) / scale;
            rects.push_back({ minX, minY, maxX - minX, maxY - minY });
        }
        return rects;
    };
    auto self = shared_from_this();
    // A view marked while the window draws (one that animates itself from its drawRect) is drawn on the next
    // frame, so the run loop waits in between and the window system shows this one.
    m_lastDrawDate = fnd::Clock::current()->now();
    auto rects = aligned(redraw);
    const auto overlays = contentOverlays();
    auto surface = m_surface->pixels();
    const auto in = Backend::current().frameInsets(m_styleMask);
    const gfx::Size points = m_surface->pointSize();
    const gfx::Rect surfaceInBase { in.left, in.bottom, points.width, points.height };
    const bool surfaceLaysTints = m_surface->laysTints();
    if (overlays.empty()) {
        if (m_underlay) {
            // No tint is laid any more (gone, hidden, or a view now lies above it, so the tree draws it): where
            // the last ones lay is drawn again. Everywhere else the screen holds the drawing beneath already.
            rects.insert(rects.end(), m_underlay->tinted.begin(), m_underlay->tinted.end());
            if (surfaceLaysTints && m_underlay->surface == m_surface.get())
                m_surface->setTints({});
            m_underlay.reset();
        }
        drawRegion(*context, rects, nullptr);
        // Whether a tint is among what the tree draws (the window draws the content view's last ones only as tints).
        m_drawingMayHoldTints = std::any_of(m_contentView->subviews().begin(), m_contentView->subviews().end(),
            [](const auto& view) { return !view->isHidden() && view->overlayTintColor(); });
        flushWindow();
        return;
    }

    if (!m_underlay || m_underlay->surface != m_surface.get() || m_underlay->width != surface.width
        || m_underlay->height != surface.height) {
        // Made when the first tint comes: the whole window is drawn into it once (into the surface itself where
        // the surface lays the tints: what the tree drew of a tint before is gone then).
        m_underlay = std::make_shared<detail::WindowUnderlay>();
        m_underlay->surface = m_surface.get();
        m_underlay->width = surface.width;
        m_underlay->height = surface.height;
        if (!surfaceLaysTints) {
            m_underlay->pixels.assign(std::size_t(surface.width) * std::size_t(surface.height), 0);
            m_underlay->context = gfx::GraphicsContext::createForBitmap(m_underlay->view(), points);
            rects = { surfaceInBase };
        } else if (m_drawingMayHoldTints) {
            rects = { surfaceInBase };
        }
    }
    if (surfaceLaysTints)
        m_drawingMayHoldTints = false;
    std::vector<const View*> leftOut;
    for (const auto& overlay : overlays)
        leftOut.push_back(overlay.get());
    auto& beneath = surfaceLaysTints ? *context : *m_underlay->context;
    drawRegion(beneath, rects, &leftOut);
    if (!surfaceLaysTints)
        beneath.flush();

    // Base rects to device pixels of the surface, whose rows run from its top.
    const double pixelsPerPoint = points.width > 0 ? surface.width / points.width : scale;
    auto boxOf = [&](gfx::Rect r) {
        r = gfx::intersectionRect(r, surfaceInBase);
        WindowDisplayBox box { int(std::floor((r.minX() - in.left) * pixelsPerPoint)),
            int(std::floor((surfaceInBase.maxY() - r.maxY()) * pixelsPerPoint)),
            int(std::ceil((r.maxX() - in.left) * pixelsPerPoint)),
            int(std::ceil((surfaceInBase.maxY() - r.minY()) * pixelsPerPoint)) };
        box.x0 = std::clamp(box.x0, 0, surface.width);
        box.x1 = std::clamp(box.x1, 0, surface.width);
        box.y0 = std::clamp(box.y0, 0, surface.height);
        box.y1 = std::clamp(box.y1, 0, surface.height);
        return box;
    };
    std::vector<WindowDisplayTint> tints;
    std::vector<gfx::SurfaceTint> handed;
    std::vector<gfx::Rect> tinted;
    for (const auto& overlay : overlays) {
        const auto rgba = *overlay->overlayTintColor()->rgbaIfAvailable();
        const double alpha = std::clamp(rgba[3] * overlay->alphaValue(), 0.0, 1.0);
        auto level = [](double v) { return std::uint8_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
        const auto a = level(alpha);
        auto frame = gfx::intersectionRect(
            transformedRect(overlay->transformToBase(), overlay->visibleRect()), m_contentView->frame());
        tinted.push_back(frame);
        const auto box = boxOf(frame);
        tints.push_back({ box,
            gfx::packPixel(a, level(rgba[0] * alpha), level(rgba[1] * alpha), level(rgba[2] * alpha)), 255u - a });
        auto channel = [](double v) { return std::clamp(v, 0.0, 1.0); };
        handed.push_back({ box.x0, box.y0, box.x1, box.y1, channel(rgba[0]), channel(rgba[1]), channel(rgba[2]), a });
    }
    // A fade's step that leaves every tint's pixels as they were (its alpha moved less than a level) changes
    // nothing on the screen: nothing is handed over.
    if (rects.empty() && tints == m_underlay->laid)
        return;
    m_underlay->tinted = std::move(tinted);
    m_underlay->laid = tints;
    if (surfaceLaysTints) {
        m_surface->setTints(std::move(handed));
        // Only the tints changed: the pixels handed over before stay as they are.
        if (rects.empty())
            Backend::current().windowFlushed(*this);
        else
            flushWindow();
        return;
    }
    // The drawing beneath, row by row, with each tint laid over it where it lies: one pass over the pixels.
    auto retinted = aligned(retint);
    rects.insert(rects.end(), retinted.begin(), retinted.end());
    for (const auto& r : rects) {
        const auto box = boxOf(r);
        for (int y = box.y0; y < box.y1; ++y) {
            std::uint32_t* out = surface.row(y);
            const std::uint32_t* under = m_underlay->pixels.data() + std::size_t(y) * std::size_t(surface.width);
            // Straight from beneath where a tint lies (tints do not overlap: each lies on what is beneath alone,
            // else on what the one before left), copied elsewhere.
            int x = box.x0;
            for (const auto& tint : tints) {
                if (y < tint.box.y0 || y >= tint.box.y1)
                    continue;
                const int from = std::max(box.x0, tint.box.x0), to = std::min(box.x1, tint.box.x1);
                if (from >= to)
                    continue;
                if (from >= x) {
                    std::copy(under + x, under + from, out + x);
                    windowDisplayTintRow(under + from, out + from, to - from, tint.color, tint.remaining);
                    x = to;
                } else {
                    // Over part of one laid already on this row: onto what that one left.
                    if (to > x)
                        std::copy(under + x, under + to, out + x);
                    windowDisplayTintRow(out + from, out + from, to - from, tint.color, tint.remaining);
                    x = std::max(x, to);
                }
            }
            if (x < box.x1)
                std::copy(under + x, under + box.x1, out + x);
        }
    }
    flushWindow();
}

void Window::drawRegion(
    gfx::GraphicsContext& context, const std::vector<gfx::Rect>& rects, const std::vector<const View*>* leftOut)
{
    if (rects.empty())
        return;
    auto content = contentRectForFrameRect(m_frame);
    auto in = Backend::current().frameInsets(m_styleMask);
    gfx::Rect contentInBase { in.left, in.bottom, content.width(), content.height() };
    // The surface holds the toolbar's strip above the content.
    gfx::Rect surfaceInBase { in.left, in.bottom, content.width(), content.height() + m_toolbarHeight };
    gfx::CurrentContextScope scope(context.shared_from_this());
    context.saveGraphicsState();
    auto rootCTM = context.CTM();
    // The content surface starts at the content's corner; base coordinates start at the frame's.
    rootCTM = gfx::concatenated(gfx::AffineTransform::translation(-in.left, -in.bottom), rootCTM);
    context.setCTM(rootCTM);
    context.setFillColor(m_backgroundColor ? *m_backgroundColor : *gfx::Color::windowBackgroundColor());
    for (const auto& r : rects)
        context.fillRectUsingOperation(gfx::intersectionRect(r, surfaceInBase), gfx::CompositingOperation::Copy);
    context.restoreGraphicsState();
    drawViewTree(
        *m_contentView, context, rootCTM, m_contentView->transformToSuperview(), rects, contentInBase, leftOut);
    if (m_toolbarView && !m_toolbarView->isHidden())
        drawViewTree(*m_toolbarView, context, rootCTM, m_toolbarView->transformToSuperview(), rects,
            m_toolbarView->frame(), leftOut);
}

std::shared_ptr<gfx::GraphicsContext> Window::graphicsContext()
{
    if (!m_context) {
        if (auto surface = Backend::current().surfaceForWindow(*this)) {
            // A new surface holds none of the drawing yet.
            if (surface != m_surface)
                m_drawingMayHoldTints = true;
            m_surface = surface;
            m_surfaceScale = std::max(1.0, backingScaleFactor());
            m_context = gfx::GraphicsContext::createForWindow(std::move(surface));
        }
    }
    return m_context;
}

void Window::flushWindow()
{
    if (m_context)
        m_context->flush();
    Backend::current().windowFlushed(*this);
}

}
