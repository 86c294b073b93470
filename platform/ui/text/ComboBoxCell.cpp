#include "platform/ui/text/ComboBoxCell.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/archiving/TypedDecoding.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/text/ComboBox.h"

#include <algorithm>
#include <cmath>

namespace ui {

FND_REGISTER_CLASS(ComboBoxCell, TextFieldCell)

void ComboBoxCell::describeClass(fnd::ClassBuilder<ComboBoxCell>& c)
{
    c.property("usesDataSource", &ComboBoxCell::usesDataSource, &ComboBoxCell::setUsesDataSource);
    c.property("completes", &ComboBoxCell::completes, &ComboBoxCell::setCompletes);
    c.property("numberOfVisibleItems", &ComboBoxCell::numberOfVisibleItems, &ComboBoxCell::setNumberOfVisibleItems);
    c.property("itemHeight", &ComboBoxCell::itemHeight, &ComboBoxCell::setItemHeight);
    c.property("buttonBordered", &ComboBoxCell::isButtonBordered, &ComboBoxCell::setButtonBordered);
}

ComboBox* ComboBoxCell::comboBox() const
{
    return dynamic_cast<ComboBox*>(controlView().get());
}

// Items.

void ComboBoxCell::checkItem(const fnd::Value& object) const
{
    if (isNonFiniteNumber(object))
        throw fnd::Exception::invalidArgument("ComboBoxCell: an item is a number that is not finite");
    const auto item = object.object();
    if (!item)
        return;
    // The list would hold what holds it: the cell, its combo box or a view around the box.
    const auto control = controlView();
    const auto* view = dynamic_cast<const View*>(item.get());
    if (item.get() == this || (view && control && (view == control.get() || control->isDescendantOf(*view))))
        throw fnd::Exception::invalidArgument("ComboBoxCell: an item is the cell, its combo box or a view around it");
}

void ComboBoxCell::addItemWithObjectValue(const fnd::Value& object)
{
    checkItem(object);
    m_items.push_back(object);
}

void ComboBoxCell::addItemsWithObjectValues(const std::vector<fnd::Value>& objects)
{
    for (const auto& object : objects)
        checkItem(object);
    m_items.insert(m_items.end(), objects.begin(), objects.end());
}

void ComboBoxCell::insertItemWithObjectValue(const fnd::Value& object, long index)
{
    checkItem(object);
    index = std::clamp<long>(index, 0, static_cast<long>(m_items.size()));
    m_items.insert(m_items.begin() + index, object);
    if (m_selectedIndex >= index)
        ++m_selectedIndex;
}

void ComboBoxCell::removeItemWithObjectValue(const fnd::Value& object)
{
    auto index = indexOfItemWithObjectValue(object);
    if (index != fnd::NotFound)
        removeItemAtIndex(index);
}

void ComboBoxCell::removeItemAtIndex(long index)
{
    if (index < 0 || index >= static_cast<long>(m_items.size()))
        return;
    m_items.erase(m_items.begin() + index);
    if (m_selectedIndex == index)
        m_selectedIndex = -1;
    else if (m_selectedIndex > index)
        --m_selectedIndex;
}

void ComboBoxCell::removeAllItems()
{
    m_items.clear();
    m_selectedIndex = -1;
}

long ComboBoxCell::numberOfItems() const
{
    if (!m_usesDataSource)
        return static_cast<long>(m_items.size());
    auto source = dataSource();
    auto* box = comboBox();
    return source && box ? std::max(0L, source->numberOfItemsInComboBox(*box)) : 0;
}

fnd::Value ComboBoxCell::itemObjectValueAtIndex(long index) const
{
    if (index < 0 || index >= numberOfItems())
        return {};
    if (!m_usesDataSource)
        return m_items[static_cast<std::size_t>(index)];
    auto source = dataSource();
    auto* box = comboBox();
    return source && box ? source->comboBoxObjectValueForItemAtIndex(*box, index) : fnd::Value();
}

fnd::String ComboBoxCell::itemStringAtIndex(long index) const
{
    auto value = itemObjectValueAtIndex(index);
    if (auto f = formatter())
        if (auto text = f->stringForObjectValue(value))
            return *text;
    return value.stringValue();
}

long ComboBoxCell::indexOfItemWithObjectValue(const fnd::Value& object) const
{
    for (long i = 0, n = numberOfItems(); i < n; ++i)
        if (itemObjectValueAtIndex(i) == object)
            return i;
    return fnd::NotFound;
}

long ComboBoxCell::indexOfItemWithStringValue(const fnd::String& string) const
{
    if (m_usesDataSource)
        if (auto source = dataSource(); source && comboBox())
            if (auto answer = source->comboBoxIndexOfItemWithStringValue(*comboBox(), string))
                return *answer;
    for (long i = 0, n = numberOfItems(); i < n; ++i)
        if (itemStringAtIndex(i) == string)
            return i;
    return fnd::NotFound;
}

std::optional<fnd::String> ComboBoxCell::completedString(const fnd::String& string) const
{
    if (string.isEmpty())
        return std::nullopt;
    if (m_usesDataSource)
        if (auto source = dataSource(); source && comboBox())
            if (auto answer = source->comboBoxCompletedString(*comboBox(), string))
                return answer;
    auto prefix = string.lowercaseString();
    for (long i = 0, n = numberOfItems(); i < n; ++i) {
        auto item = itemStringAtIndex(i);
        if (item.lowercaseString().hasPrefix(prefix))
            return item;
    }
    return std::nullopt;
}

fnd::Value ComboBoxCell::objectValueOfSelectedItem() const
{
    return m_selectedIndex >= 0 ? itemObjectValueAtIndex(m_selectedIndex) : fnd::Value();
}

double ComboBoxCell::itemHeight() const
{
    if (m_itemHeight > 0)
        return m_itemHeight;
    auto f = font();
    return std::ceil(f->ascender() - f->descender() + f->leading()) + 4;
}

// Geometry and drawing.

gfx::Rect ComboBoxCell::buttonRectForBounds(gfx::Rect bounds) const
{
    double width = std::min(bounds.width(), std::max(16.0, std::round(bounds.height() * 0.85)));
    return { bounds.maxX() - width, bounds.minY(), width, bounds.height() };
}

gfx::Rect ComboBoxCell::drawingRectForBounds(gfx::Rect bounds) const
{
    auto rect = TextFieldCell::drawingRectForBounds(bounds);
    auto button = buttonRectForBounds(bounds);
    rect.size.width = std::max(0.0, std::min(rect.maxX(), button.minX() - 2) - rect.minX());
    return rect;
}

gfx::Size ComboBoxCell::cellSizeForBounds(gfx::Rect bounds) const
{
    auto size = TextFieldCell::cellSizeForBounds(bounds);
    size.width += buttonRectForBounds({ 0, 0, size.width, size.height }).width();
    return size;
}

void ComboBoxCell::drawWithFrame(gfx::Rect cellFrame, View& controlView)
{
    TextFieldCell::drawWithFrame(cellFrame, controlView);
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    // The button: a face at the right end with a chevron pointing down (up in a flipped view is down on screen).
    auto button = gfx::insetRect(buttonRectForBounds(cellFrame), 2, 2);
    if (m_buttonBordered) {
        ControlLook::FaceState face;
        face.enabled = isEnabled();
        face.pressed = isHighlighted();
        face.active = isInActiveWindow();
        ControlLook::drawFace(button, ControlLook::FaceShape::RoundedRect, controlSize(), face);
    }
    double half = std::max(2.5, std::round(button.width() * 0.2));
    ControlLook::drawChevron({ button.midX(), button.midY() }, half,
        controlView.isFlipped() ? ControlLook::Direction::Down : ControlLook::Direction::Down,
        *ControlLook::textColor(isEnabled()));
}

// Archiving.

void ComboBoxCell::encodeWithCoder(fnd::Coder& coder) const
{
    TextFieldCell::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeBool(m_usesDataSource, "UsesDataSource");
    coder.encodeBool(m_completes, "Completes");
    coder.encodeInt(static_cast<int>(m_numberOfVisibleItems), "VisibleItemCount");
    coder.encodeDouble(m_itemHeight, "ItemHeight");
    coder.encodeBool(m_buttonBordered, "ButtonBordered");
    if (!m_items.empty())
        coder.encodeObject(fnd::Value(fnd::Array(m_items)), "PopUpList");
}

bool ComboBoxCell::initWithCoder(fnd::Coder& coder)
{
    if (!TextFieldCell::initWithCoder(coder))
        return false;
    m_usesDataSource = coder.decodeBoolForKey("UsesDataSource");
    m_completes = coder.decodeBoolForKey("Completes");
    if (coder.containsValueForKey("VisibleItemCount"))
        m_numberOfVisibleItems = std::max(1, coder.decodeIntForKey("VisibleItemCount"));
    m_itemHeight = fnd::decodeBoundedDoubleForKey(coder, "ItemHeight", 0, LargestCoordinate, m_itemHeight);
    if (coder.containsValueForKey("ButtonBordered"))
        m_buttonBordered = coder.decodeBoolForKey("ButtonBordered");
    auto list = coder.decodeObjectForKey("PopUpList");
    if (const auto* items = list.array())
        m_items = *items;
    return !coder.hasFailed();
}

}
