#include "platform/ui/controls/ProgressIndicator.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/controls/detail/ValueRange.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/Window.h"

#include <cmath>
#include <numbers>

namespace ui {

FND_REGISTER_CLASS(ProgressIndicator, View)

void ProgressIndicator::describeClass(fnd::ClassBuilder<ProgressIndicator>& c)
{
    c.property("style", &ProgressIndicator::style, &ProgressIndicator::setStyle);
    c.property("indeterminate", &ProgressIndicator::isIndeterminate, &ProgressIndicator::setIndeterminate);
    c.property("minValue", &ProgressIndicator::minValue, &ProgressIndicator::setMinValue);
    c.property("maxValue", &ProgressIndicator::maxValue, &ProgressIndicator::setMaxValue);
    c.property("doubleValue", &ProgressIndicator::doubleValue, &ProgressIndicator::setDoubleValue);
    c.property("controlSize", &ProgressIndicator::controlSize, &ProgressIndicator::setControlSize);
    c.property("bezeled", &ProgressIndicator::isBezeled, &ProgressIndicator::setBezeled);
    c.property("displayedWhenStopped", &ProgressIndicator::isDisplayedWhenStopped,
        &ProgressIndicator::setDisplayedWhenStopped);
    c.property("usesThreadedAnimation", &ProgressIndicator::usesThreadedAnimation,
        &ProgressIndicator::setUsesThreadedAnimation);
    c.action("startAnimation:", &ProgressIndicator::startAnimation);
    c.action("stopAnimation:", &ProgressIndicator::stopAnimation);
    c.action("animate:", &ProgressIndicator::animate);
}

ProgressIndicator::~ProgressIndicator()
{
    if (m_timer)
        m_timer->invalidate();
}

std::shared_ptr<ProgressIndicator> ProgressIndicator::create(gfx::Rect frame)
{
    return makeView<ProgressIndicator>(frame);
}

void ProgressIndicator::setStyle(ProgressIndicatorStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    // Spinning indicators hide while stopped, as the platform makes them.
    if (style == ProgressIndicatorStyle::Spinning)
        m_displayedWhenStopped = false;
    setNeedsDisplay(true);
}

void ProgressIndicator::setIndeterminate(bool flag)
{
    if (flag == m_indeterminate)
        return;
    m_indeterminate = flag;
    setNeedsDisplay(true);
}

void ProgressIndicator::setMinValue(double value)
{
    // An end that is not finite makes every fraction NaN, as a value that is not finite would: ignored.
    if (!std::isfinite(value))
        return;
    m_minValue = value;
    setDoubleValue(m_value);
    setNeedsDisplay(true);
}

void ProgressIndicator::setMaxValue(double value)
{
    if (!std::isfinite(value))
        return;
    m_maxValue = value;
    setDoubleValue(m_value);
    setNeedsDisplay(true);
}

void ProgressIndicator::setDoubleValue(double value)
{
    if (!std::isfinite(value))
        return;
    value = detail::valueInRange(value, m_minValue, m_maxValue);
    if (value == m_value)
        return;
    m_value = value;
    if (!m_indeterminate)
        setNeedsDisplay(true);
}

void ProgressIndicator::setControlSize(ControlSize size)
{
    m_controlSize = size;
    setNeedsDisplay(true);
}

void ProgressIndicator::setBezeled(bool flag)
{
    m_bezeled = flag;
    setNeedsDisplay(true);
}

void ProgressIndicator::setDisplayedWhenStopped(bool flag)
{
    m_displayedWhenStopped = flag;
    setNeedsDisplay(true);
}

double ProgressIndicator::fraction() const
{
    double range = m_maxValue - m_minValue;
    return range != 0 ? (m_value - m_minValue) / range : 0;
}

// Animation.

void ProgressIndicator::startAnimation(const fnd::Value&)
{
    m_wantsAnimation = true;
    if (m_timer)
        return;
    m_step = 0;
    std::weak_ptr<ProgressIndicator> weak = std::static_pointer_cast<ProgressIndicator>(shared_from_this());
    m_timer = fnd::Timer::create(AnimationInterval, true, [weak](fnd::Timer&) {
        if (auto self = weak.lock())
            self->animate();
    });
    fnd::RunLoop::main().addTimer(m_timer, fnd::RunLoopMode::Common);
    setNeedsDisplay(true);
}

void ProgressIndicator::stopAnimation(const fnd::Value&)
{
    m_wantsAnimation = false;
    if (!m_timer)
        return;
    m_timer->invalidate();
    m_timer.reset();
    setNeedsDisplay(true);
}

void ProgressIndicator::animate(const fnd::Value&)
{
    ++m_step;
    setNeedsDisplay(true);
}

void ProgressIndicator::viewDidMoveToWindow()
{
    View::viewDidMoveToWindow();
    // Nobody sees an indicator outside a window: its timer stops, and starts again when it is shown.
    if (!window() && m_timer) {
        m_timer->invalidate();
        m_timer.reset();
    } else if (window() && m_wantsAnimation && !m_timer) {
        startAnimation();
    }
}

void ProgressIndicator::sizeToFit()
{
    double thickness = m_controlSize == ControlSize::Regular ? 20 : m_controlSize == ControlSize::Small ? 14 : 10;
    if (m_style == ProgressIndicatorStyle::Spinning)
        setFrameSize({ thickness + 12, thickness + 12 });
    else
        setFrameSize({ std::max(frame().width(), 100.0), thickness });
}

// Drawing.

void ProgressIndicator::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context
        || (!isAnimating() && !m_displayedWhenStopped
            && (m_indeterminate || m_style == ProgressIndicatorStyle::Spinning)))
        return;
    const bool active = !window() || window()->isKeyWindow();
    auto b = bounds();
    const double phase = double(m_step % StepsPerCycle) / StepsPerCycle;
    if (m_style == ProgressIndicatorStyle::Bar) {
        double thickness = m_controlSize == ControlSize::Regular ? 6 : 4;
        gfx::Rect bar { b.minX(), std::round(b.midY() - thickness / 2), b.width(), thickness };
        if (!m_indeterminate) {
            ControlLook::drawTrough(bar, fraction(), false, true, active);
            return;
        }
        ControlLook::drawTrough(bar, -1, false, true, active);
        if (!isAnimating())
            return;
        // A third of the bar travels along it and wraps round.
        double width = std::round(bar.width() / 3);
        double x = bar.minX() - width + (bar.width() + width) * phase;
        context->saveGraphicsState();
        context->clipToRect(bar);
        context->setFillColor(*ControlLook::accentColor(active));
        double r = thickness / 2;
        context->fillPath(*gfx::BezierPath::bezierPathWithRoundedRect({ x, bar.minY(), width, thickness }, r, r));
        context->restoreGraphicsState();
        return;
    }
    // Spinning: an arc turning once per cycle, or a pie of the value.
    double side = std::floor(std::min(b.width(), b.height())) - 4;
    if (side <= 0)
        return;
    gfx::Rect circle { std::round(b.midX() - side / 2), std::round(b.midY() - side / 2), side, side };
    gfx::Point c { circle.midX(), circle.midY() };
    double lineWidth = std::max(2.0, side / 8);
    double radius = side / 2 - lineWidth / 2;
    auto ring = gfx::BezierPath::bezierPathWithOvalInRect(gfx::insetRect(circle, lineWidth / 2, lineWidth / 2));
    ring->setLineWidth(lineWidth);
    context->setStrokeColor(*ControlLook::troughColor());
    context->strokePath(*ring);
    if (!m_indeterminate) {
        double f = std::clamp(fraction(), 0.0, 1.0);
        if (f <= 0)
            return;
        auto pie = gfx::BezierPath::bezierPath();
        pie->moveToPoint(c);
        // From twelve o'clock, clockwise on the screen.
        double sign = isFlipped() ? 1 : -1;
        pie->appendBezierPathWithArcWithCenter(c, radius - lineWidth, -90 * sign, (-90 + 360 * f) * sign, !isFlipped());
        pie->closePath();
        context->setFillColor(*ControlLook::accentColor(active));
        context->fillPath(*pie);
        return;
    }
    if (!isAnimating())
        return;
    double start = 360 * phase;
    auto arc = gfx::BezierPath::bezierPath();
    arc->appendBezierPathWithArcWithCenter(c, radius, start, start + 100, false);
    arc->setLineWidth(lineWidth);
    arc->setLineCapStyle(gfx::LineCapStyle::Round);
    context->setStrokeColor(*ControlLook::accentColor(active));
    context->strokePath(*arc);
}

}
