#pragma once

#include "barcodes/Telepen.h"

// Telepen, numeric form: two digits in one character (value 27 to 126), and its own check character, always drawn.
class TelepenNum : public Telepen {
    FND_OBJECT(TelepenNum)
public:
    fnd::String barcodeName() const override;
    fnd::CharacterSet allowedCharacterSet() const override;
    fnd::String humanReadableAllowedCharacterSet() const override { return "[0-9]"; }
    fnd::Index maximumOfAllowedCharacters() const override { return 60; }
    ModuleString encodedContent() const override;
};
