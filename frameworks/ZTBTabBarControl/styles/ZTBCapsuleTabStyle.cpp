#include "frameworks/ZTBTabBarControl/styles/ZTBCapsuleTabStyle.h"

#include "frameworks/AppKitExtensions/ZORShading.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControlBase.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBStyleSupport.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/ui/containers/TabView.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>

FND_REGISTER_CLASS(ZTBCapsuleTabStyle, ZTBTabStyle)
[[maybe_unused]] static const tbcore::TabStyleRegistration<ZTBTabStyleRegistry, ZTBCapsuleTabStyle>
    ZTBCapsuleTabStyleRegistration;

namespace {

// Keyed by the text and the width it was wrapped to: one title measures differently in a narrower tab.
std::map<std::pair<std::string, double>, double>& ztbCapsuleHeightCache()
{
    static std::map<std::pair<std::string, double>, double> cache;
    return cache;
}

void ztbCapsuleShadow(gfx::Size offset)
{
    gfx::Shadow shadow;
    shadow.setShadowBlurRadius(2.0);
    shadow.setShadowColor(gfx::Color::colorWithCalibratedWhite(0.6, 1.0));
    shadow.setShadowOffset(offset);
    shadow.set();
}

void ztbCapsuleUnifiedFill(const gfx::BezierPath& path, const ui::View* tabView)
{
    if (ztbstyle::isInKeyWindow(tabView)) {
        ZORShading::linearGradientFillWithStartColor(
            path, *gfx::Color::colorWithCalibratedWhite(0.835, 1.0), *gfx::Color::colorWithCalibratedWhite(0.843, 1.0));
    } else {
        gfx::Color::windowBackgroundColor()->setFill();
        path.fill();
    }
}

}

std::shared_ptr<ZTBCapsuleTabStyle> ZTBCapsuleTabStyle::create()
{
    return fnd::makeObject<ZTBCapsuleTabStyle>();
}

void ZTBCapsuleTabStyle::loadImages()
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
    m_gradientImage = ztbstyle::image("CapsuleGradient");
}

gfx::Size ZTBCapsuleTabStyle::closeButtonSize() const
{
    return ztbstyle::sizeOf(m_closeButton);
}

bool ZTBCapsuleTabStyle::closeButtonIsEnabledForCell(const ZTBTabBarCell& cell) const
{
    return cell.hasCloseButton() && !cell.isCloseButtonSuppressed();
}

gfx::Size ZTBCapsuleTabStyle::sizeForObjectCounterRectForTabCell(const ZTBTabBarCell& cell) const
{
    return { std::max(20.0, ztbstyle::counterText(cell)->size().width + 11.0), 14.0 };
}

double ZTBCapsuleTabStyle::heightOfAttributedStringWithWidth(const txt::AttributedString& text, double width)
{
    auto& cache = ztbCapsuleHeightCache();
    if (cache.size() > 100)
        cache.clear();
    auto key = std::make_pair(text.string().utf8(), width);
    if (auto found = cache.find(key); found != cache.end())
        return found->second;
    const double height = text.boundingRectWithSize({ width, 1.0e7 }).height();
    cache.emplace(std::move(key), height);
    return height;
}

std::size_t ZTBCapsuleTabStyle::heightCacheCount()
{
    return ztbCapsuleHeightCache().size();
}

std::shared_ptr<gfx::BezierPath> ZTBCapsuleTabStyle::bezierPathWithRoundedRect(gfx::Rect rect, double r)
{
    const gfx::Rect inner { rect.minX() + r, rect.minY() + r, rect.width() - 2 * r, rect.height() - 2 * r };
    auto path = gfx::BezierPath::bezierPath();
    path->appendBezierPathWithArcWithCenter({ inner.minX(), inner.minY() }, r, 180.0, 270.0);
    path->appendBezierPathWithArcWithCenter({ inner.maxX(), inner.minY() }, r, 270.0, 0.0);
    path->appendBezierPathWithArcWithCenter({ inner.maxX(), inner.maxY() }, r, 0.0, 90.0);
    path->appendBezierPathWithArcWithCenter({ inner.minX(), inner.maxY() }, r, 90.0, 180.0);
    path->lineToPoint({ rect.minX(), inner.minY() });
    return path;
}

