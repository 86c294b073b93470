#pragma once

#include "frameworks/QFTabBarView/QFTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFTabStyleSupport.h"
#include "platform/foundation/archiving/Coding.h"

// A horizontal bar of white cards on a fading grey strip: titles at the left, the close button at the right end with
// the progress indicator and the counter before it. Under a toolbar that shows its baseline separator the
// unselected tabs are flat with etched dividers.
class QFLivelyTabStyle : public QFTabStyle {
    FND_OBJECT(QFLivelyTabStyle)

public:
    QFLivelyTabStyle();
    static std::shared_ptr<QFLivelyTabStyle> create();
    static fnd::String styleName() { return "Lively"; }
    fnd::String name() const override { return styleName(); }

    double leftMarginForTabBarView() const { return m_leftMargin; }
    void setLeftMarginForTabBarView(double margin) { m_leftMargin = margin; }

    std::optional<bool> supportsOrientation(QFTabBarOrientation orientation, QFTabBarViewBase&) override;
    std::optional<double> leftMarginForTabBarView(QFTabBarViewBase& view) override;
    std::optional<double> rightMarginForTabBarView(QFTabBarViewBase& view) override;
    std::optional<double> topMarginForTabBarView(QFTabBarViewBase&) override { return 0.0; }
    std::optional<gfx::Rect> draggingRectForTabButton(QFAttachedTabBarButton& button, QFTabBarViewBase& view) override;
    std::optional<std::shared_ptr<gfx::Image>> closeButtonImageOfType(long type, QFTabBarButtonCell& cell) override;
    std::optional<std::shared_ptr<txt::AttributedString>> attributedObjectCountStringValueForTabCell(
        QFTabBarButtonCell& cell) override;
    std::optional<std::shared_ptr<txt::AttributedString>> attributedStringValueForTabCell(
        QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> closeButtonRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> indicatorRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> objectCounterRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> titleRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> iconRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> largeImageRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell) override;
    bool drawBezelOfTabBarView(QFTabBarViewBase& view, gfx::Rect rect) override;
    bool drawBezelOfTabCell(QFTabBarButtonCell& cell, gfx::Rect frame, ui::View& controlView) override;
    bool drawBezelOfOverflowButton(QFOverflowPopUpButton& button, QFTabBarViewBase& view, gfx::Rect rect) override;

    // The card of one tab.
    void drawBezelInRect(gfx::Rect rect, unsigned capMask, QFAttachedTabBarButton& button, QFTabBarViewBase& view);

private:
    QFTabStyleSupport::CloseImages m_closeImages;
    double m_leftMargin { 5.0 };
};
