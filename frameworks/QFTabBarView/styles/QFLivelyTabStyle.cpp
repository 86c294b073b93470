#include "frameworks/QFTabBarView/styles/QFLivelyTabStyle.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFTabBarViewBase.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "frameworks/QFTabBarView/styles/QFCapsuleTabStyle.h"
#include "frameworks/tab-bar-core/TabShapes.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/FontManager.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"

#include <cmath>
#include <string>

FND_REGISTER_CLASS(QFLivelyTabStyle, QFTabStyle)
[[maybe_unused]] static const tbcore::TabStyleRegistration<QFTabStyleRegistry, QFLivelyTabStyle>
    QFLivelyTabStyleRegistration;

using namespace QFTabStyleSupport;

namespace {

const CloseImages::Names LivelyCloseResources { "AquaTabClose_Front", "AquaTabClose_Front_Pressed",
    "AquaTabClose_Front_Rollover", "AquaTabCloseDirty_Front", "AquaTabCloseDirty_Front_Pressed",
    "AquaTabCloseDirty_Front_Rollover" };

// A window whose toolbar shows no baseline separator (or no toolbar) lets the tabs start one point lower.
gfx::Rect livelyAdjusted(gfx::Rect r, const ui::View& view)
{
    if (!toolbarShowsBaselineSeparator(view)) {
        r.origin.y += 1.0;
        r.size.height -= 1.0;
    }
    return r;
}

}

QFLivelyTabStyle::QFLivelyTabStyle()
    : m_closeImages(LivelyCloseResources)
{
}

std::shared_ptr<QFLivelyTabStyle> QFLivelyTabStyle::create()
{
    return fnd::makeObject<QFLivelyTabStyle>();
}

std::optional<bool> QFLivelyTabStyle::supportsOrientation(QFTabBarOrientation orientation, QFTabBarViewBase&)
{
    return orientation == QFTabBarOrientation::Horizontal;
}

std::optional<double> QFLivelyTabStyle::leftMarginForTabBarView(QFTabBarViewBase& view)
{
    return isVertical(view) ? 0.0 : m_leftMargin;
}

std::optional<double> QFLivelyTabStyle::rightMarginForTabBarView(QFTabBarViewBase& view)
{
    return isVertical(view) ? 0.0 : m_leftMargin;
}

std::optional<gfx::Rect> QFLivelyTabStyle::draggingRectForTabButton(QFAttachedTabBarButton& button, QFTabBarViewBase&)
{
    return widenedStackingFrame(&button);
}

std::optional<std::shared_ptr<gfx::Image>> QFLivelyTabStyle::closeButtonImageOfType(long type, QFTabBarButtonCell&)
{
    return m_closeImages.imageOfType(type);
}

std::optional<std::shared_ptr<txt::AttributedString>> QFLivelyTabStyle::attributedObjectCountStringValueForTabCell(
    QFTabBarButtonCell& cell)
{
    // "Lucida Grande" falls back through the font system where it is not installed.
    auto font = gfx::Font::fontWithName("Lucida Grande", 11.0);
    if (!font)
        font = gfx::Font::systemFontOfSize(11.0);
    if (auto bold = gfx::FontManager::shared().convertFontToHaveTrait(font, gfx::FontTraitMask::Bold))
        font = bold;
    return std::make_shared<txt::AttributedString>(
        fnd::String(std::to_string(static_cast<unsigned long>(cell.objectCount()))),
        txt::Attributes { { txt::FontAttributeName, fnd::Value(font) },
            { txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::colorWithCalibratedWhite(1.0, 0.85)) } });
}

std::optional<std::shared_ptr<txt::AttributedString>> QFLivelyTabStyle::attributedStringValueForTabCell(
    QFTabBarButtonCell& cell)
{
    static const auto paragraph = [] {
        auto p = txt::ParagraphStyle::defaultParagraphStyle()->mutableCopy();
        p->setLineBreakMode(txt::LineBreakMode::ByTruncatingTail);
        return p;
    }();
    return std::make_shared<txt::AttributedString>(cell.title(),
        txt::Attributes { { txt::FontAttributeName, fnd::Value(gfx::Font::systemFontOfSize(11.0)) },
            { txt::ParagraphStyleAttributeName, fnd::Value(paragraph) } });
}