gfx::Rect ZTBCapsuleTabStyle::dragRectForTabCell(const ZTBTabBarCell& cell, int orientation) const
{
    gfx::Rect r = cell.frame();
    if ((cell.tabState() & ZTBTabState::Selected) && orientation == 0) {
        r.size.width += 1.0;
        r.size.height -= 2.0;
    }
    return r;
}

gfx::Rect ZTBCapsuleTabStyle::closeButtonRectForTabCell(const ZTBTabBarCell& cell, gfx::Rect frame) const
{
    if (!closeButtonIsEnabledForCell(cell))
        return {};
    const gfx::Size s = closeButtonSize();
    if (m_orientation == 1)
        return { { frame.maxX() - 8.0 - s.width, frame.minY() + frame.height() / 2 - s.height / 2 + 1.0 }, s };
    return { { frame.minX() + 4.0, frame.minY() + 3.0 + 2.0 - (cell.state() == 1 ? 1.0 : 0.0) }, s };
}

gfx::Rect ZTBCapsuleTabStyle::iconRectForTabCell(const ZTBTabBarCell& cell) const
{
    if (!cell.hasIcon())
        return {};
    const gfx::Rect f = cell.frame();
    const gfx::Size s = ztbstyle::sizeOf(ztbstyle::identifierImage(cell, "icon"));
    gfx::Rect r { {}, s };
    if (m_orientation == 1) {
        r.origin = { f.maxX() - 8.0 - s.width, f.minY() + f.height() / 2 - s.height / 2 + 1.0 };
    } else {
        r.origin = { f.minX() + 4.0, f.minY() + 3.0 };
        if (s.width < 16.0)
            r.origin.x += (16.0 - s.width) / 2;
        if (s.height < 16.0)
            r.origin.y += (16.0 - s.height) / 2;
    }
    if (cell.state() == 1)
        r.origin.y -= 1.0;
    return r;
}

gfx::Rect ZTBCapsuleTabStyle::indicatorRectForTabCell(const ZTBTabBarCell& cell) const
{
    if (!cell.isIndicatorShown())
        return {};
    const gfx::Rect f = cell.frame();
    return { f.maxX() - 4.0 - 16.0, f.minY() + 3.0 - (cell.state() == 1 ? 1.0 : 0.0), 16.0, 16.0 };
}

gfx::Rect ZTBCapsuleTabStyle::objectCounterRectForTabCell(const ZTBTabBarCell& cell) const
{
    if (cell.count() == 0)
        return {};
    const gfx::Rect f = cell.frame();
    const gfx::Size s = sizeForObjectCounterRectForTabCell(cell);
    double x = f.maxX() - 4.0 - s.width;
    if (cell.isIndicatorShown())
        x -= 18.0;
    return { { x, f.minY() + 3.0 + 1.0 }, s };
}

double ZTBCapsuleTabStyle::widthOfTabCell(const ZTBTabBarCell& cell, double width) const
{
    if (m_orientation == 0 && cell.count() > 0)
        width += objectCounterRectForTabCell(cell).width() + 2.0;
    if (cell.isIndicatorShown())
        width += 18.0;
    width += 4.0;
    return std::ceil(width);
}

double ZTBCapsuleTabStyle::minimumWidthOfTabCell(const ZTBTabBarCell& cell) const
{
    double width = 34.0;
    if (closeButtonIsEnabledForCell(cell))
        width = std::max(iconRectForTabCell(cell).width(), closeButtonSize().width) + 2.0 + 4.0 + 30.0;
    return widthOfTabCell(cell, width);
}

double ZTBCapsuleTabStyle::desiredWidthOfTabCell(const ZTBTabBarCell& cell) const
{
    double width = 4.0;
    if (closeButtonIsEnabledForCell(cell))
        width = std::max(iconRectForTabCell(cell).width(), closeButtonSize().width) + 2.0 + 4.0;
    width += attributedStringValueForTabCell(cell)->size().width + 2.0;
    return widthOfTabCell(cell, width);
}

std::shared_ptr<txt::AttributedString> ZTBCapsuleTabStyle::attributedObjectCountValueForTabCell(
    const ZTBTabBarCell& cell) const
{
    return ztbstyle::counterText(cell);
}

