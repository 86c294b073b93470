#include "FormatterFixture.h"

#include "frameworks/FoundationExtensions/ZFMLocationFormatter.h"
#include "frameworks/FoundationExtensions/ZFMTimeIntervalFormatter.h"
#include "frameworks/FoundationExtensions/ZFMUnitOfInformationFormatter.h"

#include "support/ArchiveEditing.h"

#include <cmath>

namespace {

using fnd::String;

class TimeIntervalFormatter : public FormatterTest {
protected:
    void SetUp() override
    {
        FormatterTest::SetUp();
        formatter = fnd::makeObject<ZFMTimeIntervalFormatter>();
        // Whole days in a zone without daylight saving, from a fixed moment.
        fnd::Calendar calendar;
        calendar.setTimeZone(fnd::TimeZone::gmt());
        formatter->setCalendar(calendar);
        formatter->setLocale(fnd::Locale("en_US"));
    }
    std::optional<String> after(double seconds) const
    {
        return formatter->stringForTimeIntervalFromDate(start, start.addingTimeInterval(seconds));
    }

    std::shared_ptr<ZFMTimeIntervalFormatter> formatter;
    // 2024-01-01 12:00 UTC.
    const fnd::Date start = fnd::Date::fromUnixTime(1704110400);
};

constexpr double Minute = 60, Hour = 3600, Day = 86400;

TEST_F(TimeIntervalFormatter, PhrasesPastPresentAndFuture)
{
    // The margin must be greater than the interval.
    EXPECT_EQ(after(0.5), String("just now"));
    EXPECT_EQ(after(-0.5), String("just now"));
    EXPECT_EQ(after(-1.0), String("1 second ago"));
    EXPECT_EQ(after(-90), String("1 minute ago"));
    EXPECT_EQ(after(2 * Hour), String("2 hours from now"));
    formatter->setNumberOfSignificantUnits(2);
    EXPECT_EQ(after(-90), String("1 minute 30 seconds ago"));
    EXPECT_EQ(after(3 * Day + 4 * Hour + 5 * Minute), String("3 days 4 hours from now"));
    formatter->setNumberOfSignificantUnits(0);
    EXPECT_EQ(after(3 * Day + 4 * Hour + 5 * Minute), String("3 days 4 hours 5 minutes from now"));

    formatter->setNumberOfSignificantUnits(1);
    formatter->setUsesApproximateQualifier(true);
    EXPECT_EQ(after(-90 * Minute), String("about 1 hour ago"));
    EXPECT_EQ(after(-60 * Minute), String("1 hour ago")) << "nothing left out, nothing approximate";

    formatter->setUsesAbbreviatedCalendarUnits(true);
    EXPECT_EQ(after(-2 * Hour), String("2 hrs ago"));
    EXPECT_EQ(after(-1), String("1 s ago"));
    EXPECT_EQ(formatter->localizedStringForNumber(1, fnd::CalendarUnit::Week), String("wk"));
    formatter->setUsesAbbreviatedCalendarUnits(false);
    EXPECT_EQ(formatter->localizedStringForNumber(1, fnd::CalendarUnit::Week), String("week"));
    EXPECT_EQ(formatter->localizedStringForNumber(0, fnd::CalendarUnit::Week), String("weeks"));
    EXPECT_EQ(formatter->localizedStringForNumber(1, fnd::CalendarUnit::Weekday), std::nullopt);

    formatter->setPastDeicticExpression("");
    EXPECT_EQ(after(-Hour), String("1 hour")) << "no past word, no format";
}

TEST_F(TimeIntervalFormatter, UnitsBelowTheLeastSignificantAreLeftOutAfterTheFirst)
{
    formatter->setLeastSignificantUnit(fnd::CalendarUnit::Minute);
    // Below the least unit, but the only one: it begins the phrase.
    EXPECT_EQ(after(-30), String("30 seconds ago"));
    formatter->setLeastSignificantUnit(fnd::CalendarUnit::Day);
    EXPECT_EQ(after(5 * Hour + 3 * Minute), String("5 hours from now"));
    formatter->setLeastSignificantUnit(fnd::CalendarUnit::Minute);
    formatter->setNumberOfSignificantUnits(2);
    formatter->setUsesApproximateQualifier(true);
    EXPECT_EQ(after(-(Hour + 90)), String("1 hour 1 minute ago")) << "the seconds after the phrase began are left out";
    EXPECT_EQ(after(-(Minute + 5)), String("1 minute ago"));

    // A week counts between months and days, whatever its flag value: 2024-01-01 to 2024-02-10 is one month, one
    // week and two days.
    formatter->setLeastSignificantUnit(fnd::CalendarUnit::Second);
    formatter->setNumberOfSignificantUnits(3);
    EXPECT_EQ(after(40 * Day), String("1 month 1 week 2 days from now"));
    formatter->setLeastSignificantUnit(fnd::CalendarUnit::Week);
    EXPECT_EQ(after(40 * Day), String("1 month 1 week from now"));
}

TEST_F(TimeIntervalFormatter, IdiomsInEnglishSpanishAndDutch)
{
    formatter->setUsesIdiomaticDeicticExpressions(true);
    struct Case {
        const char* locale;
        double seconds;
        const char* expected;
    };
    const Case cases[] = {
        { "en_US", -Day, "yesterday" },
        { "en_US", Day, "tomorrow" },
        { "en_US", -7 * Day, "last week" },
        { "en_US", 31 * Day, "next month" },
        { "en_US", -366 * Day, "last year" },
        // English has no word for two days: the phrase stands.
        { "en_US", -2 * Day, "2 days ago" },
        { "en_US", -3 * Hour, "3 hours ago" },
        { "es_ES", -Day, "ayer" },
        { "es_ES", Day, "ma\u00F1ana" },
        { "es_ES", 7 * Day, "pr\u00F3xima semana" },
        { "es_ES", -31 * Day, "mes pasado" },
        { "nl_NL", -2 * Day, "eergisteren" },
        { "nl_NL", 2 * Day, "overmorgen" },
        { "nl_NL", -Day, "gisteren" },
        { "nl_NL", 366 * Day, "volgend jaar" },
        { "de_DE", -Day, "1 day ago" },
    };
    for (const auto& c : cases) {
        formatter->setLocale(fnd::Locale(c.locale));
        EXPECT_EQ(after(c.seconds), String(c.expected)) << c.locale << " " << c.seconds;
    }

    // Spanish puts the past word first.
    formatter->setUsesIdiomaticDeicticExpressions(false);
    formatter->setLocale(fnd::Locale("es_ES"));
    formatter->setPastDeicticExpression("hace");
    formatter->setFutureDeicticExpression("dentro de");
    EXPECT_EQ(after(-3 * Hour), String("hace 3 hours"));
    EXPECT_EQ(after(3 * Hour), String("3 hours dentro de")) << "the future word keeps its place";
}

TEST_F(TimeIntervalFormatter, ObjectValuesArchivesAndParsing)
{
    EXPECT_EQ(formatter->stringForObjectValue(fnd::Value(-120.0)), String("2 minutes ago"));
    EXPECT_EQ(formatter->stringForObjectValue(fnd::Value("-120")), std::nullopt);
    EXPECT_EQ(formatter->getObjectValue("2 minutes ago"), std::unexpected(String("Method Not Implemented")));

    formatter->setPastDeicticExpression("earlier");
    formatter->setPresentTimeIntervalMargin(30);
    formatter->setUsesIdiomaticDeicticExpressions(true);
    formatter->setLocale(fnd::Locale("nl_NL"));
    auto decoded = throughArchive(formatter);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->pastDeicticExpression(), String("earlier"));
    EXPECT_EQ(decoded->presentTimeIntervalMargin(), 30);
    EXPECT_TRUE(decoded->usesIdiomaticDeicticExpressions());
    EXPECT_FALSE(decoded->usesApproximateQualifier());
    EXPECT_EQ(decoded->locale().localeIdentifier(), String("nl_NL"));
    EXPECT_EQ(decoded->deicticExpressionFormat(), String("%@ %@"));
}

