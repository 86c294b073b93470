#pragma once

#include "barcodes/EAN13.h"

// A book number: an EAN-13 with the hyphenated number as headline, hyphens placed as the user typed them.
class ISBN13 : public EAN13 {
    FND_OBJECT(ISBN13)
public:
    fnd::String barcodeName() const override;
    bool drawHeadline() const override { return true; }
    fnd::String headline() const override;
};
