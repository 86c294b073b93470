#include "frameworks/FoundationExtensions/ZOR0_1to0_100ValueTransformer.h"
#include "frameworks/FoundationExtensions/ZORMeasurementNumberFormatter.h"
#include "frameworks/FoundationExtensions/ZORNumberContainer.h"
#include "frameworks/FoundationExtensions/ZORNumberValueFormatter.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/runtime/KeyValueCoding.h"

#include "support/ArchiveEditing.h"

#include <gtest/gtest.h>

namespace {

using fnd::Value;

TEST(NumberContainer, ComparesByItsNumberWithNumbersAndContainers)
{
    auto two = ZORNumberContainer::numberContainerWithNumber(2, "Two");
    auto otherTwo = ZORNumberContainer::numberContainerWithNumber(2.0, "Deux");
    auto three = ZORNumberContainer::numberContainerWithNumber(3.0f, std::nullopt);

    EXPECT_TRUE(two->isEqualToValue(Value(2)));
    EXPECT_TRUE(two->isEqualToValue(Value(2.0f)));
    EXPECT_TRUE(two->isEqualToValue(Value(otherTwo)));
    EXPECT_TRUE(Value(two) == Value(otherTwo));
    EXPECT_EQ(two->hash(), otherTwo->hash());
    EXPECT_FALSE(two->isEqualToValue(Value(three)));
    EXPECT_FALSE(two->isEqualToValue(Value("2")));
    EXPECT_FALSE(two->isEqualToValue(Value()));

    EXPECT_EQ(two->compare(Value(three)), std::partial_ordering::less);
    EXPECT_EQ(three->compare(Value(2.5)), std::partial_ordering::greater);
    EXPECT_EQ(two->compare(Value("x")), std::partial_ordering::unordered);

    auto copy = two->copy();
    EXPECT_NE(copy.get(), two.get());
    EXPECT_EQ(copy->infoString(), fnd::String("Two"));
    EXPECT_TRUE(copy->isEqual(*two));

    ZORNumberContainer fresh;
    EXPECT_EQ(fresh.numberObject().kind(), fnd::Number::Kind::Float);
    EXPECT_FALSE(fresh.infoString());
    EXPECT_TRUE(fresh.valueForKey("infoString").isNil());
}

TEST(NumberContainer, ArchivesUnderTheStoredClassName)
{
    ZORNumberContainer::mapArchivedClassName();
    fnd::Array presets { Value(ZORNumberContainer::numberContainerWithNumber(0.9354330897331238, "Small")),
        Value(ZORNumberContainer::numberContainerWithNumber(2, std::nullopt)) };
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(Value(presets));
    ASSERT_TRUE(data) << data.error().localizedDescription();
    const auto xml = std::string(data->view());
    EXPECT_NE(xml.find("<string>NumberContainer</string>"), std::string::npos);
    EXPECT_EQ(xml.find("ZORNumberContainer"), std::string::npos);

    auto read = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(read) << read.error().localizedDescription();
    ASSERT_TRUE(read->array());
    ASSERT_EQ(read->array()->size(), 2u);
    auto small = (*read->array())[0].objectAs<ZORNumberContainer>();
    auto plain = (*read->array())[1].objectAs<ZORNumberContainer>();
    ASSERT_TRUE(small && plain);
    EXPECT_EQ(small->numberObject().doubleValue(), 0.9354330897331238);
    EXPECT_EQ(small->infoString(), fnd::String("Small"));
    EXPECT_EQ(plain->numberObject(), fnd::Number(2));
    EXPECT_FALSE(plain->infoString());
}

TEST(NumberValueFormatter, BuildsItsFormatFromTypeAndDigits)
{
    struct Case {
        std::int32_t type;
        std::uint32_t digits;
        const char* format;
    } cases[] = {
        { ZORNumberValueFormatter::None, 0, "#0" }, { ZORNumberValueFormatter::None, 3, "#0.000" },
        { ZORNumberValueFormatter::Percent, 2, "#0.00 %" }, { ZORNumberValueFormatter::Degree, 1, "#0.0°" },
        { ZORNumberValueFormatter::PerInch, 0, "#0 dpi" }, { 5, 0, "#0 dpi" }, // any unknown type shows per inch
    };
    for (const auto& c : cases) {
        ZORNumberValueFormatter formatter;
        formatter.setShowNumberType(c.type);
        formatter.setNumberOfDigitsAfterPoint(c.digits);
        EXPECT_EQ(formatter.format(), fnd::String(c.format)) << "type " << c.type << ", " << c.digits << " digits";
    }
}

TEST(NumberValueFormatter, FormatsInTheLocaleWithoutGrouping)
{
    ZORNumberValueFormatter formatter;
    formatter.setLocale(fnd::Locale("en_US"));
    EXPECT_EQ(formatter.stringForObjectValue(Value(12345.678)), fnd::String("12345.68 %"));
    formatter.setLocale(fnd::Locale("de_DE"));
    EXPECT_EQ(formatter.stringForObjectValue(Value(12345.678)), fnd::String("12345,68 %"));
    auto parsed = formatter.getObjectValue("7,5 %");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->doubleValue(), 7.5);
}

