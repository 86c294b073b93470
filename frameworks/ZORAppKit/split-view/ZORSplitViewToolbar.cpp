#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbar.h"

#include "frameworks/ZORAppKit/split-view/ZORSplitSubview.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitView.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbarButton.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbarDraggingHandle.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbarLook.h"

#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

FND_REGISTER_CLASS(ZORSplitViewToolbar, ui::View)

ZORSplitViewToolbar::~ZORSplitViewToolbar()
{
    for (auto token : m_observers)
        fnd::NotificationCenter::defaultCenter().removeObserver(token);
}

std::shared_ptr<ZORSplitViewToolbar> ZORSplitViewToolbar::create()
{
    return ui::makeView<ZORSplitViewToolbar>({});
}

// Applied once, when the bar is made: an interface file's keys and buttons, set afterwards, stay.
void ZORSplitViewToolbar::initWithFrame(gfx::Rect frame)
{
    View::initWithFrame(frame);
    m_height = DefaultHeight;
    m_itemDelimiterEnabled = true;
    m_contentAlign = ContentAlign::BothEnds;
    m_buttons.clear();
    m_delimiterOffsets.clear();
    setNeedsLayout();
    m_enclosingSplitView.reset();
    setAnchoredEdge(AnchoredEdge::Bottom);
    m_shouldDrawDraggingButton = false;
    m_drawDraggingButtonOnRight = true;
    if (m_observers.empty()) {
        auto& center = fnd::NotificationCenter::defaultCenter();
        std::weak_ptr<ZORSplitViewToolbar> weak = std::static_pointer_cast<ZORSplitViewToolbar>(shared_from_this());
        for (const auto& name : { ui::WindowNotification::DidBecomeKey, ui::WindowNotification::DidResignKey }) {
            m_observers.push_back(center.addObserverForName(name, {}, [weak](const fnd::Notification& n) {
                if (auto bar = weak.lock())
                    bar->windowStatusChanged(n);
            }));
        }
    }
}

void ZORSplitViewToolbar::windowStatusChanged(const fnd::Notification&)
{
    setNeedsDisplay(true);
}

void ZORSplitViewToolbar::viewDidMoveToWindow()
{
    View::viewDidMoveToWindow();
    setNeedsDisplay(true);
}

bool ZORSplitViewToolbar::isInKeyWindow() const
{
    auto w = window();
    return w && w->isKeyWindow();
}

// Items.

void ZORSplitViewToolbar::addItem(const std::shared_ptr<ZORSplitViewToolbarButton>& button)
{
    if (!button)
        return;
    auto image = button->image();
    double iw = image ? image->size().width : 0;
    auto title = button->attributedTitle();
    double tw = title && title->length() > 0 ? title->size().width : 0;
    double bw = button->toolbarButtonWidth();
    double base;
    if (iw > 0 && tw > 0)
        base = iw + 10 + 10 + tw + 10;
    else if (iw > 0)
        base = std::max(iw + 20, bw);
    else if (tw > 0)
        base = tw + 20;
    else
        base = bw;
    double width = std::max(base, bw);
    if (button->toolbarButtonAlign() == 0)
        button->setAutoresizingMask(ui::AutoresizingMask::MaxXMargin);
    else if (button->toolbarButtonAlign() == 1)
        button->setAutoresizingMask(ui::AutoresizingMask::MinXMargin);
    button->setFrame({ 0, 0, width, m_height - 1 });
    m_buttons.push_back(button);
    addSubview(button);
    // Its place comes from the next layout.
    setNeedsLayout();
}

void ZORSplitViewToolbar::removeItem(const std::shared_ptr<ZORSplitViewToolbarButton>& button)
{
    std::erase(m_buttons, button);
    if (button && button->superview().get() == this)
        button->removeFromSuperview();
}

void ZORSplitViewToolbar::removeAllItems()
{
    for (const auto& view : std::vector<std::shared_ptr<ui::View>>(subviews()))
        view->removeFromSuperview();
    m_buttons.clear();
    m_draggingHandler.reset();
    setNeedsDisplay(true);
}

