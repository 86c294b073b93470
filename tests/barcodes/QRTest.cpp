#include "barcodes/QR.h"
#include "barcodes/detail/QREncoder.h"

#include "support/DecoderCheck.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <set>
#include <string_view>

using namespace fnd;
using QREncoder::Level;

namespace {

char levelName(Level level)
{
    return "LMQH"[static_cast<int>(level)];
}

std::string bitString(unsigned value, int bits)
{
    std::string out;
    for (int i = bits - 1; i >= 0; --i)
        out += ((value >> i) & 1u) ? '1' : '0';
    return out;
}

std::string picture(const QREncoder::Symbol& s)
{
    std::string out;
    for (int r = 0; r < s.size; ++r) {
        for (int c = 0; c < s.size; ++c)
            out += s.dark(r, c) ? '#' : '.';
        out += '\n';
    }
    return out;
}

// Digits without the long repetitions for which the mask score may choose a pattern of diagonal stripes (a valid
// symbol that zbar nevertheless fails to locate).
std::string variedDigits(std::size_t count)
{
    std::string out;
    for (std::size_t i = 0; i < count; ++i)
        out += static_cast<char>('0' + (i * 7 + i / 10) % 10);
    return out;
}

// The data masks of ISO/IEC 18004 table 10 drawn out: the modules each mask inverts ('#') in rows 0 to 11 and columns
// 0 to 5, masks 0 to 7 side by side. Every mask repeats itself every 12 rows and every 6 columns.
constexpr std::array<std::string_view, 12> MaskPictures = {
    "#.#.#. ###### #..#.. #..#.. ###... ###### ###### #.#.#.",
    ".#.#.# ...... #..#.. ..#..# ###... #..... ###... ...###",
    "#.#.#. ###### #..#.. .#..#. ...### #..#.. ##.##. #...##",
    ".#.#.# ...... #..#.. #..#.. ...### #.#.#. #.#.#. .#.#.#",
    "#.#.#. ###### #..#.. ..#..# ###... #..#.. #.##.# ###...",
    ".#.#.# ...... #..#.. .#..#. ###... #..... #...## .###..", // 5
    "#.#.#. ###### #..#.. #..#.. ...### ###### ###### #.#.#.",
    ".#.#.# ...... #..#.. ..#..# ...### #..... ###... ...###",
    "#.#.#. ###### #..#.. .#..#. ###... #..#.. ##.##. #...##",
    ".#.#.# ...... #..#.. #..#.. ###... #.#.#. #.#.#. .#.#.#",
    "#.#.#. ###### #..#.. ..#..# ...### #..#.. #.##.# ###...", // 10
    ".#.#.# ...... #..#.. .#..#. ...### #..... #...## .###..",
};

bool maskInverts(int mask, int i, int j)
{
    return MaskPictures[static_cast<std::size_t>(i % 12)][static_cast<std::size_t>(mask * 7 + j % 6)] == '#';
}

// The mask score module by module, as the encoder first computed it: per line, a run whose count (the first run all
// its modules, later runs all but their first) reaches 6 scores count + 3, and 1011101 starting at least 8 modules
// before the end scores 40; then 10 per 5 % of imbalance between dark and light.
int referencePenalty(int n, const std::vector<std::uint8_t>& modules)
{
    int score = 0;
    auto scoreLine = [&](auto module) {
        bool colour = module(0);
        int count = 0;
        for (int k = 0; k < n; ++k) {
            if (module(k) == colour) {
                ++count;
                continue;
            }
            if (count >= 6)
                score += count + 3;
            count = 0;
            colour = module(k);
        }
        if (count >= 6)
            score += count + 3;
        for (int s = 0; s <= n - 8; ++s) {
            if (module(s) && !module(s + 1) && module(s + 2) && module(s + 3) && module(s + 4) && !module(s + 5)
                && module(s + 6))
                score += 40;
        }
    };
    auto at = [n](int r, int c) { return static_cast<std::size_t>(r * n + c); };
    for (int c = 0; c < n; ++c)
        scoreLine([&](int r) { return modules[at(r, c)] != 0; });
    for (int r = 0; r < n; ++r)
        scoreLine([&](int c) { return modules[at(r, c)] != 0; });
    long dark = std::count(modules.begin(), modules.end(), 1);
    int p = static_cast<int>(100 * dark / (static_cast<long>(n) * n));
    return score + 10 * ((p <= 50 ? 100 - p : p) - 50) / 5;
}

std::shared_ptr<QR> makeQR(const String& content)
{
    auto barcode = std::dynamic_pointer_cast<QR>(TBQGenericBarcode::barcodeWithClassName("QR"));
    EXPECT_TRUE(barcode);
    barcode->setContent(content);
    return barcode;
}

}

