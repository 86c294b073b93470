#include "LinearSymbols.h"

#include "barcodes/Code93.h"

#include <string>

using namespace fnd;

namespace {

// Code 93 characters as modules.
const std::string Code93Star = "101011110"; // * (start and stop)
const std::string Code93Termination = "1"; // the bar after the stop
const std::string Code93A = "110101000"; // A
const std::string Code93U = "110010110"; // U, 30: the K of "A"

}

TEST(Code93, ModuleStringOfOneCharacter)
{
    // "A" (10): C = 10 × 1 = 10 "A"; K = 10 × 2 + 10 × 1 = 30 "U".
    auto b = makeSymbol("Code93", "a");
    EXPECT_TRUE(b->calculateChecksum());
    EXPECT_EQ(b->completeEncodedBarcode(), Code93Star + Code93A + Code93A + Code93U + Code93Star + Code93Termination)
        << describe(*b);
    EXPECT_EQ(b->caption(), String("A")) << "the checks are never shown";
    auto empty = makeSymbol("Code93");
    EXPECT_EQ(empty->completeEncodedBarcode(), Code93Star + Code93Star + Code93Termination) << describe(*empty);
}

TEST(Code93, CheckCharactersAndTheirWeights)
{
    struct Case {
        std::string content;
        int c;
        int k;
    };
    const Case cases[] = {
        { "TEST93", 41, 6 }, // C: sum 464 mod 47 = 41 "+"; K: 617 mod 47 = 6
        { "10000000000000000000", 20, 26 }, // 20 characters: the leftmost has weight 20 in C
        { "100000000000000000000", 1, 8 }, // 21: weight 1 again in C, 22 in K gives 7
        { "100000000000000", 15, 16 }, // 15: with C it is 16 long, so weight 1 in K
        { "1+", 43, 34 }, // the shift characters as checks
        { "1%", 44, 37 },
        { "2+", 45, 39 },
        { "2%", 46, 42 },
    };
    for (const auto& c : cases) {
        auto b = makeSymbol<Code93>("Code93", c.content);
        std::string check = b->checksum().utf8();
        ASSERT_EQ(check.size(), 2u) << c.content;
        EXPECT_EQ(b->indexFromCodeword(static_cast<unsigned char>(check[0])), c.c) << c.content;
        EXPECT_EQ(b->indexFromCodeword(static_cast<unsigned char>(check[1])), c.k) << c.content;
        // Data, the two checks, the stop and its bar.
        auto modules = b->completeEncodedBarcode();
        auto at = 9 * (c.content.size() + 1);
        EXPECT_EQ(modules.substr(at, 9), b->encodeChar(static_cast<unsigned char>(check[0]))) << describe(*b);
        EXPECT_EQ(modules.size(), at + 18 + 10) << describe(*b);
    }
}
