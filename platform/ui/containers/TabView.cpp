#include "platform/ui/containers/TabView.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/BezierPath.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/controls/ControlTypes.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/PanelText.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

// Room beside a tab's label.
constexpr double TabPadding = 14;

}

FND_REGISTER_CLASS(TabView, View)

void TabView::describeClass(fnd::ClassBuilder<TabView>& c)
{
    c.property("tabViewType", &TabView::tabViewType, &TabView::setTabViewType);
    c.property("drawsBackground", &TabView::drawsBackground, &TabView::setDrawsBackground);
    c.property(
        "delegate", [](const TabView& view) { return std::dynamic_pointer_cast<fnd::Object>(view.delegate()); },
        [](TabView& view, const std::shared_ptr<fnd::Object>& object) {
            auto delegate = std::dynamic_pointer_cast<TabViewDelegate>(object);
            if (object && !delegate)
                throw fnd::Exception::invalidArgument(
                    fnd::String(fmt::format("A {} is not a tab view delegate.", object->className().utf8())));
            view.setDelegate(delegate);
        });
    c.action("addTabViewItem:", &TabView::addTabViewItem);
    c.action("selectFirstTabViewItem:", &TabView::selectFirstTabViewItem);
    c.action("selectLastTabViewItem:", &TabView::selectLastTabViewItem);
    c.action("selectNextTabViewItem:", &TabView::selectNextTabViewItem);
    c.action("selectPreviousTabViewItem:", &TabView::selectPreviousTabViewItem);
    c.action("takeSelectedTabViewItemFromSender:", &TabView::takeSelectedTabViewItemFromSender);
}

std::shared_ptr<TabView> TabView::create(gfx::Rect frame)
{
    return makeView<TabView>(frame);
}

void TabView::initWithFrame(gfx::Rect frame)
{
    View::initWithFrame(frame);
}

// Items.

std::shared_ptr<TabViewItem> TabView::tabViewItemAtIndex(long index) const
{
    if (index < 0 || index >= numberOfTabViewItems())
        return nullptr;
    return m_items[std::size_t(index)];
}

long TabView::indexOfTabViewItem(const TabViewItem& item) const
{
    constexpr std::size_t ScannedItems = 8;
    // Scans after a change before the map is made again: the map costs about as much as this many scans.
    constexpr unsigned ScansBeforeMap = 4;
    if (!m_itemIndexesValid && !m_itemsMayRepeat && m_items.size() > ScannedItems) {
        // Tabs closed or opened one after another (from the front, the back, every second one, the neighbour
        // selected in place of a closed tab) are found beside the last change, without a scan.
        const long at = m_lastItemChange.index;
        for (const long i : { at, at - 1, at + 1 })
            if (i >= 0 && i < long(m_items.size()) && m_items[std::size_t(i)].get() == &item)
                return i;
    }
    if (m_items.size() <= ScannedItems || (!m_itemIndexesValid && m_lookupsSinceChange++ < ScansBeforeMap)) {
        const auto found = std::ranges::find_if(m_items, [&](const auto& each) { return each.get() == &item; });
        return found == m_items.end() ? long(fnd::NotFound) : long(found - m_items.begin());
    }
    if (!m_itemIndexesValid) {
        m_itemIndexes.clear();
        m_itemIndexes.reserve(m_items.size());
        // The first place of an item wins, as a scan from the front finds it.
        for (std::size_t i = 0; i < m_items.size(); ++i)
            m_itemIndexes.emplace(m_items[i].get(), long(i));
        m_itemIndexesValid = true;
    }
    auto found = m_itemIndexes.find(&item);
    return found == m_itemIndexes.end() ? long(fnd::NotFound) : found->second;
}

long TabView::indexOfTabViewItemWithIdentifier(const fnd::Value& identifier) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i]->identifier() == identifier)
            return long(i);
    }
    return long(fnd::NotFound);
}

void TabView::addTabViewItem(const std::shared_ptr<TabViewItem>& item)
{
    insertTabViewItem(item, numberOfTabViewItems());
}

