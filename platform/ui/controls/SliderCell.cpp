#include "platform/ui/controls/SliderCell.h"

#include "platform/foundation/archiving/TypedDecoding.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/controls/detail/ValueRange.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/View.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ui {

FND_REGISTER_CLASS(SliderCell, ActionCell)

void SliderCell::describeClass(fnd::ClassBuilder<SliderCell>& c)
{
    c.property("minValue", &SliderCell::minValue, &SliderCell::setMinValue);
    c.property("maxValue", &SliderCell::maxValue, &SliderCell::setMaxValue);
    c.property("altIncrementValue", &SliderCell::altIncrementValue, &SliderCell::setAltIncrementValue);
    c.property("numberOfTickMarks", &SliderCell::numberOfTickMarks, &SliderCell::setNumberOfTickMarks);
    c.property("tickMarkPosition", &SliderCell::tickMarkPosition, &SliderCell::setTickMarkPosition);
    c.property(
        "allowsTickMarkValuesOnly", &SliderCell::allowsTickMarkValuesOnly, &SliderCell::setAllowsTickMarkValuesOnly);
}

namespace {

constexpr double BarThickness = 6;
constexpr double TickArea = 7;

}

void SliderCell::init()
{
    initTextCell({});
    m_value = 0;
    setContinuous(true);
}

// Value.

double SliderCell::clampedValue(double value) const
{
    value = detail::valueInRange(value, m_minValue, m_maxValue);
    if (m_allowsTickMarkValuesOnly && m_numberOfTickMarks > 0)
        value = closestTickMarkValueToValue(value);
    return value;
}

void SliderCell::setDoubleValue(double value)
{
    value = clampedValue(value);
    if (value == m_value)
        return;
    m_value = value;
    noteChanged();
}

void SliderCell::setObjectValue(const fnd::Value& value)
{
    setDoubleValue(value.doubleValue());
}

fnd::String SliderCell::stringValue() const
{
    return fnd::Value(m_value).stringValue();
}

void SliderCell::setStringValue(const fnd::String& string)
{
    setDoubleValue(std::strtod(string.utf8().c_str(), nullptr));
}

// An end that is not finite would let any value through, so it is ignored, as decoding refuses it.
void SliderCell::setMinValue(double value)
{
    if (!std::isfinite(value))
        return;
    m_minValue = value;
    setDoubleValue(m_value);
    noteChanged();
}

void SliderCell::setMaxValue(double value)
{
    if (!std::isfinite(value))
        return;
    m_maxValue = value;
    setDoubleValue(m_value);
    noteChanged();
}

void SliderCell::setContinuous(bool flag)
{
    ActionCell::setContinuous(flag);
    auto mask = actionMask();
    sendActionOn(flag ? mask | EventMasks::LeftMouseDragged : mask & ~EventMasks::LeftMouseDragged);
}

void SliderCell::setNumberOfTickMarks(long count)
{
    m_numberOfTickMarks = std::clamp(count, 0l, MaximumNumberOfTickMarks);
    setDoubleValue(m_value);
    noteChanged();
}

void SliderCell::setAltIncrementValue(double value)
{
    if (std::isfinite(value))
        m_altIncrementValue = std::max(0.0, value);
}

void SliderCell::setTickMarkPosition(TickMarkPosition position)
{
    if (!isWithin(position, TickMarkPosition::Below, TickMarkPosition::Above))
        return;
    m_tickMarkPosition = position;
    noteChanged();
}

void SliderCell::setAllowsTickMarkValuesOnly(bool flag)
{
    m_allowsTickMarkValuesOnly = flag;
    setDoubleValue(m_value);
}

double SliderCell::tickMarkValueAtIndex(long index) const
{
    if (m_numberOfTickMarks <= 1)
        return (m_minValue + m_maxValue) / 2;
    index = std::clamp(index, 0l, m_numberOfTickMarks - 1);
    const double share = (m_maxValue - m_minValue) * double(index);
    if (std::isfinite(share))
        return m_minValue + share / double(m_numberOfTickMarks - 1);
    // The span of ends near the largest numbers (or its multiple) overflows: their weighted sum does not.
    const double t = double(index) / double(m_numberOfTickMarks - 1);
    return m_minValue * (1 - t) + m_maxValue * t;
}

double SliderCell::closestTickMarkValueToValue(double value) const
{
    if (m_numberOfTickMarks <= 0)
        return value;
    if (m_numberOfTickMarks == 1 || m_maxValue == m_minValue)
        return tickMarkValueAtIndex(0);
    // Halved, so that neither difference overflows.
    const double share = (value / 2 - m_minValue / 2) / (m_maxValue / 2 - m_minValue / 2);
    return tickMarkValueAtIndex(std::lround(share * double(m_numberOfTickMarks - 1)));
}

bool SliderCell::isVertical() const
{
    if (m_vertical)
        return *m_vertical;
    return m_trackRect.height() > m_trackRect.width();
}

