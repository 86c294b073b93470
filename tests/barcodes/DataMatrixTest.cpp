#include "barcodes/DataMatrix.h"
#include "barcodes/detail/DataMatrixEncoder.h"

#include "support/DecoderCheck.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

using namespace fnd;
using DataMatrixEncoder::Encodation;

namespace {

std::vector<std::uint8_t> codewordsOf(std::string_view content)
{
    auto encoded = DataMatrixEncoder::encodeData(content);
    EXPECT_TRUE(encoded) << content;
    return encoded ? encoded->values : std::vector<std::uint8_t> {};
}

std::shared_ptr<DataMatrix> makeDataMatrix(const String& content)
{
    auto barcode = std::dynamic_pointer_cast<DataMatrix>(TBQGenericBarcode::barcodeWithClassName("DataMatrix"));
    EXPECT_TRUE(barcode);
    barcode->setContent(content);
    return barcode;
}

// What an independent reader reads from a grid of rows x columns; nullopt when it is missing. dmtxread reads every
// size but the largest, whose check codewords it expects where ISO/IEC 16022 does not put them; zxing-cpp reads that
// one.
template <typename IsDark>
std::optional<std::string> readBack(int rows, int columns, IsDark isDark, const std::string& name)
{
    auto png = DecoderCheck::scratchPath("dm-" + name);
    if (!DecoderCheck::renderMatrix(rows, columns, isDark, png, columns > 80 ? 3 : 5))
        return std::string("(not rendered)");
    return rows == 144 ? DecoderCheck::zxingDataMatrix(png) : DecoderCheck::dmtxread(png);
}

std::optional<std::string> readBack(const TBQGeneric2DBarcode& barcode, const std::string& name)
{
    const auto* grid = barcode.matrixSymbol();
    return readBack(
        grid->rows, grid->width, [&](int r, int c) { return barcode.isModuleSetWithY(r, c); }, name);
}

std::string describe(const std::string& content)
{
    auto codewords = codewordsOf(content);
    std::ostringstream out;
    out << "content \"" << content.substr(0, 60) << "\" (" << content.size() << " bytes), " << codewords.size()
        << " codewords:";
    for (std::size_t i = 0; i < codewords.size() && i < 40; ++i)
        out << ' ' << int(codewords[i]);
    return out.str();
}

}

