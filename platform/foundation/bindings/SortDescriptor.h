#pragma once

#include "platform/foundation/runtime/Object.h"

#include <compare>
#include <functional>
#include <memory>
#include <vector>

namespace fnd {

// One key of an ordering: the value at a key path of each object, compared by a named comparison or by a
// function, ascending or descending. Nil and null sort before every other value; values of different kinds
// (a number and a string) sort by kind, so any array has one order.
//
// The named comparisons are "compare:" (numbers, dates, strings by canonical equivalence, objects that declare
// the action "compare:"), "caseInsensitiveCompare:", "localizedCompare:", "localizedCaseInsensitiveCompare:" and
// "localizedStandardCompare:" (case-insensitive, digits by numeric value, as file browsers sort names).
class SortDescriptor : public Object {
    FND_OBJECT(SortDescriptor)
    static void describeClass(ClassBuilder<SortDescriptor>& c);

public:
    using Comparator = std::function<std::weak_ordering(const Value&, const Value&)>;

    SortDescriptor() = default;
    explicit SortDescriptor(String key, bool ascending = true, Selector selector = "compare:");
    SortDescriptor(String key, bool ascending, Comparator comparator);
    static std::shared_ptr<SortDescriptor> sortDescriptorWithKey(
        const String& key, bool ascending = true, Selector selector = "compare:");

    const String& key() const { return m_key; }
    bool ascending() const { return m_ascending; }
    Selector selector() const { return m_selector; }

    // The order of the two objects' values at the key path (the whole objects without a key), after the direction.
    std::weak_ordering compareObject(const Value& a, const Value& b) const;
    // The same for two values already taken at the key path.
    std::weak_ordering compareKeyValues(const Value& x, const Value& y) const;
    std::shared_ptr<SortDescriptor> reversedSortDescriptor() const;

    bool isEqual(const Object& other) const override;
    std::size_t hash() const override { return m_key.hash(); }
    String description() const override;

private:
    std::weak_ordering compareValues(const Value& a, const Value& b) const;

    String m_key;
    bool m_ascending { true };
    Selector m_selector { "compare:" };
    Comparator m_comparator;
};

using SortDescriptors = std::vector<std::shared_ptr<SortDescriptor>>;

// The descriptors an array value holds (other elements skipped), and back.
SortDescriptors sortDescriptorsFromValue(const Value& value);
Value valueFromSortDescriptors(const SortDescriptors& descriptors);

// Stable: objects the descriptors find equal keep their order.
Array sortedArrayUsingDescriptors(const Array& array, const SortDescriptors& descriptors);
// The positions of the array's elements in sorted order.
std::vector<std::size_t> sortedIndexesUsingDescriptors(const Array& array, const SortDescriptors& descriptors);

}
