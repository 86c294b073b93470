#include "barcodes/Identcode.h"

#include "barcodes/CheckDigits.h"
#include "barcodes/GroupedCaption.h"

using namespace fnd;

FND_REGISTER_CLASS(Identcode, CodeTwoOfFiveInterleaved)

String Identcode::barcodeName() const
{
    return localizedBarcodeString("Identcode");
}

String Identcode::caption() const
{
    return groupedCaption(CodeTwoOfFiveInterleaved::caption(), { { 11, u' ' }, { 8, u'.' }, { 5, u' ' }, { 2, u'.' } });
}

void Identcode::generateChecksum()
{
    std::string digits = contentForEncoding().utf8();
    setChecksum(digits.empty() ? String()
                               : String(std::string(1, static_cast<char>('0' + CheckDigits::identcodeMod10(digits)))));
}
