#include "barcodes/EAN18.h"

#include "barcodes/CheckDigits.h"

using namespace fnd;

FND_REGISTER_CLASS(EAN18, EAN128)

String EAN18::barcodeName() const
{
    return localizedBarcodeString("EAN18");
}

CharacterSet EAN18::allowedCharacterSet() const
{
    return TBQGenericBarcode::allowedCharacterSet();
}

String EAN18::contentForValidation() const
{
    std::string digits;
    for (char c : content().utf8()) {
        if (c >= '0' && c <= '9' && digits.size() < 17)
            digits += c;
    }
    // Weight 3 from the leftmost of the 17 positions, so zeros appended below leave the check digit as it is.
    std::string padded = digits + std::string(17 - digits.size(), '0');
    int check = CheckDigits::gs1Mod10(padded);
    return String("[00]" + padded + static_cast<char>('0' + check));
}

String EAN18::caption() const
{
    return contentForValidation().stringByReplacingOccurrencesOfString("[", "(").stringByReplacingOccurrencesOfString(
        "]", ")");
}
