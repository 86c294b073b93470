#include "frameworks/ZTBTabBarControl/styles/ZTBAquaTabStyle.h"

#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControlBase.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBStyleSupport.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"

FND_REGISTER_CLASS(ZTBAquaTabStyle, ZTBTabStyle)
[[maybe_unused]] static const tbcore::TabStyleRegistration<ZTBTabStyleRegistry, ZTBAquaTabStyle>
    ZTBAquaTabStyleRegistration;

std::shared_ptr<ZTBAquaTabStyle> ZTBAquaTabStyle::create()
{
    return fnd::makeObject<ZTBAquaTabStyle>();
}

void ZTBAquaTabStyle::loadImages()
{
    // The background strips are drawn top down.
    auto flipped = [](const char* name) {
        auto picture = ztbstyle::image(name);
        if (picture)
            picture->setFlipped(true);
        return picture;
    };
    m_aquaTabBg = flipped("AquaTabsBackground");
    m_aquaTabBgDown = flipped("AquaTabsDown");
    m_aquaTabBgDownGraphite = flipped("AquaTabsDownGraphite");
    m_aquaTabBgDownNonKey = flipped("AquaTabsDownNonKey");
    m_aquaDividerDown = ztbstyle::image("AquaTabsSeparatorDown");
    m_aquaDivider = ztbstyle::image("AquaTabsSeparator");
    m_closeButton = ztbstyle::image("AquaTabClose_Front");
    m_closeButtonDown = ztbstyle::image("AquaTabClose_Front_Pressed");
    m_closeButtonOver = ztbstyle::image("AquaTabClose_Front_Rollover");
    m_closeDirtyButton = ztbstyle::image("AquaTabCloseDirty_Front");
    m_closeDirtyButtonDown = ztbstyle::image("AquaTabCloseDirty_Front_Pressed");
    m_closeDirtyButtonOver = ztbstyle::image("AquaTabCloseDirty_Front_Rollover");
    m_addTabButtonImage = ztbstyle::image("AquaTabNew");
    m_addTabButtonPressedImage = ztbstyle::image("AquaTabNewPressed");
    m_addTabButtonRolloverImage = ztbstyle::image("AquaTabNewRollover");
}

gfx::Rect ZTBAquaTabStyle::dragRectForTabCell(const ZTBTabBarCell& cell, int) const
{
    return cell.frame();
}

gfx::Rect ZTBAquaTabStyle::closeButtonRectForTabCell(const ZTBTabBarCell& cell, gfx::Rect frame) const
{
    if (!cell.hasCloseButton())
        return {};
    return { { frame.minX() + 6.0, frame.minY() + 3.0 + 2.0 }, ztbstyle::sizeOf(m_closeButton) };
}

gfx::Rect ZTBAquaTabStyle::iconRectForTabCell(const ZTBTabBarCell& cell) const
{
    if (!cell.hasIcon())
        return {};
    const gfx::Rect f = cell.frame();
    double x = f.minX() + 6.0;
    if (cell.hasCloseButton() && !cell.isCloseButtonSuppressed())
        x += ztbstyle::sizeOf(m_closeButton).width + 4.0;
    return { x, f.minY() + 3.0, 16.0, 16.0 };
}

gfx::Rect ZTBAquaTabStyle::indicatorRectForTabCell(const ZTBTabBarCell& cell) const
{
    if (!cell.isIndicatorShown())
        return {};
    const gfx::Rect f = cell.frame();
    return { f.minX() + f.width() - 6.0 - 16.0, f.minY() + 3.0, 16.0, 16.0 };
}

gfx::Rect ZTBAquaTabStyle::objectCounterRectForTabCell(const ZTBTabBarCell& cell) const
{
    return ztbstyle::counterRect(cell, 8.0, 6.0, 20.0);
}

double ZTBAquaTabStyle::minimumWidthOfTabCell(const ZTBTabBarCell& cell) const
{
    return ztbstyle::sixPointWidth(
        cell, ztbstyle::sizeOf(m_closeButton).width, 30.0, objectCounterRectForTabCell(cell).width());
}

double ZTBAquaTabStyle::desiredWidthOfTabCell(const ZTBTabBarCell& cell) const
{
    return ztbstyle::sixPointWidth(cell, ztbstyle::sizeOf(m_closeButton).width,
        attributedStringValueForTabCell(cell)->size().width, objectCounterRectForTabCell(cell).width());
}

