#include "frameworks/FoundationExtensions/ZORNSArray_Extension.h"

#include "frameworks/FoundationExtensions/detail/DecimalSum.h"
#include "frameworks/FoundationExtensions/detail/Elements.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/KeyValueCoding.h"
#include "platform/foundation/runtime/StringFormat.h"
#include "platform/foundation/services/Workspace.h"

#include <algorithm>

namespace ZORNSArray_Extension {

namespace {

template <typename Keep> fnd::Array filtered(const fnd::Array& array, Keep keep)
{
    fnd::Array result;
    for (const auto& element : array) {
        if (keep(element))
            result.push_back(element);
    }
    return result;
}

std::vector<fnd::String> descriptions(const fnd::Array& array)
{
    std::vector<fnd::String> texts;
    texts.reserve(array.size());
    for (const auto& element : array)
        texts.push_back(element.description());
    return texts;
}

fnd::Array performedResults(const fnd::Array& array, fnd::Selector selector, std::span<const fnd::Value> arguments)
{
    fnd::Array results;
    for (const auto& element : array) {
        auto result = ZORElements::perform(element, selector, arguments);
        if (!result.isNil())
            results.push_back(std::move(result));
    }
    return results;
}

ElementIndex indexed(const fnd::Array& array, fnd::Selector selector, std::span<const fnd::Value> arguments)
{
    ElementIndex index;
    for (const auto& element : array) {
        auto result = ZORElements::perform(element, selector, arguments);
        if (!result.isNil())
            index.insert_or_assign(std::move(result), element);
    }
    return index;
}

}

fnd::Array arrayFromArrayForKey(const fnd::Array& array, const fnd::String& key, const fnd::Value& matching)
{
    return filtered(
        array, [&](const fnd::Value& e) { return ZORElements::isEqualTo(fnd::valueForKey(e, key), matching); });
}

fnd::Array arrayFromArrayForKeyPath(const fnd::Array& array, const fnd::String& keyPath, const fnd::Value& matching)
{
    return filtered(
        array, [&](const fnd::Value& e) { return ZORElements::isEqualTo(fnd::valueForKeyPath(e, keyPath), matching); });
}

fnd::Array arrayFromArrayForKeyPath(const fnd::Array& array, const fnd::String& keyPath)
{
    return filtered(array, [&](const fnd::Value& e) { return !fnd::valueForKeyPath(e, keyPath).isNil(); });
}

fnd::Value firstObject(const fnd::Array& array)
{
    return array.empty() ? fnd::Value() : array.front();
}

fnd::Value anyObject(const fnd::Array& array)
{
    return firstObject(array);
}

fnd::Index indexOfString(const fnd::Array& array, const fnd::String& string, fnd::StringCompareOptions options)
{
    return indexOfString(array, string, options, fnd::Range { 0, string.length() });
}

fnd::Index indexOfString(
    const fnd::Array& array, const fnd::String& string, fnd::StringCompareOptions options, fnd::Range range)
{
    for (std::size_t i = 0; i < array.size(); ++i) {
        if (auto* element = array[i].string(); element && string.compare(*element, options, range) == 0)
            return static_cast<fnd::Index>(i);
    }
    return fnd::NotFound;
}

fnd::String componentsJoinedByComma(const fnd::Array& array)
{
    return fnd::componentsJoinedByString(descriptions(array), ", ");
}

fnd::String componentsJoinedByCommaAndAnd(const fnd::Array& array)
{
    auto texts = descriptions(array);
    switch (texts.size()) {
    case 0:
        return {};
    case 1:
        return texts.front();
    case 2:
        return fnd::stringWithFormat("%@ and %@", texts[0], texts[1]);
    default: {
        auto last = texts.back();
        texts.pop_back();
        return fnd::componentsJoinedByString(texts, ", ") + ", and " + last;
    }
    }
}

void makeObjectsPerformSelector(
    const fnd::Array& array, fnd::Selector selector, const fnd::Value& object1, const fnd::Value& object2)
{
    const fnd::Value arguments[] = { object1, object2 };
    for (const auto& element : array)
        ZORElements::perform(element, selector, arguments);
}

void makeObjectsPerformSelectorWithBool(const fnd::Array& array, fnd::Selector selector, bool flag)
{
    const fnd::Value arguments[] = { fnd::Value(flag) };
    for (const auto& element : array)
        ZORElements::perform(element, selector, arguments);
}

fnd::Number decimalNumberSumForSelector(const fnd::Array& array, fnd::Selector selector)
{
    ZORDecimalSum sum;
    for (auto element = array.rbegin(); element != array.rend(); ++element) {
        const auto result = ZORElements::perform(*element, selector);
        if (auto* number = result.number())
            sum.add(*number);
    }
    return sum.result();
}

std::vector<fnd::String> numberedArrayDescribedBySelector(const fnd::Array& array, fnd::Selector selector)
{
    std::vector<fnd::String> lines;
    lines.reserve(array.size());
    for (std::size_t i = 0; i < array.size(); ++i)
        lines.push_back(fnd::stringWithFormat("%lu. %@", i, ZORElements::perform(array[i], selector)));
    return lines;
}

fnd::Array arrayByRemovingObject(const fnd::Array& array, const fnd::Value& object)
{
    return filtered(array, [&](const fnd::Value& e) { return !ZORElements::isEqualTo(e, object); });
}

fnd::Array arrayByRemovingObjectIdenticalTo(const fnd::Array& array, const fnd::Value& object)
{
    return filtered(array, [&](const fnd::Value& e) { return !ZORElements::isIdentical(e, object); });
}

ElementIndex indexBySelector(const fnd::Array& array, fnd::Selector selector)
{
    return indexed(array, selector, {});
}

ElementIndex indexBySelectorWithObject(const fnd::Array& array, fnd::Selector selector, const fnd::Value& object)
{
    const fnd::Value arguments[] = { object };
    return indexed(array, selector, arguments);
}

fnd::Array arrayByPerformingSelector(const fnd::Array& array, fnd::Selector selector)
{
    return performedResults(array, selector, {});
}

fnd::Array arrayByPerformingSelectorWithObject(
    const fnd::Array& array, fnd::Selector selector, const fnd::Value& object)
{
    const fnd::Value arguments[] = { object };
    return performedResults(array, selector, arguments);
}

fnd::Set setByPerformingSelector(const fnd::Array& array, fnd::Selector selector)
{
    return fnd::Set(performedResults(array, selector, {}));
}

fnd::Array deepMutableCopy(const fnd::Array& array)
{
    return array;
}

fnd::Array reversedArray(const fnd::Array& array)
{
    return fnd::Array(array.rbegin(), array.rend());
}

fnd::Array deepCopyWithReplacementFunction(
    const fnd::Array& array, const std::function<fnd::Value(const fnd::Value& element)>& replacement)
{
    fnd::Array copy;
    copy.reserve(array.size());
    for (const auto& element : array) {
        auto replaced = replacement(element);
        if (!replaced.isNil())
            copy.push_back(std::move(replaced));
        else if (auto* nested = element.array())
            copy.emplace_back(deepCopyWithReplacementFunction(*nested, replacement));
        else
            copy.push_back(element);
    }
    return copy;
}

bool isIdenticalToArray(const fnd::Array& array, const fnd::Array& other)
{
    return std::ranges::equal(array, other, ZORElements::isIdentical);
}

bool containsObjectsInOrder(const fnd::Array& array, const fnd::Array& other)
{
    auto wanted = other.begin();
    for (auto element = array.begin(); element != array.end() && wanted != other.end(); ++element) {
        if (ZORElements::isIdentical(*element, *wanted))
            ++wanted;
    }
    return wanted == other.end();
}

bool containsObjectIdenticalTo(const fnd::Array& array, const fnd::Value& object)
{
    return std::ranges::any_of(array, [&](const fnd::Value& e) { return ZORElements::isIdentical(e, object); });
}

fnd::Array arrayWithObjectsOfClass(const fnd::Array& array, const fnd::ClassInfo& cls)
{
    return filtered(array, [&](const fnd::Value& e) {
        auto object = e.object();
        return object && object->isKindOf(cls);
    });
}

fnd::Array arrayFromIndexes(const fnd::Array& array, const fnd::IndexSet& indexes)
{
    if (!indexes.isEmpty() && indexes.lastIndex() >= static_cast<fnd::Index>(array.size()))
        throw fnd::Exception::range(
            fnd::stringWithFormat("Index %ld is beyond the array of %lu elements.", indexes.lastIndex(), array.size()));
    fnd::Array result;
    for (auto index : indexes.indexes())
        result.push_back(array[static_cast<std::size_t>(index)]);
    return result;
}

fnd::IndexSet indexSetForObjects(const fnd::Array& array, const fnd::Array& objects)
{
    fnd::IndexSet indexes;
    for (const auto& object : objects) {
        auto found
            = std::ranges::find_if(array, [&](const fnd::Value& e) { return ZORElements::isIdentical(e, object); });
        if (found != array.end())
            indexes.add(found - array.begin());
    }
    return indexes;
}

std::optional<fnd::String> UTIConformsTo(const fnd::Array& array, const fnd::String& type)
{
    for (const auto& element : array) {
        if (auto* identifier = element.string(); identifier && fnd::Workspace::typeConformsTo(*identifier, type))
            return *identifier;
    }
    return std::nullopt;
}

bool containsUTIConformsTo(const fnd::Array& array, const fnd::String& type)
{
    return UTIConformsTo(array, type).has_value();
}

}
