#include "frameworks/ZTBTabBarControl/ZTBTabDragAssistant.h"

#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"
#include "frameworks/ZTBTabBarControl/ZTBTabControls.h"
#include "frameworks/ZTBTabBarControl/ZTBTabDragWindow.h"
#include "frameworks/tab-bar-core/TabBarGeometry.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/Animation.h"
#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/WindowCapture.h"

#include <algorithm>
#include <cmath>

FND_REGISTER_CLASS(ZTBTabDragAssistant, fnd::Object)

void ZTBTabDragAssistant::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    auto object = [](const std::shared_ptr<fnd::Object>& o) { return o ? fnd::Value(o) : fnd::Value(); };
    coder.encodeObject(object(m_sourceTabBar), "sourceTabBar");
    coder.encodeObject(object(m_destinationTabBar), "destinationTabBar");
    fnd::Array bars;
    for (const auto& bar : m_participatingTabBars)
        bars.emplace_back(bar);
    coder.encodeObject(fnd::Value(std::move(bars)), "participatingTabBars");
    coder.encodeObject(object(m_draggedCell), "draggedCell");
    coder.encodeInteger(m_draggedCellIndex, "draggedCellIndex");
    coder.encodeBool(m_isDragging, "isDragging");
    coder.encodeObject(fnd::Value(), "animationTimer");
    fnd::Array widths;
    for (long width : m_sineCurveWidths)
        widths.emplace_back(static_cast<long long>(width));
    coder.encodeObject(fnd::Value(std::move(widths)), "sineCurveWidths");
    coder.encodePoint(m_currentMouseLoc, "currentMouseLoc");
    coder.encodeObject(object(m_targetCell), "targetCell");
}

bool ZTBTabDragAssistant::initWithCoder(fnd::Coder& coder)
{
    if (!coder.allowsKeyedCoding())
        return true;
    auto source = fnd::decodeObjectOfClass<ZTBTabBarControl>(coder, "sourceTabBar");
    auto destination = fnd::decodeObjectOfClass<ZTBTabBarControl>(coder, "destinationTabBar");
    auto bars = fnd::decodeArrayOfClass<ZTBTabBarControl>(coder, "participatingTabBars", 10000);
    auto dragged = fnd::decodeObjectOfClass<ZTBTabBarCell>(coder, "draggedCell");
    auto index = coder.decodeIntegerForKey("draggedCellIndex");
    bool dragging = coder.decodeBoolForKey("isDragging");
    auto widths = coder.decodeObjectForKey("sineCurveWidths");
    auto location = coder.decodePointForKey("currentMouseLoc");
    auto target = fnd::decodeObjectOfClass<ZTBTabBarCell>(coder, "targetCell");
    if (coder.hasFailed())
        return false;
    // The table has one extent per placeholder step (0 to 7), or none outside a drag.
    std::vector<long> table;
    if (!widths.isNil()) {
        const fnd::Array* list = widths.array();
        if (!list || (!list->empty() && list->size() != PlaceholderSteps)) {
            fnd::failDecoding(coder, "a drag assistant's width table is neither empty nor eight numbers");
            return false;
        }
        for (const auto& width : *list) {
            if (!width.number() || width.number()->isReal() || width.integerValue() < 0
                || width.integerValue() > 100000) {
                fnd::failDecoding(coder, "a drag assistant's width table holds a width that is no tab's");
                return false;
            }
            table.push_back(long(width.integerValue()));
        }
    }
    if (!std::isfinite(location.x) || !std::isfinite(location.y)) {
        fnd::failDecoding(coder, "a drag assistant's pointer place is not a point");
        return false;
    }
    m_sourceTabBar = source;
    m_destinationTabBar = destination;
    m_participatingTabBars = std::move(bars);
    m_draggedCell = dragged;
    m_draggedCellIndex = long(index);
    m_isDragging = dragging;
    m_sineCurveWidths = std::move(table);
    m_currentMouseLoc = location;
    m_targetCell = target;
    return true;
}

const std::shared_ptr<ZTBTabDragAssistant>& ZTBTabDragAssistant::sharedDragAssistant()
{
    static const auto shared = fnd::makeObject<ZTBTabDragAssistant>();
    return shared;
}

