// The tab bar view's buttons: one per visible tab view item, their order, the tab state bits they carry for the
// styles, and the bindings of each button to its item.

#include "frameworks/QFTabBarView/QFTabBarView.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "frameworks/tab-bar-core/TabDragOrigin.h"
#include "platform/foundation/runtime/IndexSet.h"
#include "platform/ui/containers/TabViewItem.h"

#include <algorithm>
#include <unordered_set>

namespace {

const char* const TabBarViewIdentifierContext = "QFTabBarView.identifier";

// The source of a tab value: the item's identifier when it offers the key, else the item's own set.
fnd::Object* tabBarViewSourceForKey(ui::TabViewItem& item, const fnd::String& key)
{
    if (auto identifier = item.identifier().object(); identifier && identifier->classInfo().findProperty(key))
        return identifier.get();
    if (key == "title" || key == "label")
        return key == "label" ? &item : nullptr;
    return QFTabBarViewExtensions::properties(item).get();
}

}

void QFTabBarView::forEachButton(const std::function<void(QFAttachedTabBarButton&)>& visit) const
{
    for (const auto& button : attachedButtons())
        visit(*button);
}

std::vector<std::shared_ptr<QFAttachedTabBarButton>> QFTabBarView::attachedButtons() const
{
    std::vector<std::shared_ptr<QFAttachedTabBarButton>> buttons;
    for (const auto& subview : subviews())
        if (auto button = std::dynamic_pointer_cast<QFAttachedTabBarButton>(subview))
            buttons.push_back(button);
    return buttons;
}

fnd::IndexSet QFTabBarView::viewIndexesOfAttachedButtons() const
{
    fnd::IndexSet indexes;
    const auto& views = subviews();
    for (std::size_t i = 0; i < views.size(); ++i)
        if (std::dynamic_pointer_cast<QFAttachedTabBarButton>(views[i]))
            indexes.add(fnd::Index(i));
    return indexes;
}

long QFTabBarView::numberOfAttachedButtons() const
{
    return m_attachedButtonCount;
}

void QFTabBarView::didAddSubview(ui::View& subview)
{
    QFTabBarViewBase::didAddSubview(subview);
    auto* button = dynamic_cast<QFAttachedTabBarButton*>(&subview);
    if (!button)
        return;
    ++m_attachedButtonCount;
    if (auto item = button->tabViewItem())
        m_buttonOfItem[item.get()] = std::static_pointer_cast<QFAttachedTabBarButton>(button->shared_from_this());
    // A button from another bar may come selected or marked.
    if (button->state() != ui::ControlStateValue::Off
        || (button->tabState() & (QFTabState::PreviousSelected | QFTabState::NextSelected)))
        m_selectionMarked.insert(button);
    noteButtonsChanged();
}

void QFTabBarView::noteSelectionMark(QFAttachedTabBarButton& button)
{
    if (button.superview().get() == this)
        m_selectionMarked.insert(&button);
}

void QFTabBarView::willRemoveSubview(ui::View& subview)
{
    QFTabBarViewBase::willRemoveSubview(subview);
    auto* button = dynamic_cast<QFAttachedTabBarButton*>(&subview);
    if (!button)
        return;
    --m_attachedButtonCount;
    m_selectionMarked.erase(button);
    if (auto item = button->tabViewItem())
        if (auto found = m_buttonOfItem.find(item.get());
            found != m_buttonOfItem.end() && found->second.lock().get() == button)
            m_buttonOfItem.erase(found);
    noteButtonsChanged();
}

void QFTabBarView::noteButtonsChanged()
{
    // The order made before holds the buttons: a button that left must not be kept alive by it.
    m_buttonOrder = {};
}

