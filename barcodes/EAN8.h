#pragma once

#include "barcodes/UPCEANMasterCode.h"

// EAN-8: seven digits and a check digit, four digits each side of the centre guard.
class EAN8 : public UPCEANMasterCode {
    FND_OBJECT(EAN8)
public:
    fnd::String barcodeName() const override;
    fnd::Index maximumOfAllowedCharacters() const override { return 7; }
    fnd::Index minimumOfAllowedCharacters() const override { return 7; }
    bool autoGenerateChecksum() const override { return true; }
    bool simpleCaption() const override { return false; }
    int numberOfCaptionStrings() const override { return 2; }
    bool supportLeftLightMarginIndicators() const override { return true; }
    bool supportRightLightMarginIndicators() const override { return true; }

    void generateChecksum() override;
    ModuleString encodedContent() const override;
    fnd::String captionStringWithIndex(int index) const override;
    double xPositionForCaptionStringWithIndex(int index) const override;
    double areaWidthForCaptionStringWithIndex(int index) const override;
    double bottomPositionForBarIndex(fnd::Index index) const override;
    double captionBaselinePosition() const override;
};
