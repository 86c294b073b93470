#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"
#include "platform/foundation/runtime/IndexSet.h"

#include <gtest/gtest.h>

// Index sets archive as their ranges, keyed and sequential; ranges no set can hold are refused.
namespace {

using fnd::IndexSet;
using fnd::Range;

TEST(IndexSetArchive, RangesComeBackBothWays)
{
    auto set = std::make_shared<IndexSet>(IndexSet { 0, 1, 2, 7, 40 });
    set->add(Range { 100, 1000 });
    auto keyed = fnd::KeyedUnarchiver::unarchiveObjectWithData(*fnd::KeyedArchiver::archivedDataWithRootObject(set))
                     .objectAs<IndexSet>();
    ASSERT_NE(keyed, nullptr);
    EXPECT_EQ(*keyed, *set);
    auto sequential
        = fnd::SequentialUnarchiver::unarchiveObjectWithData(*fnd::SequentialArchiver::archivedDataWithRootObject(set))
              .objectAs<IndexSet>();
    ASSERT_NE(sequential, nullptr);
    EXPECT_EQ(*sequential, *set);
    auto empty = fnd::KeyedUnarchiver::unarchiveObjectWithData(
        *fnd::KeyedArchiver::archivedDataWithRootObject(std::make_shared<IndexSet>()))
                     .objectAs<IndexSet>();
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->isEmpty());
}

TEST(IndexSetArchive, RangesNoSetCanHoldAreRefused)
{
    auto archiveWithRanges = [](fnd::Value ranges) {
        fnd::Dictionary entry { { "$class", fnd::Value(0) }, { "NSRanges", std::move(ranges) } };
        fnd::Dictionary archive { { "$format", fnd::Value(fnd::String("fnd.keyed-archive")) },
            { "$formatVersion", fnd::Value(1) },
            { "$top", fnd::Value(fnd::Dictionary { { "root", fnd::Value(fnd::Dictionary { { "$ref", 0 } }) } }) },
            { "$objects", fnd::Value(fnd::Array { fnd::Value(entry) }) },
            { "$classes",
                fnd::Value(fnd::Array {
                    fnd::Value(fnd::Dictionary { { "hierarchy", fnd::Value(fnd::Array { fnd::String("IndexSet") }) },
                        { "versions", fnd::Value(fnd::Array { 0 }) } }) }) } };
        return *fnd::PropertyList::writeXML(fnd::Value(archive));
    };
    auto range = [](double location, double length) {
        return fnd::Value(fnd::Dictionary { { "$range", fnd::Array { location, length } } });
    };
    const std::pair<const char*, fnd::Value> cases[] = {
        { "a negative location", fnd::Value(fnd::Dictionary { { "$array", fnd::Array { range(-5, 2) } } }) },
        { "an empty range", fnd::Value(fnd::Dictionary { { "$array", fnd::Array { range(5, 0) } } }) },
        { "a range past any index", fnd::Value(fnd::Dictionary { { "$array", fnd::Array { range(1e15, 1e15) } } }) },
        { "a string for a range", fnd::Value(fnd::Dictionary { { "$array", fnd::Array { fnd::String("1-2") } } }) },
        { "ranges that are not a list", fnd::Value(fnd::String("0 1 2")) },
    };
    for (const auto& [what, ranges] : cases)
        EXPECT_FALSE(fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(archiveWithRanges(ranges))) << what;
    EXPECT_TRUE(fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(
        archiveWithRanges(fnd::Value(fnd::Dictionary { { "$array", fnd::Array { range(3, 2), range(1, 1) } } }))))
        << "ranges in any order";
}

}
