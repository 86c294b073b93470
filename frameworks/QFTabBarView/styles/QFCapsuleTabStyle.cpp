#include "frameworks/QFTabBarView/styles/QFCapsuleTabStyle.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFRolloverButton.h"
#include "frameworks/QFTabBarView/QFTabBarViewBase.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "frameworks/tab-bar-core/TabShapes.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/AttributedString.h"

#include <algorithm>
#include <cmath>

FND_REGISTER_CLASS(QFCapsuleTabStyle, QFTabStyle)
[[maybe_unused]] static const tbcore::TabStyleRegistration<QFTabStyleRegistry, QFCapsuleTabStyle>
    QFCapsuleTabStyleRegistration;

using namespace QFTabStyleSupport;

namespace {

const CloseImages::Names CapsuleCloseResources { "AquaTabClose_Front", "AquaTabClose_Front_Pressed",
    "AquaTabClose_Front_Rollover", "AquaTabCloseDirty_Front", "AquaTabCloseDirty_Front_Pressed",
    "AquaTabCloseDirty_Front_Rollover" };
const CloseImages::Names CapsuleCloseKeys { "closeButton", "closeButtonDown", "closeButtonOver", "closeDirtyButton",
    "closeDirtyButtonDown", "closeDirtyButtonOver" };

bool capsuleVerticalCell(const QFTabBarButtonCell& cell)
{
    auto bar = QFTabStyleSupport::tabBarOf(cell);
    return bar && isVertical(*bar);
}

gfx::Size capsuleFit(const std::shared_ptr<gfx::Image>& image, gfx::Size box, tbcore::ImageScaling scaling)
{
    return tbcore::scaleImageSizeToFit(image->size(), box, scaling);
}

// The shadow of the capsule's edges: blur 2, light grey, at the offset given.
void capsuleSetShadow(gfx::Size offset)
{
    gfx::Shadow shadow;
    shadow.setShadowBlurRadius(2.0);
    shadow.setShadowColor(gfx::Color::colorWithCalibratedWhite(0.65, 1.0));
    shadow.setShadowOffset(offset);
    shadow.set();
}

void capsuleUnifiedFill(gfx::Rect r, QFTabBarViewBase& view)
{
    if (view.isWindowActive())
        gfx::Gradient::gradientWithStartingColor(
            *gfx::Color::colorWithCalibratedWhite(0.835, 1.0), *gfx::Color::colorWithCalibratedWhite(0.843, 1.0))
            ->drawInRect(r, 90.0);
    else
        fillRect(r, gfx::Color::windowBackgroundColor(), gfx::CompositingOperation::SourceOver);
}

}

QFCapsuleTabStyle::QFCapsuleTabStyle()
    : m_closeImages(CapsuleCloseResources)
    , m_gradientImage(image("CapsuleGradient"))
{
}

std::shared_ptr<QFCapsuleTabStyle> QFCapsuleTabStyle::create()
{
    return fnd::makeObject<QFCapsuleTabStyle>();
}

std::optional<double> QFCapsuleTabStyle::leftMarginForTabBarView(QFTabBarViewBase& view)
{
    return isVertical(view) ? 0.0 : 3.0;
}

std::optional<double> QFCapsuleTabStyle::rightMarginForTabBarView(QFTabBarViewBase& view)
{
    return isVertical(view) ? 0.0 : 3.0;
}

std::optional<double> QFCapsuleTabStyle::topMarginForTabBarView(QFTabBarViewBase& view)
{
    return isVertical(view) ? 10.0 : 0.0;
}

std::optional<double> QFCapsuleTabStyle::heightOfTabBarButtonsForTabBarView(QFTabBarViewBase& view)
{
    return isVertical(view) ? 28.0 : 22.0;
}

std::optional<gfx::Rect> QFCapsuleTabStyle::draggingRectForTabButton(
    QFAttachedTabBarButton& button, QFTabBarViewBase& view)
{
    gfx::Rect r = button.stackingFrame();
    if (isSelected(button) && !isVertical(view)) {
        r.size.width += 1.0;
        r.size.height -= 2.0;
    }
    return r;
}

std::optional<std::shared_ptr<gfx::Image>> QFCapsuleTabStyle::closeButtonImageOfType(long type, QFTabBarButtonCell&)
{
    return m_closeImages.imageOfType(type);
}

