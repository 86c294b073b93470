#include "frameworks/QFTabBarView/QFTabBarView.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFTabBarController.h"
#include "frameworks/tab-bar-core/TabBarOutlets.h"
#include "frameworks/tab-bar-core/TabResources.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

FND_REGISTER_CLASS(QFTabBarView, ui::View)

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
    tbcore::describeTabBarOutlets<QFTabBarViewDelegate>(c);
}

QFTabBarView::QFTabBarView() = default;

QFTabBarView::~QFTabBarView()
{
    for (auto token : m_windowObservers)
        fnd::NotificationCenter::defaultCenter().removeObserver(token);
    if (m_slideButtonsAnimation)
        m_slideButtonsAnimation->setDelegate(nullptr);
    if (m_hideShowTabBarAnimation)
        m_hideShowTabBarAnimation->setDelegate(nullptr);
    stopObservingItems();
    stopObservingToolbar();
}

std::shared_ptr<QFTabBarView> QFTabBarView::create(gfx::Rect frame)
{
    return ui::makeView<QFTabBarView>(frame);
}

std::shared_ptr<QFTabBarView> QFTabBarView::self()
{
    return std::static_pointer_cast<QFTabBarView>(shared_from_this());
}

std::shared_ptr<fnd::Bundle> QFTabBarView::bundle()
{
    static const auto bundle = tbcore::bundleOfClass("QFTabBarView");
    return bundle;
}

void QFTabBarView::initWithFrame(gfx::Rect frame)
{
    ui::View::initWithFrame(frame);
    commonInit();
}

void QFTabBarView::commonInit()
{
    m_tabBarWidth = 0;
    m_style = QFTabStyleRegistry::shared().makeStyle(DefaultStyleName);
    m_controller = std::make_unique<QFTabBarController>(*this);
    _updateOverflowPopUpButton();
    _updateAddTabButton();
    ui::registerForDraggedTypes(*this, { QFAttachedTabBarButtonPasteboardType });
    setPostsFrameChangedNotifications(true);
    std::weak_ptr<QFTabBarView> weak = self();
    m_windowObservers.push_back(
        fnd::NotificationCenter::defaultCenter().addObserverForName(ui::ViewNotification::FrameDidChange,
            fnd::Value(std::static_pointer_cast<fnd::Object>(shared_from_this())), [weak](const fnd::Notification&) {
                if (auto view = weak.lock())
                    view->frameDidChange();
            }));
}

// Style registry.

void QFTabBarView::registerTabStyleClass(
    const fnd::String& name, const fnd::ClassInfo& styleClass, StyleFactory factory)
{
    QFTabStyleRegistry::shared().registerStyle(name, styleClass, std::move(factory));
}

void QFTabBarView::unregisterTabStyleClass(const fnd::String& name)
{
    QFTabStyleRegistry::shared().unregisterStyle(name);
}

std::vector<const fnd::ClassInfo*> QFTabBarView::registeredTabStyleClasses()
{
    return QFTabStyleRegistry::shared().registeredClasses();
}

const fnd::ClassInfo* QFTabBarView::registeredClassForStyleName(const fnd::String& name)
{
    return QFTabStyleRegistry::shared().classForName(name);
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
    // An unregistered name keeps the current style.
    if (auto style = QFTabStyleRegistry::shared().makeStyle(name))
        setStyle(style);
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
    // What the program changed in the tab view left is shown and told first (a tab closed there is detached).
    if (m_tabView && needsUpdate())
        update(false);
    m_tabView = tabView;
    // The delegate's extra drag types are asked for this tab view, so a delegate set first is asked again.
    registerDraggedTypes();
    // The buttons of the tab view the bar showed before go in the next update.
    setNeedsUpdate(true);
    if (!tabView)
        return;
    // The bar follows its tab view as the tab view's delegate.
    tabView->setDelegate(std::static_pointer_cast<ui::TabViewDelegate>(self()));
    insertAttachedButtonsForItemsWithoutOne(false);
}

void QFTabBarView::setDelegate(const std::shared_ptr<QFTabBarViewDelegate>& delegate)
{
    m_delegate = delegate;
    registerDraggedTypes();
}

void QFTabBarView::registerDraggedTypes()
{
    ui::unregisterDraggedTypes(*this);
    std::vector<fnd::String> types { QFAttachedTabBarButtonPasteboardType };
    auto delegate = m_delegate.lock();
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
