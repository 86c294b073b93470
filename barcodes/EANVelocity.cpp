#include "barcodes/EANVelocity.h"

using namespace fnd;

FND_REGISTER_CLASS(EANVelocity, EAN8)

String EANVelocity::barcodeName() const
{
    return localizedBarcodeString("EANVelocity");
}

String EANVelocity::validatedContentString() const
{
    return String("0") + EAN8::validatedContentString();
}
