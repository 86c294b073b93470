#pragma once

#include "barcodes/TBQGeneric2DBarcode.h"
#include "barcodes/detail/DataMatrixEncoder.h"
#include "barcodes/detail/LastEncoding.h"

// Data Matrix ECC 200 (ISO/IEC 16022), square symbols only. The encodations (ASCII, C40, Text, X12, EDIFACT,
// Base 256) are chosen by a look-ahead over the next characters; the smallest square size that holds the result is
// used.
class DataMatrix : public TBQGeneric2DBarcode {
    FND_OBJECT(DataMatrix)
public:
    fnd::String barcodeName() const override;
    fnd::CharacterSet allowedCharacterSet() const override;
    fnd::String humanReadableAllowedCharacterSet() const override;
    fnd::Index maximumOfAllowedCharacters() const override { return 2335; }
    // The room of the 144 x 144 symbol for more of the content's costliest kind of character (two-byte letters, other
    // ASCII characters, letters and space, digits), within the maximum. Empty content counts as letters.
    std::optional<fnd::Index> numberOfCharactersLeft() const override;
    bool matrixBased() const override { return true; }
    _matrixSymbol* initMatrixSymbol() override;
    void encodeContentIntoMatrix() override;

private:
    LastEncoding<DataMatrixEncoder::Symbol> m_lastEncoding;
};
