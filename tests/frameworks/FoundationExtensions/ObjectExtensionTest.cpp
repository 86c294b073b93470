#include "frameworks/FoundationExtensions/ZOR0_1to0_100ValueTransformer.h"
#include "frameworks/FoundationExtensions/ZORNSObject_Extension.h"
#include "frameworks/FoundationExtensions/ZORNumberContainer.h"

#include "platform/foundation/TestSupport.h"
#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/KeyValueCoding.h"
#include "support/Raised.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using fnd::Value;
using namespace ZORNSObject_Extension;

// A model with a plain key and a list, and a field that binds to it.
class FextModel final : public fnd::Object {
    FND_OBJECT(FextModel)
    static void describeClass(fnd::ClassBuilder<FextModel>& c)
    {
        c.property("ratio", &FextModel::ratio);
        c.property("items", &FextModel::items);
    }

public:
    Value ratio;
    fnd::Array items;
};
FND_REGISTER_CLASS(FextModel, fnd::Object)

class FextField final : public fnd::Object {
    FND_OBJECT(FextField)
    static void describeClass(fnd::ClassBuilder<FextField>& c)
    {
        c.property("value", &FextField::value);
        c.exposeBinding("value");
    }

public:
    Value value;
};
FND_REGISTER_CLASS(FextField, fnd::Object)

// Keeps its own answer for unknown keys, as value bags do.
class FextBag final : public fnd::Object {
    FND_OBJECT(FextBag)
public:
    Value valueForUndefinedKey(const fnd::String& key) const override { return Value("bag:" + key); }
};
FND_REGISTER_CLASS(FextBag, fnd::Object)

class FextDoubler final : public fnd::ValueTransformer {
public:
    bool allowsReverseTransformation() const override { return false; }
    Value transformedValue(const Value& v) const override { return Value(v.doubleValue() * 2); }
};

TEST(ObjectExtension, BundleOfAClassIsTheBundleItLiesIn)
{
    auto framework = bundle(ZORNumberContainer::staticClassInfo());
    ASSERT_TRUE(framework);
    EXPECT_EQ(framework->bundlePath().lastPathComponent(), fnd::String("ZORFramework"));
    EXPECT_EQ(framework->bundleIdentifier(), fnd::String("org.barcodes.ZORFramework"));
    EXPECT_EQ(framework->localizedStringForKey("ZORMeasurementLibSCInch", "", "ZORMeasurementLib"), fnd::String("in"));
    EXPECT_EQ(bundle(ZORNumberContainer()), framework);
    EXPECT_EQ(bundle(FextModel()), fnd::Bundle::mainBundle()); // classes of no framework prefix
}

TEST(ObjectExtension, ArraysAnswerAllValuesAndObjectAtIndex)
{
    const fnd::Array three { Value("a"), Value("b"), Value("c") };
    const fnd::Array two { Value("a"), Value(2) };
    const struct {
        const fnd::Array& array;
        const char* key;
        Value expected;
    } cases[] = {
        { three, "objectAtIndex2", Value("c") },
        { two, "objectAtIndex2", Value("") },
        { two, "objectAtIndex1", Value(2) },
        { three, "objectAtIndex", Value("a") }, // no number reads as 0
        { {}, "objectAtIndex", Value("") },
        { three, "objectAtIndex-1", Value("") }, // compared as an unsigned number
        { three, "objectAtIndex 1", Value("b") },
        { three, "allValues", Value("a b c") },
        { two, "allValues", Value("a 2") },
        { {}, "allValues", Value("") },
    };
    for (const auto& c : cases)
        EXPECT_EQ(fnd::valueForKey(Value(c.array), c.key), c.expected) << c.key << " of " << c.array.size();

    auto model = std::make_shared<FextModel>();
    model->items = three;
    EXPECT_EQ(model->valueForKeyPath("items.objectAtIndex1"), Value("b"));
    // Other keys are still collected from the elements.
    fnd::Array containers { Value(ZORNumberContainer::numberContainerWithNumber(1, "one")) };
    EXPECT_EQ(fnd::valueForKey(Value(containers), "infoString"), Value(fnd::Array { Value("one") }));
}

TEST(ObjectExtension, UndefinedKeysRaiseNamingClassAndKey)
{
    const struct {
        Value receiver;
        const char* key;
        const char* reason;
    } cases[] = {
        { Value(std::make_shared<ZORNumberContainer>()), "bogus", "ZORNumberContainer KVO/Undefined Key: bogus" },
        { Value(fnd::Array { Value("a") }), "xobjectAtIndex1", "NSString KVO/Undefined Key: xobjectAtIndex1" },
        { Value(7), "width", "NSNumber KVO/Undefined Key: width" },
    };
    for (const auto& c : cases) {
        auto e = raised([&] { fnd::valueForKey(c.receiver, c.key); });
        ASSERT_TRUE(e) << c.key;
        EXPECT_EQ(e->name(), fnd::String("KVO/Undefined Key"));
        EXPECT_EQ(e->reason(), fnd::String(c.reason));
    }
    FextBag bag;
    EXPECT_EQ(bag.valueForKey("anything"), Value("bag:anything"));
}

class PropagateValue : public ::testing::Test {
protected:
    std::shared_ptr<FextModel> model = std::make_shared<FextModel>();
    std::shared_ptr<FextField> field = std::make_shared<FextField>();
    testsupport::CapturedLog log;
};

