#include "LinearSymbols.h"

#include <string>

using namespace fnd;

namespace {

// Codabar characters as modules, the trailing gap included.
const std::string CodabarA = "10110010010"; // A
const std::string CodabarB = "10010010110"; // B
const std::string Codabar1 = "1010110010"; // 1
const std::string CodabarDash = "1010011010"; // -

}

TEST(Codabar, ModuleStringHasNoExtraStartOrStop)
{
    auto b = makeSymbol("Codabar", "a1-b");
    EXPECT_EQ(b->completeEncodedBarcode(), CodabarA + Codabar1 + CodabarDash + CodabarB) << describe(*b);
    EXPECT_EQ(b->caption(), String("A1-B"));
}

// Readers find a symbol by its start and stop characters.
TEST(Codabar, StartAndStopFrameTheDataAndNothingElse)
{
    struct Case {
        const char* content;
        const char* validated; // nullptr: an error
    };
    const Case cases[] = {
        { "", "" }, { "A1B", "A1B" }, { "c12d", "C12D" }, { "AB", "AB" },
        { "A1;2B", "A12B" }, // ";" is no Codabar character
        { "A", nullptr }, { "123", nullptr }, { "A123", nullptr }, { "123B", nullptr },
        { "A1B2C", nullptr }, // a stop character inside
    };
    for (const auto& c : cases) {
        auto b = makeSymbol("Codabar", c.content);
        auto validated = b->validatedContentString();
        if (c.validated) {
            EXPECT_EQ(validated, String(c.validated)) << c.content;
            EXPECT_TRUE(b->validatedErrorString().isEmpty()) << c.content;
        } else {
            EXPECT_TRUE(validated.isEmpty()) << c.content;
            EXPECT_FALSE(b->validatedErrorString().isEmpty()) << c.content;
            EXPECT_EQ(b->completeEncodedBarcode(), "") << c.content;
            b->setWidth(100); // no modules: the module width stays
            EXPECT_GT(b->barWidth(), 0) << c.content;
        }
    }
}

// Modulo 16 over every character, start and stop included, as readers that verify it compute it.
TEST(Codabar, CheckCharacterBeforeTheStop)
{
    struct Case {
        const char* content;
        const char* encoded;
    };
    const Case cases[] = {
        { "A12345B", "A123450B" }, // 16 + 1 + 2 + 3 + 4 + 5 + 17 = 48, a multiple of 16: "0"
        { "A15B", "A159B" }, // 39 mod 16 = 7, 16 - 7 = 9
        { "A1B", "A1.B" }, // 34 mod 16 = 2, 16 - 2 = 14 "."
        { "a1b", "A1.B" }, // the check is over the validated content
        { "AB", "AB" }, // no data, no check
    };
    for (const auto& c : cases) {
        auto b = makeSymbol("Codabar", c.content);
        EXPECT_FALSE(b->calculateChecksum()) << "the check is the user's choice";
        EXPECT_EQ(b->caption(), b->validatedContentString()) << c.content;
        b->setCalculateChecksum(true);
        EXPECT_EQ(b->contentForEncoding(), String(c.encoded)) << c.content;
        EXPECT_EQ(b->caption(), String(c.encoded)) << c.content;
    }
    auto b = makeSymbol("Codabar", "A1B");
    b->setCalculateChecksum(true);
    auto modules = b->completeEncodedBarcode();
    EXPECT_EQ(modules.substr(0, CodabarA.size() + Codabar1.size()), CodabarA + Codabar1) << describe(*b);
    EXPECT_EQ(modules.substr(modules.size() - CodabarB.size()), CodabarB) << describe(*b);
    b->setCalculateChecksum(false);
    EXPECT_EQ(b->contentForEncoding(), String("A1B"));
}

TEST(Code11, CheckCharacterAndModuleString)
{
    struct Case {
        std::string content;
        const char* check;
    };
    const Case cases[] = {
        { "123-45", "5" }, // 5 + 8 + 30 + 12 + 10 + 6 = 71, 71 mod 11 = 5
        { "10000000000", "1" }, // 11 characters: the leftmost has weight 1 again
        { "1000000000", "-" }, // 10 characters: weight 10, check value 10
        { "-", "-" },
        { "", "" },
    };
    for (const auto& c : cases) {
        auto b = makeSymbol("Code11", c.content);
        EXPECT_TRUE(b->calculateChecksum());
        EXPECT_EQ(b->checksum(), String(c.check)) << c.content;
        EXPECT_EQ(b->caption(), String(c.content)) << "the check is not shown";
    }
    const std::string startStop = "1011001";
    const std::string one = "1101011";
    auto b = makeSymbol("Code11", "1");
    // start, gap, "1", gap, the check "1", gap, stop.
    EXPECT_EQ(b->completeEncodedBarcode(), startStop + "0" + one + "0" + one + "0" + startStop) << describe(*b);
}

TEST(MSIPlessey, FourBitsPerDigitAndNeverACheck)
{
    auto b = makeSymbol("MSIPlessey", "19x");
    b->setCalculateChecksum(true);
    EXPECT_FALSE(b->calculateChecksum());
    EXPECT_TRUE(b->checksum().isEmpty());
    // start "110"; 1 = 0001; 9 = 1001; stop "1001".
    EXPECT_EQ(b->completeEncodedBarcode(), "110" + std::string("100100100110") + "110100100110" + "1001")
        << describe(*b);
    EXPECT_EQ(b->encodeChar('0'), "100100100100");
    EXPECT_EQ(b->encodeChar('x'), "000000");
}
