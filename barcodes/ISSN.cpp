#include "barcodes/ISSN.h"

#include <algorithm>

using namespace fnd;

FND_REGISTER_CLASS(ISSN, EAN13)

String ISSN::barcodeName() const
{
    return localizedBarcodeString("ISSN");
}

String ISSN::validatedContentString() const
{
    return String("977") + EAN13::validatedContentString();
}

char ISSN::ISSNChecksumCharacterForString(std::string_view digits)
{
    long sum = 0;
    long weight = static_cast<long>(digits.size()) + 1;
    for (char c : digits)
        sum += (c - '0') * weight--;
    int r = static_cast<int>(sum % 11);
    if (r == 0)
        return '0';
    return 11 - r == 10 ? 'X' : static_cast<char>('0' + (11 - r));
}

String ISSN::headline() const
{
    // The caption is 977, seven serial digits, two variant digits and the EAN check digit.
    std::string serial = caption().utf8();
    if (serial.size() > 10)
        serial.erase(10, 3);
    serial.erase(0, std::min<std::size_t>(3, serial.size()));
    serial += ISSNChecksumCharacterForString(serial);
    if (serial.size() >= 4)
        serial.insert(4, 1, '-');
    return String("ISSN ") + String(serial);
}