const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& QFTabBarView::buttonsInItemOrder() const
{
    auto tabs = tabView();
    if (m_buttonOrder.valid && m_buttonOrder.tabView == tabs.get()
        && (!tabs || m_buttonOrder.itemChangeCount == tabs->itemChangeCount() || followItemChange(*tabs)))
        return m_buttonOrder.buttons;
    // Each button's item index is looked up once, not at every comparison, and by the tab view's own index, so
    // the buttons shown cost the same among few tabs or many; buttons whose item left the tab view go last.
    std::vector<std::pair<long, std::shared_ptr<QFAttachedTabBarButton>>> keyed;
    keyed.reserve(std::size_t(m_attachedButtonCount));
    for (auto& button : attachedButtons()) {
        auto item = button->tabViewItem();
        keyed.emplace_back(tabs && item ? tabs->indexOfTabViewItem(*item) : long(fnd::NotFound), std::move(button));
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    m_buttonOrder.buttons.clear();
    m_buttonOrder.buttons.reserve(keyed.size());
    m_buttonOrder.places.clear();
    m_buttonOrder.places.reserve(keyed.size());
    for (auto& entry : keyed) {
        m_buttonOrder.places[entry.second.get()] = m_buttonOrder.buttons.size();
        m_buttonOrder.buttons.push_back(std::move(entry.second));
    }
    m_buttonOrder.tabView = tabs.get();
    m_buttonOrder.itemChangeCount = tabs ? tabs->itemChangeCount() : 0;
    m_buttonOrder.departed = std::size_t(
        std::ranges::count_if(keyed, [](const auto& entry) { return entry.first == long(fnd::NotFound); }));
    m_buttonOrder.valid = true;
    return m_buttonOrder.buttons;
}

bool QFTabBarView::followItemChange(const ui::TabView& tabs) const
{
    // An item that came has no button yet (the update makes it): the buttons keep their order. The button of an
    // item that went joins the departed ones, after those that went before it; the others keep their order.
    const auto& change = tabs.lastItemChange();
    if (change.count != tabs.itemChangeCount() || change.count != m_buttonOrder.itemChangeCount + 1)
        return false;
    auto item = change.item.lock();
    if (!item)
        return false;
    auto button = attachedButtonForTabViewItem(*item);
    auto& buttons = m_buttonOrder.buttons;
    if (change.inserted) {
        if (button)
            return false;
    } else if (button) {
        std::size_t at = m_buttonOrder.departed + std::size_t(std::max(0L, change.index));
        if (at >= buttons.size() || buttons[at] != button) {
            auto found = std::ranges::find(buttons, button);
            if (found == buttons.end() || std::size_t(found - buttons.begin()) < m_buttonOrder.departed)
                return false;
            at = std::size_t(found - buttons.begin());
        }
        std::rotate(
            buttons.begin() + long(m_buttonOrder.departed), buttons.begin() + long(at), buttons.begin() + long(at) + 1);
        for (std::size_t i = m_buttonOrder.departed; i <= at; ++i)
            m_buttonOrder.places[buttons[i].get()] = i;
        ++m_buttonOrder.departed;
    }
    m_buttonOrder.itemChangeCount = change.count;
    return true;
}

std::vector<std::shared_ptr<QFAttachedTabBarButton>> QFTabBarView::sortedAttachedButtonsUsingComparator(
    const std::function<ui::ComparisonResult(const QFAttachedTabBarButton&, const QFAttachedTabBarButton&)>& compare)
    const
{
    auto buttons = attachedButtons();
    std::stable_sort(buttons.begin(), buttons.end(),
        [&](const auto& a, const auto& b) { return compare(*a, *b) == ui::ComparisonResult::Ascending; });
    return buttons;
}

std::vector<std::shared_ptr<QFAttachedTabBarButton>> QFTabBarView::orderedAttachedButtons() const
{
    if (isSlidingHere()) {
        // By where each button rests along the bar.
        const gfx::Axis axis = barAxis();
        return sortedAttachedButtonsUsingComparator([axis](const auto& a, const auto& b) {
            const double pa = gfx::minAlong(a.stackingFrame(), axis);
            const double pb = gfx::minAlong(b.stackingFrame(), axis);
            return pa < pb ? ui::ComparisonResult::Ascending
                           : (pa > pb ? ui::ComparisonResult::Descending : ui::ComparisonResult::Same);
        });
    }
    return buttonsInItemOrder();
}

std::shared_ptr<QFAttachedTabBarButton> QFTabBarView::lastAttachedButton() const
{
    if (isSlidingHere()) {
        auto buttons = orderedAttachedButtons();
        return buttons.empty() ? nullptr : buttons.back();
    }
    const auto& buttons = buttonsInItemOrder();
    return buttons.empty() ? nullptr : buttons.back();
}

long QFTabBarView::indexOfAttachedButton(const QFAttachedTabBarButton& button) const
{
    if (!isSlidingHere()) {
        const auto& buttons = buttonsInItemOrder();
        const auto found = m_buttonOrder.places.find(&button);
        return found != m_buttonOrder.places.end() && found->second < buttons.size()
                && buttons[found->second].get() == &button
            ? long(found->second)
            : long(fnd::NotFound);
    }
    const auto buttons = orderedAttachedButtons();
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i].get() == &button)
            return long(i);
    return fnd::NotFound;
}

