#pragma once

#include "barcodes/TBQGenericBarcode.h"

// Code 11: digits and "-", one modulo-11 check character always drawn and not shown.
class Code11 : public TBQGenericBarcode {
    FND_OBJECT(Code11)
public:
    fnd::String barcodeName() const override;
    fnd::CharacterSet allowedCharacterSet() const override;
    fnd::String humanReadableAllowedCharacterSet() const override;
    ModuleString encodeChar(unsigned char character) const override;
    ModuleString encodedStartSequence() const override { return "1011001"; }
    ModuleString encodedStopSequence() const override { return "1011001"; }
    ModuleString encodedInterCharacterSequence() const override { return "0"; }
    bool autoGenerateChecksum() const override { return true; }
    bool appendChecksumToCaption() const override { return false; }
    void generateChecksum() override;
};
