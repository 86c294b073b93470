#include "frameworks/ZTBTabBarControl/ZTBMetalTabStyle.h"

#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControlBase.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBStyleSupport.h"
#include "frameworks/tab-bar-core/TabLabels.h"
#include "frameworks/tab-bar-core/TabResources.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/FontManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/ui/containers/TabViewItem.h"

#include <algorithm>
#include <cmath>

FND_REGISTER_CLASS(ZTBMetalTabStyle, ZTBTabStyle)
[[maybe_unused]] static const tbcore::TabStyleRegistration<ZTBTabStyleRegistry, ZTBMetalTabStyle>
    ZTBMetalTabStyleRegistration;

namespace {

bool ztbMetalSelected(const ZTBTabBarCell& cell)
{
    return cell.state() == 1;
}

}

std::shared_ptr<ZTBMetalTabStyle> ZTBMetalTabStyle::create()
{
    return fnd::makeObject<ZTBMetalTabStyle>();
}

void ZTBMetalTabStyle::init()
{
    const fnd::String bundle = "ZTBTabBarControl";
    m_closeButton = tbcore::namedImage(bundle, "TabClose_Front");
    m_closeButtonDown = tbcore::namedImage(bundle, "TabClose_Front_Pressed");
    m_closeButtonOver = tbcore::namedImage(bundle, "TabClose_Front_Rollover");
    m_closeDirtyButton = tbcore::namedImage(bundle, "TabClose_Dirty");
    m_closeDirtyButtonDown = tbcore::namedImage(bundle, "TabClose_Dirty_Pressed");
    m_closeDirtyButtonOver = tbcore::namedImage(bundle, "TabClose_Dirty_Rollover");
    m_addTabButtonImage = tbcore::namedImage(bundle, "TabNewMetal");
    m_addTabButtonPressedImage = tbcore::namedImage(bundle, "TabNewMetalPressed");
    m_addTabButtonRolloverImage = tbcore::namedImage(bundle, "TabNewMetalRollover");
}

gfx::Size ZTBMetalTabStyle::closeButtonSize() const
{
    return m_closeButton ? m_closeButton->size() : gfx::Size {};
}

gfx::Rect ZTBMetalTabStyle::dragRectForTabCell(const ZTBTabBarCell& cell, int orientation) const
{
    gfx::Rect r = cell.frame();
    r.size.width += 1.0;
    if (cell.tabState() & ZTBTabState::Selected) {
        if (orientation == 1) {
            r.size.height += 1.0;
            r.origin.x += 2.0;
            r.origin.y -= 1.0;
            r.size.width -= 3.0;
        } else {
            r.size.height -= 2.0;
        }
    } else if (orientation == 1) {
        r.origin.x -= 1.0;
    }
    return r;
}

gfx::Rect ZTBMetalTabStyle::closeButtonRectForTabCell(const ZTBTabBarCell& cell, gfx::Rect frame) const
{
    if (!cell.hasCloseButton())
        return {};
    gfx::Rect r { { frame.minX() + 6.0, frame.minY() + 3.0 + 2.0 }, closeButtonSize() };
    if (ztbMetalSelected(cell))
        r.origin.y -= 1.0;
    return r;
}

gfx::Rect ZTBMetalTabStyle::iconRectForTabCell(const ZTBTabBarCell& cell) const
{
    if (!cell.hasIcon())
        return {};
    const gfx::Rect f = cell.frame();
    double x = f.minX() + 6.0;
    if (cell.hasCloseButton() && !cell.isCloseButtonSuppressed())
        x += closeButtonSize().width + 4.0;
    return { x, f.minY() + 3.0 - (ztbMetalSelected(cell) ? 1.0 : 0.0), 16.0, 16.0 };
}

gfx::Rect ZTBMetalTabStyle::indicatorRectForTabCell(const ZTBTabBarCell& cell) const
{
    if (!cell.isIndicatorShown())
        return {};
    const gfx::Rect f = cell.frame();
    return { f.minX() + f.width() - 6.0 - 16.0, f.minY() + 3.0 - (ztbMetalSelected(cell) ? 1.0 : 0.0), 16.0, 16.0 };
}

gfx::Rect ZTBMetalTabStyle::objectCounterRectForTabCell(const ZTBTabBarCell& cell) const
{
    if (cell.count() == 0)
        return {};
    const gfx::Rect f = cell.frame();
    const double textWidth = attributedObjectCountValueForTabCell(cell)->size().width;
    const double width = std::max(20.0, textWidth + 8.0);
    double x = f.minX() + f.width() - 6.0 - width;
    if (cell.isIndicatorShown())
        x -= 20.0;
    return { x, f.minY() + 3.0 + 1.0, width, 14.0 };
}