std::shared_ptr<txt::AttributedString> ZTBCapsuleTabStyle::attributedStringValueForTabCell(
    const ZTBTabBarCell& cell) const
{
    auto text = ztbstyle::plainTitle(cell, false);
    text->addAttribute(
        txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::controlTextColor()), { 0, text->length() });
    return text;
}

void ZTBCapsuleTabStyle::drawTabCell(ZTBTabBarCell& cell)
{
    auto control = cell.tabBar();
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    const gfx::Rect f = cell.frame();
    auto tabView = control ? control->tabView() : nullptr;
    {
        gfx::GraphicsStateGuard guard;
        context->setShouldAntialias(false);
        gfx::Color::grayColor()->setStroke();
        if (cell.state() != 1) {
            if (cell.isHighlighted()) {
                gfx::Color::colorWithCalibratedWhite(0.0, 0.1)->setFill();
                context->fillRectUsingOperation(f, gfx::CompositingOperation::SourceAtop);
            }
            if (m_orientation == 0) {
                auto path = gfx::BezierPath::bezierPath();
                path->setLineWidth(1.0);
                path->moveToPoint({ f.minX(), f.minY() });
                path->lineToPoint({ f.maxX(), f.minY() });
                if (!(cell.tabState() & ZTBTabState::RightIsSelected))
                    path->lineToPoint({ f.maxX(), f.maxY() });
                path->stroke();
            }
        } else if (m_orientation == 0) {
            const gfx::Rect a { f.minX(), f.minY(), f.width(), f.height() - 2.5 };
            if (!m_drawsUnified) {
                if (m_gradientImage)
                    m_gradientImage->drawInRect(a, {}, gfx::CompositingOperation::SourceOver, 1.0);
            } else {
                ztbCapsuleUnifiedFill(*gfx::BezierPath::bezierPathWithRect(a), tabView.get());
            }
            ztbCapsuleShadow({ -2.0, -2.0 });
            gfx::BezierPath::strokeLineFromPoint({ a.minX(), a.minY() }, { a.minX(), a.maxY() });
            auto path = gfx::BezierPath::bezierPath();
            path->setLineWidth(1.0);
            path->moveToPoint({ a.minX(), a.maxY() });
            path->lineToPoint({ a.maxX(), a.maxY() });
            path->lineToPoint({ a.maxX(), a.minY() });
            if (!control || control->frame().height() < 2.0) {
                path->moveToPoint({ a.minX(), a.minY() + 0.5 });
                path->lineToPoint({ a.maxX(), a.minY() + 0.5 });
            }
            ztbCapsuleShadow({ 2.0, -2.0 });
            path->stroke();
        } else {
            const gfx::Rect r = m_drawsRight ? gfx::Rect { f.minX() - 1.0, f.minY(), f.width() - 3.0, f.height() }
                                             : gfx::Rect { f.minX() + 2.0, f.minY(), f.width() - 2.0, f.height() };
            auto fill = gfx::BezierPath::bezierPathWithRect(r);
            if (m_drawsUnified) {
                ztbCapsuleUnifiedFill(*fill, tabView.get());
            } else {
                // Lighter towards the window's content.
                const double outer = m_drawsRight ? 0.92 : 0.98;
                const double inner = m_drawsRight ? 0.98 : 0.92;
                ZORShading::linearVerticalGradientFillWithStartColor(*fill,
                    *gfx::Color::colorWithCalibratedWhite(outer, 1.0),
                    *gfx::Color::colorWithCalibratedWhite(inner, 1.0));
            }
            ztbCapsuleShadow({ -2.0, -2.0 });
            gfx::BezierPath::strokeLineFromPoint({ r.minX(), r.minY() }, { r.maxX(), r.minY() });
            auto path = gfx::BezierPath::bezierPath();
            path->setLineWidth(1.0);
            if (m_drawsRight) {
                path->moveToPoint({ r.maxX(), r.minY() });
                path->lineToPoint({ r.maxX(), r.maxY() });
                path->lineToPoint({ r.minX(), r.maxY() });
                ztbCapsuleShadow({ 2.0, -2.0 });
            } else {
                path->moveToPoint({ r.minX(), r.minY() });
                path->lineToPoint({ r.minX(), r.maxY() });
                path->lineToPoint({ r.maxX(), r.maxY() });
            }
            path->stroke();
        }
    }
    drawInteriorWithTabCell(cell, control.get());
}

