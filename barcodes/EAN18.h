#pragma once

#include "barcodes/EAN128.h"

// SSCC-18: GS1-128 holding application identifier 00 with a 17-digit serial shipping container code and its check
// digit.
class EAN18 : public EAN128 {
    FND_OBJECT(EAN18)
public:
    fnd::String barcodeName() const override;
    fnd::CharacterSet allowedCharacterSet() const override;
    fnd::String humanReadableAllowedCharacterSet() const override { return "[0-9]"; }
    fnd::Index maximumOfAllowedCharacters() const override { return 17; }
    fnd::Index minimumOfAllowedCharacters() const override { return 17; }
    bool contentForValidationIsPreValidated() const override { return true; }
    // "[00]", the serial padded to 17 digits, its check digit.
    fnd::String contentForValidation() const override;
    fnd::String caption() const override;
};
