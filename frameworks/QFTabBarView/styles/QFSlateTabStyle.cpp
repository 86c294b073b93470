#include "frameworks/QFTabBarView/styles/QFSlateTabStyle.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFRolloverButton.h"
#include "frameworks/QFTabBarView/QFTabBarViewBase.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/ThreePartImage.h"

FND_REGISTER_CLASS(QFSlateTabStyle, QFTabStyle)
[[maybe_unused]] static const tbcore::TabStyleRegistration<QFTabStyleRegistry, QFSlateTabStyle>
    QFSlateTabStyleRegistration;

using namespace QFTabStyleSupport;

namespace {

// "Slate" + AW/IW (active or inactive window) + the piece.
std::string slateName(bool active, const char* piece)
{
    return std::string("Slate") + (active ? "AW" : "IW") + piece;
}

void slateDraw(gfx::Rect frame, const std::string& left, const std::string& fill, const std::string& right,
    gfx::CompositingOperation op, const ui::View& view)
{
    auto piece = [](const std::string& name) { return name.empty() ? nullptr : image(name.c_str()); };
    auto l = piece(left), f = piece(fill), r = piece(right);
    gfx::drawThreePartImage(frame, l.get(), f.get(), r.get(), false, op, 1.0, view.isFlipped());
}

bool slateIsSliding(const std::shared_ptr<QFAttachedTabBarButton>& button)
{
    return button && button->isSliding();
}

}

std::shared_ptr<QFSlateTabStyle> QFSlateTabStyle::create()
{
    return fnd::makeObject<QFSlateTabStyle>();
}

std::optional<bool> QFSlateTabStyle::supportsOrientation(QFTabBarOrientation orientation, QFTabBarViewBase&)
{
    return orientation == QFTabBarOrientation::Horizontal;
}

std::optional<gfx::Size> QFSlateTabStyle::addTabButtonSizeForTabBarView(QFTabBarViewBase& view)
{
    return gfx::Size { 22.0, view.frame().height() };
}

std::optional<gfx::Rect> QFSlateTabStyle::addTabButtonRectForTabBarView(QFTabBarViewBase& view)
{
    gfx::Rect r = view._addTabButtonRect();
    r.origin.y += 1.0;
    r.size.height -= 1.0;
    return r;
}

std::optional<gfx::Rect> QFSlateTabStyle::overflowButtonRectForTabBarView(QFTabBarViewBase& view)
{
    gfx::Rect r = view._overflowButtonRect();
    if (isZeroRect(r))
        return r;
    r.origin.y += 1.0;
    r.size.height -= 1.0;
    return r;
}

bool QFSlateTabStyle::updateAddButton(QFRolloverButton& button, QFTabBarViewBase&)
{
    button.setImage(image("SlateAWAddTabButton"));
    button.setAlternateImage(image("SlateAWAddTabButtonPushed"));
    button.setRolloverImage(image("SlateAWAddTabButtonRolloverPlus"));
    return true;
}

std::optional<std::shared_ptr<gfx::Image>> QFSlateTabStyle::closeButtonImageOfType(long type, QFTabBarButtonCell& cell)
{
    static constexpr const char* edited[] { "TabClose_Dirty", "TabClose_Dirty_Rollover", "TabClose_Dirty_Pressed" };
    static constexpr const char* kinds[] { "Close", "CloseRollover", "ClosePressed" };
    if (type >= 3 && type <= 5)
        return image(edited[type - 3]);
    if (type < 0 || type > 2)
        return std::shared_ptr<gfx::Image> {};
    auto control = cell.controlView();
    auto bar = control ? QFTabBarViewExtensions::superviewOfClass<QFTabBarViewBase>(*control) : nullptr;
    const bool active = !bar || bar->isWindowActive();
    const std::string tab = isSelected(cell) ? "AT" : "IT";
    return image(slateName(active, (tab + kinds[type]).c_str()).c_str());
}

std::optional<gfx::Rect> QFSlateTabStyle::drawingRectForBounds(gfx::Rect b, QFTabBarButtonCell& cell)
{
    const double left = cell.leftMargin(), right = cell.rightMargin();
    return gfx::Rect { b.minX() + left, b.minY() + 1.0, b.width() - (left + right), b.height() - 1.0 };
}

std::optional<gfx::Rect> QFSlateTabStyle::closeButtonRectForBounds(gfx::Rect bounds, QFTabBarButtonCell& cell)
{
    gfx::Rect r = cell._closeButtonRectForBounds(bounds);
    if (isZeroRect(r))
        return r;
    r.origin.y += 1.0;
    r.size.height -= 1.0;
    return r;
}