bool ZTBTabDragAssistant::isParticipating(const ZTBTabBarControl& bar) const
{
    return std::any_of(
        m_participatingTabBars.begin(), m_participatingTabBars.end(), [&](const auto& b) { return b.get() == &bar; });
}

std::vector<long> ZTBTabDragAssistant::widthTable(double extent, double fullExtent)
{
    // The gap opens along a sine curve; these constants, not pi itself, give the table its values.
    std::vector<long> table;
    for (int i = 0; i < 7; ++i)
        table.push_back(long(extent - (std::sin(i * 0.125 * 3.1417 + 1.57085) * extent * 0.5 + extent * 0.5)));
    table.push_back(long(fullExtent));
    return table;
}

long ZTBTabDragAssistant::widthOfStep(long step) const
{
    if (step < 0 || std::size_t(step) >= m_sineCurveWidths.size())
        return 0;
    return m_sineCurveWidths[std::size_t(step)];
}

namespace {

void ztbJoin(std::vector<std::shared_ptr<ZTBTabBarControl>>& bars, const std::shared_ptr<ZTBTabBarControl>& bar)
{
    if (std::find(bars.begin(), bars.end(), bar) == bars.end())
        bars.push_back(bar);
}

void ztbPost(const fnd::String& name)
{
    fnd::NotificationCenter::defaultCenter().postNotificationName(name, {});
}

}

void ZTBTabDragAssistant::startDraggingCell(const std::shared_ptr<ZTBTabBarCell>& draggedCell,
    const std::shared_ptr<ZTBTabBarControl>& draggedFrom, const std::shared_ptr<ui::Event>& mouseDownEvent,
    bool runDrag)
{
    // Copies: the arguments may be entries of the bar's cell list, which the placeholders rearrange.
    const auto cell = draggedCell;
    const auto bar = draggedFrom;
    if (!cell || !bar || cell->isPlaceholder())
        return;
    m_isDragging = true;
    m_sourceTabBar = bar;
    m_destinationTabBar = bar;
    ztbJoin(m_participatingTabBars, bar);
    m_draggedCell = cell;
    m_draggedCellIndex = bar->indexOfCell(*cell);
    m_origin = { bar->tabView(), cell->representedObject() };
    const gfx::Rect f = cell->frame();
    m_sineCurveWidths
        = bar->orientation() == 0 ? widthTable(f.width() + 6.0, f.width()) : widthTable(f.height() + 1.0, f.height());
    bar->overflowPopUpButton()->setHidden(true);
    bar->addTabButton()->setHidden(true);
    ui::Cursor::closedHandCursor()->set();
    auto image = cell->dragImage();
    if (cell->indicator())
        cell->indicator()->removeFromSuperview();
    distributePlaceholdersInTabBar(bar, cell);
    gfx::Point at = f.origin;
    at.y += f.height();
    cell->setHighlighted(false);
    auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    pasteboard->declareTypes({ ZTBTabBarControlItemPBType });
    pasteboard->setString(fnd::String(std::to_string(m_draggedCellIndex)), ZTBTabBarControlItemPBType);
    std::weak_ptr<ZTBTabDragAssistant> weak = std::static_pointer_cast<ZTBTabDragAssistant>(shared_from_this());
    m_animationTimer = fnd::Timer::create(1.0 / 30.0, true, [weak](fnd::Timer&) {
        if (auto assistant = weak.lock())
            assistant->animateDrag();
    });
    // The gap animates while the drag's own loop runs.
    fnd::RunLoop::current().addTimer(m_animationTimer, fnd::RunLoopMode::Common);
    ztbPost(ZTBTabDragDidBeginNotification);
    auto keep = bar;
    auto delegate = bar->delegate();
    const bool mayTearOff = delegate && bar->tabView() && cell->representedObject()
        && delegate->tabViewShouldDropTabViewItem(*bar->tabView(), *cell->representedObject(), nullptr) == true;
    if (mayTearOff) {
        m_currentTearOffStyle = bar->tearOffStyle();
        m_draggedTab = ZTBTabDragWindowController::create(
            image, ui::WindowStyleMask::Borderless, unsigned(m_currentTearOffStyle));
    }
    m_dragPointer.pressedAt(
        mouseDownEvent ? std::optional<gfx::Point>(mouseDownEvent->locationOnScreen()) : std::nullopt);
    if (!runDrag || !mouseDownEvent)
        return;
    if (mayTearOff) {
        at.y -= f.height();
        ui::dragImage(*bar, gfx::Image::imageWithSize({ 1, 1 }), at, {}, *mouseDownEvent, pasteboard, keep, false);
    } else {
        ui::dragImage(*bar, image, at, {}, *mouseDownEvent, pasteboard, keep, true);
    }
}

