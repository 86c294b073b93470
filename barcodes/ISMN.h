#pragma once

#include "barcodes/EAN13.h"

// A music number: the user types eight digits, the symbol carries them after the prefix 9790.
class ISMN : public EAN13 {
    FND_OBJECT(ISMN)
public:
    fnd::String barcodeName() const override;
    fnd::Index maximumOfAllowedCharacters() const override { return 8; }
    fnd::Index minimumOfAllowedCharacters() const override { return 8; }
    fnd::String validatedContentString() const override;
    bool drawHeadline() const override { return true; }
    fnd::String headline() const override;
};
