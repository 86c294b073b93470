#include "platform/foundation/locale/NumberFormatter.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"
#include "platform/foundation/runtime/Log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fnd;

namespace {

NumberFormatter formatterWithFormat(const char* locale, const char* format)
{
    NumberFormatter formatter;
    formatter.setLocale(Locale(locale));
    formatter.setNumberStyle(NumberFormatterStyle::Decimal);
    formatter.setFormat(format);
    formatter.setLocalizesFormat(true);
    formatter.setUsesGroupingSeparator(false);
    return formatter;
}

std::string parsed(const NumberFormatter& formatter, const char* text)
{
    auto value = formatter.getObjectValue(text);
    if (!value)
        return "error";
    return value->isNil() ? "nil" : value->description().utf8();
}

}

TEST(NumberFormatter, FormatWithUnitSuffixWritesLocalisedDigitsAndLiteralText)
{
    struct Case {
        const char* locale;
        const char* format;
        Number number;
        const char* expected;
    };
    const Case cases[] = {
        { "en_US", "#0.0000 mm", 1.0, "1.0000 mm" },
        { "en_US", "#0.0000 mm", 1234.56789, "1234.5679 mm" }, // grouping off
        { "de_DE", "#0.0000 mm", 1234.56789, "1234,5679 mm" },
        { "de_DE", "#0.0000 mm", -0.5, "-0,5000 mm" },
        { "fr_FR", "#0.00 in", 72, "72,00 in" },
        { "en_US", "#0 %", 25, "25 %" }, // '%' is text: no scaling by 100
        { "en_US", "#0.0°", 12.25, "12.2°" }, // half-even
        { "en_US", "#0", 2.5f, "2" },
        { "en_US", "#0", 18446744073709551615ull, "18446744073709551615" },
        { "en_US", "'#'#0", 7, "#7" }, // quoted text is never a digit
        { "en_US", "#0 o''clock", 7, "7 o'clock" },
        { "en_US", "x#0;(#0)", -3, "(3)" },
    };
    for (const Case& c : cases) {
        auto formatter = formatterWithFormat(c.locale, c.format);
        EXPECT_EQ(formatter.stringFromNumber(c.number), String(c.expected)) << c.locale << " " << c.format;
    }
}

TEST(NumberFormatter, ParsesAgainstTheFormatAndRejectsWhatDoesNotMatch)
{
    auto german = formatterWithFormat("de_DE", "#0.0000 mm");
    struct Case {
        const char* text;
        const char* strict;
        const char* lenient;
    };
    const Case cases[] = {
        { "1,5000 mm", "1.5", "1.5" },
        { "1,5 mm", "1.5", "1.5" },
        { "-2,25 mm", "-2.25", "-2.25" },
        { "1,5", "error", "1.5" }, // the suffix is part of the format
        { "  1,5 mm ", "error", "1.5" },
        { "1.234,5 mm", "error", "error" }, // grouping is off
        { "abc", "error", "error" },
        { "1,5 mm trailing", "error", "error" },
        { "NaN", "error", "error" },
        { "", "nil", "nil" },
    };
    for (const Case& c : cases) {
        german.setLenient(false);
        EXPECT_EQ(parsed(german, c.text), c.strict) << "strict: " << c.text;
        german.setLenient(true);
        EXPECT_EQ(parsed(german, c.text), c.lenient) << "lenient: " << c.text;
    }
}

TEST(NumberFormatter, UnparsableTextFailsWithADescription)
{
    auto formatter = formatterWithFormat("en_US", "#0.00");
    auto value = formatter.getObjectValue("12x");
    ASSERT_FALSE(value);
    EXPECT_EQ(value.error(), String("“12x” is not a valid number."));
    EXPECT_EQ(formatter.numberFromString("12x"), std::nullopt);
    EXPECT_EQ(formatter.numberFromString("12.5"), Number(12.5));
}

TEST(NumberFormatter, ParsingHonoursFloatsAndBounds)
{
    NumberFormatter formatter;
    formatter.setLocale(Locale("en_US"));
    formatter.setAllowsFloats(false);
    formatter.setMinimum(0.0);
    formatter.setMaximum(100.0);
    struct Case {
        const char* text;
        bool ok;
    };
    const Case cases[]
        = { { "0", true }, { "100", true }, { "2.0", true }, { "2.5", false }, { "-1", false }, { "101", false } };
    for (const Case& c : cases)
        EXPECT_EQ(formatter.getObjectValue(c.text).has_value(), c.ok) << c.text;
    EXPECT_EQ(formatter.getObjectValue("2.5").error(), String("“2.5” is not a whole number."));
    EXPECT_EQ(formatter.getObjectValue("101").error(), String("“101” is more than the maximum of 100."));
    // Whole values come back as integers.
    EXPECT_EQ(formatter.getObjectValue("42")->number()->kind(), Number::Kind::Integer);
}

