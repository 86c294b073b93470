// What clicks on the tab bar view do: the add, tab and close buttons, the overflow menu, context menus and the
// resizing of a vertical bar by its edge.

#include "frameworks/QFTabBarView/QFTabBarView.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/Event.h"

void QFTabBarView::_addNewTab(const fnd::Value&)
{
    auto d = delegate();
    if (auto tabs = tabView(); d && tabs)
        d->addNewTabToTabView(*tabs);
}

void QFTabBarView::_didClickTabButton(const fnd::Value& sender)
{
    auto button = sender.objectAs<QFAttachedTabBarButton>();
    if (button && button->tabViewItem())
        selectTabViewItem(button->tabViewItem());
}

void QFTabBarView::_didClickCloseButton(const fnd::Value& sender)
{
    auto keep = self();
    auto close = sender.objectAs<ui::View>();
    auto button = close
        ? std::dynamic_pointer_cast<QFAttachedTabBarButton>(QFTabBarViewExtensions::enclosingTabBarButton(*close))
        : nullptr;
    auto item = button ? button->tabViewItem() : nullptr;
    if (!item) {
        ui::Application::shared().beep();
        return;
    }
    if (numberOfAttachedButtons() == 1 && !m_canCloseOnlyTab) {
        ui::Application::shared().beep();
        return;
    }
    auto d = delegate();
    auto tabs = tabView();
    if (d && tabs && !d->tabViewShouldCloseTabViewItem(*tabs, *item).value_or(true))
        return;
    if (d && tabs)
        d->tabViewWillCloseTabViewItem(*tabs, *item);
    removeTabViewItem(item);
    if (d && tabs)
        d->tabViewDidCloseTabViewItem(*tabs, *item);
}

void QFTabBarView::_overflowMenuAction(const fnd::Value& sender)
{
    if (auto entry = sender.objectAs<ui::MenuItem>())
        if (auto item = entry->representedObject().objectAs<ui::TabViewItem>())
            selectTabViewItem(item);
}

bool QFTabBarView::validateMenuItem(ui::MenuItem& entry)
{
    auto item = entry.representedObject().objectAs<ui::TabViewItem>();
    auto selected = selectedTabViewItem();
    entry.setState(item && item == selected ? ui::ControlStateValue::On : ui::ControlStateValue::Off);
    auto d = delegate();
    auto tabs = tabView();
    if (d && tabs && item)
        return d->tabViewValidateOverflowMenuItem(*tabs, entry, *item).value_or(true);
    return true;
}

std::shared_ptr<ui::Menu> QFTabBarView::menuForTabBarButton(QFTabBarButton& button, const ui::Event& event)
{
    if (auto* attached = dynamic_cast<QFAttachedTabBarButton*>(&button))
        if (auto item = attached->tabViewItem())
            return menuForTabViewItem(item, event);
    return nullptr;
}

std::shared_ptr<ui::Menu> QFTabBarView::menuForTabViewItem(
    const std::shared_ptr<ui::TabViewItem>& item, const ui::Event&)
{
    auto d = delegate();
    auto tabs = tabView();
    if (!item || !d || !tabs)
        return nullptr;
    return d->tabViewMenuForTabViewItem(*tabs, *item).value_or(nullptr);
}

void QFTabBarView::mouseDown(const ui::Event& event)
{
    const gfx::Point p = convertPointFromView(event.locationInWindow(), nullptr);
    if (m_orientation == QFTabBarOrientation::Vertical && m_allowsResizing && p.x > frame().width() - 3.0
        && QFTabBarViewExtensions::dragShouldBeginFromMouseDown(*this, event, fnd::Date::distantFuture(), 0.0, 0.0))
        _beginResizingWithMouseDownEvent(event);
}

void QFTabBarView::_beginResizingWithMouseDownEvent(const ui::Event& mouseDown)
{
    if (m_orientation != QFTabBarOrientation::Vertical)
        return;
    auto keep = self();
    m_isResizing = true;
    auto setCursor = [this] {
        tbcore::EdgeResize::cursorFor(frame().width(), double(m_buttonMinWidth), double(m_buttonMaxWidth))->set();
    };
    setCursor();
    m_edgeResize.begin(mouseDown);
    auto& application = ui::Application::shared();
    while (true) {
        auto event = application.nextEvent(ui::EventMasks::LeftMouseDragged | ui::EventMasks::LeftMouseUp,
            fnd::Date::distantFuture(), fnd::RunLoopMode::EventTracking, true);
        if (!event || event->type() == ui::EventType::LeftMouseUp)
            break;
        auto partner = partnerView();
        if (m_edgeResize.drag(*this, partner.get(), *event, double(m_buttonMinWidth), double(m_buttonMaxWidth),
                tbcore::EdgeResize::Limits::Inclusive))
            setCursor();
    }
    ui::Cursor::arrowCursor()->set();
    m_isResizing = false;
}

std::shared_ptr<ui::View> QFTabBarView::hitTest(gfx::Point point)
{
    if (m_orientation == QFTabBarOrientation::Vertical && !isHidden()) {
        const gfx::Point local = convertPointFromView(point, superview().get());
        if (gfx::pointInRect(local, dividerRect()))
            return shared_from_this() ? std::static_pointer_cast<ui::View>(shared_from_this()) : nullptr;
    }
    return ui::View::hitTest(point);
}

void QFTabBarView::resetCursorRects()
{
    if (m_orientation == QFTabBarOrientation::Vertical && m_allowsResizing) {
        addCursorRect(dividerRect(),
            tbcore::EdgeResize::cursorFor(frame().width(), double(m_buttonMinWidth), double(m_buttonMaxWidth)));
    }
}
