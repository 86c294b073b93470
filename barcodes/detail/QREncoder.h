#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// QR Code (ISO/IEC 18004, Model 2) encoding steps, exposed for tests. Bytes in, module grid out.
namespace QREncoder {

// In the order of ISO/IEC 18004's tables; the format indicator differs (see formatInformation).
enum class Level { L = 0, M = 1, Q = 2, H = 3 };

inline constexpr int MaximumVersion = 40;

// ISO/IEC 18004 tables, indexed by version (index 0 unused) and by Level.
extern const std::array<std::uint16_t, 41> TotalCodewords;
extern const std::array<std::array<std::uint8_t, 41>, 4> ErrorCorrectionBlocks;
extern const std::array<std::array<std::uint8_t, 41>, 4> EccCodewordsPerBlock;
inline constexpr int MaximumEccCodewordsPerBlock = 30;
// Row/column centres of the alignment patterns, 0 marking the end.
extern const std::array<std::array<std::uint8_t, 7>, 41> AlignmentCentres;

int dataCodewords(int version, Level level);
inline int symbolSize(int version)
{
    return 17 + 4 * version;
}

// Whether the byte is one of the 45 characters of alphanumeric mode.
bool isAlphanumeric(char c);
// One mark per byte: 'N' numeric, 'A' alphanumeric, 'B' byte, short numeric and alphanumeric runs merged away.
std::string modeMarks(std::string_view bytes);
// Bits the marked data need at most (with the longest character counts).
int estimatedBits(std::string_view marks);
// The smallest version holding the bits at level L; 0 when none does.
int versionForBits(int bits);
// The highest level of the version that still holds the bits.
Level levelForBits(int version, int bits);

// Segments, terminator, byte padding and pad codewords: exactly dataCodewords(version, level) codewords.
std::vector<std::uint8_t> dataCodewordStream(std::string_view bytes, std::string_view marks, int version, Level level);
// Data and check codewords of every block, interleaved.
std::vector<std::uint8_t> interleavedCodewords(const std::vector<std::uint8_t>& data, int version, Level level);

// The 15 format bits of a level and mask, BCH-coded and masked; bit 0 is the least significant.
std::uint16_t formatInformation(Level level, int mask);
// The 18 version bits (versions 7 and above); bit 0 is the least significant.
std::uint32_t versionInformation(int version);

// Masks on a grid of size x size modules, row by row from the top (1 = dark), where `function` marks (1) the function
// patterns and reserved areas that no mask touches.
// Inverts the modules that mask 0 to 7 selects (ISO/IEC 18004 table 10).
void applyMask(int mask, int size, std::span<std::uint8_t> modules, std::span<const std::uint8_t> function);
// This system's own score of each mask applied to the grid: long runs and finder-like sequences in every column and
// row, and the dark/light balance. The encoder keeps the mask that scores lowest.
std::array<int, 8> maskPenalties(
    int size, std::span<const std::uint8_t> modules, std::span<const std::uint8_t> function);

struct Symbol {
    int version { 0 };
    Level level { Level::L };
    int mask { 0 };
    int size { 0 };
    // size × size, row by row from the top; 1 = dark.
    std::vector<std::uint8_t> modules;

    bool dark(int row, int column) const
    {
        return modules[static_cast<std::size_t>(row) * static_cast<std::size_t>(size)
                   + static_cast<std::size_t>(column)]
            != 0;
    }
};

// nullopt when the data exceed version 40 at level L.
std::optional<Symbol> encode(std::string_view bytes);

}
