#include "frameworks/QFTabBarView/QFMetalTabStyle.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFTabBarViewBase.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "frameworks/QFTabBarView/styles/QFTabStyleSupport.h"
#include "frameworks/tab-bar-core/TabLabels.h"
#include "frameworks/tab-bar-core/TabResources.h"
#include "frameworks/tab-bar-core/TabShapes.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/views/Window.h"

FND_REGISTER_CLASS(QFMetalTabStyle, QFTabStyle)
[[maybe_unused]] static const tbcore::TabStyleRegistration<QFTabStyleRegistry, QFMetalTabStyle>
    QFMetalTabStyleRegistration;

namespace {

bool metalIsSelected(const QFTabBarButtonCell& cell)
{
    return cell.state() == ui::ControlStateValue::On;
}

bool metalIsVertical(QFTabBarViewBase& view)
{
    return view.orientation() == QFTabBarOrientation::Vertical;
}

// A window toolbar that is visible and draws no baseline of its own asks for the bar's top line.
bool metalShouldDrawHorizontalTopBorderLine(ui::View& view)
{
    return QFTabStyleSupport::toolbarIsShown(view) && !QFTabStyleSupport::toolbarShowsBaselineSeparator(view);
}

void metalStrokeLine(gfx::BezierPath& path, gfx::Point a, gfx::Point b)
{
    path.moveToPoint(a);
    path.lineToPoint(b);
}

}

std::shared_ptr<QFMetalTabStyle> QFMetalTabStyle::create()
{
    return fnd::makeObject<QFMetalTabStyle>();
}

void QFMetalTabStyle::loadImages()
{
    m_closeButton = tbcore::namedImage("QFTabBarView", "TabClose_Front");
    m_closeButtonDown = tbcore::namedImage("QFTabBarView", "TabClose_Front_Pressed");
    m_closeButtonOver = tbcore::namedImage("QFTabBarView", "TabClose_Front_Rollover");
    m_closeDirtyButton = tbcore::namedImage("QFTabBarView", "TabClose_Dirty");
    m_closeDirtyButtonDown = tbcore::namedImage("QFTabBarView", "TabClose_Dirty_Pressed");
    m_closeDirtyButtonOver = tbcore::namedImage("QFTabBarView", "TabClose_Dirty_Rollover");
}

std::optional<double> QFMetalTabStyle::leftMarginForTabBarView(QFTabBarViewBase& view)
{
    return metalIsVertical(view) ? 0.0 : 10.0;
}

std::optional<double> QFMetalTabStyle::rightMarginForTabBarView(QFTabBarViewBase& view)
{
    return metalIsVertical(view) ? 0.0 : 10.0;
}

std::optional<double> QFMetalTabStyle::topMarginForTabBarView(QFTabBarViewBase& view)
{
    return metalIsVertical(view) ? 10.0 : 0.0;
}

bool QFMetalTabStyle::updateAddButton(QFRolloverButton& button, QFTabBarViewBase&)
{
    button.setImage(tbcore::namedImage("QFTabBarView", "TabNewMetal"));
    button.setAlternateImage(tbcore::namedImage("QFTabBarView", "TabNewMetalPressed"));
    button.setRolloverImage(tbcore::namedImage("QFTabBarView", "TabNewMetalRollover"));
    return true;
}

std::optional<std::shared_ptr<gfx::Image>> QFMetalTabStyle::closeButtonImageOfType(long type, QFTabBarButtonCell&)
{
    switch (type) {
    case 0:
        return m_closeButton;
    case 1:
        return m_closeButtonOver;
    case 2:
        return m_closeButtonDown;
    case 3:
        return m_closeDirtyButton;
    case 4:
        return m_closeDirtyButtonOver;
    case 5:
        return m_closeDirtyButtonDown;
    default:
        return std::shared_ptr<gfx::Image> {};
    }
}

std::optional<std::shared_ptr<txt::AttributedString>> QFMetalTabStyle::attributedObjectCountStringValueForTabCell(
    QFTabBarButtonCell& cell)
{
    return tbcore::countString(static_cast<unsigned long>(cell.objectCount()));
}

std::optional<std::shared_ptr<txt::AttributedString>> QFMetalTabStyle::attributedStringValueForTabCell(
    QFTabBarButtonCell& cell)
{
    return tbcore::metalTitle(cell.title(), metalIsSelected(cell) || cell.mouseHovered());
}

std::optional<gfx::Rect> QFMetalTabStyle::drawingRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell)
{
    auto bar = QFTabStyleSupport::tabBarOf(cell);
    const bool horizontal = !bar || !metalIsVertical(*bar);
    if (metalIsSelected(cell) && horizontal) {
        gfx::Rect r = gfx::insetRect(bounds, 6.0, 0.0);
        r.origin.y += 1.0;
        r.size.height -= 5.0;
        return r;
    }
    gfx::Rect r = gfx::insetRect(bounds, 6.0, 3.0);
    r.size.height -= 1.0;
    return r;
}

