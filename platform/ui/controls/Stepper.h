#pragma once

#include "platform/ui/controls/Control.h"
#include "platform/ui/controls/StepperCell.h"

namespace ui {

// A control with a stepper cell; everything is forwarded to it. Up and Down on the keyboard step it.
class Stepper : public Control {
    FND_OBJECT(Stepper)
    static void describeClass(fnd::ClassBuilder<Stepper>& c);

public:
    Stepper() = default;
    static std::shared_ptr<Stepper> create(gfx::Rect frame = {});

    std::shared_ptr<Cell> makeCell() const override;
    std::shared_ptr<StepperCell> stepperCell() const { return std::dynamic_pointer_cast<StepperCell>(cell()); }

    double minValue() const;
    void setMinValue(double value);
    double maxValue() const;
    void setMaxValue(double value);
    double increment() const;
    void setIncrement(double increment);
    bool valueWraps() const;
    void setValueWraps(bool flag);
    bool autorepeat() const;
    void setAutorepeat(bool flag);

    void keyDown(const Event& event) override;
};

}