// Layout, right to left: close button, indicator, counter, then the title takes what is left.

std::optional<gfx::Rect> QFLivelyTabStyle::closeButtonRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell)
{
    auto close = cell.closeButtonImageOfType(0);
    if (!cell.shouldDisplayCloseButton() || !close)
        return gfx::ZeroRect;
    const gfx::Rect d = cell.drawingRectForBounds(bounds);
    const gfx::Size size = tbcore::scaleImageSizeToFit(
        close->size(), { close->size().width, d.height() }, tbcore::ImageScaling::ProportionallyDown);
    gfx::Rect r { d.maxX() - size.width, d.minY(), size.width, size.height };
    if (size.height < d.height())
        r.origin.y += std::ceil((d.height() - size.height) / 2);
    return gfx::integralRect(r);
}

std::optional<gfx::Rect> QFLivelyTabStyle::indicatorRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell)
{
    if (!cell.isProcessing())
        return gfx::ZeroRect;
    const gfx::Rect d = cell.drawingRectForBounds(bounds);
    double w = d.width();
    const gfx::Rect close = *closeButtonRectForBounds(bounds, cell);
    if (!isZeroRect(close))
        w -= close.width() + 4.0;
    return gfx::integralRect({ d.minX() + w - 16.0, d.minY() + d.height() / 2 - 8.0, 16.0, 16.0 });
}

std::optional<gfx::Rect> QFLivelyTabStyle::objectCounterRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell)
{
    if (!cell.showObjectCount())
        return gfx::ZeroRect;
    const gfx::Rect d = cell.drawingRectForBounds(bounds);
    double w = d.width();
    const gfx::Rect indicator = *indicatorRectForBounds(bounds, cell);
    const gfx::Rect close = *closeButtonRectForBounds(bounds, cell);
    if (!isZeroRect(indicator))
        w -= indicator.width() + 4.0;
    if (!isZeroRect(close))
        w -= close.width() + 4.0;
    const gfx::Size size = cell.objectCounterSize();
    return gfx::integralRect(
        { d.minX() + w - size.width, std::ceil(d.minY() + (d.height() - size.height) / 2), size.width, size.height });
}

std::optional<gfx::Rect> QFLivelyTabStyle::titleRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell)
{
    const gfx::Rect d = cell.drawingRectForBounds(bounds);
    double x = d.minX(), w = d.width();
    const gfx::Rect large = QFCapsuleTabStyle::largeImageRect(bounds, cell);
    const gfx::Rect icon = QFCapsuleTabStyle::iconRect(bounds, cell);
    if (!isZeroRect(large)) {
        x += large.width() + 4.0;
        w -= large.width() + 4.0;
    } else if (!isZeroRect(icon)) {
        x += icon.width() + 4.0;
        w -= icon.width() + 4.0;
    }
    for (const gfx::Rect r : { *indicatorRectForBounds(bounds, cell), *objectCounterRectForBounds(bounds, cell),
             *closeButtonRectForBounds(bounds, cell) })
        if (!isZeroRect(r))
            w -= r.width() + 4.0;
    auto title = cell.attributedStringValue();
    if (!title || title->length() == 0)
        return gfx::ZeroRect;
    const double height = title->size().height;
    return gfx::integralRect({ x, std::ceil((d.height() - height) / 2) + d.minY(), w, height });
}

std::optional<gfx::Rect> QFLivelyTabStyle::iconRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell)
{
    return QFCapsuleTabStyle::iconRect(bounds, cell);
}

std::optional<gfx::Rect> QFLivelyTabStyle::largeImageRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell)
{
    return QFCapsuleTabStyle::largeImageRect(bounds, cell);
}

// Drawing.

