#include "platform/ui/containers/ToolbarView.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/PanelText.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace ui {

namespace {

constexpr double EdgePadding = 8;
constexpr double ItemGap = 4;
constexpr double ToolbarVerticalPadding = 5;
constexpr double OverflowButtonWidth = 22;

// A viewer shows its item's view as its one subview; an item given another view since needs a new viewer.
bool ToolbarViewShowsItsItem(const ToolbarItemViewer& viewer)
{
    const auto& view = viewer.item()->view();
    return view ? view->superview().get() == &viewer && viewer.subviews().size() == 1 : viewer.subviews().empty();
}

// Whether the first viewer may stay where it is: before the overflow button with only the other viewers, which go
// in after it, in between.
bool ToolbarViewLeadsViewers(const std::vector<std::shared_ptr<View>>& views,
    std::vector<std::shared_ptr<View>>::const_iterator button, const ToolbarItemViewer& first,
    const std::vector<std::shared_ptr<ToolbarItemViewer>>& viewers)
{
    auto at = std::ranges::find(views.begin(), button, &first, &std::shared_ptr<View>::get);
    if (at == button)
        return false;
    std::vector<const View*> placed;
    placed.reserve(viewers.size());
    for (const auto& viewer : viewers)
        placed.push_back(viewer.get());
    std::ranges::sort(placed);
    return std::all_of(
        at + 1, button, [&](const auto& view) { return std::ranges::binary_search(placed, view.get()); });
}

}

// Metrics.

ToolbarMetrics ToolbarMetrics::forModes(ToolbarDisplayMode display, ToolbarSizeMode size)
{
    ToolbarMetrics m;
    bool small = size == ToolbarSizeMode::Small;
    m.iconSize = small ? 16 : 24;
    m.labelFont = gfx::Font::systemFontOfSize(small ? 10 : 11);
    // The line height of the two label fonts, measured once each (the metrics are asked for on every layout).
    static auto& lineHeights = *new std::vector<std::pair<std::shared_ptr<gfx::Font>, double>>;
    auto known = std::ranges::find(lineHeights, m.labelFont, &std::pair<std::shared_ptr<gfx::Font>, double>::first);
    if (known == lineHeights.end()) {
        if (lineHeights.size() >= 4)
            lineHeights.clear();
        lineHeights.emplace_back(m.labelFont, std::ceil(detail::labelSize("Xg", m.labelFont).height));
        known = lineHeights.end() - 1;
    }
    m.labelHeight = known->second;
    m.showsIcon = display != ToolbarDisplayMode::LabelOnly;
    m.showsLabel = display != ToolbarDisplayMode::IconOnly;
    if (m.showsIcon && m.showsLabel)
        m.itemHeight = ToolbarVerticalPadding + m.iconSize + 2 + m.labelHeight + ToolbarVerticalPadding;
    else if (m.showsIcon)
        m.itemHeight = ToolbarVerticalPadding + m.iconSize + ToolbarVerticalPadding;
    else
        m.itemHeight = ToolbarVerticalPadding + m.labelHeight + 8 + ToolbarVerticalPadding;
    return m;
}

double ToolbarMetrics::minimumWidthOf(const ToolbarItem& item) const
{
    const auto& id = item.itemIdentifier();
    if (id == ToolbarItemIdentifier::Separator)
        return 12;
    if (id == ToolbarItemIdentifier::Space || id == ToolbarItemIdentifier::FlexibleSpace)
        return iconSize + 8;
    double label = showsLabel ? item.labelWidth(labelFont) + 10 : 0;
    if (item.view())
        return std::max(item.minSize().width, label);
    return std::max(showsIcon ? iconSize + 16 : 0.0, showsLabel && !showsIcon ? label + 8 : label);
}

// The viewer of one item.

FND_REGISTER_CLASS(ToolbarItemViewer, View)

