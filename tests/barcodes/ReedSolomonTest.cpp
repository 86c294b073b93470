#include "barcodes/ReedSolomonEncoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// The check codewords in the order they are sent.
std::vector<std::uint8_t> checkCodewords(int poly, int firstRoot, const std::vector<std::uint8_t>& data, int count)
{
    ReedSolomonEncoder rs;
    rs.initWithPoly(poly).setNumberOfSymbols(count, firstRoot);
    std::vector<std::uint8_t> result(static_cast<std::size_t>(count), 0xAA);
    rs.encodeData(data, result);
    std::reverse(result.begin(), result.end());
    return result;
}

}

TEST(ReedSolomonEncoder, PublishedCheckCodewords)
{
    struct Case {
        const char* what;
        int poly;
        int firstRoot;
        std::vector<std::uint8_t> data;
        std::vector<std::uint8_t> check;
    };
    const Case cases[] = {
        // QR Code "HELLO WORLD", version 1-M: 16 data codewords, 10 check codewords.
        { "QR 1-M", 0x11D, 0, { 32, 91, 11, 120, 209, 114, 220, 77, 67, 64, 236, 17, 236, 17, 236, 17 },
            { 196, 35, 39, 119, 235, 215, 231, 226, 93, 23 } },
        // Data Matrix "123456" in a 10x10 symbol: the digit pairs 12 34 56, 5 check codewords.
        { "DataMatrix 10x10", 0x12D, 1, { 142, 164, 186 }, { 114, 25, 5, 88, 102 } },
        // A block without data has an all-zero remainder.
        { "empty block", 0x12D, 1, {}, { 0, 0, 0, 0, 0, 0, 0 } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(checkCodewords(c.poly, c.firstRoot, c.data, static_cast<int>(c.check.size())), c.check) << c.what;
}

TEST(ReedSolomonEncoder, GeneratorAndFieldSize)
{
    ReedSolomonEncoder rs;
    rs.initWithPoly(0x12D).setNumberOfSymbols(5, 1);
    EXPECT_EQ(rs.symbolBits(), 8);
    // ISO/IEC 16022 annex E: x^5 + 62x^4 + 111x^3 + 15x^2 + 48x + 228.
    EXPECT_EQ(rs.generator(), (std::vector<int> { 228, 48, 15, 111, 62, 1 }));

    // A polynomial too wide for byte codewords builds no field: encoding writes nothing.
    rs.initWithPoly(0x1100B).setNumberOfSymbols(4, 0);
    std::vector<std::uint8_t> result(4, 7);
    rs.encodeData(std::vector<std::uint8_t> { 1, 2, 3 }, result);
    EXPECT_EQ(rs.eccLength(), 0);
    EXPECT_EQ(result, (std::vector<std::uint8_t>(4, 7)));
}

TEST(ReedSolomonEncoder, CodewordsMakeTheSyndromesVanish)
{
    // The sent block (data, then check codewords) evaluated at every root of the generator is 0.
    for (int poly : { 0x11D, 0x12D }) {
        int firstRoot = poly == 0x11D ? 0 : 1;
        for (int count : { 7, 10, 30, 68 }) {
            std::vector<std::uint8_t> data;
            for (int i = 0; i < 40; ++i)
                data.push_back(static_cast<std::uint8_t>((i * 37 + count) & 0xFF));
            auto block = data;
            auto check = checkCodewords(poly, firstRoot, data, count);
            block.insert(block.end(), check.begin(), check.end());

            // alpha^j by repeated doubling in the field.
            auto mul = [poly](int a, int b) {
                int r = 0;
                for (; b; b >>= 1, a = (a << 1) ^ ((a & 0x80) ? poly : 0))
                    if (b & 1)
                        r ^= a;
                return r & 0xFF;
            };
            int alpha = 1;
            for (int j = 0; j < firstRoot; ++j)
                alpha = mul(alpha, 2);
            for (int j = 0; j < count; ++j, alpha = mul(alpha, 2)) {
                int syndrome = 0;
                for (auto v : block)
                    syndrome = mul(syndrome, alpha) ^ v;
                ASSERT_EQ(syndrome, 0) << "poly " << poly << ", " << count << " codewords, root " << j;
            }
        }
    }
}