void TabView::insertTabViewItem(const std::shared_ptr<TabViewItem>& item, long index)
{
    if (!item)
        return;
    if (index < 0 || index > numberOfTabViewItems())
        throw fnd::Exception(fnd::ExceptionName::Range,
            fnd::String::format("Index %ld is beyond the %ld tab view items", { index, numberOfTabViewItems() }));
    auto self = std::static_pointer_cast<TabView>(shared_from_this());
    if (auto old = item->tabView())
        old->removeTabViewItem(item);
    m_items.insert(m_items.begin() + index, item);
    itemsDidChange();
    m_lastItemChange = { item, index, true, m_itemChangeCount };
    item->setTabView(self);
    item->setTabState(TabState::Background);
    setNeedsDisplay(true);
    if (auto d = delegate())
        d->tabViewDidChangeNumberOfTabViewItems(*this);
    accessibilityPostNotification(*this, AccessibilityNotification::ChildrenChanged);
    if (!selectedTabViewItem())
        selectTabViewItem(item);
}

void TabView::removeTabViewItem(const std::shared_ptr<TabViewItem>& item)
{
    if (!item || item->tabView().get() != this)
        return;
    auto self = shared_from_this();
    long index = indexOfTabViewItem(*item);
    if (item == selectedTabViewItem()) {
        // A neighbour takes over, through the delegate like any selection; without one nothing stays selected.
        auto neighbour = tabViewItemAtIndex(index + 1 < numberOfTabViewItems() ? index + 1 : index - 1);
        if (neighbour)
            selectTabViewItem(neighbour);
        if (item == selectedTabViewItem()) {
            if (item->view())
                item->view()->removeFromSuperview();
            m_selected.reset();
        }
    }
    index = indexOfTabViewItem(*item);
    if (index < 0 || index >= numberOfTabViewItems())
        return;
    m_items.erase(m_items.begin() + index);
    itemsDidChange();
    m_lastItemChange = { item, index, false, m_itemChangeCount };
    item->setTabView(nullptr);
    item->setTabState(TabState::Background);
    setNeedsDisplay(true);
    if (auto d = delegate())
        d->tabViewDidChangeNumberOfTabViewItems(*this);
    accessibilityPostNotification(*this, AccessibilityNotification::ChildrenChanged);
}

// Selection.

void TabView::selectTabViewItem(const std::shared_ptr<TabViewItem>& item)
{
    if (!item || item->tabView().get() != this || item == selectedTabViewItem())
        return;
    auto self = shared_from_this();
    auto d = delegate();
    if (d && !d->tabViewShouldSelectTabViewItem(*this, *item).value_or(true))
        return;
    if (d)
        d->tabViewWillSelectTabViewItem(*this, *item);
    if (auto old = selectedTabViewItem()) {
        old->setTabState(TabState::Background);
        if (old->view() && old->view()->superview().get() == this)
            old->view()->removeFromSuperview();
    }
    m_selected = item;
    item->setTabState(TabState::Selected);
    showSelectedView();
    if (auto w = window(); w && item->initialFirstResponder())
        w->makeFirstResponder(item->initialFirstResponder());
    setNeedsDisplay(true);
    if (d)
        d->tabViewDidSelectTabViewItem(*this, *item);
    accessibilityPostNotification(*this, AccessibilityNotification::SelectedChildrenChanged);
    accessibilityPostNotification(*this, AccessibilityNotification::ChildrenChanged);
}

void TabView::showSelectedView()
{
    auto item = selectedTabViewItem();
    if (!item || !item->view())
        return;
    auto& view = item->view();
    view->setFrame(contentRect());
    view->setAutoresizingMask(AutoresizingMask::WidthSizable | AutoresizingMask::HeightSizable);
    if (view->superview().get() != this)
        addSubview(view);
}

void TabView::selectTabViewItemAtIndex(long index)
{
    if (index < 0 || index >= numberOfTabViewItems())
        throw fnd::Exception(fnd::ExceptionName::Range,
            fnd::String::format("Index %ld is beyond the %ld tab view items", { index, numberOfTabViewItems() }));
    selectTabViewItem(m_items[std::size_t(index)]);
}

void TabView::selectTabViewItemWithIdentifier(const fnd::Value& identifier)
{
    long index = indexOfTabViewItemWithIdentifier(identifier);
    if (index >= 0 && index < numberOfTabViewItems())
        selectTabViewItem(m_items[std::size_t(index)]);
}

void TabView::selectFirstTabViewItem(const fnd::Value&)
{
    if (!m_items.empty())
        selectTabViewItem(m_items.front());
}

