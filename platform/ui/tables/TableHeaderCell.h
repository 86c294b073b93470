#pragma once

#include "platform/ui/text/TextFieldCell.h"

namespace ui {

// The cell of a column's header: its title on the header strip, a line at its right edge, darker while pressed,
// and the arrow of the column that sorts the rows.
class TableHeaderCell : public TextFieldCell {
    UI_CELL_OBJECT(TableHeaderCell)

public:
    TableHeaderCell() = default;
    void init();
    void initTextCell(const fnd::String& string);

    // The arrow (up for ascending) at the right of the frame; priority 0 is the first sort key, later ones draw
    // nothing.
    virtual void drawSortIndicatorWithFrame(gfx::Rect cellFrame, View& controlView, bool ascending, long priority);
    virtual gfx::Rect sortIndicatorRectForBounds(gfx::Rect bounds) const;

    void drawWithFrame(gfx::Rect cellFrame, View& controlView) override;
    void drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView) override;
    gfx::Rect titleRectForBounds(gfx::Rect bounds) const override;
    gfx::Size cellSizeForBounds(gfx::Rect bounds) const override;

    // The strip behind header cells (also drawn beside the last column and in the corner).
    static void drawHeaderBackground(gfx::Rect rect, bool pressed);
};

}
