#include "frameworks/KRScoreBar/KRScopeBarGroupHelper.h"

#include "frameworks/KRScoreBar/KRScopeBar.h"
#include "frameworks/KRScoreBar/KRScopeBarGroup.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/controls/PopUpButtonCell.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/views/TrackingArea.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/TrackingEvents.h"

#include <algorithm>
#include <cmath>

FND_REGISTER_CLASS(KRScopeBarGroupHelper, fnd::Object)

namespace {

double krGroupHelperTrunc(double value)
{
    return std::trunc(value);
}

}

void KRScopeBarGroupHelper::describeClass(fnd::ClassBuilder<KRScopeBarGroupHelper>& c)
{
    c.action("popUpMenuItemSelected:", &KRScopeBarGroupHelper::popUpMenuItemSelected);
}

void KRScopeBarGroupHelper::init()
{
    throw fnd::Exception("KRScopeBarException",
        "An instance of an KRScopeBarGroupHelper was initialized using init instead of initWithGroup:inScopeBar:");
}

std::shared_ptr<KRScopeBarGroupHelper> KRScopeBarGroupHelper::create(
    const std::shared_ptr<KRScopeBarGroup>& group, const std::shared_ptr<KRScopeBar>& bar)
{
    auto helper = std::make_shared<KRScopeBarGroupHelper>();
    helper->m_group = group;
    helper->m_scopeBar = bar;
    helper->m_trackingIndex = -1;
    return helper;
}

std::int64_t KRScopeBarGroupHelper::groupIndex() const
{
    auto bar = scopeBar();
    if (!bar || !m_group)
        return -1;
    auto index = bar->indexOfGroup(*m_group);
    return index == fnd::NotFound ? -1 : static_cast<std::int64_t>(index);
}

std::uint64_t KRScopeBarGroupHelper::numberOfVisibleItems() const
{
    auto count = m_group ? m_group->numberOfObjects() : 0;
    return count > m_numberOfItemsPeeledOff ? count - m_numberOfItemsPeeledOff : 0;
}

bool KRScopeBarGroupHelper::isPeeled() const
{
    return m_group && m_numberOfItemsPeeledOff >= m_group->numberOfObjects();
}

bool KRScopeBarGroupHelper::usesBindings() const
{
    return m_group && m_group->usesBindings();
}

bool KRScopeBarGroupHelper::showsSeparatorHere() const
{
    // The group's own flag decides, the first group's too: addGroup switches it off for a first group it makes.
    return m_group && m_group->showsSeparator();
}

double KRScopeBarGroupHelper::labelWidth() const
{
    measureCells();
    return m_metrics->labelWidth;
}

void KRScopeBarGroupHelper::invalidateCellMetrics()
{
    m_metrics.reset();
}

void KRScopeBarGroupHelper::measureCells() const
{
    if (m_metrics)
        return;
    CellMetrics metrics;
    auto bar = scopeBar();
    auto index = groupIndex();
    if (bar && index >= 0) {
        const auto count = m_group->numberOfObjects();
        metrics.itemWidths.reserve(count);
        for (std::uint64_t i = 0; i < count; ++i) {
            auto cell = bar->preparedButtonCellForGroup(static_cast<std::uint64_t>(index), i);
            auto size = cell ? cell->cellSize() : gfx::Size {};
            metrics.itemWidths.push_back(size.width);
            if (i == 0)
                metrics.firstItemHeight = size.height;
        }
        if (auto popUp = bar->preparedPopUpCellForGroup(static_cast<std::uint64_t>(index)))
            metrics.popUpWidth = popUp->cellSize().width;
    }
    if (auto label = m_group ? m_group->attributedLabel() : nullptr) {
        auto size = label->size();
        metrics.labelWidth = size.width;
        metrics.labelHeight = size.height;
    }
    m_metrics = std::move(metrics);
}

std::vector<double> KRScopeBarGroupHelper::visibleCellWidths() const
{
    measureCells();
    const auto& widths = m_metrics->itemWidths;
    const auto visible = std::min<std::uint64_t>(numberOfVisibleItems(), widths.size());
    return { widths.begin(), widths.begin() + static_cast<std::ptrdiff_t>(visible) };
}

