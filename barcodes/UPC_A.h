#pragma once

#include "barcodes/UPCEANMasterCode.h"

// UPC-A: eleven digits and a check digit, the number system and the check digit printed outside the bars.
class UPC_A : public UPCEANMasterCode {
    FND_OBJECT(UPC_A)
public:
    fnd::String barcodeName() const override;
    fnd::Index maximumOfAllowedCharacters() const override { return 11; }
    fnd::Index minimumOfAllowedCharacters() const override { return 11; }
    bool autoGenerateChecksum() const override { return true; }
    bool supportAddOn() const override { return true; }
    void setAddOnContent(const fnd::String& addOnContent) override;
    bool simpleCaption() const override { return false; }
    int numberOfCaptionStrings() const override { return 4; }
    int numberOfCaptionsStringsLeft() const override { return 1; }
    int numberOfCaptionsStringsRight() const override { return 1; }

    void generateChecksum() override;
    ModuleString encodedContent() const override;
    fnd::String captionStringWithIndex(int index) const override;
    double xPositionForCaptionStringWithIndex(int index) const override;
    double areaWidthForCaptionStringWithIndex(int index) const override;
    double bottomPositionForBarIndex(fnd::Index index) const override;
    double captionBaselinePosition() const override;
};