TEST(QR, ModeMarksMergeShortRuns)
{
    struct Case {
        const char* content;
        const char* marks;
    };
    const Case cases[] = {
        { "12345", "BBBBB" }, // 5 digits: too short for numeric, then too short for alphanumeric
        { "123456", "NNNNNN" },
        { "HELLO WORLD", "AAAAAAAAAAA" },
        { "hello world", "BBBBBBBBBBB" },
        { "\xC3\xA9", "BB" }, // U+00E9 is two bytes
        { "ABC123456789abc", "BBBNNNNNNNNNBBB" },
        { "AB12345CDEF", "AAAAAAAAAAA" }, // a short digit run joins the letters around it
        { "", "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(QREncoder::modeMarks(c.content), c.marks) << c.content;
}

TEST(QR, VersionAndLevelFromTheEstimate)
{
    struct Case {
        std::string content;
        int bits;
        int version;
        Level level;
    };
    const Case cases[] = {
        { "", 0, 1, Level::H }, { "HELLO WORLD", 78, 1, Level::Q }, // 17 + 5 pairs of 11 + 6
        { "123456", 38, 1, Level::H }, // 18 + 2 groups of 10
        { "ABCDEFGHIJKLM", 17 + 6 * 11 + 6, 1, Level::Q }, // 89 bits: over 1-H (72)
        { "hello world!", 20 + 12 * 8, 1, Level::M }, // 116 bits: over 1-Q (104)
        { std::string(16, 'a'), 20 + 16 * 8, 1, Level::L }, // 148 bits: over 1-M (128), within 1-L (152)
        { std::string(17, 'a'), 20 + 17 * 8, 2, Level::Q }, // 156 bits: over 1-L (152), within 2-Q (176)
        { std::string(2953, 'a'), 20 + 2953 * 8, 40, Level::L }, // the largest byte content
    };
    for (const auto& c : cases) {
        auto marks = QREncoder::modeMarks(c.content);
        int bits = QREncoder::estimatedBits(marks);
        EXPECT_EQ(bits, c.bits) << c.content;
        int version = QREncoder::versionForBits(bits);
        EXPECT_EQ(version, c.version) << c.content;
        if (version > 0) {
            EXPECT_EQ(QREncoder::levelForBits(version, bits), c.level) << c.content;
        }
    }
    EXPECT_EQ(QREncoder::versionForBits(23648), 40);
    EXPECT_EQ(QREncoder::versionForBits(23649), 0);
    EXPECT_EQ(QREncoder::dataCodewords(1, Level::L), 19);
    EXPECT_EQ(QREncoder::dataCodewords(40, Level::L), 2956);
}

TEST(QR, DataCodewordStreams)
{
    // "HELLO WORLD" at 1-M: alphanumeric mode, count 11, five pairs and one single, terminator, pads.
    EXPECT_EQ(QREncoder::dataCodewordStream("HELLO WORLD", QREncoder::modeMarks("HELLO WORLD"), 1, Level::M),
        (std::vector<std::uint8_t> { 32, 91, 11, 120, 209, 114, 220, 77, 67, 64, 236, 17, 236, 17, 236, 17 }));
    // Nothing at 1-H: the terminator alone fills a byte, then the pad codewords alternate.
    EXPECT_EQ(QREncoder::dataCodewordStream("", "", 1, Level::H),
        (std::vector<std::uint8_t> { 0x00, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11 }));
    // "01234567" numeric (ISO/IEC 18004 annex I): 0001 0000001000 0000001100 0101011001 1000011 0000.
    EXPECT_EQ(QREncoder::dataCodewordStream("01234567", "NNNNNNNN", 1, Level::M),
        (std::vector<std::uint8_t> {
            0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11 }));
}

TEST(QR, FormatAndVersionInformationBits)
{
    // Mask 0 of each level, most significant bit first; bit 0 is the least significant.
    EXPECT_EQ(bitString(QREncoder::formatInformation(Level::L, 0), 15), "111011111000100");
    EXPECT_EQ(bitString(QREncoder::formatInformation(Level::M, 0), 15), "101010000010010");
    EXPECT_EQ(bitString(QREncoder::formatInformation(Level::Q, 0), 15), "011010101011111");
    EXPECT_EQ(bitString(QREncoder::formatInformation(Level::H, 0), 15), "001011010001001");
    EXPECT_EQ(QREncoder::versionInformation(7), 0x07C94u);
    EXPECT_EQ(QREncoder::versionInformation(40), 0x28C69u);

    // Both copies of the format bits of an encoded symbol read back the level and mask it was given.
    auto symbol = QREncoder::encode("https://example.com/format");
    ASSERT_TRUE(symbol);
    int n = symbol->size;
    unsigned first = 0, second = 0;
    for (int i = 0; i <= 5; ++i)
        first |= unsigned(symbol->dark(i, 8)) << i;
    first |= unsigned(symbol->dark(7, 8)) << 6 | unsigned(symbol->dark(8, 8)) << 7 | unsigned(symbol->dark(8, 7)) << 8;
    for (int i = 9; i <= 14; ++i)
        first |= unsigned(symbol->dark(8, 14 - i)) << i;
    for (int i = 0; i <= 7; ++i)
        second |= unsigned(symbol->dark(8, n - 1 - i)) << i;
    for (int i = 8; i <= 14; ++i)
        second |= unsigned(symbol->dark(n - 15 + i, 8)) << i;
    EXPECT_EQ(first, QREncoder::formatInformation(symbol->level, symbol->mask)) << picture(*symbol);
    EXPECT_EQ(second, first);
}

TEST(QR, DarkModuleAndVersionBlocks)
{
    for (int version : { 1, 2, 6, 7, 14, 21, 32, 40 }) {
        // A byte content sized to land in this version.
        int bytes = (QREncoder::dataCodewords(version, Level::L) * 8 - 20) / 8;
        auto symbol = QREncoder::encode(std::string(static_cast<std::size_t>(bytes), 'x'));
        ASSERT_TRUE(symbol);
        ASSERT_EQ(symbol->version, version);
        int n = symbol->size;
        EXPECT_EQ(n, 17 + 4 * version);
        EXPECT_TRUE(symbol->dark(n - 8, 8)) << "dark module, version " << version;
        if (version >= 7) {
            auto info = QREncoder::versionInformation(version);
            for (int k = 0; k < 6; ++k) {
                for (int c = 0; c < 3; ++c) {
                    bool bit = (info >> (3 * k + c)) & 1u;
                    ASSERT_EQ(symbol->dark(n - 11 + c, k), bit) << "version block, version " << version;
                    ASSERT_EQ(symbol->dark(k, n - 11 + c), bit) << "version block, version " << version;
                }
            }
        }
    }
}

TEST(QR, BarcodeFillsTheGridOrReportsTooLong)
{
    auto barcode = makeQR("HELLO WORLD");
    EXPECT_EQ(barcode->barcodeName(), String("QR Code"));
    EXPECT_TRUE(barcode->matrixBased());
    auto* symbol = barcode->matrixSymbol();
    ASSERT_NE(symbol, nullptr);
    EXPECT_EQ(symbol->rows, 21);
    EXPECT_EQ(symbol->drawnRows, 21);
    EXPECT_EQ(symbol->width, 21);
    EXPECT_EQ(symbol->rowHeight[20], 1);
    EXPECT_EQ(symbol->rowHeight[21], 0);
    EXPECT_TRUE(barcode->encodingErrorString().isEmpty());

    // 2954 bytes exceed version 40-L: the text for the user, and an empty grid.
    barcode->setContent(String(std::string(2954, 'a')));
    EXPECT_EQ(barcode->encodingErrorString(), TBQGenericBarcode::localizedBarcodeString("EEDataToLong"));
    EXPECT_FALSE(barcode->encodingErrorString().isEmpty());
    EXPECT_EQ(barcode->matrixSymbol()->rows, 0);
    EXPECT_EQ(barcode->matrixSymbol()->width, 0);
    EXPECT_FALSE(barcode->isModuleSetWithY(0, 0));

    // A content that fits again clears the error.
    barcode->setContent("again");
    EXPECT_TRUE(barcode->encodingErrorString().isEmpty());
    EXPECT_EQ(barcode->matrixSymbol()->rows, 21);
}

// The room left is that of the largest symbol (version 40-L) in the mode the content needs: 7089 digits, 4296
// alphanumeric characters, 2953 bytes, and never more than the 4296 characters the symbology takes.
TEST(QR, CharactersLeftAreTheRoomOfTheModeTheContentNeeds)
{
    struct Case {
        const char* what;
        std::string content;
        Index left;
    };
    std::string accented;
    for (int i = 0; i < 1000; ++i)
        accented += "\u00e9"; // two bytes each
    const Case cases[] = {
        { "empty: text of one-byte characters", "", 2953 },
        { "bytes", std::string(2900, 'a'), 53 },
        { "bytes, full", std::string(2953, 'a'), 0 },
        { "bytes, too many", std::string(3000, 'a'), 0 },
        { "alphanumeric", std::string(4000, 'A'), 296 },
        { "alphanumeric, full", std::string(4296, 'A'), 0 },
        { "HELLO WORLD", "HELLO WORLD", 4296 - 11 },
        // 7089 digits fit, but the symbology takes 4296 characters.
        { "digits", std::string(4000, '7'), 296 },
        // (2953 - 2000) / 2 more two-byte characters.
        { "two-byte characters", accented, 476 },
        // A byte segment of 1000 (4 + 16 + 8000 bits) and a numeric one of 1500 digits (4 + 14 + 5000 bits) leave
        // 10610 of 23648 bits: a new byte segment of 4 + 16 + 8k bits holds 1323 more.
        { "bytes, then digits", std::string(1000, 'a') + std::string(1500, '0'), 1323 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto barcode = makeQR(String(c.content));
        EXPECT_EQ(barcode->numberOfCharactersLeft(), c.left);
        // What is left fits, one more does not (or the symbology takes no more characters).
        const bool fits = barcode->encodingErrorString().isEmpty() && barcode->validatedErrorString().isEmpty();
        EXPECT_EQ(fits, c.content.size() != 3000);
    }
    auto more = [](std::string content, char added, std::size_t count) {
        return makeQR(String(content + std::string(count, added)))->encodingErrorString().isEmpty();
    };
    const std::string mixed = std::string(1000, 'a') + std::string(1500, '0');
    EXPECT_TRUE(more(mixed, 'a', 1323));
    EXPECT_FALSE(more(mixed, 'a', 1324));
    EXPECT_TRUE(more(std::string(2900, 'a'), 'b', 53));
    EXPECT_FALSE(more(std::string(2900, 'a'), 'b', 54));
}

TEST(QR, ZbarReadsEveryVersionClassLevelAndMode)
{
    std::vector<std::string> contents = {
        "",
        "HELLO WORLD",
        "hello world",
        "1234567890123456789012345678901234567890",
        "Stra\xC3\x9F"
        "e \xC3\xA9t\xC3\xA9 \xC5\x93uvre \xC4\x8C\xC5\xA1", // Latin-1 and Latin Extended-A
        "MIXED 123456789 text/with:symbols%",
        "https://example.com/a/long/path?with=query&and=more#fragment-0123456789",
        std::string(100, 'Q') + std::string(100, '7'),
        std::string(300, 'z'),
        std::string(1000, '5'),
        std::string(2953, 'k'),
        variedDigits(4296),
        std::string(4296, 'X'),
        "\xC3\xA9",
        "12345",
    };
    std::set<int> levels;
    std::set<std::string> classes;
    for (std::size_t i = 0; i < contents.size(); ++i) {
        const auto& content = contents[i];
        auto barcode = makeQR(String(content));
        ASSERT_TRUE(barcode->encodingErrorString().isEmpty()) << content.substr(0, 40);
        auto symbol = QREncoder::encode(content);
        ASSERT_TRUE(symbol);
        levels.insert(static_cast<int>(symbol->level));
        classes.insert(symbol->version == 1 ? "small"
                : symbol->version < 7       ? "medium"
                : symbol->version < 40      ? "large"
                                            : "largest");

        const auto* grid = barcode->matrixSymbol();
        auto png = DecoderCheck::scratchPath("qr-" + std::to_string(i));
        ASSERT_TRUE(DecoderCheck::renderMatrix(
            grid->rows, grid->width, [&](int r, int c) { return barcode->isModuleSetWithY(r, c); }, png, 3));
        auto read = DecoderCheck::zbarimg(png, true, "-Sbinary");
        if (!read)
            GTEST_SKIP() << "zbarimg is not installed";
        EXPECT_EQ(*read, content) << "version " << symbol->version << "-" << levelName(symbol->level) << ", mask "
                                  << symbol->mask << ", content " << content.substr(0, 60);
    }
    EXPECT_EQ(levels.size(), 4u);
    EXPECT_EQ(classes, (std::set<std::string> { "small", "medium", "large", "largest" }));
}

TEST(QR, MaskScoresAgreeWithTheModuleByModuleRule)
{
    // Every mask on grids with long runs and finder-like sequences, on both sides of the 64- and 128-module line
    // widths, beside function areas the masks leave alone.
    std::mt19937 random(18004);
    for (int n : { 21, 25, 57, 61, 65, 69, 125, 129, 133, 177 }) {
        for (int flipOdds : { 2, 9 }) {
            std::vector<std::uint8_t> modules(static_cast<std::size_t>(n * n));
            std::vector<std::uint8_t> function(modules.size());
            std::uint8_t colour = 0;
            for (std::size_t i = 0; i < modules.size(); ++i) {
                if (random() % static_cast<unsigned>(flipOdds) == 0)
                    colour ^= 1;
                modules[i] = colour;
                function[i] = (i / static_cast<std::size_t>(n) < 9 && i % static_cast<std::size_t>(n) < 9)
                    || random() % 10 == 0;
            }
            const auto scores = QREncoder::maskPenalties(n, modules, function);
            for (int mask = 0; mask < 8; ++mask) {
                auto expected = modules;
                for (int i = 0; i < n; ++i) {
                    for (int j = 0; j < n; ++j) {
                        auto at = static_cast<std::size_t>(i * n + j);
                        if (!function[at] && maskInverts(mask, i, j))
                            expected[at] ^= 1;
                    }
                }
                auto masked = modules;
                QREncoder::applyMask(mask, n, masked, function);
                ASSERT_EQ(masked, expected) << "size " << n << ", mask " << mask;
                EXPECT_EQ(scores[static_cast<std::size_t>(mask)], referencePenalty(n, expected))
                    << "size " << n << ", flip odds " << flipOdds << ", mask " << mask;
            }
        }
    }

    // All light, nothing to mask: 42 lines of one run of 21 (24 each) and no dark module (100).
    const std::vector<std::uint8_t> light(21 * 21, 0);
    const std::vector<std::uint8_t> allFunction(21 * 21, 1);
    for (int score : QREncoder::maskPenalties(21, light, allFunction))
        EXPECT_EQ(score, 42 * 24 + 100);
}