std::optional<gfx::Rect> QFCapsuleTabStyle::drawingRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell)
{
    if (isSelected(cell) && !capsuleVerticalCell(cell)) {
        gfx::Rect r = gfx::insetRect(bounds, 4.0, 0.0);
        r.origin.y += 1.0;
        r.size.height -= 5.0;
        return r;
    }
    return gfx::insetRect(bounds, 4.0, 2.0);
}

// Layout of a tab's contents.

std::optional<gfx::Rect> QFCapsuleTabStyle::indicatorRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell)
{
    if (!cell.isProcessing())
        return gfx::ZeroRect;
    const gfx::Rect d = cell.drawingRectForBounds(bounds);
    return gfx::integralRect({ d.maxX() - 16.0, d.minY() + d.height() / 2 - 8.0, 16.0, 16.0 });
}

std::optional<gfx::Rect> QFCapsuleTabStyle::closeButtonRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell)
{
    auto close = cell.closeButtonImageOfType(0);
    if (!cell.shouldDisplayCloseButton() || !close)
        return gfx::ZeroRect;
    const gfx::Rect d = cell.drawingRectForBounds(bounds);
    const gfx::Size size
        = capsuleFit(close, { close->size().width, d.height() }, tbcore::ImageScaling::ProportionallyDown);
    gfx::Rect r { d.minX(), d.minY(), size.width, size.height };
    if (capsuleVerticalCell(cell)) {
        double w = d.width();
        const gfx::Rect indicator = *indicatorRectForBounds(bounds, cell);
        if (!isZeroRect(indicator))
            w -= indicator.width() + 4.0;
        r.origin.x = d.minX() + w - size.width - 4.0;
    }
    if (size.height < d.height())
        r.origin.y = d.minY() + std::ceil((d.height() - size.height) / 2);
    return gfx::integralRect(r);
}

gfx::Rect QFCapsuleTabStyle::iconRect(gfx::Rect bounds, const QFTabBarButtonCell& cell)
{
    auto icon = cell.icon();
    if (!icon || (capsuleVerticalCell(cell) && cell.largeImage()))
        return gfx::ZeroRect;
    const gfx::Rect d = cell.drawingRectForBounds(bounds);
    const gfx::Size size
        = capsuleFit(icon, { icon->size().width, d.height() }, tbcore::ImageScaling::ProportionallyDown);
    gfx::Rect r { d.minX(), d.minY(), size.width, size.height };
    if (size.width < 16.0)
        r.origin.x += std::ceil((16.0 - size.width) / 2);
    if (size.height < 16.0)
        r.origin.y += std::ceil((16.0 - size.height) / 2 - 0.5);
    return gfx::integralRect(r);
}

gfx::Rect QFCapsuleTabStyle::largeImageRect(gfx::Rect bounds, const QFTabBarButtonCell& cell)
{
    auto large = cell.largeImage();
    if (!large)
        return gfx::ZeroRect;
    const gfx::Rect d = cell.drawingRectForBounds(bounds);
    const gfx::Size size = capsuleFit(large, d.size, tbcore::ImageScaling::ProportionallyUpOrDown);
    gfx::Rect r { d.minX(), d.minY(), size.width, size.height };
    if (size.width < 16.0)
        r.origin.x += (16.0 - size.width) / 2;
    if (size.height >= d.height())
        r.origin.y = d.minY() + (size.height - d.height()) / 2;
    return r;
}

std::optional<gfx::Rect> QFCapsuleTabStyle::iconRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell)
{
    return iconRect(bounds, cell);
}

std::optional<gfx::Rect> QFCapsuleTabStyle::largeImageRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell)
{
    return largeImageRect(bounds, cell);
}

std::optional<gfx::Rect> QFCapsuleTabStyle::objectCounterRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell)
{
    if (cell.objectCount() == 0)
        return gfx::ZeroRect;
    const gfx::Rect d = cell.drawingRectForBounds(bounds);
    double w = d.width();
    const gfx::Rect indicator = *indicatorRectForBounds(bounds, cell);
    if (!isZeroRect(indicator))
        w -= indicator.width() + 4.0;
    const gfx::Size size = cell.objectCounterSize();
    return gfx::integralRect(
        { d.minX() + w - size.width, std::ceil(d.minY() + (d.height() - size.height) / 2), size.width, size.height });
}

