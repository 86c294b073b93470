#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"

#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabControls.h"
#include "frameworks/ZTBTabBarControl/ZTBTabDragAssistant.h"
#include "frameworks/tab-bar-core/TabBarArchiving.h"
#include "frameworks/tab-bar-core/TabBarGeometry.h"
#include "frameworks/tab-bar-core/TabNesting.h"
#include "frameworks/tab-bar-core/TabResources.h"
#include "frameworks/tab-bar-core/TabShapes.h"
#include "frameworks/tab-bar-core/TabWidths.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/Axis.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/views/Animation.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

// Update cycle.

void ZTBTabBarControl::update(bool animate)
{
    if (!m_tabView || long(m_cells.size()) != m_tabView->numberOfTabViewItems())
        return;
    if (m_hideForSingleTab && m_cells.size() < 2) {
        hideTabBar(true, true);
        return;
    }
    hideTabBar(false, true);
    removeAllToolTips();
    m_controller->layoutCells();
    m_overflowPopUpButton->setMenu(m_controller->overflowMenu());
    m_overflowPopUpButton->setHidden(m_controller->overflowMenu() == nullptr);
    if (m_animationTimer) {
        m_animationTimer->invalidate();
        m_animationTimer.reset();
    }
    if (animate) {
        m_animationTargets.clear();
        for (long i = 0; i < long(m_cells.size()); ++i)
            m_animationTargets.push_back(m_controller->cellFrameAtIndex(i));
        m_addTabButton->setHidden(!m_showAddTabButton);
        m_animation = ui::Animation::create(0.5, ui::AnimationCurve::EaseInOut);
        m_animation->setAnimationBlockingMode(ui::AnimationBlockingMode::Nonblocking);
        m_animation->startAnimation();
        std::weak_ptr<ZTBTabBarControl> weak = self();
        m_animationTimer = fnd::Timer::create(1.0 / 30.0, true, [weak](fnd::Timer&) {
            if (auto bar = weak.lock())
                bar->animateCellsStep();
        });
        // Also while the mouse is held down.
        fnd::RunLoop::current().addTimer(m_animationTimer, fnd::RunLoopMode::Common);
        animateCellsStep();
        return;
    }
    for (long i = 0; i < long(m_cells.size()); ++i) {
        m_cells[std::size_t(i)]->setFrame(m_controller->cellFrameAtIndex(i));
        if (!m_cells[std::size_t(i)]->isInOverflowMenu())
            _setupTrackingRectsForCell(*m_cells[std::size_t(i)], i);
    }
    m_addTabButton->setFrame(m_controller->addButtonRect());
    m_addTabButton->setHidden(!m_showAddTabButton);
    setNeedsDisplay(true);
}

void ZTBTabBarControl::setNeedsUpdate()
{
    m_needsUpdate = true;
    setNeedsLayout(true);
}

void ZTBTabBarControl::layout()
{
    ZTBTabBarControlBase::layout();
    if (m_windowUpdatePending) {
        m_windowUpdatePending = false;
        windowDidUpdate();
    }
    if (!m_needsUpdate)
        return;
    m_needsUpdate = false;
    update();
}

void ZTBTabBarControl::animateCellsStep()
{
    if (!m_animation)
        return;
    const double p = m_animation->currentProgress();
    const bool running = m_animation->isAnimating();
    const gfx::Point mouse = mouseInBar();
    const std::size_t n = std::min(m_animationTargets.size(), m_cells.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto& cell = *m_cells[i];
        gfx::Rect f = cell.frame();
        const gfx::Rect t = m_animationTargets[i];
        const double k = running ? p : 1.0;
        const gfx::Axis axis = barAxis();
        f = gfx::withMinAlong(f, axis, gfx::minAlong(f, axis) + k * (gfx::minAlong(t, axis) - gfx::minAlong(f, axis)));
        f = gfx::withLengthAlong(
            f, axis, gfx::lengthAlong(f, axis) + k * (gfx::lengthAlong(t, axis) - gfx::lengthAlong(f, axis)));
        cell.setFrame(f);
        cell.setHighlighted(gfx::pointInRect(mouse, f));
        cell.setCloseButtonOver(gfx::pointInRect(mouse, cell.closeButtonRectForFrame(f)));
    }
    if (m_showAddTabButton) {
        gfx::Rect a = m_addTabButton->frame();
        a.origin.x += (running ? p : 1.0) * (m_controller->addButtonRect().minX() - a.minX());
        m_addTabButton->setFrame(a);
    }
    if (!running) {
        m_animationTimer->invalidate();
        m_animationTimer.reset();
        m_animation.reset();
        const auto cells = m_cells;
        for (std::size_t i = 0; i < cells.size() && !cells[i]->isInOverflowMenu(); ++i)
            _setupTrackingRectsForCell(*cells[i], long(i));
    }
    setNeedsDisplay(true);
}

