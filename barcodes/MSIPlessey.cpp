#include "barcodes/MSIPlessey.h"

using namespace fnd;

FND_REGISTER_CLASS(MSIPlessey, TBQGenericBarcode)

String MSIPlessey::barcodeName() const
{
    return localizedBarcodeString("MSIPlessey");
}

// A bit is three modules: "110" for 1, "100" for 0.
ModuleString MSIPlessey::encodeChar(unsigned char character) const
{
    if (character < '0' || character > '9')
        return "000000";
    int digit = character - '0';
    ModuleString out;
    for (int bit = 3; bit >= 0; --bit)
        out += (digit >> bit) & 1 ? "110" : "100";
    return out;
}