std::shared_ptr<ToolbarItemViewer> ToolbarItemViewer::create(const std::shared_ptr<ToolbarItem>& item)
{
    auto viewer = makeView<ToolbarItemViewer>({});
    viewer->m_item = item;
    if (item && item->view())
        viewer->addSubview(item->view());
    return viewer;
}

std::shared_ptr<ToolbarView> ToolbarItemViewer::toolbarView() const
{
    return std::dynamic_pointer_cast<ToolbarView>(superview());
}

void ToolbarItemViewer::drawItem(
    const ToolbarItem& item, gfx::Rect r, const ToolbarMetrics& m, bool pressed, bool selected, bool inPalette)
{
    const auto& id = item.itemIdentifier();
    auto line = ControlLook::borderColor();
    if (id == ToolbarItemIdentifier::Separator) {
        line->setFill();
        gfx::BezierPath::fillRect({ std::floor(r.midX()), r.minY() + 6, 1, r.height() - 12 });
        return;
    }
    if (id == ToolbarItemIdentifier::Space || id == ToolbarItemIdentifier::FlexibleSpace) {
        // Spaces show only where they can be picked up.
        if (!inPalette)
            return;
        gfx::Rect area { r.minX() + 4.5, r.minY() + ToolbarVerticalPadding + 0.5, r.width() - 9, m.iconSize - 1 };
        auto box = gfx::BezierPath::bezierPathWithRoundedRect(area, 3, 3);
        constexpr double Dash[] { 3, 2 };
        box->setLineDash(Dash, 0);
        line->setStroke();
        box->stroke();
        if (id == ToolbarItemIdentifier::FlexibleSpace) {
            ControlLook::drawChevron({ area.minX() + 6, area.midY() }, 3, ControlLook::Direction::Left, *line);
            ControlLook::drawChevron({ area.maxX() - 6, area.midY() }, 3, ControlLook::Direction::Right, *line);
        }
        return;
    }
    if (pressed || selected) {
        ControlLook::FaceState face;
        face.pressed = pressed;
        face.on = selected;
        ControlLook::drawFace(gfx::insetRect(r, 1, 1), ControlLook::FaceShape::RoundedRect, ControlSize::Regular, face);
    }
    bool enabled = item.isEnabled() || inPalette;
    double y = r.minY() + ToolbarVerticalPadding;
    if (m.showsIcon && item.image()) {
        gfx::Rect icon { std::round(r.midX() - m.iconSize / 2), y, m.iconSize, m.iconSize };
        item.image()->drawInRect(icon, {}, gfx::CompositingOperation::SourceOver, enabled ? 1.0 : 0.4, true);
    }
    if (m.showsIcon)
        y += m.iconSize + 2;
    if (m.showsLabel) {
        auto text = inPalette ? item.paletteLabel() : item.label();
        gfx::Rect label { r.minX(), m.showsIcon ? y : r.minY(), r.width(), m.showsIcon ? m.labelHeight : r.height() };
        if (!m.showsIcon) {
            ControlLook::FaceState face;
            face.enabled = enabled;
            face.pressed = pressed;
            face.on = selected;
            ControlLook::drawOutlinedFace(gfx::insetRect(r, 1, ToolbarVerticalPadding),
                ControlLook::FaceShape::RoundedRect, ControlSize::Regular, face);
        }
        detail::drawLabel(text, label, m.labelFont, ControlLook::textColor(enabled), txt::TextAlignment::Center);
    }
}

void ToolbarItemViewer::drawRect(gfx::Rect)
{
    auto tv = toolbarView();
    if (!m_item || !tv)
        return;
    auto m = tv->metrics();
    auto toolbar = tv->toolbar();
    bool selected = toolbar && !toolbar->selectedItemIdentifier().isEmpty()
        && toolbar->selectedItemIdentifier() == m_item->itemIdentifier();
    if (m_item->view()) {
        // The view draws itself; the label goes under it.
        if (m.showsLabel) {
            auto b = bounds();
            detail::drawLabel(m_item->label(),
                { b.minX(), b.maxY() - ToolbarVerticalPadding - m.labelHeight, b.width(), m.labelHeight }, m.labelFont,
                ControlLook::textColor(m_item->isEnabled()), txt::TextAlignment::Center);
        }
        return;
    }
    drawItem(*m_item, bounds(), m, m_pressed, selected, false);
}