// Hiding and showing.

namespace {

// A collapsed bar keeps a strip of one point, which the pointer can still find.
constexpr double ZTBTabBarControlCollapsedStrip = 1.0;

}

bool ZTBTabBarControl::collapsedFrames(bool hide, gfx::Rect& bar, gfx::Rect& partner)
{
    auto w = window();
    if (!m_partnerView && !w)
        return false;
    bar = frame();
    partner = m_partnerView ? m_partnerView->frame() : w->frame();
    const bool vertical = m_orientation == 1;
    double thickness;
    if (vertical) {
        if (hide)
            m_tabBarWidth = long(bar.width());
        thickness = double(m_tabBarWidth);
        // The delegate may ask for another width to come back with.
        if (!hide)
            if (auto delegate = this->delegate())
                if (auto width = delegate->desiredWidthForVerticalTabBar(*this))
                    thickness = *width;
    } else {
        if (hide)
            m_hiddenBarHeight = bar.height();
        thickness = m_hiddenBarHeight > 0 ? m_hiddenBarHeight : bar.height();
    }
    // A collapsed bar's strip stays on the side of the partner the bar was on.
    const auto placement
        = m_partnerView ? tbcore::partnerPlacement(bar, partner, vertical, thickness) : tbcore::HideShowPartner::Window;
    const auto frames
        = tbcore::hideShowFrames(bar, partner, vertical, placement, hide, thickness, ZTBTabBarControlCollapsedStrip);
    bar = frames.bar;
    partner = frames.partner;
    return true;
}

void ZTBTabBarControl::hideTabBar(bool hide, bool animate)
{
    if (!m_awakenedFromNib || m_isHidden == hide || m_currentStep != -1)
        return;
    for (const auto& subview : std::vector(subviews()))
        subview->removeFromSuperview();
    m_isHidden = hide;
    m_currentStep = animate ? 0 : 3;
    if (!hide && !animate) {
        addSubview(m_overflowPopUpButton);
        addSubview(m_addTabButton);
    }
    gfx::Rect barTarget, partnerTarget;
    if (!collapsedFrames(hide, barTarget, partnerTarget))
        barTarget = partnerTarget = frame();
    auto w = window();
    const gfx::Rect b = frame();
    const gfx::Rect p = m_partnerView ? m_partnerView->frame() : (w ? w->frame() : partnerTarget);
    ShowHideValues& v = m_showHide;
    const bool vertical = m_orientation == 1;
    // A horizontal bar collapses along y, a vertical one along x.
    const gfx::Axis axis = vertical ? gfx::Axis::X : gfx::Axis::Y;
    auto origin = [axis](gfx::Rect r) { return gfx::minAlong(r, axis); };
    auto size = [axis](gfx::Rect r) { return gfx::lengthAlong(r, axis); };
    v.myOriginalOrigin = origin(b), v.myOriginalSize = size(b);
    v.partnerOriginalOrigin = origin(p), v.partnerOriginalSize = size(p);
    v.myTargetOrigin = origin(barTarget), v.myTargetSize = size(barTarget);
    v.partnerTargetOrigin = origin(partnerTarget), v.partnerTargetSize = size(partnerTarget);
    if (m_showHideAnimationTimer)
        m_showHideAnimationTimer->invalidate();
    std::weak_ptr<ZTBTabBarControl> weak = self();
    m_showHideAnimationTimer = fnd::Timer::scheduled(1.0 / 30.0, true, [weak](fnd::Timer&) {
        if (auto bar = weak.lock())
            bar->animateShowHideStep();
    });
}

void ZTBTabBarControl::animateShowHideStep()
{
    const double s = double(m_currentStep) / 3.0;
    const ShowHideValues& v = m_showHide;
    const double myOrigin = v.myOriginalOrigin + s * (v.myTargetOrigin - v.myOriginalOrigin);
    const double mySize = v.myOriginalSize + s * (v.myTargetSize - v.myOriginalSize);
    const double partnerOrigin = v.partnerOriginalOrigin + s * (v.partnerTargetOrigin - v.partnerOriginalOrigin);
    const double partnerSize = v.partnerOriginalSize + s * (v.partnerTargetSize - v.partnerOriginalSize);
    const gfx::Axis axis = m_orientation == 1 ? gfx::Axis::X : gfx::Axis::Y;
    auto along = [axis](gfx::Rect r, double origin, double size) {
        return gfx::withLengthAlong(gfx::withMinAlong(r, axis, origin), axis, size);
    };
    if (m_partnerView) {
        m_partnerView->setFrame(along(m_partnerView->frame(), partnerOrigin, partnerSize));
        m_partnerView->setNeedsDisplay(true);
    } else if (auto w = window()) {
        w->setFrame(along(w->frame(), partnerOrigin, partnerSize), true);
    }
    setFrame(along(frame(), myOrigin, mySize));
    if (++m_currentStep == 4)
        finishShowHide();
    if (auto w = window())
        w->display();
}

