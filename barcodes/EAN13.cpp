#include "barcodes/EAN13.h"

#include <array>
#include <string_view>

using namespace fnd;

FND_REGISTER_CLASS(EAN13, UPCEANMasterCode)

namespace {

// ISO/IEC 15420: the parities of the six left-hand digits for each leading digit ('B' = number set B).
constexpr std::array<std::string_view, 10> FirstDigitParities = {
    "AAAAAA", // 0
    "AABABB", // 1
    "AABBAB", // 2
    "AABBBA", // 3
    "ABAABB", // 4
    "ABBAAB", // 5
    "ABBBAA", // 6
    "ABABAB", // 7
    "ABABBA", // 8
    "ABBABA", // 9
};
static_assert(FirstDigitParities.size() == 10);

}

String EAN13::barcodeName() const
{
    return localizedBarcodeString("EAN13");
}

void EAN13::generateChecksum()
{
    storeMod10Checksum(12);
}

bool EAN13::parityForChar(char firstDigit, int index)
{
    if (firstDigit < '1' || firstDigit > '9' || index < 1 || index > 6)
        return false;
    return FirstDigitParities[firstDigit - '0'][index - 1] == 'B';
}

ModuleString EAN13::encodedContent() const
{
    auto digits = encodingDigits();
    if (digits.empty())
        return {};
    ModuleString out;
    for (std::size_t i = 1; i <= 6 && i < digits.size(); ++i)
        out += parityForChar(digits[0], static_cast<int>(i)) ? evenParityChar(digits[i]) : encodeChar(digits[i]);
    out += encodedSeparatorSequence();
    for (std::size_t i = 7; i < digits.size(); ++i)
        out += rightHandChar(digits[i]);
    return out + encodedCheckDigit();
}

void EAN13::setAddOnContent(const String& addOnContent)
{
    updateAddOnForText(addOnContent);
}

double EAN13::bottomPositionForBarIndex(Index index) const
{
    Index count = moduleCount();
    return guardOrDataBottom(index, index <= 3 || (index >= 45 && index <= 49) || index >= count - 3);
}

double EAN13::captionBaselinePosition() const
{
    return TBQGenericBarcode::captionBaselinePosition() + halfAscender();
}

String EAN13::captionStringWithIndex(int index) const
{
    switch (index) {
    case 0:
        return captionPiece(0, 1);
    case 1:
        return captionPiece(1, 6);
    case 2:
        return captionPiece(7, 6);
    default:
        return {};
    }
}

double EAN13::xPositionForCaptionStringWithIndex(int index) const
{
    double x = barWidth();
    switch (index) {
    case 0:
        return firstBarPosition() - fontBoxWidth();
    case 1:
        return firstBarPosition() + 3 * x;
    default:
        return firstBarPosition() + 8 * x + areaWidthForCaptionStringWithIndex(1);
    }
}

double EAN13::areaWidthForCaptionStringWithIndex(int index) const
{
    return index == 0 ? fontBoxWidth() : 6 * 7 * barWidth();
}