std::shared_ptr<View> ToolbarItemViewer::hitTest(gfx::Point point)
{
    // While customising, a view item is picked up as a whole.
    auto tv = toolbarView();
    auto toolbar = tv ? tv->toolbar() : nullptr;
    if (toolbar && toolbar->customizationPaletteIsRunning()) {
        auto local = convertPointFromView(point, superview().get());
        return mouseInRect(local, bounds()) ? std::static_pointer_cast<View>(shared_from_this()) : nullptr;
    }
    return View::hitTest(point);
}

fnd::String ToolbarItemViewer::toolTipAtPoint(gfx::Point point, gfx::Rect* rect)
{
    if (!m_item || m_item->toolTip().isEmpty())
        return View::toolTipAtPoint(point, rect);
    bool inside = gfx::pointInRect(point, bounds());
    if (rect)
        *rect = inside ? bounds() : gfx::Rect {};
    return inside ? m_item->toolTip() : fnd::String();
}

void ToolbarItemViewer::mouseDown(const Event& event)
{
    auto self = std::static_pointer_cast<ToolbarItemViewer>(shared_from_this());
    auto tv = toolbarView();
    auto toolbar = tv ? tv->toolbar() : nullptr;
    if (!m_item || !toolbar)
        return;
    auto& app = Application::shared();
    if (toolbar->customizationPaletteIsRunning()) {
        // Picked up: the item leaves the toolbar, and comes back wherever it is dropped on it.
        auto items = toolbar->items();
        auto found = std::ranges::find(items, m_item);
        if (found == items.end())
            return;
        auto image = gfx::Image::imageWithSize(bounds().size);
        if (auto rep = bitmapImageRepForCachingDisplayInRect(bounds())) {
            cacheDisplayInRect(bounds(), *rep);
            image->addRepresentation(rep);
        }
        auto pasteboard = Pasteboard::pasteboardWithName(PasteboardName::Drag);
        pasteboard->declareTypes({ ToolbarItemDragType });
        pasteboard->setString(m_item->itemIdentifier(), ToolbarItemDragType);
        auto origin = bounds().origin;
        gfx::Point at { origin.x, isFlipped() ? bounds().maxY() : origin.y };
        auto keepView = tv;
        toolbar->removeItemAtIndex(long(found - items.begin()));
        dragImage(*keepView, image, convertPointToView(at, keepView.get()), {}, event, pasteboard, self, false);
        return;
    }
    if (m_item->view() || m_item->isSpace())
        return;
    toolbar->validateVisibleItems();
    if (!m_item->isEnabled())
        return;
    // A button's loop: pressed while the mouse is over the item, the action on release inside.
    m_pressed = true;
    setNeedsDisplay(true);
    bool inside = true;
    for (;;) {
        auto next = app.nextEvent(EventMasks::LeftMouseUp | EventMasks::LeftMouseDragged, fnd::Date::distantFuture(),
            fnd::RunLoopMode::EventTracking, true);
        if (!next)
            break;
        inside = mouseInRect(convertPointFromView(next->locationInWindow(), nullptr), bounds());
        if (inside != m_pressed) {
            m_pressed = inside;
            setNeedsDisplay(true);
        }
        if (next->type() == EventType::LeftMouseUp)
            break;
    }
    m_pressed = false;
    setNeedsDisplay(true);
    if (!inside)
        return;
    if (auto d = toolbar->delegate()) {
        auto selectable = d->toolbarSelectableItemIdentifiers(*toolbar);
        if (selectable && std::ranges::find(*selectable, m_item->itemIdentifier()) != selectable->end())
            toolbar->setSelectedItemIdentifier(m_item->itemIdentifier());
    }
    m_item->performAction();
}