void TabView::selectLastTabViewItem(const fnd::Value&)
{
    if (!m_items.empty())
        selectTabViewItem(m_items.back());
}

void TabView::selectNextTabViewItem(const fnd::Value&)
{
    auto selected = selectedTabViewItem();
    long index = selected ? indexOfTabViewItem(*selected) : -1;
    if (auto next = tabViewItemAtIndex(index + 1))
        selectTabViewItem(next);
}

void TabView::selectPreviousTabViewItem(const fnd::Value&)
{
    auto selected = selectedTabViewItem();
    if (!selected)
        return;
    if (auto previous = tabViewItemAtIndex(indexOfTabViewItem(*selected) - 1))
        selectTabViewItem(previous);
}

void TabView::takeSelectedTabViewItemFromSender(const fnd::Value& sender)
{
    auto object = sender.object();
    if (!object)
        return;
    // A pop-up's or segmented control's choice, else the control's integer value.
    long index = -1;
    if (object->classInfo().findProperty("indexOfSelectedItem"))
        index = long(object->valueForKey("indexOfSelectedItem").integerValue());
    else if (object->classInfo().findProperty("selectedSegment"))
        index = long(object->valueForKey("selectedSegment").integerValue());
    else if (auto control = std::dynamic_pointer_cast<Control>(object))
        index = long(control->integerValue());
    if (auto item = tabViewItemAtIndex(index))
        selectTabViewItem(item);
}

// Look and geometry.

void TabView::setTabViewType(TabViewType type)
{
    if (type == m_type || !isWithin(type, TabViewType::TopTabsBezelBorder, TabViewType::NoTabsNoBorder))
        return;
    m_type = type;
    showSelectedView();
    setNeedsDisplay(true);
}

void TabView::setDrawsBackground(bool flag)
{
    if (flag == m_drawsBackground)
        return;
    m_drawsBackground = flag;
    setNeedsDisplay(true);
}

std::shared_ptr<gfx::Font> TabView::font() const
{
    return m_font ? m_font : gfx::Font::systemFontOfSize(gfx::Font::systemFontSize());
}

void TabView::setFont(std::shared_ptr<gfx::Font> font)
{
    m_font = std::move(font);
    setNeedsDisplay(true);
}

double TabView::tabHeight() const
{
    tabWidths();
    return m_measuredTabHeight;
}

const std::vector<double>& TabView::tabWidths() const
{
    const auto currentFont = font();
    if (m_measuredTabHeight == 0 || currentFont->fontName() != m_measuredFontName
        || currentFont->pointSize() != m_measuredFontSize) {
        m_measuredFontName = currentFont->fontName();
        m_measuredFontSize = currentFont->pointSize();
        m_measuredTabHeight = std::ceil(detail::labelSize("Xg", currentFont).height) + 8;
        m_measuredLabels.clear();
    }
    m_measuredLabels.resize(m_items.size());
    m_tabWidths.resize(m_items.size());
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        auto& measured = m_measuredLabels[i];
        const auto& label = m_items[i]->label();
        if (measured.width == 0 || measured.label != label)
            measured = { label, std::ceil(detail::labelSize(label, currentFont).width) + 2 * TabPadding };
        m_tabWidths[i] = measured.width;
    }
    return m_tabWidths;
}

std::vector<gfx::Rect> TabView::tabRects() const
{
    if (!hasTabs())
        return {};
    const auto& widths = tabWidths();
    double total = 0;
    for (double w : widths)
        total += w;
    std::vector<gfx::Rect> rects;
    rects.reserve(widths.size());
    const double height = m_measuredTabHeight;
    double x = std::floor(bounds().midX() - total / 2);
    for (double w : widths) {
        rects.push_back({ x, bounds().minY(), w, height });
        x += w;
    }
    return rects;
}

gfx::Rect TabView::contentRect() const
{
    auto b = bounds();
    switch (m_type) {
    case TabViewType::NoTabsNoBorder:
        return b;
    case TabViewType::NoTabsBezelBorder:
    case TabViewType::NoTabsLineBorder:
        return gfx::insetRect(b, 1, 1);
    default:
        break;
    }
    double top = tabHeight();
    return { b.minX() + 1, b.minY() + top, std::max(0.0, b.width() - 2), std::max(0.0, b.height() - top - 1) };
}

