#include "barcodes/detail/QREncoder.h"

#include "barcodes/ReedSolomonEncoder.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <mutex>

namespace QREncoder {

namespace {

constexpr std::string_view AlphanumericSet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
constexpr int MaximumBits = 23648; // 2956 codewords of version 40-L

// The level indicator of the format information (ISO/IEC 18004 table 12).
int levelIndicator(Level level)
{
    constexpr int indicators[] = { 1, 0, 3, 2 }; // L M Q H
    return indicators[static_cast<int>(level)];
}

bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

// Turns every run of `from` shorter than 6 into `to`.
void mergeShortRuns(std::string& marks, char from, char to)
{
    for (std::size_t i = 0; i < marks.size();) {
        if (marks[i] != from) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < marks.size() && marks[end] == from)
            ++end;
        if (end - i < 6)
            std::fill(
                marks.begin() + static_cast<std::ptrdiff_t>(i), marks.begin() + static_cast<std::ptrdiff_t>(end), to);
        i = end;
    }
}

// Bits appended most significant first, straight into bytes; a short last byte keeps 0 bits.
class BitBuffer {
public:
    explicit BitBuffer(std::size_t capacity) { m_bytes.reserve(capacity); }
    void append(unsigned value, int count)
    {
        // As many bits at a time as the last byte has room for.
        while (count > 0) {
            if (m_size % 8 == 0)
                m_bytes.push_back(0);
            const int room = 8 - static_cast<int>(m_size % 8);
            const int taken = std::min(room, count);
            const unsigned bits = (value >> (count - taken)) & ((1u << taken) - 1);
            m_bytes.back() = static_cast<std::uint8_t>(m_bytes.back() | (bits << (room - taken)));
            m_size += static_cast<std::size_t>(taken);
            count -= taken;
        }
    }
    std::vector<std::uint8_t> bytes() && { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_size { 0 };
};

int countBits(char mode, int version)
{
    int versionClass = version <= 9 ? 0 : version <= 26 ? 1 : 2;
    switch (mode) {
    case 'N':
        return 10 + 2 * versionClass;
    case 'A':
        return 9 + 2 * versionClass;
    default:
        return versionClass == 0 ? 8 : 16;
    }
}

unsigned alphanumericValue(char c)
{
    return static_cast<unsigned>(AlphanumericSet.find(c));
}

// The grid under construction: a dark bit and whether the cell belongs to a pattern or a reserved area.
struct Grid {
    explicit Grid(int n)
        : size(n)
        , dark(static_cast<std::size_t>(n * n), 0)
        , function(static_cast<std::size_t>(n * n), 0)
    {
    }
    std::size_t at(int row, int column) const
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(size) + static_cast<std::size_t>(column);
    }
    void set(int row, int column, bool isDark)
    {
        dark[at(row, column)] = isDark;
        function[at(row, column)] = 1;
    }
    bool isData(int row, int column) const { return !function[at(row, column)]; }

