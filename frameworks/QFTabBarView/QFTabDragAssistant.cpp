#include "frameworks/QFTabBarView/QFTabDragAssistant.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFTabBarView.h"
#include "frameworks/QFTabBarView/QFTabBarViewDelegate.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "frameworks/tab-bar-core/TabBarGeometry.h"
#include "frameworks/tab-bar-core/TabNesting.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/Axis.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/WindowCapture.h"

#include <algorithm>
#include <cmath>

FND_REGISTER_CLASS(QFTabPasteboardItem, ui::PasteboardItem)
FND_REGISTER_CLASS(QFTabDragAssistant, fnd::Object)

namespace {

// How far above or below a horizontal bar (left or right of a vertical one) a tab must be pulled to tear off.
constexpr double TabDragAssistantTearOffDistance = 15.0;

bool tabDragIsHorizontal(const QFTabBarView& bar)
{
    return bar.barAxis() == gfx::Axis::X;
}

}

std::shared_ptr<QFTabDragAssistant> QFTabDragAssistant::sharedDragAssistant()
{
    static const std::shared_ptr<QFTabDragAssistant> shared = fnd::makeObject<QFTabDragAssistant>();
    return shared;
}

std::shared_ptr<QFTabDragAssistant> QFTabDragAssistant::self()
{
    return std::static_pointer_cast<QFTabDragAssistant>(shared_from_this());
}

std::shared_ptr<QFAttachedTabBarButton> QFTabDragAssistant::attachedTabBarButtonForDraggedItems() const
{
    return m_pasteboardItem ? m_pasteboardItem->attachedTabBarButton : nullptr;
}

bool QFTabDragAssistant::shouldStartDraggingAttachedTabBarButton(
    QFAttachedTabBarButton&, QFTabBarView& bar, const ui::Event& event)
{
    return QFTabBarViewExtensions::dragShouldBeginFromMouseDown(bar, event, fnd::Date::distantFuture());
}

ui::DragOperation QFTabDragAssistant::draggingSourceOperationMaskForLocal(bool isLocal, QFTabBarView&)
{
    return isLocal ? ui::DragOperations::Move : ui::DragOperations::None;
}

// Destination index.

long QFTabDragAssistant::destinationIndexForButton(QFAttachedTabBarButton* button, gfx::Point p, QFTabBarView& bar)
{
    const gfx::Axis axis = bar.barAxis();
    if (gfx::along(p, axis) < (axis == gfx::Axis::X ? bar.leftMargin() : bar.topMargin()))
        return 0;
    auto sorted = bar.sortedAttachedButtonsUsingComparator([axis](const auto& a, const auto& b) {
        const double pa = gfx::minAlong(a.stackingFrame(), axis);
        const double pb = gfx::minAlong(b.stackingFrame(), axis);
        return pa < pb ? ui::ComparisonResult::Ascending
                       : (pa > pb ? ui::ComparisonResult::Descending : ui::ComparisonResult::Same);
    });
    // The pointer's place along the bar, across it in the bar's middle.
    const gfx::Rect b = bar.bounds();
    const gfx::Point test
        = gfx::pointOnAxis(axis, gfx::along(p, axis), gfx::minAcross(b, axis) + gfx::lengthAcross(b, axis) / 2);
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const auto& candidate = sorted[i];
        if (!gfx::mouseInRect(test, candidate->stackingFrame(), true))
            continue;
        long answer = long(i);
        const gfx::Rect f = candidate->frame();
        const double mid = gfx::minAlong(f, axis) + gfx::lengthAlong(f, axis) / 2;
        if (candidate.get() != button && mid <= gfx::along(p, axis))
            ++answer;
        return answer;
    }
    if (m_isSliding)
        return bar.numberOfVisibleTabViewItems() - 1;
    if (!m_isDragging)
        return fnd::NotFound;
    if (bar.destinationIndexForDraggedItem() != fnd::NotFound)
        return bar.destinationIndexForDraggedItem();
    auto last = bar.lastAttachedButton();
    const double end = last ? gfx::maxAlong(last->frame(), axis) : 0;
    if (gfx::along(p, axis) <= end)
        return fnd::NotFound;
    return bar.numberOfVisibleTabViewItems();
}

// Start and the slide loop.

void QFTabDragAssistant::startDraggingAttachedTabBarButton(
    QFAttachedTabBarButton& button, QFTabBarView& bar, const ui::Event& event)
{
    auto keepSelf = self();
    auto keepBar = std::static_pointer_cast<QFTabBarView>(bar.shared_from_this());
    auto keepButton = std::static_pointer_cast<QFAttachedTabBarButton>(button.shared_from_this());
    auto item = fnd::makeObject<QFTabPasteboardItem>();
    item->sourceTabBar = keepBar;
    item->attachedTabBarButton = keepButton;
    item->sourceIndex = bar.indexOfTabViewItem(button.tabViewItem().get());
    item->setStringForType(button.title(), QFAttachedTabBarButtonPasteboardType);
    auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    pasteboard->clearContents();
    pasteboard->writeObjects({ item });
    m_pasteboardItem = item;
    m_origin = { bar.tabView(), button.tabViewItem() };
    fnd::NotificationCenter::defaultCenter().postNotificationName(QFTabDragDidBeginNotification, fnd::Value(item));
    slideLoop(button, bar, button.frame().origin, event);
}

