#include "barcodes/EAN5.h"

#include <array>
#include <string_view>

using namespace fnd;

FND_REGISTER_CLASS(EAN5, UPCEANMasterCode)

namespace {

// ISO/IEC 15420: the parities of the five add-on digits for each value of the weighted sum ('B' = number set B).
constexpr std::array<std::string_view, 10> SumParities = {
    "BBAAA", // 0
    "BABAA", // 1
    "BAABA", // 2
    "BAAAB", // 3
    "ABBAA", // 4
    "AABBA", // 5
    "AAABB", // 6
    "ABABA", // 7
    "ABAAB", // 8
    "AABAB", // 9
};
static_assert(SumParities.size() == 10);

}

String EAN5::barcodeName() const
{
    return localizedBarcodeString("EAN5");
}

ModuleString EAN5::encodedContent() const
{
    auto digits = encodingDigits();
    if (digits.size() != 5)
        return {};
    auto d = [&](std::size_t i) { return digits[i] - '0'; };
    int sum = (3 * (d(0) + d(2) + d(4)) + 9 * (d(1) + d(3))) % 10;
    ModuleString out;
    for (std::size_t i = 0; i < 5; ++i) {
        if (i > 0)
            out += encodedSeparatorSequence();
        out += SumParities[sum][i] == 'B' ? evenParityChar(digits[i]) : encodeChar(digits[i]);
    }
    return out;
}