void ZTBTabBarControl::finishShowHide()
{
    m_currentStep = -1;
    if (m_showHideAnimationTimer)
        m_showHideAnimationTimer->invalidate();
    m_showHideAnimationTimer.reset();
    viewDidEndLiveResize();
    update(false);
    auto delegate = this->delegate();
    if (m_isHidden) {
        if (delegate && m_tabView)
            delegate->tabViewTabBarDidHide(*m_tabView, *this);
    } else {
        addSubview(m_overflowPopUpButton);
        addSubview(m_addTabButton);
        if (delegate && m_tabView)
            delegate->tabViewTabBarDidUnhide(*m_tabView, *this);
    }
}

void ZTBTabBarControl::windowDidUpdate()
{
    if (m_awakenedFromNib)
        return;
    gfx::Rect bar, partner;
    if (m_hideForSingleTab && m_cells.size() < 2 && collapsedFrames(true, bar, partner)) {
        // At once: the first collapse after loading is not animated.
        if (m_partnerView) {
            m_partnerView->setFrame(partner);
            m_partnerView->setNeedsDisplay(true);
        } else if (auto w = window()) {
            w->setFrame(partner, true);
        }
        setFrame(bar);
        m_isHidden = true;
        if (auto delegate = this->delegate(); delegate && m_tabView)
            delegate->tabViewTabBarDidHide(*m_tabView, *this);
    }
    m_awakenedFromNib = true;
    setNeedsDisplay(true);
}

// Mouse.

void ZTBTabBarControl::mouseDown(const ui::Event& event)
{
    m_didDrag = false;
    m_lastMouseDownEvent = std::static_pointer_cast<ui::Event>(const_cast<ui::Event&>(event).shared_from_this());
    const gfx::Point p = convertPointFromView(event.locationInWindow(), nullptr);
    if (m_orientation == 1 && m_allowsResizing && m_partnerView && p.x > frame().width() - 3.0) {
        m_resizing = true;
        m_edgeResize.begin(event);
    }
    gfx::Rect cellFrame;
    auto cell = cellForPoint(p, &cellFrame);
    if (!cell || cell->isPlaceholder())
        return;
    const bool selected = m_tabView && cell->representedObject() == m_tabView->selectedTabViewItem();
    if (gfx::pointInRect(p, cell->closeButtonRectForFrame(cellFrame)) && !m_disableTabClose
        && !cell->isCloseButtonSuppressed()
        && (m_allowsBackgroundTabClosing || selected || (event.modifierFlags() & ui::ModifierFlags::Command))) {
        cell->setCloseButtonOver(false);
        cell->setCloseButtonPressed(true);
        m_closeClicked = true;
        setNeedsDisplay(true);
        return;
    }
    cell->setCloseButtonPressed(false);
    if (m_selectsTabsOnMouseDown)
        tabClick(*cell);
    setNeedsDisplay(true);
}

void ZTBTabBarControl::mouseDragged(const ui::Event& event)
{
    if (!m_lastMouseDownEvent)
        return;
    const gfx::Point p = convertPointFromView(event.locationInWindow(), nullptr);
    if (m_resizing) {
        // Pushed once per resize, so the cursor stack does not grow with every move.
        if (!m_resizeCursorPushed) {
            ui::Cursor::resizeLeftRightCursor()->push();
            m_resizeCursorPushed = true;
        }
        m_edgeResize.drag(*this, m_partnerView.get(), event, double(m_cellMinWidth), double(m_cellMaxWidth),
            tbcore::EdgeResize::Limits::Exclusive);
        return;
    }
    const gfx::Point q = convertPointFromView(m_lastMouseDownEvent->locationInWindow(), nullptr);
    gfx::Rect cellFrame;
    auto cell = cellForPoint(q, &cellFrame);
    if (!cell || cell->isPlaceholder())
        return;
    const gfx::Rect close = cell->closeButtonRectForFrame(cellFrame);
    const bool selected = m_tabView && cell->representedObject() == m_tabView->selectedTabViewItem();
    if (m_closeClicked && gfx::pointInRect(q, close) && (m_allowsBackgroundTabClosing || selected)) {
        cell->setCloseButtonPressed(gfx::pointInRect(p, close));
        setNeedsDisplay(true);
        return;
    }
    const double distance = std::hypot(p.x - q.x, p.y - q.y);
    auto assistant = ZTBTabDragAssistant::sharedDragAssistant();
    auto delegate = this->delegate();
    if (distance >= 10.0 && !m_didDrag && !assistant->isDragging() && delegate && m_tabView && cell->representedObject()
        && delegate->tabViewShouldDragTabViewItem(*m_tabView, *cell->representedObject(), *this) == true) {
        m_didDrag = true;
        assistant->startDraggingCell(cell, self(), m_lastMouseDownEvent);
    }
}

