#include "barcodes/PZN.h"

#include "barcodes/CheckDigits.h"

using namespace fnd;

FND_REGISTER_CLASS(PZN, Code39)

String PZN::barcodeName() const
{
    return localizedBarcodeString("CodePZN");
}

CharacterSet PZN::allowedCharacterSet() const
{
    return TBQGenericBarcode::allowedCharacterSet();
}

String PZN::humanReadableAllowedCharacterSet() const
{
    return "[0-9]";
}

String PZN::validatedContentString() const
{
    String digits = Code39::validatedContentString();
    if (!digits.isEmpty() && CheckDigits::pznMod11(digits.utf8()) == 10) {
        setValidatedErrorString(localizedBarcodeString("PZNCheckRemainderTen"));
        return {};
    }
    return digits;
}

ModuleString PZN::encodedStartSequence() const
{
    return encodeChar('*') + encodeChar('-');
}

String PZN::caption() const
{
    return String("PZN - ") + Code39::caption();
}

void PZN::generateChecksum()
{
    std::string digits = contentForEncoding().utf8();
    if (digits.empty()) {
        setChecksum({});
        return;
    }
    setChecksum(String(std::string(1, static_cast<char>('0' + CheckDigits::pznMod11(digits)))));
}
