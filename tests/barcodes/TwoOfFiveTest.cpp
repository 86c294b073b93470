#include "LinearSymbols.h"

#include "barcodes/CodeTwoOfFiveInterleaved.h"

#include <string>

using namespace fnd;

namespace {

// Interleaved 2 of 5 pairs: the first digit in the bars, the second in the spaces.
const std::string Pair01 = "100010111011101000"; // 0 NNWWN bars, 1 WNNNW spaces
const std::string Pair23 = "100011100010101110"; // 2 NWNNW bars, 3 WWNNN spaces
const std::string Pair48 = "100010111010001110"; // 4 NNWNW bars, 8 WNNWN spaces
const std::string InterleavedStart = "1010";
const std::string InterleavedStop = "11101";

}

// Weight 3 on the rightmost data digit: for an odd count this is also weight 3 on the leftmost one.
TEST(TwoOfFive, CheckDigitWeighsFromTheRight)
{
    struct Case {
        const char* className;
        const char* content;
        const char* check;
    };
    const Case cases[] = {
        { "CodeTwoOfFiveIndustrial", "123", "6" }, // 3 × 3 + 2 + 1 × 3 = 14
        { "CodeTwoOfFiveIndustrial", "1234", "8" }, // 4 × 3 + 3 + 2 × 3 + 1 = 22
        { "CodeTwoOfFiveMatrix", "1234", "8" }, { "CodeTwoOfFiveInterleaved", "1234", "8" },
        { "CodeTwoOfFiveInterleaved", "", "" }, { "ITF14", "1234567890123", "1" }, // 109
        { "Identcode", "12345678901", "6" }, // 4 + 18 + 12 + 36 + 20 + 54 + 28 + 72 + 36 + 0 + 4 = 284
        { "Leitcode", "1234567890123", "6" }, // 314
        { "OPC", "123456789", "7" }, // digit sums 2 + 2 + 6 + 4 + 1 + 6 + 5 + 8 + 9 = 43
        { "OPC", "900000000", "1" }, // 18 counts 1 + 8
    };
    for (const auto& c : cases) {
        auto b = makeSymbol(c.className, c.content);
        b->setCalculateChecksum(true);
        EXPECT_EQ(b->checksum(), String(c.check)) << c.className << " " << c.content;
    }
}

TEST(TwoOfFive, FixedLengthCaptions)
{
    struct Case {
        const char* className;
        const char* content;
        const char* caption;
    };
    const Case cases[] = {
        { "ITF14", "1234567890123", "1 23 45678 90123 1" }, { "Identcode", "12345678901", "12.345 678.901 6" },
        { "Leitcode", "1234567890123", "12345.678.901.23 6" }, { "OPC", "123456789", "12345-6789-7" },
        { "OPC", "1234", "12340-0000-6" }, // padded to nine digits on the right
        { "Identcode", "1234567890123", "12.345 678.901 6" }, // cut to eleven
    };
    for (const auto& c : cases) {
        auto b = makeSymbol(c.className, c.content);
        EXPECT_TRUE(b->calculateChecksum()) << c.className;
        EXPECT_EQ(b->caption(), String(c.caption)) << c.className << " " << c.content;
    }
}

TEST(TwoOfFive, InterleavedPairsWithLeadingZero)
{
    auto b = makeSymbol("CodeTwoOfFiveInterleaved", "123");
    EXPECT_EQ(b->completeEncodedBarcode(), InterleavedStart + Pair01 + Pair23 + InterleavedStop) << describe(*b);
    b->setContent("1234");
    b->setCalculateChecksum(true); // 12348 is odd: 012348
    EXPECT_EQ(b->completeEncodedBarcode(), InterleavedStart + Pair01 + Pair23 + Pair48 + InterleavedStop)
        << describe(*b);
    EXPECT_EQ(b->caption(), String("012348")) << "the caption shows the 0 the bars begin with";
    b->setCalculateChecksum(false);
    EXPECT_EQ(b->caption(), String("1234"));
    b->setContent("123");
    EXPECT_EQ(b->caption(), String("0123"));

    auto i = makeSymbol<CodeTwoOfFiveInterleaved>("CodeTwoOfFiveInterleaved");
    EXPECT_TRUE(i->_getBarForDigit('0', 0));
    EXPECT_FALSE(i->_getBarForDigit('0', 2));
    EXPECT_TRUE(i->_getBarForDigit('x', 2));
}

TEST(TwoOfFive, IndustrialAndMatrixCharacters)
{
    auto b = makeSymbol("CodeTwoOfFiveIndustrial", "1");
    b->setCalculateChecksum(true); // 1 × 3: check 7
    EXPECT_EQ(
        b->completeEncodedBarcode(), "1110111010" + std::string("11101010101110") + "10101011101110" + "1110101110")
        << describe(*b);
    auto m = makeSymbol("CodeTwoOfFiveMatrix", "50");
    EXPECT_EQ(m->completeEncodedBarcode(), "1111101010" + std::string("1110111010") + "1011100010" + "1111101010")
        << describe(*m);
    EXPECT_EQ(m->encodeChar('x'), "0000000000");
}

TEST(TwoOfFive, ITF14QuietZoneAndIndicators)
{
    auto b = makeSymbol("ITF14", "1234567890123");
    double side = 10 * b->barWidth(); // 9.35 points, above 2.5 mm
    EXPECT_DOUBLE_EQ(b->quietZoneLeft(), side);
    EXPECT_DOUBLE_EQ(b->quietZoneRight(), side);
    EXPECT_DOUBLE_EQ(b->quietZoneTop(), side / 2);
    EXPECT_DOUBLE_EQ(b->quietZoneBottom(), side / 2);
    b->setBarWidth(0.5);
    EXPECT_DOUBLE_EQ(b->quietZoneLeft(), 7.0866142);
    EXPECT_TRUE(b->supportLeftLightMarginIndicators());
    EXPECT_TRUE(b->supportRightLightMarginIndicators());
    // Fourteen digits: start, seven pairs of 18 modules, stop.
    EXPECT_EQ(b->completeEncodedBarcode().size(), 4 + 7 * 18 + 5u) << describe(*b);
}