std::optional<gfx::Rect> QFSlateTabStyle::draggingRectForTabButton(
    QFAttachedTabBarButton& button, QFTabBarViewBase& view)
{
    gfx::Rect r = widenedStackingFrame(&button);
    if (isSelected(button)) {
        if (isVertical(view)) {
            r.size.height += 1.0;
            r.origin.x += 2.0;
            r.origin.y -= 1.0;
            r.size.width -= 3.0;
        } else {
            r.size.height -= 2.0;
        }
    } else if (isVertical(view)) {
        r.origin.x -= 1.0;
    }
    return r;
}

bool QFSlateTabStyle::drawBezelOfTabBarView(QFTabBarViewBase& view, gfx::Rect)
{
    const gfx::Rect b = view.bounds();
    gfx::GraphicsStateGuard guard;
    if (b.height() < 2.0) {
        fillRect(b, gfx::Color::darkGrayColor(), gfx::CompositingOperation::SourceOver);
        return true;
    }
    slateDraw(b, "", slateName(view.isWindowActive(), "BG"), "", gfx::CompositingOperation::Copy, view);
    return true;
}

QFSlateTabStyle::Pieces QFSlateTabStyle::piecesOfButton(QFAttachedTabBarButton& button, long i,
    const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons, long s, QFTabBarViewBase& view)
{
    const bool active = view.isWindowActive();
    const std::string leftIT = slateName(active, "ITLeftCap"), rightIT = slateName(active, "ITRightCap");
    const auto count = static_cast<long>(buttons.size());
    auto previous = i > 0 && i - 1 < count ? buttons[static_cast<std::size_t>(i - 1)] : nullptr;
    auto next = i + 1 < count ? buttons[static_cast<std::size_t>(i + 1)] : nullptr;
    const long d = view.destinationIndexForDraggedItem();
    const bool none = s == fnd::NotFound;
    const bool nextOpens = slateIsSliding(next) || d == i + 1;
    if (button.isInAnimatedSlide())
        return { "SlateAWITLeftCap", "", "SlateAWITRightCap" };
    if (isSelected(button)) {
        const bool plainOverflow = button.isOverflowButton() && !button.isSliding();
        return { slateName(active, "ATLeftCap"), slateName(active, "ATFill"),
            plainOverflow ? "" : slateName(active, "ATRightCap") };
    }
    if (!previous) {
        if (!none && i >= s)
            return {};
        return { "", "", nextOpens ? rightIT : "" };
    }
    if (next) {
        if (!none && i == s)
            return {};
        if (!none && i > s)
            return { slateIsSliding(previous) ? leftIT : "", "", rightIT };
        return { leftIT, "", nextOpens ? rightIT : "" };
    }
    // The last button.
    const bool closesBar = view.showAddTabButton() && !view.isOverflowButtonVisible();
    if (!none && i <= s)
        return { "", "", closesBar ? rightIT : "" };
    const bool left = none || slateIsSliding(previous) || d == i - 1;
    return { left ? leftIT : "", "", closesBar ? rightIT : "" };
}

bool QFSlateTabStyle::drawBezelOfButton(QFAttachedTabBarButton& button, long index,
    const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons, long selectedIndex, QFTabBarViewBase& view,
    gfx::Rect)
{
    const Pieces p = piecesOfButton(button, index, buttons, selectedIndex, view);
    slateDraw(gfx::insetRect(button.frame(), -5.0, 0.0), p.leftCap, p.fill, p.rightCap,
        gfx::CompositingOperation::SourceOver, view);
    return true;
}

bool QFSlateTabStyle::drawBezelOfTabCell(QFTabBarButtonCell& cell, gfx::Rect f, ui::View& controlView)
{
    if (controlView.frame().height() < 2.0 || !isSelected(cell))
        return true;
    auto* button = dynamic_cast<QFAttachedTabBarButton*>(&controlView);
    auto bar = QFTabBarViewExtensions::superviewOfClass<QFTabBarViewBase>(controlView);
    const bool active = !bar || bar->isWindowActive();
    const bool plainOverflow = button && button->isOverflowButton() && !button->isSliding();
    slateDraw(gfx::insetRect(f, -5.0, 0.0), slateName(active, "ATLeftCap"), slateName(active, "ATFill"),
        plainOverflow ? "" : slateName(active, "ATRightCap"), gfx::CompositingOperation::SourceOver, controlView);
    return true;
}

bool QFSlateTabStyle::drawBezelOfOverflowButton(
    QFOverflowPopUpButton& overflowButton, QFTabBarViewBase& view, gfx::Rect)
{
    const gfx::Rect o = overflowButton.frame();
    const gfx::Rect r { o.minX(), o.minY() - 1.0, o.width() + 11.0, o.height() + 1.0 };
    const bool active = view.isWindowActive();
    auto last = view.lastAttachedButton();
    if (last && isSelected(*last) && !last->isSliding())
        slateDraw(r, "", slateName(active, "ATFill"), slateName(active, "ATRightCap"),
            gfx::CompositingOperation::SourceOver, view);
    else
        slateDraw(r, "", "", slateName(active, "ITRightCap"), gfx::CompositingOperation::SourceOver, view);
    return true;
}
