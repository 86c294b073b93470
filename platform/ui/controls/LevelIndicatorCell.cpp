#include "platform/ui/controls/LevelIndicatorCell.h"

#include "platform/foundation/archiving/TypedDecoding.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/controls/detail/ValueRange.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/TrackingEvents.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace ui {

FND_REGISTER_CLASS(LevelIndicatorCell, ActionCell)

void LevelIndicatorCell::describeClass(fnd::ClassBuilder<LevelIndicatorCell>& c)
{
    c.property(
        "levelIndicatorStyle", &LevelIndicatorCell::levelIndicatorStyle, &LevelIndicatorCell::setLevelIndicatorStyle);
    c.property("minValue", &LevelIndicatorCell::minValue, &LevelIndicatorCell::setMinValue);
    c.property("maxValue", &LevelIndicatorCell::maxValue, &LevelIndicatorCell::setMaxValue);
    c.property("warningValue", &LevelIndicatorCell::warningValue, &LevelIndicatorCell::setWarningValue);
    c.property("criticalValue", &LevelIndicatorCell::criticalValue, &LevelIndicatorCell::setCriticalValue);
    c.property("numberOfTickMarks", &LevelIndicatorCell::numberOfTickMarks, &LevelIndicatorCell::setNumberOfTickMarks);
    c.property("numberOfMajorTickMarks", &LevelIndicatorCell::numberOfMajorTickMarks,
        &LevelIndicatorCell::setNumberOfMajorTickMarks);
}

namespace {

constexpr double TickStrip = 6;
constexpr double SegmentGap = 2;

gfx::ColorPtr levelColor(LevelIndicatorCell::Level level)
{
    switch (level) {
    case LevelIndicatorCell::Level::Critical:
        return gfx::Color::colorWithCalibratedRed(224 / 255.0, 27 / 255.0, 36 / 255.0);
    case LevelIndicatorCell::Level::Warning:
        return gfx::Color::colorWithCalibratedRed(229 / 255.0, 165 / 255.0, 10 / 255.0);
    default:
        return gfx::Color::colorWithCalibratedRed(38 / 255.0, 162 / 255.0, 105 / 255.0);
    }
}

// A five-pointed star in the square, point up on the screen.
std::shared_ptr<gfx::BezierPath> starPath(gfx::Rect square, bool flipped)
{
    auto path = gfx::BezierPath::bezierPath();
    gfx::Point c { square.midX(), square.midY() };
    double outer = square.width() / 2, inner = outer * 0.42;
    double up = flipped ? -1 : 1;
    for (int i = 0; i < 10; ++i) {
        double r = i % 2 == 0 ? outer : inner;
        double angle = std::numbers::pi / 2 + i * std::numbers::pi / 5;
        gfx::Point p { c.x + r * std::cos(angle), c.y + up * r * std::sin(angle) };
        if (i == 0)
            path->moveToPoint(p);
        else
            path->lineToPoint(p);
    }
    path->closePath();
    return path;
}

}

void LevelIndicatorCell::init()
{
    initTextCell({});
}

void LevelIndicatorCell::setLevelIndicatorStyle(LevelIndicatorStyle style)
{
    if (!isWithin(style, LevelIndicatorStyle::Relevancy, LevelIndicatorStyle::Rating))
        return;
    m_style = style;
    setDoubleValue(m_value);
    noteChanged();
}

void LevelIndicatorCell::setMinValue(double value)
{
    // An end that is not finite would let any value through the range (std::clamp lets NaN through): ignored.
    if (!std::isfinite(value))
        return;
    m_minValue = value;
    setDoubleValue(m_value);
    noteChanged();
}

void LevelIndicatorCell::setMaxValue(double value)
{
    if (!std::isfinite(value))
        return;
    m_maxValue = value;
    setDoubleValue(m_value);
    noteChanged();
}

void LevelIndicatorCell::setWarningValue(double value)
{
    if (!std::isfinite(value))
        return;
    m_warningValue = value;
    noteChanged();
}

void LevelIndicatorCell::setCriticalValue(double value)
{
    if (!std::isfinite(value))
        return;
    m_criticalValue = value;
    noteChanged();
}

