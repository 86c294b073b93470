#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"

#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabControls.h"
#include "frameworks/ZTBTabBarControl/ZTBTabDragAssistant.h"
#include "frameworks/tab-bar-core/TabBarOutlets.h"
#include "frameworks/tab-bar-core/TabDragOrigin.h"
#include "frameworks/tab-bar-core/TabResources.h"
#include "frameworks/tab-bar-core/TabShapes.h"
#include "frameworks/tab-bar-core/TabWidths.h"
#include "platform/foundation/bindings/ValueTransformer.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/views/Animation.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_set>

FND_REGISTER_CLASS(ZTBTabBarControl, ui::View)

namespace {

const char* const ZTBTabBarControlIdentifierContext = "ZTBTabBarControl.identifier";

}

void ZTBTabBarControl::describeClass(fnd::ClassBuilder<ZTBTabBarControl>& c)
{
    c.property("styleName", &ZTBTabBarControl::styleName, &ZTBTabBarControl::setStyleNamed);
    tbcore::describeTabBarOutlets<ZTBTabBarControlDelegate>(c);
}

ZTBTabBarControl::ZTBTabBarControl() = default;

ZTBTabBarControl::~ZTBTabBarControl()
{
    auto& center = fnd::NotificationCenter::defaultCenter();
    for (auto token : m_windowObservers)
        center.removeObserver(token);
    if (m_frameObserver)
        center.removeObserver(m_frameObserver);
    for (const auto& timer : { m_animationTimer, m_showHideAnimationTimer })
        if (timer)
            timer->invalidate();
    for (const auto& cell : m_cells) {
        cell->stopObservingIdentifier();
        if (auto item = cell->representedObject(); item && forgetObservedItem(*item))
            item->removeObserver(*this, "identifier", ZTBTabBarControlIdentifierContext);
    }
}

std::shared_ptr<ZTBTabBarControl> ZTBTabBarControl::create(gfx::Rect frame)
{
    return ui::makeView<ZTBTabBarControl>(frame);
}

std::shared_ptr<ZTBTabBarControl> ZTBTabBarControl::self()
{
    return std::static_pointer_cast<ZTBTabBarControl>(shared_from_this());
}

std::shared_ptr<fnd::Bundle> ZTBTabBarControl::bundle()
{
    static const auto bundle = tbcore::bundleOfClass("ZTBTabBarControl");
    return bundle;
}

void ZTBTabBarControl::initWithFrame(gfx::Rect frame)
{
    ui::View::initWithFrame(frame);
    initAddedProperties();
    ui::registerForDraggedTypes(*this, { ZTBTabBarControlItemPBType });
    setPostsFrameChangedNotifications(true);
    std::weak_ptr<ZTBTabBarControl> weak = self();
    m_frameObserver = fnd::NotificationCenter::defaultCenter().addObserverForName(ui::ViewNotification::FrameDidChange,
        fnd::Value(std::static_pointer_cast<fnd::Object>(shared_from_this())), [weak](const fnd::Notification&) {
            if (auto bar = weak.lock())
                bar->frameDidChange();
        });
}

void ZTBTabBarControl::initAddedProperties()
{
    m_style = makeTabStyleNamed(DefaultStyleName);
    m_controller = std::make_unique<ZTBTabBarController>(*this);
    const double right = m_style->rightMarginForTabBarControl();
    const gfx::Rect b = bounds();
    m_overflowPopUpButton = ZTBOverflowPopUpButton::create({ b.width() - right + 1, 0, right - 1, b.height() });
    m_overflowPopUpButton->setAutoresizingMask(1);
    m_overflowPopUpButton->setHidden(true);
    addSubview(m_overflowPopUpButton);
    _positionOverflowMenu();
    m_addTabButton = ZTBRolloverButton::create({ b.width() - right + 1, 3.0, 16.0, 16.0 });
    if (auto image = m_style->addTabButtonImage())
        m_addTabButton->setUsualImage(image);
    if (auto image = m_style->addTabButtonPressedImage())
        m_addTabButton->setAlternateImage(image);
    if (auto image = m_style->addTabButtonRolloverImage())
        m_addTabButton->setRolloverImage(image);
    addSubview(m_addTabButton);
    m_addTabButton->setHidden(!m_showAddTabButton);
}