std::shared_ptr<QFAttachedTabBarButton> QFTabBarView::selectedAttachedButton() const
{
    const auto& views = subviews();
    for (auto it = views.rbegin(); it != views.rend(); ++it)
        if (auto button = std::dynamic_pointer_cast<QFAttachedTabBarButton>(*it);
            button && button->state() == ui::ControlStateValue::On)
            return button;
    return nullptr;
}

long QFTabBarView::viewIndexOfSelectedAttachedButton() const
{
    const auto& views = subviews();
    for (std::size_t i = views.size(); i-- > 0;)
        if (auto button = std::dynamic_pointer_cast<QFAttachedTabBarButton>(views[i]);
            button && button->state() == ui::ControlStateValue::On)
            return long(i);
    return fnd::NotFound;
}

std::shared_ptr<QFAttachedTabBarButton> QFTabBarView::attachedButtonForTabViewItem(const ui::TabViewItem& item) const
{
    auto found = m_buttonOfItem.find(&item);
    if (found == m_buttonOfItem.end())
        return nullptr;
    auto button = found->second.lock();
    return button && button->tabViewItem().get() == &item && button->superview().get() == this ? button : nullptr;
}

std::shared_ptr<QFAttachedTabBarButton> QFTabBarView::attachedButtonAtPoint(gfx::Point point) const
{
    return std::dynamic_pointer_cast<QFAttachedTabBarButton>(tabBarButtonAtPoint(point));
}

std::shared_ptr<QFTabBarButton> QFTabBarView::tabBarButtonAtPoint(gfx::Point point) const
{
    auto& self = const_cast<QFTabBarView&>(*this);
    if (m_orientation == QFTabBarOrientation::Horizontal && !gfx::pointInRect(point, self.genericButtonRect()))
        return nullptr;
    auto parent = superview();
    if (!parent)
        return nullptr;
    auto hit = self.hitTest(convertPointToView(point, parent.get()));
    if (!hit)
        return nullptr;
    if (auto button = std::dynamic_pointer_cast<QFTabBarButton>(hit))
        return button;
    return QFTabBarViewExtensions::enclosingTabBarButton(*hit);
}

void QFTabBarView::insertAttachedButtonForTabViewItem(const std::shared_ptr<ui::TabViewItem>& item, long index)
{
    makeAttachedButtonForTabViewItem(item, index, lastAttachedButton());
}

