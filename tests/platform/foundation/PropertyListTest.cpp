#include "platform/foundation/archiving/PropertyList.h"

#include "platform/foundation/runtime/Object.h"

#include "platform/foundation/ValuePrinter.h"

#include <gtest/gtest.h>
#include <libxml/xmlerror.h>

#include <cmath>
#include <limits>

using namespace fnd;

namespace {

Data bytes(std::string_view text)
{
    return Data::fromString(text);
}

std::string plist(std::string_view body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n" + std::string(body) + "\n</plist>\n";
}

Value roundTrip(const Value& value)
{
    auto written = PropertyList::writeXML(value);
    EXPECT_TRUE(written) << written.error().localizedDescription();
    if (!written)
        return {};
    auto read = PropertyList::read(*written);
    EXPECT_TRUE(read) << read.error().localizedDescription() << "\n" << written->view();
    return read ? *read : Value();
}

}

TEST(PropertyList, WritesTheDocumentedXML)
{
    Dictionary root {
        { "name", "A & B <C>" },
        { "count", 3 },
        { "ratio", 0.1 },
        { "on", true },
        { "bytes", Data::fromString("abc") },
        { "when", Date::fromReferenceDate(0) },
        { "list", Array { 1, "two", Array {}, Dictionary {} } },
    };
    auto written = PropertyList::writeXML(root);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->view(),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<plist version=\"1.0\">\n"
        "<dict>\n"
        "\t<key>bytes</key>\n"
        "\t<data>YWJj</data>\n"
        "\t<key>count</key>\n"
        "\t<integer>3</integer>\n"
        "\t<key>list</key>\n"
        "\t<array>\n"
        "\t\t<integer>1</integer>\n"
        "\t\t<string>two</string>\n"
        "\t\t<array/>\n"
        "\t\t<dict/>\n"
        "\t</array>\n"
        "\t<key>name</key>\n"
        "\t<string>A &amp; B &lt;C&gt;</string>\n"
        "\t<key>on</key>\n"
        "\t<true/>\n"
        "\t<key>ratio</key>\n"
        "\t<real>0.1</real>\n"
        "\t<key>when</key>\n"
        "\t<date>2001-01-01T00:00:00Z</date>\n"
        "</dict>\n"
        "</plist>\n");
}

// Data of every length modulo three: whole groups, then a group padded after two or three characters.
TEST(PropertyList, DataIsWrittenAsPaddedBase64)
{
    const std::pair<const char*, const char*> cases[]
        = { { "", "" }, { "a", "YQ==" }, { "ab", "YWI=" }, { "abcd", "YWJjZA==" }, { "abcde", "YWJjZGU=" } };
    for (const auto& [bytes, text] : cases) {
        auto written = PropertyList::writeXML(Array { Data::fromString(bytes) });
        ASSERT_TRUE(written);
        EXPECT_NE(written->view().find(std::string("<data>") + text + "</data>"), std::string_view::npos) << bytes;
    }
}

TEST(PropertyList, EveryKindOfValueRoundTrips)
{
    std::vector<std::uint8_t> allBytes(256);
    for (int i = 0; i < 256; ++i)
        allBytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    const std::vector<std::pair<const char*, Value>> cases {
        { "int64 min", std::numeric_limits<std::int64_t>::min() },
        { "int64 max", std::numeric_limits<std::int64_t>::max() },
        { "uint64 max", std::numeric_limits<std::uint64_t>::max() },
        { "zero", 0 },
        { "tenth", 0.1 },
        { "third", 1.0 / 3.0 },
        { "tiny", 1e-300 },
        { "denormal", std::numeric_limits<double>::denorm_min() },
        { "largest double", std::numeric_limits<double>::max() },
        { "whole real", 1e22 },
        { "float", 0.9354330708661419f },
        { "infinity", std::numeric_limits<double>::infinity() },
        { "-infinity", -std::numeric_limits<double>::infinity() },
        { "false", false },
        { "true", true },
        { "empty string", "" },
        { "spaces kept", "  two  spaces \n\t " },
        { "carriage return", "a\r\nb\rc" },
        { "markup", "<plist>&amp;</plist> ]]>" },
        { "unicode", "Gr\u00fc\u00dfe \u20ac \U0001F600 \u4e2d" },
        { "empty data", Data() },
        { "one byte", Data::fromString("a") },
        { "two bytes", Data::fromString("ab") },
        { "all bytes", Data(allBytes) },
        { "reference date", Date::fromReferenceDate(0) },
        { "fractional date", Date::fromReferenceDate(123456789.123) },
        { "fine fraction", Date::fromReferenceDate(0.000001) },
        { "negative fraction", Date::fromReferenceDate(-1.75) },
        { "before 1970", Date::fromUnixTime(-86400.5) },
        { "distant past", Date::distantPast() },
        { "distant future", Date::distantFuture() },
        { "leap day", Date::fromUnixTime(951782400) }, // 2000-02-29
        { "nested", Array { Dictionary { { "k", Array { Array { 1 } } } }, Data(), "x" } },
        { "empty containers", Array { Array {}, Dictionary {} } },
        // Keys on either side of dictionaries nested at several depths stay with their own values.
        { "keys around nesting",
            Dictionary { { "a", Dictionary { { "x", Dictionary { { "p", 1 } } }, { "y", Dictionary {} } } },
                { "b", Array { Dictionary { { "q", "s" } } } }, { "c", 3 } } },
        { "odd keys", Dictionary { { "", 1 }, { "a<b", 2 }, { "\u00e9", 3 } } },
    };
    for (const auto& [name, value] : cases)
        EXPECT_EQ(roundTrip(value), value) << name;

    Value negativeZero = roundTrip(-0.0);
    ASSERT_TRUE(negativeZero.isNumber());
    EXPECT_TRUE(std::signbit(negativeZero.doubleValue()));
    EXPECT_TRUE(std::isnan(roundTrip(std::nan("")).doubleValue()));
    // Integers stay integers and reals stay reals.
    EXPECT_FALSE(roundTrip(7).number()->isReal());
    EXPECT_TRUE(roundTrip(7.0).number()->isReal());
    EXPECT_EQ(roundTrip(std::numeric_limits<std::uint64_t>::max()).number()->unsignedValue(),
        std::numeric_limits<std::uint64_t>::max());
}

