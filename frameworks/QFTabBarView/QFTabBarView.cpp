#include "frameworks/QFTabBarView/QFTabBarView.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFMetalTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFAquaTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFCapsuleTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFCardTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFLivelyTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFSlateTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFUnifiedTabStyle.h"
#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFTabBarController.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "frameworks/QFTabBarView/QFTabDragAssistant.h"
#include "frameworks/tab-bar-core/TabBarGeometry.h"
#include "frameworks/tab-bar-core/TabResources.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/ViewAnimation.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <map>
#include <unordered_map>

FND_REGISTER_CLASS(QFTabBarView, ui::View)

namespace {

const char* const TabBarViewIdentifierContext = "QFTabBarView.identifier";
const fnd::String TabBarViewHideKey = "hide";

std::map<std::string, QFTabBarView::StyleFactory>& tabBarViewStyleRegistry()
{
    static std::map<std::string, QFTabBarView::StyleFactory> registry = [] {
        std::map<std::string, QFTabBarView::StyleFactory> table;
        table[QFMetalTabStyle::styleName().utf8()] = [] { return QFMetalTabStyle::create(); };
        table[QFAquaTabStyle::styleName().utf8()] = [] { return QFAquaTabStyle::create(); };
        table[QFUnifiedTabStyle::styleName().utf8()] = [] { return QFUnifiedTabStyle::create(); };
        table[QFCapsuleTabStyle::styleName().utf8()] = [] { return QFCapsuleTabStyle::create(); };
        table[QFCardTabStyle::styleName().utf8()] = [] { return QFCardTabStyle::create(); };
        table[QFLivelyTabStyle::styleName().utf8()] = [] { return QFLivelyTabStyle::create(); };
        table[QFSlateTabStyle::styleName().utf8()] = [] { return QFSlateTabStyle::create(); };
        return table;
    }();
    return registry;
}

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

void QFTabBarView::describeClass(fnd::ClassBuilder<QFTabBarView>& c)
{
    c.action("_addNewTab:", &QFTabBarView::_addNewTab);
    c.action("_didClickTabButton:", &QFTabBarView::_didClickTabButton);
    c.action("_didClickCloseButton:", &QFTabBarView::_didClickCloseButton);
    c.action("_overflowMenuAction:", &QFTabBarView::_overflowMenuAction);
    c.property("styleName", &QFTabBarView::styleName, &QFTabBarView::setStyleNamed);
    c.property("showAddTabButton", &QFTabBarView::showAddTabButton, &QFTabBarView::setShowAddTabButton);
    c.property("sizeButtonsToFit", &QFTabBarView::sizeButtonsToFit, &QFTabBarView::setSizeButtonsToFit);
    c.property("useOverflowMenu", &QFTabBarView::useOverflowMenu, &QFTabBarView::setUseOverflowMenu);
}

QFTabBarView::QFTabBarView() = default;

QFTabBarView::~QFTabBarView()
{
    for (auto token : m_windowObservers)
        fnd::NotificationCenter::defaultCenter().removeObserver(token);
    if (m_springTimer)
        m_springTimer->invalidate();
    if (m_slideButtonsAnimation)
        m_slideButtonsAnimation->setDelegate(nullptr);
    if (m_hideShowTabBarAnimation)
        m_hideShowTabBarAnimation->setDelegate(nullptr);
    for (const auto& subview : subviews())
        if (auto button = std::dynamic_pointer_cast<QFAttachedTabBarButton>(subview))
            if (auto item = button->tabViewItem())
                item->removeObserver(*this, "identifier", TabBarViewIdentifierContext);
}

std::shared_ptr<QFTabBarView> QFTabBarView::create(gfx::Rect frame)
{
    auto view = fnd::makeObject<QFTabBarView>();
    view->initWithFrame(frame);
    return view;
}

std::shared_ptr<QFTabBarView> QFTabBarView::self()
{
    return std::static_pointer_cast<QFTabBarView>(shared_from_this());
}

void QFTabBarView::initWithFrame(gfx::Rect frame)
{
    ui::View::initWithFrame(frame);
    commonInit();
}

void QFTabBarView::commonInit()
{
    m_tabBarWidth = 0;
    m_style = QFMetalTabStyle::create();
    m_controller = std::make_unique<QFTabBarController>(*this);
    _updateOverflowPopUpButton();
    _updateAddTabButton();
    ui::registerForDraggedTypes(*this, { QFAttachedTabBarButtonPasteboardType });
    setPostsFrameChangedNotifications(true);
    std::weak_ptr<QFTabBarView> weak = self();
    m_windowObservers.push_back(fnd::NotificationCenter::defaultCenter().addObserverForName(
        ui::ViewNotification::FrameDidChange, fnd::Value(std::static_pointer_cast<fnd::Object>(shared_from_this())),
        [weak](const fnd::Notification&) {
            if (auto view = weak.lock())
                view->frameDidChange();
        }));
}

// Style registry.

void QFTabBarView::registerTabStyleClass(const fnd::String& name, StyleFactory factory)
{
    tabBarViewStyleRegistry()[name.utf8()] = std::move(factory);
}

void QFTabBarView::unregisterTabStyleClass(const fnd::String& name)
{
    tabBarViewStyleRegistry().erase(name.utf8());
}

std::vector<fnd::String> QFTabBarView::registeredTabStyleNames()
{
    std::vector<fnd::String> names;
    for (const auto& [name, factory] : tabBarViewStyleRegistry())
        names.emplace_back(name);
    return names;
}

bool QFTabBarView::isRegisteredStyleName(const fnd::String& name)
{
    return tabBarViewStyleRegistry().contains(name.utf8());
}

// Style.

void QFTabBarView::setStyle(std::shared_ptr<QFTabStyle> style)
{
    if (style == m_style || !style)
        return;
    m_style = std::move(style);
    if (m_orientation == QFTabBarOrientation::Horizontal && !supportsOrientation(QFTabBarOrientation::Horizontal))
        m_orientation = QFTabBarOrientation::Vertical;
    else if (m_orientation == QFTabBarOrientation::Vertical && !supportsOrientation(QFTabBarOrientation::Vertical))
        m_orientation = QFTabBarOrientation::Horizontal;
    _updateAddTabButton();
    _updateOverflowPopUpButton();
    forEachButton([this](QFAttachedTabBarButton& button) { button.setStyle(m_style); });
    update(false);
}

fnd::String QFTabBarView::styleName() const
{
    return m_style ? m_style->name() : fnd::String {};
}

void QFTabBarView::setStyleNamed(const fnd::String& name)
{
    auto& registry = tabBarViewStyleRegistry();
    auto found = registry.find(name.utf8());
    if (found == registry.end())
        return;
    setStyle(found->second());
}

// Tab view and delegate.

std::shared_ptr<ui::TabView> QFTabBarView::tabView() const
{
    std::lock_guard guard(m_lock);
    return m_tabView;
}

void QFTabBarView::setTabView(const std::shared_ptr<ui::TabView>& tabView)
{
    std::lock_guard guard(m_lock);
    if (tabView == m_tabView)
        return;
    m_tabView = tabView;
    if (!tabView)
        return;
    // The bar follows its tab view as the tab view's delegate.
    tabView->setDelegate(std::static_pointer_cast<ui::TabViewDelegate>(self()));
    auto visible = visibleTabViewItems();
    for (const auto& item : tabView->tabViewItems())
        if (std::ranges::find(visible, item) == visible.end())
            addAttachedButtonForTabViewItem(item);
}

void QFTabBarView::setDelegate(const std::shared_ptr<QFTabBarViewDelegate>& delegate)
{
    m_delegate = delegate;
    ui::unregisterDraggedTypes(*this);
    std::vector<fnd::String> types { QFAttachedTabBarButtonPasteboardType };
    if (delegate && m_tabView)
        if (auto extra = delegate->allowedDraggedTypesForTabView(*m_tabView))
            types.insert(types.end(), extra->begin(), extra->end());
    ui::registerForDraggedTypes(*this, types);
}

// Options.

#define QF_TAB_BAR_VIEW_UPDATING_SETTER(Type, setter, member)                                                          \
    void QFTabBarView::setter(Type value)                                                                              \
    {                                                                                                                  \
        member = value;                                                                                                \
        setNeedsUpdate(true);                                                                                          \
    }

QF_TAB_BAR_VIEW_UPDATING_SETTER(bool, setOnlyShowCloseOnHover, m_onlyShowCloseOnHover)
QF_TAB_BAR_VIEW_UPDATING_SETTER(bool, setDisableTabClose, m_disableTabClose)
QF_TAB_BAR_VIEW_UPDATING_SETTER(bool, setHideForSingleTab, m_hideForSingleTab)
QF_TAB_BAR_VIEW_UPDATING_SETTER(bool, setShowAddTabButton, m_showAddTabButton)
QF_TAB_BAR_VIEW_UPDATING_SETTER(long, setButtonMinWidth, m_buttonMinWidth)
QF_TAB_BAR_VIEW_UPDATING_SETTER(long, setButtonMaxWidth, m_buttonMaxWidth)
QF_TAB_BAR_VIEW_UPDATING_SETTER(long, setButtonOptimumWidth, m_buttonOptimumWidth)
QF_TAB_BAR_VIEW_UPDATING_SETTER(bool, setSizeButtonsToFit, m_sizeButtonsToFit)
QF_TAB_BAR_VIEW_UPDATING_SETTER(bool, setUseOverflowMenu, m_useOverflowMenu)
QF_TAB_BAR_VIEW_UPDATING_SETTER(bool, setAllowsBackgroundTabClosing, m_allowsBackgroundTabClosing)

#undef QF_TAB_BAR_VIEW_UPDATING_SETTER

void QFTabBarView::setCanCloseOnlyTab(bool flag)
{
    m_canCloseOnlyTab = flag;
    if (numberOfAttachedButtons() == 1)
        setNeedsUpdate(true);
}

void QFTabBarView::setAllowsScrubbing(bool flag)
{
    m_allowsScrubbing = flag;
    forEachButton([flag](QFAttachedTabBarButton& button) { button.setSimulateClickOnMouseHovered(flag); });
}

void QFTabBarView::setOrientation(QFTabBarOrientation orientation)
{
    const bool changed = orientation != m_orientation;
    m_orientation = orientation;
    if (m_tabBarWidth <= 9)
        m_tabBarWidth = 120;
    if (changed)
        update(false);
}

// Tab view access.

long QFTabBarView::numberOfTabViewItems() const
{
    auto tabs = tabView();
    return tabs ? tabs->numberOfTabViewItems() : 0;
}

long QFTabBarView::numberOfVisibleTabViewItems() const
{
    return numberOfAttachedButtons();
}

std::vector<std::shared_ptr<ui::TabViewItem>> QFTabBarView::visibleTabViewItems() const
{
    std::vector<std::shared_ptr<ui::TabViewItem>> items;
    for (const auto& button : orderedAttachedButtons())
        if (auto item = button->tabViewItem())
            items.push_back(item);
    return items;
}

long QFTabBarView::indexOfTabViewItem(const ui::TabViewItem* item) const
{
    auto tabs = tabView();
    if (!tabs || !item)
        return fnd::NotFound;
    return tabs->indexOfTabViewItem(*item);
}

std::shared_ptr<ui::TabViewItem> QFTabBarView::selectedTabViewItem() const
{
    auto tabs = tabView();
    return tabs ? tabs->selectedTabViewItem() : nullptr;
}

void QFTabBarView::selectTabViewItem(const std::shared_ptr<ui::TabViewItem>& item)
{
    if (auto tabs = tabView())
        tabs->selectTabViewItem(item);
}

void QFTabBarView::removeTabViewItem(const std::shared_ptr<ui::TabViewItem>& item)
{
    if (auto tabs = tabView())
        tabs->removeTabViewItem(item);
}

void QFTabBarView::moveTabViewItem(const std::shared_ptr<ui::TabViewItem>& item, long index)
{
    auto tabs = tabView();
    if (!tabs || !item)
        return;
    m_isReorderingTabViewItems = true;
    auto keep = item;
    tabs->removeTabViewItem(keep);
    tabs->insertTabViewItem(keep, std::clamp<long>(index, 0, tabs->numberOfTabViewItems()));
    tabs->selectTabViewItem(keep);
    m_isReorderingTabViewItems = false;
}

// Buttons.

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

long QFTabBarView::numberOfAttachedButtons() const
{
    return long(attachedButtons().size());
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
    const bool vertical = m_orientation == QFTabBarOrientation::Vertical;
    if (isSliding()) {
        return sortedAttachedButtonsUsingComparator([vertical](const auto& a, const auto& b) {
            const double pa = vertical ? a.stackingFrame().minY() : a.stackingFrame().minX();
            const double pb = vertical ? b.stackingFrame().minY() : b.stackingFrame().minX();
            return pa < pb ? ui::ComparisonResult::Ascending
                           : (pa > pb ? ui::ComparisonResult::Descending : ui::ComparisonResult::Same);
        });
    }
    // Each button's item index is looked up once, not at every comparison; buttons whose item left the tab view
    // go last.
    std::unordered_map<const ui::TabViewItem*, long> indexes;
    if (auto tabs = tabView()) {
        const auto& items = tabs->tabViewItems();
        indexes.reserve(items.size());
        for (std::size_t i = 0; i < items.size(); ++i)
            indexes.emplace(items[i].get(), long(i));
    }
    std::vector<std::pair<long, std::shared_ptr<QFAttachedTabBarButton>>> keyed;
    for (auto& button : attachedButtons()) {
        auto found = indexes.find(button->tabViewItem().get());
        keyed.emplace_back(found == indexes.end() ? long(fnd::NotFound) : found->second, std::move(button));
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<std::shared_ptr<QFAttachedTabBarButton>> ordered;
    ordered.reserve(keyed.size());
    for (auto& entry : keyed)
        ordered.push_back(std::move(entry.second));
    return ordered;
}

std::shared_ptr<QFAttachedTabBarButton> QFTabBarView::lastAttachedButton() const
{
    auto buttons = orderedAttachedButtons();
    return buttons.empty() ? nullptr : buttons.back();
}

long QFTabBarView::indexOfAttachedButton(const QFAttachedTabBarButton& button) const
{
    auto buttons = orderedAttachedButtons();
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

std::shared_ptr<QFAttachedTabBarButton> QFTabBarView::attachedButtonForTabViewItem(const ui::TabViewItem& item) const
{
    for (const auto& button : attachedButtons())
        if (button->tabViewItem().get() == &item)
            return button;
    return nullptr;
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
    auto last = lastAttachedButton();
    const gfx::Rect generic = genericButtonRect();
    gfx::Rect start;
    if (m_orientation == QFTabBarOrientation::Horizontal)
        start = { last ? last->frame().maxX() : 0, generic.minY(), 30.0, generic.height() };
    else
        start = { generic.minX(), last ? last->frame().maxY() : 0, last ? last->frame().width() : 0, 0 };
    auto button = QFAttachedTabBarButton::create(start, item);
    button->setRolloverButtonType(1);
    button->setSimulateClickOnMouseHovered(m_allowsScrubbing);
    button->setStyle(m_style);
    bindPropertiesOfAttachedButton(*button, *item);
    addSubview(button);
    if (auto tabs = tabView(); tabs && tabs->indexOfTabViewItem(*item) == long(fnd::NotFound)) {
        tabs->insertTabViewItem(item, std::clamp<long>(index, 0, tabs->numberOfTabViewItems()));
        tabs->selectTabViewItem(item);
    }
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
    last->setTabViewItem(item);
    bindPropertiesOfAttachedButton(*last, *item);
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
    auto buttons = orderedAttachedButtons();
    QFAttachedTabBarButton* previous = index > 0 && index - 1 < long(buttons.size()) ? buttons[std::size_t(index - 1)].get() : nullptr;
    QFAttachedTabBarButton* next = index + 1 < long(buttons.size()) ? buttons[std::size_t(index + 1)].get() : nullptr;
    updateTabStateMaskOfAttachedButton(button, index, previous, next);
}

void QFTabBarView::updateTabStateMaskOfAttachedButtons()
{
    enumerateAttachedButtonsWithOptions(QFTabBarButtonEnumeration::UpdateTabState, nullptr);
}

// Geometry.

double QFTabBarView::leftMargin()
{
    if (m_style)
        if (auto answer = m_style->leftMarginForTabBarView(*this))
            return *answer;
    return m_orientation == QFTabBarOrientation::Horizontal ? 6.0 : 0.0;
}

double QFTabBarView::rightMargin()
{
    if (m_style)
        if (auto answer = m_style->rightMarginForTabBarView(*this))
            return *answer;
    return m_orientation == QFTabBarOrientation::Horizontal ? 6.0 : 0.0;
}

double QFTabBarView::topMargin()
{
    if (m_style)
        if (auto answer = m_style->topMarginForTabBarView(*this))
            return *answer;
    return m_orientation == QFTabBarOrientation::Horizontal ? 0.0 : 3.0;
}

double QFTabBarView::bottomMargin()
{
    if (m_style)
        if (auto answer = m_style->bottomMarginForTabBarView(*this))
            return *answer;
    return m_orientation == QFTabBarOrientation::Horizontal ? 0.0 : 3.0;
}

gfx::Size QFTabBarView::addTabButtonSize()
{
    if (m_style)
        if (auto answer = m_style->addTabButtonSizeForTabBarView(*this))
            return *answer;
    if (m_orientation == QFTabBarOrientation::Horizontal)
        return { 12.0, frame().height() };
    return { frame().width(), 18.0 };
}

gfx::Rect QFTabBarView::addTabButtonRect()
{
    if (m_style)
        if (auto answer = m_style->addTabButtonRectForTabBarView(*this))
            return *answer;
    return _addTabButtonRect();
}

gfx::Rect QFTabBarView::_addTabButtonRect()
{
    if (!m_showAddTabButton)
        return gfx::ZeroRect;
    const gfx::Size size = addTabButtonSize();
    auto last = lastAttachedButton();
    if (m_orientation == QFTabBarOrientation::Horizontal) {
        double x = 4.0;
        if (last) {
            x = last->stackingFrame().maxX() + 4.0;
            if (last->isOverflowButton())
                x += 4.0 + overflowButtonSize().width;
        }
        return { x, bounds().minY(), size.width, size.height };
    }
    return { bounds().minX(), last ? last->stackingFrame().maxY() : 0, size.width, size.height };
}

gfx::Size QFTabBarView::overflowButtonSize()
{
    if (m_style)
        if (auto answer = m_style->overflowButtonSizeForTabBarView(*this))
            return *answer;
    if (m_orientation == QFTabBarOrientation::Horizontal)
        return { 14.0, frame().height() };
    return { frame().width(), 18.0 };
}

gfx::Rect QFTabBarView::overflowButtonRect()
{
    if (m_style)
        if (auto answer = m_style->overflowButtonRectForTabBarView(*this))
            return *answer;
    return _overflowButtonRect();
}

gfx::Rect QFTabBarView::_overflowButtonRect()
{
    if (!m_useOverflowMenu)
        return gfx::ZeroRect;
    const gfx::Size size = overflowButtonSize();
    auto last = lastAttachedButton();
    if (m_orientation == QFTabBarOrientation::Horizontal)
        return { last ? last->stackingFrame().maxX() : 0, bounds().minY(), size.width, size.height };
    return { bounds().minX(), last ? last->stackingFrame().maxY() : 0, size.width, size.height };
}

double QFTabBarView::heightOfTabBarButtons()
{
    if (m_style)
        if (auto answer = m_style->heightOfTabBarButtonsForTabBarView(*this))
            return *answer;
    return 22.0;
}

bool QFTabBarView::supportsOrientation(QFTabBarOrientation orientation)
{
    if (m_style)
        if (auto answer = m_style->supportsOrientation(orientation, *this))
            return *answer;
    return true;
}

double QFTabBarView::availableWidthForButtons()
{
    double width = frame().width() - leftMargin() - rightMargin() - double(m_resizeAreaCompensation);
    if (m_showAddTabButton)
        width -= addTabButtonSize().width + 8.0;
    return width;
}

double QFTabBarView::availableHeightForButtons()
{
    double height = bounds().height() - topMargin() - bottomMargin() - double(m_resizeAreaCompensation);
    if (m_showAddTabButton)
        height -= addTabButtonRect().height();
    if (m_useOverflowMenu && m_overflowPopUpButton && !m_overflowPopUpButton->isHidden())
        height -= overflowButtonRect().height();
    return height;
}

gfx::Rect QFTabBarView::genericButtonRect()
{
    return { leftMargin(), topMargin(), availableWidthForButtons(), heightOfTabBarButtons() };
}

gfx::Rect QFTabBarView::dividerRect() const
{
    auto tabs = tabView();
    if (m_orientation == QFTabBarOrientation::Vertical && m_allowsResizing)
        return { bounds().width() - 3.0, 0, 3.0, tabs ? tabs->frame().height() : bounds().height() };
    return gfx::ZeroRect;
}

bool QFTabBarView::isOverflowButtonVisible() const
{
    return m_overflowPopUpButton && m_overflowPopUpButton->frame().width() != 0
        && m_overflowPopUpButton->frame().height() != 0 && !m_overflowPopUpButton->isHidden();
}

bool QFTabBarView::isWindowActive() const
{
    auto w = window();
    // Floating windows stand for panels, which count as active while the application is.
    return w && (w->isKeyWindow() || (w->level() >= ui::WindowLevel::Floating && ui::Application::shared().isActive()));
}

void QFTabBarView::_checkWindowFrame()
{
    auto w = window();
    if (!w)
        return;
    auto content = w->contentView();
    long compensation = 0;
    if (content && w->showsResizeIndicator()) {
        // The resize corner and this view's frame, both in the window's base coordinates.
        const gfx::Rect contentFrame = content->convertRectToView(content->bounds(), nullptr);
        const gfx::Rect corner { contentFrame.maxX() - 22.0, contentFrame.minY(), 22.0, 22.0 };
        const gfx::Rect mine = convertRectToView(bounds(), nullptr);
        if (gfx::intersectsRect(mine, corner))
            compensation = (w->styleMask() & ui::WindowStyleMask::TexturedBackground) ? 20 : 8;
    }
    m_resizeAreaCompensation = compensation;
}

// Update cycle.

bool QFTabBarView::needsUpdate() const
{
    std::lock_guard guard(m_lock);
    return m_needsUpdate;
}

void QFTabBarView::setNeedsUpdate(bool flag)
{
    std::lock_guard guard(m_lock);
    if (!flag) {
        m_needsUpdate = false;
        return;
    }
    if (m_needsUpdate)
        return;
    m_needsUpdate = true;
    std::weak_ptr<QFTabBarView> weak = self();
    fnd::RunLoop::main().post([weak] {
        if (auto view = weak.lock(); view && view->needsUpdate())
            view->update();
    });
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
    // Items without a button get one.
    if (tabs) {
        auto visible = visibleTabViewItems();
        auto dragged = attachedTabBarButtonForDraggedItems();
        const auto items = tabs->tabViewItems();
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (std::ranges::find(visible, items[i]) != visible.end())
                continue;
            if (dragging && dragged && dragged->tabViewItem() == items[i])
                continue;
            insertAttachedButtonForTabViewItem(items[i], long(i));
        }
    }
    layoutButtons();

    const auto& menu = m_controller->overflowMenu();
    m_overflowPopUpButton->setHidden(!menu);
    m_overflowPopUpButton->setMenu(menu ? menu : ui::Menu::create());
    _positionOverflowMenu();

    if (!animate) {
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
    std::shared_ptr<QFAttachedTabBarButton> selected = selectedItem ? attachedButtonForTabViewItem(*selectedItem) : nullptr;
    if (!selected && selectedItem) {
        auto last = lastAttachedButton();
        if (last && last->isOverflowButton()) {
            setTabViewItemPinnedToOverflowButton(selectedItem);
            selected = last;
        }
    }
    for (const auto& button : attachedButtons()) {
        button->setTabState(button->tabState() & ~(QFTabState::PreviousSelected | QFTabState::NextSelected));
        const auto state = button == selected ? ui::ControlStateValue::On : ui::ControlStateValue::Off;
        if (button->state() != state)
            button->setState(state);
    }
    if (selected) {
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

// Hiding and showing.

void QFTabBarView::hideTabBar(bool hide, bool animate)
{
    if (hide == m_isHidden)
        return;
    m_isHidden = hide;
    auto partner = partnerView();
    auto w = window();
    const bool vertical = m_orientation == QFTabBarOrientation::Vertical;
    double thickness;
    if (vertical) {
        if (hide)
            m_tabBarWidth = long(frame().width());
        thickness = double(m_tabBarWidth);
    } else {
        // The bar's own height, not a fixed one: styles may make it taller.
        if (hide)
            m_hiddenBarHeight = frame().height();
        thickness = m_hiddenBarHeight > 0 ? m_hiddenBarHeight : frame().height();
    }
    gfx::Rect newFrame;
    if (partner) {
        const gfx::Rect p = partner->frame();
        const gfx::Rect bar = frame();
        tbcore::HideShowPartner placement;
        if (vertical)
            placement = p.maxX() <= bar.minX() ? tbcore::HideShowPartner::BarAtMaxEdge : tbcore::HideShowPartner::BarAtMinEdge;
        else
            placement = bar.minY() - thickness > p.minY() ? tbcore::HideShowPartner::BarAtMaxEdge
                                                           : tbcore::HideShowPartner::BarAtMinEdge;
        newFrame = tbcore::hideShowFrame(p, vertical, placement, hide, thickness);
    } else if (w) {
        newFrame = tbcore::hideShowFrame(w->frame(), vertical, tbcore::HideShowPartner::Window, hide, thickness);
    }
    if (hide)
        setHidden(true);

    if (partner && animate) {
        if (m_hideShowTabBarAnimation) {
            m_hideShowTabBarAnimation->setDelegate(nullptr);
            m_hideShowTabBarAnimation->stopAnimation();
        }
        m_hideShowHiding = hide;
        m_hideShowTabBarAnimation = ui::ViewAnimation::create({ { { ui::ViewAnimationKey::Target, fnd::Value(partner) },
            { ui::ViewAnimationKey::StartFrame, partner->frame() }, { ui::ViewAnimationKey::EndFrame, newFrame },
            { TabBarViewHideKey, fnd::Value(hide) } } });
        m_hideShowTabBarAnimation->setDuration(0.1);
        m_hideShowTabBarAnimation->setDelegate(std::static_pointer_cast<ui::AnimationDelegate>(self()));
        m_hideShowTabBarAnimation->startAnimation();
        return;
    }
    if (partner)
        partner->setFrame(newFrame);
    else if (w)
        w->setFrame(newFrame, true);
    if (!hide)
        setHidden(false);
    auto d = delegate();
    if (auto tabs = tabView(); d && tabs) {
        if (hide)
            d->tabViewTabBarViewDidHide(*tabs, *this);
        else
            d->tabViewTabBarViewDidUnhide(*tabs, *this);
    }
}

void QFTabBarView::animationDidStop(ui::Animation& animation)
{
    _finalizeAnimation(animation);
}

void QFTabBarView::animationDidEnd(ui::Animation& animation)
{
    _finalizeAnimation(animation);
}

void QFTabBarView::_finalizeAnimation(ui::Animation& animation)
{
    auto keep = self();
    if (m_slideButtonsAnimation && &animation == m_slideButtonsAnimation.get()) {
        m_slideButtonsAnimation.reset();
        _positionAddTabButton();
        updateTrackingAreas();
        setNeedsDisplay(true);
        return;
    }
    if (m_hideShowTabBarAnimation && &animation == m_hideShowTabBarAnimation.get()) {
        bool hide = m_hideShowHiding;
        if (!m_hideShowTabBarAnimation->viewAnimations().empty())
            hide = m_hideShowTabBarAnimation->viewAnimations().back().get(TabBarViewHideKey).boolValue();
        if (!hide)
            setHidden(false);
        m_hideShowTabBarAnimation.reset();
        updateTrackingAreas();
        auto d = delegate();
        if (auto tabs = tabView(); d && tabs) {
            if (hide)
                d->tabViewTabBarViewDidHide(*tabs, *this);
            else
                d->tabViewTabBarViewDidUnhide(*tabs, *this);
        }
    }
}

// Bindings.

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
    for (const char* name :
        { "title", "objectCount", "objectCountColor", "isEdited", "hasCloseButton", "isProcessing", "icon", "largeImage" })
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
    ui::View::observeValueForKeyPath(keyPath, object, change, context);
}

// Actions.

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
    auto button = close ? std::dynamic_pointer_cast<QFAttachedTabBarButton>(
                              QFTabBarViewExtensions::enclosingTabBarButton(*close))
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

std::shared_ptr<ui::Menu> QFTabBarView::menuForTabViewItem(const std::shared_ptr<ui::TabViewItem>& item, const ui::Event&)
{
    auto d = delegate();
    auto tabs = tabView();
    if (!item || !d || !tabs)
        return nullptr;
    return d->tabViewMenuForTabViewItem(*tabs, *item).value_or(nullptr);
}

// Drag source.

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

// Drag destination.

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
    auto item = button->tabViewItem();
    if (item != m_tabViewItemWithSpring.lock()) {
        if (m_springTimer)
            m_springTimer->invalidate();
        m_springTimer.reset();
        m_tabViewItemWithSpring = item;
    }
    if (!m_springTimer) {
        std::weak_ptr<QFTabBarView> weak = self();
        m_springTimer = fnd::Timer::create(tbcore::springingDelay(), false, [weak](fnd::Timer& timer) {
            if (auto view = weak.lock())
                view->fireSpring(timer);
        });
        fnd::RunLoop::current().addTimer(m_springTimer, fnd::RunLoopMode::Common);
    }
    return ui::DragOperations::Copy;
}

void QFTabBarView::fireSpring(fnd::Timer& timer)
{
    fnd::assertThat(&timer == m_springTimer.get(), "Spring fired by unrecognized timer");
    auto item = m_tabViewItemWithSpring.lock();
    gfx::Point mouse = ui::Event::mouseLocation();
    if (auto w = window())
        mouse = convertPointFromView(w->convertScreenToBase(mouse), nullptr);
    if (auto button = attachedButtonAtPoint(mouse)) {
        selectTabViewItem(button->tabViewItem());
        m_tabViewItemWithSpring.reset();
        m_springTimer->invalidate();
        m_springTimer.reset();
    }
}

void QFTabBarView::draggingExited(ui::DraggingInfo& info)
{
    if (m_springTimer)
        m_springTimer->invalidate();
    m_springTimer.reset();
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
    if (isTabDrag(info))
        return QFTabDragAssistant::sharedDragAssistant()->performDragOperation(info, *this);
    auto button = attachedButtonAtPoint(convertPointFromView(info.draggingLocation(), nullptr));
    auto d = delegate();
    auto tabs = tabView();
    if (!button || !d || !tabs || !button->tabViewItem())
        return false;
    return d->tabViewAcceptedDraggingInfo(*tabs, info, *button->tabViewItem()).value_or(false);
}

// Tab view delegate.

std::optional<bool> QFTabBarView::tabViewShouldSelectTabViewItem(ui::TabView& tabs, ui::TabViewItem& item)
{
    if (auto d = delegate())
        return d->tabViewShouldSelectTabViewItem(tabs, item);
    return std::nullopt;
}

void QFTabBarView::tabViewWillSelectTabViewItem(ui::TabView& tabs, ui::TabViewItem& item)
{
    if (auto d = delegate())
        d->tabViewWillSelectTabViewItem(tabs, item);
}

void QFTabBarView::tabViewDidSelectTabViewItem(ui::TabView& tabs, ui::TabViewItem& item)
{
    _synchronizeSelection();
    if (auto d = delegate())
        d->tabViewDidSelectTabViewItem(tabs, item);
}

void QFTabBarView::tabViewDidChangeNumberOfTabViewItems(ui::TabView& tabs)
{
    if (&tabs != m_tabView.get() || m_isReorderingTabViewItems)
        return;
    setNeedsUpdate(true);
    if (auto d = delegate())
        d->tabViewDidChangeNumberOfTabViewItems(tabs);
}

// View.

void QFTabBarView::drawRect(gfx::Rect dirtyRect)
{
    if (m_style && m_style->drawTabBarView(*this, dirtyRect))
        return;
    drawBezelInRect(dirtyRect);
    if (frame().height() >= 2.0) {
        drawButtonBezelsInRect(dirtyRect);
        drawInteriorInRect(dirtyRect);
    }
}

void QFTabBarView::drawBezelInRect(gfx::Rect rect)
{
    if (m_style)
        m_style->drawBezelOfTabBarView(*this, rect);
}

void QFTabBarView::drawButtonBezelsInRect(gfx::Rect rect)
{
    if (m_style && m_style->drawButtonBezelsOfTabBarView(*this, rect))
        return;
    auto buttons = orderedAttachedButtons();
    long selected = fnd::NotFound;
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]->state() == ui::ControlStateValue::On) {
            selected = long(i);
            break;
        }
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        gfx::GraphicsStateGuard guard;
        drawBezelOfButton(*buttons[i], long(i), buttons, selected, rect);
    }
    if (isOverflowButtonVisible())
        drawBezelOfOverflowButton(*m_overflowPopUpButton, rect);
}

