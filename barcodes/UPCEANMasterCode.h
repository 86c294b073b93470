#pragma once

#include "barcodes/TBQGenericBarcode.h"

#include <string>

// The EAN/UPC family (ISO/IEC 15420): the digit sets, the guards, and what the members share in placing digits,
// raising data bars above the guard bars and managing an add-on.
class UPCEANMasterCode : public TBQGenericBarcode {
    FND_OBJECT(UPCEANMasterCode)
public:
    // Set A, the left-hand odd-parity pattern of a digit; empty for any other character.
    ModuleString encodeChar(unsigned char character) const override;
    ModuleString encodedStartSequence() const override { return "101"; }
    ModuleString encodedStopSequence() const override { return encodedStartSequence(); }
    // The guard between the left and the right half.
    virtual ModuleString encodedSeparatorSequence() const { return "01010"; }
    // Every bar ends at the same top: the guard bars are longer, reaching down beside the caption.
    double topPositionForBarIndex(fnd::Index index) const override;

protected:
    // Set B (left-hand, even parity) and set C (right-hand) of a digit.
    ModuleString evenParityChar(char digit) const;
    ModuleString rightHandChar(char digit) const;
    // The validated content as bytes.
    std::string encodingDigits() const { return contentForEncoding().utf8(); }
    // The check digit in set C when one is drawn, else nothing.
    ModuleString encodedCheckDigit() const;
    // One character of the check digit, "0" when the digits do not have the expected count.
    void storeMod10Checksum(std::size_t expectedLength);

    // The width of the font's bounding box: the box of a digit printed outside the bars.
    double fontBoxWidth() const;
    double halfAscender() const;
    // Guard bars reach down to the base bottom; data bars end half an ascender higher, above the caption.
    double guardOrDataBottom(fnd::Index index, bool isGuard) const;
    fnd::Index moduleCount() const { return static_cast<fnd::Index>(completeEncodedBarcode().size()); }
    // A caption piece by characters of the caption; shorter when the caption is.
    fnd::String captionPiece(fnd::Index from, fnd::Index length) const;

    // Keeps a two- or five-digit add-on as sub-entry 0 while the text is not empty.
    void updateAddOnForText(const fnd::String& text);
};
