#include "barcodes/OPC.h"

#include "barcodes/CheckDigits.h"
#include "barcodes/GroupedCaption.h"

using namespace fnd;

FND_REGISTER_CLASS(OPC, CodeTwoOfFiveInterleaved)

String OPC::barcodeName() const
{
    return localizedBarcodeString("OPC");
}

String OPC::caption() const
{
    return groupedCaption(CodeTwoOfFiveInterleaved::caption(), { { 9, u'-' }, { 5, u'-' } });
}

void OPC::generateChecksum()
{
    std::string digits = contentForEncoding().utf8();
    setChecksum(
        digits.empty() ? String() : String(std::string(1, static_cast<char>('0' + CheckDigits::opcMod10(digits)))));
}