double KRScopeBarGroupHelper::popUpCellWidth() const
{
    measureCells();
    return m_metrics->popUpWidth;
}

double KRScopeBarGroupHelper::firstCellHeight() const
{
    measureCells();
    return m_metrics->firstItemHeight;
}

// Measuring.

void KRScopeBarGroupHelper::updateGroupDimensions()
{
    calculateHeaderWidth_();
    calculateMaximumWidth_();
    calculateMinimumWidth_();
}

void KRScopeBarGroupHelper::calculateHeaderWidth_()
{
    std::uint64_t width = 0;
    if (m_group && m_group->showsLabel())
        width += static_cast<std::uint64_t>(krGroupHelperTrunc(labelWidth() + LabelSlack + LabelGap));
    if (showsSeparatorHere())
        width += static_cast<std::uint64_t>(SeparatorWidth + SeparatorGap);
    m_headerWidth = width;
}

void KRScopeBarGroupHelper::calculateMaximumWidth_()
{
    auto bar = scopeBar();
    if (!bar || isPeeled()) {
        m_maximumWidth = 0;
        return;
    }
    if (m_group->isCollapsed()) {
        m_maximumWidth = static_cast<std::uint64_t>(krGroupHelperTrunc(popUpCellWidth() + double(m_headerWidth)));
        return;
    }
    const double spacing = double(bar->intercellSpacing());
    double total = 0;
    for (double width : visibleCellWidths())
        total = krGroupHelperTrunc(total + width + spacing);
    m_maximumWidth = m_headerWidth + static_cast<std::uint64_t>(std::max(0.0, total - spacing));
}

void KRScopeBarGroupHelper::calculateMinimumWidth_()
{
    auto bar = scopeBar();
    if (!bar || isPeeled()) {
        m_minimumWidth = 0;
        return;
    }
    if (m_group->isCollapsed()) {
        auto popUp = static_cast<std::uint64_t>(krGroupHelperTrunc(popUpCellWidth()));
        m_minimumWidth = std::min(popUp, bar->minimumPopUpWidth()) + m_headerWidth;
        return;
    }
    const double spacing = double(bar->intercellSpacing());
    const double minimum = double(bar->minimumButtonWidth());
    double total = 0;
    for (double width : visibleCellWidths())
        total = krGroupHelperTrunc(total + std::min(minimum, krGroupHelperTrunc(width)) + spacing);
    m_minimumWidth = m_headerWidth + static_cast<std::uint64_t>(std::max(0.0, total - spacing));
}

// Areas.

void KRScopeBarGroupHelper::setFrame(gfx::Rect frame)
{
    m_frame = frame;
    recalculateRects_();
}

void KRScopeBarGroupHelper::recalculateRects_()
{
    auto bar = scopeBar();
    if (!bar || !m_group || m_group->numberOfObjects() == 0)
        return;
    gfx::Rect rest = m_frame;
    // Cuts a slice of the width off the left of the rest.
    auto slice = [&rest](double width) {
        width = std::min(width, rest.width());
        gfx::Rect piece { rest.minX(), rest.minY(), width, rest.height() };
        rest = { rest.minX() + width, rest.minY(), rest.width() - width, rest.height() };
        return piece;
    };
    auto skipGap = [&rest](double gap) {
        if (rest.width() >= gap)
            rest = { rest.minX() + gap, rest.minY(), rest.width() - gap, rest.height() };
    };

    if (showsSeparatorHere()) {
        auto separator = slice(SeparatorWidth);
        double inset = m_frame.height() * 0.18;
        m_separatorRect = { separator.minX(), separator.minY() + inset, separator.width(),
            std::max(0.0, separator.height() - 2 * inset) };
        skipGap(SeparatorGap);
    } else {
        m_separatorRect = {};
    }

    if (m_group->showsLabel()) {
        auto label = slice(krGroupHelperTrunc(labelWidth() + LabelSlack));
        measureCells();
        double textHeight = m_metrics->labelHeight;
        double inset = (label.height() - textHeight) / 2;
        label = { label.minX(), label.minY() + inset, label.width(), std::max(0.0, label.height() - 2 * inset) };
        label.origin.y += bar->isFlipped() ? -1 : 1;
        m_labelRect = label;
        skipGap(LabelGap);
    } else {
        m_labelRect = {};
    }

    const double cellHeight = firstCellHeight();
    double inset = (rest.height() - cellHeight) / 2;
    m_buttonRect = { rest.minX(), rest.minY() + inset, rest.width(), std::max(0.0, rest.height() - 2 * inset) };

    if (!m_group->isCollapsed())
        updateButtonFrames_();
}