TEST(NumberFormatter, RoundingIncrementWithEachMode)
{
    struct Case {
        NumberFormatterRoundingMode mode;
        double value;
        const char* expected;
    };
    const Case cases[] = {
        { NumberFormatterRoundingMode::Floor, 1.239, "1.23" },
        { NumberFormatterRoundingMode::Floor, -1.231, "-1.24" },
        { NumberFormatterRoundingMode::Floor, 2.999, "2.99" },
        { NumberFormatterRoundingMode::Ceiling, 1.231, "1.24" },
        { NumberFormatterRoundingMode::Down, -1.239, "-1.23" },
        { NumberFormatterRoundingMode::HalfUp, 0.285, "0.29" },
        { NumberFormatterRoundingMode::HalfEven, 0.285, "0.28" },
        { NumberFormatterRoundingMode::HalfEven, 1234.567, "1,234.57" },
        { NumberFormatterRoundingMode::HalfEven, 1.5, "1.5" },
    };
    for (const Case& c : cases) {
        NumberFormatter formatter;
        formatter.setLocale(Locale("en_US"));
        formatter.setNumberStyle(NumberFormatterStyle::Decimal);
        formatter.setRoundingIncrement(0.01);
        formatter.setRoundingMode(c.mode);
        EXPECT_EQ(formatter.stringFromNumber(c.value), String(c.expected))
            << c.value << " mode " << static_cast<int>(c.mode);
    }
    NumberFormatter quarter;
    quarter.setLocale(Locale("en_US"));
    quarter.setFormat("#0.00");
    quarter.setRoundingIncrement(0.25);
    EXPECT_EQ(quarter.stringFromNumber(1.3), String("1.25"));
}

TEST(NumberFormatter, FloatsRoundByTheirOwnDigits)
{
    // 2.3f widens to 2.2999999523; flooring that would lose a tenth.
    NumberFormatter formatter;
    formatter.setLocale(Locale("en_US"));
    formatter.setFormat("#0.0");
    formatter.setRoundingMode(NumberFormatterRoundingMode::Floor);
    EXPECT_EQ(formatter.stringFromNumber(2.3f), String("2.3"));
    EXPECT_EQ(formatter.stringFromNumber(0.35f), String("0.3"));
}

TEST(NumberFormatter, DigitGroupingAndSignificantDigitSettings)
{
    NumberFormatter formatter;
    formatter.setLocale(Locale("en_US"));
    formatter.setNumberStyle(NumberFormatterStyle::Decimal);
    EXPECT_EQ(formatter.stringFromNumber(1234567.891), String("1,234,567.891"));
    formatter.setUsesGroupingSeparator(false);
    formatter.setMinimumFractionDigits(2);
    formatter.setMaximumFractionDigits(2);
    formatter.setMinimumIntegerDigits(3);
    EXPECT_EQ(formatter.stringFromNumber(5.5), String("005.50"));
    EXPECT_EQ(formatter.minimumFractionDigits(), 2);
    EXPECT_FALSE(formatter.usesGroupingSeparator());

    NumberFormatter significant;
    significant.setLocale(Locale("de_DE"));
    significant.setNumberStyle(NumberFormatterStyle::Decimal);
    significant.setUsesSignificantDigits(true);
    significant.setMaximumSignificantDigits(2);
    struct Case {
        double value;
        const char* expected;
    };
    for (Case c : { Case { 1.056, "1,1" }, Case { 1234, "1.200" }, Case { 0.0123, "0,012" }, Case { 90, "90" } })
        EXPECT_EQ(significant.stringFromNumber(c.value), String(c.expected)) << c.value;
}

