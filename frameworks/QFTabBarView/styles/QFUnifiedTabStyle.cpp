#include "frameworks/QFTabBarView/styles/QFUnifiedTabStyle.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFTabBarViewBase.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "frameworks/tab-bar-core/TabShapes.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Gradient.h"

FND_REGISTER_CLASS(QFUnifiedTabStyle, QFTabStyle)
[[maybe_unused]] static const tbcore::TabStyleRegistration<QFTabStyleRegistry, QFUnifiedTabStyle>
    QFUnifiedTabStyleRegistration;

using namespace QFTabStyleSupport;

namespace {

const CloseImages::Names UnifiedCloseResources { "AquaTabClose_Front", "AquaTabClose_Front_Pressed",
    "AquaTabClose_Front_Rollover", "AquaTabCloseDirty_Front", "AquaTabCloseDirty_Front_Pressed",
    "AquaTabCloseDirty_Front_Rollover" };
const CloseImages::Names UnifiedCloseKeys { "unifiedCloseButton", "unifiedCloseButtonDown", "unifiedCloseButtonOver",
    "unifiedCloseDirtyButton", "unifiedCloseDirtyButtonDown", "unifiedCloseDirtyButtonOver" };

// A grey line with a half-white line one point to its right: the etched divider.
void unifiedEtchedDivider(double x, double minY, double maxY)
{
    strokeLine({ x + 0.5, minY }, { x + 0.5, maxY }, lineGray());
    strokeLine({ x + 1.5, minY + 1.0 }, { x + 1.5, maxY - 1.0 }, gfx::Color::colorWithCalibratedWhite(1.0, 0.5));
}

void unifiedGradient(const gfx::BezierPath& path, double from, double to, double angle)
{
    gfx::Gradient::gradientWithStartingColor(
        *gfx::Color::colorWithDeviceWhite(from, 1.0), *gfx::Color::colorWithDeviceWhite(to, 1.0))
        ->drawInBezierPath(path, angle);
}

}

QFUnifiedTabStyle::QFUnifiedTabStyle()
    : m_closeImages(UnifiedCloseResources)
{
}

std::shared_ptr<QFUnifiedTabStyle> QFUnifiedTabStyle::create()
{
    return fnd::makeObject<QFUnifiedTabStyle>();
}

std::optional<bool> QFUnifiedTabStyle::supportsOrientation(QFTabBarOrientation orientation, QFTabBarViewBase&)
{
    return orientation == QFTabBarOrientation::Horizontal;
}

std::optional<double> QFUnifiedTabStyle::leftMarginForTabBarView(QFTabBarViewBase& view)
{
    return isVertical(view) ? 0.0 : m_leftMargin;
}

std::optional<double> QFUnifiedTabStyle::rightMarginForTabBarView(QFTabBarViewBase& view)
{
    return isVertical(view) ? 0.0 : m_leftMargin;
}

std::optional<gfx::Rect> QFUnifiedTabStyle::draggingRectForTabButton(QFAttachedTabBarButton& button, QFTabBarViewBase&)
{
    return widenedStackingFrame(&button);
}

std::optional<std::shared_ptr<gfx::Image>> QFUnifiedTabStyle::closeButtonImageOfType(long type, QFTabBarButtonCell&)
{
    return m_closeImages.imageOfType(type);
}

bool QFUnifiedTabStyle::drawBezelOfTabBarView(QFTabBarViewBase& view, gfx::Rect)
{
    const gfx::Rect bounds = view.bounds();
    gfx::Rect b = bounds;
    if (toolbarIsShown(view))
        b.size.height -= 1.0;
    if (view.isWindowActive()) {
        gfx::Gradient::gradientWithStartingColor(
            *gfx::Color::colorWithCalibratedWhite(0.835, 1.0), *gfx::Color::colorWithCalibratedWhite(0.843, 1.0))
            ->drawInRect(b, 90.0);
    } else {
        gfx::Color::windowBackgroundColor()->setFill();
        gfx::BezierPath::fillRect(b);
    }
    strokeLine({ bounds.minX(), bounds.minY() + 0.5 }, { bounds.maxX(), bounds.minY() + 0.5 }, lineGray());
    return true;
}