    int size;
    std::vector<std::uint8_t> dark;
    std::vector<std::uint8_t> function;
};

void drawFinder(Grid& grid, int top, int left)
{
    // The 7 x 7 finder and its light separator ring, clipped to the grid.
    for (int dr = -1; dr <= 7; ++dr) {
        for (int dc = -1; dc <= 7; ++dc) {
            int r = top + dr;
            int c = left + dc;
            if (r < 0 || r >= grid.size || c < 0 || c >= grid.size)
                continue;
            bool inside = dr >= 0 && dr <= 6 && dc >= 0 && dc <= 6;
            bool ring = dr == 0 || dr == 6 || dc == 0 || dc == 6;
            bool core = dr >= 2 && dr <= 4 && dc >= 2 && dc <= 4;
            grid.set(r, c, inside && (ring || core));
        }
    }
}

Grid drawFunctionPatterns(int version)
{
    Grid grid(symbolSize(version));
    int n = grid.size;
    // Timing patterns first: finders and separators overwrite their ends.
    for (int i = 0; i < n; ++i) {
        grid.set(6, i, i % 2 == 0);
        grid.set(i, 6, i % 2 == 0);
    }
    drawFinder(grid, 0, 0);
    drawFinder(grid, 0, n - 7);
    drawFinder(grid, n - 7, 0);
    auto isFinderArea
        = [n](int r, int c) { return (r < 8 && c < 8) || (r < 8 && c >= n - 8) || (r >= n - 8 && c < 8); };

    const auto& centres = AlignmentCentres[static_cast<std::size_t>(version)];
    for (auto row : centres) {
        for (auto column : centres) {
            if (row == 0 || column == 0 || isFinderArea(row, column))
                continue;
            for (int dr = -2; dr <= 2; ++dr) {
                for (int dc = -2; dc <= 2; ++dc)
                    grid.set(row + dr, column + dc, std::max(std::abs(dr), std::abs(dc)) != 1);
            }
        }
    }

    // Format areas, light until the mask is known; then the dark module.
    for (int i = 0; i <= 8; ++i) {
        if (i != 6) {
            grid.set(8, i, false);
            grid.set(i, 8, false);
        }
    }
    for (int i = 0; i < 8; ++i) {
        grid.set(8, n - 1 - i, false);
        grid.set(n - 1 - i, 8, false);
    }
    grid.set(n - 8, 8, true);

    if (version >= 7) {
        for (int k = 0; k < 6; ++k) {
            for (int c = 0; c < 3; ++c) {
                grid.set(n - 11 + c, k, false);
                grid.set(k, n - 11 + c, false);
            }
        }
    }
    return grid;
}

// A value made once, at its first use, whichever thread asks first. Every caller's Make type has its own table.
template <typename T, std::size_t Count, typename Make> const T& madeOnce(std::size_t index, Make make)
{
    static std::array<std::once_flag, Count> made;
    static std::array<std::optional<T>, Count> values;
    std::call_once(made[index], [&] { values[index] = make(); });
    return *values[index];
}

// The function patterns of a version never change: drawn at the version's first use, copied for every symbol.
const Grid& functionPatterns(int version)
{
    return madeOnce<Grid, MaximumVersion + 1>(
        static_cast<std::size_t>(version), [version] { return drawFunctionPatterns(version); });
}

void placeCodewords(Grid& grid, const std::vector<std::uint8_t>& codewords)
{
    std::size_t bit = 0;
    const std::size_t bitCount = codewords.size() * 8;
    int n = grid.size;
    // Two-column strips from the right edge, alternately upwards and downwards, stepping over the timing column.
    for (int right = n - 1; right >= 1; right -= 2) {
        if (right == 6)
            right = 5;
        bool upwards = ((n - 1 - right) / 2) % 2 == 0;
        for (int step = 0; step < n; ++step) {
            int row = upwards ? n - 1 - step : step;
            for (int column = right; column >= right - 1; --column) {
                if (!grid.isData(row, column))
                    continue;
                bool isDark = bit < bitCount && ((codewords[bit / 8] >> (7 - bit % 8)) & 1u);
                grid.dark[grid.at(row, column)] = isDark;
                ++bit;
            }
        }
    }
}

void placeFormatAndVersion(Grid& grid, Level level, int mask, int version)
{
    int n = grid.size;
    auto format = formatInformation(level, mask);
    auto bit = [&](int i) { return ((format >> i) & 1u) != 0; };
    for (int i = 0; i <= 5; ++i)
        grid.set(i, 8, bit(i));
    grid.set(7, 8, bit(6));
    grid.set(8, 8, bit(7));
    grid.set(8, 7, bit(8));
    for (int i = 9; i <= 14; ++i)
        grid.set(8, 14 - i, bit(i));
    for (int i = 0; i <= 7; ++i)
        grid.set(8, n - 1 - i, bit(i));
    for (int i = 8; i <= 14; ++i)
        grid.set(n - 15 + i, 8, bit(i));

    if (version >= 7) {
        auto info = versionInformation(version);
        for (int k = 0; k < 6; ++k) {
            for (int c = 0; c < 3; ++c) {
                bool isDark = ((info >> (3 * k + c)) & 1u) != 0;
                grid.set(n - 11 + c, k, isDark);
                grid.set(k, n - 11 + c, isDark);
            }
        }
    }
}

// The remainder of value * x^degree(generator) divided by the generator, over GF(2).
unsigned bchRemainder(unsigned value, unsigned generator)
{
    int degree = std::bit_width(generator) - 1;
    unsigned remainder = value << degree;
    for (int i = std::bit_width(remainder) - 1; i >= degree; --i) {
        if (remainder & (1u << i))
            remainder ^= generator << (i - degree);
    }
    return remainder;
}

}