TEST(DataMatrix, CodewordsOfEachEncodation)
{
    struct Case {
        std::string content;
        std::vector<std::uint8_t> codewords;
    };
    const Case cases[] = {
        // Digit pairs: 130 + the pair's value.
        { "123456", { 142, 164, 186 } },
        // A last lone digit is written as itself + 1.
        { "1234567", { 142, 164, 186, 56 } },
        // C40: latch 230, then "ABC" "DEF" as 1600a + 40b + c + 1 with A = 14.
        { "ABCDEF", { 230, 89, 233, 109, 36 } },
        // Base 256: latch 231, the length 4, the two-byte "é" twice; all but the latch randomised by position.
        { "\xC3\xA9\xC3\xA9", { 231, 48, 132, 0, 175, 43 } },
        // C40 ends on the last complete triple; what was pending ("J", then the two bytes of "ñ") follows in ASCII,
        // bytes from 128 as upper shift 235 and byte - 127.
        { "ABCDEFGHIJ\xC3\xB1", { 230, 89, 233, 109, 36, 128, 95, 254, 75, 235, 68, 235, 50 } },
        // "a" has no X12 value: X12 ends on the last triple, "*>" and "a" go to ASCII, then X12 again; its last two
        // characters do not fill a triple and go to ASCII too.
        { "*>*>*>*>*>*>*>a>*>*>*>*>*>",
            { 238, 6, 146, 12, 171, 6, 146, 12, 171, 254, 43, 63, 98, 238, 12, 171, 6, 146, 12, 171, 254, 43, 63 } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(codewordsOf(c.content), c.codewords) << describe(c.content);

    auto encoded = DataMatrixEncoder::encodeData("ABCDEF");
    ASSERT_TRUE(encoded);
    EXPECT_EQ(encoded->last, Encodation::C40);
}

TEST(DataMatrix, LookAheadChoices)
{
    struct Case {
        std::string content;
        Encodation from;
        Encodation choice;
    };
    const Case cases[] = {
        { "a!b", Encodation::ASCII, Encodation::ASCII },
        { "abc", Encodation::ASCII, Encodation::Text }, // a tie goes to the later candidate
        { "ABCDEFGHIJ", Encodation::ASCII, Encodation::C40 },
        { "abcdefghij", Encodation::ASCII, Encodation::Text },
        { "*>*>*>*>*>*>", Encodation::ASCII, Encodation::X12 },
        { "!#$%&()!#$%&()!#$%", Encodation::ASCII, Encodation::EDIFACT },
        { "\xC3\xA9\xC3\xA9\xC3\xA9", Encodation::ASCII, Encodation::Base256 },
        // Once latched, the current encodation counts from 0.
        { "ABCabc", Encodation::C40, Encodation::C40 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(DataMatrixEncoder::lookAhead(c.content, 0, c.from), c.choice) << c.content;
}

TEST(DataMatrix, SizesFromCodewordCounts)
{
    // Only square sizes: a count that fits a rectangular size first takes the next (square) one.
    struct Case {
        std::size_t first;
        std::size_t last;
        int rows;
    };
    const Case cases[] = {
        { 0, 3, 10 },
        { 4, 5, 12 },
        { 6, 8, 14 },
        { 9, 10, 16 },
        { 11, 12, 16 },
        { 13, 18, 18 },
        { 19, 22, 20 },
        { 23, 30, 22 },
        { 31, 32, 24 },
        { 33, 36, 24 },
        { 37, 44, 26 },
        { 45, 49, 32 },
        { 50, 62, 32 },
        { 1305, 1558, 144 },
    };
    for (const auto& c : cases) {
        for (std::size_t n = c.first; n <= c.last; ++n) {
            const auto* size = DataMatrixEncoder::sizeForCodewords(n);
            ASSERT_NE(size, nullptr) << n;
            EXPECT_EQ(size->rows, c.rows) << n << " codewords";
            EXPECT_EQ(size->columns, c.rows) << n << " codewords";
        }
    }
    EXPECT_EQ(DataMatrixEncoder::sizeForCodewords(1559), nullptr);
}

TEST(DataMatrix, PadCodewords)
{
    const auto& size14 = DataMatrixEncoder::SymbolSizes[3]; // 14x14, 8 data codewords
    ASSERT_EQ(size14.dataCodewords, 8);
    // After ASCII: 129, then 129 + ((149 (p + 1)) mod 253) + 1, less 254 above 254.
    EXPECT_EQ(DataMatrixEncoder::padded({ { 66 }, Encodation::ASCII }, size14),
        (std::vector<std::uint8_t> { 66, 129, 70, 220, 115, 11, 161, 56 }));
    // After C40 on a complete triple: unlatch first.
    EXPECT_EQ(DataMatrixEncoder::padded({ { 230, 89, 233, 109, 36 }, Encodation::C40 }, size14),
        (std::vector<std::uint8_t> { 230, 89, 233, 109, 36, 254, 129, 56 }));
    EXPECT_EQ(codewordsOf("ABCDEFGHI").size(), 7u);
    auto symbol = DataMatrixEncoder::encode("ABCDEFGHI");
    ASSERT_TRUE(symbol);
    EXPECT_EQ(symbol->rows, 14);
    EXPECT_EQ(symbol->codewords[7], 254);
}

TEST(DataMatrix, EmptyContentAndSymbolGeometry)
{
    auto empty = DataMatrixEncoder::encode("");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->rows, 10);
    // "1" + 1, then pads, then the five check codewords.
    EXPECT_EQ(empty->codewords[0], 50);

    auto symbol = DataMatrixEncoder::encode("123456");
    ASSERT_TRUE(symbol);
    EXPECT_EQ(symbol->codewords, (std::vector<std::uint8_t> { 142, 164, 186, 114, 25, 5, 88, 102 }));
    // Finder: solid left column and bottom row, alternating top row and right column.
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(symbol->dark(i, 0));
        EXPECT_TRUE(symbol->dark(9, i));
        EXPECT_EQ(symbol->dark(0, i), i % 2 == 0);
        EXPECT_EQ(symbol->dark(i, 9), i % 2 == 1);
    }

    // Each 32x32 data region has its own finder: region borders at rows and columns 15/16.
    auto large = DataMatrixEncoder::encode(std::string(100, '7'));
    ASSERT_TRUE(large);
    ASSERT_EQ(large->rows, 32);
    for (int i = 0; i < 32; ++i) {
        EXPECT_TRUE(large->dark(i, 16)) << "left finder of the right regions, row " << i;
        EXPECT_TRUE(large->dark(15, i)) << "bottom finder of the top regions, column " << i;
        EXPECT_EQ(large->dark(16, i), i % 16 % 2 == 0) << "top row of the bottom regions, column " << i;
        EXPECT_EQ(large->dark(i, 15), i % 16 % 2 == 1) << "right column of the left regions, row " << i;
    }
}

TEST(DataMatrix, TooLongContentReportsInsteadOfEncoding)
{
    // 1556 bytes of Base 256 need the latch, a two-codeword length and the bytes: 1559, one over the largest size.
    auto barcode = makeDataMatrix(String(std::u16string(778, u'\u00E9')));
    EXPECT_EQ(barcode->encodingErrorString(), TBQGenericBarcode::localizedBarcodeString("EEDataToLong"));
    EXPECT_FALSE(barcode->encodingErrorString().isEmpty());
    EXPECT_EQ(barcode->matrixSymbol()->rows, 0);
    EXPECT_EQ(barcode->matrixSymbol()->width, 0);

    // One byte less fits exactly.
    std::string fits;
    for (int i = 0; i < 777; ++i)
        fits += "\xC3\xA9";
    fits += "a";
    barcode->setContent(String(fits));
    EXPECT_TRUE(barcode->encodingErrorString().isEmpty());
    EXPECT_EQ(barcode->matrixSymbol()->rows, 144);
    auto read = readBack(*barcode, "base256-full");
    if (read) {
        EXPECT_EQ(*read, fits);
    }

    EXPECT_EQ(barcode->matrixSymbol()->shapeOption, 100);
}

// The room left is that of the 144 x 144 symbol (1558 data codewords) for more of the content's costliest
// character, within the 2335 characters the symbology takes.
TEST(DataMatrix, CharactersLeftAreTheRoomForMoreOfTheContentsCostliestKind)
{
    struct Case {
        const char* what;
        String content;
        Index left;
    };
    const Case cases[] = {
        // One ASCII codeword each: 1558 - 1000.
        { "tildes", String(std::string(1000, '~')), 558 },
        // 1000 digits in 500 pairs and a tilde leave 1057 codewords for tildes.
        { "digits and a tilde", String(std::string(1000, '7') + "~"), 1057 },
        // Digits fit 3116, but the symbology takes 2335 characters.
        { "digits", String(std::string(2000, '7')), 335 },
        // Base 256: latch and a two-codeword length leave 1555 bytes, 1000 taken: 277 letters of two bytes more.
        { "two-byte letters", String(std::u16string(500, u'\u00E9')), 277 },
        { "too long", String(std::string(1600, '~')), 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto barcode = makeDataMatrix(c.content);
        EXPECT_EQ(barcode->numberOfCharactersLeft(), c.left);
        EXPECT_EQ(barcode->encodingErrorString().isEmpty(), c.left > 0);
    }
    auto fits
        = [](const std::string& content) { return makeDataMatrix(String(content))->encodingErrorString().isEmpty(); };
    EXPECT_TRUE(fits(std::string(1558, '~')));
    EXPECT_FALSE(fits(std::string(1559, '~')));
    EXPECT_TRUE(fits(std::string(1000, '7') + std::string(1058, '~')));
    EXPECT_FALSE(fits(std::string(1000, '7') + std::string(1059, '~')));
}

TEST(DataMatrix, IndependentReadersReadEverySquareSize)
{
    for (const auto& size : DataMatrixEncoder::SymbolSizes) {
        if (!size.isSquare())
            continue;
        // Digit pairs are one codeword each: exactly the size's capacity, the 144x144 interleaving included. The
        // largest sizes take more digits than the barcode's content may have, so the encoder is asked directly.
        std::string content;
        for (int i = 0; i < size.dataCodewords; ++i)
            content += std::to_string(10 + (i * 7) % 90);
        auto symbol = DataMatrixEncoder::encode(content);
        ASSERT_TRUE(symbol);
        ASSERT_EQ(symbol->rows, size.rows) << describe(content);
        auto read = readBack(
            symbol->rows, symbol->columns, [&](int r, int c) { return symbol->dark(r, c); },
            "size-" + std::to_string(size.rows));
        if (!read)
            GTEST_SKIP() << (size.rows == 144 ? "python3-zxing-cpp" : "dmtxread") << " is not installed";
        EXPECT_EQ(*read, content) << size.rows << "x" << size.columns << ", " << describe(content);
    }
}

// The largest symbol interleaves its check codewords apart from the rule of the others: each round begins with
// blocks 8 and 9 (155 data codewords each), then blocks 0 to 7 (156 each). With 1558 data codewords and 10 blocks the
// general rule puts check codeword k of block b at 1558 + b + 10k; here blocks 0 to 7 go two later, 8 and 9 eight
// earlier.
TEST(DataMatrix, TheLargestSymbolInterleavesItsCheckCodewordsApart)
{
    const auto& size144 = DataMatrixEncoder::SymbolSizes.back();
    const auto& size132 = DataMatrixEncoder::SymbolSizes[DataMatrixEncoder::SymbolSizes.size() - 2];
    ASSERT_EQ(size144.rows, 144);
    ASSERT_EQ(size132.rows, 132);
    struct Case {
        std::size_t block;
        std::size_t k;
        std::size_t position;
    };
    const Case cases[] = {
        { 8, 0, 1558 }, // 1558 + 8 - 8
        { 9, 0, 1559 }, { 0, 0, 1560 }, // 1558 + 0 + 2
        { 7, 0, 1567 }, { 8, 1, 1568 }, // 1558 + 8 + 10 - 8
        { 0, 1, 1570 }, { 9, 61, 2169 }, // 1558 + 9 + 610 - 8
        { 0, 61, 2170 }, { 7, 61, 2177 }, // the last codeword of the symbol
    };
    for (const auto& c : cases)
        EXPECT_EQ(DataMatrixEncoder::checkCodewordPosition(size144, c.block, c.k), c.position)
            << "block " << c.block << ", check codeword " << c.k;
    // Every position from 1558 to 2177 once.
    std::set<std::size_t> positions;
    for (std::size_t b = 0; b < 10; ++b)
        for (std::size_t k = 0; k < 62; ++k)
            positions.insert(DataMatrixEncoder::checkCodewordPosition(size144, b, k));
    EXPECT_EQ(positions.size(), 620u);
    EXPECT_EQ(*positions.begin(), 1558u);
    EXPECT_EQ(*positions.rbegin(), 2177u);
    // The 132 x 132 symbol keeps the general rule: 1304 data codewords, 8 blocks.
    EXPECT_EQ(DataMatrixEncoder::checkCodewordPosition(size132, 0, 0), 1304u);
    EXPECT_EQ(DataMatrixEncoder::checkCodewordPosition(size132, 7, 1), 1304u + 7 + 8);

    // Made through the barcode: printable characters in a fixed scrambled order, about one codeword each, fill the
    // largest size and read back.
    std::string content;
    unsigned state = 1;
    for (int i = 0; i < 1450; ++i) {
        state = state * 1103515245u + 12345u;
        content += static_cast<char>(' ' + (state >> 16) % 95);
    }
    auto barcode = makeDataMatrix(String(content));
    ASSERT_TRUE(barcode->encodingErrorString().isEmpty()) << describe(content);
    ASSERT_EQ(barcode->matrixSymbol()->rows, 144) << describe(content);
    auto read = readBack(*barcode, "largest-text");
    if (!read)
        GTEST_SKIP() << "python3-zxing-cpp is not installed";
    EXPECT_EQ(*read, content) << describe(content);
}

TEST(DataMatrix, DmtxreadReadsEveryEncodation)
{
    const std::string contents[] = {
        "",
        "123456",
        "Hello, World!",
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ABC", // C40
        "the quick brown fox jumps over the lazy dog", // Text
        "*>*>*>*>*>*>*>*>*>*>", // X12
        "!#$%&()!#$%&()!#$%&()!#$%&() end", // EDIFACT, then ASCII
        "!#$%&()!#$%&()!#$%&()!#$%&()", // EDIFACT to the end
        "\xC3\xA9\xC3\xA8\xC3\xAA\xC3\xAB \xC5\x93uvre", // Base 256
        "ABCDEFGHIJKLMNOPQRa", // C40 ending with pending values
        "ABCDEFGHIJKLMNOPQ!", // C40 ending in a shifted character
        "ABCDEFGHIJ\xC3\xB1", // C40 ending in an upper-shifted byte
        "*>*>*>*>*>*>*>a>*>*>*>*>*>", // a byte X12 cannot hold in the middle of X12
        "*>*>*>*>*>*>*>*>!#$%&()!#$%&()a!#$%&()!#$%&()!#$%&()", // X12, EDIFACT and bytes each cannot hold
        "ABCDEFGHIJKLMNOPQRSTUVWXYZ\r*>\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9 abcdefghijklmnop 0123456789",
    };
    std::set<Encodation> seen;
    for (std::size_t i = 0; i < std::size(contents); ++i) {
        const auto& content = contents[i];
        // The encodations used: every latch codeword outside Base 256 fields.
        auto codewords = codewordsOf(content);
        for (auto cw : codewords) {
            if (cw == 230)
                seen.insert(Encodation::C40);
            if (cw == 239)
                seen.insert(Encodation::Text);
            if (cw == 238)
                seen.insert(Encodation::X12);
            if (cw == 240)
                seen.insert(Encodation::EDIFACT);
            if (cw == 231)
                seen.insert(Encodation::Base256);
        }
        auto barcode = makeDataMatrix(String(content));
        auto read = readBack(*barcode, "encodation-" + std::to_string(i));
        if (!read)
            GTEST_SKIP() << "dmtxread is not installed";
        EXPECT_EQ(*read, content.empty() ? "1" : content) << describe(content);
    }
    EXPECT_EQ(seen.size(), 5u);
}

TEST(DataMatrix, CharactersOutsideTheRangeAreReported)
{
    auto barcode = makeDataMatrix(String(u"ok \U0001F600 \u4E2D"));
    EXPECT_FALSE(barcode->validatedErrorString().isEmpty());
    EXPECT_NE(barcode->validatedErrorString().utf8().find("\xF0\x9F\x98\x80"), std::string::npos)
        << barcode->validatedErrorString().utf8();
    barcode->setContent(String(u"ok \u00E9\u01FF"));
    EXPECT_TRUE(barcode->validatedErrorString().isEmpty()) << barcode->validatedErrorString().utf8();
}
