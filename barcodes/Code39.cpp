#include "barcodes/Code39.h"

#include "barcodes/CheckDigits.h"
#include "barcodes/NarrowWidePattern.h"
#include "barcodes/detail/SymbolTable.h"

#include <array>
#include <vector>

using namespace fnd;

FND_REGISTER_CLASS(Code39, TBQGenericBarcode)

namespace {

struct Code39Character {
    char character;
    const char* elements; // bar, space, bar ... bar; "1" wide
};

// The character patterns of ISO/IEC 16388, in the order of the check values; "*" (start and stop) has none and stands
// after space.
// clang-format off
constexpr std::array<Code39Character, 44> Code39Table { {
    { '0', "000110100" },
    { '1', "100100001" },
    { '2', "001100001" },
    { '3', "101100000" },
    { '4', "000110001" },
    { '5', "100110000" }, // 5
    { '6', "001110000" },
    { '7', "000100101" },
    { '8', "100100100" },
    { '9', "001100100" },
    { 'A', "100001001" }, // 10
    { 'B', "001001001" },
    { 'C', "101001000" },
    { 'D', "000011001" },
    { 'E', "100011000" },
    { 'F', "001011000" }, // 15
    { 'G', "000001101" },
    { 'H', "100001100" },
    { 'I', "001001100" },
    { 'J', "000011100" },
    { 'K', "100000011" }, // 20
    { 'L', "001000011" },
    { 'M', "101000010" },
    { 'N', "000010011" },
    { 'O', "100010010" },
    { 'P', "001010010" }, // 25
    { 'Q', "000000111" },
    { 'R', "100000110" },
    { 'S', "001000110" },
    { 'T', "000010110" },
    { 'U', "110000001" }, // 30
    { 'V', "011000001" },
    { 'W', "111000000" },
    { 'X', "010010001" },
    { 'Y', "110010000" },
    { 'Z', "011010000" }, // 35
    { '-', "010000101" },
    { '.', "110000100" },
    { ' ', "011000100" },
    { '*', "010010100" }, // start and stop, no value
    { '$', "010101000" }, // value 39
    { '/', "010100010" },
    { '+', "010001010" },
    { '%', "000101010" },
} };
// clang-format on
static_assert(Code39Table.size() == 44);

constexpr std::size_t StartStopRow = 39;

// The row of a character, or -1.
}

String Code39::barcodeName() const
{
    return localizedBarcodeString("Code39");
}

// "*" frames every symbol, so as data it would end the symbol early for a reader: it is not offered.
CharacterSet Code39::allowedCharacterSet() const
{
    static const auto set
        = CharacterSet::characterSetWithCharactersInString("0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ-.$/+%");
    return set;
}

String Code39::humanReadableAllowedCharacterSet() const
{
    return "[0-9A-Z-.$/+% ]";
}

// Wide to narrow is 2 : 1, and one narrow space follows every character.
ModuleString Code39::encodeChar(unsigned char character) const
{
    int row = SymbolTable::rowOf(Code39Table, character);
    if (row < 0)
        return {};
    return expandNarrowWidePattern(Code39Table[static_cast<std::size_t>(row)].elements, 2) + '0';
}

ModuleString Code39::encodedStartSequence() const
{
    return encodeChar('*');
}

ModuleString Code39::encodedStopSequence() const
{
    return encodeChar('*');
}

void Code39::generateChecksum()
{
    std::string text = contentForEncoding().utf8();
    if (text.empty()) {
        setChecksum({});
        return;
    }
    auto values = CheckDigits::valuesOf(text, [this](unsigned char c) { return indexFromCodeword(c); });
    setChecksum(String(std::string(1, charForIndex(CheckDigits::code39Mod43(values)))));
}

int Code39::indexFromCodeword(unsigned char character) const
{
    int row = SymbolTable::rowOf(Code39Table, character);
    if (row < 0 || row == static_cast<int>(StartStopRow))
        return 0;
    return row < static_cast<int>(StartStopRow) ? row : row - 1;
}

char Code39::charForIndex(int index) const
{
    if (index < 0 || index > 42)
        return '0';
    auto row = static_cast<std::size_t>(index);
    return Code39Table[row < StartStopRow ? row : row + 1].character;
}
