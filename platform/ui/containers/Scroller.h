#pragma once

#include "platform/graphics/Axis.h"
#include "platform/ui/controls/Control.h"

namespace ui {

// The parts of a scroller, with the platform's values.
enum class ScrollerPart {
    NoPart = 0,
    DecrementPage = 1,
    Knob = 2,
    IncrementPage = 3,
    DecrementLine = 4,
    IncrementLine = 5,
    KnobSlot = 6,
};

// Legacy scrollers take a strip of their own beside the content and have arrows; overlay scrollers lie over the
// content's edge, thin, without a slot or arrows.
enum class ScrollerStyle { Legacy = 0, Overlay = 1 };

// A bar that shows which part of a document is visible (the knob's position and length) and lets the person move
// it: dragging the knob, clicking the slot beside it (a page) or an arrow (a line), held clicks repeating. It is
// vertical when taller than wide. Its value runs from 0 (top or left) to 1 (bottom or right); knobProportion is the
// visible fraction. The action goes to the target with hitPart telling what was hit; a dragged knob sends it
// continuously.
class Scroller : public Control {
    FND_OBJECT(Scroller)
    static void describeClass(fnd::ClassBuilder<Scroller>& c);

public:
    Scroller() = default;
    static std::shared_ptr<Scroller> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;

    // The strip a scroller of the size and style takes.
    static double scrollerWidthForControlSize(ControlSize size, ScrollerStyle style);
    static ScrollerStyle preferredScrollerStyle() { return ScrollerStyle::Legacy; }

    bool isVertical() const { return frame().height() > frame().width(); }
    // The axis the knob moves along.
    gfx::Axis axis() const { return isVertical() ? gfx::Axis::Y : gfx::Axis::X; }
    ScrollerStyle scrollerStyle() const { return m_style; }
    void setScrollerStyle(ScrollerStyle style);
    double knobProportion() const { return m_knobProportion; }
    void setKnobProportion(double proportion);
    // The knob's position is the control's doubleValue, 0..1 (values outside count as the nearer end).
    double knobPosition() const;
    // A scroller whose knob fills the slot is disabled; it shows no knob.
    bool usableParts() const { return isEnabled() && m_knobProportion < 1; }

    // The part the last click hit while the action is sent.
    ScrollerPart hitPart() const { return m_hitPart; }
    // Where a part lies (empty when the scroller does not show it).
    virtual gfx::Rect rectForPart(ScrollerPart part) const;
    // The part under the point (this view's coordinates).
    virtual ScrollerPart testPart(gfx::Point point) const;
    bool hasArrows() const { return m_style == ScrollerStyle::Legacy; }

    // Drawing steps, overridable one by one.
    virtual void drawKnobSlotInRect(gfx::Rect slotRect, bool highlight);
    virtual void drawKnob();
    virtual void drawArrow(ScrollerPart arrow, bool highlight);

    // The stretch the knob moves along (the slot unless a subclass lays its knob out otherwise): a dragged knob's
    // start runs from its start to its end less the knob's length.
    virtual gfx::Rect knobTrackRect() const { return slotRect(); }
    // Tracking: the knob follows the mouse until the button goes up; a page or arrow click repeats while held.
    virtual void trackKnob(const Event& event);
    virtual void trackScrollButtons(const Event& event);

    // Control and View.
    bool acceptsFirstResponder() const override { return false; }
    bool isOpaque() const override { return m_style == ScrollerStyle::Legacy; }
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;

    // Accessibility: a scroll bar whose value is the knob's position (0 to 1), settable, with its orientation.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    bool accessibilityIsIgnored() const override { return false; }

private:
    // The slot without the arrows.
    gfx::Rect slotRect() const;
    void sendScrollAction(ScrollerPart part);

    ScrollerStyle m_style { ScrollerStyle::Legacy };
    double m_knobProportion { 1 };
    ScrollerPart m_hitPart { ScrollerPart::NoPart };
    ScrollerPart m_highlightedPart { ScrollerPart::NoPart };
};

}