std::shared_ptr<QFAttachedTabBarButton> QFTabBarView::makeAttachedButtonForTabViewItem(
    const std::shared_ptr<ui::TabViewItem>& item, long index, const std::shared_ptr<QFAttachedTabBarButton>& last)
{
    const gfx::Rect generic = genericButtonRect();
    gfx::Rect start;
    if (m_orientation == QFTabBarOrientation::Horizontal)
        start = { last ? last->frame().maxX() : 0, generic.minY(), 30.0, generic.height() };
    else
        start = { generic.minX(), last ? last->frame().maxY() : 0, last ? last->frame().width() : 0, 0 };
    auto button = QFAttachedTabBarButton::create(start, item);
    // It rests where it starts, after the last button, until it is laid out: buttons sliding along the bar are
    // ordered by where they rest.
    button->setStackingFrame(start);
    button->setRolloverButtonType(1);
    button->setSimulateClickOnMouseHovered(m_allowsScrubbing);
    button->setStyle(m_style);
    bindPropertiesOfAttachedButton(*button, *item);
    addSubview(button);
    if (auto tabs = tabView(); tabs && tabs->indexOfTabViewItem(*item) == long(fnd::NotFound)) {
        tabs->insertTabViewItem(item, std::clamp<long>(index, 0, tabs->numberOfTabViewItems()));
        tabs->selectTabViewItem(item);
    }
    return button;
}

void QFTabBarView::insertAttachedButtonsForItemsWithoutOne(bool skipDraggedItem)
{
    auto tabs = tabView();
    if (!tabs)
        return;
    std::unordered_set<const ui::TabViewItem*> shown;
    for (const auto& item : visibleTabViewItems())
        shown.insert(item.get());
    auto dragged = skipDraggedItem ? attachedTabBarButtonForDraggedItems() : nullptr;
    const auto items = tabs->tabViewItems();
    const auto lacking = tbcore::itemsLackingTabs(items, shown, dragged ? dragged->tabViewItem().get() : nullptr);
    // The last button along the bar follows each new one (they come in item order and go after the buttons of
    // earlier items), so the buttons are not sorted again for every new button. While buttons slide the order is
    // their places on the bar, which a new button does not take yet: that order is asked for each time.
    const bool sliding = isSlidingHere();
    auto last = lastAttachedButton();
    auto keyOf = [&](const QFAttachedTabBarButton& button) {
        auto item = button.tabViewItem();
        return item ? tabs->indexOfTabViewItem(*item) : long(fnd::NotFound);
    };
    for (const std::size_t i : lacking) {
        auto button = makeAttachedButtonForTabViewItem(items[i], long(i), sliding ? lastAttachedButton() : last);
        if (!last || keyOf(*last) <= keyOf(*button))
            last = button;
    }
}

bool QFTabBarView::laysOutTabsWithoutButtons() const
{
    // A drag orders the buttons by where they rest, places the dragged one at its destination and may carry a
    // button whose item is elsewhere: the layout then goes by the buttons, made for every item beforehand.
    return tabView() && !isDragging() && !isSliding() && m_destinationIndexForDraggedItem == long(fnd::NotFound);
}

std::optional<std::vector<QFTabBarTab>> QFTabBarView::tabsInBarOrder() const
{
    auto tabs = tabView();
    if (!tabs || !laysOutTabsWithoutButtons())
        return std::nullopt;
    // The buttons in item order follow the items, so each item's button is found in one pass along both. The
    // buttons whose items left stand together, first when they left one at a time, last when the order was made
    // afresh; the tabs keep that order.
    const auto& buttons = buttonsInItemOrder();
    const auto& items = tabs->tabViewItems();
    const std::size_t departed = std::min(m_buttonOrder.departed, buttons.size());
    auto isDeparted = [&](const QFAttachedTabBarButton& button) {
        auto item = button.tabViewItem();
        return !item || tabs->indexOfTabViewItem(*item) == long(fnd::NotFound);
    };
    const bool departedFirst = departed == 0 || isDeparted(*buttons.front());
    const std::size_t first = departedFirst ? departed : 0;
    const std::size_t end = departedFirst ? buttons.size() : buttons.size() - departed;
    std::vector<QFTabBarTab> ordered;
    ordered.reserve(departed + items.size());
    auto addDeparted = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            ordered.push_back({ buttons[i]->tabViewItem(), buttons[i] });
    };
    if (departedFirst)
        addDeparted(0, departed);
    std::size_t next = first;
    for (const auto& item : items) {
        if (next < end && buttons[next]->tabViewItem() == item)
            ordered.push_back({ item, buttons[next++] });
        else
            ordered.push_back({ item, nullptr });
    }
    if (next != end)
        return std::nullopt;
    if (!departedFirst)
        addDeparted(end, buttons.size());
    return ordered;
}