TEST_F(PropagateValue, WritesThroughTheBindingAndItsTransformer)
{
    const struct {
        const char* label;
        fnd::Dictionary options;
        Value typed, stored;
    } cases[] = {
        { "plain", {}, Value(0.5), Value(0.5) },
        { "transformer object", { { "NSValueTransformer", Value(std::make_shared<ZOR0_1to0_100ValueTransformer>()) } },
            Value(25), Value(0.25f) },
        { "transformer name",
            { { "NSValueTransformer", Value(fnd::Null {}) }, { "NSValueTransformerName", Value("FextPercent") } },
            Value(50), Value(0.5f) },
    };
    fnd::ValueTransformer::setValueTransformer(std::make_shared<ZOR0_1to0_100ValueTransformer>(), "FextPercent");
    for (const auto& c : cases) {
        field->bind("value", *model, "ratio", c.options);
        propagateValue(*field, c.typed, "value");
        EXPECT_EQ(model->ratio, c.stored) << c.label;
        field->unbind("value");
    }
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(PropagateValue, OneWayTransformerWarnsAndWritesTheRawValue)
{
    field->bind("value", *model, "ratio", { { "NSValueTransformer", Value(std::make_shared<FextDoubler>()) } });
    propagateValue(*field, Value(3), "value");
    EXPECT_EQ(model->ratio, Value(3));
    EXPECT_TRUE(log.contains(fnd::LogLevel::Warning, "binding \"value\" has value transformer, but it doesn't allow"));
}

TEST_F(PropagateValue, UnboundOrOrphanedBindingWritesNothing)
{
    propagateValue(*field, Value(1), "value");
    EXPECT_TRUE(log.lines().empty());

    field->bind("value", *model, "ratio");
    model.reset();
    propagateValue(*field, Value(1), "value");
    EXPECT_TRUE(log.contains(fnd::LogLevel::Error, "NSObservedObjectKey was nil for binding \"value\""));

    auto e = raised([&] { propagateValue(*field, Value(1), ""); });
    ASSERT_TRUE(e);
    EXPECT_NE(e->reason().utf8().find("binding != nil"), std::string::npos);
}

TEST(PerformBlock, DelayedBlocksRunOnTheRunLoopAndCanBeCancelled)
{
    auto clock = std::make_shared<fnd::VirtualClock>(fnd::Date::fromReferenceDate(100));
    fnd::ScopedClock scoped { clock };
    auto target = std::make_shared<FextModel>();
    std::vector<std::string> ran;
    performBlockAfterDelay(
        target, [&] { ran.push_back("late"); }, 2);
    performBlockAfterDelay(
        target, [&] { ran.push_back("early"); }, 1);
    auto cancelled = performBlockAfterDelay(
        target, [&] { ran.push_back("cancelled"); }, 1.5);
    performBlockAfterDelay(target, [&] { ran.push_back("tracking"); }, 0.5, { fnd::RunLoopMode::EventTracking });
    cancelPreviousPerformRequestsWithTarget(nullptr, cancelled);
    cancelPreviousPerformRequestsWithTarget(target.get(), cancelled);

    fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(1.2));
    EXPECT_EQ(ran, (std::vector<std::string> { "early" }));
    fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(5));
    EXPECT_EQ(ran, (std::vector<std::string> { "early", "late" }));
    fnd::RunLoop::current().runInMode(fnd::RunLoopMode::EventTracking, clock->now().addingTimeInterval(1), false);
    EXPECT_EQ(ran, (std::vector<std::string> { "early", "late", "tracking" }));
}

TEST(PerformBlock, WaitingFormsRunBeforeReturning)
{
    int runs = 0;
    performBlockOnMainThread([&] { ++runs; }, true);
    EXPECT_EQ(runs, 1);
    performBlockOnThread([&] { ++runs; }, *fnd::Thread::current(), true);
    EXPECT_EQ(runs, 2);
    auto queue = fnd::DispatchQueue::createSerial("fext.test");
    std::thread::id ranOn;
    performBlockOnQueue([&] { ranOn = std::this_thread::get_id(), ++runs; }, queue.get(), true);
    EXPECT_EQ(runs, 3);

    auto e = raised([&] { performBlockOnQueue([] {}, nullptr, false); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name(), fnd::ExceptionName::InvalidArgument);
    EXPECT_NE(e->reason().utf8().find("aQueue is NULL"), std::string::npos);
    ZOR_invokeTargetBlock(nullptr);
}

TEST(PerformBlock, BackgroundAndQueuedBlocksRunElsewhere)
{
    std::atomic<int> runs { 0 };
    std::atomic<bool> onMain { true };
    performBlockInBackground([&] {
        onMain = fnd::Thread::isMainThread();
        ++runs;
    });
    auto queue = fnd::DispatchQueue::createSerial("fext.background");
    performBlockOnQueue([&] { ++runs; }, queue.get(), false);
    queue->sync([] {}); // the serial queue has run everything queued before
    ASSERT_TRUE(testsupport::waitUntil([&] { return runs == 2; })) << runs << " of the two blocks ran";
    EXPECT_FALSE(onMain);

    // Not waiting on the main thread: the block runs on the main run loop's next turn.
    bool ran = false;
    performBlockOnMainThread([&] { ran = true; }, false);
    EXPECT_FALSE(ran);
    fnd::RunLoop::current().runInMode(fnd::RunLoopMode::Default, fnd::Date::distantPast(), false);
    EXPECT_TRUE(ran);
}

TEST(HashBytes, ShiftsAndFoldsOverSixtyFourBits)
{
    const struct {
        std::string bytes;
        std::uint64_t hash;
    } cases[] = {
        { "", 0 }, { "A", 0x41 }, { "AB", 0x452 },
        { "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0x8009e3e780482a6aULL }, // high bits are kept
    };
    for (const auto& c : cases)
        EXPECT_EQ(ZORHashBytes(c.bytes.data(), c.bytes.size()), c.hash) << c.bytes;
}

}