TEST_F(TimeIntervalFormatter, ArchivedFormatsThatCannotTakeTheirTextsAreRefused)
{
    auto archive = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(formatter));
    ASSERT_TRUE(archive);
    // 120 s in the past: the phrase "2 minutes" and the word "ago"; the approximate format takes the phrase alone.
    const struct {
        const char* key;
        const char* format;
        std::optional<const char*> shown; // nullopt: the archive is refused
    } cases[] = {
        { "deicticExpressionFormat", "%@ %@", "2 minutes ago" },
        { "deicticExpressionFormat", "%2$@, %1$@", "ago, 2 minutes" },
        { "deicticExpressionFormat", "%@", "2 minutes" },
        { "deicticExpressionFormat", "100%% %@ %@", "100% 2 minutes ago" },
        { "deicticExpressionFormat", "%@ %@ %@", std::nullopt },
        { "deicticExpressionFormat", "%3$@ %@", std::nullopt },
        { "deicticExpressionFormat", "%d %@", std::nullopt },
        { "deicticExpressionFormat", "%@ %s", std::nullopt },
        { "deicticExpressionFormat", "%10@ %@", std::nullopt },
        { "deicticExpressionFormat", "%@ %@ %", std::nullopt },
        { "approximateQualifierFormat", "about %@", "2 minutes ago" },
        { "approximateQualifierFormat", "about %@ %@", std::nullopt },
        { "approximateQualifierFormat", "%0$@", std::nullopt },
    };
    for (const auto& c : cases) {
        auto read = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(
            testsupport::withRootKey(*archive, c.key, fnd::Value(String(c.format))));
        if (!c.shown) {
            EXPECT_FALSE(read) << c.key << " \"" << c.format << "\"";
            continue;
        }
        ASSERT_TRUE(read) << c.format << ": " << read.error().localizedDescription().utf8();
        auto decoded = read->objectAs<ZFMTimeIntervalFormatter>();
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->stringForObjectValue(fnd::Value(-120.0)), String(*c.shown)) << c.format;
    }
}

