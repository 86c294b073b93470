#include "platform/ui/views/View.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/views/ViewDrawing.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/FocusRing.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

// Beyond this many separate rects a view keeps their union instead: drawing a little more is cheaper than
// clipping to many pieces.
constexpr std::size_t MaxDirtyRects = 8;

gfx::Rect boundingRect(const std::vector<gfx::Rect>& rects)
{
    gfx::Rect all;
    for (const auto& r : rects)
        all = all.isEmpty() ? r : gfx::unionRect(all, r);
    return all;
}

// The context a view is focused on outside a display pass.
struct Focus {
    std::shared_ptr<gfx::GraphicsContext> context;
    bool wasFlipped;
};
std::vector<Focus>& focusStack()
{
    // Never destroyed: objects a program keeps alive past main still reach it while they are destroyed.
    static auto& stack = *new std::vector<Focus>;
    return stack;
}

}

gfx::Rect transformedRect(const gfx::AffineTransform& t, gfx::Rect r)
{
    gfx::Point corners[4] = { t.transformPoint(r.origin), t.transformPoint({ r.maxX(), r.minY() }),
        t.transformPoint({ r.minX(), r.maxY() }), t.transformPoint({ r.maxX(), r.maxY() }) };
    double minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
    for (const auto& c : corners) {
        minX = std::min(minX, c.x);
        maxX = std::max(maxX, c.x);
        minY = std::min(minY, c.y);
        maxY = std::max(maxY, c.y);
    }
    return { minX, minY, maxX - minX, maxY - minY };
}

namespace {

void drawViewAndSubviews(View& view, gfx::GraphicsContext& context, const gfx::AffineTransform& rootCTM,
    const gfx::AffineTransform& toTarget, const std::vector<gfx::Rect>& rects, gfx::Rect clip,
    const std::vector<const View*>* leftOut)
{
    auto inTarget = gfx::intersectionRect(transformedRect(toTarget, view.bounds()), clip);
    if (inTarget.isEmpty())
        return;
    std::vector<gfx::Rect> drawn;
    for (const auto& r : rects) {
        auto piece = gfx::intersectionRect(r, inTarget);
        if (!piece.isEmpty())
            drawn.push_back(piece);
    }
    if (drawn.empty())
        return;
    auto fromTarget = toTarget.inverted();
    if (!fromTarget)
        return;
    std::vector<gfx::Rect> local;
    gfx::BezierPath clipPath;
    for (const auto& r : drawn) {
        local.push_back(transformedRect(*fromTarget, r));
        clipPath.appendBezierPathWithRect(local.back());
    }
    auto self = std::static_pointer_cast<View>(view.shared_from_this()); // drawing code may edit the tree
    view.viewWillDraw();
    {
        context.saveGraphicsState();
        bool wasFlipped = context.isFlipped();
        context.setCTM(gfx::concatenated(toTarget, rootCTM));
        context.setFlipped(view.isFlipped());
        context.clipToPath(clipPath);
        view.setRectsBeingDrawn(local);
        view.drawRect(boundingRect(local));
        drawHostedLayer(view, context);
        view.setRectsBeingDrawn({});
        context.setFlipped(wasFlipped);
        context.restoreGraphicsState();
    }
    auto subviews = view.subviews();
    for (const auto& sub : subviews)
        drawViewTree(
            *sub, context, rootCTM, gfx::concatenated(sub->transformToSuperview(), toTarget), drawn, inTarget, leftOut);
}

}