// Styles.

void ZTBTabBarControl::setStyle(std::shared_ptr<ZTBTabStyle> style)
{
    if (!style || style == m_style)
        return;
    m_style = std::move(style);
    m_style->setOrientation(m_orientation);
    if (auto image = m_style->addTabButtonImage())
        m_addTabButton->setUsualImage(image);
    if (auto image = m_style->addTabButtonPressedImage())
        m_addTabButton->setAlternateImage(image);
    if (auto image = m_style->addTabButtonRolloverImage())
        m_addTabButton->setRolloverImage(image);
    update();
}

void ZTBTabBarControl::setStyleNamed(const fnd::String& name)
{
    setStyle(makeTabStyleNamed(name));
}

std::shared_ptr<ZTBTabStyle> ZTBTabBarControl::makeTabStyleNamed(const fnd::String& name)
{
    auto& registry = ZTBTabStyleRegistry::shared();
    if (auto style = registry.makeStyle(name))
        return style;
    return registry.makeStyle(DefaultStyleName);
}

void ZTBTabBarControl::setDelegate(const std::shared_ptr<ZTBTabBarControlDelegate>& delegate)
{
    m_delegate = delegate;
    registerDraggedTypes();
}

void ZTBTabBarControl::registerDraggedTypes()
{
    std::vector<fnd::String> types { ZTBTabBarControlItemPBType };
    auto delegate = m_delegate.lock();
    if (delegate && m_tabView)
        if (auto extra = delegate->allowedDraggedTypesForTabView(*m_tabView))
            types.insert(types.end(), extra->begin(), extra->end());
    ui::unregisterDraggedTypes(*this);
    ui::registerForDraggedTypes(*this, types);
}

// Options.

void ZTBTabBarControl::setCanCloseOnlyTab(bool flag)
{
    m_canCloseOnlyTab = flag;
    if (m_cells.size() == 1)
        update();
}

void ZTBTabBarControl::setShowAddTabButton(bool flag)
{
    m_showAddTabButton = flag;
    if (!m_controller->addButtonRect().isEmpty())
        m_addTabButton->setFrame(m_controller->addButtonRect());
    m_addTabButton->setHidden(!flag);
    m_addTabButton->setNeedsDisplay(true);
    update();
}

void ZTBTabBarControl::setOrientation(int orientation)
{
    const int old = m_orientation;
    m_orientation = orientation;
    if (m_tabBarWidth <= 9)
        m_tabBarWidth = 120;
    if (old != orientation) {
        m_style->setOrientation(orientation);
        _positionOverflowMenu();
        update(false);
    }
}

// Cells.

double ZTBTabBarControl::availableCellWidth() const
{
    // None, not less, in a bar narrower than its margins.
    return std::max(0.0,
        frame().width() - m_style->leftMarginForTabBarControl() - m_style->rightMarginForTabBarControl()
            - double(m_resizeAreaCompensation));
}

gfx::Rect ZTBTabBarControl::genericCellRect() const
{
    return { m_style->leftMarginForTabBarControl(), 0, availableCellWidth(), m_style->tabCellHeight() };
}