fnd::String QFTabBarView::titleOfTabViewItem(ui::TabViewItem& item) const
{
    auto* source = tabBarViewSourceForKey(item, "title");
    // The value a bound button takes (a title that is no text shows as text, none as empty).
    fnd::String title = source ? source->valueForKey("title").stringValue() : item.label();
    if (item.label() != title)
        item.setLabel(title);
    return title;
}

void QFTabBarView::addAttachedButtonForTabViewItem(const std::shared_ptr<ui::TabViewItem>& item)
{
    insertAttachedButtonForTabViewItem(item, numberOfAttachedButtons());
}

void QFTabBarView::removeAttachedButton(QFAttachedTabBarButton& button)
{
    auto keep = std::static_pointer_cast<QFAttachedTabBarButton>(button.shared_from_this());
    if (button.superview().get() == this)
        unbindPropertiesOfAttachedButton(button);
    button.removeFromSuperview();
}

void QFTabBarView::removeAttachedButton(QFAttachedTabBarButton& button, bool synchronizeTabViewItems)
{
    auto item = button.tabViewItem();
    auto tabs = tabView();
    if (synchronizeTabViewItems && item && tabs && tabs->indexOfTabViewItem(*item) != long(fnd::NotFound)) {
        // The next update removes the button.
        tabs->removeTabViewItem(item);
        return;
    }
    removeAttachedButton(button);
}

void QFTabBarView::insertAttachedButton(const std::shared_ptr<QFAttachedTabBarButton>& button, long tabItemIndex)
{
    addSubview(button);
    button->setStyle(m_style);
    auto item = button->tabViewItem();
    if (!item)
        return;
    bindPropertiesOfAttachedButton(*button, *item);
    if (auto tabs = tabView()) {
        tabs->insertTabViewItem(item, std::clamp<long>(tabItemIndex, 0, tabs->numberOfTabViewItems()));
        tabs->selectTabViewItem(item);
    }
}

std::shared_ptr<ui::TabViewItem> QFTabBarView::tabViewItemPinnedToOverflowButton() const
{
    auto last = lastAttachedButton();
    return last && last->isOverflowButton() ? last->tabViewItem() : nullptr;
}

void QFTabBarView::setTabViewItemPinnedToOverflowButton(const std::shared_ptr<ui::TabViewItem>& item)
{
    auto last = lastAttachedButton();
    if (!last || !item)
        return;
    unbindPropertiesOfAttachedButton(*last);
    if (auto old = last->tabViewItem())
        if (auto found = m_buttonOfItem.find(old.get()); found != m_buttonOfItem.end() && found->second.lock() == last)
            m_buttonOfItem.erase(found);
    const bool staysLast = staysLastWhenPinned(*last, *item);
    last->setTabViewItem(item);
    m_buttonOfItem[item.get()] = last;
    if (!staysLast)
        noteButtonsChanged();
    bindPropertiesOfAttachedButton(*last, *item);
}