// Placeholders.

void ZTBTabDragAssistant::distributePlaceholdersInTabBar(const std::shared_ptr<ZTBTabBarControl>& bar)
{
    const long n = bar->numberOfVisibleTabs();
    auto& cells = bar->cells();
    const gfx::Rect frame = m_draggedCell ? m_draggedCell->frame() : gfx::Rect {};
    for (long i = 0; i < n; ++i)
        cells.insert(
            cells.begin() + std::min<long>(2 * i, long(cells.size())), ZTBTabBarCell::placeholder(frame, false, bar));
    auto last = ZTBTabBarCell::placeholder(frame, false, bar);
    if (long(cells.size()) > 2 * n)
        cells.insert(cells.begin() + 2 * n, last);
    else
        cells.push_back(last);
}

void ZTBTabDragAssistant::distributePlaceholdersInTabBar(
    const std::shared_ptr<ZTBTabBarControl>& bar, const std::shared_ptr<ZTBTabBarCell>& cell)
{
    distributePlaceholdersInTabBar(bar);
    auto& cells = bar->cells();
    const long k = bar->indexOfCell(*cell);
    if (k < 0)
        return;
    cells[std::size_t(k)]
        = ZTBTabBarCell::placeholder(m_draggedCell ? m_draggedCell->frame() : cell->frame(), true, bar);
    if (k + 1 < long(cells.size()))
        cells.erase(cells.begin() + k + 1);
    if (k - 1 >= 0)
        cells.erase(cells.begin() + k - 1);
    if (k - 2 >= 0)
        cells[std::size_t(k - 2)]->setTabState(cells[std::size_t(k - 2)]->tabState() & ~ZTBTabState::RightIsSelected);
}

void ZTBTabDragAssistant::removeAllPlaceholdersFromTabBar(const std::shared_ptr<ZTBTabBarControl>& bar)
{
    auto& cells = bar->cells();
    for (long i = long(cells.size()) - 1; i >= 0; --i)
        if (cells[std::size_t(i)]->isPlaceholder())
            cells.erase(cells.begin() + i);
    bar->update(false);
}

// The pointer over bars.

void ZTBTabDragAssistant::draggingEnteredTabBar(const std::shared_ptr<ZTBTabBarControl>& bar, gfx::Point point)
{
    if (m_currentTearOffStyle == 1 && !m_destinationTabBar && m_draggedTab)
        m_draggedTab->switchImages();
    m_destinationTabBar = bar;
    m_currentMouseLoc = point;
    bar->overflowPopUpButton()->setHidden(true);
    bar->addTabButton()->setHidden(true);
    if (bar->cells().empty() || !bar->cells().front()->isPlaceholder())
        distributePlaceholdersInTabBar(bar);
    ztbJoin(m_participatingTabBars, bar);
    if (m_currentTearOffStyle == 0 && m_draggedView && m_draggedTab) {
        m_draggedTab->window()->orderFront();
        startFade(false);
    }
}

void ZTBTabDragAssistant::draggingUpdatedInTabBar(const std::shared_ptr<ZTBTabBarControl>& bar, gfx::Point point)
{
    if (m_destinationTabBar != bar)
        m_destinationTabBar = bar;
    m_currentMouseLoc = point;
}

