#pragma once

#include "platform/graphics/Axis.h"
#include "platform/ui/controls/ActionCell.h"

#include <cmath>
#include <optional>

namespace ui {

// Where tick marks go, with the platform's values (left and right for vertical sliders).
enum class TickMarkPosition { Below = 0, Above = 1, Leading = 1, Trailing = 0 };

// The cell of sliders: a value between a minimum and a maximum, shown by a knob on a bar, with optional tick
// marks the value may be held to. Vertical when its frame is taller than wide. A press on the knob drags it; a press
// on the bar moves the knob there first. The cell tracks until the mouse goes up, wherever it is; a continuous
// slider sends its action as it moves and while it is held.
//
// Drawing: drawWithFrame → drawBarInside (barRectFlipped), the tick marks, drawKnob (knobRectFlipped).
class SliderCell : public ActionCell {
    UI_CELL_OBJECT(SliderCell)
    static void describeClass(fnd::ClassBuilder<SliderCell>& c);

public:
    SliderCell() = default;
    void init();

    double minValue() const { return m_minValue; }
    void setMinValue(double value);
    double maxValue() const { return m_maxValue; }
    void setMaxValue(double value);
    // The step of the keyboard's arrows (0: a twentieth of the range, or one tick).
    double altIncrementValue() const { return m_altIncrementValue; }
    void setAltIncrementValue(double value);
    // Drawing walks every tick mark, so a slider takes no more than it could ever show.
    static constexpr long MaximumNumberOfTickMarks = 10000;
    long numberOfTickMarks() const { return m_numberOfTickMarks; }
    void setNumberOfTickMarks(long count);
    TickMarkPosition tickMarkPosition() const { return m_tickMarkPosition; }
    void setTickMarkPosition(TickMarkPosition position);
    bool allowsTickMarkValuesOnly() const { return m_allowsTickMarkValuesOnly; }
    void setAllowsTickMarkValuesOnly(bool flag);
    double tickMarkValueAtIndex(long index) const;
    double closestTickMarkValueToValue(double value) const;
    // -1 when no tick mark is near the point.
    long indexOfTickMarkAtPoint(gfx::Point point) const;
    gfx::Rect rectOfTickMarkAtIndex(long index) const;
    // Vertical is decided by the frame unless set.
    bool isVertical() const;
    void setVertical(bool flag) { m_vertical = flag; }
    // The axis the knob moves along.
    gfx::Axis axis() const { return isVertical() ? gfx::Axis::Y : gfx::Axis::X; }
    double knobThickness() const;

    // The value stays within the range (and on a tick mark when only those are allowed).
    fnd::Value objectValue() const override { return fnd::Value(m_value); }
    void setObjectValue(const fnd::Value& value) override;
    double doubleValue() const override { return m_value; }
    void setDoubleValue(double value) override;
    std::int64_t integerValue() const override { return static_cast<std::int64_t>(std::llround(m_value)); }
    void setIntegerValue(std::int64_t value) override { setDoubleValue(static_cast<double>(value)); }
    fnd::String stringValue() const override;
    void setStringValue(const fnd::String& string) override;
    // Continuous sliders also send while dragged.
    void setContinuous(bool flag) override;
    void setNextState() override { }

    // Geometry, in the last frame drawn or tracked (the flag says whether the view is flipped).
    virtual gfx::Rect barRectFlipped(bool flipped) const;
    virtual gfx::Rect knobRectFlipped(bool flipped) const;
    // The value at a point of the view (along the bar).
    double valueAtPoint(gfx::Point point, bool flipped) const;
    // Moves by steps of the keyboard (+1 up or right, -1 down or left); answers whether the value changed.
    bool moveByKeyboardSteps(int steps);

    gfx::Size cellSizeForBounds(gfx::Rect bounds) const override;
    void drawWithFrame(gfx::Rect cellFrame, View& controlView) override;
    void drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView) override;
    virtual void drawBarInside(gfx::Rect rect, bool flipped);
    virtual void drawKnob(gfx::Rect knobRect);
    virtual void drawTickMarks();
    void drawFocusRingMaskWithFrame(gfx::Rect cellFrame, View& controlView) override;

    bool prefersTrackingUntilMouseUp() const override { return true; }
    bool trackMouse(const Event& event, gfx::Rect cellFrame, View& controlView, bool untilMouseUp) override;
    bool startTrackingAt(gfx::Point startPoint, View& controlView) override;
    bool continueTracking(gfx::Point lastPoint, gfx::Point currentPoint, View& controlView) override;
    // The knob ends where the mouse went up.
    void stopTracking(gfx::Point lastPoint, gfx::Point stopPoint, View& controlView, bool mouseIsUp) override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    // Accessibility: a slider with its value and range; increment and decrement step a twentieth of the range.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    std::vector<fnd::String> accessibilityActionNames() const override;
    void accessibilityPerformAction(const fnd::String& action) override;

private:
    double clampedValue(double value) const;

    double m_minValue { 0 };
    double m_maxValue { 1 };
    double m_value { 0 };
    double m_altIncrementValue { 0 };
    long m_numberOfTickMarks { 0 };
    TickMarkPosition m_tickMarkPosition { TickMarkPosition::Below };
    bool m_allowsTickMarkValuesOnly { false };
    std::optional<bool> m_vertical;
    gfx::Rect m_trackRect;
    bool m_trackFlipped { true };
    // Where in the knob the drag took it, along the bar.
    double m_grabOffset { 0 };
};

}