bool ToolbarItemViewer::isButton() const
{
    return m_item && !m_item->view() && !m_item->isSpace();
}

bool ToolbarItemViewer::acceptsFirstResponder() const
{
    if (!isButton())
        return false;
    auto event = Application::shared().currentEvent();
    return !event || !event->isMouseEvent();
}

void ToolbarItemViewer::press()
{
    auto self = shared_from_this();
    auto tv = toolbarView();
    auto toolbar = tv ? tv->toolbar() : nullptr;
    if (!toolbar || toolbar->customizationPaletteIsRunning())
        return;
    toolbar->validateVisibleItems();
    if (!m_item->isEnabled()) {
        Application::shared().beep();
        return;
    }
    m_item->performAction();
}

void ToolbarItemViewer::keyDown(const Event& event)
{
    const auto& chars = event.charactersIgnoringModifiers();
    const char16_t key = chars.length() == 1 ? chars.units()[0] : 0;
    const bool shift = event.modifierFlags() & ModifierFlags::Shift;
    int direction = 0;
    switch (key) {
    case u' ':
    case u'\r':
    case 0x03:
        press();
        return;
    case FunctionKey::RightArrow:
    case u'\t':
        direction = shift ? -1 : +1;
        break;
    case FunctionKey::LeftArrow:
    case 0x19:
        direction = -1;
        break;
    default:
        View::keyDown(event);
        return;
    }
    auto tv = toolbarView();
    auto w = window();
    if (!tv || !w)
        return;
    // The buttons in the row, left to right, wrapping round.
    std::vector<std::shared_ptr<ToolbarItemViewer>> buttons;
    for (const auto& sub : tv->subviews())
        if (auto viewer = std::dynamic_pointer_cast<ToolbarItemViewer>(sub);
            viewer && viewer->isButton() && !viewer->isHidden())
            buttons.push_back(viewer);
    std::ranges::sort(buttons, {}, [](const auto& viewer) { return viewer->frame().minX(); });
    auto at = std::ranges::find(buttons, shared_from_this());
    if (buttons.empty() || at == buttons.end())
        return;
    const long count = long(buttons.size());
    const long next = ((at - buttons.begin()) + direction + count) % count;
    w->makeFirstResponder(buttons[std::size_t(next)]);
}

void ToolbarItemViewer::drawFocusRingMask()
{
    gfx::BezierPath::bezierPathWithRoundedRect(gfx::insetRect(bounds(), 1, 1), 6, 6)->fill();
}

// The strip.

FND_REGISTER_CLASS(ToolbarView, View)

void ToolbarView::describeClass(fnd::ClassBuilder<ToolbarView>& c)
{
    c.action("showOverflowMenu:", &ToolbarView::showOverflowMenu);
}

std::shared_ptr<ToolbarView> ToolbarView::create(const std::shared_ptr<Toolbar>& toolbar)
{
    auto view = makeView<ToolbarView>({});
    view->m_toolbar = toolbar;
    // Laid out where it is placed: at no size, every item would only go to the overflow menu.
    view->reloadItems(false);
    return view;
}

void ToolbarView::initWithFrame(gfx::Rect frame)
{
    View::initWithFrame(frame);
    // Its subviews are laid out by layoutItems (from resizeSubviewsWithOldSize) whenever the window's width
    // changes, not autoresized.
    registerForDraggedTypes(*this, { ToolbarItemDragType, ToolbarDefaultSetDragType });
    auto chevron = Button::create({ 0, 0, OverflowButtonWidth, 22 }, "»");
    chevron->setBezelStyle(BezelStyle::Recessed);
    chevron->setTarget(shared_from_this());
    chevron->setAction("showOverflowMenu:");
    chevron->setHidden(true);
    m_overflowButton = chevron;
    addSubview(chevron);
}

