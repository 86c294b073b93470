#include "platform/foundation/runtime/Set.h"

#include "ValuePrinter.h"
#include "platform/foundation/runtime/KeyValueCoding.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Value.h"

#include <gtest/gtest.h>

#include <random>

using namespace fnd;

namespace {

class SetTestItem : public Object {
    FND_OBJECT(SetTestItem)
public:
    explicit SetTestItem(String name = {})
        : name(std::move(name))
    {
    }
    String name;
    // Equal by name, hashed by name: two instances with one name are one member.
    bool isEqual(const Object& other) const override
    {
        auto* o = dynamic_cast<const SetTestItem*>(&other);
        return o && o->name == name;
    }
    std::size_t hash() const override { return name.hash(); }
    static void describeClass(ClassBuilder<SetTestItem>& c) { c.property("name", &SetTestItem::name); }
};
FND_REGISTER_CLASS(SetTestItem, Object)

}

TEST(Set, MembersAreDistinctByValueEquality)
{
    Set set { 1, 1.0, true, "1", 2, 2.5, Value(), Null {}, Null {}, Array { 1 }, Array { 1.0 } };
    // 1, 1.0 and true are one number; "1" is a string; nil is never a member; Null and [1] once each.
    EXPECT_EQ(set.count(), 6u) << Value(set).description();
    EXPECT_TRUE(set.contains(1.0));
    EXPECT_TRUE(set.contains(String("1")));
    EXPECT_FALSE(set.contains(String("2")));
    EXPECT_FALSE(set.contains(Value()));
    // The member first added is the one kept.
    ASSERT_TRUE(set.member(true));
    EXPECT_EQ(set.member(true)->number()->kind(), Number::Kind::Integer);
    EXPECT_EQ(Set { -0.0 }, Set { 0 });

    auto a = std::make_shared<SetTestItem>("a");
    auto alsoA = std::make_shared<SetTestItem>("a");
    Set objects { a, alsoA, std::make_shared<SetTestItem>("b") };
    EXPECT_EQ(objects.count(), 2u);
    EXPECT_EQ(objects.member(alsoA)->object(), a);
}

TEST(Set, AlgebraAndComparisonIgnoreOrder)
{
    Set abc { "a", "b", "c" };
    Set bcd { "d", "c", "b" };
    EXPECT_EQ(abc.unioned(bcd), (Set { "a", "b", "c", "d" }));
    EXPECT_EQ(abc.intersected(bcd), (Set { "c", "b" }));
    EXPECT_EQ(abc.subtracting(bcd), Set { "a" });
    EXPECT_TRUE(abc.intersectsSet(bcd));
    EXPECT_FALSE(abc.intersectsSet(Set { "x" }));
    EXPECT_TRUE((Set { "c", "a" }).isSubsetOf(abc));
    EXPECT_FALSE(abc.isSubsetOf(Set { "c", "a" }));
    EXPECT_TRUE(Set {}.isSubsetOf(Set {}));

    // Sets equal as values regardless of insertion order, inside other values too, and hash alike.
    Set cba { "c", "b", "a" };
    EXPECT_EQ(abc, cba);
    EXPECT_EQ(Value(abc).hash(), Value(cba).hash());
    EXPECT_EQ(Value(Array { abc }), Value(Array { cba }));
    EXPECT_NE(Value(abc), Value(Array { "a", "b", "c" }));
    // A set as a member (wrapped, or braces would copy the inner set).
    EXPECT_TRUE((Set { Value(Set { 1, 2 }) }).contains(Set { 2, 1 }));
}

// Random adds and removes against a plain list of distinct values: nothing lost, nothing duplicated, and the
// hash index always agrees with the members (removal moves the last member into the freed place).
TEST(Set, RandomOperationsMatchAListModel)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 random(seed);
        Set set;
        std::vector<Value> model;
        auto inModel = [&](const Value& v) { return std::find(model.begin(), model.end(), v) != model.end(); };
        for (int step = 0; step < 400; ++step) {
            int n = static_cast<int>(random() % 40);
            // Numbers of three kinds and strings, so equal values arrive in different forms.
            Value v = n < 10 ? Value(n)
                : n < 20     ? Value(static_cast<double>(n - 10))
                : n < 30     ? Value(n % 2 == 0)
                             : Value(String(std::to_string(n % 7)));
            if (random() % 3 == 0) {
                bool removed = set.remove(v);
                auto it = std::find(model.begin(), model.end(), v);
                ASSERT_EQ(removed, it != model.end()) << "seed " << seed << " step " << step;
                if (it != model.end())
                    model.erase(it);
            } else {
                bool added = set.add(v);
                ASSERT_EQ(added, !inModel(v)) << "seed " << seed << " step " << step;
                if (added)
                    model.push_back(v);
            }
            ASSERT_EQ(set.count(), model.size()) << "seed " << seed << " step " << step;
            for (const Value& m : model)
                ASSERT_TRUE(set.contains(m)) << "seed " << seed << " step " << step << " lost " << m.description();
        }
        for (const Value& m : set)
            EXPECT_TRUE(inModel(m)) << "seed " << seed;
    }
}

TEST(Set, KeyValueCodingCollectsMembersValues)
{
    Set items { std::make_shared<SetTestItem>("x"), std::make_shared<SetTestItem>("y"),
        std::make_shared<SetTestItem>("x") };
    ASSERT_EQ(items.count(), 2u);
    EXPECT_EQ(fnd::valueForKey(Value(items), "name"), Value(Set { "x", "y" }));
    EXPECT_EQ(fnd::valueForKey(Value(items), "@count"), Value(2));
    EXPECT_EQ(classNameOf(Value(items)), String("NSSet"));
    EXPECT_EQ(Value(Set { 7 }).description(), String("{(\n    7\n)}"));
    EXPECT_EQ(Value(Set {}).description(), String("{()}"));
}
