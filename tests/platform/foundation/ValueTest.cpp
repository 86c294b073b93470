#include "platform/foundation/runtime/Value.h"

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Object.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>

using namespace fnd;

TEST(Value, NumbersCompareAcrossKinds)
{
    EXPECT_EQ(Value(true), Value(1));
    EXPECT_EQ(Value(2), Value(2.0));
    EXPECT_EQ(Value(2u), Value(2.0f));
    EXPECT_NE(Value(2), Value(2.5));
    EXPECT_TRUE((Number(18446744073709551615ull) <=> Number(-1)) > 0);
}

TEST(Value, NilIsAbsentButNullIsPresent)
{
    Dictionary d;
    d.set("a", Null {});
    d.set("b", Value());
    EXPECT_TRUE(d.contains("a"));
    EXPECT_FALSE(d.contains("b"));
    EXPECT_TRUE(d.get("b").isNil());
    EXPECT_TRUE(d.get("a").isNull());
}

// A string value answers exactly as the string does, whatever C locale the process runs under.
TEST(Value, StringsConvertLikeTheStringItself)
{
    struct Case {
        const char16_t* text;
        double real;
        std::int64_t integer;
        bool truth;
    };
    const Case cases[] = {
        { u"  12.5mm", 12.5, 12, true },
        { u"abc", 0, 0, false },
        { u"-42x", -42, -42, true },
        { u"YES", 0, 0, true },
        { u"0", 0, 0, false },
        { u"007", 7, 7, true },
        { u"-0.5", -0.5, 0, false },
        { u"\u00A0\u20033,25", 3, 3, true }, // no-break and em space skipped; a comma is not a decimal mark
        { u"\u20281.75e2", 175, 1, true },
    };
    for (const char* name : { "C", "de_DE.UTF-8" }) {
        std::string previous = std::setlocale(LC_ALL, nullptr);
        bool switched = std::setlocale(LC_ALL, name) != nullptr;
        for (const auto& c : cases) {
            Value v { String(c.text) };
            SCOPED_TRACE(String(c.text).utf8() + " under " + name);
            EXPECT_EQ(v.doubleValue(), c.real);
            EXPECT_EQ(v.integerValue(), c.integer);
            EXPECT_EQ(v.boolValue(), c.truth);
            EXPECT_EQ(v.doubleValue(), String(c.text).doubleValue());
        }
        std::setlocale(LC_ALL, previous.c_str());
        EXPECT_TRUE(switched) << name << " is not installed";
    }
}

TEST(Value, DatesKeepBothEpochs)
{
    auto d = Date::fromUnixTime(Date::IntervalBetween1970And2001);
    EXPECT_EQ(d.timeIntervalSinceReferenceDate(), 0);
    EXPECT_EQ(Value(d).description(), String("2001-01-01 00:00:00 +0000"));
}

// Lists describe their members one to a line; text beyond ASCII, nested lists and objects come through whole.
TEST(Value, DescriptionsOfListsAndGeometry)
{
    auto object = std::make_shared<Object>();
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(object.get()));
    const std::string objectText = "<" + object->className().utf8() + ": " + address + ">";
    EXPECT_EQ(Value(object).description().utf8(), objectText);

    struct Case {
        Value value;
        std::string described;
    };
    const Case cases[] = {
        { Value(Array {}), "()" },
        { Value(Array { String(u"\u00E4\U0001F600"), Value(1), Value(Array {}) }),
            "(\n    \u00E4\U0001F600,\n    1,\n    ()\n)" },
        { Value(Array { Value(object) }), "(\n    " + objectText + "\n)" },
        { Value(Dictionary {}), "{}" },
        { Value([] {
             Dictionary d;
             d.set("k\u00FC", String("v"));
             return d;
         }()),
            "{\n    k\u00FC = v;\n}" },
        // Containers inside containers are written in place, each at its own indentation only.
        { Value(Array { [] {
                           Dictionary d;
                           d.set("a", Array { Value(1), String("x") });
                           return Value(d);
                       }(),
              Value(Set {}) }),
            "(\n    {\n    a = (\n    1,\n    x\n);\n},\n    {()}\n)" },
        { Value(Set {}), "{()}" },
        { Value(Set { Value(String("x")) }), "{(\n    x\n)}" },
        { Value(Range { 3, 4 }), "{3, 4}" },
        { Value(gfx::Point { -1.5, 2 }), "{-1.5, 2}" },
        { Value(gfx::Rect { 1, 2, 3.5, 4 }), "{{1, 2}, {3.5, 4}}" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value.description().utf8(), c.described);
}

