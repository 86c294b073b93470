#pragma once

#include "platform/ui/controls/Cell.h"
#include "platform/ui/views/TrackingArea.h"

// Draws one column header (orientation 0: label centred) or row header (orientation 1: label 6 points in from the
// left) over the background the grid draws; state 1 marks a selected header.
class ZORTableGridHeaderCell : public ui::Cell {
    UI_CELL_OBJECT(ZORTableGridHeaderCell)

public:
    static constexpr int ColumnOrientation = 0;
    static constexpr int RowOrientation = 1;
    static constexpr double RowLabelInset = 6;

    ZORTableGridHeaderCell() = default;
    static std::shared_ptr<ZORTableGridHeaderCell> create();

    int orientation() const { return m_orientation; }
    void setOrientation(int orientation) { m_orientation = orientation; }
    const std::shared_ptr<ui::TrackingArea>& resizeTrackingArea() const { return m_resizeTrackingArea; }
    void setResizeTrackingArea(std::shared_ptr<ui::TrackingArea> area) { m_resizeTrackingArea = std::move(area); }

    void drawWithFrame(gfx::Rect cellFrame, ui::View& controlView) override;
    void drawInteriorWithFrame(gfx::Rect cellFrame, ui::View& controlView) override;
    // Where the label goes in the frame.
    gfx::Rect labelRectForFrame(gfx::Rect cellFrame) const;

private:
    // Where a label of that size goes in the frame.
    gfx::Rect labelRectForSize(gfx::Rect cellFrame, gfx::Size size) const;

    int m_orientation { ColumnOrientation };
    std::shared_ptr<ui::TrackingArea> m_resizeTrackingArea;
};
