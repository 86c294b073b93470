#include "frameworks/FoundationExtensions/ZORAppMeasurementNumberFormatter.h"
#include "frameworks/FoundationExtensions/ZORNumberContainer.h"

#include "platform/foundation/TestSupport.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/files/UserDefaults.h"

#include "SinglePrecision.h"
#include "support/ArchiveEditing.h"

#include <gtest/gtest.h>

namespace {

using namespace ZORMeasurementUnit;
using fnd::Value;

// A formatter made in the user's locale, as the application makes it.
std::shared_ptr<ZORMeasurementNumberFormatter> formatterIn(const char* locale, ZORMeasurementUnitType unit)
{
    testsupport::ScopedEnvironment language("LC_ALL", std::string(locale));
    auto formatter = std::make_shared<ZORMeasurementNumberFormatter>();
    formatter->setShowType(unit);
    return formatter;
}

TEST(MeasurementNumberFormatter, ShowsPointsInTheDisplayUnit)
{
    struct Case {
        const char* locale;
        ZORMeasurementUnitType unit;
        Value points;
        const char* text;
    } cases[] = {
        { "en_US.UTF-8", Inch, Value(72), "1.0000 in" },
        { "de_DE.UTF-8", Inch, Value(72), "1,0000 in" },
        { "en_US.UTF-8", Millimeter, Value(0.9354330897331238), "0.3300 mm" },
        { "de_DE.UTF-8", Millimeter, Value(74.43779754638672), "26,2600 mm" },
        { "en_US.UTF-8", Centimeter, Value("144"), "5.0800 cm" }, // numeric strings are lengths too
        { "de_DE.UTF-8", Meter, Value(2834.6456692913384), "1,0000 m" },
        { "en_US.UTF-8", Point, Value(12.5), "12.5000 pt" },
        { "de_DE.UTF-8", Point, Value(0), "0,0000 pt" },
        { "en_US.UTF-8", Inch, Value(-36), "-0.5000 in" },
        { "en_US.UTF-8", Inch, Value(), "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatterIn(c.locale, c.unit)->stringForObjectValue(c.points), fnd::String(c.text))
            << c.locale << " " << c.points.description();

    auto formatter = formatterIn("en_US.UTF-8", Inch);
    formatter->setNumberOfDigitsAfterPoint(0);
    EXPECT_EQ(formatter->format(), fnd::String("#0 in"));
    EXPECT_EQ(formatter->stringForObjectValue(Value(100)), fnd::String("1 in"));
    EXPECT_FALSE(formatter->stringForObjectValue(Value(fnd::Array {})));
    EXPECT_EQ(formatter->attributedStringForObjectValue(Value(72), {}), nullptr);
}

TEST(MeasurementNumberFormatter, ReadsTypedLengthsIntoPoints)
{
    struct Case {
        const char* locale;
        ZORMeasurementUnitType unit;
        const char* text;
        double points;
    } cases[] = {
        { "en_US.UTF-8", Inch, "1.0000 in", 72 }, { "de_DE.UTF-8", Inch, "1,0000 in", 72 },
        { "en_US.UTF-8", Inch, "2 in", 144 },
        { "en_US.UTF-8", Millimeter, "2 cm", single(2 / 0.035277777777777776) }, // another unit's suffix wins
        { "de_DE.UTF-8", Millimeter, "2,5 cm", single(2.5 / 0.035277777777777776) },
        { "en_US.UTF-8", Millimeter, "0.33", 0.9354330897331238 }, // no suffix: the display unit
        { "de_DE.UTF-8", Millimeter, "0,33mm", 0.9354330897331238 },
        { "de_DE.UTF-8", Millimeter, "0.33", 0.9354330897331238 }, // a point where the locale has a comma
        { "en_US.UTF-8", Centimeter, "1 m", single(1 / 0.00035277777777777776) },
        { "de_DE.UTF-8", Point, "12,5 pt", 12.5 }, { "en_US.UTF-8", Point, "1 in", 72 },
        { "en_US.UTF-8", Meter, "-0.01", single(-0.01 / 0.00035277777777777776) },
        { "de_DE.UTF-8", Millimeter, "0,33 mm (SC 2)", 0.9354330897331238 }, // a size list's entry, with its name
    };
    for (const auto& c : cases) {
        auto parsed = formatterIn(c.locale, c.unit)->getObjectValue(c.text);
        ASSERT_TRUE(parsed) << c.locale << " \"" << c.text << "\": " << parsed.error();
        EXPECT_EQ(parsed->doubleValue(), c.points) << c.locale << " \"" << c.text << "\"";
    }
}

TEST(MeasurementNumberFormatter, RefusesTextThatIsNotWhollyALength)
{
    auto formatter = formatterIn("en_US.UTF-8", Millimeter);
    auto empty = formatter->getObjectValue("");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isNil());
    // Nor a number with anything after it that is not a unit: "1e-9" is not 1 millimetre, and where the decimal
    // separator is a point "12,5 mm" is not 12 millimetres.
    for (const char* text : { "abc", "mm", " . ", "-", "1e-9", "2 apples", "1.5.5", "3 mmm", "12,5 mm", "12,5" }) {
        auto parsed = formatter->getObjectValue(text);
        ASSERT_FALSE(parsed) << text << " read as " << parsed->description();
        EXPECT_NE(parsed.error().utf8().find(text), std::string::npos) << parsed.error();
    }
}

// A unit beyond inches, the last one, once showed every length as 0 (a stored default of another version, or an
// archive, can hold one): the setter takes it as inches, the default, and an archive with it is refused.
TEST(MeasurementNumberFormatter, ShowsLengthsInAKnownUnitOnly)
{
    for (ZORMeasurementUnitType unknown :
        { ZORMeasurementUnitType { 5 }, ZORMeasurementUnitType { 1 } << 63, ~ZORMeasurementUnitType {} }) {
        auto formatter = formatterIn("en_US.UTF-8", unknown);
        EXPECT_EQ(formatter->showType(), Inch) << unknown;
        EXPECT_EQ(formatter->stringForObjectValue(Value(72)), fnd::String("1.0000 in")) << unknown;
    }

    auto formatter = formatterIn("en_US.UTF-8", Centimeter);
    auto archive = fnd::KeyedArchiver::archivedDataWithRootObject(Value(formatter));
    ASSERT_TRUE(archive);
    for (Value unit : { Value(5), Value(-1), Value(1LL << 62), Value(1e300) }) {
        auto damaged = testsupport::withRootKey(*archive, "showType", unit);
        EXPECT_FALSE(fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(damaged)) << unit.description();
    }
    // 72 points are 25.4 millimetres.
    auto read = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(
        testsupport::withRootKey(*archive, "showType", Value(3)));
    ASSERT_TRUE(read) << read.error().localizedDescription().utf8();
    EXPECT_EQ(
        read->objectAs<ZORMeasurementNumberFormatter>()->stringForObjectValue(Value(72)), fnd::String("25.4000 mm"));
}

class AppMeasurementNumberFormatter : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (DVNAppUnitType type = 0; type < 4; ++type)
            fnd::UserDefaults::standardUserDefaults().removeObjectForKey(
                ZORApplicationMeasurementCenter::defaultsKeyForDVNAppUnitType(type));
    }
    void TearDown() override { SetUp(); }
    testsupport::ScopedEnvironment m_language { "LC_ALL", std::string("en_US.UTF-8") };
};