// Numbers read as text in their shortest form: whole numbers as their digits up to where a double (or a float)
// still holds every integer, beyond that and for fractions the shortest text that reads back as the same number.
TEST(Value, NumbersDescribeThemselvesInTheirShortestForm)
{
    struct Case {
        Value value;
        std::string described;
    };
    const Case cases[] = {
        { Value(true), "1" },
        { Value(-9223372036854775807LL - 1), "-9223372036854775808" },
        { Value(18446744073709551615ULL), "18446744073709551615" },
        { Value(2.0), "2" },
        { Value(-3.0), "-3" },
        { Value(0.0), "0" },
        { Value(-0.0), "-0" },
        { Value(0.1), "0.1" },
        { Value(-2.5), "-2.5" },
        // 2^53 - 1, the last whole double below the limit, then 2^53 and a power of ten beyond.
        { Value(9007199254740991.0), "9007199254740991" },
        { Value(9007199254740992.0), "9007199254740992" },
        { Value(1e15), "1000000000000000" },
        { Value(1e16), "1e+16" },
        { Value(1e-5), "1e-05" },
        { Value(std::numeric_limits<double>::infinity()), "inf" },
        { Value(-std::numeric_limits<double>::infinity()), "-inf" },
        { Value(std::numeric_limits<double>::quiet_NaN()), "nan" },
        // Floats keep a float's shortest form: 123456789 is the float 123456792, whose shortest form is 123456790.
        { Value(2.5f), "2.5" },
        { Value(0.1f), "0.1" },
        { Value(16777215.0f), "16777215" },
        { Value(123456789.0f), "123456790" },
        { Value(1.0f / 3.0f), "0.33333334" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.description().utf8(), c.described);
        EXPECT_EQ(c.value.stringValue().utf8(), c.described);
    }
    // Geometry spells its numbers the same way, with every edge of the form.
    EXPECT_EQ(Value(Range { NotFound, 0 }).description().utf8(), "{9223372036854775807, 0}");
    EXPECT_EQ(Value(gfx::Point { -0.0, 1e-5 }).description().utf8(), "{-0, 1e-05}");
    EXPECT_EQ(Value(gfx::Size { 1e20, 0.25 }).description().utf8(), "{1e+20, 0.25}");
    EXPECT_EQ(Value(gfx::Rect { -1.5, 9007199254740991.0, -1.7976931348623157e308, 4.9406564584124654e-324 })
                  .description()
                  .utf8(),
        "{{-1.5, 9007199254740991}, {-1.7976931348623157e+308, 5e-324}}");
}

TEST(Error, UnderlyingErrorSurvivesInUserInfo)
{
    auto outer = Error::make("Outer", 1, "Could not save.");
    outer.setUnderlyingError(Error(ErrorDomain::POSIX, 13));
    ASSERT_TRUE(outer.underlyingError());
    EXPECT_EQ(outer.underlyingError()->code(), 13);
    EXPECT_EQ(outer.localizedDescription(), String("Could not save."));
}

TEST(Object, ClassesAreCreatedByName)
{
    auto o = ClassRegistry::shared().create("NSObject");
    ASSERT_TRUE(o);
    EXPECT_EQ(o->className(), String("NSObject"));
    EXPECT_EQ(ClassRegistry::shared().create("NoSuchClass"), nullptr);
}