void QFTabDragAssistant::slideLoop(
    QFAttachedTabBarButton& button, QFTabBarView& bar, gfx::Point start, const ui::Event& event)
{
    auto keepButton = std::static_pointer_cast<QFAttachedTabBarButton>(button.shared_from_this());
    auto keepBar = std::static_pointer_cast<QFTabBarView>(bar.shared_from_this());
    const gfx::Point down = bar.convertPointFromView(event.locationInWindow(), nullptr);
    const gfx::Size offset { down.x - start.x, down.y - start.y };
    long current = bar.indexOfAttachedButton(button);
    m_isSliding = true;
    button.setIsInDraggedSlide(true);
    bar.updateTabStateMaskOfAttachedButton(button, current);
    QFTabBarViewExtensions::orderFront(button);
    long lastDestination = fnd::NotFound;
    bool itemLeft = false;
    std::shared_ptr<ui::Event> first;
    auto& application = ui::Application::shared();
    auto delegate = bar.delegate();
    auto tabView = bar.tabView();
    auto item = button.tabViewItem();

    while (true) {
        auto next = application.nextEvent(ui::EventMasks::LeftMouseUp | ui::EventMasks::LeftMouseDragged,
            fnd::Date::distantFuture(), fnd::RunLoopMode::EventTracking, true);
        if (!next)
            break;
        if (!first)
            first = next;
        if (next->type() == ui::EventType::LeftMouseDragged) {
            const gfx::Point p = bar.convertPointFromView(next->locationInWindow(), nullptr);
            gfx::Rect sliding = button.slidingFrame();
            sliding.origin = { p.x - offset.width, p.y - offset.height };
            button.setSlidingFrame(sliding);
            long destination = destinationIndexForButton(&button, p, bar);
            if (delegate && tabView && item
                && !delegate->tabViewValidateSlideOfProposedItem(*tabView, *item, destination, bar).value_or(true))
                destination = fnd::NotFound;
            if (destination != fnd::NotFound && destination != current) {
                current = moveAttachedTabBarButton(button, bar, current, destination);
                lastDestination = current;
            }
            // A tab the program closed meanwhile does not tear off: it has nowhere left to go.
            if (item && !m_origin.hasDeparted(bar.tabView().get()) && bar.allowsDetachedDraggingOfTabViewItem(*item)) {
                // Pulled away across the bar: above or below a horizontal one, beside a vertical one.
                const gfx::Rect b = bar.bounds();
                const gfx::Axis axis = bar.barAxis();
                const bool outside = gfx::across(p, axis) < gfx::minAcross(b, axis) - TabDragAssistantTearOffDistance
                    || gfx::across(p, axis) > gfx::maxAcross(b, axis) + TabDragAssistantTearOffDistance;
                if (outside) {
                    if (auto w = bar.window())
                        m_tearOffPoint = w->convertBaseToScreen(next->locationInWindow());
                    m_isSliding = false;
                    button.setIsInDraggedSlide(false);
                    dragDetachedButton(button, bar, *first);
                    return;
                }
            }
            continue;
        }
        // Released within the bar, where the button rests among the others: tabs the program added or closed while
        // it slid move that place from the index the slide last gave it.
        current = bar.indexOfAttachedButton(button);
        m_isSliding = false;
        button.setIsInDraggedSlide(false);
        if (m_origin.hasDeparted(bar.tabView().get())) {
            // The program closed the tab meanwhile (or took the tab view from the bar): it is not moved back in; its
            // button goes once the drag is over.
            itemLeft = true;
        } else if (bar.indexOfTabViewItem(item.get()) != current) {
            bar.moveTabViewItem(item, current);
            bar.update(false);
        } else if (lastDestination == current && lastDestination != fnd::NotFound) {
            if (bar.automaticallyAnimates())
                slideBackTabBarButton(button, bar);
            else
                button.setFrame(button.stackingFrame());
        } else {
            // A tab pulled and let go where it was goes back to its place.
            button.setFrame(button.stackingFrame());
        }
        break;
    }
    m_isSliding = false;
    button.setIsInDraggedSlide(false);
    // The drag ends here: nothing left the bar.
    fnd::NotificationCenter::defaultCenter().postNotificationName(QFTabDragDidEndNotification);
    m_pasteboardItem.reset();
    const auto origin = m_origin;
    m_origin = {};
    if (itemLeft) {
        // Its bar's update skipped it while it slid; a closed tab is told detached now, once.
        bar.removeAttachedButton(button);
        if (auto d = bar.delegate(); d && origin.tabView && origin.item && origin.wasClosed())
            d->tabViewDidDetachTabViewItem(*origin.tabView, *origin.item);
        bar.update(false);
    }
    bar.updateTabStateMaskOfAttachedButtons();
    bar.setNeedsDisplay(true);
}

