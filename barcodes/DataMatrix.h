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
    bool matrixBased() const override { return true; }
    _matrixSymbol* initMatrixSymbol() override;
    void encodeContentIntoMatrix() override;

private:
    LastEncoding<DataMatrixEncoder::Symbol> m_lastEncoding;
};