void ZTBTabBarControl::addTabViewItem(const std::shared_ptr<ui::TabViewItem>& item)
{
    auto cell = ZTBTabBarCell::create(self());
    cell->setRepresentedObject(item);
    const gfx::Rect last = m_cells.empty() ? gfx::Rect {} : m_cells.back()->frame();
    const gfx::Rect generic = genericCellRect();
    if (m_orientation == 0)
        cell->setFrame({ last.maxX(), generic.minY(), 30.0, generic.height() });
    else
        cell->setFrame({ generic.minX(), last.maxY(), last.width(), 0 });
    bindPropertiesForCell(*cell, *item);
    m_cells.push_back(cell);
    // While a tab is dragged over the bar its tabs stand between placeholders: a new one gets its gap after it.
    if (m_cells.front()->isPlaceholder())
        m_cells.push_back(ZTBTabBarCell::placeholder(cell->frame(), false, self()));
    // Laid out in the window's next layout pass: a program adding many tabs at once pays for one layout, not one
    // per tab.
    if (m_tabView && long(m_cells.size()) == m_tabView->numberOfTabViewItems())
        setNeedsUpdate();
    ui::accessibilityPostNotification(*this, ui::AccessibilityNotification::ChildrenChanged);
}

void ZTBTabBarControl::removeTabForCell(const std::shared_ptr<ZTBTabBarCell>& cell)
{
    removeTabForCell(cell, -1);
}

void ZTBTabBarControl::removeTabForCell(const std::shared_ptr<ZTBTabBarCell>& cell, long place)
{
    auto keep = cell;
    if (auto item = cell->representedObject()) {
        if (auto indicator = cell->indicator()) {
            indicator->unbind("animate");
            indicator->unbind("hidden");
        }
        for (const char* name : { "hasIcon", "hasLargeImage", "title", "count", "countColor", "isEdited" })
            cell->unbind(name);
        if (forgetObservedItem(*item))
            item->removeObserver(*this, "identifier", ZTBTabBarControlIdentifierContext);
        cell->stopObservingIdentifier();
    }
    if (cell->indicator() && cell->indicator()->superview().get() == this)
        cell->indicator()->removeFromSuperview();
    removeTrackingRectOfCell(*cell, cell->closeButtonTrackingTag());
    removeTrackingRectOfCell(*cell, cell->cellTrackingTag());
    cell->setCloseButtonTrackingTag(0);
    cell->setCellTrackingTag(0);
    if (place >= 0 && place < long(m_cells.size()) && m_cells[std::size_t(place)] == cell)
        m_cells.erase(m_cells.begin() + place);
    else
        std::erase(m_cells, cell);
    ui::accessibilityPostNotification(*this, ui::AccessibilityNotification::ChildrenChanged);
    setNeedsUpdate();
}

void ZTBTabBarControl::bindPropertiesForCell(ZTBTabBarCell& cell, ui::TabViewItem& item)
{
    auto identifier = item.identifier().object();
    auto answers = [&](const char* key) { return identifier && identifier->classInfo().findProperty(key); };
    for (const char* name : { "hasIcon", "hasLargeImage", "title", "count", "countColor", "isEdited" })
        cell.unbind(name);
    cell.stopObservingIdentifier();
    auto indicator = cell.indicator();
    indicator->unbind("animate");
    indicator->unbind("hidden");
    indicator->setHidden(true);
    if (answers("isProcessing")) {
        // The spinner turns and shows exactly while the identifier is processing.
        indicator->bind("animate", *identifier, "isProcessing");
        indicator->bind("hidden", *identifier, "isProcessing",
            { { "NSValueTransformerName", fnd::Value(fnd::ValueTransformerName::NegateBoolean) } });
        cell.observeIdentifierKey(identifier, "isProcessing");
    }
    cell.setHasIcon(false);
    if (answers("icon")) {
        cell.bind("hasIcon", *identifier, "icon",
            { { "NSValueTransformerName", fnd::Value(fnd::ValueTransformerName::IsNotNil) } });
        cell.observeIdentifierKey(identifier, "icon");
    }
    cell.setCount(0);
    if (answers("objectCount")) {
        cell.bind("count", *identifier, "objectCount");
        cell.observeIdentifierKey(identifier, "objectCount");
    }
    cell.setCountColor(nullptr);
    if (answers("countColor")) {
        cell.bind("countColor", *identifier, "countColor");
        cell.observeIdentifierKey(identifier, "countColor");
    }
    cell.setHasLargeImage(false);
    if (answers("largeImage")) {
        cell.bind("hasLargeImage", *identifier, "largeImage",
            { { "NSValueTransformerName", fnd::Value(fnd::ValueTransformerName::IsNotNil) } });
        cell.observeIdentifierKey(identifier, "largeImage");
    }
    cell.setIsEdited(false);
    if (answers("isEdited")) {
        cell.bind("isEdited", *identifier, "isEdited");
        cell.observeIdentifierKey(identifier, "isEdited");
    }
    cell.bind("title", item, "label");
    auto& bound = m_boundItems[&item];
    // An entry of an item that died at this address is not this one's.
    if (bound.item.lock().get() != &item)
        item.addObserver(*this, "identifier", fnd::KeyValueObservingOptions::None, ZTBTabBarControlIdentifierContext);
    bound = { std::static_pointer_cast<ui::TabViewItem>(item.shared_from_this()),
        std::static_pointer_cast<ZTBTabBarCell>(cell.shared_from_this()) };
}

