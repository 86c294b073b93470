#include "barcodes/Leitcode.h"

#include "barcodes/CheckDigits.h"
#include "barcodes/GroupedCaption.h"

using namespace fnd;

FND_REGISTER_CLASS(Leitcode, CodeTwoOfFiveInterleaved)

String Leitcode::barcodeName() const
{
    return localizedBarcodeString("Leitcode");
}

String Leitcode::caption() const
{
    return groupedCaption(
        CodeTwoOfFiveInterleaved::caption(), { { 13, u' ' }, { 11, u'.' }, { 8, u'.' }, { 5, u'.' } });
}

void Leitcode::generateChecksum()
{
    std::string digits = contentForEncoding().utf8();
    setChecksum(digits.empty() ? String()
                               : String(std::string(1, static_cast<char>('0' + CheckDigits::identcodeMod10(digits)))));
}