double ZTBMetalTabStyle::widthOfTabCell(const ZTBTabBarCell& cell, double titleWidth) const
{
    double width = 6.0;
    if (cell.hasCloseButton() && !cell.isCloseButtonSuppressed())
        width = closeButtonSize().width + 4.0 + 6.0;
    if (cell.hasIcon())
        width += 20.0;
    width += titleWidth;
    if (cell.count() > 0)
        width += objectCounterRectForTabCell(cell).width() + 4.0;
    if (cell.isIndicatorShown())
        width += 20.0;
    width += 6.0;
    return std::ceil(width);
}

double ZTBMetalTabStyle::minimumWidthOfTabCell(const ZTBTabBarCell& cell) const
{
    return widthOfTabCell(cell, 30.0);
}

double ZTBMetalTabStyle::desiredWidthOfTabCell(const ZTBTabBarCell& cell) const
{
    return widthOfTabCell(cell, tbcore::metalTitleWidth(cell.stringValue()));
}

std::shared_ptr<txt::AttributedString> ZTBMetalTabStyle::attributedObjectCountValueForTabCell(
    const ZTBTabBarCell& cell) const
{
    return tbcore::countString(static_cast<unsigned long>(cell.count()));
}

std::shared_ptr<txt::AttributedString> ZTBMetalTabStyle::attributedStringValueForTabCell(
    const ZTBTabBarCell& cell) const
{
    return tbcore::metalTitle(cell.stringValue(), ztbMetalSelected(cell) || cell.isHighlighted());
}

void ZTBMetalTabStyle::drawTabCell(ZTBTabBarCell& cell)
{
    auto control = cell.tabBar();
    const gfx::Rect f = cell.frame();
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    {
        gfx::GraphicsStateGuard guard;
        context->setShouldAntialias(false);
        auto path = gfx::BezierPath::bezierPath();
        path->setLineWidth(1.0);
        const bool vertical = m_orientation == 1;
        if (ztbMetalSelected(cell)) {
            if (vertical) {
                gfx::Rect a { f.minX() + 3.0, f.minY(), f.width() - 2.0, f.height() - 1.0 };
                gfx::Color::windowBackgroundColor()->setFill();
                context->fillRect(a);
                a.origin.x -= 1.0;
                a.size.height += 1.0;
                path->moveToPoint({ a.maxX(), a.minY() });
                path->lineToPoint({ a.minX() + 2.0, a.minY() });
                path->lineToPoint({ a.minX() + 0.5, a.minY() + 2.0 });
                path->lineToPoint({ a.minX() + 0.5, a.maxY() - 3.0 });
                path->lineToPoint({ a.minX() + 3.0, a.maxY() });
                path->lineToPoint({ a.maxX(), a.maxY() });
            } else {
                gfx::Rect a { f.minX() + 1.0, f.minY(), f.width() - 1.0, f.height() - 3.0 };
                gfx::Color::windowBackgroundColor()->setFill();
                context->fillRect(a);
                a.size.width += 1.0;
                a.size.height += 0.5;
                a.origin.x -= 0.5;
                path->moveToPoint({ a.minX(), a.minY() });
                path->lineToPoint({ a.minX(), a.maxY() - 1.5 });
                path->lineToPoint({ a.minX() + 1.5, a.maxY() });
                path->lineToPoint({ a.maxX() - 2.5, a.maxY() });
                path->lineToPoint({ a.maxX(), a.maxY() - 1.5 });
                path->lineToPoint({ a.maxX(), a.minY() });
                if (!control || control->frame().height() < 2.0) {
                    path->moveToPoint({ a.minX(), a.minY() + 0.5 });
                    path->lineToPoint({ a.maxX(), a.minY() + 0.5 });
                }
            }
        } else {
            gfx::Rect a { f.minX() + 1.5, f.minY() + 0.5, f.width() - 1.0, f.height() };
            if (cell.isHighlighted()) {
                gfx::Color::colorWithCalibratedWhite(0.0, 0.1)->setFill();
                context->fillRectUsingOperation(a, gfx::CompositingOperation::SourceAtop);
            }
            if (vertical) {
                if (!(cell.tabState() & ZTBTabState::LeftIsSelected)) {
                    path->moveToPoint({ a.minX(), a.minY() });
                    path->lineToPoint({ a.maxX(), a.minY() });
                }
                if (!(cell.tabState() & ZTBTabState::RightIsSelected)) {
                    path->moveToPoint({ a.minX(), a.maxY() });
                    path->lineToPoint({ a.maxX(), a.maxY() });
                }
            } else {
                a.origin.x -= 1.0;
                a.size.width += 1.0;
                path->moveToPoint({ a.minX(), a.minY() });
                path->lineToPoint({ a.maxX(), a.minY() });
                if (!(cell.tabState() & ZTBTabState::RightIsSelected))
                    path->lineToPoint({ a.maxX(), a.maxY() });
            }
        }
        gfx::Color::darkGrayColor()->setStroke();
        path->stroke();
    }
    drawInteriorWithTabCell(cell, control.get());
}