void ZTBTabDragAssistant::draggingExitedTabBar(const std::shared_ptr<ZTBTabBarControl>& bar)
{
    // Only the bar the pointer is over can be left (the drag may also have noticed first, see draggingMovedTo).
    if (bar != m_destinationTabBar)
        return;
    auto delegate = bar->delegate();
    if (delegate && bar->tabView() && m_draggedCell && m_draggedCell->representedObject()
        && delegate->tabViewShouldAllowTabViewItemToLeaveTabBar(
               *bar->tabView(), *m_draggedCell->representedObject(), *bar)
            == false)
        return;
    m_destinationTabBar.reset();
    m_currentMouseLoc = { -1.0, -1.0 };
    if (m_fadeTimer) {
        startFade(true);
        return;
    }
    if (!m_draggedTab || !m_sourceTabBar)
        return;
    if (m_currentTearOffStyle == 0 && m_draggedCell) {
        if (!m_draggedView) {
            unsigned mask = 0;
            auto image = imageForViewOfCell(*m_draggedCell, &mask);
            m_draggedView = ZTBTabDragWindowController::create(image, mask, 0);
            m_draggedView->window()->setAlphaValue(0.0);
        }
        if (auto w = bar->window()) {
            auto& content = *m_draggedView->window();
            const gfx::Rect f = content.frame();
            content.setFrame({ w->frame().minX() - m_dragWindowOffset.width,
                                 w->frame().minY() + m_dragWindowOffset.height, f.width(), f.height() },
                false);
        }
        m_draggedView->window()->orderWindow(ui::WindowOrderingMode::Below, m_draggedTab->window()->windowNumber());
    }
    if (m_currentTearOffStyle == 1 && !m_draggedTab->alternateImage()) {
        auto w = bar->window();
        auto miniature = tbcore::windowMiniature(w ? ui::captureWindowImage(*w) : nullptr, [&] {
            unsigned mask = 0;
            return m_draggedCell ? imageForViewOfCell(*m_draggedCell, &mask) : nullptr;
        });
        if (miniature)
            m_draggedTab->setAlternateImage(miniature);
    }
    auto source = m_sourceTabBar;
    auto sourceDelegate = source->delegate();
    if (source->tabView() && source->tabView()->numberOfTabViewItems() == 1 && bar == source && sourceDelegate
        && sourceDelegate->makesNewTabBars()) {
        // The only tab leaves: its window steps aside, but the dragged tab stays in sight.
        if (auto w = source->window()) {
            w->setAlphaValue(0.0);
            m_steppedAsideWindow = w;
        }
        // Style 0 shows the content window (the delegate's picture has the tab drawn on it); the tab window over it
        // stays unseen.
        m_draggedTab->window()->setAlphaValue(m_currentTearOffStyle == 0 && m_draggedView ? 0.0 : 0.75);
        if (m_currentTearOffStyle == 0 && m_draggedView)
            m_draggedView->window()->setAlphaValue(0.75);
        if (m_currentTearOffStyle != 0) {
            m_draggedTab->switchImages();
            m_centersDragWindows = true;
        }
        return;
    }
    if (m_currentTearOffStyle != 0) {
        m_draggedTab->switchImages();
        m_centersDragWindows = true;
    } else {
        startFade(true);
    }
}

void ZTBTabDragAssistant::startFade(bool in)
{
    if (m_fadeTimer)
        m_fadeTimer->invalidate();
    std::weak_ptr<ZTBTabDragAssistant> weak = std::static_pointer_cast<ZTBTabDragAssistant>(shared_from_this());
    m_fadeTimer = fnd::Timer::create(tbcore::DragFade::Interval, true, [weak, in](fnd::Timer&) {
        if (auto assistant = weak.lock())
            in ? assistant->fadeInDragWindow() : assistant->fadeOutDragWindow();
    });
    fnd::RunLoop::current().addTimer(m_fadeTimer, fnd::RunLoopMode::Common);
}

void ZTBTabDragAssistant::fadeInDragWindow()
{
    // The windows may be gone (the drag ended): the timer stops itself.
    if (!m_draggedView || !m_draggedTab) {
        if (m_fadeTimer)
            m_fadeTimer->invalidate();
        m_fadeTimer.reset();
        return;
    }
    double tab = m_draggedTab->window()->alphaValue();
    double content = m_draggedView->window()->alphaValue();
    if (tbcore::DragFade::stepIn(tab, content, true)) {
        m_draggedTab->window()->setAlphaValue(tab);
        m_draggedView->window()->setAlphaValue(content);
        return;
    }
    m_fadeTimer->invalidate();
    m_fadeTimer.reset();
}