void KRScopeBarGroupHelper::updateButtonFrames_()
{
    m_buttonRects.clear();
    if (m_frame.width() >= double(m_maximumWidth)) {
        setItemsToMaximumWidth_();
        return;
    }
    auto bar = scopeBar();
    const double spacing = double(bar->intercellSpacing());
    const double minimum = double(bar->minimumButtonWidth());
    double excess = krGroupHelperTrunc((double(m_maximumWidth) - double(m_headerWidth)) - m_buttonRect.width());
    const double slack = double(m_maximumWidth) - double(m_minimumWidth);
    double left = excess;
    double x = m_buttonRect.minX();
    auto widths = visibleCellWidths();
    for (std::size_t i = 0; i < widths.size(); ++i) {
        x = krGroupHelperTrunc(x);
        const double w = widths[i];
        double cut;
        if (i + 1 < widths.size()) {
            double d = krGroupHelperTrunc(w - std::min(minimum, krGroupHelperTrunc(w)));
            // Without slack nothing can shrink (the bar never gives less than the minimum width).
            cut = slack > 0 ? std::floor(d / slack * excess) : 0;
            left -= cut;
        } else {
            cut = left;
        }
        double width = std::max(0.0, w - cut);
        m_buttonRects.push_back({ x, m_buttonRect.minY(), width, m_buttonRect.height() });
        x += width + spacing;
    }
}

void KRScopeBarGroupHelper::setItemsToMaximumWidth_()
{
    auto bar = scopeBar();
    const double spacing = double(bar->intercellSpacing());
    double x = m_buttonRect.minX();
    for (double width : visibleCellWidths()) {
        m_buttonRects.push_back({ krGroupHelperTrunc(x), m_buttonRect.minY(), width, m_buttonRect.height() });
        x += width + spacing;
    }
}

// Peeling.

std::vector<std::shared_ptr<ui::MenuItem>> KRScopeBarGroupHelper::peelOffNextItem()
{
    std::vector<std::shared_ptr<ui::MenuItem>> items;
    if (!m_group || isPeeled())
        return items;
    const auto count = m_group->numberOfObjects();
    if (m_group->isCollapsed()) {
        m_numberOfItemsPeeledOff = count;
        updateGroupDimensions();
        for (std::uint64_t i = 0; i < count; ++i) {
            if (auto item = menuItemForObject_(i))
                items.push_back(item);
        }
        return items;
    }
    const auto index = count - 1 - m_numberOfItemsPeeledOff;
    ++m_numberOfItemsPeeledOff;
    updateGroupDimensions();
    if (auto item = menuItemForObject_(index))
        items.push_back(item);
    return items;
}

std::shared_ptr<ui::MenuItem> KRScopeBarGroupHelper::menuItemForObject_(std::uint64_t index) const
{
    auto bar = scopeBar();
    auto group = groupIndex();
    if (!bar || group < 0)
        return nullptr;
    auto cell = bar->preparedButtonCellForGroup(static_cast<std::uint64_t>(group), index);
    auto item = ui::MenuItem::create(cell ? cell->title() : fnd::String(), {}, "");
    if (cell)
        item->setImage(cell->image());
    item->setState(m_group->selectionIndexes().contains(static_cast<fnd::Index>(index)) ? ui::ControlStateValue::On
                                                                                        : ui::ControlStateValue::Off);
    item->setRepresentedObject(m_group->objectAtIndex(index));
    return item;
}