std::optional<gfx::Rect> QFCapsuleTabStyle::titleRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell)
{
    const gfx::Rect d = cell.drawingRectForBounds(bounds);
    double x = d.minX(), w = d.width();
    const gfx::Rect indicator = *indicatorRectForBounds(bounds, cell);
    const gfx::Rect large = largeImageRect(bounds, cell);
    const gfx::Rect icon = iconRect(bounds, cell);
    const gfx::Rect close = *closeButtonRectForBounds(bounds, cell);
    const gfx::Rect counter = *objectCounterRectForBounds(bounds, cell);
    if (!isZeroRect(indicator))
        w -= indicator.width() + 4.0;
    if (!isZeroRect(large)) {
        x += large.width() + 4.0;
        w -= large.width() + 4.0;
    }
    if (capsuleVerticalCell(cell)) {
        if (cell.icon() && !cell.largeImage() && !isZeroRect(icon)) {
            x += icon.width() + 4.0;
            w -= icon.width() + 4.0;
        }
        if (!isZeroRect(close) || !isZeroRect(counter))
            w -= std::max(close.width(), counter.width()) + 4.0;
    } else {
        // The close button and the icon share the left end, so the title never moves when one replaces the other.
        if (!isZeroRect(close) || !isZeroRect(icon)) {
            const double shift = std::max(close.width(), icon.width()) + 4.0;
            x += shift;
            w -= shift;
        }
        if (!isZeroRect(counter))
            w -= counter.width() + 4.0;
    }
    auto title = cell.attributedStringValue();
    if (!title || title->length() == 0)
        return gfx::ZeroRect;
    const double height = title->size().height;
    return gfx::integralRect({ x, std::ceil((d.height() - height) / 2) + d.minY(), w, height });
}

// Drawing.

bool QFCapsuleTabStyle::drawBezelOfTabBarView(QFTabBarViewBase& view, gfx::Rect)
{
    const gfx::Rect b = view.bounds();
    const bool vertical = isVertical(view);
    if (vertical)
        fillRect(
            b, gfx::Color::colorWithCalibratedRed(0.9059, 0.9294, 0.9647, 1.0), gfx::CompositingOperation::SourceOver);
    else if (!m_drawsUnified)
        fillRect(b, gfx::Color::colorWithCalibratedWhite(0.85, 0.6), gfx::CompositingOperation::SourceOver);
    else
        capsuleUnifiedFill(b, view);

    gfx::GraphicsStateGuard guard;
    if (auto* context = gfx::GraphicsContext::current())
        context->setShouldAntialias(false);
    gfx::Color::grayColor()->setStroke();
    auto path = gfx::BezierPath::bezierPath();
    path->setLineWidth(2.0);
    if (vertical) {
        const double e = m_drawsRight ? b.minX() : b.maxX();
        path->moveToPoint({ e, b.minY() });
        path->lineToPoint({ e, b.maxY() });
        {
            gfx::GraphicsStateGuard shadowed;
            capsuleSetShadow(m_drawsRight ? gfx::Size { 0.5, -0.5 } : gfx::Size { -0.5, -1.0 });
            path->stroke();
        }
        path->removeAllPoints();
        path->moveToPoint({ b.minX(), b.minY() });
        path->lineToPoint({ b.maxX(), b.minY() });
        capsuleSetShadow({ 0.0, 0.0 });
        path->stroke();
    } else {
        path->moveToPoint({ b.minX(), b.minY() });
        path->lineToPoint({ b.maxX(), b.minY() });
        capsuleSetShadow({ 0.0, -1.0 });
        path->stroke();
    }
    return true;
}

bool QFCapsuleTabStyle::drawBezelOfButton(QFAttachedTabBarButton& button, long,
    const std::vector<std::shared_ptr<QFAttachedTabBarButton>>&, long, QFTabBarViewBase& view, gfx::Rect)
{
    drawTabFrame(button.frame(), &button, view, true, false);
    return true;
}