void ZTBCapsuleTabStyle::drawObjectCounterInCell(const ZTBTabBarCell& cell, gfx::Rect c)
{
    c.origin.x += 3.0;
    c.size.width -= 3.0;
    if (cell.state() == 1)
        c.origin.y -= 1.0;
    ztbstyle::drawCounter(cell, c, gfx::Color::colorWithCalibratedWhite(0.3, 0.6));
}

void ZTBCapsuleTabStyle::drawInteriorWithTabCell(ZTBTabBarCell& cell, ui::View*)
{
    gfx::Rect f = cell.frame();
    const bool vertical = m_orientation == 1;
    if (vertical && cell.hasLargeImage()) {
        if (auto large = ztbstyle::identifierImage(cell, "largeImage")) {
            const gfx::Rect square { f.minX() + 4.0, f.minY() + 2.0, 24.0, 24.0 };
            gfx::GraphicsStateGuard guard;
            auto clip = bezierPathWithRoundedRect(square, 3.0);
            clip->closePath();
            clip->addClip();
            large->drawInRect(square, {}, gfx::CompositingOperation::SourceOver, 1.0);
        }
        f.origin.x += 28.0;
        f.size.width -= 24.0;
    }
    gfx::Rect label { f.minX() + 4.0, vertical ? f.minY() : f.minY() + 4.0, f.width() - 6.0, f.height() };
    const gfx::Rect icon = iconRectForTabCell(cell);
    if (closeButtonIsEnabledForCell(cell)) {
        gfx::Rect c = cell.closeButtonRectForFrame(f);
        if (cell.hasIcon() && icon.width() > c.width())
            c.origin.x = icon.midX() - c.width() / 2;
        std::shared_ptr<gfx::Image> picture;
        gfx::Rect at = c;
        if (cell.closeButtonPressed()) {
            picture = cell.isEdited() ? m_closeDirtyButtonDown : m_closeButtonDown;
        } else if (cell.closeButtonOver()) {
            picture = cell.isEdited() ? m_closeDirtyButtonOver : m_closeButtonOver;
        } else if (vertical && cell.count() > 0) {
            const gfx::Size s = sizeForObjectCounterRectForTabCell(cell);
            if (c.width() < s.width) {
                c.origin.x -= s.width - c.width();
                c.size.width = s.width;
            }
            c.origin.y = f.minY() + (f.height() - s.height) / 2;
            c.size.height = s.height;
            drawObjectCounterInCell(cell, c);
        } else if (cell.hasIcon()) {
            picture = ztbstyle::identifierImage(cell, "icon");
            at = icon;
        } else {
            picture = cell.isEdited() ? m_closeDirtyButton : m_closeButton;
        }
        ztbstyle::drawImage(picture, at);
        const gfx::Rect wider = icon.width() > c.width() ? icon : c;
        if (vertical) {
            label.size.width = wider.minX() - 2.0 - label.minX();
        } else {
            const double shift = wider.maxX() + 4.0 - label.minX();
            label.origin.x += shift;
            label.size.width -= shift;
        }
    } else if (cell.hasIcon()) {
        ztbstyle::drawImage(ztbstyle::identifierImage(cell, "icon"), icon);
        label.size.width -= icon.width() + 2.0;
        if (!vertical)
            label.origin.x += icon.width() + 2.0;
    }
    if (cell.state() == 1)
        label.origin.y -= 1.0;
    if (cell.isIndicatorShown())
        label.size.width -= 18.0;
    if (!vertical && cell.count() > 0) {
        const gfx::Rect c = objectCounterRectForTabCell(cell);
        drawObjectCounterInCell(cell, c);
        label.size.width -= c.width() + 2.0;
    }
    auto text = cell.attributedStringValue();
    if (!text)
        return;
    if (vertical) {
        const double h = heightOfAttributedStringWithWidth(*text, label.width());
        if (h < label.height())
            label.origin.y += (label.height() - h) / 2;
    }
    text->drawInRect(label);
}