std::shared_ptr<txt::AttributedString> ZTBAquaTabStyle::attributedObjectCountValueForTabCell(
    const ZTBTabBarCell& cell) const
{
    return ztbstyle::counterText(cell);
}

std::shared_ptr<txt::AttributedString> ZTBAquaTabStyle::attributedStringValueForTabCell(const ZTBTabBarCell& cell) const
{
    return ztbstyle::plainTitle(cell, true);
}

void ZTBAquaTabStyle::drawTabCell(ZTBTabBarCell& cell)
{
    auto control = cell.tabBar();
    const gfx::Rect f = cell.frame();
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    if (cell.state() == 1) {
        gfx::ControlTint tint = cell.controlTint();
        if (tint == gfx::ControlTint::Default)
            tint = gfx::Color::currentControlTint();
        if (!ztbstyle::isInKeyWindow(control.get()))
            tint = gfx::ControlTint::Clear;
        auto picture = tint == gfx::ControlTint::Clear ? m_aquaTabBgDownNonKey
            : tint == gfx::ControlTint::Graphite       ? m_aquaTabBgDownGraphite
                                                       : m_aquaTabBgDown;
        if (picture)
            picture->drawInRect(f, { 0.0, 0.0, 1.0, 22.0 }, gfx::CompositingOperation::SourceOver, 1.0);
    } else if (cell.isHighlighted()) {
        gfx::Color::colorWithCalibratedWhite(0.0, 0.1)->setFill();
        context->fillRectUsingOperation(
            { f.minX() + 0.5, f.minY() + 0.5, f.width(), f.height() }, gfx::CompositingOperation::SourceAtop);
    }
    if (m_aquaDivider) {
        const gfx::Size s = m_aquaDivider->size();
        ztbstyle::drawImage(m_aquaDivider, { f.maxX() - 1.0, f.maxY() - s.height, s.width, s.height });
    }
    drawInteriorWithTabCell(cell, control.get());
}

void ZTBAquaTabStyle::drawInteriorWithTabCell(ZTBTabBarCell& cell, ui::View*)
{
    const gfx::Rect f = cell.frame();
    double left = f.minX() + 6.0;
    if (cell.hasCloseButton() && !cell.isCloseButtonSuppressed()) {
        const gfx::Rect r = cell.closeButtonRectForFrame(f);
        auto picture = cell.isEdited() ? m_closeDirtyButton : m_closeButton;
        if (cell.closeButtonOver())
            picture = cell.isEdited() ? m_closeDirtyButtonOver : m_closeButtonOver;
        if (cell.closeButtonPressed())
            picture = cell.isEdited() ? m_closeDirtyButtonDown : m_closeButtonDown;
        if (picture) {
            ztbstyle::drawImage(picture, r);
            left += picture->size().width + 4.0;
        }
    }
    if (cell.hasIcon()) {
        const gfx::Rect r = iconRectForTabCell(cell);
        ztbstyle::drawIcon(ztbstyle::identifierImage(cell, "icon"), r);
        left += r.width() + 4.0;
    }
    gfx::Rect label { left, f.minY() + 4.0, f.width() - (left - f.minX()) - 4.0, f.height() };
    if (cell.isIndicatorShown())
        label.size.width -= 20.0;
    if (cell.count() > 0) {
        const gfx::Rect c = objectCounterRectForTabCell(cell);
        ztbstyle::drawCounter(cell, c, gfx::Color::colorWithCalibratedWhite(0.3, 0.45));
        label.size.width -= c.width() + 4.0;
    }
    if (auto text = cell.attributedStringValue())
        text->drawInRect(label);
}

void ZTBAquaTabStyle::drawBackgroundInRect(gfx::Rect)
{
    // The picture is a 22-point strip: a bar of that height (or lower) gets it whatever part of it is redrawn.
    if (!m_tabBar || !m_aquaTabBg)
        return;
    const gfx::Rect b = m_tabBar->bounds();
    if (b.height() > 22.0)
        return;
    m_aquaTabBg->drawInRect(b, { 0.0, 0.0, 1.0, 22.0 }, gfx::CompositingOperation::SourceOver, 1.0);
}

void ZTBAquaTabStyle::drawTabBar(ZTBTabBarControlBase& bar, gfx::Rect rect)
{
    m_tabBar = &bar;
    drawBackgroundInRect(rect);
    ztbstyle::drawCells(bar, rect);
    m_tabBar = nullptr;
}