long QFTabDragAssistant::moveAttachedTabBarButton(QFAttachedTabBarButton& button, QFTabBarView& bar, long from, long to)
{
    if (from == to)
        return from;
    if (m_slideButtonsAnimation) {
        m_slideButtonsAnimation->setDelegate(nullptr);
        m_slideButtonsAnimation->stopAnimation();
        m_slideButtonsAnimation.reset();
    }
    const gfx::Axis axis = bar.barAxis();
    auto ordered = bar.orderedAttachedButtons();
    const long n = long(ordered.size());
    const double amount = gfx::lengthAlong(button.frame(), axis);
    std::vector<std::shared_ptr<QFAttachedTabBarButton>> moved;
    long target = to;
    if (from < to) {
        target = std::min(n - 1, to);
        for (long i = from + 1; i <= target; ++i)
            moved.push_back(ordered[std::size_t(i)]);
    } else {
        for (long i = to; i <= from - 1 && i < n; ++i)
            moved.push_back(ordered[std::size_t(i)]);
    }
    for (const auto& other : moved) {
        if (other.get() == &button)
            continue;
        other->setStackingFrame(gfx::offsetAlong(other->stackingFrame(), axis, from < to ? -amount : amount));
        other->slideAnimationWillStart();
    }
    std::erase_if(moved, [&](const auto& other) { return other.get() == &button; });
    if (!moved.empty()) {
        gfx::Rect mine = button.stackingFrame();
        const gfx::Rect sliding = button.slidingFrame();
        // After the last button that moved up, or before the first that moved down.
        if (from < to)
            mine = gfx::withMinAlong(mine, axis, gfx::maxAlong(moved.back()->stackingFrame(), axis));
        else
            mine = gfx::withMinAlong(
                mine, axis, gfx::minAlong(moved.front()->stackingFrame(), axis) - gfx::lengthAlong(sliding, axis));
        button.setStackingFrame(mine);
    }
    bar.updateTabStateMaskOfAttachedButtons();
    m_slideButtonsAnimation = QFSlideButtonsAnimation::create(moved);
    m_slideButtonsAnimation->setDelegate(std::static_pointer_cast<ui::AnimationDelegate>(self()));
    m_slideButtonsAnimation->startAnimation();
    return target;
}

void QFTabDragAssistant::slideBackTabBarButton(QFAttachedTabBarButton& button, QFTabBarView&)
{
    if (m_slideButtonsAnimation) {
        m_slideButtonsAnimation->setDelegate(nullptr);
        m_slideButtonsAnimation->stopAnimation();
        m_slideButtonsAnimation.reset();
    }
    button.slideAnimationWillStart();
    m_slideButtonsAnimation = QFSlideButtonsAnimation::create(
        { std::static_pointer_cast<QFAttachedTabBarButton>(button.shared_from_this()) });
    m_slideButtonsAnimation->setDuration(0.05);
    m_slideButtonsAnimation->setDelegate(std::static_pointer_cast<ui::AnimationDelegate>(self()));
    m_slideButtonsAnimation->startAnimation();
}

void QFTabDragAssistant::stopSlidingButtonsOf(const QFTabBarView& bar)
{
    if (!m_slideButtonsAnimation)
        return;
    for (const auto& dictionary : m_slideButtonsAnimation->viewAnimations())
        if (auto button = dictionary.get(ui::ViewAnimationKey::Target).objectAs<QFAttachedTabBarButton>();
            button && button->tabBarView().get() == &bar) {
            auto keep = m_slideButtonsAnimation;
            keep->stopAnimation();
            return;
        }
}

void QFTabDragAssistant::animationDidStop(ui::Animation& animation)
{
    finalizeAnimation(animation);
}

void QFTabDragAssistant::animationDidEnd(ui::Animation& animation)
{
    finalizeAnimation(animation);
}

void QFTabDragAssistant::finalizeAnimation(ui::Animation& animation)
{
    if (!m_slideButtonsAnimation || &animation != m_slideButtonsAnimation.get())
        return;
    auto keep = m_slideButtonsAnimation;
    std::shared_ptr<QFTabBarView> bar;
    for (const auto& dictionary : keep->viewAnimations()) {
        if (auto button = dictionary.get(ui::ViewAnimationKey::Target).objectAs<QFAttachedTabBarButton>()) {
            button->slideAnimationDidEnd();
            if (auto enclosing = button->tabBarView())
                bar = enclosing;
        }
    }
    if (bar) {
        bar->updateTabStateMaskOfAttachedButtons();
        auto ordered = bar->orderedAttachedButtons();
        const bool overflowing = long(ordered.size()) < bar->numberOfTabViewItems();
        for (std::size_t i = 0; i < ordered.size(); ++i)
            ordered[i]->setIsOverflowButton(overflowing && i + 1 == ordered.size());
    }
    m_slideButtonsAnimation.reset();
}

