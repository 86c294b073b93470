#pragma once

#include "platform/ui/controls/ActionCell.h"
#include "platform/ui/controls/SliderCell.h"

namespace ui {

enum class LevelIndicatorStyle { Relevancy = 0, ContinuousCapacity = 1, DiscreteCapacity = 2, Rating = 3 };

// The cell of level indicators: a value between a minimum and a maximum shown as a relevancy bar, a continuous or
// segmented capacity bar (green, then amber from the warning value, red from the critical value; when the warning
// value is above the critical one, low values are the bad ones), or a row of stars. An editable indicator takes
// its value from clicks and drags (whole stars for ratings).
class LevelIndicatorCell : public ActionCell {
    UI_CELL_OBJECT(LevelIndicatorCell)
    static void describeClass(fnd::ClassBuilder<LevelIndicatorCell>& c);

public:
    LevelIndicatorCell() = default;
    void init();

    LevelIndicatorStyle levelIndicatorStyle() const { return m_style; }
    void setLevelIndicatorStyle(LevelIndicatorStyle style);
    double minValue() const { return m_minValue; }
    void setMinValue(double value);
    double maxValue() const { return m_maxValue; }
    void setMaxValue(double value);
    double warningValue() const { return m_warningValue; }
    void setWarningValue(double value);
    double criticalValue() const { return m_criticalValue; }
    void setCriticalValue(double value);
    long numberOfTickMarks() const { return m_numberOfTickMarks; }
    void setNumberOfTickMarks(long count);
    long numberOfMajorTickMarks() const { return m_numberOfMajorTickMarks; }
    void setNumberOfMajorTickMarks(long count) { m_numberOfMajorTickMarks = std::max(0l, count); }
    TickMarkPosition tickMarkPosition() const { return m_tickMarkPosition; }
    void setTickMarkPosition(TickMarkPosition position)
    {
        if (isWithin(position, TickMarkPosition::Below, TickMarkPosition::Above))
            m_tickMarkPosition = position;
    }
    double tickMarkValueAtIndex(long index) const;
    gfx::Rect rectOfTickMarkAtIndex(long index) const;

    fnd::Value objectValue() const override { return fnd::Value(m_value); }
    void setObjectValue(const fnd::Value& value) override { setDoubleValue(value.doubleValue()); }
    double doubleValue() const override { return m_value; }
    void setDoubleValue(double value) override;
    std::int64_t integerValue() const override { return static_cast<std::int64_t>(std::llround(m_value)); }
    void setIntegerValue(std::int64_t value) override { setDoubleValue(static_cast<double>(value)); }
    fnd::String stringValue() const override;
    void setNextState() override { }
    // A rating always counts as highlighted, so the places of stars not given show star outlines, never dots.
    bool isHighlighted() const override
    {
        return m_style == LevelIndicatorStyle::Rating || ActionCell::isHighlighted();
    }
    bool acceptsFirstResponder() const override { return ActionCell::acceptsFirstResponder() && isEditable(); }

    // The kind of fill the value has now.
    enum class Level { Normal, Warning, Critical };
    Level level() const;
    // The value a point of the frame stands for (whole numbers for ratings).
    double valueAtPoint(gfx::Point point, gfx::Rect frame) const;
    // The rect the bar or the stars take in a frame (less the tick marks' strip).
    gfx::Rect barRectForBounds(gfx::Rect bounds) const;

    gfx::Size cellSizeForBounds(gfx::Rect bounds) const override;
    void drawWithFrame(gfx::Rect cellFrame, View& controlView) override;
    void drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView) override;
    bool trackMouse(const Event& event, gfx::Rect cellFrame, View& controlView, bool untilMouseUp) override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    // Accessibility: a level indicator with its value and range, settable when editable.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;

private:
    void drawStars(gfx::Rect bar);

    LevelIndicatorStyle m_style { LevelIndicatorStyle::ContinuousCapacity };
    double m_minValue { 0 };
    double m_maxValue { 2 };
    double m_value { 0 };
    double m_warningValue { 0 };
    double m_criticalValue { 0 };
    long m_numberOfTickMarks { 0 };
    long m_numberOfMajorTickMarks { 0 };
    TickMarkPosition m_tickMarkPosition { TickMarkPosition::Below };
    gfx::Rect m_frame;
};

}
