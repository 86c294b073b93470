#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowScroller.h"

#include "platform/graphics/Color.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

FND_REGISTER_CLASS(ZORCardFlowScroller, ui::Scroller)

namespace {

constexpr double ZORCardFlowScrollerSlotHeight = 16;
constexpr double ZORCardFlowScrollerButtonWidth = 30;
constexpr double ZORCardFlowScrollerButtonOverlap = 9;
constexpr double ZORCardFlowScrollerMinimumKnobWidth = 30;

// One column of the colour table: highlighted arrow, key window, other window.
struct ZORCardFlowScrollerColors {
    gfx::ColorPtr outline, bodyStart, bodyEnd, glossStart, glossEnd, slotFill, slotLine;
};

const ZORCardFlowScrollerColors& ZORCardFlowScrollerColumn(int column)
{
    auto w = [](double white, double alpha) { return gfx::Color::colorWithCalibratedWhite(white, alpha); };
    static const ZORCardFlowScrollerColors columns[3] = {
        { w(1, 1), w(0.8, 1), w(0.4, 1), w(1, 0.3), w(1, 0.1), nullptr, nullptr },
        { w(1, 0.5), w(0.1, 1), w(0, 1), w(1, 0.3), w(1, 0.1), w(1, 0.3), w(0, 0.2) },
        { w(1, 0.3), w(0.1, 1), w(0, 1), w(1, 0.3), w(1, 0), w(1, 0.2), w(0, 0.2) },
    };
    return columns[column];
}

// The glossy button look shared by the arrows and the knob: body gradient, gloss, a stroke that shows 1 point.
void ZORCardFlowScrollerDrawButton(const gfx::BezierPath& path, gfx::Rect gloss, const ZORCardFlowScrollerColors& c)
{
    auto* context = gfx::GraphicsContext::current();
    context->saveGraphicsState();
    context->clipToPath(path);
    gfx::Gradient::gradientWithStartingColor(*c.bodyStart, *c.bodyEnd)->drawInBezierPath(path, 90);
    gfx::Gradient::gradientWithStartingColor(*c.glossStart, *c.glossEnd)
        ->drawInBezierPath(*gfx::BezierPath::bezierPathWithRoundedRect(gloss, 8, 4), 90);
    c.outline->setStroke();
    auto stroke = path;
    stroke.setLineWidth(2);
    stroke.stroke();
    context->restoreGraphicsState();
}

}

std::shared_ptr<ZORCardFlowScroller> ZORCardFlowScroller::create(gfx::Rect frame)
{
    return ui::makeView<ZORCardFlowScroller>(frame);
}

void ZORCardFlowScroller::setNumberOfIncrements(std::uint64_t increments)
{
    m_numberOfIncrements = increments;
    setKnobProportion(increments != 0 ? 1.0 / double(increments + 1) : 1.0);
    setNeedsDisplay(true);
}

std::int64_t ZORCardFlowScroller::integerValue() const
{
    return static_cast<std::int64_t>(std::floor(float(doubleValue()) * float(m_numberOfIncrements)));
}

void ZORCardFlowScroller::setIntegerValue(std::int64_t value)
{
    // The middle of the step: a fixed +0.01 crosses into the next step from 100 increments on, and N = 0 has no
    // steps at all.
    if (m_numberOfIncrements == 0) {
        setDoubleValue(0);
        return;
    }
    setDoubleValue(std::clamp((double(value) + 0.5) / double(m_numberOfIncrements), 0.0, 1.0));
    setNeedsDisplay(true);
}

gfx::Rect ZORCardFlowScroller::rectForPart(ui::ScrollerPart part) const
{
    double fw = frame().width();
    double fh = frame().height();
    gfx::Rect slot { { ZORCardFlowScrollerButtonWidth / 2, fh - ZORCardFlowScrollerSlotHeight },
        { fw - ZORCardFlowScrollerButtonWidth, ZORCardFlowScrollerSlotHeight } };
    switch (part) {
    case ui::ScrollerPart::KnobSlot:
        return slot;
    case ui::ScrollerPart::DecrementLine:
        return { { 0, slot.minY() }, { ZORCardFlowScrollerButtonWidth, slot.height() } };
    case ui::ScrollerPart::IncrementLine:
        return { { fw - ZORCardFlowScrollerButtonWidth, slot.minY() },
            { ZORCardFlowScrollerButtonWidth, slot.height() } };
    case ui::ScrollerPart::Knob: {
        auto track = knobTrackRect();
        float trackStart = float(track.minX());
        float length = float(track.width());
        float knobWidth = std::max(float(knobProportion()) * length, float(ZORCardFlowScrollerMinimumKnobWidth));
        // No increments: no steps (the knob then fills the track and is not drawn).
        float step = m_numberOfIncrements != 0 ? (length - knobWidth) / float(m_numberOfIncrements) : 0.0f;
        float x = trackStart + float(integerValue()) * step;
        return { { x, slot.minY() }, { knobWidth, slot.height() } };
    }
    default:
        return {};
    }
}

gfx::Rect ZORCardFlowScroller::knobTrackRect() const
{
    double fw = frame().width();
    double start = ZORCardFlowScrollerButtonWidth - ZORCardFlowScrollerButtonOverlap;
    return { { start, frame().height() - ZORCardFlowScrollerSlotHeight },
        { float(fw - 2 * start), ZORCardFlowScrollerSlotHeight } };
}

