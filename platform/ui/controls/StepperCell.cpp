#include "platform/ui/controls/StepperCell.h"

#include "platform/foundation/archiving/TypedDecoding.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/controls/detail/ValueRange.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/TrackingEvents.h"

#include <cmath>
#include <limits>

namespace ui {

FND_REGISTER_CLASS(StepperCell, ActionCell)

void StepperCell::describeClass(fnd::ClassBuilder<StepperCell>& c)
{
    c.property("minValue", &StepperCell::minValue, &StepperCell::setMinValue);
    c.property("maxValue", &StepperCell::maxValue, &StepperCell::setMaxValue);
    c.property("increment", &StepperCell::increment, &StepperCell::setIncrement);
    c.property("valueWraps", &StepperCell::valueWraps, &StepperCell::setValueWraps);
    c.property("autorepeat", &StepperCell::autorepeat, &StepperCell::setAutorepeat);
}

void StepperCell::init()
{
    initTextCell({});
}

void StepperCell::setDoubleValue(double value)
{
    value = detail::valueInRange(value, m_minValue, m_maxValue);
    if (value == m_value)
        return;
    m_value = value;
    noteChanged();
}

fnd::String StepperCell::stringValue() const
{
    return fnd::Value(m_value).stringValue();
}

void StepperCell::setMinValue(double value)
{
    // An end that is not finite would let any value through the range, as an archive's is refused: ignored.
    if (!std::isfinite(value))
        return;
    m_minValue = value;
    setDoubleValue(m_value);
}

void StepperCell::setMaxValue(double value)
{
    if (!std::isfinite(value))
        return;
    m_maxValue = value;
    setDoubleValue(m_value);
}

void StepperCell::step(int direction)
{
    double next = m_value + m_increment * direction;
    if (next > m_maxValue)
        next = m_valueWraps ? m_minValue : m_maxValue;
    else if (next < m_minValue)
        next = m_valueWraps ? m_maxValue : m_minValue;
    setDoubleValue(next);
}

void StepperCell::getPeriodicDelay(double& delay, double& interval) const
{
    delay = 0.5;
    interval = 0.1;
}

// Geometry.

gfx::Size StepperCell::cellSizeForBounds(gfx::Rect) const
{
    switch (controlSize()) {
    case ControlSize::Small:
        return { 15, 22 };
    case ControlSize::Mini:
        return { 13, 18 };
    default:
        return { 19, 28 };
    }
}

gfx::Rect StepperCell::stepperRect(gfx::Rect frame) const
{
    // The arrows keep their natural width, centred in wider frames.
    auto size = cellSize();
    double width = std::min(frame.width(), size.width);
    return ControlLook::snapped({ frame.midX() - width / 2, frame.minY(), width, frame.height() });
}

gfx::Rect StepperCell::upArrowRect(gfx::Rect frame, bool flipped) const
{
    auto r = stepperRect(frame);
    double half = std::floor(r.height() / 2);
    return flipped ? gfx::Rect { r.minX(), r.minY(), r.width(), half }
                   : gfx::Rect { r.minX(), r.maxY() - half, r.width(), half };
}

gfx::Rect StepperCell::downArrowRect(gfx::Rect frame, bool flipped) const
{
    auto r = stepperRect(frame);
    double half = std::floor(r.height() / 2);
    return flipped ? gfx::Rect { r.minX(), r.maxY() - half, r.width(), half }
                   : gfx::Rect { r.minX(), r.minY(), r.width(), half };
}

// Drawing.

void StepperCell::drawWithFrame(gfx::Rect cellFrame, View& controlView)
{
    setControlView(std::static_pointer_cast<View>(controlView.shared_from_this()));
    drawInteriorWithFrame(cellFrame, controlView);
}

void StepperCell::drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView)
{
    const bool flipped = controlView.isFlipped();
    ControlLook::FaceState face { .enabled = isEnabled(), .active = isInActiveWindow() };
    ControlLook::drawOutlinedFace(stepperRect(cellFrame), ControlLook::FaceShape::RoundedRect, ControlSize::Mini, face);
    auto color = ControlLook::faceTextColor(face);
    for (int direction : { +1, -1 }) {
        auto r = direction > 0 ? upArrowRect(cellFrame, flipped) : downArrowRect(cellFrame, flipped);
        if (m_pressedArrow == direction) {
            auto* context = gfx::GraphicsContext::current();
            context->saveGraphicsState();
            context->clipToRect(r);
            ControlLook::drawFace(stepperRect(cellFrame), ControlLook::FaceShape::RoundedRect, ControlSize::Mini,
                { .enabled = isEnabled(), .pressed = true });
            context->restoreGraphicsState();
        }
        ControlLook::drawChevron({ r.midX(), r.midY() }, std::min(3.5, r.width() / 4),
            direction > 0 ? ControlLook::Direction::Up : ControlLook::Direction::Down, *color);
    }
    auto* context = gfx::GraphicsContext::current();
    auto whole = stepperRect(cellFrame);
    context->setFillColor(*ControlLook::borderColor());
    context->fillRect({ whole.minX() + 3, std::floor(whole.midY()), whole.width() - 6, 1 });
}