bool QFUnifiedTabStyle::drawBezelOfButton(QFAttachedTabBarButton& button, long,
    const std::vector<std::shared_ptr<QFAttachedTabBarButton>>&, long, QFTabBarViewBase& view, gfx::Rect)
{
    if (toolbarIsShown(view))
        return true;
    const gfx::Rect f = button.frame();
    const QFTabStateBits state = button.tabState();
    const bool hideRight
        = (state & QFTabState::NextSelected) && !(state & (QFTabState::NextSliding | QFTabState::NextIsDropTarget));
    if (button.shouldDisplayRightDivider() && !hideRight)
        unifiedEtchedDivider(f.maxX(), f.minY(), f.maxY());
    if (button.shouldDisplayLeftDivider())
        unifiedEtchedDivider(f.minX(), f.minY(), f.maxY());
    return true;
}

bool QFUnifiedTabStyle::drawBezelOfTabCell(QFTabBarButtonCell& cell, gfx::Rect f, ui::View& controlView)
{
    auto* button = dynamic_cast<QFAttachedTabBarButton*>(&controlView);
    auto bar = QFTabBarViewExtensions::superviewOfClass<QFTabBarViewBase>(controlView);
    if (!button || !bar)
        return true;
    const bool overflow = button->isOverflowButton() && !button->isSliding();
    const double d = overflow ? -0.5 : -1.0;
    if (toolbarIsShown(*bar)) {
        gfx::Rect r { f.minX() + 0.5, f.minY() - 0.5, f.width() + d, f.height() - 1.0 };
        if (cell.mouseHovered() && !isSelected(cell)) {
            r.origin.y += 1.5;
            r.size.height -= 1.5;
        }
        drawCardBezelInRect(r, overflow ? 0x1001u : 0x100Fu, *button, *bar);
    } else {
        drawBoxBezelInRect({ f.minX() + 0.5, f.minY() + 0.5, f.width() + d, f.height() - 1.0 }, *button);
    }
    return true;
}

bool QFUnifiedTabStyle::drawBezelOfOverflowButton(
    QFOverflowPopUpButton& overflowButton, QFTabBarViewBase& view, gfx::Rect)
{
    auto last = view.lastAttachedButton();
    if (!last || last->isSliding())
        return true;
    const gfx::Rect o = overflowButton.frame();
    if (toolbarIsShown(view)) {
        gfx::Rect r { o.minX(), o.minY() - 0.5, o.width() + 4.5, o.height() - 1.0 };
        if (last->mouseHovered() && !isSelected(*last)) {
            r.origin.y += 1.5;
            r.size.height -= 1.5;
        }
        drawCardBezelInRect(r, 0x1002u, *last, view);
        return true;
    }
    const gfx::Rect r { o.minX(), o.minY() + 0.5, o.width() + 4.5, o.height() - 1.0 };
    drawBoxBezelInRect(r, *last);
    if (view.showAddTabButton())
        unifiedEtchedDivider(r.maxX(), r.minY(), r.maxY());
    return true;
}

void QFUnifiedTabStyle::drawCardBezelInRect(
    gfx::Rect r, unsigned capMask, QFAttachedTabBarButton& button, QFTabBarViewBase& view)
{
    gfx::GraphicsStateGuard guard;
    const double radius = cardRadius(r);
    auto fill = tbcore::cardPath(r, radius, capMask | tbcore::CapMask::Sides);
    const bool selected = isSelected(button);
    if (view.isWindowActive()) {
        if (selected)
            unifiedGradient(*fill, 0.698, 0.663, 80.0);
        else if (button.mouseHovered())
            unifiedGradient(*fill, 0.8, 0.8, 80.0);
    } else if (selected) {
        auto* context = gfx::GraphicsContext::current();
        if (context)
            context->setShouldAntialias(false);
        unifiedGradient(*fill, 0.875, 0.902, 90.0);
        if (context)
            context->setShouldAntialias(true);
    }
    lineGray()->setStroke();
    tbcore::cardPath(r, radius, capMask & ~tbcore::CapMask::Sides)->stroke();
}

void QFUnifiedTabStyle::drawBoxBezelInRect(gfx::Rect r, QFAttachedTabBarButton& button)
{
    if (isSelected(button))
        fillRect(r, gfx::Color::colorWithCalibratedWhite(0.0, 0.2), gfx::CompositingOperation::SourceAtop);
    else if (button.mouseHovered())
        fillRect(r, gfx::Color::colorWithCalibratedWhite(0.0, 0.1), gfx::CompositingOperation::SourceAtop);
}

void QFUnifiedTabStyle::encodeWithCoder(fnd::Coder& coder) const
{
    m_closeImages.encode(coder, UnifiedCloseKeys);
}

bool QFUnifiedTabStyle::initWithCoder(fnd::Coder& coder)
{
    m_closeImages.decode(coder, UnifiedCloseKeys);
    return !coder.hasFailed();
}
