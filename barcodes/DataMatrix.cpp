#include "barcodes/DataMatrix.h"

#include "barcodes/detail/DataMatrixEncoder.h"

using namespace fnd;

FND_REGISTER_CLASS(DataMatrix, TBQGeneric2DBarcode)

String DataMatrix::barcodeName() const
{
    return localizedBarcodeString("DataMatrix");
}

CharacterSet DataMatrix::allowedCharacterSet() const
{
    static const CharacterSet latin = CharacterSet::characterSetWithRange({ 0x0001, 0x01FF });
    return latin;
}

String DataMatrix::humanReadableAllowedCharacterSet() const
{
    return localizedBarcodeString("UnicodeLatin");
}

TBQGeneric2DBarcode::_matrixSymbol* DataMatrix::initMatrixSymbol()
{
    auto* symbol = TBQGeneric2DBarcode::initMatrixSymbol();
    symbol->shapeOption = 100;
    return symbol;
}

void DataMatrix::encodeContentIntoMatrix()
{
    releaseMatrixSymbol();
    initMatrixSymbol();
    setEncodingErrorString({});
    const auto& symbol = m_lastEncoding.of(contentForEncoding().utf8(), DataMatrixEncoder::encode);
    if (!symbol) {
        setEncodingErrorString(localizedBarcodeString("EEDataToLong"));
        return;
    }
    storeGrid(symbol->rows, symbol->columns, [&](int row, int column) { return symbol->dark(row, column); });
}
