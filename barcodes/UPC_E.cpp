#include "barcodes/UPC_E.h"

#include "barcodes/CheckDigits.h"

#include <array>
#include <string_view>

using namespace fnd;

FND_REGISTER_CLASS(UPC_E, UPCEANMasterCode)

namespace {

// ISO/IEC 15420: the parities of the six digits for each check digit in number system 0 ('B' = number set B);
// number system 1 uses the inverse.
constexpr std::array<std::string_view, 10> CheckDigitParities = {
    "BBBAAA", // 0
    "BBABAA", // 1
    "BBAABA", // 2
    "BBAAAB", // 3
    "BABBAA", // 4
    "BAABBA", // 5
    "BAAABB", // 6
    "BABABA", // 7
    "BABAAB", // 8
    "BAABAB", // 9
};
static_assert(CheckDigitParities.size() == 10);

}

String UPC_E::barcodeName() const
{
    return localizedBarcodeString("UPCE");
}

String UPC_E::validatedContentString() const
{
    String digits = UPCEANMasterCode::validatedContentString();
    if (!digits.isEmpty() && digits.characterAt(0) != u'0' && digits.characterAt(0) != u'1') {
        setValidatedErrorString(localizedBarcodeString("UPCENumberSystemError"));
        return {};
    }
    return digits;
}

char UPC_E::checkDigit() const
{
    return checksum().isEmpty() ? '0' : static_cast<char>(checksum().characterAt(0));
}

std::string UPC_E::expandedUPCA(std::string_view d)
{
    if (d.size() != 7)
        return {};
    std::string manufacturer;
    std::string product;
    switch (d[6]) {
    case '0':
    case '1':
    case '2':
        manufacturer = { d[1], d[2], d[6], '0', '0' };
        product = { '0', '0', d[3], d[4], d[5] };
        break;
    case '3':
        manufacturer = { d[1], d[2], d[3], '0', '0' };
        product = { '0', '0', '0', d[4], d[5] };
        break;
    case '4':
        manufacturer = { d[1], d[2], d[3], d[4], '0' };
        product = { '0', '0', '0', '0', d[5] };
        break;
    default:
        manufacturer = { d[1], d[2], d[3], d[4], d[5] };
        product = { '0', '0', '0', '0', d[6] };
        break;
    }
    return std::string(1, d[0]) + manufacturer + product;
}

void UPC_E::generateChecksum()
{
    auto upca = expandedUPCA(encodingDigits());
    int check = upca.empty() ? 0 : CheckDigits::gs1Mod10(upca);
    setChecksum(String(std::string(1, static_cast<char>('0' + check))));
}

bool UPC_E::parityForDigit(int position) const
{
    char check = checkDigit();
    if (position < 1 || position > 6 || check < '0' || check > '9')
        return false;
    bool setB = CheckDigitParities[check - '0'][position - 1] == 'B';
    auto digits = encodingDigits();
    return !digits.empty() && digits[0] != '0' ? !setB : setB;
}

ModuleString UPC_E::encodedContent() const
{
    auto digits = encodingDigits();
    ModuleString out;
    for (std::size_t i = 1; i <= 6 && i < digits.size(); ++i)
        out += parityForDigit(static_cast<int>(i)) ? evenParityChar(digits[i]) : encodeChar(digits[i]);
    return out;
}

String UPC_E::captionStringWithIndex(int index) const
{
    switch (index) {
    case 0:
        return captionPiece(0, 1);
    case 1:
        return captionPiece(1, 6);
    case 2:
        return captionPiece(7, 1);
    default:
        return {};
    }
}

double UPC_E::xPositionForCaptionStringWithIndex(int index) const
{
    switch (index) {
    case 0:
        return firstBarPosition() - fontBoxWidth();
    case 1:
        return firstBarPosition() + 4 * barWidth();
    default:
        return lastBarPosition() + barWidth();
    }
}

double UPC_E::areaWidthForCaptionStringWithIndex(int index) const
{
    return index == 1 ? 6 * 7 * barWidth() : fontBoxWidth();
}

double UPC_E::bottomPositionForBarIndex(Index index) const
{
    return guardOrDataBottom(index, index <= 2 || index >= moduleCount() - 6);
}

double UPC_E::captionBaselinePosition() const
{
    return TBQGenericBarcode::captionBaselinePosition() + halfAscender();
}
