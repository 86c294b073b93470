#pragma once

#include "barcodes/TBQGeneric2DBarcode.h"
#include "barcodes/detail/LastEncoding.h"
#include "barcodes/detail/QREncoder.h"

// QR Code (ISO/IEC 18004, Model 2, versions 1 to 40). The version and the error-correction level follow from the
// content: the smallest version that holds it at level L, then the highest level that version still holds.
class QR : public TBQGeneric2DBarcode {
    FND_OBJECT(QR)
public:
    fnd::String barcodeName() const override;
    fnd::CharacterSet allowedCharacterSet() const override;
    fnd::String humanReadableAllowedCharacterSet() const override;
    fnd::Index maximumOfAllowedCharacters() const override { return 4296; }
    // The room of version 40-L in the mode the content needs (7089 digits, 4296 alphanumeric characters, 2953
    // bytes), within the maximum: more digits where the content is digits, fewer characters where each takes two
    // bytes. Empty content counts as text of one-byte characters.
    std::optional<fnd::Index> numberOfCharactersLeft() const override;
    bool matrixBased() const override { return true; }
    void encodeContentIntoMatrix() override;

private:
    LastEncoding<QREncoder::Symbol> m_lastEncoding;
};