void drawViewTree(View& view, gfx::GraphicsContext& context, const gfx::AffineTransform& rootCTM,
    const gfx::AffineTransform& toTarget, const std::vector<gfx::Rect>& rects, gfx::Rect clip,
    const std::vector<const View*>* leftOut)
{
    if (view.isHidden() || view.alphaValue() <= 0)
        return;
    if (leftOut && std::find(leftOut->begin(), leftOut->end(), &view) != leftOut->end())
        return;
    if (view.alphaValue() < 1) {
        // The alpha multiplies whatever the view and its subviews draw.
        context.saveGraphicsState();
        context.setAlpha(context.alpha() * view.alphaValue());
        drawViewAndSubviews(view, context, rootCTM, toTarget, rects, clip, leftOut);
        context.restoreGraphicsState();
    } else {
        drawViewAndSubviews(view, context, rootCTM, toTarget, rects, clip, leftOut);
    }
    // The ring goes around the view, over its neighbours, within the superview's clip.
    if (view.showsFocusRingNow())
        detail::drawFocusRing(view, context, rootCTM, toTarget, rects, clip);
}

void View::drawRect(gfx::Rect)
{
}

void View::setNeedsDisplay(bool flag)
{
    if (!flag) {
        m_dirtyRects.clear();
        return;
    }
    setNeedsDisplayInRect(m_bounds);
}

void View::setNeedsDisplayInRect(gfx::Rect rect)
{
    rect = gfx::intersectionRect(rect, m_bounds);
    if (rect.isEmpty())
        return;
    for (const auto& r : m_dirtyRects) {
        if (gfx::containsRect(r, rect))
            return;
    }
    std::erase_if(m_dirtyRects, [&](const gfx::Rect& r) { return gfx::containsRect(rect, r); });
    m_dirtyRects.push_back(rect);
    if (m_dirtyRects.size() > MaxDirtyRects)
        m_dirtyRects = { boundingRect(m_dirtyRects) };
    noteWindowDirty();
}

void View::noteWindowDirty()
{
    if (auto w = window())
        w->setViewsNeedDisplay(true);
}

void View::display()
{
    displayRect(visibleRect());
}

void View::displayRect(gfx::Rect rect)
{
    auto w = window();
    if (!w || isHiddenOrHasHiddenAncestor())
        return;
    // Nothing is drawn before it is laid out; layout may move this view, so the rect is clipped after it.
    w->layoutIfNeeded();
    rect = gfx::intersectionRect(rect, visibleRect());
    if (rect.isEmpty())
        return;
    // What is drawn now no longer needs drawing later.
    std::erase_if(m_dirtyRects, [&](const gfx::Rect& r) { return gfx::containsRect(rect, r); });
    w->displayRegion({ transformedRect(transformToBase(), rect) });
}

void takeDirtyRects(View& view, std::vector<gfx::Rect>& rects)
{
    if (view.isHidden())
        return;
    if (!view.m_dirtyRects.empty()) {
        auto toBase = view.transformToBase();
        auto visible = view.visibleRect();
        for (const auto& r : view.m_dirtyRects) {
            auto piece = gfx::intersectionRect(r, visible);
            if (!piece.isEmpty())
                rects.push_back(transformedRect(toBase, piece));
        }
        view.m_dirtyRects.clear();
    }
    for (const auto& sub : view.m_subviews)
        takeDirtyRects(*sub, rects);
}

void View::displayIfNeeded()
{
    auto w = window();
    if (!w)
        return;
    w->layoutIfNeeded();
    std::vector<gfx::Rect> rects;
    takeDirtyRects(*this, rects);
    if (!rects.empty())
        w->displayRegion(rects);
}

bool View::needsToDrawRect(gfx::Rect rect) const
{
    if (m_rectsBeingDrawn.empty())
        return gfx::intersectsRect(rect, visibleRect());
    return std::any_of(m_rectsBeingDrawn.begin(), m_rectsBeingDrawn.end(),
        [&](const gfx::Rect& r) { return gfx::intersectsRect(r, rect); });
}

std::vector<gfx::Rect> View::getRectsBeingDrawn() const
{
    return m_rectsBeingDrawn;
}

bool View::canDraw() const
{
    auto w = window();
    return w && w->isVisible() && !isHiddenOrHasHiddenAncestor() && w->graphicsContext() != nullptr;
}

bool View::lockFocusIfCanDraw()
{
    if (!canDraw())
        return false;
    lockFocus();
    return true;
}

