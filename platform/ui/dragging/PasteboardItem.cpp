#include "platform/ui/dragging/PasteboardItem.h"

#include "platform/ui/dragging/detail/PasteboardValues.h"

#include <algorithm>

namespace ui {

FND_REGISTER_CLASS(PasteboardItem, fnd::Object)

std::vector<fnd::String> PasteboardItem::types() const
{
    std::vector<fnd::String> result;
    for (const auto& [type, value] : m_values)
        result.push_back(type);
    return result;
}

std::optional<fnd::String> PasteboardItem::availableTypeFromArray(const std::vector<fnd::String>& types) const
{
    for (const auto& wanted : types)
        if (std::ranges::any_of(m_values, [&](const auto& entry) { return entry.first == wanted; }))
            return wanted;
    return std::nullopt;
}

void PasteboardItem::store(const fnd::String& type, fnd::Value value)
{
    for (auto& entry : m_values)
        if (entry.first == type) {
            entry.second = std::move(value);
            return;
        }
    m_values.emplace_back(type, std::move(value));
}

bool PasteboardItem::setDataForType(const fnd::Data& data, const fnd::String& type)
{
    store(type, data);
    return true;
}

bool PasteboardItem::setStringForType(const fnd::String& string, const fnd::String& type)
{
    store(type, string);
    return true;
}

bool PasteboardItem::setPropertyListForType(const fnd::Value& propertyList, const fnd::String& type)
{
    if (!detail::isPropertyList(propertyList))
        return false;
    store(type, propertyList);
    return true;
}

std::optional<fnd::Data> PasteboardItem::dataForType(const fnd::String& type) const
{
    for (const auto& [t, value] : m_values)
        if (t == type)
            return detail::dataOf(value);
    return std::nullopt;
}

std::optional<fnd::String> PasteboardItem::stringForType(const fnd::String& type) const
{
    for (const auto& [t, value] : m_values)
        if (t == type)
            return detail::stringOf(value);
    return std::nullopt;
}

fnd::Value PasteboardItem::propertyListForType(const fnd::String& type) const
{
    for (const auto& [t, value] : m_values)
        if (t == type)
            return detail::propertyListOf(value);
    return {};
}

}
