#pragma once

#include "platform/ui/text/TextFieldCell.h"

#include <span>

// One data cell of a table grid: its background, the grid lines on its right and bottom, and its text. The content
// view draws every cell with one of these; the grid edits with another.
class ZORTableGridCell : public ui::TextFieldCell {
    UI_CELL_OBJECT(ZORTableGridCell)

public:
    static constexpr double GridLineWhite = 0.83;

    ZORTableGridCell() = default;
    // A clear background, bordered, scrolling sideways and truncated at the tail.
    void initTextCell(const fnd::String& string);
    static std::shared_ptr<ZORTableGridCell> create(const fnd::String& string = {});

    void drawWithFrame(gfx::Rect cellFrame, ui::View& controlView, const gfx::ColorPtr& backgroundColor);
    void drawWithFrame(gfx::Rect cellFrame, ui::View& controlView) override;
    // The backgrounds and grid lines of cells side by side in one row (frames from left to right, one colour each),
    // as drawWithFrame would draw them one cell at a time; their interiors are left to drawInteriorWithFrame.
    static void drawBackgroundsAndGridLines(
        std::span<const gfx::Rect> cellFrames, std::span<const gfx::ColorPtr> backgroundColors);
    // Grid cells never draw a highlight.
    gfx::ColorPtr highlightColorWithFrame(gfx::Rect, ui::View&) const override { return nullptr; }
};