class UnitOfInformationFormatter : public FormatterTest {
protected:
    void SetUp() override
    {
        FormatterTest::SetUp();
        formatter = fnd::makeObject<ZFMUnitOfInformationFormatter>();
        formatter->numberFormatter()->setLocale(fnd::Locale("en_US"));
    }
    std::shared_ptr<ZFMUnitOfInformationFormatter> formatter;
};

TEST_F(UnitOfInformationFormatter, PrefixesFollowTheBitCount)
{
    formatter->setUsesIECBinaryPrefixesForCalculation(false);
    EXPECT_EQ(formatter->stringFromNumberOfBits(8000), String("1 KB"));
    EXPECT_EQ(formatter->stringFromNumberOfBits(7992), String("999 bytes"));
    // 2 × 10⁹ bits are more than 10⁹: the giga prefix, though 250 million bytes are shown, as 0.25 GB.
    EXPECT_EQ(formatter->stringFromNumberOfBits(2e9), String("0.25 GB"));
    // 8 × 10⁶ bits = 10⁶ bytes, prefix of 8 × 10⁶: mega.
    EXPECT_EQ(formatter->stringFromNumberOfBits(8e6), String("1 MB"));
    // 4 × 10⁶ bits = 500,000 bytes, but the bit count passes 10⁶: 0.5 MB.
    EXPECT_EQ(formatter->stringFromNumberOfBits(4e6), String("0.5 MB"));
    EXPECT_EQ(formatter->stringFromNumberOfBits(8e9 + 8), String("1 GB"));

    formatter->setUsesIECBinaryPrefixesForCalculation(true);
    EXPECT_EQ(formatter->stringFromNumberOfBits(8184), String("1,023 bytes"));
    EXPECT_EQ(formatter->stringFromNumberOfBits(8192), String("1 KB")) << "IEC factors, SI words by default";
    // 1,543,209.75 bytes / 2^20, rounded to 0.01.
    EXPECT_EQ(formatter->stringFromNumberOfBits(12345678), String("1.47 MB"));
    formatter->setUsesIECBinaryPrefixesForDisplay(true);
    EXPECT_EQ(formatter->stringFromNumberOfBits(12345678), String("1.47 MiB"));
    EXPECT_EQ(formatter->stringFromNumberOfBits(std::pow(2.0, 63) * 8), String("8 EiB"));

    formatter->setDisplaysInTermsOfBytes(false);
    EXPECT_EQ(formatter->stringFromNumberOfBits(1000), String("1,000 bits"));
    EXPECT_EQ(formatter->stringFromNumberOfBits(1536), String("1.5 Kibit"));
    formatter->setUsesIECBinaryPrefixesForDisplay(false);
    EXPECT_EQ(formatter->stringFromNumberOfBits(3 * 1048576 + 1), String("3 Mbit"));
}