void LevelIndicatorCell::setNumberOfTickMarks(long count)
{
    m_numberOfTickMarks = std::max(0l, count);
    noteChanged();
}

void LevelIndicatorCell::setDoubleValue(double value)
{
    value = detail::valueInRange(value, m_minValue, m_maxValue);
    if (value == m_value)
        return;
    m_value = value;
    noteChanged();
}

fnd::String LevelIndicatorCell::stringValue() const
{
    return fnd::Value(m_value).stringValue();
}

LevelIndicatorCell::Level LevelIndicatorCell::level() const
{
    if (m_warningValue == m_criticalValue)
        return Level::Normal;
    if (m_warningValue < m_criticalValue) {
        if (m_value >= m_criticalValue)
            return Level::Critical;
        return m_value >= m_warningValue ? Level::Warning : Level::Normal;
    }
    // Low is bad: critical below the critical value, warning below the warning value.
    if (m_value <= m_criticalValue)
        return Level::Critical;
    return m_value <= m_warningValue ? Level::Warning : Level::Normal;
}

double LevelIndicatorCell::tickMarkValueAtIndex(long index) const
{
    if (m_numberOfTickMarks <= 1)
        return (m_minValue + m_maxValue) / 2;
    index = std::clamp(index, 0l, m_numberOfTickMarks - 1);
    return m_minValue + (m_maxValue - m_minValue) * double(index) / double(m_numberOfTickMarks - 1);
}

// Geometry.

gfx::Rect LevelIndicatorCell::barRectForBounds(gfx::Rect bounds) const
{
    if (m_numberOfTickMarks <= 0 || m_style == LevelIndicatorStyle::Rating)
        return bounds;
    auto view = controlView();
    const bool flipped = view ? view->isFlipped() : true;
    // The tick marks take a strip below (or above) the bar, on the screen.
    bool stripAtMinY = (m_tickMarkPosition == TickMarkPosition::Above) == flipped;
    return { bounds.minX(), bounds.minY() + (stripAtMinY ? TickStrip : 0), bounds.width(),
        std::max(0.0, bounds.height() - TickStrip) };
}

gfx::Rect LevelIndicatorCell::rectOfTickMarkAtIndex(long index) const
{
    if (index < 0 || index >= m_numberOfTickMarks)
        return {};
    auto bar = barRectForBounds(m_frame);
    double range = m_maxValue - m_minValue;
    double f = range != 0 ? (tickMarkValueAtIndex(index) - m_minValue) / range : 0.5;
    double x = std::clamp(std::floor(bar.minX() + bar.width() * f), bar.minX(), bar.maxX() - 1);
    bool major = m_numberOfMajorTickMarks > 1 && m_numberOfTickMarks > 1
        && index % std::max(1l, (m_numberOfTickMarks - 1) / (m_numberOfMajorTickMarks - 1)) == 0;
    double length = major ? TickStrip - 1 : TickStrip - 3;
    double y = bar.minY() > m_frame.minY() ? m_frame.minY() : bar.maxY() + 1;
    return { x, y, 1, length };
}

double LevelIndicatorCell::valueAtPoint(gfx::Point point, gfx::Rect frame) const
{
    auto bar = barRectForBounds(frame);
    double range = m_maxValue - m_minValue;
    if (m_style == LevelIndicatorStyle::Rating) {
        // Whole stars: a point on star n (counted from 1) means n; left of the first, none.
        double side = bar.height();
        if (side <= 0 || point.x < bar.minX() + side / 4)
            return m_minValue;
        return std::clamp(std::ceil((point.x - bar.minX()) / side), m_minValue, m_maxValue);
    }
    double f = bar.width() > 0 ? std::clamp((point.x - bar.minX()) / bar.width(), 0.0, 1.0) : 0;
    double value = m_minValue + range * f;
    if (m_style == LevelIndicatorStyle::DiscreteCapacity)
        value = m_minValue + std::ceil(range * f);
    return value;
}

