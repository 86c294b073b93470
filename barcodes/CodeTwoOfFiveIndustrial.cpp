#include "barcodes/CodeTwoOfFiveIndustrial.h"

#include "barcodes/CheckDigits.h"

#include <array>

using namespace fnd;

FND_REGISTER_CLASS(CodeTwoOfFiveIndustrial, TBQGenericBarcode)

namespace {

// Module strings of the digits: wide bars three modules, every space one.
constexpr std::array<const char*, 10> IndustrialTable {
    "10101110111010", // 0
    "11101010101110", // 1
    "10111010101110", // 2
    "11101110101010", // 3
    "10101110101110", // 4
    "11101011101010", // 5
    "10111011101010", // 6
    "10101011101110", // 7
    "11101010111010", // 8
    "10111010111010", // 9
};
static_assert(IndustrialTable.size() == 10);

}

String CodeTwoOfFiveIndustrial::barcodeName() const
{
    return localizedBarcodeString("Code2/5Industrial");
}

ModuleString CodeTwoOfFiveIndustrial::encodeChar(unsigned char character) const
{
    if (character < '0' || character > '9')
        return "00000000000000";
    return IndustrialTable[static_cast<std::size_t>(character - '0')];
}

// Weight 3 goes to the rightmost data digit, as in every modulo-10 check of the family, so the check digit does not
// depend on whether the count of digits is odd or even.
void CodeTwoOfFiveIndustrial::generateChecksum()
{
    std::string digits = contentForEncoding().utf8();
    setChecksum(
        digits.empty() ? String() : String(std::string(1, static_cast<char>('0' + CheckDigits::gs1Mod10(digits)))));
}
