#pragma once

#include "frameworks/ZORAppKit/ZORThemedControls/ZORThemedObject.h"

#include "platform/ui/controls/SegmentedCell.h"

// A segmented cell drawn as a strip of theme-coloured segments: an outline in the theme's stroke colour, each
// segment filled with the theme's gradient (the selected one as on) with a separator after all but the last, and
// labels in the theme's text colour beside images at the theme's alpha. Only the rounded (1) and small square (6)
// styles are accepted. Without a theme it draws as the platform's segmented cell.
class ZORTSegmentedCell : public ui::SegmentedCell, public ZORThemedObject {
    UI_CELL_OBJECT(ZORTSegmentedCell)
    static void describeClass(fnd::ClassBuilder<ZORTSegmentedCell>& c);

public:
    ZORTSegmentedCell() = default;
    // The platform's segmented cell in the rounded style.
    void init();

    // Any style but rounded and small square is refused with a logged warning; the style stays.
    void setSegmentStyle(ui::SegmentStyle style) override;
    // Whether any segment has a label.
    bool hasText() const;
    // What the platform's steps ask a segmented cell, by these names: the strip never animates and never takes
    // the slider look, which its theme does not draw.
    bool _canAnimate() const { return false; }
    bool _isSliderStyle() const { return false; }

    // With a theme that casts shadows, room for the shadow.
    gfx::Rect drawingRectForBounds(gfx::Rect bounds) const override;
    // With a theme: the outline, and each segment drawn by drawSegment inside it. Nothing at all when the theme has
    // no stroke colour.
    void drawWithFrame(gfx::Rect cellFrame, ui::View& controlView) override;
    // With a theme: the segment filled with the theme's gradient (disabled, on when selected), a separator after all
    // but the last, then drawInteriorForSegment. Without one, the platform's segment.
    void drawSegment(long segment, gfx::Rect frame, ui::View& controlView) override;
    // The segment's label and image, centred in its rectangle (the label at least 3 points from the control's left
    // edge). Nothing without a theme.
    virtual void drawInteriorForSegment(long segment, gfx::Rect frame);

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;
};