void QFTabBarView::drawBezelOfButton(QFAttachedTabBarButton& button, long index,
    const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons, long selectedIndex, gfx::Rect rect)
{
    if (m_style)
        m_style->drawBezelOfButton(button, index, buttons, selectedIndex, *this, rect);
}

void QFTabBarView::drawBezelOfOverflowButton(QFOverflowPopUpButton& button, gfx::Rect rect)
{
    if (m_style)
        m_style->drawBezelOfOverflowButton(button, *this, rect);
}

void QFTabBarView::drawInteriorInRect(gfx::Rect rect)
{
    if (m_style && m_style->drawInteriorOfTabBarView(*this, rect))
        return;
    if (tabView())
        return;
    auto paragraph = txt::ParagraphStyle::defaultParagraphStyle()->mutableCopy();
    paragraph->setAlignment(txt::TextAlignment::Center);
    txt::AttributedString text("QFTabBarView",
        { { txt::FontAttributeName, fnd::Value(gfx::Font::systemFontOfSize(11.0)) },
            { txt::ParagraphStyleAttributeName, fnd::Value(paragraph) } });
    text.drawInRect({ rect.minX(), rect.minY() + 4.0, rect.width(), rect.height() - 4.0 });
}

void QFTabBarView::mouseDown(const ui::Event& event)
{
    const gfx::Point p = convertPointFromView(event.locationInWindow(), nullptr);
    if (m_orientation == QFTabBarOrientation::Vertical && m_allowsResizing && p.x > frame().width() - 3.0
        && QFTabBarViewExtensions::dragShouldBeginFromMouseDown(*this, event, fnd::Date::distantFuture(), 0.0, 0.0))
        _beginResizingWithMouseDownEvent(event);
}

