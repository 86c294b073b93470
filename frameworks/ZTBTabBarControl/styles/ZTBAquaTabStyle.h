#pragma once

#include "frameworks/ZTBTabBarControl/ZTBTabStyle.h"

namespace ui {
class View;
}

// Tabs on a stretched background picture; the selected tab's picture follows the control tint and whether the
// window is key, and a separator picture ends every tab.
class ZTBAquaTabStyle : public ZTBTabStyle {
    FND_OBJECT(ZTBAquaTabStyle)

public:
    static std::shared_ptr<ZTBAquaTabStyle> create();
    // The designated initialiser (what create() and the class registry run): the bundle's pictures.
    void init() { loadImages(); }

    static fnd::String styleName() { return "Aqua"; }
    fnd::String name() const override { return styleName(); }
    double leftMarginForTabBarControl() const override { return 0.0; }
    double rightMarginForTabBarControl() const override { return 24.0; }
    double topMarginForTabBarControl() const override { return 0.0; }
    // The look is the same in both orientations.
    void setOrientation(int) override { }
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

    void loadImages();

private:
    std::shared_ptr<gfx::Image> m_aquaTabBg, m_aquaTabBgDown, m_aquaTabBgDownGraphite, m_aquaTabBgDownNonKey;
    std::shared_ptr<gfx::Image> m_aquaDividerDown, m_aquaDivider;
    std::shared_ptr<gfx::Image> m_closeButton, m_closeButtonDown, m_closeButtonOver;
    std::shared_ptr<gfx::Image> m_closeDirtyButton, m_closeDirtyButtonDown, m_closeDirtyButtonOver;
    std::shared_ptr<gfx::Image> m_addTabButtonImage, m_addTabButtonPressedImage, m_addTabButtonRolloverImage;
    // Only while a bar is drawn.
    ZTBTabBarControlBase* m_tabBar { nullptr };
};
