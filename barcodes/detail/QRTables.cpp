// ISO/IEC 18004 tables of QR Code Model 2, indexed by version (index 0 unused).
#include "barcodes/detail/QREncoder.h"

#include <algorithm>

namespace QREncoder {

// Table 1: all codewords (data and error correction) of each version.
constexpr std::array<std::uint16_t, 41> TotalCodewords = {
    0, 26, 44, 70, 100, 134, // versions 1-5
    172, 196, 242, 292, 346, // versions 6-10
    404, 466, 532, 581, 655, // versions 11-15
    733, 815, 901, 991, 1085, // versions 16-20
    1156, 1258, 1364, 1474, 1588, // versions 21-25
    1706, 1828, 1921, 2051, 2185, // versions 26-30
    2323, 2465, 2611, 2761, 2876, // versions 31-35
    3034, 3196, 3362, 3532, 3706, // versions 36-40
};
static_assert(TotalCodewords.size() == 41);

// Table 9: error-correction blocks of each version, one row per level (L, M, Q, H).
constexpr std::array<std::array<std::uint8_t, 41>, 4> ErrorCorrectionBlocks = { {
    { 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 4, 4, 4, 4, 4, 6, 6, 6, 6, 7, 8, 8, 9, 9, 10, 12, 12, 12, 13, 14, 15, 16, 17, 18,
        19, 19, 20, 21, 22, 24, 25 }, // L
    { 0, 1, 1, 1, 2, 2, 4, 4, 4, 5, 5, 5, 8, 9, 9, 10, 10, 11, 13, 14, 16, 17, 17, 18, 20, 21, 23, 25, 26, 28, 29, 31,
        33, 35, 37, 38, 40, 43, 45, 47, 49 }, // M
    { 0, 1, 1, 2, 2, 4, 4, 6, 6, 8, 8, 8, 10, 12, 16, 12, 17, 16, 18, 21, 20, 23, 23, 25, 27, 29, 34, 34, 35, 38, 40,
        43, 45, 48, 51, 53, 56, 59, 62, 65, 68 }, // Q
    { 0, 1, 1, 2, 4, 4, 4, 5, 6, 8, 8, 11, 11, 16, 16, 18, 16, 19, 21, 25, 25, 25, 34, 30, 32, 35, 37, 40, 42, 45, 48,
        51, 54, 57, 60, 63, 66, 70, 74, 77, 81 }, // H
} };
static_assert(ErrorCorrectionBlocks.size() == 4);

// Table 9: error-correction codewords in each block, one row per level (L, M, Q, H).
constexpr std::array<std::array<std::uint8_t, 41>, 4> EccCodewordsPerBlock = { {
    { 0, 7, 10, 15, 20, 26, 18, 20, 24, 30, 18, 20, 24, 26, 30, 22, 24, 28, 30, 28, 28, 28, 28, 30, 30, 26, 28, 30, 30,
        30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30 }, // L
    { 0, 10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26, 26, 28, 28, 28, 28, 28, 28, 28,
        28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28 }, // M
    { 0, 13, 22, 18, 26, 18, 24, 18, 22, 20, 24, 28, 26, 24, 20, 30, 24, 28, 28, 26, 30, 28, 30, 30, 30, 30, 28, 30, 30,
        30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30 }, // Q
    { 0, 17, 28, 22, 16, 22, 28, 26, 26, 24, 28, 24, 28, 22, 24, 24, 30, 28, 28, 26, 28, 30, 24, 30, 30, 30, 30, 30, 30,
        30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30 }, // H
} };
static_assert(EccCodewordsPerBlock.size() == 4);
static_assert(std::ranges::all_of(
    EccCodewordsPerBlock, [](const auto& level) { return std::ranges::max(level) <= MaximumEccCodewordsPerBlock; }));

// Annex E: row/column centres of the alignment patterns.
constexpr std::array<std::array<std::uint8_t, 7>, 41> AlignmentCentres = { {
    {}, // (no version 0)
    {}, // version 1
    { 6, 18 }, // version 2
    { 6, 22 }, // version 3
    { 6, 26 }, // version 4
    { 6, 30 }, // version 5
    { 6, 34 }, // version 6
    { 6, 22, 38 }, // version 7
    { 6, 24, 42 }, // version 8
    { 6, 26, 46 }, // version 9
    { 6, 28, 50 }, // version 10
    { 6, 30, 54 }, // version 11
    { 6, 32, 58 }, // version 12
    { 6, 34, 62 }, // version 13
    { 6, 26, 46, 66 }, // version 14
    { 6, 26, 48, 70 }, // version 15
    { 6, 26, 50, 74 }, // version 16
    { 6, 30, 54, 78 }, // version 17
    { 6, 30, 56, 82 }, // version 18
    { 6, 30, 58, 86 }, // version 19
    { 6, 34, 62, 90 }, // version 20
    { 6, 28, 50, 72, 94 }, // version 21
    { 6, 26, 50, 74, 98 }, // version 22
    { 6, 30, 54, 78, 102 }, // version 23
    { 6, 28, 54, 80, 106 }, // version 24
    { 6, 32, 58, 84, 110 }, // version 25
    { 6, 30, 58, 86, 114 }, // version 26
    { 6, 34, 62, 90, 118 }, // version 27
    { 6, 26, 50, 74, 98, 122 }, // version 28
    { 6, 30, 54, 78, 102, 126 }, // version 29
    { 6, 26, 52, 78, 104, 130 }, // version 30
    { 6, 30, 56, 82, 108, 134 }, // version 31
    { 6, 34, 60, 86, 112, 138 }, // version 32
    { 6, 30, 58, 86, 114, 142 }, // version 33
    { 6, 34, 62, 90, 118, 146 }, // version 34
    { 6, 30, 54, 78, 102, 126, 150 }, // version 35
    { 6, 24, 50, 76, 102, 128, 154 }, // version 36
    { 6, 28, 54, 80, 106, 132, 158 }, // version 37
    { 6, 32, 58, 84, 110, 136, 162 }, // version 38
    { 6, 26, 54, 82, 110, 138, 166 }, // version 39
    { 6, 30, 58, 86, 114, 142, 170 }, // version 40
} };
static_assert(AlignmentCentres.size() == 41);

// The highest level of version 40 holds 2956 data codewords at level L (ISO/IEC 18004 table 7).
static_assert(TotalCodewords[40] - EccCodewordsPerBlock[0][40] * ErrorCorrectionBlocks[0][40] == 2956);
static_assert(TotalCodewords[1] - EccCodewordsPerBlock[0][1] * ErrorCorrectionBlocks[0][1] == 19);

}
