#pragma once

#include "barcodes/Code128.h"

// GS1-128: Code 128 carrying a GS1 element string, FNC1 after the start character and after variable-length
// fields.
class EAN128 : public Code128 {
    FND_OBJECT(EAN128)
public:
    fnd::String barcodeName() const override;
    bool validateGS1() const override { return true; }
    fnd::Index maximumOfAllowedCharacters() const override { return 80; }
    fnd::String caption() const override;
    ModuleString completeEncodedBarcode() const override;
};