// Tearing off.

void QFTabDragAssistant::dragDetachedButton(QFAttachedTabBarButton& button, QFTabBarView& bar, const ui::Event& event)
{
    auto keepButton = std::static_pointer_cast<QFAttachedTabBarButton>(button.shared_from_this());
    auto keepBar = std::static_pointer_cast<QFTabBarView>(bar.shared_from_this());
    m_isDragging = true;
    auto image = button.dragImage();
    const gfx::Point origin = button.frame().origin;
    bar.removeAttachedButton(button);
    bar.update();
    m_currentTearOffStyle = bar.tearOffStyle();
    m_draggedTab = QFTabDragWindowController::create(image, ui::WindowStyleMask::Borderless, m_currentTearOffStyle);
    // What the person sees is the drag window; the drag itself carries a transparent point.
    auto transparent = gfx::Image::imageWithSize({ 1, 1 });
    auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    m_dragPointer.pressedAt(event.locationOnScreen());
    ui::dragImage(
        bar, transparent, origin, {}, event, pasteboard, std::static_pointer_cast<fnd::Object>(keepBar), false);
}

void QFTabDragAssistant::draggedImageBeganAt(gfx::Point point, QFTabBarView& bar)
{
    if (!m_draggedTab)
        return;
    m_dragPointer.imageBeganAt(point);
    tbcore::moveDragWindows(*m_draggedTab, nullptr, point, m_dragPointer.pointerFor(point), false, {});
    m_draggedTab->window()->orderFront();
    if (!m_pasteboardItem)
        return;
    if (bar.numberOfTabViewItems() == 1) {
        draggingExited(bar, m_pasteboardItem);
        return;
    }
    // A window-system drag would begin over the source bar and leave it at the first move; ours begins where the
    // tab tore off, outside the bar, so the bar is left now and the drag windows come up at once.
    const gfx::Point mouse = m_tearOffPoint;
    auto w = bar.window();
    const bool overBar
        = w && bar.mouseInRect(bar.convertPointFromView(w->convertScreenToBase(mouse), nullptr), bar.bounds());
    if (!overBar) {
        bar.setDestinationIndexForDraggedItem(m_pasteboardItem->sourceIndex);
        draggingExited(bar, m_pasteboardItem);
    }
}

void QFTabDragAssistant::draggedImageMovedTo(gfx::Point point)
{
    if (m_draggedTab)
        tbcore::moveDragWindows(*m_draggedTab, m_draggedView.get(), point, m_dragPointer.pointerFor(point),
            m_centersDragWindows, m_dragWindowOffset);
}

void QFTabDragAssistant::draggedImageEndedAt(gfx::Point point, ui::DragOperation)
{
    if (!m_isDragging || !m_pasteboardItem)
        return;
    auto item = m_pasteboardItem;
    // A tab the program closed while it was carried (or whose tab view it took from the bar) goes nowhere.
    if (draggedTabHasDeparted(*item)) {
        endDragOfDepartedTab(item);
        return;
    }
    auto source = item->sourceTabBar;
    auto button = item->attachedTabBarButton;
    auto tabItem = button ? button->tabViewItem() : nullptr;
    auto delegate = source ? source->delegate() : nullptr;
    auto sourceTabs = source ? source->tabView() : nullptr;
    const gfx::Point pointer = m_dragPointer.pointerFor(point);
    // Let go over a bar that could not take it (it has no tab view), the tab goes back rather than into a new bar.
    auto under = tbcore::barUnderScreenPoint<QFTabBarView>(pointer);
    bool putBack = true;
    if (!m_destinationTabBar && !(under && !under->tabView()) && delegate && sourceTabs && tabItem) {
        if (auto answer = delegate->tabViewNewTabBarViewForDraggedTabViewItem(*sourceTabs, *tabItem, point)) {
            if (auto newBar = *answer) {
                putBack = false;
                source->setIsReorderingTabViewItems(true);
                source->removeTabViewItem(tabItem);
                source->setIsReorderingTabViewItems(false);
                source->update(false);
                newBar->insertAttachedButton(button, 0);
                newBar->update(false);
                if (auto w = newBar->window()) {
                    if (m_currentTearOffStyle == 1)
                        expandWindow(*w, pointer);
                    else
                        w->makeKeyAndOrderFront();
                }
                delegate->tabViewDidDropTabViewItem(*sourceTabs, *tabItem, *newBar);
            } else {
                fnd::log(fnd::LogLevel::Warning, "Delegate returned no control to add to.");
            }
        }
    }
    if (putBack)
        putBackInSourceBar(*item);
    fnd::NotificationCenter::defaultCenter().postNotificationName(QFTabDragDidEndNotification);
    finishDragOfPasteboardItem(item);
}

