#include "LinearSymbols.h"

#include <string>

using namespace fnd;

namespace {

// Code 39 characters as modules, narrow element one module and wide two, the trailing gap included.
const std::string Star = "1001011011010"; // *
const std::string Dash = "1001010110110"; // -
const std::string A = "1101010010110"; // A
const std::string B = "1011010010110"; // B
const std::string One = "1101001010110"; // 1
const std::string W = "1100110101010"; // W
const std::string Dollar = "1001001001010"; // $
const std::string Six = "1011001101010"; // 6

}

TEST(Code39, ModuleStringOfAShortContent)
{
    auto b = makeSymbol("Code39", "a-1");
    EXPECT_EQ(b->completeEncodedBarcode(), Star + A + Dash + One + Star) << describe(*b);
    EXPECT_EQ(b->caption(), String("A-1"));
    EXPECT_EQ(b->encodeChar('a'), "");
}

// "*" frames the symbol, so readers would stop at one inside the data.
TEST(Code39, StartStopCharacterIsNoData)
{
    auto b = makeSymbol("Code39", "A*B");
    EXPECT_EQ(b->validatedContentString(), String("AB"));
    EXPECT_EQ(b->completeEncodedBarcode(), Star + A + B + Star);
    EXPECT_EQ(b->humanReadableAllowedCharacterSet().utf8().find('*'), std::string::npos);
}

TEST(Code39, Modulo43CheckCharacter)
{
    struct Case {
        const char* content;
        const char* check;
    };
    const Case cases[] = {
        { "CODE39", "W" }, // 12 + 24 + 13 + 14 + 3 + 9 = 75, 75 mod 43 = 32
        { "%", "%" }, // 42
        { "9U", "$" }, // 9 + 30 = 39, never "*"
        { "ZZ", "R" }, // 70 mod 43 = 27
        { "", "" },
    };
    for (const auto& c : cases) {
        auto b = makeSymbol("Code39", c.content);
        EXPECT_FALSE(b->calculateChecksum()) << "the check is the user's choice";
        b->setCalculateChecksum(true);
        EXPECT_EQ(b->checksum(), String(c.check)) << c.content;
        EXPECT_EQ(b->caption(), String(c.content) + String(c.check)) << c.content;
    }
    auto b = makeSymbol("Code39", "9U");
    b->setCalculateChecksum(true);
    // 9, U, then the check "$" drawn before the stop.
    EXPECT_EQ(b->completeEncodedBarcode().substr(39, 13), Dollar) << describe(*b);
    b->setContent("CODE39");
    EXPECT_EQ(b->completeEncodedBarcode().substr(13 * 7, 13), W) << describe(*b);
}

TEST(Code39FullASCII, CharactersBecomePairs)
{
    struct Case {
        const char* content;
        const char* encoded;
    };
    const Case cases[] = {
        { "ab", "+A+B" }, { "*", "/J" }, { "/", "/O" }, { "@", "%V" }, { "_", "%O" },
        { "AZ09 -.", "AZ09 -." }, // Code 39 characters stay
        { "!\"#$%&'()+,:", "/A/B/C/D/E/F/G/H/I/K/L/Z" }, { ";<>?[\\]^{|}~", "%F%G%I%J%K%L%M%N%P%Q%R%S" },
        { "x=`y", "+X+Y" }, // "=" and the grave accent are not offered
    };
    for (const auto& c : cases) {
        auto b = makeSymbol("Code39FullASCII", c.content);
        EXPECT_EQ(b->contentForEncoding(), String(c.encoded)) << c.content;
    }
    auto b = makeSymbol("Code39FullASCII", "ab");
    EXPECT_EQ(b->caption(), String("ab")) << "the caption shows what was typed";
}

// The check is computed over the pairs that are drawn, not over the typed characters.
TEST(Code39FullASCII, CheckOverThePairs)
{
    auto b = makeSymbol("Code39FullASCII", "a");
    b->setCalculateChecksum(true);
    EXPECT_EQ(b->checksum(), String("8")); // "+" 41 + "A" 10 = 51, 51 mod 43 = 8 (over "a" alone it would be "A")
}

TEST(PZN, CheckDigitAndCaption)
{
    struct Case {
        const char* content;
        const char* check;
        const char* caption;
    };
    const Case cases[] = {
        { "1234562", "6", "PZN - 12345626" }, // 1 + 4 + 9 + 16 + 25 + 36 + 14 = 105, 105 mod 11 = 6
        { "0000000", "0", "PZN - 00000000" }, { "12", "5", "PZN - 12000005" }, // padded to 1200000: 1 + 4 = 5
    };
    for (const auto& c : cases) {
        auto b = makeSymbol("PZN", c.content);
        EXPECT_TRUE(b->calculateChecksum());
        EXPECT_EQ(b->checksum(), String(c.check)) << c.content;
        EXPECT_EQ(b->caption(), String(c.caption)) << c.content;
        EXPECT_TRUE(b->validatedErrorString().isEmpty()) << c.content;
    }
    auto b = makeSymbol("PZN", "1234562");
    // "*", "-", the digits and the check digit, "*".
    EXPECT_EQ(b->completeEncodedBarcode().substr(0, 26), Star + Dash) << describe(*b);
    EXPECT_EQ(b->completeEncodedBarcode().substr(26, 13), One) << describe(*b);
    EXPECT_EQ(b->completeEncodedBarcode().substr(26 + 7 * 13, 13), Six) << describe(*b);
    EXPECT_EQ(b->completeEncodedBarcode().size(), 11 * 13u) << describe(*b);
}

// A remainder of 10 would need the check "A", which no product number has.
TEST(PZN, RemainderTenIsAnError)
{
    auto b = makeSymbol("PZN", "0500000"); // 5 × 2 = 10
    EXPECT_FALSE(b->validatedErrorString().isEmpty());
    EXPECT_TRUE(b->checksum().isEmpty());
    EXPECT_EQ(b->completeEncodedBarcode(), Star + Dash + Star) << "nothing of the number is drawn";
    b->setContent("1234562");
    EXPECT_TRUE(b->validatedErrorString().isEmpty()) << "a valid number clears the error";
    EXPECT_EQ(b->checksum(), String("6"));
}
