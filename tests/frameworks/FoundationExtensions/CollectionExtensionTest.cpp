#include "frameworks/FoundationExtensions/HexDump.h"
#include "frameworks/FoundationExtensions/ZORExtensions.h"
#include "frameworks/FoundationExtensions/ZORNSArray_Extension.h"
#include "frameworks/FoundationExtensions/ZORNSIndexPath_Extensions.h"
#include "frameworks/FoundationExtensions/ZORNSIndexSet_Extension.h"
#include "frameworks/FoundationExtensions/ZORNSMutableArray_Extension.h"
#include "frameworks/FoundationExtensions/ZORNumberContainer.h"

#include "platform/foundation/TestSupport.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/KeyValueCoding.h"
#include "support/Raised.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using fnd::Value;
using namespace ZORNSArray_Extension;
using namespace ZORNSMutableArray_Extension;

Value preset(double number, std::optional<fnd::String> info)
{
    return Value(ZORNumberContainer::numberContainerWithNumber(number, std::move(info)));
}

fnd::Array strings(std::initializer_list<const char*> texts)
{
    fnd::Array array;
    for (const char* text : texts)
        array.emplace_back(text);
    return array;
}

TEST(ArrayExtension, FiltersByKeyValue)
{
    const fnd::Array presets { preset(0.5, "thin"), preset(1, "wide"), preset(0.5, std::nullopt) };
    auto half = arrayFromArrayForKeyPath(presets, "numberObject", Value(0.5f));
    ASSERT_EQ(half.size(), 2u);
    EXPECT_TRUE(isIdenticalToArray(half, { presets[0], presets[2] }));
    EXPECT_TRUE(arrayFromArrayForKey(presets, "numberObject", Value(2)).empty());
    // A container itself equals a plain number of its value.
    EXPECT_TRUE(isIdenticalToArray(arrayFromArrayForKey(presets, "self", Value(1)), { presets[1] }));
    EXPECT_TRUE(isIdenticalToArray(arrayFromArrayForKeyPath(presets, "infoString"), { presets[0], presets[1] }));
    EXPECT_TRUE(arrayFromArrayForKeyPath({}, "infoString").empty());
}

