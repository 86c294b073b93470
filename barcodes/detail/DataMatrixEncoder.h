#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// Data Matrix ECC 200 (ISO/IEC 16022) encoding steps, exposed for tests. Bytes in, module grid out.
namespace DataMatrixEncoder {

enum class Encodation { ASCII = 1, C40 = 2, Text = 3, X12 = 4, EDIFACT = 5, Base256 = 6 };

struct SymbolSize {
    int rows;
    int columns;
    // One data region with its finder.
    int regionRows;
    int regionColumns;
    int dataCodewords;
    int dataCodewordsPerBlock;
    int eccCodewordsPerBlock;

    bool isSquare() const { return rows == columns; }
};

inline constexpr int MaximumDataCodewords = 1558;

// ISO/IEC 16022 table 7, smallest first (rectangular sizes among them).
extern const std::array<SymbolSize, 30> SymbolSizes;

// The encodation the look-ahead test picks at this position, coming from `current`.
Encodation lookAhead(std::string_view bytes, std::size_t position, Encodation current);

struct Codewords {
    std::vector<std::uint8_t> values;
    // The encodation in force at the end of the data (decides the first pad codeword).
    Encodation last { Encodation::ASCII };
};
// The data codewords, Base 256 fields with their lengths and randomising; nullopt beyond 1558 codewords.
std::optional<Codewords> encodeData(std::string_view bytes);

// The smallest square size holding that many data codewords; nullptr when none does.
const SymbolSize* sizeForCodewords(std::size_t count);
// Pads to the size's data capacity.
std::vector<std::uint8_t> padded(const Codewords& codewords, const SymbolSize& size);
// Where check codeword k of a block goes among all the codewords of the symbol.
std::size_t checkCodewordPosition(const SymbolSize& size, std::size_t block, std::size_t k);
// Data followed by the interleaved check codewords of every block.
std::vector<std::uint8_t> withErrorCorrection(const std::vector<std::uint8_t>& data, const SymbolSize& size);

struct Symbol {
    int rows { 0 };
    int columns { 0 };
    std::vector<std::uint8_t> modules; // row by row from the top; 1 = dark
    std::vector<std::uint8_t> codewords; // data, pads and check codewords as placed

    bool dark(int row, int column) const
    {
        return modules[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns)
                   + static_cast<std::size_t>(column)]
            != 0;
    }
};

// An empty content is encoded as "1". nullopt when the data need more than 1558 codewords.
std::optional<Symbol> encode(std::string_view bytes);

}
