#include "frameworks/FoundationExtensions/ZORNSMutableArray_Extension.h"

#include "frameworks/FoundationExtensions/detail/Elements.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/StringFormat.h"

#include <algorithm>

namespace ZORNSMutableArray_Extension {

void addObjectIfAbsent(fnd::Array& array, const fnd::Value& object)
{
    if (object.isNil())
        return;
    if (std::ranges::none_of(array, [&](const fnd::Value& e) { return ZORElements::isEqualTo(e, object); }))
        array.push_back(object);
}

void addObjectsFromArrayIfAbsent(fnd::Array& array, const fnd::Array& objects)
{
    for (const auto& object : objects)
        addObjectIfAbsent(array, object);
}

void insertObjectsFromArray(fnd::Array& array, const fnd::Array& objects, fnd::Index index)
{
    if (index < 0 || index > static_cast<fnd::Index>(array.size()))
        throw fnd::Exception::range(
            fnd::stringWithFormat("Index %ld is beyond the array of %lu elements.", index, array.size()));
    array.insert(array.begin() + index, objects.begin(), objects.end());
}

void addObjectsFromSet(fnd::Array& array, const fnd::Set& set)
{
    array.insert(array.end(), set.begin(), set.end());
}

void removeIdenticalObjectsFromArray(fnd::Array& array, const fnd::Array& objects)
{
    std::erase_if(array, [&](const fnd::Value& e) {
        return std::ranges::any_of(objects, [&](const fnd::Value& o) { return ZORElements::isIdentical(e, o); });
    });
}

void replaceObjectsInRange(fnd::Array& array, fnd::Range range, fnd::Selector selector)
{
    if (range.location < 0 || range.length < 0 || range.location > static_cast<fnd::Index>(array.size())
        || range.length > static_cast<fnd::Index>(array.size()) - range.location)
        throw fnd::Exception::range(fnd::stringWithFormat(
            "Range {%ld, %ld} is beyond the array of %lu elements.", range.location, range.length, array.size()));
    fnd::Array results;
    results.reserve(static_cast<std::size_t>(range.length));
    for (auto i = range.location; i < range.max(); ++i) {
        auto result = ZORElements::perform(array[static_cast<std::size_t>(i)], selector);
        if (result.isNil()) {
            fnd::log(fnd::LogLevel::Error,
                fnd::stringWithFormat("Object at index %ld returned nil from %@", i, selector.name()));
            throw fnd::Exception::invalidArgument(
                fnd::stringWithFormat("Cannot put nil into the array at index %ld.", i));
        }
        results.push_back(std::move(result));
    }
    std::ranges::move(results, array.begin() + range.location);
}

void reverse(fnd::Array& array)
{
    const auto count = array.size();
    for (std::size_t i = 0; i < count / 2; ++i)
        std::swap(array[i], array[count - 1 - i]);
}

}
