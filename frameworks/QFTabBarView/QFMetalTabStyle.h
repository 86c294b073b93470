#pragma once

#include "frameworks/QFTabBarView/QFTabStyle.h"
#include "platform/foundation/archiving/Coding.h"

// The default look: a translucent dark wash behind the bar, thin dividers between tabs and the selected tab as a
// card (a rounded box in a vertical bar) in the window's background colour.
class QFMetalTabStyle : public QFTabStyle {
    FND_OBJECT(QFMetalTabStyle)

public:
    static std::shared_ptr<QFMetalTabStyle> create();
    // The designated initialiser (what create() and the class registry run): the bundle's pictures.
    void init() { loadImages(); }
    static fnd::String styleName() { return "Metal"; }
    fnd::String name() const override { return styleName(); }

    std::optional<double> leftMarginForTabBarView(QFTabBarViewBase& view) override;
    std::optional<double> rightMarginForTabBarView(QFTabBarViewBase& view) override;
    std::optional<double> topMarginForTabBarView(QFTabBarViewBase& view) override;
    bool updateAddButton(QFRolloverButton& button, QFTabBarViewBase& view) override;
    std::optional<std::shared_ptr<gfx::Image>> closeButtonImageOfType(long type, QFTabBarButtonCell& cell) override;
    std::optional<std::shared_ptr<txt::AttributedString>> attributedObjectCountStringValueForTabCell(
        QFTabBarButtonCell& cell) override;
    std::optional<std::shared_ptr<txt::AttributedString>> attributedStringValueForTabCell(
        QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> drawingRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell) override;
    std::optional<gfx::Rect> draggingRectForTabButton(QFAttachedTabBarButton& button, QFTabBarViewBase& view) override;
    bool drawBezelOfTabBarView(QFTabBarViewBase& view, gfx::Rect rect) override;
    bool drawBezelOfTabCell(QFTabBarButtonCell& cell, gfx::Rect frame, ui::View& controlView) override;
    bool drawBezelOfOverflowButton(QFOverflowPopUpButton& button, QFTabBarViewBase& view, gfx::Rect rect) override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    void loadImages();
    void drawBezelInRect(gfx::Rect rect, unsigned capMask, QFAttachedTabBarButton& button, QFTabBarViewBase& view);

    std::shared_ptr<gfx::Image> m_closeButton;
    std::shared_ptr<gfx::Image> m_closeButtonDown;
    std::shared_ptr<gfx::Image> m_closeButtonOver;
    std::shared_ptr<gfx::Image> m_closeDirtyButton;
    std::shared_ptr<gfx::Image> m_closeDirtyButtonDown;
    std::shared_ptr<gfx::Image> m_closeDirtyButtonOver;
};
