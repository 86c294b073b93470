#pragma once

#include "frameworks/QFTabBarView/QFTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFTabStyleSupport.h"

// A horizontal bar of rounded cards on a grey strip: unselected cards light grey with a base line, the selected one
// white and open toward the content below.
class QFCardTabStyle : public QFTabStyle {
    FND_OBJECT(QFCardTabStyle)

public:
    QFCardTabStyle();
    static std::shared_ptr<QFCardTabStyle> create();
    static fnd::String styleName() { return "Card"; }
    fnd::String name() const override { return styleName(); }

    double horizontalInset() const { return m_horizontalInset; }
    void setHorizontalInset(double inset) { m_horizontalInset = inset; }
    double topMargin() const { return m_topMargin; }
    void setTopMargin(double margin) { m_topMargin = margin; }

    std::optional<bool> supportsOrientation(QFTabBarOrientation orientation, QFTabBarViewBase&) override;
    std::optional<double> leftMarginForTabBarView(QFTabBarViewBase& view) override;
    std::optional<double> rightMarginForTabBarView(QFTabBarViewBase& view) override;
    std::optional<double> topMarginForTabBarView(QFTabBarViewBase& view) override;
    std::optional<double> heightOfTabBarButtonsForTabBarView(QFTabBarViewBase& view) override;
    std::optional<gfx::Rect> overflowButtonRectForTabBarView(QFTabBarViewBase& view) override;
    std::optional<gfx::Rect> draggingRectForTabButton(QFAttachedTabBarButton& button, QFTabBarViewBase& view) override;
    std::optional<std::shared_ptr<gfx::Image>> closeButtonImageOfType(long type, QFTabBarButtonCell& cell) override;
    bool drawBezelOfTabBarView(QFTabBarViewBase& view, gfx::Rect rect) override;
    bool drawBezelOfTabCell(QFTabBarButtonCell& cell, gfx::Rect frame, ui::View& controlView) override;
    bool drawBezelOfOverflowButton(QFOverflowPopUpButton& button, QFTabBarViewBase& view, gfx::Rect rect) override;

    // The card of one tab, outlined, filled by selection, hover and window activity.
    void drawBezelInRect(gfx::Rect rect, unsigned capMask, QFAttachedTabBarButton& button, QFTabBarViewBase& view);

private:
    QFTabStyleSupport::CloseImages m_closeImages;
    double m_horizontalInset { 3.0 };
    // Kept for whoever sets it; the bar's top margin is fixed.
    double m_topMargin { 0.0 };
};