void ZTBTabDragAssistant::fadeOutDragWindow()
{
    if (!m_draggedView || !m_draggedTab) {
        if (m_fadeTimer)
            m_fadeTimer->invalidate();
        m_fadeTimer.reset();
        return;
    }
    double tab = m_draggedTab->window()->alphaValue();
    double content = m_draggedView->window()->alphaValue();
    const bool goesOn = tbcore::DragFade::stepOut(tab, content);
    m_draggedTab->window()->setAlphaValue(tab);
    m_draggedView->window()->setAlphaValue(content);
    if (!goesOn) {
        m_fadeTimer->invalidate();
        m_fadeTimer.reset();
    }
}

std::shared_ptr<gfx::Image> ZTBTabDragAssistant::imageForViewOfCell(ZTBTabBarCell& cell, unsigned* styleMask)
{
    if (styleMask)
        *styleMask = 0;
    auto bar = cell.controlView();
    auto item = cell.representedObject();
    std::shared_ptr<gfx::Image> image;
    auto delegate = bar ? bar->delegate() : nullptr;
    unsigned mask = 0;
    m_dragWindowOffset = {};
    if (delegate && bar->tabView() && item)
        image = delegate->tabViewImageForTabViewItem(*bar->tabView(), *item, m_dragWindowOffset, mask);
    if (image && m_draggedTab) {
        // The tab's picture goes on top of the content picture, where the tab sits over the content.
        auto tabImage = m_draggedTab->image();
        const gfx::Size v = image->size();
        const gfx::Size t = tabImage ? tabImage->size() : gfx::Size {};
        image->lockFocus();
        if (tabImage) {
            if (bar->orientation() == 1) {
                tabImage->drawAtPoint(
                    { m_dragWindowOffset.width + bar->frame().width() - t.width, v.height - m_dragWindowOffset.height },
                    {}, gfx::CompositingOperation::SourceOver, 1.0);
            } else {
                const double d = bar->style()->tabCellHeight() - t.height;
                tabImage->drawAtPoint({ m_dragWindowOffset.width, v.height - m_dragWindowOffset.height + d }, {},
                    gfx::CompositingOperation::SourceOver, 1.0);
                m_dragWindowOffset.height -= d;
            }
        }
        image->unlockFocus();
    } else if (item && item->view()) {
        // Without the delegate's picture: the item's view drawn as it stands.
        auto& view = *item->view();
        // A page that was never shown has no size yet: it gets the tab view's content area.
        if (view.frame().isEmpty() && bar->tabView())
            view.setFrame({ { 0, 0 }, bar->tabView()->contentRect().size });
        image = gfx::Image::imageWithSize(view.frame().size);
        if (auto bitmap = view.bitmapImageRepForCachingDisplayInRect(view.bounds())) {
            view.cacheDisplayInRect(view.bounds(), *bitmap);
            image = gfx::Image::imageWithRepresentation(bitmap);
            image->setSize(view.frame().size);
        }
    } else {
        image = gfx::Image::imageWithSize({ 1, 1 });
    }
    if (styleMask)
        *styleMask = mask;
    if (mask != 0)
        m_dragWindowOffset.height += 22.0;
    return image;
}

void ZTBTabDragAssistant::expandWindow(const std::shared_ptr<ui::Window>& window, gfx::Point screenPoint)
{
    const gfx::Rect f = window->frame();
    window->setFrame(
        { screenPoint.x - f.width() * 0.5, screenPoint.y - f.height() * 0.5, f.width(), f.height() }, false);
    window->setAlphaValue(0.0);
    window->makeKeyAndOrderFront();
    auto animation = ui::Animation::create(0.25, ui::AnimationCurve::EaseInOut);
    animation->setAnimationBlockingMode(ui::AnimationBlockingMode::Nonblocking);
    animation->setCurrentProgress(0.1);
    animation->startAnimation();
    // The window grows from its middle: shown at the animation's value of its size, as opaque as that.
    window->setDisplayScale(animation->currentValue());
    auto timer = fnd::Timer::create(1.0 / 30.0, true, [window, animation](fnd::Timer& t) {
        const double v = animation->currentValue();
        window->setDisplayScale(v);
        window->setAlphaValue(v);
        if (!animation->isAnimating()) {
            window->setDisplayScale(1.0);
            window->setAlphaValue(1.0);
            t.invalidate();
        }
    });
    fnd::RunLoop::current().addTimer(timer, fnd::RunLoopMode::Common);
}

