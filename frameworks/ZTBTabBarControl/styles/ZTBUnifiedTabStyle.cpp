#include "frameworks/ZTBTabBarControl/styles/ZTBUnifiedTabStyle.h"

#include "frameworks/AppKitExtensions/ZORShading.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControlBase.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBStyleSupport.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

FND_REGISTER_CLASS(ZTBUnifiedTabStyle, ZTBTabStyle)
[[maybe_unused]] static const tbcore::TabStyleRegistration<ZTBTabStyleRegistry, ZTBUnifiedTabStyle>
    ZTBUnifiedTabStyleRegistration;
FND_REGISTER_CLASS(ZTBCardTabStyle, ZTBUnifiedTabStyle)
[[maybe_unused]] static const tbcore::TabStyleRegistration<ZTBTabStyleRegistry, ZTBCardTabStyle>
    ZTBCardTabStyleRegistration;

namespace {

std::shared_ptr<gfx::Color> ztbUnifiedLineColor()
{
    return gfx::Color::colorWithCalibratedWhite(0.576, 1.0);
}

// The toolbar of the window shows its baseline separator.
bool ztbUnifiedSeparatorCase(const ui::View* control)
{
    auto window = control ? control->window() : nullptr;
    auto toolbar = window ? std::dynamic_pointer_cast<ui::Toolbar>(window->toolbar()) : nullptr;
    return toolbar && toolbar->showsBaselineSeparator();
}

void ztbUnifiedGradient(const gfx::BezierPath& path, double start, double end)
{
    ZORShading::linearGradientFillWithStartColor(
        path, *gfx::Color::colorWithCalibratedWhite(start, 1.0), *gfx::Color::colorWithCalibratedWhite(end, 1.0));
}

}

std::shared_ptr<ZTBUnifiedTabStyle> ZTBUnifiedTabStyle::create()
{
    return fnd::makeObject<ZTBUnifiedTabStyle>();
}