void QFTabBarView::_beginResizingWithMouseDownEvent(const ui::Event&)
{
    if (m_orientation != QFTabBarOrientation::Vertical)
        return;
    auto keep = self();
    m_isResizing = true;
    auto cursorFor = [this] {
        if (double(m_buttonMinWidth) >= frame().width())
            return ui::Cursor::resizeRightCursor();
        if (frame().width() >= double(m_buttonMaxWidth))
            return ui::Cursor::resizeLeftCursor();
        return ui::Cursor::resizeLeftRightCursor();
    };
    cursorFor()->set();
    auto& application = ui::Application::shared();
    while (true) {
        auto event = application.nextEvent(ui::EventMasks::LeftMouseDragged | ui::EventMasks::LeftMouseUp,
            fnd::Date::distantFuture(), fnd::RunLoopMode::EventTracking, true);
        if (!event || event->type() == ui::EventType::LeftMouseUp)
            break;
        const double p = convertPointFromView(event->locationInWindow(), nullptr).x;
        const double w = frame().width();
        const double d = event->deltaX();
        if (!((p > w && d > 0) || (p < w && d < 0)))
            continue;
        cursorFor()->set();
        if (w + d >= double(m_buttonMinWidth) && w + d <= double(m_buttonMaxWidth)) {
            gfx::Rect mine = frame();
            mine.size.width = w + d;
            setFrame(mine);
            if (auto partner = partnerView()) {
                gfx::Rect other = partner->frame();
                other.origin.x += d;
                other.size.width -= d;
                partner->setFrame(other);
            }
            if (auto parent = superview())
                parent->setNeedsDisplay(true);
        }
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
        const double w = frame().width();
        auto cursor = double(m_buttonMinWidth) >= w ? ui::Cursor::resizeRightCursor()
            : w >= double(m_buttonMaxWidth)         ? ui::Cursor::resizeLeftCursor()
                                                    : ui::Cursor::resizeLeftRightCursor();
        addCursorRect(dividerRect(), cursor);
    }
}