bool QFLivelyTabStyle::drawBezelOfTabBarView(QFTabBarViewBase& view, gfx::Rect)
{
    const gfx::Rect b = view.bounds();
    if (view.isWindowActive()) {
        auto path = gfx::BezierPath::bezierPathWithRect({ b.minX(), b.minY() + 1.0, b.width(), b.height() });
        gfx::Gradient::gradientWithStartingColor(
            *gfx::Color::colorWithCalibratedWhite(0.75, 1.0), *gfx::Color::colorWithCalibratedWhite(0.75, 0.0))
            ->drawInBezierPath(*path, 90.0);
    }
    strokeLine({ b.minX(), b.minY() + 0.5 }, { b.maxX(), b.minY() + 0.5 }, lineGray());
    return true;
}

bool QFLivelyTabStyle::drawBezelOfTabCell(QFTabBarButtonCell& cell, gfx::Rect frame, ui::View& controlView)
{
    auto* button = dynamic_cast<QFAttachedTabBarButton*>(&controlView);
    auto bar = QFTabBarViewExtensions::superviewOfClass<QFTabBarViewBase>(controlView);
    if (!button || !bar)
        return true;
    const gfx::Rect f = livelyAdjusted(frame, *bar);
    if (toolbarShowsBaselineSeparator(*bar) && !isSelected(cell)) {
        const gfx::Rect r { f.minX() + 0.5, f.minY() + 0.5, f.width(), f.height() };
        if (cell.mouseHovered())
            hoverFill(r);
        if (!(cell.tabState() & QFTabState::NextSelected)) {
            strokeLine({ r.maxX(), r.minY() - 0.5 }, { r.maxX(), r.maxY() }, lineGray());
            strokeLine({ r.maxX() + 1.0, r.minY() - 0.5 }, { r.maxX() + 1.0, r.maxY() - 2.5 },
                gfx::Color::colorWithCalibratedWhite(1.0, 0.5));
        }
        return true;
    }
    gfx::Rect r { f.minX() + 0.5, f.minY() - 0.5, f.width() - 1.0, f.height() };
    if (isSelected(cell)) {
        r.origin.y -= 1.0;
        r.size.height += 1.0;
    }
    unsigned mask = 0x100F;
    if (button->isOverflowButton() && !button->isSliding()) {
        r.size.width += 0.5;
        mask = 0x1001;
    }
    drawBezelInRect(r, mask, *button, *bar);
    return true;
}

bool QFLivelyTabStyle::drawBezelOfOverflowButton(
    QFOverflowPopUpButton& overflowButton, QFTabBarViewBase& view, gfx::Rect)
{
    auto last = view.lastAttachedButton();
    if (!last || last->isSliding())
        return true;
    const gfx::Rect o = livelyAdjusted(overflowButton.frame(), view);
    const bool selected = isSelected(*last);
    if (toolbarShowsBaselineSeparator(view) && !selected)
        return true;
    gfx::Rect r { o.minX(), o.minY() - 0.5, o.width() + 4.5, o.height() };
    if (selected) {
        r.origin.y -= 1.0;
        r.size.height += 1.0;
    }
    drawBezelInRect(r, 0x1002, *last, view);
    return true;
}

void QFLivelyTabStyle::drawBezelInRect(
    gfx::Rect r, unsigned capMask, QFAttachedTabBarButton& button, QFTabBarViewBase& view)
{
    gfx::GraphicsStateGuard guard;
    const double radius = cardRadius(r);
    auto fill = tbcore::cardPath(r, radius, capMask | tbcore::CapMask::Sides);
    std::shared_ptr<gfx::Gradient> gradient;
    if (isSelected(button))
        gradient = gfx::Gradient::gradientWithStartingColor(
            *gfx::Color::colorWithCalibratedWhite(1.0, 1.0), *gfx::Color::colorWithCalibratedWhite(0.95, 1.0));
    else if (view.isWindowActive() && button.mouseHovered())
        gradient = gfx::Gradient::gradientWithStartingColor(
            *gfx::Color::colorWithCalibratedWhite(0.8, 1.0), *gfx::Color::colorWithCalibratedWhite(0.8, 1.0));
    if (gradient)
        gradient->drawInBezierPath(*fill, 90.0);
    lineGray()->setStroke();
    tbcore::cardPath(r, radius, capMask & ~tbcore::CapMask::Sides)->stroke();
}