TEST_F(UnitOfInformationFormatter, UnitsPrefixesAndFactors)
{
    formatter->setUsesIECBinaryPrefixesForCalculation(false);
    EXPECT_EQ(formatter->stringFromNumber(2, ZFMUnitOfInformationFormatter::Byte), String("2 bytes"));
    EXPECT_EQ(formatter->stringFromNumber(500, ZFMUnitOfInformationFormatter::DoubleWord), String("2 KB"));
    EXPECT_EQ(formatter->stringFromNumber(3, ZFMUnitOfInformationFormatter::Byte, ZFMUnitOfInformationFormatter::Mega),
        String("3 MB"));
    EXPECT_EQ(formatter->stringFromNumber(2.9, ZFMUnitOfInformationFormatter::Nibble), String("1 bytes"))
        << "the integer value counts";
    EXPECT_EQ(formatter->stringFromNumber(1, 5), std::nullopt);
    EXPECT_EQ(formatter->stringFromNumber(1, ZFMUnitOfInformationFormatter::Byte, 6), std::nullopt);

    EXPECT_EQ(formatter->scaleFactorForPrefix(ZFMUnitOfInformationFormatter::Giga), 1e9);
    EXPECT_EQ(formatter->prefixForInteger(1000000), ZFMUnitOfInformationFormatter::Kilo);
    EXPECT_EQ(formatter->prefixForInteger(1000001), ZFMUnitOfInformationFormatter::Mega);
    EXPECT_EQ(formatter->prefixForInteger(5000000000000000000ull), ZFMUnitOfInformationFormatter::Exa);
    formatter->setUsesIECBinaryPrefixesForCalculation(true);
    EXPECT_EQ(formatter->scaleFactorForPrefix(ZFMUnitOfInformationFormatter::Tera), std::pow(2.0, 40));

    EXPECT_EQ(formatter->stringForObjectValue(fnd::Value(16)), String("2 bytes"));
    EXPECT_EQ(formatter->stringForObjectValue(fnd::Value("16")), std::nullopt);

    formatter->setDisplaysInTermsOfBytes(false);
    formatter->numberFormatter()->setRoundingIncrement(0.5);
    auto decoded = throughArchive(formatter);
    ASSERT_TRUE(decoded);
    EXPECT_FALSE(decoded->displaysInTermsOfBytes());
    EXPECT_TRUE(decoded->usesIECBinaryPrefixesForCalculation());
    EXPECT_EQ(decoded->stringFromNumberOfBits(1300), String("1.5 kbit"));
}

TEST_F(UnitOfInformationFormatter, HugeInfiniteAndUndefinedCountsAreWrittenNotCast)
{
    // IEC factors, SI words (the defaults): 2^70 bits are 2^67 bytes, 128 × 2^60.
    EXPECT_EQ(formatter->stringFromNumberOfBits(std::pow(2.0, 70)), String("128 EB"));
    EXPECT_EQ(formatter->stringFromNumberOfBits(INFINITY), String("\u221E EB"));
    EXPECT_EQ(formatter->stringFromNumberOfBits(NAN), String("NaN bytes"));
    // (2^63 - 1) double words are about 2^68 bits: 2^65 bytes, 32 × 2^60, not a wrapped-around count.
    EXPECT_EQ(formatter->stringFromNumber(INT64_MAX, ZFMUnitOfInformationFormatter::DoubleWord), String("32 EB"));
}

class LocationFormatter : public FormatterTest {
protected:
    void SetUp() override
    {
        FormatterTest::SetUp();
        formatter = fnd::makeObject<ZFMLocationFormatter>();
        formatter->numberFormatter()->setLocale(fnd::Locale("en_US"));
    }
    std::shared_ptr<ZFMLocationFormatter> formatter;
};

TEST_F(LocationFormatter, CompassSectorsIncludeTheirUpperBound)
{
    struct Case {
        double degrees;
        int sector;
    };
    const Case cases[] = { { 0, 0 }, { 22.5, 0 }, { 22.6, 1 }, { 67.5, 1 }, { 90, 2 }, { 180, 4 }, { 292.5, 6 },
        { 337.5, 7 }, { 337.6, 0 }, { 360, 0 }, { -90, 6 }, { 450, 2 } };
    for (const auto& c : cases)
        EXPECT_EQ(ZFMCompassSectorFromBearing(c.degrees), c.sector) << c.degrees;
    EXPECT_EQ(formatter->stringFromBearing(22.6), String("Northeast"));
    formatter->setBearingStyle(ZFMLocationFormatter::Abbreviation);
    EXPECT_EQ(formatter->stringFromBearing(337.5), String("NW"));
    formatter->setBearingStyle(ZFMLocationFormatter::Degrees);
    EXPECT_EQ(formatter->stringFromBearing(123.4), String("120"));
    formatter->setBearingStyle(3);
    EXPECT_EQ(formatter->stringFromBearing(10), std::nullopt);
}