std::optional<gfx::Rect> QFMetalTabStyle::draggingRectForTabButton(
    QFAttachedTabBarButton& button, QFTabBarViewBase& view)
{
    gfx::Rect r = button.stackingFrame();
    r.size.width += 1.0;
    if (button.state() == ui::ControlStateValue::On) {
        if (metalIsVertical(view)) {
            r.size.height += 1.0;
            r.origin.x += 2.0;
            r.origin.y -= 1.0;
            r.size.width -= 3.0;
        } else {
            r.size.height -= 2.0;
        }
    } else if (metalIsVertical(view)) {
        r.origin.x -= 1.0;
    }
    return r;
}

bool QFMetalTabStyle::drawBezelOfTabBarView(QFTabBarViewBase& view, gfx::Rect)
{
    const gfx::Rect b = view.bounds();
    const bool vertical = metalIsVertical(view);
    if (vertical && view.frame().width() < 2.0)
        return true;
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return true;
    gfx::GraphicsStateGuard guard;
    context->setShouldAntialias(false);
    gfx::Color::colorWithCalibratedWhite(0.0, view.isWindowActive() ? 0.2 : 0.1)->setFill();
    context->fillRectUsingOperation(b, gfx::CompositingOperation::SourceAtop);
    gfx::Color::darkGrayColor()->setStroke();
    if (vertical) {
        gfx::BezierPath::strokeLineFromPoint({ b.minX(), b.minY() + 0.5 }, { b.minX(), b.maxY() + 0.5 });
        gfx::BezierPath::strokeLineFromPoint({ b.maxX(), b.minY() + 0.5 }, { b.maxX(), b.maxY() + 0.5 });
    } else {
        if (metalShouldDrawHorizontalTopBorderLine(view))
            gfx::BezierPath::strokeLineFromPoint({ b.minX(), b.minY() + 0.5 }, { b.maxX(), b.minY() + 0.5 });
        gfx::BezierPath::strokeLineFromPoint({ b.minX(), b.maxY() - 0.5 }, { b.maxX(), b.maxY() - 0.5 });
    }
    return true;
}

bool QFMetalTabStyle::drawBezelOfTabCell(QFTabBarButtonCell& cell, gfx::Rect f, ui::View& controlView)
{
    auto* button = dynamic_cast<QFAttachedTabBarButton*>(&controlView);
    auto bar = QFTabBarViewExtensions::superviewOfClass<QFTabBarViewBase>(controlView);
    if (!button || !bar)
        return true;
    const bool overflow = button->isOverflowButton() && !button->isSliding();
    gfx::GraphicsStateGuard guard;
    if (!metalIsSelected(cell)) {
        gfx::Rect r { f.minX() + 0.5, f.minY() + 0.5, f.width() - 1.0, f.height() - 1.0 };
        if (overflow)
            r.size.width += 0.5;
        drawBezelInRect(r, overflow ? 0x1001u : 0x100Fu, *button, *bar);
    } else if (metalIsVertical(*bar)) {
        drawBezelInRect({ f.minX() + 2.5, f.minY() + 0.5, f.width() - 2.5, f.height() - 1.0 }, 1u, *button, *bar);
    } else {
        gfx::Rect r { f.minX() + 0.5, f.minY(), f.width() - 1.0, f.height() - 2.5 };
        if (overflow)
            r.size.width += 0.5;
        drawBezelInRect(r, overflow ? 0x1001u : 0x100Fu, *button, *bar);
    }
    return true;
}

bool QFMetalTabStyle::drawBezelOfOverflowButton(
    QFOverflowPopUpButton& overflowButton, QFTabBarViewBase& view, gfx::Rect)
{
    if (metalIsVertical(view))
        return true;
    auto last = view.lastAttachedButton();
    if (!last || last->isSliding())
        return true;
    const gfx::Rect o = overflowButton.frame();
    if (last->state() == ui::ControlStateValue::On) {
        drawBezelInRect({ o.minX(), o.minY(), o.width() + 4.5, o.height() - 2.5 }, 0x1002u, *last, view);
        return true;
    }
    const gfx::Rect r { o.minX(), o.minY() + 0.5, o.width() + 4.5, o.height() - 1.0 };
    if (last->mouseHovered()) {
        gfx::Color::colorWithCalibratedWhite(0.0, 0.1)->setFill();
        if (auto* context = gfx::GraphicsContext::current())
            context->fillRectUsingOperation(r, gfx::CompositingOperation::SourceAtop);
    }
    if (view.showAddTabButton()) {
        gfx::Color::darkGrayColor()->setStroke();
        gfx::BezierPath::strokeLineFromPoint({ r.maxX(), r.minY() }, { r.maxX(), r.maxY() });
    }
    return true;
}

