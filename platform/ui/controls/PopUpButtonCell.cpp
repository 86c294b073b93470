#include "platform/ui/controls/PopUpButtonCell.h"

#include "platform/foundation/archiving/TypedDecoding.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/menus/MenuView.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Window.h"

#include <cmath>

namespace ui {

FND_REGISTER_CLASS(PopUpButtonCell, ButtonCell)

void PopUpButtonCell::describeClass(fnd::ClassBuilder<PopUpButtonCell>& c)
{
    c.property("pullsDown", &PopUpButtonCell::pullsDown, &PopUpButtonCell::setPullsDown);
    c.property("autoenablesItems", &PopUpButtonCell::autoenablesItems, &PopUpButtonCell::setAutoenablesItems);
    c.property("arrowPosition", &PopUpButtonCell::arrowPosition, &PopUpButtonCell::setArrowPosition);
    c.property("preferredEdge", &PopUpButtonCell::preferredEdge, &PopUpButtonCell::setPreferredEdge);
    c.property("usesItemFromMenu", &PopUpButtonCell::usesItemFromMenu, &PopUpButtonCell::setUsesItemFromMenu);
    c.property("altersStateOfSelectedItem", &PopUpButtonCell::altersStateOfSelectedItem,
        &PopUpButtonCell::setAltersStateOfSelectedItem);
    c.property("menu", &PopUpButtonCell::popUpMenu, &PopUpButtonCell::setMenu);
    c.property("indexOfSelectedItem", &PopUpButtonCell::indexOfSelectedItem, &PopUpButtonCell::selectItemAtIndex);
}

namespace {

double arrowStripWidth(ControlSize size)
{
    switch (size) {
    case ControlSize::Small:
        return 17;
    case ControlSize::Mini:
        return 14;
    default:
        return 20;
    }
}

}

void PopUpButtonCell::init()
{
    initTextCell({}, false);
}

void PopUpButtonCell::initTextCell(const fnd::String& title, bool pullsDown)
{
    ButtonCell::initTextCell({});
    setAlignment(txt::TextAlignment::Natural);
    m_pullsDown = pullsDown;
    if (!menu())
        adoptMenu(Menu::create());
    if (!title.isEmpty())
        setTitle(title);
}

std::shared_ptr<Cell> PopUpButtonCell::copy() const
{
    auto clone = std::static_pointer_cast<PopUpButtonCell>(ButtonCell::copy());
    if (auto m = menu()) {
        auto menuCopy = m->copy();
        long selected = indexOfSelectedItem();
        clone->adoptMenu(menuCopy);
        clone->m_selectedItem = selected >= 0 ? menuCopy->itemAtIndex(selected) : nullptr;
    }
    return clone;
}

void PopUpButtonCell::adoptMenu(std::shared_ptr<Menu> newMenu)
{
    ButtonCell::setMenu(std::move(newMenu));
    // The menu's element reads the pop-up as its parent, and its items choose through it.
    if (auto m = menu())
        m->setAccessibilityOwner(std::static_pointer_cast<PopUpButtonCell>(weak_from_this().lock()));
}

void PopUpButtonCell::setMenu(std::shared_ptr<Menu> newMenu)
{
    if (newMenu == menu())
        return;
    adoptMenu(std::move(newMenu));
    m_selectedItem.reset();
    if (!m_pullsDown && menu() && menu()->numberOfItems() > 0)
        selectItemAtIndex(0);
    noteMenuChanged();
}

void PopUpButtonCell::setPullsDown(bool flag)
{
    if (flag == m_pullsDown)
        return;
    m_pullsDown = flag;
    if (flag) {
        if (auto selected = selectedItem(); selected && m_altersStateOfSelectedItem)
            selected->setState(ControlStateValue::Off);
    } else {
        synchronizeTitleAndSelectedItem();
    }
    noteChanged();
}

bool PopUpButtonCell::autoenablesItems() const
{
    return menu() && menu()->autoenablesItems();
}

void PopUpButtonCell::setAutoenablesItems(bool flag)
{
    if (menu())
        menu()->setAutoenablesItems(flag);
}

void PopUpButtonCell::setArrowPosition(PopUpArrowPosition position)
{
    if (position == m_arrowPosition
        || !isWithin(position, PopUpArrowPosition::NoArrow, PopUpArrowPosition::ArrowAtBottom))
        return;
    m_arrowPosition = position;
    noteChanged();
}

void PopUpButtonCell::setUsesItemFromMenu(bool flag)
{
    m_usesItemFromMenu = flag;
    noteChanged();
}

void PopUpButtonCell::setAltersStateOfSelectedItem(bool flag)
{
    if (flag == m_altersStateOfSelectedItem)
        return;
    m_altersStateOfSelectedItem = flag;
    if (auto selected = selectedItem(); selected && !m_pullsDown)
        selected->setState(flag ? ControlStateValue::On : ControlStateValue::Off);
}

void PopUpButtonCell::noteMenuChanged()
{
    // An item that left the menu is no longer selected; a pop-up then shows its first item.
    if (auto selected = selectedItem(); selected && (!menu() || menu()->indexOfItem(*selected) < 0))
        m_selectedItem.reset();
    if (!m_pullsDown && !selectedItem() && numberOfItems() > 0)
        selectItemAtIndex(0);
    noteChanged();
}

// Items.

void PopUpButtonCell::addItemWithTitle(const fnd::String& title)
{
    insertItemWithTitle(title, numberOfItems());
}

void PopUpButtonCell::addItemsWithTitles(const std::vector<fnd::String>& titles)
{
    for (const auto& title : titles)
        addItemWithTitle(title);
}

void PopUpButtonCell::insertItemWithTitle(const fnd::String& title, long index)
{
    if (!menu())
        adoptMenu(Menu::create());
    // Titles are unique: an item with the same title moves to the new place.
    if (long existing = indexOfItemWithTitle(title); existing >= 0) {
        menu()->removeItemAtIndex(existing);
        if (existing < index)
            --index;
    }
    index = std::clamp(index, 0l, numberOfItems());
    menu()->insertItemWithTitle(title, {}, {}, index);
    noteMenuChanged();
}

void PopUpButtonCell::removeItemWithTitle(const fnd::String& title)
{
    if (long index = indexOfItemWithTitle(title); index >= 0)
        removeItemAtIndex(index);
}

void PopUpButtonCell::removeItemAtIndex(long index)
{
    if (!menu() || !menu()->itemAtIndex(index))
        return;
    menu()->removeItemAtIndex(index);
    noteMenuChanged();
}

void PopUpButtonCell::removeAllItems()
{
    if (!menu())
        return;
    menu()->removeAllItems();
    m_selectedItem.reset();
    noteChanged();
}

const std::vector<std::shared_ptr<MenuItem>>& PopUpButtonCell::itemArray() const
{
    static const std::vector<std::shared_ptr<MenuItem>> none;
    return menu() ? menu()->itemArray() : none;
}

long PopUpButtonCell::numberOfItems() const
{
    return menu() ? menu()->numberOfItems() : 0;
}

long PopUpButtonCell::indexOfItem(const MenuItem& item) const
{
    return menu() ? menu()->indexOfItem(item) : -1;
}

long PopUpButtonCell::indexOfItemWithTitle(const fnd::String& title) const
{
    return menu() ? menu()->indexOfItemWithTitle(title) : -1;
}

long PopUpButtonCell::indexOfItemWithTag(long tag) const
{
    return menu() ? menu()->indexOfItemWithTag(tag) : -1;
}

long PopUpButtonCell::indexOfItemWithRepresentedObject(const fnd::Value& object) const
{
    return menu() ? menu()->indexOfItemWithRepresentedObject(object) : -1;
}

long PopUpButtonCell::indexOfItemWithTarget(const fnd::Object* target, fnd::Selector action) const
{
    return menu() ? menu()->indexOfItemWithTarget(target, action) : -1;
}

std::shared_ptr<MenuItem> PopUpButtonCell::itemAtIndex(long index) const
{
    return menu() ? menu()->itemAtIndex(index) : nullptr;
}

std::shared_ptr<MenuItem> PopUpButtonCell::itemWithTitle(const fnd::String& title) const
{
    return menu() ? menu()->itemWithTitle(title) : nullptr;
}

std::shared_ptr<MenuItem> PopUpButtonCell::lastItem() const
{
    return numberOfItems() > 0 ? itemAtIndex(numberOfItems() - 1) : nullptr;
}

fnd::String PopUpButtonCell::itemTitleAtIndex(long index) const
{
    auto item = itemAtIndex(index);
    return item ? item->title() : fnd::String();
}

std::vector<fnd::String> PopUpButtonCell::itemTitles() const
{
    std::vector<fnd::String> titles;
    for (const auto& item : itemArray())
        titles.push_back(item->title());
    return titles;
}

// Selection.

void PopUpButtonCell::selectItem(const std::shared_ptr<MenuItem>& item)
{
    selectItemAtIndex(item ? indexOfItem(*item) : -1);
}

void PopUpButtonCell::selectItemAtIndex(long index)
{
    auto item = itemAtIndex(index);
    auto old = selectedItem();
    if (m_altersStateOfSelectedItem && !m_pullsDown) {
        if (old && old != item)
            old->setState(ControlStateValue::Off);
        if (item)
            item->setState(ControlStateValue::On);
    }
    m_selectedItem = item;
    noteChanged();
}

bool PopUpButtonCell::selectItemWithTitle(const fnd::String& title)
{
    long index = indexOfItemWithTitle(title);
    selectItemAtIndex(index);
    return index >= 0;
}

bool PopUpButtonCell::selectItemWithTag(long tag)
{
    long index = indexOfItemWithTag(tag);
    if (index < 0)
        return false;
    selectItemAtIndex(index);
    return true;
}

long PopUpButtonCell::indexOfSelectedItem() const
{
    auto item = selectedItem();
    return item ? indexOfItem(*item) : -1;
}

long PopUpButtonCell::selectedTag() const
{
    auto item = selectedItem();
    return item ? item->tag() : -1;
}

fnd::String PopUpButtonCell::titleOfSelectedItem() const
{
    auto item = selectedItem();
    return item ? item->title() : fnd::String();
}

void PopUpButtonCell::synchronizeTitleAndSelectedItem()
{
    noteMenuChanged();
}

std::shared_ptr<MenuItem> PopUpButtonCell::shownItem() const
{
    if (!m_usesItemFromMenu)
        return nullptr;
    if (m_pullsDown)
        return itemAtIndex(0);
    if (auto item = selectedItem(); item && indexOfItem(*item) >= 0)
        return item;
    return nullptr;
}

fnd::String PopUpButtonCell::title() const
{
    if (auto item = shownItem())
        return item->title();
    return ButtonCell::title();
}

void PopUpButtonCell::setTitle(const fnd::String& title)
{
    if (!menu())
        adoptMenu(Menu::create());
    if (m_pullsDown) {
        if (auto first = itemAtIndex(0))
            first->setTitle(title);
        else
            addItemWithTitle(title);
        noteChanged();
        return;
    }
    if (!selectItemWithTitle(title)) {
        addItemWithTitle(title);
        selectItemWithTitle(title);
    }
}

fnd::Value PopUpButtonCell::objectValue() const
{
    return fnd::Value(indexOfSelectedItem());
}

void PopUpButtonCell::setObjectValue(const fnd::Value& value)
{
    selectItemAtIndex(value.isNil() ? -1 : static_cast<long>(value.integerValue()));
}

fnd::String PopUpButtonCell::stringValue() const
{
    return fnd::String(std::to_string(indexOfSelectedItem()));
}

std::int64_t PopUpButtonCell::integerValue() const
{
    return indexOfSelectedItem();
}

double PopUpButtonCell::doubleValue() const
{
    return static_cast<double>(indexOfSelectedItem());
}

// The menu.

void PopUpButtonCell::validateItems()
{
    auto m = menu();
    const bool autoenables = m->autoenablesItems();
    // The delegate may rebuild the menu; the enabling is ours, since items without an action are the cell's.
    m->setAutoenablesItems(false);
    m->update();
    m->setAutoenablesItems(autoenables);
    if (!autoenables)
        return;
    for (const auto& item : m->itemArray()) {
        if (item->isSeparatorItem())
            continue;
        item->setEnabled(item->action() ? Menu::validateItem(*item) : true);
    }
}

void PopUpButtonCell::attachPopUpWithFrame(gfx::Rect cellFrame, View& controlView)
{
    auto m = menu();
    if (!m || m_tracking)
        return;
    auto self = std::static_pointer_cast<PopUpButtonCell>(shared_from_this());
    auto view = std::static_pointer_cast<View>(controlView.shared_from_this());
    m_tracking = true;
    fnd::NotificationCenter::defaultCenter().postNotificationName(PopUpButtonWillPopUpNotification, view->selfValue());
    validateItems();
    noteMenuChanged();

    auto window = view->window();
    auto inWindow = view->convertRectToView(cellFrame, nullptr);
    auto onScreen = window ? window->convertRectToScreen(inWindow) : inWindow;
    m->setFont(font());
    m->setMinimumWidth(onScreen.width());
    // A pull-down's first item is its title, not one of its choices.
    auto titleItem = m_pullsDown ? itemAtIndex(0) : nullptr;
    const bool titleWasHidden = titleItem && titleItem->isHidden();
    if (titleItem)
        titleItem->setHidden(true);

    gfx::Point topLeft;
    auto layout = MenuView::layoutMenu(*m);
    if (m_pullsDown) {
        topLeft = m_preferredEdge == RectEdge::MinY
            ? gfx::Point { onScreen.minX(), onScreen.maxY() + layout.size.height }
            : gfx::Point { onScreen.minX(), onScreen.minY() };
        m->setHighlightedItem(nullptr);
    } else {
        // The selected item lies over the button, its title where the button's title is.
        auto item = selectedItem();
        gfx::Rect row;
        for (const auto& r : layout.rows) {
            if (item && r.index == indexOfItem(*item))
                row = r.rect;
        }
        if (row.isEmpty() && !layout.rows.empty())
            row = layout.rows.front().rect;
        auto titleInView = titleRectForBounds(cellFrame);
        double titleOffset = view->convertRectToView(titleInView, nullptr).minX() - inWindow.minX();
        topLeft = { onScreen.minX() + titleOffset - MenuView::TitleInset, onScreen.midY() + row.midY() };
        m->setHighlightedItem(item);
    }

    auto delegate = m->delegate();
    if (delegate)
        delegate->menuWillOpen(*m);
    auto chosen = Backend::current().popUpMenu(*m, topLeft);
    if (delegate)
        delegate->menuDidClose(*m);
    m->setHighlightedItem(nullptr);
    if (titleItem)
        titleItem->setHidden(titleWasHidden);
    m_tracking = false;
    if (chosen)
        chooseItemAtIndex(*chosen);
}

void PopUpButtonCell::chooseItemAtIndex(long index)
{
    auto item = itemAtIndex(index);
    auto titleItem = m_pullsDown ? itemAtIndex(0) : nullptr;
    if (!item || !item->isEnabled() || item->isSeparatorItem() || item->hasSubmenu() || item == titleItem)
        return;
    auto self = shared_from_this();
    selectItemAtIndex(index);
    if (item->action()) {
        // The choice still goes back through the control's bindings.
        if (auto control = std::dynamic_pointer_cast<Control>(controlView()))
            control->pushBoundValues();
        Application::shared().sendAction(item->action(), item->target(), fnd::Value(item));
    } else {
        sendActionFromControlView();
    }
}

void PopUpButtonCell::dismissPopUp()
{
    // The menu runs to its end inside attachPopUpWithFrame; nothing stays open afterwards.
}

void PopUpButtonCell::performClickWithFrame(gfx::Rect frame, View& controlView)
{
    if (!isEnabled())
        return;
    setControlView(std::static_pointer_cast<View>(controlView.shared_from_this()));
    attachPopUpWithFrame(frame, controlView);
}

bool PopUpButtonCell::trackMouse(const Event&, gfx::Rect cellFrame, View& controlView, bool)
{
    attachPopUpWithFrame(cellFrame, controlView);
    return true;
}

// Geometry.

gfx::Size PopUpButtonCell::cellSizeForBounds(gfx::Rect) const
{
    double widest = 0;
    bool anyImage = false;
    auto measure = [&](const fnd::String& text) {
        widest = std::max(widest, textSize(txt::AttributedString(text, titleAttributes())).width);
    };
    if (m_usesItemFromMenu) {
        for (const auto& item : itemArray()) {
            if (!item->isSeparatorItem())
                measure(item->title());
            anyImage = anyImage || item->image();
        }
    } else {
        measure(ButtonCell::title());
    }
    auto pad = ControlLook::facePadding(controlSize());
    double imageWidth = anyImage ? 16 + 4 : 0;
    double width = widest + imageWidth + arrowStripWidth(controlSize()) + pad.width + 4;
    return { std::ceil(width), naturalHeight() };
}

double PopUpButtonCell::naturalHeight() const
{
    auto pad = ControlLook::facePadding(controlSize());
    return std::ceil(ControlLook::lineHeight(controlSize()) + 2 * pad.height + (isBordered() ? 4 : 0));
}

gfx::Rect PopUpButtonCell::drawingRectForBounds(gfx::Rect bounds) const
{
    auto pad = ControlLook::facePadding(controlSize());
    double left = isBordered() ? pad.width - 2 : 2;
    return { bounds.minX() + left, bounds.minY(), std::max(0.0, bounds.width() - left), bounds.height() };
}

gfx::Rect PopUpButtonCell::arrowRectForBounds(gfx::Rect bounds) const
{
    double w = arrowStripWidth(controlSize());
    double inset = isBordered() ? 4 : 0;
    return { bounds.maxX() - w - inset, bounds.minY(), w, bounds.height() };
}

gfx::Rect PopUpButtonCell::imageRectForBounds(gfx::Rect bounds) const
{
    auto item = shownItem();
    auto image = item ? item->image() : ButtonCell::image();
    if (!image)
        return {};
    auto area = drawingRectForBounds(bounds);
    auto size = image->size();
    double scale = std::min({ 1.0, 16 / std::max(1.0, size.width), (area.height() - 2) / std::max(1.0, size.height) });
    gfx::Size shown { std::round(size.width * scale), std::round(size.height * scale) };
    return { area.minX(), std::round(area.midY() - shown.height / 2), shown.width, shown.height };
}

gfx::Rect PopUpButtonCell::titleRectForBounds(gfx::Rect bounds) const
{
    auto area = drawingRectForBounds(bounds);
    double right = m_arrowPosition == PopUpArrowPosition::NoArrow ? area.maxX() - 4 : arrowRectForBounds(bounds).minX();
    double left = area.minX();
    if (auto image = imageRectForBounds(bounds); !image.isEmpty())
        left = image.maxX() + 4;
    return { left, area.minY(), std::max(0.0, right - left), area.height() };
}

// Drawing.

void PopUpButtonCell::drawWithFrame(gfx::Rect cellFrame, View& controlView)
{
    setControlView(std::static_pointer_cast<View>(controlView.shared_from_this()));
    if (isTransparent())
        return;
    drawBorderAndBackgroundWithFrame(cellFrame, controlView);
    drawInteriorWithFrame(cellFrame, controlView);
}

void PopUpButtonCell::drawBorderAndBackgroundWithFrame(gfx::Rect cellFrame, View& controlView)
{
    if (isBordered())
        drawBezelWithFrame(cellFrame, controlView);
    if (m_arrowPosition == PopUpArrowPosition::NoArrow)
        return;
    auto color = drawsFace() ? ControlLook::faceTextColor(faceState()) : ControlLook::textColor(isEnabled());
    auto strip = arrowRectForBounds(cellFrame);
    double side = std::min(strip.width(), 12.0);
    gfx::Rect arrows { strip.midX() - side / 2, strip.midY() - side / 2, side, side };
    ControlLook::drawPopUpArrows(arrows, m_pullsDown, *color);
}

void PopUpButtonCell::drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView)
{
    auto item = shownItem();
    auto image = item ? item->image() : ButtonCell::image();
    if (auto imageRect = imageRectForBounds(cellFrame); image && !imageRect.isEmpty())
        drawImage(image, imageRect, controlView);
    auto text = item ? item->title() : ButtonCell::title();
    if (text.isEmpty())
        return;
    drawTitle(txt::AttributedString(text, titleAttributes()), titleRectForBounds(cellFrame), controlView);
}

