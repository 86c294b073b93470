// The tab bar view's update cycle: requests gathered into one pass, the pass that makes the buttons match the tab
// view, and the add and overflow buttons it places.

#include "frameworks/QFTabBarView/QFTabBarView.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFTabBarController.h"
#include "frameworks/QFTabBarView/QFTabDragAssistant.h"
#include "frameworks/tab-bar-core/TabResources.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Thread.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/views/ViewAnimation.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <utility>

bool QFTabBarView::needsUpdate() const
{
    std::lock_guard guard(m_lock);
    return m_needsUpdate;
}

void QFTabBarView::setNeedsUpdate(bool flag)
{
    {
        std::lock_guard guard(m_lock);
        if (!flag) {
            m_needsUpdate = false;
            return;
        }
        if (m_needsUpdate)
            return;
        m_needsUpdate = true;
    }
    // The update runs in the window's layout pass, before it next draws: one pass for any number of requests.
    if (fnd::Thread::isMainThread()) {
        setNeedsLayout(true);
        return;
    }
    std::weak_ptr<QFTabBarView> weak = self();
    fnd::RunLoop::main().post([weak] {
        if (auto view = weak.lock())
            view->setNeedsLayout(true);
    });
}

void QFTabBarView::layout()
{
    QFTabBarViewBase::layout();
    if (needsUpdate())
        update();
}

void QFTabBarView::update()
{
    auto w = window();
    update(w && w->isVisible() && !isHiddenOrHasHiddenAncestor() ? m_automaticallyAnimates : false);
}

bool QFTabBarView::_shouldDisplayTabBar() const
{
    return !(m_hideForSingleTab && numberOfTabViewItems() <= 1);
}

void QFTabBarView::update(bool animate)
{
    auto keep = self();
    QFTabDragAssistant::sharedDragAssistant()->stopSlidingButtonsOf(*this);
    const bool dragging = isDragging();
    if (!dragging) {
        if (!m_isHidden && !_shouldDisplayTabBar()) {
            hideTabBar(true, animate);
            setNeedsUpdate(false);
            return;
        }
        if (m_isHidden && _shouldDisplayTabBar())
            hideTabBar(false, animate);
    }
    auto tabs = tabView();
    // Buttons whose items left the tab view go.
    for (const auto& button : attachedButtons()) {
        auto item = button->tabViewItem();
        if (item && tabs && tabs->indexOfTabViewItem(*item) != long(fnd::NotFound))
            continue;
        if (button == attachedTabBarButtonForDraggedItems())
            continue;
        if (auto d = delegate(); d && tabs && item)
            d->tabViewDidDetachTabViewItem(*tabs, *item);
        removeAttachedButton(*button);
    }
    // Items without a button get one: while a tab is dragged or slides every item, else the layout makes them for
    // the tabs it shows.
    if (!laysOutTabsWithoutButtons())
        insertAttachedButtonsForItemsWithoutOne(dragging);
    layoutButtons();

    const auto& menu = m_controller->overflowMenu();
    m_overflowPopUpButton->setHidden(!menu);
    m_overflowPopUpButton->setMenu(menu ? menu : ui::Menu::create());
    _positionOverflowMenu();

    if (!animate) {
        // A slide still running would carry the buttons on to where an earlier layout put them.
        if (auto running = std::exchange(m_slideButtonsAnimation, nullptr))
            running->stopAnimation();
        for (const auto& button : attachedButtons())
            button->setFrame(button->stackingFrame());
        _positionAddTabButton();
        updateTrackingAreas();
        setNeedsDisplay(true);
        setNeedsUpdate(false);
        return;
    }
    if (m_slideButtonsAnimation) {
        m_slideButtonsAnimation->stopAnimation();
        m_slideButtonsAnimation.reset();
    }
    m_slideButtonsAnimation = QFSlideButtonsAnimation::create(attachedButtons());
    if (m_showAddTabButton)
        m_slideButtonsAnimation->addAnimationDictionary({ { ui::ViewAnimationKey::Target, fnd::Value(m_addTabButton) },
            { ui::ViewAnimationKey::StartFrame, m_addTabButton->frame() },
            { ui::ViewAnimationKey::EndFrame, addTabButtonRect() } });
    else
        _positionAddTabButton();
    m_slideButtonsAnimation->setDelegate(std::static_pointer_cast<ui::AnimationDelegate>(keep));
    m_slideButtonsAnimation->startAnimation();
    setNeedsUpdate(false);
}

