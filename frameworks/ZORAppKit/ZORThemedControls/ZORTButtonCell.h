#pragma once

#include "frameworks/ZORAppKit/ZORThemedControls/ZORThemedObject.h"

#include "platform/ui/controls/ButtonCell.h"

#include <cstdint>

// A button cell that draws with a theme: its highlighted background (filled, glowing or a gradient), image, title in
// the theme's text colour and border strips along chosen sides; a bordered button of the rounded, small square,
// textured rounded, round rect or recessed style draws its whole bezel with the theme, and check boxes and radio
// buttons their box. Without a theme it draws as the platform's button cell.
class ZORTButtonCell : public ui::ButtonCell, public ZORThemedObject {
    UI_CELL_OBJECT(ZORTButtonCell)
    static void describeClass(fnd::ClassBuilder<ZORTButtonCell>& c);

public:
    ZORTButtonCell() = default;
    // The platform's button cell, highlighting by changing grey and background.
    void init();
    // Keeps the border sides and the hover flag to itself.
    std::shared_ptr<ui::Cell> copy() const override;

    // 0 fill, 1 glow, 2 gradient.
    std::uint64_t highlightBackgroundMode() const { return m_highlightBackgroundMode; }
    void setHighlightBackgroundMode(std::uint64_t mode) { m_highlightBackgroundMode = mode; }
    // Kept, archived and copied for the cell's users; drawing does not consult it.
    std::uint64_t stateBackgroundMode() const { return m_stateBackgroundMode; }
    void setStateBackgroundMode(std::uint64_t mode) { m_stateBackgroundMode = mode; }
    // ZORThemeDrawing::BorderSide bits (flipped: top is the smaller y).
    std::uint64_t borderSideMask() const { return m_borderSideMask; }
    void setBorderSideMask(std::uint64_t mask) { m_borderSideMask = mask; }
    // The pointer is inside a recessed button.
    bool isMouseIn() const { return m_isMouseIn; }

    // A borderless cell always changes its background when highlighted.
    void setButtonType(ui::ButtonType type) override;
    // With a theme, an image-only borderless cell keeps its image a seventh of its size in from each edge (a 3.5th
    // when it glows on change-background highlighting), leaving room for the highlight.
    gfx::Rect imageRectForBounds(gfx::Rect bounds) const override;
    // A recessed button lights up while the pointer is over it.
    void mouseEntered(const ui::Event& event) override;
    void mouseExited(const ui::Event& event) override;

    // With a theme, a bordered button whose bezel style has a themed bezel draws it with its title and image, and a
    // check box or radio button draws its box and title; everything else takes the platform's steps.
    void drawWithFrame(gfx::Rect cellFrame, ui::View& controlView) override;
    // With a theme: the highlighted background while highlighted, for a cell that highlights by its background.
    void drawBezelWithFrame(gfx::Rect frame, ui::View& controlView) override;
    void drawInteriorWithFrame(gfx::Rect cellFrame, ui::View& controlView) override;
    // With a theme: the title in the theme's text colour (the alternate title while it shows), 5 points in from each
    // side and 2 points shorter, except for check boxes and radio buttons; answers the rectangle used.
    gfx::Rect drawTitle(const txt::AttributedString& title, gfx::Rect frame, ui::View& controlView) override;
    void drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View& controlView) override;

    // The bezel styles with the theme (nothing without one). Each draws the bezel, then the title and image in it.
    void drawTexturedRoundedButtonInFrame(gfx::Rect frame, ui::View& controlView);
    void drawRoundRectButtonInFrame(gfx::Rect frame, ui::View& controlView);
    void drawSmallSquareButtonInFrame(gfx::Rect frame, ui::View& controlView);
    void drawRoundedButtonInFrame(gfx::Rect frame, ui::View& controlView);
    void drawRecessedButtonInFrame(gfx::Rect frame, ui::View& controlView);
    void drawCheckInFrame(gfx::Rect frame, bool isRadio, ui::View& controlView);
    void drawHighlightedBackgroundForStateMask(ZORThemeStateMask mask, gfx::Rect frame, ui::View& controlView);
    // The alternate image while on, else the image.
    std::shared_ptr<gfx::Image> imageForStateMask(ZORThemeStateMask mask) const;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

protected:
    // Decoding adds highlighting by the background to a cell without a border; the archive holds it so.
    unsigned archivedHighlightsBy() const override;

private:
    // Whether the bezel style has a themed bezel.
    bool hasThemedBezel() const;
    void addChangeBackgroundWhenBorderless();
    // Title, then image, in the rectangles a bezel answered.
    void drawContentsInBezel(gfx::Rect titleRect, gfx::Rect shapeRect, ui::View& controlView);

    // The last value given to setButtonType.
    std::uint64_t m_qfButtonType { 0 };
    std::uint64_t m_highlightBackgroundMode { 0 };
    std::uint64_t m_stateBackgroundMode { 0 };
    std::uint64_t m_borderSideMask { 0 };
    bool m_isMouseIn { false };
};