void ZTBTabBarControl::mouseUp(const ui::Event& event)
{
    if (m_resizing) {
        m_resizing = false;
        if (m_resizeCursorPushed)
            ui::Cursor::pop();
        m_resizeCursorPushed = false;
        ui::Cursor::arrowCursor()->set();
        return;
    }
    const gfx::Point u = convertPointFromView(event.locationInWindow(), nullptr);
    gfx::Rect upFrame, downFrame;
    auto up = cellForPoint(u, &upFrame);
    const gfx::Point d
        = m_lastMouseDownEvent ? convertPointFromView(m_lastMouseDownEvent->locationInWindow(), nullptr) : u;
    auto down = cellForPoint(d, &downFrame);
    if (up && down && !up->isPlaceholder()) {
        if (gfx::pointInRect(u, down->closeButtonRectForFrame(downFrame)) && !m_disableTabClose
            && !up->isCloseButtonSuppressed() && down->closeButtonPressed()) {
            auto modifiers = currentEvent() ? currentEvent()->modifierFlags() : event.modifierFlags();
            if (modifiers & ui::ModifierFlags::Alternate) {
                for (const auto& cell : std::vector(m_cells))
                    if (cell != up && !cell->isPlaceholder())
                        closeTabClick(*cell);
                up->setCloseButtonPressed(false);
            } else {
                closeTabClick(*up);
            }
        } else if (gfx::pointInRect(u, downFrame)) {
            down->setCloseButtonPressed(false);
            if (!(gfx::pointInRect(d, up->closeButtonRectForFrame(upFrame)) && m_allowsBackgroundTabClosing
                    && !m_disableTabClose)
                && !m_selectsTabsOnMouseDown)
                tabClick(*up);
        } else {
            down->setCloseButtonPressed(false);
        }
    }
    m_closeClicked = false;
}

void ZTBTabBarControl::resetCursorRects()
{
    if (m_orientation == 1)
        addCursorRect({ frame().width() - 2.0, 0, 2.0, frame().height() }, ui::Cursor::resizeLeftRightCursor());
}

// Drag source.

ui::DragOperation ZTBTabBarControl::draggingSourceOperationMaskForLocal(bool isLocal)
{
    return isLocal ? ui::DragOperations::Move : ui::DragOperations::None;
}

void ZTBTabBarControl::draggedImageBeganAt(gfx::Image&, gfx::Point screenPoint)
{
    ZTBTabDragAssistant::sharedDragAssistant()->draggingBeganAt(screenPoint);
}

void ZTBTabBarControl::draggedImageMovedTo(gfx::Image&, gfx::Point screenPoint)
{
    ZTBTabDragAssistant::sharedDragAssistant()->draggingMovedTo(screenPoint);
}

void ZTBTabBarControl::draggedImageEndedAt(gfx::Image&, gfx::Point screenPoint, ui::DragOperation)
{
    ZTBTabDragAssistant::sharedDragAssistant()->draggedImageEndedAt(screenPoint);
}

// Drag destination.

bool ZTBTabBarControl::isTabDrag(ui::DraggingInfo& info) const
{
    auto pasteboard = info.draggingPasteboard();
    if (!pasteboard)
        return false;
    auto types = pasteboard->types();
    return std::find(types.begin(), types.end(), ZTBTabBarControlItemPBType) != types.end();
}

namespace {

bool ztbDropRefused(ZTBTabBarControl& bar, ui::DraggingInfo& info)
{
    // A bar without a tab view has nowhere to put the tab's item.
    if (!bar.tabView())
        return true;
    auto delegate = bar.delegate();
    auto cell = ZTBTabDragAssistant::sharedDragAssistant()->draggedCell();
    if (cell && cell->representedObject() && tbcore::liesInsideTabPage(bar, *cell->representedObject()))
        return true;
    auto source = std::dynamic_pointer_cast<ZTBTabBarControl>(info.draggingSource());
    if (!delegate || !cell || !cell->representedObject() || !source || !source->tabView())
        return false;
    return delegate->tabViewShouldDropTabViewItem(*source->tabView(), *cell->representedObject(), &bar) == false;
}

}

ui::DragOperation ZTBTabBarControl::draggingEntered(ui::DraggingInfo& info)
{
    if (!isTabDrag(info))
        return ui::DragOperations::None;
    // Another program's drag may offer the tab type too (the window system's bridge names unknown types so): with
    // no tab drag of ours running there is no tab to place, and placeholders would stay for good.
    if (!ZTBTabDragAssistant::sharedDragAssistant()->isDragging())
        return ui::DragOperations::None;
    if (ztbDropRefused(*this, info))
        return ui::DragOperations::None;
    ZTBTabDragAssistant::sharedDragAssistant()->draggingEnteredTabBar(
        self(), convertPointFromView(info.draggingLocation(), nullptr));
    return ui::DragOperations::Move;
}

