#include "barcodes/TelepenNum.h"

#include "barcodes/CheckDigits.h"

#include <vector>

using namespace fnd;

FND_REGISTER_CLASS(TelepenNum, Telepen)

String TelepenNum::barcodeName() const
{
    return localizedBarcodeString("TelepenNUM");
}

CharacterSet TelepenNum::allowedCharacterSet() const
{
    return TBQGenericBarcode::allowedCharacterSet();
}

// An odd count of digits gets a leading "0", so the pairs come out whole.
ModuleString TelepenNum::encodedContent() const
{
    std::string digits = contentForEncoding().utf8();
    if (digits.size() % 2 != 0)
        digits.insert(digits.begin(), '0');
    std::vector<int> values;
    ModuleString out;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        int value = 10 * (digits[i] - '0') + (digits[i + 1] - '0') + 27;
        values.push_back(value);
        out += encodeChar(static_cast<unsigned char>(value));
    }
    return out + encodeChar(static_cast<unsigned char>(CheckDigits::telepenMod127(values)));
}