TEST(NumberValueFormatter, KeyedArchiveKeepsTypeAndDigits)
{
    auto formatter = std::make_shared<ZORNumberValueFormatter>();
    formatter->setShowNumberType(ZORNumberValueFormatter::Degree);
    formatter->setNumberOfDigitsAfterPoint(1);
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(Value(formatter));
    ASSERT_TRUE(data);
    auto read = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(read);
    auto copy = read->objectAs<ZORNumberValueFormatter>();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->showNumberType(), ZORNumberValueFormatter::Degree);
    EXPECT_EQ(copy->numberOfDigitsAfterPoint(), 1u);
    EXPECT_EQ(copy->format(), fnd::String("#0.0°"));
}

// Both number formats put one "0" per digit after the point: a count read from an archive once built a format of
// 200,000,000 zeros (seconds and gigabytes), and -1 or 4,000,000,000 ran out of memory.
template <typename Formatter> void checkDigitsAfterThePointAreBounded(const char* format15, const char* format0)
{
    const std::string name = Formatter::staticClassInfo().name.utf8();
    auto formatter = std::make_shared<Formatter>();
    formatter->setNumberOfDigitsAfterPoint(200'000'000);
    EXPECT_EQ(formatter->numberOfDigitsAfterPoint(), 15u) << name;
    EXPECT_EQ(formatter->format(), fnd::String(format15)) << name;
    formatter->setNumberOfDigitsAfterPoint(0);
    EXPECT_EQ(formatter->format(), fnd::String(format0)) << name;

    auto archive = fnd::KeyedArchiver::archivedDataWithRootObject(Value(formatter));
    ASSERT_TRUE(archive) << name;
    for (double digits : { -1.0, 16.0, 200'000'000.0, 4'000'000'000.0, 1e300 }) {
        auto damaged = testsupport::withRootKey(*archive, "numberOfDigitsAfterPoint", Value(digits));
        auto read = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(damaged);
        EXPECT_FALSE(read) << name << " with " << digits << " digits";
        EXPECT_TRUE(fnd::KeyedUnarchiver::unarchiveObjectWithData(damaged).isNil()) << name << " " << digits;
    }
    auto read = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(
        testsupport::withRootKey(*archive, "numberOfDigitsAfterPoint", Value(15)));
    ASSERT_TRUE(read) << name << ": " << read.error().localizedDescription().utf8();
    EXPECT_EQ(read->template objectAs<Formatter>()->format(), fnd::String(format15)) << name;
}

TEST(NumberValueFormatter, DigitsAfterThePointStopAtFifteenOnEveryPath)
{
    // "#0", a point, fifteen zeros, then the suffix: " %" for percent, " in" for inches.
    checkDigitsAfterThePointAreBounded<ZORNumberValueFormatter>("#0.000000000000000 %", "#0 %");
    checkDigitsAfterThePointAreBounded<ZORMeasurementNumberFormatter>("#0.000000000000000 in", "#0 in");
}

TEST(FractionTransformer, MapsFractionsToPercentagesAndBack)
{
    ZOR0_1to0_100ValueTransformer transformer;
    EXPECT_TRUE(transformer.allowsReverseTransformation());
    // Declared as numbers, and what it answers is one.
    EXPECT_EQ(ZOR0_1to0_100ValueTransformer::transformedValueClass(), fnd::String("NSNumber"));
    EXPECT_EQ(fnd::classNameOf(transformer.transformedValue(Value(0.25))), transformer.transformedValueClass());
    struct Case {
        double fraction, percent;
    } cases[] = { { 0.25, 25 }, { 0, 0 }, { 1, 100 }, { 0.5, 50 }, { -0.75, -75 } };
    for (const auto& c : cases) {
        EXPECT_EQ(transformer.transformedValue(Value(c.fraction)).doubleValue(), c.percent) << c.fraction;
        EXPECT_EQ(transformer.reverseTransformedValue(Value(c.percent)).doubleValue(), c.fraction) << c.percent;
    }
}

}
