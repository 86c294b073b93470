#pragma once

#include "frameworks/QFTabBarView/QFTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFTabStyleSupport.h"
#include "platform/foundation/archiving/Coding.h"

// A horizontal bar that merges with the window's toolbar: a light grey strip, etched dividers, and tabs drawn as
// grey cards under a shown toolbar or as flat shaded boxes without one.
class QFUnifiedTabStyle : public QFTabStyle {
    FND_OBJECT(QFUnifiedTabStyle)

public:
    QFUnifiedTabStyle();
    static std::shared_ptr<QFUnifiedTabStyle> create();
    static fnd::String styleName() { return "Unified"; }
    fnd::String name() const override { return styleName(); }

    double leftMarginForTabBarView() const { return m_leftMargin; }
    void setLeftMarginForTabBarView(double margin) { m_leftMargin = margin; }

    std::optional<bool> supportsOrientation(QFTabBarOrientation orientation, QFTabBarViewBase&) override;
    std::optional<double> leftMarginForTabBarView(QFTabBarViewBase& view) override;
    std::optional<double> rightMarginForTabBarView(QFTabBarViewBase& view) override;
    std::optional<double> topMarginForTabBarView(QFTabBarViewBase&) override { return 0.0; }
    std::optional<gfx::Rect> draggingRectForTabButton(QFAttachedTabBarButton& button, QFTabBarViewBase& view) override;
    std::optional<std::shared_ptr<gfx::Image>> closeButtonImageOfType(long type, QFTabBarButtonCell& cell) override;
    bool drawBezelOfTabBarView(QFTabBarViewBase& view, gfx::Rect rect) override;
    bool drawBezelOfButton(QFAttachedTabBarButton& button, long index,
        const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons, long selectedIndex, QFTabBarViewBase& view,
        gfx::Rect rect) override;
    bool drawBezelOfTabCell(QFTabBarButtonCell& cell, gfx::Rect frame, ui::View& controlView) override;
    bool drawBezelOfOverflowButton(QFOverflowPopUpButton& button, QFTabBarViewBase& view, gfx::Rect rect) override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    void drawCardBezelInRect(gfx::Rect rect, unsigned capMask, QFAttachedTabBarButton& button, QFTabBarViewBase& view);
    void drawBoxBezelInRect(gfx::Rect rect, QFAttachedTabBarButton& button);

    QFTabStyleSupport::CloseImages m_closeImages;
    double m_leftMargin { 0.0 };
};
