#pragma once

#include "platform/ui/controls/ActionCell.h"

#include <cmath>

namespace ui {

// The cell of steppers: two small arrows that raise or lower a value by the increment within a range, wrapping
// round at the ends when asked. A press steps at once and sends the action; with autorepeat (the default) holding
// it steps again and again.
class StepperCell : public ActionCell {
    UI_CELL_OBJECT(StepperCell)
    static void describeClass(fnd::ClassBuilder<StepperCell>& c);

public:
    StepperCell() = default;
    void init();

    double minValue() const { return m_minValue; }
    void setMinValue(double value);
    double maxValue() const { return m_maxValue; }
    void setMaxValue(double value);
    double increment() const { return m_increment; }
    // A step that is not finite is ignored, as an archive's is refused: it would make every value NaN or infinite.
    void setIncrement(double increment)
    {
        if (std::isfinite(increment))
            m_increment = increment;
    }
    bool valueWraps() const { return m_valueWraps; }
    void setValueWraps(bool flag) { m_valueWraps = flag; }
    bool autorepeat() const { return m_autorepeat; }
    void setAutorepeat(bool flag) { m_autorepeat = flag; }

    fnd::Value objectValue() const override { return fnd::Value(m_value); }
    void setObjectValue(const fnd::Value& value) override { setDoubleValue(value.doubleValue()); }
    double doubleValue() const override { return m_value; }
    void setDoubleValue(double value) override;
    // Saturating: a range may reach beyond 64 bits.
    std::int64_t integerValue() const override { return fnd::Number(m_value).integerValue(); }
    void setIntegerValue(std::int64_t value) override { setDoubleValue(static_cast<double>(value)); }
    fnd::String stringValue() const override;
    void setNextState() override { }

    // One step up (+1) or down (-1), wrapping or stopping at the ends.
    void step(int direction);
    // The halves of a frame: the upper arrow and the lower one, on the screen.
    gfx::Rect upArrowRect(gfx::Rect frame, bool flipped) const;
    gfx::Rect downArrowRect(gfx::Rect frame, bool flipped) const;
    // The arrow being pressed: +1 up, -1 down, 0 none.
    int pressedArrow() const { return m_pressedArrow; }

    gfx::Size cellSizeForBounds(gfx::Rect bounds) const override;
    void getPeriodicDelay(double& delay, double& interval) const override;
    void drawWithFrame(gfx::Rect cellFrame, View& controlView) override;
    void drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView) override;
    void drawFocusRingMaskWithFrame(gfx::Rect cellFrame, View& controlView) override;
    bool trackMouse(const Event& event, gfx::Rect cellFrame, View& controlView, bool untilMouseUp) override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    // Accessibility: an incrementor with its value and range.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    std::vector<fnd::String> accessibilityActionNames() const override;
    void accessibilityPerformAction(const fnd::String& action) override;

private:
    gfx::Rect stepperRect(gfx::Rect frame) const;

    double m_minValue { 0 };
    double m_maxValue { 59 };
    double m_increment { 1 };
    double m_value { 0 };
    bool m_valueWraps { true };
    bool m_autorepeat { true };
    int m_pressedArrow { 0 };
};

}