bool ZTBTabBarControl::forgetObservedItem(const ui::TabViewItem& item)
{
    auto found = m_boundItems.find(&item);
    if (found == m_boundItems.end())
        return false;
    const bool watched = found->second.item.lock().get() == &item;
    m_boundItems.erase(found);
    return watched;
}

std::shared_ptr<ZTBTabBarCell> ZTBTabBarControl::boundCellOf(const ui::TabViewItem& item) const
{
    auto found = m_boundItems.find(&item);
    if (found == m_boundItems.end() || found->second.item.lock().get() != &item)
        return nullptr;
    auto cell = found->second.cell.lock();
    return cell && cell->representedObject().get() == &item ? cell : nullptr;
}

void ZTBTabBarControl::observeValueForKeyPath(
    const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change, const void* context)
{
    if (context != ZTBTabBarControlIdentifierContext || keyPath != "identifier") {
        ui::View::observeValueForKeyPath(keyPath, object, change, context);
        return;
    }
    for (const auto& cell : std::vector(m_cells))
        if (auto item = cell->representedObject(); item.get() == &object)
            bindPropertiesForCell(*cell, *item);
}

std::vector<std::shared_ptr<ui::TabViewItem>> ZTBTabBarControl::representedTabViewItems() const
{
    std::vector<std::shared_ptr<ui::TabViewItem>> items;
    for (const auto& cell : m_cells)
        if (auto item = cell->representedObject())
            items.push_back(item);
    return items;
}

std::shared_ptr<ZTBTabBarCell> ZTBTabBarControl::cellForPoint(gfx::Point point, gfx::Rect* cellFrame) const
{
    if (m_orientation == 0 && !gfx::pointInRect(point, genericCellRect()))
        return nullptr;
    for (const auto& cell : m_cells) {
        if (gfx::pointInRect(point, cell->frame())) {
            if (cellFrame)
                *cellFrame = cell->frame();
            return cell;
        }
    }
    return nullptr;
}

std::shared_ptr<ZTBTabBarCell> ZTBTabBarControl::cellForItem(const ui::TabViewItem& item) const
{
    // The cell bound to the item is among the cells unless a drag carries it; only then are they searched.
    auto assistant = ZTBTabDragAssistant::sharedDragAssistant();
    if (auto cell = boundCellOf(item); cell && !(assistant->isDragging() && assistant->draggedCell() == cell))
        return cell;
    for (const auto& cell : m_cells)
        if (cell->representedObject().get() == &item)
            return cell;
    return nullptr;
}

long ZTBTabBarControl::indexOfCell(const ZTBTabBarCell& cell) const
{
    for (std::size_t i = 0; i < m_cells.size(); ++i)
        if (m_cells[i].get() == &cell)
            return long(i);
    return -1;
}

std::shared_ptr<ZTBTabBarCell> ZTBTabBarControl::lastVisibleTab() const
{
    for (std::size_t i = 0; i < m_cells.size(); ++i)
        if (m_cells[i]->isInOverflowMenu())
            return i > 0 ? m_cells[i - 1] : nullptr;
    return m_cells.empty() ? nullptr : m_cells.back();
}