bool QFCapsuleTabStyle::drawBezelOfTabCell(QFTabBarButtonCell&, gfx::Rect frame, ui::View& controlView)
{
    auto* button = dynamic_cast<QFAttachedTabBarButton*>(&controlView);
    auto bar = QFTabBarViewExtensions::superviewOfClass<QFTabBarViewBase>(controlView);
    if (!button || !bar)
        return true;
    drawTabFrame(frame, button, *bar, false, true);
    return true;
}

bool QFCapsuleTabStyle::drawBezelOfOverflowButton(
    QFOverflowPopUpButton& overflowButton, QFTabBarViewBase& view, gfx::Rect)
{
    if (isVertical(view))
        return true;
    auto last = view.lastAttachedButton();
    if (!last || last->isSliding())
        return true;
    const gfx::Rect o = overflowButton.frame();
    if (isSelected(*last)) {
        drawTabShape({ o.minX(), o.minY(), o.width() + 4.5, o.height() - 2.5 }, 2, last.get(), view, true, true);
        return true;
    }
    const gfx::Rect r { o.minX(), o.minY() + 0.5, o.width() + 4.5, o.height() - 1.0 };
    if (last->mouseHovered())
        hoverFill(r);
    if (view.showAddTabButton())
        strokeLine({ r.maxX(), r.minY() }, { r.maxX(), r.maxY() }, gfx::Color::grayColor());
    return true;
}

void QFCapsuleTabStyle::drawTabFrame(
    gfx::Rect f, QFAttachedTabBarButton* button, QFTabBarViewBase& view, bool applyShadow, bool drawRollovers)
{
    const bool overflow = button && button->isOverflowButton() && !button->isSliding();
    gfx::GraphicsStateGuard guard;
    if (auto* context = gfx::GraphicsContext::current())
        context->setShouldAntialias(false);
    const bool selected = button && isSelected(*button);
    if (selected && isVertical(view)) {
        if (!m_drawsRight)
            drawTabShape(
                { f.minX() + 2.0, f.minY(), f.width() - 2.0, f.height() }, 1, button, view, applyShadow, drawRollovers);
        else
            drawTabShape(
                { f.minX() - 1.0, f.minY(), f.width() - 3.0, f.height() }, 2, button, view, applyShadow, drawRollovers);
    } else if (selected) {
        drawTabShape({ f.minX(), f.minY(), f.width(), f.height() - 2.5 }, overflow ? 1u : 0xFu, button, view,
            applyShadow, drawRollovers);
    } else {
        drawTabShape(f, overflow ? 1u : 0xFu, button, view, applyShadow, drawRollovers);
    }
}

