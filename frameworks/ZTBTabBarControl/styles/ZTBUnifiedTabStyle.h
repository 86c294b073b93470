#pragma once

#include "frameworks/ZTBTabBarControl/ZTBTabStyle.h"

namespace ui {
class View;
}

// Light grey gradient tabs with curved top corners that blend with a unified toolbar; under a toolbar that shows its
// baseline separator only the selected tab is drawn as a tab, the others as separator lines.
class ZTBUnifiedTabStyle : public ZTBTabStyle {
    FND_OBJECT(ZTBUnifiedTabStyle)

public:
    static std::shared_ptr<ZTBUnifiedTabStyle> create();
    // The designated initialiser (what create() and the class registry run): the bundle's pictures.
    void init() { loadImages(); }

    static fnd::String styleName() { return "Unified"; }
    fnd::String name() const override { return styleName(); }
    double leftMarginForTabBarControl() const override { return m_leftMargin; }
    void setLeftMarginForTabBarControl(double margin) { m_leftMargin = margin; }
    double rightMarginForTabBarControl() const override { return 24.0; }
    double topMarginForTabBarControl() const override { return 10.0; }
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
    virtual void drawInteriorWithTabCell(ZTBTabBarCell& cell, ui::View* view);
    void drawBackgroundInRect(gfx::Rect rect) override;
    void drawTabBar(ZTBTabBarControlBase& bar, gfx::Rect rect) override;

protected:
    void loadImages();
    // The parts of a tab laid out in the frame, the title centred vertically and moved down by titleOffset.
    void drawInterior(ZTBTabBarCell& cell, gfx::Rect frame, double titleOffset);
    // The gradient over the bar without its bottom line, the window background instead in a window that is not key.
    void fillBarGradient(double startWhite, double endWhite);
    double closeButtonWidth() const;

    std::shared_ptr<gfx::Image> m_closeButton, m_closeButtonDown, m_closeButtonOver;
    std::shared_ptr<gfx::Image> m_closeDirtyButton, m_closeDirtyButtonDown, m_closeDirtyButtonOver;
    std::shared_ptr<gfx::Image> m_addTabButtonImage, m_addTabButtonPressedImage, m_addTabButtonRolloverImage;
    double m_leftMargin { 5.0 };
    // Only while a bar is drawn.
    ZTBTabBarControlBase* m_tabBar { nullptr };
};

// Grey index cards with curved top corners on a darker gradient bar; the bar's bottom line runs under every tab but
// the selected one. Metrics and pictures are those of the unified look.
class ZTBCardTabStyle : public ZTBUnifiedTabStyle {
    FND_OBJECT(ZTBCardTabStyle)

public:
    static std::shared_ptr<ZTBCardTabStyle> create();

    static fnd::String styleName() { return "Card"; }
    fnd::String name() const override { return styleName(); }
    gfx::Rect closeButtonRectForTabCell(const ZTBTabBarCell& cell, gfx::Rect frame) const override;
    gfx::Rect indicatorRectForTabCell(const ZTBTabBarCell& cell) const override;
    void drawTabCell(ZTBTabBarCell& cell) override;
    void drawInteriorWithTabCell(ZTBTabBarCell& cell, ui::View* view) override;
    void drawBackgroundInRect(gfx::Rect rect) override;
    void drawTabBar(ZTBTabBarControlBase& bar, gfx::Rect rect) override;

    // The radius of the top corners of a card drawn in the rect.
    static double cornerRadius(gfx::Rect card);
    // The card outline of a tab frame: open at the bottom.
    static gfx::Rect cardRect(gfx::Rect frame);
};
