#include "platform/foundation/Value.h"

#include "platform/foundation/Error.h"
#include "platform/foundation/Exception.h"
#include "platform/foundation/Object.h"

#include <gtest/gtest.h>

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

TEST(Value, StringsConvertByLeadingPrefix)
{
    EXPECT_DOUBLE_EQ(Value("  12.5mm").doubleValue(), 12.5);
    EXPECT_EQ(Value("abc").integerValue(), 0);
    EXPECT_EQ(Value("-42x").integerValue(), -42);
    EXPECT_TRUE(Value("YES").boolValue());
    EXPECT_FALSE(Value("0").boolValue());
}

TEST(Value, DatesKeepBothEpochs)
{
    auto d = Date::fromUnixTime(Date::IntervalBetween1970And2001);
    EXPECT_EQ(d.timeIntervalSinceReferenceDate(), 0);
    EXPECT_EQ(Value(d).description(), String("2001-01-01 00:00:00 +0000"));
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
