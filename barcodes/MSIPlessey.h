#pragma once

#include "barcodes/TBQGenericBarcode.h"

// MSI Plessey: each digit as its four bits, most significant first. No check digit is ever drawn.
class MSIPlessey : public TBQGenericBarcode {
    FND_OBJECT(MSIPlessey)
public:
    fnd::String barcodeName() const override;
    fnd::String humanReadableAllowedCharacterSet() const override { return "[0-9]"; }
    ModuleString encodeChar(unsigned char character) const override;
    ModuleString encodedStartSequence() const override { return "110"; }
    ModuleString encodedStopSequence() const override { return "1001"; }
    bool autoGenerateChecksum() const override { return false; }
    bool generateChecksumIsPossible() const override { return false; }
};