gfx::Rect TabView::rectOfTabViewItem(const TabViewItem& item) const
{
    const long index = indexOfTabViewItem(item);
    if (!hasTabs() || index < 0)
        return {};
    return tabRects()[std::size_t(index)];
}

std::shared_ptr<TabViewItem> TabView::tabViewItemAtPoint(gfx::Point point) const
{
    const auto rects = tabRects();
    for (std::size_t i = 0; i < rects.size(); ++i) {
        if (gfx::mouseInRect(point, rects[i], true))
            return m_items[i];
    }
    return nullptr;
}

void TabView::itemLabelChanged(TabViewItem&)
{
    setNeedsDisplay(true);
}

void TabView::resizeSubviewsWithOldSize(gfx::Size oldSize)
{
    View::resizeSubviewsWithOldSize(oldSize);
    showSelectedView();
}

// Drawing and the mouse.

void TabView::drawRect(gfx::Rect dirtyRect)
{
    auto b = bounds();
    if (m_type == TabViewType::NoTabsNoBorder)
        return;
    // The box the pages sit in; with tabs its top line runs through their middle.
    double top = hasTabs() ? std::floor(tabHeight() / 2) : 0;
    gfx::Rect box { b.minX() + 0.5, b.minY() + top + 0.5, b.width() - 1, b.height() - top - 1 };
    double radius = m_type == TabViewType::NoTabsLineBorder ? 0 : 5;
    auto outline = gfx::BezierPath::bezierPathWithRoundedRect(box, radius, radius);
    if (m_drawsBackground) {
        gfx::Color::colorWithCalibratedWhite(0, 0.03)->setFill();
        outline->fill();
    }
    ControlLook::borderColor()->setStroke();
    outline->setLineWidth(1);
    outline->stroke();
    if (!hasTabs() || m_items.empty())
        return;

    bool active = !window() || window()->isKeyWindow();
    const auto rects = tabRects();
    const auto& first = rects.front();
    const auto& last = rects.back();
    gfx::Rect strip { first.minX(), first.minY(), last.maxX() - first.minX(), first.height() };
    // The strip hides the box line behind it.
    ControlLook::fieldBackgroundColor()->setFill();
    gfx::BezierPath::bezierPathWithRoundedRect(strip, 5, 5)->fill();
    ControlLook::FaceState plain;
    plain.active = active;
    ControlLook::drawOutlinedFace(strip, ControlLook::FaceShape::RoundedRect, ControlSize::Regular, plain);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        auto& item = *m_items[i];
        const auto& r = rects[i];
        // A tab draws only inside its rect: those outside the dirty rect are left out, so a redraw costs the tabs
        // in it.
        if (!gfx::intersectsRect(r, dirtyRect))
            continue;
        bool selected = item.tabState() == TabState::Selected;
        if (selected) {
            ControlLook::FaceState face;
            face.on = true;
            face.emphasized = true;
            face.active = active;
            ControlLook::drawFace(
                gfx::insetRect(r, 1, 1), ControlLook::FaceShape::RoundedRect, ControlSize::Regular, face);
        } else if (i > 0 && m_items[i - 1]->tabState() != TabState::Selected) {
            ControlLook::borderColor()->setFill();
            gfx::BezierPath::fillRect({ r.minX(), r.minY() + 5, 1, r.height() - 10 });
        }
        auto color = selected ? ControlLook::textOnAccentColor(true) : ControlLook::textColor(true);
        detail::drawLabel(
            item.label(), gfx::insetRect(r, TabPadding / 2, 0), font(), color, txt::TextAlignment::Center);
    }
}

void TabView::mouseDown(const Event& event)
{
    auto item = tabViewItemAtPoint(convertPointFromView(event.locationInWindow(), nullptr));
    if (!item) {
        View::mouseDown(event);
        return;
    }
    selectTabViewItem(item);
}

fnd::String TabView::toolTipAtPoint(gfx::Point point, gfx::Rect* rect)
{
    if (auto item = tabViewItemAtPoint(point); item && !item->toolTip().isEmpty()) {
        if (rect)
            *rect = rectOfTabViewItem(*item);
        return item->toolTip();
    }
    return View::toolTipAtPoint(point, rect);
}

}
