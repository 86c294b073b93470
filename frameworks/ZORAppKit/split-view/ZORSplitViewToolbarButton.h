#pragma once

#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbarButtonCell.h"

#include "platform/foundation/runtime/NotificationCenter.h"

#include "platform/ui/controls/Button.h"

// A small square button of a split-view toolbar, at its left or right end.
class ZORSplitViewToolbarButton : public ui::Button {
    FND_OBJECT(ZORSplitViewToolbarButton)

public:
    static constexpr double DefaultWidth = 28.0;
    // Standard template images by code: 1 add, 2 remove, 3 quick look, 4 action, 5 share, 6 icon view, 7 list view,
    // 8 lock locked, 9 lock unlocked, 10 go right, 11 go left, 12 stop progress, 13 refresh.
    static constexpr int StandardImageCount = 13;

    ZORSplitViewToolbarButton() = default;
    static std::shared_ptr<ZORSplitViewToolbarButton> create();
    void initWithFrame(gfx::Rect frame) override;
    std::shared_ptr<ui::Cell> makeCell() const override;

    // 0 left, 1 right.
    int toolbarButtonAlign() const { return m_toolbarButtonAlign; }
    void setToolbarButtonAlign(int align);
    double toolbarButtonWidth() const { return m_toolbarButtonWidth; }
    void setToolbarButtonWidth(double width) { m_toolbarButtonWidth = width; }
    int toolbarButtonImage() const { return m_toolbarButtonImage; }
    void setToolbarButtonImage(int code);
    // A centred title in the control-text colour over a white shadow, in the small system font.
    void setTitle(const fnd::String& title);
    void setImagePosition(ui::CellImagePosition position);

    void viewDidMoveToWindow() override;

    // The name of the standard template image of a code, or empty.
    static fnd::String standardImageName(int code);

private:
    int m_toolbarButtonAlign { 0 };
    double m_toolbarButtonWidth { DefaultWidth };
    int m_toolbarButtonImage { 0 };
    std::vector<fnd::NotificationObserverToken> m_observers;
};
