#pragma once

#include "barcodes/Code39.h"

// Code 39 full ASCII: characters that Code 39 lacks are written as pairs of Code 39 characters ("a" as "+A").
class Code39FullASCII : public Code39 {
    FND_OBJECT(Code39FullASCII)
public:
    fnd::String barcodeName() const override;
    fnd::CharacterSet allowedCharacterSet() const override;
    fnd::String humanReadableAllowedCharacterSet() const override;
    fnd::String contentForEncoding() const override;
};
