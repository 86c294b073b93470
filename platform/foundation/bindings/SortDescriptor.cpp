#include "platform/foundation/bindings/SortDescriptor.h"

#include "platform/foundation/locale/Collator.h"
#include "platform/foundation/runtime/KeyValueCoding.h"

#include <fmt/format.h>

#include <algorithm>
#include <numeric>

namespace fnd {

FND_REGISTER_CLASS(SortDescriptor, Object)

void SortDescriptor::describeClass(ClassBuilder<SortDescriptor>& c)
{
    // Settable so that interface files can describe one; a descriptor in use is never changed.
    c.property("key", &SortDescriptor::m_key);
    c.property("ascending", &SortDescriptor::m_ascending);
    c.property(
        "selector", [](const SortDescriptor& d) { return d.m_selector ? d.m_selector.name() : String(); },
        [](SortDescriptor& d, const String& name) { d.m_selector = name.isEmpty() ? Selector() : Selector(name); });
}

namespace {

std::weak_ordering fromPartial(std::partial_ordering order)
{
    if (order == std::partial_ordering::less)
        return std::weak_ordering::less;
    if (order == std::partial_ordering::greater)
        return std::weak_ordering::greater;
    return std::weak_ordering::equivalent;
}

// Kinds in a fixed order, for values no comparison relates.
std::weak_ordering byKind(const Value& a, const Value& b)
{
    return static_cast<int>(a.type()) <=> static_cast<int>(b.type());
}

std::weak_ordering compareStrings(const String& a, const String& b, const String& name)
{
    const std::string how = name.utf8();
    if (how == "caseInsensitiveCompare:")
        return a.compare(b, StringCompareOptions::CaseInsensitive);
    if (how == "localizedCompare:")
        return localizedCompare(a, b);
    if (how == "localizedCaseInsensitiveCompare:")
        return localizedCaseInsensitiveCompare(a, b);
    if (how == "localizedStandardCompare:")
        return a.compare(b, StringCompareOptions::CaseInsensitive | StringCompareOptions::Numeric);
    return a.compare(b);
}

}

SortDescriptor::SortDescriptor(String key, bool ascending, Selector selector)
    : m_key(std::move(key))
    , m_ascending(ascending)
    , m_selector(selector)
{
}

SortDescriptor::SortDescriptor(String key, bool ascending, Comparator comparator)
    : m_key(std::move(key))
    , m_ascending(ascending)
    , m_selector()
    , m_comparator(std::move(comparator))
{
}

std::shared_ptr<SortDescriptor> SortDescriptor::sortDescriptorWithKey(
    const String& key, bool ascending, Selector selector)
{
    return std::make_shared<SortDescriptor>(key, ascending, selector);
}

std::weak_ordering SortDescriptor::compareValues(const Value& a, const Value& b) const
{
    const bool aEmpty = a.isNil() || a.isNull(), bEmpty = b.isNil() || b.isNull();
    if (aEmpty || bEmpty)
        return bEmpty <=> aEmpty; // empty first
    if (m_comparator)
        return m_comparator(a, b);
    const String name = m_selector ? m_selector.name() : String("compare:");
    if (auto* x = a.string(), *y = b.string(); x && y)
        return compareStrings(*x, *y, name);
    if (auto* x = a.number(), *y = b.number(); x && y)
        return fromPartial(*x <=> *y);
    if (auto x = a.date(), y = b.date(); x && y)
        return fromPartial(*x <=> *y);
    if (auto x = a.object(), y = b.object(); x && y) {
        if (x == y)
            return std::weak_ordering::equivalent;
        Selector selector(name);
        if (x->respondsTo(selector)) {
            auto result = x->perform(selector, b).integerValue();
            return result < 0 ? std::weak_ordering::less
                : result > 0  ? std::weak_ordering::greater
                              : std::weak_ordering::equivalent;
        }
        return std::weak_ordering::equivalent;
    }
    if (auto order = fnd::compareValues(a, b))
        return fromPartial(*order);
    return byKind(a, b);
}

std::weak_ordering SortDescriptor::compareObject(const Value& a, const Value& b) const
{
    return compareKeyValues(
        m_key.isEmpty() ? a : fnd::valueForKeyPath(a, m_key), m_key.isEmpty() ? b : fnd::valueForKeyPath(b, m_key));
}

std::weak_ordering SortDescriptor::compareKeyValues(const Value& x, const Value& y) const
{
    auto order = compareValues(x, y);
    return m_ascending ? order : 0 <=> order;
}

std::shared_ptr<SortDescriptor> SortDescriptor::reversedSortDescriptor() const
{
    auto reversed = std::make_shared<SortDescriptor>(*this);
    reversed->m_ascending = !m_ascending;
    return reversed;
}

bool SortDescriptor::isEqual(const Object& other) const
{
    auto* d = dynamic_cast<const SortDescriptor*>(&other);
    // Comparators cannot be compared: a descriptor with one equals only itself.
    return d == this
        || (d && !m_comparator && !d->m_comparator && d->m_key == m_key && d->m_ascending == m_ascending
            && d->m_selector == m_selector);
}

String SortDescriptor::description() const
{
    return String(fmt::format("({}, {}, {})", m_key.utf8(), m_ascending ? "ascending" : "descending",
        m_comparator ? "comparator" : (m_selector ? m_selector.name().utf8() : std::string("compare:"))));
}

SortDescriptors sortDescriptorsFromValue(const Value& value)
{
    SortDescriptors descriptors;
    if (auto* array = value.array()) {
        for (const auto& element : *array) {
            if (auto d = element.objectAs<SortDescriptor>())
                descriptors.push_back(std::move(d));
        }
    }
    return descriptors;
}

Value valueFromSortDescriptors(const SortDescriptors& descriptors)
{
    Array array;
    array.reserve(descriptors.size());
    for (const auto& d : descriptors)
        array.emplace_back(d);
    return Value(std::move(array));
}

std::vector<std::size_t> sortedIndexesUsingDescriptors(const Array& array, const SortDescriptors& descriptors)
{
    std::vector<std::size_t> order(array.size());
    std::iota(order.begin(), order.end(), std::size_t { 0 });
    if (descriptors.empty())
        return order;
    // Each key is read once per element, not once per comparison.
    std::vector<Array> keys(descriptors.size());
    for (std::size_t d = 0; d < descriptors.size(); ++d) {
        keys[d].reserve(array.size());
        for (const auto& element : array)
            keys[d].push_back(
                descriptors[d]->key().isEmpty() ? element : valueForKeyPath(element, descriptors[d]->key()));
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) {
        for (std::size_t d = 0; d < descriptors.size(); ++d) {
            auto o = descriptors[d]->compareKeyValues(keys[d][i], keys[d][j]);
            if (o != 0)
                return o < 0;
        }
        return false;
    });
    return order;
}

Array sortedArrayUsingDescriptors(const Array& array, const SortDescriptors& descriptors)
{
    Array sorted;
    sorted.reserve(array.size());
    for (auto i : sortedIndexesUsingDescriptors(array, descriptors))
        sorted.push_back(array[i]);
    return sorted;
}

}
