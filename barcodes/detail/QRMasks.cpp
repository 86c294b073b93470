// QR Code data masks (ISO/IEC 18004 table 10) and this system's own score of them. The score looks at every row and
// column of each masked grid, so rows and columns are kept as packed lines, 64 modules to a word: a masked line is a
// few word operations, and no mask needs a copy of the grid.
#include "barcodes/detail/QREncoder.h"

#include <cassert>

namespace QREncoder {

namespace {

constexpr int MaximumSize = 17 + 4 * MaximumVersion;

// Table 10: whether the mask inverts the module in row i, column j.
bool maskCondition(int mask, int i, int j)
{
    switch (mask) {
    case 0:
        return (i + j) % 2 == 0;
    case 1:
        return i % 2 == 0;
    case 2:
        return j % 3 == 0;
    case 3:
        return (i + j) % 3 == 0;
    case 4:
        return (i / 2 + j / 3) % 2 == 0;
    case 5:
        return (i * j) % 2 + (i * j) % 3 == 0;
    case 6:
        return ((i * j) % 2 + (i * j) % 3) % 2 == 0;
    default:
        return ((i + j) % 2 + (i * j) % 3) % 2 == 0;
    }
}

int countOnes(std::uint64_t word)
{
    // Without a population-count instruction in the target, std::popcount is a library call per word.
    word -= (word >> 1) & 0x5555555555555555;
    word = (word & 0x3333333333333333) + ((word >> 2) & 0x3333333333333333);
    word = (word + (word >> 4)) & 0x0F0F0F0F0F0F0F0F;
    return static_cast<int>((word * 0x0101010101010101) >> 56);
}

// A row or a column of up to 64 * Words modules, module k in bit k % 64 of word k / 64.
template <std::size_t Words> struct Line {
    std::array<std::uint64_t, Words> words {};

    void set(int k) { set(k, true); }
    // Or-s the module in: on a clear line, without a branch.
    void set(int k, bool isSet)
    {
        words[static_cast<std::size_t>(k / 64)] |= static_cast<std::uint64_t>(isSet) << (k % 64);
    }
    bool test(int k) const { return (words[static_cast<std::size_t>(k / 64)] >> (k % 64)) & 1u; }
    // Modules 0 to count - 1 all set (count < 64).
    bool startsWithSet(int count) const
    {
        const std::uint64_t first = (std::uint64_t { 1 } << count) - 1;
        return (words[0] & first) == first;
    }
    int count() const
    {
        int ones = 0;
        // Most lines of runs and finder-like sequences are empty.
        for (auto word : words) {
            if (word != 0)
                ones += countOnes(word);
        }
        return ones;
    }

    Line operator~() const
    {
        Line out;
        for (std::size_t i = 0; i < Words; ++i)
            out.words[i] = ~words[i];
        return out;
    }
    friend Line operator&(Line a, const Line& b)
    {
        for (std::size_t i = 0; i < Words; ++i)
            a.words[i] &= b.words[i];
        return a;
    }
    friend Line operator^(Line a, const Line& b)
    {
        for (std::size_t i = 0; i < Words; ++i)
            a.words[i] ^= b.words[i];
        return a;
    }
    // Module k + shift moves to k (0 < shift < 64).
    Line operator>>(int shift) const
    {
        Line out;
        for (std::size_t i = 0; i < Words; ++i) {
            out.words[i] = words[i] >> shift;
            if (i + 1 < Words)
                out.words[i] |= words[i + 1] << (64 - shift);
        }
        return out;
    }
    // Module k moves to k + shift (0 < shift < 64).
    Line operator<<(int shift) const
    {
        Line out;
        for (std::size_t i = 0; i < Words; ++i) {
            out.words[i] = words[i] << shift;
            if (i > 0)
                out.words[i] |= words[i - 1] >> (64 - shift);
        }
        return out;
    }
};

// The words a line of the largest symbol needs.
constexpr std::size_t LongestLineWords = (MaximumSize + 63) / 64;

// The modules each mask inverts, as lines. The conditions repeat every 12 rows and every 12 columns.
template <std::size_t Words> struct MaskPatterns {
    // rows[mask][i % 12], module j: the mask inverts module (i, j).
    std::array<std::array<Line<Words>, 12>, 8> rows;
    // columns[mask][j % 12], module i: the same.
    std::array<std::array<Line<Words>, 12>, 8> columns;
};

template <std::size_t Words> const MaskPatterns<Words>& maskPatterns()
{
    static const MaskPatterns<Words> patterns = [] {
        MaskPatterns<Words> p;
        for (std::size_t mask = 0; mask < 8; ++mask) {
            for (std::size_t r = 0; r < 12; ++r) {
                for (int k = 0; k < static_cast<int>(64 * Words); ++k) {
                    if (maskCondition(static_cast<int>(mask), static_cast<int>(r), k))
                        p.rows[mask][r].set(k);
                    if (maskCondition(static_cast<int>(mask), k, static_cast<int>(r)))
                        p.columns[mask][r].set(k);
                }
            }
        }
        return p;
    }();
    return patterns;
}

// Where, in a line of a given length, neighbours can be compared and a finder-like sequence can start.
template <std::size_t Words> struct LineBounds {
    explicit LineBounds(int length)
    {
        for (int k = 0; k < length - 1; ++k)
            pairs.set(k);
        for (int k = 0; k <= length - 8; ++k)
            finderStarts.set(k);
    }
    // Module k: it and module k + 1 both lie in the line.
    Line<Words> pairs;
    // Module k: a sequence starting there is looked at (it must end at least one module before the line does).
    Line<Words> finderStarts;
};

// The unmasked grid as lines, every row and every column, each beside the data modules a mask may invert.
template <std::size_t Words> struct PackedGrid {
    PackedGrid(int n, std::span<const std::uint8_t> modules, std::span<const std::uint8_t> function)
        : size(n)
        , bounds(n)
        , rows(static_cast<std::size_t>(n))
        , columns(static_cast<std::size_t>(n))
        , dataRows(static_cast<std::size_t>(n))
        , dataColumns(static_cast<std::size_t>(n))
    {
        for (int r = 0; r < size; ++r) {
            for (int c = 0; c < size; ++c) {
                auto ur = static_cast<std::size_t>(r);
                auto uc = static_cast<std::size_t>(c);
                const std::size_t at = ur * static_cast<std::size_t>(size) + uc;
                const bool isDark = modules[at] != 0;
                const bool isData = function[at] == 0;
                rows[ur].set(c, isDark);
                columns[uc].set(r, isDark);
                dataRows[ur].set(c, isData);
                dataColumns[uc].set(r, isData);
            }
        }
    }
    Line<Words> maskedRow(std::size_t mask, std::size_t i) const
    {
        return rows[i] ^ (maskPatterns<Words>().rows[mask][i % 12] & dataRows[i]);
    }
    Line<Words> maskedColumn(std::size_t mask, std::size_t j) const
    {
        return columns[j] ^ (maskPatterns<Words>().columns[mask][j % 12] & dataColumns[j]);
    }

    int size;
    LineBounds<Words> bounds;
    std::vector<Line<Words>> rows;
    std::vector<Line<Words>> columns;
    std::vector<Line<Words>> dataRows;
    std::vector<Line<Words>> dataColumns;
};

// One row's or column's share of the score. A run of one colour counts its modules, except that every run but the
// line's first misses its first module (the count restarts at 0 on a change of colour); a count of 6 or more scores
// count + 3. Every dark-light-dark-dark-dark-light-dark sequence scores 40.
template <std::size_t Words> int lineScore(const Line<Words>& line, const LineBounds<Words>& bounds)
{
    // Module k: modules k and k + 1 alike; modules k to k + 6 alike.
    const auto alike = ~(line ^ (line >> 1)) & bounds.pairs;
    const auto sevenAlike = alike & (alike >> 1) & (alike >> 2) & (alike >> 3) & (alike >> 4) & (alike >> 5);
    // A run of L >= 7 modules after the first counts L - 1 and scores L + 2: L - 6 modules of sevenAlike, plus 8.
    const auto runStarts = sevenAlike & ~(sevenAlike << 1);
    int score = sevenAlike.count() + 8 * runStarts.count();
    // The first run counts all its modules: one more when it was scored above, 6 + 3 when it is exactly 6 long.
    if (sevenAlike.test(0))
        score += 1;
    else if (alike.startsWithSet(5))
        score += 6 + 3;

    const auto finderLike = line & ~(line >> 1) & (line >> 2) & (line >> 3) & (line >> 4) & ~(line >> 5) & (line >> 6)
        & bounds.finderStarts;
    return score + 40 * finderLike.count();
}

// Long runs and finder-like sequences in every column and row, then the dark/light balance.
template <std::size_t Words> int maskPenalty(const PackedGrid<Words>& grid, std::size_t mask)
{
    const int n = grid.size;
    int score = 0;
    long darkCount = 0;
    for (std::size_t i = 0; i < grid.rows.size(); ++i) {
        const auto row = grid.maskedRow(mask, i);
        score += lineScore(row, grid.bounds);
        darkCount += row.count();
    }
    for (std::size_t j = 0; j < grid.columns.size(); ++j)
        score += lineScore(grid.maskedColumn(mask, j), grid.bounds);

    int p = static_cast<int>(100 * darkCount / (static_cast<long>(n) * n));
    score += 10 * ((p <= 50 ? 100 - p : p) - 50) / 5;
    return score;
}

template <std::size_t Words>
std::array<int, 8> maskPenalties(
    int size, std::span<const std::uint8_t> modules, std::span<const std::uint8_t> function)
{
    const PackedGrid<Words> grid(size, modules, function);
    std::array<int, 8> scores {};
    for (std::size_t mask = 0; mask < 8; ++mask)
        scores[mask] = maskPenalty(grid, mask);
    return scores;
}

}

std::array<int, 8> maskPenalties(
    int size, std::span<const std::uint8_t> modules, std::span<const std::uint8_t> function)
{
    assert(size > 0 && size <= MaximumSize);
    assert(modules.size() == static_cast<std::size_t>(size * size) && function.size() == modules.size());
    // Lines of as few words as the size needs.
    if (size <= 64)
        return maskPenalties<1>(size, modules, function);
    if (size <= 128)
        return maskPenalties<2>(size, modules, function);
    return maskPenalties<3>(size, modules, function);
}

void applyMask(int mask, int size, std::span<std::uint8_t> modules, std::span<const std::uint8_t> function)
{
    assert(mask >= 0 && mask < 8 && size > 0 && size <= MaximumSize);
    assert(modules.size() == static_cast<std::size_t>(size * size) && function.size() == modules.size());
    for (int i = 0; i < size; ++i) {
        const auto& inverted
            = maskPatterns<LongestLineWords>().rows[static_cast<std::size_t>(mask)][static_cast<std::size_t>(i % 12)];
        for (int j = 0; j < size; ++j) {
            const auto at = static_cast<std::size_t>(i) * static_cast<std::size_t>(size) + static_cast<std::size_t>(j);
            if (function[at] == 0 && inverted.test(j))
                modules[at] ^= 1;
        }
    }
}

}