void ZTBTabDragAssistant::draggingBeganAt(gfx::Point screenPoint)
{
    m_dragPointer.imageBeganAt(screenPoint);
    if (!m_draggedTab)
        return;
    m_draggedTab->setDragLocation(m_dragPointer.pointerFor(screenPoint));
    auto& w = *m_draggedTab->window();
    const gfx::Rect f = w.frame();
    w.setFrame({ screenPoint.x, screenPoint.y - f.height(), f.width(), f.height() }, false);
    w.orderFront();
    if (m_sourceTabBar && m_sourceTabBar->tabView() && m_sourceTabBar->tabView()->numberOfTabViewItems() == 1)
        draggingExitedTabBar(m_sourceTabBar);
}

void ZTBTabDragAssistant::draggingMovedTo(gfx::Point screenPoint)
{
    // A drag that starts beyond the threshold may never have been over its bar as far as the drop session knows, so
    // it would never hear that the pointer left: the pointer's place decides.
    const gfx::Point pointer = m_dragPointer.pointerFor(screenPoint);
    if (auto bar = m_destinationTabBar; bar && bar->window()) {
        const gfx::Point inBar = bar->convertPointFromView(bar->window()->convertScreenToBase(pointer), nullptr);
        if (!gfx::pointInRect(inBar, bar->bounds()))
            draggingExitedTabBar(bar);
    }
    if (m_draggedTab)
        tbcore::moveDragWindows(
            *m_draggedTab, m_draggedView.get(), screenPoint, pointer, m_centersDragWindows, m_dragWindowOffset);
}

// The gap animation.

void ZTBTabDragAssistant::animateDrag()
{
    for (const auto& bar : std::vector(m_participatingTabBars)) {
        calculateDragAnimationForTabBar(bar);
        bar->setNeedsDisplay(true);
    }
}

void ZTBTabDragAssistant::calculateDragAnimationForTabBar(const std::shared_ptr<ZTBTabBarControl>& bar)
{
    auto& cells = bar->cells();
    const gfx::Axis axis = bar->barAxis();
    const auto& style = *bar->style();
    const double start = axis == gfx::Axis::Y ? style.topMarginForTabBarControl() : style.leftMarginForTabBarControl();
    double position = start;
    const gfx::Point mouse = m_currentMouseLoc;
    std::shared_ptr<ZTBTabBarCell> target;
    bool removeFlag = true;
    if (bar == m_destinationTabBar) {
        removeFlag = false;
        // Before the first tab: along the bar's own axis (a vertical bar compares y with its top margin).
        if (gfx::along(mouse, axis) < start) {
            target = cells.empty() ? nullptr : cells.front();
        } else {
            gfx::Rect r;
            auto under = bar->cellForPoint(mouse, &r);
            if (!under) {
                target = bar->lastVisibleTab();
            } else if (under->isPlaceholder()) {
                target = under;
            } else {
                const long k = bar->indexOfCell(*under);
                const bool before = gfx::minAlong(r, axis) + gfx::lengthAlong(r, axis) * 0.5 > gfx::along(mouse, axis);
                const long t = before ? k - 1 : k + 1;
                // Only a placeholder opens a gap (a tab beside a tab in the overflow menu has none there).
                if (t >= 0 && t < long(cells.size()) && cells[std::size_t(t)]->isPlaceholder())
                    target = cells[std::size_t(t)];
            }
        }
        m_targetCell = target;
    }
    for (const auto& cell : std::vector(cells)) {
        if (cell->isInOverflowMenu())
            break;
        gfx::Rect f = cell->frame();
        if (cell->isPlaceholder()) {
            cell->setCurrentStep(cell->currentStep() + (cell == target ? 1 : -1));
            if (cell != target && cell->currentStep() > 0)
                removeFlag = false;
            f = gfx::withLengthAlong(f, axis, double(widthOfStep(cell->currentStep())));
        }
        f = gfx::withMinAlong(f, axis, position);
        cell->setFrame(f);
        if (cell->indicator() && cell->isIndicatorShown())
            cell->indicator()->setFrame(style.indicatorRectForTabCell(*cell));
        position += gfx::lengthAlong(f, axis);
    }
    if (removeFlag) {
        std::erase(m_participatingTabBars, bar);
        removeAllPlaceholdersFromTabBar(bar);
    }
}

// Drops.