void QFTabBarView::stopAnimations()
{
    if (m_slideButtonsAnimation) {
        m_slideButtonsAnimation->setDelegate(nullptr);
        m_slideButtonsAnimation->stopAnimation();
        m_slideButtonsAnimation.reset();
    }
    if (m_hideShowTabBarAnimation) {
        m_hideShowTabBarAnimation->setDelegate(nullptr);
        m_hideShowTabBarAnimation->stopAnimation();
        m_hideShowTabBarAnimation.reset();
    }
}

void QFTabBarView::viewWillMoveToWindow(ui::Window* newWindow)
{
    ui::View::viewWillMoveToWindow(newWindow);
    stopAnimations();
    auto& center = fnd::NotificationCenter::defaultCenter();
    // The first token is the frame observation, kept for the view's life.
    while (m_windowObservers.size() > 1) {
        center.removeObserver(m_windowObservers.back());
        m_windowObservers.pop_back();
    }
    if (!newWindow)
        return;
    std::weak_ptr<QFTabBarView> weak = self();
    const fnd::Value object(std::static_pointer_cast<fnd::Object>(newWindow->shared_from_this()));
    auto statusChanged = [weak](const fnd::Notification&) {
        auto view = weak.lock();
        if (!view)
            return;
        view->forEachButton([](QFAttachedTabBarButton& button) { button.updateImages(); });
        view->_updateAddTabButton();
        view->_updateOverflowPopUpButton();
        view->update(false);
    };
    m_windowObservers.push_back(center.addObserverForName(ui::WindowNotification::DidBecomeKey, object, statusChanged));
    m_windowObservers.push_back(center.addObserverForName(ui::WindowNotification::DidResignKey, object, statusChanged));
    m_windowObservers.push_back(center.addObserverForName(ui::WindowNotification::DidMove, object,
        [weak](const fnd::Notification&) {
            if (auto view = weak.lock())
                view->setNeedsDisplay(true);
        }));
}