TEST_F(AppMeasurementNumberFormatter, FollowsTheUnitOfItsOwnTypeOnly)
{
    auto& centre = ZORApplicationMeasurementCenter::informationCenter();
    ZORAppMeasurementNumberFormatter formatter;
    EXPECT_EQ(formatter.showType(), Centimeter); // tied to the page unit at first
    formatter.setAppUnitType(DVNAppUnit::Font);
    EXPECT_EQ(formatter.stringForObjectValue(Value(12)), fnd::String("12.0000 pt"));

    centre.setMeasurementUnitType(Millimeter, DVNAppUnit::Font);
    EXPECT_EQ(formatter.stringForObjectValue(Value(72)), fnd::String("25.4000 mm"));
    centre.setMeasurementUnitType(Inch, DVNAppUnit::Page);
    EXPECT_EQ(formatter.showType(), Millimeter);

    auto copy = formatter.copy();
    centre.setMeasurementUnitType(Inch, DVNAppUnit::Font);
    EXPECT_EQ(copy->stringForObjectValue(Value(72)), fnd::String("1.0000 in"));
    EXPECT_EQ(formatter.stringForObjectValue(Value(72)), fnd::String("1.0000 in"));
}

TEST_F(AppMeasurementNumberFormatter, ArchiveKeepsTheTypeAndTakesItsCurrentUnit)
{
    auto formatter = std::make_shared<ZORAppMeasurementNumberFormatter>();
    formatter->setAppUnitType(DVNAppUnit::Line);
    formatter->setNumberOfDigitsAfterPoint(1);
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(Value(formatter));
    ASSERT_TRUE(data);
    ZORApplicationMeasurementCenter::informationCenter().setMeasurementUnitType(Centimeter, DVNAppUnit::Line);
    auto read = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(read);
    auto decoded = read->objectAs<ZORAppMeasurementNumberFormatter>();
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->appUnitType(), DVNAppUnit::Line);
    EXPECT_EQ(decoded->stringForObjectValue(Value(72)), fnd::String("2.5 cm"));
    auto parsed = decoded->getObjectValue("2.54 cm");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->doubleValue(), 72);
}

TEST_F(AppMeasurementNumberFormatter, ShowsPresetContainersWithTheirName)
{
    ZORAppMeasurementNumberFormatter formatter;
    formatter.setAppUnitType(DVNAppUnit::Line);
    auto small = ZORNumberContainer::numberContainerWithNumber(2.835, "Small");
    auto unnamed = ZORNumberContainer::numberContainerWithNumber(72, std::nullopt);
    auto blank = ZORNumberContainer::numberContainerWithNumber(72, "");
    EXPECT_EQ(formatter.stringForObjectValue(Value(small)), fnd::String("1.0001 mm Small"));
    EXPECT_EQ(formatter.stringForObjectValue(Value(unnamed)), fnd::String("25.4000 mm"));
    EXPECT_EQ(formatter.stringForObjectValue(Value(blank)), fnd::String("25.4000 mm")) << "no blank before no name";
}

}
