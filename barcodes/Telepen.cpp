#include "barcodes/Telepen.h"

#include "barcodes/CheckDigits.h"
#include "barcodes/PrintableASCII.h"

#include <array>
#include <bit>
#include <string>
#include <vector>

using namespace fnd;

FND_REGISTER_CLASS(Telepen, TBQGenericBarcode)

namespace {

// The width pattern of an ASCII value. The value gets an even-parity bit 7 and its eight bits are read from the
// least significant one: a 1 is a narrow bar and a narrow space; a pair of 0s a wide bar and a narrow space; a lone
// 0 followed by n 1s and another 0 a wide bar, n - 1 pairs of narrow elements and a wide space. Every character
// thus takes 16 modules and ends with a space.
std::string widthPatternOfValue(unsigned value)
{
    if (std::popcount(value) % 2 != 0)
        value |= 0x80;
    auto bit = [value](int i) { return (value >> i) & 1; };
    std::string widths;
    int i = 0;
    while (i < 8) {
        if (bit(i)) {
            widths += "11";
            ++i;
        } else if (i + 1 < 8 && !bit(i + 1)) {
            widths += "31";
            i += 2;
        } else {
            int j = i + 1;
            while (j < 8 && bit(j))
                ++j;
            widths += '3';
            for (int ones = j - i - 1; ones > 1; --ones)
                widths += "11";
            widths += '3';
            i = j + 1;
        }
    }
    return widths;
}

const std::array<ModuleString, 128>& patterns()
{
    static const auto table = [] {
        std::array<ModuleString, 128> t;
        for (unsigned v = 0; v < t.size(); ++v)
            t[v] = BarcodeExtension::expandWidthPattern(widthPatternOfValue(v));
        return t;
    }();
    return table;
}

}

String Telepen::barcodeName() const
{
    return localizedBarcodeString("TelepenASCII");
}

CharacterSet Telepen::allowedCharacterSet() const
{
    return PrintableASCII::characterSet();
}

String Telepen::humanReadableAllowedCharacterSet() const
{
    return PrintableASCII::HumanReadable;
}

ModuleString Telepen::encodeChar(unsigned char character) const
{
    return character < patterns().size() ? patterns()[character] : ModuleString();
}

// "_" and "z" in the character rules above.
ModuleString Telepen::encodedStartSequence() const
{
    return BarcodeExtension::expandWidthPattern("111111111133");
}

ModuleString Telepen::encodedStopSequence() const
{
    return BarcodeExtension::expandWidthPattern("331111111111");
}

void Telepen::generateChecksum()
{
    std::string text = contentForEncoding().utf8();
    if (text.empty()) {
        setChecksum({});
        return;
    }
    std::vector<int> values;
    values.reserve(text.size());
    for (char c : text)
        values.push_back(static_cast<unsigned char>(c));
    setChecksum(String(std::string(1, static_cast<char>(CheckDigits::telepenMod127(values)))));
}
