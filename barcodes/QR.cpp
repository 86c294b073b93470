#include "barcodes/QR.h"

#include "barcodes/detail/QREncoder.h"

using namespace fnd;

FND_REGISTER_CLASS(QR, TBQGeneric2DBarcode)

String QR::barcodeName() const
{
    return localizedBarcodeString("QR");
}

CharacterSet QR::allowedCharacterSet() const
{
    static const CharacterSet latin = CharacterSet::characterSetWithRange({ 0x0001, 0x01FF });
    return latin;
}

String QR::humanReadableAllowedCharacterSet() const
{
    return localizedBarcodeString("UnicodeLatin");
}

void QR::encodeContentIntoMatrix()
{
    releaseMatrixSymbol();
    initMatrixSymbol();
    setEncodingErrorString({});
    const auto& symbol = m_lastEncoding.of(contentForEncoding().utf8(), QREncoder::encode);
    if (!symbol) {
        setEncodingErrorString(localizedBarcodeString("EEDataToLong"));
        return;
    }
    storeGrid(symbol->size, symbol->size, [&](int row, int column) { return symbol->dark(row, column); });
}