void QFMetalTabStyle::drawBezelInRect(
    gfx::Rect r, unsigned capMask, QFAttachedTabBarButton& button, QFTabBarViewBase& view)
{
    gfx::GraphicsStateGuard guard;
    const bool selected = button.state() == ui::ControlStateValue::On;
    const QFTabStateBits state = button.tabState();
    const bool hideRight
        = (state & QFTabState::NextSelected) && !(state & (QFTabState::NextSliding | QFTabState::NextIsDropTarget));
    auto hoverFill = [&] {
        if (!button.mouseHovered())
            return;
        gfx::Color::colorWithCalibratedWhite(0.0, 0.1)->setFill();
        if (auto* context = gfx::GraphicsContext::current())
            context->fillRectUsingOperation(r, gfx::CompositingOperation::SourceAtop);
    };
    if (!metalIsVertical(view)) {
        if (!selected) {
            hoverFill();
            auto path = gfx::BezierPath::bezierPath();
            if (metalShouldDrawHorizontalTopBorderLine(button))
                metalStrokeLine(*path, { r.minX(), r.minY() }, { r.maxX(), r.minY() });
            if (button.shouldDisplayRightDivider() && !hideRight)
                metalStrokeLine(*path, { r.maxX(), r.minY() }, { r.maxX(), r.maxY() });
            if (button.shouldDisplayLeftDivider())
                metalStrokeLine(*path, { r.minX(), r.minY() }, { r.minX(), r.maxY() });
            gfx::Color::darkGrayColor()->setStroke();
            path->stroke();
        } else {
            gfx::Color::windowBackgroundColor()->setFill();
            tbcore::cardPath(r, 3.0, capMask | tbcore::CapMask::Sides)->fill();
            auto outline = tbcore::cardPath(r, 3.0, capMask & ~tbcore::CapMask::Sides);
            outline->setLineWidth(1.0);
            gfx::Color::darkGrayColor()->setStroke();
            outline->stroke();
        }
        return;
    }
    if (!selected) {
        hoverFill();
        auto path = gfx::BezierPath::bezierPath();
        if (button.shouldDisplayLeftDivider() || (state & QFTabState::PositionFirst))
            metalStrokeLine(*path, { r.minX(), r.minY() }, { r.maxX(), r.minY() });
        if (button.shouldDisplayRightDivider() && !hideRight)
            metalStrokeLine(*path, { r.minX(), r.maxY() }, { r.maxX(), r.maxY() });
        gfx::Color::darkGrayColor()->setStroke();
        path->stroke();
    } else {
        gfx::Color::windowBackgroundColor()->setFill();
        tbcore::roundedPath(r, 5.0, capMask | tbcore::CapMask::Sides)->fill();
        auto outline = tbcore::roundedPath(r, 5.0, capMask & ~tbcore::CapMask::Sides);
        outline->setLineWidth(1.0);
        gfx::Color::darkGrayColor()->setStroke();
        outline->stroke();
    }
}

void QFMetalTabStyle::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    auto put = [&](const std::shared_ptr<gfx::Image>& image, const char*, const char* key) {
        coder.encodeObject(image ? fnd::Value(image) : fnd::Value(), key);
    };
    put(m_closeButton, "TabClose_Front", "metalCloseButton");
    put(m_closeButtonDown, "TabClose_Front_Pressed", "metalCloseButtonDown");
    put(m_closeButtonOver, "TabClose_Front_Rollover", "metalCloseButtonOver");
    put(m_closeDirtyButton, "TabClose_Dirty", "metalCloseDirtyButton");
    put(m_closeDirtyButtonDown, "TabClose_Dirty_Pressed", "metalCloseDirtyButtonDown");
    put(m_closeDirtyButtonOver, "TabClose_Dirty_Rollover", "metalCloseDirtyButtonOver");
}

bool QFMetalTabStyle::initWithCoder(fnd::Coder& coder)
{
    if (!coder.allowsKeyedCoding())
        return true;
    // An archive without a picture keeps the bundle's.
    auto get = [&](std::shared_ptr<gfx::Image>& image, const char* key) {
        if (auto decoded = fnd::decodeObjectOfClass<gfx::Image>(coder, key))
            image = decoded;
    };
    get(m_closeButton, "metalCloseButton");
    get(m_closeButtonDown, "metalCloseButtonDown");
    get(m_closeButtonOver, "metalCloseButtonOver");
    get(m_closeDirtyButton, "metalCloseDirtyButton");
    get(m_closeDirtyButtonDown, "metalCloseDirtyButtonDown");
    get(m_closeDirtyButtonOver, "metalCloseDirtyButtonOver");
    return !coder.hasFailed();
}