void StepperCell::drawFocusRingMaskWithFrame(gfx::Rect cellFrame, View&)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    context->setFillColor(*gfx::Color::blackColor());
    context->fillPath(
        *ControlLook::facePath(stepperRect(cellFrame), ControlLook::FaceShape::RoundedRect, ControlSize::Mini));
}

// Tracking.

bool StepperCell::trackMouse(const Event& event, gfx::Rect cellFrame, View& controlView, bool)
{
    auto self = shared_from_this();
    auto view = std::static_pointer_cast<View>(controlView.shared_from_this());
    const bool flipped = controlView.isFlipped();
    auto arrowAt = [&](gfx::Point p) {
        if (gfx::pointInRect(p, upArrowRect(cellFrame, flipped)))
            return +1;
        if (gfx::pointInRect(p, downArrowRect(cellFrame, flipped)))
            return -1;
        return 0;
    };
    auto redraw = [&] { detail::displayDuringTracking(controlView); };
    const int direction = arrowAt(controlView.convertPointFromView(event.locationInWindow(), nullptr));
    if (direction == 0)
        return true;
    // The press steps at once.
    m_pressedArrow = direction;
    step(direction);
    sendActionFromControlView();
    redraw();
    double delay = 0, interval = 0;
    getPeriodicDelay(delay, interval);
    detail::TrackingEvents events(m_autorepeat, delay, interval);
    for (;;) {
        auto next = events.next();
        if (next.tick) {
            // Held on the arrow: another step.
            if (m_pressedArrow == direction) {
                step(direction);
                sendActionFromControlView();
                redraw();
            }
            continue;
        }
        if (!next.event)
            break;
        auto point = controlView.convertPointFromView(next.event->locationInWindow(), nullptr);
        m_pressedArrow = arrowAt(point) == direction ? direction : 0;
        redraw();
        if (next.event->type() == EventType::LeftMouseUp)
            break;
    }
    m_pressedArrow = 0;
    redraw();
    return true;
}

// Archiving.

void StepperCell::encodeWithCoder(fnd::Coder& coder) const
{
    ActionCell::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeDouble(m_minValue, "MinValue");
    coder.encodeDouble(m_maxValue, "MaxValue");
    coder.encodeDouble(m_increment, "Increment");
    coder.encodeDouble(m_value, "Value");
    coder.encodeBool(m_valueWraps, "ValueWraps");
    coder.encodeBool(m_autorepeat, "Autorepeat");
}

bool StepperCell::initWithCoder(fnd::Coder& coder)
{
    if (!ActionCell::initWithCoder(coder))
        return false;
    // The ends and the step are finite: a range with a NaN end would let any value through.
    constexpr double Largest = std::numeric_limits<double>::max();
    m_minValue = fnd::decodeBoundedDoubleForKey(coder, "MinValue", -Largest, Largest, 0);
    m_maxValue = fnd::decodeBoundedDoubleForKey(coder, "MaxValue", -Largest, Largest, 59);
    m_increment = fnd::decodeBoundedDoubleForKey(coder, "Increment", -Largest, Largest, 1);
    m_valueWraps = !coder.containsValueForKey("ValueWraps") || coder.decodeBoolForKey("ValueWraps");
    m_autorepeat = !coder.containsValueForKey("Autorepeat") || coder.decodeBoolForKey("Autorepeat");
    m_value = detail::valueInRange(coder.decodeDoubleForKey("Value"), m_minValue, m_maxValue);
    return !coder.hasFailed();
}

}