std::optional<ui::DragOperation> ZTBTabBarControl::draggingUpdated(ui::DraggingInfo& info)
{
    const gfx::Point p = convertPointFromView(info.draggingLocation(), nullptr);
    if (isTabDrag(info)) {
        if (!ZTBTabDragAssistant::sharedDragAssistant()->isDragging() || ztbDropRefused(*this, info))
            return ui::DragOperations::None;
        ZTBTabDragAssistant::sharedDragAssistant()->draggingUpdatedInTabBar(self(), p);
        return ui::DragOperations::Move;
    }
    auto cell = cellForPoint(p);
    if (!cell || cell->isPlaceholder())
        return ui::DragOperations::None;
    updateSpring(info, *cell);
    return ui::DragOperations::Copy;
}

void ZTBTabBarControl::updateSpring(ui::DraggingInfo& info, ZTBTabBarCell& cell)
{
    // The space bar held with no modifier springs at once; the key state is read live, outside the event stream.
    const unsigned modifiers = ui::Event::currentModifierFlags() & ui::ModifierFlags::DeviceIndependentMask;
    if (modifiers == 0 && ui::Backend::current().isKeyDown(0x31)) {
        m_spring.springNow();
        return;
    }
    m_spring.dragOver(cell.representedObject(), info.draggingLocation());
}

void ZTBTabBarControl::fireSpring(fnd::Timer& timer)
{
    if (!m_spring.isOwnTimer(timer)) {
        fnd::assertThat(false, "Spring fired by unrecognized timer " + timer.description());
        return;
    }
    auto keep = self();
    // The tab under the drag's latest place: the drag may bring no mouse events of ours (another program's).
    auto cell = cellForPoint(convertPointFromView(m_spring.dragLocation(), nullptr));
    m_spring.forgetItem();
    m_spring.stop();
    if (cell && !cell->isPlaceholder() && cell->representedObject() && m_tabView)
        m_tabView->selectTabViewItem(cell->representedObject());
}

void ZTBTabBarControl::draggingExited(ui::DraggingInfo&)
{
    m_spring.stop();
    ZTBTabDragAssistant::sharedDragAssistant()->draggingExitedTabBar(self());
}

bool ZTBTabBarControl::prepareForDragOperation(ui::DraggingInfo& info)
{
    if (!isTabDrag(info))
        return true;
    return ZTBTabDragAssistant::sharedDragAssistant()->destinationTabBar() != nullptr;
}

bool ZTBTabBarControl::performDragOperation(ui::DraggingInfo& info)
{
    // YES only for a drop that was taken: the source may delete what it moved when told so.
    if (isTabDrag(info)) {
        auto assistant = ZTBTabDragAssistant::sharedDragAssistant();
        return assistant->isDragging() && assistant->performDragOperation();
    }
    auto delegate = this->delegate();
    if (!delegate || !m_tabView)
        return false;
    auto cell = cellForPoint(convertPointFromView(info.draggingLocation(), nullptr));
    return delegate->tabViewAcceptedDraggingInfo(*m_tabView, info, cell ? cell->representedObject().get() : nullptr)
        .value_or(false);
}

// Archive: after the view's data, the keys in the order they are written. Transient state is written as it is
// (the step, the awakened flag) or as nil (a past mouse-down event has no meaning in an archive) and not read back:
// a decoded bar is at rest. The delegate is a conditional reference, never kept alive by the archive.

namespace {

const char* const ZTBTabBarControlArchiveFlags[]
    = { "ZTBcanCloseOnlyTab", "ZTBdisableTabClose", "ZTBhideForSingleTab", "ZTBallowsBackgroundTabClosing",
          "ZTBallowsResizing", "ZTBselectsTabsOnMouseDown", "ZTBshowAddTabButton", "ZTBsizeCellsToFit" };
const char* const ZTBTabBarControlArchiveWidths[] = { "ZTBcellMinWidth", "ZTBcellMaxWidth", "ZTBcellOptimumWidth" };
const char* const ZTBTabBarControlArchiveLastFlags[]
    = { "ZTBuseOverflowMenu", "ZTBautomaticallyAnimates", "ZTBalwaysShowActiveTab" };

}