int dataCodewords(int version, Level level)
{
    auto v = static_cast<std::size_t>(version);
    auto l = static_cast<std::size_t>(level);
    return TotalCodewords[v] - ErrorCorrectionBlocks[l][v] * EccCodewordsPerBlock[l][v];
}

bool isAlphanumeric(char c)
{
    // A table: the room left is measured by marking contents of thousands of bytes a dozen times a keystroke.
    static const auto table = [] {
        std::array<bool, 256> in {};
        for (char member : AlphanumericSet)
            in[static_cast<unsigned char>(member)] = true;
        return in;
    }();
    return table[static_cast<unsigned char>(c)];
}

std::string modeMarks(std::string_view bytes)
{
    std::string marks;
    marks.reserve(bytes.size());
    for (char c : bytes) {
        if (isDigit(static_cast<unsigned char>(c)))
            marks += 'N';
        else if (isAlphanumeric(c))
            marks += 'A';
        else
            marks += 'B';
    }
    mergeShortRuns(marks, 'N', 'A');
    mergeShortRuns(marks, 'A', 'B');
    return marks;
}

int estimatedBits(std::string_view marks)
{
    int bits = 0;
    char mode = 0;
    int alphanumericCount = 0;
    int numericCount = 0;
    for (char mark : marks) {
        if (mark != mode) {
            mode = mark;
            if (mark == 'B') {
                bits += 20;
            } else if (mark == 'A') {
                bits += 17;
                alphanumericCount = 0;
            } else {
                bits += 18;
                numericCount = 0;
            }
        }
        if (mark == 'B') {
            bits += 8;
        } else if (mark == 'A') {
            ++alphanumericCount;
            if (alphanumericCount % 2 == 1) {
                bits += 6;
            } else {
                bits += 5;
                alphanumericCount = 0;
            }
        } else {
            ++numericCount;
            if (numericCount % 3 == 0) {
                bits += 3;
                numericCount = 0;
            } else {
                bits += numericCount % 2 == 1 ? 4 : 3;
            }
        }
    }
    return bits;
}

int versionForBits(int bits)
{
    if (bits > MaximumBits)
        return 0;
    for (int version = 1; version <= MaximumVersion; ++version) {
        if (dataCodewords(version, Level::L) * 8 >= bits)
            return version;
    }
    return 0;
}

Level levelForBits(int version, int bits)
{
    for (Level level : { Level::H, Level::Q, Level::M }) {
        if (bits <= 8 * dataCodewords(version, level))
            return level;
    }
    return Level::L;
}

std::vector<std::uint8_t> dataCodewordStream(std::string_view bytes, std::string_view marks, int version, Level level)
{
    const auto capacity = static_cast<std::size_t>(dataCodewords(version, level));
    BitBuffer bits(capacity);
    for (std::size_t start = 0; start < marks.size();) {
        char mode = marks[start];
        std::size_t end = start;
        while (end < marks.size() && marks[end] == mode)
            ++end;
        auto run = bytes.substr(start, end - start);
        bits.append(mode == 'N' ? 0b0001 : mode == 'A' ? 0b0010 : 0b0100, 4);
        bits.append(static_cast<unsigned>(run.size()), countBits(mode, version));
        if (mode == 'N') {
            for (std::size_t i = 0; i < run.size(); i += 3) {
                auto group = run.substr(i, 3);
                unsigned value = 0;
                for (char digit : group)
                    value = value * 10 + static_cast<unsigned>(digit - '0');
                bits.append(value, group.size() == 3 ? 10 : group.size() == 2 ? 7 : 4);
            }
        } else if (mode == 'A') {
            for (std::size_t i = 0; i < run.size(); i += 2) {
                if (i + 1 < run.size())
                    bits.append(45 * alphanumericValue(run[i]) + alphanumericValue(run[i + 1]), 11);
                else
                    bits.append(alphanumericValue(run[i]), 6);
            }
        } else {
            for (char byte : run)
                bits.append(static_cast<unsigned char>(byte), 8);
        }
        start = end;
    }
    bits.append(0, 4);

    auto codewords = std::move(bits).bytes();
    if (codewords.size() > capacity)
        codewords.resize(capacity);
    for (std::size_t i = 0; codewords.size() < capacity; ++i)
        codewords.push_back(i % 2 == 0 ? 0xEC : 0x11);
    return codewords;
}

