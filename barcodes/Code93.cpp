#include "barcodes/Code93.h"

#include "barcodes/CheckDigits.h"
#include "barcodes/detail/SymbolTable.h"

#include <algorithm>
#include <array>
#include <vector>

using namespace fnd;

FND_REGISTER_CLASS(Code93, TBQGenericBarcode)

namespace {

struct Code93Character {
    char character;
    const char* widths; // bar, space, bar, space, bar, space; nine modules in all
};

// The Code 93 character set, row = value. The four shift characters only ever appear as check characters; they
// are held under control codes that validation never lets through.
// clang-format off
constexpr std::array<Code93Character, 48> Code93Table { {
    { '0', "131112" },
    { '1', "111213" },
    { '2', "111312" },
    { '3', "111411" },
    { '4', "121113" },
    { '5', "121212" }, // 5
    { '6', "121311" },
    { '7', "111114" },
    { '8', "131211" },
    { '9', "141111" },
    { 'A', "211113" }, // 10
    { 'B', "211212" },
    { 'C', "211311" },
    { 'D', "221112" },
    { 'E', "221211" },
    { 'F', "231111" }, // 15
    { 'G', "112113" },
    { 'H', "112212" },
    { 'I', "112311" },
    { 'J', "122112" },
    { 'K', "132111" }, // 20
    { 'L', "111123" },
    { 'M', "111222" },
    { 'N', "111321" },
    { 'O', "121122" },
    { 'P', "131121" }, // 25
    { 'Q', "212112" },
    { 'R', "212211" },
    { 'S', "211122" },
    { 'T', "211221" },
    { 'U', "221121" }, // 30
    { 'V', "222111" },
    { 'W', "112122" },
    { 'X', "112221" },
    { 'Y', "122121" },
    { 'Z', "123111" }, // 35
    { '-', "121131" },
    { '.', "311112" },
    { ' ', "311211" },
    { '$', "321111" },
    { '/', "112131" }, // 40
    { '+', "113121" },
    { '%', "211131" },
    { '\x01', "121221" }, // shift ($)
    { '\x02', "312111" }, // shift (%)
    { '\x03', "311121" }, // 45: shift (/)
    { '\x04', "122211" }, // shift (+)
    { '*', "111141" }, // start and stop
} };
// clang-format on
static_assert(Code93Table.size() == 48);

}

String Code93::barcodeName() const
{
    return localizedBarcodeString("Code93");
}

CharacterSet Code93::allowedCharacterSet() const
{
    static const auto set
        = CharacterSet::characterSetWithCharactersInString("0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ-.$/+%");
    return set;
}

String Code93::humanReadableAllowedCharacterSet() const
{
    return "[0-9A-Z-.$/+% ]";
}

ModuleString Code93::encodeChar(unsigned char character) const
{
    int row = SymbolTable::rowOf(Code93Table, character);
    return row < 0 ? ModuleString()
                   : BarcodeExtension::expandWidthPattern(Code93Table[static_cast<std::size_t>(row)].widths);
}

ModuleString Code93::encodedStartSequence() const
{
    return encodeChar('*');
}

ModuleString Code93::encodedStopSequence() const
{
    return encodeChar('*') + '1';
}

void Code93::generateChecksum()
{
    std::string text = contentForEncoding().utf8();
    if (text.empty()) {
        setChecksum({});
        return;
    }
    char c = charForIndex(checksumForString(text, 20));
    char k = charForIndex(checksumForString(text + c, 15));
    setChecksum(String(std::string { c, k }));
}

int Code93::checksumForString(std::string_view text, int maximumWeight) const
{
    auto values = CheckDigits::valuesOf(text, [this](unsigned char c) { return indexFromCodeword(c); });
    return CheckDigits::code93Mod47(values, maximumWeight);
}

int Code93::indexFromCodeword(unsigned char character) const
{
    return std::max(SymbolTable::rowOf(Code93Table, character), 0);
}

char Code93::charForIndex(int index) const
{
    return index >= 0 && index < static_cast<int>(Code93Table.size())
        ? Code93Table[static_cast<std::size_t>(index)].character
        : '0';
}
