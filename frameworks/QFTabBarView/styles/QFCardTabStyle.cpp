#include "frameworks/QFTabBarView/styles/QFCardTabStyle.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFTabBarViewBase.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "frameworks/tab-bar-core/TabShapes.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Gradient.h"

FND_REGISTER_CLASS(QFCardTabStyle, QFTabStyle)
[[maybe_unused]] static const tbcore::TabStyleRegistration<QFTabStyleRegistry, QFCardTabStyle>
    QFCardTabStyleRegistration;

using namespace QFTabStyleSupport;

namespace {

const CloseImages::Names CardCloseResources { "AquaTabClose_Front", "AquaTabClose_Front_Pressed",
    "AquaTabClose_Front_Rollover", "AquaTabCloseDirty_Front", "AquaTabCloseDirty_Front_Pressed",
    "AquaTabCloseDirty_Front_Rollover" };

}

QFCardTabStyle::QFCardTabStyle()
    : m_closeImages(CardCloseResources)
{
}

std::shared_ptr<QFCardTabStyle> QFCardTabStyle::create()
{
    return fnd::makeObject<QFCardTabStyle>();
}

std::optional<bool> QFCardTabStyle::supportsOrientation(QFTabBarOrientation orientation, QFTabBarViewBase&)
{
    return orientation == QFTabBarOrientation::Horizontal;
}

std::optional<double> QFCardTabStyle::leftMarginForTabBarView(QFTabBarViewBase& view)
{
    return isVertical(view) ? 0.0 : m_horizontalInset;
}

std::optional<double> QFCardTabStyle::rightMarginForTabBarView(QFTabBarViewBase& view)
{
    return isVertical(view) ? 0.0 : m_horizontalInset;
}

std::optional<double> QFCardTabStyle::topMarginForTabBarView(QFTabBarViewBase& view)
{
    return isVertical(view) ? 0.0 : 2.0;
}

std::optional<double> QFCardTabStyle::heightOfTabBarButtonsForTabBarView(QFTabBarViewBase& view)
{
    return 22.0 - *topMarginForTabBarView(view);
}

std::optional<gfx::Rect> QFCardTabStyle::overflowButtonRectForTabBarView(QFTabBarViewBase& view)
{
    gfx::Rect r = view._overflowButtonRect();
    if (isZeroRect(r))
        return r;
    const double top = view.topMargin();
    r.origin.y += top;
    r.size.height -= top;
    return r;
}

std::optional<gfx::Rect> QFCardTabStyle::draggingRectForTabButton(QFAttachedTabBarButton& button, QFTabBarViewBase&)
{
    return widenedStackingFrame(&button);
}

std::optional<std::shared_ptr<gfx::Image>> QFCardTabStyle::closeButtonImageOfType(long type, QFTabBarButtonCell&)
{
    return m_closeImages.imageOfType(type);
}

bool QFCardTabStyle::drawBezelOfTabBarView(QFTabBarViewBase& view, gfx::Rect)
{
    const gfx::Rect b = view.bounds();
    const bool active = view.isWindowActive();
    auto gradient = gfx::Gradient::gradientWithColorsAndLocations({
        { gfx::Color::colorWithCalibratedWhite(active ? 0.678 : 0.821, 1.0), 0.0 },
        { gfx::Color::colorWithCalibratedWhite(active ? 0.821 : 0.956, 1.0), 1.0 },
    });
    gfx::Rect fill = b;
    fill.size.height -= 1.0;
    gradient->drawInRect(fill, 270.0);
    strokeLine({ b.minX(), b.maxY() - 0.5 }, { b.maxX(), b.maxY() - 0.5 }, lineGray());
    return true;
}

bool QFCardTabStyle::drawBezelOfTabCell(QFTabBarButtonCell&, gfx::Rect f, ui::View& controlView)
{
    auto* button = dynamic_cast<QFAttachedTabBarButton*>(&controlView);
    auto bar = QFTabBarViewExtensions::superviewOfClass<QFTabBarViewBase>(controlView);
    if (!button || !bar)
        return true;
    gfx::Rect r { f.minX() + 0.5, f.minY() + 0.5, f.width() - 1.0, f.height() };
    unsigned mask = 0xF;
    if (button->isOverflowButton() && !button->isSliding()) {
        r.size.width += 0.5;
        mask = 1;
    }
    drawBezelInRect(r, mask, *button, *bar);
    return true;
}

bool QFCardTabStyle::drawBezelOfOverflowButton(QFOverflowPopUpButton& overflowButton, QFTabBarViewBase& view, gfx::Rect)
{
    auto last = view.lastAttachedButton();
    if (!last || last->isSliding())
        return true;
    const gfx::Rect o = overflowButton.frame();
    drawBezelInRect({ o.minX(), o.minY() + 0.5, o.width() + 4.5, o.height() }, 2, *last, view);
    return true;
}

void QFCardTabStyle::drawBezelInRect(
    gfx::Rect r, unsigned capMask, QFAttachedTabBarButton& button, QFTabBarViewBase& view)
{
    gfx::GraphicsStateGuard guard;
    const double radius = cardRadius(r) - 0.5;
    auto fill = tbcore::cardPath(r, radius, capMask | tbcore::CapMask::Sides);
    const bool selected = isSelected(button);
    if (view.isWindowActive()) {
        std::shared_ptr<gfx::Gradient> gradient;
        if (selected)
            gradient = gfx::Gradient::gradientWithStartingColor(
                *gfx::Color::whiteColor(), *gfx::Color::colorWithDeviceWhite(0.929, 1.0));
        else if (button.mouseHovered())
            gradient = gfx::Gradient::gradientWithStartingColor(
                *gfx::Color::colorWithCalibratedWhite(0.8, 1.0), *gfx::Color::colorWithCalibratedWhite(0.8, 1.0));
        else
            gradient = gfx::Gradient::gradientWithStartingColor(
                *gfx::Color::colorWithCalibratedWhite(0.835, 1.0), *gfx::Color::colorWithCalibratedWhite(0.843, 1.0));
        gradient->drawInBezierPath(*fill, 90.0);
    } else {
        gfx::Color::windowBackgroundColor()->setFill();
        gfx::BezierPath::fillRect(r);
    }
    lineGray()->setStroke();
    tbcore::cardPath(r, radius, capMask & ~tbcore::CapMask::Sides)->stroke();
    if (!selected)
        strokeLine({ r.minX(), r.maxY() - 0.5 }, { r.maxX(), r.maxY() - 0.5 }, lineGray());
}
