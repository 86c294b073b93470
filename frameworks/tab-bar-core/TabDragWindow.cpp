#include "frameworks/tab-bar-core/TabDragWindow.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/Event.h"

#include <cmath>

namespace tbcore {

FND_REGISTER_CLASS(TabDragView, ui::View)
FND_REGISTER_CLASS(TabDragWindow, ui::Window)
FND_REGISTER_CLASS(TabDragWindowController, fnd::Object)

namespace {
// The room a title bar takes above a titled drag window's picture.
constexpr double TabDragWindowTitleBarHeight = 22.0;
}

std::shared_ptr<TabDragView> TabDragView::create(gfx::Rect frame, std::shared_ptr<gfx::Image> image)
{
    auto view = ui::makeView<TabDragView>(frame);
    view->m_image = std::move(image);
    return view;
}

void TabDragView::drawRect(gfx::Rect)
{
    // The small offsets keep both pictures from vanishing wholly at either end of a fade.
    if (m_image)
        m_image->drawInRect(bounds(), { { 0, 0 }, m_image->size() }, gfx::CompositingOperation::SourceOver,
            m_alpha + double(0.001f), true);
    if (m_alternateImage)
        m_alternateImage->drawInRect(bounds(), { { 0, 0 }, m_alternateImage->size() },
            gfx::CompositingOperation::SourceOver, double(1.001f) - m_alpha, true);
}

std::shared_ptr<TabDragWindow> TabDragWindow::dragWindowWithImage(std::shared_ptr<gfx::Image> image, unsigned styleMask)
{
    auto window = fnd::makeObject<TabDragWindow>();
    const gfx::Size size = image ? image->size() : gfx::Size {};
    window->initWithImage(image, styleMask, TabDragView::create({ { 0, 0 }, size }, image));
    return window;
}

void TabDragWindow::initWithImage(
    const std::shared_ptr<gfx::Image>& image, unsigned styleMask, std::shared_ptr<TabDragView> view)
{
    const gfx::Size size = image ? image->size() : gfx::Size {};
    initWithContentRect({ { 0, 0 }, size }, styleMask);
    m_dragView = std::move(view);
    setContentView(m_dragView);
    setLevel(ui::WindowLevel::Status);
    setIgnoresMouseEvents(true);
    setOpaque(false);
    const gfx::Rect old = frame();
    const double height
        = size.height + (styleMask != ui::WindowStyleMask::Borderless ? TabDragWindowTitleBarHeight : 0);
    setFrame({ old.minX(), old.minY() + old.height() - height, size.width, height }, true);
}

std::shared_ptr<TabDragWindowController> TabDragWindowController::create(
    std::shared_ptr<gfx::Image> image, unsigned styleMask, unsigned tearOffStyle)
{
    auto controller = fnd::makeObject<TabDragWindowController>();
    controller->initWithWindow(TabDragWindow::dragWindowWithImage(std::move(image), styleMask), tearOffStyle);
    return controller;
}

void TabDragWindowController::initWithWindow(std::shared_ptr<TabDragWindow> window, unsigned tearOffStyle)
{
    m_window = std::move(window);
    m_view = m_window->dragView();
    m_tearOffStyle = tearOffStyle;
    if (tearOffStyle == 1) {
        m_window->setBackgroundColor(gfx::Color::clearColor());
        m_window->setHasShadow(true);
    }
    m_window->setAlphaValue(0.75);
}

TabDragWindowController::~TabDragWindowController()
{
    stop();
}

void TabDragWindowController::stop()
{
    if (m_timer)
        m_timer->invalidate();
    m_timer.reset();
    if (m_animation)
        m_animation->stopAnimation();
    m_animation.reset();
}

void TabDragWindowController::switchImages()
{
    if (m_tearOffStyle != 1 || !m_view->alternateImage())
        return;
    m_showingAlternate = !m_showingAlternate;
    float progress = 0;
    if (m_animation) {
        progress = 1 - m_animation->currentProgress();
        m_animation->stopAnimation();
        m_animation.reset();
    }
    m_animation = ui::Animation::create(0.25, ui::AnimationCurve::EaseInOut);
    m_animation->setAnimationBlockingMode(ui::AnimationBlockingMode::Nonblocking);
    m_animation->setCurrentProgress(progress);
    m_animation->startAnimation();
    m_originalWindowFrame = m_window->frame();
    if (m_timer)
        m_timer->invalidate();
    std::weak_ptr<TabDragWindowController> weak = std::static_pointer_cast<TabDragWindowController>(shared_from_this());
    m_timer = fnd::Timer::create(1.0 / 30.0, true, [weak](fnd::Timer&) {
        if (auto self = weak.lock())
            self->animateTimer();
    });
    fnd::RunLoop::current().addTimer(m_timer, fnd::RunLoopMode::Common);
}

void TabDragWindowController::animateTimer()
{
    if (!m_animation)
        return;
    const double v = m_animation->currentValue();
    auto target = m_showingAlternate ? m_view->alternateImage() : m_view->image();
    const gfx::Size to = target ? target->size() : gfx::Size {};
    const gfx::Size from = m_originalWindowFrame.size;
    const gfx::Size size { from.width + v * (to.width - from.width), from.height + v * (to.height - from.height) };
    const gfx::Point mouse = m_dragLocation;
    m_view->setFadeValue(m_showingAlternate ? 1 - v : v);
    m_window->setFrame({ mouse.x - size.width * 0.5, mouse.y - size.height * 0.5, size.width, size.height }, true);
    m_view->setNeedsDisplay(true);
    if (!m_animation->isAnimating()) {
        m_animation.reset();
        if (m_timer)
            m_timer->invalidate();
        m_timer.reset();
    }
}

std::shared_ptr<gfx::Image> windowMiniature(
    const std::shared_ptr<gfx::Image>& windowImage, const std::function<std::shared_ptr<gfx::Image>()>& fallback)
{
    auto hasSize = [](const std::shared_ptr<gfx::Image>& image) {
        return image && image->size().width > 0 && image->size().height > 0;
    };
    auto image = hasSize(windowImage) ? windowImage : fallback();
    if (!hasSize(image))
        return nullptr;
    const gfx::Size s = image->size();
    const gfx::Size size = s.width > s.height ? gfx::Size { 125.0, std::round(125.0 * s.height / s.width) }
                                              : gfx::Size { std::round(125.0 * s.width / s.height), 125.0 };
    auto miniature = gfx::Image::imageWithSize(size);
    miniature->lockFocus();
    image->drawInRect({ { 0, 0 }, size }, {}, gfx::CompositingOperation::SourceOver, 1.0);
    miniature->unlockFocus();
    return miniature;
}

void moveDragWindows(TabDragWindowController& tab, TabDragWindowController* content, gfx::Point imageTopLeft,
    gfx::Point pointer, bool centresOnPointer, gfx::Size contentOffset)
{
    tab.setDragLocation(pointer);
    auto& window = *tab.window();
    const gfx::Rect f = window.frame();
    if (!centresOnPointer) {
        window.setFrame({ imageTopLeft.x, imageTopLeft.y - f.height(), f.width(), f.height() }, false);
    } else if (!tab.isAnimating()) {
        window.setFrame({ pointer.x - f.width() * 0.5, pointer.y - f.height() * 0.5, f.width(), f.height() }, false);
    }
    if (!content)
        return;
    auto& other = *content->window();
    const gfx::Rect c = other.frame();
    const double top = imageTopLeft.y - window.frame().height() + contentOffset.height;
    other.setFrame({ imageTopLeft.x - contentOffset.width, top - c.height(), c.width(), c.height() }, false);
}

}
