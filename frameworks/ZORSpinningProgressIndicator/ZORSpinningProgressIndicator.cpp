#include "frameworks/ZORSpinningProgressIndicator/ZORSpinningProgressIndicator.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <chrono>
#include <cmath>

FND_REGISTER_CLASS(ZORSpinningProgressIndicator, ui::View)

namespace {

// The drawing works in single precision, with this value of two pi, so fins land where they always have.
constexpr float SpinningProgressIndicatorTwoPi = 6.28318f;

bool spinningProgressIndicatorSameColor(const gfx::ColorPtr& a, const gfx::ColorPtr& b)
{
    if (a == b)
        return true;
    return a && b && a->isEqual(*b);
}

}

void ZORSpinningProgressIndicator::describeClass(fnd::ClassBuilder<ZORSpinningProgressIndicator>& c)
{
    c.property(
        "doubleValue", &ZORSpinningProgressIndicator::doubleValue, &ZORSpinningProgressIndicator::setDoubleValue);
    c.property("maxValue", &ZORSpinningProgressIndicator::maxValue, &ZORSpinningProgressIndicator::setMaxValue);
    c.property("indeterminate", &ZORSpinningProgressIndicator::isIndeterminate,
        &ZORSpinningProgressIndicator::setIndeterminate);
    c.property("usesThreadedAnimation", &ZORSpinningProgressIndicator::usesThreadedAnimation,
        &ZORSpinningProgressIndicator::setUsesThreadedAnimation);
    c.property("displayedWhenStopped", &ZORSpinningProgressIndicator::displayWhenStopped,
        &ZORSpinningProgressIndicator::setDisplayedWhenStopped);
    c.property("drawsBackground", &ZORSpinningProgressIndicator::drawsBackground,
        &ZORSpinningProgressIndicator::setDrawsBackground);
}

std::shared_ptr<ZORSpinningProgressIndicator> ZORSpinningProgressIndicator::create(gfx::Rect frame)
{
    return ui::makeView<ZORSpinningProgressIndicator>(frame);
}

ZORSpinningProgressIndicator::~ZORSpinningProgressIndicator()
{
    // The thread reads this object's fields: it must be gone before they are.
    stopThread();
    if (m_animationTimer)
        m_animationTimer->invalidate();
}

// Settings.

void ZORSpinningProgressIndicator::setColor(gfx::ColorPtr color)
{
    if (spinningProgressIndicatorSameColor(color, m_foreColor))
        return;
    m_foreColor = std::move(color);
    setNeedsDisplay(true);
}

void ZORSpinningProgressIndicator::setBackgroundColor(gfx::ColorPtr color)
{
    if (spinningProgressIndicatorSameColor(color, m_backColor))
        return;
    m_backColor = std::move(color);
    setNeedsDisplay(true);
}

void ZORSpinningProgressIndicator::setDrawsBackground(bool flag)
{
    m_drawBackground = flag;
    setNeedsDisplay(true);
}

void ZORSpinningProgressIndicator::setIndeterminate(bool flag)
{
    m_isIndeterminate = flag;
    if (!m_isIndeterminate && m_isAnimating)
        stopAnimation();
    setNeedsDisplay(true);
}

void ZORSpinningProgressIndicator::setDoubleValue(double value)
{
    if (!std::isfinite(value))
        return;
    if (m_isIndeterminate)
        setIndeterminate(false);
    m_currentValue = value;
    setNeedsDisplay(true);
}

void ZORSpinningProgressIndicator::setMaxValue(double value)
{
    if (!std::isfinite(value))
        return;
    m_maxValue = value;
    setNeedsDisplay(true);
}

void ZORSpinningProgressIndicator::setUsesThreadedAnimation(bool flag)
{
    if (m_usesThreadedAnimation == flag)
        return;
    m_usesThreadedAnimation = flag;
    // Starting stops whatever runs first, so the old mode's timer or thread goes.
    if (m_isAnimating)
        actuallyStartAnimation();
}

void ZORSpinningProgressIndicator::setDisplayedWhenStopped(bool flag)
{
    m_displayWhenStopped = flag;
    if (!m_isAnimating)
        setHidden(!flag);
}

void ZORSpinningProgressIndicator::setStyle(ui::ProgressIndicatorStyle style)
{
    fnd::assertThat(style == ui::ProgressIndicatorStyle::Spinning, "Non-spinning styles not available.");
}

// Animation.

void ZORSpinningProgressIndicator::startAnimation(const fnd::Value&)
{
    if (!m_isIndeterminate || m_isAnimating)
        return;
    if (!m_displayWhenStopped)
        setHidden(false);
    actuallyStartAnimation();
    m_isAnimating = true;
}

void ZORSpinningProgressIndicator::stopAnimation(const fnd::Value&)
{
    actuallyStopAnimation();
    m_isAnimating = false;
    if (!m_displayWhenStopped)
        setHidden(true);
}

void ZORSpinningProgressIndicator::viewDidMoveToWindow()
{
    View::viewDidMoveToWindow();
    if (!window())
        actuallyStopAnimation();
    else if (m_isAnimating)
        actuallyStartAnimation();
}