bool QFTabBarView::staysLastWhenPinned(const QFAttachedTabBarButton& last, const ui::TabViewItem& item) const
{
    // The selected tab pinned to the last button is one of the tabs after the bar's buttons (it has none), so the
    // bar order stands, and tabs closed one after another while the selection moves through the overflow menu do
    // not sort the buttons again each time.
    auto tabs = tabView();
    const auto& buttons = m_buttonOrder.buttons;
    if (!tabs || !m_buttonOrder.valid || m_buttonOrder.tabView != tabs.get()
        || m_buttonOrder.itemChangeCount != tabs->itemChangeCount() || isSlidingHere() || buttons.empty()
        || buttons.back().get() != &last)
        return false;
    auto indexOf = [&](const QFAttachedTabBarButton& button) {
        auto shown = button.tabViewItem();
        return shown ? tabs->indexOfTabViewItem(*shown) : long(fnd::NotFound);
    };
    // A button whose item left goes with the departed ones, wherever they stand.
    const long at = tabs->indexOfTabViewItem(item);
    if (at == long(fnd::NotFound) || indexOf(last) == long(fnd::NotFound))
        return false;
    if (buttons.size() == 1)
        return true;
    // The button before it holds an earlier item, or left (the departed ones then stand first).
    const long before = indexOf(*buttons[buttons.size() - 2]);
    return before == long(fnd::NotFound) || before < at;
}

void QFTabBarView::enumerateAttachedButtons(const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons,
    fnd::Range range, unsigned options, const ButtonVisitor& block)
{
    const long count = long(buttons.size());
    const long location = std::clamp<long>(long(range.location), 0, count);
    const long end = std::min<long>(count, location + long(range.length));
    auto selected = selectedTabViewItem();
    QFAttachedTabBarButton* previous = nullptr;
    for (long i = location; i < end; ++i) {
        auto& button = *buttons[std::size_t(i)];
        QFAttachedTabBarButton* next = i + 1 < end ? buttons[std::size_t(i + 1)].get() : nullptr;
        if (options & QFTabBarButtonEnumeration::UpdateSelection) {
            auto item = button.tabViewItem();
            const auto state = item && item == selected ? ui::ControlStateValue::On : ui::ControlStateValue::Off;
            if (button.state() != state)
                button.setState(state);
        }
        if (options & QFTabBarButtonEnumeration::UpdateTabState)
            updateTabStateMaskOfAttachedButton(button, i, previous, next);
        if (block) {
            bool stop = false;
            block(button, i, previous, next, stop);
            if (stop)
                break;
        }
        previous = &button;
    }
}

void QFTabBarView::enumerateAttachedButtonsUsingBlock(const ButtonVisitor& block)
{
    enumerateAttachedButtonsWithOptions(0, block);
}

void QFTabBarView::enumerateAttachedButtonsWithOptions(unsigned options, const ButtonVisitor& block)
{
    auto buttons = orderedAttachedButtons();
    enumerateAttachedButtons(buttons, { 0, fnd::Index(buttons.size()) }, options, block);
}

void QFTabBarView::updateTabStateMaskOfAttachedButton(
    QFAttachedTabBarButton& button, long index, QFAttachedTabBarButton* previous, QFAttachedTabBarButton* next)
{
    QFTabStateBits bits = button.tabState() & ~QFTabState::PositionMask;
    if (!previous)
        bits |= QFTabState::PositionFirst;
    if (!next)
        bits |= QFTabState::PositionLast;
    if (previous && next)
        bits |= QFTabState::PositionMiddle;
    if (!previous && !next)
        bits |= QFTabState::PositionSingle;
    button.setTabState(bits);

    auto adjust = [](QFAttachedTabBarButton* neighbour, QFTabStateBits bit, bool on) {
        if (!neighbour)
            return;
        neighbour->setTabState(on ? neighbour->tabState() | bit : neighbour->tabState() & ~bit);
    };
    const bool selected = button.state() == ui::ControlStateValue::On;
    adjust(previous, QFTabState::NextSelected, selected);
    adjust(next, QFTabState::PreviousSelected, selected);
    adjust(previous, QFTabState::NextSliding, button.isSliding());
    adjust(next, QFTabState::PreviousSliding, button.isSliding());
    const bool atDestination = m_destinationIndexForDraggedItem == index;
    adjust(previous, QFTabState::NextIsDropTarget, atDestination);
    adjust(next, QFTabState::PreviousIsDropTarget, atDestination);
}

