// The tab bar view in drags: tab drags go to the shared drag assistant; other drags held over a tab spring it open.

#include "frameworks/QFTabBarView/QFTabBarView.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFTabDragAssistant.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

bool QFTabBarView::shouldStartDraggingAttachedTabBarButton(QFAttachedTabBarButton& button, const ui::Event& event)
{
    auto d = delegate();
    auto tabs = tabView();
    auto item = button.tabViewItem();
    if (d && tabs && item && !d->tabViewShouldDragTabViewItem(*tabs, *item, *this).value_or(true))
        return false;
    return QFTabDragAssistant::sharedDragAssistant()->shouldStartDraggingAttachedTabBarButton(button, *this, event);
}

void QFTabBarView::startDraggingAttachedTabBarButton(QFAttachedTabBarButton& button, const ui::Event& event)
{
    QFTabDragAssistant::sharedDragAssistant()->startDraggingAttachedTabBarButton(button, *this, event);
}

std::shared_ptr<QFAttachedTabBarButton> QFTabBarView::attachedTabBarButtonForDraggedItems() const
{
    return QFTabDragAssistant::sharedDragAssistant()->attachedTabBarButtonForDraggedItems();
}

bool QFTabBarView::isSliding() const
{
    return QFTabDragAssistant::sharedDragAssistant()->isSliding();
}

bool QFTabBarView::isSlidingHere() const
{
    const auto& assistant = *QFTabDragAssistant::sharedDragAssistant();
    const auto& item = assistant.pasteboardItem();
    return assistant.isSliding() && item && item->sourceTabBar.get() == this;
}

bool QFTabBarView::isDragging() const
{
    return QFTabDragAssistant::sharedDragAssistant()->isDragging();
}

bool QFTabBarView::allowsDetachedDraggingOfTabViewItem(ui::TabViewItem& item)
{
    auto d = delegate();
    auto tabs = tabView();
    if (!d || !tabs)
        return false;
    return d->tabViewShouldAllowTabViewItemToLeaveTabBarView(*tabs, item, *this).value_or(false);
}

ui::DragOperation QFTabBarView::draggingSourceOperationMaskForLocal(bool isLocal)
{
    return QFTabDragAssistant::sharedDragAssistant()->draggingSourceOperationMaskForLocal(isLocal, *this);
}

void QFTabBarView::draggedImageBeganAt(gfx::Image&, gfx::Point screenPoint)
{
    QFTabDragAssistant::sharedDragAssistant()->draggedImageBeganAt(screenPoint, *this);
}

void QFTabBarView::draggedImageMovedTo(gfx::Image&, gfx::Point screenPoint)
{
    QFTabDragAssistant::sharedDragAssistant()->draggedImageMovedTo(screenPoint);
}

void QFTabBarView::draggedImageEndedAt(gfx::Image&, gfx::Point screenPoint, ui::DragOperation operation)
{
    QFTabDragAssistant::sharedDragAssistant()->draggedImageEndedAt(screenPoint, operation);
}

bool QFTabBarView::isTabDrag(ui::DraggingInfo& info) const
{
    auto pasteboard = info.draggingPasteboard();
    return pasteboard && pasteboard->canReadItemWithDataConformingToTypes({ QFAttachedTabBarButtonPasteboardType });
}

ui::DragOperation QFTabBarView::draggingEntered(ui::DraggingInfo& info)
{
    if (isTabDrag(info))
        return QFTabDragAssistant::sharedDragAssistant()->draggingEntered(info, *this);
    return ui::DragOperations::None;
}

std::optional<ui::DragOperation> QFTabBarView::draggingUpdated(ui::DraggingInfo& info)
{
    if (isTabDrag(info))
        return QFTabDragAssistant::sharedDragAssistant()->draggingUpdated(info, *this);
    // Spring-loading: a foreign drag resting on a tab selects it after a while.
    auto button = attachedButtonAtPoint(convertPointFromView(info.draggingLocation(), nullptr));
    if (!button)
        return ui::DragOperations::None;
    m_spring.dragOver(button->tabViewItem(), info.draggingLocation());
    return ui::DragOperations::Copy;
}

void QFTabBarView::fireSpring(fnd::Timer& timer)
{
    if (!m_spring.isOwnTimer(timer)) {
        fnd::assertThat(false, "Spring fired by unrecognized timer " + timer.description());
        return;
    }
    auto keep = self();
    // Where the drag is, as it last told the bar: it may bring no mouse events of ours (another program's drag).
    const gfx::Point at = convertPointFromView(m_spring.dragLocation(), nullptr);
    // Nothing under the drag: the timer stays, and the next move over a tab decides.
    if (auto button = attachedButtonAtPoint(at)) {
        selectTabViewItem(button->tabViewItem());
        m_spring.forgetItem();
        m_spring.stop();
    }
}

void QFTabBarView::draggingExited(ui::DraggingInfo& info)
{
    m_spring.stop();
    if (isTabDrag(info))
        QFTabDragAssistant::sharedDragAssistant()->draggingExitedTabBarView(*this, info);
}

bool QFTabBarView::prepareForDragOperation(ui::DraggingInfo& info)
{
    if (isTabDrag(info))
        return QFTabDragAssistant::sharedDragAssistant()->destinationTabBar() != nullptr;
    return false;
}

bool QFTabBarView::performDragOperation(ui::DraggingInfo& info)
{
    // A tab the assistant moved is a drop that happened: answered YES (where the platform's original answered NO),
    // so the drag source hears that its drop was taken.
    if (isTabDrag(info) && QFTabDragAssistant::sharedDragAssistant()->performDragOperation(info, *this))
        return true;
    auto button = attachedButtonAtPoint(convertPointFromView(info.draggingLocation(), nullptr));
    auto d = delegate();
    auto tabs = tabView();
    if (!button || !d || !tabs || !button->tabViewItem())
        return false;
    return d->tabViewAcceptedDraggingInfo(*tabs, info, *button->tabViewItem()).value_or(false);
}
