#pragma once

#include "frameworks/ZORAppKit/ZORThemedControls/ZORThemedObject.h"

#include "platform/ui/controls/PopUpButtonCell.h"

#include <cstdint>

// The pop-up button cell of the themed controls: the themed button cell's highlighted background, image and border
// strips, the platform's title, and arrows of its own in the theme's text colour (a pair for a pop-up, one for a
// pull-down). Without a theme it draws as the platform's pop-up button cell.
class ZORTPopUpButtonCell : public ui::PopUpButtonCell, public ZORThemedObject {
    UI_CELL_OBJECT(ZORTPopUpButtonCell)
    static void describeClass(fnd::ClassBuilder<ZORTPopUpButtonCell>& c);

public:
    ZORTPopUpButtonCell() = default;
    // The platform's pop-up cell, highlighting by changing grey and background.
    void init();
    // Keeps the border sides to itself.
    std::shared_ptr<ui::Cell> copy() const override;

    // 0 fill, 1 glow, 2 gradient.
    std::uint64_t highlightBackgroundMode() const { return m_highlightBackgroundMode; }
    void setHighlightBackgroundMode(std::uint64_t mode) { m_highlightBackgroundMode = mode; }
    // ZORThemeDrawing::BorderSide bits (flipped: top is the smaller y).
    std::uint64_t borderSideMask() const { return m_borderSideMask; }
    void setBorderSideMask(std::uint64_t mask) { m_borderSideMask = mask; }

    gfx::Rect imageRectForBounds(gfx::Rect bounds) const override;
    // With a theme: the bezel step (when bordered), then the arrows unless the cell shows none.
    void drawBorderAndBackgroundWithFrame(gfx::Rect cellFrame, ui::View& controlView) override;
    // With a theme: the highlighted background while highlighted, for a cell that highlights by its background.
    void drawBezelWithFrame(gfx::Rect frame, ui::View& controlView) override;
    void drawInteriorWithFrame(gfx::Rect cellFrame, ui::View& controlView) override;
    void drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View& controlView) override;
    // The arrows at the right end of the frame, in the theme's text colour for the cell's state, inactive while the
    // window is not the key window. Nothing without a theme.
    void drawArrowsInRect(gfx::Rect frame);
    void drawHighlightedBackgroundForStateMask(ZORThemeStateMask mask, gfx::Rect frame, ui::View& controlView);

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

protected:
    // Decoding adds highlighting by the background to a cell without a border; the archive holds it so.
    unsigned archivedHighlightsBy() const override;

private:
    // The image the button shows: the shown item's, else the cell's.
    std::shared_ptr<gfx::Image> shownImage() const;

    std::uint64_t m_highlightBackgroundMode { 0 };
    std::uint64_t m_borderSideMask { 0 };
};
