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
    constexpr int Run = 12; // a whole number of C40 triples, EDIFACT quadruples and digit pairs
    auto codewordsOfRun = [](const std::string& character, int length) -> std::size_t {
        std::string run;
        for (int n = 0; n < length; ++n)
            run += character;
        const auto codewords = DataMatrixEncoder::encodeData(run);
        return codewords ? codewords->values.size() : 0;
    };
    std::string more = "a";
    std::size_t mostCodewords = codewordsOfRun(more, Run);
    std::set<char16_t> seen;
    for (char16_t unit : content.units()) {
        if (!seen.insert(unit).second)
            continue;
        const std::string character = String(std::u16string(1, unit)).utf8();
        if (const auto codewords = codewordsOfRun(character, Run); codewords > mostCodewords || seen.size() == 1) {
            mostCodewords = codewords;
            more = character;
        }
    }
    const auto used = DataMatrixEncoder::encodeData(bytes);
    if (!used)
        return 0;
    std::string grown = bytes;
    for (Index i = 0; i < *left; ++i)
        grown += more;
    auto encodedWith = [&](Index count) {
        return DataMatrixEncoder::encodeData(
            std::string_view(grown.data(), bytes.size() + static_cast<std::size_t>(count) * more.size()));
    };
    auto fits = [&](Index count) { return encodedWith(count).has_value(); };
    // A guess from the codewords left and what each more of the character costs in a long run (its latch paid).
    constexpr int LongRun = 10 * Run;
    const double codewordsEach = static_cast<double>(codewordsOfRun(more, Run + LongRun) - mostCodewords) / LongRun;
    const auto free
        = static_cast<double>(DataMatrixEncoder::MaximumDataCodewords) - static_cast<double>(used->values.size());
    if (!(codewordsEach > 0))
        return mostThatFit(*left, *left, fits);
    // Aimed a little short, so it lands inside and says how far off it was: one step on from there is within a few.
    auto guess = std::min<Index>(*left, static_cast<Index>(free / codewordsEach * 0.95));
    if (const auto landed = encodedWith(guess))
        guess += static_cast<Index>(
            (static_cast<double>(DataMatrixEncoder::MaximumDataCodewords) - static_cast<double>(landed->values.size()))
            / codewordsEach);
    return mostThatFit(guess, *left, fits);
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