long ZTBTabBarControl::numberOfVisibleTabs() const
{
    long count = 0;
    for (const auto& cell : m_cells) {
        if (cell->isInOverflowMenu())
            break;
        if (!cell->isPlaceholder())
            ++count;
    }
    return count;
}

fnd::String ZTBTabBarControl::stringForToolTip(ui::View&, long, gfx::Point point, const fnd::Value&)
{
    auto delegate = this->delegate();
    auto cell = cellForPoint(point);
    if (delegate && cell && cell->representedObject() && m_tabView)
        if (auto tip = delegate->tabViewToolTipForTabViewItem(*m_tabView, *cell->representedObject()))
            return *tip;
    return {};
}

// Tab view delegate.

void ZTBTabBarControl::awakeFromNib()
{
    addCellsForItemsNotShown();
}

void ZTBTabBarControl::setTabView(std::shared_ptr<ui::TabView> tabView)
{
    m_tabView = std::move(tabView);
    // The delegate's extra drag types are asked for this tab view, so a delegate set first (an interface file
    // connects outlets in file order) is asked again.
    registerDraggedTypes();
    // The tabs of the tab view the bar showed before go (nothing was closed): left, they could never be laid out,
    // selected or closed again.
    for (const auto& cell : std::vector(m_cells)) {
        auto item = cell->representedObject();
        if (item && (!m_tabView || m_tabView->indexOfTabViewItem(*item) == long(fnd::NotFound)))
            removeTabForCell(cell);
    }
    addCellsForItemsNotShown();
}

void ZTBTabBarControl::addCellsForItemsNotShown()
{
    if (!m_tabView)
        return;
    addCellsForItemsNotShown(std::vector(m_tabView->tabViewItems()));
    noteWhetherCellsMatchItems();
}

void ZTBTabBarControl::noteWhetherCellsMatchItems()
{
    // The cells match when each item has one: every item lacking a cell got one, and no cell of an item that
    // left stays (the count tells, placeholders and a carried tab aside, which only a drag has).
    const bool match = m_tabView && long(m_cells.size()) == m_tabView->numberOfTabViewItems()
        && !ZTBTabDragAssistant::sharedDragAssistant()->isDragging();
    m_followedTabView = match ? m_tabView.get() : nullptr;
    m_followedItemChangeCount = match ? m_tabView->itemChangeCount() : 0;
}

bool ZTBTabBarControl::followLastItemChange(
    ui::TabView& tabView, const std::shared_ptr<ZTBTabBarControlDelegate>& delegate)
{
    const auto& change = tabView.lastItemChange();
    if (m_followedTabView != &tabView || change.count != tabView.itemChangeCount()
        || change.count != m_followedItemChangeCount + 1 || ZTBTabDragAssistant::sharedDragAssistant()->isDragging())
        return false;
    auto item = change.item.lock();
    if (!item)
        return false;
    if (change.inserted) {
        // A cell moved here with its item (a tab dropped from another bar) is bound before the item comes.
        if (!boundCellOf(*item))
            addTabViewItem(item);
    } else if (auto cell = boundCellOf(*item)) {
        // Cells come in the items' order unless tabs were moved: the cell is first looked for at the item's place.
        long place = change.index;
        if (place < 0 || place >= long(m_cells.size()) || m_cells[std::size_t(place)] != cell) {
            auto found = std::ranges::find(m_cells, cell);
            if (found == m_cells.end())
                return false;
            place = long(found - m_cells.begin());
        }
        if (delegate)
            delegate->tabViewDidCloseTabViewItem(tabView, *item);
        removeTabForCell(cell, place);
    }
    return long(m_cells.size()) == tabView.numberOfTabViewItems();
}

