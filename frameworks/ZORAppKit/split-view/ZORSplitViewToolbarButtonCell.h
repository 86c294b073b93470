#pragma once

#include "platform/ui/controls/ButtonCell.h"

// Draws a split-view toolbar button: a grey gradient face (darker while pressed), the image placed by the title and
// image position, paler in a window that is not key.
class ZORSplitViewToolbarButtonCell : public ui::ButtonCell {
    UI_CELL_OBJECT(ZORSplitViewToolbarButtonCell)

public:
    ZORSplitViewToolbarButtonCell() = default;
    int align() const { return m_align; }
    void setAlign(int align) { m_align = align; }

    // The image's rect in a control of the size.
    gfx::Rect imageRectInControl(gfx::Size controlSize, gfx::Size imageSize) const;
    // The image's opacity: 1 in a key window (0.42 when not key), the platform's rule for a disabled button.
    double imageOpacity(const ui::View& controlView) const;

    void drawBezelWithFrame(gfx::Rect frame, ui::View& controlView) override;
    void drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View& controlView) override;
    gfx::Rect drawTitle(const txt::AttributedString& title, gfx::Rect frame, ui::View& controlView) override;

private:
    int m_align { 0 };
};
