#pragma once

#include "platform/graphics/BezierPath.h"
#include "platform/ui/containers/Scroller.h"

#include <cstdint>

// The card-flow view's scroller: a dark capsule slot with rounded arrow buttons at both ends and a glossy knob
// that moves in whole steps, one per item after the first.
class ZORCardFlowScroller : public ui::Scroller {
    FND_OBJECT(ZORCardFlowScroller)

public:
    ZORCardFlowScroller() = default;
    static std::shared_ptr<ZORCardFlowScroller> create(gfx::Rect frame = {});

    std::uint64_t numberOfIncrements() const { return m_numberOfIncrements; }
    // The knob covers one part in N + 1 of the track (all of it for N = 0).
    void setNumberOfIncrements(std::uint64_t increments);
    // The step the value stands in, floor(value × N).
    std::int64_t integerValue() const;
    // Stores the middle of the step, so integerValue reads v back for every N (0 with no increments).
    void setIntegerValue(std::int64_t value);

    gfx::Rect rectForPart(ui::ScrollerPart part) const override;
    // From the decrement button's end less its overlap (21) to the increment button's start plus it (width − 21).
    gfx::Rect knobTrackRect() const override;
    // The point is in the scroller's coordinates. Beside the knob in the slot is no part.
    ui::ScrollerPart testPart(gfx::Point point) const override;
    void drawRect(gfx::Rect dirtyRect) override;
    void drawKnobSlotInRect(gfx::Rect slotRect, bool highlight) override;
    void drawKnob() override;
    // arrow: IncrementLine draws the right arrow, DecrementLine the left one.
    void drawArrow(ui::ScrollerPart arrow, bool highlight) override;

    gfx::BezierPath leftArrowPath() const;
    gfx::BezierPath rightArrowPath() const;

private:
    std::uint64_t m_numberOfIncrements { 0 };
};
