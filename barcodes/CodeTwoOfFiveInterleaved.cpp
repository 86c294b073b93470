#include "barcodes/CodeTwoOfFiveInterleaved.h"

#include <array>

using namespace fnd;

FND_REGISTER_CLASS(CodeTwoOfFiveInterleaved, CodeTwoOfFiveIndustrial)

namespace {

// The five element widths of each digit, N narrow and W wide.
constexpr std::array<const char*, 10> Widths {
    "NNWWN", // 0
    "WNNNW", // 1
    "NWNNW", // 2
    "WWNNN", // 3
    "NNWNW", // 4
    "WNWNN", // 5
    "NWWNN", // 6
    "NNNWW", // 7
    "WNNWN", // 8
    "NWNWN", // 9
};
static_assert(Widths.size() == 10);

}

String CodeTwoOfFiveInterleaved::barcodeName() const
{
    return localizedBarcodeString("Code2/5Interleaved");
}

std::string CodeTwoOfFiveInterleaved::dataDigits() const
{
    std::string digits = contentForEncoding().utf8();
    if (calculateChecksum())
        digits += checksum().utf8();
    return digits;
}

String CodeTwoOfFiveInterleaved::caption() const
{
    // The fixed-length members always carry an even count; plain content of an odd count shows the bars' "0" too.
    String text = CodeTwoOfFiveIndustrial::caption();
    return dataDigits().size() % 2 != 0 ? String("0") + text : text;
}

ModuleString CodeTwoOfFiveInterleaved::encodedContent() const
{
    std::string digits = dataDigits();
    if (digits.size() % 2 != 0)
        digits.insert(digits.begin(), '0');
    ModuleString out;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        for (int element = 0; element < 5; ++element) {
            out += _getBarForDigit(digits[i], element) ? "1" : "111";
            out += _getBarForDigit(digits[i + 1], element) ? "0" : "000";
        }
    }
    return out;
}

bool CodeTwoOfFiveInterleaved::_getBarForDigit(int digit, int barNumber) const
{
    if (digit < '0' || digit > '9' || barNumber < 0 || barNumber > 4)
        return true;
    return Widths[static_cast<std::size_t>(digit - '0')][barNumber] == 'N';
}