std::shared_ptr<ui::Menu> KRScopeBarGroupHelper::menu_() const
{
    auto menu = ui::Menu::create("");
    if (!m_group)
        return menu;
    const auto count = m_group->numberOfObjects();
    for (std::uint64_t i = 0; i < count; ++i) {
        if (auto item = menuItemForObject_(i))
            menu->addItem(item);
    }
    return menu;
}

// Drawing.

void KRScopeBarGroupHelper::drawGroup()
{
    auto bar = scopeBar();
    if (!bar || !m_group || isPeeled())
        return;
    if (showsSeparatorHere() && bar->separatorColor()) {
        gfx::GraphicsStateGuard guard;
        bar->separatorColor()->setFill();
        gfx::GraphicsContext::current()->fillRect(m_separatorRect);
    }
    if (m_group->showsLabel()) {
        if (auto label = m_group->attributedLabel())
            label->drawInRect(m_labelRect);
    }
    const auto index = static_cast<std::uint64_t>(groupIndex());
    if (!m_group->isCollapsed()) {
        const auto visible = std::min<std::uint64_t>(numberOfVisibleItems(), m_buttonRects.size());
        for (std::uint64_t i = 0; i < visible; ++i) {
            auto cell = m_trackingCell && m_trackingIndex == static_cast<std::int64_t>(i)
                    && !std::dynamic_pointer_cast<ui::PopUpButtonCell>(m_trackingCell)
                ? m_trackingCell
                : bar->preparedButtonCellForGroup(index, i);
            if (cell)
                cell->drawWithFrame(m_buttonRects[i], *bar);
        }
        return;
    }
    // A tracking cell left from before the layout collapsed the group is a button, not this pop-up.
    std::shared_ptr<ui::ButtonCell> cell = std::dynamic_pointer_cast<ui::PopUpButtonCell>(m_trackingCell);
    if (!cell)
        cell = bar->preparedPopUpCellForGroup(index);
    if (cell)
        cell->drawWithFrame(m_buttonRect, *bar);
}

// Tracking.

void KRScopeBarGroupHelper::addTrackingAreas()
{
    auto bar = scopeBar();
    if (!bar || !m_group || m_group->numberOfObjects() == 0)
        return;
    const unsigned options = ui::TrackingOptions::MouseEnteredAndExited | ui::TrackingOptions::ActiveInActiveApp;
    if (m_group->isCollapsed()) {
        if (!isPeeled())
            bar->addTrackingArea(ui::TrackingArea::create(m_buttonRect, options, bar));
        return;
    }
    const auto visible = std::min<std::uint64_t>(numberOfVisibleItems(), m_buttonRects.size());
    for (std::uint64_t i = 0; i < visible; ++i)
        bar->addTrackingArea(ui::TrackingArea::create(m_buttonRects[i], options, bar));
}

gfx::Rect KRScopeBarGroupHelper::hotRect() const
{
    return { m_buttonRect.minX(), m_frame.minY(), m_buttonRect.width(), m_frame.height() };
}

void KRScopeBarGroupHelper::generatePopUpTrackingCellForPoint_(gfx::Point)
{
    auto bar = scopeBar();
    auto index = groupIndex();
    if (!bar || index < 0)
        return;
    auto cell = bar->preparedPopUpCellForGroup(static_cast<std::uint64_t>(index));
    cell->setTarget(std::static_pointer_cast<KRScopeBarGroupHelper>(shared_from_this()));
    m_trackingCell = cell;
    m_trackingIndex = -1;
    cell->mouseEntered(*ui::Event::enterExitEventWithType(ui::EventType::MouseEntered, {}, 0, 0, 0, 0, 0, {}));
}

void KRScopeBarGroupHelper::mouseEntered(const ui::Event& event)
{
    auto bar = scopeBar();
    if (!bar || !m_group)
        return;
    auto point = bar->convertPointFromView(event.locationInWindow(), nullptr);
    if (m_group->isCollapsed()) {
        if (gfx::pointInRect(point, hotRect())) {
            generatePopUpTrackingCellForPoint_(point);
            bar->setNeedsDisplay(true);
        }
        return;
    }
    const auto visible = std::min<std::uint64_t>(numberOfVisibleItems(), m_buttonRects.size());
    for (std::uint64_t i = 0; i < visible; ++i) {
        if (!gfx::pointInRect(point, m_buttonRects[i]))
            continue;
        auto cell = bar->preparedButtonCellForGroup(static_cast<std::uint64_t>(groupIndex()), i);
        if (!cell)
            return;
        m_trackingCell = cell;
        m_trackingIndex = static_cast<std::int64_t>(i);
        cell->mouseEntered(event);
        bar->setNeedsDisplay(true);
        return;
    }
}