TEST(PropertyList, ReadsTheFormsOtherWritersUse)
{
    const std::vector<std::pair<std::string, Value>> cases {
        { "<!DOCTYPE plist PUBLIC \"-//X//DTD PLIST 1.0//EN\" \"http://192.0.2.1/PropertyList-1.0.dtd\">"
          "<plist version=\"1.0\"><string>doctype ignored</string></plist>",
            "doctype ignored" },
        { plist("<!-- note --><dict>\n  <key>a</key> <!-- c --> <integer> -12 </integer>\n</dict>"),
            Dictionary { { "a", -12 } } },
        { plist("<string><![CDATA[<raw> & ]]>&#x20AC;&lt;</string>"), "<raw> & \u20ac<" },
        { plist("<data>\n\tYWJj\n\tZA==\n</data>"), Data::fromString("abcd") },
        { plist("<data>YWI</data>"), Data::fromString("ab") },
        { plist("<real>+1.5E3</real>"), 1500.0 },
        { plist("<real>.5</real>"), 0.5 },
        { plist("<real>-Infinity</real>"), -std::numeric_limits<double>::infinity() },
        { plist("<integer>+42</integer>"), 42 },
        { plist("<integer>18446744073709551615</integer>"), std::numeric_limits<std::uint64_t>::max() },
        { plist("<date>2024-02-29</date>"), Date::fromUnixTime(1709164800) },
        { plist("<date>2024-02-29T12Z</date>"), Date::fromUnixTime(1709164800 + 43200) },
        { plist("<date>1970-01-01T00:00:00.25Z</date>"), Date::fromUnixTime(0.25) },
        { plist("<dict><key>k</key><integer>1</integer><key>k</key><integer>2</integer></dict>"),
            Dictionary { { "k", 2 } } },
        // Empty dictionaries read before any other value is held.
        { plist("<dict>\t</dict>"), Dictionary {} },
        { plist("<array><dict/><dict><key>k</key><integer>7</integer></dict></array>"),
            Array { Dictionary {}, Dictionary { { "k", 7 } } } },
        { plist("<true/>"), true },
        { plist("<false></false>"), false },
        { "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><plist><string>\xe9</string></plist>", "\u00e9" },
    };
    for (const auto& [text, expected] : cases) {
        auto read = PropertyList::read(bytes(text));
        ASSERT_TRUE(read) << text << "\n" << read.error().localizedDescription();
        EXPECT_EQ(*read, expected) << text;
    }
}