void ZORSplitViewToolbar::enable()
{
    fnd::NotificationCenter::defaultCenter().postNotificationName(ZORSplitViewToolbarNotification::ItemsEnable);
}

void ZORSplitViewToolbar::disable()
{
    fnd::NotificationCenter::defaultCenter().postNotificationName(ZORSplitViewToolbarNotification::ItemsDisable);
}

// Settings.

void ZORSplitViewToolbar::setAnchoredEdge(AnchoredEdge edge)
{
    m_anchoredEdge = edge;
    if (edge == AnchoredEdge::Bottom) {
        setAutoresizingMask(ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::MaxYMargin);
    } else {
        setAutoresizingMask(ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::MinYMargin);
        for (const auto& view : subviews()) {
            auto f = view->frame();
            view->setFrameOrigin({ f.origin.x, f.origin.y + 1.0 });
        }
    }
}

void ZORSplitViewToolbar::setItemDelimiterEnabled(bool flag)
{
    m_itemDelimiterEnabled = flag;
    setNeedsLayout();
    setNeedsDisplay(true);
}

void ZORSplitViewToolbar::setContentAlign(ContentAlign align)
{
    m_contentAlign = align;
    setNeedsLayout();
    setNeedsDisplay(true);
}

bool ZORSplitViewToolbar::splitViewIsVertical() const
{
    auto split = enclosingSplitView();
    return split && split->isVertical();
}

gfx::Rect ZORSplitViewToolbar::gripFrame() const
{
    auto pane = superview();
    double paneWidth = pane ? pane->frame().width() : frame().width();
    // In the bar's own coordinates: the grip stands on the bar, whatever the pane's place in its split view.
    return { m_drawDraggingButtonOnRight ? paneWidth - GripAllowance : 0, 0, GripAllowance, bounds().height() };
}

void ZORSplitViewToolbar::setDrawDraggingButton(bool flag)
{
    if (flag != m_shouldDrawDraggingButton) {
        m_shouldDrawDraggingButton = flag;
        if (m_draggingHandler) {
            m_draggingHandler->removeFromSuperview();
            m_draggingHandler.reset();
        }
        if (flag && (splitViewIsVertical() || m_anchoredEdge == AnchoredEdge::Bottom)) {
            auto grip = ZORSplitViewToolbarDraggingHandle::create(gripFrame());
            if (auto split = enclosingSplitView())
                grip->setVertical(split->isVertical());
            grip->setAutoresizingMask(
                m_drawDraggingButtonOnRight ? ui::AutoresizingMask::MinXMargin : ui::AutoresizingMask::MaxYMargin);
            m_draggingHandler = grip;
            addSubview(grip);
        }
    }
    recalculateItemPositions();
    setNeedsDisplay(true);
}

void ZORSplitViewToolbar::setDrawDraggingButtonOnRight(bool flag)
{
    m_drawDraggingButtonOnRight = flag;
    if (m_draggingHandler) {
        m_draggingHandler->setAutoresizingMask(
            flag ? ui::AutoresizingMask::MinXMargin : ui::AutoresizingMask::MaxYMargin);
        m_draggingHandler->setFrame(gripFrame());
        recalculateItemPositions();
        setNeedsDisplay(true);
    }
}

// Place in the split view.

bool ZORSplitViewToolbar::isInLastSubview() const
{
    auto split = enclosingSplitView();
    auto pane = superview();
    return split && pane && !split->subviews().empty() && split->subviews().back() == pane;
}

long ZORSplitViewToolbar::dividerIndexNearestToHandle() const
{
    auto split = enclosingSplitView();
    if (!split)
        return -1;
    const auto& list = split->subviews();
    if (isInLastSubview())
        return static_cast<long>(list.size()) - 2;
    auto pane = superview();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == pane)
            return static_cast<long>(i);
    }
    return -1;
}

bool ZORSplitViewToolbar::containsSubView(const ui::View& view) const
{
    return std::any_of(subviews().begin(), subviews().end(), [&view](const auto& v) { return v.get() == &view; });
}