void ToolbarView::encodeWithCoder(fnd::Coder& coder) const
{
    View::encodeWithCoder(coder);
    if (coder.allowsKeyedCoding())
        coder.encodeObject(fnd::Value(m_overflowButton), "NSToolbarOverflowButton");
}

bool ToolbarView::initWithCoder(fnd::Coder& coder)
{
    if (!View::initWithCoder(coder))
        return false;
    auto button = coder.allowsKeyedCoding() ? decodeSubviewForKey<Button>(coder, "NSToolbarOverflowButton") : nullptr;
    if (coder.hasFailed())
        return false;
    if (button)
        m_overflowButton = button;
    else
        addSubview(m_overflowButton);
    return true;
}

ToolbarMetrics ToolbarView::metrics() const
{
    auto t = toolbar();
    return ToolbarMetrics::forModes(
        t ? t->displayMode() : ToolbarDisplayMode::Default, t ? t->sizeMode() : ToolbarSizeMode::Default);
}

void ToolbarView::reloadItems(bool layOut)
{
    auto self = shared_from_this();
    // A viewer whose item the toolbar still holds, with the view it showed, stays: a change of modes or of the
    // toolbar's visibility makes no viewers anew, and a moved item takes its viewer along.
    std::unordered_multimap<const ToolbarItem*, std::shared_ptr<ToolbarItemViewer>> previous;
    for (auto& viewer : m_viewers)
        previous.emplace(viewer->item().get(), std::move(viewer));
    m_viewers.clear();
    if (auto t = toolbar()) {
        for (const auto& item : t->items()) {
            auto found = previous.find(item.get());
            if (found != previous.end() && ToolbarViewShowsItsItem(*found->second)) {
                m_viewers.push_back(std::move(found->second));
                previous.erase(found);
            } else {
                m_viewers.push_back(ToolbarItemViewer::create(item));
            }
        }
    }
    for (const auto& [item, viewer] : previous)
        viewer->removeFromSuperview();
    // The viewers in item order just below the overflow button, as made anew they would be; one already in its
    // place is left there. They are placed front to back, each right after the one before, so a new viewer goes in
    // next to the button at the end of the list rather than shifting every viewer placed before it.
    const auto& views = subviews();
    const auto button = std::ranges::find(views, m_overflowButton);
    std::size_t next = 0;
    const View* before = nullptr;
    for (const auto& viewer : m_viewers) {
        if (before && next < views.size() && views[next] == viewer) {
            ++next;
        } else if (!before && ToolbarViewLeadsViewers(views, button, *viewer, m_viewers)) {
            next = std::size_t(std::ranges::find(views, viewer) - views.begin()) + 1;
        } else {
            // Taken out from before its place, the viewers after it move up by one.
            const bool earlier = viewer->superview().get() == this
                && std::ranges::find(views.begin(), views.begin() + std::ptrdiff_t(next), viewer)
                    != views.begin() + std::ptrdiff_t(next);
            if (before)
                addSubview(viewer, WindowOrderingMode::Above, before);
            else
                addSubview(viewer, WindowOrderingMode::Below, m_overflowButton.get());
            next
                = before ? next + (earlier ? 0 : 1) : std::size_t(std::ranges::find(views, viewer) - views.begin()) + 1;
        }
        before = viewer.get();
    }
    if (layOut)
        layoutItems();
}

