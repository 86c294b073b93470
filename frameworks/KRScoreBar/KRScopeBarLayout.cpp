#include "frameworks/KRScoreBar/KRScopeBar.h"

#include "frameworks/KRScoreBar/KRScopeBarGroupHelper.h"

#include "platform/ui/controls/PopUpButtonCell.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

#include <algorithm>
#include <cmath>

// Layout. Widths are whole points; truncation is toward zero.

namespace {

std::int64_t krScopeBarLayoutTrunc(double value)
{
    return static_cast<std::int64_t>(std::trunc(value));
}

}

std::uint64_t KRScopeBar::sumOfMaximumWidthForAllGroups_() const
{
    std::uint64_t sum = 0;
    for (const auto& helper : m_groups)
        sum += helper->maximumWidth();
    return sum;
}

std::uint64_t KRScopeBar::sumOfMinimumWidthForAllGroups_() const
{
    std::uint64_t sum = 0;
    for (const auto& helper : m_groups)
        sum += helper->minimumWidth();
    return sum;
}

std::uint64_t KRScopeBar::countOfUnpeeledGroups_() const
{
    return static_cast<std::uint64_t>(
        std::count_if(m_groups.begin(), m_groups.end(), [](const auto& helper) { return !helper->isPeeled(); }));
}

bool KRScopeBar::collapseRightMostGroup_()
{
    for (auto it = m_groups.rbegin(); it != m_groups.rend(); ++it) {
        auto group = (*it)->group();
        if (group->isCollapsed())
            continue;
        group->setCollapsed(true);
        if (!group->isCollapsed())
            continue; // the delegate refused; try the next group to the left
        (*it)->updateGroupDimensions();
        return true;
    }
    return false;
}

void KRScopeBar::resetGroupsToMaxWidth_()
{
    const auto margin = double(sideMargin());
    const auto bounds = this->bounds();
    double x = margin;
    for (const auto& helper : m_groups) {
        const double width = double(helper->maximumWidth());
        helper->setFrame({ x, bounds.minY(), width, bounds.height() });
        x = std::trunc(x + width + margin);
    }
}

void KRScopeBar::resetGroupsToZeroWidth_()
{
    for (const auto& helper : m_groups)
        helper->setFrame({});
}

std::shared_ptr<KRScopeBarGroupHelper> KRScopeBar::groupHelperForGroup_(const KRScopeBarGroup& group) const
{
    for (const auto& helper : m_groups) {
        if (helper->group().get() == &group)
            return helper;
    }
    return nullptr;
}

std::shared_ptr<KRScopeBarGroup> KRScopeBar::groupContainingObject_(const fnd::Value& object, fnd::Index* index) const
{
    for (const auto& helper : m_groups) {
        auto found = helper->group()->indexForObject(object);
        if (found != fnd::NotFound) {
            if (index)
                *index = found;
            return helper->group();
        }
    }
    return nullptr;
}

void KRScopeBar::resetOverflowPullDownCell_()
{
    if (!m_overflowPullDownCell || !m_overflowPullDownCell->menu())
        return;
    auto menu = m_overflowPullDownCell->menu();
    while (menu->numberOfItems() > 1)
        menu->removeItemAtIndex(menu->numberOfItems() - 1);
}

bool KRScopeBar::showsOverflowPullDown() const
{
    return m_overflowPullDownCell && m_overflowPullDownCell->menu()
        && m_overflowPullDownCell->menu()->numberOfItems() >= 2;
}

void KRScopeBar::peelOffItemsToFitInWidth_(std::int64_t width)
{
    if (!m_overflowPullDownCell)
        return;
    auto menu = m_overflowPullDownCell->menu();
    if (!menu) {
        menu = ui::Menu::create("");
        menu->setAutoenablesItems(false);
    }
    const auto spacing = static_cast<std::int64_t>(sideMargin());
    auto target = width;
    // Each peeled item goes in at index 1 (below the image item), so the items read left to right. The menu is
    // not shown while this runs: the items are gathered in the order they go in and put in place at the end, each
    // at the end of the menu, rather than each moving every item after index 1.
    std::vector<std::shared_ptr<ui::MenuItem>> insertedAtOne;
    // The sum of the minimum widths changes only by what the peeled group's minimum width changes.
    auto sum = static_cast<std::int64_t>(sumOfMinimumWidthForAllGroups_());
    for (std::size_t i = m_groups.size(); i-- > 0;) {
        const auto& helper = m_groups[i];
        for (;;) {
            const auto before = helper->minimumWidth();
            auto items = helper->peelOffNextItem();
            // In reverse, so that they read left to right below the image item.
            insertedAtOne.insert(insertedAtOne.end(), items.rbegin(), items.rend());
            sum = static_cast<std::int64_t>(static_cast<std::uint64_t>(sum) - before + helper->minimumWidth());
            if (items.empty() || sum <= target)
                break;
        }
        if (i != 0)
            target += spacing; // its spacing is no longer needed
        if (sum <= target)
            break;
        // A separator only between groups, never above the first group's items.
        if (i != 0)
            insertedAtOne.push_back(ui::MenuItem::separatorItem());
    }
    if (!insertedAtOne.empty()) {
        // Into a menu without items the first goes at index 0, the others after it.
        std::size_t first = 0;
        if (menu->numberOfItems() == 0) {
            menu->insertItem(insertedAtOne.front(), 0);
            first = 1;
        }
        long at = 1;
        for (auto it = insertedAtOne.rbegin(); it != insertedAtOne.rend() - std::ptrdiff_t(first); ++it)
            menu->insertItem(*it, at++);
    }
    m_overflowPullDownCell->setMenu(menu);
}