ui::ScrollerPart ZORCardFlowScroller::testPart(gfx::Point point) const
{
    if (leftArrowPath().containsPoint(point))
        return ui::ScrollerPart::DecrementLine;
    if (rightArrowPath().containsPoint(point))
        return ui::ScrollerPart::IncrementLine;
    if (gfx::pointInRect(point, rectForPart(ui::ScrollerPart::Knob)))
        return ui::ScrollerPart::Knob;
    return ui::ScrollerPart::NoPart;
}

gfx::BezierPath ZORCardFlowScroller::leftArrowPath() const
{
    auto r = rectForPart(ui::ScrollerPart::DecrementLine);
    double c = r.minY() + r.height() / 2;
    double radius = r.height() / 2;
    gfx::BezierPath path;
    path.appendBezierPathWithArcWithCenter({ r.minX() + 8, c }, radius, 90, 270);
    path.lineToPoint({ r.maxX(), r.minY() });
    path.lineToPoint({ r.maxX(), r.maxY() });
    path.moveToPoint({ r.maxX(), r.minY() });
    path.appendBezierPathWithArcWithCenter({ r.maxX(), c }, radius, 90, 270);
    path.moveToPoint({ r.maxX(), r.maxY() });
    path.lineToPoint({ r.minX() + 8, r.maxY() });
    path.setWindingRule(gfx::WindingRule::EvenOdd);
    path.closePath();
    return path;
}

gfx::BezierPath ZORCardFlowScroller::rightArrowPath() const
{
    auto r = rectForPart(ui::ScrollerPart::IncrementLine);
    double c = r.minY() + r.height() / 2;
    double radius = r.height() / 2;
    gfx::BezierPath path;
    path.appendBezierPathWithArcWithCenter({ r.maxX() - 8, c }, radius, -90, 90);
    path.lineToPoint({ r.minX(), r.maxY() });
    path.lineToPoint({ r.minX(), r.minY() });
    path.moveToPoint({ r.minX(), r.maxY() });
    path.appendBezierPathWithArcWithCenter({ r.minX(), c }, radius, 270, 90);
    path.moveToPoint({ r.minX(), r.minY() });
    path.lineToPoint({ r.maxX() - 8, r.minY() });
    path.setWindingRule(gfx::WindingRule::EvenOdd);
    path.closePath();
    return path;
}

void ZORCardFlowScroller::drawRect(gfx::Rect)
{
    if (knobProportion() >= 1)
        return;
    drawKnobSlotInRect(rectForPart(ui::ScrollerPart::KnobSlot), false);
    drawArrow(ui::ScrollerPart::IncrementLine, hitPart() == ui::ScrollerPart::IncrementLine);
    drawArrow(ui::ScrollerPart::DecrementLine, hitPart() == ui::ScrollerPart::DecrementLine);
    drawKnob();
}

void ZORCardFlowScroller::drawKnobSlotInRect(gfx::Rect r, bool)
{
    auto w = window();
    const auto& colors = ZORCardFlowScrollerColumn(w && w->isKeyWindow() ? 1 : 2);
    auto inset = gfx::insetRect(r, 0.5, 0.5);
    colors.slotFill->setFill();
    gfx::BezierPath::fillRect(inset);
    colors.outline->setStroke();
    gfx::BezierPath::strokeRect(inset);
    colors.slotLine->setFill();
    gfx::BezierPath::fillRect({ { r.minX(), r.minY() + 1 }, { r.width(), 1 } });
}

void ZORCardFlowScroller::drawArrow(ui::ScrollerPart arrow, bool highlight)
{
    bool increment = arrow == ui::ScrollerPart::IncrementLine;
    if (!increment && arrow != ui::ScrollerPart::DecrementLine)
        return;
    auto r = rectForPart(arrow);
    auto w = window();
    const auto& colors = ZORCardFlowScrollerColumn(highlight ? 0 : (w && w->isKeyWindow() ? 1 : 2));
    gfx::Rect gloss = increment ? gfx::Rect { { r.minX() - 24, r.minY() }, { r.width() + 20, r.height() / 2 } }
                                : gfx::Rect { { r.minX() + 4, r.minY() }, { r.width() + 20, r.height() / 2 } };
    ZORCardFlowScrollerDrawButton(increment ? rightArrowPath() : leftArrowPath(), gloss, colors);

    double tipX = increment ? r.maxX() - 9 : r.minX() + 9;
    double baseX = increment ? tipX - 6 : tipX + 6;
    gfx::BezierPath triangle;
    triangle.moveToPoint({ tipX, r.minY() + r.height() / 2 });
    triangle.lineToPoint({ baseX, r.minY() + 5 });
    triangle.lineToPoint({ baseX, r.maxY() - 5 });
    triangle.closePath();
    colors.outline->setFill();
    triangle.fill();
}

void ZORCardFlowScroller::drawKnob()
{
    auto k = rectForPart(ui::ScrollerPart::Knob);
    double centre = k.minY() + k.height() / 2;
    gfx::BezierPath path;
    path.appendBezierPathWithArcWithCenter({ k.minX() + 8, centre }, k.height() / 2, 90, 270);
    path.appendBezierPathWithArcWithCenter({ k.maxX() - 8, centre }, k.height() / 2, -90, 90);
    path.lineToPoint({ k.minX() + 8, k.maxY() });
    path.closePath();
    auto w = window();
    ZORCardFlowScrollerDrawButton(path, { { k.minX() + 4, k.minY() }, { k.width() - 8, k.height() / 2 } },
        ZORCardFlowScrollerColumn(w && w->isKeyWindow() ? 1 : 2));
}
