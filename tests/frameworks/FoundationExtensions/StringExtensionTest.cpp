#include "frameworks/FoundationExtensions/ZORMutableStringExtension.h"
#include "frameworks/FoundationExtensions/ZORNSNumberExtensions.h"
#include "frameworks/FoundationExtensions/ZORNSStringExtension.h"
#include "frameworks/FoundationExtensions/ZORTruncation.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/ui/views/Event.h"
#include "support/SpecialFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace {

using namespace ZORNSStringExtension;
using fnd::String;

const String Ellipsis = String::fromCodePoint(0x2026);

TEST(StringExtension, UniqueNamesCountOnFromATrailingCounter)
{
    struct Case {
        const char* name;
        fnd::StringArray taken;
        const char* expected;
    };
    const Case cases[] = {
        { "Name", { "Name", "Name 1" }, "Name 2" },
        { "Item7", { "Item7" }, "Item 8" },
        // The first character is never a counter.
        { "7", { "7" }, "7 1" },
        // The blank before a counter belongs to the separator, not to the stem.
        { "Name 1", { "Name 1" }, "Name 2" },
        { "Name 1", { "Name 1", "Name 2" }, "Name 3" },
        { "Free", { "Name" }, "Free" },
        // A counter is its integer value: leading zeros go.
        { "Item 007", { "Item 007", "Item 8" }, "Item 9" },
        // Counters at and beyond what 64 bits hold go on counting; their digits were once cut short.
        { "Name 9223372036854775806", { "Name 9223372036854775806", "Name 9223372036854775807" },
            "Name 9223372036854775808" },
        { "Name 9223372036854775807", { "Name 9223372036854775807" }, "Name 9223372036854775808" },
        { "Name 18446744073709551615", { "Name 18446744073709551615" }, "Name 18446744073709551616" },
        { "Name 99999999999999999999", { "Name 99999999999999999999" }, "Name 100000000000000000000" },
        { "Name 0000099999999999999999999", { "Name 0000099999999999999999999", "Name 100000000000000000000" },
            "Name 100000000000000000001" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(uniqueStringWithString(c.name, c.taken), String(c.expected)) << c.name;

    EXPECT_EQ(uniqueFilenameWithString("Report.pdf", { "Report.pdf", "Report 1.pdf" }), String("Report 2.pdf"));
    EXPECT_EQ(uniqueFilenameWithString("Report", { "Report.pdf" }), String("Report 1"));
    EXPECT_EQ(uniqueFilenameWithString("Other.pdf", { "Report.pdf" }), String("Other.pdf"));
    EXPECT_EQ(uniqueFilenameWithString("Scan 9223372036854775807.png", { "Scan 9223372036854775807.png" }),
        String("Scan 9223372036854775808.png"));

    EXPECT_EQ(uniqueCopyStringWithString("  Barcode ", {}), String("Barcode copy"));
    EXPECT_EQ(uniqueCopyStringWithString("Barcode", { "Barcode copy" }), String("Barcode copy 1"));
    EXPECT_EQ(
        uniqueCopyStringWithString("Barcode copy", { "Barcode copy", "Barcode copy 1" }), String("Barcode copy 2"));
}

TEST(StringExtension, TruncationKeepsTheLimitAndWholeCharacters)
{
    using ZORTruncation::stringWithEllipsisByTruncatingToLength;
    EXPECT_EQ(stringWithEllipsisByTruncatingToLength("abcdefgh", 5), String("abcd") + Ellipsis);
    EXPECT_EQ(stringWithEllipsisByTruncatingToLength("abcdefgh", 8), String("abcdefgh"));
    EXPECT_EQ(stringWithEllipsisByTruncatingToLength("abcdefgh", 1), Ellipsis);
    EXPECT_EQ(stringWithEllipsisByTruncatingToLength("abcdefgh", 0), String());
    EXPECT_EQ(stringWithEllipsisByTruncatingToLength("abcdefgh", -3), String());
    // Cutting after 3 units would leave half of the pair.
    String astral = String("ab") + String::fromCodePoint(0x1F600) + String("cd");
    EXPECT_EQ(stringWithEllipsisByTruncatingToLength(astral, 4), String("ab") + Ellipsis);
    EXPECT_EQ(stringWithEllipsisByTruncatingToLength(astral, 5), astral.substringTo(4) + Ellipsis);
    EXPECT_EQ(stringByAppendingEllipsis("and so on"), String("and so on") + Ellipsis);
}

TEST(StringExtension, EntitiesEncodeOnceAndDecodeInOnePass)
{
    EXPECT_EQ(stringByConvertCharactersToHTML("<a & \"b\">\n"), String("&lt;a &amp; &quot;b&quot;&gt;<br>"));
    EXPECT_EQ(stringByConvertCharactersToHTML("\u00A0caf\u00E9 \u00FF"), String("&nbsp;caf&eacute; &yuml;"));
    EXPECT_EQ(stringByConvertCharactersToHTML("\u20AC\u0100'"), String("&#8364;&#256;'"));
    // A character beyond the BMP is one reference to its code point.
    EXPECT_EQ(stringByConvertCharactersToHTML(String::fromCodePoint(0x1F600)), String("&#128512;"));
    EXPECT_EQ(stringByConvertCharactersToHTML("\uFFF0x"), String("\uFFF0x"));

    String xml = "a<b>&'c\"";
    EXPECT_EQ(stringByConvertCharactersToXML(xml), String("a&lt;b&gt;&amp;&apos;c&quot;"));
    EXPECT_EQ(stringByConvertXMLToChars(stringByConvertCharactersToXML(xml)), xml);
    EXPECT_EQ(stringByConvertXMLToChars("&amp;lt; &amp;amp; &lt;&gt;&quot;&apos; &unknown;"),
        String("&lt; &amp; <>\"' &unknown;"));

    String inPlace = "1 < 2";
    ZORMutableStringExtension::XMLEntities(inPlace);
    EXPECT_EQ(inPlace, String("1 &lt; 2"));
}

TEST(StringExtension, ISBNConversionsRecomputeTheCheckDigitAndRefuseWhatIsNoISBN)
{
    EXPECT_EQ(convertISBN10ToISBN13("0306406152"), String("9780306406157"));
    EXPECT_EQ(convertISBN13ToISBN10("9780306406157"), String("0306406152"));
    // The old check digit is replaced, and X is a check digit.
    EXPECT_EQ(convertISBN10ToISBN13("080442957X"), String("9780804429573"));
    EXPECT_EQ(convertISBN13ToISBN10("9780804429573"), String("080442957X"));
    EXPECT_EQ(convertISBN13ToISBN10("9780306406150"), String("0306406152"));
    // Only the first 10 or 13 characters count.
    EXPECT_EQ(convertISBN10ToISBN13("0306406152 (paperback)"), String("9780306406157"));
    // Too short: the template with its own check digit.
    EXPECT_EQ(convertISBN13ToISBN10("123"), String("0000000000"));
    EXPECT_EQ(convertISBN10ToISBN13("123"), String("9780000000002"));

    EXPECT_EQ(convertISBN13ToISBN10("9791234567896"), std::nullopt) << "979 numbers have no ISBN-10";
    EXPECT_EQ(convertISBN10ToISBN13("0-306-40615-2"), std::nullopt);
    EXPECT_EQ(convertISBN10ToISBN13("03064O6152"), std::nullopt);
    EXPECT_EQ(convertISBN13ToISBN10("978030640615X"), std::nullopt);
    EXPECT_EQ(convertISBN13ToISBN10("97a"), std::nullopt);
}

TEST(StringExtension, WrittenNumbers)
{
    using namespace ZORNSNumberExtensions;
    struct Case {
        unsigned long long value;
        std::int32_t type;
        const char* expected;
    };
    const Case cases[] = {
        { 1994, UppercaseRoman, "MCMXCIV" },
        { 49, UppercaseRoman, "XLIX" },
        { 3888, UppercaseRoman, "MMMDCCCLXXXVIII" },
        { 4999, UppercaseRoman, "MMMMCMXCIX" },
        { 5000, UppercaseRoman, "NUL" },
        { 14, LowercaseRoman, "xiv" },
        { 1, UppercaseLetters, "A" },
        { 26, UppercaseLetters, "Z" },
        { 27, UppercaseLetters, "AA" },
        { 28, UppercaseLetters, "AB" },
        { 52, UppercaseLetters, "AZ" },
        { 703, LowercaseLetters, "aaa" },
        { 1994, Decimal, "1994" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(numberToStringWithType(fnd::Number(c.value), c.type), String(c.expected))
            << c.value << " type " << c.type;
    // Zero is "NUL" for every type, known or not.
    for (std::int32_t type : { 0, 1, 2, 3, 4, 5, 7, -1 })
        EXPECT_EQ(numberToStringWithType(fnd::Number(0), type), String("NUL")) << "type " << type;
    EXPECT_EQ(numberToStringWithType(fnd::Number(5), 7), std::nullopt);
    EXPECT_EQ(numberToStringWithType(fnd::Number(5), -1), std::nullopt);
}

TEST(StringExtension, SmallTextsAndGlyphs)
{
    const String star = String::fromCodePoint(0x272D);
    EXPECT_EQ(stringForRating(9), stringWithString(star, 5));
    EXPECT_EQ(stringForRating(2), star + star);
    EXPECT_EQ(stringForRating(0), String("-"));
    EXPECT_EQ(stringWithString("ab", 3), String("ababab"));
    EXPECT_EQ(stringWithString("ab", -1), String());
    EXPECT_EQ(stringWithStrings({ "a", "", "bc" }), String("abc"));

    using namespace ui::ModifierFlags;
    EXPECT_EQ(stringForKeyEquivalent("K", Shift | Control | Alternate | Command), String("\u2318\u2325^\u21E7K"));
    EXPECT_EQ(stringForKeyEquivalent("s", Command), String("\u2318s"));
    EXPECT_EQ(stringForKeyEquivalent("x", 0), String("x"));

    EXPECT_EQ(stringWithCharacter(0x1F600).length(), 2);
    EXPECT_EQ(stringWithCharacter(0x1F600), String::fromCodePoint(0x1F600));
    EXPECT_EQ(horizontalEllipsisString(), Ellipsis);
    EXPECT_EQ(&emdashString(), &emdashString()) << "made once";
    EXPECT_EQ(stringByReplacNotFilenameConformCharacters("a/b:c\\d"), String("a-b-c-d"));
    EXPECT_EQ(stringByRemovingCharactersInSet("a1b2c3", fnd::CharacterSet::decimalDigitCharacterSet()), String("abc"));
    EXPECT_EQ(stringByRemovingCharactersInSet("AbaB", fnd::CharacterSet::characterSetWithCharactersInString("a"),
                  fnd::StringCompareOptions::CaseInsensitive),
        String("bB"));
    EXPECT_EQ(
        stringByRemovingCharacter(String("x") + String::fromCodePoint(0x1F600) + String("y"), 0x1F600), String("xy"));
    EXPECT_EQ(stringByReplaceOccurrencesOfString("a.b.c", ".", "-", fnd::StringCompareOptions::None, { 2, 3 }),
        String("a.b-c"));

    EXPECT_EQ(ZORNSStringExtension::stringWithData(fnd::Data::fromString("caf\xC3\xA9"), fnd::StringEncoding::UTF8),
        String("caf\u00E9"));
    EXPECT_EQ(
        ZORNSStringExtension::stringWithData(fnd::Data::fromString("\xC3"), fnd::StringEncoding::UTF8), std::nullopt);
}

TEST(StringExtension, DisplayWindowAroundARange)
{
    const String text = "0123456789ABCDEFGHIJ";
    EXPECT_EQ(displayStringForRange(text, { 10, 2 }, 6), Ellipsis + String("89ABCD") + Ellipsis);
    EXPECT_EQ(displayStringForRange(text, { 0, 2 }, 6), String("012345") + Ellipsis);
    // Past the end the window moves back to the end.
    EXPECT_EQ(displayStringForRange(text, { 18, 2 }, 6), Ellipsis + String("EFGHIJ"));
    // A range as long as the window starts it.
    EXPECT_EQ(displayStringForRange(text, { 4, 9 }, 6), Ellipsis + String("456789") + Ellipsis);
    EXPECT_EQ(displayStringForRange(text, { 17, 9 }, 6), Ellipsis + String("EFGHIJ"));
    EXPECT_EQ(displayStringForRange(text, fnd::Range::notFound(), 6), text);

    // Short text comes back as it is, line breaks included; a window shows line breaks as single blanks.
    EXPECT_EQ(displayStringForRange("one\r\ntwo", { 0, 1 }, 20), String("one\r\ntwo"));
    EXPECT_EQ(displayStringForRange("line one\r\nline two and more", { 6, 2 }, 14), String("line one line") + Ellipsis);
}

TEST(StringExtension, NamesSplitIntoFirstAndLast)
{
    struct Case {
        const char* name;
        const char* first;
        const char* last;
    };
    const Case cases[] = {
        { "", "", "" },
        { "Smith, John", "John", "Smith" },
        { "Doe ;Jane", "Jane", "Doe" },
        { "Ludwig van von Beethoven", "Ludwig van", "von Beethoven" },
        { "Anna VON Stein", "Anna", "VON Stein" },
        { "Mary Ann Smith", "Mary Ann", "Smith" },
        { "Mary\tSmith", "Mary", "Smith" },
        { "Cher", "", "Cher" },
    };
    for (const auto& c : cases) {
        auto parts = firstAndLastNameOfNameString(c.name);
        ASSERT_EQ(parts.size(), 2u);
        EXPECT_EQ(parts[0], String(c.first)) << c.name;
        EXPECT_EQ(parts[1], String(c.last)) << c.name;
    }
}

TEST(StringExtension, AddressesAndPercentEscapes)
{
    EXPECT_EQ(percentEncodedRfc3986String(";/?:@&=+$,[]#!'()*"),
        String("%3B%2F%3F%3A%40%26%3D%2B%24%2C%5B%5D%23%21%27%28%29%2A"));
    EXPECT_EQ(percentEncodedRfc3986String("a b%c\u00E9"), String("a b%c\u00E9"));
    EXPECT_EQ(decodeAllPercentEscapes("%E2%82%AC%20x"), String("\u20AC x"));
    EXPECT_EQ(decodeAllPercentEscapes("100%"), std::nullopt);
    EXPECT_EQ(
        convertToURLConformString("http://x.org/a b%20c/\u00E9?q=1#f"), String("http://x.org/a%20b%20c/%C3%A9?q=1#f"));
    EXPECT_EQ(convertToURLConformString("100%"), String("100%25"));

    EXPECT_TRUE(validateEMailAddress("me@example.org"));
    EXPECT_FALSE(validateEMailAddress("@example.org"));
    EXPECT_FALSE(validateEMailAddress("me@"));
    EXPECT_FALSE(validateEMailAddress("me@example"));
    EXPECT_FALSE(validateEMailAddress(".me@example"));
    EXPECT_TRUE(validateURL("example.org"));
    EXPECT_FALSE(validateURL("example."));
    EXPECT_FALSE(validateURL(".org"));
    EXPECT_EQ(completedURLStringForString("example.org"), String("http://example.org"));
    EXPECT_EQ(completedURLStringForString("ftp://example.org"), String("ftp://example.org"));
}

TEST(StringExtension, TypeIdentifiersComeFromTheFileAndTheMIMEDatabase)
{
    auto folder = std::filesystem::temp_directory_path() / ("strext-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    // A PNG signature and header: the content decides, whatever the name says.
    const char png[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\1\0\0\0\1\x08\x06\0\0\0\x1f\x15\xc4\x89";
    auto path = String((folder / "picture.dat").string());
    ASSERT_TRUE(fnd::FileManager::defaultManager().writeAtomically(path, fnd::Data(png, sizeof png - 1)));
    EXPECT_EQ(universalTypeForFile(path), String("public.png"));
    EXPECT_EQ(universalTypeForFile(String(folder.string())), String("public.folder"));
    EXPECT_EQ(universalTypeForFile(String((folder / "missing").string())), std::nullopt);
    std::filesystem::remove_all(folder);
    // A named pipe is named by its kind, never opened (which would wait for a writer).
    testsupport::WatchedSpecialFiles special("picture.png");
    ASSERT_TRUE(special.isReady());
    std::optional<String> pipe;
    EXPECT_TRUE(special.runBounded([&] { pipe = universalTypeForFile(String(special.pipe())); }));
    EXPECT_EQ(pipe, String("inode/fifo"));
    EXPECT_EQ(universalTypeForFile("/dev/null"), String("inode/chardevice"));
    EXPECT_TRUE(special.opened().empty());

    EXPECT_TRUE(UTIConformsTo("public.png", "public.image"));
    EXPECT_TRUE(UTIConformsTo("public.png", "public.png"));
    EXPECT_FALSE(UTIConformsTo("public.png", "com.adobe.pdf"));
    EXPECT_TRUE(UTIConformsToUTIOf("com.adobe.pdf", { 7, "public.image", "com.adobe.pdf" }));
    EXPECT_FALSE(UTIConformsToUTIOf("com.adobe.pdf", { "public.image" }));
}

TEST(StringExtension, IdentifiersAndTimeStamps)
{
    auto a = ZORNSStringExtension::UUID();
    auto b = ZORNSStringExtension::UUID();
    EXPECT_NE(a, b);
    EXPECT_TRUE(
        std::regex_match(a.utf8(), std::regex("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}")))
        << a;
    auto stamp = timeStampForFileOperation().utf8();
    EXPECT_TRUE(std::regex_match(stamp, std::regex("20[0-9]{12}[+-][0-9]{4}[0-9]{3}"))) << stamp;
}

}