void ToolbarView::layoutItems()
{
    auto m = metrics();
    auto b = bounds();
    double available = b.width() - 2 * EdgePadding;
    std::vector<double> widths;
    double total = 0;
    for (const auto& v : m_viewers) {
        widths.push_back(std::ceil(m.minimumWidthOf(*v->item())));
        total += widths.back() + ItemGap;
    }
    if (!m_viewers.empty())
        total -= ItemGap;
    // Items that do not fit leave for the overflow menu: the lowest priority first, then from the end.
    std::vector<bool> shown(m_viewers.size(), true);
    if (total > available) {
        available -= OverflowButtonWidth + ItemGap;
        std::vector<std::size_t> order(m_viewers.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        // Ties go by position, so the order is total and a plain sort keeps it stable.
        std::ranges::sort(order, [&](std::size_t a, std::size_t c) {
            auto pa = long(m_viewers[a]->item()->visibilityPriority());
            auto pc = long(m_viewers[c]->item()->visibilityPriority());
            return pa != pc ? pa < pc : a > c;
        });
        for (auto i : order) {
            if (total <= available)
                break;
            shown[i] = false;
            total -= widths[i] + ItemGap;
        }
    }
    // What is left over goes to flexible spaces, then to views that may grow.
    double spare = std::max(0.0, available - total);
    std::vector<std::size_t> flexible;
    for (std::size_t i = 0; i < m_viewers.size(); ++i) {
        if (shown[i] && m_viewers[i]->item()->isFlexible())
            flexible.push_back(i);
    }
    if (!flexible.empty()) {
        double each = std::floor(spare / double(flexible.size()));
        for (auto i : flexible)
            widths[i] += each;
        widths[flexible.back()] += spare - each * double(flexible.size());
        spare = 0;
    }
    for (std::size_t i = 0; i < m_viewers.size() && spare > 0; ++i) {
        auto& item = *m_viewers[i]->item();
        if (!shown[i] || !item.view())
            continue;
        double grow = std::min(spare, std::max(0.0, item.maxSize().width - widths[i]));
        widths[i] += grow;
        spare -= grow;
    }
    m_overflow.clear();
    double x = b.minX() + EdgePadding;
    double rowHeight = b.height() - 1;
    for (std::size_t i = 0; i < m_viewers.size(); ++i) {
        auto& viewer = *m_viewers[i];
        viewer.setHidden(!shown[i]);
        if (!shown[i]) {
            m_overflow.push_back(viewer.item());
            continue;
        }
        viewer.setFrame({ x, b.minY(), widths[i], rowHeight });
        if (auto& view = viewer.item()->view()) {
            double labelRoom = m.showsLabel ? m.labelHeight + 2 : 0;
            double h = std::clamp(rowHeight - 2 * ToolbarVerticalPadding - labelRoom, view->frame().height(),
                std::max(view->frame().height(), viewer.item()->maxSize().height));
            h = std::min(h, std::max(viewer.item()->minSize().height, view->frame().height()));
            view->setFrame({ 0, std::round((rowHeight - labelRoom - h) / 2), widths[i], h });
        }
        x += widths[i] + ItemGap;
    }
    m_overflowButton->setHidden(m_overflow.empty());
    m_overflowButton->setFrame(
        { b.maxX() - EdgePadding - OverflowButtonWidth, std::round((rowHeight - 22) / 2), OverflowButtonWidth, 22 });
    setNeedsDisplay(true);
}

void ToolbarView::resizeSubviewsWithOldSize(gfx::Size)
{
    layoutItems();
}

void ToolbarView::viewWillDraw()
{
    if (auto t = toolbar(); t && !t->customizationPaletteIsRunning())
        t->validateVisibleItems();
}

std::shared_ptr<Menu> ToolbarView::menuForEvent(const Event&)
{
    auto t = toolbar();
    return t ? t->contextMenu() : nullptr;
}

void ToolbarView::showOverflowMenu(const fnd::Value&)
{
    if (m_overflow.empty())
        return;
    auto menu = Menu::create();
    for (const auto& item : m_overflow) {
        if (item->isSpace())
            continue;
        item->validate();
        auto entry = item->menuFormRepresentation()->copy();
        entry->setEnabled(item->isEnabled());
        menu->addItem(entry);
    }
    menu->setAutoenablesItems(false);
    auto button = m_overflowButton->frame();
    auto w = window();
    if (!w)
        return;
    auto corner = w->convertBaseToScreen(convertPointToView({ button.minX(), button.maxY() }, nullptr));
    menu->popUpMenuPositioningItem(nullptr, corner);
}

long ToolbarView::insertionIndexAt(gfx::Point point) const
{
    long index = 0;
    for (const auto& viewer : m_viewers) {
        if (viewer->isHidden())
            break;
        if (point.x < viewer->frame().midX())
            return index;
        ++index;
    }
    return long(m_viewers.size());
}

void ToolbarView::drawRect(gfx::Rect)
{
    auto b = bounds();
    auto t = toolbar();
    if (!t || t->showsBaselineSeparator()) {
        ControlLook::borderColor()->setFill();
        gfx::BezierPath::fillRect({ b.minX(), b.maxY() - 1, b.width(), 1 });
    }
    if (m_dropIndex >= 0) {
        // Where a dropped item would go.
        double x = b.minX() + EdgePadding;
        if (m_dropIndex < long(m_viewers.size()) && !m_viewers[std::size_t(m_dropIndex)]->isHidden())
            x = m_viewers[std::size_t(m_dropIndex)]->frame().minX() - ItemGap / 2;
        else if (!m_viewers.empty())
            x = m_viewers.back()->frame().maxX() + ItemGap / 2;
        ControlLook::accentColor(true)->setFill();
        gfx::BezierPath::fillRect({ std::round(x) - 1, b.minY() + 4, 2, b.height() - 9 });
    }
}

// Drops.

DragOperation ToolbarView::draggingEntered(DraggingInfo& info)
{
    return draggingUpdated(info).value_or(DragOperations::None);
}

std::optional<DragOperation> ToolbarView::draggingUpdated(DraggingInfo& info)
{
    auto t = toolbar();
    if (!t || !t->customizationPaletteIsRunning())
        return DragOperations::None;
    long index = insertionIndexAt(convertPointFromView(info.draggingLocation(), nullptr));
    if (index != m_dropIndex) {
        m_dropIndex = index;
        setNeedsDisplay(true);
    }
    return std::dynamic_pointer_cast<ToolbarItemViewer>(info.draggingSource()) ? DragOperations::Move
                                                                               : DragOperations::Copy;
}

void ToolbarView::draggingExited(DraggingInfo&)
{
    m_dropIndex = -1;
    setNeedsDisplay(true);
}

void ToolbarView::draggingEnded(DraggingInfo&)
{
    m_dropIndex = -1;
    setNeedsDisplay(true);
}

bool ToolbarView::performDragOperation(DraggingInfo& info)
{
    auto t = toolbar();
    auto pasteboard = info.draggingPasteboard();
    if (!t || !pasteboard || !t->customizationPaletteIsRunning())
        return false;
    if (pasteboard->availableTypeFromArray({ ToolbarDefaultSetDragType })) {
        m_dropIndex = -1;
        t->setItemIdentifiers(t->defaultItemIdentifiers());
        return true;
    }
    auto identifier = pasteboard->stringForType(ToolbarItemDragType);
    if (!identifier)
        return false;
    auto allowed = t->allowedItemIdentifiers();
    if (std::ranges::find(allowed, *identifier) == allowed.end())
        return false;
    long index = std::clamp(m_dropIndex, 0L, long(t->items().size()));
    m_dropIndex = -1;
    // An item is in the toolbar once; spaces and separators as often as wanted.
    auto ids = t->itemIdentifiers();
    auto existing = std::ranges::find(ids, *identifier);
    if (existing != ids.end() && !ToolbarItemIdentifier::isRepeatable(*identifier)) {
        long from = long(existing - ids.begin());
        t->moveItem(from, from < index ? index - 1 : index);
    } else {
        t->insertItemWithItemIdentifier(*identifier, index);
    }
    return true;
}

}