bool QFTabDragAssistant::draggedTabHasDeparted(const QFTabPasteboardItem& item) const
{
    return m_origin.hasDeparted(item.sourceTabBar ? item.sourceTabBar->tabView().get() : nullptr);
}

void QFTabDragAssistant::endDragOfDepartedTab(const std::shared_ptr<QFTabPasteboardItem>& item)
{
    // Torn off, its button left the bar, so no update of the bar finds it and tells the delegate: that is done once
    // the drag is over.
    const auto origin = m_origin;
    auto source = item->sourceTabBar;
    auto delegate = source ? source->delegate() : nullptr;
    auto button = item->attachedTabBarButton;
    const bool inBar = button && button->superview() && button->superview() == source;
    fnd::NotificationCenter::defaultCenter().postNotificationName(QFTabDragDidEndNotification);
    finishDragOfPasteboardItem(item);
    if (!inBar && delegate && origin.tabView && origin.item && origin.wasClosed())
        delegate->tabViewDidDetachTabViewItem(*origin.tabView, *origin.item);
}

void QFTabDragAssistant::putBackInSourceBar(const QFTabPasteboardItem& item)
{
    auto source = item.sourceTabBar;
    auto button = item.attachedTabBarButton;
    if (!source || !button || button->superview().get() == source.get())
        return;
    auto tabItem = button->tabViewItem();
    if (button->superview())
        button->removeFromSuperview();
    source->addSubview(button);
    button->setStyle(source->style());
    if (tabItem)
        source->bindPropertiesOfAttachedButton(*button, *tabItem);
    source->update(false);
}

// Destination callbacks.

std::shared_ptr<QFTabPasteboardItem> QFTabDragAssistant::pasteboardItemOf(ui::DraggingInfo& info) const
{
    auto pasteboard = info.draggingPasteboard();
    if (!pasteboard)
        return nullptr;
    for (const auto& item : pasteboard->pasteboardItems())
        if (auto tab = std::dynamic_pointer_cast<QFTabPasteboardItem>(item))
            return tab;
    return nullptr;
}

ui::DragOperation QFTabDragAssistant::draggingEntered(ui::DraggingInfo& info, QFTabBarView& bar)
{
    auto item = pasteboardItemOf(info);
    if (!item || !item->attachedTabBarButton)
        return ui::DragOperations::None;
    const gfx::Point p = bar.convertPointFromView(info.draggingLocation(), nullptr);
    const long index = destinationIndexForButton(item->attachedTabBarButton.get(), p, bar);
    if (index == fnd::NotFound)
        return ui::DragOperations::None;
    auto delegate = bar.delegate();
    auto tabs = bar.tabView();
    auto tabItem = item->attachedTabBarButton->tabViewItem();
    // A bar without a tab view has nowhere to put the tab's item.
    if (!tabs || (tabItem && tbcore::liesInsideTabPage(bar, *tabItem)))
        return ui::DragOperations::None;
    if (delegate && tabs && tabItem && !delegate->tabViewValidateDrop(*tabs, info, *tabItem, index, bar).value_or(true))
        return ui::DragOperations::None;
    if (m_draggedTab || m_draggedView)
        endDraggingWindow(item);
    m_destinationTabBar = std::static_pointer_cast<QFTabBarView>(bar.shared_from_this());
    m_currentMouseLocation = p;
    if (index != bar.destinationIndexForDraggedItem()) {
        bar.setDestinationIndexForDraggedItem(index);
        bar.update(true);
    }
    return ui::DragOperations::Move;
}

ui::DragOperation QFTabDragAssistant::draggingUpdated(ui::DraggingInfo& info, QFTabBarView& bar)
{
    auto item = pasteboardItemOf(info);
    if (!item || !item->attachedTabBarButton)
        return ui::DragOperations::None;
    const gfx::Point p = bar.convertPointFromView(info.draggingLocation(), nullptr);
    long index = destinationIndexForButton(item->attachedTabBarButton.get(), p, bar);
    // Validated by the bar the pointer is over, as on entering.
    auto delegate = bar.delegate();
    auto tabs = bar.tabView();
    auto tabItem = item->attachedTabBarButton->tabViewItem();
    bool refused = index == fnd::NotFound || !tabs || (tabItem && tbcore::liesInsideTabPage(bar, *tabItem));
    if (!refused && delegate && tabs && tabItem)
        refused = !delegate->tabViewValidateDrop(*tabs, info, *tabItem, index, bar).value_or(true);
    const long previous = bar.destinationIndexForDraggedItem();
    if (refused) {
        if (m_destinationTabBar.get() == &bar)
            m_destinationTabBar.reset();
        index = fnd::NotFound;
        if (previous != fnd::NotFound)
            draggingExited(bar, item);
    } else if (previous == fnd::NotFound) {
        draggingEntered(info, bar);
    }
    m_currentMouseLocation = p;
    if (index != bar.destinationIndexForDraggedItem()) {
        bar.setDestinationIndexForDraggedItem(index);
        bar.update(true);
    }
    return refused ? ui::DragOperations::None : ui::DragOperations::Move;
}

