#pragma once

#include "platform/ui/controls/Control.h"
#include "platform/ui/controls/LevelIndicatorCell.h"

namespace ui {

// A control with a level indicator cell; everything is forwarded to it. An editable indicator takes the keyboard:
// Left and Right (Up and Down) change its value by one.
class LevelIndicator : public Control {
    FND_OBJECT(LevelIndicator)
    static void describeClass(fnd::ClassBuilder<LevelIndicator>& c);

public:
    LevelIndicator() = default;
    static std::shared_ptr<LevelIndicator> create(gfx::Rect frame = {});

    std::shared_ptr<Cell> makeCell() const override;
    std::shared_ptr<LevelIndicatorCell> levelIndicatorCell() const
    {
        return std::dynamic_pointer_cast<LevelIndicatorCell>(cell());
    }

    LevelIndicatorStyle levelIndicatorStyle() const;
    void setLevelIndicatorStyle(LevelIndicatorStyle style);
    double minValue() const;
    void setMinValue(double value);
    double maxValue() const;
    void setMaxValue(double value);
    double warningValue() const;
    void setWarningValue(double value);
    double criticalValue() const;
    void setCriticalValue(double value);
    long numberOfTickMarks() const;
    void setNumberOfTickMarks(long count);
    long numberOfMajorTickMarks() const;
    void setNumberOfMajorTickMarks(long count);
    bool isEditable() const;
    void setEditable(bool flag);

    void keyDown(const Event& event) override;
};

}