void ZORSpinningProgressIndicator::actuallyStartAnimation()
{
    actuallyStopAnimation();
    if (!window())
        return;
    if (m_usesThreadedAnimation) {
        {
            std::lock_guard lock(m_threadMutex);
            m_threadStop = false;
        }
        std::weak_ptr<ZORSpinningProgressIndicator> weak
            = std::static_pointer_cast<ZORSpinningProgressIndicator>(shared_from_this());
        m_animationThread = std::thread([this, weak] { animateInBackgroundThread(weak); });
        return;
    }
    std::weak_ptr<ZORSpinningProgressIndicator> weak
        = std::static_pointer_cast<ZORSpinningProgressIndicator>(shared_from_this());
    m_animationTimer = fnd::Timer::create(TimerInterval, true, [weak](fnd::Timer&) {
        if (auto self = weak.lock())
            self->updateFrame();
    });
    // Common modes include the tracking and modal ones, so the spinner turns while a menu or a panel is open.
    fnd::RunLoop::current().addTimer(m_animationTimer, fnd::RunLoopMode::Common);
}

void ZORSpinningProgressIndicator::actuallyStopAnimation()
{
    stopThread();
    if (m_animationTimer) {
        m_animationTimer->invalidate();
        m_animationTimer.reset();
    }
    setNeedsDisplay(true);
}

void ZORSpinningProgressIndicator::stopThread()
{
    if (!m_animationThread.joinable())
        return;
    {
        std::lock_guard lock(m_threadMutex);
        m_threadStop = true;
    }
    m_threadWake.notify_all();
    // The thread wakes from its pause at once and touches nothing of the view after it sees the stop.
    m_animationThread.join();
}

void ZORSpinningProgressIndicator::advancePosition()
{
    auto current = m_position.load(std::memory_order_relaxed);
    m_position.store(current <= 0 ? NumberOfFins - 1 : current - 1, std::memory_order_relaxed);
}

void ZORSpinningProgressIndicator::updateFrame(const fnd::Value&)
{
    advancePosition();
    setNeedsDisplay(true);
}

void ZORSpinningProgressIndicator::animateInBackgroundThread(const std::weak_ptr<ZORSpinningProgressIndicator>& weak)
{
    // One revolution takes 0.6 s, as with the timer.
    const auto pause = std::chrono::microseconds(600000 / NumberOfFins);
    auto pending = m_redrawPending;
    std::unique_lock lock(m_threadMutex);
    while (!m_threadStop) {
        // The thread never draws: views belong to the main thread. It moves the step and asks for a redraw there.
        advancePosition();
        if (!pending->exchange(true)) {
            fnd::RunLoop::main().post(
                [weak, pending] {
                    pending->store(false);
                    if (auto self = weak.lock())
                        self->setNeedsDisplay(true);
                },
                { fnd::RunLoopMode::Common });
        }
        m_threadWake.wait_for(lock, pause, [this] { return m_threadStop; });
    }
}

// Drawing.

void ZORSpinningProgressIndicator::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    auto b = bounds();
    float size = static_cast<float>(std::min(b.width(), b.height()));
    if (m_drawBackground && m_backColor) {
        context->setFillColor(*m_backColor);
        context->fillRectUsingOperation(b, gfx::CompositingOperation::SourceOver);
    }
    auto color = m_foreColor ? m_foreColor : gfx::Color::blackColor();
    gfx::GraphicsStateGuard state;
    context->translateCTM(b.minX() + b.width() / 2, b.minY() + b.height() / 2);
    if (m_isIndeterminate) {
        const float step = SpinningProgressIndicatorTwoPi / static_cast<float>(NumberOfFins);
        context->rotateCTM(static_cast<float>(position()) * step);
        gfx::BezierPath fin;
        fin.setLineCapStyle(gfx::LineCapStyle::Round);
        fin.setLineWidth(size * 0.0859375f);
        fin.moveToPoint({ 0, size * 0.234375f });
        fin.lineToPoint({ 0, size * 0.421875f });
        float alpha = 1.0f;
        for (std::int64_t i = 0; i < NumberOfFins; ++i) {
            context->setStrokeColor(*color->colorWithAlphaComponent(m_isAnimating ? alpha : 0.2));
            context->strokePath(fin);
            context->rotateCTM(step);
            alpha -= 1.0f / static_cast<float>(NumberOfFins);
        }
        return;
    }
    float lineWidth = 1.0f + size * 0.01f;
    float radius = (size - lineWidth) / 2.1f;
    context->setStrokeColor(*color->colorWithAlphaComponent(1.0));
    context->setFillColor(*color->colorWithAlphaComponent(1.0));
    auto circle = gfx::BezierPath::bezierPathWithOvalInRect({ -radius, -radius, 2 * radius, 2 * radius });
    circle->setLineWidth(lineWidth);
    context->strokePath(*circle);
    // A maximum of zero (or a value that is not a number) would give no angle at all: such a pie stays empty.
    double fraction = m_maxValue > 0 ? m_currentValue / m_maxValue : 0;
    if (!std::isfinite(fraction))
        fraction = 0;
    fraction = std::clamp(fraction, 0.0, 1.0);
    gfx::BezierPath pie;
    pie.appendBezierPathWithArcWithCenter({ 0, 0 }, radius, 90, 90 - 360 * fraction, true);
    pie.lineToPoint({ 0, 0 });
    pie.closePath();
    context->fillPath(pie);
}