void QFTabBarView::layoutButtons()
{
    m_controller->layoutButtons();
    if (!isDragging())
        _synchronizeSelection();
}

void QFTabBarView::_synchronizeSelection()
{
    auto selectedItem = selectedTabViewItem();
    std::shared_ptr<QFAttachedTabBarButton> selected
        = selectedItem ? attachedButtonForTabViewItem(*selectedItem) : nullptr;
    if (!selected && selectedItem) {
        auto last = lastAttachedButton();
        // The dragged tab's button keeps its own item: pinned to another, it would carry that one off.
        if (last && last->isOverflowButton() && last != attachedTabBarButtonForDraggedItems()) {
            setTabViewItemPinnedToOverflowButton(selectedItem);
            selected = last;
        }
    }
    // Only the buttons that may be selected or marked are reset, so a selection costs the same among few tabs or
    // many; the others are not set again (and redrawn).
    const std::vector<const QFAttachedTabBarButton*> marked(m_selectionMarked.begin(), m_selectionMarked.end());
    m_selectionMarked.clear();
    for (const auto* each : marked) {
        auto& button = const_cast<QFAttachedTabBarButton&>(*each);
        if (const auto bits = button.tabState(); bits & (QFTabState::PreviousSelected | QFTabState::NextSelected))
            button.setTabState(bits & ~(QFTabState::PreviousSelected | QFTabState::NextSelected));
        if (&button != selected.get() && button.state() != ui::ControlStateValue::Off)
            button.setState(ui::ControlStateValue::Off);
    }
    if (selected) {
        if (selected->state() != ui::ControlStateValue::On)
            selected->setState(ui::ControlStateValue::On);
        m_selectionMarked.insert(selected.get());
        const long index = indexOfAttachedButton(*selected);
        if (index != fnd::NotFound)
            updateTabStateMaskOfAttachedButton(*selected, index);
    }
}

void QFTabBarView::_positionAddTabButton()
{
    const gfx::Rect rect = addTabButtonRect();
    if (!rect.isEmpty())
        m_addTabButton->setFrame(rect);
    m_addTabButton->setHidden(!m_showAddTabButton);
    m_addTabButton->setNeedsDisplay(true);
}

void QFTabBarView::_positionOverflowMenu()
{
    const gfx::Rect rect = overflowButtonRect();
    if (rect != gfx::ZeroRect)
        m_overflowPopUpButton->setFrame(rect);
}

void QFTabBarView::_updateAddTabButton()
{
    if (m_addTabButton)
        m_addTabButton->removeFromSuperview();
    m_addTabButton = QFRolloverButton::create(addTabButtonRect());
    m_addTabButton->setImage(tbcore::namedImage("QFTabBarView", "AquaTabNew"));
    m_addTabButton->setAlternateImage(tbcore::namedImage("QFTabBarView", "AquaTabNewPressed"));
    m_addTabButton->setRolloverImage(tbcore::namedImage("QFTabBarView", "AquaTabNewRollover"));
    m_addTabButton->setTitle("");
    m_addTabButton->setImagePosition(ui::CellImagePosition::ImageOnly);
    m_addTabButton->setRolloverButtonType(0);
    m_addTabButton->setBordered(false);
    m_addTabButton->setBezelStyle(ui::BezelStyle::ShadowlessSquare);
    if (m_style)
        m_style->updateAddButton(*m_addTabButton, *this);
    m_addTabButton->setTarget(shared_from_this());
    m_addTabButton->setAction("_addNewTab:");
    addSubview(m_addTabButton);
    m_addTabButton->setHidden(!m_showAddTabButton);
}

void QFTabBarView::_updateOverflowPopUpButton()
{
    if (m_overflowPopUpButton)
        m_overflowPopUpButton->removeFromSuperview();
    m_overflowPopUpButton = QFOverflowPopUpButton::create(overflowButtonRect(), true);
    m_overflowPopUpButton->setAutoresizingMask(ui::AutoresizingMask::MinXMargin);
    m_overflowPopUpButton->setHidden(true);
    if (m_style)
        m_style->updateOverflowPopUpButton(*m_overflowPopUpButton, *this);
    addSubview(m_overflowPopUpButton);
    if (m_useOverflowMenu && tabView() && numberOfAttachedButtons() != numberOfTabViewItems())
        m_overflowPopUpButton->setHidden(false);
}
