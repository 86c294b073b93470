#include "barcodes/EAN8.h"

using namespace fnd;

FND_REGISTER_CLASS(EAN8, UPCEANMasterCode)

String EAN8::barcodeName() const
{
    return localizedBarcodeString("EAN8");
}

// Weight 3 on positions 1, 3, 5 and 7 from the left: for seven digits the same as from the right.
void EAN8::generateChecksum()
{
    storeMod10Checksum(7);
}

ModuleString EAN8::encodedContent() const
{
    auto digits = encodingDigits();
    if (digits.empty())
        return {};
    ModuleString out;
    for (std::size_t i = 0; i < 4 && i < digits.size(); ++i)
        out += encodeChar(digits[i]);
    out += encodedSeparatorSequence();
    for (std::size_t i = 4; i < digits.size(); ++i)
        out += rightHandChar(digits[i]);
    return out + encodedCheckDigit();
}

String EAN8::captionStringWithIndex(int index) const
{
    return index == 0 ? captionPiece(0, 4) : index == 1 ? captionPiece(4, 4) : String();
}

double EAN8::xPositionForCaptionStringWithIndex(int index) const
{
    if (index == 0)
        return firstBarPosition() + 3 * barWidth();
    return firstBarPosition() + 8 * barWidth() + areaWidthForCaptionStringWithIndex(0);
}

double EAN8::areaWidthForCaptionStringWithIndex(int) const
{
    return 4 * 7 * barWidth();
}

double EAN8::bottomPositionForBarIndex(Index index) const
{
    return guardOrDataBottom(index, index <= 3 || (index >= 31 && index <= 34) || index >= moduleCount() - 3);
}

double EAN8::captionBaselinePosition() const
{
    return TBQGenericBarcode::captionBaselinePosition() + halfAscender();
}