void QFCapsuleTabStyle::drawTabShape(gfx::Rect r, unsigned capMask, QFAttachedTabBarButton* button,
    QFTabBarViewBase& view, bool applyShadow, bool drawRollovers)
{
    gfx::GraphicsStateGuard guard;
    if (auto* context = gfx::GraphicsContext::current())
        context->setShouldAntialias(false);
    auto shadowAt = [&](gfx::Size offset) {
        if (applyShadow)
            capsuleSetShadow(offset);
    };
    auto stroke = [](const std::shared_ptr<gfx::BezierPath>& path) {
        path->setLineWidth(1.0);
        gfx::Color::grayColor()->setStroke();
        path->stroke();
    };
    const bool selected = button && isSelected(*button);
    if (!isVertical(view)) {
        if (!selected) {
            if (drawRollovers && button && button->mouseHovered())
                hoverFill(r);
            auto path = gfx::BezierPath::bezierPath();
            path->moveToPoint({ r.minX(), r.minY() });
            path->lineToPoint({ r.maxX(), r.minY() });
            const QFTabStateBits state = button ? button->tabState() : 0;
            const bool hideRight = (state & QFTabState::NextSelected)
                && !(state & (QFTabState::NextSliding | QFTabState::NextIsDropTarget));
            if (button && button->shouldDisplayRightDivider() && !hideRight)
                path->lineToPoint({ r.maxX(), r.maxY() });
            if (button && button->shouldDisplayLeftDivider()) {
                path->moveToPoint({ r.minX(), r.minY() });
                path->lineToPoint({ r.minX(), r.maxY() });
            }
            stroke(path);
            return;
        }
        if (!m_drawsUnified) {
            if (m_gradientImage)
                m_gradientImage->drawInRect(r, { 0, 0, m_gradientImage->size().width, m_gradientImage->size().height },
                    gfx::CompositingOperation::SourceOver, 1.0, true);
        } else {
            capsuleUnifiedFill(r, view);
        }
        if (capMask & tbcore::CapMask::Left) {
            gfx::GraphicsStateGuard shadowed;
            auto left = gfx::BezierPath::bezierPath();
            left->moveToPoint({ r.minX(), r.minY() });
            left->lineToPoint({ r.minX(), r.maxY() });
            shadowAt({ -1.0, -1.0 });
            stroke(left);
        }
        auto path = gfx::BezierPath::bezierPath();
        path->moveToPoint({ r.minX(), r.maxY() });
        path->lineToPoint({ r.maxX(), r.maxY() });
        if (capMask & tbcore::CapMask::Right)
            path->lineToPoint({ r.maxX(), r.minY() });
        else
            path->moveToPoint({ r.maxX(), r.minY() });
        if (!button || button->frame().height() < 2.0) {
            path->moveToPoint({ r.minX(), r.minY() + 0.5 });
            path->lineToPoint({ r.maxX(), r.minY() + 0.5 });
        }
        shadowAt({ 1.0, -1.0 });
        stroke(path);
        return;
    }
    if (!selected)
        return;
    if (!m_drawsUnified) {
        const double a = m_drawsRight ? 0.92 : 0.98, b = m_drawsRight ? 0.98 : 0.92;
        gfx::Gradient::gradientWithStartingColor(
            *gfx::Color::colorWithCalibratedWhite(a, 1.0), *gfx::Color::colorWithCalibratedWhite(b, 1.0))
            ->drawInRect(r, 0.0);
    } else {
        capsuleUnifiedFill(r, view);
    }
    auto top = gfx::BezierPath::bezierPath();
    top->moveToPoint({ r.minX(), r.minY() });
    top->lineToPoint({ r.maxX(), r.minY() });
    stroke(top);
    auto path = gfx::BezierPath::bezierPath();
    if (!m_drawsRight) {
        path->moveToPoint({ r.minX(), r.minY() });
        path->lineToPoint({ r.minX(), r.maxY() });
        path->lineToPoint({ r.maxX(), r.maxY() });
    } else {
        path->moveToPoint({ r.maxX(), r.minY() });
        path->lineToPoint({ r.maxX(), r.maxY() });
        path->lineToPoint({ r.minX(), r.maxY() });
    }
    shadowAt(m_drawsRight ? gfx::Size { 1.0, -1.0 } : gfx::Size { -1.0, -1.0 });
    stroke(path);
}

bool QFCapsuleTabStyle::drawIconOfTabCell(QFTabBarButtonCell& cell, gfx::Rect, ui::View&)
{
    // Answering false lets the cell draw its own icon.
    if (!capsuleVerticalCell(cell))
        return cell.shouldDisplayCloseButton() && cell.mouseHovered();
    return bool(cell.largeImage());
}

bool QFCapsuleTabStyle::drawObjectCounterOfTabCell(QFTabBarButtonCell& cell, gfx::Rect, ui::View&)
{
    return capsuleVerticalCell(cell) && cell.shouldDisplayCloseButton() && cell.mouseHovered();
}

bool QFCapsuleTabStyle::drawCloseButtonOfTabCell(QFTabBarButtonCell& cell, gfx::Rect, ui::View&)
{
    auto close = cell.closeButton();
    const bool vertical = capsuleVerticalCell(cell);
    if (close && ((!vertical && cell.icon()) || (vertical && cell.showObjectCount())))
        close->setHidden(!cell.mouseHovered());
    return true;
}

void QFCapsuleTabStyle::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    m_closeImages.encode(coder, CapsuleCloseKeys);
    coder.encodeBool(m_drawsUnified, "drawsUnified");
    coder.encodeBool(m_drawsRight, "drawsRight");
}

bool QFCapsuleTabStyle::initWithCoder(fnd::Coder& coder)
{
    // The gradient picture is the bundle's and is loaded by the constructor, so a decoded style can draw it.
    if (!coder.allowsKeyedCoding())
        return true;
    m_closeImages.decode(coder, CapsuleCloseKeys);
    m_drawsUnified = coder.decodeBoolForKey("drawsUnified");
    m_drawsRight = coder.decodeBoolForKey("drawsRight");
    return !coder.hasFailed();
}