double SliderCell::knobThickness() const
{
    switch (controlSize()) {
    case ControlSize::Small:
        return 16;
    case ControlSize::Mini:
        return 12;
    default:
        return 20;
    }
}

// Geometry.

gfx::Rect SliderCell::barRectFlipped(bool flipped) const
{
    auto frame = m_trackRect;
    const double knob = knobThickness();
    const bool ticks = m_numberOfTickMarks > 0;
    if (!isVertical()) {
        // The tick marks take a strip below (or above) the knob's band, on the screen.
        double bandTop = frame.minY(), bandHeight = frame.height() - (ticks ? TickArea : 0);
        bool ticksAtMinY = ticks && ((m_tickMarkPosition == TickMarkPosition::Above) == flipped);
        if (ticksAtMinY)
            bandTop += TickArea;
        double y = std::round(bandTop + bandHeight / 2 - BarThickness / 2);
        return { frame.minX() + knob / 2, y, std::max(0.0, frame.width() - knob), BarThickness };
    }
    double bandLeft = frame.minX(), bandWidth = frame.width() - (ticks ? TickArea : 0);
    if (ticks && m_tickMarkPosition == TickMarkPosition::Leading)
        bandLeft += TickArea;
    double x = std::round(bandLeft + bandWidth / 2 - BarThickness / 2);
    return { x, frame.minY() + knob / 2, BarThickness, std::max(0.0, frame.height() - knob) };
}

namespace {

// Where along the bar the fraction is, in view coordinates.
double along(gfx::Rect bar, double fraction, bool vertical, bool flipped)
{
    if (!vertical)
        return bar.minX() + bar.width() * fraction;
    // The minimum is at the bottom of the screen.
    return flipped ? bar.maxY() - bar.height() * fraction : bar.minY() + bar.height() * fraction;
}

}

gfx::Rect SliderCell::knobRectFlipped(bool flipped) const
{
    auto bar = barRectFlipped(flipped);
    double range = m_maxValue - m_minValue;
    double fraction = range != 0 ? (m_value - m_minValue) / range : 0;
    const double knob = knobThickness();
    double centre = along(bar, fraction, isVertical(), flipped);
    return gfx::rectOnAxis(
        axis(), std::round(centre - knob / 2), std::round(gfx::midAcross(bar, axis()) - knob / 2), knob, knob);
}

double SliderCell::valueAtPoint(gfx::Point point, bool flipped) const
{
    auto bar = barRectFlipped(flipped);
    double fraction;
    if (!isVertical())
        fraction = bar.width() > 0 ? (point.x - bar.minX()) / bar.width() : 0;
    else if (flipped)
        fraction = bar.height() > 0 ? (bar.maxY() - point.y) / bar.height() : 0;
    else
        fraction = bar.height() > 0 ? (point.y - bar.minY()) / bar.height() : 0;
    return m_minValue + (m_maxValue - m_minValue) * std::clamp(fraction, 0.0, 1.0);
}

gfx::Rect SliderCell::rectOfTickMarkAtIndex(long index) const
{
    if (index < 0 || index >= m_numberOfTickMarks)
        return {};
    const bool flipped = m_trackFlipped;
    auto bar = barRectFlipped(flipped);
    double range = m_maxValue - m_minValue;
    double fraction = range != 0 ? (tickMarkValueAtIndex(index) - m_minValue) / range : 0.5;
    double at = std::floor(along(bar, fraction, isVertical(), flipped));
    auto frame = m_trackRect;
    if (!isVertical()) {
        bool atMinY = (m_tickMarkPosition == TickMarkPosition::Above) == flipped;
        double y = atMinY ? frame.minY() + 1 : frame.maxY() - TickArea + 1;
        return { at, y, 1, TickArea - 2 };
    }
    double x = m_tickMarkPosition == TickMarkPosition::Leading ? frame.minX() + 1 : frame.maxX() - TickArea + 1;
    return { x, at, TickArea - 2, 1 };
}

long SliderCell::indexOfTickMarkAtPoint(gfx::Point point) const
{
    for (long i = 0; i < m_numberOfTickMarks; ++i) {
        if (gfx::pointInRect(point, gfx::insetRect(rectOfTickMarkAtIndex(i), -3, -3)))
            return i;
    }
    return -1;
}

bool SliderCell::moveByKeyboardSteps(int steps)
{
    double step = m_altIncrementValue;
    if (step <= 0)
        step = m_numberOfTickMarks > 1 ? (m_maxValue - m_minValue) / double(m_numberOfTickMarks - 1)
                                       : (m_maxValue - m_minValue) / 20;
    double before = m_value;
    setDoubleValue(m_value + step * steps);
    return m_value != before;
}

gfx::Size SliderCell::cellSizeForBounds(gfx::Rect bounds) const
{
    double thickness = knobThickness() + 2 + (m_numberOfTickMarks > 0 ? TickArea : 0);
    double length = gfx::lengthAlong(bounds, axis());
    return gfx::sizeOnAxis(axis(), std::max(length < 1e6 ? length : 0.0, 100.0), thickness);
}

