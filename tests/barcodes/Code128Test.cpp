#include "support/DecoderCheck.h"

#include "barcodes/Code128.h"
#include "barcodes/Code128Patterns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fnd;

namespace {

std::shared_ptr<TBQGenericBarcode> make(const char* className, const String& content)
{
    auto barcode = TBQGenericBarcode::barcodeWithClassName(className);
    EXPECT_TRUE(barcode) << className;
    if (barcode)
        barcode->setContent(content);
    return barcode;
}

// Element widths of a module string: "1110010" → "3211".
std::string widthsOf(std::string_view modules)
{
    std::string widths;
    for (std::size_t i = 0; i < modules.size();) {
        std::size_t j = i;
        while (j < modules.size() && modules[j] == modules[i])
            ++j;
        widths += static_cast<char>('0' + (j - i));
        i = j;
    }
    return widths;
}

// Reads a symbol back into its values (start, data, check), checking the stop pattern; empty when malformed.
std::vector<int> symbolValues(const ModuleString& modules)
{
    std::vector<int> values;
    if (modules.size() < 13 || (modules.size() - 13) % 11 != 0)
        return {};
    if (widthsOf(modules.substr(modules.size() - 13)) != Code128Patterns::Stop)
        return {};
    for (std::size_t at = 0; at + 13 < modules.size(); at += 11) {
        auto widths = widthsOf(modules.substr(at, 11));
        int value = -1;
        for (int v = 0; v < 106; ++v) {
            if (Code128Patterns::widths(v) == widths)
                value = v;
        }
        if (value < 0)
            return {};
        values.push_back(value);
    }
    return values;
}

// Appends the modulo-103 check value, position-weighted after the start character.
std::vector<int> withCheck(std::vector<int> values)
{
    long sum = values[0];
    for (std::size_t i = 1; i < values.size(); ++i)
        sum += static_cast<long>(i) * values[i];
    values.push_back(static_cast<int>(sum % 103));
    return values;
}

std::string dump(const std::vector<int>& values)
{
    std::string out;
    for (int v : values)
        out += std::to_string(v) + " ";
    return out;
}

constexpr int StartB = 104, StartC = 105, CodeB = 100, CodeC = 99, FNC1 = 102;

}

TEST(Code128, CodeSetChoices)
{
    struct Case {
        const char* content;
        std::vector<int> values; // without the check value
    };
    const Case cases[] = {
        { "12", { StartC, 12 } },
        { "1234", { StartC, 12, 34 } },
        { "123", { StartB, 17, 18, 19 } },
        { "12345", { StartC, 12, 34, CodeB, 21 } }, // the odd digit goes to set B at the end
        { "123456789", { StartC, 12, 34, 56, 78, CodeB, 25 } },
        { "abc", { StartB, 65, 66, 67 } }, // starts in B by latch, not by Shift
        { "ABC", { StartB, 33, 34, 35 } },
        { "AB1234CD", { StartB, 33, 34, CodeC, 12, 34, CodeB, 35, 36 } },
        // K and the first digit in B, then 23 45 67 in C, back to B for M
        { "K1234567M", { StartB, 43, 17, CodeC, 23, 45, 67, CodeB, 45 } },
        { "A12B", { StartB, 33, 17, 18, 34 } }, // short digit runs stay in B
        { "x", { StartB, 88 } },
        { "Hello World", { StartB, 40, 69, 76, 76, 79, 0, 55, 79, 82, 76, 68 } },
    };
    for (const auto& c : cases) {
        auto b = make("Code128", c.content);
        auto modules = b->completeEncodedBarcode();
        EXPECT_EQ(symbolValues(modules), withCheck(c.values))
            << "Code128 \"" << c.content << "\" → " << modules << " = " << dump(symbolValues(modules));
        EXPECT_EQ(modules.size(), 11 * (c.values.size() + 1) + 13) << c.content;
    }
    EXPECT_EQ(withCheck({ StartB, 33, 34, 35 }).back(), 1);
}

TEST(Code128, ContentCleaningAndLimits)
{
    // Lower case stays; "=", the grave accent and anything outside printable ASCII are dropped.
    auto b = make("Code128", "a=b`c\tdé");
    EXPECT_EQ(b->validatedContentString(), String("abcd"));
    EXPECT_EQ(b->caption(), String("abcd")) << "no check character in the caption";

    // No content, no symbol (a bare check character and stop pattern would be none).
    auto empty = make("Code128", "");
    EXPECT_EQ(empty->completeEncodedBarcode(), "");
    EXPECT_EQ(empty->width(), 0);

    // At the limit a symbol; above it an error text and no symbol, for every mixture of sets.
    for (const std::string& unit : { std::string("A"), std::string("7"), std::string("a1"), std::string("ab12") }) {
        std::string atLimit;
        while (atLimit.size() + unit.size() <= static_cast<std::size_t>(Code128::MaximumLength))
            atLimit += unit;
        atLimit.resize(static_cast<std::size_t>(Code128::MaximumLength), '9');
        auto fits = make("Code128", String(atLimit));
        EXPECT_TRUE(fits->validatedErrorString().isEmpty()) << atLimit;
        EXPECT_FALSE(symbolValues(fits->completeEncodedBarcode()).empty()) << atLimit;

        auto tooLong = make("Code128", String(atLimit + unit));
        EXPECT_EQ(tooLong->completeEncodedBarcode(), "") << atLimit + unit;
        EXPECT_FALSE(tooLong->validatedErrorString().isEmpty()) << atLimit + unit;
    }
}

