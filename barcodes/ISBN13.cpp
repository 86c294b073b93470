#include "barcodes/ISBN13.h"

#include <string>
#include <vector>

using namespace fnd;

FND_REGISTER_CLASS(ISBN13, EAN13)

String ISBN13::barcodeName() const
{
    return localizedBarcodeString("ISBN13");
}

String ISBN13::headline() const
{
    std::string typed;
    for (char c : content().utf8()) {
        if ((c >= '0' && c <= '9') || c == 'X' || c == '-')
            typed += c;
    }
    for (auto at = typed.find("--"); at != std::string::npos; at = typed.find("--"))
        typed.erase(at, 1);

    std::vector<std::size_t> hyphens;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] == '-')
            hyphens.push_back(i);
    }
    // Without hyphens typed, the usual split of a 978 number with a one-digit group.
    if (hyphens.empty())
        hyphens = { 3, 5, 11, 15 };

    std::string number = caption().utf8();
    for (std::size_t at : hyphens) {
        if (at == 0)
            continue;
        if (at >= number.size())
            break;
        number.insert(at, 1, '-');
    }
    return String("ISBN ") + String(number);
}