void KRScopeBar::shrinkGroupsToFit_(std::int64_t available)
{
    const auto margin = double(sideMargin());
    const auto bounds = this->bounds();
    const double sumMaximum = double(sumOfMaximumWidthForAllGroups_());
    const double excess = sumMaximum - double(available);
    const double slack = sumMaximum - double(sumOfMinimumWidthForAllGroups_());
    // The last group that still shows something takes what the rounded cuts of the others leave; wholly peeled
    // groups keep width 0 (giving the rest to one of them would make its width negative).
    std::size_t last = m_groups.size();
    for (std::size_t i = m_groups.size(); i-- > 0;) {
        if (!m_groups[i]->isPeeled()) {
            last = i;
            break;
        }
    }
    double left = excess;
    double x = margin;
    for (std::size_t i = 0; i < m_groups.size(); ++i) {
        const auto& helper = m_groups[i];
        const double maximum = double(helper->maximumWidth());
        const double minimum = double(helper->minimumWidth());
        double cut = 0;
        if (helper->isPeeled()) {
            cut = 0;
        } else if (i != last) {
            cut = slack > 0 ? std::round((maximum - minimum) / slack * excess) : 0;
            left -= cut;
        } else {
            cut = left;
        }
        const double width = std::max(0.0, maximum - cut);
        helper->setFrame({ x, bounds.minY(), width, bounds.height() });
        x = std::trunc(x + width + margin);
    }
}

void KRScopeBar::layout()
{
    calcSize();
}

void KRScopeBar::calcSize()
{
    // Called directly, this is the layout that was due.
    setNeedsLayout(false);
    placeGroupsAndAccessory_();
    // The groups' tracking areas follow their new frames.
    updateTrackingAreas();
    setNeedsDisplay(true);
}

void KRScopeBar::placeGroupsAndAccessory_()
{
    for (const auto& helper : m_groups)
        helper->unpeel();
    resetOverflowPullDownCell_();
    m_overflowPullDownRect = {};
    for (const auto& helper : m_groups) {
        if (m_autoResizesGroups)
            helper->group()->setCollapsed(false);
        helper->updateGroupDimensions();
    }

    const auto bounds = this->bounds();
    const auto margin = static_cast<std::int64_t>(sideMargin());
    const auto gaps
        = [&](std::uint64_t count) { return static_cast<std::int64_t>(count > 0 ? count - 1 : 0) * margin; };
    std::int64_t available = krScopeBarLayoutTrunc(bounds.width() - double(2 * margin) - double(gaps(m_groups.size())));
    std::int64_t right = krScopeBarLayoutTrunc(bounds.minX() + bounds.width() - double(margin));

    std::int64_t accessoryWidth = 0;
    if (m_accessoryView) {
        auto frame = m_accessoryView->frame();
        accessoryWidth = krScopeBarLayoutTrunc(frame.width());
        const auto height = krScopeBarLayoutTrunc(frame.height());
        m_accessoryView->setFrame(
            { double(right - accessoryWidth), double(krScopeBarLayoutTrunc((bounds.height() - double(height)) / 2)),
                double(accessoryWidth), double(height) });
        available -= accessoryWidth + margin;
        right -= accessoryWidth + margin;
    }

    if (!m_autoResizesGroups) {
        resetGroupsToMaxWidth_();
        return;
    }

    auto sumMinimum = [this] { return static_cast<std::int64_t>(sumOfMinimumWidthForAllGroups_()); };
    while (sumMinimum() > available) {
        if (!collapseRightMostGroup_())
            break;
    }

    if (sumMinimum() > available && m_overflowPullDownCell) {
        auto size = m_overflowPullDownCell->cellSize();
        const auto ow = krScopeBarLayoutTrunc(size.width);
        const auto oh = krScopeBarLayoutTrunc(size.height);
        m_overflowPullDownRect = { double(right - ow), (bounds.height() - double(oh)) / 2, double(ow), double(oh) };
        peelOffItemsToFitInWidth_(available - ow - static_cast<std::int64_t>(OverflowGap));
        available = krScopeBarLayoutTrunc(bounds.width() - double(2 * margin)
            - double(m_accessoryView ? accessoryWidth + margin : 0) - double(gaps(countOfUnpeeledGroups_()))
            - double(ow));
        if (sumMinimum() > 0)
            available -= static_cast<std::int64_t>(OverflowGap);
    }

    if (static_cast<std::int64_t>(sumOfMaximumWidthForAllGroups_()) <= available)
        resetGroupsToMaxWidth_();
    else
        shrinkGroupsToFit_(available);
}

void KRScopeBar::overflowPullDownItemSelected(const fnd::Value&)
{
    if (!m_overflowPullDownCell)
        return;
    auto self = selfPointer();
    auto item = m_overflowPullDownCell->selectedItem();
    if (!item)
        return;
    fnd::Index index = fnd::NotFound;
    auto group = groupContainingObject_(item->representedObject(), &index);
    if (!group || !delegateShouldSelectObject(item->representedObject()))
        return;
    group->didClickObject(static_cast<std::uint64_t>(index));
    adjustSubviews();
}