void ZTBMetalTabStyle::drawInteriorWithTabCell(ZTBTabBarCell& cell, ui::View* view)
{
    const gfx::Rect f = cell.frame();
    const bool selected = ztbMetalSelected(cell);
    const bool flipped = view && view->isFlipped();
    double left = f.minX() + 6.0;
    if (cell.hasCloseButton() && !cell.isCloseButtonSuppressed()) {
        const gfx::Rect r = cell.closeButtonRectForFrame(f);
        auto image = cell.isEdited() ? m_closeDirtyButton : m_closeButton;
        if (cell.closeButtonOver())
            image = cell.isEdited() ? m_closeDirtyButtonOver : m_closeButtonOver;
        if (cell.closeButtonPressed())
            image = cell.isEdited() ? m_closeDirtyButtonDown : m_closeButtonDown;
        if (image) {
            image->drawInRect(r, {}, gfx::CompositingOperation::SourceOver, 1.0);
            left += image->size().width + 4.0;
        }
    }
    if (cell.hasIcon()) {
        const gfx::Rect r = iconRectForTabCell(cell);
        ztbstyle::drawIcon(ztbstyle::identifierImage(cell, "icon"), r);
        left += r.width() + 4.0;
    }
    gfx::Rect label { left, f.minY() + 4.0 - (selected ? 1.0 : 0.0), f.width() - (left - f.minX()) - 4.0, f.height() };
    if (cell.isIndicatorShown())
        label.size.width -= 20.0;
    if (cell.count() > 0) {
        gfx::Rect c = objectCounterRectForTabCell(cell);
        if (selected)
            c.origin.y -= 1.0;
        ztbstyle::drawCounter(cell, c, gfx::Color::colorWithCalibratedWhite(0.3, 0.6));
        label.size.width -= c.width() + 4.0;
    }
    (void)flipped;
    if (auto text = cell.attributedStringValue())
        text->drawInRect(label);
}

void ZTBMetalTabStyle::drawBackgroundInRect(gfx::Rect)
{
    if (!m_tabBar)
        return;
    const gfx::Rect b = m_tabBar->bounds();
    if (m_orientation == 1 && m_tabBar->frame().width() < 2.0)
        return;
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    gfx::GraphicsStateGuard guard;
    context->setShouldAntialias(false);
    gfx::Color::colorWithCalibratedWhite(0.0, 0.2)->setFill();
    context->fillRectUsingOperation(b, gfx::CompositingOperation::SourceAtop);
    gfx::Color::darkGrayColor()->setStroke();
    if (m_orientation == 1) {
        gfx::BezierPath::strokeLineFromPoint({ b.minX(), b.minY() + 0.5 }, { b.minX(), b.maxY() + 0.5 });
        gfx::BezierPath::strokeLineFromPoint({ b.maxX(), b.minY() + 0.5 }, { b.maxX(), b.maxY() + 0.5 });
    } else {
        gfx::BezierPath::strokeLineFromPoint({ b.minX(), b.minY() + 0.5 }, { b.maxX(), b.minY() + 0.5 });
        gfx::BezierPath::strokeLineFromPoint({ b.minX(), b.maxY() - 0.5 }, { b.maxX(), b.maxY() - 0.5 });
    }
}

void ZTBMetalTabStyle::drawTabBar(ZTBTabBarControlBase& bar, gfx::Rect rect)
{
    m_orientation = bar.orientation();
    m_tabBar = &bar;
    drawBackgroundInRect(rect);
    ztbstyle::drawCells(bar, rect);
    m_tabBar = nullptr;
}
