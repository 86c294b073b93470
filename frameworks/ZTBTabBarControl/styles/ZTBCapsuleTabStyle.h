#pragma once

#include "frameworks/ZTBTabBarControl/ZTBTabStyle.h"
#include "platform/foundation/archiving/Coding.h"

namespace gfx {
class BezierPath;
}
namespace ui {
class View;
}

// Capsule tabs, the only look that lays a vertical bar out as a list: 28-point tabs with an optional large picture,
// the close button on the right and the title centred by its laid-out height. A tab's icon stands where its close
// button is until the pointer is over the button.
class ZTBCapsuleTabStyle : public ZTBTabStyle {
    FND_OBJECT(ZTBCapsuleTabStyle)

public:
    static std::shared_ptr<ZTBCapsuleTabStyle> create();
    // The designated initialiser (what create() and the class registry run): the bundle's pictures.
    void init() { loadImages(); }

    static fnd::String styleName() { return "Capsule"; }
    fnd::String name() const override { return styleName(); }
    double leftMarginForTabBarControl() const override { return 3.0; }
    double rightMarginForTabBarControl() const override { return 24.0; }
    double topMarginForTabBarControl() const override { return 10.0; }
    void setOrientation(int orientation) override { m_orientation = orientation; }
    int orientation() const { return m_orientation; }
    std::shared_ptr<gfx::Image> addTabButtonImage() const override { return m_addTabButtonImage; }
    std::shared_ptr<gfx::Image> addTabButtonPressedImage() const override { return m_addTabButtonPressedImage; }
    std::shared_ptr<gfx::Image> addTabButtonRolloverImage() const override { return m_addTabButtonRolloverImage; }
    gfx::Rect dragRectForTabCell(const ZTBTabBarCell& cell, int orientation) const override;
    gfx::Rect closeButtonRectForTabCell(const ZTBTabBarCell& cell, gfx::Rect frame) const override;
    gfx::Rect iconRectForTabCell(const ZTBTabBarCell& cell) const override;
    gfx::Rect indicatorRectForTabCell(const ZTBTabBarCell& cell) const override;
    gfx::Rect objectCounterRectForTabCell(const ZTBTabBarCell& cell) const override;
    double minimumWidthOfTabCell(const ZTBTabBarCell& cell) const override;
    double desiredWidthOfTabCell(const ZTBTabBarCell& cell) const override;
    double tabCellHeight() const override { return m_orientation == 1 ? 28.0 : 22.0; }
    std::shared_ptr<txt::AttributedString> attributedObjectCountValueForTabCell(
        const ZTBTabBarCell& cell) const override;
    std::shared_ptr<txt::AttributedString> attributedStringValueForTabCell(const ZTBTabBarCell& cell) const override;
    void drawTabCell(ZTBTabBarCell& cell) override;
    void drawInteriorWithTabCell(ZTBTabBarCell& cell, ui::View* view);
    void drawBackgroundInRect(gfx::Rect rect) override;
    void drawTabBar(ZTBTabBarControlBase& bar, gfx::Rect rect) override;

    void loadImages();
    // A light grey gradient that matches a unified toolbar instead of the gradient picture.
    bool drawsUnified() const { return m_drawsUnified; }
    void setDrawsUnified(bool flag) { m_drawsUnified = flag; }
    // The vertical bar stands at the right edge of its window.
    bool drawsRight() const { return m_drawsRight; }
    void setDrawsRight(bool flag) { m_drawsRight = flag; }

    bool closeButtonIsEnabledForCell(const ZTBTabBarCell& cell) const;
    gfx::Size sizeForObjectCounterRectForTabCell(const ZTBTabBarCell& cell) const;
    // The height of the text wrapped to the width, remembered for the process (up to 100 measurements; the next one
    // starts afresh).
    static double heightOfAttributedStringWithWidth(const txt::AttributedString& text, double width);
    static std::size_t heightCacheCount();
    void drawObjectCounterInCell(const ZTBTabBarCell& cell, gfx::Rect rect);
    static std::shared_ptr<gfx::BezierPath> bezierPathWithRoundedRect(gfx::Rect rect, double radius);

    // The two options only; a decoded style takes the bundle's close and add-tab pictures and has no gradient.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    gfx::Size closeButtonSize() const;
    double widthOfTabCell(const ZTBTabBarCell& cell, double start) const;

    std::shared_ptr<gfx::Image> m_closeButton, m_closeButtonDown, m_closeButtonOver;
    std::shared_ptr<gfx::Image> m_closeDirtyButton, m_closeDirtyButtonDown, m_closeDirtyButtonOver;
    std::shared_ptr<gfx::Image> m_addTabButtonImage, m_addTabButtonPressedImage, m_addTabButtonRolloverImage;
    std::shared_ptr<gfx::Image> m_gradientImage;
    int m_orientation { 0 };
    // Only while a bar is drawn.
    ZTBTabBarControlBase* m_tabBar { nullptr };
    bool m_drawsUnified { false };
    bool m_drawsRight { false };
};