void KRScopeBarGroupHelper::mouseExited(const ui::Event&)
{
    removeTrackingCell_();
    if (auto bar = scopeBar())
        bar->setNeedsDisplay(true);
}

void KRScopeBarGroupHelper::removeTrackingCell_()
{
    m_trackingCell = nullptr;
    m_trackingIndex = -1;
}

void KRScopeBarGroupHelper::mouseDown(const ui::Event& event)
{
    auto bar = scopeBar();
    if (!bar || !m_trackingCell)
        return;
    auto self = shared_from_this(); // the click may remove the group from its bar
    if (m_group->isCollapsed()) {
        auto popUp = std::dynamic_pointer_cast<ui::PopUpButtonCell>(m_trackingCell);
        if (!popUp)
            return;
        popUp->setMenu(menu_());
        popUp->performClickWithFrame(m_buttonRect, *bar);
        return;
    }
    trackClickInButton_(event);
}

void KRScopeBarGroupHelper::trackClickInButton_(const ui::Event& event)
{
    auto bar = scopeBar();
    const auto index = m_trackingIndex;
    if (index < 0 || static_cast<std::uint64_t>(index) >= m_buttonRects.size())
        return;
    if (!bar->delegateShouldSelectObject(m_group->objectAtIndex(static_cast<std::uint64_t>(index))))
        return;
    auto cell = m_trackingCell;
    const auto rect = m_buttonRects[static_cast<std::size_t>(index)];
    auto point = bar->convertPointFromView(event.locationInWindow(), nullptr);
    bool wentUpInside = false;
    ui::detail::TrackingEvents events(false, 0, 0);
    for (;;) {
        cell->setHighlighted(gfx::pointInRect(point, rect));
        bar->setNeedsDisplay(true);
        ui::detail::displayDuringTracking(*bar);
        auto next = events.next();
        if (!next.event)
            break; // the input ended without a release
        point = bar->convertPointFromView(next.event->locationInWindow(), nullptr);
        if (next.event->type() == ui::EventType::LeftMouseUp) {
            wentUpInside = gfx::pointInRect(point, rect);
            break;
        }
    }
    cell->setHighlighted(false);
    if (wentUpInside && m_group) {
        m_group->didClickObject(static_cast<std::uint64_t>(index));
        cell->setState(
            m_group->selectionIndexes().contains(index) ? ui::ControlStateValue::On : ui::ControlStateValue::Off);
    }
    bar->setNeedsDisplay(true);
}

void KRScopeBarGroupHelper::popUpMenuItemSelected(const fnd::Value&)
{
    auto bar = scopeBar();
    auto popUp = std::dynamic_pointer_cast<ui::PopUpButtonCell>(m_trackingCell);
    if (!bar || !popUp)
        return;
    auto self = shared_from_this();
    auto item = popUp->selectedItem();
    if (!item)
        return;
    auto mouseStillInside = [&] {
        auto window = bar->window();
        if (!window)
            return false;
        auto inWindow = window->mouseLocationOutsideOfEventStream();
        return gfx::pointInRect(bar->convertPointFromView(inWindow, nullptr), m_buttonRect);
    };
    if (!bar->delegateShouldSelectObject(item->representedObject())) {
        removeTrackingCell_();
        if (mouseStillInside())
            generatePopUpTrackingCellForPoint_({});
        bar->setNeedsDisplay(true);
        return;
    }
    auto index = popUp->indexOfItem(*item);
    if (index >= 0 && static_cast<std::uint64_t>(index) < m_group->numberOfObjects())
        m_group->didClickObject(static_cast<std::uint64_t>(index));
    bar->adjustSubviews();
    removeTrackingCell_();
    if (mouseStillInside())
        generatePopUpTrackingCellForPoint_({});
}