void ZTBUnifiedTabStyle::loadImages()
{
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

double ZTBUnifiedTabStyle::closeButtonWidth() const
{
    return ztbstyle::sizeOf(m_closeButton).width;
}

gfx::Rect ZTBUnifiedTabStyle::dragRectForTabCell(const ZTBTabBarCell& cell, int) const
{
    gfx::Rect r = cell.frame();
    r.size.width += 1.0;
    return r;
}

gfx::Rect ZTBUnifiedTabStyle::closeButtonRectForTabCell(const ZTBTabBarCell& cell, gfx::Rect frame) const
{
    if (!cell.hasCloseButton())
        return {};
    return { { frame.minX() + 6.0, frame.minY() + 3.0 + 1.0 }, ztbstyle::sizeOf(m_closeButton) };
}

gfx::Rect ZTBUnifiedTabStyle::iconRectForTabCell(const ZTBTabBarCell& cell) const
{
    if (!cell.hasIcon())
        return {};
    const gfx::Rect f = cell.frame();
    double x = f.minX() + 6.0;
    if (cell.hasCloseButton() && !cell.isCloseButtonSuppressed())
        x += closeButtonWidth() + 4.0;
    return { x, f.minY() + 3.0 - 1.0, 16.0, 16.0 };
}

gfx::Rect ZTBUnifiedTabStyle::indicatorRectForTabCell(const ZTBTabBarCell& cell) const
{
    if (!cell.isIndicatorShown())
        return {};
    const gfx::Rect f = cell.frame();
    return { f.minX() + f.width() - 6.0 - 16.0, f.minY() + 3.0 - 1.0, 16.0, 16.0 };
}

gfx::Rect ZTBUnifiedTabStyle::objectCounterRectForTabCell(const ZTBTabBarCell& cell) const
{
    return ztbstyle::counterRect(cell, 8.0, 6.0, 20.0);
}

double ZTBUnifiedTabStyle::minimumWidthOfTabCell(const ZTBTabBarCell& cell) const
{
    return ztbstyle::sixPointWidth(cell, closeButtonWidth(), 30.0, objectCounterRectForTabCell(cell).width());
}

double ZTBUnifiedTabStyle::desiredWidthOfTabCell(const ZTBTabBarCell& cell) const
{
    return ztbstyle::sixPointWidth(cell, closeButtonWidth(), attributedStringValueForTabCell(cell)->size().width,
        objectCounterRectForTabCell(cell).width());
}

std::shared_ptr<txt::AttributedString> ZTBUnifiedTabStyle::attributedObjectCountValueForTabCell(
    const ZTBTabBarCell& cell) const
{
    return ztbstyle::counterText(cell);
}

std::shared_ptr<txt::AttributedString> ZTBUnifiedTabStyle::attributedStringValueForTabCell(
    const ZTBTabBarCell& cell) const
{
    return ztbstyle::plainTitle(cell, false);
}

void ZTBUnifiedTabStyle::drawTabCell(ZTBTabBarCell& cell)
{
    auto control = cell.tabBar();
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    gfx::Rect f = cell.frame();
    const bool separator = ztbUnifiedSeparatorCase(control.get());
    if (!separator) {
        f.origin.y += 1.0;
        f.size.height -= 1.0;
    }
    const long state = cell.tabState();
    if (separator && cell.state() != 1) {
        const gfx::Rect a { f.minX() + 0.5, f.minY() + 0.5, f.width(), f.height() };
        if (cell.isHighlighted()) {
            gfx::Color::colorWithCalibratedWhite(0.0, 0.1)->setFill();
            context->fillRectUsingOperation(a, gfx::CompositingOperation::SourceAtop);
        }
        auto line = gfx::BezierPath::bezierPath();
        line->setLineWidth(1.0);
        line->moveToPoint({ a.maxX(), a.minY() - 0.5 });
        if (!(state & ZTBTabState::RightIsSelected))
            line->lineToPoint({ a.maxX(), a.maxY() });
        ztbUnifiedLineColor()->setStroke();
        line->stroke();
        const auto highlight = gfx::Color::colorWithCalibratedWhite(1.0, 0.5);
        if (!(state & ZTBTabState::RightIsSelected)) {
            highlight->setStroke();
            gfx::BezierPath::strokeLineFromPoint(
                { a.maxX() + 1.0, a.minY() - 0.5 }, { a.maxX() + 1.0, a.maxY() - 2.5 });
        }
        if (state & ZTBTabState::First) {
            ztbUnifiedLineColor()->setStroke();
            gfx::BezierPath::strokeLineFromPoint({ a.minX(), a.minY() - 0.5 }, { a.minX(), a.maxY() - 2.5 });
            highlight->setStroke();
            gfx::BezierPath::strokeLineFromPoint(
                { a.minX() + 1.0, a.minY() - 0.5 }, { a.minX() + 1.0, a.maxY() - 2.5 });
        }
    } else {
        const gfx::Rect a { f.minX() + 0.5, f.minY() - 0.5, f.width(), f.height() };
        const double r = std::min(6.0, std::min(a.width(), a.height()) / 2.0);
        const gfx::Rect inner { a.minX() + r, a.minY() + r, a.width() - 2 * r, a.height() - 2 * r };
        auto path = gfx::BezierPath::bezierPath();
        path->setLineWidth(1.0);
        path->appendBezierPathWithArcWithCenter({ inner.minX(), inner.minY() }, r, 180.0, 270.0);
        path->appendBezierPathWithArcWithCenter({ inner.maxX(), inner.minY() }, r, 270.0, 360.0);
        path->lineToPoint({ a.maxX(), a.maxY() });
        path->lineToPoint({ a.minX(), a.maxY() });
        path->closePath();
        if (ztbstyle::isApplicationActive()) {
            if (cell.state() == 1)
                ztbUnifiedGradient(*path, 0.99, 0.941);
            else if (cell.isHighlighted())
                ztbUnifiedGradient(*path, 0.8, 0.8);
            else
                ztbUnifiedGradient(*path, 0.835, 0.843);
        }
        ztbUnifiedLineColor()->setStroke();
        path->stroke();
    }
    drawInteriorWithTabCell(cell, control.get());
}

void ZTBUnifiedTabStyle::drawInteriorWithTabCell(ZTBTabBarCell& cell, ui::View*)
{
    drawInterior(cell, cell.frame(), -1.0);
}

void ZTBUnifiedTabStyle::drawInterior(ZTBTabBarCell& cell, gfx::Rect f, double titleOffset)
{
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
        ztbstyle::drawImage(ztbstyle::identifierImage(cell, "icon"), r);
        left += r.width() + 4.0;
    }
    auto text = cell.attributedStringValue();
    const double h = text ? text->size().height : 0.0;
    gfx::Rect label { left, f.minY() + (f.height() - h) / 2 + titleOffset, f.width() - (left - f.minX()) - 4.0, h };
    if (cell.isIndicatorShown())
        label.size.width -= 20.0;
    if (cell.count() > 0) {
        const gfx::Rect c = objectCounterRectForTabCell(cell);
        ztbstyle::drawCounter(cell, c, gfx::Color::colorWithCalibratedWhite(0.3, 0.6));
        label.size.width -= c.width() + 4.0;
    }
    if (text)
        text->drawInRect(label);
}

void ZTBUnifiedTabStyle::fillBarGradient(double startWhite, double endWhite)
{
    if (!m_tabBar)
        return;
    const gfx::Rect b = m_tabBar->bounds();
    const gfx::Rect g { b.minX(), b.minY(), b.width(), b.height() - 1.0 };
    ztbUnifiedGradient(*gfx::BezierPath::bezierPathWithRect(g), startWhite, endWhite);
    if (!ztbstyle::isInKeyWindow(m_tabBar->tabView().get())) {
        gfx::Color::windowBackgroundColor()->setFill();
        gfx::BezierPath::bezierPathWithRect(g)->fill();
    }
}