void ZTBTabBarControl::encodeWithCoder(fnd::Coder& coder) const
{
    ui::View::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    fnd::Array cells;
    for (const auto& cell : m_cells)
        cells.emplace_back(cell);
    coder.encodeObject(fnd::Value(std::move(cells)), "ZTBcells");
    coder.encodeObject(tbcore::archivedObject(m_tabView), "ZTBtabView");
    coder.encodeObject(tbcore::archivedObject(m_overflowPopUpButton), "ZTBoverflowPopUpButton");
    coder.encodeObject(tbcore::archivedObject(m_addTabButton), "ZTBaddTabButton");
    coder.encodeObject(tbcore::archivedObject(m_style), "ZTBstyle");
    coder.encodeInteger(m_orientation, "ZTBorientation");
    tbcore::encodeFlags(coder,
        { m_canCloseOnlyTab, m_disableTabClose, m_hideForSingleTab, m_allowsBackgroundTabClosing, m_allowsResizing,
            m_selectsTabsOnMouseDown, m_showAddTabButton, m_sizeCellsToFit },
        ZTBTabBarControlArchiveFlags);
    tbcore::encodeWidths(coder, { m_cellMinWidth, m_cellMaxWidth, m_cellOptimumWidth }, ZTBTabBarControlArchiveWidths);
    coder.encodeInteger(m_currentStep, "ZTBcurrentStep");
    coder.encodeBool(m_isHidden, "ZTBisHidden");
    // The partner is a view beside the bar, held by its own superview: it is in the archive when that is, and the
    // bar alone does not carry it (its parent as partner would own the bar that names it).
    coder.encodeConditionalObject(tbcore::archivedObject(m_partnerView), "ZTBpartnerView");
    coder.encodeBool(m_awakenedFromNib, "ZTBawakenedFromNib");
    coder.encodeObject(fnd::Value(), "ZTBlastMouseDownEvent");
    coder.encodeConditionalObject(
        tbcore::archivedObject(std::dynamic_pointer_cast<fnd::Object>(m_delegate.lock())), "ZTBdelegate");
    tbcore::encodeFlags(
        coder, { m_useOverflowMenu, m_automaticallyAnimates, m_alwaysShowActiveTab }, ZTBTabBarControlArchiveLastFlags);
}

bool ZTBTabBarControl::initWithCoder(fnd::Coder& coder)
{
    // The view's part runs initWithFrame: the added properties, the dragged type, the frame observation, and the
    // style and both buttons, as in code.
    if (!ui::View::initWithCoder(coder))
        return false;
    if (!coder.allowsKeyedCoding())
        return true;
    auto cells = fnd::decodeArrayOfClass<ZTBTabBarCell>(coder, "ZTBcells", 10000);
    auto tabView = fnd::decodeObjectOfClass<ui::TabView>(coder, "ZTBtabView");
    auto overflow = decodeSubviewForKey<ZTBOverflowPopUpButton>(coder, "ZTBoverflowPopUpButton");
    auto add = decodeSubviewForKey<ZTBRolloverButton>(coder, "ZTBaddTabButton");
    auto style = fnd::decodeObjectOfClass<ZTBTabStyle>(coder, "ZTBstyle");
    auto orientation = fnd::decodeBoundedIntegerForKey(coder, "ZTBorientation", 0, 1, m_orientation);
    // A key the archive lacks keeps the initial value.
    bool* flags[] = { &m_canCloseOnlyTab, &m_disableTabClose, &m_hideForSingleTab, &m_allowsBackgroundTabClosing,
        &m_allowsResizing, &m_selectsTabsOnMouseDown, &m_showAddTabButton, &m_sizeCellsToFit };
    long* widths[] = { &m_cellMinWidth, &m_cellMaxWidth, &m_cellOptimumWidth };
    bool* lastFlags[] = { &m_useOverflowMenu, &m_automaticallyAnimates, &m_alwaysShowActiveTab };
    auto partner = tbcore::decodeTabBarSettings(coder,
        { flags, ZTBTabBarControlArchiveFlags, widths, ZTBTabBarControlArchiveWidths, &m_isHidden, "ZTBisHidden",
            lastFlags, ZTBTabBarControlArchiveLastFlags, "ZTBpartnerView" });
    auto delegateObject = coder.decodeObjectForKey("ZTBdelegate").object();
    if (coder.hasFailed())
        return false;
    if (partner.get() == this) {
        fnd::failDecoding(coder, "a tab bar control cannot be its own partner");
        return false;
    }

    m_orientation = orientation;
    tbcore::adoptArchivedButton(*this, m_overflowPopUpButton, overflow);
    tbcore::adoptArchivedButton(*this, m_addTabButton, add);
    if (style)
        m_style = style;
    m_style->setOrientation(m_orientation);
    m_tabView = tabView;
    m_partnerView = partner;
    // Each cell belongs to this bar again and follows its item's identifier as a cell made in code does.
    m_cells.clear();
    for (const auto& cell : cells) {
        cell->setControlView(self());
        m_cells.push_back(cell);
        if (auto item = cell->representedObject())
            bindPropertiesForCell(*cell, *item);
    }
    m_addTabButton->setHidden(!m_showAddTabButton);
    setDelegate(std::dynamic_pointer_cast<ZTBTabBarControlDelegate>(delegateObject));
    // Where the control sits is known once the whole archive is read.
    std::weak_ptr<ZTBTabBarControl> weak = self();
    coder.performAfterDecoding([weak, &coder] {
        auto bar = weak.lock();
        if (bar && bar->m_tabView && tbcore::isInsideItsTabView(bar, *bar->m_tabView)) {
            bar->m_tabView.reset();
            fnd::failDecoding(coder, "a tab bar control cannot be shown inside the tab view it serves");
        }
    });
    return true;
}