void QFTabDragAssistant::draggingExitedTabBarView(QFTabBarView& bar, ui::DraggingInfo& info)
{
    draggingExited(bar, pasteboardItemOf(info));
}

void QFTabDragAssistant::draggingExited(QFTabBarView& bar, const std::shared_ptr<QFTabPasteboardItem>& item)
{
    fnd::assertThat(item != nullptr, "Invalid parameter not satisfying: pasteboardItem != nil");
    if (!item)
        return;
    const bool isSource = item->sourceTabBar.get() == &bar;
    auto tabItem = item->attachedTabBarButton ? item->attachedTabBarButton->tabViewItem() : nullptr;
    if (isSource && tabItem) {
        auto delegate = bar.delegate();
        auto tabs = bar.tabView();
        if (delegate && tabs
            && !delegate->tabViewShouldAllowTabViewItemToLeaveTabBarView(*tabs, *tabItem, bar).value_or(true))
            return;
    }
    const bool sourceWindowsOwnDrag = isSource && bar.numberOfTabViewItems() == 1;
    if (!sourceWindowsOwnDrag && bar.destinationIndexForDraggedItem() == fnd::NotFound)
        return;
    if (m_destinationTabBar.get() == &bar)
        m_destinationTabBar.reset();
    bar.setDestinationIndexForDraggedItem(fnd::NotFound);
    bar.update(true);
    beginDraggingWindow(item, sourceWindowsOwnDrag);
}

bool QFTabDragAssistant::performDragOperation(ui::DraggingInfo& info, QFTabBarView& bar)
{
    auto item = pasteboardItemOf(info);
    if (!item || !item->attachedTabBarButton || !m_destinationTabBar)
        return false;
    auto keep = self();
    auto destination = m_destinationTabBar;
    auto button = item->attachedTabBarButton;
    auto source = item->sourceTabBar;
    auto tabItem = button->tabViewItem();
    const gfx::Point p = destination->convertPointFromView(info.draggingLocation(), nullptr);
    long index = destinationIndexForButton(button.get(), p, *destination);
    if (index == fnd::NotFound)
        index = destination->destinationIndexForDraggedItem();
    bar.setDestinationIndexForDraggedItem(fnd::NotFound);
    destination->setDestinationIndexForDraggedItem(fnd::NotFound);
    // A tab the program closed while it was carried (or whose tab view it took from the bar) is not taken, and the
    // room the bar made for it closes.
    if (draggedTabHasDeparted(*item)) {
        destination->update();
        endDragOfDepartedTab(item);
        return false;
    }
    // A bar without a tab view has nowhere to put the item.
    auto tabs = destination->tabView();
    bool accepted = index != fnd::NotFound && tabItem && tabs;
    auto delegate = destination->delegate();
    if (accepted && delegate)
        accepted = delegate->tabViewValidateDrop(*tabs, info, *tabItem, index, *destination).value_or(true);
    if (!accepted) {
        // Refused: the room the bar made closes, and the tab goes back where it came from.
        destination->update();
        putBackInSourceBar(*item);
        fnd::NotificationCenter::defaultCenter().postNotificationName(QFTabDragDidEndNotification);
        finishDragOfPasteboardItem(item);
        return false;
    }
    if (source) {
        source->setIsReorderingTabViewItems(true);
        source->removeTabViewItem(tabItem);
        source->setIsReorderingTabViewItems(false);
        if (source != destination)
            source->update(false);
    }
    destination->setIsReorderingTabViewItems(true);
    if (button->superview())
        button->removeFromSuperview();
    destination->insertAttachedButton(button, index);
    destination->setIsReorderingTabViewItems(false);
    destination->update(false);
    if (source && !(source == destination && index == item->sourceIndex))
        if (auto sourceDelegate = source->delegate(); sourceDelegate && source->tabView())
            sourceDelegate->tabViewDidDropTabViewItem(*source->tabView(), *tabItem, *destination);
    fnd::NotificationCenter::defaultCenter().postNotificationName(QFTabDragDidEndNotification);
    finishDragOfPasteboardItem(item);
    return true;
}

// Drag windows.

std::shared_ptr<gfx::Image> QFTabDragAssistant::miniwindowImageOfWindow(ui::Window& window)
{
    return ui::captureWindowImage(window);
}