void ZTBUnifiedTabStyle::drawBackgroundInRect(gfx::Rect)
{
    // Outside a bar's drawing there is no bar to fill.
    if (!m_tabBar)
        return;
    const gfx::Rect b = m_tabBar->bounds();
    fillBarGradient(0.835, 0.843);
    ztbUnifiedLineColor()->setStroke();
    gfx::BezierPath::strokeLineFromPoint({ b.minX(), b.maxY() - 0.5 }, { b.maxX(), b.maxY() - 0.5 });
}

void ZTBUnifiedTabStyle::drawTabBar(ZTBTabBarControlBase& bar, gfx::Rect rect)
{
    m_tabBar = &bar;
    drawBackgroundInRect(rect);
    ztbstyle::drawCells(bar, rect);
    m_tabBar = nullptr;
}

// The card look.

std::shared_ptr<ZTBCardTabStyle> ZTBCardTabStyle::create()
{
    return fnd::makeObject<ZTBCardTabStyle>();
}

gfx::Rect ZTBCardTabStyle::closeButtonRectForTabCell(const ZTBTabBarCell& cell, gfx::Rect frame) const
{
    if (!cell.hasCloseButton() || cell.isCloseButtonSuppressed())
        return {};
    return { { frame.minX() + 6.0, frame.minY() + 3.0 + 1.0 }, ztbstyle::sizeOf(m_closeButton) };
}

gfx::Rect ZTBCardTabStyle::indicatorRectForTabCell(const ZTBTabBarCell& cell) const
{
    if (!cell.isIndicatorShown())
        return {};
    const gfx::Rect f = cell.frame();
    return { f.minX() + f.width() - 6.0 - 16.0, f.minY() + 3.0 + 2.0, 16.0, 16.0 };
}

gfx::Rect ZTBCardTabStyle::cardRect(gfx::Rect f)
{
    return { f.minX() + 0.5, f.minY() + 3.0 + 0.5, f.width() - 1.0, f.height() - 3.0 - 1.0 };
}

double ZTBCardTabStyle::cornerRadius(gfx::Rect a)
{
    const double half = std::min(a.width(), a.height()) / 2.0;
    return half > 6.0 ? 5.5 : half - 0.5;
}

void ZTBCardTabStyle::drawTabCell(ZTBTabBarCell& cell)
{
    const gfx::Rect a = cardRect(cell.frame());
    const double r = cornerRadius(a);
    auto path = gfx::BezierPath::bezierPath();
    path->setLineWidth(1.0);
    path->moveToPoint({ a.minX(), a.maxY() });
    path->appendBezierPathWithArcFromPoint({ a.minX(), a.minY() }, { a.minX() + a.width() / 2, a.minY() }, r);
    path->appendBezierPathWithArcFromPoint({ a.maxX(), a.minY() }, { a.maxX(), a.maxY() }, r);
    path->lineToPoint({ a.maxX(), a.maxY() });
    if (ztbstyle::isApplicationActive()) {
        const double start = cell.state() == 1 ? 0.9 : cell.isHighlighted() ? 0.94 : 0.8;
        const double end = cell.state() == 1 ? 0.9 : cell.isHighlighted() ? 0.94 : 0.65;
        ztbUnifiedGradient(*path, start, end);
    }
    ztbUnifiedLineColor()->setStroke();
    path->stroke();
    auto control = cell.tabBar();
    drawInteriorWithTabCell(cell, control.get());
}

void ZTBCardTabStyle::drawInteriorWithTabCell(ZTBTabBarCell& cell, ui::View*)
{
    gfx::Rect f = cell.frame();
    f.origin.y += 3.0;
    f.size.height -= 3.0;
    drawInterior(cell, f, 1.0);
}

void ZTBCardTabStyle::drawBackgroundInRect(gfx::Rect)
{
    fillBarGradient(0.45, 0.6);
}

void ZTBCardTabStyle::drawTabBar(ZTBTabBarControlBase& bar, gfx::Rect rect)
{
    gfx::GraphicsStateGuard guard;
    for (const auto& cell : bar.cells()) {
        if (cell->state() != 1)
            continue;
        const gfx::Rect f = cell->frame();
        const double y = rect.maxY() - 0.5;
        ztbUnifiedLineColor()->setStroke();
        gfx::BezierPath::strokeLineFromPoint({ rect.minX(), y }, { f.minX(), y });
        gfx::BezierPath::strokeLineFromPoint({ f.maxX(), y }, { rect.maxX(), y });
        break;
    }
    m_tabBar = &bar;
    drawBackgroundInRect(rect);
    ztbstyle::drawCells(bar, rect);
    m_tabBar = nullptr;
}