void QFTabBarView::updateTabStateMaskOfAttachedButton(QFAttachedTabBarButton& button, long index)
{
    const auto sliding
        = isSlidingHere() ? orderedAttachedButtons() : std::vector<std::shared_ptr<QFAttachedTabBarButton>> {};
    const auto& buttons = isSlidingHere() ? sliding : buttonsInItemOrder();
    QFAttachedTabBarButton* previous
        = index > 0 && index - 1 < long(buttons.size()) ? buttons[std::size_t(index - 1)].get() : nullptr;
    QFAttachedTabBarButton* next = index + 1 < long(buttons.size()) ? buttons[std::size_t(index + 1)].get() : nullptr;
    updateTabStateMaskOfAttachedButton(button, index, previous, next);
}

void QFTabBarView::updateTabStateMaskOfAttachedButtons()
{
    enumerateAttachedButtonsWithOptions(QFTabBarButtonEnumeration::UpdateTabState, nullptr);
}

void QFTabBarView::bindPropertiesOfAttachedButton(QFAttachedTabBarButton& button, ui::TabViewItem& item)
{
    if (auto* titleSource = tabBarViewSourceForKey(item, "title"))
        button.bind("title", *titleSource, "title");
    else
        button.bind("title", item, "label");
    button.indicator()->setHidden(true);
    auto bindTo = [&](const fnd::String& key, const fnd::Dictionary& options = {}) {
        if (auto* source = tabBarViewSourceForKey(item, key))
            button.bind(key, *source, key, options);
    };
    bindTo("isProcessing");
    button.setIcon(nullptr);
    bindTo("icon");
    button.setObjectCount(0);
    bindTo("objectCount", { { "NSConditionallySetsHidden", fnd::Value(true) } });
    button.setObjectCountColor(QFTabBarButtonCell::defaultObjectCountColor());
    bindTo("objectCountColor");
    button.setLargeImage(nullptr);
    bindTo("largeImage");
    button.setIsEdited(false);
    bindTo("isEdited");
    button.setHasCloseButton(false);
    bindTo("hasCloseButton");
    item.addObserver(*this, "identifier", fnd::KeyValueObservingOptions::Old, TabBarViewIdentifierContext);
}

void QFTabBarView::unbindPropertiesOfAttachedButton(QFAttachedTabBarButton& button)
{
    auto item = button.tabViewItem();
    if (!item)
        return;
    item->removeObserver(*this, "identifier", TabBarViewIdentifierContext);
    for (const char* name : { "title", "objectCount", "objectCountColor", "isEdited", "hasCloseButton", "isProcessing",
             "icon", "largeImage" })
        button.unbind(name);
}

void QFTabBarView::observeValueForKeyPath(
    const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change, const void* context)
{
    if (context == TabBarViewIdentifierContext) {
        if (auto* item = dynamic_cast<ui::TabViewItem*>(&object))
            if (auto button = attachedButtonForTabViewItem(*item)) {
                // Unbinding stops the observation it came through, so keep it going.
                for (const char* name : { "title", "objectCount", "objectCountColor", "isEdited", "hasCloseButton",
                         "isProcessing", "icon", "largeImage" })
                    button->unbind(name);
                item->removeObserver(*this, "identifier", TabBarViewIdentifierContext);
                bindPropertiesOfAttachedButton(*button, *item);
            }
        return;
    }
    if (observeToolbar(context))
        return;
    ui::View::observeValueForKeyPath(keyPath, object, change, context);
}

void QFTabBarView::stopObservingItems()
{
    forEachButton([this](QFAttachedTabBarButton& button) {
        if (auto item = button.tabViewItem())
            item->removeObserver(*this, "identifier", TabBarViewIdentifierContext);
    });
}