std::vector<std::uint8_t> interleavedCodewords(const std::vector<std::uint8_t>& data, int version, Level level)
{
    auto v = static_cast<std::size_t>(version);
    auto l = static_cast<std::size_t>(level);
    const std::size_t blocks = ErrorCorrectionBlocks[l][v];
    const std::size_t eccLength = EccCodewordsPerBlock[l][v];
    const std::size_t shortLength = data.size() / blocks;
    const std::size_t longBlocks = data.size() % blocks;

    // The field and the generator depend on the block length only: made once per length.
    const auto& rs = madeOnce<ReedSolomonEncoder, MaximumEccCodewordsPerBlock + 1>(eccLength, [eccLength] {
        ReedSolomonEncoder encoder;
        encoder.initWithPoly(0x11D).setNumberOfSymbols(static_cast<int>(eccLength), 0);
        return encoder;
    });

    std::vector<std::vector<std::uint8_t>> dataBlocks;
    std::vector<std::vector<std::uint8_t>> eccBlocks;
    std::size_t offset = 0;
    for (std::size_t b = 0; b < blocks; ++b) {
        // The short blocks come first.
        std::size_t length = shortLength + (b >= blocks - longBlocks ? 1 : 0);
        dataBlocks.emplace_back(data.begin() + static_cast<std::ptrdiff_t>(offset),
            data.begin() + static_cast<std::ptrdiff_t>(offset + length));
        offset += length;
        std::vector<std::uint8_t> ecc(eccLength);
        rs.encodeData(dataBlocks.back(), ecc);
        std::reverse(ecc.begin(), ecc.end());
        eccBlocks.push_back(std::move(ecc));
    }

    std::vector<std::uint8_t> out;
    out.reserve(data.size() + blocks * eccLength);
    for (std::size_t i = 0; i <= shortLength; ++i) {
        for (const auto& block : dataBlocks) {
            if (i < block.size())
                out.push_back(block[i]);
        }
    }
    for (std::size_t i = 0; i < eccLength; ++i) {
        for (const auto& block : eccBlocks)
            out.push_back(block[i]);
    }
    return out;
}

std::uint16_t formatInformation(Level level, int mask)
{
    unsigned data = static_cast<unsigned>(levelIndicator(level) << 3 | (mask & 7));
    return static_cast<std::uint16_t>(((data << 10) | bchRemainder(data, 0x537)) ^ 0x5412);
}

std::uint32_t versionInformation(int version)
{
    auto data = static_cast<unsigned>(version);
    return (data << 12) | bchRemainder(data, 0x1F25);
}

std::optional<Symbol> encode(std::string_view bytes)
{
    // 1. Modes and the size estimate.
    auto marks = modeMarks(bytes);
    int bits = estimatedBits(marks);
    // 2. Version and level.
    int version = versionForBits(bits);
    if (version == 0)
        return std::nullopt;
    Level level = levelForBits(version, bits);
    // 3. Data and check codewords.
    auto codewords = interleavedCodewords(dataCodewordStream(bytes, marks, version, level), version, level);
    // 4. Function patterns and placement.
    Grid grid = functionPatterns(version);
    placeCodewords(grid, codewords);
    // 5. Mask choice: the lowest score, the lower mask on a tie.
    const auto scores = maskPenalties(grid.size, grid.dark, grid.function);
    const int bestMask = static_cast<int>(std::min_element(scores.begin(), scores.end()) - scores.begin());
    applyMask(bestMask, grid.size, grid.dark, grid.function);
    // 6. Format and version information.
    placeFormatAndVersion(grid, level, bestMask, version);

    Symbol symbol;
    symbol.version = version;
    symbol.level = level;
    symbol.mask = bestMask;
    symbol.size = grid.size;
    symbol.modules = std::move(grid.dark);
    return symbol;
}

}
