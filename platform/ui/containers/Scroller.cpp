#include "platform/ui/containers/Scroller.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/Application.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

// The knob never gets shorter than this, so it stays easy to grab on long documents.
constexpr double MinimumKnobLength = 20;
// Held clicks on an arrow or the slot repeat after this wait, then at this interval (seconds).
constexpr double RepeatDelay = 0.35;
constexpr double RepeatInterval = 0.05;

}

FND_REGISTER_CLASS(Scroller, Control)

void Scroller::describeClass(fnd::ClassBuilder<Scroller>& c)
{
    c.property("knobProportion", &Scroller::knobProportion, &Scroller::setKnobProportion);
}

std::shared_ptr<Scroller> Scroller::create(gfx::Rect frame)
{
    return makeView<Scroller>(frame);
}

void Scroller::initWithFrame(gfx::Rect frame)
{
    Control::initWithFrame(frame);
    setDoubleValue(0);
    setContinuous(true);
}

double Scroller::scrollerWidthForControlSize(ControlSize size, ScrollerStyle)
{
    // Overlay scrollers draw thinner but answer clicks over the same strip.
    switch (size) {
    case ControlSize::Regular:
        return 15;
    case ControlSize::Small:
        return 13;
    case ControlSize::Mini:
        return 11;
    }
    return 15;
}

void Scroller::setScrollerStyle(ScrollerStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    setNeedsDisplay(true);
}

void Scroller::setKnobProportion(double proportion)
{
    proportion = std::clamp(std::isfinite(proportion) ? proportion : 1.0, 0.0, 1.0);
    if (proportion == m_knobProportion)
        return;
    m_knobProportion = proportion;
    setNeedsDisplay(true);
}

double Scroller::knobPosition() const
{
    double v = doubleValue();
    return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0;
}

// Geometry, in the scroller's flipped coordinates: the decrement end is at the top or the left.

gfx::Rect Scroller::slotRect() const
{
    const auto b = bounds();
    const auto a = axis();
    double thickness = gfx::lengthAcross(b, a);
    // Arrows only where there is room for them and a knob between.
    if (!hasArrows() || gfx::lengthAlong(b, a) < 3 * thickness)
        return b;
    return gfx::rectOnAxis(
        a, gfx::minAlong(b, a) + thickness, gfx::minAcross(b, a), gfx::lengthAlong(b, a) - 2 * thickness, thickness);
}

gfx::Rect Scroller::rectForPart(ScrollerPart part) const
{
    const auto b = bounds();
    const auto slot = slotRect();
    const auto a = axis();
    // The stretch from start to end along the axis, across the whole of `over`.
    auto span = [a](double start, double end, gfx::Rect over) {
        return gfx::rectOnAxis(a, start, gfx::minAcross(over, a), end - start, gfx::lengthAcross(over, a));
    };
    switch (part) {
    case ScrollerPart::NoPart:
        return {};
    case ScrollerPart::KnobSlot:
        return slot;
    case ScrollerPart::DecrementLine:
        if (slot == b)
            return {};
        return span(gfx::minAlong(b, a), gfx::minAlong(slot, a), b);
    case ScrollerPart::IncrementLine:
        if (slot == b)
            return {};
        return span(gfx::maxAlong(slot, a), gfx::maxAlong(b, a), b);
    default:
        break;
    }
    if (!usableParts())
        return {};
    double slotLength = gfx::lengthAlong(slot, a);
    double knobLength = std::min(slotLength, std::max(MinimumKnobLength, std::round(m_knobProportion * slotLength)));
    double knobStart = std::round((slotLength - knobLength) * knobPosition());
    const auto knob = span(gfx::minAlong(slot, a) + knobStart, gfx::minAlong(slot, a) + knobStart + knobLength, slot);
    if (part == ScrollerPart::Knob)
        return knob;
    if (part == ScrollerPart::DecrementPage)
        return span(gfx::minAlong(slot, a), gfx::minAlong(knob, a), slot);
    return span(gfx::maxAlong(knob, a), gfx::maxAlong(slot, a), slot);
}

ScrollerPart Scroller::testPart(gfx::Point point) const
{
    if (!gfx::pointInRect(point, bounds()))
        return ScrollerPart::NoPart;
    if (!usableParts())
        return ScrollerPart::NoPart;
    for (auto part : { ScrollerPart::DecrementLine, ScrollerPart::IncrementLine, ScrollerPart::Knob,
             ScrollerPart::DecrementPage, ScrollerPart::IncrementPage }) {
        if (gfx::pointInRect(point, rectForPart(part)))
            return part;
    }
    return ScrollerPart::KnobSlot;
}

// Drawing.

void Scroller::drawRect(gfx::Rect)
{
    bool usable = usableParts();
    if (m_style == ScrollerStyle::Legacy) {
        drawKnobSlotInRect(bounds(), false);
        drawArrow(ScrollerPart::DecrementLine, m_highlightedPart == ScrollerPart::DecrementLine);
        drawArrow(ScrollerPart::IncrementLine, m_highlightedPart == ScrollerPart::IncrementLine);
    }
    if (usable)
        drawKnob();
}

void Scroller::drawKnobSlotInRect(gfx::Rect slotRect, bool)
{
    gfx::Color::colorWithCalibratedWhite(0.98)->setFill();
    gfx::BezierPath::fillRect(slotRect);
    // A hairline on the side that meets the content.
    auto b = bounds();
    ControlLook::borderColor()->setFill();
    gfx::BezierPath::fillRect(gfx::withLengthAcross(b, axis(), 1));
}

