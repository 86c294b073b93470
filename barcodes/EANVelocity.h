#pragma once

#include "barcodes/EAN8.h"

// The EAN velocity code: an EAN-8 whose first digit is always 0; the user types the other six.
class EANVelocity : public EAN8 {
    FND_OBJECT(EANVelocity)
public:
    fnd::String barcodeName() const override;
    fnd::Index maximumOfAllowedCharacters() const override { return 6; }
    fnd::Index minimumOfAllowedCharacters() const override { return 6; }
    fnd::String validatedContentString() const override;
};
