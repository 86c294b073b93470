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

// The share of a frame within which a change is drawn at once rather than on the next frame.
constexpr double WindowDisplayFrameSlack = 1.0 / 8;

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
    if (m_displaying && !m_redrawNotBefore) {
        // Marked while the window draws (a view that animates itself from its drawRect): the run loop waits for
        // the next frame, so the window system shows this one. Drawn again at once, it would keep the loop busy
        // and no frame would reach the screen.
        m_redrawNotBefore = fnd::Clock::current()->now().addingTimeInterval(Backend::current().refreshInterval(*this));
    }
    if (m_displayScheduled)
        return;
    m_displayScheduled = true;
    std::weak_ptr<Window> weak = std::static_pointer_cast<Window>(shared_from_this());
    // Like the platform, lay out and redraw before the run loop next waits: after the timers and posted work of
    // this pass, so that everything they changed is drawn together.
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
    const auto now = fnd::Clock::current()->now();
    const double interval = Backend::current().refreshInterval(*this);
    std::optional<fnd::Date> due = m_redrawNotBefore;
    if (m_lastCompositeDate && *m_lastCompositeDate <= now) {
        // Drawn already in this frame: what changes until the next one (a picture from a worker, the next step of
        // an animation) is drawn with it then, in one composite. A change this close to the next frame is drawn
        // now: waking again so soon would draw as much.
        const auto nextFrame = m_lastCompositeDate->addingTimeInterval(interval);
        if (now.addingTimeInterval(interval * WindowDisplayFrameSlack) < nextFrame && (!due || *due < nextFrame))
            due = nextFrame;
    }
    // A date more than a frame ahead was taken on a clock replaced since (tests install their own): not held.
    if (due && *due > now && *due <= now.addingTimeInterval(interval)) {
        holdDisplayUntil(*due);
        return;
    }
    m_redrawNotBefore.reset();
    displayIfNeeded();
}

void Window::holdDisplayUntil(fnd::Date due)
{
    if (m_nextFrameTimer && m_nextFrameTimer->isValid() && m_nextFrameTimer->fireDate() <= due)
        return;
    if (m_nextFrameTimer)
        m_nextFrameTimer->invalidate();
    std::weak_ptr<Window> weak = std::static_pointer_cast<Window>(shared_from_this());
    m_nextFrameTimer = fnd::Timer::create(due, 0, false, [weak](fnd::Timer&) {
        if (auto w = weak.lock()) {
            w->m_nextFrameTimer.reset();
            w->scheduleDisplayPass();
        }
    });
    fnd::RunLoop::main().addTimer(m_nextFrameTimer, fnd::RunLoopMode::Common);
}

void Window::noteFrameShown()
{
    m_lastCompositeDate.reset();
    m_redrawNotBefore.reset();
    if (m_nextFrameTimer) {
        m_nextFrameTimer->invalidate();
        m_nextFrameTimer.reset();
        scheduleDisplayPass();
    }
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
    m_lastCompositeDate = fnd::Clock::current()->now();
    const bool wasDisplaying = std::exchange(m_displaying, true);
    struct DisplayingEnd {
        Window& window;
        bool was;
        ~DisplayingEnd() { window.m_displaying = was; }
    } displayingEnd { *this, wasDisplaying };
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