void Scroller::drawKnob()
{
    auto knob = rectForPart(ScrollerPart::Knob);
    if (knob.isEmpty())
        return;
    bool pressed = m_highlightedPart == ScrollerPart::Knob;
    const auto a = axis();
    double thickness = gfx::lengthAcross(knob, a);
    // Legacy knobs fill most of the strip; overlay knobs are a thin bar along the outer edge.
    double inner = m_style == ScrollerStyle::Legacy ? std::max(4.0, thickness - 8) : std::max(3.0, thickness / 2 - 1);
    double margin = m_style == ScrollerStyle::Legacy ? (thickness - inner) / 2 + 0.5 : thickness - inner - 2;
    auto bar = gfx::rectOnAxis(
        a, gfx::minAlong(knob, a) + 2, gfx::minAcross(knob, a) + margin, gfx::lengthAlong(knob, a) - 4, inner);
    double radius = inner / 2;
    auto path = gfx::BezierPath::bezierPathWithRoundedRect(bar, radius, radius);
    double alpha = pressed ? 0.6 : (m_style == ScrollerStyle::Legacy ? 0.38 : 0.45);
    gfx::Color::colorWithCalibratedWhite(0, isEnabled() ? alpha : alpha / 2)->setFill();
    path->fill();
}

void Scroller::drawArrow(ScrollerPart arrow, bool highlight)
{
    auto r = rectForPart(arrow);
    if (r.isEmpty())
        return;
    if (highlight) {
        gfx::Color::colorWithCalibratedWhite(0, 0.1)->setFill();
        gfx::BezierPath::fillRect(r);
    }
    bool decrement = arrow == ScrollerPart::DecrementLine;
    // Flipped view: "up" on the screen is towards smaller y, which drawChevron works out from the context.
    auto direction = isVertical() ? (decrement ? ControlLook::Direction::Up : ControlLook::Direction::Down)
                                  : (decrement ? ControlLook::Direction::Left : ControlLook::Direction::Right);
    auto color = ControlLook::textColor(usableParts());
    ControlLook::drawChevron(
        { r.midX(), r.midY() }, std::floor(std::min(r.width(), r.height()) / 4), direction, *color);
}

// Tracking.

void Scroller::sendScrollAction(ScrollerPart part)
{
    m_hitPart = part;
    sendAction(action(), target());
}

void Scroller::mouseDown(const Event& event)
{
    if (!usableParts())
        return;
    auto part = testPart(convertPointFromView(event.locationInWindow(), nullptr));
    m_hitPart = part;
    if (part == ScrollerPart::Knob)
        trackKnob(event);
    else if (part != ScrollerPart::NoPart && part != ScrollerPart::KnobSlot)
        trackScrollButtons(event);
}

void Scroller::trackKnob(const Event& event)
{
    auto self = shared_from_this(); // the action may take the scroller out of its view
    auto& app = Application::shared();
    const auto a = axis();
    auto start = convertPointFromView(event.locationInWindow(), nullptr);
    auto knob = rectForPart(ScrollerPart::Knob);
    auto slot = knobTrackRect();
    double grab = gfx::along(start, a) - gfx::minAlong(knob, a);
    double travel = gfx::lengthAlong(slot, a) - gfx::lengthAlong(knob, a);
    m_highlightedPart = ScrollerPart::Knob;
    setNeedsDisplay(true);
    for (;;) {
        auto next = app.nextEvent(EventMasks::LeftMouseUp | EventMasks::LeftMouseDragged, fnd::Date::distantFuture(),
            fnd::RunLoopMode::EventTracking, true);
        if (!next || next->type() == EventType::LeftMouseUp)
            break;
        auto p = convertPointFromView(next->locationInWindow(), nullptr);
        double knobStart = gfx::along(p, a) - gfx::minAlong(slot, a) - grab;
        double value = travel > 0 ? std::clamp(knobStart / travel, 0.0, 1.0) : 0.0;
        if (value != doubleValue()) {
            setDoubleValue(value);
            setNeedsDisplay(true);
            sendScrollAction(ScrollerPart::Knob);
        }
    }
    m_highlightedPart = ScrollerPart::NoPart;
    setNeedsDisplay(true);
}

void Scroller::trackScrollButtons(const Event& event)
{
    auto self = shared_from_this();
    auto& app = Application::shared();
    auto part = testPart(convertPointFromView(event.locationInWindow(), nullptr));
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    bool isArrow = part == ScrollerPart::DecrementLine || part == ScrollerPart::IncrementLine;
    if (isArrow) {
        m_highlightedPart = part;
        setNeedsDisplay(true);
    }
    sendScrollAction(part);
    auto nextTick = fnd::Clock::current()->now().addingTimeInterval(RepeatDelay);
    for (;;) {
        auto next = app.nextEvent(
            EventMasks::LeftMouseUp | EventMasks::LeftMouseDragged, nextTick, fnd::RunLoopMode::EventTracking, true);
        if (next) {
            if (next->type() == EventType::LeftMouseUp)
                break;
            point = convertPointFromView(next->locationInWindow(), nullptr);
            continue;
        }
        if (fnd::Clock::current()->now().timeIntervalSince(nextTick) < 0)
            break; // the input stream ended
        // Held: repeat while the mouse is over the same part; a page click stops once the knob reaches the mouse.
        if (testPart(point) == part)
            sendScrollAction(part);
        nextTick = nextTick.addingTimeInterval(RepeatInterval);
    }
    m_highlightedPart = ScrollerPart::NoPart;
    setNeedsDisplay(true);
}

}