void QFTabBarView::viewDidMoveToWindow()
{
    ui::View::viewDidMoveToWindow();
    _checkWindowFrame();
}

void QFTabBarView::viewWillStartLiveResize()
{
    forEachButton([](QFAttachedTabBarButton& button) { button.indicator()->stopAnimation(); });
    setNeedsDisplay(true);
}

void QFTabBarView::viewDidEndLiveResize()
{
    forEachButton([](QFAttachedTabBarButton& button) {
        if (button.isProcessing() && !button.indicator()->isHidden())
            button.indicator()->startAnimation();
    });
    _checkWindowFrame();
    update(false);
}

void QFTabBarView::frameDidChange()
{
    _checkWindowFrame();
    forEachButton([](QFAttachedTabBarButton& button) {
        button.indicator()->stopAnimation();
        if (button.isProcessing() && !button.indicator()->isHidden())
            button.indicator()->startAnimationLater();
    });
    update(false);
}

void QFTabBarView::updateTrackingAreas()
{
    ui::View::updateTrackingAreas();
    forEachButton([](QFAttachedTabBarButton& button) { button.updateTrackingAreas(); });
}

std::shared_ptr<ui::View> QFTabBarView::accessibilityHitTestInView(gfx::Point point) const
{
    // By geometry: the tab under the point answers, whatever is highlighted.
    for (const auto& button : attachedButtons())
        if (!button->isHidden() && mouseInRect(point, button->frame()))
            return button;
    return std::const_pointer_cast<ui::View>(std::static_pointer_cast<const ui::View>(shared_from_this()));
}

