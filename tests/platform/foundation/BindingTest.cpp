#include "RuntimeModel.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"

#include <gtest/gtest.h>

using namespace fnd;
using namespace rtmodel;

namespace {

// Millimetres shown as centimetres; reversible.
class TestCentimetres final : public ValueTransformer {
public:
    Value transformedValue(const Value& v) const override { return v.isNil() ? v : Value(v.doubleValue() / 10); }
    Value reverseTransformedValue(const Value& v) const override { return Value(v.doubleValue() * 10); }
};

}

TEST(Binding, BoundKeyFollowsTheObservedKeyPathUntilUnbound)
{
    auto view = std::make_shared<TestView>();
    auto model = TestPerson::make("Al", 30);
    model->address = TestAddress::make("Oslo");
    Dictionary options { { "NSContinuouslyUpdatesValue", true } };
    view->bind("title", *model, "address.city", options);
    EXPECT_EQ(view->title, Value("Oslo")); // at once

    model->setValueForKeyPath("Rome", "address.city");
    EXPECT_EQ(view->title, Value("Rome"));
    model->setValueForKey(TestAddress::make("Pisa"), "address");
    EXPECT_EQ(view->title, Value("Pisa"));

    auto info = view->infoForBinding("title");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->get(BindingInfoKey::ObservedObject).object(), model);
    EXPECT_EQ(info->get(BindingInfoKey::ObservedKeyPath), Value("address.city"));
    EXPECT_EQ(info->get(BindingInfoKey::Options), Value(options));
    EXPECT_FALSE(view->infoForBinding("hidden"));
    EXPECT_EQ(view->exposedBindings(), std::vector<String> { "title" });

    // Binding again replaces the first binding.
    auto other = TestPerson::make("Bo", 40);
    view->bind("title", *other, "name");
    EXPECT_EQ(view->title, Value("Bo"));
    model->setValueForKeyPath("Siena", "address.city");
    EXPECT_EQ(view->title, Value("Bo"));

    view->unbind("title");
    other->setName("Cy");
    EXPECT_EQ(view->title, Value("Bo"));
    EXPECT_FALSE(view->infoForBinding("title"));
}

// A bound view reads the observed value once per change: a list of hundreds of computed names must not be worked
// out twice for each of its bindings.
TEST(Binding, AChangeReadsTheObservedValueOnce)
{
    auto view = std::make_shared<TestView>();
    auto model = TestPerson::make("Al", 30);
    view->bind("title", *model, "summary");
    const int reads = model->summaryReads;
    model->setName("Bo");
    EXPECT_EQ(model->summaryReads, reads + 1);
    EXPECT_EQ(view->title, Value(model->summary()));
}

TEST(Binding, WriteBackGoesThroughAReversibleTransformer)
{
    auto view = std::make_shared<TestView>();
    auto model = TestPerson::make("Al", 30);
    model->height = 125;
    model->isActive = true;

    view->bind(
        "hidden", *model, "isActive", { { BindingOption::ValueTransformerName, ValueTransformerName::NegateBoolean } });
    view->bind("title", *model, "height",
        { { BindingOption::ValueTransformer, Value(std::make_shared<TestCentimetres>()) },
            { BindingOption::ValueTransformerName, ValueTransformerName::IsNil } }); // the object wins over the name
    EXPECT_TRUE(!view->hidden);
    EXPECT_EQ(view->title, Value(12.5));

    ASSERT_TRUE(writeBackBindingValue(*view, "hidden", true));
    EXPECT_FALSE(model->isActive);
    EXPECT_TRUE(view->hidden); // and the binding brought it back
    ASSERT_TRUE(writeBackBindingValue(*view, "title", 3.0));
    EXPECT_EQ(model->height, 30);
    EXPECT_EQ(view->title, Value(3.0));
}

TEST(Binding, WriteBackWithoutAReversibleTransformerWritesNothing)
{
    auto view = std::make_shared<TestView>();
    auto model = TestPerson::make("Al", 30);
    model->address = TestAddress::make("Oslo");
    view->bind("hidden", *model, "address", { { BindingOption::ValueTransformerName, ValueTransformerName::IsNil } });
    EXPECT_FALSE(view->hidden);

    auto result = writeBackBindingValue(*view, "hidden", true);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().code(), static_cast<std::int64_t>(BindingError::NotReversible));
    EXPECT_EQ(model->address->city, String("Oslo"));

    EXPECT_EQ(
        writeBackBindingValue(*view, "title", 1).error().code(), static_cast<std::int64_t>(BindingError::NotBound));

    // A name nobody registered passes values unchanged (and says so in the log).
    std::vector<String> logged;
    auto previous = setLogSink([&](LogLevel, const String& line) { logged.push_back(line); });
    view->bind("title", *model, "name", { { BindingOption::ValueTransformerName, "NoSuchTransformer" } });
    setLogSink(previous);
    EXPECT_EQ(view->title, Value("Al"));
    EXPECT_EQ(logged.size(), 1u);
    ASSERT_TRUE(writeBackBindingValue(*view, "title", "Bea"));
    EXPECT_EQ(model->name(), String("Bea"));
}

TEST(Binding, EitherSideMayGoFirst)
{
    auto model = TestPerson::make("Al", 30);
    {
        auto view = std::make_shared<TestView>();
        view->bind("title", *model, "name");
    }
    model->setName("Bo"); // the binding went with the view

    auto view = std::make_shared<TestView>();
    {
        auto shortLived = TestPerson::make("Cy", 1);
        view->bind("title", *shortLived, "name");
    }
    auto result = writeBackBindingValue(*view, "title", "x");
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().code(), static_cast<std::int64_t>(BindingError::ObservedObjectGone));
    EXPECT_FALSE(view->infoForBinding("title")->contains(BindingInfoKey::ObservedObject));
}

TEST(ValueTransformer, StandardTransformers)
{
    const struct {
        const String& name;
        Value input;
        Value output;
        bool reversible;
    } cases[] = {
        { ValueTransformerName::NegateBoolean, true, false, true },
        { ValueTransformerName::NegateBoolean, Value(), true, true },
        { ValueTransformerName::NegateBoolean, 0, true, true },
        { ValueTransformerName::IsNil, Value(), true, false },
        { ValueTransformerName::IsNil, Null {}, false, false },
        { ValueTransformerName::IsNotNil, "x", true, false },
        { ValueTransformerName::IsNotNil, Value(), false, false },
    };
    for (const auto& c : cases) {
        auto t = ValueTransformer::valueTransformerForName(c.name);
        ASSERT_TRUE(t) << c.name;
        EXPECT_EQ(t->transformedValue(c.input), c.output) << c.name << " " << c.input.description();
        EXPECT_EQ(t->allowsReverseTransformation(), c.reversible);
        if (c.reversible)
            EXPECT_EQ(t->reverseTransformedValue(c.output), Value(c.input.boolValue()));
        else
            EXPECT_THROW(t->reverseTransformedValue(c.output), Exception);
    }

    ValueTransformer::setValueTransformer(std::make_shared<TestCentimetres>(), "TestCentimetres");
    EXPECT_EQ(ValueTransformer::valueTransformerForName("TestCentimetres")->transformedValue(40), Value(4.0));
    ValueTransformer::setValueTransformer(nullptr, "TestCentimetres");
    EXPECT_FALSE(ValueTransformer::valueTransformerForName("TestCentimetres"));
}
