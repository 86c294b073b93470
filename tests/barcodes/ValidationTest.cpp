#include "TestSymbologies.h"

#include "barcodes/CheckDigits.h"
#include "barcodes/GS1ElementString.h"

#include <gtest/gtest.h>

using namespace fnd;

TEST(Validation, CleansCutsPadsAndCases)
{
    const struct {
        const char* className;
        const char* content;
        const char* validated;
    } cases[] = {
        { "TestFixedDigits", "123", "123000000000" },
        { "TestFixedDigits", "978-3-16-148410-0", "978316148410" },
        { "TestFixedDigits", "", "000000000000" },
        { "TestUpperCase", "code39 x", "CODE39X" },
        { "TestMixedCase", "Code128", "Code128" },
        { "TBQGenericBarcode", "a1\xF0\x9F\x98\x80" "2", "12" },
    };
    for (auto& c : cases) {
        auto barcode = TBQGenericBarcode::barcodeWithClassName(c.className);
        ASSERT_TRUE(barcode) << c.className;
        barcode->setContent(c.content);
        EXPECT_EQ(barcode->validatedContentString().utf8(), c.validated) << c.className << " \"" << c.content << "\"";
        EXPECT_TRUE(barcode->validatedErrorString().isEmpty());
    }
}

TEST(Validation, CountsUsableCharacters)
{
    auto barcode = TBQGenericBarcode::barcodeWithClassName("TestFixedDigits");
    EXPECT_EQ(barcode->numberOfValidateContentCharacters(), 0);
    barcode->setContent("12-34 x");
    EXPECT_EQ(barcode->numberOfValidateContentCharacters(), 4);
}

TEST(GS1ElementString, ReducesValidElementStrings)
{
    const struct {
        const char* input;
        const char* reduced;
    } cases[] = {
        { "(01)09501101530003(17)140704(10)AB-123", "01095011015300031714070410AB-123" },
        { "[10]ABC[17]140704", "10ABC[17140704" },
        { "[21]A1[10]B2", "21A1[10B2" },
        { "[00]123456789012345675", "00123456789012345675" },
        // Mended: a field whose length is not verified is always followed by FNC1.
        { "[416]1234567890123[10]X", "4161234567890123[10X" },
        // With brackets present, parentheses are data.
        { "[10](A)", "10(A)" },
    };
    for (auto& c : cases) {
        auto result = GS1ElementString::check(c.input);
        EXPECT_TRUE(result.ok()) << c.input << ": " << result.errorKey;
        EXPECT_EQ(result.reduced, c.reduced) << c.input;
    }
}

TEST(GS1ElementString, ReportsEachError)
{
    const struct {
        const char* input;
        const char* key;
        const char* aiText;
    } cases[] = {
        { "01123", "GS1AIStartError", "" },
        { "", "GS1AIStartError", "" },
        { "[01]123", "GS1InvalidDataLength", "(01)" },
        { "[100]1", "GS1InvalidAI", "(100)" },
        { "[01][17]1", "GS1NoDataForAI", "" },
        { "[[01]]1", "GS1NestedBrackets", "" },
        { "[01234]1", "GS1AITooLong", "" },
        { "[1]1", "GS1AITooShort", "" },
        { "[0A]1", "GS1AINonNumericChars", "" },
        { "[01", "GS1AIMalformed", "" },
        // The later offending field is the one named.
        { "[01]1[100]2", "GS1InvalidAI", "(100)" },
        // Mended: an identifier is its digit string, so leading zeros make no other identifier.
        { "[001]12345678901234", "GS1InvalidAI", "(001)" },
        { "[0009]1", "GS1InvalidAI", "(0009)" },
        { "[Q1]1", "GS1InvalidAI", "(Q1)" },
    };
    for (auto& c : cases) {
        auto result = GS1ElementString::check(c.input);
        EXPECT_EQ(result.errorKey, c.key) << c.input;
        EXPECT_EQ(result.aiText, c.aiText) << c.input;
        EXPECT_TRUE(result.reduced.empty()) << c.input;
    }
}

TEST(Validation, GS1ErrorsBecomeTheErrorTextAndEmptyContent)
{
    auto barcode = TBQGenericBarcode::barcodeWithClassName("TestGS1");
    barcode->setContent("[01]123");
    EXPECT_TRUE(barcode->validatedContentString().isEmpty());
    EXPECT_FALSE(barcode->validatedErrorString().isEmpty());
    EXPECT_NE(barcode->validatedErrorString().utf8().find("(01)"), std::string::npos)
        << barcode->validatedErrorString();
    barcode->setContent("(01)09501101530003");
    EXPECT_EQ(barcode->validatedContentString().utf8(), "0109501101530003");
    EXPECT_TRUE(barcode->validatedErrorString().isEmpty());
}

TEST(CheckDigits, GS1Modulo10)
{
    const struct {
        const char* digits;
        int check;
    } cases[] = {
        { "400638133393", 1 }, // EAN-13 4006381333931
        { "978020137962", 4 }, // ISBN-13 9780201379624
        { "03600029145", 2 }, // UPC-A 036000291452
        { "1234567", 0 }, // EAN-8 12345670
        { "", 0 },
    };
    for (auto& c : cases)
        EXPECT_EQ(CheckDigits::gs1Mod10(c.digits), c.check) << c.digits;
}
