#pragma once

#include "barcodes/EAN13.h"

// A serial number: seven serial digits and two variant digits after the prefix 977; the headline shows the
// serial number with its own modulo-11 check character.
class ISSN : public EAN13 {
    FND_OBJECT(ISSN)
public:
    fnd::String barcodeName() const override;
    fnd::Index maximumOfAllowedCharacters() const override { return 9; }
    fnd::Index minimumOfAllowedCharacters() const override { return 9; }
    fnd::String validatedContentString() const override;
    bool drawHeadline() const override { return true; }
    fnd::String headline() const override;
    // Weights n + 1 down to 2 from the left over n digits, modulo 11; "X" stands for 10.
    static char ISSNChecksumCharacterForString(std::string_view digits);
};
