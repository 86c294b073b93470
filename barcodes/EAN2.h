#pragma once

#include "barcodes/UPCEANMasterCode.h"

// The two-digit add-on: the value modulo 4 chooses the parities; the caption stands above the bars.
class EAN2 : public UPCEANMasterCode {
    FND_OBJECT(EAN2)
public:
    fnd::String barcodeName() const override;
    fnd::Index maximumOfAllowedCharacters() const override { return 2; }
    fnd::Index minimumOfAllowedCharacters() const override { return 2; }
    ModuleString encodedContent() const override;
    ModuleString encodedStartSequence() const override { return "1011"; }
    ModuleString encodedStopSequence() const override { return {}; }
    ModuleString encodedSeparatorSequence() const override { return "01"; }
    bool appendChecksumToCaption() const override { return false; }
    bool generateChecksumIsPossible() const override { return false; }
    int verticalCaptionPosition() const override { return 0; }
    bool supportLeftLightMarginIndicators() const override { return true; }
    bool supportRightLightMarginIndicators() const override { return true; }
};