TEST(Code128, QuietZoneIsTenModulesAtLeastTwoAndAHalfMillimetres)
{
    auto b = make("Code128", "ABC");
    const std::pair<double, double> cases[] = { { 0.5, 7.0866142 }, { 1, 10 }, { 2, 20 } };
    for (auto [x, side] : cases) {
        b->setBarWidth(x);
        EXPECT_DOUBLE_EQ(b->quietZoneLeft(), side) << x;
        EXPECT_DOUBLE_EQ(b->quietZoneRight(), side) << x;
        EXPECT_DOUBLE_EQ(b->quietZoneTop(), side / 2) << x;
        EXPECT_DOUBLE_EQ(b->quietZoneBottom(), side / 2) << x;
    }
}

TEST(GS1128, FNC1AfterTheStartAndAfterVariableFields)
{
    struct Case {
        const char* content;
        std::vector<int> values; // without the check value
    };
    const Case cases[] = {
        // fixed-length 01 and 17 need no separator; AB-123 ends in B
        { "(01)09501101530003(17)140704(10)AB-123",
            { StartC, FNC1, 1, 9, 50, 11, 1, 53, 0, 3, 17, 14, 7, 4, 10, CodeB, 33, 34, 13, 17, 18, 19 } },
        // variable-length 10 ends with FNC1 before 17
        { "[10]ABC[17]140704", { StartB, FNC1, 17, 16, 33, 34, 35, CodeC, FNC1, 17, 14, 7, 4 } },
        // the odd digit stretch 1234567 after A puts its first digit in B
        { "[10]A1234567[21]X", { StartB, FNC1, 17, 16, 33, 17, CodeC, 23, 45, 67, FNC1, 21, CodeB, 56 } },
        // an odd stretch that opens the symbol puts its last digit in B
        { "[10]12345[21]AB", { StartC, FNC1, 10, 12, 34, CodeB, 21, CodeC, FNC1, 21, CodeB, 33, 34 } },
        // "[211" starts in C, its odd 211 hands 2 to B, and the FNC1 left alone between two B marks joins them
        { "[10]AB[21]1CD", { StartB, FNC1, 17, 16, 33, 34, FNC1, 18, CodeC, 11, CodeB, 35, 36 } },
    };
    for (const auto& c : cases) {
        auto b = make("EAN128", c.content);
        ASSERT_TRUE(b->validatedErrorString().isEmpty()) << c.content << ": " << b->validatedErrorString().utf8();
        auto modules = b->completeEncodedBarcode();
        EXPECT_EQ(symbolValues(modules), withCheck(c.values))
            << "EAN128 \"" << c.content << "\" → " << modules << " = " << dump(symbolValues(modules));
    }
    auto shown = make("EAN128", "[01]09501101530003[10]AB");
    EXPECT_EQ(shown->caption(), String("(01)09501101530003(10)AB"));

    // An element string that fails its check leaves its error text and no symbol.
    auto invalid = make("EAN128", "[01]123");
    EXPECT_FALSE(invalid->validatedErrorString().isEmpty());
    EXPECT_EQ(invalid->completeEncodedBarcode(), "");
    // Brackets that balance in the wrong order, or enclose nothing.
    for (const char* content : { "[12]]1[", "[01]123456789012345]6[", "[]1" }) {
        auto malformed = make("EAN128", content);
        EXPECT_FALSE(malformed->validatedErrorString().isEmpty()) << content;
        EXPECT_EQ(malformed->completeEncodedBarcode(), "") << content;
    }
}

