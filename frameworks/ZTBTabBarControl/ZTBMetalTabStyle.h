#pragma once

#include "frameworks/ZTBTabBarControl/ZTBTabStyle.h"

namespace gfx {
class Color;
}
namespace ui {
class View;
}

// The default look: grey metal tabs with cut corners, the selected one in the window's background.
class ZTBMetalTabStyle : public ZTBTabStyle {
    FND_OBJECT(ZTBMetalTabStyle)

public:
    static std::shared_ptr<ZTBMetalTabStyle> create();
    // The designated initialiser (what create() and the class registry run): the bundle's pictures.
    void init();

    static fnd::String styleName() { return "Metal"; }
    fnd::String name() const override { return styleName(); }
    double leftMarginForTabBarControl() const override { return 10.0; }
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
    double tabCellHeight() const override { return 22.0; }
    std::shared_ptr<txt::AttributedString> attributedObjectCountValueForTabCell(
        const ZTBTabBarCell& cell) const override;
    std::shared_ptr<txt::AttributedString> attributedStringValueForTabCell(const ZTBTabBarCell& cell) const override;
    void drawTabCell(ZTBTabBarCell& cell) override;
    void drawInteriorWithTabCell(ZTBTabBarCell& cell, ui::View* view);
    void drawBackgroundInRect(gfx::Rect rect) override;
    void drawTabBar(ZTBTabBarControlBase& bar, gfx::Rect rect) override;

private:
    gfx::Size closeButtonSize() const;
    double widthOfTabCell(const ZTBTabBarCell& cell, double titleWidth) const;

    std::shared_ptr<gfx::Image> m_closeButton, m_closeButtonDown, m_closeButtonOver;
    std::shared_ptr<gfx::Image> m_closeDirtyButton, m_closeDirtyButtonDown, m_closeDirtyButtonOver;
    std::shared_ptr<gfx::Image> m_addTabButtonImage, m_addTabButtonPressedImage, m_addTabButtonRolloverImage;
    int m_orientation { 0 };
    // Only while a bar is drawn.
    ZTBTabBarControlBase* m_tabBar { nullptr };
};