void ZTBTabBarControl::addCellsForItemsNotShown(const std::vector<std::shared_ptr<ui::TabViewItem>>& items)
{
    // The items the cells show, known at once rather than by a search of the cells for each item. Each new cell
    // is added to them; should anything else change the cells meanwhile (a delegate the update calls), they are
    // read again.
    std::unordered_set<const ui::TabViewItem*> shown;
    auto readCells = [&] {
        shown.clear();
        for (const auto& cell : m_cells)
            if (auto item = cell->representedObject())
                shown.insert(item.get());
    };
    readCells();
    // A tab dragged from this bar has its cell on the way (a placeholder holds its place): it gets no second one.
    auto assistant = ZTBTabDragAssistant::sharedDragAssistant();
    const ui::TabViewItem* carried = nullptr;
    if (assistant->isDragging() && assistant->sourceTabBar().get() == this && assistant->draggedCell())
        carried = assistant->draggedCell()->representedObject().get();
    for (const std::size_t i : tbcore::itemsLackingTabs(items, shown, carried)) {
        const auto& item = items[i];
        if (shown.contains(item.get()))
            continue;
        const auto before = m_cells.size();
        addTabViewItem(item);
        if (m_cells.size() == before + 1 && m_cells.back()->representedObject() == item)
            shown.insert(item.get());
        else
            readCells();
    }
}

void ZTBTabBarControl::tabViewDidChangeNumberOfTabViewItems(ui::TabView& tabView)
{
    auto delegate = this->delegate();
    // A tab view the bar no longer shows (still naming it its delegate) changes no tab of the bar.
    if (&tabView != m_tabView.get()) {
        if (delegate)
            delegate->tabViewDidChangeNumberOfTabViewItems(tabView);
        return;
    }
    if (!followLastItemChange(tabView, delegate)) {
        for (const auto& cell : std::vector(m_cells)) {
            auto item = cell->representedObject();
            if (!item || tabView.indexOfTabViewItem(*item) != long(fnd::NotFound))
                continue;
            if (delegate)
                delegate->tabViewDidCloseTabViewItem(tabView, *item);
            removeTabForCell(cell);
        }
        addCellsForItemsNotShown(std::vector(tabView.tabViewItems()));
    }
    noteWhetherCellsMatchItems();
    if (delegate)
        delegate->tabViewDidChangeNumberOfTabViewItems(tabView);
    if (m_addTabButton->window())
        m_addTabButton->resetCursorRects();
}

std::optional<bool> ZTBTabBarControl::tabViewShouldSelectTabViewItem(ui::TabView& tabView, ui::TabViewItem& item)
{
    auto delegate = this->delegate();
    return delegate ? delegate->tabViewShouldSelectTabViewItem(tabView, item) : std::nullopt;
}

void ZTBTabBarControl::tabViewWillSelectTabViewItem(ui::TabView& tabView, ui::TabViewItem& item)
{
    if (auto delegate = this->delegate())
        delegate->tabViewWillSelectTabViewItem(tabView, item);
}

void ZTBTabBarControl::tabViewDidSelectTabViewItem(ui::TabView& tabView, ui::TabViewItem& item)
{
    // Cells are appended and reordered, so the item's index in the tab view does not name its cell.
    if (auto cell = cellForItem(item)) {
        if (!(m_alwaysShowActiveTab && cell->isInOverflowMenu())) {
            m_controller->setSelectedCell(*cell);
            setNeedsDisplay(true);
        } else {
            auto keepItem = std::static_pointer_cast<ui::TabViewItem>(item.shared_from_this());
            auto savedDelegate = tabView.delegate();
            tabView.setDelegate(nullptr);
            tabView.removeTabViewItem(keepItem);
            tabView.insertTabViewItem(keepItem, 0);
            std::erase(m_cells, cell);
            m_cells.insert(m_cells.begin(), cell);
            cell->setIsInOverflowMenu(false);
            m_cells.back()->setIsInOverflowMenu(true);
            tabView.setDelegate(savedDelegate);
            tabView.selectTabViewItem(keepItem);
            update();
        }
    }
    if (auto delegate = this->delegate())
        delegate->tabViewDidSelectTabViewItem(tabView, item);
}

