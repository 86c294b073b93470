#pragma once

#include "platform/ui/controls/ActionCell.h"

#include <cstdint>

// Shows a "none" cross and the seven label dots in a row, 16 points apart, and picks one by clicking or dragging:
// the value is the label type under the mouse (x / 16 from the cell's left edge), −1 to 7 (−1: none selected,
// as for a selection of entries with different labels). A selected label wears a highlight ring in the desktop's
// tint (blue, or graphite when the defaults' "AppleAquaColorVariant" is 6).
class ZORColorLabelWidgetCell : public ui::ActionCell {
    UI_CELL_OBJECT(ZORColorLabelWidgetCell)

public:
    static constexpr double SlotWidth = 16;

    ZORColorLabelWidgetCell() = default;
    // Value 0, continuous, sending its action on mouse-down and on every drag.
    void init();
    void initTextCell(const fnd::String& string);

    std::int64_t colorLabelType() const { return m_colorLabelType; }

    // Every value form goes through the label type, clamped to −1..7.
    fnd::Value objectValue() const override { return fnd::Value(m_colorLabelType); }
    // One element, or several equal ones, give that element; different ones give −1 (a mixed selection); a string
    // or a number gives its integer value; anything else −1, not a number (NaN) too, as a real set directly.
    void setObjectValue(const fnd::Value& value) override;
    std::int64_t integerValue() const override { return m_colorLabelType; }
    void setIntegerValue(std::int64_t value) override;
    fnd::String stringValue() const override;
    void setStringValue(const fnd::String& string) override;
    double doubleValue() const override { return static_cast<double>(m_colorLabelType); }
    void setDoubleValue(double value) override;
    // 1 when this cell's type is greater than the object's integer value, −1 when smaller, 0 when equal.
    int compare(const fnd::Value& other) const;

    void drawInteriorWithFrame(gfx::Rect cellFrame, ui::View& controlView) override;
    bool trackMouse(const ui::Event& event, gfx::Rect cellFrame, ui::View& controlView, bool untilMouseUp) override;
    bool startTrackingAt(gfx::Point startPoint, ui::View& controlView) override;
    bool continueTracking(gfx::Point lastPoint, gfx::Point currentPoint, ui::View& controlView) override;
    void stopTracking(gfx::Point lastPoint, gfx::Point stopPoint, ui::View& controlView, bool mouseIsUp) override;

    // The highlight ring's colours, made from the defaults when first used and again when the system's colours
    // change.
    static gfx::ColorPtr borderColor();
    static gfx::ColorPtr fillColor();

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;
    // Always continuous, on presses and drags, and a first responder that shows it (set up so when made and when
    // decoded): these setters keep that.
    void setContinuous(bool) override { }
    void setShowsFirstResponder(bool) override { }
    void setRefusesFirstResponder(bool) override { }

private:
    void setUp();
    // Takes the label under a point of the control view and hands it to a "value" binding.
    void pickAt(gfx::Point point, ui::View& controlView);

    std::int64_t m_colorLabelType { 0 };
    gfx::Rect m_trackingFrame;
};