std::shared_ptr<gfx::Image> QFTabDragAssistant::imageForViewOfAttachedButton(
    QFAttachedTabBarButton& button, QFTabBarView& bar, unsigned& styleMask)
{
    styleMask = ui::WindowStyleMask::Borderless;
    auto tabItem = button.tabViewItem();
    auto delegate = bar.delegate();
    auto tabs = bar.tabView();
    std::shared_ptr<gfx::Image> image;
    if (delegate && tabs && tabItem) {
        m_dragWindowOffset = {};
        if (auto answer = delegate->tabViewImageForTabViewItem(*tabs, *tabItem, m_dragWindowOffset, styleMask)) {
            image = *answer;
            if (image && m_draggedTab) {
                auto tabImage = m_draggedTab->image();
                const gfx::Size tabSize = tabImage ? tabImage->size() : gfx::Size {};
                double x = m_dragWindowOffset.width;
                double y = image->size().height - m_dragWindowOffset.height;
                if (tabDragIsHorizontal(bar)) {
                    const double difference = bar.heightOfTabBarButtons() - tabSize.height;
                    y += difference;
                    m_dragWindowOffset.height -= difference;
                } else {
                    x += bar.frame().width() - tabSize.width;
                }
                if (tabImage) {
                    image->lockFocus();
                    tabImage->drawAtPoint({ x, y }, {}, gfx::CompositingOperation::SourceOver, 1.0);
                    image->unlockFocus();
                }
            }
        }
    }
    if (!image && tabItem && tabItem->view()) {
        auto& view = *tabItem->view();
        image = gfx::Image::imageWithSize(view.frame().size);
        if (auto bitmap = view.bitmapImageRepForCachingDisplayInRect(view.bounds())) {
            view.cacheDisplayInRect(view.bounds(), *bitmap);
            image = gfx::Image::imageWithRepresentation(bitmap);
            image->setSize(view.frame().size);
        }
    }
    if (styleMask != ui::WindowStyleMask::Borderless)
        m_dragWindowOffset.height += 22.0;
    return image;
}

void QFTabDragAssistant::beginDraggingWindow(const std::shared_ptr<QFTabPasteboardItem>& item, bool isSourceWindow)
{
    auto button = item->attachedTabBarButton;
    auto source = item->sourceTabBar;
    if (!button || !source)
        return;
    if (m_fadeTimer) {
        startFade(true);
        return;
    }
    if (m_currentTearOffStyle == 1 && m_draggedTab && !m_draggedTab->alternateImage()) {
        auto w = source->window();
        auto miniature = tbcore::windowMiniature(w ? miniwindowImageOfWindow(*w) : nullptr, [&] {
            unsigned mask = 0;
            return imageForViewOfAttachedButton(*button, *source, mask);
        });
        if (miniature)
            m_draggedTab->setAlternateImage(miniature);
    }
    if (m_currentTearOffStyle == 0) {
        if (!m_draggedView) {
            unsigned mask = ui::WindowStyleMask::Borderless;
            auto image = imageForViewOfAttachedButton(*button, *source, mask);
            if (image) {
                m_draggedView = QFTabDragWindowController::create(image, mask, 0);
                m_draggedView->window()->setAlphaValue(0.0);
            }
        }
        if (m_draggedView && m_draggedTab) {
            const gfx::Rect tab = m_draggedTab->window()->frame();
            auto& content = *m_draggedView->window();
            const gfx::Rect f = content.frame();
            const gfx::Point topLeft { tab.minX() - m_dragWindowOffset.width, tab.minY() + m_dragWindowOffset.height };
            content.setFrame({ topLeft.x, topLeft.y - f.height(), f.width(), f.height() }, false);
            content.orderWindow(ui::WindowOrderingMode::Below, m_draggedTab->window()->windowNumber());
        }
    }
    auto delegate = source->delegate();
    auto tabs = source->tabView();
    auto tabItem = button->tabViewItem();
    if (isSourceWindow && delegate && tabs && tabItem && delegate->makesNewTabBarViews()) {
        // Only a delegate that can make a new window lets the source window go while its only tab floats.
        if (auto w = source->window()) {
            w->orderOut();
            m_steppedAsideWindow = w;
        }
        if (m_currentTearOffStyle == 0) {
            if (m_draggedView)
                m_draggedView->window()->setAlphaValue(0.75);
            return;
        }
    } else if (m_currentTearOffStyle == 0) {
        startFade(true);
        return;
    }
    if (m_currentTearOffStyle == 1 && m_draggedTab) {
        m_draggedTab->switchImages();
        m_centersDragWindows = true;
    }
}

void QFTabDragAssistant::endDraggingWindow(const std::shared_ptr<QFTabPasteboardItem>&)
{
    if (m_currentTearOffStyle == 1 && m_draggedTab) {
        if (m_draggedTab->isShowingAlternate())
            m_draggedTab->switchImages();
    } else if (m_currentTearOffStyle == 0 && m_draggedView) {
        stopFade();
        if (m_draggedTab)
            m_draggedTab->window()->orderFront();
        startFade(false);
    }
}