bool ZTBTabDragAssistant::performDragOperation()
{
    auto destination = m_destinationTabBar;
    auto source = m_sourceTabBar;
    auto cell = m_draggedCell;
    if (!destination || !source || !cell) {
        finishDrag();
        return false;
    }
    if (draggedTabHasLeft()) {
        endDragOfDepartedTab();
        return false;
    }
    if (!destination->tabView()) {
        // Nowhere to put the tab's item: the tab goes back where it came from.
        putDraggedCellBack();
        ztbPost(ZTBTabDragDidEndNotification);
        finishDrag();
        return false;
    }
    auto item = cell->representedObject();
    auto& cells = destination->cells();
    long k = m_targetCell ? destination->indexOfCell(*m_targetCell) : -1;
    // Without a gap to take (dropped before the gap animation chose one, or the target is a tab) the tab takes the
    // last gap, the one after the shown tabs: a tab there (one in the overflow menu, or one the program added) must
    // not be replaced and lost.
    if (k < 0 || k >= long(cells.size()) || !cells[std::size_t(k)]->isPlaceholder())
        for (k = long(cells.size()) - 1; k >= 0 && !cells[std::size_t(k)]->isPlaceholder(); --k) { }
    if (k < 0)
        cells.push_back(cell);
    else
        cells[std::size_t(k)] = cell;
    cell->setControlView(destination);
    bool moved = source != destination;
    if (source == destination) {
        removeAllPlaceholdersFromTabBar(source);
        auto tabView = source->tabView();
        auto selected = tabView->selectedTabViewItem();
        const long j = source->indexOfCell(*cell);
        moved = j != m_draggedCellIndex;
        auto saved = tabView->delegate();
        tabView->setDelegate(nullptr);
        tabView->removeTabViewItem(item);
        tabView->insertTabViewItem(item, std::clamp<long>(j, 0, tabView->numberOfTabViewItems()));
        if (item == selected)
            tabView->selectTabViewItem(item);
        tabView->setDelegate(saved);
        source->update(false);
    } else {
        source->removeTabForCell(cell);
        long j = 0;
        for (const auto& c : cells) {
            if (c == cell)
                break;
            if (!c->isPlaceholder())
                ++j;
        }
        source->tabView()->removeTabViewItem(item);
        if (destination->automaticallyAnimates() && j > 0) {
            for (long i = destination->indexOfCell(*cell) - 1; i >= 0; --i)
                if (!cells[std::size_t(i)]->isPlaceholder()) {
                    gfx::Rect f = cells[std::size_t(i)]->frame();
                    f.origin.x += f.width();
                    cell->setFrame(f);
                    break;
                }
        }
        destination->bindPropertiesForCell(*cell, *item);
        destination->tabView()->insertTabViewItem(
            item, std::clamp<long>(j, 0, destination->tabView()->numberOfTabViewItems()));
        destination->tabView()->selectTabViewItem(item);
    }
    if (moved)
        if (auto delegate = source->delegate())
            delegate->tabViewDidDropTabViewItem(*source->tabView(), *item, *destination);
    ztbPost(ZTBTabDragDidEndNotification);
    finishDrag();
    return true;
}

bool ZTBTabDragAssistant::draggedTabHasLeft() const
{
    return m_origin.hasDeparted(m_sourceTabBar ? m_sourceTabBar->tabView().get() : nullptr);
}

void ZTBTabDragAssistant::endDragOfDepartedTab()
{
    // The program closed the tab while it was carried, or took its tab view from the bar: its cell goes with its
    // item instead of coming back. A closed tab had no cell in the bar when its tab view told the bar, so the
    // delegate hears of the close once the drag is over.
    const auto origin = m_origin;
    auto delegate = m_sourceTabBar ? m_sourceTabBar->delegate() : nullptr;
    if (m_sourceTabBar && m_draggedCell)
        m_sourceTabBar->removeTabForCell(m_draggedCell);
    ztbPost(ZTBTabDragDidEndNotification);
    finishDrag();
    if (delegate && origin.tabView && origin.item && origin.wasClosed())
        delegate->tabViewDidCloseTabViewItem(*origin.tabView, *origin.item);
}

