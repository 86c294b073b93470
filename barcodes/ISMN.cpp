#include "barcodes/ISMN.h"

#include <algorithm>

using namespace fnd;

FND_REGISTER_CLASS(ISMN, EAN13)

String ISMN::barcodeName() const
{
    return localizedBarcodeString("ISMN");
}

String ISMN::validatedContentString() const
{
    return String("9790") + EAN13::validatedContentString();
}

String ISMN::headline() const
{
    std::string number = caption().utf8();
    number.erase(0, std::min<std::size_t>(4, number.size()));
    if (number.size() >= 3)
        number.insert(3, 1, '-');
    return String("ISMN: M ") + String(number);
}
