#pragma once

#include "barcodes/UPCEANMasterCode.h"

// EAN-13: twelve digits and a check digit; the first digit is carried by the parities of the left half.
class EAN13 : public UPCEANMasterCode {
    FND_OBJECT(EAN13)
public:
    fnd::String barcodeName() const override;
    fnd::Index maximumOfAllowedCharacters() const override { return 12; }
    fnd::Index minimumOfAllowedCharacters() const override { return 12; }
    bool autoGenerateChecksum() const override { return true; }
    bool supportAddOn() const override { return true; }
    bool simpleCaption() const override { return false; }
    int numberOfCaptionStrings() const override { return 3; }
    int numberOfCaptionsStringsLeft() const override { return 1; }
    bool supportRightLightMarginIndicators() const override { return true; }

    void generateChecksum() override;
    // Whether the digit at position 1 to 6 of the left half uses set B, by the first digit.
    static bool parityForChar(char firstDigit, int index);
    ModuleString encodedContent() const override;
    void setAddOnContent(const fnd::String& addOnContent) override;

    double bottomPositionForBarIndex(fnd::Index index) const override;
    double captionBaselinePosition() const override;
    fnd::String captionStringWithIndex(int index) const override;
    double xPositionForCaptionStringWithIndex(int index) const override;
    double areaWidthForCaptionStringWithIndex(int index) const override;
};
