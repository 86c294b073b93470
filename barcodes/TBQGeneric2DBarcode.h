#pragma once

#include "barcodes/TBQGenericBarcode.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

// Base of the matrix symbologies. Instead of a module string it owns a module grid that its subclass's encoder
// fills and the barcode view reads module by module; the work area follows the grid, with 4 modules of quiet zone
// on every side.
class TBQGeneric2DBarcode : public TBQGenericBarcode {
    FND_OBJECT(TBQGeneric2DBarcode)
public:
    static constexpr int MaximumRows = 178;
    static constexpr int MaximumColumns = 1001;
    static constexpr int ModulesPerByte = 7;
    static constexpr int BytesPerRow = MaximumColumns / ModulesPerByte;

    // The grid and its options. Module x of row y is bit x % 7 (least significant first) of encodedData[y][x / 7];
    // a set bit is a dark module.
    struct _matrixSymbol {
        std::int32_t rows { 0 };
        // -1: automatic.
        std::int32_t eccLevelOption { -1 };
        // 0: automatic.
        std::int32_t sizeOption { 0 };
        // 928: any shape; 100: square symbols only.
        std::int32_t shapeOption { 928 };
        // 0: the content is taken as bytes.
        std::int32_t inputMode { 0 };
        std::int32_t drawnRows { 0 };
        // Columns.
        std::int32_t width { 0 };
        // The symbol height in row units that rows of height 0 share; 0 leaves the view its default. Only read.
        std::int32_t height { 0 };
        std::array<std::array<std::uint8_t, BytesPerRow>, MaximumRows> encodedData {};
        std::array<std::int32_t, MaximumRows> rowHeight {};
    };

    void init() override;

    // NO here; the concrete matrix symbologies answer YES.
    virtual bool matrixBased() const { return false; }
    // The grid; nullptr when there is none.
    _matrixSymbol* matrixSymbol() { return m_symbol.get(); }
    const _matrixSymbol* matrixSymbol() const { return m_symbol.get(); }

    // Reports characters outside the allowed set instead of dropping them unnoticed.
    fnd::String validatedContentString() const override;
    // None while the content is more than the largest symbol holds.
    std::optional<fnd::Index> numberOfCharactersLeft() const override;
    bool autoGenerateChecksum() const override { return true; }
    gfx::Rect autoCalcedQuietZone() const override;
    // The height is the module size times the rows, which archives store as computed: 0 for no grid, up to the
    // tallest grid of the widest modules.
    LengthBound heightBound() const override { return { 0, MaximumLength * MaximumRows }; }
    void recalculateWorkAreaSize() override;
    // Sets the module size so the symbol is this wide; 0, or a grid without columns, changes nothing.
    void setWidth(double width) override;

    // Makes a fresh, cleared grid with the default options, owned by the barcode, and returns it.
    virtual _matrixSymbol* initMatrixSymbol();
    void releaseMatrixSymbol();
    // Fills the grid from the content; nothing here.
    virtual void encodeContentIntoMatrix() { }

    // Row y, column x from the top-left module; positions outside the grid's capacity are ignored (read as light).
    void setMatrixModuleWithY(int y, int x);
    void unsetMatrixModuleWithY(int y, int x);
    bool isModuleSetWithY(int y, int x) const;

protected:
    // The most characters, up to the limit, whose addition still fits, where fits(0) holds and each one more costs
    // room: from a guess, by steps that double until the answer is bracketed, then by halves. A close guess (the
    // room over a character's cost) takes a few trials where halving from the limit takes a dozen.
    template <typename Fits> static fnd::Index mostThatFit(fnd::Index guess, fnd::Index limit, Fits fits)
    {
        guess = std::clamp<fnd::Index>(guess, 0, limit);
        fnd::Index low = 0; // fits
        fnd::Index high = limit + 1; // does not fit, or past the limit
        if (fits(guess)) {
            low = guess;
            for (fnd::Index step = 1; low < limit; step *= 2) {
                const fnd::Index next = std::min(limit, low + step);
                if (!fits(next)) {
                    high = next;
                    break;
                }
                low = next;
            }
        } else {
            high = guess;
            for (fnd::Index step = 1; high - step > 0; step *= 2) {
                if (fits(high - step)) {
                    low = high - step;
                    break;
                }
                high -= step;
            }
        }
        while (high - low > 1) {
            const fnd::Index middle = low + (high - low) / 2;
            (fits(middle) ? low : high) = middle;
        }
        return low;
    }

    // Copies a finished grid of rows x columns into a fresh record: dark where isDark(row, column).
    template <typename IsDark> void storeGrid(int rows, int columns, IsDark isDark)
    {
        auto* symbol = matrixSymbol();
        if (!symbol || rows > MaximumRows || columns > MaximumColumns)
            return;
        symbol->rows = symbol->drawnRows = rows;
        symbol->width = columns;
        // The record is fresh (all light) and the size was checked: modules are or-ed in without a branch.
        for (int y = 0; y < rows; ++y) {
            symbol->rowHeight[static_cast<std::size_t>(y)] = 1;
            auto& row = symbol->encodedData[static_cast<std::size_t>(y)];
            for (int x = 0; x < columns; ++x) {
                row[static_cast<std::size_t>(x / ModulesPerByte)]
                    |= static_cast<std::uint8_t>((isDark(y, x) ? 1u : 0u) << (x % ModulesPerByte));
            }
        }
    }

private:
    std::unique_ptr<_matrixSymbol> m_symbol;
};