TEST(ArrayExtension, JoinsForDisplay)
{
    const struct {
        fnd::Array array;
        const char* comma;
        const char* commaAndAnd;
    } cases[] = {
        { {}, "", "" },
        { strings({ "a" }), "a", "a" },
        { strings({ "a", "b" }), "a, b", "a and b" },
        { strings({ "a", "b", "c" }), "a, b, c", "a, b, and c" },
        { { Value(1), Value("two"), Value(3.5), Value("four") }, "1, two, 3.5, four", "1, two, 3.5, and four" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(componentsJoinedByComma(c.array), fnd::String(c.comma));
        EXPECT_EQ(componentsJoinedByCommaAndAnd(c.array), fnd::String(c.commaAndAnd));
    }
}

TEST(ArrayExtension, FindsStringsUnderCompareOptions)
{
    const fnd::Array mixed { Value(5), Value("Apple"), Value("apple"), Value("pear") };
    EXPECT_EQ(indexOfString(mixed, "apple"), 2);
    EXPECT_EQ(indexOfString(mixed, "APPLE", fnd::StringCompareOptions::CaseInsensitive), 1);
    EXPECT_EQ(indexOfString(mixed, "pearl", fnd::StringCompareOptions::None, { 0, 4 }), 3);
    EXPECT_EQ(indexOfString(mixed, "5"), fnd::NotFound);
    EXPECT_EQ(firstObject(mixed), Value(5));
    EXPECT_TRUE(anyObject({}).isNil());
}

TEST(ArrayExtension, MapsElementsThroughSelectors)
{
    const fnd::Array presets { preset(0.1, "a"), preset(0.2, std::nullopt), preset(3, "a"), preset(-1.5, "c") };
    EXPECT_EQ(arrayByPerformingSelector(presets, "infoString"), strings({ "a", "a", "c" }));
    EXPECT_EQ(setByPerformingSelector(presets, "infoString"), (fnd::Set { "c", "a" }));
    EXPECT_TRUE(setByPerformingSelector({}, "infoString").isEmpty());
    EXPECT_TRUE(setByPerformingSelector({ presets[1] }, "infoString").isEmpty());

    auto index = indexBySelector(presets, "infoString");
    EXPECT_EQ(index.size(), 2u);
    EXPECT_EQ(index.at("a").object(), presets[2].object()); // the later element wins
    EXPECT_EQ(index.at("c").object(), presets[3].object());

    // Results are compared as values, not as text: the number 1 and the string "1" stay apart, 1 and 1.0 meet.
    const fnd::Array mixed { Value(1), Value("1"), Value(1.0), Value(fnd::Array { 1 }) };
    auto itself = setByPerformingSelector(mixed, "self");
    EXPECT_EQ(itself.count(), 3u) << Value(itself).description();
    EXPECT_TRUE(itself.contains(Value("1")));
    auto byItself = indexBySelector(mixed, "self");
    ASSERT_EQ(byItself.size(), 3u);
    EXPECT_EQ(byItself.at(Value("1")), Value("1"));
    EXPECT_EQ(byItself.at(Value(1)).number()->kind(), fnd::Number::Kind::Double);

    EXPECT_EQ(numberedArrayDescribedBySelector(strings({ "x", "yy" }), "length"),
        (std::vector<fnd::String> { "0. 1", "1. 2" }));

    // Decimal sums: no binary drift, whole sums as integers.
    const struct {
        fnd::Array array;
        fnd::Number sum;
        fnd::Number::Kind kind;
    } sums[] = {
        { { presets[0], presets[1] }, fnd::Number(0.3), fnd::Number::Kind::Double },
        { presets, fnd::Number(1.8), fnd::Number::Kind::Double },
        { { preset(2, {}), preset(3, {}) }, fnd::Number(5), fnd::Number::Kind::Integer },
        { { preset(0.75, {}), preset(-0.25, {}), preset(-0.5, {}) }, fnd::Number(0), fnd::Number::Kind::Integer },
        { { preset(-0.05, {}) }, fnd::Number(-0.05), fnd::Number::Kind::Double },
        { {}, fnd::Number(0), fnd::Number::Kind::Integer },
    };
    for (const auto& s : sums) {
        auto sum = decimalNumberSumForSelector(s.array, "numberObject");
        EXPECT_EQ(sum.doubleValue(), s.sum.doubleValue()) << componentsJoinedByComma(s.array);
        EXPECT_EQ(sum.kind(), s.kind) << componentsJoinedByComma(s.array);
    }

    makeObjectsPerformSelector(presets, "setInfoString:", Value("set"), Value());
    EXPECT_EQ(arrayByPerformingSelector(presets, "infoString"), strings({ "set", "set", "set", "set" }));
    auto e = raised([&] { arrayByPerformingSelector(presets, "noSuchSelector"); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name(), fnd::ExceptionName::InvalidArgument);
}

// A sum beyond the largest double once came back as 0: its nearest double is an infinity. Summed exactly, a sum
// that passes the range on the way and comes back within it is still found.
TEST(ArrayExtension, DecimalSumsBeyondTheRangeOfADoubleAreInfinite)
{
    const double infinity = std::numeric_limits<double>::infinity();
    const double largest = std::numeric_limits<double>::max();
    const struct {
        fnd::Array array;
        double sum;
    } sums[] = {
        { { preset(1e308, {}), preset(1e308, {}) }, infinity },
        { { preset(-1e308, {}), preset(-1e308, {}) }, -infinity },
        { { preset(largest, {}), preset(largest, {}), preset(-1e308, {}) }, infinity },
        // From the last element: 1e308 + 1e308 is past the range in doubles, but the decimal sum is 1e308.
        { { preset(-1e308, {}), preset(1e308, {}), preset(1e308, {}) }, 1e308 },
        { { preset(largest, {}), preset(1, {}) }, largest },
        { { preset(-largest, {}) }, -largest },
    };
    for (const auto& s : sums) {
        auto sum = decimalNumberSumForSelector(s.array, "numberObject");
        EXPECT_EQ(sum.doubleValue(), s.sum) << componentsJoinedByComma(s.array);
    }
}

TEST(ArrayExtension, TellsIdentityFromEquality)
{
    const auto two = preset(2, "two");
    const auto otherTwo = preset(2, "deux");
    const fnd::Array array { two, Value("s"), otherTwo, Value(7) };

    EXPECT_EQ(arrayByRemovingObject(array, Value(two)), (fnd::Array { Value("s"), Value(7) }));
    EXPECT_TRUE(isIdenticalToArray(arrayByRemovingObjectIdenticalTo(array, two), { Value("s"), otherTwo, Value(7) }));
    EXPECT_TRUE(containsObjectIdenticalTo(array, otherTwo));
    EXPECT_FALSE(containsObjectIdenticalTo(array, preset(2, "two")));
    EXPECT_FALSE(isIdenticalToArray(array, { otherTwo, Value("s"), two, Value(7) }));

    EXPECT_TRUE(containsObjectsInOrder(array, { two, Value(7) }));
    EXPECT_TRUE(containsObjectsInOrder(array, {}));
    EXPECT_FALSE(containsObjectsInOrder(array, { otherTwo, two }));

    EXPECT_EQ(indexSetForObjects(array, { Value(7), preset(2, {}), otherTwo }), (fnd::IndexSet { 2, 3 }));
    auto containers = arrayWithObjectsOfClass(array, ZORNumberContainer::staticClassInfo());
    EXPECT_TRUE(isIdenticalToArray(containers, { two, otherTwo }));
    EXPECT_TRUE(arrayWithObjectsOfClass({}, ZORNumberContainer::staticClassInfo()).empty());
}

TEST(ArrayExtension, CopiesAndPicks)
{
    const fnd::Array array { Value(1), Value(fnd::Array { Value(2), Value("x") }), Value("y") };
    auto doubled = deepCopyWithReplacementFunction(
        array, [](const Value& v) { return v.isNumber() ? Value(v.integerValue() * 2) : Value(); });
    EXPECT_EQ(doubled, (fnd::Array { Value(2), Value(fnd::Array { Value(4), Value("x") }), Value("y") }));
    EXPECT_EQ(reversedArray(array), (fnd::Array { array[2], array[1], array[0] }));

    EXPECT_EQ(arrayFromIndexes(array, fnd::IndexSet { 0, 2 }), (fnd::Array { array[0], array[2] }));
    auto e = raised([&] { arrayFromIndexes(array, fnd::IndexSet { 1, 3 }); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name(), fnd::ExceptionName::Range);

    const fnd::Array types = strings({ "public.plain-text", "public.png", "com.adobe.pdf" });
    EXPECT_EQ(UTIConformsTo(types, "public.image"), fnd::String("public.png"));
    EXPECT_FALSE(containsUTIConformsTo(types, "public.audio"));
}

TEST(MutableArrayExtension, AddsInsertsAndRemoves)
{
    fnd::Array array { preset(2, "two"), Value("b") };
    addObjectIfAbsent(array, Value());
    addObjectIfAbsent(array, Value(2)); // the container holding 2 is equal
    addObjectsFromArrayIfAbsent(array, strings({ "b", "c", "c" }));
    ASSERT_EQ(array.size(), 3u);
    EXPECT_EQ(array[2], Value("c"));

    insertObjectsFromArray(array, strings({ "x", "y" }), 1);
    insertObjectsFromArray(array, strings({ "end" }), 5);
    EXPECT_EQ(componentsJoinedByComma(array), fnd::String("2 two, x, y, b, c, end"));
    auto e = raised([&] { insertObjectsFromArray(array, strings({ "z" }), 7); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name(), fnd::ExceptionName::Range);

    auto kept = preset(2, "two");
    removeIdenticalObjectsFromArray(array, { kept, Value("x"), Value("end") });
    EXPECT_EQ(componentsJoinedByComma(array), fnd::String("2 two, y, b, c"));

    auto before = array.size();
    addObjectsFromSet(array, fnd::Set { "s", 9, "s" });
    ASSERT_EQ(array.size(), before + 2);
    EXPECT_EQ((fnd::Set { array[before], array[before + 1] }), (fnd::Set { 9, "s" }));
    array.resize(before);

    // Arrays answer the widened keys: an index equal to the count gives the empty string.
    fnd::Array five = strings({ "a", "b", "c", "d", "e" });
    EXPECT_EQ(fnd::valueForKey(Value(five), "objectAtIndex5"), Value(""));
}

TEST(SetExtension, FindsMembersByClass)
{
    const auto two = preset(2, "two");
    const auto three = preset(3, {});
    const fnd::Set set { two, Value("two"), three, Value(2) };
    const auto& containerClass = ZORNumberContainer::staticClassInfo();
    EXPECT_TRUE(ZORExtensions::hasMembersOfClass(set, containerClass));
    EXPECT_TRUE(ZORExtensions::hasMembersOfClass(set, fnd::Object::staticClassInfo())) << "a subclass counts";
    EXPECT_EQ((fnd::Set(ZORExtensions::membersOfClass(set, containerClass))), (fnd::Set { two, three }));
    EXPECT_FALSE(ZORExtensions::hasMembersOfClass(fnd::Set { 1, "x" }, containerClass));
    EXPECT_TRUE(ZORExtensions::membersOfClass(fnd::Set {}, containerClass).empty());
}

TEST(MutableArrayExtension, ReplacementIsAllOrNothing)
{
    fnd::Array array { preset(1, "one"), preset(2, std::nullopt), preset(3, "three") };
    const auto before = array;
    replaceObjectsInRange(array, { 0, 1 }, "infoString");
    EXPECT_EQ(array[0], Value("one"));

    array = before;
    testsupport::CapturedLog log;
    auto e = raised([&] { replaceObjectsInRange(array, { 0, 3 }, "infoString"); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name(), fnd::ExceptionName::InvalidArgument);
    EXPECT_TRUE(log.contains(fnd::LogLevel::Error, "Object at index 1 returned nil from infoString"));
    EXPECT_TRUE(isIdenticalToArray(array, before));
    EXPECT_TRUE(raised([&] { replaceObjectsInRange(array, { 2, 2 }, "infoString"); }));
}

TEST(MutableArrayExtension, ReversesInPlace)
{
    for (int count : { 0, 1, 2, 5 }) {
        fnd::Array array;
        for (int i = 0; i < count; ++i)
            array.emplace_back(i);
        auto expected = reversedArray(array);
        reverse(array);
        EXPECT_EQ(array, expected) << count;
    }
}

TEST(IndexExtensions, PathsAndInvertedSets)
{
    using namespace ZORNSIndexPath_Extensions;
    const fnd::IndexPath path { 3, 0, 7 };
    EXPECT_EQ(firstIndex(path), 3);
    EXPECT_EQ(lastIndex(path), 7);
    EXPECT_EQ(indexPathByIncrementingLastIndex(path), (fnd::IndexPath { 3, 0, 8 }));
    EXPECT_EQ(indexPathByReplacingIndexAtPosition(path, 1, 9), (fnd::IndexPath { 3, 9, 7 }));
    EXPECT_EQ(path, (fnd::IndexPath { 3, 0, 7 }));
    for (fnd::Index position : { 3, -1 }) {
        auto e = raised([&] { indexPathByReplacingIndexAtPosition(path, position, 1); });
        ASSERT_TRUE(e) << position;
        EXPECT_EQ(e->name(), fnd::ExceptionName::Range);
    }
    EXPECT_EQ(firstIndex(fnd::IndexPath {}), fnd::NotFound);
    EXPECT_EQ(lastIndex(fnd::IndexPath {}), fnd::NotFound);

    using ZORNSIndexSet_Extension::invertedIndexSetForRange;
    const fnd::IndexSet set { 2, 3, 7, 12 };
    EXPECT_EQ(invertedIndexSetForRange(set, { 0, 10 }), (fnd::IndexSet { 0, 1, 4, 5, 6, 8, 9 }));
    EXPECT_EQ(invertedIndexSetForRange(set, { 2, 2 }), fnd::IndexSet {});
    EXPECT_EQ(invertedIndexSetForRange(set, { 5, 0 }), fnd::IndexSet {});
}

TEST(HexDump, SixteenBytesALineWithCharacters)
{
    const std::string bytes("Hello, World!\0\xff\x7fZ", 17);
    const std::string expected = "[0000]   48 65 6C 6C 6F 2C 20 57   6F 72 6C 64 21 00 FF 7F   Hello..W orld....\n"
                                 "[0010]   5A "
        + std::string(47, ' ') + "  Z\n";
    EXPECT_EQ(HexDump::hexdump(fnd::Data::fromString(bytes)).utf8(), expected);
    EXPECT_EQ(HexDump::hexdump(fnd::Data()).utf8(), "");

    const std::string eight = "ABCDEFGH";
    EXPECT_EQ(HexDump::hexdump(fnd::Data::fromString(eight)).utf8(),
        "[0000]   41 42 43 44 45 46 47 48   " + std::string(24, ' ') + "  ABCDEFGH \n");
}

TEST(HexDump, OffsetsWidenBeyondSixtyFourKiB)
{
    auto lastLine = [](const fnd::String& dump) {
        auto text = dump.utf8();
        auto start = text.rfind('\n', text.size() - 2);
        return text.substr(start + 1);
    };
    auto full = HexDump::hexdump(fnd::Data(std::vector<std::uint8_t>(0x10000, 'a')));
    EXPECT_EQ(lastLine(full).substr(0, 9), "[fff0]   ");
    auto more = HexDump::hexdump(fnd::Data(std::vector<std::uint8_t>(0x10001, 'a')));
    EXPECT_EQ(more.utf8().substr(0, 13), "[00000000]   ");
    EXPECT_EQ(lastLine(more), "[00010000]   61 " + std::string(47, ' ') + "  a\n");
}

}
