#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/ViewDrawing.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>
#include <utility>

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
    m_contentView->displayIfNeeded();
    if (m_toolbarView)
        m_toolbarView->displayIfNeeded();
}

void Window::displayRegion(const std::vector<gfx::Rect>& dirtyRects)
{
    auto context = graphicsContext();
    if (!context || !m_contentView || dirtyRects.empty())
        return;
    // Whole device pixels: an area clipped at a fraction of a pixel blends its edge pixels with what was drawn
    // before, and partial redraws would leave faint lines where a full redraw leaves none.
    const double scale = std::max(1.0, backingScaleFactor());
    std::vector<gfx::Rect> rects;
    rects.reserve(dirtyRects.size());
    for (const auto& r : dirtyRects) {
        const double minX = std::floor(r.minX() * scale) / scale, minY = std::floor(r.minY() * scale) / scale;
        const double maxX = std::ceil(r.maxX() * scale) / scale, maxY = std::ceil(r.maxY() * scale) / scale;
        rects.push_back({ minX, minY, maxX - minX, maxY - minY });
    }
    auto self = shared_from_this();
    // A view marked while the window draws (one that animates itself from its drawRect) is drawn on the next
    // frame, so the run loop waits in between and the window system shows this one.
    m_lastDrawDate = fnd::Clock::current()->now();
    auto content = contentRectForFrameRect(m_frame);
    auto in = Backend::current().frameInsets(m_styleMask);
    gfx::Rect contentInBase { in.left, in.bottom, content.width(), content.height() };
    // The surface holds the toolbar's strip above the content.
    gfx::Rect surfaceInBase { in.left, in.bottom, content.width(), content.height() + m_toolbarHeight };
    {
        gfx::CurrentContextScope scope(context);
        context->saveGraphicsState();
        auto rootCTM = context->CTM();
        // The content surface starts at the content's corner; base coordinates start at the frame's.
        rootCTM = gfx::concatenated(gfx::AffineTransform::translation(-in.left, -in.bottom), rootCTM);
        context->setCTM(rootCTM);
        context->setFillColor(m_backgroundColor ? *m_backgroundColor : *gfx::Color::windowBackgroundColor());
        for (const auto& r : rects)
            context->fillRectUsingOperation(gfx::intersectionRect(r, surfaceInBase), gfx::CompositingOperation::Copy);
        context->restoreGraphicsState();
        drawViewTree(*m_contentView, *context, rootCTM, m_contentView->transformToSuperview(), rects, contentInBase);
        if (m_toolbarView && !m_toolbarView->isHidden())
            drawViewTree(*m_toolbarView, *context, rootCTM, m_toolbarView->transformToSuperview(), rects,
                m_toolbarView->frame());
    }
    flushWindow();
}

std::shared_ptr<gfx::GraphicsContext> Window::graphicsContext()
{
    if (!m_context) {
        if (auto surface = Backend::current().surfaceForWindow(*this))
            m_context = gfx::GraphicsContext::createForWindow(std::move(surface));
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