// Actions.

void ZTBTabBarControl::tabClick(ZTBTabBarCell& cell)
{
    if (m_tabView && cell.representedObject())
        m_tabView->selectTabViewItem(cell.representedObject());
}

void ZTBTabBarControl::overflowMenuAction(ui::MenuItem& item)
{
    if (auto tabItem = item.representedObject().objectAs<ui::TabViewItem>(); tabItem && m_tabView)
        m_tabView->selectTabViewItem(tabItem);
}

bool ZTBTabBarControl::validateMenuItem(ui::MenuItem& item)
{
    auto tabItem = item.representedObject().objectAs<ui::TabViewItem>();
    item.setState(m_tabView && tabItem && tabItem == m_tabView->selectedTabViewItem() ? ui::ControlStateValue::On
                                                                                      : ui::ControlStateValue::Off);
    auto delegate = this->delegate();
    if (delegate && m_tabView && tabItem)
        if (auto answer = delegate->tabViewValidateOverflowMenuItem(*m_tabView, item, *tabItem))
            return *answer;
    return true;
}

std::shared_ptr<ui::Menu> ZTBTabBarControl::menuForEvent(const ui::Event& event)
{
    auto cell = cellForPoint(convertPointFromView(event.locationInWindow(), nullptr));
    auto delegate = this->delegate();
    if (!cell || !cell->representedObject() || !delegate || !m_tabView)
        return nullptr;
    return delegate->tabViewMenuForTabViewItem(*m_tabView, *cell->representedObject());
}

void ZTBTabBarControl::closeTabClick(ZTBTabBarCell& cell)
{
    if (m_cells.size() == 1 && !m_canCloseOnlyTab)
        return;
    auto item = cell.representedObject();
    if (!item || !m_tabView)
        return;
    if (auto delegate = this->delegate())
        if (delegate->tabViewShouldCloseTabViewItem(*m_tabView, *item) == false) {
            cell.setCloseButtonPressed(false);
            return;
        }
    m_tabView->removeTabViewItem(item);
}

// Drawing and the window.

void ZTBTabBarControl::drawRect(gfx::Rect dirtyRect)
{
    if (m_style)
        m_style->drawTabBar(*this, dirtyRect);
}

void ZTBTabBarControl::viewWillMoveToWindow(ui::Window* window)
{
    auto& center = fnd::NotificationCenter::defaultCenter();
    for (auto token : m_windowObservers)
        center.removeObserver(token);
    m_windowObservers.clear();
    if (m_showHideAnimationTimer) {
        m_showHideAnimationTimer->invalidate();
        m_showHideAnimationTimer.reset();
        m_currentStep = -1;
    }
    if (!window)
        return;
    std::weak_ptr<ZTBTabBarControl> weak = self();
    auto redisplay = [weak](const fnd::Notification&) {
        if (auto bar = weak.lock())
            bar->setNeedsDisplay(true);
    };
    const fnd::Value object(std::static_pointer_cast<fnd::Object>(window->shared_from_this()));
    for (const auto& name :
        { ui::WindowNotification::DidBecomeKey, ui::WindowNotification::DidResignKey, ui::WindowNotification::DidMove })
        m_windowObservers.push_back(center.addObserverForName(name, object, redisplay));
    // The window's first update after loading is its first layout pass with the bar in it.
    if (!m_awakenedFromNib) {
        m_windowUpdatePending = true;
        setNeedsLayout(true);
    }
}

void ZTBTabBarControl::viewDidMoveToWindow()
{
    _checkWindowFrame();
}

void ZTBTabBarControl::frameDidChange()
{
    _checkWindowFrame();
    for (const auto& cell : m_cells)
        if (cell->indicator()) {
            cell->indicator()->stopAnimation();
            if (!cell->indicator()->isHidden())
                cell->indicator()->startAnimationAfterDelay(0.0);
        }
    update(false);
}

