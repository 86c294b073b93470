#pragma once

#include "barcodes/UPCEANMasterCode.h"

// UPC-E: the zero-suppressed form of a UPC-A number of number system 0 or 1; the check digit is carried only by
// the parities of the six digits.
class UPC_E : public UPCEANMasterCode {
    FND_OBJECT(UPC_E)
public:
    fnd::String barcodeName() const override;
    fnd::Index maximumOfAllowedCharacters() const override { return 7; }
    fnd::Index minimumOfAllowedCharacters() const override { return 7; }
    bool autoGenerateChecksum() const override { return true; }
    bool simpleCaption() const override { return false; }
    int numberOfCaptionStrings() const override { return 3; }
    int numberOfCaptionsStringsLeft() const override { return 1; }
    int numberOfCaptionsStringsRight() const override { return 1; }
    ModuleString encodedStopSequence() const override { return "010101"; }

    // Only number systems 0 and 1 have a zero-suppressed form; any other leaves an error and no digits.
    fnd::String validatedContentString() const override;
    char checkDigit() const;
    // The UPC-A number the seven digits stand for; empty without seven digits.
    static std::string expandedUPCA(std::string_view digits);
    void generateChecksum() override;
    // Whether the digit at position 1 to 6 uses set B.
    bool parityForDigit(int position) const;
    ModuleString encodedContent() const override;
    fnd::String captionStringWithIndex(int index) const override;
    double xPositionForCaptionStringWithIndex(int index) const override;
    double areaWidthForCaptionStringWithIndex(int index) const override;
    double bottomPositionForBarIndex(fnd::Index index) const override;
    double captionBaselinePosition() const override;
};
