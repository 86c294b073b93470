#include "frameworks/QFTabBarView/QFTabBarController.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFTabBarView.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "frameworks/tab-bar-core/TabWidths.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/menus/MenuItem.h"

#include <algorithm>

QFTabBarController::QFTabBarController(QFTabBarView& tabBarView)
    : m_tabBarView(tabBarView)
{
}

void QFTabBarController::layoutButtons()
{
    auto& view = m_tabBarView;
    if (view.laysOutTabsWithoutButtons()) {
        if (auto tabs = view.tabsInBarOrder()) {
            layoutTabs(*tabs);
            return;
        }
        // Buttons out of step with the items: every item gets its button, and the layout goes by the buttons.
        view.insertAttachedButtonsForItemsWithoutOne(false);
    }
    auto buttons = view.orderedAttachedButtons();
    const long destination = view.destinationIndexForDraggedItem();
    if (destination != fnd::NotFound) {
        if (auto dragged = view.attachedTabBarButtonForDraggedItems()) {
            // The dragged tab takes its place at the destination while it hovers over this bar.
            std::erase(buttons, dragged);
            buttons.insert(buttons.begin() + std::clamp<long>(destination, 0, long(buttons.size())), dragged);
        }
    }
    _setupAttachedButtons(buttons, _generateWidthsFromAttachedButtons(buttons));
}

void QFTabBarController::layoutTabs(std::vector<QFTabBarTab>& tabs)
{
    auto& view = m_tabBarView;
    // A new button starts after the last button along the bar (and slides in from there when animated), as when
    // every item got its button before the layout.
    long last = -1;
    for (long i = long(tabs.size()); i-- > 0;)
        if (tabs[std::size_t(i)].button) {
            last = i;
            break;
        }
    std::vector<bool> settled(tabs.size(), false);
    // A tab's button, made when the layout first reaches the tab: the widths stop at the first tab that does not
    // fit, and the tabs after it only go into the overflow menu.
    auto buttonAt = [&](std::size_t i) -> QFAttachedTabBarButton& {
        auto& tab = tabs[i];
        if (!tab.button) {
            tab.button = view.makeAttachedButtonForTabViewItem(
                tab.item, long(i), last >= 0 ? tabs[std::size_t(last)].button : nullptr);
            last = std::max(last, long(i));
        }
        if (!settled[i]) {
            settled[i] = true;
            settleCloseButton(*tab.button, tabs.size());
        }
        return *tab.button;
    };
    const auto widths = generateWidths(tabs.size(), buttonAt);

    const std::size_t shown = std::min(widths.size(), tabs.size());
    std::vector<std::shared_ptr<QFAttachedTabBarButton>> buttons;
    buttons.reserve(shown);
    for (std::size_t i = 0; i < shown; ++i) {
        buttonAt(i);
        buttons.push_back(tabs[i].button);
    }
    m_overflowMenu.reset();
    setupShownButtons(buttons, widths, shown < tabs.size());
    for (std::size_t i = shown; i < tabs.size(); ++i) {
        auto& tab = tabs[i];
        if (tab.button) {
            view.removeAttachedButton(*tab.button, false);
            _addItemToOverflowMenu(tab.button->tabViewItem(), tab.button->title());
        } else {
            _addItemToOverflowMenu(tab.item, view.titleOfTabViewItem(*tab.item));
        }
    }
}

void QFTabBarController::settleCloseButton(QFAttachedTabBarButton& button, std::size_t tabCount)
{
    auto& view = m_tabBarView;
    bool suppress = (tabCount == 1 && !view.canCloseOnlyTab()) || view.disableTabClose()
        || (!view.allowsBackgroundTabClosing() && button.state() != ui::ControlStateValue::On);
    if (!suppress) {
        auto delegate = view.delegate();
        auto tabView = view.tabView();
        auto item = button.tabViewItem();
        std::optional<bool> answer;
        if (delegate && tabView && item)
            answer = delegate->tabViewDisableTabCloseForTabViewItem(*tabView, *item);
        suppress = answer.value_or(false);
    }
    button.setSuppressCloseButton(suppress);
}

std::vector<double> QFTabBarController::_generateWidthsFromAttachedButtons(
    const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons)
{
    for (const auto& button : buttons)
        settleCloseButton(*button, buttons.size());
    return generateWidths(buttons.size(), [&buttons](std::size_t i) -> QFAttachedTabBarButton& { return *buttons[i]; });
}

