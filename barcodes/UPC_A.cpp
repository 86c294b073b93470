#include "barcodes/UPC_A.h"

using namespace fnd;

FND_REGISTER_CLASS(UPC_A, UPCEANMasterCode)

String UPC_A::barcodeName() const
{
    return localizedBarcodeString("UPCA");
}

void UPC_A::setAddOnContent(const String& addOnContent)
{
    updateAddOnForText(addOnContent);
}

void UPC_A::generateChecksum()
{
    storeMod10Checksum(11);
}

ModuleString UPC_A::encodedContent() const
{
    auto digits = encodingDigits();
    if (digits.empty())
        return {};
    ModuleString out;
    for (std::size_t i = 0; i < 6 && i < digits.size(); ++i)
        out += encodeChar(digits[i]);
    out += encodedSeparatorSequence();
    for (std::size_t i = 6; i < digits.size(); ++i)
        out += rightHandChar(digits[i]);
    return out + encodedCheckDigit();
}

String UPC_A::captionStringWithIndex(int index) const
{
    switch (index) {
    case 0:
        return captionPiece(0, 1);
    case 1:
        return captionPiece(1, 5);
    case 2:
        return captionPiece(6, 5);
    case 3:
        return captionPiece(11, 1);
    default:
        return {};
    }
}

double UPC_A::xPositionForCaptionStringWithIndex(int index) const
{
    double x = barWidth();
    switch (index) {
    case 0:
        return firstBarPosition() - fontBoxWidth();
    case 1:
        return firstBarPosition() + 10 * x;
    case 2:
        return firstBarPosition() + 15 * x + areaWidthForCaptionStringWithIndex(1);
    default:
        return lastBarPosition() + x;
    }
}

double UPC_A::areaWidthForCaptionStringWithIndex(int index) const
{
    return index == 0 || index == 3 ? fontBoxWidth() : 5 * 7 * barWidth();
}

double UPC_A::bottomPositionForBarIndex(Index index) const
{
    // The first and the last digit have guard-length bars.
    Index count = moduleCount();
    return guardOrDataBottom(index, index <= 9 || (index >= 45 && index <= 49) || index >= count - 10);
}

double UPC_A::captionBaselinePosition() const
{
    return TBQGenericBarcode::captionBaselinePosition() + halfAscender();
}