void ZTBTabBarControl::viewWillStartLiveResize()
{
    for (const auto& cell : m_cells)
        if (cell->indicator())
            cell->indicator()->stopAnimation();
    setNeedsDisplay(true);
}

void ZTBTabBarControl::viewDidEndLiveResize()
{
    for (const auto& cell : m_cells)
        if (cell->indicator() && !cell->indicator()->isHidden())
            cell->indicator()->startAnimation();
    _checkWindowFrame();
    update(false);
}

void ZTBTabBarControl::placeView(gfx::Rect rect)
{
    setFrame(rect);
    update(false);
}

void ZTBTabBarControl::_positionOverflowMenu()
{
    const double h = m_style->tabCellHeight();
    const double r = m_style->rightMarginForTabBarControl();
    const gfx::Rect f = frame();
    if (m_orientation == 1) {
        m_overflowPopUpButton->setFrame({ 0, f.height() - h, f.width(), h });
        m_overflowPopUpButton->setAutoresizingMask(9);
    } else {
        m_overflowPopUpButton->setFrame({ f.width() - r + 1 - double(m_resizeAreaCompensation), 0, r, h });
        m_overflowPopUpButton->setAutoresizingMask(1);
    }
}

void ZTBTabBarControl::_checkWindowFrame()
{
    auto w = window();
    if (!w)
        return;
    auto content = w->contentView();
    const gfx::Rect c = content->frame();
    const gfx::Rect box { c.minX() + c.width() - 22.0, c.minY(), 22.0, 22.0 };
    // The bar's frame in the content view's coordinates, so both rects share one space.
    const gfx::Rect mine = superview() ? superview()->convertRectToView(frame(), content.get()) : frame();
    if (w->showsResizeIndicator() && gfx::intersectsRect(mine, content->convertRectToView(box, content.get())))
        m_resizeAreaCompensation = (w->styleMask() & 256) ? 20 : 8;
    else
        m_resizeAreaCompensation = 0;
    _positionOverflowMenu();
}

void ZTBTabBarControl::_setupTrackingRectsForCell(ZTBTabBarCell& cell)
{
    _setupTrackingRectsForCell(cell, indexOfCell(cell));
}

void ZTBTabBarControl::_setupTrackingRectsForCell(ZTBTabBarCell& cell, long k)
{
    const gfx::Rect r = m_controller->cellTrackingRectAtIndex(k);
    const gfx::Point mouse = mouseInBar();
    bool inside = gfx::pointInRect(mouse, r);
    removeTrackingRectOfCell(cell, cell.cellTrackingTag());
    cell.setCellTrackingTag(
        addTrackingRect(r, std::static_pointer_cast<ZTBTabBarCell>(cell.shared_from_this()), {}, inside));
    cell.setHighlighted(inside);
    if (cell.hasCloseButton() && !cell.isCloseButtonSuppressed()) {
        const gfx::Rect c = m_controller->closeButtonTrackingRectAtIndex(k);
        inside = gfx::pointInRect(mouse, c);
        removeTrackingRectOfCell(cell, cell.closeButtonTrackingTag());
        cell.setCloseButtonTrackingTag(
            addTrackingRect(c, std::static_pointer_cast<ZTBTabBarCell>(cell.shared_from_this()), {}, inside));
        cell.setCloseButtonOver(inside);
    }
    addToolTipRect(cell.frame(), self());
}

void ZTBTabBarControl::removeTrackingRectOfCell(const ZTBTabBarCell& cell, long tag)
{
    const ui::TrackingOwner* owner = &cell;
    if (auto held = trackingAreaWithNumber(tag); held && held->trackingOwner().get() == owner)
        removeTrackingRect(tag);
}

gfx::Point ZTBTabBarControl::mouseInBar() const
{
    auto w = window();
    return w ? convertPointFromView(w->mouseLocationOutsideOfEventStream(), nullptr) : gfx::Point { -1e9, -1e9 };
}

std::shared_ptr<ui::Event> ZTBTabBarControl::currentEvent() const
{
    return ui::Application::shared().currentEvent();
}