void ZTBCapsuleTabStyle::drawBackgroundInRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    // Outside a bar's drawing there is no bar to fill.
    if (!context || !m_tabBar)
        return;
    const gfx::Rect b = m_tabBar->bounds();
    auto tabView = m_tabBar->tabView();
    const bool vertical = m_orientation == 1;
    if (vertical) {
        gfx::Color::colorWithCalibratedRed(0.9059, 0.9294, 0.9647, 1.0)->setFill();
        context->fillRect(b);
    } else if (m_drawsUnified) {
        ztbCapsuleUnifiedFill(*gfx::BezierPath::bezierPathWithRect(b), tabView.get());
    } else {
        gfx::Color::colorWithCalibratedWhite(0.85, 0.6)->setFill();
        gfx::BezierPath::fillRect(b);
    }
    gfx::GraphicsStateGuard guard;
    context->setShouldAntialias(false);
    gfx::Color::grayColor()->setStroke();
    if (vertical) {
        const double x = m_drawsRight ? b.minX() : b.maxX() - 1.0;
        ztbCapsuleShadow({ m_drawsRight ? 2.0 : -2.0, -2.0 });
        gfx::BezierPath::strokeLineFromPoint({ x, b.minY() }, { x, b.maxY() });
        ztbCapsuleShadow({ 0.0, -1.0 });
        gfx::BezierPath::strokeLineFromPoint({ b.minX(), b.minY() }, { b.maxX(), b.minY() });
    } else {
        ztbCapsuleShadow({ 2.0, -2.0 });
        gfx::BezierPath::strokeLineFromPoint({ b.minX(), b.minY() + 1.0 }, { b.maxX(), b.minY() + 1.0 });
    }
}

void ZTBCapsuleTabStyle::drawTabBar(ZTBTabBarControlBase& bar, gfx::Rect rect)
{
    m_orientation = bar.orientation();
    m_tabBar = &bar;
    drawBackgroundInRect(rect);
    ztbstyle::drawCells(bar, rect);
    m_tabBar = nullptr;
}

// The nine pictures under their own names, then the two switches.
namespace {

const char* const ZTBCapsuleTabStylePictureKeys[]
    = { "closeButton", "closeButtonDown", "closeButtonOver", "closeDirtyButton", "closeDirtyButtonDown",
          "closeDirtyButtonOver", "addTabButtonImage", "addTabButtonPressedImage", "addTabButtonRolloverImage" };

}

void ZTBCapsuleTabStyle::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    const std::shared_ptr<gfx::Image>* pictures[] = { &m_closeButton, &m_closeButtonDown, &m_closeButtonOver,
        &m_closeDirtyButton, &m_closeDirtyButtonDown, &m_closeDirtyButtonOver, &m_addTabButtonImage,
        &m_addTabButtonPressedImage, &m_addTabButtonRolloverImage };
    for (std::size_t i = 0; i < std::size(pictures); ++i)
        coder.encodeObject(*pictures[i] ? fnd::Value(*pictures[i]) : fnd::Value(), ZTBCapsuleTabStylePictureKeys[i]);
    coder.encodeBool(m_drawsUnified, "drawsUnified");
    coder.encodeBool(m_drawsRight, "drawsRight");
}

bool ZTBCapsuleTabStyle::initWithCoder(fnd::Coder& coder)
{
    // Made as in code first (the bundle's pictures, the counter attributes, the gradient picture), so a picture
    // the archive lacks is the bundle's.
    if (!coder.allowsKeyedCoding())
        return true;
    std::shared_ptr<gfx::Image>* pictures[] = { &m_closeButton, &m_closeButtonDown, &m_closeButtonOver,
        &m_closeDirtyButton, &m_closeDirtyButtonDown, &m_closeDirtyButtonOver, &m_addTabButtonImage,
        &m_addTabButtonPressedImage, &m_addTabButtonRolloverImage };
    for (std::size_t i = 0; i < std::size(pictures); ++i)
        if (auto picture = fnd::decodeObjectOfClass<gfx::Image>(coder, ZTBCapsuleTabStylePictureKeys[i]))
            *pictures[i] = picture;
    m_drawsUnified = coder.decodeBoolForKey("drawsUnified");
    m_drawsRight = coder.decodeBoolForKey("drawsRight");
    return !coder.hasFailed();
}