// Drawing.

void SliderCell::drawWithFrame(gfx::Rect cellFrame, View& controlView)
{
    setControlView(std::static_pointer_cast<View>(controlView.shared_from_this()));
    m_trackRect = cellFrame;
    m_trackFlipped = controlView.isFlipped();
    drawInteriorWithFrame(cellFrame, controlView);
}

void SliderCell::drawInteriorWithFrame(gfx::Rect, View& controlView)
{
    drawBarInside(barRectFlipped(controlView.isFlipped()), controlView.isFlipped());
    drawTickMarks();
    drawKnob(knobRectFlipped(controlView.isFlipped()));
}

void SliderCell::drawBarInside(gfx::Rect rect, bool)
{
    double range = m_maxValue - m_minValue;
    double fraction = range != 0 ? (m_value - m_minValue) / range : 0;
    ControlLook::drawTrough(rect, fraction, isVertical(), isEnabled(), isInActiveWindow());
}

void SliderCell::drawKnob(gfx::Rect knobRect)
{
    ControlLook::drawKnob(knobRect, isHighlighted(), isEnabled());
}

void SliderCell::drawTickMarks()
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    context->setFillColor(*ControlLook::secondaryTextColor(isEnabled()));
    for (long i = 0; i < m_numberOfTickMarks; ++i)
        context->fillRect(rectOfTickMarkAtIndex(i));
}

void SliderCell::drawFocusRingMaskWithFrame(gfx::Rect, View& controlView)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    context->setFillColor(*gfx::Color::blackColor());
    context->fillPath(*gfx::BezierPath::bezierPathWithOvalInRect(knobRectFlipped(controlView.isFlipped())));
}

// Tracking.

bool SliderCell::trackMouse(const Event& event, gfx::Rect cellFrame, View& controlView, bool untilMouseUp)
{
    m_trackRect = cellFrame;
    m_trackFlipped = controlView.isFlipped();
    return ActionCell::trackMouse(event, cellFrame, controlView, untilMouseUp);
}

bool SliderCell::startTrackingAt(gfx::Point startPoint, View& controlView)
{
    const bool flipped = controlView.isFlipped();
    auto knob = knobRectFlipped(flipped);
    m_grabOffset = 0;
    if (gfx::pointInRect(startPoint, knob)) {
        // Dragged by the knob: it keeps its place under the pointer.
        m_grabOffset = gfx::along(startPoint, axis()) - gfx::midAlong(knob, axis());
    } else {
        setDoubleValue(valueAtPoint(startPoint, flipped));
    }
    return true;
}

bool SliderCell::continueTracking(gfx::Point, gfx::Point currentPoint, View& controlView)
{
    auto p = gfx::withAlong(currentPoint, axis(), gfx::along(currentPoint, axis()) - m_grabOffset);
    setDoubleValue(valueAtPoint(p, controlView.isFlipped()));
    return true;
}

void SliderCell::stopTracking(gfx::Point lastPoint, gfx::Point stopPoint, View& controlView, bool mouseIsUp)
{
    if (mouseIsUp)
        continueTracking(lastPoint, stopPoint, controlView);
}

// Archiving.

void SliderCell::encodeWithCoder(fnd::Coder& coder) const
{
    ActionCell::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeDouble(m_minValue, "MinValue");
    coder.encodeDouble(m_maxValue, "MaxValue");
    coder.encodeDouble(m_value, "Value");
    coder.encodeDouble(m_altIncrementValue, "AltIncrementValue");
    coder.encodeInteger(m_numberOfTickMarks, "NumberOfTickMarks");
    coder.encodeInt(static_cast<int>(m_tickMarkPosition), "TickMarkPosition");
    coder.encodeBool(m_allowsTickMarkValuesOnly, "AllowsTickMarkValuesOnly");
}

bool SliderCell::initWithCoder(fnd::Coder& coder)
{
    if (!ActionCell::initWithCoder(coder))
        return false;
    constexpr double Largest = std::numeric_limits<double>::max();
    m_minValue = fnd::decodeBoundedDoubleForKey(coder, "MinValue", -Largest, Largest, 0);
    m_maxValue = fnd::decodeBoundedDoubleForKey(coder, "MaxValue", -Largest, Largest, 1);
    m_numberOfTickMarks
        = long(fnd::decodeBoundedIntegerForKey(coder, "NumberOfTickMarks", 0, MaximumNumberOfTickMarks, 0));
    m_tickMarkPosition
        = coder.decodeIntForKey("TickMarkPosition") == 1 ? TickMarkPosition::Above : TickMarkPosition::Below;
    m_allowsTickMarkValuesOnly = coder.decodeBoolForKey("AllowsTickMarkValuesOnly");
    m_altIncrementValue
        = std::max(0.0, fnd::decodeBoundedDoubleForKey(coder, "AltIncrementValue", -Largest, Largest, 0));
    m_value = clampedValue(coder.decodeDoubleForKey("Value"));
    return !coder.hasFailed();
}

}
