#include "barcodes/EAN2.h"

using namespace fnd;

FND_REGISTER_CLASS(EAN2, UPCEANMasterCode)

String EAN2::barcodeName() const
{
    return localizedBarcodeString("EAN2");
}

ModuleString EAN2::encodedContent() const
{
    auto digits = encodingDigits();
    if (digits.size() != 2)
        return {};
    // Value modulo 4: 0 → A A, 1 → A B, 2 → B A, 3 → B B.
    int parity = ((digits[0] - '0') * 10 + (digits[1] - '0')) % 4;
    auto digit = [&](std::size_t i, bool setB) { return setB ? evenParityChar(digits[i]) : encodeChar(digits[i]); };
    return digit(0, parity >= 2) + encodedSeparatorSequence() + digit(1, parity % 2 == 1);
}
