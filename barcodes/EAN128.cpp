#include "barcodes/EAN128.h"

#include "barcodes/Code128Encoder.h"

using namespace fnd;

FND_REGISTER_CLASS(EAN128, Code128)

String EAN128::barcodeName() const
{
    return localizedBarcodeString("EAN128");
}

String EAN128::caption() const
{
    // What the bars hold: the content as the cleaning left it (characters Code 128 does not take dropped, cut at 80
    // characters), not as typed, with the identifiers' brackets shown as parentheses.
    return cleanedContentString().stringByReplacingOccurrencesOfString("[", "(").stringByReplacingOccurrencesOfString(
        "]", ")");
}

ModuleString EAN128::completeEncodedBarcode() const
{
    using namespace Code128Encoder;
    // "[" marks FNC1 in the reduced element string.
    std::string bytes = contentForEncoding().utf8();
    // An element string that failed its check leaves nothing to encode: no symbol, the error text instead.
    if (bytes.empty())
        return {};
    auto marks = marksForRuns(smoothedRuns(bytes, true));

    // Set C takes digits in pairs: an odd stretch between FNC1 marks puts its first digit in set B, or its last
    // one when the stretch opens the symbol.
    std::size_t count = 0;
    std::size_t first = 0;
    auto resolve = [&] {
        if (count % 2 == 1)
            marks[first == 0 ? first + count - 1 : first] = 'B';
        count = 0;
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (marks[i] != 'C' || bytes[i] == '[') {
            resolve();
            continue;
        }
        if (count++ == 0)
            first = i;
    }
    resolve();

    // A single character of set C between two of set B stays in B.
    for (std::size_t i = 1; i + 1 < marks.size(); ++i) {
        if (marks[i] == 'C' && marks[i - 1] == 'B' && marks[i + 1] == 'B')
            marks[i] = 'B';
    }

    return modulesForValues(symbolValues(bytes, marks, true));
}
