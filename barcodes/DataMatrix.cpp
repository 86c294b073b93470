#include "barcodes/DataMatrix.h"

#include "barcodes/detail/DataMatrixEncoder.h"

#include <set>

using namespace fnd;

FND_REGISTER_CLASS(DataMatrix, TBQGeneric2DBarcode)

String DataMatrix::barcodeName() const
{
    return localizedBarcodeString("DataMatrix");
}

CharacterSet DataMatrix::allowedCharacterSet() const
{
    static const CharacterSet latin = CharacterSet::characterSetWithRange({ 0x0001, 0x01FF });
    return latin;
}

String DataMatrix::humanReadableAllowedCharacterSet() const
{
    return localizedBarcodeString("UnicodeLatin");
}

TBQGeneric2DBarcode::_matrixSymbol* DataMatrix::initMatrixSymbol()
{
    auto* symbol = TBQGeneric2DBarcode::initMatrixSymbol();
    symbol->shapeOption = 100;
    return symbol;
}

std::optional<Index> DataMatrix::numberOfCharactersLeft() const
{
    auto left = TBQGeneric2DBarcode::numberOfCharactersLeft();
    if (!left || *left == 0)
        return left;
    // More of the content's character that costs the most codewords in a run of its own (a letter above U+007F two
    // in Base 256, a digit half in ASCII pairs, a letter two thirds in C40 or Text, punctuation three quarters in
    // EDIFACT or one in ASCII), so the room said is there for whatever kind is typed on. Empty content counts as
    // lower-case letters.
    const String content = cleanedContentString();
    const std::string bytes = content.utf8();
    std::string more = "a";
    std::size_t mostCodewords = 0;
    std::set<char32_t> seen;
    constexpr int Run = 12; // a whole number of C40 triples, EDIFACT quadruples and digit pairs
    for (std::size_t i = 0; i < content.units().size(); ++i) {
        const char32_t unit = content.units()[i];
        if (!seen.insert(unit).second)
            continue;
        const std::string character = String(std::u16string(1, content.units()[i])).utf8();
        std::string run;
        for (int n = 0; n < Run; ++n)
            run += character;
        const auto codewords = DataMatrixEncoder::encodeData(run);
        if (codewords && codewords->values.size() > mostCodewords) {
            mostCodewords = codewords->values.size();
            more = character;
        }
    }
    std::string grown;
    auto fits = [&](Index count) {
        grown = bytes;
        for (Index i = 0; i < count; ++i)
            grown += more;
        return DataMatrixEncoder::encodeData(grown).has_value();
    };
    if (!fits(0))
        return 0;
    Index low = 0, high = *left;
    while (low < high) {
        const Index middle = low + (high - low + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

void DataMatrix::encodeContentIntoMatrix()
{
    releaseMatrixSymbol();
    initMatrixSymbol();
    setEncodingErrorString({});
    const auto& symbol = m_lastEncoding.of(contentForEncoding().utf8(), DataMatrixEncoder::encode);
    if (!symbol) {
        setEncodingErrorString(localizedBarcodeString("EEDataToLong"));
        return;
    }
    storeGrid(symbol->rows, symbol->columns, [&](int row, int column) { return symbol->dark(row, column); });
}
