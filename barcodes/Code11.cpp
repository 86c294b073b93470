#include "barcodes/Code11.h"

#include "barcodes/CheckDigits.h"

#include <array>
#include <vector>

using namespace fnd;

FND_REGISTER_CLASS(Code11, TBQGenericBarcode)

namespace {

// Module strings of "0" to "9", then "-" (value 10).
constexpr std::array<const char*, 11> Code11Table {
    "101011", // 0
    "1101011", // 1
    "1001011", // 2
    "1100101", // 3
    "1011011", // 4
    "1101101", // 5
    "1001101", // 6
    "1010011", // 7
    "1101001", // 8
    "110101", // 9
    "101101", // -
};
static_assert(Code11Table.size() == 11);

int valueOf(char c)
{
    return c == '-' ? 10 : c - '0';
}

}

String Code11::barcodeName() const
{
    return localizedBarcodeString("Code11");
}

CharacterSet Code11::allowedCharacterSet() const
{
    static const auto set = CharacterSet::characterSetWithCharactersInString("0123456789-");
    return set;
}

String Code11::humanReadableAllowedCharacterSet() const
{
    return "[0-9-]";
}

ModuleString Code11::encodeChar(unsigned char character) const
{
    if ((character >= '0' && character <= '9') || character == '-')
        return Code11Table[static_cast<std::size_t>(valueOf(static_cast<char>(character)))];
    return "000000";
}

void Code11::generateChecksum()
{
    std::string text = contentForEncoding().utf8();
    if (text.empty()) {
        setChecksum({});
        return;
    }
    auto values = CheckDigits::valuesOf(text, [](unsigned char c) { return valueOf(static_cast<char>(c)); });
    int check = CheckDigits::code11Mod11(values);
    setChecksum(String(std::string(1, check == 10 ? '-' : static_cast<char>('0' + check))));
}
