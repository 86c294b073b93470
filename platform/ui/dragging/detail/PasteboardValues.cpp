#include "platform/ui/dragging/detail/PasteboardValues.h"

#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/runtime/StringEncoding.h"

namespace ui::detail {

bool isPropertyList(const fnd::Value& value)
{
    return !value.isNil() && fnd::PropertyList::writeXML(value).has_value();
}

std::optional<fnd::Data> dataOf(const fnd::Value& stored)
{
    if (const auto* data = stored.data())
        return *data;
    if (const auto* string = stored.string()) {
        auto utf8 = string->utf8();
        return fnd::Data::fromString(utf8);
    }
    if (auto xml = fnd::PropertyList::writeXML(stored))
        return *xml;
    return std::nullopt;
}

std::optional<fnd::String> stringOf(const fnd::Value& stored)
{
    if (const auto* string = stored.string())
        return *string;
    if (const auto* data = stored.data()) {
        if (auto text = fnd::stringWithData(*data, fnd::StringEncoding::UTF8))
            return *text;
    }
    return std::nullopt;
}

fnd::Value propertyListOf(const fnd::Value& stored)
{
    if (const auto* data = stored.data()) {
        if (auto list = fnd::PropertyList::read(*data))
            return *list;
        return {};
    }
    return stored;
}

}
