#pragma once

#include "frameworks/QFTabBarView/QFTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFTabStyleSupport.h"

// A horizontal bar drawn from pictures: a dark strip, the selected tab with its own caps and fill, and between
// unselected tabs only the caps that part them from their neighbours, chosen by where the selected tab, sliding tabs
// and a dragged tab's drop position lie.
class QFSlateTabStyle : public QFTabStyle {
    FND_OBJECT(QFSlateTabStyle)

public:
    static std::shared_ptr<QFSlateTabStyle> create();
    static fnd::String styleName() { return "Slate"; }
    fnd::String name() const override { return styleName(); }

    std::optional<bool> supportsOrientation(QFTabBarOrientation orientation, QFTabBarViewBase&) override;
    std::optional<double> leftMarginForTabBarView(QFTabBarViewBase&) override { return 6.0; }
    std::optional<double> rightMarginForTabBarView(QFTabBarViewBase&) override { return 6.0; }
    std::optional<gfx::Size> addTabButtonSizeForTabBarView(QFTabBarViewBase& view) override;
    std::optional<gfx::Rect> addTabButtonRectForTabBarView(QFTabBarViewBase& view) override;
    std::optional<gfx::Rect> overflowButtonRectForTabBarView(QFTabBarViewBase& view) override;
    bool updateAddButton(QFRolloverButton& button, QFTabBarViewBase& view) override;
    std::optional<std::shared_ptr<gfx::Image>> closeButtonImageOfType(long type, QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> drawingRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> closeButtonRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> draggingRectForTabButton(QFAttachedTabBarButton& button, QFTabBarViewBase& view) override;
    bool drawBezelOfTabBarView(QFTabBarViewBase& view, gfx::Rect rect) override;
    bool drawBezelOfButton(QFAttachedTabBarButton& button, long index,
        const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons, long selectedIndex, QFTabBarViewBase& view,
        gfx::Rect rect) override;
    bool drawBezelOfTabCell(QFTabBarButtonCell& cell, gfx::Rect frame, ui::View& controlView) override;
    bool drawBezelOfOverflowButton(QFOverflowPopUpButton& button, QFTabBarViewBase& view, gfx::Rect rect) override;

    // The pieces a tab shows behind it at the bar's level, as resource names ("" for none).
    struct Pieces {
        std::string leftCap, fill, rightCap;
        bool operator==(const Pieces&) const = default;
    };
    static Pieces piecesOfButton(QFAttachedTabBarButton& button, long index,
        const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons, long selectedIndex,
        QFTabBarViewBase& view);
};
