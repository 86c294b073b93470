#pragma once

#include "platform/ui/controls/Control.h"
#include "platform/ui/controls/SliderCell.h"

namespace ui {

// A control with a slider cell; everything is forwarded to it. With the keyboard the arrows move the knob a step
// (Home and End to the ends) and send the action.
class Slider : public Control {
    FND_OBJECT(Slider)
    static void describeClass(fnd::ClassBuilder<Slider>& c);

public:
    Slider() = default;
    static std::shared_ptr<Slider> create(gfx::Rect frame = {});
    static std::shared_ptr<Slider> sliderWithValue(double value, double minValue, double maxValue,
        const std::shared_ptr<fnd::Object>& target, fnd::Selector action);

    std::shared_ptr<Cell> makeCell() const override;
    std::shared_ptr<SliderCell> sliderCell() const { return std::dynamic_pointer_cast<SliderCell>(cell()); }

    double minValue() const;
    void setMinValue(double value);
    double maxValue() const;
    void setMaxValue(double value);
    double altIncrementValue() const;
    void setAltIncrementValue(double value);
    long numberOfTickMarks() const;
    void setNumberOfTickMarks(long count);
    TickMarkPosition tickMarkPosition() const;
    void setTickMarkPosition(TickMarkPosition position);
    bool allowsTickMarkValuesOnly() const;
    void setAllowsTickMarkValuesOnly(bool flag);
    double tickMarkValueAtIndex(long index) const;
    double closestTickMarkValueToValue(double value) const;
    bool isVertical() const;

    void keyDown(const Event& event) override;
    void setFrameSize(gfx::Size size) override;
};

}
