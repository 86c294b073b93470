#include "barcodes/Codabar.h"

#include "barcodes/CheckDigits.h"
#include "barcodes/NarrowWidePattern.h"
#include "barcodes/detail/SymbolTable.h"

#include <algorithm>
#include <array>
#include <vector>

using namespace fnd;

FND_REGISTER_CLASS(Codabar, TBQGenericBarcode)

namespace {

struct CodabarCharacter {
    char character;
    const char* elements; // bar, space ... bar; "1" wide
};

// The Codabar character set, row = value.
// clang-format off
constexpr std::array<CodabarCharacter, 20> CodabarTable { {
    { '0', "0000011" },
    { '1', "0000110" },
    { '2', "0001001" },
    { '3', "1100000" },
    { '4', "0010010" },
    { '5', "1000010" }, // 5
    { '6', "0100001" },
    { '7', "0100100" },
    { '8', "0110000" },
    { '9', "1001000" },
    { '-', "0001100" }, // 10
    { '$', "0011000" },
    { ':', "1000101" },
    { '/', "1010001" },
    { '.', "1010100" },
    { '+', "0010101" }, // 15
    { 'A', "0011010" }, // 16: the start and stop characters
    { 'B', "0101001" },
    { 'C', "0001011" },
    { 'D', "0001110" },
} };
// clang-format on
static_assert(CodabarTable.size() == 20);

bool isStartStop(char16_t c)
{
    return c >= u'A' && c <= u'D';
}

}

String Codabar::barcodeName() const
{
    return localizedBarcodeString("Codabar");
}

CharacterSet Codabar::allowedCharacterSet() const
{
    static const auto set = CharacterSet::characterSetWithCharactersInString("0123456789ABCD-$:/.+");
    return set;
}

String Codabar::humanReadableAllowedCharacterSet() const
{
    return "[0-9ABCD-$:/.+]";
}

// Readers find a symbol by its start and stop characters, so without them (or with one inside the data) the bars
// could not be read back: an empty content stays empty, anything else must be framed by A to D.
String Codabar::validatedContentString() const
{
    String text = TBQGenericBarcode::validatedContentString();
    const auto& units = text.units();
    if (units.empty())
        return text;
    bool framed = units.size() >= 2 && isStartStop(units.front()) && isStartStop(units.back());
    for (std::size_t i = 1; framed && i + 1 < units.size(); ++i)
        framed = !isStartStop(units[i]);
    if (!framed) {
        setValidatedErrorString(localizedBarcodeString("CodabarStartStop"));
        return {};
    }
    return text;
}

String Codabar::contentForEncoding() const
{
    String text = TBQGenericBarcode::contentForEncoding();
    if (text.length() >= 2 && calculateChecksum() && !checksum().isEmpty()) {
        std::u16string units = text.units();
        units.insert(units.size() - 1, checksum().units());
        return String(std::move(units));
    }
    return text;
}

ModuleString Codabar::encodedContent() const
{
    ModuleString out;
    for (char c : contentForEncoding().utf8())
        out += encodeChar(static_cast<unsigned char>(c));
    return out;
}

String Codabar::caption() const
{
    return contentForEncoding();
}

// Wide to narrow is 2 : 1, and one narrow space follows every character.
ModuleString Codabar::encodeChar(unsigned char character) const
{
    int row = SymbolTable::rowOf(CodabarTable, character);
    if (row < 0)
        return {};
    return expandNarrowWidePattern(CodabarTable[static_cast<std::size_t>(row)].elements, 2) + '0';
}

// The usual modulo-16 check: over every character of the validated content, start and stop included.
void Codabar::generateChecksum()
{
    std::string text = TBQGenericBarcode::contentForEncoding().utf8();
    if (text.size() < 3) {
        setChecksum({});
        return;
    }
    auto values = CheckDigits::valuesOf(text, [this](unsigned char c) { return indexFromCodeword(c); });
    setChecksum(String(std::string(1, charForIndex(CheckDigits::codabarMod16(values)))));
}

int Codabar::indexFromCodeword(unsigned char character) const
{
    return std::max(SymbolTable::rowOf(CodabarTable, character), 0);
}

char Codabar::charForIndex(int index) const
{
    return index >= 0 && index < static_cast<int>(CodabarTable.size())
        ? CodabarTable[static_cast<std::size_t>(index)].character
        : '0';
}