// Layout.

void ZTBTabBarController::layoutCells()
{
    auto& cells = m_control.cells();
    if (!m_control.tabView() || long(cells.size()) != m_control.tabView()->numberOfTabViewItems())
        return;
    m_cellTrackingRects.clear();
    m_closeButtonTrackingRects.clear();
    m_cellFrames.clear();
    const auto widths = generateWidthsFromCells(cells);
    setupCells(cells, widths);
    gfx::Rect r = m_control.genericCellRect();
    r.size = m_control.addTabButton()->frame().size;
    if (m_control.orientation() == 1) {
        r.origin.x = 0;
        r.origin.y = widths.empty() ? 0 : widths.back();
    } else {
        r.origin.y = 3.0;
        double sum = 0;
        for (double w : widths)
            sum += w;
        r.origin.x = m_control.genericCellRect().minX() + sum + 2.0;
    }
    m_addButtonRect = r;
}

namespace {

gfx::Rect ztbRectAt(const std::vector<gfx::Rect>& rects, long index, const char* what)
{
    if (index < 0 || index >= long(rects.size())) {
        fnd::logf(fnd::LogLevel::Warning, "{}: Invalid index ({})", what, index);
        return {};
    }
    return rects[std::size_t(index)];
}

}

gfx::Rect ZTBTabBarController::cellFrameAtIndex(long index) const
{
    return ztbRectAt(m_cellFrames, index, "cellFrameAtIndex");
}

gfx::Rect ZTBTabBarController::cellTrackingRectAtIndex(long index) const
{
    return ztbRectAt(m_cellTrackingRects, index, "cellTrackingRectAtIndex");
}

gfx::Rect ZTBTabBarController::closeButtonTrackingRectAtIndex(long index) const
{
    return ztbRectAt(m_closeButtonTrackingRects, index, "closeButtonTrackingRectAtIndex");
}

std::vector<double> ZTBTabBarController::generateWidthsFromCells(
    const std::vector<std::shared_ptr<ZTBTabBarCell>>& cells)
{
    auto& control = m_control;
    auto delegate = control.delegate();
    const long n = long(cells.size());
    for (const auto& cell : cells) {
        bool suppressed = (n == 1 && !control.canCloseOnlyTab()) || control.disableTabClose();
        if (!suppressed && delegate && control.tabView() && cell->representedObject())
            suppressed = delegate->tabViewDisableTabCloseForTabViewItem(*control.tabView(), *cell->representedObject())
                == true;
        cell->setCloseButtonSuppressed(suppressed);
    }
    tbcore::WidthInputs in;
    in.vertical = control.orientation() == 1;
    in.availableWidth = control.availableCellWidth();
    if (control.showAddTabButton())
        in.availableWidth -= m_addButtonRect.width();
    in.availableHeight = control.frame().height();
    in.buttonHeight = control.genericCellRect().height();
    in.topMargin = control.style()->topMarginForTabBarControl();
    in.minWidth = control.cellMinWidth();
    in.maxWidth = control.cellMaxWidth();
    in.optimumWidth = control.cellOptimumWidth();
    in.sizeToFit = control.sizeCellsToFit();
    in.useOverflowMenu = control.useOverflowMenu();
    in.showAddButton = control.showAddTabButton();
    // Titles are measured only where the widths need them.
    in.desiredWidths.assign(cells.size(), 0.0);
    in.measure = [&cells](std::size_t i) { return cells[i]->desiredWidthOfCell(); };
    tbcore::WidthPolicy policy;
    policy.reservesOverflowButton = false;
    policy.verticalMinimumRemainder = 17.0;
    policy.fixedWidthOverflowStops = true;
    policy.gapBetweenFittedTabs = 0;
    auto result = tbcore::generateWidths(in, policy);
    if (result.failure)
        fnd::logf(fnd::LogLevel::Warning,
            "**** -[ZTBTabBarController generateWidthsFromCells:] This is a failure (available {:f}, total {:f}, width "
            "is {:f})",
            result.failure->available, result.failure->total, result.failure->width);
    return result.widths;
}

