#pragma once

#include "frameworks/QFTabBarView/QFTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFTabStyleSupport.h"
#include "platform/foundation/archiving/Coding.h"

// Tabs in both orientations with their own layout of a tab's contents: the close button takes the icon's (or the
// counter's) place while the pointer is over a tab; the selected tab is drawn from a picture or a gradient with grey
// edges and soft shadows. drawsUnified gives a flat gradient to match a unified toolbar; drawsRight suits a vertical
// bar at the right edge of a window.
class QFCapsuleTabStyle : public QFTabStyle {
    FND_OBJECT(QFCapsuleTabStyle)

public:
    QFCapsuleTabStyle();
    static std::shared_ptr<QFCapsuleTabStyle> create();
    static fnd::String styleName() { return "Capsule"; }
    fnd::String name() const override { return styleName(); }

    bool drawsUnified() const { return m_drawsUnified; }
    void setDrawsUnified(bool flag) { m_drawsUnified = flag; }
    bool drawsRight() const { return m_drawsRight; }
    void setDrawsRight(bool flag) { m_drawsRight = flag; }

    std::optional<double> leftMarginForTabBarView(QFTabBarViewBase& view) override;
    std::optional<double> rightMarginForTabBarView(QFTabBarViewBase& view) override;
    std::optional<double> topMarginForTabBarView(QFTabBarViewBase& view) override;
    std::optional<double> heightOfTabBarButtonsForTabBarView(QFTabBarViewBase& view) override;
    std::optional<gfx::Rect> draggingRectForTabButton(QFAttachedTabBarButton& button, QFTabBarViewBase& view) override;
    std::optional<std::shared_ptr<gfx::Image>> closeButtonImageOfType(long type, QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> drawingRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> indicatorRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> closeButtonRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> iconRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> largeImageRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> objectCounterRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> titleRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell) override;
    bool drawBezelOfTabBarView(QFTabBarViewBase& view, gfx::Rect rect) override;
    bool drawBezelOfButton(QFAttachedTabBarButton& button, long index,
        const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons, long selectedIndex, QFTabBarViewBase& view,
        gfx::Rect rect) override;
    bool drawBezelOfTabCell(QFTabBarButtonCell& cell, gfx::Rect frame, ui::View& controlView) override;
    bool drawBezelOfOverflowButton(QFOverflowPopUpButton& button, QFTabBarViewBase& view, gfx::Rect rect) override;
    bool drawIconOfTabCell(QFTabBarButtonCell& cell, gfx::Rect frame, ui::View& controlView) override;
    bool drawObjectCounterOfTabCell(QFTabBarButtonCell& cell, gfx::Rect frame, ui::View& controlView) override;
    bool drawCloseButtonOfTabCell(QFTabBarButtonCell& cell, gfx::Rect frame, ui::View& controlView) override;

    // The icon and large-image places, shared with the lively look.
    static gfx::Rect iconRect(gfx::Rect bounds, const QFTabBarButtonCell& cell);
    static gfx::Rect largeImageRect(gfx::Rect bounds, const QFTabBarButtonCell& cell);

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    void drawTabFrame(
        gfx::Rect frame, QFAttachedTabBarButton* button, QFTabBarViewBase& view, bool applyShadow, bool drawRollovers);
    void drawTabShape(gfx::Rect rect, unsigned capMask, QFAttachedTabBarButton* button, QFTabBarViewBase& view,
        bool applyShadow, bool drawRollovers);

    bool m_drawsUnified { false };
    bool m_drawsRight { false };
    QFTabStyleSupport::CloseImages m_closeImages;
    std::shared_ptr<gfx::Image> m_gradientImage;
};