// The caption shows what the bars hold: the content as cleaned for encoding ("=" and "`" are no Code 128 characters
// here, and 80 characters is the most), the identifiers in parentheses; a reader finds the same data in the bars.
TEST(GS1128, TheCaptionSaysWhatTheBarsHold)
{
    const std::string long76(76, 'A');
    struct Case {
        std::string content;
        std::string caption;
        std::string bars; // as zbar reads them: FNC1 separators as GS, the leading one dropped
    };
    const Case cases[] = {
        { "(10)AB=CD`EF", "(10)ABCDEF", "10ABCDEF" },
        { "[10]AB=CD`EF", "(10)ABCDEF", "10ABCDEF" },
        // Cut at 80 characters of the cleaned content, brackets included.
        { "(10)" + long76 + "BCDEFG", "(10)" + long76, "10" + long76 },
        // With brackets present, parentheses are data.
        { "[10]A(B)C", "(10)A(B)C", "10A(B)C" },
        { "[10]ABC[17]140704", "(10)ABC(17)140704",
            "10ABC\x1d"
            "17140704" },
        { "(01)09501101530003(17)140704(10)AB-123", "(01)09501101530003(17)140704(10)AB-123",
            "01095011015300031714070410AB-123" },
    };
    for (const auto& c : cases) {
        auto b = make("EAN128", String(c.content));
        ASSERT_TRUE(b->validatedErrorString().isEmpty()) << c.content << ": " << b->validatedErrorString().utf8();
        EXPECT_EQ(b->caption(), String(c.caption)) << c.content;
        auto path = DecoderCheck::scratchPath("gs1-128-caption");
        ASSERT_TRUE(DecoderCheck::renderLinear(b->completeEncodedBarcode(), path));
        auto read = DecoderCheck::zbarimg(path, true);
        if (!read)
            GTEST_SKIP() << "zbarimg is not installed";
        EXPECT_EQ(*read, c.bars) << c.content;
    }
}

TEST(SSCC18, CheckDigitPaddingAndCaption)
{
    struct Case {
        const char* content;
        const char* element;
    };
    const Case cases[] = {
        { "", "[00]000000000000000000" },
        { "1234567890123456", "[00]123456789012345606" }, // one zero appended, check digit 6
        { "34001234567890123", "[00]340012345678901238" },
        { "3400-1234-5678-9012-3999", "[00]340012345678901238" }, // non-digits dropped, cut to 17
    };
    for (const auto& c : cases) {
        auto b = make("EAN18", c.content);
        EXPECT_EQ(b->contentForValidation(), String(c.element)) << c.content;
        String shown
            = String(c.element).stringByReplacingOccurrencesOfString("[", "(").stringByReplacingOccurrencesOfString(
                "]", ")");
        EXPECT_EQ(b->caption(), shown) << c.content;
        EXPECT_TRUE(b->validatedErrorString().isEmpty()) << c.content;
        auto values = symbolValues(b->completeEncodedBarcode());
        ASSERT_GE(values.size(), 3u) << c.content;
        EXPECT_EQ(values[0], StartC);
        EXPECT_EQ(values[1], FNC1);
        EXPECT_EQ(values[2], 0) << "AI 00";
    }
}

// An independent reader decodes what we draw.
TEST(Code128, ZbarReadsEverySetAndMixture)
{
    struct Case {
        const char* className;
        const char* content;
        const char* expected;
    };
    const Case cases[] = {
        { "Code128", "12", "12" },
        { "Code128", "1234567890", "1234567890" },
        { "Code128", "123", "123" },
        { "Code128", "12345", "12345" },
        { "Code128", "abc", "abc" },
        { "Code128", "Hello World", "Hello World" },
        { "Code128", "AB1234CD", "AB1234CD" },
        { "Code128", "K1234567M", "K1234567M" },
        { "Code128", "a1b22c333d4444e55555", "a1b22c333d4444e55555" },
        { "Code128", R"(!"#$%&'()*+,-./:;<>?@[\]^_{|}~)", R"(!"#$%&'()*+,-./:;<>?@[\]^_{|}~)" },
        { "Code128", "0123456789abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789",
            "0123456789abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789" },
        // zbar shows FNC1 separators as the GS character and drops the leading one
        { "EAN128", "(01)09501101530003(17)140704(10)AB-123", "01095011015300031714070410AB-123" },
        { "EAN128", "[10]ABC[17]140704",
            "10ABC\x1d"
            "17140704" },
        { "EAN128", "[10]A1234567[21]X",
            "10A1234567\x1d"
            "21X" },
        { "EAN128", "[10]12345[21]AB",
            "1012345\x1d"
            "21AB" },
        { "EAN128", "[10]AB[21]1CD",
            "10AB\x1d"
            "211CD" },
        { "EAN18", "34001234567890123", "00340012345678901238" },
        { "EAN18", "1234567890123456", "00123456789012345606" },
    };
    for (const auto& c : cases) {
        auto b = make(c.className, c.content);
        auto path = DecoderCheck::scratchPath(std::string("code128-") + c.className);
        auto modules = b->completeEncodedBarcode();
        ASSERT_TRUE(DecoderCheck::renderLinear(modules, path));
        auto read = DecoderCheck::zbarimg(path, true);
        if (!read)
            GTEST_SKIP() << "zbarimg is not installed";
        EXPECT_EQ(*read, c.expected) << c.className << " \"" << c.content << "\" → " << modules << " = "
                                     << dump(symbolValues(modules));
    }
}