// Archiving: the settings only. The tab view, the partner view and the delegate are outlets an interface file
// connects; the delegate in particular is never kept alive by the bar.

void QFTabBarView::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    if (auto coding = std::dynamic_pointer_cast<fnd::Coding>(m_style))
        coder.encodeObject(fnd::Value(std::static_pointer_cast<fnd::Object>(m_style)), "QFstyle");
    coder.encodeInteger(long(m_orientation), "QForientation");
    coder.encodeBool(m_onlyShowCloseOnHover, "QFonlyShowCloseOnHover");
    coder.encodeBool(m_canCloseOnlyTab, "QFcanCloseOnlyTab");
    coder.encodeBool(m_disableTabClose, "QFdisableTabClose");
    coder.encodeBool(m_hideForSingleTab, "QFhideForSingleTab");
    coder.encodeBool(m_allowsBackgroundTabClosing, "QFallowsBackgroundTabClosing");
    coder.encodeBool(m_allowsResizing, "QFallowsResizing");
    coder.encodeBool(m_selectsTabsOnMouseDown, "QFselectsTabsOnMouseDown");
    coder.encodeBool(m_showAddTabButton, "QFshowAddTabButton");
    coder.encodeBool(m_sizeButtonsToFit, "QFsizeButtonsToFit");
    coder.encodeInteger(m_buttonMinWidth, "QFbuttonMinWidth");
    coder.encodeInteger(m_buttonMaxWidth, "QFbuttonMaxWidth");
    coder.encodeInteger(m_buttonOptimumWidth, "QFbuttonOptimumWidth");
    coder.encodeBool(m_isHidden, "QFisHidden");
    coder.encodeBool(m_useOverflowMenu, "QFuseOverflowMenu");
    coder.encodeBool(m_automaticallyAnimates, "QFautomaticallyAnimates");
    coder.encodeBool(m_alwaysShowActiveTab, "QFalwaysShowActiveTab");
}