gfx::Size LevelIndicatorCell::cellSizeForBounds(gfx::Rect) const
{
    double height = m_style == LevelIndicatorStyle::Rating ? 14 : 16;
    if (m_numberOfTickMarks > 0 && m_style != LevelIndicatorStyle::Rating)
        height += TickStrip;
    double width = m_style == LevelIndicatorStyle::Rating ? 14 * std::max(1.0, std::round(m_maxValue)) : 100;
    return { width, height };
}

// Drawing.

void LevelIndicatorCell::drawWithFrame(gfx::Rect cellFrame, View& controlView)
{
    setControlView(std::static_pointer_cast<View>(controlView.shared_from_this()));
    m_frame = cellFrame;
    drawInteriorWithFrame(cellFrame, controlView);
}

void LevelIndicatorCell::drawInteriorWithFrame(gfx::Rect cellFrame, View&)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    m_frame = cellFrame;
    auto bar = ControlLook::snapped(barRectForBounds(cellFrame));
    double range = m_maxValue - m_minValue;
    double f = range != 0 ? std::clamp((m_value - m_minValue) / range, 0.0, 1.0) : 0;
    auto fill = levelColor(level());
    if (!isEnabled())
        fill = fill->colorWithAlphaComponent(0.5);
    switch (m_style) {
    case LevelIndicatorStyle::Rating:
        drawStars(bar);
        break;
    case LevelIndicatorStyle::Relevancy: {
        // Thin bars up to the value.
        context->setFillColor(*ControlLook::secondaryTextColor(isEnabled()));
        double end = bar.minX() + bar.width() * f;
        for (double x = bar.minX(); x + 1 <= end + 1e-9; x += 2)
            context->fillRect({ x, bar.minY(), 1, bar.height() });
        break;
    }
    case LevelIndicatorStyle::DiscreteCapacity: {
        long segments = std::max(1l, std::lround(range));
        long lit = std::lround(m_value - m_minValue);
        double width = (bar.width() - SegmentGap * double(segments - 1)) / double(segments);
        for (long i = 0; i < segments; ++i) {
            double x0 = std::round(bar.minX() + i * (width + SegmentGap));
            double x1 = std::round(bar.minX() + i * (width + SegmentGap) + width);
            gfx::Rect segment { x0, bar.minY(), x1 - x0, bar.height() };
            context->setFillColor(i < lit ? *fill : *ControlLook::troughColor());
            context->fillPath(*gfx::BezierPath::bezierPathWithRoundedRect(segment, 2, 2));
        }
        break;
    }
    default: {
        double r = std::min(3.0, bar.height() / 2);
        context->setFillColor(*ControlLook::troughColor());
        context->fillPath(*gfx::BezierPath::bezierPathWithRoundedRect(bar, r, r));
        if (f > 0) {
            context->saveGraphicsState();
            context->clipToRect({ bar.minX(), bar.minY(), bar.width() * f, bar.height() });
            context->setFillColor(*fill);
            context->fillPath(*gfx::BezierPath::bezierPathWithRoundedRect(bar, r, r));
            context->restoreGraphicsState();
        }
        break;
    }
    }
    context->setFillColor(*ControlLook::secondaryTextColor(isEnabled()));
    for (long i = 0; i < m_numberOfTickMarks && m_style != LevelIndicatorStyle::Rating; ++i)
        context->fillRect(rectOfTickMarkAtIndex(i));
}

void LevelIndicatorCell::drawStars(gfx::Rect bar)
{
    auto* context = gfx::GraphicsContext::current();
    auto view = controlView();
    const bool flipped = view ? view->isFlipped() : true;
    double side = bar.height();
    long stars = std::max(0l, std::lround(m_maxValue));
    auto filled = isEnabled() ? ControlLook::textColor(true) : ControlLook::secondaryTextColor(false);
    for (long i = 0; i < stars; ++i) {
        gfx::Rect square { bar.minX() + side * double(i), bar.minY(), side, side };
        auto star = starPath(gfx::insetRect(square, 1, 1), flipped);
        double covered = std::clamp(m_value - double(i), 0.0, 1.0);
        if (covered > 0) {
            context->saveGraphicsState();
            context->clipToRect({ square.minX(), square.minY(), square.width() * covered, square.height() });
            context->setFillColor(*filled);
            context->fillPath(*star);
            context->restoreGraphicsState();
        }
        if (covered >= 1)
            continue;
        // The places of the stars not given: outlines while highlighted, small dots otherwise.
        if (isHighlighted()) {
            star->setLineWidth(1);
            context->setStrokeColor(*ControlLook::secondaryTextColor(isEnabled()));
            context->strokePath(*star);
        } else if (covered == 0) {
            double dot = 3;
            context->setFillColor(*ControlLook::secondaryTextColor(isEnabled()));
            context->fillPath(*gfx::BezierPath::bezierPathWithOvalInRect(
                { square.midX() - dot / 2, square.midY() - dot / 2, dot, dot }));
        }
    }
}