TEST(PropertyList, MalformedInputGivesAClearError)
{
    std::string deep;
    for (int i = 0; i < PropertyList::MaxDepth + 1; ++i)
        deep += "<array>";
    for (int i = 0; i < PropertyList::MaxDepth + 1; ++i)
        deep += "</array>";
    std::string laughs
        = "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY a \"aaaaaaaaaa\">"
          "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>"
          "<plist><string>&c;&c;&c;&c;</string></plist>";

    const std::vector<std::pair<std::string, std::string>> cases {
        { "", "empty" },
        { "not xml at all", "line 1" },
        { plist("<dict><key>a</key><string>trunc"), "line" },
        { "<plist><array><string>x</array></string></plist>", "line 1" },
        { "<root><string>x</string></root>", "not <plist>" },
        { "<plist></plist>", "holds no value" },
        { "<plist><true/><false/></plist>", "more than one value" },
        { plist("<dict><key>a</key></dict>"), "\"a\" has no value" },
        { plist("<dict><string>a</string><integer>1</integer></dict>"), "where a <key> belongs" },
        { plist("<array>text<true/></array>"), "stray text" },
        { plist("<true>yes</true>"), "must be empty" },
        { plist("<string>a<b/></string>"), "only text" },
        { plist("<number>1</number>"), "not a property-list element" },
        { plist("<integer>12x</integer>"), "not an integer" },
        { plist("<integer></integer>"), "not an integer" },
        { plist("<integer>0x10</integer>"), "not an integer" },
        { plist("<integer>18446744073709551616</integer>"), "beyond 64 bits" },
        { plist("<integer>-9223372036854775809</integer>"), "beyond 64 bits" },
        { plist("<integer>99999999999999999999999999999999</integer>"), "beyond 64 bits" },
        { plist("<real>1e400</real>"), "beyond the range" },
        { plist("<real>1.5.2</real>"), "not a real" },
        { plist("<real>--1</real>"), "not a real" },
        { plist("<data>YW*j</data>"), "base64" },
        { plist("<data>Y</data>"), "base64" },
        { plist("<data>YQ==YQ==</data>"), "base64" },
        { plist("<data>YWJj=</data>"), "base64" },
        { plist("<date>2023-02-29T00:00:00Z</date>"), "not an ISO 8601 date" },
        { plist("<date>2023-13-01</date>"), "not an ISO 8601 date" },
        { plist("<date>2023-01-01T24:00:00Z</date>"), "not an ISO 8601 date" },
        { plist("<date>yesterday</date>"), "not an ISO 8601 date" },
        { plist("<date>2023-01-01T00:00:00Zjunk</date>"), "not an ISO 8601 date" },
        { plist(deep), "" },
        { laughs, "declares entities" },
        { "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
          "<plist><string>&x;</string></plist>",
            "declares entities" },
        { "<plist><string>&undefined;</string></plist>", "" },
        { "bplist00\xd0\x08", "binary" },
        { std::string("<plist><string>a\0b</string></plist>", 36), "" },
    };
    for (const auto& [text, expected] : cases) {
        auto read = PropertyList::read(bytes(text));
        ASSERT_FALSE(read) << text;
        EXPECT_EQ(read.error().domain(), ErrorDomain::Cocoa);
        EXPECT_EQ(read.error().code(), PropertyList::ReadCorruptError);
        std::string message = read.error().localizedDescription().utf8();
        EXPECT_TRUE(message.starts_with("The property list could not be read: ")) << message;
        EXPECT_NE(message.find(expected), std::string::npos) << text << "\n" << message;
        // The error is the reader's to report: libxml2 keeps no copy of this document's text.
        EXPECT_EQ(xmlGetLastError(), nullptr) << text;
    }
}

TEST(PropertyList, NestingUpToTheLimitRoundTrips)
{
    Value deepest = 1;
    for (int i = 0; i < PropertyList::MaxDepth; ++i)
        deepest = Array { deepest };
    EXPECT_EQ(roundTrip(deepest), deepest);

    Value tooDeep = Dictionary { { "k", deepest } };
    auto written = PropertyList::writeXML(tooDeep);
    ASSERT_FALSE(written);
    EXPECT_NE(written.error().localizedDescription().utf8().find("nested more than"), std::string::npos);
}

TEST(PropertyList, ValuesAPropertyListCannotHoldAreRefused)
{
    const std::vector<std::pair<Value, std::string>> cases {
        { Value(), "the root is nil" },
        { Dictionary { { "a", Array { 1, Null {} } } }, "the value at a/1 is a null object" },
        { Array { gfx::Rect(1, 2, 3, 4) }, "the value at 0 is the geometry value" },
        { Array { Range { 1, 2 } }, "geometry" },
        { Dictionary { { "o", std::make_shared<Object>() } }, "is an object of class NSObject" },
        { String(u"bell \u0007"), "holds U+0007 at index 5" },
        { String(std::u16string { u'a', char16_t(0xD800) }), "unpaired surrogate (U+D800) at index 1" },
        { Dictionary { { String(u"\uFFFF"), 1 } }, "U+FFFF" },
        { Date::fromReferenceDate(std::nan("")), "date outside" },
        { Date::fromUnixTime(253402300800.0), "date outside" }, // 10000-01-01
    };
    for (const auto& [value, expected] : cases) {
        auto written = PropertyList::writeXML(value);
        ASSERT_FALSE(written) << expected;
        EXPECT_EQ(written.error().code(), PropertyList::WriteInvalidError);
        std::string message = written.error().localizedDescription().utf8();
        EXPECT_NE(message.find(expected), std::string::npos) << message;
    }
}