bool QFTabBarView::initWithCoder(fnd::Coder& coder)
{
    if (!m_controller)
        initWithFrame({});
    if (!coder.allowsKeyedCoding())
        return true;
    // A key the archive lacks keeps its default.
    auto readBool = [&](const char* key, bool& value) {
        if (coder.containsValueForKey(key))
            value = coder.decodeBoolForKey(key);
    };
    auto readLong = [&](const char* key, long& value, long minimum, long maximum) {
        if (coder.containsValueForKey(key))
            value = std::clamp<long>(long(coder.decodeIntegerForKey(key)), minimum, maximum);
    };
    if (auto style = coder.decodeObjectForKey("QFstyle").objectAs<QFTabStyle>())
        m_style = style;
    if (coder.containsValueForKey("QForientation"))
        m_orientation = coder.decodeIntegerForKey("QForientation") == 1 ? QFTabBarOrientation::Vertical
                                                                         : QFTabBarOrientation::Horizontal;
    readBool("QFonlyShowCloseOnHover", m_onlyShowCloseOnHover);
    readBool("QFcanCloseOnlyTab", m_canCloseOnlyTab);
    readBool("QFdisableTabClose", m_disableTabClose);
    readBool("QFhideForSingleTab", m_hideForSingleTab);
    readBool("QFallowsBackgroundTabClosing", m_allowsBackgroundTabClosing);
    readBool("QFallowsResizing", m_allowsResizing);
    readBool("QFselectsTabsOnMouseDown", m_selectsTabsOnMouseDown);
    readBool("QFshowAddTabButton", m_showAddTabButton);
    readBool("QFsizeButtonsToFit", m_sizeButtonsToFit);
    // Widths outside what a screen could show are a damaged archive: kept within sane bounds.
    readLong("QFbuttonMinWidth", m_buttonMinWidth, 0, 100000);
    readLong("QFbuttonMaxWidth", m_buttonMaxWidth, 0, 100000);
    readLong("QFbuttonOptimumWidth", m_buttonOptimumWidth, 0, 100000);
    readBool("QFisHidden", m_isHidden);
    readBool("QFuseOverflowMenu", m_useOverflowMenu);
    readBool("QFautomaticallyAnimates", m_automaticallyAnimates);
    readBool("QFalwaysShowActiveTab", m_alwaysShowActiveTab);
    if (m_tabBarWidth <= 9)
        m_tabBarWidth = 120;
    _updateAddTabButton();
    _updateOverflowPopUpButton();
    return coder.error() == std::nullopt;
}