void QFTabDragAssistant::startFade(bool fadeIn)
{
    stopFade();
    m_fadingIn = fadeIn;
    std::weak_ptr<QFTabDragAssistant> weak = self();
    m_fadeTimer = fnd::Timer::create(tbcore::DragFade::Interval, true, [weak](fnd::Timer&) {
        auto assistant = weak.lock();
        if (!assistant || !assistant->m_draggedView) {
            if (assistant)
                assistant->stopFade();
            return;
        }
        auto& content = *assistant->m_draggedView->window();
        double contentAlpha = content.alphaValue();
        double tabAlpha = assistant->m_draggedTab ? assistant->m_draggedTab->window()->alphaValue() : 0;
        const bool goOn = assistant->m_fadingIn
            ? tbcore::DragFade::stepIn(tabAlpha, contentAlpha, assistant->m_draggedTab != nullptr)
            : tbcore::DragFade::stepOut(tabAlpha, contentAlpha);
        content.setAlphaValue(contentAlpha);
        if (assistant->m_draggedTab)
            assistant->m_draggedTab->window()->setAlphaValue(tabAlpha);
        if (!goOn)
            assistant->stopFade();
    });
    fnd::RunLoop::current().addTimer(m_fadeTimer, fnd::RunLoopMode::Common);
}

void QFTabDragAssistant::stopFade()
{
    if (m_fadeTimer)
        m_fadeTimer->invalidate();
    m_fadeTimer.reset();
}

void QFTabDragAssistant::expandWindow(ui::Window& window, gfx::Point point)
{
    const gfx::Rect f = window.frame();
    window.setFrame({ point.x - f.width() / 2, point.y + f.height() / 2 - f.height(), f.width(), f.height() }, true);
    window.setAlphaValue(0.0);
    window.makeKeyAndOrderFront();
    // A fade-in runs to the alpha the window has when it starts (and shows it at 0 from its first frame): full.
    window.setAlphaValue(1.0);
    auto fadeIn = ui::ViewAnimation::create(
        { { { ui::ViewAnimationKey::Target,
                fnd::Value(std::static_pointer_cast<fnd::Object>(window.shared_from_this())) },
            { ui::ViewAnimationKey::Effect, ui::ViewAnimationEffect::FadeIn } } });
    fadeIn->setDuration(0.25);
    fadeIn->startAnimation();
}

void QFTabDragAssistant::finishDragOfPasteboardItem(const std::shared_ptr<QFTabPasteboardItem>& item)
{
    auto keep = self();
    if (item && item->sourceTabBar) {
        auto source = item->sourceTabBar;
        // Changes the program made meanwhile (tabs closed, the tab view taken away) are shown and told now: the
        // window may go, or stay unseen and never lay itself out.
        if (source->needsUpdate())
            source->update(false);
        auto tabs = source->tabView();
        auto delegate = source->delegate();
        auto tabItem = item->attachedTabBarButton ? item->attachedTabBarButton->tabViewItem() : nullptr;
        if (tabs && tabs->numberOfTabViewItems() == 0 && delegate && tabItem)
            delegate->tabViewCloseWindowForLastTabViewItem(*tabs, *tabItem);
    }
    // The window that stepped aside for its only tab comes back while it has tabs (its tab put back, or tabs the
    // program added meanwhile); emptied, it stays away for the delegate to close.
    if (auto w = m_steppedAsideWindow.lock(); w && !w->isVisible()) {
        auto source = item ? item->sourceTabBar : nullptr;
        auto shown = source ? source->tabView() : nullptr;
        if ((m_origin.tabView && m_origin.tabView->numberOfTabViewItems() > 0)
            || (shown && shown->numberOfTabViewItems() > 0))
            w->orderFront();
    }
    m_steppedAsideWindow.reset();
    m_origin = {};
    stopFade();
    if (m_draggedTab) {
        m_draggedTab->stop();
        m_draggedTab->window()->orderOut();
    }
    if (m_draggedView) {
        m_draggedView->stop();
        m_draggedView->window()->orderOut();
    }
    m_draggedTab.reset();
    m_draggedView.reset();
    m_centersDragWindows = false;
    m_isDragging = false;
    m_isSliding = false;
    m_pasteboardItem.reset();
    auto former = m_destinationTabBar;
    m_destinationTabBar.reset();
    if (former && former->destinationIndexForDraggedItem() != fnd::NotFound) {
        // The room the bar made for the tab closes again.
        former->setDestinationIndexForDraggedItem(fnd::NotFound);
        former->update();
    }
    // Their updates during the drag left the selection as it was: the bars show theirs again in their next pass.
    if (auto source = item ? item->sourceTabBar : nullptr)
        source->setNeedsUpdate(true);
    if (former)
        former->setNeedsUpdate(true);
}
