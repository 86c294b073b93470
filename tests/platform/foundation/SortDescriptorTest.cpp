#include "RuntimeModel.h"

#include "platform/foundation/bindings/SortDescriptor.h"

#include <gtest/gtest.h>

using namespace fnd;

namespace {

std::string joined(const Array& values)
{
    std::string out;
    for (const auto& v : values)
        out += (out.empty() ? "" : " ") + (v.isNil() ? std::string("nil") : v.description().utf8());
    return out;
}

}

TEST(SortDescriptor, NamedComparisonsDirectionsAndEmptyValues)
{
    const Array words { "b10", "B2", Value(), "a", Null {}, "b2", "b9" };
    const struct {
        const char* selector;
        bool ascending;
        const char* expected;
    } cases[] = {
        { "compare:", true, "nil <null> B2 a b10 b2 b9" },
        { "caseInsensitiveCompare:", true, "nil <null> a b10 B2 b2 b9" },
        { "localizedStandardCompare:", true, "nil <null> a B2 b2 b9 b10" },
        { "localizedCaseInsensitiveCompare:", false, "b9 B2 b2 b10 a nil <null>" },
    };
    for (const auto& c : cases) {
        SortDescriptor d("", c.ascending, Selector(c.selector));
        EXPECT_EQ(joined(sortedArrayUsingDescriptors(words, { std::make_shared<SortDescriptor>(d) })), c.expected)
            << c.selector;
    }
}

TEST(SortDescriptor, KeysCompareInTurnAndEqualObjectsKeepTheirOrder)
{
    auto make = [](const char* name, int age) {
        auto p = std::make_shared<rtmodel::TestPerson>();
        p->setName(name);
        p->age = age;
        return Value(p);
    };
    const Array people { make("Bo", 30), make("Al", 30), make("Cy", 20), make("Al", 20), make("Bo", 30) };
    auto byAge = SortDescriptor::sortDescriptorWithKey("age", false);
    auto byName = SortDescriptor::sortDescriptorWithKey("name");
    auto order = sortedIndexesUsingDescriptors(people, { byAge, byName });
    EXPECT_EQ(order, (std::vector<std::size_t> { 1, 0, 4, 3, 2 }));
    order = sortedIndexesUsingDescriptors(people, { byName->reversedSortDescriptor() });
    EXPECT_EQ(order, (std::vector<std::size_t> { 2, 0, 4, 1, 3 }));
    EXPECT_TRUE(byName->isEqual(*SortDescriptor::sortDescriptorWithKey("name")));
    EXPECT_FALSE(byName->isEqual(*byName->reversedSortDescriptor()));

    // Mixed kinds have one order (by kind), whatever the input order.
    const Array mixed { "x", 3, "a", 1.5 };
    auto sorted = sortedArrayUsingDescriptors(mixed, { std::make_shared<SortDescriptor>("") });
    EXPECT_EQ(joined(sorted), "1.5 3 a x");
    EXPECT_EQ(joined(sortedArrayUsingDescriptors(
                  Array(sorted.rbegin(), sorted.rend()), { std::make_shared<SortDescriptor>("") })),
        "1.5 3 a x");

    // A comparator of one's own, by string length.
    SortDescriptor byLength(
        "", true, [](const Value& a, const Value& b) { return a.stringValue().length() <=> b.stringValue().length(); });
    EXPECT_EQ(
        joined(sortedArrayUsingDescriptors(Array { "ccc", "a", "bb" }, { std::make_shared<SortDescriptor>(byLength) })),
        "a bb ccc");
}