void ZTBTabBarController::setupCells(
    const std::vector<std::shared_ptr<ZTBTabBarCell>>& cells, const std::vector<double>& widths)
{
    auto& control = m_control;
    const long m = long(widths.size());
    auto selected = control.tabView() ? control.tabView()->selectedTabViewItem() : nullptr;
    m_overflowMenu.reset();
    gfx::Rect running = control.genericCellRect();
    for (long i = 0; i < long(cells.size()); ++i) {
        auto& cell = *cells[std::size_t(i)];
        if (i >= m) {
            cell.setState(0);
            cell.setIsInOverflowMenu(true);
            if (cell.indicator())
                cell.indicator()->removeFromSuperview();
            if (control.orientation() == 1)
                running.origin.y = control.frame().height() + 2.0;
            else
                running.origin.x += control.style()->rightMarginForTabBarControl() + 20.0;
            m_cellFrames.push_back(running);
            if (!m_overflowMenu)
                m_overflowMenu = m_menuDelegate->makeMenu(m_menuDelegate);
            auto text = cell.attributedStringValue();
            std::string title = tbcore::truncateTitle(text ? text->string() : cell.stringValue(), 60).utf8();
            if (cell.count() > 0)
                title += " (" + std::to_string(static_cast<unsigned long>(cell.count())) + ")";
            auto item = ui::MenuItem::create(fnd::String(title), fnd::Selector("overflowMenuAction:"));
            item->setTarget(std::static_pointer_cast<fnd::Object>(control.shared_from_this()));
            item->setRepresentedObject(fnd::Value(std::static_pointer_cast<fnd::Object>(cell.representedObject())));
            m_overflowMenu->addItem(item);
            continue;
        }
        gfx::Rect f;
        if (control.orientation() == 1)
            f = { 0, widths[std::size_t(i)], control.frame().width(), control.genericCellRect().height() };
        else
            f = { running.minX(), running.minY(), widths[std::size_t(i)], running.height() };
        m_cellFrames.push_back(f);
        m_closeButtonTrackingRects.push_back(cell.closeButtonRectForFrame(f));
        m_cellTrackingRects.push_back(f);
        long state = 0;
        if (selected && cell.representedObject() == selected) {
            cell.setState(1);
            state = ZTBTabState::Selected;
            if (i > 0)
                cells[std::size_t(i - 1)]->setTabState(
                    cells[std::size_t(i - 1)]->tabState() | ZTBTabState::RightIsSelected);
        } else {
            cell.setState(0);
            state = i > 0 && cells[std::size_t(i - 1)]->state() == 1 ? ZTBTabState::LeftIsSelected : 0;
        }
        if (m == 1)
            state |= ZTBTabState::First | ZTBTabState::Last | ZTBTabState::Single;
        else if (i == 0)
            state |= ZTBTabState::First;
        else if (i == m - 1)
            state |= ZTBTabState::Last;
        cell.setTabState(state);
        cell.setIsInOverflowMenu(false);
        if (cell.indicator() && !cell.indicator()->isHidden() && !control.isTabBarHidden()
            && cell.indicator()->superview().get() != &control) {
            control.addSubview(cell.indicator());
            cell.indicator()->startAnimation();
        }
        if (control.orientation() == 0)
            running.origin.x += widths[std::size_t(i)];
    }
}

void ZTBTabBarController::setSelectedCell(ZTBTabBarCell& newCell)
{
    auto& cells = m_control.cells();
    const long count = long(cells.size());
    // The selected cell, and the one before it; with no cell on (the selected tab is in the overflow menu) the
    // search runs off the end, and the cell before is the last one.
    long previous = 0;
    while (previous < count && cells[std::size_t(previous)]->state() == 0)
        ++previous;
    if (previous < count) {
        auto& old = *cells[std::size_t(previous)];
        old.setState(0);
        old.setTabState(ZTBTabState::JustDeselected);
    }
    if (previous > 0 && cells[std::size_t(previous - 1)] != m_control.lastVisibleTab())
        cells[std::size_t(previous - 1)]->setTabState(
            cells[std::size_t(previous - 1)]->tabState() & ~ZTBTabState::RightIsSelected);
    if (previous + 1 < count)
        cells[std::size_t(previous + 1)]->setTabState(
            cells[std::size_t(previous + 1)]->tabState() & ~ZTBTabState::LeftIsSelected);
    newCell.setState(1);
    newCell.setTabState(ZTBTabState::Selected);
    if (!newCell.isInOverflowMenu()) {
        const long index = m_control.indexOfCell(newCell);
        if (index > 0)
            cells[std::size_t(index - 1)]->setTabState(
                cells[std::size_t(index - 1)]->tabState() | ZTBTabState::RightIsSelected);
        if (index >= 0 && index < count - 1)
            cells[std::size_t(index + 1)]->setTabState(
                cells[std::size_t(index + 1)]->tabState() | ZTBTabState::LeftIsSelected);
    }
}
