#include "barcodes/CodeTwoOfFiveMatrix.h"

#include <array>

using namespace fnd;

FND_REGISTER_CLASS(CodeTwoOfFiveMatrix, CodeTwoOfFiveIndustrial)

namespace {

// Module strings of the digits: wide elements three modules, narrow one, a narrow space after each digit.
constexpr std::array<const char*, 10> MatrixTable {
    "1011100010", // 0
    "1110101110", // 1
    "1000101110", // 2
    "1110001010", // 3
    "1011101110", // 4
    "1110111010", // 5
    "1000111010", // 6
    "1010001110", // 7
    "1110100010", // 8
    "1000100010", // 9
};
static_assert(MatrixTable.size() == 10);

}

String CodeTwoOfFiveMatrix::barcodeName() const
{
    return localizedBarcodeString("Code2/5Matrix");
}

ModuleString CodeTwoOfFiveMatrix::encodeChar(unsigned char character) const
{
    if (character < '0' || character > '9')
        return "0000000000";
    return MatrixTable[static_cast<std::size_t>(character - '0')];
}