// Tracking.

bool LevelIndicatorCell::trackMouse(const Event& event, gfx::Rect cellFrame, View& controlView, bool)
{
    if (!isEditable())
        return true;
    auto self = shared_from_this();
    auto view = std::static_pointer_cast<View>(controlView.shared_from_this());
    m_frame = cellFrame;
    auto redraw = [&] { detail::displayDuringTracking(controlView); };
    setDoubleValue(valueAtPoint(controlView.convertPointFromView(event.locationInWindow(), nullptr), cellFrame));
    redraw();
    if (isContinuous())
        sendActionFromControlView();
    detail::TrackingEvents events(false, 0, 0);
    for (;;) {
        auto next = events.next();
        if (!next.event)
            return true;
        setDoubleValue(
            valueAtPoint(controlView.convertPointFromView(next.event->locationInWindow(), nullptr), cellFrame));
        redraw();
        if (next.event->type() == EventType::LeftMouseUp)
            break;
        if (isContinuous())
            sendActionFromControlView();
    }
    sendActionFromControlView();
    return true;
}

// Archiving.

void LevelIndicatorCell::encodeWithCoder(fnd::Coder& coder) const
{
    ActionCell::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeInt(static_cast<int>(m_style), "LevelIndicatorStyle");
    coder.encodeDouble(m_minValue, "MinValue");
    coder.encodeDouble(m_maxValue, "MaxValue");
    coder.encodeDouble(m_value, "Value");
    coder.encodeDouble(m_warningValue, "WarningValue");
    coder.encodeDouble(m_criticalValue, "CriticalValue");
    coder.encodeInteger(m_numberOfTickMarks, "NumberOfTickMarks");
    coder.encodeInteger(m_numberOfMajorTickMarks, "NumberOfMajorTickMarks");
    coder.encodeInt(static_cast<int>(m_tickMarkPosition), "TickMarkPosition");
}

bool LevelIndicatorCell::initWithCoder(fnd::Coder& coder)
{
    if (!ActionCell::initWithCoder(coder))
        return false;
    m_style = static_cast<LevelIndicatorStyle>(std::clamp(coder.decodeIntForKey("LevelIndicatorStyle"), 0, 3));
    // Finite ends and marks, as the setters keep them; a value that is not a number takes the minimum.
    constexpr double Largest = std::numeric_limits<double>::max();
    m_minValue = fnd::decodeBoundedDoubleForKey(coder, "MinValue", -Largest, Largest, 0);
    m_maxValue = fnd::decodeBoundedDoubleForKey(coder, "MaxValue", -Largest, Largest, 2);
    m_warningValue = fnd::decodeBoundedDoubleForKey(coder, "WarningValue", -Largest, Largest, 0);
    m_criticalValue = fnd::decodeBoundedDoubleForKey(coder, "CriticalValue", -Largest, Largest, 0);
    m_numberOfTickMarks = std::max(0l, static_cast<long>(coder.decodeIntegerForKey("NumberOfTickMarks")));
    m_numberOfMajorTickMarks = std::max(0l, static_cast<long>(coder.decodeIntegerForKey("NumberOfMajorTickMarks")));
    m_tickMarkPosition
        = coder.decodeIntForKey("TickMarkPosition") == 1 ? TickMarkPosition::Above : TickMarkPosition::Below;
    m_value = detail::valueInRange(coder.decodeDoubleForKey("Value"), m_minValue, m_maxValue);
    return !coder.hasFailed();
}

}