void View::lockFocus()
{
    auto w = window();
    auto context = w ? w->graphicsContext() : nullptr;
    if (!context) {
        // Drawing goes nowhere, but lockFocus/unlockFocus stay balanced.
        context = gfx::GraphicsContext::createForBitmap(1, 1);
    }
    gfx::GraphicsContext::saveCurrentGraphicsState();
    gfx::GraphicsContext::setCurrent(context);
    context->saveGraphicsState();
    bool wasFlipped = context->isFlipped();
    context->setCTM(gfx::concatenated(transformToBase(), context->CTM()));
    context->setFlipped(isFlipped());
    context->clipToRect(visibleRect());
    focusStack().push_back({ context, wasFlipped });
    m_focusLocked = true;
}

void View::unlockFocus()
{
    if (!m_focusLocked || focusStack().empty())
        return;
    auto focus = focusStack().back();
    focusStack().pop_back();
    focus.context->setFlipped(focus.wasFlipped);
    focus.context->restoreGraphicsState();
    focus.context->flush();
    gfx::GraphicsContext::restoreCurrentGraphicsState();
    m_focusLocked = !focusStack().empty();
    if (auto w = window())
        w->flushWindow();
}

bool View::isDrawingToScreen()
{
    auto context = gfx::GraphicsContext::current();
    return context && context->isDrawingToScreen();
}

namespace {

// The view's coordinates to a y-up page whose origin is the rect's bottom left (top left for a flipped view).
gfx::AffineTransform pageTransform(const View& view, gfx::Rect rect)
{
    if (view.isFlipped())
        return { 1, 0, 0, -1, -rect.minX(), rect.maxY() };
    return gfx::AffineTransform::translation(-rect.minX(), -rect.minY());
}

void drawInto(View& view, gfx::GraphicsContext& context, gfx::Rect rect)
{
    // Also a view outside any window (an export) is laid out before it is drawn.
    view.layoutSubtreeIfNeeded();
    gfx::CurrentContextScope scope(context.shared_from_this());
    auto page = gfx::Rect(0, 0, rect.width(), rect.height());
    drawViewTree(view, context, context.CTM(), pageTransform(view, rect), { page }, page);
}

}

fnd::Expected<fnd::Data> View::dataWithPDFInsideRect(gfx::Rect rect)
{
    if (rect.isEmpty())
        return std::unexpected(fnd::Error::make("ui", 1, "PDF data of an empty rect"));
    auto context = gfx::GraphicsContext::createForPDF(rect.size);
    drawInto(*this, *context, rect);
    return context->finishDocument();
}

fnd::Expected<fnd::Data> View::dataWithEPSInsideRect(gfx::Rect rect)
{
    if (rect.isEmpty())
        return std::unexpected(fnd::Error::make("ui", 1, "EPS data of an empty rect"));
    auto context = gfx::GraphicsContext::createForEPS(rect.size);
    drawInto(*this, *context, rect);
    return context->finishDocument();
}

std::shared_ptr<gfx::BitmapImageRep> View::bitmapImageRepForCachingDisplayInRect(gfx::Rect rect) const
{
    double scale = 1;
    if (auto w = window())
        scale = w->backingScaleFactor();
    long wide = std::lround(std::ceil(rect.width() * scale));
    long high = std::lround(std::ceil(rect.height() * scale));
    auto bitmap = gfx::BitmapImageRep::create(wide, high, gfx::BitmapLayout::ARGB32Premultiplied);
    if (bitmap)
        bitmap->setSize(rect.size);
    return bitmap;
}

void View::cacheDisplayInRect(gfx::Rect rect, gfx::BitmapImageRep& bitmap)
{
    auto pixels = bitmap.pixelBuffer();
    if (!pixels.isValid() || rect.isEmpty())
        return;
    auto context = gfx::GraphicsContext::createForBitmap(pixels, bitmap.size());
    drawInto(*this, *context, rect);
    context->flush();
}

}