void ZTBTabDragAssistant::putDraggedCellBack()
{
    auto source = m_sourceTabBar;
    auto cell = m_draggedCell;
    if (!source || !cell)
        return;
    // Back where it started: the place among the source's tabs, placeholders not counted.
    auto& cells = source->cells();
    std::erase(cells, cell);
    long tabs = 0;
    std::size_t at = cells.size();
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (cells[i]->isPlaceholder())
            continue;
        if (tabs == m_draggedCellIndex) {
            at = i;
            break;
        }
        ++tabs;
    }
    cells.insert(cells.begin() + long(at), cell);
    cell->setControlView(source);
}

void ZTBTabDragAssistant::draggedImageEndedAt(gfx::Point screenPoint)
{
    if (!m_isDragging)
        return;
    if (draggedTabHasLeft()) {
        endDragOfDepartedTab();
        return;
    }
    auto source = m_sourceTabBar;
    auto cell = m_draggedCell;
    auto item = cell ? cell->representedObject() : nullptr;
    auto delegate = source ? source->delegate() : nullptr;
    const gfx::Point pointer = m_dragPointer.pointerFor(screenPoint);
    // Let go over a bar that could not take it (it has no tab view), the tab goes back rather than into a new bar.
    auto under = tbcore::barUnderScreenPoint<ZTBTabBarControl>(pointer);
    bool placed = false;
    if (!m_destinationTabBar && !(under && !under->tabView()) && delegate && item && source->tabView()
        && delegate->tabViewShouldDropTabViewItem(*source->tabView(), *item, nullptr) == true
        && delegate->makesNewTabBars()) {
        auto newBar = delegate->tabViewNewTabBarForDraggedTabViewItem(*source->tabView(), *item, screenPoint);
        if (newBar && newBar->tabView()) {
            newBar->cells().insert(newBar->cells().begin(), cell);
            source->removeTabForCell(cell);
            cell->setControlView(newBar);
            newBar->bindPropertiesForCell(*cell, *item);
            source->tabView()->removeTabViewItem(item);
            newBar->tabView()->addTabViewItem(item);
            newBar->update(false);
            if (auto w = newBar->window()) {
                if (m_currentTearOffStyle != 0)
                    expandWindow(w, pointer);
                else
                    w->makeKeyAndOrderFront();
            }
            delegate->tabViewDidDropTabViewItem(*source->tabView(), *item, *newBar);
            placed = true;
        } else {
            fnd::log(fnd::LogLevel::Warning, "Delegate returned no control to add to.");
        }
    }
    if (!placed)
        putDraggedCellBack();
    ztbPost(ZTBTabDragDidEndNotification);
    finishDrag();
}

void ZTBTabDragAssistant::finishDrag()
{
    auto source = m_sourceTabBar;
    auto item = m_draggedCell ? m_draggedCell->representedObject() : nullptr;
    if (source && source->tabView() && source->tabView()->numberOfTabViewItems() == 0 && item)
        if (auto delegate = source->delegate())
            delegate->tabViewCloseWindowForLastTabViewItem(*source->tabView(), *item);
    if (m_draggedTab) {
        m_draggedTab->stop();
        m_draggedTab->window()->orderOut();
        m_draggedTab.reset();
    }
    if (m_draggedView) {
        m_draggedView->stop();
        m_draggedView->window()->orderOut();
        m_draggedView.reset();
    }
    // The window that stepped aside for its only tab shows again, unless the delegate closed it: with its tab
    // back, or with tabs the program added meanwhile, it would stay unseen with content in it.
    if (auto w = m_steppedAsideWindow.lock(); w && w->isVisible())
        w->setAlphaValue(1.0);
    m_steppedAsideWindow.reset();
    m_origin = {};
    // A fade left running would make the next drag's first exit look like one in mid-fade.
    if (m_fadeTimer)
        m_fadeTimer->invalidate();
    m_fadeTimer.reset();
    m_centersDragWindows = false;
    m_isDragging = false;
    if (source)
        removeAllPlaceholdersFromTabBar(source);
    m_sourceTabBar.reset();
    m_destinationTabBar.reset();
    for (const auto& bar : std::vector(m_participatingTabBars))
        removeAllPlaceholdersFromTabBar(bar);
    m_participatingTabBars.clear();
    m_draggedCell.reset();
    if (m_animationTimer)
        m_animationTimer->invalidate();
    m_animationTimer.reset();
    m_sineCurveWidths.clear();
    m_targetCell.reset();
}