TEST_F(LocationFormatter, DistancesAndSpeedsInBothUnitSystems)
{
    auto unitOf = [](const std::optional<String>& text) {
        return text ? text->substringFrom(text->rangeOfString(" ").max()) : String("(none)");
    };
    EXPECT_EQ(unitOf(formatter->stringFromDistance(999)), String("m"));
    EXPECT_EQ(formatter->stringFromDistance(1000), String("1 km"));
    EXPECT_EQ(formatter->stringFromDistance(250), String("250 m"));
    EXPECT_EQ(formatter->stringFromSpeed(0.25), String("0.25 m/s"));
    EXPECT_EQ(formatter->stringFromSpeed(0.3), String("1.1 km/h"));

    formatter->setUnitSystem(ZFMLocationFormatter::Imperial);
    EXPECT_EQ(formatter->stringFromDistance(91), String("300 ft"));
    EXPECT_EQ(formatter->stringFromDistance(100), String("110 yds"));
    EXPECT_EQ(formatter->stringFromDistance(1700), String("1.1 mile"));
    EXPECT_EQ(formatter->stringFromDistance(2000), String("1.2 miles"));
    EXPECT_EQ(formatter->stringFromSpeed(0.4), String("1.3 ft/s"));
    EXPECT_EQ(formatter->stringFromSpeed(10), String("22 mph"));

    formatter->setUnitSystem(2);
    EXPECT_EQ(formatter->stringFromDistance(10), std::nullopt);
    EXPECT_EQ(formatter->stringFromSpeed(10), std::nullopt);
}

TEST_F(LocationFormatter, TwoLocationsGiveHaversineDistancesAndBearings)
{
    auto origin = ZFMLocation::locationWithLatitude(0, 0);
    auto east = ZFMLocation::locationWithLatitude(0, 1);
    auto north = ZFMLocation::locationWithLatitude(1, 0);
    // One degree of a great circle on the mean sphere.
    EXPECT_NEAR(origin->distanceFromLocation(*east), 111195.08, 0.01);
    EXPECT_NEAR(origin->bearingToLocation(*east), 90, 1e-9);
    EXPECT_EQ(origin->bearingToLocation(*north), 0) << "due north is 0, not 360";
    EXPECT_NEAR(east->bearingToLocation(*origin), 270, 1e-9);
    // Paris to London.
    auto paris = ZFMLocation::locationWithLatitude(48.8566, 2.3522);
    auto london = ZFMLocation::locationWithLatitude(51.5074, -0.1278);
    EXPECT_NEAR(paris->distanceFromLocation(*london), 343.5e3, 0.5e3);
    EXPECT_NEAR(paris->bearingToLocation(*london), 330.0, 1.0);

    EXPECT_EQ(formatter->stringFromDistanceAndBearingFromLocation(*origin, *east), String("110 km East"));
    EXPECT_EQ(formatter->stringFromVelocityFromLocation(*paris, *london, 20), String("72 km/h Northwest"));
    formatter->setBearingStyle(ZFMLocationFormatter::Degrees);
    EXPECT_EQ(formatter->stringFromBearingFromLocation(*origin, *north), String("0"));
    EXPECT_EQ(formatter->stringFromLocation(*paris), String("(49, 2.4)"));
    EXPECT_EQ(formatter->stringForObjectValue(fnd::Value(paris)), String("(49, 2.4)"));
    EXPECT_EQ(formatter->stringForObjectValue(fnd::Value(3)), std::nullopt);

    formatter->setUnitSystem(ZFMLocationFormatter::Imperial);
    formatter->setCoordinateOrder(1);
    auto decoded = throughArchive(formatter);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->unitSystem(), ZFMLocationFormatter::Imperial);
    EXPECT_EQ(decoded->bearingStyle(), ZFMLocationFormatter::Degrees);
    EXPECT_EQ(decoded->coordinateOrder(), 1);
    EXPECT_EQ(decoded->stringFromDistance(2000), String("1.2 miles"));
}

}