void ZORSplitViewToolbar::injectEnclosingSplitView(const fnd::Notification& notification)
{
    m_enclosingSplitView = notification.object().objectAs<ZORSplitView>();
}

// Layout.

void ZORSplitViewToolbar::layout()
{
    recalculateItemPositions();
    setNeedsDisplay(true);
}

void ZORSplitViewToolbar::recalculateItemPositions()
{
    double g = m_shouldDrawDraggingButton ? (splitViewIsVertical() ? GripAllowanceVertical : GripAllowance) : 0;
    double left = m_drawDraggingButtonOnRight ? 0 : g;
    double right = m_drawDraggingButtonOnRight ? frame().width() - g : frame().width();
    m_delimiterOffsets.clear();
    double y = m_anchoredEdge == AnchoredEdge::Top ? 1.0 : 0.0;
    double d = m_itemDelimiterEnabled ? DelimiterWidth : 0.0;
    std::vector<std::shared_ptr<ZORSplitViewToolbarButton>> placed;
    for (const auto& button : m_buttons) {
        if (button->superview().get() == this)
            placed.push_back(button);
    }
    m_delimiterOffsets.assign(placed.size() + (m_contentAlign == ContentAlign::Centered && !placed.empty() ? 1 : 0), 0);
    if (m_contentAlign == ContentAlign::BothEnds) {
        for (std::size_t k = 0; k < placed.size(); ++k) {
            auto& button = *placed[k];
            double width = button.frame().width();
            if (button.toolbarButtonAlign() == 0) {
                button.setAutoresizingMask(ui::AutoresizingMask::MaxXMargin);
                button.setFrameOrigin({ left, y });
                left += width + d;
                m_delimiterOffsets[k] = std::ceil(button.frame().minX() + width);
            } else {
                button.setAutoresizingMask(ui::AutoresizingMask::MinXMargin);
                button.setFrameOrigin({ right - width, y });
                right -= width + d;
                m_delimiterOffsets[k] = std::ceil(button.frame().minX()) - 1;
            }
        }
    } else if (m_contentAlign == ContentAlign::Centered) {
        double total = 0;
        for (const auto& button : placed)
            total += button->frame().width() + d;
        left = std::ceil((bounds().width() - total) / 2);
        for (std::size_t k = 0; k < placed.size(); ++k) {
            auto& button = *placed[k];
            double width = button.frame().width();
            button.setAutoresizingMask(ui::AutoresizingMask::NotSizable);
            button.setFrameOrigin({ left, y });
            left += std::ceil(width) + d;
            if (k == 0)
                m_delimiterOffsets[0] = std::ceil(button.frame().minX()) - 1;
            m_delimiterOffsets[k + 1] = std::ceil(button.frame().minX() + width);
        }
    }
}

// Drawing.

void ZORSplitViewToolbar::drawRect(gfx::Rect dirtyRect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    bool dimmed = !isInKeyWindow();
    {
        gfx::GraphicsStateGuard guard;
        ZORSplitViewToolbarLook::backgroundGradient(dimmed)->drawInRect(dirtyRect, 90);
    }
    {
        gfx::GraphicsStateGuard guard;
        ZORSplitViewToolbarLook::separatorColor(dimmed)->setFill();
        double y = m_anchoredEdge == AnchoredEdge::Bottom ? bounds().height() - 1 : 0;
        context->fillRect({ dirtyRect.minX(), y, dirtyRect.width(), 1.0 });
    }
    if (m_itemDelimiterEnabled)
        drawItemDelimiter();
}

void ZORSplitViewToolbar::drawItemDelimiter()
{
    auto gradient = ZORSplitViewToolbarLook::delimiterGradient(!isInKeyWindow());
    double y = m_anchoredEdge == AnchoredEdge::Bottom ? 0.0 : 1.0;
    for (double offset : m_delimiterOffsets) {
        gfx::GraphicsStateGuard guard;
        gradient->drawInRect({ offset, y, DelimiterWidth, bounds().height() - 1 }, 90);
    }
}
