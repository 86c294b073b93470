#include "barcodes/UPCEANMasterCode.h"

#include "barcodes/CheckDigits.h"

#include <algorithm>
#include <array>
#include <string_view>

using namespace fnd;

FND_REGISTER_CLASS(UPCEANMasterCode, TBQGenericBarcode)

namespace {

// ISO/IEC 15420 number set A: the left-hand odd-parity digit patterns. Set B and set C derive from these.
constexpr std::array<std::string_view, 10> SetA = {
    "0001101", // 0
    "0011001", // 1
    "0010011", // 2
    "0111101", // 3
    "0100011", // 4
    "0110001", // 5
    "0101111", // 6
    "0111011", // 7
    "0110111", // 8
    "0001011", // 9
};
static_assert(SetA.size() == 10);

}

ModuleString UPCEANMasterCode::encodeChar(unsigned char character) const
{
    if (character < '0' || character > '9')
        return {};
    return ModuleString(SetA[character - '0']);
}

ModuleString UPCEANMasterCode::evenParityChar(char digit) const
{
    return BarcodeExtension::swapParity(encodeChar(static_cast<unsigned char>(digit)));
}

ModuleString UPCEANMasterCode::rightHandChar(char digit) const
{
    auto pattern = encodeChar(static_cast<unsigned char>(digit));
    return pattern.empty() ? pattern : BarcodeExtension::swapHandedness(pattern);
}

ModuleString UPCEANMasterCode::encodedCheckDigit() const
{
    if (!calculateChecksum() || checksum().isEmpty())
        return {};
    return rightHandChar(static_cast<char>(checksum().characterAt(0)));
}

void UPCEANMasterCode::storeMod10Checksum(std::size_t expectedLength)
{
    auto digits = encodingDigits();
    int check = digits.size() == expectedLength ? CheckDigits::gs1Mod10(digits) : 0;
    setChecksum(String(std::string(1, static_cast<char>('0' + check))));
}

double UPCEANMasterCode::topPositionForBarIndex(Index index) const
{
    return TBQGenericBarcode::bottomPositionForBarIndex(index) + height();
}

double UPCEANMasterCode::fontBoxWidth() const
{
    return font() ? font()->boundingRectForFont().width() : 0;
}

double UPCEANMasterCode::halfAscender() const
{
    return font() ? font()->ascender() / 2 : 0;
}

double UPCEANMasterCode::guardOrDataBottom(Index index, bool isGuard) const
{
    double b = TBQGenericBarcode::bottomPositionForBarIndex(index);
    return isGuard ? b : b + halfAscender();
}

String UPCEANMasterCode::captionPiece(Index from, Index length) const
{
    String text = caption();
    if (from >= text.length())
        return {};
    return text.substring({ from, std::min(length, text.length() - from) });
}

void UPCEANMasterCode::updateAddOnForText(const String& text)
{
    TBQGenericBarcode::setAddOnContent(text);
    if (text.isEmpty()) {
        setAddOn(nullptr);
        recalculateWorkAreaSize();
        return;
    }
    bool fiveDigits = text.length() > 2;
    if (auto current = addOn()) {
        if ((current->className() == String("EAN2") && fiveDigits)
            || (current->className() == String("EAN5") && !fiveDigits))
            setAddOn(nullptr);
    }
    if (!addOn()) {
        auto created = barcodeWithClassName(fiveDigits ? "EAN5" : "EAN2");
        copyAttributesToBarcode(*created);
        setAddOn(created);
    }
    addOn()->setContent(text);
    // With an add-on beside it, the main symbol leaves out its right light-margin indicator: laid out again, so its
    // work area no longer keeps the indicator's room between the two.
    recalculateWorkAreaSize();
}