TEST(NumberFormatter, LaterSettingsRefineAFormatAndAFormatResetsThem)
{
    NumberFormatter formatter;
    formatter.setLocale(Locale("en_US"));
    formatter.setFormat("#0.0000 mm");
    EXPECT_EQ(formatter.minimumFractionDigits(), 4);
    formatter.setMaximumFractionDigits(1);
    EXPECT_EQ(formatter.stringFromNumber(1.26), String("1.3 mm"));
    // A new locale keeps the format and the refinement.
    formatter.setLocale(Locale("de_DE"));
    EXPECT_EQ(formatter.stringFromNumber(1.26), String("1,3 mm"));
    EXPECT_EQ(formatter.format(), String("#0.0000 mm"));
    formatter.setFormat("#0.00 cm");
    EXPECT_EQ(formatter.stringFromNumber(1.26), String("1,26 cm"));
    // A format without a number part is refused and changes nothing.
    formatter.setFormat("mm");
    EXPECT_EQ(formatter.format(), String("#0.00 cm"));

    // The warning names a long refused format by its start and length, not in full.
    std::vector<String> logged;
    auto previous = setLogSink([&](LogLevel, const String& line) { logged.push_back(line); });
    formatter.setFormat(String(std::string(100'000, 'x')));
    formatter.setFormat("mm");
    setLogSink(previous);
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_LT(logged[0].length(), 200) << logged[0].utf8().substr(0, 200);
    EXPECT_NE(logged[0].utf8().find("has no number part"), std::string::npos);
    EXPECT_NE(logged[0].utf8().find("100000 characters"), std::string::npos) << logged[0].utf8().substr(0, 200);
    EXPECT_EQ(logged[1], String("Number format \"mm\" has no number part; the format is unchanged."));
}

TEST(NumberFormatter, PrefixAndSuffixReplaceTheFormatsAffixes)
{
    NumberFormatter formatter;
    formatter.setLocale(Locale("en_US"));
    formatter.setRoundingMode(NumberFormatterRoundingMode::Floor);
    formatter.setAllowsFloats(false);
    formatter.setLenient(true);
    formatter.setPositiveSuffix("nd");
    EXPECT_EQ(formatter.stringFromNumber(22.7), String("22nd"));
    EXPECT_EQ(parsed(formatter, "22nd"), "22");
    formatter.setPositiveSuffix("");
    formatter.setPositivePrefix("第");
    EXPECT_EQ(formatter.stringFromNumber(3), String("第3"));
    EXPECT_EQ(formatter.positivePrefix(), String("第"));
}

// A tilde in an affix is text like any other ("~12" for about twelve), in a format and in prefixes and suffixes set
// alone: ICU takes it there for its approximately sign, which its parser cannot read (it aborted the program).
TEST(NumberFormatter, ATildeInAnAffixIsTextThatParsesBack)
{
    NumberFormatter formatter;
    formatter.setLocale(Locale("en_US"));
    formatter.setPositiveSuffix("~");
    EXPECT_EQ(formatter.stringFromNumber(12), String("12~"));
    EXPECT_EQ(parsed(formatter, "12~"), "12");
    EXPECT_EQ(formatter.positiveSuffix(), String("~"));
    formatter.setPositiveSuffix("");
    formatter.setPositivePrefix("~");
    formatter.setNegativePrefix("-~");
    formatter.setNegativeSuffix(" ~~");
    EXPECT_EQ(formatter.stringFromNumber(7), String("~7"));
    EXPECT_EQ(formatter.stringFromNumber(-7), String("-~7 ~~"));
    EXPECT_EQ(parsed(formatter, "~7"), "7");
    EXPECT_EQ(parsed(formatter, "-~7 ~~"), "-7");
    EXPECT_EQ(parsed(formatter, "7~"), "error");
    EXPECT_EQ(formatter.negativeSuffix(), String(" ~~"));

    auto pattern = formatterWithFormat("en_US", "~#0 ~");
    EXPECT_EQ(pattern.stringFromNumber(3), String("~3 ~"));
    EXPECT_EQ(parsed(pattern, "~3 ~"), "3");
}

TEST(NumberFormatter, UnlocalisedFormatKeepsPointAndCommaAndStylesHaveTheirPatterns)
{
    NumberFormatter formatter;
    formatter.setLocale(Locale("de_DE"));
    formatter.setNumberStyle(NumberFormatterStyle::Decimal);
    EXPECT_EQ(formatter.stringFromNumber(1234.5), String("1.234,5"));
    formatter.setLocalizesFormat(false);
    EXPECT_EQ(formatter.stringFromNumber(1234.5), String("1,234.5"));

    NumberFormatter none;
    none.setLocale(Locale("en_US"));
    EXPECT_EQ(none.stringFromNumber(1234.56), String("1235"));
    EXPECT_EQ(none.stringForObjectValue("12"), std::nullopt); // only numbers have text
}

TEST(NumberFormatter, CopiesAreIndependent)
{
    auto original = formatterWithFormat("en_US", "#0.00 pt");
    auto copy = std::static_pointer_cast<NumberFormatter>(original.copy());
    copy->setFormat("#0 cm");
    copy->setLocale(Locale("de_DE"));
    EXPECT_EQ(original.stringFromNumber(1.5), String("1.50 pt"));
    EXPECT_EQ(copy->stringFromNumber(1.5), String("2 cm"));
    EXPECT_TRUE(copy->isKindOf<Formatter>());
}

TEST(NumberFormatter, ChangesAfterUseReachTheFormatterAndCopiesInUseKeepTheirOwn)
{
    // ICU's formatter is set up on first use: every later change must reach it, and a copy of a formatter in use
    // starts from its state without sharing it.
    NumberFormatter formatter;
    formatter.setLocale(Locale("en_US"));
    formatter.setFormat("#0.00");
    EXPECT_EQ(formatter.stringFromNumber(1.239), String("1.24"));
    formatter.setRoundingMode(NumberFormatterRoundingMode::Floor);
    EXPECT_EQ(formatter.stringFromNumber(1.239), String("1.23"));

    NumberFormatter copy = formatter;
    formatter.setMinimumFractionDigits(3);
    EXPECT_EQ(formatter.stringFromNumber(1.2319), String("1.231"));
    EXPECT_EQ(copy.stringFromNumber(1.2319), String("1.23"));
    copy.setRoundingMode(NumberFormatterRoundingMode::Ceiling);
    EXPECT_EQ(copy.stringFromNumber(1.231), String("1.24"));
    EXPECT_EQ(formatter.stringFromNumber(1.2319), String("1.231"));
    formatter.setLocale(Locale("de_DE"));
    EXPECT_EQ(formatter.stringFromNumber(1.2319), String("1,231"));
    EXPECT_EQ(formatter.minimumFractionDigits(), 3);

    NumberFormatter assigned;
    EXPECT_EQ(assigned.stringFromNumber(7), String("7"));
    assigned = copy;
    EXPECT_EQ(assigned.stringFromNumber(1.231), String("1.24"));
    EXPECT_EQ(assigned.format(), String("#0.00"));
}

TEST(NumberFormatter, ArchivesKeepEverySettingInOrder)
{
    auto original = std::make_shared<NumberFormatter>();
    original->setLocale(Locale("de_DE"));
    original->setFormat("#0.0000 mm;(#0.0000) mm");
    original->setUsesGroupingSeparator(false);
    original->setMaximumFractionDigits(2);
    original->setRoundingIncrement(0.05);
    original->setRoundingMode(NumberFormatterRoundingMode::Floor);
    original->setPositivePrefix("≈");
    original->setLenient(true);
    original->setAllowsFloats(false);
    original->setMinimum(-10.0);
    original->setLocalizesFormat(false);

    auto keyed = KeyedArchiver::archivedDataWithRootObject(Value(original));
    ASSERT_TRUE(keyed);
    auto sequential = SequentialArchiver::archivedDataWithRootObject(Value(original));
    ASSERT_TRUE(sequential);
    std::shared_ptr<NumberFormatter> decodedForms[] = {
        KeyedUnarchiver::unarchiveTopLevelObjectWithData(*keyed)->objectAs<NumberFormatter>(),
        SequentialUnarchiver::unarchiveTopLevelObjectWithData(*sequential)->objectAs<NumberFormatter>(),
    };
    for (const auto& decoded : decodedForms) {
        ASSERT_TRUE(decoded);
        for (double value : { 1.2345, -3.99, 12345.678 })
            EXPECT_EQ(decoded->stringFromNumber(value), original->stringFromNumber(value)) << value;
        EXPECT_EQ(decoded->stringFromNumber(1.2345), String("≈1.20 mm"));
        EXPECT_EQ(decoded->format(), original->format());
        EXPECT_EQ(decoded->locale(), original->locale());
        EXPECT_EQ(decoded->roundingMode(), NumberFormatterRoundingMode::Floor);
        EXPECT_TRUE(decoded->isLenient());
        EXPECT_FALSE(decoded->allowsFloats());
        EXPECT_EQ(decoded->minimum(), -10.0);
        EXPECT_EQ(decoded->maximum(), std::nullopt);
    }
}

TEST(NumberFormatter, DamagedArchiveSettingsAreLeftOut)
{
    // An archive whose settings were tampered with: unknown names, wrong types and absurd digit counts.
    auto original = std::make_shared<NumberFormatter>();
    original->setLocale(Locale("en_US"));
    original->setFormat("#0.00");
    auto data = KeyedArchiver::archivedDataWithRootObject(Value(original)).value();
    std::string xml(data.view());
    auto settings = xml.find("<key>settings</key>");
    ASSERT_NE(settings, std::string::npos);
    auto array = xml.find("<array/>", settings);
    ASSERT_NE(array, std::string::npos) << xml;
    auto entry = [](const char* key, const char* value) {
        return std::string("<dict><key>$dictionary</key><dict><key>") + key + "</key>" + value + "</dict></dict>";
    };
    xml.replace(array, 8,
        "<array>" + entry("maximumFractionDigits", "<real>1e300</real>") + entry("noSuchSetting", "<real>3</real>")
            + entry("positiveSuffix", "<real>3</real>") + entry("minimumIntegerDigits", "<real>3</real>") + "</array>");
    auto decoded = KeyedUnarchiver::unarchiveTopLevelObjectWithData(Data::fromString(xml));
    ASSERT_TRUE(decoded) << decoded.error().localizedDescription();
    auto formatter = decoded->objectAs<NumberFormatter>();
    ASSERT_TRUE(formatter);
    EXPECT_EQ(formatter->stringFromNumber(1.5), String("001.50"));
}
