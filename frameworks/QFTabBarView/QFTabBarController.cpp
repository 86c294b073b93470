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
    auto buttons = m_tabBarView.orderedAttachedButtons();
    const long destination = m_tabBarView.destinationIndexForDraggedItem();
    if (destination != fnd::NotFound) {
        if (auto dragged = m_tabBarView.attachedTabBarButtonForDraggedItems()) {
            // The dragged tab takes its place at the destination while it hovers over this bar.
            std::erase(buttons, dragged);
            buttons.insert(buttons.begin() + std::clamp<long>(destination, 0, long(buttons.size())), dragged);
        }
    }
    _setupAttachedButtons(buttons, _generateWidthsFromAttachedButtons(buttons));
}

std::vector<double> QFTabBarController::_generateWidthsFromAttachedButtons(
    const std::vector<std::shared_ptr<QFAttachedTabBarButton>>& buttons)
{
    auto& view = m_tabBarView;
    auto delegate = view.delegate();
    auto tabView = view.tabView();
    const long n = long(buttons.size());
    tbcore::WidthInputs in;
    in.vertical = view.orientation() == QFTabBarOrientation::Vertical;
    for (const auto& button : buttons) {
        bool suppress = (n == 1 && !view.canCloseOnlyTab()) || view.disableTabClose()
            || (!view.allowsBackgroundTabClosing() && button->state() != ui::ControlStateValue::On);
        if (!suppress) {
            auto item = button->tabViewItem();
            std::optional<bool> answer;
            if (delegate && tabView && item)
                answer = delegate->tabViewDisableTabCloseForTabViewItem(*tabView, *item);
            suppress = answer.value_or(false);
        }
        button->setSuppressCloseButton(suppress);
    }
    // Titles are measured only where the widths need them (after the close buttons are settled: they count).
    in.desiredWidths.assign(buttons.size(), 0.0);
    in.measure = [&buttons](std::size_t i) { return buttons[i]->desiredWidth(); };
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
    auto& view = m_tabBarView;
    m_overflowMenu.reset();
    auto delegate = view.delegate();
    auto tabView = view.tabView();
    const bool vertical = view.orientation() == QFTabBarOrientation::Vertical;
    gfx::Rect r = view.genericButtonRect();
    auto target = std::static_pointer_cast<fnd::Object>(view.shared_from_this());
    const long shown = std::min<long>(long(widths.size()), long(buttons.size()));

    view.enumerateAttachedButtons(buttons, { 0, shown },
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
            if (k == long(widths.size()) - 1 && widths.size() < buttons.size()) {
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

    for (std::size_t i = std::size_t(shown); i < buttons.size(); ++i) {
        auto button = buttons[i];
        view.removeAttachedButton(*button, false);
        _addItemToOverflowMenu(button->tabViewItem(), button->title());
    }
}

void QFTabBarController::_addItemToOverflowMenu(const std::shared_ptr<ui::TabViewItem>& item, const fnd::String& title)
{
    if (!item)
        return;
    if (!m_overflowMenu)
        m_overflowMenu = m_menuDelegate->makeMenu(m_menuDelegate);
    auto entry = m_overflowMenu->addItemWithTitle(
        QFTabBarViewExtensions::stringByTruncatingToLength(title, 60), "_overflowMenuAction:", "");
    entry->setTarget(std::static_pointer_cast<fnd::Object>(m_tabBarView.shared_from_this()));
    entry->setRepresentedObject(fnd::Value(item));
    auto delegate = m_tabBarView.delegate();
    if (auto tabView = m_tabBarView.tabView(); delegate && tabView)
        delegate->tabViewTabViewItemIsInOverflowMenu(*tabView, *item, true);
}