// Archiving.

void PopUpButtonCell::encodeWithCoder(fnd::Coder& coder) const
{
    ButtonCell::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeBool(m_pullsDown, "PullsDown");
    coder.encodeBool(m_usesItemFromMenu, "UsesItemFromMenu");
    coder.encodeBool(m_altersStateOfSelectedItem, "AltersStateOfSelectedItem");
    coder.encodeInt(static_cast<int>(m_arrowPosition), "ArrowPosition");
    coder.encodeInt(static_cast<int>(m_preferredEdge), "PreferredEdge");
    fnd::Array titles, tags;
    for (const auto& item : itemArray()) {
        titles.push_back(fnd::Value(item->title()));
        tags.push_back(fnd::Value(item->tag()));
    }
    coder.encodeObject(fnd::Value(titles), "ItemTitles");
    coder.encodeObject(fnd::Value(tags), "ItemTags");
    coder.encodeInteger(indexOfSelectedItem(), "SelectedIndex");
}

bool PopUpButtonCell::initWithCoder(fnd::Coder& coder)
{
    if (!ButtonCell::initWithCoder(coder))
        return false;
    m_pullsDown = coder.decodeBoolForKey("PullsDown");
    if (coder.containsValueForKey("UsesItemFromMenu"))
        m_usesItemFromMenu = coder.decodeBoolForKey("UsesItemFromMenu");
    if (coder.containsValueForKey("AltersStateOfSelectedItem"))
        m_altersStateOfSelectedItem = coder.decodeBoolForKey("AltersStateOfSelectedItem");
    if (coder.containsValueForKey("ArrowPosition"))
        m_arrowPosition = static_cast<PopUpArrowPosition>(std::clamp(coder.decodeIntForKey("ArrowPosition"), 0, 2));
    if (coder.containsValueForKey("PreferredEdge"))
        m_preferredEdge = static_cast<RectEdge>(std::clamp(coder.decodeIntForKey("PreferredEdge"), 0, 3));
    auto m = Menu::create();
    auto titles = coder.decodeObjectForKey("ItemTitles");
    auto tags = coder.decodeObjectForKey("ItemTags");
    if (const auto* list = titles.array()) {
        for (std::size_t i = 0; i < list->size(); ++i) {
            auto item = m->addItemWithTitle((*list)[i].stringValue());
            if (const auto* t = tags.array(); t && i < t->size())
                item->setTag(static_cast<long>((*t)[i].integerValue()));
        }
    }
    adoptMenu(m);
    m_selectedItem.reset();
    if (coder.containsValueForKey("SelectedIndex")) {
        // -1 for none, else one of the items read above.
        const std::int64_t selected = coder.decodeIntegerForKey("SelectedIndex");
        if (selected < -1 || selected >= numberOfItems())
            fnd::failDecoding(coder, "a pop-up's selected item is not one of its items");
        else
            selectItemAtIndex(static_cast<long>(selected));
    }
    return !coder.hasFailed();
}

}