std::vector<double> QFTabBarController::generateWidths(
    std::size_t count, const std::function<QFAttachedTabBarButton&(std::size_t)>& buttonAt)
{
    auto& view = m_tabBarView;
    tbcore::WidthInputs in;
    in.vertical = view.orientation() == QFTabBarOrientation::Vertical;
    // Titles are measured only where the widths need them (after the close buttons are settled: they count).
    in.desiredWidths.assign(count, 0.0);
    in.measure = [&buttonAt](std::size_t i) { return buttonAt(i).desiredWidth(); };
    in.availableWidth = view.availableWidthForButtons();
    in.availableHeight = view.availableHeightForButtons();
    in.buttonHeight = view.genericButtonRect().height();
    in.topMargin = view.topMargin();
    in.minWidth = view.buttonMinWidth();
    in.maxWidth = view.buttonMaxWidth();
    in.optimumWidth = view.buttonOptimumWidth();
    in.sizeToFit = view.sizeButtonsToFit();
    in.useOverflowMenu = view.useOverflowMenu();
    in.overflowButtonWidth = view.overflowButtonSize().width;
    in.showAddButton = view.showAddTabButton();
    auto result = tbcore::generateWidths(in);
    if (result.failure)
        fnd::logf(fnd::LogLevel::Warning,
            "**** -[QFTabBarController _generateWidthsFromAttachedButtons:] This is a failure (available {:f}, total "
            "{:f}, width is {:f})",
            result.failure->available, result.failure->total, result.failure->width);
    return result.widths;
}

void QFTabBarController::_setupAttachedButtons(
    const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons, const std::vector<double>& widths)
{
    m_overflowMenu.reset();
    const std::size_t shown = std::min(widths.size(), buttons.size());
    setupShownButtons({ buttons.begin(), buttons.begin() + long(shown) }, widths, shown < buttons.size());
    for (std::size_t i = shown; i < buttons.size(); ++i) {
        auto button = buttons[i];
        m_tabBarView.removeAttachedButton(*button, false);
        _addItemToOverflowMenu(button->tabViewItem(), button->title());
    }
}

void QFTabBarController::setupShownButtons(const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons,
    const std::vector<double>& widths, bool overflows)
{
    auto& view = m_tabBarView;
    auto delegate = view.delegate();
    auto tabView = view.tabView();
    const bool vertical = view.orientation() == QFTabBarOrientation::Vertical;
    gfx::Rect r = view.genericButtonRect();
    auto target = std::static_pointer_cast<fnd::Object>(view.shared_from_this());
    const long shown = long(buttons.size());

    view.enumerateAttachedButtons(buttons, { 0, fnd::Index(shown) },
        QFTabBarButtonEnumeration::UpdateTabState | QFTabBarButtonEnumeration::UpdateSelection,
        [&](QFAttachedTabBarButton& button, long k, QFAttachedTabBarButton*, QFAttachedTabBarButton*, bool&) {
            auto item = button.tabViewItem();
            if (delegate && tabView && item)
                if (auto tip = delegate->tabViewToolTipForTabViewItem(*tabView, *item))
                    button.setToolTip(*tip);
            button.setTarget(target);
            button.setAction("_didClickTabButton:");
            if (button.shouldDisplayCloseButton()) {
                button.closeButton()->setTarget(target);
                button.setCloseButtonAction("_didClickCloseButton:");
            } else {
                button.closeButton()->setTarget(nullptr);
                button.setCloseButtonAction({});
            }
            if (vertical) {
                r.size.width = view.frame().width();
                r.origin.y = widths[std::size_t(k)];
                r.origin.x = 0;
            } else {
                r.size.width = widths[std::size_t(k)];
            }
            button.setStackingFrame(r);
            // The last tab shown stands for the overflow menu, where it is listed first.
            if (k == shown - 1 && overflows) {
                button.setIsOverflowButton(true);
                _addItemToOverflowMenu(item, button.attributedStringValue()->string());
            } else {
                button.setIsOverflowButton(false);
            }
            if (vertical)
                r.origin.y += r.height();
            else
                r.origin.x += widths[std::size_t(k)];
            if (delegate && tabView && item)
                delegate->tabViewTabViewItemIsInOverflowMenu(*tabView, *item, false);
        });
}

void QFTabBarController::_addItemToOverflowMenu(const std::shared_ptr<ui::TabViewItem>& item, const fnd::String& title)
{
    if (!item)
        return;
    if (!m_overflowMenu)
        m_overflowMenu = m_menuDelegate->makeMenu(m_menuDelegate);
    // Named once: a menu of a few thousand tabs is made again at each update.
    static const fnd::Selector action("_overflowMenuAction:");
    auto entry
        = m_overflowMenu->addItemWithTitle(QFTabBarViewExtensions::stringByTruncatingToLength(title, 60), action, {});
    entry->setTarget(std::static_pointer_cast<fnd::Object>(m_tabBarView.shared_from_this()));
    entry->setRepresentedObject(fnd::Value(item));
    auto delegate = m_tabBarView.delegate();
    if (auto tabView = m_tabBarView.tabView(); delegate && tabView)
        delegate->tabViewTabViewItemIsInOverflowMenu(*tabView, *item, true);
}
